#include "app/refresh_timers.h"
#include "support/model_home.h"

#include <QTest>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// A weather source refreshed every half hour, counting its refreshes.
class CountingSource final : public LiveSource {
public:
    TickerSource kind() const override { return TickerSource::weather; }
    std::optional<std::chrono::seconds> repeatInterval() const override { return 1800s; }
    QCoro::Task<> refreshNow() override { co_await refreshIfDue(); }
    QCoro::Task<> refreshIfDue() override
    {
        ++refreshes;
        co_return;
    }
    QString status() const override { return {}; }

    int refreshes = 0;
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
            std::vector<LiveSource *> {&source(TickerSource::football), &source(TickerSource::news), &weather});
    }

    void launchAndSettle()
    {
        timers->launch();
        ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timer(TickerSource::football).isActive(); }));
    }

    const QTimer &timer(TickerSource kind) const { return *timers->timer(kind); }
    qsizetype feedRequests() const { return requests(u"/feed.xml"_s); }
    qsizetype scoreboardRequests() const { return server.requests().size() - feedRequests(); }
    std::chrono::milliseconds delay(TickerSource kind)
    {
        return std::chrono::milliseconds(std::llround(source(kind).nextRefreshDelay(clock.now()).value_or(-1) * 1000));
    }

    CountingSource weather;
    std::unique_ptr<RefreshTimers> timers;
};

TEST_F(RefreshTimersTest, FootballTimerIsArmedAgainAfterEveryPassAndNeverWithoutASelection)
{
    launchAndSettle();
    EXPECT_GE(scoreboardRequests(), 1);

    // A pass that finds nothing due still ends by arming the timer for what is due next.
    const auto before = timer(TickerSource::football).intervalAsDuration();
    clock.advance(2h);
    (void)source(TickerSource::football).refreshIfDue();
    ASSERT_TRUE(eventually([&] { return timer(TickerSource::football).intervalAsDuration() != before; }));
    EXPECT_TRUE(timer(TickerSource::football).isActive());
    EXPECT_EQ(timer(TickerSource::football).intervalAsDuration(), delay(TickerSource::football));

    edit([](RibbexSettings &settings) { settings.selectedFootballCompetitions = FootballCompetitionSet {}; });
    EXPECT_FALSE(timer(TickerSource::football).isActive());
}

TEST_F(RefreshTimersTest, NewsTimerIsArmedAgainWhetherOrNotItsCheckRefreshes)
{
    launchAndSettle();
    EXPECT_EQ(timer(TickerSource::news).intervalAsDuration(), 900s);

    // A colour change re-runs the schedulers against the clock but fetches nothing.
    clock.advance(899s);
    const qsizetype scoreboardBefore = scoreboardRequests();
    model().updateColor(SettingsModel::ColorField::text, u"#FF0000"_s);
    EXPECT_EQ(timer(TickerSource::news).intervalAsDuration(), 1s);
    EXPECT_EQ(timer(TickerSource::football).intervalAsDuration(), delay(TickerSource::football));

    // The check finds nothing due yet (the clock is pinned), so the shell arms the timer again.
    QTest::qWait(1500);
    EXPECT_TRUE(timer(TickerSource::news).isActive());
    EXPECT_EQ(feedRequests(), 1);

    // Now due: the attempt arms the next full interval through the source's rescheduler, and
    // a fetch that ends later must leave it so, not arm it again for what is left.
    answer = [served = answer](const HttpTestRequest &request) {
        HttpTestResponse response = served(request);
        response.delay = 300ms;
        return response;
    };
    clock.advance(1s);
    ASSERT_TRUE(eventually([this] { return feedRequests() == 2; }));
    clock.advance(300s);
    settle();
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

    model().setBackgroundTransparency(1.0);
    EXPECT_EQ(weather.refreshes, atLaunch + 1);
    edit([](RibbexSettings &settings) { settings.enabledSources.erase(TickerSource::weather); });
    EXPECT_FALSE(timer(TickerSource::weather).isActive());

    // Switched on while the displays sleep: refreshed once, timed only from the wake.
    timers->displayDidSleep();
    edit([](RibbexSettings &settings) { settings.enabledSources.insert(TickerSource::weather); });
    EXPECT_EQ(weather.refreshes, atLaunch + 2);
    EXPECT_FALSE(timer(TickerSource::weather).isActive());
    timers->displayDidWake();
    EXPECT_TRUE(timer(TickerSource::weather).isActive());
    EXPECT_EQ(weather.refreshes, atLaunch + 3);

    // A source that is not repeating has nothing due once switched off.
    edit([](RibbexSettings &settings) { settings.enabledSources.erase(TickerSource::news); });
    EXPECT_FALSE(timer(TickerSource::news).isActive());
}

} // namespace
} // namespace ribbex::test
