#pragma once

// The client of ESPN's public site API: a competition's fixtures in a date window, and the
// current scores on the days of running fixtures. Stateless between calls.

#include "model/football_match.h"
#include "settings/football_competition.h"
#include "sources/football/espn_scoreboard_decoder.h"
#include "sources/net/http_get.h"

#include <QDateTime>
#include <QList>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <QCoroTask>

#include <chrono>
#include <expected>

namespace ribbex {

struct ESPNFootballError {
    enum class Kind {
        http, // an HTTP status outside 200-299
        invalidResponse, // not an HTTP answer, or not a scoreboard document
        fetch, // no whole answer: the failure says why
    };

    Kind kind = Kind::invalidResponse;
    qint64 statusCode = 0; // for http
    FetchFailure failure {}; // for fetch

    bool operator==(const ESPNFootballError &) const = default;

    // The sentence the football status shows.
    QString description() const;
};

template<typename T> using ESPNResult = std::expected<T, ESPNFootballError>;

class ESPNFootballProvider {
public:
    static constexpr std::chrono::milliseconds defaultTimeout {20000};
    // The most events the service returns for one request; it silently returns only 25 when
    // asked for more.
    static inline const QString eventLimit = QStringLiteral("500");
    // A year of a league is a few hundred kilobytes; anything near this is not a scoreboard.
    static constexpr qint64 maxBodyBytes = 16 * 1024 * 1024;

    // baseUrl: scheme, host and optional port of the service, e.g. https://site.api.espn.com.
    ESPNFootballProvider(
        QNetworkAccessManager &network, QUrl baseUrl, std::chrono::milliseconds timeout = defaultTimeout);

    // Every event of the competition kicking off from `from` through `through` (both included),
    // fetched one calendar month (UTC) at a time through the HTTP cache.
    QCoro::Task<ESPNResult<QList<FootballMatch>>> scoreboard(
        FootballCompetition competition, QDateTime from, QDateTime through) const;

    // Every event on the UTC days on which the active fixtures kick off, fetched past all caches.
    QCoro::Task<ESPNResult<QList<FootballMatch>>> scores(
        FootballCompetition competition, QList<FootballMatch> activeFixtures) const;

private:
    // One scoreboard document, decoded into matches on a worker thread.
    QCoro::Task<ESPNResult<QList<FootballMatch>>> fetchScoreboard(
        FootballCompetition competition, QString dates, bool bypassCache) const;

    QNetworkAccessManager &m_network;
    QUrl m_baseUrl;
    std::chrono::milliseconds m_timeout;
};

} // namespace ribbex
