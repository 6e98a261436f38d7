#include "sources/spotify/spotify_api.h"

#include "sources/net/http_get.h"
#include "sources/net/network_access.h"
#include "sources/spotify/spotify_web_api_decoder.h"

#include <QCoroFuture>
#include <QNetworkRequest>
#include <QtConcurrent/QtConcurrentRun>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;
using Kind = SpotifyAPIError::Kind;
template<typename T> using SpotifyResult = std::expected<T, SpotifyAPIError>;

// What a request needs of the client, copied into it so the client may go while it runs.
struct Service {
    QNetworkAccessManager &network;
    const Clock &clock;
    SpotifyCredentialStore store;
    QUrl accountsBase;
    QUrl apiBase;
};

SpotifyAPIError fetchError(const FetchFailure &failure)
{
    if (failure.kind == FetchFailure::Kind::notHttp)
        return {Kind::invalidResponse};
    return {.kind = Kind::fetch, .failure = failure};
}

// The answer's body. (A response rather than its bare body: QCoro's assertions compare the
// task's handle, which std::expected<QByteArray, ...> turns into a recursive overload check on
// g++ 12.)
QCoro::Task<SpotifyResult<HttpResponse>> tokenRequest(const Service &service, SpotifyForm form)
{
    // Everything but the unreserved characters is escaped: a '+' left as it is reads as a space.
    QByteArrayList fields;
    for (const auto &[name, value] : form)
        fields.append(QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value));
    QNetworkRequest request(serviceEndpoint(service.accountsBase, u"/api/token"_s));
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    request.setRawHeader("Accept", "application/json");
    // The form carries a code or a refresh token: it goes where it was sent or nowhere.
    std::expected<HttpResponse, FetchFailure> response = co_await httpPost(
        service.network, std::move(request), fields.join('&'), {SpotifyAPI::maxBodyBytes, SpotifyAPI::tokenTimeout, 0});
    if (!response)
        co_return std::unexpected(fetchError(response.error()));
    if (!response->isSuccess())
        co_return std::unexpected(SpotifyAPIError {.kind = Kind::http, .statusCode = response->statusCode});
    co_return std::move(*response);
}

// The token answer made into a sign-in and stored; a renewal without a new refresh token keeps
// the old one.
QCoro::Task<SpotifyResult<SpotifyCredentials>> credentials(
    const Service &service, QByteArray body, std::optional<SpotifyCredentials> previous)
{
    const QFuture<std::optional<SpotifyTokenAnswer>> decoding
        = QtConcurrent::run(&spotifyWebApi::decodeToken, std::move(body));
    const std::optional<SpotifyTokenAnswer> answer = co_await decoding;
    if (!answer)
        co_return std::unexpected(SpotifyAPIError {Kind::invalidResponse});
    std::optional<QString> refreshToken = answer->refreshToken;
    if (!refreshToken && previous)
        refreshToken = previous->refreshToken;
    if (!refreshToken)
        co_return std::unexpected(SpotifyAPIError {Kind::invalidResponse});
    SpotifyCredentials fresh {answer->accessToken, *refreshToken,
        service.clock.now().addMSecs(static_cast<qint64>(answer->expiresIn * 1000))};
    const std::expected<void, CredentialStoreError> saved = co_await service.store.save(fresh);
    if (!saved)
        co_return std::unexpected(SpotifyAPIError {.kind = Kind::store, .storeError = saved.error()});
    co_return fresh;
}

QCoro::Task<SpotifyResult<SpotifyCredentials>> exchange(
    const Service &service, SpotifyForm form, std::optional<SpotifyCredentials> previous)
{
    SpotifyResult<HttpResponse> response = co_await tokenRequest(service, std::move(form));
    if (!response)
        co_return std::unexpected(response.error());
    co_return co_await credentials(service, std::move(response->body), std::move(previous));
}

QCoro::Task<SpotifyResult<SpotifyCredentials>> refresh(
    const Service &service, QString clientID, SpotifyCredentials stored)
{
    SpotifyForm form {
        {u"client_id"_s, clientID}, {u"grant_type"_s, u"refresh_token"_s}, {u"refresh_token"_s, stored.refreshToken}};
    co_return co_await exchange(service, std::move(form), std::move(stored));
}

