#pragma once
// The recent-file list: the files last opened or saved, newest first.

#include "core/text/file_path.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

// The profile (zu.conf) keeps the list. Its reader takes the whole file,
// so one larger than this is not read at all (ten names take a few
// kilobytes): zu then runs without keeping the list, and says why.
inline constexpr std::uint64_t kMaxProfileBytes = std::uint64_t{1} << 20;
std::string profileTooLargeMessage(std::string_view path);

// The names in the profile are the user's business: the file is made, or
// made again, readable and writable by its owner alone, whatever the umask.
// False when it cannot be (not the user's file, no such folder).
bool makeProfilePrivate(const std::string& path);

// How wide a recent-file entry may be, in columns: a character of the wide
// East Asian forms takes two, every other one.
inline constexpr std::size_t kRecentFileColumns = 40;

class RecentFiles {
public:
    explicit RecentFiles(std::size_t capacity = 10) : capacity_(capacity) {}

    // Puts `path` first; an entry already in the list moves rather than
    // appearing twice, and the oldest falls off a full list.
    void add(const FilePath& path);
    void remove(const FilePath& path);
    void assign(const std::vector<FilePath>& paths);

    const std::vector<FilePath>& paths() const { return paths_; }
    std::size_t capacity() const { return capacity_; }

    // The menu label of entry `index`: its number as the mnemonic, then the
    // path shortened to fit, with "&" doubled so that it is shown as itself.
    static std::string menuLabel(std::size_t index, const std::string& path);

private:
    std::size_t capacity_;
    std::vector<FilePath> paths_;
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
