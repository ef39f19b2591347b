#pragma once
// kill -9 at a chosen moment: a child process runs a piece of code under
// this process's eye (ptrace) and is killed at its n-th stop at a system
// call, entering or leaving it. Counting n from 1 up to where the code ends reaches every moment at
// which the system could stop it, one after the other.

#include <csignal>
#include <functional>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zu::testing {

enum class CallKill { Killed, Finished, Failed };

// Runs `body` in a child, killed with SIGKILL at its n-th stop at a system
// call (n >= 1); Finished when the body returned first, Failed when
// the child could not be watched (no ptrace here).
inline CallKill killAtCall(const std::function<void()>& body, int n) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0 && ::raise(SIGSTOP) == 0)
            body();
        ::_exit(0);
    }
    int status = 0;
    const auto end = [&](CallKill outcome) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return outcome;
    };
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status))
        return end(CallKill::Failed);
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int calls = 0, pass = 0; // pass: a signal of the child's own, handed on
    while (::ptrace(PTRACE_SYSCALL, pid, nullptr, pass) == 0 && ::waitpid(pid, &status, 0) == pid) {
        if (WIFEXITED(status))
            return CallKill::Finished;
        pass = WSTOPSIG(status) == (SIGTRAP | 0x80) ? 0 : WSTOPSIG(status);
        // Every stop counts, at a call's entry and at its exit: telling them
        // apart by the kernel's report missed a call now and then (one
        // between a write and the truncation after it under the sanitizers),
        // and the moment after a call is one the system can stop at too.
        if (pass == 0 && ++calls == n)
            return end(CallKill::Killed);
    }
    return end(CallKill::Failed);
}

} // namespace zu::testing
