#pragma once
// An advisory lock between zu processes, held for the lifetime of the object.
//
// zu.set is replaced by renaming a new file over it, so a lock on zu.set
// itself would be on a file that the next writer no longer uses. What is
// locked is something that stays: the folder that holds the file (which
// leaves nothing behind in it), or a small lock file of its own. Only zu
// asks for these locks: they keep two zu from writing (or one reading while
// another writes) at the same moment.

#include <chrono>
#include <optional>
#include <string>

namespace zu {

class FileLock {
public:
    enum class Mode { Shared, Exclusive };

    // Locks the folder or file at `path`, creating a missing one as a file,
    // and waits until the lock is granted, or at most `patience` when given
    // (for a lock file in a folder that others can write, where anyone may
    // hold it). Where locking is impossible (no such folder, a file system
    // without locks) or the wait runs out, the object holds nothing and
    // locked() says so; callers go on without it, as zu did before there
    // were two of it.
    FileLock(const std::string& path, Mode mode,
             std::optional<std::chrono::milliseconds> patience = std::nullopt);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return fd_ >= 0; }

    // The lock file that guards `path`, for a file in a folder that others
    // use too.
    static std::string pathFor(const std::string& path) { return path + ".lock"; }

private:
    int fd_ = -1;
};

} // namespace zu
