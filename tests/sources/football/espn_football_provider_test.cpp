#include "football_test_support.h"
#include "sources/football/espn_football_provider.h"
#include "sources/net/network_access.h"

#include <QCoroTask>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

using Result = ESPNResult<QList<FootballMatch>>;
using QueryItems = QList<std::pair<QString, QString>>;

QStringList idsOf(const QList<FootballMatch> &matches)
{
    QStringList ids;
    for (const FootballMatch &match : matches)
        ids.append(match.id);
    return ids;
}

class EspnProviderTest : public testing::Test {
protected:
    Result scoreboard(const QDateTime &from, const QDateTime &through)
    {
        return QCoro::waitFor(provider.scoreboard(FootballCompetition::premierLeague, from, through));
    }
    Result scores(const QList<FootballMatch> &fixtures)
    {
        return QCoro::waitFor(provider.scores(FootballCompetition::premierLeague, fixtures));
    }

    std::function<HttpTestResponse(const HttpTestRequest &)> answer
        = [](const HttpTestRequest &) { return HttpTestResponse {.body = "{}"}; };
    HttpTestServer server {[this](const HttpTestRequest &request) { return answer(request); }};
    QNetworkAccessManager network;
    ESPNFootballProvider provider {network, server.url()};
};

TEST_F(EspnProviderTest, ScheduleFetchAsksOncePerCalendarMonthAndKeepsTheClosedWindow)
{
    const std::pair<QDateTime, QDateTime> windows[] = {
        {utc("2025-12-25T00:00:00Z"), utc("2026-01-07T00:00:00Z")},
        {utc("2026-03-01T00:00:00Z"), utc("2026-03-14T00:00:00Z")},
        {utc("2026-01-31T00:00:00Z"), utc("2026-02-13T00:00:00Z")},
    };
    const auto month = [](const QDateTime &time) { return time.toString(u"yyyyMM"_s); };
    for (const auto &[from, through] : windows) {
        const QList<EspnEvent> events {
            {u"early"_s, from.addSecs(-1)}, {u"first"_s, from}, {u"last"_s, through}, {u"late"_s, through.addSecs(1)}};
        answer = [&](const HttpTestRequest &request) {
            QList<EspnEvent> ofYear;
            std::ranges::copy_if(events, std::back_inserter(ofYear), [&](const EspnEvent &event) {
                return month(event.kickOff) == request.query.queryItemValue(u"dates"_s);
            });
            return HttpTestResponse {.body = scoreboardDocument(ofYear)};
        };
        const qsizetype before = server.requests().size();
        const Result result = scoreboard(from, through);
        ASSERT_TRUE(result);
        EXPECT_EQ(idsOf(*result), (QStringList {u"first"_s, u"last"_s}));

        QueryItems expectedQueries {{u"dates"_s, month(from)}, {u"limit"_s, u"500"_s}};
        if (month(from) != month(through))
            expectedQueries.append({{u"dates"_s, month(through)}, {u"limit"_s, u"500"_s}});
        QueryItems queries;
        for (const HttpTestRequest &request : server.requests().sliced(before)) {
            EXPECT_EQ(request.path, u"/apis/site/v2/sports/soccer/eng.1/scoreboard"_s);
            EXPECT_EQ(request.headers.value("accept"), "application/json");
            EXPECT_FALSE(request.headers.contains("pragma"));
            queries.append(request.query.queryItems());
        }
        EXPECT_EQ(queries, expectedQueries);
    }
}

TEST_F(EspnProviderTest, LiveFetchAsksOncePerUtcDayPastEveryCache)
{
    const QList<FootballMatch> fixtures {footballMatch(u"a"_s, u"eng.1"_s, utc("2025-08-18T00:30:00Z")),
        footballMatch(u"b"_s, u"eng.1"_s, utc("2025-08-17T23:30:00Z")),
        footballMatch(u"c"_s, u"eng.1"_s, utc("2025-08-17T12:00:00Z"))};
    answer = [](const HttpTestRequest &request) {
        const bool sunday = request.query.queryItemValue(u"dates"_s) == u"20250817";
        return HttpTestResponse {.body = sunday ? fixtureFile("scoreboard_states.json") : QByteArray("{}")};
    };
    const Result result = scores(fixtures);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->size(), 8); // every event that maps to a match, whatever its day

    ASSERT_EQ(server.requests().size(), 2);
    QStringList days;
    for (const HttpTestRequest &request : server.requests()) {
        days.append(request.query.queryItemValue(u"dates"_s));
        EXPECT_EQ(request.query.queryItemValue(u"limit"_s), u"500"_s);
        EXPECT_EQ(request.headers.value("cache-control"), "no-cache");
        EXPECT_EQ(request.headers.value("pragma"), "no-cache");
        EXPECT_EQ(request.headers.value("accept"), "application/json");
    }
    EXPECT_EQ(days, (QStringList {u"20250817"_s, u"20250818"_s}));

    EXPECT_TRUE(scores({}));
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(EspnProviderTest, AnswersThatAreNotScoreboardsFailWithTheirSentence)
{
    const QByteArray states = fixtureFile("scoreboard_states.json");
    const std::pair<HttpTestResponse, QString> cases[] = {
        {{.status = 304}, u"ESPN returned HTTP 304."_s},
        {{.status = 429, .body = "{}"}, u"ESPN is rate limiting score requests. The app will retry later."_s},
        {{.status = 500, .body = "{}"}, u"ESPN returned HTTP 500."_s},
        {{.body = "{\"events\":["}, u"ESPN returned an unreadable football scoreboard."_s},
        {{.body = states.first(states.size() / 2)}, u"ESPN returned an unreadable football scoreboard."_s},
        {{.body = R"({"events":[{"id":"1","date":"2025-08-17T14:00Z","status":{"type":{"completed":1}}}]})"},
            u"ESPN returned an unreadable football scoreboard."_s},
        {{.body = "{}", .announcedLength = ESPNFootballProvider::maxBodyBytes + 1},
            u"The server sent more than 16 MiB."_s},
    };
    for (const auto &[response, description] : cases) {
        answer = [&](const HttpTestRequest &) { return response; };
        const Result result = scoreboard(utc("2026-03-01T00:00:00Z"), utc("2026-03-14T00:00:00Z"));
        ASSERT_FALSE(result) << description.toStdString();
        EXPECT_EQ(result.error().description(), description);
    }
}

