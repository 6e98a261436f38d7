#include "app/app_delegate.h"
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

QDBusMessage screenSaverActive(bool active)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        u"/org/freedesktop/ScreenSaver"_s, u"org.freedesktop.ScreenSaver"_s, u"ActiveChanged"_s);
    signal << active;
    return signal;
}

// The whole application in this process (its strip painted offscreen) with the screen saver on a
// bus of the test's own, and news and football from the fixture's server.
class AppDelegateTest : public testing::Test, public ModelHome {
protected:
    AppDelegateTest()
    {
        qputenv("XDG_CONFIG_HOME", home.configDir().toUtf8());
        qputenv("XDG_CACHE_HOME", home.cacheDir().toUtf8());
        qputenv("RIBBEX_ESPN_URL", server.url().toString().toUtf8());
        RibbexSettings settings;
        settings.enabledSources = {TickerSource::news, TickerSource::football};
        settings.newsFeedID = u"custom"_s;
        settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
        settings.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::premierLeague};
        store(settings);
        EXPECT_TRUE(screenSaver.registerService(u"org.freedesktop.ScreenSaver"_s));
        delegate = std::make_unique<AppDelegate>(display, clock);
    }

    void TearDown() override { settle(&delegate->model()); }

    const QTimer &timer(TickerSource kind) { return *delegate->refreshTimers().timer(kind); }
    qsizetype feedRequests() const { return requests(u"/feed.xml"_s); }
    qsizetype scoreboardRequests() const { return server.requests().size() - feedRequests(); }
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
