#include "core/doc/recovery_store.h"

#include "core/doc/content_hash.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int writeAllAt(int fd, std::string_view bytes, std::size_t& offset) {
    while (!bytes.empty()) {
        const ssize_t written =
            ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::size_t>(written);
    }
    return 0;
}

int ensurePrivateFolder(const std::string& given) {
    const std::string folder = withSlash(given);
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        // Only the last folder is private; those above it are the user's
        // to shape (made as the umask says, as mkdir -p would).
        const bool last = slash + 1 == folder.size();
        ::mkdir(folder.substr(0, slash).c_str(), last ? 0700 : 0777);
    }
    const std::string path = folder.substr(0, folder.size() - 1);
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno;
    if (S_ISLNK(info.st_mode) || info.st_uid != ::geteuid())
        return EPERM;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    if ((info.st_mode & 07777) != 0700 && ::chmod(path.c_str(), 0700) != 0)
        return errno;
    return 0;
}

std::string secondRecoveryFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        return withSlash(runtime) + "zu-recovery/";
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp == '/' ? tmp : "/tmp";
    return withSlash(base) + "zu-recovery-" + std::to_string(::geteuid()) + "/";
}

int writePrivateFile(const std::string& path, std::string_view bytes) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string temporary = folder + recoveryTemporaryName(nameOf(path), thisHostId());
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    // The umask may only have taken bits away; the mode is set whole.
    int error = ::fchmod(fd, 0600) == 0 ? 0 : errno;
    std::size_t offset = 0;
    if (error == 0)
        error = writeAllAt(fd, bytes, offset);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    if (const int dir =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

std::uint64_t thisHostId() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        name[0] = '\0';
    return recoveryHostId(name);
}

bool processRuns(long processId) {
    if (processId <= 0)
        return true; // no process of its own: never taken for ended
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

std::vector<std::string> removeRecoveryLeftovers(const std::string& given, std::uint64_t hostId,
                                                 const std::function<bool(long)>& runs) {
    const std::string folder = withSlash(given);
    std::vector<std::string> removed;
    for (const std::string& name : namesIn(folder)) {
        const std::optional<RecoveryLeftover> left = recoveryLeftover(name);
        if (!left || (left->hostId && *left->hostId != hostId) || runs(left->processId))
            continue;
        const std::string path = folder + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        if (!left->hostId && std::time(nullptr) - info.st_mtim.tv_sec < 3600)
            continue;
        if (::unlink(path.c_str()) == 0)
            removed.push_back(name);
    }
    return removed;
}

int putRecoveryAside(const std::string& given, const std::string& name) {
    const std::string folder = withSlash(given);
    return ::rename((folder + name).c_str(), (folder + damagedRecoveryName(name)).c_str()) == 0
               ? 0
               : errno;
}

std::optional<SourceIdentity> identityOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<SourceIdentity> identity;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        ContentHash hash;
        std::string chunk(1 << 20, '\0');
        ssize_t got = 0;
        while ((got = ::read(fd, chunk.data(), chunk.size())) > 0 || (got < 0 && errno == EINTR))
            if (got > 0)
                hash.update(std::string_view(chunk).substr(0, static_cast<std::size_t>(got)));
        if (got == 0)
            identity = SourceIdentity{{static_cast<std::uint64_t>(info.st_dev),
                                       static_cast<std::uint64_t>(info.st_ino),
                                       static_cast<std::int64_t>(info.st_size),
                                       static_cast<std::int64_t>(info.st_mtim.tv_sec),
                                       static_cast<std::int64_t>(info.st_mtim.tv_nsec)},
                                      hash.digest()};
    }
    ::close(fd);
    return identity;
}

SourceCheck checkSource(const SourceIdentity& known, const std::string& path) {
    SourceCheck check;
    check.stamp = stampOf(path);
    if (!check.stamp) {
        check.state = SourceState::Missing;
        return check;
    }
    if (*check.stamp == known.stamp)
        return check;
    // Another stamp may still hold the same bytes: only they count.
    const std::optional<SourceIdentity> now = identityOf(path);
    if (!now) {
        check.state = SourceState::Missing;
        return check;
    }
    check.stamp = now->stamp;
    check.state = now->hash == known.hash ? SourceState::Same : SourceState::Changed;
    return check;
}

} // namespace zu
