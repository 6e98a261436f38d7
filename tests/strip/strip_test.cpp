// The strip window on a real X server under openbox, two monitors side by side: where it sits
// beside a real panel and is kept, its hints, its clicks and menu, and the pixels the X11 fast
// path puts on screen. The suite runs again at a scale of 2 for the size and pixel tests.

#include "ticker/strip_position.h"
#include "ticker/strip_window.h"
#include "ticker/ticker_clicks.h"
#include "ticker/ticker_test.h"
#include "ticker/x11/x11_strip.h"
#include "ticker/x11/x11_work_area.h"

#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolTip>

#include <cstdlib>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST(StripPosition, ReadsOnlyAWholeNumberX)
{
    const std::pair<const char *, std::optional<int>> cases[] = {{R"({"x": 812})", 812}, {R"({"x": 812.0})", 812},
        {R"({"x": 812.5})", std::nullopt}, {R"({"x": "812"})", std::nullopt}, {R"({"x": 1e12})", std::nullopt}};
    for (const auto &[document, x] : cases)
        EXPECT_EQ(decodeStripX(document), x) << document;
    EXPECT_EQ(decodeStripX(encodeStripX(-1234)), -1234);
}

TEST(StripPosition, KeepsTheStripOnTheScreen)
{
    const QRect first(0, 0, 1280, 800);
    const QRect second(1920, 0, 1280, 800);
    // Stored x, screen, width, left edge: never moved (right-aligned, 8 px in), a stored place that
    // fits, one too far right, wider than the screen; a second screen, never moved and stored on the first.
    const std::tuple<std::optional<int>, QRect, int, int> cases[]
        = {{std::nullopt, first, 350, 922}, {100, first, 350, 100}, {5000, first, 350, 930}, {300, first, 1500, 0},
            {std::nullopt, second, 350, 2842}, {100, second, 350, 1920}};
    for (const auto &[storedX, screen, width, left] : cases)
        EXPECT_EQ(stripLeft(storedX, screen, width), left) << storedX.value_or(-1) << " on " << screen.x();
}

TEST(WorkArea, LeavesOutWhatPanelsReserveOverTheScreen)
{
    const QSize root(2560, 800);
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, 0, 1280, 800);
    const auto partial = [&](QList<quint32> values) { return Strut::fromCardinals(values, root); };
    const Strut topOfLeft = partial({0, 0, 30, 0, 0, 0, 0, 0, 0, 1279, 0, 0});
    const Strut bottomOfRight = partial({0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 1280, 2559});
    const Strut rightEdge = partial({0, 48, 0, 0, 0, 0, 0, 799, 0, 0, 0, 0});
    const Strut wholeTop = Strut::fromCardinals({0, 0, 25, 0}, root); // the older property spans the edge
    const Strut everything = partial({0, 0, 800, 0, 0, 0, 0, 0, 0, 2559, 0, 0});
    const std::tuple<QRect, QList<Strut>, QRect> cases[] = {{left, {topOfLeft}, QRect(0, 30, 1280, 770)},
        {right, {topOfLeft}, right}, {right, {topOfLeft, bottomOfRight}, QRect(1280, 0, 1280, 760)},
        {left, {rightEdge}, left}, {right, {rightEdge, wholeTop}, QRect(1280, 25, 1232, 775)},
        {left, {topOfLeft, wholeTop}, QRect(0, 30, 1280, 770)}, {left, {everything}, left}};
    for (const auto &[screen, struts, area] : cases)
        EXPECT_EQ(areaClearOf(screen, root, struts), area) << screen.x() << " with " << struts.size() << " struts";
    EXPECT_EQ(Strut::fromCardinals(topStrutFor(QRect(922, 30, 350, 22)).toCardinals(), root).top,
        (Strut::Edge {52, 922, 1271}));
}

