// The ticker's arithmetic without a model: the composed line, scrolling, the football zone's
// clock, the progress bar's fraction and which links open.

#include "ticker/dot_matrix.h"
#include "ticker/football_zone.h"
#include "ticker/progress_bar.h"
#include "ticker/ticker_clicks.h"
#include "ticker/ticker_line.h"
#include "ticker/ticker_scroll.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

TickerItem item(TickerSource source, const QString &text, std::optional<QUrl> url = std::nullopt,
    std::optional<QString> detail = std::nullopt)
{
    return {u"id-"_s + text, source, text, std::move(detail), std::move(url)};
}

TEST(TickerLineTest, ComposesItemsWithSeparatorsMarkersAndRanges)
{
    const QString separator = u"\u2002\u2004|\u2004"_s;
    const QUrl link(u"https://example.org/a"_s);
    const QUrl weather(u"weather://"_s);
    // what the case is, the items, the line and its clickable ranges
    const std::tuple<const char *, QList<TickerItem>, QString, QList<ClickableRange>> cases[] {
        {"no items shows the placeholder", {}, placeholderLine, {}},
        {"spotify with an empty detail", {item(TickerSource::spotify, u"Song"_s, std::nullopt, QString())},
            u" \uE000 SONG "_s, {}},
        // U+10428 upper-cases to U+10400: two UTF-16 code units each.
        {"full case mapping and characters outside the basic plane",
            {item(TickerSource::news, u"stra\u00DFe \U00010428x"_s, link), item(TickerSource::news, u"b"_s, link)},
            u" STRASSE \U00010400X "_s + separator + u" B ",
            {{1, 11, TickerSource::news, link}, {18, 1, TickerSource::news, link}}},
        {"a feed's marker characters are dropped, the weather's stays",
            {item(TickerSource::news, u"x\uFFFC\uE000y"_s, link),
                item(TickerSource::weather, u"7\u00B0C \uFFFC Oslo"_s, weather)},
            u" XY "_s + separator + u" 7\u00B0C \uFFFC OSLO ",
            {{1, 2, TickerSource::news, link}, {9, 10, TickerSource::weather, weather}}},
    };
    for (const auto &[name, items, text, ranges] : cases) {
        const ComposedLine line = composeTickerLine(items, RibbexSettings {});
        EXPECT_EQ(line.text, text) << name;
        EXPECT_EQ(line.clickableRanges, ranges) << name;
    }
}

TEST(TickerLineTest, DotMatrixWidthsCountCharactersNotCodeUnits)
{
    // No glyph still advances; a surrogate pair is one character; an accent joins its letter.
    const std::pair<QString, int> cases[] {{QString(), 0}, {u"a"_s, 1}, {u"\U0001F600"_s, 1}, {u"E\u0301X"_s, 2}};
    for (const auto &[text, advances] : cases)
        EXPECT_NEAR(dotMatrixWidth(text), advances * dotMatrix::advance, 1e-9) << text.toStdString();
}

TEST(TickerMotionTest, OneTickAdvancesByTheSpeedWithAFloorAndWraps)
{
    // what the case is, the offset, speed, text width and period, the offset after the tick
    const std::tuple<const char *, double, double, double, double, double> cases[] {
        {"speed 60 moves 2 points", 10, 60, 100, 158, 12},
        {"speed 0 still moves", 10, 0, 100, 158, 10.35},
        {"a speed that is not a number", 10, std::numeric_limits<double>::quiet_NaN(), 100, 158, 10.35},
        {"wraps by the remainder", 157, 72, 100, 158, 1.4},
        {"reaching the period exactly wraps to 0", 156, 60, 100, 158, 0},
        {"no text stays at 0", 40, 72, 0, 49.572, 0},
    };
    for (const auto &[name, offset, speed, textWidth, period, expected] : cases)
        EXPECT_NEAR(advancedOffset(offset, speed, textWidth, period), expected, 1e-9) << name;
}

