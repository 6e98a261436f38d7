#include "sources/spotify/spotify_refresh.h"

#include <QPointer>

namespace ribbex {

using namespace Qt::StringLiterals;

SpotifyRefresh::SpotifyRefresh(SettingsModel &model, PlayerBridge &player, const SpotifyAPI &api, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_player(player)
    , m_api(api)
{
}

QCoro::Task<> SpotifyRefresh::refreshSpotify()
{
    if (!m_model.settings().isEnabled(TickerSource::spotify))
        co_return;
    const quint64 refresh = ++m_latestRefresh;
    const QPointer<SpotifyRefresh> self(this);
    const std::expected<PlayerAnswer, PlayerError> answer = co_await m_player.currentPlayback();
    if (!self || refresh != m_latestRefresh)
        co_return;
    if (answer && answer->playback) {
        showTrack(*answer->playback);
        co_return;
    }
    if (!answer)
        m_model.setSpotifyStatus(answer.error().description());
    const std::expected<SpotifyPlaybackResult, SpotifyAPIError> web = co_await askWebApi();
    if (!self || refresh != m_latestRefresh)
        co_return;
    const bool webApiUsable = web || web.error().kind != SpotifyAPIError::Kind::notConnected;
    if (web && *web) {
        showTrack(**web);
    } else if (!web && webApiUsable) {
        // The last track shown stays. (Asked once: asking again at once would only double the
        // requests against a rate limit.)
        m_model.setSpotifyStatus(web.error().description());
    } else if (answer) {
        m_model.setSpotifyTrack(std::nullopt);
        m_model.setSpotifyStatus(answer->running || webApiUsable ? u"Spotify is open · nothing playing"_s
                                                                 : u"Open Spotify and start playback"_s);
    }
}

QCoro::Task<std::expected<SpotifyPlaybackResult, SpotifyAPIError>> SpotifyRefresh::askWebApi()
{
    const QString clientID = m_model.settings().spotifyClientID.value_or(QString()).trimmed();
    if (clientID.isEmpty())
        co_return std::unexpected(SpotifyAPIError {SpotifyAPIError::Kind::notConnected});
    const QPointer<SpotifyRefresh> self(this);
    std::expected<SpotifyPlaybackResult, SpotifyAPIError> playback = co_await m_api.currentPlayback(clientID);
    if (self)
        m_model.bookkeeping().spotifyConnected
            = playback || playback.error().kind != SpotifyAPIError::Kind::notConnected;
    co_return playback;
}

void SpotifyRefresh::showTrack(const SpotifyPlayback &playback)
{
    const std::optional<SpotifyTrackProgress> progress
        = continuedProgress(m_model.spotifyTrack(), playback, m_model.clock().now());
    m_model.setSpotifyTrack(SpotifyNowPlaying {playback.title, playback.artist, progress});
    const bool paused = progress && !progress->isPlaying;
    m_model.setSpotifyStatus(paused ? u"Paused · updated just now"_s : u"Playing · updated just now"_s);
}

std::optional<SpotifyTrackProgress> SpotifyRefresh::continuedProgress(
    const std::optional<SpotifyNowPlaying> &shown, const SpotifyPlayback &playback, const QDateTime &now)
{
    const std::optional<SpotifyTrackProgress> &sample = playback.progress;
    // Spotify's Linux client long reported Position 0 whatever the position.
    if (!sample || !sample->isPlaying || sample->position != 0 || !shown || !shown->progress)
        return sample;
    const SpotifyTrackProgress &last = *shown->progress;
    const bool sameTrack
        = shown->title == playback.title && shown->artist == playback.artist && last.duration == sample->duration;
    const double reached = last.positionAt(now);
    if (!sameTrack || reached <= 1.0)
        return sample;
    return SpotifyTrackProgress {reached, sample->duration, now, true};
}

} // namespace ribbex
