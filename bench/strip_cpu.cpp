// What the scrolling strip costs: shows the strip over a line of headlines for a while and prints
// this process's CPU time and the X server's over the same span, and this process's memory. Run
// it in an X session, e.g.
//   tests/support/with-x11-session strip_cpu [--qt-path] [--seconds 60] [--settle 1] [--square]
//       [--long CHARACTERS] [--spotify]
// which exports the server's process id as RIBBEX_X_SERVER_PID. --square turns the rounded ends
// off; --long makes one headline of that many characters, a line far wider than the screen;
// --spotify adds a playing track, whose progress bar grows along the top edge all the while.
// --settle waits that many seconds before measuring; longer than one pass of the line, it leaves
// out the run picture's tiles drawn as they first come into view. QT_SCALE_FACTOR=3 runs the
// strip at three device pixels a point.

#include "scratch_model.h"
#include "ticker/strip_window.h"
#include "ticker/ticker_clicks.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

// Time on a CPU over all threads, in seconds: exact, where utime and stime are samples at the
// kernel's tick and too coarse for a process busy 30 × 20 µs a second.
double cpuSeconds(const QString &pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    qint64 nanoseconds = 0;
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks + u'/' + task + QStringLiteral("/schedstat"));
        if (file.open(QIODevice::ReadOnly))
            nanoseconds += file.readAll().split(' ').value(0).toLongLong();
    }
    return static_cast<double>(nanoseconds) / 1e9;
}

// A line of /proc/self/status, such as "VmRSS:  34504 kB".
QByteArray statusField(const QByteArray &name)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(QByteArray(name + ':')))
            return line.mid(name.size() + 1).simplified();
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool qtPath = arguments.contains(QStringLiteral("--qt-path"));
    const qsizetype secondsAt = arguments.indexOf(QStringLiteral("--seconds"));
    const int seconds = secondsAt > 0 ? arguments.value(secondsAt + 1).toInt() : 60;
    const qsizetype longAt = arguments.indexOf(QStringLiteral("--long"));
    const int longCharacters = longAt > 0 ? arguments.value(longAt + 1).toInt() : 0;
    const qsizetype settleAt = arguments.indexOf(QStringLiteral("--settle"));
    const int settleSeconds = settleAt > 0 ? arguments.value(settleAt + 1).toInt() : 1;

    using namespace ribbex;
    ScratchModel scratch;
    SettingsModel &model = scratch.model;
    RibbexSettings settings = model.settings();
    settings.enabledSources = {TickerSource::news};
    if (arguments.contains(QStringLiteral("--square")))
        settings.roundedTickerEdges = false;
    if (arguments.contains(QStringLiteral("--spotify"))) {
        settings.enabledSources.insert(TickerSource::spotify);
        // Some four times as long as the run, so the bar grows all the while and never fills.
        const double duration = 4.0 * (settleSeconds + seconds) + 60;
        model.setSpotifyTrack(SpotifyNowPlaying {QStringLiteral("Night Drive"), QStringLiteral("The Test Band"),
            SpotifyTrackProgress {0, duration, scratch.clock.now(), true}});
    }
    model.setSettings(settings);
    const QString headline = QStringLiteral("Storm brings 90mph winds and heavy rain to coasts, forecasters warn %1");
    QList<NewsHeadline> headlines;
    if (longCharacters > 0) {
        QString text;
        for (int i = 0; text.size() < longCharacters; ++i)
            text += headline.arg(i) + u' ';
        headlines.append({text.first(longCharacters), QUrl(QStringLiteral("https://example.org/long"))});
    }
    for (int i = 0; i < 5; ++i)
        headlines.append({headline.arg(i), QUrl(QStringLiteral("https://example.org/%1").arg(i))});
    model.setNewsHeadlines(headlines);

    DesktopClickHandler clicks;
    MenuBarScrollerController controller(
        model, scratch.settingsStore, clicks, [] {}, [] {});
    controller.setX11FastPathEnabled(!qtPath);
    const MenuBarScrollerView *view = &controller.view();

    const QString server = qEnvironmentVariable("RIBBEX_X_SERVER_PID");
    const QString self = QString::number(QCoreApplication::applicationPid());
    double selfStart = 0;
    double serverStart = 0;
    // At least a second to settle: the window is mapped and painted once through Qt.
    QTimer::singleShot(std::max(settleSeconds, 1) * 1000, [&] {
        selfStart = cpuSeconds(self);
        serverStart = cpuSeconds(server);
        QTimer::singleShot(seconds * 1000, [&] {
            const double span = seconds;
            if (view)
                std::printf("path %s, %d s, %d x %d points at scale %g, line %.0f points\n",
                    qtPath ? "qt" : "x11 fast path", seconds, view->width(), view->height(), view->devicePixelRatioF(),
                    view->renderer().textWidth());
            std::printf("ribbex process: %.3f%% of one core\n", 100 * (cpuSeconds(self) - selfStart) / span);
            if (!server.isEmpty())
                std::printf("X server:       %.3f%% of one core\n", 100 * (cpuSeconds(server) - serverStart) / span);
            std::printf("fast-path frames: %d, copied: %d\n", controller.fastPathFrames(), controller.copiedFrames());
            std::printf("resident: %s, peak %s\n", statusField("VmRSS").constData(), statusField("VmHWM").constData());
            QCoreApplication::quit();
        });
    });
    return QApplication::exec();
}