QCoro::Task<SpotifyResult<SpotifyPlaybackResult>> requestPlayback(const Service &service, QString accessToken)
{
    QNetworkRequest request(serviceEndpoint(service.apiBase, u"/v1/me/player/currently-playing"_s));
    request.setRawHeader("Authorization", "Bearer " + accessToken.toLatin1());
    request.setRawHeader("Accept", "application/json");
    std::expected<HttpResponse, FetchFailure> response = co_await httpGet(
        service.network, std::move(request), {SpotifyAPI::maxBodyBytes, SpotifyAPI::playbackTimeout, 0});
    if (!response)
        co_return std::unexpected(fetchError(response.error()));
    if (response->statusCode == 204)
        co_return SpotifyPlaybackResult {};
    if (response->statusCode == 401)
        co_return std::unexpected(SpotifyAPIError {Kind::unauthorized});
    if (!response->isSuccess())
        co_return std::unexpected(SpotifyAPIError {.kind = Kind::http, .statusCode = response->statusCode});
    const QFuture<std::optional<SpotifyPlaybackAnswer>> decoding
        = QtConcurrent::run(&spotifyWebApi::decodePlayback, std::move(response->body));
    const std::optional<SpotifyPlaybackAnswer> answer = co_await decoding;
    if (!answer)
        co_return std::unexpected(SpotifyAPIError {Kind::invalidResponse});
    co_return spotifyWebApi::playbackOf(*answer, service.clock.now());
}

QCoro::Task<SpotifyResult<SpotifyPlaybackResult>> playbackFor(Service service, QString clientID)
{
    std::optional<SpotifyCredentials> stored = co_await service.store.load();
    if (!stored)
        co_return std::unexpected(SpotifyAPIError {Kind::notConnected});
    if (service.clock.now().secsTo(stored->expiresAt) < SpotifyAPI::renewalMargin.count()) {
        SpotifyResult<SpotifyCredentials> renewed = co_await refresh(service, clientID, std::move(*stored));
        if (!renewed)
            co_return std::unexpected(renewed.error());
        stored = std::move(*renewed);
    }
    SpotifyResult<SpotifyPlaybackResult> playback = co_await requestPlayback(service, stored->accessToken);
    if (playback || playback.error().kind != Kind::unauthorized)
        co_return playback;
    // Revoked or expired early: one renewal and one more try, whose answer is final.
    SpotifyResult<SpotifyCredentials> renewed = co_await refresh(service, clientID, std::move(*stored));
    if (!renewed)
        co_return std::unexpected(renewed.error());
    co_return co_await requestPlayback(service, renewed->accessToken);
}

QCoro::Task<SpotifyResult<SpotifyCredentials>> exchangeWith(Service service, SpotifyForm form)
{
    co_return co_await exchange(service, std::move(form), std::nullopt);
}

QCoro::Task<SpotifyResult<SpotifyCredentials>> refreshWith(Service service, QString clientID, SpotifyCredentials stored)
{
    co_return co_await refresh(service, std::move(clientID), std::move(stored));
}

} // namespace

SpotifyAPI::SpotifyAPI(
    QNetworkAccessManager &network, const Clock &clock, SpotifyCredentialStore store, QUrl accountsBase, QUrl apiBase)
    : m_network(network)
    , m_clock(clock)
    , m_store(std::move(store))
    , m_accountsBase(std::move(accountsBase))
    , m_apiBase(std::move(apiBase))
{
}

QCoro::Task<std::expected<SpotifyPlaybackResult, SpotifyAPIError>> SpotifyAPI::currentPlayback(QString clientID) const
{
    return playbackFor({m_network, m_clock, m_store, m_accountsBase, m_apiBase}, std::move(clientID));
}

QCoro::Task<std::expected<SpotifyCredentials, SpotifyAPIError>> SpotifyAPI::exchangeCode(
    QString clientID, QString code, QString codeVerifier) const
{
    return exchangeWith({m_network, m_clock, m_store, m_accountsBase, m_apiBase},
        {{u"client_id"_s, std::move(clientID)}, {u"grant_type"_s, u"authorization_code"_s},
            {u"code"_s, std::move(code)}, {u"redirect_uri"_s, redirectUri},
            {u"code_verifier"_s, std::move(codeVerifier)}});
}

QCoro::Task<std::expected<SpotifyCredentials, SpotifyAPIError>> SpotifyAPI::refresh(
    QString clientID, SpotifyCredentials credentials) const
{
    return refreshWith(
        {m_network, m_clock, m_store, m_accountsBase, m_apiBase}, std::move(clientID), std::move(credentials));
}

QUrl SpotifyAPI::authorizeUrl() const
{
    return serviceEndpoint(m_accountsBase, u"/authorize"_s);
}

} // namespace ribbex
