#include "core/doc/atomic_write.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new hidden file beside `target`. Creating it with open() rather than
// mkstemp() lets the user's umask decide its permissions, as for any file the
// user makes; the process id keeps two running copies apart and the counter
// steps over a leftover of an earlier process that had the same id.
int createTemporary(const std::string& target, std::string& temporaryPath) {
    const std::string stem =
        folderOf(target) + "/." + nameOf(target) + ".zu-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = stem + std::to_string(attempt);
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// A short write is not a failure by itself: the rest is written again until
// the system reports why it cannot take more (ENOSPC, EFBIG, EIO...).
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

} // namespace

WriteResult writeFileAtomically(const std::string& path, std::string_view bytes) {
    using Step = WriteResult::Step;
    std::string temporaryPath;
    const int fd = createTemporary(path, temporaryPath);
    if (fd < 0)
        return {errno, Step::Create, path};

    // The file keeps what the user set on it: a private page stays private.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away; the group alone may still be kept.
            [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
    }

    WriteResult result;
    if (const int error = writeAll(fd, bytes); error != 0)
        result = {error, Step::Write, path};
    else if (::fsync(fd) != 0)
        result = {errno, Step::Sync, path};
    if (::close(fd) != 0 && result)
        result = {errno, Step::Write, path};
    if (result && ::rename(temporaryPath.c_str(), path.c_str()) != 0)
        result = {errno, Step::Rename, path};
    if (!result) {
        ::unlink(temporaryPath.c_str());
        return result;
    }
    // The rename itself is durable only once the folder is on disk too.
    if (const int dirFd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return result;
}

} // namespace zu
