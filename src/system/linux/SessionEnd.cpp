#include "system/SessionEnd.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tallyclock {

namespace {

// The write end of the pipe from the signal handler to the event loop.
int signalWriteEnd = -1;

extern "C" void sessionEndSignal(int signal)
{
    // Only async-signal-safe calls here. The next such signal takes its default action,
    // so a program that no longer reaches its event loop still ends.
    const int savedErrno = errno;
    std::signal(signal, SIG_DFL);
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

void whenSessionEnds(std::function<void()> end)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return; // the signals keep their default action: the program still ends
    for (const int fd : ends) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    signalWriteEnd = ends[1];
    auto *notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, end] {
        char bytes[16];
        while (::read(static_cast<int>(notifier->socket()), bytes, sizeof bytes) > 0) { }
        end();
    });
    struct sigaction action = {};
    action.sa_handler = sessionEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP}) {
        // A signal the program was started to ignore (nohup) stays ignored.
        struct sigaction inherited = {};
        if (::sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace tallyclock