// What xprop prints for a property of the window.
QString xprop(WId window, const char *property)
{
    QProcess process;
    process.start(u"xprop"_s, {u"-id"_s, QString::number(window), QString::fromLatin1(property)});
    process.waitForFinished();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Runs xdotool to completion while the event loop keeps serving the X server.
void xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(u"xdotool"_s, arguments);
    EXPECT_TRUE(process.waitForStarted());
    EXPECT_TRUE(ModelHome::eventually([&process] { return process.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

// Where the X server has the window, in root coordinates.
QRect windowGeometry(WId window)
{
    xcb_connection_t *connection = x11::connection();
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto *size = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    auto *origin
        = xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr);
    const QRect geometry = size && origin ? QRect(origin->dst_x, origin->dst_y, size->width, size->height) : QRect();
    std::free(size);
    std::free(origin);
    return geometry;
}

// The work area the window manager publishes for the first workspace.
QRect publishedWorkArea()
{
    xcb_connection_t *connection = x11::connection();
    const xcb_window_t root = x11::defaultScreen(connection)->root;
    const x11::Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection,
        xcb_get_property(connection, 0, root, x11::internAtom(connection, "_NET_WORKAREA"), XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 16)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return QRect(int(values[0]), int(values[1]), int(values[2]), int(values[3]));
}

// tint2 along one edge of every monitor, 30 px thick, reserving its row.
class Panel {
public:
    explicit Panel(const char *edge)
    {
        QFile config(m_folder.filePath(u"tint2rc"_s));
        EXPECT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("panel_items = C\npanel_size = 100% 30\nstrut_policy = follow_size\npanel_monitor = all\n"
                     "time1_format = %H:%M\npanel_position = "
            + QByteArray(edge) + " center horizontal\n");
        config.close();
        m_process.start(u"tint2"_s, {u"-c"_s, config.fileName()});
        EXPECT_TRUE(m_process.waitForStarted());
    }
    ~Panel()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
};

// Makes one of the session's two monitors the primary one; the left one keeps the output.
void makePrimary(const QString &name)
{
    const auto star = [&name](const QString &monitor) { return monitor == name ? u"*"_s : QString(); };
    QProcess::execute(u"sh"_s,
        {u"-c"_s,
            u"xrandr --delmonitor left; xrandr --delmonitor right; xrandr --setmonitor '%1left' 1280/338x800/211+0+0 "
            "screen && xrandr --setmonitor '%2right' 1280/338x800/211+1280+0 none"_s.arg(
                star(u"left"_s), star(u"right"_s))});
}

class StripTest : public TickerTest, public TickerClickHandler {
protected:
    // Shows the strip, keeping its position beside the settings, and waits for the window manager.
    void showStrip()
    {
        controller = std::make_unique<MenuBarScrollerController>(
            model(), settingsStore, *this, [this] { ++openSettingsCalls; }, [this] { ++quitCalls; });
        controller->view().setAnimationEnabled(false);
        EXPECT_TRUE(eventually([this] { return xprop(windowId(), "WM_STATE").contains(u"Normal"); }))
            << "the window manager never took the strip";
    }
    WId windowId() { return controller->window().winId(); }
    QPoint topLeft() { return windowGeometry(windowId()).topLeft(); }

    void ctrlDrag(int by)
    {
        const QPoint from = topLeft() + QPoint(20, 12);
        const auto n = [](int value) { return QString::number(value); };
        xdotool({u"mousemove"_s, n(from.x()), n(from.y()), u"keydown"_s, u"ctrl"_s, u"mousedown"_s, u"1"_s,
            u"mousemove"_s, n(from.x() + by / 2), n(from.y()), u"mousemove"_s, n(from.x() + by), n(from.y()),
            u"mouseup"_s, u"1"_s, u"keyup"_s, u"ctrl"_s});
    }

    void openLink(const QUrl &url) override { openedLinks.append(url); }
    void activateSpotify() override { }

    QList<QUrl> openedLinks;
    int openSettingsCalls = 0;
    int quitCalls = 0;
    std::unique_ptr<MenuBarScrollerController> controller;
};

TEST_F(StripTest, SitsAtTheTopRightAsADockOnEveryWorkspaceAndExplainsItselfOnHover)
{
    showStrip();
    // Logical pixels; at any scale the X window and the pictures hold ratio times as many.
    const double ratio = controller->window().devicePixelRatioF();
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect logical(screen.left() + screen.width() - 350 - 8, 0, 350, stripHeight);
    EXPECT_EQ(controller->window().geometry(), logical);
    EXPECT_EQ(windowGeometry(windowId()), QRect(logical.topLeft() * ratio, logical.size() * ratio));
    EXPECT_EQ(controller->view().grab().size(), logical.size() * ratio);
    // openbox keeps a window on every workspace through _NET_WM_DESKTOP and drops STICKY, which
    // it does not support, once it manages the window.
    const char *const expected[][2]
        = {{"_NET_WM_WINDOW_TYPE", "= _NET_WM_WINDOW_TYPE_DOCK"}, {"_NET_WM_STATE", "_NET_WM_STATE_ABOVE"},
            {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"}, {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_PAGER"},
            {"_NET_WM_DESKTOP", "= 4294967295"}, {"WM_HINTS", "input focus: False"}};
    for (const auto &[property, value] : expected)
        EXPECT_TRUE(xprop(windowId(), property).contains(QLatin1String(value))) << property << " lacks " << value;

    const QPoint centre = windowGeometry(windowId()).center();
    xdotool({u"mousemove"_s, QString::number(centre.x()), QString::number(centre.y())});
    EXPECT_TRUE(eventually(
        [] { return QToolTip::isVisible() && QToolTip::text() == u"ribbex \u00B7 right-click for settings"_s; }));
}

TEST_F(StripTest, TakesTheRowUnderThePanelReservesItAndFollowsThePanel)
{
    const int rootWidth = x11::rootSize(x11::connection()).width();
    auto panel = std::make_unique<Panel>("top");
    ASSERT_TRUE(eventually([] { return publishedWorkArea().top() == 30; })) << "tint2 reserved no row";
    showStrip();
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(1280 - 350 - 8, 30); }));
    EXPECT_TRUE(eventually([] { return publishedWorkArea().top() == 30 + stripHeight; }));
    QWidget maximized;
    maximized.showMaximized();
    EXPECT_TRUE(eventually([&] { return maximized.frameGeometry().top() == 30 + stripHeight; }))
        << "a maximized window starts at " << maximized.frameGeometry().top();
    maximized.close();

    // Gone, the panel leaves the published work area as it was, for the strip's row covers its.
    panel.reset();
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(1280 - 350 - 8, 0); }))
        << "the strip stayed below no panel";
    panel = std::make_unique<Panel>("bottom");
    EXPECT_TRUE(
        eventually([&] { return publishedWorkArea() == QRect(0, stripHeight, rootWidth, 800 - stripHeight - 30); }));
    controller.reset();
    EXPECT_TRUE(eventually([&] { return publishedWorkArea() == QRect(0, 0, rootWidth, 800 - 30); }))
        << "the strip kept its row after it quit";
}

