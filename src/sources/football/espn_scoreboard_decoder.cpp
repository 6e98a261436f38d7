#include "sources/football/espn_scoreboard_decoder.h"

#include "sources/net/plain_text.h"
#include "json/json_reader.h"

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;
using Response = ESPNScoreboardResponse;

template<typename T, typename Read> bool readOptional(JsonReader &reader, std::optional<T> &out, Read read)
{
    if (reader.peek() == JsonReader::Type::null) {
        out.reset();
        return reader.readNull();
    }
    T value {};
    if (!read(reader, value))
        return false;
    out = std::move(value);
    return true;
}

bool readString(JsonReader &reader, QString &out)
{
    return reader.readString(out);
}

bool readBool(JsonReader &reader, bool &out)
{
    return reader.readBool(out);
}

template<typename T, typename Read> bool readList(JsonReader &reader, QList<T> &out, Read read)
{
    return reader.readArray([&] {
        T item {};
        if (!read(reader, item))
            return false;
        out.append(std::move(item));
        return true;
    });
}

bool readTeam(JsonReader &reader, Response::Team &team)
{
    return reader.readObject([&](std::string_view key) {
        if (key == "displayName")
            return readOptional(reader, team.displayName, readString);
        if (key == "name")
            return readOptional(reader, team.name, readString);
        if (key == "abbreviation")
            return readOptional(reader, team.abbreviation, readString);
        return reader.skipValue();
    });
}

bool readCompetitor(JsonReader &reader, Response::Competitor &competitor)
{
    return reader.readObject([&](std::string_view key) {
        if (key == "homeAway")
            return readOptional(reader, competitor.homeAway, readString);
        // ESPN sends the score as text ("2"); a number there fails the document.
        if (key == "score")
            return readOptional(reader, competitor.score, readString);
        if (key == "team")
            return readOptional(reader, competitor.team, readTeam);
        return reader.skipValue();
    });
}

bool readCompetitors(JsonReader &reader, QList<Response::Competitor> &out)
{
    return readList(reader, out, readCompetitor);
}

bool readEventCompetition(JsonReader &reader, Response::EventCompetition &competition)
{
    return reader.readObject([&](std::string_view key) {
        if (key == "competitors")
            return readOptional(reader, competition.competitors, readCompetitors);
        return reader.skipValue();
    });
}

bool readEventCompetitions(JsonReader &reader, QList<Response::EventCompetition> &out)
{
    return readList(reader, out, readEventCompetition);
}

bool readStatusType(JsonReader &reader, Response::StatusType &type)
{
    return reader.readObject([&](std::string_view key) {
        if (key == "name")
            return readOptional(reader, type.name, readString);
        if (key == "state")
            return readOptional(reader, type.state, readString);
        if (key == "completed")
            return readOptional(reader, type.completed, readBool);
        return reader.skipValue();
    });
}

bool readStatus(JsonReader &reader, Response::Status &status)
{
    return reader.readObject([&](std::string_view key) {
        if (key == "displayClock")
            return readOptional(reader, status.displayClock, readString);
        if (key == "type")
            return readOptional(reader, status.type, readStatusType);
        return reader.skipValue();
    });
}

bool readEvent(JsonReader &reader, Response::Event &event)
{
    bool hasId = false;
    bool hasDate = false;
    const bool ok = reader.readObject([&](std::string_view key) {
        if (key == "id") {
            hasId = reader.readString(event.id);
            return hasId;
        }
        if (key == "date") {
            hasDate = reader.readString(event.date);
            return hasDate;
        }
        if (key == "status")
            return readOptional(reader, event.status, readStatus);
        if (key == "competitions")
            return readOptional(reader, event.competitions, readEventCompetitions);
        return reader.skipValue();
    });
    return ok && hasId && hasDate;
}

// The service sends at most the 500 events asked for; more are only checked, not kept.
bool readEvents(JsonReader &reader, QList<Response::Event> &out)
{
    constexpr qsizetype maxEvents = 1000;
    return reader.readArray([&] {
        if (out.size() >= maxEvents)
            return reader.skipValue();
        return readEvent(reader, out.emplace_back());
    });
}

