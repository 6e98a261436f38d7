#pragma once

#include "platform/clock.h"

#include <chrono>

namespace ribbex::test {

// A clock that stands still until a test moves it.
class PinnedClock final : public Clock {
public:
    explicit PinnedClock(QDateTime now)
        : m_now(std::move(now))
    {
    }

    QDateTime now() const override { return m_now; }
    QTimeZone timeZone() const override { return QTimeZone::utc(); }

    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advance(std::chrono::seconds seconds) { advance(seconds.count()); }

private:
    QDateTime m_now;
};

} // namespace ribbex::test