TEST_F(StripTest, MovesToTheTopOfEachNewPrimaryScreen)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2) << "the session shows two monitors";
    showStrip();
    makePrimary(u"right"_s);
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(2560 - 350 - 8, 0); }));
    makePrimary(u"left"_s);
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(1280 - 350 - 8, 0); }));
    EXPECT_EQ(QGuiApplication::primaryScreen()->name(), u"left"_s);
}

TEST_F(StripTest, FollowsTheModelOnTheNextTurnOfTheEventLoop)
{
    showStrip();
    showHeadlines({u"Storm warning for the coast"_s});
    edit([](RibbexSettings &settings) { settings.width = 500; });
    edit([](RibbexSettings &settings) { settings.width = 200; });
    // Nothing changes while the model is still announcing.
    EXPECT_EQ(controller->window().width(), 350);
    EXPECT_FALSE(controller->view().renderer().tickerText().contains(u"STORM"));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->view().width(), 200);
    EXPECT_TRUE(controller->view().renderer().tickerText().contains(u"STORM"));
    EXPECT_TRUE(eventually([&] { return windowGeometry(windowId()) == QRect(1280 - 200 - 8, 0, 200, stripHeight); }))
        << "the X server never saw the new width";
}

// The menu itself, with the whole application behind it, is tried in tests/shell.
TEST_F(StripTest, CtrlDragMovesAlongTheTopIsRememberedAndRestoredAndOnlyAPlainClickOpensALink)
{
    showHeadlines({u"Storm warning for the coast"_s, u"Trains cancelled"_s});
    showStrip();
    ASSERT_TRUE(controller->view().renderer().rangeAt(QPointF(20, 12))) << "the press must land on a link";
    ctrlDrag(-100);
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(822, 0); }));
    EXPECT_TRUE(openedLinks.isEmpty()) << "the drag opened a link";
    const auto stored = settingsStore.read(stripPositionKey);
    EXPECT_EQ(stored && *stored ? decodeStripX(**stored) : std::nullopt, 822);
    // Dragging far past the edge stops at it; a plain click still reaches the view, a right click
    // opens the menu instead, whose last entry quits.
    ctrlDrag(2000);
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(930, 0); }));
    xdotool({u"mousemove"_s, u"950"_s, u"12"_s, u"click"_s, u"1"_s, u"click"_s, u"3"_s});
    EXPECT_TRUE(eventually([&] { return controller->contextMenu() && controller->contextMenu()->isVisible(); }));
    EXPECT_EQ(openedLinks, QList {link(0)});
    controller->contextMenu()->actions().last()->trigger();
    controller->contextMenu()->hide();
    EXPECT_EQ(std::pair(openSettingsCalls, quitCalls), std::pair(0, 1));

    controller.reset();
    ASSERT_TRUE(settingsStore.write(stripPositionKey, encodeStripX(500)));
    showStrip();
    EXPECT_TRUE(eventually([&] { return topLeft() == QPoint(500, 0); }));
}

