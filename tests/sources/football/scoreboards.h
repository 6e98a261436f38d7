#pragma once

// ESPN scoreboards and matches for the football tests.

#include "sources/football/espn_football_provider.h"
#include "support/model_home.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ribbex::test {

// A document of sample events in every state, and some that cannot be matches.
inline QByteArray scoreboardStates()
{
    QFile file(QStringLiteral(RIBBEX_FOOTBALL_FIXTURES "/scoreboard_states.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// One event as ESPN's scoreboard sends it; state is "pre", "in" or "post".
struct EspnEvent {
    QString id;
    QDateTime kickOff;
    QString state = QStringLiteral("pre");
    QString clock = QStringLiteral("0'");
};

inline QByteArray scoreboardDocument(const QList<EspnEvent> &events)
{
    using namespace Qt::StringLiterals;
    const auto side = [](const QString &homeAway) {
        return QJsonObject {{u"homeAway"_s, homeAway}, {u"team"_s, QJsonObject {{u"displayName"_s, homeAway}}}};
    };
    QJsonArray array;
    for (const EspnEvent &event : events) {
        const QJsonObject status {
            {u"displayClock"_s, event.clock}, {u"type"_s, QJsonObject {{u"state"_s, event.state}}}};
        const QJsonArray competitions {QJsonObject {{u"competitors"_s, QJsonArray {side(u"home"_s), side(u"away"_s)}}}};
        array.append(QJsonObject {{u"id"_s, event.id}, {u"date"_s, event.kickOff.toString(Qt::ISODate)},
            {u"status"_s, status}, {u"competitions"_s, competitions}});
    }
    return QJsonDocument(QJsonObject {{u"events"_s, array}}).toJson(QJsonDocument::Compact);
}

// The league code of a scoreboard request ("eng.1"), and whether it asks for one day's scores.
inline QString leagueOf(const HttpTestRequest &request)
{
    return request.path.section(u'/', -2, -2);
}

inline bool isLiveRequest(const HttpTestRequest &request)
{
    return request.query.queryItemValue(QStringLiteral("dates")).size() == 8;
}

inline FootballMatch footballMatch(
    const QString &id, const QString &code, const char *kickOff, const QString &status = matchStatus::scheduled)
{
    return {id, utc(kickOff), status, std::nullopt, {id, std::nullopt}, {id, std::nullopt}, {code, code}, {}};
}

} // namespace ribbex::test
