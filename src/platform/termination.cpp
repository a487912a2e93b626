#include "platform/termination.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace dm::platform {

namespace {
int g_pipe[2] = {-1, -1};

void signalHandler(int) {
    const char byte = 1;
    // Only async-signal-safe work here: one byte into the pipe.
    [[maybe_unused]] const auto n = ::write(g_pipe[1], &byte, 1);
}
} // namespace

void onTerminationRequest(std::function<void()> handler) {
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [handler = std::move(handler)]() {
                         char byte;
                         [[maybe_unused]] const auto n = ::read(g_pipe[0], &byte, 1);
                         handler();
                     });
    struct sigaction sa {};
    sa.sa_handler = signalHandler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

} // namespace dm::platform
