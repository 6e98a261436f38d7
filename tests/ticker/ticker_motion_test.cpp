// Scrolling, the football zone's clock and the progress bar's fraction.

#include "ticker/football_zone.h"
#include "ticker/progress_bar.h"
#include "ticker/ticker_scroll.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

namespace ribbex {
namespace {

TEST(TickerMotionTest, OneTickAdvancesByTheSpeedWithAFloorAndWraps)
{
    const struct {
        const char *name;
        double offset, speed, textWidth, period, expected;
    } cases[] {
        {"speed 60 moves 2 points", 10, 60, 100, 158, 12},
        {"speed 0 still moves", 10, 0, 100, 158, 10.35},
        {"a negative speed moves forward", 10, -30, 100, 158, 10.35},
        {"a speed that is not a number", 10, std::numeric_limits<double>::quiet_NaN(), 100, 158, 10.35},
        {"wraps by the remainder", 157, 72, 100, 158, 1.4},
        {"reaching the period exactly wraps to 0", 156, 60, 100, 158, 0},
        {"no text stays at 0", 40, 72, 0, 49.572, 0},
    };
    for (const auto &c : cases)
        EXPECT_NEAR(advancedOffset(c.offset, c.speed, c.textWidth, c.period), c.expected, 1e-9) << c.name;
}

TEST(TickerMotionTest, FootballLinesRiseRestAndLeaveInTurn)
{
    const QRectF zone(240, 0, 80, 22);
    const double lh = 15.0;
    const double rest = (22 - lh) / 2;
    const struct {
        double time;
        qsizetype count, index;
        double top;
        bool visible;
    } cases[] {
        {0.0, 1, 0, 22, false}, // just below the bottom edge
        {0.275, 1, 0, 22 + 0.5 * (rest - 22), true}, // half-way up
        {2.349, 1, 0, rest, true},
        {2.575, 1, 0, rest + 0.5 * (-lh - rest), true}, // half-way out
        {2.8, 1, 0, 22, false}, // and in again
        {6.0, 3, 2, 22 + (0.4 / 0.55) * (rest - 22), true},
        {7.0, 3, 2, rest, true},
    };
    for (const auto &c : cases) {
        const FootballLinePlacement placement = footballLinePlacement(c.time, c.count, zone, lh);
        EXPECT_EQ(placement.index, c.index) << c.time;
        EXPECT_NEAR(placement.top, c.top, 1e-9) << c.time;
        EXPECT_EQ(placement.visible, c.visible) << c.time;
    }
    EXPECT_NEAR(advancedFootballTime(2.79, 1), 2.79 + 1.0 / 30 - 2.8, 1e-9);
    EXPECT_NEAR(advancedFootballTime(2.79, 2), 2.79 + 1.0 / 30, 1e-9);
}

TEST(TickerMotionTest, BarFractionGrowsOnlyWhilePlaying)
{
    const QDateTime sampled(QDate(2026, 1, 1), QTime(12, 0), QTimeZone::utc());
    const struct {
        const char *name;
        SpotifyTrackProgress progress;
        double expected;
    } cases[] {
        {"paused", {60, 240, sampled, false}, 0.25},
        {"playing", {60, 240, sampled, true}, 0.375},
        {"past the end", {230, 240, sampled, true}, 1.0},
        {"zero duration", {10, 0, sampled, false}, 1.0},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(progressFraction(c.progress, sampled.addSecs(30)), c.expected) << c.name;
}

} // namespace
} // namespace ribbex
