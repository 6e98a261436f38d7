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

} // namespace ribbex
