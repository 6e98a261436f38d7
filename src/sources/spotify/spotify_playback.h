#pragma once

// What the Spotify desktop player has, as the player bridge reads it.

#include "model/source_records.h"

#include <QString>

#include <optional>

namespace ribbex {

// A track the player has (playing or paused).
struct SpotifyPlayback {
    QString title; // never empty
    std::optional<QString> artist;
    std::optional<SpotifyTrackProgress> progress;

    bool operator==(const SpotifyPlayback &) const = default;
};

// What is playing: a track, or nothing (std::nullopt).
using SpotifyPlaybackResult = std::optional<SpotifyPlayback>;

} // namespace ribbex
