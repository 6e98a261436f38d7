#pragma once

// The Spotify desktop player as the refresh flow sees it: what it plays, bringing it forward, and
// a signal when either may have changed.

#include "sources/spotify/spotify_playback.h"

#include <QObject>
#include <QString>

#include <QCoroTask>

#include <expected>

namespace ribbex {

struct PlayerError {
    enum class Kind {
        accessDenied, // the bus refused us the player, as a sandbox does
        timedOut, // the player did not answer within the limit
        failed, // any other error: message holds the bus's words
    };

    Kind kind = Kind::failed;
    QString message {}; // for failed: the D-Bus error's message

    bool operator==(const PlayerError &) const = default;

    // The sentence the Spotify status shows.
    QString description() const;
};

struct PlayerAnswer {
    bool running = false; // the player's bus name has an owner
    SpotifyPlaybackResult playback;

    bool operator==(const PlayerAnswer &) const = default;
};

class PlayerBridge : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // What the desktop player has now; never starts it. Ends within the time limit.
    virtual QCoro::Task<std::expected<PlayerAnswer, PlayerError>> currentPlayback() = 0;
    // Brings the player's window forward; false when it is not running or cannot raise.
    virtual QCoro::Task<bool> raise() = 0;

Q_SIGNALS:
    // The player changed its track, state or position, or appeared or went away; bursts coalesced
    // to at most one signal every 250 ms.
    void changed();
};

} // namespace ribbex
