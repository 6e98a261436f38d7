#include "sources/football/espn_football_provider.h"

#include "sources/net/http_get.h"

#include <QCoroFuture>
#include <QNetworkRequest>
#include <QUrlQuery>
#include <QtConcurrent/QtConcurrentRun>

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
    query.addQueryItem(u"limit"_s, ESPNFootballProvider::eventLimit);
    url.setQuery(query);
    return url;
}

// The service refuses date ranges and caps a year at fewer events than a league plays, but
// answers whole months: yyyyMM, in calendar order.
std::set<QString> monthsOf(const QDateTime &from, const QDateTime &through)
{
    std::set<QString> months;
    const QDate last = through.toUTC().date();
    for (QDate month = from.toUTC().date(); month.isValid() && month <= last; month = month.addMonths(1)) {
        month.setDate(month.year(), month.month(), 1);
        months.insert(month.toString(u"yyyyMM"_s));
    }
    return months;
}

std::optional<QList<FootballMatch>> decodeMatches(FootballCompetition competition, const QByteArray &body)
{
    const std::optional<ESPNScoreboardResponse> decoded = espn::decodeResponse(body);
    if (!decoded)
        return std::nullopt;
    return espn::decode(competition, decoded->events.value_or(QList<ESPNScoreboardResponse::Event>()));
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
    case Kind::fetch:
        break;
    }
    return failure.description();
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
    QList<FootballMatch> matches;
    for (const QString &month : monthsOf(from, through)) {
        ESPNResult<QList<FootballMatch>> fetched = co_await fetchScoreboard(competition, month, /*bypassCache=*/false);
        if (!fetched)
            co_return std::unexpected(fetched.error());
        std::ranges::copy_if(std::move(*fetched), std::back_inserter(matches),
            [&](const FootballMatch &match) { return match.utcDate >= from && match.utcDate <= through; });
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
        ESPNResult<QList<FootballMatch>> fetched = co_await fetchScoreboard(competition, day, /*bypassCache=*/true);
        if (!fetched)
            co_return std::unexpected(fetched.error());
        matches.append(std::move(*fetched));
    }
    co_return matches;
}

QCoro::Task<ESPNResult<QList<FootballMatch>>> ESPNFootballProvider::fetchScoreboard(
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
    std::expected<HttpResponse, FetchFailure> response
        = co_await httpGet(m_network, request, FetchLimits {maxBodyBytes, m_timeout});
    using Kind = ESPNFootballError::Kind;
    if (!response) {
        if (response.error().kind == FetchFailure::Kind::notHttp)
            co_return std::unexpected(ESPNFootballError {Kind::invalidResponse});
        co_return std::unexpected(ESPNFootballError {.kind = Kind::fetch, .failure = response.error()});
    }
    if (!response->isSuccess())
        co_return std::unexpected(ESPNFootballError {.kind = Kind::http, .statusCode = response->statusCode});
    // Decoding grows with what the server sent: it runs off the GUI thread. (The future is a
    // named value: g++ 12 mishandles temporaries inside a co_await expression.)
    const QFuture<std::optional<QList<FootballMatch>>> decoding
        = QtConcurrent::run(decodeMatches, competition, std::move(response->body));
    std::optional<QList<FootballMatch>> matches = co_await decoding;
    if (!matches)
        co_return std::unexpected(ESPNFootballError {Kind::invalidResponse});
    co_return std::move(*matches);
}

} // namespace ribbex
