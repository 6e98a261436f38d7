#include "sources/spotify/spotify_refresh.h"

#include <QPointer>

namespace ribbex {

using namespace Qt::StringLiterals;

SpotifyRefresh::SpotifyRefresh(SettingsModel &model, PlayerBridge &player, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_player(player)
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
    if (!answer) {
        // The last track shown stays.
        m_model.setSpotifyStatus(answer.error().description());
        co_return;
    }
    if (answer->playback) {
        showTrack(*answer->playback);
        co_return;
    }
    m_model.setSpotifyTrack(std::nullopt);
    m_model.setSpotifyStatus(
        answer->running ? u"Spotify is open · nothing playing"_s : u"Open Spotify and start playback"_s);
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
