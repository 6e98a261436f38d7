#include "platform/nearest_city.h"
#include "sources/weather/weather_refresh.h"
#include "support/model_home.h"

#include <QCoroTask>
#include <QTimer>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

// Holds each request until the test answers it, the way a location service waits for a fix.
struct HeldLocation final : LocationProvider {
    void requestLocation(Completion completion) override
    {
        ++requests;
        pending = std::move(completion);
    }
    void answer(std::expected<GeoCoordinates, LocationError> result)
    {
        QTimer::singleShot(0, [completion = std::exchange(pending, {}), result] { completion(result); });
    }
    Completion pending;
    int requests = 0;
};

// The weather flow over the model home: geocoding and forecast answered by its loopback server.
class WeatherRefreshTest : public ModelTest {
protected:
    WeatherRefreshTest()
    {
        answer
            = [this](const HttpTestRequest &request) { return request.path == u"/v1/search" ? geocoding : forecast; };
        edit([](RibbexSettings &s) {
            s.enabledSources = {TickerSource::weather};
            s.weatherUseCurrentLocation = false;
            s.weatherCity = u"Springfield"_s;
        });
    }

    // Where the last request, which must be the forecast's, asked about.
    std::pair<QString, QString> sentPosition() const
    {
        const QUrlQuery query = server.requests().isEmpty() ? QUrlQuery() : server.requests().last().query;
        return {query.queryItemValue(u"latitude"_s), query.queryItemValue(u"longitude"_s)};
    }

    HttpTestResponse geocoding {.body = R"({"results": [{"name": "Springfield", "admin1": "Illinois",
        "country": "United States", "latitude": 39.80172, "longitude": -89.64371}]})"};
    HttpTestResponse forecast {.body = R"({"current": {"temperature_2m": 21.5, "weather_code": 3}})"};
    OpenMeteoWeatherProvider provider {network, clock, server.url(), server.url()};
    HeldLocation held;
    WeatherRefresh weather {model(), provider, held, [](GeoCoordinates at) { return nearestCityNameAsync(at); }};
};

TEST_F(WeatherRefreshTest, ACityIsForecastUnderItsNameAndAFailureKeepsTheLastForecast)
{
    QCoro::waitFor(weather.refreshWeather());
    const WeatherSnapshot springfield {
        22, u"C"_s, u"Overcast"_s, WeatherConditionIcon::cloudy, u"Springfield, Illinois"_s, clock.now()};
    EXPECT_EQ(model().weatherSnapshot(), springfield);
    EXPECT_EQ(model().weatherStatus(), u"Updated just now · Springfield, Illinois"_s);

    // The texts of each failure are the client's; the model keeps the last good forecast.
    forecast = {.status = 429};
    QCoro::waitFor(weather.refreshWeather());
    EXPECT_EQ(model().weatherStatus(), u"Open-Meteo returned HTTP 429."_s);
    EXPECT_EQ(model().weatherSnapshot(), springfield);
    edit([](RibbexSettings &s) { s.weatherCity = u""_s; });
    QCoro::waitFor(weather.refreshWeather());
    EXPECT_EQ(model().weatherStatus(), u"Enable current location or enter a city below"_s);
    // The settings window's choices: storing them is checked with its controls.
    weather.refreshWeatherForCity(u" \n "_s);
    EXPECT_EQ(model().weatherStatus(), u"Enter a city name"_s);
    weather.useCurrentWeatherLocation(false);
    EXPECT_EQ(model().weatherStatus(), u"Choose a city for weather, or enable current location"_s);
    EXPECT_EQ(held.requests, 0);
}

TEST_F(WeatherRefreshTest, OnlyTheLatestLocationRequestIsAnsweredAndARefusalSaysWhatToDo)
{
    edit([](RibbexSettings &s) { s.weatherUseCurrentLocation = true; });
    bool firstEnded = false;
    // Named, so its captures outlive the suspended coroutine.
    const auto refreshThenMark = [&]() -> QCoro::Task<> {
        co_await weather.refreshWeather();
        firstEnded = true;
    };
    QCoro::Task<> first = refreshThenMark();
    EXPECT_EQ(model().weatherStatus(), u"Requesting approximate location…"_s);
    auto second = weather.refreshWeather();
    EXPECT_TRUE(eventually([&] { return firstEnded; })) << "a replaced request must end, not wait for ever";
    // the answer, the status it gives
    const std::pair<LocationError, QString> answers[] = {
        {{LocationError::Kind::accessDenied}, u"Location access is off · enter a city instead"_s},
        {{LocationError::Kind::unavailable},
            u"No location service is running on this computer · enter a city instead"_s},
    };
    for (const auto &[error, status] : answers) {
        held.answer(std::unexpected(error));
        QCoro::waitFor(std::move(second));
        EXPECT_EQ(model().weatherStatus(), status);
        second = weather.refreshWeather();
    }
    EXPECT_EQ(held.requests, 4);
    EXPECT_FALSE(model().weatherSnapshot());
    // A fix leaves the machine only rounded, an exact half away from zero, and is named here.
    held.answer(GeoCoordinates {59.91387, 10.625});
    QCoro::waitFor(std::move(second));
    EXPECT_EQ(sentPosition(), std::pair(u"59.91"_s, u"10.63"_s));
    EXPECT_EQ(server.count(u"/v1/search"_s), 0);
    ASSERT_TRUE(model().weatherSnapshot());
    EXPECT_EQ(model().weatherSnapshot()->location, u"Oslo"_s);
    EXPECT_EQ(model().weatherStatus(), u"Updated just now · approximate location"_s);
}

// The program's own weather source with a GPS receiver's log in place of GeoClue.
TEST_F(WeatherRefreshTest, TheSourceFollowsAnNmeaReceiver)
{
    qputenv("RIBBEX_NMEA_SOURCE", RIBBEX_OSLO_NMEA);
    edit([](RibbexSettings &s) { s.weatherUseCurrentLocation = true; });
    QCoro::waitFor(source(TickerSource::weather).refreshNow());
    EXPECT_EQ(sentPosition(), std::pair(u"59.91"_s, u"10.75"_s)); // the fix at 59.91387, 10.75225
    EXPECT_EQ(model().weatherSnapshot().value_or(WeatherSnapshot {}).location, u"Oslo"_s);
}

} // namespace
} // namespace ribbex::test
