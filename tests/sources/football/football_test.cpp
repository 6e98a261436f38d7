#include "sources/football/espn_scoreboard_decoder.h"
#include "sources/football/football_merge.h"
#include "sources/football/football_pacing.h"
#include "sources/football/football_refresh.h"
#include "sources/net/network_access.h"
#include "support/model_home.h"

#include <QCoroTask>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString eng = u"eng.1"_s;
const QString ger = u"ger.1"_s;
const QString noLiveMatches = u"No Live Matches"_s;
const QString scoreboard = u"/apis/site/v2/sports/soccer/eng.1/scoreboard?dates="_s;

// Events without a zoned date or without two sides are dropped; a wrongly typed value anywhere fails the document.
TEST(EspnScoreboard, MapsEachStateDropsEventsThatCannotBeMatchesAndFailsWholeOnAWronglyTypedValue)
{
    QFile file(QStringLiteral(RIBBEX_FOOTBALL_FIXTURES "/scoreboard_states.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<ESPNScoreboardResponse> response = espn::decodeResponse(file.readAll());
    ASSERT_TRUE(response && response->events);
    QStringList described;
    for (const FootballMatch &match : espn::decode(FootballCompetition::premierLeague, *response->events)) {
        const auto number = [](std::optional<qint64> value) { return value ? QString::number(*value) : u"?"_s; };
        described.append(u"%1 %2 %3 %4' %5 %6-%7 %8 (%9)"_s.arg(match.id, match.utcDate.toUTC().toString(u"HH:mm"_s),
            match.status, number(match.minute), match.homeTeam.name, number(match.score.fullTime.home),
            number(match.score.fullTime.away), match.awayTeam.name, match.homeTeam.shortName.value_or(u"-"_s)));
    }
    EXPECT_EQ(described,
        (QStringList {u"scheduled 14:00 SCHEDULED 0' Arsenal 0-? Chelsea (ARS)"_s,
            u"live 16:30 IN_PLAY 67' Liverpool 2-1 Everton (LIV)"_s,
            u"half-time 16:30 PAUSED 45' Fulham 0-0 Brentford (-)"_s,
            u"finished 11:30 FINISHED 90' Leeds United 3-3 Burnley (LEE)"_s, // its name loses control characters
            u"extra-time 18:00 EXTRA_TIME 105' Newcastle United 1-1 Aston Villa (-)"_s,
            u"shoot-out 18:00 PENALTY_SHOOTOUT 120' Brighton 2-2 Wolves (-)"_s,
            u"post-state 11:00 FINISHED ?' Bournemouth 1-0 Sunderland (-)"_s,
            u"away-first 20:00 SCHEDULED ?' Spurs -1-? Away (-)"_s}));

    const auto document = [](const char *event) -> QByteArray {
        return QByteArray(R"({"events":[{"id":"1","date":"2025-08-17T14:00Z"},)") + event + "]}";
    };
    const std::pair<QByteArray, bool> cases[] = {
        {R"({"events":null,"leagues":"anything"})", true},
        {document(R"({"id":"2","date":"x","status":null,"competitions":[{"competitors":[{"team":null}]}]})"), true},
        {R"({"events":{}})", false},
        {document(R"({"id":"2"})"), false},
        {document(R"({"id":"2","date":"x","status":{"type":{"completed":"true"}}})"), false},
        {document(R"({"id":"2","date":"x","competitions":[{"competitors":[{"team":{"abbreviation":7}}]}]})"), false},
    };
    for (const auto &[body, readable] : cases)
        EXPECT_EQ(espn::decodeResponse(body).has_value(), readable) << body.toStdString();
}

// One event of an ESPN scoreboard; state is "pre", "in" or "post".
struct EspnEvent {
    QString id;
    QDateTime kickOff;
    QString state = u"pre"_s;
};

QByteArray scoreboardDocument(const QList<EspnEvent> &events)
{
    QStringList objects;
    for (const EspnEvent &event : events) {
        objects.append(uR"({"id":"%1","date":"%2","status":{"type":{"state":"%3"}},"competitions":[{"competitors":)"
                       uR"([{"homeAway":"home","team":{}},{"homeAway":"away","team":{}}]}]})"_s.arg(
                           event.id, event.kickOff.toString(Qt::ISODate), event.state));
    }
    return (u"{\"events\":["_s + objects.join(u',') + u"]}"_s).toUtf8();
}

FootballMatch footballMatch(
    const QString &id, const QString &code, const char *kickOff, const QString &status = matchStatus::scheduled)
{
    return {id, utc(kickOff), status, std::nullopt, {id, std::nullopt}, {id, std::nullopt}, {code, code}, {}};
}

// The model home's football source. Its scoreboard server answers a league's requests, for
// schedules and scores alike, with its `events`, unless `overrides` holds the answer.
class FootballRefreshTest : public ModelTest {
protected:
    FootballRefreshTest()
    {
        answer = [this](const HttpTestRequest &request) {
            const QString league = leagueOf(request);
            return overrides.value(league, {.body = scoreboardDocument(events.value(league))});
        };
        model().onFootballRefreshFinished = [this] { ++passesFinished; };
    }

    static QString leagueOf(const HttpTestRequest &request) { return request.path.section(u'/', -2, -2); }
    // Requests for a league's schedules (dates=yyyyMM) or, with `scores`, its scores of a day (dates=yyyyMMdd).
    qsizetype requestCount(const QString &league, bool scores) const
    {
        return std::ranges::count_if(server.requests(), [&](const HttpTestRequest &request) {
            return leagueOf(request) == league && (request.query.queryItemValue(u"dates"_s).size() == 8) == scores;
        });
    }
    void select(const FootballCompetitionSet &competitions, bool enabled = true)
    {
        edit([&](RibbexSettings &settings) {
            settings.selectedFootballCompetitions = competitions;
            settings.enabledSources = enabled ? std::set {TickerSource::football} : std::set<TickerSource> {};
        });
    }
    void runPass() { QCoro::waitFor(source(TickerSource::football).refreshIfDue()); }
    std::optional<double> delay() { return source(TickerSource::football).nextRefreshDelay(clock.now()); }
    SourceBookkeeping &book() { return model().bookkeeping(); }
    // The path and query of each request so far.
    QStringList requested() const
    {
        QStringList sent;
        for (const HttpTestRequest &request : server.requests())
            sent.append(request.path + u'?' + request.query.toString());
        return sent;
    }
    std::optional<FootballFixtureCache> storedCache() const
    {
        const auto bytes = cacheStore.read(FootballFixtureCache::preferencesKey);
        return bytes && *bytes ? decodeFixtureCache(**bytes) : std::nullopt;
    }

    QMap<QString, QList<EspnEvent>> events;
    QMap<QString, HttpTestResponse> overrides;
    int passesFinished = 0;
    // For the provider's own tests, and a refresh of the test's own to delete mid-pass.
    ESPNFootballProvider provider {network, server.url()};
    QPointer<FootballRefresh> refresh = new FootballRefresh(model(), provider, &model());
};

TEST_F(FootballRefreshTest, OpeningChecksRefuseThePassWithoutATrace)
{
    // selection, football enabled, a pass running already, the status and delay after the refusal
    const std::tuple<FootballCompetitionSet, bool, bool, QString, std::optional<double>> cases[]
        = {{{FootballCompetition::premierLeague}, false, false, u"Not refreshed yet"_s, std::nullopt},
            {{FootballCompetition::premierLeague}, true, true, u"Not refreshed yet"_s, 1.0},
            {{}, true, false, u"Select at least one competition"_s, std::nullopt}};
    for (const auto &[selection, enabled, running, status, nextDelay] : cases) {
        select(selection, enabled);
        book().isUpdatingFootball = running;
        runPass();
        EXPECT_EQ(model().footballStatus(), status);
        EXPECT_EQ(delay(), nextDelay) << status.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(passesFinished, 0);
    EXPECT_FALSE(storedCache());
}

TEST_F(FootballRefreshTest, AFirstPassFetchesEveryScheduleOnceAndCachesAllButStaleFixtures)
{
    model().setFootballMatches({footballMatch(u"old"_s, eng, "2026-11-22T14:59:59Z", matchStatus::finished),
        footballMatch(u"two-weeks"_s, eng, "2026-11-22T15:00:00Z", matchStatus::finished)});
    select(allFootballCompetitionSet());
    events[eng] = {{u"tonight"_s, utc("2026-12-06T18:00:00Z")}, {u"last-week"_s, utc("2026-11-29T15:00:00Z")}};
    runPass();
    // As many requests as competitions, and every competition's schedule refreshed: each asked for once.
    EXPECT_EQ(server.requests().size(), std::ssize(allFootballCompetitions()));
    EXPECT_EQ(book().footballScheduleRefreshedAt.keys(clock.now()).size(), std::ssize(allFootballCompetitions()));
    ASSERT_EQ(model().footballMatches().size(), 3); // last week's lies outside the window asked for
    EXPECT_EQ(storedCache(),
        (FootballFixtureCache {model().footballMatches().sliced(1), book().footballScheduleRefreshedAt}));
    EXPECT_EQ(delay(), 3600.0); // a kick-off within a day makes schedules hourly
}

TEST_F(FootballRefreshTest, ErrorsAreListedAsTheyArriveAndAFailedScheduleBacksOffFiveMinutes)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga, FootballCompetition::serieA});
    overrides[eng] = {.body = "{\"events\":[", .delay = 400ms}; // asked first, answered last
    overrides[ger] = {.status = 429};
    const QDateTime start = clock.now();
    runPass();
    EXPECT_EQ(model().footballStatus(),
        u"ESPN update issue \u00B7 Germany Bundesliga: ESPN is rate limiting score requests. The app will retry "
        u"later.; England Premier League: ESPN returned an unreadable football scoreboard."_s);
    overrides.clear();
    clock.set(start.addSecs(60));
    EXPECT_EQ(delay(), 240.0);
    QCoro::waitFor(source(TickerSource::football).refreshNow()); // every schedule but those backing off
    EXPECT_EQ(requestCount(u"ita.1"_s, false), 2);
    EXPECT_EQ(requestCount(ger, false), 1);
    for (const auto &[after, requests] : {std::pair {299, 1}, {300, 2}}) {
        clock.set(start.addSecs(after));
        runPass();
        EXPECT_EQ(requestCount(ger, false), requests) << after;
    }
    EXPECT_EQ(model().footballStatus(), noLiveMatches);
    EXPECT_FALSE(book().footballScheduleRetryAfter.contains(ger));
}

