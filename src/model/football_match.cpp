#include "model/football_match.h"

#include "model/reference_time.h"
#include "settings/strict_json.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

bool decodeTime(const QJsonValue &value, QDateTime &out)
{
    double seconds = 0;
    if (!json::decode(value, seconds))
        return false;
    const std::optional<QDateTime> time = fromReferenceSeconds(seconds);
    if (!time)
        return false;
    out = *time;
    return true;
}

bool decodeObject(const QJsonValue &value, QJsonObject &out)
{
    if (!value.isObject())
        return false;
    out = value.toObject();
    return true;
}

bool decodeTeam(const QJsonValue &value, FootballMatch::Team &team)
{
    QJsonObject o;
    return decodeObject(value, o) && json::required(o, u"name"_s, team.name)
        && json::optional(o, u"shortName"_s, team.shortName);
}

bool decodeCompetition(const QJsonValue &value, FootballMatch::Competition &competition)
{
    QJsonObject o;
    return decodeObject(value, o) && json::required(o, u"name"_s, competition.name)
        && json::required(o, u"code"_s, competition.code);
}

bool decodeScore(const QJsonValue &value, FootballMatch::Score &score)
{
    QJsonObject o;
    QJsonObject fullTime;
    return decodeObject(value, o) && json::required(o, u"fullTime"_s, fullTime, decodeObject)
        && json::optional(fullTime, u"home"_s, score.fullTime.home)
        && json::optional(fullTime, u"away"_s, score.fullTime.away);
}

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

bool decodeRefreshTimes(const QJsonValue &value, QMap<QString, QDateTime> &out)
{
    QJsonObject o;
    if (!decodeObject(value, o))
        return false;
    for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
        QDateTime time;
        if (!decodeTime(*it, time))
            return false;
        out.insert(it.key(), time);
    }
    return true;
}

bool decodeFixtures(const QJsonValue &value, QList<FootballMatch> &out)
{
    if (!value.isArray())
        return false;
    for (const QJsonValue element : value.toArray()) {
        std::optional<FootballMatch> match = decodeMatch(element);
        if (!match)
            return false;
        out.append(std::move(*match));
    }
    return true;
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

std::optional<FootballMatch> decodeMatch(const QJsonValue &value)
{
    QJsonObject o;
    FootballMatch m;
    const bool ok = decodeObject(value, o) && json::required(o, u"id"_s, m.id)
        && json::required(o, u"utcDate"_s, m.utcDate, decodeTime) && json::required(o, u"status"_s, m.status)
        && json::optional(o, u"minute"_s, m.minute) && json::required(o, u"homeTeam"_s, m.homeTeam, decodeTeam)
        && json::required(o, u"awayTeam"_s, m.awayTeam, decodeTeam)
        && json::required(o, u"competition"_s, m.competition, decodeCompetition)
        && json::required(o, u"score"_s, m.score, decodeScore);
    return ok ? std::optional(std::move(m)) : std::nullopt;
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
    const std::optional<QJsonObject> o = json::parseObject(document);
    FootballFixtureCache cache;
    const bool ok = o && json::required(*o, u"fixtures"_s, cache.fixtures, decodeFixtures)
        && json::required(*o, u"scheduleRefreshedAt"_s, cache.scheduleRefreshedAt, decodeRefreshTimes);
    return ok ? std::optional(std::move(cache)) : std::nullopt;
}

QList<FootballMatch> pruneStaleFixtures(QList<FootballMatch> fixtures, const QDateTime &now)
{
    constexpr qint64 keepingSeconds = 14 * 86400;
    const QDateTime oldestKept = now.addSecs(-keepingSeconds);
    fixtures.removeIf([&](const FootballMatch &match) { return match.utcDate < oldestKept; });
    return fixtures;
}

} // namespace ribbex
