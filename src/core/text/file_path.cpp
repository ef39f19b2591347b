#include "core/text/file_path.h"

namespace zu {

std::string_view FilePath::name() const {
    const std::size_t slash = bytes_.rfind('/');
    return slash == std::string::npos ? std::string_view(bytes_)
                                      : std::string_view(bytes_).substr(slash + 1);
}

std::string_view FilePath::folder() const {
    const std::size_t slash = bytes_.rfind('/');
    return slash == std::string::npos ? std::string_view()
                                      : std::string_view(bytes_).substr(0, slash + 1);
}

FilePath FilePath::sibling(std::string_view name) const {
    std::string path(folder());
    path += name;
    return FilePath(std::move(path));
}

} // namespace zu
