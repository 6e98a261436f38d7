#include "football_test_support.h"
#include "sources/football/espn_scoreboard_decoder.h"

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST(EspnParseDate, ReadsTheThreeFormsWithAZoneAndNothingElse)
{
    const std::pair<QString, std::optional<QDateTime>> cases[] = {
        {u"2025-08-17T14:00:00.000Z"_s, utc("2025-08-17T14:00:00Z")},
        {u"2025-08-17T14:00:05.25Z"_s, utc("2025-08-17T14:00:05.250Z")},
        {u"2025-08-17T14:00:00Z"_s, utc("2025-08-17T14:00:00Z")},
        {u"2025-08-17T14:00Z"_s, utc("2025-08-17T14:00:00Z")},
        {u"2025-08-17T15:00+01:00"_s, utc("2025-08-17T14:00:00Z")},
        {u"2025-08-17T09:30:15-04:30"_s, utc("2025-08-17T14:00:15Z")},
        {u"2025-08-17T14:00"_s, std::nullopt},
        {u"2025-08-17"_s, std::nullopt},
        {u"2025-08-17 14:00Z"_s, std::nullopt},
        {u"2025-02-30T14:00Z"_s, std::nullopt},
        {u"2025-08-17T24:00Z"_s, std::nullopt},
        {u"2025-08-17T14:00:00.Z"_s, std::nullopt},
        {u"2025-08-17T14:00Zulu"_s, std::nullopt},
        {u"2025-08-17T14:00+0100"_s, std::nullopt},
        {QString(), std::nullopt},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(espn::parseDate(text), expected) << text.toStdString();
}

TEST(EspnMinute, TakesTheLeadingNumberOfTheClock)
{
    const std::pair<std::optional<QString>, std::optional<qint64>> cases[] = {
        {u"67'"_s, 67}, {u"45'+2'"_s, 45}, {u"90:00"_s, 90}, {u"::12:30"_s, 12}, {u"0'"_s, 0}, {u"HT"_s, std::nullopt},
        {u"'5"_s, std::nullopt}, {u":::"_s, std::nullopt}, {QString(), std::nullopt}, {std::nullopt, std::nullopt},
        {u"\u0663'"_s, std::nullopt}, // an Arabic-Indic three
        {u"1\u00BD"_s, std::nullopt}, // a vulgar fraction
        {u"99999999999999999999'"_s, std::nullopt}, // past 64 bits
    };
    for (const auto &[clock, expected] : cases)
        EXPECT_EQ(espn::minute(clock), expected) << clock.value_or(u"(absent)"_s).toStdString();
}

TEST(EspnDateKey, IsTheUtcDayWithoutSeparators)
{
    EXPECT_EQ(espn::dateKey(utc("2025-08-17T23:30:00Z")), u"20250817"_s);
    EXPECT_EQ(espn::dateKey(utc("2025-08-18T00:30:00+02:00")), u"20250817"_s);
    EXPECT_EQ(espn::dateKey(utc("0999-01-05T12:00:00Z")), u"09990105"_s);
    EXPECT_EQ(espn::dateKey(QDateTime()), u"20000101"_s);
}

TEST(EspnScoreboard, MapsEachStateAndDropsEventsThatCannotBeMatches)
{
    const std::optional<ESPNScoreboardResponse> response = espn::decodeResponse(fixtureFile("scoreboard_states.json"));
    ASSERT_TRUE(response && response->events);
    const QList<FootballMatch> matches = espn::decode(FootballCompetition::premierLeague, *response->events);

    struct Expected {
        QString id;
        QString status;
        std::optional<qint64> minute;
        QString home;
        QString away;
        std::optional<qint64> homeScore;
        std::optional<qint64> awayScore;
    };
    const Expected expected[] = {
        {u"scheduled"_s, matchStatus::scheduled, 0, u"Arsenal"_s, u"Chelsea"_s, 0, std::nullopt},
        {u"live"_s, matchStatus::inPlay, 67, u"Liverpool"_s, u"Everton"_s, 2, 1},
        {u"half-time"_s, matchStatus::paused, 45, u"Fulham"_s, u"Brentford"_s, 0, 0},
        {u"finished"_s, matchStatus::finished, 90, u"Leeds United"_s, u"Burnley"_s, 3, 3},
        {u"extra-time"_s, matchStatus::extraTime, 105, u"Newcastle United"_s, u"Aston Villa"_s, 1, 1},
        {u"shoot-out"_s, matchStatus::penaltyShootout, 120, u"Brighton"_s, u"Wolves"_s, 2, 2},
        {u"post-state"_s, matchStatus::finished, std::nullopt, u"Bournemouth"_s, u"Sunderland"_s, 1, 0},
        {u"away-first"_s, matchStatus::scheduled, std::nullopt, u"Spurs"_s, u"Away"_s, -1, std::nullopt},
    };
    ASSERT_EQ(matches.size(), std::size(expected));
    for (qsizetype i = 0; i < matches.size(); ++i) {
        const FootballMatch &match = matches[i];
        const Expected &want = expected[i];
        SCOPED_TRACE(want.id.toStdString());
        EXPECT_EQ(match.id, want.id);
        EXPECT_EQ(match.status, want.status);
        EXPECT_EQ(match.minute, want.minute);
        EXPECT_EQ(match.homeTeam.name, want.home);
        EXPECT_EQ(match.awayTeam.name, want.away);
        EXPECT_EQ(match.score.fullTime.home, want.homeScore);
        EXPECT_EQ(match.score.fullTime.away, want.awayScore);
        EXPECT_EQ(match.competition, (FootballMatch::Competition {u"England Premier League"_s, u"eng.1"_s}));
    }
    EXPECT_EQ(matches[0].homeTeam.shortName, u"ARS"_s);
    EXPECT_EQ(matches[0].utcDate, utc("2025-08-17T14:00:00Z"));
    EXPECT_EQ(matches[3].utcDate, utc("2025-08-17T11:30:00Z"));
    EXPECT_EQ(matches[7].awayTeam.shortName, std::nullopt);
}

TEST(EspnScoreboard, AWronglyTypedValueAnywhereFailsTheWholeDocument)
{
    const auto document = [](const char *event) -> QByteArray {
        return QByteArray(R"({"events":[{"id":"1","date":"2025-08-17T14:00Z"},)") + event + "]}";
    };
    const std::pair<QByteArray, bool> cases[] = {
        {"{}", true},
        {R"({"events":null,"leagues":"anything"})", true},
        {document(R"({"id":"2","date":"x","status":null,"competitions":[{"competitors":[{"team":null}]}]})"), true},
        {"{\"events\":[", false},
        {fixtureFile("scoreboard_states.json").chopped(200), false},
        {"[]", false},
        {R"({"events":{}})", false},
        {document(R"({"id":2,"date":"2025-08-17T14:00Z"})"), false},
        {document(R"({"id":"2"})"), false},
        {document(R"({"id":"2","date":"2025-08-17T14:00Z","status":"in"})"), false},
        {document(R"({"id":"2","date":"x","status":{"displayClock":67}})"), false},
        {document(R"({"id":"2","date":"x","status":{"type":{"completed":"true"}}})"), false},
        {document(R"({"id":"2","date":"x","competitions":{}})"), false},
        {document(R"({"id":"2","date":"x","competitions":[{"competitors":["home"]}]})"), false},
        {document(R"({"id":"2","date":"x","competitions":[{"competitors":[{"score":2}]}]})"), false},
        {document(R"({"id":"2","date":"x","competitions":[{"competitors":[{"team":{"abbreviation":7}}]}]})"), false},
    };
    for (const auto &[body, readable] : cases)
        EXPECT_EQ(espn::decodeResponse(body).has_value(), readable) << body.toStdString();
}

} // namespace
} // namespace ribbex::test
