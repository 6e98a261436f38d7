#include "strip_fixture.h"

#include "ticker/strip_position.h"

#include <QMenu>
#include <QTest>

namespace ribbex::test {
namespace {

QPoint strip(const QRect &geometry, int x, int y)
{
    return geometry.topLeft() + QPoint(x, y);
}

QStringList dragArguments(const QPoint &from, int by)
{
    const auto n = [](int value) { return QString::number(value); };
    return {QStringLiteral("mousemove"), n(from.x()), n(from.y()), QStringLiteral("keydown"), QStringLiteral("ctrl"),
        QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"), n(from.x() + by / 2),
        n(from.y()), QStringLiteral("mousemove"), n(from.x() + by), n(from.y()), QStringLiteral("mouseup"),
        QStringLiteral("1"), QStringLiteral("keyup"), QStringLiteral("ctrl")};
}

TEST_F(StripTest, SitsOnTopOfTheScreenAsADockOnEveryWorkspace)
{
    controller = makeController();
    EXPECT_EQ(windowGeometry(windowId()), QRect(1280 - 350 - 8, 0, 350, stripHeight));
    EXPECT_EQ(windowAtoms(windowId(), QStringLiteral("_NET_WM_WINDOW_TYPE")).value(0),
        QStringLiteral("_NET_WM_WINDOW_TYPE_DOCK"));
    // openbox keeps a window on every workspace through _NET_WM_DESKTOP and drops STICKY, which
    // it does not support, once it manages the window.
    const QStringList states = windowAtoms(windowId(), QStringLiteral("_NET_WM_STATE"));
    for (const char *state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        EXPECT_TRUE(states.contains(QLatin1String(state)))
            << state << " missing from " << states.join(u' ').toStdString();
    EXPECT_EQ(windowAtoms(windowId(), QStringLiteral("_NET_WM_DESKTOP")), QStringList {QStringLiteral("4294967295")});
    EXPECT_TRUE(windowProperty(windowId(), QStringLiteral("WM_HINTS")).contains(u"input focus: False"));
    EXPECT_EQ(controller->view().toolTip(), QStringLiteral("ribbex \u00B7 right-click for settings"));
}

TEST_F(StripTest, FollowsTheModelOnTheNextTurnOfTheEventLoop)
{
    controller = makeController();
    showHeadlines({QStringLiteral("Storm warning for the coast")});
    changeSettings([](RibbexSettings &settings) { settings.width = 500; });
    changeSettings([](RibbexSettings &settings) { settings.width = 200; });
    // Nothing changes while the model is still announcing.
    EXPECT_EQ(controller->window().width(), 350);
    EXPECT_FALSE(controller->view().renderer().tickerText().contains(u"STORM"));

    QCoreApplication::processEvents();
    EXPECT_EQ(controller->window().width(), 200);
    EXPECT_EQ(controller->view().width(), 200);
    EXPECT_TRUE(controller->view().renderer().tickerText().contains(u"STORM", Qt::CaseInsensitive));
    const QRect rightAligned(1280 - 200 - 8, 0, 200, stripHeight);
    EXPECT_TRUE(waitUntil([&] { return windowGeometry(windowId()) == rightAligned; }))
        << "the X server never saw the new width";
}

TEST_F(StripTest, CtrlDragMovesAlongTheTopAndIsRemembered)
{
    showHeadlines({QStringLiteral("Storm warning for the coast"), QStringLiteral("Trains cancelled")});
    controller = makeController();
    ASSERT_TRUE(controller->view().renderer().rangeAt(QPointF(20, 12))) << "the press must land on a link";
    const QPoint press = strip(windowGeometry(windowId()), 20, 12);

    runTool(QStringLiteral("xdotool"), dragArguments(press, -100));
    EXPECT_TRUE(waitUntil([&] { return windowGeometry(windowId()).topLeft() == QPoint(822, 0); }));
    EXPECT_TRUE(clicks.openedLinks.isEmpty()) << "the drag opened a link";
    const auto stored = positionStore.read(stripPositionKey);
    ASSERT_TRUE(stored && *stored);
    EXPECT_EQ(decodeStripX(**stored), 822);

    // Dragging far past the edge stops at it.
    runTool(QStringLiteral("xdotool"), dragArguments(strip(windowGeometry(windowId()), 20, 12), 2000));
    EXPECT_TRUE(waitUntil([&] { return windowGeometry(windowId()).topLeft() == QPoint(930, 0); }));

    // A plain click still reaches the view.
    runTool(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("950"), QStringLiteral("12"), QStringLiteral("click"),
            QStringLiteral("1")});
    EXPECT_TRUE(waitUntil([&] { return clicks.openedLinks.size() == 1; }));

    const struct {
        QByteArray stored;
        int left;
    } restarts[] = {{encodeStripX(500), 500}, {encodeStripX(5000), 930}, {R"({"x": "500"})", 922}};
    for (const auto &restart : restarts) {
        controller.reset();
        ASSERT_TRUE(positionStore.write(stripPositionKey, restart.stored));
        controller = makeController();
        EXPECT_TRUE(waitUntil([&] { return windowGeometry(windowId()).left() == restart.left; }))
            << restart.stored.toStdString();
    }
}

TEST_F(StripTest, RightClickOffersSettingsAndQuit)
{
    controller = makeController();
    QTest::mouseClick(&controller->view(), Qt::LeftButton, {}, QPoint(100, 12));
    EXPECT_EQ(controller->contextMenu(), nullptr);

    QTest::mouseClick(&controller->view(), Qt::RightButton, {}, QPoint(100, 12));
    QMenu *menu = controller->contextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(waitUntil([menu] { return menu->isVisible(); }));
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Settings\u2026"));
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Quit ribbex"));
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    actions[0]->trigger();
    EXPECT_EQ(openSettingsCalls, 1);
    EXPECT_EQ(quitCalls, 0);
    actions[2]->trigger();
    EXPECT_EQ(quitCalls, 1);
    menu->close();
}

} // namespace
} // namespace ribbex::test
