// The composed line's text and click ranges, and how the Dot Matrix font measures it.

#include "ticker/dot_matrix.h"
#include "ticker/ticker_line.h"

#include <gtest/gtest.h>

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
    const struct {
        const char *name;
        QList<TickerItem> items;
        QString text;
        QList<ClickableRange> ranges;
    } cases[] {
        {"no items shows the placeholder", {}, placeholderLine, {}},
        {"spotify with an empty detail", {item(TickerSource::spotify, u"Song"_s, std::nullopt, QString())},
            u" \uE000 SONG "_s, {}},
        // U+10428 upper-cases to U+10400: two UTF-16 code units each.
        {"full case mapping and characters outside the basic plane",
            {item(TickerSource::news, u"stra\u00DFe \U00010428x"_s, link), item(TickerSource::news, u"b"_s, link)},
            u" STRASSE \U00010400X "_s + separator + u" B ",
            {{1, 11, TickerSource::news, link}, {18, 1, TickerSource::news, link}}},
        {"dashes and middle dots become ASCII",
            {item(TickerSource::football, u"A 2\u20131 B \u00B7 67\u2032 \u2014"_s)}, u" A 2-1 B . 67\u2032 - "_s, {}},
        {"a feed's marker characters are dropped, the weather's stays",
            {item(TickerSource::news, u"x\uFFFC\uE000y"_s, link),
                item(TickerSource::weather, u"7\u00B0C \uFFFC Oslo"_s, weather)},
            u" XY "_s + separator + u" 7\u00B0C \uFFFC OSLO ",
            {{1, 2, TickerSource::news, link}, {9, 10, TickerSource::weather, weather}}},
    };
    for (const auto &c : cases) {
        const ComposedLine line = composeTickerLine(c.items, RibbexSettings {});
        EXPECT_EQ(line.text, c.text) << c.name;
        EXPECT_EQ(line.clickableRanges, c.ranges) << c.name;
    }
}

TEST(DotMatrixTest, WidthsCountCharactersNotCodeUnits)
{
    const struct {
        QString text;
        int advances;
    } cases[] {
        {QString(), 0}, {u"a"_s, 1}, // no glyph, same advance
        {u"\U0001F600"_s, 1}, // two code units, one character
        {u"E\u0301X"_s, 2}, // a combining accent joins its letter
    };
    for (const auto &c : cases)
        EXPECT_NEAR(dotMatrixWidth(c.text), c.advances * dotMatrix::advance, 1e-9) << c.text.toStdString();
}

} // namespace
} // namespace ribbex
