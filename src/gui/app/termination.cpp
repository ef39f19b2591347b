#include "gui/app/termination.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zu {
namespace {

int signalPipe[2] = {-1, -1};

// A signal handler may do almost nothing: it writes one byte, which the
// window thread reads.
void notify(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[0], &byte, 1);
    errno = saved;
}

} // namespace

void onTerminationSignal(QObject* context, std::function<void()> handler) {
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return; // the signals keep their usual effect
    ::fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, context);
    QObject::connect(
        notifier, &QSocketNotifier::activated, context, [handler = std::move(handler)] {
            char bytes[16];
            [[maybe_unused]] const ssize_t ignored = ::read(signalPipe[1], bytes, sizeof bytes);
            handler();
        });
    struct sigaction action {};
    action.sa_handler = notify;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // Ctrl+C and Ctrl+\\ in the terminal that started zu end it as a
    // shutdown does: never with an edit lost.
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace zu
