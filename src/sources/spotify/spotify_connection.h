#pragma once

// Connecting the Spotify Web API: the sign-in in the browser, the callback that completes it,
// forgetting it, and the check at start-up of whether one is stored.

#include "model/settings_model.h"
#include "sources/spotify/spotify_api.h"
#include "sources/spotify/spotify_refresh.h"

#include <QObject>
#include <QUrl>

#include <QCoroTask>

#include <optional>

namespace ribbex {

class SpotifyConnection final : public QObject {
    Q_OBJECT

public:
    // The model, the client and the refresh must outlive this object.
    SpotifyConnection(SettingsModel &model, const SpotifyAPI &api, SpotifyRefresh &refresh, QObject *parent = nullptr);

    // "Connected" when the secret store holds a sign-in, unless a refresh has spoken first.
    QCoro::Task<> checkStoredSignIn();
    // A new sign-in for the client ID: the pending request is kept, and the address returned is
    // for the browser. Nothing without a client ID.
    std::optional<QUrl> beginAuthorization();
    // False when the address is not the sign-in's callback; otherwise checks it and exchanges the
    // code in the background.
    bool handleSpotifyCallback(const QUrl &url);
    QCoro::Task<> disconnect();

private:
    QCoro::Task<> exchange(QString clientID, QString code, QString codeVerifier);

    SettingsModel &m_model;
    const SpotifyAPI &m_api;
    SpotifyRefresh &m_refresh;
};

} // namespace ribbex
