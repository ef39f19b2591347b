#include "core/doc/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace zu {

FileLock::FileLock(const std::string& path, Mode mode,
                   std::optional<std::chrono::milliseconds> patience) {
    // A lock does not care how its file was opened, and a folder can only be
    // opened for reading.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    const int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
    int result;
    if (!patience) {
        do
            result = ::flock(fd, operation);
        while (result != 0 && errno == EINTR);
    } else {
        // The system offers no wait with a limit: ask again every little
        // while until the time is up.
        const auto deadline = std::chrono::steady_clock::now() + *patience;
        while ((result = ::flock(fd, operation | LOCK_NB)) != 0 &&
               (errno == EWOULDBLOCK || errno == EINTR) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (result != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

FileLock::~FileLock() {
    // Closing the only descriptor releases the lock.
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace zu
