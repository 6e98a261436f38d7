#include "settings/colors.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

TEST(Hex, ParsesColourStringsAndFallsBackForAnythingElse)
{
    struct Case {
        const char16_t *text;
        QRgb expected;
    };
    const Case cases[] = {
        {u"#FFAB38", 0xFFAB38},
        {u"#ffab38", 0xFFAB38},
        {u" FFAB38 ", 0xFFAB38},
        {u"ffab38", 0xFFAB38},
        {u"(#ffab38);", 0xFFAB38},
        {u"FFF", 0x000FFF}, // no length check: a short value is a small number
        {u"#12345678", 0x345678}, // only the low 24 bits count
        {u"FFFFFFFFFFFFFFFF", 0xFFFFFF},
        {u"", 0x17191D},
        {u"#", 0x17191D},
        {u"zz", 0x17191D},
        {u"#12 34", 0x17191D}, // inner space
        {u"10000000000000000", 0x17191D}, // does not fit in 64 bits
        {u"FF\U0001D400", 0x17191D}, // a letter outside the basic plane is not trimmed
        {u"\u00E9FF", 0x17191D},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const QColor color = hex(text);
        EXPECT_EQ(color.rgb() & 0xFFFFFF, c.expected) << text.toStdString();
        EXPECT_EQ(color.alphaF(), 1.0f);
    }
}

TEST(Hex, EveryBuiltInColourIsUpperCaseHex)
{
    QList<QString> colours = swatchPalette();
    for (const ColorPreset &preset : colorPresets())
        colours << preset.textColor << preset.backgroundColor;
    EXPECT_EQ(swatchPalette().size(), 18);
    for (const QString &colour : colours) {
        EXPECT_EQ(colour, colour.toUpper());
        EXPECT_EQ(hex(colour).name(QColor::HexRgb).toUpper(), colour);
    }
}

} // namespace
} // namespace ribbex
