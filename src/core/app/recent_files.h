#pragma once
// The recent-file list: the files last opened or saved, newest first.

#include <string>
#include <vector>

namespace zu {

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
    // path, with "&" doubled so that it is shown as itself.
    static std::string menuLabel(std::size_t index, const std::string& path);

private:
    std::size_t capacity_;
    std::vector<std::string> paths_;
};

} // namespace zu
