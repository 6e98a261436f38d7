#include "settings_window/double_slider.h"
#include "settings_window/source_section.h"
#include "settings_window/switch_button.h"
#include "ticker/pictograms.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class SourcesPaneTest : public WindowTest { };

TEST_F(SourcesPaneTest, EverySourceOffShowsTheFourSwitchesAndNoSection)
{
    RibbexSettings settings;
    settings.enabledSources.clear();
    storeSettings(settings);
    open();

    for (const QString &name : {u"newsSwitch"_s, u"spotifySwitch"_s, u"footballSwitch"_s, u"weatherSwitch"_s}) {
        const auto *toggle = child<SwitchButton>(name);
        ASSERT_TRUE(toggle);
        EXPECT_TRUE(toggle->isVisibleTo(view.get()) && !toggle->isChecked()) << name;
    }
    for (const SourceSection *section : view->findChildren<SourceSection *>())
        EXPECT_FALSE(section->isVisibleTo(view.get())) << section->objectName();
}

TEST_F(SourcesPaneTest, SourceSwitchesAddAndRemoveTheirSourceInOneWrite)
{
    RibbexSettings settings;
    settings.enabledSources.clear();
    storeSettings(settings);
    open();

    for (const TickerSource source : allCases<TickerSource>()) {
        auto *toggle = child<SwitchButton>(rawValue(source) + u"Switch"_s);
        for (const bool on : {true, false}) {
            changes->reset();
            QTest::mouseClick(toggle, Qt::LeftButton);
            EXPECT_EQ(storedSettings().isEnabled(source), on) << rawValue(source);
            EXPECT_EQ(changes->onChangeCalls, 1) << rawValue(source);
            if (source == TickerSource::news || source == TickerSource::football) {
                EXPECT_EQ(shown(rawValue(source) + u"Section"_s), on);
            }
        }
    }
}

TEST_F(SourcesPaneTest, TurningFootballOnShowsEveryCompetitionWhenNoneIsStored)
{
    open();
    edit([](RibbexSettings &settings) {
        settings.enabledSources.clear();
        settings.selectedFootballCompetitions.reset();
    });

    QTest::mouseClick(child<SwitchButton>(u"footballSwitch"_s), Qt::LeftButton);
    EXPECT_TRUE(model->settings().isEnabled(TickerSource::football));
    for (const FootballCompetition competition : allFootballCompetitions())
        EXPECT_TRUE(child<QCheckBox>(id(competition))->isChecked()) << id(competition);
}

TEST_F(SourcesPaneTest, RefreshNowFetchesTheFeedAndShowsItsStatus)
{
    RibbexSettings settings;
    settings.enabledSources.clear();
    settings.newsFeedID = NewsFeed::customId;
    settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
    storeSettings(settings);
    open();

    QTest::mouseClick(child<SwitchButton>(u"newsSwitch"_s), Qt::LeftButton);
    EXPECT_TRUE(shown(u"customFeedField"_s));
    QTest::mouseClick(child<QPushButton>(u"refreshNowButton"_s), Qt::LeftButton);
    const auto *status = child<QLabel>(u"newsStatus"_s);
    ASSERT_TRUE(waitUntil([&] { return status->text() == u"Updated just now · 1 headline"; })) << status->text();
    EXPECT_EQ(server.count(u"/feed.xml"_s), 1);
}

TEST_F(SourcesPaneTest, NewsOptionsShowFallbacksAndWriteThroughTheModel)
{
    RibbexSettings settings;
    settings.newsHeadlineCount.reset();
    settings.newsRefreshIntervalSeconds.reset();
    storeSettings(settings);
    open();

    auto *interval = child<QComboBox>(u"refreshIntervalPicker"_s);
    EXPECT_EQ(interval->currentText(), u"15 minutes");
    EXPECT_EQ(child<QLabel>(u"headlineCount"_s)->text(), u"5");

    changes->reset();
    interval->setFocus();
    QTest::keyClick(interval, Qt::Key_Down);
    EXPECT_EQ(storedSettings().newsRefreshIntervalSeconds, 1800);
    EXPECT_EQ(changes->onChangeCalls, 1);

    // The slider rounds to the nearest whole headline.
    changes->reset();
    child<DoubleSlider>(u"headlineSlider"_s)->setDoubleValue(2.4);
    EXPECT_EQ(storedSettings().newsHeadlineCount, 2);
    EXPECT_EQ(child<QLabel>(u"headlineCount"_s)->text(), u"2");
    child<DoubleSlider>(u"headlineSlider"_s)->setDoubleValue(4.6);
    EXPECT_EQ(storedSettings().newsHeadlineCount, 5);
    EXPECT_EQ(changes->onChangeCalls, 2);

    auto *feeds = child<QComboBox>(u"feedPicker"_s);
    EXPECT_EQ(feeds->currentText(), u"BBC News");
    feeds->setFocus();
    QTest::keyClick(feeds, Qt::Key_Down);
    EXPECT_EQ(storedSettings().newsFeedID, u"guardian"_s);
    EXPECT_TRUE(waitUntil([this] { return server.count(u"/world/rss"_s) == 1; }));
}

