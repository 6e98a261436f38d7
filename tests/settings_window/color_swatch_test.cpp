#include "settings_window/color_swatch_popover.h"
#include "window_fixture.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST(NormalizedHex, AcceptsSixDigitsAfterTrimmingSpaceThenHashes)
{
    const struct {
        QString text;
        std::optional<QString> expected;
    } cases[] = {
        {u"#ffab38"_s, u"#FFAB38"_s},
        {u"ffab38"_s, u"#FFAB38"_s},
        {u" ##FFAB38 "_s, u"#FFAB38"_s},
        {u"\n#FFAB38#\t"_s, u"#FFAB38"_s},
        {u"#FFF"_s, std::nullopt},
        {u"#FFAB3"_s, std::nullopt},
        {u"#GGGGGG"_s, std::nullopt},
        {u"#FFAB388"_s, std::nullopt},
        {u"# FFAB38"_s, std::nullopt},
        {u"+FFAB3"_s, std::nullopt},
        {u"0xFFAB"_s, std::nullopt},
        {u"#FFAB３8"_s, std::nullopt}, // a full-width digit
        {QString(), std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(normalizedHex(c.text), c.expected) << c.text;
}

// The chevron is white on dark chips and black on light ones, split at a brightness of 0.5.
TEST(ColorSwatch, ChevronContrastsWithTheChip)
{
    const struct {
        QString color;
        bool light;
    } cases[] = {
        {u"#FFFFFF"_s, false},
        {u"#000000"_s, true},
        {u"#808080"_s, false},
        {u"#7F7F7F"_s, true},
        {u"#0000FF"_s, true}, // blue counts least
        {u"#00FF00"_s, false},
    };
    for (const auto &c : cases) {
        ColorSwatchPopover swatch;
        swatch.setColor(c.color);
        swatch.resize(swatch.sizeHint());
        const QImage image = swatch.grab().toImage();
        ASSERT_EQ(image.size(), QSize(27, 20));
        bool white = false;
        bool black = false;
        const int fill = qGray(QColor(c.color).rgb());
        // Inside the outline, where only the fill and the chevron are.
        for (int y = 5; y < 16; ++y) {
            for (int x = 6; x < 21; ++x) {
                white |= qGray(image.pixel(x, y)) > fill + 60;
                black |= qGray(image.pixel(x, y)) < fill - 60;
            }
        }
        EXPECT_EQ(white, c.light) << c.color;
        EXPECT_EQ(black, !c.light) << c.color;
    }
}

class ColorPopoverTest : public WindowTest {
protected:
    void SetUp() override
    {
        open();
        select(SettingsView::Tab::appearance);
        swatch = child<ColorSwatchPopover>(u"textColorSwatch"_s);
        QTest::mouseClick(swatch, Qt::LeftButton);
        ASSERT_TRUE(swatch->isPresented());
        changes->reset();
    }

    ColorSwatchPopover *swatch = nullptr;
};

TEST_F(ColorPopoverTest, PaletteChipsRecolourAtOnceAndKeepThePopoverOpen)
{
    for (const QString &color : {u"#EF4444"_s, u"#22C55E"_s}) {
        auto *chip = swatch->popover()->findChild<QAbstractButton *>(color);
        ASSERT_TRUE(chip) << color;
        EXPECT_EQ(chip->toolTip(), color);
        QTest::mouseClick(chip, Qt::LeftButton);
        EXPECT_EQ(storedSettings().textColor, color);
        EXPECT_EQ(swatch->color(), color);
        EXPECT_EQ(swatch->hexField()->text(), color);
        EXPECT_TRUE(swatch->isPresented());
    }
    EXPECT_EQ(changes->onChangeCalls, 2);
}

TEST_F(ColorPopoverTest, HexEntryAppliesOnlyAValidColourAndThenCloses)
{
    QLineEdit *field = swatch->hexField();
    field->clear();
    QTest::keyClicks(field, u"#GGGGGG"_s);
    QTest::mouseClick(swatch->popover()->findChild<QPushButton *>(), Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(swatch->isPresented());
    EXPECT_EQ(field->text(), u"#GGGGGG");
    EXPECT_EQ(changes->onChangeCalls, 0);

    field->clear();
    QTest::keyClicks(field, u" ##ffab38 "_s);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(swatch->isPresented());
    EXPECT_EQ(storedSettings().textColor, u"#FFAB38");
    EXPECT_EQ(changes->onChangeCalls, 1);
}

} // namespace
} // namespace ribbex::test
