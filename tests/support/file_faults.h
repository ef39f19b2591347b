#pragma once
// Faults of the file system made real for tests that run as root, where
// permission bits stop nothing: the immutable attribute (refused even to
// root on the file systems that have it), a file-size limit, and mounts of
// the test's own (a tiny or a read-only file system) in a mount namespace
// that only a child process sees. Each says when the machine cannot do it,
// so that the test is skipped with the reason rather than faked.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zu::testing {

// Sets the immutable attribute of a file or folder for the lifetime of the
// object: no new name in the folder, no write to the file, not even by root.
class Immutable {
public:
    explicit Immutable(const std::string& path) : path_(path) { error_ = set(true); }
    ~Immutable() {
        if (error_.empty())
            set(false);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    // Empty when the attribute is set, else why it could not be.
    const std::string& error() const { return error_; }

private:
    std::string set(bool on) {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return std::string("open: ") + std::strerror(errno);
        int flags = 0;
        std::string error;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
            error = std::string("this file system has no attributes: ") + std::strerror(errno);
        } else {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
                error = std::string("cannot set the immutable attribute: ") + std::strerror(errno);
        }
        ::close(fd);
        return error;
    }
    std::string path_;
    std::string error_;
};

// A file-size limit for the lifetime of the object, with SIGXFSZ ignored as
// the program ignores it (a write past the limit then fails with EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit saved_ {};
    void (*previous_)(int) = SIG_DFL;
};

// Runs `body` in a child process and returns what it returned: by
// convention empty for success, else what went wrong. "skip: ..." means the
// machine could not make the fault. The child's mounts are its own when
// `ownMounts` is set: nothing it mounts is seen outside, and all of it goes
// when the child ends.
inline std::string inChild(const std::function<std::string()>& body, bool ownMounts = false) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string report;
        if (ownMounts && (::unshare(CLONE_NEWNS) != 0 ||
                          ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0))
            report = std::string("skip: no mount namespace of its own: ") + std::strerror(errno);
        else
            report = body();
        [[maybe_unused]] const ssize_t ignored = ::write(pipeFds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return "the child process was killed by signal " + std::to_string(WTERMSIG(status));
    return report;
}

// Skips the test when a child reported that the machine cannot make the
// fault, and fails it when the child reported anything else.
#define ZU_EXPECT_CHILD_OK(report)                                                                 \
    do {                                                                                           \
        const std::string zuReport = (report);                                                     \
        if (zuReport.rfind("skip: ", 0) == 0)                                                      \
            GTEST_SKIP() << zuReport.substr(6);                                                    \
        EXPECT_EQ(zuReport, "");                                                                   \
    } while (false)

} // namespace zu::testing
