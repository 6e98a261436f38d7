#include "scoreboards.h"
#include "sources/football/espn_scoreboard_decoder.h"
#include "sources/net/network_access.h"

#include <QCoroTask>
#include <QTemporaryDir>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST(EspnMinute, TakesTheLeadingNumberOfTheClock)
{
    const std::pair<std::optional<QString>, std::optional<qint64>> cases[]
        = {{u"67'"_s, 67}, {u"45'+2'"_s, 45}, {u"::12:30"_s, 12}, {u"HT"_s, std::nullopt}, {u"'5"_s, std::nullopt},
            {std::nullopt, std::nullopt}, {u"\u0663'"_s, std::nullopt}, // an Arabic-Indic three
            {u"99999999999999999999'"_s, std::nullopt}}; // past 64 bits
    for (const auto &[clock, expected] : cases)
        EXPECT_EQ(espn::minute(clock), expected) << clock.value_or(u"(absent)"_s).toStdString();
}

// Events whose date lacks a zone or is no date at all are dropped, like those without two sides.
TEST(EspnScoreboard, MapsEachStateAndDropsEventsThatCannotBeMatches)
{
    const std::optional<ESPNScoreboardResponse> response = espn::decodeResponse(scoreboardStates());
    ASSERT_TRUE(response && response->events);
    QStringList described;
    for (const FootballMatch &match : espn::decode(FootballCompetition::premierLeague, *response->events)) {
        const auto number = [](std::optional<qint64> value) { return value ? QString::number(*value) : u"?"_s; };
        described.append(u"%1 %2 %3 %4' %5 %6-%7 %8 (%9)"_s.arg(match.id, match.utcDate.toUTC().toString(u"HH:mm"_s),
            match.status, number(match.minute), match.homeTeam.name, number(match.score.fullTime.home),
            number(match.score.fullTime.away), match.awayTeam.name, match.homeTeam.shortName.value_or(u"-"_s)));
        EXPECT_EQ(match.competition, (FootballMatch::Competition {u"England Premier League"_s, u"eng.1"_s}));
    }
    EXPECT_EQ(described,
        (QStringList {
            u"scheduled 14:00 SCHEDULED 0' Arsenal 0-? Chelsea (ARS)"_s,
            u"live 16:30 IN_PLAY 67' Liverpool 2-1 Everton (LIV)"_s,
            u"half-time 16:30 PAUSED 45' Fulham 0-0 Brentford (-)"_s,
            u"finished 11:30 FINISHED 90' Leeds United 3-3 Burnley (LEE)"_s, // its name loses control characters
            u"extra-time 18:00 EXTRA_TIME 105' Newcastle United 1-1 Aston Villa (-)"_s,
            u"shoot-out 18:00 PENALTY_SHOOTOUT 120' Brighton 2-2 Wolves (-)"_s,
            u"post-state 11:00 FINISHED ?' Bournemouth 1-0 Sunderland (-)"_s,
            u"away-first 20:00 SCHEDULED ?' Spurs -1-? Away (-)"_s,
        }));
}

TEST(EspnScoreboard, AWronglyTypedValueAnywhereFailsTheWholeDocument)
{
    const auto document = [](const char *event) -> QByteArray {
        return QByteArray(R"({"events":[{"id":"1","date":"2025-08-17T14:00Z"},)") + event + "]}";
    };
    const std::pair<QByteArray, bool> cases[] = {
        {R"({"events":null,"leagues":"anything"})", true},
        {document(R"({"id":"2","date":"x","status":null,"competitions":[{"competitors":[{"team":null}]}]})"), true},
        {scoreboardStates().chopped(200), false},
        {R"({"events":{}})", false},
        {document(R"({"id":2,"date":"2025-08-17T14:00Z"})"), false},
        {document(R"({"id":"2"})"), false},
        {document(R"({"id":"2","date":"x","status":{"type":{"completed":"true"}}})"), false},
        {document(R"({"id":"2","date":"x","competitions":[{"competitors":[{"score":2}]}]})"), false},
        {document(R"({"id":"2","date":"x","competitions":[{"competitors":[{"team":{"abbreviation":7}}]}]})"), false},
    };
    for (const auto &[body, readable] : cases)
        EXPECT_EQ(espn::decodeResponse(body).has_value(), readable) << body.toStdString();
}