TEST_F(SourcesPaneTest, CustomFeedIsChosenOnlyWithAValidAddress)
{
    open();
    auto *feeds = child<QComboBox>(u"feedPicker"_s);
    EXPECT_FALSE(shown(u"customFeedField"_s));
    feeds->setFocus();
    QTest::keyClick(feeds, Qt::Key_End);
    EXPECT_EQ(storedSettings().newsFeedID, NewsFeed::customId);
    EXPECT_EQ(child<QLabel>(u"newsStatus"_s)->text(), u"Add a valid custom RSS URL below");

    auto *field = child<QLineEdit>(u"customFeedField"_s);
    auto *useFeed = child<QPushButton>(u"useFeedButton"_s);
    ASSERT_TRUE(shown(u"customFeedField"_s));
    QTest::keyClicks(field, u" \t "_s);
    EXPECT_FALSE(useFeed->isEnabled());

    field->clear();
    QTest::keyClicks(field, u"ftp://example.com/feed.xml"_s);
    changes->reset();
    QTest::mouseClick(useFeed, Qt::LeftButton);
    EXPECT_EQ(child<QLabel>(u"newsStatus"_s)->text(), u"Enter a valid http or https feed URL");
    EXPECT_EQ(storedSettings().customNewsFeedURL, std::nullopt);
    EXPECT_EQ(changes->onChangeCalls, 0);
    EXPECT_EQ(field->text(), u"ftp://example.com/feed.xml");

    field->clear();
    QTest::keyClicks(field, server.url(u"/feed.xml"_s).toString());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(storedSettings().customNewsFeedURL, server.url(u"/feed.xml"_s).toString());
    EXPECT_TRUE(waitUntil([this] { return server.count(u"/feed.xml"_s) == 1; }));
}

TEST_F(SourcesPaneTest, CompetitionCheckboxesWriteTheSelection)
{
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::football};
    storeSettings(settings);
    open();

    changes->reset();
    auto *laLiga = child<QCheckBox>(u"esp.1"_s);
    QTest::mouseClick(laLiga, Qt::LeftButton, {}, QPoint(8, laLiga->height() / 2));
    FootballCompetitionSet expected = allFootballCompetitionSet();
    expected.erase(FootballCompetition::laLiga);
    EXPECT_EQ(storedSettings().selectedFootballCompetitions, expected);
    EXPECT_FALSE(laLiga->isChecked());
    EXPECT_EQ(changes->onChangeCalls, 1);
}

TEST_F(SourcesPaneTest, ModelChangesKeepFocusTypedTextAndScrollPosition)
{
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::news, TickerSource::football};
    settings.newsFeedID = NewsFeed::customId;
    storeSettings(settings);
    open({580, 300});
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));

    auto *field = child<QLineEdit>(u"customFeedField"_s);
    QScrollArea *area = view->scrollArea(SettingsView::Tab::sources);
    QScrollBar *scroll = area->verticalScrollBar();
    scroll->setValue(field->mapTo(area->widget(), QPoint(0, 0)).y() - 20);
    const int position = scroll->value();
    ASSERT_GT(position, 0);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, u"https://exam"_s);

    model->setNewsStatus(u"Refreshing…"_s);
    edit([](RibbexSettings &changed) { changed.newsHeadlineCount = 3; });
    model->setNewsStatus(u"Updated just now · 3 headlines"_s);

    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->text(), u"https://exam");
    EXPECT_EQ(field->cursorPosition(), 12);
    EXPECT_EQ(scroll->value(), position);
}

TEST(Pictograms, EverySourceSymbolAndTheChevronAreDrawnInsideTheUnitSquare)
{
    QStringList names {u"chevron.down"_s};
    for (const TickerSource source : allCases<TickerSource>())
        names.append(symbolName(source));
    for (const QString &name : names) {
        const QRectF bounds = symbolPictogram(name).boundingRect();
        EXPECT_FALSE(bounds.isEmpty()) << name;
        EXPECT_TRUE(QRectF(0, 0, 1, 1).contains(bounds)) << name;
    }
}

} // namespace
} // namespace ribbex::test
