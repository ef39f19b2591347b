#include "core/doc/atomic_write.h"

#include "core/doc/file_read.h"
#include "core/doc/recovery_store.h"
#include "core/doc/write_journal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zu {
namespace {

using Step = WriteResult::Step;
using Pieces = std::span<const std::string_view>;

Pieces one(const std::string_view& bytes) {
    return Pieces(&bytes, 1);
}

// How many names a writer tries before it gives up: leftovers of earlier
// processes that had the same id take the first ones.
constexpr int kAttempts = 100;
constexpr const char* kBackupTag = "backup-";

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

// The file a path names once every symbolic link in its last part is
// followed; the links in the folders above take care of themselves. A link
// to a missing file names the file to create. Fails with ELOOP on a cycle.
int followLinks(std::string& path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0;
        std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) +
                                 1);
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) >= target.size())
            continue; // the link changed while it was read: read it again
        const std::string to(target.data(), static_cast<std::size_t>(length));
        path = to.front() == '/' ? to : folderOf(path) + "/" + to;
    }
    return ELOOP;
}

// A hidden name beside `target` for a file of zu's own. The target's name is
// cut where needed so that the hidden name still fits the file system's
// limit: a long but valid name must not fail for the sake of its helper.
std::string hiddenSibling(const std::string& folder, const std::string& name, const char* tag,
                          long pid, int attempt) {
    const std::string suffix =
        std::string(".zu-") + tag + std::to_string(pid) + "-" + std::to_string(attempt);
    const std::size_t room = NAME_MAX - 1 - suffix.size();
    return folder + "/." + name.substr(0, room) + suffix;
}

// Creates a new file with the given mode, trying the next attempt number
// over a leftover of an earlier process that had the same id.
int createHidden(const std::string& folder, const std::string& name, const char* tag, mode_t mode,
                 std::string& created) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        created = hiddenSibling(folder, name, tag, ::getpid(), attempt);
        const int fd =
            ::open(created.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// A short write is not a failure by itself: the rest is written again until
// the system reports why it cannot take more (recovery_store.h).
int writeAll(int fd, Pieces pieces, off_t offset) {
    auto at = static_cast<std::size_t>(offset);
    for (const std::string_view bytes : pieces)
        if (const int error = writeAllAt(fd, bytes, at); error != 0)
            return error;
    return 0;
}

int readAll(int fd, std::string& bytes, std::size_t size) {
    bytes.assign(size, '\0');
    std::size_t have = 0;
    while (have < size) {
        const ssize_t got = ::pread(fd, bytes.data() + have, size - have, static_cast<off_t>(have));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return EIO; // shorter than it said: it changed under us
        have += static_cast<std::size_t>(got);
    }
    return 0;
}

// Makes `bytes` the whole content of the open file `fd` and flushes it.
// 0 on success, else the error, with `step` saying which part failed.
int overwrite(int fd, Pieces pieces, Step& step) {
    step = Step::Write;
    if (const int error = writeAll(fd, pieces, 0); error != 0)
        return error;
    std::size_t size = 0;
    for (const std::string_view bytes : pieces)
        size += bytes.size();
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0)
        return errno;
    step = Step::Sync;
    return ::fsync(fd) == 0 ? 0 : errno;
}

