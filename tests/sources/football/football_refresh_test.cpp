#include "scoreboards.h"
#include "sources/football/football_merge.h"
#include "sources/football/football_pacing.h"
#include "sources/football/football_refresh.h"

#include <QCoroTask>
#include <QPointer>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString eng = u"eng.1"_s;
const QString ger = u"ger.1"_s;
const QString ita = u"ita.1"_s;
const QString noLiveMatches = u"No Live Matches"_s;

const QString monitoringTwo = u"Monitoring 2 live fixtures \u00B7 45-second updates"_s;

// The model home's football source. Its scoreboard server answers month requests with
// `schedules` and day requests with `live` of each league, unless `overrides` holds the answer.
class FootballRefreshTest : public ModelTest {
protected:
    FootballRefreshTest()
    {
        answer = [this](const HttpTestRequest &request) {
            const QString league = leagueOf(request);
            const QList<EspnEvent> events = (isLiveRequest(request) ? live : schedules).value(league);
            return overrides.value(league, {.body = scoreboardDocument(events)});
        };
        model().onFootballRefreshFinished = [this] { ++passesFinished; };
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
    qsizetype requestCount(const QString &league, bool isLive) const
    {
        return std::ranges::count_if(server.requests(), [&](const HttpTestRequest &request) {
            return leagueOf(request) == league && isLiveRequest(request) == isLive;
        });
    }
    std::optional<FootballFixtureCache> storedCache() const
    {
        const auto bytes = cacheStore.read(FootballFixtureCache::preferencesKey);
        return bytes && *bytes ? decodeFixtureCache(**bytes) : std::nullopt;
    }

    QMap<QString, QList<EspnEvent>> schedules;
    QMap<QString, QList<EspnEvent>> live;
    QMap<QString, HttpTestResponse> overrides;
    int passesFinished = 0;
    // For what the source does not offer: the competition switches of the settings window.
    ESPNFootballProvider provider {network, server.url()};
    QPointer<FootballRefresh> refresh = new FootballRefresh(model(), provider, &model());
};

TEST_F(FootballRefreshTest, OpeningChecksRefuseThePassWithoutATrace)
{
    // selection, football enabled, a pass running already, the status and delay after the refusal
    const std::tuple<FootballCompetitionSet, bool, bool, QString, std::optional<double>> cases[] = {
        {{FootballCompetition::premierLeague}, false, false, u"Not refreshed yet"_s, std::nullopt},
        {{FootballCompetition::premierLeague}, true, true, u"Not refreshed yet"_s, 1.0},
        {{}, true, false, u"Select at least one competition"_s, std::nullopt},
    };
    for (const auto &[selection, enabled, running, status, nextDelay] : cases) {
        select(selection, enabled);
        book().isUpdatingFootball = running;
        runPass();
        EXPECT_EQ(model().footballStatus(), status);
        EXPECT_EQ(book().isUpdatingFootball, running);
        EXPECT_EQ(delay(), nextDelay) << status.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(passesFinished, 0);
    EXPECT_FALSE(storedCache());
}

TEST_F(FootballRefreshTest, AFirstPassFetchesEveryScheduleOnceAndCachesAllButStaleFixtures)
{
    const QList<FootballMatch> past {footballMatch(u"old"_s, eng, "2026-11-22T14:59:59Z", matchStatus::finished),
        footballMatch(u"two-weeks"_s, eng, "2026-11-22T15:00:00Z", matchStatus::finished)};
    model().setFootballMatches(past);
    select(allFootballCompetitionSet());
    schedules[eng] = {{u"tonight"_s, utc("2026-12-06T18:00:00Z")}, {u"last-week"_s, utc("2026-11-29T15:00:00Z")}};
    runPass();
    for (const FootballCompetition competition : allFootballCompetitions()) {
        EXPECT_EQ(requestCount(id(competition), false), 1) << id(competition).toStdString();
        EXPECT_EQ(book().footballScheduleRefreshedAt.value(id(competition)), clock.now());
    }
    EXPECT_EQ(server.requests().size(), std::ssize(allFootballCompetitions()));
    EXPECT_EQ(passesFinished, 1);
    EXPECT_EQ(model().footballStatus(), noLiveMatches);
    ASSERT_EQ(model().footballMatches().size(), 3); // last week's lies outside the window asked for
    EXPECT_EQ(storedCache(),
        (FootballFixtureCache {model().footballMatches().sliced(1), book().footballScheduleRefreshedAt}));
    EXPECT_EQ(delay(), 3600.0); // a kick-off within a day makes schedules hourly
    const QDateTime start = clock.now();
    for (const auto &[after, requests] : {std::pair {3599, 1}, {3600, 2}}) {
        clock.set(start.addSecs(after));
        runPass();
        EXPECT_EQ(requestCount(eng, false), requests) << after;
    }
    clock.set(start);
    ASSERT_TRUE(cacheStore.write(FootballFixtureCache::preferencesKey, encodeFixtureCache({past, {}})));
    reopen();
    EXPECT_EQ(model().footballMatches(), past.sliced(1)); // stale fixtures are dropped on reading too
}

TEST_F(FootballRefreshTest, AFailedScheduleBacksOffFiveMinutesEvenFromAFullRefresh)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga});
    overrides[ger] = {.status = 429};
    const QDateTime start = clock.now();
    runPass();
    EXPECT_EQ(model().footballStatus(),
        u"ESPN update issue \u00B7 Germany Bundesliga: ESPN is rate limiting score requests. "
        u"The app will retry later."_s);
    overrides.clear();
    clock.set(start.addSecs(60));
    EXPECT_EQ(delay(), 240.0);
    QCoro::waitFor(source(TickerSource::football).refreshNow()); // every schedule but the one backing off
    EXPECT_EQ(requestCount(eng, false), 2);
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
    live[eng] = {{u"k"_s, utc("2026-12-06T15:00:00Z"), u"in"_s, u"67'"_s}};
    for (const auto &[time, nextDelay, liveRequests, status] : steps) {
        clock.set(utc(time));
        book().footballScheduleRefreshedAt[eng] = clock.now();
        EXPECT_EQ(delay(), nextDelay) << time;
        runPass();
        EXPECT_EQ(requestCount(eng, true), liveRequests) << time;
        EXPECT_EQ(model().footballStatus(), status) << time;
    }
    EXPECT_EQ(model().footballMatches().value(0).minute, 67);
    EXPECT_EQ(storedCache()->fixtures, model().footballMatches());
}

