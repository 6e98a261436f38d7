#include "sources/football/espn_scoreboard_decoder.h"

#include "sources/net/plain_text.h"
#include "json/json_fields.h"

namespace ribbex {

using Response = ESPNScoreboardResponse;

// The records of the document, read through the shared member tables; they are found by
// argument-dependent lookup from the readers of optional values and lists.
bool readValue(JsonReader &reader, Response::Team &team);
bool readValue(JsonReader &reader, Response::Competitor &competitor);
bool readValue(JsonReader &reader, Response::EventCompetition &competition);
bool readValue(JsonReader &reader, Response::StatusType &type);
bool readValue(JsonReader &reader, Response::Status &status);
bool readValue(JsonReader &reader, QList<Response::Event> &events);

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<json::Member<Response::Team>, 3> teamMembers {{
    json::optional<&Response::Team::displayName>("displayName"),
    json::optional<&Response::Team::name>("name"),
    json::optional<&Response::Team::abbreviation>("abbreviation"),
}};

// ESPN sends the score as text ("2"); a number there fails the document.
constexpr std::array<json::Member<Response::Competitor>, 3> competitorMembers {{
    json::optional<&Response::Competitor::homeAway>("homeAway"),
    json::optional<&Response::Competitor::score>("score"),
    json::optional<&Response::Competitor::team>("team"),
}};

constexpr std::array<json::Member<Response::EventCompetition>, 1> competitionMembers {{
    json::optional<&Response::EventCompetition::competitors>("competitors"),
}};

constexpr std::array<json::Member<Response::StatusType>, 3> statusTypeMembers {{
    json::optional<&Response::StatusType::name>("name"),
    json::optional<&Response::StatusType::state>("state"),
    json::optional<&Response::StatusType::completed>("completed"),
}};

constexpr std::array<json::Member<Response::Status>, 2> statusMembers {{
    json::optional<&Response::Status::displayClock>("displayClock"),
    json::optional<&Response::Status::type>("type"),
}};

constexpr std::array<json::Member<Response::Event>, 4> eventMembers {{
    json::required<&Response::Event::id>("id"),
    json::required<&Response::Event::date>("date"),
    json::optional<&Response::Event::status>("status"),
    json::optional<&Response::Event::competitions>("competitions"),
}};

constexpr std::array<json::Member<Response>, 1> responseMembers {{
    json::optional<&Response::events>("events"),
}};

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

bool readValue(JsonReader &reader, Response::Team &team)
{
    return json::readObject(reader, team, teamMembers);
}

bool readValue(JsonReader &reader, Response::Competitor &competitor)
{
    return json::readObject(reader, competitor, competitorMembers);
}

bool readValue(JsonReader &reader, Response::EventCompetition &competition)
{
    return json::readObject(reader, competition, competitionMembers);
}

bool readValue(JsonReader &reader, Response::StatusType &type)
{
    return json::readObject(reader, type, statusTypeMembers);
}

bool readValue(JsonReader &reader, Response::Status &status)
{
    return json::readObject(reader, status, statusMembers);
}

// The service sends at most the 500 events asked for; more are only checked, not kept.
bool readValue(JsonReader &reader, QList<Response::Event> &events)
{
    constexpr qsizetype maxEvents = 1000;
    return reader.readArray([&] {
        if (events.size() >= maxEvents)
            return reader.skipValue();
        return json::readObject(reader, events.emplace_back(), eventMembers);
    });
}

namespace espn {

std::optional<ESPNScoreboardResponse> decodeResponse(const QByteArray &body)
{
    // Read in one pass without a document tree: a year of a league runs to megabytes of which
    // we want a few fields.
    return json::readDocument(body, responseMembers);
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