// What the X server shows, against the frame Qt would paint: the fast path must be invisible.
class StripPixels : public StripTest {
protected:
    void SetUp() override
    {
        showHeadlines({u"Storm warning for the coast"_s, u"Trains cancelled"_s});
        showStrip();
        ASSERT_TRUE(eventually([this] { return onScreen() == qtFrame(); }));
    }

    // Read from the root window, so whatever covers the strip shows as it does on screen; compared
    // without the padding byte, which the X server leaves as it likes.
    QImage onScreen()
    {
        const QRect at = controller->window().geometry();
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, at.x(), at.y(), at.width(), at.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB888);
    }
    QImage qtFrame() { return controller->view().grab().toImage().convertToFormat(QImage::Format_RGB888); }
    void tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            controller->view().advance();
    }
};

TEST_F(StripPixels, EachTickShowsTheFrameQtWouldPaint)
{
    enum class Bar { none, thin, thick }; // the progress bar of a playing track
    // The window cannot be translucent here: the background colour shows under a clear background.
    const struct {
        TickerStyle style;
        double transparency;
        bool rounded;
        bool copied; // scrolled by copying on the server rather than composed here
        Bar bar = Bar::none;
    } scenes[] = {{TickerStyle::dotMatrix, 1.0, true, true}, {TickerStyle::classic, 0.0, false, true},
        {TickerStyle::led, 0.5, true, true}, {TickerStyle::dotMatrix, 0.3, true, false}, // the dot grid under the text
        {TickerStyle::dotMatrix, 1.0, true, true, Bar::thin}, {TickerStyle::dotMatrix, 1.0, false, true, Bar::thick},
        {TickerStyle::classic, 0.0, false, true, Bar::thin},
        {TickerStyle::led, 0.5, true, true, Bar::thick}}; // the glow over the bar
    for (const auto &scene : scenes) {
        edit([&](RibbexSettings &s) {
            s.style = scene.style;
            s.backgroundTransparency = scene.transparency;
            s.roundedTickerEdges = scene.rounded;
            s.thickSpotifyProgressBar = scene.bar == Bar::thick;
            s.enabledSources = {TickerSource::news};
            if (scene.bar != Bar::none)
                s.enabledSources.insert(TickerSource::spotify);
        });
        model().setSpotifyTrack(scene.bar == Bar::none ? std::nullopt
                                                       : std::optional(SpotifyNowPlaying {u"Song"_s, u"Band"_s,
                                                           SpotifyTrackProgress {30, 100, clock.now(), true}}));
        ASSERT_TRUE(eventually([this] { return onScreen() == qtFrame(); }));
        for (const bool fastPath : {true, false}) {
            SCOPED_TRACE(testing::Message()
                << "style " << static_cast<int>(scene.style) << ", transparency " << scene.transparency << ", bar "
                << static_cast<int>(scene.bar) << (fastPath ? ", fast path" : ", Qt path"));
            controller->setX11FastPathEnabled(fastPath);
            const QImage before = onScreen();
            const int frames = controller->fastPathFrames();
            const int copied = controller->copiedFrames();
            // The bar grows by a few pixels or dots between the ticks.
            tick(3);
            clock.advance(3);
            tick(4);
            const QImage expected = qtFrame();
            ASSERT_NE(before, expected) << "the text did not move";
            // The fast path's frame is on screen before the event loop runs again.
            EXPECT_TRUE(fastPath ? onScreen() == expected : eventually([&] { return onScreen() == expected; }));
            EXPECT_EQ(controller->fastPathFrames(), frames + (fastPath ? 7 : 0));
            EXPECT_EQ(controller->copiedFrames(), copied + (fastPath && scene.copied ? 7 : 0));
        }
    }
}

