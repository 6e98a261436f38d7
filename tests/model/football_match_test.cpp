#include "model/football_match.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

QJsonObject cachedMatch()
{
    return QJsonObject {
        {u"id"_s, u"704512"_s},
        {u"utcDate"_s, 818272800.5},
        {u"status"_s, u"IN_PLAY"_s},
        {u"minute"_s, 67},
        {u"homeTeam"_s, QJsonObject {{u"name"_s, u"Arsenal"_s}, {u"shortName"_s, u"ARS"_s}}},
        {u"awayTeam"_s, QJsonObject {{u"name"_s, u"Chelsea"_s}, {u"shortName"_s, u"CHE"_s}}},
        {u"competition"_s, QJsonObject {{u"name"_s, u"England Premier League"_s}, {u"code"_s, u"eng.1"_s}}},
        {u"score"_s, QJsonObject {{u"fullTime"_s, QJsonObject {{u"home"_s, 2}, {u"away"_s, 1}}}}},
    };
}

QByteArray cacheDocument(const QJsonArray &fixtures, const QJsonValue &refreshedAt = QJsonObject {})
{
    QJsonObject document {{u"fixtures"_s, fixtures}};
    if (!refreshedAt.isUndefined())
        document.insert(u"scheduleRefreshedAt"_s, refreshedAt);
    return QJsonDocument(document).toJson();
}

TEST(FixtureCache, ReadsTimesAsSecondsSince2001AndRoundTrips)
{
    const QByteArray document = cacheDocument({cachedMatch()}, QJsonObject {{u"eng.1"_s, 0}});
    const std::optional<FootballFixtureCache> cache = decodeFixtureCache(document);
    ASSERT_TRUE(cache);
    ASSERT_EQ(cache->fixtures.size(), 1);
    const FootballMatch &match = cache->fixtures.first();
    EXPECT_EQ(match.utcDate, QDateTime(QDate(2026, 12, 6), QTime(18, 0, 0, 500), QTimeZone::utc()));
    EXPECT_EQ(match.minute, 67);
    EXPECT_EQ(match.homeTeam.shortName, u"ARS"_s);
    EXPECT_EQ(match.score.fullTime.away, 1);
    EXPECT_EQ(
        cache->scheduleRefreshedAt.value(u"eng.1"_s), QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()));

    EXPECT_EQ(decodeFixtureCache(encodeFixtureCache(*cache)), cache);
}

TEST(FixtureCache, OptionalKeysMayBeMissing)
{
    QJsonObject match = cachedMatch();
    match.remove(u"minute"_s);
    match.insert(u"homeTeam"_s, QJsonObject {{u"name"_s, u"Arsenal"_s}});
    match.insert(u"score"_s, QJsonObject {{u"fullTime"_s, QJsonObject {}}});

    const std::optional<FootballFixtureCache> cache = decodeFixtureCache(cacheDocument({match}));
    ASSERT_TRUE(cache);
    const FootballMatch &decoded = cache->fixtures.first();
    EXPECT_EQ(decoded.minute, std::nullopt);
    EXPECT_EQ(decoded.homeTeam.shortName, std::nullopt);
    EXPECT_EQ(decoded.score.fullTime.home, std::nullopt);
    EXPECT_EQ(decoded.score.fullTime.away, std::nullopt);

    const QJsonObject written = QJsonDocument::fromJson(encodeFixtureCache(*cache)).object();
    const QJsonObject writtenMatch = written[u"fixtures"_s].toArray().first().toObject();
    EXPECT_FALSE(writtenMatch.contains(u"minute"_s));
    EXPECT_FALSE(writtenMatch[u"homeTeam"_s].toObject().contains(u"shortName"_s));
}

TEST(FixtureCache, OneBadMatchOrMissingKeyMakesTheWholeDocumentUnreadable)
{
    const auto without = [](const QString &key) {
        QJsonObject match = cachedMatch();
        match.remove(key);
        return match;
    };
    const auto with = [](const QString &key, const QJsonValue &value) {
        QJsonObject match = cachedMatch();
        match.insert(key, value);
        return match;
    };
    const std::pair<const char *, QByteArray> cases[] = {
        {"no status", cacheDocument({cachedMatch(), without(u"status"_s)})},
        {"no competition", cacheDocument({without(u"competition"_s)})},
        {"minute with a fraction", cacheDocument({with(u"minute"_s, 67.5)})},
        {"date as text", cacheDocument({with(u"utcDate"_s, u"2026-12-06T18:00:00Z"_s)})},
        {"date beyond any calendar", cacheDocument({with(u"utcDate"_s, 1e300)})},
        {"team without name", cacheDocument({with(u"awayTeam"_s, QJsonObject {{u"shortName"_s, u"CHE"_s}})})},
        {"score as text", cacheDocument({with(u"score"_s, u"2-1"_s)})},
        {"no scheduleRefreshedAt", cacheDocument({cachedMatch()}, QJsonValue::Undefined)},
        {"refresh time as text", cacheDocument({}, QJsonObject {{u"eng.1"_s, u"yesterday"_s}})},
        {"fixtures not an array", QByteArray(R"({"fixtures": {}, "scheduleRefreshedAt": {}})")},
        {"truncated", cacheDocument({cachedMatch()}).chopped(5)},
    };
    for (const auto &[name, document] : cases)
        EXPECT_EQ(decodeFixtureCache(document), std::nullopt) << name;
}

} // namespace
} // namespace ribbex
