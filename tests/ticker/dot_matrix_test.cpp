#include "ticker/dot_matrix.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

TEST(DotMatrixTest, WidthsCountGraphemeClustersAtFixedAdvances)
{
    const struct {
        QString text;
        double width;
    } cases[] {
        {QString(), 0},
        {QStringLiteral("A"), 12.393},
        {QStringLiteral("a"), 12.393}, // no glyph, same advance
        {QStringLiteral("\u2002"), 4.647375},
        {QStringLiteral("\u2004"), 9.29475},
        {QStringLiteral("\u2002\u2004|\u2004"), 35.630},
        {QStringLiteral("\U0001F600"), 12.393}, // two code units, one character
        {QStringLiteral("E\u0301X"), 2 * 12.393}, // a combining accent joins its letter
        {QStringLiteral("  ribbex: ENABLE SOURCES IN SETTINGS  "), 38 * 12.393},
    };
    for (const auto &c : cases)
        EXPECT_NEAR(dotMatrixWidth(c.text), c.width, 0.0005) << qPrintable(c.text);
}

TEST(DotMatrixTest, GlyphLookupFoldsQuotesAndLeavesUnknownCharactersBlank)
{
    const DotBitmap apostrophe = glyph(u"'");
    EXPECT_NE(apostrophe, DotBitmap {});
    for (const char16_t quote : {u'\u2018', u'\u2019', u'\u2032'})
        EXPECT_EQ(glyph(QStringView(&quote, 1)), apostrophe);
    for (const QStringView blank : {u"a", u"\uFFFC", u"\uE000", u"\u2002", u"E\u0301", u"\U0001F600"})
        EXPECT_EQ(glyph(blank), DotBitmap {}) << blank.toString().toStdString();
    EXPECT_TRUE(glyph(u"|").lit(6, 1));
    EXPECT_FALSE(glyph(u"|").lit(6, 0));
}

TEST(DotMatrixTest, SpotifyMarkRulesGiveThePublishedPattern)
{
    const char *pattern[10] {"...XXXX...", "..XXXXXX..", ".XX....XX.", "XX.XXXX.XX", "XXX....XXX", "XX.XXXX.XX",
        "XX.....XXX", ".XX.XXXXX.", "..XXXXXX..", "...XXXX..."};
    for (int row = 0; row < 10; ++row) {
        QString drawn;
        for (int column = 0; column < 10; ++column)
            drawn += spotifyMarkCell(row, column) ? u'X' : u'.';
        EXPECT_EQ(drawn.toStdString(), pattern[row]) << "row " << row;
    }
}

} // namespace
} // namespace ribbex
