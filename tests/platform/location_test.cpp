#include "platform/nearest_city.h"
#include "platform/weather_location_service.h"

#include <QCoroTask>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;
using Answer = std::expected<GeoCoordinates, LocationError>;

std::string nameOf(const std::optional<QString> &name)
{
    return name ? name->toStdString() : "nothing";
}

const std::string unavailable = LocationError {LocationError::Kind::unavailable}.description().toStdString();

// The answer to one request, which must come from the event loop, and far sooner than the 30 s limit.
std::string askOnce(WeatherLocationService &service)
{
    auto answer = std::make_shared<std::optional<Answer>>();
    service.requestLocation([answer](Answer given) { *answer = std::move(given); });
    EXPECT_FALSE(answer->has_value()) << "answered from inside the call";
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, 5000))
        return "no answer";
    return **answer ? "a position" : (*answer)->error().description().toStdString();
}

TEST(WeatherLocationServiceTest, ReplaysAnNmeaLogOneFixForEachRequestToTheLatestCompletion)
{
    qputenv("RIBBEX_NMEA_SOURCE", RIBBEX_OSLO_NMEA);
    std::vector<Answer> answers;
    int replacedCalls = 0;
    WeatherLocationService service;
    service.requestLocation([&](const Answer &) { ++replacedCalls; });
    service.requestLocation([&](const Answer &first) {
        answers.push_back(first);
        // The refresh flow may ask again from inside its completion.
        service.requestLocation([&](const Answer &second) { answers.push_back(second); });
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 5000)) << answers.size() << " answers";
    for (const Answer &answer : answers) {
        ASSERT_TRUE(answer) << answer.error().description().toStdString();
        EXPECT_NEAR(answer->latitude, 59.91387, 1e-5);
        EXPECT_NEAR(answer->longitude, 10.75225, 1e-5);
    }
    EXPECT_EQ(replacedCalls, 0);
}

// Qt 6.4's GeoClue2 source reads a bus without GeoClue as access denied. (Qt keeps the first system
// bus connection for the life of the process; CTest runs each test in its own.)
TEST(WeatherLocationServiceTest, NoPositionSourceOrNoGeoClueOnTheSystemBusIsUnavailable)
{
    QProcess emptyBus;
    emptyBus.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s});
    ASSERT_TRUE(emptyBus.waitForReadyRead(5000));
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", emptyBus.readLine().trimmed());
    for (const QByteArray nmeaSource : {"/nonexistent/receiver.nmea", ""}) {
        qputenv("RIBBEX_NMEA_SOURCE", nmeaSource);
        WeatherLocationService service;
        EXPECT_EQ(askOnce(service), unavailable) << nmeaSource.constData();
    }
    emptyBus.terminate();
    emptyBus.waitForFinished(5000);
}

// Without any system bus Qt 6.4's GeoClue2 source waits out the whole limit.
TEST(WeatherLocationServiceTest, NoSystemBusIsUnavailable)
{
    qunsetenv("RIBBEX_NMEA_SOURCE");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket");
    WeatherLocationService service;
    EXPECT_EQ(askOnce(service), unavailable);
}

TEST(NearestCityTest, NamesTheNearestCityOfTheWorldTableWithinTheLimit)
{
    const struct {
        GeoCoordinates at;
        double maxKilometres;
        std::string name;
    } cases[] = {
        {{59.91, 10.75}, 30, "Oslo"},
        {{0, -140}, 30, "nothing"}, // the Pacific, 2200 km from Papeete
        // Alice Springs has no other city within hundreds of kilometres: 25 and 35 km north.
        {{-23.47265, 133.88362}, 30, "Alice Springs"},
        {{-23.38272, 133.88362}, 30, "nothing"},
        // Tromsø, far north, where a degree of longitude is short: 25 and 35 km east.
        {{69.6489, 19.6016}, 30, "Tromsø"},
        {{69.6489, 19.8602}, 30, "nothing"},
        {{std::numeric_limits<double>::quiet_NaN(), 10.75}, 30, "nothing"},
    };
    for (const auto &c : cases) {
        const std::string where = std::to_string(c.at.latitude) + ", " + std::to_string(c.at.longitude);
        EXPECT_EQ(nameOf(nearestCityName(c.at, c.maxKilometres)), c.name) << where;
        EXPECT_EQ(nameOf(QCoro::waitFor(nearestCityNameAsync(c.at, c.maxKilometres))), c.name) << where;
    }
}

} // namespace
} // namespace ribbex
