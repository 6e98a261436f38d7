#include "football_test_support.h"
#include "sources/football/football_pacing.h"

#include <QCoroTask>
#include <QEventLoop>
#include <QNetworkReply>
#include <QTimer>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString eng = u"eng.1"_s;
const QString ger = u"ger.1"_s;
const QString ita = u"ita.1"_s;
const QString noLiveMatches = u"No Live Matches"_s;

QString monitoring(int count)
{
    return u"Monitoring %1 live fixture%2 \u00B7 45-second updates"_s.arg(count).arg(count == 1 ? u""_s : u"s"_s);
}

TEST_F(FootballRefreshTest, OpeningChecksRefuseThePassWithoutATrace)
{
    struct Case {
        FootballCompetitionSet selection;
        bool enabled;
        bool alreadyRunning;
        QString status;
        std::optional<double> delay;
    };
    const Case cases[] = {
        {{FootballCompetition::premierLeague}, false, false, u"Not refreshed yet"_s, std::nullopt},
        {{FootballCompetition::premierLeague}, true, true, u"Not refreshed yet"_s, 1.0},
        {{}, true, false, u"Select at least one competition"_s, std::nullopt},
    };
    for (const Case &c : cases) {
        select(c.selection, c.enabled);
        model->bookkeeping().isUpdatingFootball = c.alreadyRunning;
        runPass();
        EXPECT_EQ(model->footballStatus(), c.status);
        EXPECT_EQ(model->bookkeeping().isUpdatingFootball, c.alreadyRunning);
        EXPECT_EQ(refresh->nextFootballRefreshDelay(clock.now()), c.delay) << c.status.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(passesFinished, 0);
    EXPECT_FALSE(storedCache());
}

TEST_F(FootballRefreshTest, AFirstPassFetchesEveryScheduleOnceAndWritesTheCache)
{
    select(allFootballCompetitionSet());
    schedules[eng] = {{u"tonight"_s, utc("2026-12-06T18:00:00Z")}, {u"last-week"_s, utc("2026-11-29T15:00:00Z")}};
    runPass();

    for (const FootballCompetition competition : allFootballCompetitions())
        EXPECT_EQ(requestCount(id(competition), false), 1) << id(competition).toStdString();
    EXPECT_EQ(server.requests().size(), 14);
    const SourceBookkeeping &book = model->bookkeeping();
    EXPECT_EQ(book.footballScheduleRefreshedAt.size(), 14);
    EXPECT_EQ(book.footballScheduleRefreshedAt.value(u"uefa.europa.conf"_s), clock.now());
    EXPECT_FALSE(book.isUpdatingFootball);
    EXPECT_EQ(passesFinished, 1);
    EXPECT_EQ(model->footballStatus(), noLiveMatches);
    ASSERT_EQ(model->footballMatches().size(), 1); // last week lies outside the window asked for
    EXPECT_EQ(storedCache(), (FootballFixtureCache {model->footballMatches(), book.footballScheduleRefreshedAt}));
    // A kick-off within a day makes schedules hourly; the next one is due before it.
    EXPECT_EQ(refresh->nextFootballRefreshDelay(clock.now()), 3600.0);
}

struct ScheduleAgeCase {
    const char *name;
    qint64 kickOffIn;
    const char *state;
    double delayAfterPass;
    qint64 stillFreshAfter;
    qint64 dueAfter;
};

class ScheduleAge : public FootballRefreshTest, public testing::WithParamInterface<ScheduleAgeCase> { };

TEST_P(ScheduleAge, FollowsTheNextSelectedKickOff)
{
    const ScheduleAgeCase &c = GetParam();
    const QDateTime start = clock.now();
    select({FootballCompetition::premierLeague});
    schedules[eng] = {{u"fixture"_s, start.addSecs(c.kickOffIn), QString::fromLatin1(c.state)}};
    runPass();
    EXPECT_EQ(refresh->nextFootballRefreshDelay(start), c.delayAfterPass);
    clock.set(start.addSecs(c.stillFreshAfter));
    runPass();
    EXPECT_EQ(requestCount(eng, false), 1);
    clock.set(start.addSecs(c.dueAfter));
    runPass();
    EXPECT_EQ(requestCount(eng, false), 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduleAge,
    testing::Values(ScheduleAgeCase {"KickOffWithinADay", 23 * 3600, "pre", 3600, 3599, 3600},
        ScheduleAgeCase {"KickOffFurtherAway", 31 * 3600, "pre", 21600, 21599, 21600},
        // Running already: it paces live polls, not schedules.
        ScheduleAgeCase {"KickedOffTenMinutesAgo", -600, "in", 45, 3600, 21600}),
    [](const testing::TestParamInfo<ScheduleAgeCase> &param) { return std::string(param.param.name); });

TEST_F(FootballRefreshTest, AFailedScheduleBacksOffFiveMinutes)
{
    select({FootballCompetition::premierLeague});
    overrides[eng] = {.status = 429};
    const QDateTime noon = clock.now();
    runPass();
    EXPECT_EQ(model->footballStatus(),
        u"ESPN update issue \u00B7 England Premier League: ESPN is rate limiting score "
        u"requests. The app will retry later."_s);
    EXPECT_EQ(refresh->nextFootballRefreshDelay(noon.addSecs(60)), 240.0);

    overrides.clear();
    clock.set(noon.addSecs(299));
    runPass();
    EXPECT_EQ(requestCount(eng, false), 1);
    clock.set(noon.addSecs(300));
    runPass();
    EXPECT_EQ(requestCount(eng, false), 2);
    EXPECT_EQ(model->footballStatus(), noLiveMatches);
    EXPECT_FALSE(model->bookkeeping().footballScheduleRetryAfter.contains(eng));
}

TEST_F(FootballRefreshTest, LiveScoresArePolledEveryFortyFiveSeconds)
{
    select({FootballCompetition::premierLeague});
    model->bookkeeping().footballScheduleRefreshedAt[eng] = clock.now();
    model->setFootballMatches({footballMatch(u"k"_s, eng, utc("2026-12-06T11:00:00Z"), matchStatus::inPlay)});
    live[eng] = {{u"k"_s, utc("2026-12-06T11:00:00Z"), u"in"_s, u"67'"_s}};
    runPass();
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].query.queryItemValue(u"dates"_s), u"20261206"_s);
    EXPECT_EQ(model->footballMatches().value(0).minute, 67);
    EXPECT_EQ(storedCache()->fixtures, model->footballMatches());
    EXPECT_EQ(model->footballStatus(), monitoring(1));

    const std::pair<qint64, qsizetype> steps[] = {{30, 1}, {45, 2}}; // seconds after the first poll
    const QDateTime firstPoll = clock.now();
    for (const auto &[after, requests] : steps) {
        EXPECT_EQ(refresh->nextFootballRefreshDelay(firstPoll.addSecs(after)),
            std::max(45.0 - static_cast<double>(after), 1.0));
        clock.set(firstPoll.addSecs(after));
        runPass();
        EXPECT_EQ(requestCount(eng, true), requests) << after;
    }
}

