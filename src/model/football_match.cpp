#include "model/football_match.h"

#include "model/reference_time.h"
#include "json/json_fields.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace ribbex {

// The fixture cache's records, as stored.
bool readValue(JsonReader &reader, FootballMatch::Team &team);
bool readValue(JsonReader &reader, FootballMatch::Competition &competition);
bool readValue(JsonReader &reader, FootballMatch::Score::FullTime &fullTime);
bool readValue(JsonReader &reader, FootballMatch::Score &score);
bool readValue(JsonReader &reader, FootballMatch &match);

namespace {

using namespace Qt::StringLiterals;

// A point in time as seconds since 2001-01-01.
bool readTime(JsonReader &reader, QDateTime &out)
{
    double seconds = 0;
    if (!reader.readDouble(seconds))
        return false;
    const std::optional<QDateTime> time = fromReferenceSeconds(seconds);
    if (time)
        out = *time;
    return time.has_value();
}

template<auto Field, typename Record> bool timeField(JsonReader &reader, Record &record)
{
    return readTime(reader, record.*Field);
}

constexpr std::array<json::Member<FootballMatch::Team>, 2> teamMembers {{
    json::required<&FootballMatch::Team::name>("name"),
    json::optional<&FootballMatch::Team::shortName>("shortName"),
}};

constexpr std::array<json::Member<FootballMatch::Competition>, 2> competitionMembers {{
    json::required<&FootballMatch::Competition::name>("name"),
    json::required<&FootballMatch::Competition::code>("code"),
}};

constexpr std::array<json::Member<FootballMatch::Score::FullTime>, 2> fullTimeMembers {{
    json::optional<&FootballMatch::Score::FullTime::home>("home"),
    json::optional<&FootballMatch::Score::FullTime::away>("away"),
}};

constexpr std::array<json::Member<FootballMatch::Score>, 1> scoreMembers {{
    json::required<&FootballMatch::Score::fullTime>("fullTime"),
}};

constexpr std::array<json::Member<FootballMatch>, 8> matchMembers {{
    json::required<&FootballMatch::id>("id"),
    {"utcDate", timeField<&FootballMatch::utcDate>},
    json::required<&FootballMatch::status>("status"),
    json::optional<&FootballMatch::minute>("minute"),
    json::required<&FootballMatch::homeTeam>("homeTeam"),
    json::required<&FootballMatch::awayTeam>("awayTeam"),
    json::required<&FootballMatch::competition>("competition"),
    json::required<&FootballMatch::score>("score"),
}};

// Competition code -> time of the last schedule fetch.
bool readRefreshTimes(JsonReader &reader, FootballFixtureCache &cache)
{
    return reader.readObject([&](std::string_view code) {
        QDateTime time;
        if (!readTime(reader, time))
            return false;
        cache.scheduleRefreshedAt.insert(QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size())), time);
        return true;
    });
}

constexpr std::array<json::Member<FootballFixtureCache>, 2> cacheMembers {{
    json::required<&FootballFixtureCache::fixtures>("fixtures"),
    {"scheduleRefreshedAt", readRefreshTimes},
}};

QJsonObject encodeTeam(const FootballMatch::Team &team)
{
    QJsonObject o {{u"name"_s, team.name}};
    json::putOptional(o, u"shortName"_s, team.shortName);
    return o;
}

QJsonObject encodeScore(const FootballMatch::Score &score)
{
    QJsonObject fullTime;
    json::putOptional(fullTime, u"home"_s, score.fullTime.home);
    json::putOptional(fullTime, u"away"_s, score.fullTime.away);
    return {{u"fullTime"_s, fullTime}};
}

QJsonObject encodeMatch(const FootballMatch &match)
{
    QJsonObject o {
        {u"id"_s, match.id},
        {u"utcDate"_s, toReferenceSeconds(match.utcDate)},
        {u"status"_s, match.status},
        {u"homeTeam"_s, encodeTeam(match.homeTeam)},
        {u"awayTeam"_s, encodeTeam(match.awayTeam)},
        {u"competition"_s, QJsonObject {{u"name"_s, match.competition.name}, {u"code"_s, match.competition.code}}},
        {u"score"_s, encodeScore(match.score)},
    };
    json::putOptional(o, u"minute"_s, match.minute);
    return o;
}

} // namespace

bool FootballMatch::isInPlay() const
{
    return status == matchStatus::inPlay || status == matchStatus::paused || status == matchStatus::extraTime
        || status == matchStatus::penaltyShootout;
}

bool FootballMatch::isInLiveWindow(const QDateTime &time) const
{
    return !isFinished() && utcDate <= time && time < utcDate.addSecs(liveWindowSeconds);
}

bool FootballMatch::hasResult() const
{
    return (isInPlay() || isFinished()) && score.fullTime.home && score.fullTime.away;
}

QByteArray encodeFixtureCache(const FootballFixtureCache &cache)
{
    QJsonArray fixtures;
    for (const FootballMatch &match : cache.fixtures)
        fixtures.append(encodeMatch(match));
    QJsonObject refreshedAt;
    for (auto it = cache.scheduleRefreshedAt.constBegin(); it != cache.scheduleRefreshedAt.constEnd(); ++it)
        refreshedAt.insert(it.key(), toReferenceSeconds(it.value()));
    const QJsonObject document {{u"fixtures"_s, fixtures}, {u"scheduleRefreshedAt"_s, refreshedAt}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

std::optional<FootballFixtureCache> decodeFixtureCache(const QByteArray &document)
{
    return json::readDocument(document, cacheMembers);
}

bool readValue(JsonReader &reader, FootballMatch::Team &team)
{
    return json::readObject(reader, team, teamMembers);
}

bool readValue(JsonReader &reader, FootballMatch::Competition &competition)
{
    return json::readObject(reader, competition, competitionMembers);
}

bool readValue(JsonReader &reader, FootballMatch::Score::FullTime &fullTime)
{
    return json::readObject(reader, fullTime, fullTimeMembers);
}

bool readValue(JsonReader &reader, FootballMatch::Score &score)
{
    return json::readObject(reader, score, scoreMembers);
}

bool readValue(JsonReader &reader, FootballMatch &match)
{
    return json::readObject(reader, match, matchMembers);
}

QList<FootballMatch> pruneStaleFixtures(QList<FootballMatch> fixtures, const QDateTime &now)
{
    constexpr qint64 keepingSeconds = 14 * 86400;
    const QDateTime oldestKept = now.addSecs(-keepingSeconds);
    fixtures.removeIf([&](const FootballMatch &match) { return match.utcDate < oldestKept; });
    return fixtures;
}

} // namespace ribbex
