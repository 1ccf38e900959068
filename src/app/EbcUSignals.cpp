#include "EbcUSignals.h"

#include <QObject>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace ccp::app {

#ifdef Q_OS_UNIX
namespace {

int g_pipe[2] = {-1, -1};

// Only what is safe inside a signal handler: one byte into the pipe.
void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

void rearmTerminationSignals()
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void catchTerminationSignals(QObject *context, std::function<void()> onSignal)
{
    if (g_pipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
            return;
        auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, context);
        QObject::connect(notifier, &QSocketNotifier::activated, context, [onSignal = std::move(onSignal)] {
            char byte = 0;
            [[maybe_unused]] const auto got = ::read(g_pipe[0], &byte, 1);
            onSignal();
        });
    }
    rearmTerminationSignals();
}
#else
// Elsewhere the system ends a desktop program through its windows.
void catchTerminationSignals(QObject *, std::function<void()>) {}
void rearmTerminationSignals() {}
#endif

} // namespace ccp::app
