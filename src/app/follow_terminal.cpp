#include "app/follow_terminal.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace ribbex {

namespace {

// Written to by the signal handler, read by the watcher: the one thing a handler may safely do.
int signalPipe[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], "s", 1);
    errno = saved;
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action { };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

FollowTerminal::FollowTerminal()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0 || ::pipe2(m_stop, O_CLOEXEC) != 0)
        return;
    // A write to a closed pipe fails with EPIPE instead of killing the process.
    setHandler(SIGPIPE, SIG_IGN);
    setHandler(SIGTERM, onStopSignal);
    setHandler(SIGINT, onStopSignal);
    m_watcher = std::thread([this] { watch(); });
}

FollowTerminal::~FollowTerminal()
{
    if (m_watcher.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(m_stop[1], "q", 1);
        m_watcher.join();
    }
    setHandler(SIGTERM, SIG_DFL);
    setHandler(SIGINT, SIG_DFL);
    for (int *fd : {&signalPipe[0], &signalPipe[1], &m_stop[0], &m_stop[1]}) {
        if (*fd >= 0)
            ::close(std::exchange(*fd, -1));
    }
}

bool FollowTerminal::writeLine(const QByteArray &line)
{
    const char *data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

void FollowTerminal::watch()
{
    // No events asked of standard output: poll() still reports a closed reader (POLLERR) or a
    // hung-up terminal (POLLHUP), and nothing else.
    pollfd fds[] = {{STDOUT_FILENO, 0, 0}, {signalPipe[0], POLLIN, 0}, {m_stop[0], POLLIN, 0}};
    while (::poll(fds, 3, -1) < 0 && errno == EINTR) { }
    if (fds[2].revents != 0)
        return;
    QMetaObject::invokeMethod(this, &FollowTerminal::ended, Qt::QueuedConnection);
}

} // namespace ribbex
