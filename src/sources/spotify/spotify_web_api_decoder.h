#pragma once

// The Spotify accounts service's token answer and the Web API's currently-playing answer as
// plain records. Bytes in, values out: no network, so tests and the fuzzer reach it directly.

#include "sources/spotify/spotify_playback.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace ribbex {

struct SpotifyTokenAnswer {
    QString accessToken; // a bearer token: 1 to 4096 visible ASCII characters
    std::optional<QString> refreshToken; // of the same kind
    double expiresIn = 0; // seconds, 0 to a year

    bool operator==(const SpotifyTokenAnswer &) const = default;
};

// What is playing, before it is sampled against the clock.
struct SpotifyPlaybackAnswer {
    bool isPlaying = false;
    std::optional<QString> title; // absent without an item or without its name; safe to show
    std::optional<QString> artist; // the artists' names joined with ", "; absent without a list
    std::optional<qint64> progressMs;
    std::optional<qint64> durationMs;

    bool operator==(const SpotifyPlaybackAnswer &) const = default;
};

namespace spotifyWebApi {

// Nothing when the bytes are not a token answer, or a token could not go into a header as it is.
std::optional<SpotifyTokenAnswer> decodeToken(const QByteArray &body);
// Nothing when the bytes are not a currently-playing answer.
std::optional<SpotifyPlaybackAnswer> decodePlayback(const QByteArray &body);
// The track with its position sampled at `now`; nothing playing without a title.
SpotifyPlaybackResult playbackOf(const SpotifyPlaybackAnswer &answer, const QDateTime &now);

} // namespace spotifyWebApi
} // namespace ribbex
