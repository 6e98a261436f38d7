#pragma once

// Why the Web API gave no track: the one error of the Spotify Web API client.

#include "sources/net/http_get.h"
#include "sources/spotify/spotify_credential_store.h"

#include <QString>

namespace ribbex {

struct SpotifyAPIError {
    enum class Kind {
        http, // a status outside 200 to 299 other than an expired sign-in
        notConnected, // no sign-in is stored
        unauthorized, // the service refused the sign-in
        invalidResponse, // not HTTP, or not the expected JSON
        fetch, // no whole HTTP answer: the failure says why
        store, // the secret store could not keep a new sign-in
    };

    Kind kind = Kind::invalidResponse;
    int statusCode = 0; // for http
    FetchFailure failure {}; // for fetch
    CredentialStoreError storeError {}; // for store

    bool operator==(const SpotifyAPIError &) const = default;

    // The sentence the Spotify status shows; never holds a token.
    QString description() const;
};

} // namespace ribbex
