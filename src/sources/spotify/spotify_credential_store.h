#pragma once

// The Web API's sign-in in the desktop's secret store (Secret Service or KWallet, through
// QtKeychain): one secret under the service "com.ribbex.spotify" and the key "oauth-credentials".

#include "sources/spotify/spotify_credentials.h"

#include <QString>

#include <QCoroTask>

#include <expected>
#include <optional>

namespace ribbex {

// Why the secret store did not do what was asked.
struct CredentialStoreError {
    int code = 0; // the store's own error code
    QString message; // the store's own words

    bool operator==(const CredentialStoreError &) const = default;

    // The sentence the Spotify status shows.
    QString description() const;
};

class SpotifyCredentialStore {
public:
    static inline const QString defaultService = QStringLiteral("com.ribbex.spotify");
    static inline const QString key = QStringLiteral("oauth-credentials");

    explicit SpotifyCredentialStore(QString service = defaultService);

    // Never fails: nothing stored, a secret that is not credentials, or no secret store at all
    // give nothing.
    QCoro::Task<std::optional<SpotifyCredentials>> load() const;
    // Adds the secret, or replaces the one stored.
    QCoro::Task<std::expected<void, CredentialStoreError>> save(SpotifyCredentials credentials) const;
    // Forgets the secret; nothing stored counts as done.
    QCoro::Task<std::expected<void, CredentialStoreError>> remove() const;

private:
    QString m_service;
};

} // namespace ribbex
