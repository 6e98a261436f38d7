#include "desktop_session.h"

#include "settings/ribbex_settings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>

namespace ribbex::test {

using namespace Qt::StringLiterals;

DesktopSessionTest::~DesktopSessionTest()
{
    if (strip.state() != QProcess::NotRunning) {
        strip.terminate();
        strip.waitForFinished(5000);
    }
}

QProcessEnvironment DesktopSessionTest::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, home.configDir());
    environment.insert(u"XDG_CACHE_HOME"_s, home.cacheDir());
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"RIBBEX_ESPN_URL"_s, u"http://127.0.0.1:1"_s);
    // The tests themselves run offscreen; the strip must use the session's X server.
    environment.remove(u"QT_QPA_PLATFORM"_s);
    return environment;
}

void DesktopSessionTest::startStrip()
{
    // Football only, from a server that is not there: a line to scroll, and no request leaves.
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::football};
    writeFile(home.ribbexConfigDir() + u"/"_s + RibbexSettings::preferencesKey + u".json"_s,
        encodeSettings(settings).value());
    strip.setProcessEnvironment(environment());
    strip.start(QStringLiteral(RIBBEX_BINARY), {});
    ASSERT_TRUE(strip.waitForStarted(5000));
    ASSERT_TRUE(eventually([this] { return !windowsOfType(u"_NET_WM_WINDOW_TYPE_DOCK"_s).isEmpty(); }))
        << strip.readAllStandardError().constData();
    stripWindow = windowsOfType(u"_NET_WM_WINDOW_TYPE_DOCK"_s).first();
}

QString DesktopSessionTest::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(10000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ' ' << arguments.join(u' ').toStdString() << ": "
                                     << process.readAllStandardError().constData();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList DesktopSessionTest::windowsOfType(const QString &type)
{
    QProcess search;
    search.start(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--class"_s, u"ribbex"_s});
    search.waitForFinished(10000);
    QStringList matching;
    for (const QString &window : QString::fromUtf8(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        if (property(window, u"_NET_WM_WINDOW_TYPE"_s).contains(type))
            matching.append(window);
    }
    return matching;
}

std::optional<QString> DesktopSessionTest::windowNamed(const QString &name)
{
    QProcess search;
    search.start(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u'^' + name + u'$'});
    search.waitForFinished(10000);
    const QStringList found = QString::fromUtf8(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    if (found.size() != 1)
        return std::nullopt;
    return found.first();
}

QRect DesktopSessionTest::geometry(const QString &window)
{
    const QString info = run(u"xwininfo"_s, {u"-id"_s, window});
    const auto number = [&](const QString &label) {
        const QRegularExpression pattern(QRegularExpression::escape(label) + uR"(:\s*(-?\d+))"_s);
        return pattern.match(info).captured(1).toInt();
    };
    return {number(u"Absolute upper-left X"_s), number(u"Absolute upper-left Y"_s), number(u"Width"_s),
        number(u"Height"_s)};
}

QString DesktopSessionTest::property(const QString &window, const QString &name)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, window, name});
    xprop.waitForFinished(10000);
    return QString::fromUtf8(xprop.readAllStandardOutput());
}

bool DesktopSessionTest::eventually(const std::function<bool()> &condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    return true;
}

} // namespace ribbex::test
