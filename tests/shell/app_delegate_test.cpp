#include "app/app_delegate.h"
#include "app/refresh_timers.h"
#include "app/single_instance.h"
#include "platform/session_display_state.h"
#include "settings_window/settings_view.h"
#include "support/model_home.h"
#include "support/private_bus.h"
#include "ticker/menu_bar_scroller_view.h"
#include "ticker/strip_window.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// News from a custom feed and the Premier League's scores, both from the fixture's server.
class ShellTest : public ModelTest {
protected:
    ShellTest()
    {
        RibbexSettings settings;
        settings.enabledSources = {TickerSource::news, TickerSource::football};
        settings.newsFeedID = u"custom"_s;
        settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
        settings.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::premierLeague};
        store(settings);
    }

    qsizetype feedRequests() const { return requests(u"/feed.xml"_s); }
    qsizetype scoreboardRequests() const { return server.requests().size() - feedRequests(); }
};

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

class RefreshTimersTest : public ShellTest {
protected:
    RefreshTimersTest()
    {
        timers = std::make_unique<RefreshTimers>(model(),
            std::vector<LiveSource *> {&source(TickerSource::football), &source(TickerSource::news), &weather});
    }

    void launchAndSettle()
    {
        timers->launch();
        ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timer(TickerSource::football).isActive(); }));
    }

    const QTimer &timer(TickerSource kind) const { return *timers->timer(kind); }
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

QDBusMessage screenSaverActive(bool active)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        u"/org/freedesktop/ScreenSaver"_s, u"org.freedesktop.ScreenSaver"_s, u"ActiveChanged"_s);
    signal << active;
    return signal;
}

// The whole application in this process (its strip painted offscreen) with the screen saver on a
// bus of the test's own, and news and football from the fixture's server.
class AppDelegateTest : public ShellTest {
protected:
    AppDelegateTest()
    {
        qputenv("XDG_CONFIG_HOME", home.configDir().toUtf8());
        qputenv("XDG_CACHE_HOME", home.cacheDir().toUtf8());
        qputenv("RIBBEX_ESPN_URL", server.url().toString().toUtf8());
        EXPECT_TRUE(screenSaver.registerService(u"org.freedesktop.ScreenSaver"_s));
        delegate = std::make_unique<AppDelegate>(display, clock);
    }

    void TearDown() override { settle(&delegate->model()); }

    const QTimer &timer(TickerSource kind) { return *delegate->refreshTimers().timer(kind); }
    MenuBarScrollerView &view() { return delegate->tickerController()->view(); }
    bool everythingStopped()
    {
        return !view().isAnimationEnabled() && !timer(TickerSource::news).isActive()
            && !timer(TickerSource::football).isActive();
    }

    PrivateBus bus;
    QDBusConnection screenSaver = bus.connect(u"screen saver"_s);
    SessionDisplayState display {QDBusConnection(u"no system bus"_s), bus.connect(u"ribbex"_s)};
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, TheScreenSaverStopsTheStripAndEveryTimerAndWakingOrTheSettingsWindowRefreshes)
{
    delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timer(TickerSource::football).isActive(); }));
    ASSERT_TRUE(view().isAnimationEnabled());

    screenSaver.send(screenSaverActive(true));
    ASSERT_TRUE(eventually([this] { return everythingStopped(); }));
    const double offset = view().renderer().offset();
    // Only the owner of the screen saver's name is believed.
    bus.connect(u"impostor"_s).send(screenSaverActive(false));
    QTest::qWait(200);
    EXPECT_TRUE(everythingStopped());
    EXPECT_EQ(view().renderer().offset(), offset);

    const qsizetype scoreboardBefore = scoreboardRequests();
    clock.advance(7h);
    screenSaver.send(screenSaverActive(false));
    ASSERT_TRUE(eventually([this] { return view().isAnimationEnabled(); }));
    EXPECT_TRUE(timer(TickerSource::news).isActive());
    ASSERT_TRUE(eventually([&] { return feedRequests() == 2 && scoreboardRequests() > scoreboardBefore; }));
    ASSERT_TRUE(eventually([&] { return view().renderer().offset() != offset; }));

    // A second wake without a sleep changes nothing and fetches nothing.
    const qsizetype requests = server.requests().size();
    screenSaver.send(screenSaverActive(false));
    QTest::qWait(300);
    EXPECT_EQ(server.requests().size(), requests);

    // The strip's menu opens the settings window, which refreshes what is due as waking does.
    clock.advance(7h);
    QTest::mouseClick(&view(), Qt::RightButton, {}, QPoint(100, 12));
    ASSERT_NE(delegate->tickerController()->contextMenu(), nullptr);
    delegate->tickerController()->contextMenu()->actions().first()->trigger();
    ASSERT_TRUE(delegate->settingsWindow() && delegate->settingsWindow()->isVisible());
    EXPECT_TRUE(eventually([&] { return feedRequests() == 3; }));
}

// A second launch on a desktop is tried in tests/desktop; here the links it hands over.
TEST(SingleInstance, TheFirstProcessOwnsTheNameAndLaterOnesHandOverTheirLinksInOrder)
{
    PrivateBus bus;
    auto first = std::make_unique<SingleInstance>(bus.connect(u"first"_s));
    SingleInstance second(bus.connect(u"second"_s));
    ASSERT_EQ(first->claim(), SingleInstance::Role::primary);
    ASSERT_EQ(second.claim(), SingleInstance::Role::secondary);

    QSignalSpy activations(first.get(), &SingleInstance::activationRequested);
    QSignalSpy links(first.get(), &SingleInstance::urlsReceived);
    EXPECT_TRUE(second.handOver({}).has_value());
    const QStringList urls {u"ribbex://spotify-callback?code=1"_s, u"ribbex://spotify-callback?code=2"_s};
    EXPECT_TRUE(second.handOver(urls).has_value());
    EXPECT_EQ(activations.size(), 1);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links.first().first().toStringList(), urls);

    // Once the first is gone the name is free again; without a bus every process runs alone.
    first.reset();
    EXPECT_EQ(SingleInstance(bus.connect(u"third"_s)).claim(), SingleInstance::Role::primary);
    EXPECT_EQ(SingleInstance(QDBusConnection(u"no such connection"_s)).claim(), SingleInstance::Role::alone);
}

} // namespace
} // namespace ribbex::test
