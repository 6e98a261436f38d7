#pragma once

// The current time and the user's time zone, passed in so tests can pin both.

#include <QDateTime>
#include <QTimeZone>

namespace ribbex {

class Clock {
public:
    virtual ~Clock() = default;

    virtual QDateTime now() const = 0;
    virtual QTimeZone timeZone() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
    QTimeZone timeZone() const override { return QTimeZone::systemTimeZone(); }
};

} // namespace ribbex
