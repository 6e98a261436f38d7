#include "shell_fixture.h"

#include "app/refresh_timers.h"
#include "sources/football/espn_football_provider.h"
#include "sources/football/football_refresh.h"
#include "sources/news/news_refresh.h"
#include "sources/news/news_rss_provider.h"

#include <QTest>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

std::chrono::milliseconds milliseconds(std::optional<double> seconds)
{
    return std::chrono::milliseconds(std::llround(seconds.value_or(-1) * 1000));
}

class RefreshTimersTest : public ShellTest {
protected:
    RefreshTimersTest()
    {
        settingsStore.write(RibbexSettings::preferencesKey, encodeSettings(startingSettings()).value());
        model = std::make_unique<SettingsModel>(ModelServices {settingsStore, cacheStore, loginItems, clock, false});
        football = std::make_unique<FootballRefresh>(*model, scoreboard);
        news = std::make_unique<NewsRefresh>(*model, feeds);
        timers = std::make_unique<RefreshTimers>(*model, *football, *news);
        timers->addRepeatingSource(TickerSource::spotify, 15s, [this] { ++spotifyRefreshes; });
        timers->addRepeatingSource(TickerSource::weather, 1800s, [this] { ++weatherRefreshes; });
    }

    void TearDown() override { settle(*model); }

    void launchAndSettle()
    {
        timers->launch();
        ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timers->footballTimer().isActive(); }));
    }

    std::optional<double> footballDelay() const { return football->nextFootballRefreshDelay(clock.now()); }
    std::optional<double> newsDelay() const { return news->nextNewsRefreshDelay(clock.now()); }

    ESPNFootballProvider scoreboard {network, server.url()};
    NewsRSSProvider feeds {network, 5s};
    std::unique_ptr<SettingsModel> model;
    std::unique_ptr<FootballRefresh> football;
    std::unique_ptr<NewsRefresh> news;
    std::unique_ptr<RefreshTimers> timers;
    int spotifyRefreshes = 0;
    int weatherRefreshes = 0;
};

TEST_F(RefreshTimersTest, FootballTimerIsArmedAgainAfterEveryPassAndNeverWithoutASelection)
{
    launchAndSettle();
    EXPECT_GE(scoreboardRequests(), 1);
    EXPECT_EQ(timers->footballTimer().intervalAsDuration(), milliseconds(footballDelay()));

    // A pass that finds nothing due still ends by arming the timer for what is due next.
    const auto before = timers->footballTimer().intervalAsDuration();
    clock.advance(2h);
    (void)football->refreshFootball();
    ASSERT_TRUE(eventually([&] { return timers->footballTimer().intervalAsDuration() != before; }));
    EXPECT_TRUE(timers->footballTimer().isActive());
    EXPECT_EQ(timers->footballTimer().intervalAsDuration(), milliseconds(footballDelay()));

    editSettings(
        *model, [](RibbexSettings &settings) { settings.selectedFootballCompetitions = FootballCompetitionSet {}; });
    EXPECT_FALSE(timers->footballTimer().isActive());
}

TEST_F(RefreshTimersTest, NewsTimerIsArmedAgainWhetherOrNotItsCheckRefreshes)
{
    launchAndSettle();
    EXPECT_EQ(timers->newsTimer().intervalAsDuration(), 900s);
    EXPECT_EQ(timers->repeatingTimer(TickerSource::spotify)->isActive(), false);

    // A colour change re-runs the schedulers against the clock but fetches nothing.
    clock.advance(899s);
    const qsizetype scoreboardBefore = scoreboardRequests();
    model->updateColor(SettingsModel::ColorField::text, u"#FF0000"_s);
    EXPECT_EQ(timers->newsTimer().intervalAsDuration(), 1s);
    EXPECT_EQ(timers->footballTimer().intervalAsDuration(), milliseconds(footballDelay()));

    // The check finds nothing due yet (the clock is pinned), so the shell arms the timer again.
    QTest::qWait(1500);
    EXPECT_TRUE(timers->newsTimer().isActive());
    EXPECT_EQ(feedRequests(), 1);

    // Now due: the attempt arms the next full interval through the model's callback.
    clock.advance(1s);
    ASSERT_TRUE(eventually([this] { return feedRequests() == 2; }));
    EXPECT_TRUE(timers->newsTimer().isActive());
    EXPECT_EQ(timers->newsTimer().intervalAsDuration(), 900s);
    EXPECT_EQ(scoreboardRequests(), scoreboardBefore);
}

TEST_F(RefreshTimersTest, RepeatingSourceRefreshesWhenEnabledAndStopsWhenDisabled)
{
    launchAndSettle();
    const int atLaunch = weatherRefreshes;

    editSettings(*model, [](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::weather); });
    EXPECT_EQ(weatherRefreshes, atLaunch + 1);
    const QTimer *weather = timers->repeatingTimer(TickerSource::weather);
    EXPECT_TRUE(weather->isActive());
    EXPECT_EQ(weather->intervalAsDuration(), 1800s);
    EXPECT_FALSE(weather->isSingleShot());

    model->setBackgroundTransparency(1.0);
    EXPECT_EQ(weatherRefreshes, atLaunch + 1);

    editSettings(*model, [](RibbexSettings &settings) { settings.enabledSources.erase(TickerSource::weather); });
    EXPECT_FALSE(weather->isActive());
}

TEST_F(RefreshTimersTest, SleepStopsEveryTimerAndWakeRebuildsThemAndRefreshesEverySource)
{
    editSettings(*model, [](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::weather); });
    launchAndSettle();
    timers->displayDidSleep();
    const QTimer *spotify = timers->repeatingTimer(TickerSource::spotify);
    const QTimer *weather = timers->repeatingTimer(TickerSource::weather);
    const auto noTimerRuns = [&] {
        return !spotify->isActive() && !weather->isActive() && !timers->newsTimer().isActive()
            && !timers->footballTimer().isActive();
    };
    EXPECT_TRUE(noTimerRuns());

    // Enabling a source while asleep refreshes it once but arms nothing.
    editSettings(*model, [](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::spotify); });
    EXPECT_TRUE(noTimerRuns());
    const int spotifyBefore = spotifyRefreshes;
    const int weatherBefore = weatherRefreshes;
    const qsizetype scoreboardBefore = scoreboardRequests();

    clock.advance(7h);
    timers->displayDidWake();
    EXPECT_TRUE(spotify->isActive() && weather->isActive() && timers->newsTimer().isActive());
    EXPECT_EQ(spotifyRefreshes, spotifyBefore + 1);
    EXPECT_EQ(weatherRefreshes, weatherBefore + 1);
    ASSERT_TRUE(eventually([&] { return feedRequests() == 2 && scoreboardRequests() > scoreboardBefore; }));
    ASSERT_TRUE(eventually([&] { return timers->footballTimer().isActive(); }));
}

} // namespace
} // namespace ribbex::test