TEST_F(FootballRefreshTest, TheLiveWindowRunsFromKickOffForTwoAndAHalfHours)
{
    struct Step {
        const char *time;
        double delay;
        qsizetype liveRequests;
        QString status;
    };
    const Step steps[] = {
        {"2026-12-06T14:59:59Z", 1, 0, noLiveMatches}, {"2026-12-06T15:00:00Z", 1, 1, monitoring(1)},
        {"2026-12-06T17:29:59Z", 1, 2, monitoring(1)},
        {"2026-12-06T17:30:00Z", 21600, 2, noLiveMatches}, // still "in play": ESPN never said it ended
    };
    select({FootballCompetition::premierLeague});
    model->setFootballMatches({footballMatch(u"k"_s, eng, utc("2026-12-06T15:00:00Z"))});
    live[eng] = {{u"k"_s, utc("2026-12-06T15:00:00Z"), u"in"_s}};
    for (const Step &step : steps) {
        clock.set(utc(step.time));
        model->bookkeeping().footballScheduleRefreshedAt[eng] = clock.now();
        EXPECT_EQ(refresh->nextFootballRefreshDelay(clock.now()), step.delay) << step.time;
        runPass();
        EXPECT_EQ(requestCount(eng, true), step.liveRequests) << step.time;
        EXPECT_EQ(model->footballStatus(), step.status) << step.time;
    }
}

