// How fast the strip really scrolls: runs the view for a while and prints its ticks a second and
// the distance the text moved against the speed setting times the time taken. Run it as
//   tests/support/with-x11-session scroll_rate [--seconds 60]
// or with QT_QPA_PLATFORM=offscreen.

#include "scratch_model.h"
#include "ticker/menu_bar_scroller_view.h"
#include "ticker/ticker_clicks.h"
#include "ticker/ticker_scroll.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype secondsAt = arguments.indexOf(QStringLiteral("--seconds"));
    const int seconds = secondsAt > 0 ? arguments.value(secondsAt + 1).toInt() : 60;

    using namespace ribbex;
    ScratchModel scratch;
    RibbexSettings settings = scratch.model.settings();
    settings.enabledSources = {TickerSource::news};
    scratch.model.setSettings(settings);
    scratch.model.setNewsHeadlines({{QStringLiteral("Storm brings heavy rain to coasts"), QUrl()}});

    DesktopClickHandler clicks;
    MenuBarScrollerView view(scratch.model, clicks);
    view.show();
    long ticks = 0;
    view.setTickPresenter([&] {
        ++ticks;
        return false;
    });
    QElapsedTimer clock;
    // A second to settle, so the first paint does not count.
    QTimer::singleShot(1000, [&] {
        ticks = 0;
        clock.start();
        QTimer::singleShot(seconds * 1000, [&] {
            const double span = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            const double moved = static_cast<double>(ticks) * scrollStep(settings.speed);
            std::printf("%ld ticks in %.3f s: %.3f a second\n", ticks, span, static_cast<double>(ticks) / span);
            std::printf("moved %.1f points, speed x time %.1f: %+.3f%%\n", moved, settings.speed * span,
                100 * (moved / (settings.speed * span) - 1));
            QCoreApplication::quit();
        });
    });
    return QApplication::exec();
}