QString matchStatusOf(const std::optional<Response::Status> &status)
{
    const std::optional<Response::StatusType> type = status ? status->type : std::nullopt;
    const QString name = type ? type->name.value_or(QString()) : QString();
    const QString state = type ? type->state.value_or(QString()) : QString();
    // ESPN can leave state "in" on a match it already marks completed, so "over" is checked first.
    if ((type && type->completed.value_or(false)) || state == u"post" || name.contains(u"FINAL"))
        return matchStatus::finished;
    if (name.contains(u"EXTRA"))
        return matchStatus::extraTime;
    // ESPN names a shoot-out STATUS_SHOOTOUT, with no "PENALTY" in it.
    if (name.contains(u"PENALTY") || name.contains(u"SHOOTOUT"))
        return matchStatus::penaltyShootout;
    // ESPN keeps state "in" through half-time; only the name tells the break apart.
    if (name.contains(u"HALFTIME"))
        return matchStatus::paused;
    if (state == u"in" || name.contains(u"IN_PROGRESS"))
        return matchStatus::inPlay;
    return matchStatus::scheduled;
}

// A whole decimal number with an optional sign, as ESPN writes scores; nothing for "" or "1.5".
std::optional<qint64> wholeNumber(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    const QStringView digits
        = text->startsWith(u'+') || text->startsWith(u'-') ? QStringView(*text).sliced(1) : QStringView(*text);
    if (digits.isEmpty() || !std::ranges::all_of(digits, [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text->toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

const Response::Competitor *firstSide(const QList<Response::Competitor> &competitors, QStringView side)
{
    const auto it
        = std::ranges::find_if(competitors, [side](const Response::Competitor &c) { return c.homeAway == side; });
    return it == competitors.end() ? nullptr : &*it;
}

FootballMatch::Team teamOf(const Response::Team &team, const QString &fallbackName)
{
    constexpr qsizetype longestName = 100;
    const std::optional<QString> abbreviation
        = team.abbreviation ? std::optional(plainText(*team.abbreviation, longestName)) : std::nullopt;
    return {plainText(team.displayName.value_or(team.name.value_or(fallbackName)), longestName), abbreviation};
}

std::optional<FootballMatch> matchOf(FootballCompetition competition, const Response::Event &event)
{
    const std::optional<QDateTime> kickOff = espn::parseDate(event.date);
    if (!kickOff || !event.competitions || event.competitions->isEmpty())
        return std::nullopt;
    const std::optional<QList<Response::Competitor>> &competitors = event.competitions->first().competitors;
    if (!competitors)
        return std::nullopt;
    const Response::Competitor *home = firstSide(*competitors, u"home");
    const Response::Competitor *away = firstSide(*competitors, u"away");
    if (!home || !away || !home->team || !away->team)
        return std::nullopt;
    return FootballMatch {
        plainText(event.id),
        *kickOff,
        matchStatusOf(event.status),
        espn::minute(event.status ? event.status->displayClock : std::nullopt),
        teamOf(*home->team, u"Home"_s),
        teamOf(*away->team, u"Away"_s),
        {title(competition), id(competition)},
        {{wholeNumber(home->score), wholeNumber(away->score)}},
    };
}

} // namespace

namespace espn {

std::optional<ESPNScoreboardResponse> decodeResponse(const QByteArray &body)
{
    // Read in one pass without a document tree: a year of a league runs to megabytes of which
    // we want a few fields.
    JsonReader reader(body);
    ESPNScoreboardResponse response;
    const bool ok = reader.readObject([&](std::string_view key) {
        if (key == "events")
            return readOptional(reader, response.events, readEvents);
        return reader.skipValue();
    });
    if (!ok || !reader.atEnd())
        return std::nullopt;
    return response;
}

QList<FootballMatch> decode(FootballCompetition competition, const QList<ESPNScoreboardResponse::Event> &events)
{
    QList<FootballMatch> matches;
    matches.reserve(events.size());
    for (const ESPNScoreboardResponse::Event &event : events) {
        if (std::optional<FootballMatch> match = matchOf(competition, event))
            matches.append(std::move(*match));
    }
    return matches;
}

} // namespace espn
} // namespace ribbex