TEST_F(EspnProviderTest, AFailingMonthDiscardsTheMonthBeforeIt)
{
    answer = [](const HttpTestRequest &request) {
        if (request.query.queryItemValue(u"dates"_s) == u"202601")
            return HttpTestResponse {.status = 503};
        return HttpTestResponse {.body = scoreboardDocument({{u"kept"_s, utc("2025-12-30T15:00:00Z")}})};
    };
    const Result result = scoreboard(utc("2025-12-25T00:00:00Z"), utc("2026-01-07T00:00:00Z"));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), (ESPNFootballError {ESPNFootballError::Kind::http, 503, {}}));
}

TEST_F(EspnProviderTest, BodiesUpToTheLimitAndEmptyObjectsAreFine)
{
    QByteArray padded = "{}";
    padded.append(ESPNFootballProvider::maxBodyBytes - padded.size(), ' ');
    for (const QByteArray &body : {QByteArray("{}"), padded}) {
        answer = [&](const HttpTestRequest &) { return HttpTestResponse {.body = body}; };
        const Result result = scoreboard(utc("2026-03-01T00:00:00Z"), utc("2026-03-14T00:00:00Z"));
        ASSERT_TRUE(result) << body.size();
        EXPECT_TRUE(result->isEmpty());
    }
}

TEST_F(EspnProviderTest, SilenceAndRefusalAreFailuresToo)
{
    answer = [](const HttpTestRequest &) { return HttpTestResponse {.stall = true}; };
    const ESPNFootballProvider impatient(network, server.url(), 300ms);
    const Result silent = QCoro::waitFor(impatient.scores(
        FootballCompetition::faCup, {footballMatch(u"a"_s, u"eng.fa"_s, utc("2026-03-01T15:00:00Z"))}));
    ASSERT_FALSE(silent);
    EXPECT_EQ(silent.error().description(), u"The server did not answer in time."_s);

    const ESPNFootballProvider nowhere(network, QUrl(u"http://127.0.0.1:1"_s));
    const Result refused = QCoro::waitFor(
        nowhere.scoreboard(FootballCompetition::faCup, utc("2026-03-01T00:00:00Z"), utc("2026-03-02T00:00:00Z")));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, ESPNFootballError::Kind::fetch);
    EXPECT_TRUE(refused.error().description().startsWith(u"The server could not be reached: "));
}

TEST_F(EspnProviderTest, SchedulesComeFromTheHttpCacheWhileFreshButLiveScoresNever)
{
    QTemporaryDir cacheFolder;
    const std::unique_ptr<QNetworkAccessManager> cachingNetwork = makeNetworkAccessManager(cacheFolder.path());
    const ESPNFootballProvider cached(*cachingNetwork, server.url());
    answer = [](const HttpTestRequest &) {
        return HttpTestResponse {.body = "{}", .headers = {{"Cache-Control", "max-age=600"}}};
    };
    const QList<FootballMatch> live {footballMatch(u"a"_s, u"eng.1"_s, utc("2026-03-01T15:00:00Z"))};
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(QCoro::waitFor(cached.scoreboard(
            FootballCompetition::premierLeague, utc("2026-03-01T00:00:00Z"), utc("2026-03-14T00:00:00Z"))));
        EXPECT_TRUE(QCoro::waitFor(cached.scores(FootballCompetition::premierLeague, live)));
    }
    const auto monthRequests = std::ranges::count_if(server.requests(), std::not_fn(isLiveRequest));
    EXPECT_EQ(monthRequests, 1);
    EXPECT_EQ(server.requests().size() - monthRequests, 2);
}

} // namespace
} // namespace ribbex::test
