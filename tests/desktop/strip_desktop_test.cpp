// The real ribbex on the session's X server with openbox and the session's own bus, seen through
// the X11 tools of a user's desktop: what takes more than one process. The strip window's X11
// type and state are tried in tests/strip, its menu with the whole application in tests/shell.

#include "ribbex_process.h"
#include "settings/ribbex_settings.h"

#include <QProcess>
#include <QTest>

#include <csignal>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class DesktopTest : public RibbexProcessTest {
protected:
    ~DesktopTest() override
    {
        strip.terminate();
        strip.waitForFinished(5000);
    }

    // Starts the strip with football from a server that is not there, and waits for its window.
    void startStrip()
    {
        RibbexSettings settings;
        settings.enabledSources = {TickerSource::football};
        writeFile(settingsPath(), *encodeSettings(settings));
        strip.setProcessEnvironment(environment(onDesktop()));
        strip.start(QStringLiteral(RIBBEX_BINARY), {});
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return !windows({u"--class"_s, u"ribbex"_s}).isEmpty();
            },
            10000))
            << strip.readAllStandardError().constData();
        stripWindow = windows({u"--class"_s, u"ribbex"_s}).first();
    }

    // A second launch on the same desktop; it must end well within D-Bus's own 25-second timeout.
    ProcessResult launchAgain() { return ribbex({}, onDesktop(), 15000); }

    static QStringList onDesktop() { return {u"DISPLAY="_s + qEnvironmentVariable("DISPLAY"), u"QT_QPA_PLATFORM="_s}; }
    static QString x11(const QString &program, const QStringList &arguments)
    {
        QProcess tool;
        tool.start(program, arguments);
        EXPECT_TRUE(tool.waitForFinished(10000)) << program.toStdString();
        return QString::fromUtf8(tool.readAllStandardOutput());
    }
    // Our visible windows that match an xdotool search.
    static QStringList windows(const QStringList &search)
    {
        return x11(u"xdotool"_s, QStringList {u"search"_s, u"--onlyvisible"_s} + search)
            .split(u'\n', Qt::SkipEmptyParts);
    }
    static QStringList settingsWindows() { return windows({u"--name"_s, u"^ribbex Settings$"_s}); }

    QProcess strip;
    QString stripWindow;
};

TEST_F(DesktopTest, ASecondLaunchOpensTheOneSettingsWindowOfTheFirstBelowTheStripAndEnds)
{
    startStrip();
    for (int launch = 0; launch < 2; ++launch) {
        const ProcessResult second = launchAgain();
        EXPECT_EQ(second.exitCode, 0) << second.err.constData();
        ASSERT_TRUE(QTest::qWaitFor([] { return settingsWindows().size() == 1; }, 10000));
    }
    const QString stacking = x11(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST_STACKING"_s});
    const auto position
        = [&](const QString &window) { return stacking.indexOf(u"0x"_s + QString::number(window.toULongLong(), 16)); };
    ASSERT_GE(position(settingsWindows().value(0)), 0) << stacking.toStdString();
    EXPECT_GT(position(stripWindow), position(settingsWindows().value(0))) << stacking.toStdString();
    EXPECT_EQ(settingsWindows().size(), 1);
    EXPECT_EQ(strip.state(), QProcess::Running);
}

TEST_F(DesktopTest, AHungFirstInstanceNeverHangsASecondLaunch)
{
    startStrip();
    ASSERT_EQ(::kill(static_cast<pid_t>(strip.processId()), SIGSTOP), 0);
    const ProcessResult second = launchAgain();
    ::kill(static_cast<pid_t>(strip.processId()), SIGCONT);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.startsWith("ribbex: could not reach the running ribbex: ")) << second.err.constData();
}

} // namespace
} // namespace ribbex::test
