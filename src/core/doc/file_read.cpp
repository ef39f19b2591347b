#include "core/doc/file_read.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {

FileBytes readWholeFile(const std::string& path, std::size_t limit) {
    FileBytes result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        result.error = EISDIR;
    } else if (static_cast<unsigned long long>(info.st_size) > limit) {
        result.error = EFBIG;
    } else {
        result.bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t have = 0;
        // The size is a hint: a file can change while it is read, and some
        // files (pipes, /proc) report none at all.
        for (;;) {
            if (have == result.bytes.size()) {
                if (result.bytes.size() >= limit + 1)
                    break;
                result.bytes.resize(std::max<std::size_t>(result.bytes.size() * 2, 4096));
            }
            const ssize_t got = ::read(fd, result.bytes.data() + have, result.bytes.size() - have);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                result.error = errno;
                break;
            }
            if (got == 0)
                break;
            have += static_cast<std::size_t>(got);
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

} // namespace zu

namespace zu {

bool canSaveInPlace(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(path.c_str(), W_OK) == 0;
}

} // namespace zu