class EspnProviderTest : public ModelTest {
protected:
    // The path and query of each request so far.
    QStringList requested() const
    {
        QStringList sent;
        for (const HttpTestRequest &request : server.requests())
            sent.append(request.path + u'?' + request.query.toString());
        return sent;
    }

    const QString scoreboard = u"/apis/site/v2/sports/soccer/eng.1/scoreboard?dates="_s;
};

TEST_F(EspnProviderTest, SchedulesAreFetchedOneCalendarMonthAtATimeAndFailWhole)
{
    const ESPNFootballProvider provider(network, server.url());
    const QDateTime from = utc("2025-12-25T00:00:00Z");
    const QDateTime through = utc("2026-01-07T00:00:00Z");
    const QList<EspnEvent> events {
        {u"early"_s, from.addSecs(-1)}, {u"first"_s, from}, {u"last"_s, through}, {u"late"_s, through.addSecs(1)}};
    bool januaryFails = false;
    answer = [&](const HttpTestRequest &request) {
        const QString month = request.query.queryItemValue(u"dates"_s);
        QList<EspnEvent> ofMonth;
        std::ranges::copy_if(events, std::back_inserter(ofMonth),
            [&](const EspnEvent &event) { return event.kickOff.toString(u"yyyyMM"_s) == month; });
        return HttpTestResponse {
            .status = januaryFails && month == u"202601" ? 503 : 200, .body = scoreboardDocument(ofMonth)};
    };
    const auto fetch
        = [&] { return QCoro::waitFor(provider.scoreboard(FootballCompetition::premierLeague, from, through)); };
    const auto result = fetch();
    ASSERT_TRUE(result && result->size() == 2);
    EXPECT_EQ(result->first().id + result->last().id, u"firstlast"_s);
    EXPECT_EQ(requested(), (QStringList {scoreboard + u"202512&limit=500", scoreboard + u"202601&limit=500"}));

    // Half a schedule would make the merge drop the other half's fixtures.
    januaryFails = true;
    const auto failed = fetch();
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().description(), u"ESPN returned HTTP 503."_s);
}

TEST_F(EspnProviderTest, LiveScoresAreFetchedOneUtcDayAtATimePastEveryCacheWhileSchedulesAreCached)
{
    QTemporaryDir cacheFolder;
    const std::unique_ptr<QNetworkAccessManager> caching = makeNetworkAccessManager(cacheFolder.path());
    const ESPNFootballProvider provider(*caching, server.url());
    answer = [](const HttpTestRequest &request) {
        const bool sunday = request.query.queryItemValue(u"dates"_s) == u"20250817";
        return HttpTestResponse {
            .body = sunday ? scoreboardStates() : QByteArray("{}"), .headers = {{"Cache-Control", "max-age=600"}}};
    };
    const QList<FootballMatch> fixtures {footballMatch(u"a"_s, u"eng.1"_s, "2025-08-18T00:30:00Z"),
        footballMatch(u"b"_s, u"eng.1"_s, "2025-08-17T23:30:00Z"),
        footballMatch(u"c"_s, u"eng.1"_s, "2025-08-17T12:00:00Z")};
    for (int round = 0; round < 2; ++round) {
        const auto scores = QCoro::waitFor(provider.scores(FootballCompetition::premierLeague, fixtures));
        ASSERT_TRUE(scores);
        EXPECT_EQ(scores->size(), 8); // every event that maps to a match, whatever its day
        EXPECT_TRUE(QCoro::waitFor(provider.scoreboard(
            FootballCompetition::premierLeague, utc("2025-08-17T00:00:00Z"), utc("2025-08-30T00:00:00Z"))));
    }
    EXPECT_TRUE(QCoro::waitFor(provider.scores(FootballCompetition::premierLeague, {})));
    const QString sunday = scoreboard + u"20250817&limit=500";
    const QString monday = scoreboard + u"20250818&limit=500";
    EXPECT_EQ(requested(), (QStringList {sunday, monday, scoreboard + u"202508&limit=500", sunday, monday}));
}

} // namespace
} // namespace ribbex::test