TEST_F(FootballRefreshTest, LiveScoresArePolledEveryFortyFiveSecondsFromKickOffForTwoAndAHalfHours)
{
    const QString monitoringTwo = u"Monitoring 2 live fixtures \u00B7 45-second updates"_s;
    // the time, the delay before its pass, live requests after it, the status
    const std::tuple<const char *, double, qsizetype, QString> steps[] = {
        {"2026-12-06T14:59:59Z", 1, 0, noLiveMatches},
        {"2026-12-06T15:00:00Z", 1, 1, monitoringTwo}, // one request for both fixtures
        {"2026-12-06T15:00:30Z", 15, 1, monitoringTwo}, {"2026-12-06T15:00:45Z", 1, 2, monitoringTwo},
        {"2026-12-06T17:29:59Z", 1, 3, monitoringTwo},
        {"2026-12-06T17:30:00Z", 21600, 3, noLiveMatches}, // still "in play": ESPN never said it ended
    };
    select({FootballCompetition::premierLeague});
    model().setFootballMatches(
        {footballMatch(u"k"_s, eng, "2026-12-06T15:00:00Z"), footballMatch(u"l"_s, eng, "2026-12-06T15:00:00Z")});
    events[eng] = {{u"k"_s, utc("2026-12-06T15:00:00Z"), u"in"_s}};
    for (const auto &[time, nextDelay, liveRequests, status] : steps) {
        clock.set(utc(time));
        book().footballScheduleRefreshedAt[eng] = clock.now();
        EXPECT_EQ(delay(), nextDelay) << time;
        runPass();
        EXPECT_EQ(requestCount(eng, true), liveRequests) << time;
        EXPECT_EQ(model().footballStatus(), status) << time;
    }
    EXPECT_EQ(model().footballMatches().value(0).status, matchStatus::inPlay);
    EXPECT_EQ(storedCache()->fixtures, model().footballMatches());
}

