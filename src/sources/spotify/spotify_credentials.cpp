#include "sources/spotify/spotify_credentials.h"

#include "json/json_fields.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace ribbex {

namespace {

// 2001-01-01 00:00:00 UTC, where the stored expiry counts from, in ms since the Unix epoch.
constexpr qint64 referenceDate = 978'307'200'000;
// About three million years either side: anything further is not an expiry, and its
// milliseconds would not fit in 64 bits.
constexpr double maxSeconds = 1e14;

struct StoredCredentials {
    QString accessToken;
    QString refreshToken;
    double expiresAt = 0;
};

constexpr std::array<json::Member<StoredCredentials>, 3> members {{
    json::required<&StoredCredentials::accessToken>("accessToken"),
    json::required<&StoredCredentials::refreshToken>("refreshToken"),
    json::required<&StoredCredentials::expiresAt>("expiresAt"),
}};

} // namespace

QByteArray encodeSpotifyCredentials(const SpotifyCredentials &credentials)
{
    const double expiresAt = double(credentials.expiresAt.toMSecsSinceEpoch() - referenceDate) / 1000;
    const QJsonObject object {{QStringLiteral("accessToken"), credentials.accessToken},
        {QStringLiteral("refreshToken"), credentials.refreshToken}, {QStringLiteral("expiresAt"), expiresAt}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<SpotifyCredentials> decodeSpotifyCredentials(QByteArrayView json)
{
    std::optional<StoredCredentials> stored = json::readDocument(json, members);
    if (!stored || !(std::abs(stored->expiresAt) <= maxSeconds))
        return std::nullopt;
    // Rounded to whole milliseconds, so what was written reads back equal.
    const qint64 milliseconds = std::llround(stored->expiresAt * 1000);
    return SpotifyCredentials {std::move(stored->accessToken), std::move(stored->refreshToken),
        QDateTime::fromMSecsSinceEpoch(referenceDate + milliseconds, Qt::UTC)};
}

} // namespace ribbex
