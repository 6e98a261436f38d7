#include "settings_window/color_swatch_popover.h"
#include "settings_window/double_slider.h"
#include "settings_window/switch_button.h"
#include "support/full_disk.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class AppearancePaneTest : public WindowTest {
protected:
    void SetUp() override
    {
        open();
        select(SettingsView::Tab::appearance);
    }

    void click(const QString &name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }
    QString text(const QString &name) const { return child<QLabel>(name)->text(); }
    bool on(const QString &name) const { return child<SwitchButton>(name)->isChecked(); }
};

TEST_F(AppearancePaneTest, EveryControlWritesThroughTheModelOnce)
{
    const struct {
        const char *what;
        std::function<void()> act;
        std::function<bool(const RibbexSettings &)> stored;
    } cases[] = {
        {"Paper preset", [&] { click(u"presetPaper"_s); },
            [](const RibbexSettings &s) { return s.textColor == u"#1A1A1A" && s.backgroundColor == u"#F2EFE8"; }},
        {"text style",
            [&] {
                child<QWidget>(u"stylePicker"_s)->setFocus();
                QTest::keyClick(child<QWidget>(u"stylePicker"_s), Qt::Key_Home);
            },
            [](const RibbexSettings &s) { return s.style == TickerStyle::classic; }},
        {"transparent background off", [&] { click(u"transparentBackgroundSwitch"_s); },
            [](const RibbexSettings &s) { return s.backgroundTransparency == 0.0; }},
        {"transparent background on", [&] { click(u"transparentBackgroundSwitch"_s); },
            [](const RibbexSettings &s) { return s.backgroundTransparency == 1.0; }},
        {"rounded edges", [&] { click(u"roundedEdgesSwitch"_s); },
            [](const RibbexSettings &s) { return s.roundedTickerEdges == false; }},
        {"continuous speed", [&] { child<DoubleSlider>(u"speedSlider"_s)->setDoubleValue(100.37); },
            [](const RibbexSettings &s) { return std::abs(s.speed - 100.37) < 1e-9; }},
        {"width between steps", [&] { child<DoubleSlider>(u"widthSlider"_s)->setDoubleValue(355); },
            [](const RibbexSettings &s) { return s.width == 360; }},
        {"width by key",
            [&] {
                child<QWidget>(u"widthSlider"_s)->setFocus();
                QTest::keyClick(child<QWidget>(u"widthSlider"_s), Qt::Key_Right);
            },
            [](const RibbexSettings &s) { return s.width == 370; }},
        {"progress bar transparency",
            [&] { child<DoubleSlider>(u"progressTransparencySlider"_s)->setDoubleValue(0.29); },
            [](const RibbexSettings &s) { return std::abs(*s.progressBarTransparency - 0.29) < 1e-9; }},
        {"thick progress bar", [&] { click(u"thickProgressSwitch"_s); },
            [](const RibbexSettings &s) { return s.thickSpotifyProgressBar == true; }},
        {"separate football zone", [&] { click(u"separateZoneSwitch"_s); },
            [](const RibbexSettings &s) { return s.separateFootballZone == true; }},
    };
    for (const auto &c : cases) {
        changes->reset();
        c.act();
        EXPECT_TRUE(c.stored(storedSettings())) << c.what;
        EXPECT_EQ(changes->onChangeCalls, 1) << c.what;
        EXPECT_EQ(changes->changeSignals, 1) << c.what;
    }
    EXPECT_EQ(text(u"progressTransparencyLabel"_s), u"Transparency · 29%");
}

TEST_F(AppearancePaneTest, TransparentBackgroundDisablesTheBackgroundRow)
{
    auto *swatch = child<QWidget>(u"backgroundColorSwatch"_s);
    ASSERT_TRUE(on(u"transparentBackgroundSwitch"_s));
    EXPECT_FALSE(swatch->isEnabled());
    click(u"transparentBackgroundSwitch"_s);
    EXPECT_TRUE(swatch->isEnabled());
    // Only a full transparency counts as a transparent background.
    model->setBackgroundTransparency(0.99);
    EXPECT_TRUE(swatch->isEnabled());
    EXPECT_FALSE(on(u"transparentBackgroundSwitch"_s));
}

TEST_F(AppearancePaneTest, AbsentFieldsShowTheirFallbacks)
{
    edit([](RibbexSettings &s) {
        s.progressBarTransparency.reset();
        s.progressBarColor.reset();
        s.roundedTickerEdges.reset();
        s.thickSpotifyProgressBar.reset();
        s.separateFootballZone.reset();
        s.backgroundTransparency.reset();
    });
    EXPECT_EQ(text(u"progressTransparencyLabel"_s), u"Transparency · 0%");
    EXPECT_EQ(child<ColorSwatchPopover>(u"progressColorSwatch"_s)->color(), u"#FFAB38");
    EXPECT_TRUE(on(u"roundedEdgesSwitch"_s));
    EXPECT_FALSE(on(u"thickProgressSwitch"_s));
    EXPECT_FALSE(on(u"separateZoneSwitch"_s));
    EXPECT_FALSE(on(u"transparentBackgroundSwitch"_s));
    EXPECT_TRUE(child<QWidget>(u"backgroundColorSwatch"_s)->isEnabled());

    // Showing a width between the slider's steps must not write the step back.
    changes->reset();
    edit([](RibbexSettings &s) { s.width = 355; });
    EXPECT_EQ(storedSettings().width, 355);
    EXPECT_EQ(changes->onChangeCalls, 1);

    // Truncated, not rounded.
    edit([](RibbexSettings &s) { s.progressBarTransparency = 0.257; });
    EXPECT_EQ(text(u"progressTransparencyLabel"_s), u"Transparency · 25%");
}

TEST_F(AppearancePaneTest, StartupRowShowsTheLoginItemAndOpensTheDesktopSettings)
{
    const auto *state = child<QWidget>(u"launchAtLoginState"_s);
    model->setLaunchAtLogin(true);
    EXPECT_TRUE(state->property("on").toBool());
    EXPECT_EQ(text(u"launchAtLoginStatus"_s), u"Enabled");
    model->setLaunchAtLogin(false);
    EXPECT_FALSE(state->property("on").toBool());
    EXPECT_EQ(text(u"launchAtLoginStatus"_s), u"Off");

    click(u"openLoginItemsButton"_s);
    EXPECT_EQ(loginItemsOpened, 1);
}

TEST_F(AppearancePaneTest, SettingsThatCannotBeSavedShowAStatusLineUntilASaveWorks)
{
    EXPECT_FALSE(shown(u"saveStatus"_s));
    FullDisk disk(home.configDir());
    disk.fill();
    click(u"roundedEdgesSwitch"_s);
    EXPECT_TRUE(shown(u"saveStatus"_s));
    EXPECT_EQ(text(u"saveStatus"_s), u"Couldn't save settings \u00B7 "_s + disk.reason());

    disk.makeRoom();
    click(u"roundedEdgesSwitch"_s);
    EXPECT_FALSE(shown(u"saveStatus"_s));
}

} // namespace
} // namespace ribbex::test
