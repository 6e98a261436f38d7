#include "ticker/ticker_line.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

const QString separator = QStringLiteral("\u2002\u2004|\u2004");
const QUrl link(QStringLiteral("https://example.org/a"));
const QUrl spotifyLink(QStringLiteral("spotify:"));

TickerItem item(TickerSource source, const QString &text, std::optional<QUrl> url = std::nullopt,
    std::optional<QString> detail = std::nullopt)
{
    return {QStringLiteral("id-") + text, source, text, std::move(detail), std::move(url)};
}

struct CompositionCase {
    const char *name;
    QList<TickerItem> items;
    QString text;
    QList<ClickableRange> ranges;
};

TEST(TickerLineTest, ComposesItemsWithSeparatorsMarkersAndRanges)
{
    // U+10428 upper-cases to U+10400: two UTF-16 code units each.
    const QString deseret = QStringLiteral("\U00010428");
    const QString deseretUpper = QStringLiteral("\U00010400");
    const QList<CompositionCase> cases {
        {"no items shows the placeholder", {}, QStringLiteral("  ribbex: ENABLE SOURCES IN SETTINGS  "), {}},
        {"two headlines",
            {item(TickerSource::news, QStringLiteral("a"), link), item(TickerSource::news, QStringLiteral("b"), link)},
            u" A " + separator + u" B ", {{1, 1, TickerSource::news, link}, {8, 1, TickerSource::news, link}}},
        {"spotify with its mark and detail",
            {item(TickerSource::spotify, QStringLiteral("Song"), spotifyLink, QStringLiteral("Artist"))},
            QStringLiteral(" \uE000 SONG - ARTIST "), {{3, 13, TickerSource::spotify, spotifyLink}}},
        {"spotify with an empty detail", {item(TickerSource::spotify, QStringLiteral("Song"), std::nullopt, QString())},
            QStringLiteral(" \uE000 SONG "), {}},
        {"full case mapping and characters outside the basic plane",
            {item(TickerSource::news, u"stra\u00DFe " + deseret + u"x", link),
                item(TickerSource::news, QStringLiteral("b"), link)},
            u" STRASSE " + deseretUpper + u"X " + separator + u" B ",
            {{1, 11, TickerSource::news, link}, {18, 1, TickerSource::news, link}}},
        {"dashes and middle dots become ASCII",
            {item(TickerSource::football, QStringLiteral("A 2\u20131 B \u00B7 67\u2032 \u2014"))},
            QStringLiteral(" A 2-1 B . 67\u2032 - "), {}},
        {"a feed's marker characters are dropped, the weather's stays",
            {item(TickerSource::news, QStringLiteral("x\uFFFC\uE000y"), link),
                item(
                    TickerSource::weather, QStringLiteral("7\u00B0C \uFFFC Oslo"), QUrl(QStringLiteral("weather://")))},
            u" XY " + separator + QStringLiteral(" 7\u00B0C \uFFFC OSLO "),
            {{1, 2, TickerSource::news, link}, {9, 10, TickerSource::weather, QUrl(QStringLiteral("weather://"))}}},
    };
    for (const CompositionCase &c : cases) {
        const ComposedLine line = composeTickerLine(c.items, RibbexSettings {});
        EXPECT_EQ(line.text, c.text) << c.name;
        EXPECT_EQ(line.clickableRanges, c.ranges) << c.name;
    }
}

TEST(TickerLineTest, SeparateZoneTakesTheFootballItemsOnlyWhenFootballIsEnabled)
{
    const QList<TickerItem> items {
        item(TickerSource::news, QStringLiteral("n")), item(TickerSource::football, QStringLiteral("ars 2-1 che"))};
    const QList<TickerItem> onlyFootball {items[1]};
    RibbexSettings zone;
    zone.separateFootballZone = true;
    zone.enabledSources = {TickerSource::news, TickerSource::football};
    RibbexSettings zoneWithoutFootball = zone;
    zoneWithoutFootball.enabledSources = {TickerSource::news};

    const ComposedLine split = composeTickerLine(items, zone);
    EXPECT_EQ(split.text, QStringLiteral(" N "));
    EXPECT_EQ(split.footballTexts, QStringList {QStringLiteral("ARS 2-1 CHE")});

    const ComposedLine footballOnly = composeTickerLine(onlyFootball, zone);
    EXPECT_EQ(footballOnly.text, QString());
    EXPECT_EQ(footballOnly.footballTexts.size(), 1);

    const ComposedLine together = composeTickerLine(items, zoneWithoutFootball);
    EXPECT_EQ(together.text, u" N " + separator + u" ARS 2-1 CHE ");
    EXPECT_TRUE(together.footballTexts.isEmpty());
}

} // namespace
} // namespace ribbex
