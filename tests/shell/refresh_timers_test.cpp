#include "app/refresh_timers.h"
#include "support/model_home.h"

#include <QTest>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

std::chrono::milliseconds milliseconds(std::optional<double> seconds)
{
    return std::chrono::milliseconds(std::llround(seconds.value_or(-1) * 1000));
}

// A source refreshed on a fixed interval, counting its refreshes.
class CountingSource final : public LiveSource {
public:
    CountingSource(TickerSource kind, std::chrono::seconds interval)
        : m_kind(kind)
        , m_interval(interval)
    {
    }

    TickerSource kind() const override { return m_kind; }
    std::optional<std::chrono::seconds> repeatInterval() const override { return m_interval; }
    QCoro::Task<> refreshNow() override { co_await refreshIfDue(); }
    QCoro::Task<> refreshIfDue() override
    {
        ++refreshes;
        co_return;
    }
    QString status() const override { return {}; }

    int refreshes = 0;

private:
    TickerSource m_kind;
    std::chrono::seconds m_interval;
};

class RefreshTimersTest : public ModelTest {
protected:
    RefreshTimersTest()
    {
        RibbexSettings settings;
        settings.enabledSources = {TickerSource::news, TickerSource::football};
        settings.newsFeedID = u"custom"_s;
        settings.customNewsFeedURL = u"https://feeds.example/feed.xml"_s;
        settings.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::premierLeague};
        store(settings);
        timers = std::make_unique<RefreshTimers>(model(),
            std::vector<LiveSource *> {
                &source(TickerSource::football), &source(TickerSource::news), &spotify, &weather});
    }

    void launchAndSettle()
    {
        timers->launch();
        ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timer(TickerSource::football).isActive(); }));
    }

    const QTimer &timer(TickerSource kind) const { return *timers->timer(kind); }
    qsizetype feedRequests() const { return requests(u"/feed.xml"_s); }
    qsizetype scoreboardRequests() const { return server.requests().size() - feedRequests(); }
    std::optional<double> delay(TickerSource kind) { return source(kind).nextRefreshDelay(clock.now()); }

    CountingSource spotify {TickerSource::spotify, 15s};
    CountingSource weather {TickerSource::weather, 1800s};
    std::unique_ptr<RefreshTimers> timers;
};

TEST_F(RefreshTimersTest, FootballTimerIsArmedAgainAfterEveryPassAndNeverWithoutASelection)
{
    launchAndSettle();
    EXPECT_GE(scoreboardRequests(), 1);
    EXPECT_EQ(timer(TickerSource::football).intervalAsDuration(), milliseconds(delay(TickerSource::football)));

    // A pass that finds nothing due still ends by arming the timer for what is due next.
    const auto before = timer(TickerSource::football).intervalAsDuration();
    clock.advance(2h);
    (void)source(TickerSource::football).refreshIfDue();
    ASSERT_TRUE(eventually([&] { return timer(TickerSource::football).intervalAsDuration() != before; }));
    EXPECT_TRUE(timer(TickerSource::football).isActive());
    EXPECT_EQ(timer(TickerSource::football).intervalAsDuration(), milliseconds(delay(TickerSource::football)));

    edit([](RibbexSettings &settings) { settings.selectedFootballCompetitions = FootballCompetitionSet {}; });
    EXPECT_FALSE(timer(TickerSource::football).isActive());
}

TEST_F(RefreshTimersTest, NewsTimerIsArmedAgainWhetherOrNotItsCheckRefreshes)
{
    launchAndSettle();
    EXPECT_EQ(timer(TickerSource::news).intervalAsDuration(), 900s);
    EXPECT_FALSE(timer(TickerSource::spotify).isActive());

    // A colour change re-runs the schedulers against the clock but fetches nothing.
    clock.advance(899s);
    const qsizetype scoreboardBefore = scoreboardRequests();
    model().updateColor(SettingsModel::ColorField::text, u"#FF0000"_s);
    EXPECT_EQ(timer(TickerSource::news).intervalAsDuration(), 1s);
    EXPECT_EQ(timer(TickerSource::football).intervalAsDuration(), milliseconds(delay(TickerSource::football)));

    // The check finds nothing due yet (the clock is pinned), so the shell arms the timer again.
    QTest::qWait(1500);
    EXPECT_TRUE(timer(TickerSource::news).isActive());
    EXPECT_EQ(feedRequests(), 1);

    // Now due: the attempt arms the next full interval through the source's rescheduler.
    clock.advance(1s);
    ASSERT_TRUE(eventually([this] { return feedRequests() == 2; }));
    EXPECT_TRUE(timer(TickerSource::news).isActive());
    EXPECT_EQ(timer(TickerSource::news).intervalAsDuration(), 900s);
    EXPECT_EQ(scoreboardRequests(), scoreboardBefore);
}

TEST_F(RefreshTimersTest, ASourceSwitchedOnRefreshesAtOnceAndARepeatingOneKeepsItsTimerUntilSwitchedOff)
{
    launchAndSettle();
    const int atLaunch = weather.refreshes;
    edit([](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::weather); });
    EXPECT_EQ(weather.refreshes, atLaunch + 1);
    EXPECT_TRUE(timer(TickerSource::weather).isActive());
    EXPECT_EQ(timer(TickerSource::weather).intervalAsDuration(), 1800s);
    EXPECT_FALSE(timer(TickerSource::weather).isSingleShot());

    model().setBackgroundTransparency(1.0);
    EXPECT_EQ(weather.refreshes, atLaunch + 1);
    edit([](RibbexSettings &settings) { settings.enabledSources.erase(TickerSource::weather); });
    EXPECT_FALSE(timer(TickerSource::weather).isActive());

    // News off and on again: fetched at once, not at its next turn.
    edit([](RibbexSettings &settings) { settings.enabledSources.erase(TickerSource::news); });
    EXPECT_FALSE(timer(TickerSource::news).isActive());
    edit([](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::news); });
    EXPECT_TRUE(eventually([this] { return feedRequests() == 2; }));
    EXPECT_TRUE(timer(TickerSource::news).isActive());
}

TEST_F(RefreshTimersTest, SleepStopsEveryTimerAndWakeRebuildsThemAndRefreshesEverySource)
{
    edit([](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::weather); });
    launchAndSettle();
    timers->displayDidSleep();
    const auto noTimerRuns = [this] {
        return std::ranges::none_of(
            allCases<TickerSource>(), [this](TickerSource kind) { return timer(kind).isActive(); });
    };
    EXPECT_TRUE(noTimerRuns());

    // Enabling a source while asleep refreshes it once but arms nothing.
    edit([](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::spotify); });
    EXPECT_TRUE(noTimerRuns());
    const int spotifyBefore = spotify.refreshes;
    const int weatherBefore = weather.refreshes;
    const qsizetype scoreboardBefore = scoreboardRequests();

    clock.advance(7h);
    timers->displayDidWake();
    EXPECT_TRUE(timer(TickerSource::spotify).isActive() && timer(TickerSource::weather).isActive()
        && timer(TickerSource::news).isActive());
    EXPECT_EQ(spotify.refreshes, spotifyBefore + 1);
    EXPECT_EQ(weather.refreshes, weatherBefore + 1);
    ASSERT_TRUE(eventually([&] { return feedRequests() == 2 && scoreboardRequests() > scoreboardBefore; }));
    ASSERT_TRUE(eventually([&] { return timer(TickerSource::football).isActive(); }));
}

} // namespace
} // namespace ribbex::test
