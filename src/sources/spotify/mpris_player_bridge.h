#pragma once

// The Spotify desktop player over MPRIS2 on the session bus. Every call is asynchronous and
// limited in time, so a hung player never freezes the strip.

#include "platform/clock.h"
#include "sources/spotify/player_bridge.h"

#include <QDBusConnection>
#include <QTimer>

#include <chrono>

namespace ribbex {

class MprisPlayerBridge final : public PlayerBridge {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds answerLimit {2000};
    static inline const QString serviceName = QStringLiteral("org.mpris.MediaPlayer2.spotify");

    // The connection is the session bus in the program, a private bus in tests. The clock
    // outlives every call.
    MprisPlayerBridge(QDBusConnection bus, const Clock &clock, QObject *parent = nullptr,
        std::chrono::milliseconds limit = answerLimit);

    QCoro::Task<std::expected<PlayerAnswer, PlayerError>> currentPlayback() override;
    QCoro::Task<bool> raise() override;

private Q_SLOTS:
    void noteEvent();

private:
    QDBusConnection m_bus;
    const Clock &m_clock;
    std::chrono::milliseconds m_limit;
    QTimer m_coalesce;
};

} // namespace ribbex