void syncFolder(const std::string& folder) {
    if (const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

// A copy of `bytes`, flushed and read back, beside the file when its folder
// may be written and in the temporary folder otherwise. Private: the old
// text may be.
int makeBackup(const std::string& target, const std::string& bytes, std::string& backupPath) {
    const std::string folders[] = {folderOf(target), spareFolder()};
    int error = 0;
    for (const std::string& folder : folders) {
        const int fd = createHidden(folder, nameOf(target), kBackupTag, 0600, backupPath);
        if (fd < 0) {
            error = errno;
            continue;
        }
        Step step{};
        error = overwrite(fd, one(bytes), step);
        std::string check;
        if (error == 0)
            error = readAll(fd, check, bytes.size());
        if (error == 0 && check != bytes)
            error = EIO;
        ::close(fd);
        if (error == 0)
            return 0;
        ::unlink(backupPath.c_str());
    }
    backupPath.clear();
    return error;
}

// Writes over the file itself: the one way to keep its inode (and so its
// other names, owner and group) and the one way to save where no new file
// may be made.
WriteResult writeInPlace(const std::string& target, Pieces bytes, const std::string& reported,
                         WriteJournal::Entry& note) {
    const int fd = ::open(target.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno, Step::Create, reported, {}};
    WriteResult result;
    struct stat info {};
    std::string old;
    std::string backupPath;
    if (::fstat(fd, &info) != 0)
        result = {errno, Step::Create, reported, {}};
    else if (!S_ISREG(info.st_mode))
        result = {kNotARegularFile, Step::Create, reported, {}};
    else if (const int error = readAll(fd, old, static_cast<std::size_t>(info.st_size)); error != 0)
        result = {error, Step::Backup, reported, {}};
    else if (const int backupError = makeBackup(target, old, backupPath); backupError != 0)
        result = {backupError, Step::Backup, reported, {}};
    if (!result) {
        ::close(fd);
        return result;
    }
    // From here on the file is half old, half new until the write is over:
    // the note says where the whole old bytes are, should zu die meanwhile.
    note.noteBackup(backupPath, old, bytes);

    Step step{};
    if (const int error = overwrite(fd, bytes, step); error != 0) {
        result = {error, step, reported, {}};
        Step ignored{};
        const std::string_view oldBytes = old;
        if (overwrite(fd, one(oldBytes), ignored) != 0)
            result.keptBackup = backupPath;
    }
    if (::close(fd) != 0 && result)
        result = {errno, Step::Write, reported, {}};
    if (result.keptBackup.empty())
        ::unlink(backupPath.c_str());
    return result;
}

bool canWriteInPlaceInstead(int createError) {
    return createError == EACCES || createError == EPERM || createError == EROFS;
}

} // namespace

std::vector<std::string> temporaryNames(const std::string& target, const std::string& spare,
                                        long pid) {
    std::vector<std::string> names;
    const auto add = [&](const std::string& folder, const char* tag) {
        for (int attempt = 0; attempt < kAttempts; ++attempt)
            names.push_back(hiddenSibling(folder, nameOf(target), tag, pid, attempt));
    };
    add(folderOf(target), "");
    add(folderOf(target), kBackupTag);
    if (!spare.empty() && spare != folderOf(target))
        add(spare, kBackupTag);
    return names;
}

std::string spareFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

WriteResult writeFileAtomically(const std::string& path, std::string_view bytes,
                                const WriteJournal* journal) {
    return writeFileAtomically(path, one(bytes), journal);
}

WriteResult writeFileAtomically(const std::string& path, Pieces bytes,
                                const WriteJournal* journal) {
    std::string target = path;
    if (const int error = followLinks(target); error != 0)
        return {error, Step::Create, path, {}};

    // Asked first: the temporary file's name is cut to fit, so only the
    // rename at the very end would find out, after all the writing.
    const long nameMax = ::pathconf(folderOf(target).c_str(), _PC_NAME_MAX);
    if (nameOf(target).size() > static_cast<std::size_t>(nameMax > 0 ? nameMax : NAME_MAX))
        return {ENAMETOOLONG, Step::Create, path, {}};

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return {EISDIR, Step::Create, path, {}};
    if (exists && !S_ISREG(old.st_mode))
        return {kNotARegularFile, Step::Create, path, {}};
    // Noted before any file of the write is made, so that whatever a crash
    // leaves is known to be zu's.
    WriteJournal::Entry note =
        journal ? journal->begin({hostName(), ::getpid(), target, spareFolder(), {}})
                : WriteJournal::Entry();
    if (exists && old.st_nlink > 1)
        return writeInPlace(target, bytes, path, note);

    // Made with open() rather than mkstemp() so that the user's umask
    // decides a new file's permissions, as for any file the user makes.
    std::string temporaryPath;
    const int fd = createHidden(folderOf(target), nameOf(target), "", 0666, temporaryPath);
    if (fd < 0) {
        const int error = errno;
        if (exists && canWriteInPlaceInstead(error))
            return writeInPlace(target, bytes, path, note);
        return {error, Step::Create, path, {}};
    }

    if (exists) {
        // The file keeps what the user set on it: a private page stays private.
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away; the group alone may still be kept.
            [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
        struct stat made {};
        if (::fstat(fd, &made) != 0 || made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
            // A new file would change hands: the old one is kept and written.
            ::close(fd);
            ::unlink(temporaryPath.c_str());
            return writeInPlace(target, bytes, path, note);
        }
    }

    WriteResult result;
    if (const int error = writeAll(fd, bytes, 0); error != 0)
        result = {error, Step::Write, path, {}};
    else if (::fsync(fd) != 0)
        result = {errno, Step::Sync, path, {}};
    if (::close(fd) != 0 && result)
        result = {errno, Step::Write, path, {}};
    if (result && ::rename(temporaryPath.c_str(), target.c_str()) != 0)
        result = {errno, Step::Rename, path, {}};
    if (!result) {
        ::unlink(temporaryPath.c_str());
        return result;
    }
    // The rename itself is durable only once the folder is on disk too.
    syncFolder(folderOf(target));
    return result;
}

} // namespace zu
