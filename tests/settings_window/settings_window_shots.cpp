// Shows the settings window with sample settings and saves its panes as PNGs into the folder
// given, for looking at the layout under a real X server:
//   xvfb-run -s "-screen 0 1280x1024x24" settings_window_shots /tmp/shots

#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "settings_window/color_swatch_popover.h"
#include "settings_window/settings_view.h"
#include "sources/source_list.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QNetworkAccessManager>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

using namespace ribbex;
using namespace Qt::StringLiterals;

namespace {

void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget *widget, const QString &path)
{
    settle();
    const bool saved = widget->grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: settings_window_shots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    QTemporaryDir home;
    FilePreferencesStore settingsStore(home.path() + u"/config"_s);
    FilePreferencesStore cacheStore(home.path() + u"/cache"_s);
    XdgAutostart loginItems(home.path() + u"/autostart"_s, u"/bin/true"_s);
    SystemClock clock;
    SettingsModel model(ModelServices {settingsStore, cacheStore, loginItems, clock, false});
    RibbexSettings settings = model.settings();
    settings.enabledSources = {TickerSource::news, TickerSource::football};
    settings.selectedFootballCompetitions = {FootballCompetition::premierLeague, FootballCompetition::championsLeague};
    settings.progressBarTransparency = 0.25;
    model.setSettings(settings);
    model.setNewsStatus(u"Updated just now · 12 headlines"_s);

    QNetworkAccessManager network;
    const SourceList sources = makeSources({model, network});
    SettingsView view(model, SettingsActions {sourcePointers(sources), {}});
    view.setWindowTitle(u"ribbex Settings"_s);
    view.resize(580, 720);
    view.show();

    bool saved = save(&view, folder + u"/sources.png"_s);
    view.selectTab(SettingsView::Tab::appearance);
    saved &= save(&view, folder + u"/appearance.png"_s);
    QScrollBar *scroll = view.scrollArea(SettingsView::Tab::appearance)->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    saved &= save(&view, folder + u"/appearance-end.png"_s);
    scroll->setValue(0);
    auto *swatch = view.findChild<ColorSwatchPopover *>(u"textColorSwatch"_s);
    swatch->click();
    saved &= save(swatch->popover(), folder + u"/color-popover.png"_s);
    return saved ? 0 : 1;
}
