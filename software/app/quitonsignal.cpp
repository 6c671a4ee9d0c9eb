#include "quitonsignal.h"

#include <QCoreApplication>

#if defined(Q_OS_UNIX)
#    include <QSocketNotifier>

#    include <csignal>
#    include <sys/socket.h>
#    include <unistd.h>

namespace {

// A signal handler may do next to nothing; it writes a byte to this socket,
// and the event loop, which watches the other end, does the rest.
int g_signalSocket[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
}

} // namespace

void quitOnTerminationSignals(QCoreApplication &app)
{
    if (g_signalSocket[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(g_signalSocket[1], &byte, 1);
        app.quit();
    });
    struct sigaction action
    { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}

#else

void quitOnTerminationSignals(QCoreApplication &) { }

#endif
