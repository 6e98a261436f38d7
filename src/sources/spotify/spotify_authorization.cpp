#include "sources/spotify/spotify_authorization.h"

#include <QCryptographicHash>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include <array>
#include <string_view>

namespace ribbex::spotifyAuthorization {

namespace {

using namespace Qt::StringLiterals;

constexpr std::string_view unreserved = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
constexpr int verifierLength = 64;
constexpr int stateBytes = 32;

QString base64Url(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

} // namespace

SpotifyAuthorizationRequest makeRequest()
{
    QRandomGenerator &random = *QRandomGenerator::system();
    QString verifier;
    for (int i = 0; i < verifierLength; ++i)
        verifier.append(QLatin1Char(unreserved[random.bounded(static_cast<quint32>(unreserved.size()))]));
    std::array<quint32, stateBytes / 4> state {};
    random.fillRange(state.data(), state.size());
    const QString stateText = base64Url(QByteArray(reinterpret_cast<const char *>(state.data()), stateBytes));
    return {verifier, challengeOf(verifier), stateText};
}

QString challengeOf(const QString &codeVerifier)
{
    return base64Url(QCryptographicHash::hash(codeVerifier.toLatin1(), QCryptographicHash::Sha256));
}

QUrl authorizeUrl(const QUrl &authorizeEndpoint, const QString &clientID, const QString &redirectUri,
    const SpotifyAuthorizationRequest &request)
{
    const QList<std::pair<QString, QString>> items {{u"client_id"_s, clientID}, {u"response_type"_s, u"code"_s},
        {u"redirect_uri"_s, redirectUri}, {u"code_challenge_method"_s, u"S256"_s},
        {u"code_challenge"_s, request.codeChallenge}, {u"state"_s, request.state}, {u"scope"_s, scopes}};
    QStringList query;
    for (const auto &[name, value] : items)
        query.append(name + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(value)));
    QUrl url = authorizeEndpoint;
    url.setQuery(query.join(u'&'), QUrl::StrictMode);
    return url;
}

} // namespace ribbex::spotifyAuthorization
