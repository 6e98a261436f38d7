// A weather refresh must cost the GUI thread at most 1 ms in all: the requests, the decoding
// (on a worker thread), the place-name lookup (likewise) and the model's update. The forecast
// server runs on a thread of its own, so only the GUI thread's own CPU time is counted.

#include "scratch_model.h"
#include "sources/weather/weather_refresh.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <benchmark/benchmark.h>

#include <ctime>

namespace ribbex {
namespace {

// Answers geocoding and forecast requests with documents the size of the service's own.
class ForecastServer final : public QThread {
public:
    ForecastServer()
    {
        start();
        while (m_port.loadAcquire() == 0)
            QThread::yieldCurrentThread();
    }
    ~ForecastServer() override
    {
        quit();
        wait();
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port.loadAcquire())); }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [&server] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                const QByteArray request = socket->readAll();
                const QByteArray body = request.startsWith("GET /v1/search")
                    ? R"({"results":[{"id":3143244,"name":"Oslo","latitude":59.91273,"longitude":10.74609,"elevation":26.0,"feature_code":"PPLC","country_code":"NO","admin1_id":3143242,"timezone":"Europe/Oslo","population":580000,"country_id":3144096,"country":"Norway","admin1":"Oslo"}],"generationtime_ms":0.7})"
                    : R"({"latitude":59.92,"longitude":10.76,"generationtime_ms":0.03,"utc_offset_seconds":3600,"timezone":"Europe/Oslo","timezone_abbreviation":"CET","elevation":21.0,"current_units":{"time":"iso8601","interval":"seconds","temperature_2m":"°C","weather_code":"wmo code"},"current":{"time":"2026-12-07T15:00","interval":900,"temperature_2m":-3.5,"weather_code":71}})";
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            });
        });
        m_port.storeRelease(server.serverPort());
        exec();
    }

private:
    QAtomicInt m_port;
};

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void refreshWeatherForACity(benchmark::State &state)
{
    ForecastServer server;
    ScratchModel scratch;
    RibbexSettings settings = scratch.model.settings();
    settings.enabledSources = {TickerSource::weather};
    settings.weatherUseCurrentLocation = false;
    settings.weatherCity = QStringLiteral("Oslo");
    scratch.model.setSettings(settings);
    QNetworkAccessManager network;
    OpenMeteoWeatherProvider provider(network, scratch.clock, server.url(), server.url());
    struct NoLocation final : LocationProvider {
        void requestLocation(Completion) override { }
    } location;
    WeatherRefresh refresh(scratch.model, provider, location, {});
    QCoro::waitFor(refresh.refreshWeather()); // the connection, once
    for (auto _ : state) {
        const double start = threadCpuSeconds();
        QCoro::waitFor(refresh.refreshWeather());
        state.SetIterationTime(threadCpuSeconds() - start);
    }
    if (!scratch.model.weatherSnapshot())
        state.SkipWithError(("no forecast arrived: " + scratch.model.weatherStatus().toStdString()).c_str());
}
BENCHMARK(refreshWeatherForACity)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace ribbex