TEST_F(FootballRefreshTest, ErrorsAreListedInTheOrderTheyArrive)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga, FootballCompetition::serieA});
    book().footballScheduleRefreshedAt[ita] = clock.now();
    model().setFootballMatches({footballMatch(u"i1"_s, ita, "2026-12-06T14:00:00Z", matchStatus::inPlay)});
    overrides[eng] = {.status = 500, .delay = 400ms}; // asked first, answered last
    overrides[ger] = {.body = "{\"events\":["};
    overrides[ita] = {.status = 429};
    runPass();
    EXPECT_EQ(model().footballStatus(),
        u"ESPN update issue \u00B7 Germany Bundesliga: ESPN returned an unreadable football scoreboard.; England "
        u"Premier League: ESPN returned HTTP 500.; ESPN is rate limiting score requests. The app will retry later."_s);
    EXPECT_EQ(book().footballScheduleRetryAfter.value(eng), clock.now().addSecs(300));
    EXPECT_EQ(book().footballScorePolledAt.value(ita), clock.now());
    EXPECT_EQ(passesFinished, 1);
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

TEST_F(FootballRefreshTest, CompetitionSwitchesStoreTheSelectionAndStartAPass)
{
    edit([](RibbexSettings &settings) { settings.selectedFootballCompetitions.reset(); });
    refresh->setFootballCompetition(FootballCompetition::faCup, false);
    FootballCompetitionSet expected = allFootballCompetitionSet();
    expected.erase(FootballCompetition::faCup);
    EXPECT_EQ(stored().selectedFootballCompetitions, expected);

    select({FootballCompetition::premierLeague});
    book().footballScheduleRefreshedAt[eng] = clock.now().addSecs(-60);
    refresh->setFootballCompetition(FootballCompetition::premierLeague, true);
    EXPECT_FALSE(book().footballScheduleRefreshedAt.contains(eng));
    ASSERT_TRUE(eventually([this] { return passesFinished == 1; }));
    EXPECT_EQ(requestCount(eng, false), 1);
    EXPECT_EQ(book().footballScheduleRefreshedAt.value(eng), clock.now());
}

TEST_F(FootballRefreshTest, APassWhoseRefreshIsGoneStopsWithoutTouchingTheModel)
{
    select({FootballCompetition::premierLeague});
    schedules[eng] = {{u"k"_s, utc("2026-12-06T18:00:00Z")}};
    QCoro::Task<> pass = refresh->refreshFootball();
    delete refresh.data();
    QCoro::waitFor(pass);
    EXPECT_EQ(requestCount(eng, false), 1);
    EXPECT_TRUE(model().footballMatches().isEmpty());
    EXPECT_EQ(passesFinished, 0);
    book().isUpdatingFootball = false; // the pass ended without its refresh to say so
}

