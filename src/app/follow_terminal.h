#pragma once

// Where `--follow` writes: whole lines on standard output, and the end of the run when the reader
// goes away (the pipe is closed, the terminal hangs up) or SIGTERM or SIGINT asks. A thread waits
// in poll() for either, so nothing wakes while nothing happens.

#include <QByteArray>
#include <QObject>

#include <thread>

namespace ribbex {

class FollowTerminal final : public QObject {
    Q_OBJECT

public:
    // One at a time: it takes over SIGTERM, SIGINT and SIGPIPE until it is destroyed.
    FollowTerminal();
    ~FollowTerminal() override;
    FollowTerminal(const FollowTerminal &) = delete;
    FollowTerminal &operator=(const FollowTerminal &) = delete;

    // Writes the line whole, or nothing of what is left once the reader is gone: false then.
    bool writeLine(const QByteArray &line);

Q_SIGNALS:
    // From the event loop, once.
    void ended();

private:
    void watch();

    int m_stop[2] = {-1, -1};
    std::thread m_watcher;
};

} // namespace ribbex
