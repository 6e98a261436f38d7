#pragma once

// The arithmetic of scrolling: how far one tick moves the text, where the repeat starts and when
// the next tick is due.

#include "settings/enumerations.h"

#include <chrono>
#include <cstdint>

namespace ribbex {

inline constexpr double ticksPerSecond = 30.0;
// Even a speed of 0 keeps the text moving.
inline constexpr double minimumScrollStep = 0.35;

// The space between the end of one run of the text and the start of the next.
double repeatGap(TickerStyle style);

// Points per tick for a speed in points per second.
double scrollStep(double speed);

// The offset after one tick: it advances while there is text and wraps at the period.
double advancedOffset(double offset, double speed, double textWidth, double period);

// The offset within [0, period) (unchanged when there is no period).
double wrappedOffset(double offset, double period);

// When the next tick is due, so that ticks come ticksPerSecond times a second on average. A timer
// counts whole milliseconds and fires late, so each wait runs to the ideal time of the next tick
// rather than repeating 33 ms, and a late tick does not push back the ones after it.
class TickSchedule {
public:
    using Clock = std::chrono::steady_clock;

    // Counts from now; returns the wait for the first tick.
    std::chrono::milliseconds restart(Clock::time_point now);
    // After a tick at now, the wait for the next. Behind by more than a few ticks (a suspend, a
    // stall), it counts from now again instead of firing the missed ticks in a burst.
    std::chrono::milliseconds next(Clock::time_point now);

private:
    Clock::time_point m_start;
    std::int64_t m_ticks = 0;
};

} // namespace ribbex
