#pragma once

// The arithmetic of scrolling: how far one tick moves the text and where the repeat starts.

#include "settings/enumerations.h"

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

} // namespace ribbex
