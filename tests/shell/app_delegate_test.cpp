#include "app/app_delegate.h"
#include "platform/session_display_state.h"
#include "settings_window/settings_view.h"
#include "support/model_home.h"
#include "support/private_bus.h"
#include "ticker/menu_bar_scroller_view.h"
#include "ticker/strip_window.h"

#include <QDBusMessage>
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
// bus of the test's own.
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

    void TearDown() override
    {
        const SettingsModel &model = delegate->model();
        EXPECT_TRUE(eventually(
            [&] { return !model.bookkeeping().isUpdatingFootball && model.newsStatus() != u"Refreshing…"_s; }));
    }

    const QTimer &timer(TickerSource kind) { return *delegate->refreshTimers().timer(kind); }
    qsizetype feedRequests() const { return requests(u"/feed.xml"_s); }
    qsizetype scoreboardRequests() const { return server.requests().size() - feedRequests(); }
    bool everyTimerStopped()
    {
        return !view().isAnimationEnabled() && !timer(TickerSource::news).isActive()
            && !timer(TickerSource::football).isActive();
    }
    MenuBarScrollerView &view() { return delegate->tickerController()->view(); }

    PrivateBus bus;
    QDBusConnection screenSaver = bus.connect(u"screen saver"_s);
    SessionDisplayState display {QDBusConnection(u"no system bus"_s), bus.connect(u"ribbex"_s)};
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, TheScreenSaverStopsTheStripAndEveryTimerAndItsEndRefreshesEverySource)
{
    delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timer(TickerSource::football).isActive(); }));
    ASSERT_TRUE(view().isAnimationEnabled());

    screenSaver.send(screenSaverActive(true));
    ASSERT_TRUE(eventually([this] { return everyTimerStopped(); }));
    const double offset = view().renderer().offset();
    QTest::qWait(200);
    EXPECT_EQ(view().renderer().offset(), offset);

    // Only the owner of the screen saver's name is believed.
    QDBusConnection impostor = bus.connect(u"impostor"_s);
    impostor.send(screenSaverActive(false));
    QTest::qWait(200);
    EXPECT_TRUE(everyTimerStopped());

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
    EXPECT_TRUE(view().isAnimationEnabled());
}

} // namespace
} // namespace ribbex::test

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;

TEST_F(AppDelegateTest, OpeningTheSettingsShowsTheOneWindowAndRefreshesTheEnabledSources)
{
    delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(eventually([this] { return feedRequests() == 1 && timer(TickerSource::football).isActive(); }));
    const qsizetype scoreboardBefore = scoreboardRequests();

    clock.advance(7h);
    delegate->openSettings();
    SettingsView *window = delegate->settingsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ribbex Settings"));
    ASSERT_TRUE(eventually([&] { return feedRequests() == 2 && scoreboardRequests() > scoreboardBefore; }));

    window->close();
    delegate->openSettings();
    EXPECT_EQ(delegate->settingsWindow(), window);
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace ribbex::test
