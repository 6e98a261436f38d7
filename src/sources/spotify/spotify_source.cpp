#include "sources/spotify/spotify_source.h"

#include "sources/net/network_access.h"
#include "sources/spotify/spotify_section.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QPointer>

namespace ribbex {

using namespace Qt::StringLiterals;

SpotifySource::SpotifySource(const SourceServices &services)
    : m_model(services.model)
    , m_player(QDBusConnection::sessionBus(), services.model.clock())
    , m_api(services.network, services.model.clock(), SpotifyCredentialStore(),
          serviceBaseUrl("RIBBEX_SPOTIFY_ACCOUNTS_URL", QUrl(u"https://accounts.spotify.com"_s)),
          serviceBaseUrl("RIBBEX_SPOTIFY_API_URL", QUrl(u"https://api.spotify.com"_s)))
    , m_refresh(services.model, m_player, m_api)
    , m_connection(services.model, m_api, m_refresh)
{
    // A new track, a pause or a seek shows at once rather than at the next turn of the timer.
    QObject::connect(&m_player, &PlayerBridge::changed, &m_refresh, [this] { (void)m_refresh.refreshSpotify(); });
    // Asked in the background: a secret store that is slow to answer must not hold up the strip.
    (void)m_connection.checkStoredSignIn();
}

QCoro::Task<> SpotifySource::refreshNow()
{
    return m_refresh.refreshSpotify();
}

QCoro::Task<> SpotifySource::refreshIfDue()
{
    // The repeating timer is the pacing: each turn refreshes.
    return m_refresh.refreshSpotify();
}

QString SpotifySource::status() const
{
    return m_model.spotifyStatus();
}

SourceSection *SpotifySource::createSettingsSection(QWidget *parent)
{
    return new SpotifySection(
        m_model, {[this] { connectWebApi(); }, [this] { (void)m_connection.disconnect(); }}, parent);
}

void SpotifySource::activate()
{
    (void)bringForward();
}

bool SpotifySource::openUrl(const QUrl &url)
{
    return m_connection.handleSpotifyCallback(url);
}

QCoro::Task<> SpotifySource::bringForward()
{
    // The player's own window when it runs and can raise it; otherwise its desktop client's link
    // scheme starts it.
    const QPointer<PlayerBridge> player(&m_player);
    if (!co_await m_player.raise() && player)
        QDesktopServices::openUrl(QUrl(u"spotify:"_s));
}

void SpotifySource::connectWebApi()
{
    const std::optional<QUrl> signIn = m_connection.beginAuthorization();
    if (!signIn)
        return;
    m_model.setSpotifyStatus(QDesktopServices::openUrl(*signIn)
            ? u"Continue in your web browser to connect Spotify"_s
            : u"No web browser could be opened for Spotify’s sign-in page"_s);
}

} // namespace ribbex