TEST_F(StripPixels, ALongLineScrollsAcrossTheJoinsOfItsTilesAsQtPaintsIt)
{
    // Several tiles long; the fast path keeps one pixmap a tile.
    showHeadlines({QString(500, u'E') + u" END"_s});
    const TickerRenderer &renderer = controller->view().renderer();
    ASSERT_TRUE(eventually([&] { return renderer.runPicture().tileCount() > 2; }));
    ASSERT_TRUE(eventually([this] { return onScreen() == qtFrame(); }));
    const double join = RunTiles::tileWidth / controller->view().devicePixelRatioF();
    const int frames = controller->fastPathFrames();
    const int copied = controller->copiedFrames();
    int compared = 0;
    // Tick by tick while the first join crosses the strip, both rounded ends included.
    while (renderer.offset() < join + 1) {
        tick();
        if (renderer.offset() > join - controller->view().width()) {
            ASSERT_EQ(onScreen(), qtFrame()) << "at offset " << renderer.offset();
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
    EXPECT_EQ(controller->copiedFrames() - copied, controller->fastPathFrames() - frames);
}

TEST_F(StripPixels, RepaintsWhatAnotherWindowCovered)
{
    // Override-redirect, so it lands on top of the dock.
    QWidget cover(nullptr, Qt::ToolTip | Qt::X11BypassWindowManagerHint);
    cover.setGeometry(controller->window().geometry().adjusted(0, 0, 0, 10));
    cover.setPalette(QPalette(Qt::magenta));
    cover.setAutoFillBackground(true);
    cover.show();
    ASSERT_TRUE(eventually([&] { return onScreen().pixelColor(175, 0) == QColor(Qt::magenta); }));
    tick(7);
    cover.hide();
    const QImage expected = qtFrame();
    EXPECT_TRUE(eventually([&] { return onScreen() == expected; }));
    tick();
    EXPECT_EQ(onScreen(), qtFrame());
}

} // namespace
} // namespace ribbex::test
