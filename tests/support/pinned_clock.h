#pragma once

#include "platform/clock.h"

#include <chrono>

namespace ribbex::test {

// A clock that stands still until a test moves it.
class PinnedClock final : public Clock {
public:
    explicit PinnedClock(QDateTime now, QTimeZone zone = QTimeZone::utc())
        : m_now(std::move(now))
        , m_zone(std::move(zone))
    {
    }

    QDateTime now() const override { return m_now; }
    QTimeZone timeZone() const override { return m_zone; }

    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advance(std::chrono::seconds seconds) { advance(seconds.count()); }

private:
    QDateTime m_now;
    QTimeZone m_zone;
};

} // namespace ribbex::test
