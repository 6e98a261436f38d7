#pragma once

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"
#include "ticker/strip_window.h"
#include "ticker/ticker_clicks.h"

#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ribbex::test {

class RecordingClicks final : public TickerClickHandler {
public:
    void openLink(const QUrl &url) override { openedLinks.append(url); }
    void activateSpotify() override { ++spotifyActivations; }

    QList<QUrl> openedLinks;
    int spotifyActivations = 0;
};

// A strip over a model in a temporary home, shown on the test's X server.
class StripTest : public testing::Test {
protected:
    StripTest();

    std::unique_ptr<MenuBarScrollerController> makeController();
    void changeSettings(const std::function<void(RibbexSettings &)> &change);
    void showHeadlines(const QStringList &titles);
    WId windowId() { return controller->window().winId(); }

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    FilePreferencesStore positionStore {home.ribbexConfigDir()};
    XdgAutostart loginItems {home.autostartDir(), QStringLiteral("/bin/true")};
    PinnedClock clock {QDateTime(QDate(2026, 12, 6), QTime(15, 0), QTimeZone::utc())};
    std::unique_ptr<SettingsModel> model;
    RecordingClicks clicks;
    int openSettingsCalls = 0;
    int quitCalls = 0;
    std::unique_ptr<MenuBarScrollerController> controller;
};

// Runs the event loop until the condition holds or the time is up; says whether it held.
bool waitUntil(const std::function<bool()> &condition, int milliseconds = 5000);

// Runs an X11 tool to completion while the event loop keeps serving the X server.
QString runTool(const QString &program, const QStringList &arguments);

// One property as xprop prints it.
QString windowProperty(WId window, const QString &property);
// The values of a list property, split at commas.
QStringList windowAtoms(WId window, const QString &property);

// Where the X server has the window, in root coordinates, as xwininfo reports it.
QRect windowGeometry(WId window);

// The window's pixels as the X server holds them now.
QImage windowPixels(WId window);

} // namespace ribbex::test
