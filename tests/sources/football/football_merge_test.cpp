#include "football_test_support.h"
#include "sources/football/football_merge.h"

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

struct Row {
    QString id;
    QString code;
    const char *kickOff;
    QString status = matchStatus::scheduled;
};

QList<FootballMatch> matchesOf(const QList<Row> &rows)
{
    QList<FootballMatch> matches;
    for (const Row &row : rows)
        matches.append(footballMatch(row.id, row.code, utc(row.kickOff), row.status));
    return matches;
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
    const QList<FootballMatch> current = matchesOf({
        {u"yesterday"_s, u"eng.1"_s, "2026-12-05T15:00:00Z", matchStatus::finished},
        {u"vanished"_s, u"eng.1"_s, "2026-12-06T15:00:00Z"},
        {u"other-league"_s, u"ger.1"_s, "2026-12-06T14:30:00Z"},
        {u"updated"_s, u"eng.1"_s, "2026-12-07T15:00:00Z"},
        {u"window-end"_s, u"eng.1"_s, "2026-12-19T00:00:00Z"},
        {u"after-window"_s, u"eng.1"_s, "2026-12-19T00:00:01Z"},
    });
    const QList<FootballMatch> fetched = matchesOf({
        {u"updated"_s, u"eng.1"_s, "2026-12-07T15:00:00Z", matchStatus::inPlay},
        {u"new"_s, u"eng.1"_s, "2026-12-06T13:00:00Z"},
        {u"updated"_s, u"eng.1"_s, "2026-12-07T15:00:00Z", matchStatus::paused},
        {u"after-window"_s, u"eng.1"_s, "2026-12-19T00:00:01Z", matchStatus::finished},
    });
    const QList<FootballMatch> merged = mergeFootballFixtures(
        current, fetched, FootballCompetition::premierLeague, utc("2026-12-06T00:00:00Z"), utc("2026-12-19T00:00:00Z"));
    EXPECT_EQ(describe(merged),
        (QStringList {u"yesterday/FINISHED"_s, u"new/SCHEDULED"_s, u"other-league/SCHEDULED"_s, u"updated/PAUSED"_s,
            u"after-window/FINISHED"_s}));
}

TEST(LiveMerge, UpdatesInPlaceThenAppendsUnknownMatchesOfTheCompetition)
{
    const QList<FootballMatch> current = matchesOf({
        {u"a"_s, u"eng.1"_s, "2026-12-06T15:00:00Z"},
        {u"b"_s, u"ger.1"_s, "2026-12-06T15:00:00Z"},
        {u"c"_s, u"eng.1"_s, "2026-12-06T12:00:00Z"},
    });
    const QList<FootballMatch> fetched = matchesOf({
        {u"fresh"_s, u"eng.1"_s, "2026-12-06T11:00:00Z", matchStatus::inPlay},
        {u"a"_s, u"eng.1"_s, "2026-12-06T15:00:00Z", matchStatus::inPlay},
        {u"foreign"_s, u"ger.1"_s, "2026-12-06T11:00:00Z"},
        {u"c"_s, u"eng.1"_s, "2026-12-06T12:00:00Z", matchStatus::paused},
        {u"c"_s, u"eng.1"_s, "2026-12-06T12:00:00Z", matchStatus::finished},
        {u"fresh"_s, u"eng.1"_s, "2026-12-06T11:00:00Z", matchStatus::paused},
    });
    EXPECT_EQ(describe(mergeFootballFixtures(current, fetched, u"eng.1"_s)),
        (QStringList {u"c/FINISHED"_s, u"a/IN_PLAY"_s, u"b/SCHEDULED"_s, u"fresh/PAUSED"_s}));
}

TEST(StaleFixtures, KickOffsMoreThanFourteenDaysAgoAreDropped)
{
    const QDateTime now = utc("2026-12-20T12:00:00Z");
    const QList<FootballMatch> kept
        = pruneStaleFixtures(matchesOf({
                                 {u"older"_s, u"eng.1"_s, "2026-12-06T11:59:59Z", matchStatus::finished},
                                 {u"edge"_s, u"eng.1"_s, "2026-12-06T12:00:00Z", matchStatus::finished},
                                 {u"future"_s, u"eng.1"_s, "2026-12-21T12:00:00Z"},
                             }),
            now);
    EXPECT_EQ(describe(kept), (QStringList {u"edge/FINISHED"_s, u"future/SCHEDULED"_s}));
}

} // namespace
} // namespace ribbex::test
