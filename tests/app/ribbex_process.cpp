#include "ribbex_process.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace ribbex::test {

using namespace Qt::StringLiterals;

QProcessEnvironment RibbexProcessTest::environment(const QStringList &assignments) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, home.configDir());
    environment.insert(u"XDG_CACHE_HOME"_s, home.cacheDir());
    environment.insert(u"HOME"_s, home.path());
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    // Nothing listens there: scoreboard requests fail at once instead of leaving the machine.
    environment.insert(u"RIBBEX_ESPN_URL"_s, u"http://127.0.0.1:1"_s);
    for (const QString &assignment : assignments) {
        const auto [name, value] = std::pair(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
        value.isEmpty() ? environment.remove(name) : environment.insert(name, value);
    }
    return environment;
}

ProcessResult RibbexProcessTest::ribbex(const QStringList &arguments, const QStringList &extraEnvironment, int limitMs)
{
    QProcess process;
    process.setProcessEnvironment(environment(extraEnvironment));
    // The event loop keeps running meanwhile, so the test's loopback servers can answer.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(RIBBEX_BINARY), arguments);
    loop.exec();
    EXPECT_EQ(process.state(), QProcess::NotRunning) << "still running after " << limitMs << " ms";
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace ribbex::test
