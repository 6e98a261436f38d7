#include "settings_window/color_swatch_popover.h"
#include "settings_window/double_slider.h"
#include "settings_window/settings_view.h"
#include "support/full_disk.h"
#include "support/model_home.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;
using Tab = SettingsView::Tab;

// The settings window over the model fixture, counting the model's writes.
class SettingsViewTest : public ModelTest {
protected:
    void open(QSize size = {580, 720})
    {
        view = std::make_unique<SettingsView>(
            model(), SettingsActions {sourcePointers(sources()), [this] { ++loginItemsOpened; }});
        view->resize(size);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        changes = std::make_unique<ChangeCounter>(model());
    }

    template<typename Widget = QWidget> Widget *child(const QString &name) const
    {
        auto *widget = view->findChild<Widget *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    bool shown(const QString &name) const { return child(name)->isVisibleTo(view.get()); }

    std::unique_ptr<SettingsView> view;
    std::unique_ptr<ChangeCounter> changes;
    int loginItemsOpened = 0;
};

TEST_F(SettingsViewTest, EveryControlWritesItsFieldThroughTheModel)
{
    edit([](RibbexSettings &s) { s.enabledSources.clear(); });
    open();
    const QString feed = server.url(u"/feed.xml"_s).toString();
    enum Operation { click, key, slide, type };
    const struct {
        QString control;
        Operation operation;
        double value; // the key, the slider's value
        std::function<void(RibbexSettings &)> change; // to what was stored before; none: nothing written
        int writes = 1;
        QString fetched {}; // the path of a request the control starts
        QString typed {}; // what a type operation enters; the feed address when empty
    } cases[] = {
        {u"presetPaper"_s, click, 0,
            [](RibbexSettings &s) {
                s.textColor = u"#1A1A1A"_s;
                s.backgroundColor = u"#F2EFE8"_s;
            }},
        {u"stylePicker"_s, key, Qt::Key_Home, [](RibbexSettings &s) { s.style = TickerStyle::classic; }},
        {u"transparentBackgroundSwitch"_s, click, 0, [](RibbexSettings &s) { s.backgroundTransparency = 0.0; }},
        {u"transparentBackgroundSwitch"_s, click, 0, [](RibbexSettings &s) { s.backgroundTransparency = 1.0; }},
        {u"roundedEdgesSwitch"_s, click, 0, [](RibbexSettings &s) { s.roundedTickerEdges = false; }},
        {u"speedSlider"_s, slide, 100.5, [](RibbexSettings &s) { s.speed = 100.5; }},
        {u"widthSlider"_s, slide, 355, [](RibbexSettings &s) { s.width = 360; }},
        {u"widthSlider"_s, key, Qt::Key_Right, [](RibbexSettings &s) { s.width = 370; }},
        {u"progressTransparencySlider"_s, slide, 0.25, [](RibbexSettings &s) { s.progressBarTransparency = 0.25; }},
        {u"thickProgressSwitch"_s, click, 0, [](RibbexSettings &s) { s.thickSpotifyProgressBar = true; }},
        {u"separateZoneSwitch"_s, click, 0, [](RibbexSettings &s) { s.separateFootballZone = true; }},
        {u"openLoginItemsButton"_s, click, 0, {}, 0},
        {u"footballSwitch"_s, click, 0, [](RibbexSettings &s) { s.enabledSources.insert(TickerSource::football); }},
        {u"esp.1"_s, click, 0,
            [](RibbexSettings &s) {
                s.selectedFootballCompetitions = allFootballCompetitionSet();
                s.selectedFootballCompetitions->erase(FootballCompetition::laLiga);
            },
            1, u"/apis/site/v2/sports/soccer/eng.1/scoreboard"_s},
        {u"newsSwitch"_s, click, 0, [](RibbexSettings &s) { s.enabledSources.insert(TickerSource::news); }},
        {u"refreshIntervalPicker"_s, key, Qt::Key_Down, [](RibbexSettings &s) { s.newsRefreshIntervalSeconds = 1800; }},
        {u"headlineSlider"_s, slide, 2.4, [](RibbexSettings &s) { s.newsHeadlineCount = 2; }},
        {u"headlineSlider"_s, slide, 4.6, [](RibbexSettings &s) { s.newsHeadlineCount = 5; }},
        {u"feedPicker"_s, key, Qt::Key_Down, [](RibbexSettings &s) { s.newsFeedID = u"guardian"_s; }, 1,
            u"/world/rss"_s},
        {u"feedPicker"_s, key, Qt::Key_End, [](RibbexSettings &s) { s.newsFeedID = NewsFeed::customId; }},
        // The address, then the custom feed chosen again.
        {u"customFeedField"_s, type, 0, [&](RibbexSettings &s) { s.customNewsFeedURL = feed; }, 2, u"/feed.xml"_s},
        {u"refreshNowButton"_s, click, 0, {}, 0, u"/feed.xml"_s},
        {u"newsSwitch"_s, click, 0, [](RibbexSettings &s) { s.enabledSources.erase(TickerSource::news); }},
        {u"spotifySwitch"_s, click, 0, [](RibbexSettings &s) { s.enabledSources.insert(TickerSource::spotify); }},
        {u"weatherSwitch"_s, click, 0, [](RibbexSettings &s) { s.enabledSources.insert(TickerSource::weather); }},
        {u"currentLocationSwitch"_s, click, 0, [](RibbexSettings &s) { s.weatherUseCurrentLocation = false; }},
        {u"cityField"_s, type, 0,
            [](RibbexSettings &s) {
                s.weatherUseCurrentLocation = false;
                s.weatherCity = u"Oslo"_s;
            },
            1, u"/v1/search"_s, u" Oslo "_s},
        {u"currentLocationSwitch"_s, click, 0,
            [](RibbexSettings &s) {
                s.weatherUseCurrentLocation = true;
                s.weatherCity.reset();
            }},
    };
    for (const auto &c : cases) {
        QWidget *control = child(c.control);
        view->selectTab(view->scrollArea(Tab::sources)->isAncestorOf(control) ? Tab::sources : Tab::appearance);
        RibbexSettings expected = stored();
        const qsizetype fetchedBefore = requests(c.fetched);
        changes->reset();
        if (c.operation == click)
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
        if (c.operation == slide)
            qobject_cast<DoubleSlider *>(control)->setDoubleValue(c.value);
        control->setFocus();
        if (c.operation == key)
            QTest::keyClick(control, Qt::Key(static_cast<int>(c.value)));
        if (c.operation == type) {
            QTest::keyClicks(control, c.typed.isEmpty() ? feed : c.typed);
            QTest::keyClick(control, Qt::Key_Return);
        }
        if (c.change)
            c.change(expected);
        EXPECT_EQ(stored(), expected) << c.control.toStdString();
        EXPECT_EQ(changes->onChangeCalls, c.writes) << c.control.toStdString();
        if (!c.fetched.isEmpty()) {
            EXPECT_TRUE(eventually([&] { return requests(c.fetched) > fetchedBefore; })) << c.control.toStdString();
        }
        // A source's options are there exactly while it is on.
        for (const TickerSource kind : allCases<TickerSource>())
            EXPECT_EQ(shown(rawValue(kind) + u"Section"_s), expected.isEnabled(kind)) << c.control.toStdString();
    }
    EXPECT_EQ(loginItemsOpened, 1);
}

// The window shows every change of the model in place: what the user is typing, the focus and
// the scroll position stay, and nothing shown is written back.
TEST_F(SettingsViewTest, AModelChangeKeepsTheTypingFocusAndScrollAndWritesNothingBack)
{
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::news, TickerSource::football};
    settings.newsFeedID = NewsFeed::customId;
    store(settings);
    open({580, 300});
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));

    auto *field = child<QLineEdit>(u"customFeedField"_s);
    QScrollArea *area = view->scrollArea(Tab::sources);
    QScrollBar *scroll = area->verticalScrollBar();
    scroll->setValue(field->mapTo(area->widget(), QPoint(0, 0)).y() - 20);
    const int position = scroll->value();
    ASSERT_GT(position, 0);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, u"https://exam"_s);

    model().setNewsStatus(u"Refreshing…"_s);
    // A width between the slider's steps must not come back as the step.
    edit([](RibbexSettings &changed) {
        changed.newsHeadlineCount = 3;
        changed.width = 355;
    });
    model().setNewsStatus(u"Updated just now · 3 headlines"_s);

    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->text(), u"https://exam");
    EXPECT_EQ(field->cursorPosition(), 12);
    EXPECT_EQ(scroll->value(), position);
    EXPECT_EQ(changes->onChangeCalls, 1);
    EXPECT_EQ(stored().width, 355);
}

