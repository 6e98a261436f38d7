#include "desktop_session.h"

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

constexpr int screenWidth = 1280; // the test session's screen

TEST_F(DesktopSessionTest, TheStripIsADockAboveEverythingAtTheTopRightOnEveryWorkspace)
{
    startStrip();
    EXPECT_EQ(geometry(stripWindow), QRect(screenWidth - 8 - 350, 0, 350, 22));
    const QString state = property(stripWindow, u"_NET_WM_STATE"_s);
    for (const char16_t *flag : {u"_NET_WM_STATE_ABOVE", u"_NET_WM_STATE_SKIP_TASKBAR", u"_NET_WM_STATE_SKIP_PAGER"}) {
        EXPECT_TRUE(state.contains(QString::fromUtf16(flag))) << state.toStdString();
    }
    // Every workspace; openbox says so here rather than with the sticky state.
    EXPECT_TRUE(property(stripWindow, u"_NET_WM_DESKTOP"_s).contains(u"4294967295"_s));

    // A window opened later still stacks below the strip.
    QProcess second;
    second.setProcessEnvironment(environment());
    second.start(QStringLiteral(RIBBEX_BINARY), {});
    ASSERT_TRUE(second.waitForFinished(10000));
    ASSERT_TRUE(eventually([] { return windowNamed(u"ribbex Settings"_s).has_value(); }));
    const QString stacking = run(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST_STACKING"_s});
    const QString settings = *windowNamed(u"ribbex Settings"_s);
    const auto position
        = [&](const QString &window) { return stacking.indexOf(u"0x"_s + QString::number(window.toULongLong(), 16)); };
    ASSERT_GE(position(settings), 0) << stacking.toStdString();
    EXPECT_GT(position(stripWindow), position(settings)) << stacking.toStdString();
}

TEST_F(DesktopSessionTest, ASecondLaunchOpensTheOneSettingsWindowOfTheFirstAndEndsAtOnce)
{
    startStrip();
    for (int launch = 0; launch < 2; ++launch) {
        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(QStringLiteral(RIBBEX_BINARY), {});
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
        ASSERT_TRUE(eventually([] { return windowNamed(u"ribbex Settings"_s).has_value(); }));
    }
    const QRect settings = geometry(*windowNamed(u"ribbex Settings"_s));
    EXPECT_EQ(settings.size(), QSize(580, 720));
    EXPECT_EQ(strip.state(), QProcess::Running);
}

TEST_F(DesktopSessionTest, TheRightClickMenuOpensTheSettingsAndQuitsWithStatusZero)
{
    startStrip();
    const QRect where = geometry(stripWindow);
    const QString x = QString::number(where.center().x());
    const QString y = QString::number(where.center().y());
    // The menu is one more window of ours on screen.
    const auto openMenu = [&] {
        const qsizetype before = windowsOfType({}).size();
        run(u"xdotool"_s, {u"mousemove"_s, x, y, u"click"_s, u"3"_s});
        return eventually([&] { return windowsOfType({}).size() == before + 1; });
    };

    // The first entry opens the settings window.
    ASSERT_TRUE(openMenu());
    run(u"xdotool"_s, {u"key"_s, u"Down"_s, u"Return"_s});
    ASSERT_TRUE(eventually([] { return windowNamed(u"ribbex Settings"_s).has_value(); }));

    // The last entry quits.
    ASSERT_TRUE(openMenu());
    run(u"xdotool"_s, {u"key"_s, u"Up"_s, u"Return"_s});
    ASSERT_TRUE(strip.waitForFinished(10000));
    EXPECT_EQ(strip.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(strip.exitCode(), 0) << strip.readAllStandardError().constData();
}

} // namespace
} // namespace ribbex::test
