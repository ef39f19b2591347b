#include "core/app/recent_files.h"

#include <algorithm>

namespace zu {

void RecentFiles::add(const std::string& path) {
    if (path.empty())
        return;
    remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > capacity_)
        paths_.resize(capacity_);
}

void RecentFiles::remove(const std::string& path) {
    std::erase(paths_, path);
}

void RecentFiles::assign(const std::vector<std::string>& paths) {
    paths_.clear();
    // Oldest first, so that the first given ends up first.
    for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        add(*it);
}

std::string RecentFiles::menuLabel(std::size_t index, const std::string& path) {
    std::string label;
    const std::size_t number = index + 1;
    // Entries 1 to 9 take their digit as the mnemonic; the tenth takes the 0
    // of "10", as the classic menus did.
    label = number < 10 ? "&" + std::to_string(number) : "1&0";
    label += ' ';
    for (char c : path) {
        label += c;
        if (c == '&')
            label += '&';
    }
    return label;
}

} // namespace zu
