#include "core/app/recent_files.h"

#include "core/app/menus.h"
#include "core/text/utf.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

constexpr std::string_view kEllipsis = "...";

// The East Asian wide and fullwidth blocks: CJK, kana, hangul, fullwidth
// forms. Half-width katakana (U+FF61..U+FF9F) stays narrow, as it always was.
bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::vector<std::string_view> split(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        parts.push_back(path.substr(0, slash));
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    }
    return parts;
}

} // namespace

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
    const std::size_t number = index + 1;
    // Entries 1 to 9 take their digit as the mnemonic; the tenth takes the 0
    // of "10", the one key left that its number shows.
    std::string label = number < 10 ? "&" + std::to_string(number) : "1&0";
    return label + ' ' + literalMenuText(shortenedPath(path));
}

std::size_t displayColumns(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    std::size_t columns = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t c = codePointAt(units, i);
        i += utf16Length(c) - 1;
        columns += isWide(c) ? 2 : 1;
    }
    return columns;
}

std::string shortenedPath(std::string_view path, std::size_t maxColumns) {
    if (displayColumns(path) <= maxColumns)
        return std::string(path);
    const bool absolute = !path.empty() && path.front() == '/';
    std::vector<std::string_view> parts = split(absolute ? path.substr(1) : path);
    std::erase_if(parts, [](std::string_view p) { return p.empty(); });
    if (parts.empty())
        return std::string(path);
    const std::string_view name = parts.back();
    const std::vector<std::string_view> folders(parts.begin(), parts.end() - 1);
    const std::string root = absolute ? "/" : "";

    // The last `kept` folders and the name, after `head`.
    const auto candidate = [&](const std::string& head, std::size_t kept) {
        std::string out = head + std::string(kEllipsis) + "/";
        for (std::size_t i = folders.size() - kept; i < folders.size(); ++i)
            out += std::string(folders[i]) + "/";
        return out + std::string(name);
    };
    // With the first folder kept, at least one folder must go for "..." to
    // stand for something.
    if (folders.size() >= 2) {
        const std::string head = root + std::string(folders.front()) + "/";
        for (std::size_t kept = folders.size() - 2;; --kept) {
            const std::string shortened = candidate(head, kept);
            if (displayColumns(shortened) <= maxColumns)
                return shortened;
            if (kept == 0)
                break;
        }
    }
    if (!folders.empty()) {
        for (std::size_t kept = folders.size() - 1;; --kept) {
            const std::string shortened = candidate(root, kept);
            if (displayColumns(shortened) <= maxColumns)
                return shortened;
            if (kept == 0)
                break;
        }
    }
    return std::string(name);
}

std::string profileTooLargeMessage(std::string_view path) {
    return std::string(path) + " は 1 MB を超えているため読み込みません。最近使ったﾌｧｲﾙの一覧は、"
                               "このﾌｧｲﾙを削除するまで保存されません。";
}

bool makeProfilePrivate(const std::string& path) {
    // Made before the profile's writer first writes it: that writer keeps
    // the permissions of a file it replaces.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat info {};
    const bool made = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                      info.st_uid == ::getuid() &&
                      ((info.st_mode & 077) == 0 || ::fchmod(fd, info.st_mode & 0700) == 0);
    ::close(fd);
    return made;
}

} // namespace zu