TEST_F(FootballRefreshTest, TheStatusCountsEveryActiveFixtureAndEachCompetitionIsPolledOnce)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga});
    SourceBookkeeping &book = model->bookkeeping();
    book.footballScheduleRefreshedAt[eng] = book.footballScheduleRefreshedAt[ger] = clock.now();
    book.footballScorePolledAt[ger] = clock.now().addSecs(-10);
    model->setFootballMatches({footballMatch(u"e1"_s, eng, utc("2026-12-06T11:00:00Z"), matchStatus::inPlay),
        footballMatch(u"g1"_s, ger, utc("2026-12-06T11:15:00Z"), matchStatus::inPlay),
        footballMatch(u"e2"_s, eng, utc("2026-12-06T11:30:00Z"), matchStatus::paused)});
    runPass();
    EXPECT_EQ(requestCount(eng, true), 1);
    EXPECT_EQ(requestCount(ger, true), 0);
    EXPECT_EQ(model->footballStatus(), monitoring(3));
    EXPECT_EQ(refresh->nextFootballRefreshDelay(clock.now()), 35.0);
}

TEST_F(FootballRefreshTest, ErrorsAreListedInTheOrderTheyArrive)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga, FootballCompetition::serieA});
    model->bookkeeping().footballScheduleRefreshedAt[ita] = clock.now();
    model->setFootballMatches({footballMatch(u"i1"_s, ita, utc("2026-12-06T11:00:00Z"), matchStatus::inPlay)});
    overrides[eng] = {.status = 500, .delay = 400ms}; // asked first, answered last
    overrides[ger] = {.status = 503};
    overrides[ita] = {.status = 429};
    runPass();
    EXPECT_EQ(model->footballStatus(),
        u"ESPN update issue \u00B7 Germany Bundesliga: ESPN returned HTTP 503.; England Premier League: ESPN "
        u"returned HTTP 500.; ESPN is rate limiting score requests. The app will retry later."_s);
    EXPECT_EQ(model->bookkeeping().footballScheduleRetryAfter.value(eng), clock.now().addSecs(300));
    EXPECT_EQ(model->bookkeeping().footballScorePolledAt.value(ita), clock.now());
    EXPECT_EQ(passesFinished, 1);
}

TEST_F(FootballRefreshTest, SwitchingFootballOffDuringSchedulesEndsThePassThere)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga});
    model->bookkeeping().footballScheduleRefreshedAt[ger] = clock.now();
    model->setFootballMatches({footballMatch(u"g1"_s, ger, utc("2026-12-06T11:00:00Z"), matchStatus::inPlay)});
    onRequest = [this](const HttpTestRequest &) {
        select({FootballCompetition::premierLeague, FootballCompetition::bundesliga}, false);
    };
    runPass();
    EXPECT_EQ(requestCount(ger, true), 0);
    EXPECT_EQ(model->footballStatus(), u"Not refreshed yet"_s);
    EXPECT_EQ(passesFinished, 1);
    EXPECT_FALSE(model->bookkeeping().isUpdatingFootball);
    EXPECT_TRUE(storedCache());
}

