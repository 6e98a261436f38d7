#pragma once

// The Web API's sign-in as Ribbex keeps it: the bearer token, the token that renews it, and when
// the first runs out. It lives only in the secret store.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

namespace ribbex {

struct SpotifyCredentials {
    QString accessToken;
    QString refreshToken;
    QDateTime expiresAt;

    bool operator==(const SpotifyCredentials &) const = default;
};

// The stored form: {"accessToken": text, "refreshToken": text, "expiresAt": seconds since
// 2001-01-01 00:00:00 UTC, a real number}.
QByteArray encodeSpotifyCredentials(const SpotifyCredentials &credentials);
// Nothing for anything that is not that object (extra keys are ignored).
std::optional<SpotifyCredentials> decodeSpotifyCredentials(QByteArrayView json);

} // namespace ribbex
