#include "core/doc/file_read.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zu {
namespace {

static_assert(kNotARegularFile == ENODEV);

// 0 for a regular file, else the error to report for it.
int refusal(const struct stat& info) {
    if (S_ISREG(info.st_mode))
        return 0;
    return S_ISDIR(info.st_mode) ? EISDIR : kNotARegularFile;
}

FileStamp stampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

} // namespace

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return stampFrom(info);
}

FileBytes readWholeFile(const std::string& path, std::size_t limit) {
    return readWholeFile(path, limit, ReadStep());
}

FileBytes readWholeFile(const std::string& path, std::size_t limit, const ReadStep& step) {
    FileBytes result;
    // The type is asked before opening, so that a FIFO, a tape or a terminal
    // is never opened at all...
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        result.error = errno;
        return result;
    }
    if ((result.error = refusal(info)) != 0)
        return result;
    // ...and again of what was opened, in case the name changed hands in
    // between; opening without blocking keeps a FIFO put there from hanging.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    if (::fstat(fd, &info) != 0)
        result.error = errno;
    else if ((result.error = refusal(info)) == 0 &&
             static_cast<unsigned long long>(info.st_size) > limit)
        result.error = EFBIG;
    if (result.error == 0) {
        result.stamp = stampFrom(info);
        result.bytes.resize(static_cast<std::size_t>(info.st_size));
        const auto expected = static_cast<std::size_t>(info.st_size);
        std::size_t have = 0;
        // The size is a hint: a file can change while it is read, and some
        // files (/proc) report none at all.
        for (;;) {
            if (have == result.bytes.size()) {
                if (result.bytes.size() >= limit + 1)
                    break;
                // Whether the file goes on past the size it gave is asked
                // with a small read first: a file read whole is not given
                // room for as much again, which for a large file would hold
                // it twice for a moment.
                char more[4096];
                const ssize_t got = ::read(fd, more, sizeof more);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0) {
                    result.error = got < 0 ? errno : 0;
                    break;
                }
                result.bytes.resize(std::max<std::size_t>(result.bytes.size() * 2, 4096));
                std::memcpy(result.bytes.data() + have, more, static_cast<std::size_t>(got));
                have += static_cast<std::size_t>(got);
                continue;
            }
            // In slices only when someone is told of them: one read is cheaper.
            const std::size_t want = step ? std::min(result.bytes.size() - have, kReadSlice)
                                          : result.bytes.size() - have;
            const ssize_t got = ::read(fd, result.bytes.data() + have, want);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                result.error = errno;
                break;
            }
            if (got == 0)
                break;
            have += static_cast<std::size_t>(got);
            if (step && !step(have, expected)) {
                result.error = ECANCELED;
                break;
            }
        }
        result.bytes.resize(have);
        if (result.error == 0 && have > limit)
            result.error = EFBIG;
    }
    ::close(fd);
    if (result.error != 0)
        result.bytes.clear();
    return result;
}

bool canSaveInPlace(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(path.c_str(), W_OK) == 0;
}

std::string absolutePath(const std::string& path) {
    std::string full;
    if (path.empty() || path.front() != '/') {
        std::vector<char> buffer(4096);
        while (!::getcwd(buffer.data(), buffer.size())) {
            if (errno != ERANGE)
                return path; // no current folder to go by
            buffer.resize(buffer.size() * 2);
        }
        full = buffer.data();
        full += '/';
    }
    full += path;

    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= full.size()) {
        std::size_t slash = full.find('/', start);
        if (slash == std::string::npos)
            slash = full.size();
        const std::string name = full.substr(start, slash - start);
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& name : names)
        out += '/' + name;
    return out.empty() ? "/" : out;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return absolutePath(a) == absolutePath(b);
}

PathKind kindOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return PathKind::Missing;
    if (S_ISREG(info.st_mode))
        return PathKind::RegularFile;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace zu