TEST_F(FootballRefreshTest, SwitchingFootballOffDuringSchedulesEndsThePassThere)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga});
    book().footballScheduleRefreshedAt[ger] = clock.now();
    model().setFootballMatches({footballMatch(u"g1"_s, ger, "2026-12-06T14:00:00Z", matchStatus::inPlay)});
    answer = [this, scoreboard = answer](const HttpTestRequest &request) {
        select({FootballCompetition::premierLeague, FootballCompetition::bundesliga}, false);
        return scoreboard(request);
    };
    runPass();
    EXPECT_EQ(requestCount(ger, true), 0);
    EXPECT_EQ(model().footballStatus(), u"Not refreshed yet"_s);
    EXPECT_EQ(passesFinished, 1);
    EXPECT_TRUE(storedCache());
}

TEST_F(FootballRefreshTest, APassWhoseRefreshIsGoneStopsWithoutTouchingTheModel)
{
    select({FootballCompetition::premierLeague});
    events[eng] = {{u"k"_s, utc("2026-12-06T18:00:00Z")}};
    QCoro::Task<> pass = refresh->refreshFootball();
    delete refresh.data();
    QCoro::waitFor(pass);
    EXPECT_EQ(requestCount(eng, false), 1);
    EXPECT_TRUE(model().footballMatches().isEmpty());
    EXPECT_EQ(passesFinished, 0);
    book().isUpdatingFootball = false; // the pass ended without its refresh to say so
}