// The scroll timer on a simulated clock, each timer firing late by a varying 0 to 2 ms.
struct SimulatedTimer {
    TickSchedule schedule;
    TickSchedule::Clock::time_point now;
    std::chrono::milliseconds wait = schedule.restart(now);

    int ticksWithin(std::chrono::seconds span)
    {
        int ticks = 0;
        for (const auto end = now + span; now + wait <= end; ++ticks) {
            now += wait + std::chrono::microseconds(ticks * 733 % 2000);
            wait = schedule.next(now);
        }
        return ticks;
    }
};

TEST(TickerMotionTest, TicksThirtyTimesASecondOnAverageAndSkipsAStall)
{
    SimulatedTimer timer;
    EXPECT_NEAR(timer.ticksWithin(std::chrono::seconds(60)), 60 * ticksPerSecond, 60 * ticksPerSecond * 0.002);
    // After a suspend the ticks go on at the usual pace rather than making up the lost time.
    timer.now += std::chrono::seconds(10);
    timer.wait = timer.schedule.next(timer.now);
    EXPECT_NEAR(timer.ticksWithin(std::chrono::seconds(1)), ticksPerSecond, 1);
}

TEST(TickerMotionTest, FootballLinesRiseRestAndLeaveInTurn)
{
    const double lh = 15.0;
    const double rest = (22 - lh) / 2;
    // the zone's time, how many lines, the line shown, its top, whether it is visible
    const std::tuple<double, qsizetype, qsizetype, double, bool> cases[] {
        {0.0, 1, 0, 22, false}, // just below the bottom edge
        {0.275, 1, 0, 22 + 0.5 * (rest - 22), true}, // half-way up
        {2.349, 1, 0, rest, true},
        {2.575, 1, 0, rest + 0.5 * (-lh - rest), true}, // half-way out
        {2.8, 1, 0, 22, false}, // and in again
        {6.0, 3, 2, 22 + (0.4 / 0.55) * (rest - 22), true},
    };
    for (const auto &[time, count, index, top, visible] : cases) {
        const FootballLinePlacement placement = footballLinePlacement(time, count, QRectF(240, 0, 80, 22), lh);
        EXPECT_EQ(placement.index, index) << time;
        EXPECT_NEAR(placement.top, top, 1e-9) << time;
        EXPECT_EQ(placement.visible, visible) << time;
    }
    EXPECT_NEAR(advancedFootballTime(2.79, 1), 2.79 + 1.0 / 30 - 2.8, 1e-9);
    EXPECT_NEAR(advancedFootballTime(2.79, 2), 2.79 + 1.0 / 30, 1e-9);
}

TEST(TickerMotionTest, BarFractionGrowsOnlyWhilePlaying)
{
    const QDateTime sampled(QDate(2026, 1, 1), QTime(12, 0), QTimeZone::utc());
    const std::pair<SpotifyTrackProgress, double> cases[] {
        {{60, 240, sampled, false}, 0.25}, // paused
        {{60, 240, sampled, true}, 0.375}, {{230, 240, sampled, true}, 1.0}, // past the end
        {{10, 0, sampled, false}, 1.0}, // zero duration
    };
    for (const auto &[progress, expected] : cases)
        EXPECT_DOUBLE_EQ(progressFraction(progress, sampled.addSecs(30)), expected) << progress.position;
}

// A feed may carry any scheme, and the desktop would start whatever handler it names.
TEST(TickerClicksTest, OnlyWebLinksOpen)
{
    for (const char *url : {"https://example.org/a", "HTTP://EXAMPLE.ORG/a"})
        EXPECT_TRUE(isOpenableLink(QUrl(QString::fromLatin1(url)))) << url;
    for (const char *url : {"ftp://example.org/a", "file:///etc/passwd", "javascript:alert(1)", "https:/no-host"})
        EXPECT_FALSE(isOpenableLink(QUrl(QString::fromLatin1(url)))) << url;
}

} // namespace
} // namespace ribbex
