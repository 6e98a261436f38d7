#include "sources/football/espn_football_provider.h"

#include "sources/net/http_get.h"

#include <QNetworkRequest>
#include <QUrlQuery>

#include <set>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

QUrl scoreboardUrl(const QUrl &base, FootballCompetition competition, const QString &dates)
{
    QUrl url = base;
    QString prefix = base.path();
    if (prefix.endsWith(u'/'))
        prefix.chop(1);
    url.setPath(prefix + u"/apis/site/v2/sports/soccer/" + id(competition) + u"/scoreboard");
    QUrlQuery query;
    query.addQueryItem(u"dates"_s, dates);
    query.addQueryItem(u"limit"_s, u"1000"_s);
    url.setQuery(query);
    return url;
}

ESPNFootballError errorOf(const FetchFailure &failure)
{
    using Kind = ESPNFootballError::Kind;
    switch (failure.kind) {
    case FetchFailure::Kind::timedOut:
        return {Kind::timedOut, 0, {}};
    case FetchFailure::Kind::tooLarge:
        return {Kind::tooLarge, 0, {}};
    case FetchFailure::Kind::notHttp:
        return {Kind::invalidResponse, 0, {}};
    case FetchFailure::Kind::network:
        break;
    }
    return {Kind::network, 0, failure.detail};
}

} // namespace

QString ESPNFootballError::description() const
{
    switch (kind) {
    case Kind::http:
        if (statusCode == 429)
            return u"ESPN is rate limiting score requests. The app will retry later."_s;
        return u"ESPN returned HTTP %1."_s.arg(statusCode);
    case Kind::invalidResponse:
        return u"ESPN returned an unreadable football scoreboard."_s;
    case Kind::timedOut:
        return u"ESPN did not answer in time."_s;
    case Kind::tooLarge:
        return u"ESPN sent a football scoreboard larger than 16 MiB."_s;
    case Kind::network:
        break;
    }
    return detail.isEmpty() ? u"Could not reach ESPN."_s : u"Could not reach ESPN: "_s + detail + u'.';
}

ESPNFootballProvider::ESPNFootballProvider(
    QNetworkAccessManager &network, QUrl baseUrl, std::chrono::milliseconds timeout)
    : m_network(network)
    , m_baseUrl(std::move(baseUrl))
    , m_timeout(timeout)
{
}

QCoro::Task<ESPNResult<QList<FootballMatch>>> ESPNFootballProvider::scoreboard(
    FootballCompetition competition, QDateTime from, QDateTime through) const
{
    const std::set<int> years {from.toUTC().date().year(), through.toUTC().date().year()};
    QList<FootballMatch> matches;
    for (const int year : years) {
        const ESPNResult<ESPNScoreboardResponse> response
            = co_await fetchScoreboard(competition, QString::number(year), /*bypassCache=*/false);
        if (!response)
            co_return std::unexpected(response.error());
        for (FootballMatch &match :
            espn::decode(competition, response->events.value_or(QList<ESPNScoreboardResponse::Event>()))) {
            if (match.utcDate >= from && match.utcDate <= through)
                matches.append(std::move(match));
        }
    }
    co_return matches;
}

QCoro::Task<ESPNResult<QList<FootballMatch>>> ESPNFootballProvider::scores(
    FootballCompetition competition, QList<FootballMatch> activeFixtures) const
{
    // yyyyMMdd sorts as text in calendar order.
    std::set<QString> days;
    for (const FootballMatch &fixture : activeFixtures)
        days.insert(espn::dateKey(fixture.utcDate));
    QList<FootballMatch> matches;
    for (const QString &day : days) {
        const ESPNResult<ESPNScoreboardResponse> response
            = co_await fetchScoreboard(competition, day, /*bypassCache=*/true);
        if (!response)
            co_return std::unexpected(response.error());
        matches.append(espn::decode(competition, response->events.value_or(QList<ESPNScoreboardResponse::Event>())));
    }
    co_return matches;
}

QCoro::Task<ESPNResult<ESPNScoreboardResponse>> ESPNFootballProvider::fetchScoreboard(
    FootballCompetition competition, QString dates, bool bypassCache) const
{
    QNetworkRequest request(scoreboardUrl(m_baseUrl, competition, dates));
    request.setRawHeader("Accept", "application/json");
    if (bypassCache) {
        // Live scores must come from ESPN itself, not from our disk cache or a proxy's.
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }
    const std::expected<HttpResponse, FetchFailure> response
        = co_await httpGet(m_network, request, FetchLimits {maxBodyBytes, m_timeout});
    if (!response)
        co_return std::unexpected(errorOf(response.error()));
    if (!response->isSuccess())
        co_return std::unexpected(ESPNFootballError {ESPNFootballError::Kind::http, response->statusCode, {}});
    std::optional<ESPNScoreboardResponse> decoded = espn::decodeResponse(response->body);
    if (!decoded)
        co_return std::unexpected(ESPNFootballError {ESPNFootballError::Kind::invalidResponse, 0, {}});
    co_return std::move(*decoded);
}

} // namespace ribbex
