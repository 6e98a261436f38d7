// Football's two costs that grow with the data: decoding a full year's scoreboard, and the wall
// time of a refresh pass, whose requests must run side by side rather than one after another.

#include "scratch_model.h"
#include "sources/football/espn_football_provider.h"
#include "sources/football/espn_scoreboard_decoder.h"
#include "sources/football/football_refresh.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

// One event with the kind of extra data ESPN sends along (venue, links, broadcasts, details).
QByteArray eventJson(int index)
{
    const QByteArray id = QByteArray::number(700000 + index);
    const QByteArray day = QByteArray::number(1 + index % 28).rightJustified(2, '0');
    return R"({"id":")" + id + R"(","uid":"s:600~l:700~e:)" + id + R"(","date":"2025-08-)" + day
        + R"(T14:00Z","name":"Chelsea at Arsenal","shortName":"CHE @ ARS","season":{"year":2025,"type":1},)"
          R"("status":{"clock":4020.0,"displayClock":"67'","period":2,"type":{"id":"3","name":"STATUS_SECOND_HALF",)"
          R"("state":"in","completed":false,"description":"Second Half","detail":"67'","shortDetail":"67'"}},)"
          R"("competitions":[{"id":")"
        + id
        + R"(","attendance":60254,"venue":{"id":"267","fullName":"Emirates Stadium","address":{"city":"London",)"
          R"("country":"England"}},"competitors":[{"id":"359","homeAway":"home","winner":false,"score":"2",)"
          R"("form":"WWDLW","team":{"id":"359","displayName":"Arsenal","name":"Arsenal","abbreviation":"ARS",)"
          R"("shortDisplayName":"Arsenal","color":"e20520","logo":"https://a.espncdn.com/i/teamlogos/soccer/500/359.png"},)"
          R"("statistics":[{"name":"possessionPct","displayValue":"54.2"},{"name":"totalShots","displayValue":"11"}]},)"
          R"({"id":"363","homeAway":"away","winner":false,"score":"1","form":"LDWWW","team":{"id":"363",)"
          R"("displayName":"Chelsea","name":"Chelsea","abbreviation":"CHE","shortDisplayName":"Chelsea",)"
          R"("color":"144992","logo":"https://a.espncdn.com/i/teamlogos/soccer/500/363.png"}}],)"
          R"("details":[{"type":{"id":"70","text":"Goal"},"clock":{"value":1380.0,"displayValue":"23'"},)"
          R"("scoringPlay":true,"team":{"id":"359"}}],"broadcasts":[{"market":"home","names":["Sky Sports"]}]}],)"
          R"("links":[{"rel":["summary","desktop","event"],"href":"https://www.espn.com/soccer/match/_/gameId/)"
        + id + R"("}]})";
}

QByteArray scoreboardOf(int events)
{
    QByteArray document = R"({"leagues":[{"id":"700","abbreviation":"ENG.1"}],"events":[)";
    for (int i = 0; i < events; ++i)
        document += (i ? "," : "") + eventJson(i);
    return document + "]}";
}

void decodeScoreboard(benchmark::State &state)
{
    const QByteArray document = scoreboardOf(1000);
    for (auto _ : state) {
        const std::optional<ESPNScoreboardResponse> response = espn::decodeResponse(document);
        benchmark::DoNotOptimize(espn::decode(FootballCompetition::premierLeague, *response->events));
    }
    state.SetBytesProcessed(state.iterations() * document.size());
    state.counters["documentKiB"] = static_cast<double>(document.size()) / 1024.0;
}
BENCHMARK(decodeScoreboard)->Unit(benchmark::kMillisecond);

// Answers every request with an empty scoreboard after a fixed delay, as a distant server would.
class SlowServer {
public:
    explicit SlowServer(std::chrono::milliseconds delay)
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this, delay] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, delay] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    QTimer::singleShot(delay, socket, [socket] {
                        socket->write(
                            "HTTP/1.1 200 OK\r\nContent-Length: 13\r\nConnection: close\r\n\r\n{\"events\":[]}");
                        socket->disconnectFromHost();
                    });
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QUrl url() const { return QUrl(u"http://127.0.0.1:%1"_s.arg(m_server.serverPort())); }

private:
    QTcpServer m_server;
};

void refreshPass(benchmark::State &state)
{
    ScratchModel scratch;
    SettingsModel &model = scratch.model;
    RibbexSettings settings = model.settings();
    settings.enabledSources.insert(TickerSource::football);
    const QList<FootballCompetition> &all = allFootballCompetitions();
    settings.selectedFootballCompetitions = FootballCompetitionSet(all.begin(), all.begin() + state.range(0));
    model.setSettings(settings);

    const SlowServer server(std::chrono::milliseconds(200));
    QNetworkAccessManager network;
    ESPNFootballProvider provider(network, server.url());
    FootballRefresh refresh(model, provider);
    for (auto _ : state)
        QCoro::waitFor(refresh.refreshFootballSchedules());
}
BENCHMARK(refreshPass)->Arg(1)->Arg(6)->Arg(14)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ribbex
