#include "core/StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// [0] is written by the handler, [1] read by the event loop.
int g_pipe[2] = {-1, -1};

extern "C" void onStopSignal(int signal_number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal_number);
    // A full pipe already holds requests enough: the byte may be dropped.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}
// Does nothing, so that the write fails instead; a handler rather than SIG_IGN, which programs
// started from this one would inherit.
extern "C" void onBrokenPipe(int) {}
} // namespace

void StopSignals::ignoreBrokenPipes()
{
    struct sigaction action = {};
    action.sa_handler = onBrokenPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGPIPE, &action, nullptr);
}

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0)
        return; // another object has them
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readPending);

    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void StopSignals::readPending()
{
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = ::read(g_pipe[1], bytes, sizeof bytes);
        if (n <= 0)
            return; // EAGAIN: nothing more for now
        for (ssize_t i = 0; i < n; ++i)
            emit stopRequested(bytes[i]);
    }
}
