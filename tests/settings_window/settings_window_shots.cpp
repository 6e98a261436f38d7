// Shows the settings window with sample settings and saves its panes as PNGs into the folder
// given, for looking at the layout under a real X server:
//   xvfb-run -s "-screen 0 1280x1024x24" settings_window_shots /tmp/shots

#include "settings_window/color_swatch_popover.h"
#include "settings_window/settings_view.h"
#include "support/model_home.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cstdio>

using namespace ribbex;
using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: settings_window_shots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool saved = true;
    const auto save = [&](QWidget *widget, const QString &name) {
        QTest::qWait(300);
        const bool written = widget->grab().save(folder + u'/' + name + u".png"_s);
        std::fprintf(stderr, "%s %s.png\n", written ? "wrote" : "could not write", qPrintable(name));
        saved &= written;
    };

    test::ModelHome home;
    home.edit([](RibbexSettings &settings) {
        settings.enabledSources = {TickerSource::news, TickerSource::football};
        settings.selectedFootballCompetitions
            = {FootballCompetition::premierLeague, FootballCompetition::championsLeague};
        settings.progressBarTransparency = 0.25;
    });
    home.model().setNewsStatus(u"Updated just now · 12 headlines"_s);
    SettingsView view(home.model(), SettingsActions {sourcePointers(home.sources()), {}});
    view.setWindowTitle(u"ribbex Settings"_s);
    view.resize(580, 720);
    view.show();

    save(&view, u"sources"_s);
    view.selectTab(SettingsView::Tab::appearance);
    save(&view, u"appearance"_s);
    QScrollBar *scroll = view.scrollArea(SettingsView::Tab::appearance)->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    save(&view, u"appearance-end"_s);
    scroll->setValue(0);
    auto *swatch = view.findChild<ColorSwatchPopover *>(u"textColorSwatch"_s);
    swatch->click();
    save(swatch->popover(), u"color-popover"_s);
    return saved ? 0 : 1;
}