using EspnProviderTest = FootballRefreshTest;

TEST_F(EspnProviderTest, SchedulesAreFetchedOneCalendarMonthAtATimeAndFailWhole)
{
    const QDateTime from = utc("2025-12-25T00:00:00Z");
    const QDateTime through = utc("2026-01-07T00:00:00Z");
    bool januaryFails = false;
    answer = [&](const HttpTestRequest &request) {
        if (request.query.queryItemValue(u"dates"_s) == u"202512")
            return HttpTestResponse {.body = scoreboardDocument({{u"early"_s, from.addSecs(-1)}, {u"first"_s, from}})};
        return HttpTestResponse {.status = januaryFails ? 503 : 200,
            .body = scoreboardDocument({{u"last"_s, through}, {u"late"_s, through.addSecs(1)}})};
    };
    const auto result = QCoro::waitFor(provider.scoreboard(FootballCompetition::premierLeague, from, through));
    ASSERT_TRUE(result && result->size() == 2);
    EXPECT_EQ(result->first().id + result->last().id, u"firstlast"_s);
    EXPECT_EQ(requested(), (QStringList {scoreboard + u"202512&limit=500", scoreboard + u"202601&limit=500"}));

    // Half a schedule would make the merge drop the other half's fixtures.
    januaryFails = true;
    const auto failed = QCoro::waitFor(provider.scoreboard(FootballCompetition::premierLeague, from, through));
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().description(), u"ESPN returned HTTP 503."_s);
}