TEST_F(SettingsViewTest, SettingsThatCannotBeSavedShowAStatusLineUntilASaveWorks)
{
    open();
    view->selectTab(Tab::appearance);
    FullDisk disk(home.configDir());
    disk.fill();
    QTest::mouseClick(child(u"roundedEdgesSwitch"_s), Qt::LeftButton);
    EXPECT_TRUE(shown(u"saveStatus"_s));
    EXPECT_EQ(child<QLabel>(u"saveStatus"_s)->text(), u"Couldn't save settings \u00B7 "_s + disk.reason());

    disk.makeRoom();
    QTest::mouseClick(child(u"roundedEdgesSwitch"_s), Qt::LeftButton);
    EXPECT_FALSE(shown(u"saveStatus"_s));
}

TEST_F(SettingsViewTest, TheColourSwatchAppliesAPaletteChipAtOnceAndATypedColourOnlyWhenValid)
{
    open();
    view->selectTab(Tab::appearance);
    auto *swatch = child<ColorSwatchPopover>(u"textColorSwatch"_s);
    QTest::mouseClick(swatch, Qt::LeftButton);
    ASSERT_TRUE(swatch->isPresented());
    changes->reset();
    QTest::mouseClick(swatch->popover()->findChild<QAbstractButton *>(u"#EF4444"_s), Qt::LeftButton);
    EXPECT_EQ(stored().textColor, u"#EF4444");
    EXPECT_EQ(swatch->hexField()->text(), u"#EF4444");
    EXPECT_TRUE(swatch->isPresented());

    // Only a whole six-digit colour is applied; the fifth has a full-width digit.
    const std::pair<QString, bool> entries[] = {{u"#GGGGGG"_s, false}, {u"#FFF"_s, false}, {u"#FFAB388"_s, false},
        {u"# FFAB38"_s, false}, {u"#FFAB３8"_s, false}, {u" ##ffab38# "_s, true}};
    for (const auto &[typed, applied] : entries) {
        swatch->hexField()->setText(typed);
        QTest::keyClick(swatch->hexField(), Qt::Key_Return);
        EXPECT_EQ(swatch->isPresented(), !applied) << typed.toStdString();
        EXPECT_EQ(stored().textColor, applied ? u"#FFAB38" : u"#EF4444") << typed.toStdString();
    }
    EXPECT_EQ(changes->onChangeCalls, 2);
}

} // namespace
} // namespace ribbex::test
