// What the scrolling strip costs in CPU: shows the strip over a long line for a while and prints
// this process's CPU time and the X server's over the same span. Run it in an X session, e.g.
//   tests/support/with-x11-session strip_cpu [--qt-path] [--seconds 60]
// which exports the server's process id as RIBBEX_X_SERVER_PID. --square turns the rounded ends off.

#include "scratch_model.h"
#include "ticker/strip_window.h"
#include "ticker/ticker_clicks.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

// utime + stime of a process, in seconds.
double cpuSeconds(const QString &pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // Fields after the parenthesised command name; utime and stime are the 14th and 15th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong())
        / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool qtPath = arguments.contains(QStringLiteral("--qt-path"));
    const qsizetype secondsAt = arguments.indexOf(QStringLiteral("--seconds"));
    const int seconds = secondsAt > 0 ? arguments.value(secondsAt + 1).toInt() : 60;

    using namespace ribbex;
    ScratchModel scratch;
    SettingsModel &model = scratch.model;
    RibbexSettings settings = model.settings();
    settings.enabledSources = {TickerSource::news};
    if (arguments.contains(QStringLiteral("--square")))
        settings.roundedTickerEdges = false;
    model.setSettings(settings);
    QList<NewsHeadline> headlines;
    for (int i = 0; i < 5; ++i)
        headlines.append(
            {QStringLiteral("Storm brings 90mph winds and heavy rain to coasts, forecasters warn %1").arg(i),
                QUrl(QStringLiteral("https://example.org/%1").arg(i))});
    model.setNewsHeadlines(headlines);

    DesktopClickHandler clicks;
    MenuBarScrollerController controller(
        model, scratch.settingsStore, clicks, [] {}, [] {});
    controller.setX11FastPathEnabled(!qtPath);

    const QString server = qEnvironmentVariable("RIBBEX_X_SERVER_PID");
    const QString self = QString::number(QCoreApplication::applicationPid());
    double selfStart = 0;
    double serverStart = 0;
    // A second to settle: the window is mapped and painted once through Qt.
    QTimer::singleShot(1000, [&] {
        selfStart = cpuSeconds(self);
        serverStart = cpuSeconds(server);
        QTimer::singleShot(seconds * 1000, [&] {
            const double span = seconds;
            std::printf("path %s, %d s, %s\n", qtPath ? "qt" : "x11 fast path", seconds,
                qPrintable(controller.view().size().isEmpty()
                        ? QString()
                        : QStringLiteral("%1 x %2").arg(controller.view().width()).arg(controller.view().height())));
            std::printf("ribbex process: %.3f%% of one core\n", 100 * (cpuSeconds(self) - selfStart) / span);
            if (!server.isEmpty())
                std::printf("X server:       %.3f%% of one core\n", 100 * (cpuSeconds(server) - serverStart) / span);
            std::printf("fast-path frames: %d\n", controller.fastPathFrames());
            QCoreApplication::quit();
        });
    });
    return QApplication::exec();
}