TEST_F(EspnProviderTest, LiveScoresAreFetchedOneUtcDayAtATimePastEveryCacheWhileSchedulesAreCached)
{
    QTemporaryDir cacheFolder;
    const std::unique_ptr<QNetworkAccessManager> caching = makeNetworkAccessManager(cacheFolder.path());
    const ESPNFootballProvider cached(*caching, server.url());
    overrides[eng] = {.body = scoreboardDocument({{u"any-day"_s, utc("2025-08-01T12:00:00Z")}}),
        .headers = {{"Cache-Control", "max-age=600"}}};
    const QList<FootballMatch> fixtures {footballMatch(u"a"_s, eng, "2025-08-18T00:30:00Z"),
        footballMatch(u"b"_s, eng, "2025-08-17T23:30:00Z"), footballMatch(u"c"_s, eng, "2025-08-17T12:00:00Z")};
    for (int round = 0; round < 2; ++round) {
        const auto scores = QCoro::waitFor(cached.scores(FootballCompetition::premierLeague, fixtures));
        EXPECT_TRUE(scores && scores->size() == 2); // every event of each day's answer, whatever its own day
        EXPECT_TRUE(QCoro::waitFor(cached.scoreboard(
            FootballCompetition::premierLeague, utc("2025-08-17T00:00:00Z"), utc("2025-08-30T00:00:00Z"))));
    }
    EXPECT_TRUE(QCoro::waitFor(cached.scores(FootballCompetition::premierLeague, {})));
    const QString sunday = scoreboard + u"20250817&limit=500";
    const QString monday = scoreboard + u"20250818&limit=500";
    EXPECT_EQ(requested(), (QStringList {sunday, monday, scoreboard + u"202508&limit=500", sunday, monday}));
}

QStringList describe(const QList<FootballMatch> &matches)
{
    QStringList out;
    for (const FootballMatch &match : matches)
        out.append(match.id + u'/' + match.status);
    return out;
}

TEST(FootballMerge, AScheduleReplacesItsWindowWhileLiveScoresUpdateInPlace)
{
    const QList<FootballMatch> current {
        footballMatch(u"yesterday"_s, eng, "2026-12-05T15:00:00Z", matchStatus::finished),
        footballMatch(u"vanished"_s, eng, "2026-12-06T15:00:00Z"),
        footballMatch(u"other-league"_s, ger, "2026-12-06T14:30:00Z"),
        footballMatch(u"updated"_s, eng, "2026-12-07T15:00:00Z"),
        footballMatch(u"window-end"_s, eng, "2026-12-19T00:00:00Z"),
        footballMatch(u"after-window"_s, eng, "2026-12-19T00:00:01Z")};
    const QList<FootballMatch> fetched {footballMatch(u"updated"_s, eng, "2026-12-07T15:00:00Z", matchStatus::inPlay),
        footballMatch(u"new"_s, eng, "2026-12-06T13:00:00Z"),
        footballMatch(u"updated"_s, eng, "2026-12-07T15:00:00Z", matchStatus::paused),
        footballMatch(u"after-window"_s, eng, "2026-12-19T00:00:01Z", matchStatus::finished)};
    // The window holds exactly the fetched fixtures, its end included; the later of two duplicates wins.
    EXPECT_EQ(describe(mergeFootballFixtures(current, fetched, FootballCompetition::premierLeague,
                  utc("2026-12-06T00:00:00Z"), utc("2026-12-19T00:00:00Z"))),
        (QStringList {u"yesterday/FINISHED"_s, u"new/SCHEDULED"_s, u"other-league/SCHEDULED"_s, u"updated/PAUSED"_s,
            u"after-window/FINISHED"_s}));
    // Known matches are updated in place, in kick-off order; unknown ones of the competition come last.
    EXPECT_EQ(describe(mergeFootballFixtures(current, fetched, eng)),
        (QStringList {u"yesterday/FINISHED"_s, u"other-league/SCHEDULED"_s, u"vanished/SCHEDULED"_s,
            u"updated/PAUSED"_s, u"window-end/SCHEDULED"_s, u"after-window/FINISHED"_s, u"new/SCHEDULED"_s}));
}

TEST(ScheduleWindow, RunsFromLocalMidnightToMidnightThirteenDaysLater)
{
    const auto window = footballPacing::scheduleWindow(utc("2027-03-31T20:00:00Z"), QTimeZone("Australia/Sydney"));
    EXPECT_EQ(window.start, utc("2027-03-31T13:00:00Z")); // 1 April already in Sydney
    EXPECT_EQ(window.end, utc("2027-04-13T14:00:00Z")); // summer time ended in between
}

} // namespace
} // namespace ribbex::test
