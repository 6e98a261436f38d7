#pragma once

// The start of a Web API sign-in: the authorization-code flow with a proof key (RFC 7636, S256),
// whose code comes back to ribbex://spotify-callback.

#include <QString>
#include <QUrl>

namespace ribbex {

struct SpotifyAuthorizationRequest {
    QString codeVerifier; // 64 characters of the unreserved set
    QString codeChallenge; // base64url of the verifier's SHA-256, unpadded
    QString state; // 256 random bits, base64url
};

namespace spotifyAuthorization {

inline const QString scopes = QStringLiteral("user-read-currently-playing user-read-playback-state");

// A new verifier, its challenge and a state, from the system's random source.
SpotifyAuthorizationRequest makeRequest();
QString challengeOf(const QString &codeVerifier);
// The sign-in page for the request at the accounts service's authorize address.
QUrl authorizeUrl(const QUrl &authorizeEndpoint, const QString &clientID, const QString &redirectUri,
    const SpotifyAuthorizationRequest &request);

} // namespace spotifyAuthorization
} // namespace ribbex
