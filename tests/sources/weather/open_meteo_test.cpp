#include "sources/weather/open_meteo_weather_provider.h"
#include "support/http_test_server.h"
#include "support/pinned_clock.h"

#include <QCoroTask>

#include <gtest/gtest.h>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;
using Items = QList<std::pair<QString, QString>>;
using Icon = WeatherConditionIcon;

// A geocoding answer with one place, given by its members.
QByteArray geocoding(const char *place)
{
    return QByteArray(R"({"generationtime_ms":0.4,"results":[{"id":2988507,"feature_code":"PPLC",)") + place + "}]}";
}

QByteArray current(const char *temperature, const char *code = "3")
{
    return QByteArray(R"({"timezone":"GMT","current":{"time":"2025-06-01T14:00","temperature_2m":)") + temperature
        + R"(,"interval":900,"weather_code":)" + code + "}}";
}

// The path and query items as web servers read them, with '+' for a space.
std::pair<QString, Items> sent(const HttpTestRequest &request)
{
    const QUrlQuery query(request.query.query(QUrl::FullyEncoded).replace(u'+', u"%20"_s));
    return {request.path, query.queryItems(QUrl::FullyDecoded)};
}

// A geocoder and a forecast server on loopback, each giving the answer the test sets.
class OpenMeteoTest : public testing::Test {
protected:
    static QString failure(const std::expected<WeatherSnapshot, WeatherProviderError> &result)
    {
        return result ? QString() : result.error().description();
    }

    HttpTestResponse places {.body = geocoding(R"("name":"Paris","latitude":48.85341,"longitude":2.3488)")};
    HttpTestResponse conditions {.body = current("-0.5")}; // a half, rounded away from zero
    HttpTestServer geocoder {[this](const HttpTestRequest &) { return places; }};
    HttpTestServer forecaster {[this](const HttpTestRequest &) { return conditions; }};
    QNetworkAccessManager network;
    PinnedClock clock {QDateTime(QDate(2025, 6, 1), QTime(14, 5), QTimeZone::utc())};
    OpenMeteoWeatherProvider provider {network, clock, geocoder.url(), forecaster.url()};
};

// The locale picks the unit and the language of place names, never the decimal separator.
TEST_F(OpenMeteoTest, AsksInTheLocalesTermsAndLabelsThePlaceFound)
{
    // locale, city, the place found, language, latitude, longitude, unit, label
    const std::tuple<const char *, QString, const char *, QString, QString, QString, QString, QString> cases[] = {
        {"en_US", u"Springfield"_s,
            R"("name":"Springfield","admin1":"Illinois","country":"United States","latitude":39.80172,"longitude":-89.64371)",
            u"en"_s, u"39.80"_s, u"-89.64"_s, u"fahrenheit"_s, u"Springfield, Illinois"_s},
        {"en_GB", u"London"_s, R"("name":"London","country":"United Kingdom","latitude":51.5074,"longitude":-0.1278)",
            u"en"_s, u"51.51"_s, u"-0.13"_s, u"celsius"_s, u"London, United Kingdom"_s},
        {"de_DE", u"New York"_s,
            R"("name":"New York","admin1":"New York","country":"USA","latitude":40.7128,"longitude":-74.0060)", u"de"_s,
            u"40.71"_s, u"-74.01"_s, u"celsius"_s, u"New York"_s},
        {"C", u"Null Island & Co+1 100%"_s, R"("name":"Null Island","latitude":-0.001,"longitude":-0.004)", u"en"_s,
            u"0.00"_s, u"0.00"_s, u"celsius"_s, u"Null Island"_s},
    };
    for (const auto &[locale, city, place, language, latitude, longitude, unit, label] : cases) {
        places.body = geocoding(place);
        EXPECT_EQ(QCoro::waitFor(provider.forecast(city, QLocale(QString::fromLatin1(locale)))),
            (WeatherSnapshot {-1, unit.first(1).toUpper(), u"Overcast"_s, Icon::cloudy, label, clock.now()}));
        EXPECT_EQ(sent(geocoder.requests().last()),
            std::pair(u"/v1/search"_s, Items {{u"name"_s, city}, {u"count"_s, u"1"_s}, {u"language"_s, language}}));
        EXPECT_EQ(sent(forecaster.requests().last()),
            std::pair(u"/v1/forecast"_s,
                Items {{u"latitude"_s, latitude}, {u"longitude"_s, longitude},
                    {u"current"_s, u"temperature_2m,weather_code"_s}, {u"temperature_unit"_s, unit},
                    {u"timezone"_s, u"auto"_s}}));
    }
}

TEST(OpenMeteoWeatherCodes, EveryCodeOffTheTableReadsAsCurrentConditions)
{
    const std::tuple<qint64, QString, Icon> cases[] = {{85, u"Snow showers"_s, Icon::showers},
        {99, u"Thunderstorm"_s, Icon::thunderstorm}, {4, u"Current conditions"_s, Icon::cloudy},
        {100, u"Current conditions"_s, Icon::cloudy}, {-1, u"Current conditions"_s, Icon::cloudy}};
    for (const auto &[code, condition, icon] : cases) {
        EXPECT_EQ(OpenMeteoWeatherProvider::condition(code), condition) << code;
        EXPECT_EQ(OpenMeteoWeatherProvider::icon(code), icon) << code;
    }
}

TEST_F(OpenMeteoTest, EachFailureReadsAsItsSentence)
{
    const QString unreadable = u"The weather service sent data ribbex could not read."_s;
    const QString notFound = u"Could not find that city. Try a town or city name."_s;
    // geocoding answer, forecast answer, what the user reads
    const std::tuple<const char *, HttpTestResponse, HttpTestResponse, QString> cases[] = {
        {"rate limited", {.status = 429}, conditions, u"Open-Meteo returned HTTP 429."_s},
        {"forecast down", places, {.status = 503}, u"Open-Meteo returned HTTP 503."_s},
        {"not JSON", {.body = "<html>Busy</html>"}, conditions, unreadable},
        {"empty results", {.body = R"({"results":[]})"}, conditions, notFound},
        {"no results key", {.body = R"({"generationtime_ms":0.2})"}, conditions, notFound},
        {"a place off the globe", {.body = geocoding(R"("name":"X","latitude":91,"longitude":0)")}, conditions,
            unreadable},
        {"no current", places, {.body = R"({"current_units":{"temperature_2m":"C"}})"}, unreadable},
        {"a code in quotes", places, {.body = current("-0.5", R"("3")")}, unreadable},
        {"past any climate", places, {.body = current("1e300")}, unreadable},
    };
    for (const auto &[name, geocoded, forecasted, sentence] : cases) {
        places = geocoded;
        conditions = forecasted;
        const QString read = failure(QCoro::waitFor(provider.forecast(u"Paris"_s)));
        EXPECT_EQ(read, sentence) << name << ": " << read.toStdString();
    }
    // Qt answers a data: address itself, without an HTTP status.
    const OpenMeteoWeatherProvider notHttp {network, clock, QUrl(u"data:,"_s), forecaster.url()};
    EXPECT_EQ(failure(QCoro::waitFor(notHttp.forecast(u"Paris"_s))),
        u"The weather service returned an unreadable response."_s);
}

} // namespace
} // namespace ribbex::test