QStringList describe(const QList<FootballMatch> &matches)
{
    QStringList out;
    for (const FootballMatch &match : matches)
        out.append(match.id + u'/' + match.status);
    return out;
}

TEST(ScheduleMerge, TheWindowHoldsExactlyTheFetchedFixturesAndTheLaterDuplicateWins)
{
    const QList<FootballMatch> current {
        footballMatch(u"yesterday"_s, u"eng.1"_s, "2026-12-05T15:00:00Z", matchStatus::finished),
        footballMatch(u"vanished"_s, u"eng.1"_s, "2026-12-06T15:00:00Z"),
        footballMatch(u"other-league"_s, u"ger.1"_s, "2026-12-06T14:30:00Z"),
        footballMatch(u"updated"_s, u"eng.1"_s, "2026-12-07T15:00:00Z"),
        footballMatch(u"window-end"_s, u"eng.1"_s, "2026-12-19T00:00:00Z"),
        footballMatch(u"after-window"_s, u"eng.1"_s, "2026-12-19T00:00:01Z"),
    };
    const QList<FootballMatch> fetched {
        footballMatch(u"updated"_s, u"eng.1"_s, "2026-12-07T15:00:00Z", matchStatus::inPlay),
        footballMatch(u"new"_s, u"eng.1"_s, "2026-12-06T13:00:00Z"),
        footballMatch(u"updated"_s, u"eng.1"_s, "2026-12-07T15:00:00Z", matchStatus::paused),
        footballMatch(u"after-window"_s, u"eng.1"_s, "2026-12-19T00:00:01Z", matchStatus::finished),
    };
    EXPECT_EQ(describe(mergeFootballFixtures(current, fetched, FootballCompetition::premierLeague,
                  utc("2026-12-06T00:00:00Z"), utc("2026-12-19T00:00:00Z"))),
        (QStringList {u"yesterday/FINISHED"_s, u"new/SCHEDULED"_s, u"other-league/SCHEDULED"_s, u"updated/PAUSED"_s,
            u"after-window/FINISHED"_s}));
}

TEST(LiveMerge, UpdatesInPlaceThenAppendsUnknownMatchesOfTheCompetition)
{
    const QList<FootballMatch> current {footballMatch(u"a"_s, u"eng.1"_s, "2026-12-06T15:00:00Z"),
        footballMatch(u"b"_s, u"ger.1"_s, "2026-12-06T15:00:00Z"),
        footballMatch(u"c"_s, u"eng.1"_s, "2026-12-06T12:00:00Z")};
    const QList<FootballMatch> fetched {
        footballMatch(u"fresh"_s, u"eng.1"_s, "2026-12-06T11:00:00Z", matchStatus::inPlay),
        footballMatch(u"a"_s, u"eng.1"_s, "2026-12-06T15:00:00Z", matchStatus::inPlay),
        footballMatch(u"foreign"_s, u"ger.1"_s, "2026-12-06T11:00:00Z"),
        footballMatch(u"c"_s, u"eng.1"_s, "2026-12-06T12:00:00Z", matchStatus::paused),
        footballMatch(u"c"_s, u"eng.1"_s, "2026-12-06T12:00:00Z", matchStatus::finished),
        footballMatch(u"fresh"_s, u"eng.1"_s, "2026-12-06T11:00:00Z", matchStatus::paused),
    };
    EXPECT_EQ(describe(mergeFootballFixtures(current, fetched, u"eng.1"_s)),
        (QStringList {u"c/FINISHED"_s, u"a/IN_PLAY"_s, u"b/SCHEDULED"_s, u"fresh/PAUSED"_s}));
}

TEST(ScheduleWindow, RunsFromLocalMidnightToMidnightThirteenDaysLater)
{
    const std::tuple<const char *, QTimeZone, const char *, const char *> cases[] = {
        {"2026-12-31T20:00:00Z", QTimeZone(10 * 3600), "2026-12-31T14:00:00Z", "2027-01-13T14:00:00Z"},
        // Across the change to summer time the window keeps to local midnight.
        {"2027-03-20T12:00:00Z", QTimeZone("Europe/London"), "2027-03-20T00:00:00Z", "2027-04-01T23:00:00Z"},
    };
    for (const auto &[now, zone, start, end] : cases) {
        const footballPacing::ScheduleWindow window = footballPacing::scheduleWindow(utc(now), zone);
        EXPECT_EQ(window.start, utc(start)) << now;
        EXPECT_EQ(window.end, utc(end)) << now;
    }
}

} // namespace
} // namespace ribbex::test
