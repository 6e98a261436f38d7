#pragma once

// The running application: the model and the sources, the strip, the refresh timers, the
// settings window, display sleep and wake, and what a second launch asks for.

#include "app/refresh_timers.h"
#include "model/settings_model.h"
#include "platform/clock.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "sources/source_list.h"
#include "ticker/ticker_clicks.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <memory>

namespace ribbex {

class DisplayState;
class MenuBarScrollerController;
class SettingsView;

class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // Files go to the XDG folders of the environment; services to the addresses it names.
    AppDelegate(DisplayState &display, const Clock &clock, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // The application came to the front: the settings window opened or a second launch asked.
    void applicationDidBecomeActive();
    void openSettings();
    // Links handed to the application, such as ribbex:// callbacks; handled in order, each by
    // the source it belongs to.
    void openUrls(const QStringList &urls);
    void quit();

    SettingsModel &model() { return m_model; }
    const SourceList &sources() const { return m_sources; }
    RefreshTimers &refreshTimers() { return m_timers; }
    // Absent until launch.
    MenuBarScrollerController *tickerController() { return m_tickerController.get(); }
    // Absent until the settings window is first opened.
    SettingsView *settingsWindow() { return m_settingsWindow.get(); }

private:
    void displayDidSleep();
    void displayDidWake();
    void createSettingsWindow();

    FilePreferencesStore m_settingsStore;
    FilePreferencesStore m_cacheStore;
    XdgAutostart m_loginItems;
    SettingsModel m_model;
    std::unique_ptr<QNetworkAccessManager> m_network;
    SourceList m_sources;
    RefreshTimers m_timers;
    DesktopClickHandler m_clicks;
    DisplayState &m_display;
    std::unique_ptr<MenuBarScrollerController> m_tickerController;
    std::unique_ptr<SettingsView> m_settingsWindow;
};

} // namespace ribbex
