#include "app/app_delegate.h"

#include "platform/autostart_settings.h"
#include "platform/display_state.h"
#include "platform/xdg_paths.h"
#include "settings_window/settings_view.h"
#include "sources/net/network_access.h"
#include "ticker/menu_bar_scroller_view.h"
#include "ticker/strip_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace ribbex {

using namespace Qt::StringLiterals;

AppDelegate::AppDelegate(DisplayState &display, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_settingsStore(ribbexConfigFolder())
    , m_cacheStore(ribbexCacheFolder())
    , m_loginItems(autostartFolder(), QCoreApplication::applicationFilePath())
    , m_model({m_settingsStore, m_cacheStore, m_loginItems, clock})
    , m_network(makeNetworkAccessManager(ribbexCacheFolder() + u"/http"_s))
    , m_sources(makeSources({m_model, *m_network}))
    , m_timers(m_model, sourcePointers(m_sources))
    , m_display(display)
{
    m_clicks.onActivateSpotify = [this] {
        for (const auto &source : m_sources) {
            if (source->kind() == TickerSource::spotify)
                source->activate();
        }
    };
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    QPointer<AppDelegate> self(this);
    m_tickerController = std::make_unique<MenuBarScrollerController>(
        m_model, m_settingsStore, m_clicks,
        [self] {
            if (self)
                self->openSettings();
        },
        [self] {
            if (self)
                self->quit();
        });
    connect(&m_display, &DisplayState::displayDidSleep, this, &AppDelegate::displayDidSleep);
    connect(&m_display, &DisplayState::displayDidWake, this, &AppDelegate::displayDidWake);
    m_timers.launch();
}

void AppDelegate::applicationDidBecomeActive()
{
    m_timers.refreshEnabledSources();
}

void AppDelegate::openSettings()
{
    if (!m_settingsWindow)
        createSettingsWindow();
    m_settingsWindow->setWindowState(m_settingsWindow->windowState() & ~Qt::WindowMinimized);
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
    applicationDidBecomeActive();
}

void AppDelegate::createSettingsWindow()
{
    SettingsActions actions {sourcePointers(m_sources), [] { openAutostartSettings(); }};
    m_settingsWindow = std::make_unique<SettingsView>(m_model, actions);
    m_settingsWindow->setWindowTitle(u"ribbex Settings"_s);
    m_settingsWindow->resize(580, 720);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = m_settingsWindow->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        m_settingsWindow->move(frame.topLeft());
    }
}

void AppDelegate::openUrls(const QStringList &urls)
{
    for (const QString &text : urls) {
        const QUrl url(text);
        for (const auto &source : m_sources) {
            if (source->openUrl(url))
                break;
        }
    }
}

void AppDelegate::quit()
{
    QCoreApplication::quit();
}

void AppDelegate::displayDidSleep()
{
    if (m_tickerController)
        m_tickerController->view().setAnimationEnabled(false);
    m_timers.displayDidSleep();
}

void AppDelegate::displayDidWake()
{
    if (m_tickerController)
        m_tickerController->view().setAnimationEnabled(true);
    m_timers.displayDidWake();
}

} // namespace ribbex