TEST_F(FootballRefreshTest, CompetitionSwitchesStoreTheSelectionAndStartAPass)
{
    RibbexSettings settings = model->settings();
    settings.selectedFootballCompetitions.reset();
    model->setSettings(settings);
    refresh->setFootballCompetition(FootballCompetition::faCup, false);
    FootballCompetitionSet expected = allFootballCompetitionSet();
    expected.erase(FootballCompetition::faCup);
    EXPECT_EQ(model->settings().selectedFootballCompetitions, expected);

    select({FootballCompetition::premierLeague});
    model->bookkeeping().footballScheduleRefreshedAt[eng] = clock.now().addSecs(-60);
    QEventLoop loop;
    model->onFootballRefreshFinished = [&] { loop.quit(); };
    QTimer::singleShot(10s, &loop, &QEventLoop::quit); // only a guard against hanging
    refresh->setFootballCompetition(FootballCompetition::premierLeague, true);
    EXPECT_FALSE(model->bookkeeping().footballScheduleRefreshedAt.contains(eng));
    loop.exec();
    EXPECT_EQ(requestCount(eng, false), 1);
    EXPECT_EQ(model->bookkeeping().footballScheduleRefreshedAt.value(eng), clock.now());
}

TEST_F(FootballRefreshTest, RefreshingSchedulesSkipsOnlyCompetitionsBackingOff)
{
    select({FootballCompetition::premierLeague, FootballCompetition::bundesliga});
    SourceBookkeeping &book = model->bookkeeping();
    book.footballScheduleRefreshedAt[eng] = book.footballScheduleRefreshedAt[ger] = clock.now();
    book.footballScheduleRetryAfter[ger] = clock.now().addSecs(120);
    QCoro::waitFor(refresh->refreshFootballSchedules());
    EXPECT_EQ(requestCount(eng, false), 1);
    EXPECT_EQ(requestCount(ger, false), 0);
}

TEST_F(FootballRefreshTest, FixturesOlderThanFourteenDaysLeaveTheCache)
{
    const QList<FootballMatch> past {footballMatch(u"old"_s, eng, utc("2026-11-21T11:00:00Z"), matchStatus::finished),
        footballMatch(u"recent"_s, eng, utc("2026-11-23T15:00:00Z"), matchStatus::finished)};
    select({FootballCompetition::premierLeague});
    model->setFootballMatches(past);
    runPass();
    EXPECT_EQ(storedCache()->fixtures, past.sliced(1));

    ASSERT_TRUE(cacheStore.write(FootballFixtureCache::preferencesKey, encodeFixtureCache({past, {}})));
    const SettingsModel restarted(ModelServices {settingsStore, cacheStore, loginItems, clock, false});
    EXPECT_EQ(restarted.footballMatches(), past.sliced(1));
}

TEST_F(FootballRefreshTest, APassWhoseRefreshIsGoneStopsWithoutTouchingTheModel)
{
    select({FootballCompetition::premierLeague});
    overrides[eng] = {.body = scoreboardDocument({{u"k"_s, utc("2026-12-06T15:00:00Z")}})};
    QEventLoop loop;
    QObject::connect(&network, &QNetworkAccessManager::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10s, &loop, &QEventLoop::quit); // only a guard against hanging
    refresh->setFootballCompetition(FootballCompetition::premierLeague, true);
    delete refresh;
    loop.exec();
    EXPECT_EQ(requestCount(eng, false), 1);
    EXPECT_TRUE(model->footballMatches().isEmpty());
    EXPECT_EQ(passesFinished, 0);
}

TEST(ScheduleWindow, RunsFromLocalMidnightToMidnightThirteenDaysLater)
{
    struct Case {
        const char *now;
        QTimeZone zone;
        const char *start;
        const char *end;
    };
    const Case cases[] = {
        {"2026-12-31T20:00:00Z", QTimeZone(10 * 3600), "2026-12-31T14:00:00Z", "2027-01-13T14:00:00Z"},
        // Across the change to summer time the window keeps to local midnight.
        {"2027-03-20T12:00:00Z", QTimeZone("Europe/London"), "2027-03-20T00:00:00Z", "2027-04-01T23:00:00Z"},
    };
    for (const Case &c : cases) {
        const footballPacing::ScheduleWindow window = footballPacing::scheduleWindow(utc(c.now), c.zone);
        EXPECT_EQ(window.start, utc(c.start)) << c.now;
        EXPECT_EQ(window.end, utc(c.end)) << c.now;
    }
}

} // namespace
} // namespace ribbex::test
