#pragma once

// ESPN's scoreboard document as plain records, and its mapping to our football matches. Bytes
// in, values out: no network and no model, so tests and benchmarks reach it directly.

#include "model/football_match.h"
#include "settings/football_competition.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace ribbex {

// Only the fields we read; every other key of the document is ignored.
struct ESPNScoreboardResponse {
    struct Team {
        std::optional<QString> displayName;
        std::optional<QString> name;
        std::optional<QString> abbreviation;
    };
    struct Competitor {
        std::optional<QString> homeAway;
        std::optional<QString> score;
        std::optional<Team> team;
    };
    struct EventCompetition {
        std::optional<QList<Competitor>> competitors;
    };
    struct StatusType {
        std::optional<QString> name;
        std::optional<QString> state;
        std::optional<bool> completed;
    };
    struct Status {
        std::optional<QString> displayClock;
        std::optional<StatusType> type;
    };
    struct Event {
        QString id;
        QString date;
        std::optional<Status> status;
        std::optional<QList<EventCompetition>> competitions;
    };

    std::optional<QList<Event>> events;
};

namespace espn {

// Nothing when the bytes are not JSON, an event lacks its id or date, or any value anywhere has
// the wrong type; a null counts as absent.
std::optional<ESPNScoreboardResponse> decodeResponse(const QByteArray &body);

// The events that map to matches of the competition, in document order; the others are dropped.
QList<FootballMatch> decode(FootballCompetition competition, const QList<ESPNScoreboardResponse::Event> &events);

// A kick-off time in any of the forms ESPN uses, or nothing.
std::optional<QDateTime> parseDate(QStringView text);

// The match minute in a clock text such as "67'", "45'+2'" or "90:00"; nothing for "HT".
std::optional<qint64> minute(const std::optional<QString> &clock);

// The UTC calendar day as yyyyMMdd, the form of the scoreboard's dates query.
QString dateKey(const QDateTime &time);

} // namespace espn
} // namespace ribbex
