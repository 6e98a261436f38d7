// The strip window under a real window manager: its hints, its place, its clicks and its menu.

#include "strip_fixture.h"

#include "ticker/strip_position.h"

#include <QMenu>
#include <QTest>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

QStringList dragArguments(const QPoint &from, int by)
{
    const auto n = [](int value) { return QString::number(value); };
    return {u"mousemove"_s, n(from.x()), n(from.y()), u"keydown"_s, u"ctrl"_s, u"mousedown"_s, u"1"_s, u"mousemove"_s,
        n(from.x() + by / 2), n(from.y()), u"mousemove"_s, n(from.x() + by), n(from.y()), u"mouseup"_s, u"1"_s,
        u"keyup"_s, u"ctrl"_s};
}

TEST_F(StripTest, SitsOnTopOfTheScreenAsADockOnEveryWorkspace)
{
    controller = makeController();
    EXPECT_EQ(windowGeometry(windowId()), QRect(1280 - 350 - 8, 0, 350, stripHeight));
    EXPECT_EQ(windowProperty(windowId(), u"_NET_WM_WINDOW_TYPE"_s).value(0), u"_NET_WM_WINDOW_TYPE_DOCK"_s);
    // openbox keeps a window on every workspace through _NET_WM_DESKTOP and drops STICKY, which
    // it does not support, once it manages the window.
    const QStringList states = windowProperty(windowId(), u"_NET_WM_STATE"_s);
    for (const char *state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        EXPECT_TRUE(states.contains(QLatin1String(state)))
            << state << " missing from " << states.join(u' ').toStdString();
    EXPECT_EQ(windowProperty(windowId(), u"_NET_WM_DESKTOP"_s), QStringList {u"4294967295"_s});
    EXPECT_TRUE(windowProperty(windowId(), u"WM_HINTS"_s).join(u',').contains(u"input focus: False"));
    EXPECT_EQ(controller->view().toolTip(), u"ribbex \u00B7 right-click for settings"_s);
}

TEST_F(StripTest, FollowsTheModelOnTheNextTurnOfTheEventLoop)
{
    controller = makeController();
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

TEST_F(StripTest, CtrlDragMovesAlongTheTopAndIsRemembered)
{
    showHeadlines({u"Storm warning for the coast"_s, u"Trains cancelled"_s});
    controller = makeController();
    ASSERT_TRUE(controller->view().renderer().rangeAt(QPointF(20, 12))) << "the press must land on a link";
    runTool(u"xdotool"_s, dragArguments(windowGeometry(windowId()).topLeft() + QPoint(20, 12), -100));
    EXPECT_TRUE(eventually([&] { return windowGeometry(windowId()).topLeft() == QPoint(822, 0); }));
    EXPECT_TRUE(openedLinks.isEmpty()) << "the drag opened a link";
    const auto stored = settingsStore.read(stripPositionKey);
    ASSERT_TRUE(stored && *stored);
    EXPECT_EQ(decodeStripX(**stored), 822);

    // Dragging far past the edge stops at it.
    runTool(u"xdotool"_s, dragArguments(windowGeometry(windowId()).topLeft() + QPoint(20, 12), 2000));
    EXPECT_TRUE(eventually([&] { return windowGeometry(windowId()).topLeft() == QPoint(930, 0); }));
    // A plain click still reaches the view.
    runTool(u"xdotool"_s, {u"mousemove"_s, u"950"_s, u"12"_s, u"click"_s, u"1"_s});
    EXPECT_TRUE(eventually([&] { return openedLinks == QList {link(0)}; }));

    const struct {
        QByteArray stored;
        int left;
    } restarts[] = {{encodeStripX(500), 500}, {encodeStripX(5000), 930}, {R"({"x": "500"})", 922}};
    for (const auto &restart : restarts) {
        controller.reset();
        ASSERT_TRUE(settingsStore.write(stripPositionKey, restart.stored));
        controller = makeController();
        EXPECT_TRUE(eventually([&] { return windowGeometry(windowId()).left() == restart.left; }))
            << restart.stored.toStdString();
    }
}

TEST_F(StripTest, RightClickOffersSettingsAndQuitInsteadOfTheLink)
{
    showHeadlines({u"Storm warning for the coast"_s});
    controller = makeController();
    QTest::mouseClick(&controller->view(), Qt::RightButton, {}, QPoint(20, 12));
    EXPECT_TRUE(openedLinks.isEmpty());
    QMenu *menu = controller->contextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(eventually([menu] { return menu->isVisible(); }));
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), u"Settings\u2026"_s);
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(u"Ctrl+,"_s));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), u"Quit ribbex"_s);
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(u"Ctrl+Q"_s));
    actions[0]->trigger();
    EXPECT_EQ(openSettingsCalls, 1);
    EXPECT_EQ(quitCalls, 0);
    actions[2]->trigger();
    EXPECT_EQ(quitCalls, 1);
    menu->close();
}

} // namespace
} // namespace ribbex::test
