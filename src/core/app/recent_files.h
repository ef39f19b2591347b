#pragma once
// The recent-file list: the files last opened or saved, newest first.

#include <string>
#include <string_view>
#include <vector>

namespace zu {

// How wide a recent-file entry may be, in columns: a character of the wide
// East Asian forms takes two, every other one.
inline constexpr std::size_t kRecentFileColumns = 40;

class RecentFiles {
public:
    explicit RecentFiles(std::size_t capacity = 10) : capacity_(capacity) {}

    // Puts `path` first; an entry already in the list moves rather than
    // appearing twice, and the oldest falls off a full list.
    void add(const std::string& path);
    void remove(const std::string& path);
    void assign(const std::vector<std::string>& paths);

    const std::vector<std::string>& paths() const { return paths_; }
    std::size_t capacity() const { return capacity_; }

    // The menu label of entry `index`: its number as the mnemonic, then the
    // path shortened to fit, with "&" doubled so that it is shown as itself.
    static std::string menuLabel(std::size_t index, const std::string& path);

private:
    std::size_t capacity_;
    std::vector<std::string> paths_;
};

// The columns `text` takes on screen.
std::size_t displayColumns(std::string_view text);

// `path` unchanged when it fits in `maxColumns`; otherwise with folders
// taken out of its middle and "..." in their place, keeping the first folder
// and as many of the last ones as fit, since the name and the folders just
// above it tell files apart best. When no folder fits, the file's name
// alone.
std::string shortenedPath(std::string_view path, std::size_t maxColumns = kRecentFileColumns);

} // namespace zu
