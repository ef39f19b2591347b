#pragma once
// kill -9 at a chosen moment: a child process runs a piece of code under
// this process's eye (ptrace) and is killed as it enters its n-th system
// call. Counting n from 1 up to where the code ends reaches every moment at
// which the system could stop it, one after the other.

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zu::testing {

struct CallKill {
    enum class Outcome { Killed, Finished, Failed };
    Outcome outcome = Outcome::Failed;
    std::string error; // when Failed: why the child could not be watched
};

// Runs `body` in a child, killed with SIGKILL at the entry of its n-th
// system call (n >= 1); Finished when the body returned first.
inline CallKill killAtCall(const std::function<void()>& body, int n) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(2);
        ::raise(SIGSTOP);
        body();
        ::_exit(0);
    }
    CallKill result;
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) {
        result.error = "the child did not stop for tracing";
        if (pid > 0)
            ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0);
        return result;
    }
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int calls = 0;
    int pass = 0; // a signal of the child's own, handed on
    for (;;) {
        if (::ptrace(PTRACE_SYSCALL, pid, nullptr, pass) != 0) {
            result.error = std::string("ptrace: ") + std::strerror(errno);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return result;
        }
        pass = 0;
        if (::waitpid(pid, &status, 0) != pid)
            return result;
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            result.outcome = WIFEXITED(status) && WEXITSTATUS(status) == 0
                                 ? CallKill::Outcome::Finished
                                 : CallKill::Outcome::Failed;
            if (result.outcome == CallKill::Outcome::Failed)
                result.error = "the child ended on its own with status " + std::to_string(status);
            return result;
        }
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            pass = WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0) {
            result.error = std::string("PTRACE_GET_SYSCALL_INFO: ") + std::strerror(errno);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return result;
        }
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY && ++calls == n) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.outcome = CallKill::Outcome::Killed;
            return result;
        }
    }
}

} // namespace zu::testing
