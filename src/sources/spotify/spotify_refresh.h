#pragma once

// The Spotify source's side of the model: asks the desktop player what it has, and the Web API
// when the player has nothing and a sign-in is stored, and publishes the track and a one-line
// status.

#include "model/settings_model.h"
#include "sources/spotify/player_bridge.h"
#include "sources/spotify/spotify_api.h"

#include <QObject>

#include <QCoroTask>

namespace ribbex {

class SpotifyRefresh final : public QObject {
    Q_OBJECT

public:
    // The model, the player and the client must outlive this object.
    SpotifyRefresh(SettingsModel &model, PlayerBridge &player, const SpotifyAPI &api, QObject *parent = nullptr);

    // Asks the player when Spotify is enabled, then the Web API when the player has nothing and a
    // client ID is set; failures become the status text. Only the latest of overlapping
    // refreshes publishes.
    QCoro::Task<> refreshSpotify();

    // The sample to show: the new one, or, where the player reports a playing track's position
    // as exactly 0 while the last sample of the same track has run past a second, the last one
    // carried on to now.
    static std::optional<SpotifyTrackProgress> continuedProgress(
        const std::optional<SpotifyNowPlaying> &shown, const SpotifyPlayback &playback, const QDateTime &now);

private:
    // The Web API's answer; notConnected also when no client ID is set.
    QCoro::Task<std::expected<SpotifyPlaybackResult, SpotifyAPIError>> askWebApi();
    void showTrack(const SpotifyPlayback &playback);

    SettingsModel &m_model;
    PlayerBridge &m_player;
    const SpotifyAPI &m_api;
    quint64 m_latestRefresh = 0;
};

} // namespace ribbex
