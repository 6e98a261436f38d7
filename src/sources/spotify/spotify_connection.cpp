#include "sources/spotify/spotify_connection.h"

#include "sources/spotify/spotify_authorization.h"

#include <QPointer>
#include <QUrlQuery>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

const QString notConnected = u"Not connected"_s;

QString clientIDOf(const SettingsModel &model)
{
    return model.settings().spotifyClientID.value_or(QString()).trimmed();
}

// Each name's first value; a name without a value has an empty one.
QHash<QString, QString> firstValues(const QUrl &url)
{
    QHash<QString, QString> values;
    for (const auto &[name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (!values.contains(name))
            values.insert(name, value);
    }
    return values;
}

std::optional<QString> valueOf(const QHash<QString, QString> &values, const QString &name)
{
    const auto found = values.constFind(name);
    return found == values.constEnd() ? std::nullopt : std::optional(*found);
}

} // namespace

SpotifyConnection::SpotifyConnection(
    SettingsModel &model, const SpotifyAPI &api, SpotifyRefresh &refresh, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_api(api)
    , m_refresh(refresh)
{
}

QCoro::Task<> SpotifyConnection::checkStoredSignIn()
{
    const QPointer<SpotifyConnection> self(this);
    const bool stored = (co_await m_api.store().load()).has_value();
    if (!self)
        co_return;
    m_model.bookkeeping().spotifyConnected = stored;
    if (m_model.spotifyStatus() == notConnected && stored)
        m_model.setSpotifyStatus(u"Connected"_s);
}

std::optional<QUrl> SpotifyConnection::beginAuthorization()
{
    const QString clientID = clientIDOf(m_model);
    if (clientID.isEmpty())
        return std::nullopt;
    const SpotifyAuthorizationRequest request = spotifyAuthorization::makeRequest();
    SourceBookkeeping &pending = m_model.bookkeeping();
    pending.spotifyCodeVerifier = request.codeVerifier;
    pending.spotifyState = request.state;
    return spotifyAuthorization::authorizeUrl(m_api.authorizeUrl(), clientID, SpotifyAPI::redirectUri, request);
}

bool SpotifyConnection::handleSpotifyCallback(const QUrl &url)
{
    // QUrl keeps schemes and hosts in lower case, as URLs compare them.
    if (url.scheme() != u"ribbex" || url.host() != u"spotify-callback")
        return false;
    const QHash<QString, QString> items = firstValues(url);
    SourceBookkeeping &pending = m_model.bookkeeping();
    const std::optional<QString> code = valueOf(items, u"code"_s);
    const QString clientID = clientIDOf(m_model);
    // A callback without a pending sign-in, or for another one, is refused: it may be forged.
    if (valueOf(items, u"state"_s) != pending.spotifyState || !code || !pending.spotifyCodeVerifier
        || clientID.isEmpty()) {
        m_model.setSpotifyStatus(items.contains(u"error"_s) ? u"Spotify authorization was denied"_s
                                                            : u"Spotify authorization could not be verified"_s);
        return true;
    }
    const QString verifier = *std::exchange(pending.spotifyCodeVerifier, std::nullopt);
    pending.spotifyState.reset();
    m_model.setSpotifyStatus(u"Connecting to Spotify…"_s);
    (void)exchange(clientID, *code, verifier);
    return true;
}

QCoro::Task<> SpotifyConnection::exchange(QString clientID, QString code, QString codeVerifier)
{
    const QPointer<SpotifyConnection> self(this);
    const std::expected<SpotifyCredentials, SpotifyAPIError> signIn
        = co_await m_api.exchangeCode(std::move(clientID), std::move(code), std::move(codeVerifier));
    if (!self)
        co_return;
    if (!signIn) {
        m_model.setSpotifyStatus(signIn.error().description());
        co_return;
    }
    m_model.bookkeeping().spotifyConnected = true;
    m_model.setSpotifyStatus(u"Connected to Spotify"_s);
    co_await m_refresh.refreshSpotify();
}

QCoro::Task<> SpotifyConnection::disconnect()
{
    const QPointer<SpotifyConnection> self(this);
    const std::expected<void, CredentialStoreError> removed = co_await m_api.store().remove();
    if (!self)
        co_return;
    if (!removed) {
        m_model.setSpotifyStatus(removed.error().description());
        co_return;
    }
    m_model.bookkeeping().spotifyConnected = false;
    m_model.setSpotifyStatus(notConnected);
}

} // namespace ribbex
