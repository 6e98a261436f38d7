#include "ticker/ticker_scroll.h"

#include "ticker/dot_matrix.h"

#include <algorithm>
#include <cmath>

namespace ribbex {

double repeatGap(TickerStyle style)
{
    return style == TickerStyle::dotMatrix ? dotMatrix::repeatGap : 58.0;
}

double scrollStep(double speed)
{
    const double step = speed / ticksPerSecond;
    return std::isfinite(step) ? std::max(step, minimumScrollStep) : minimumScrollStep;
}

double advancedOffset(double offset, double speed, double textWidth, double period)
{
    if (textWidth <= 0)
        return 0;
    const double next = offset + scrollStep(speed);
    return next >= period ? wrappedOffset(next, period) : next;
}

double wrappedOffset(double offset, double period)
{
    return period > 0 ? std::fmod(offset, period) : offset;
}

namespace {

// Tick n is due at n × 1/30 s, counted in nanoseconds so the sum never drifts.
std::chrono::nanoseconds tickTime(std::int64_t n)
{
    return std::chrono::nanoseconds(n * 1'000'000'000 / static_cast<std::int64_t>(ticksPerSecond));
}

// How far behind the ideal time the loop may fall before it gives up catching up.
constexpr std::int64_t maximumLagTicks = 3;

} // namespace

std::chrono::milliseconds TickSchedule::restart(Clock::time_point now)
{
    m_start = now;
    m_ticks = 0;
    return next(now);
}

std::chrono::milliseconds TickSchedule::next(Clock::time_point now)
{
    // How late the tick just made was.
    if (now - m_start - tickTime(m_ticks) > tickTime(maximumLagTicks))
        return restart(now);
    ++m_ticks;
    return std::max(
        std::chrono::round<std::chrono::milliseconds>(m_start + tickTime(m_ticks) - now), std::chrono::milliseconds(0));
}

} // namespace ribbex
