#include "football_test_support.h"

#include <QCoroTask>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ribbex::test {

using namespace Qt::StringLiterals;

QDateTime utc(const char *iso)
{
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
    EXPECT_TRUE(time.isValid()) << iso;
    return time.toUTC();
}

QByteArray fixtureFile(const char *name)
{
    QFile file(QStringLiteral(RIBBEX_FOOTBALL_FIXTURES "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray scoreboardDocument(const QList<EspnEvent> &events)
{
    QJsonArray array;
    for (const EspnEvent &event : events) {
        const QString name = event.state == u"pre" ? u"STATUS_SCHEDULED"_s
            : event.state == u"in"                 ? u"STATUS_SECOND_HALF"_s
                                                   : u"STATUS_FULL_TIME"_s;
        const QJsonObject type {{u"name"_s, name}, {u"state"_s, event.state}, {u"completed"_s, event.state == u"post"}};
        const QJsonArray competitors {
            QJsonObject {{u"homeAway"_s, u"home"_s}, {u"score"_s, u"1"_s},
                {u"team"_s, QJsonObject {{u"displayName"_s, u"Home FC"_s}}}},
            QJsonObject {{u"homeAway"_s, u"away"_s}, {u"score"_s, u"0"_s},
                {u"team"_s, QJsonObject {{u"displayName"_s, u"Away FC"_s}}}},
        };
        array.append(QJsonObject {
            {u"id"_s, event.id},
            {u"date"_s, event.kickOff.toUTC().toString(Qt::ISODate)},
            {u"status"_s, QJsonObject {{u"displayClock"_s, event.clock}, {u"type"_s, type}}},
            {u"competitions"_s, QJsonArray {QJsonObject {{u"competitors"_s, competitors}}}},
        });
    }
    return QJsonDocument(QJsonObject {{u"events"_s, array}}).toJson(QJsonDocument::Compact);
}

QString leagueOf(const HttpTestRequest &request)
{
    return request.path.section(u'/', -2, -2);
}

bool isLiveRequest(const HttpTestRequest &request)
{
    return request.query.queryItemValue(u"dates"_s).size() == 8;
}

FootballMatch footballMatch(const QString &id, const QString &code, const QDateTime &kickOff, const QString &status)
{
    const std::optional<FootballCompetition> competition = footballCompetitionFromId(code);
    return {id, kickOff, status, std::nullopt, {u"Home FC"_s, std::nullopt}, {u"Away FC"_s, std::nullopt},
        {competition ? title(*competition) : code, code}, {}};
}

FootballRefreshTest::FootballRefreshTest()
    : server([this](const HttpTestRequest &request) {
        if (onRequest)
            onRequest(request);
        const QString league = leagueOf(request);
        if (overrides.contains(league))
            return overrides.value(league);
        return HttpTestResponse {.body = scoreboardDocument((isLiveRequest(request) ? live : schedules).value(league))};
    })
{
    model = std::make_unique<SettingsModel>(ModelServices {settingsStore, cacheStore, loginItems, clock, false});
    refresh = new FootballRefresh(*model, provider, model.get());
    model->onFootballRefreshFinished = [this] { ++passesFinished; };
}

void FootballRefreshTest::select(const FootballCompetitionSet &competitions, bool footballEnabled)
{
    RibbexSettings settings = model->settings();
    settings.selectedFootballCompetitions = competitions;
    if (footballEnabled)
        settings.enabledSources.insert(TickerSource::football);
    else
        settings.enabledSources.erase(TickerSource::football);
    model->setSettings(settings);
}

void FootballRefreshTest::runPass()
{
    QCoro::waitFor(refresh->refreshFootball());
}

qsizetype FootballRefreshTest::requestCount(const QString &league, bool isLive) const
{
    return std::ranges::count_if(server.requests(), [&](const HttpTestRequest &request) {
        return leagueOf(request) == league && isLiveRequest(request) == isLive;
    });
}

std::optional<FootballFixtureCache> FootballRefreshTest::storedCache() const
{
    const auto bytes = cacheStore.read(FootballFixtureCache::preferencesKey);
    return bytes && *bytes ? decodeFixtureCache(**bytes) : std::nullopt;
}

} // namespace ribbex::test
