#include "model/settings_model.h"

#include "settings/settings_store.h"

#include <algorithm>
#include <cmath>

namespace ribbex {

namespace {

QString launchAtLoginStatusText(LoginItemStatus status)
{
    switch (status) {
    case LoginItemStatus::notRegistered:
        return QStringLiteral("Off");
    case LoginItemStatus::enabled:
        return QStringLiteral("Enabled");
    case LoginItemStatus::requiresApproval:
        return QStringLiteral("Allow ribbex in System Settings \u2192 General \u2192 Login Items");
    case LoginItemStatus::notFound:
        return QStringLiteral("ribbex login item was not found");
    case LoginItemStatus::unavailable:
        break;
    }
    return QStringLiteral("Status unavailable");
}

bool countsAsLaunchAtLogin(LoginItemStatus status)
{
    return status == LoginItemStatus::enabled || status == LoginItemStatus::requiresApproval;
}

} // namespace

SettingsModel::SettingsModel(ModelServices services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_footballStatus(QStringLiteral("Not refreshed yet"))
    , m_spotifyStatus(QStringLiteral("Not connected"))
    , m_weatherStatus(QStringLiteral("Choose current location or enter a city"))
    , m_newsStatus(QStringLiteral("Not refreshed yet"))
    , m_launchAtLoginStatus(QStringLiteral("Off"))
{
    LoadedSettings loaded = loadSettings(m_services.settingsStore);
    const bool firstLaunch = loaded.origin == LoadedSettings::Origin::nothingStored;
    // An unreadable document is kept aside before anything overwrites it.
    m_keepUnreadableSettingsBeforeSave = loaded.origin == LoadedSettings::Origin::unreadable;
    m_settings = std::move(loaded.settings);
    m_saveError = std::move(loaded.saveError);

    if (!m_settings.selectedFootballCompetitions) {
        RibbexSettings withSelection = m_settings;
        withSelection.selectedFootballCompetitions = allFootballCompetitionSet();
        setSettings(withSelection);
    }
    loadFixtureCache();
    updateLaunchAtLoginState();
    if (firstLaunch && m_services.mayRegisterLoginItem)
        setLaunchAtLogin(true);
    applyStartupAdjustments();
}

void SettingsModel::applyStartupAdjustments()
{
    if (m_settings.weatherResolveNameWithApple != true) {
        RibbexSettings adjusted = m_settings;
        adjusted.weatherResolveNameWithApple = true;
        setSettings(adjusted);
    }
    if (m_settings.startsHidden) {
        RibbexSettings adjusted = m_settings;
        adjusted.isVisible = false;
        setSettings(adjusted);
    }
}

void SettingsModel::loadFixtureCache()
{
    const auto bytes = m_services.cacheStore.read(FootballFixtureCache::preferencesKey);
    if (!bytes || !bytes->has_value())
        return;
    if (std::optional<FootballFixtureCache> cache = decodeFixtureCache(**bytes)) {
        m_footballMatches = pruneStaleFixtures(std::move(cache->fixtures), m_services.clock.now());
        m_bookkeeping.footballScheduleRefreshedAt = std::move(cache->scheduleRefreshedAt);
    }
}

void SettingsModel::setSettings(const RibbexSettings &settings)
{
    m_settings = settings;
    const auto saved = save();
    m_saveError = saved ? std::nullopt : std::optional(saved.error());
    // One announcement covers the record and whether it could be saved.
    Q_EMIT changed();
    if (onChange)
        onChange();
}

std::expected<void, StoreError> SettingsModel::save()
{
    if (m_keepUnreadableSettingsBeforeSave) {
        // Without the copy the user's only version of their settings would be lost: don't save.
        if (auto kept
            = m_services.settingsStore.keepCopy(RibbexSettings::preferencesKey, QStringLiteral(".unreadable"));
            !kept)
            return kept;
        m_keepUnreadableSettingsBeforeSave = false;
    }
    return writeSettings(m_services.settingsStore, m_settings);
}

QString SettingsModel::saveStatus() const
{
    return m_saveError ? QStringLiteral("Couldn't save settings \u00B7 ") + m_saveError->reason : QString();
}

void SettingsModel::setFootballMatches(QList<FootballMatch> matches)
{
    publish(m_footballMatches, std::move(matches));
}

void SettingsModel::setFootballStatus(const QString &status)
{
    publish(m_footballStatus, status);
}

void SettingsModel::setSpotifyTrack(std::optional<SpotifyNowPlaying> track)
{
    publish(m_spotifyTrack, std::move(track));
}

void SettingsModel::setSpotifyStatus(const QString &status)
{
    publish(m_spotifyStatus, status);
}

void SettingsModel::setWeatherSnapshot(std::optional<WeatherSnapshot> snapshot)
{
    publish(m_weatherSnapshot, std::move(snapshot));
}

void SettingsModel::setWeatherStatus(const QString &status)
{
    publish(m_weatherStatus, status);
}

void SettingsModel::setNewsHeadlines(QList<NewsHeadline> headlines)
{
    publish(m_newsHeadlines, std::move(headlines));
}

void SettingsModel::setNewsStatus(const QString &status)
{
    publish(m_newsStatus, status);
}

std::optional<NewsFeed> SettingsModel::selectedNewsFeed() const
{
    const QString id = m_settings.newsFeedID.value_or(NewsFeed::defaultFeed().id);
    if (id == NewsFeed::customId)
        return m_settings.customNewsFeedURL ? NewsFeed::custom(*m_settings.customNewsFeedURL) : std::nullopt;
    return NewsFeed::feedFor(id);
}

void SettingsModel::updateColor(ColorField field, const QString &value)
{
    RibbexSettings updated = m_settings;
    (field == ColorField::text ? updated.textColor : updated.backgroundColor) = value;
    setSettings(updated);
}

void SettingsModel::updateColors(const QString &text, const QString &background)
{
    RibbexSettings updated = m_settings;
    updated.textColor = text;
    updated.backgroundColor = background;
    setSettings(updated);
}

void SettingsModel::setBackgroundTransparency(double value)
{
    RibbexSettings updated = m_settings;
    updated.backgroundTransparency = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
    setSettings(updated);
}

void SettingsModel::updateLaunchAtLoginState()
{
    const LoginItemStatus status = m_services.loginItems.status();
    setLaunchAtLoginState(countsAsLaunchAtLogin(status), launchAtLoginStatusText(status));
}

void SettingsModel::setLaunchAtLogin(bool enabled)
{
    LoginItems &items = m_services.loginItems;
    const auto result = enabled ? items.registerApp() : items.unregisterApp();
    updateLaunchAtLoginState();
    if (!result)
        setLaunchAtLoginState(m_launchAtLoginEnabled, result.error().description());
}

void SettingsModel::setLaunchAtLoginState(bool enabled, const QString &status)
{
    m_launchAtLoginEnabled = enabled;
    m_launchAtLoginStatus = status;
    Q_EMIT changed();
}

} // namespace ribbex
