#pragma once

// The one observable model: the user's settings and the live state of every source. It saves
// the settings whole after each change and announces every change of its state.

#include "model/football_match.h"
#include "model/source_records.h"
#include "model/ticker_item.h"
#include "platform/clock.h"
#include "platform/login_items.h"
#include "platform/preferences_store.h"
#include "settings/news_feed.h"
#include "settings/ribbex_settings.h"

#include <QObject>

#include <functional>

namespace ribbex {

struct ModelServices {
    PreferencesStore &settingsStore;
    PreferencesStore &cacheStore;
    LoginItems &loginItems;
    const Clock &clock;
    // Command-line runs read the login item's state but never register it.
    bool mayRegisterLoginItem = true;
};

// Pacing state of the sources' refreshes; not observable, not persisted except where noted.
struct SourceBookkeeping {
    std::optional<QDateTime> lastNewsRefreshAttempt;
    QMap<QString, QDateTime> footballScheduleRefreshedAt; // kept in the fixture cache
    QMap<QString, QDateTime> footballScheduleRetryAfter;
    QMap<QString, QDateTime> footballScorePolledAt;
    bool isUpdatingFootball = false;
    // A Web API sign-in waiting for its callback.
    std::optional<QString> spotifyCodeVerifier;
    std::optional<QString> spotifyState;
    // The secret store held a Web API sign-in when last asked.
    bool spotifyConnected = false;
};

class SettingsModel final : public QObject {
    Q_OBJECT

public:
    enum class ColorField { text, background };

    explicit SettingsModel(ModelServices services, QObject *parent = nullptr);

    const RibbexSettings &settings() const { return m_settings; }
    // Stores the record, saves the document, announces both, then calls onChange.
    void setSettings(const RibbexSettings &settings);
    std::expected<void, StoreError> save();
    // Why the last save failed, for the user ("Couldn't save settings · reason"); empty once a
    // save works. saveError holds the same failure.
    QString saveStatus() const;
    const std::optional<StoreError> &saveError() const { return m_saveError; }

    const QList<FootballMatch> &footballMatches() const { return m_footballMatches; }
    const QString &footballStatus() const { return m_footballStatus; }
    const std::optional<SpotifyNowPlaying> &spotifyTrack() const { return m_spotifyTrack; }
    const QString &spotifyStatus() const { return m_spotifyStatus; }
    const std::optional<WeatherSnapshot> &weatherSnapshot() const { return m_weatherSnapshot; }
    const QString &weatherStatus() const { return m_weatherStatus; }
    const QList<NewsHeadline> &newsHeadlines() const { return m_newsHeadlines; }
    const QString &newsStatus() const { return m_newsStatus; }
    bool launchAtLoginEnabled() const { return m_launchAtLoginEnabled; }
    const QString &launchAtLoginStatus() const { return m_launchAtLoginStatus; }

    void setFootballMatches(QList<FootballMatch> matches);
    void setFootballStatus(const QString &status);
    void setSpotifyTrack(std::optional<SpotifyNowPlaying> track);
    void setSpotifyStatus(const QString &status);
    void setWeatherSnapshot(std::optional<WeatherSnapshot> snapshot);
    void setWeatherStatus(const QString &status);
    void setNewsHeadlines(QList<NewsHeadline> headlines);
    void setNewsStatus(const QString &status);

    // The ticker's entries, composed afresh from the current state on every call.
    QList<TickerItem> items() const;
    // The feed to read now, or nothing when a custom feed is chosen without a usable address.
    std::optional<NewsFeed> selectedNewsFeed() const;

    void updateColor(ColorField field, const QString &value);
    void updateColors(const QString &text, const QString &background);
    void setBackgroundTransparency(double value);

    void updateLaunchAtLoginState();
    void setLaunchAtLogin(bool enabled);

    SourceBookkeeping &bookkeeping() { return m_bookkeeping; }
    const SourceBookkeeping &bookkeeping() const { return m_bookkeeping; }
    const Clock &clock() const { return m_services.clock; }
    PreferencesStore &cacheStore() { return m_services.cacheStore; }

    // Set once by the application shell.
    std::function<void()> onChange;
    std::function<void()> onFootballRefreshFinished;
    std::function<void()> onNewsRefreshAttemptStarted;

Q_SIGNALS:
    // Any observable property changed; observers read back what they need.
    void changed();

private:
    // Every observable property changes through here, so none can forget to announce it.
    template<typename T> void publish(T &property, T value)
    {
        property = std::move(value);
        Q_EMIT changed();
    }

    void loadFixtureCache();
    void applyStartupAdjustments();
    void setLaunchAtLoginState(bool enabled, const QString &status);

    ModelServices m_services;
    RibbexSettings m_settings;
    bool m_keepUnreadableSettingsBeforeSave = false;
    std::optional<StoreError> m_saveError;

    QList<FootballMatch> m_footballMatches;
    QString m_footballStatus;
    std::optional<SpotifyNowPlaying> m_spotifyTrack;
    QString m_spotifyStatus;
    std::optional<WeatherSnapshot> m_weatherSnapshot;
    QString m_weatherStatus;
    QList<NewsHeadline> m_newsHeadlines;
    QString m_newsStatus;
    bool m_launchAtLoginEnabled = false;
    QString m_launchAtLoginStatus;

    SourceBookkeeping m_bookkeeping;
};

} // namespace ribbex
