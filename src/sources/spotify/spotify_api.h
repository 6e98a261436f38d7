#pragma once

// The client of Spotify's accounts service and Web API: the authorization-code exchange, token
// renewal, and what the user's account is playing. Stateless apart from the sign-in in the secret
// store, which it reads and renews.

#include "platform/clock.h"
#include "sources/spotify/spotify_api_error.h"
#include "sources/spotify/spotify_credential_store.h"
#include "sources/spotify/spotify_playback.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <QCoroTask>

#include <chrono>
#include <expected>
#include <optional>
#include <utility>

namespace ribbex {

using SpotifyForm = QList<std::pair<QString, QString>>;

class SpotifyAPI {
public:
    static constexpr std::chrono::milliseconds tokenTimeout {20000};
    static constexpr std::chrono::milliseconds playbackTimeout {15000};
    static constexpr qint64 maxBodyBytes = 256 * 1024;
    // A token this close to its end is renewed before it is used.
    static constexpr std::chrono::seconds renewalMargin {60};
    static inline const QString redirectUri = QStringLiteral("ribbex://spotify-callback");

    // Bases: scheme, host and optional port. The manager and clock outlive every request.
    SpotifyAPI(QNetworkAccessManager &network, const Clock &clock, SpotifyCredentialStore store, QUrl accountsBase,
        QUrl apiBase);

    // What the stored sign-in's account plays: renewed first when it is about to run out, and
    // renewed once more and asked again when the service refuses it.
    QCoro::Task<std::expected<SpotifyPlaybackResult, SpotifyAPIError>> currentPlayback(QString clientID) const;
    // The authorization code of a sign-in, exchanged and stored.
    QCoro::Task<std::expected<SpotifyCredentials, SpotifyAPIError>> exchangeCode(
        QString clientID, QString code, QString codeVerifier) const;
    QCoro::Task<std::expected<SpotifyCredentials, SpotifyAPIError>> refresh(
        QString clientID, SpotifyCredentials credentials) const;

    // The address of the accounts service's sign-in page.
    QUrl authorizeUrl() const;
    const SpotifyCredentialStore &store() const { return m_store; }

private:
    QNetworkAccessManager &m_network;
    const Clock &m_clock;
    SpotifyCredentialStore m_store;
    QUrl m_accountsBase;
    QUrl m_apiBase;
};

} // namespace ribbex
