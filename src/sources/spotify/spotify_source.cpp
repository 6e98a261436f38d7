#include "sources/spotify/spotify_source.h"

#include "sources/spotify/spotify_section.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QPointer>

namespace ribbex {

SpotifySource::SpotifySource(const SourceServices &services)
    : m_model(services.model)
    , m_player(QDBusConnection::sessionBus(), services.model.clock())
    , m_refresh(services.model, m_player)
{
    // A new track, a pause or a seek shows at once rather than at the next turn of the timer.
    QObject::connect(&m_player, &PlayerBridge::changed, &m_refresh, [this] { (void)m_refresh.refreshSpotify(); });
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
    return new SpotifySection(parent);
}

void SpotifySource::activate()
{
    (void)bringForward();
}

QCoro::Task<> SpotifySource::bringForward()
{
    // The player's own window when it runs and can raise it; otherwise its desktop client's link
    // scheme starts it.
    const QPointer<PlayerBridge> player(&m_player);
    if (!co_await m_player.raise() && player)
        QDesktopServices::openUrl(QUrl(QStringLiteral("spotify:")));
}

} // namespace ribbex
