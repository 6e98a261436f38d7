#include "platform/nearest_city.h"
#include "platform/weather_location_service.h"
#include "support/private_bus.h"
#include "support/temp_home.h"

#include <QCoroTask>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <memory>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;
using Answer = std::expected<GeoCoordinates, LocationError>;

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
    test::PrivateBus emptyBus;
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", emptyBus.address().toUtf8());
    for (const QByteArray nmeaSource : {"/nonexistent/receiver.nmea", ""}) {
        qputenv("RIBBEX_NMEA_SOURCE", nmeaSource);
        WeatherLocationService service;
        EXPECT_EQ(askOnce(service), unavailable) << nmeaSource.constData();
    }
}

// Without any system bus Qt 6.4's GeoClue2 source waits out the whole limit.
TEST(WeatherLocationServiceTest, NoSystemBusIsUnavailable)
{
    qunsetenv("RIBBEX_NMEA_SOURCE");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket");
    WeatherLocationService service;
    EXPECT_EQ(askOnce(service), unavailable);
}

// GeoClue refusing the application, as it does when its agent or the desktop portal says no. It
// tells its accuracy, which Qt's source reads first and would report as AccessError too.
class RefusingGeoClue final : public QDBusVirtualObject {
public:
    std::atomic<int> clientRequests = 0;

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &call, const QDBusConnection &bus) override
    {
        if (call.member() == u"Get"_s && call.arguments().value(1) == u"AvailableAccuracyLevel"_s)
            return bus.send(call.createReply(QVariant::fromValue(QDBusVariant(8u)))); // exact
        if (call.member() != u"GetClient"_s)
            return false;
        ++clientRequests;
        return bus.send(call.createErrorReply(QDBusError::AccessDenied, u"Geolocation disabled for UID 1000"_s));
    }
};

TEST(WeatherLocationServiceTest, GeoClueRefusingTheClientIsAccessDenied)
{
    // Installed, as GeoClue always is: dbus-daemon starts only names it has a file for, and says
    // so even when they are running.
    test::TempHome dataHome;
    test::writeFile(dataHome.path() + u"/dbus-1/services/org.freedesktop.GeoClue2.service"_s,
        "[D-BUS Service]\nName=org.freedesktop.GeoClue2\nExec=/bin/false\n");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    test::PrivateBus bus;
    qunsetenv("RIBBEX_NMEA_SOURCE");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
    // Qt's GeoClue2 source reads the accuracy with a blocking call from this thread.
    QThread geoClueThread;
    RefusingGeoClue geoClue;
    geoClue.moveToThread(&geoClueThread);
    geoClueThread.start();
    const auto stop = qScopeGuard([&] {
        geoClueThread.quit();
        geoClueThread.wait();
    });
    QDBusConnection geoClueBus = bus.connect(u"geoclue"_s);
    ASSERT_TRUE(geoClueBus.registerVirtualObject(u"/org/freedesktop/GeoClue2/Manager"_s, &geoClue));
    ASSERT_TRUE(geoClueBus.registerService(u"org.freedesktop.GeoClue2"_s));
    WeatherLocationService service;
    EXPECT_EQ(askOnce(service), LocationError {LocationError::Kind::accessDenied}.description().toStdString());
    EXPECT_EQ(geoClue.clientRequests, 1);
}

TEST(NearestCityTest, NamesTheNearestCityOfTheWorldTableWithin30Kilometres)
{
    const std::pair<GeoCoordinates, QString> cases[] = {
        {{59.91, 10.75}, u"Oslo"_s},
        {{0, -140}, u""_s}, // the Pacific, 2200 km from Papeete
        // Alice Springs has no other city within hundreds of kilometres: 25 and 35 km north.
        {{-23.47265, 133.88362}, u"Alice Springs"_s},
        {{-23.38272, 133.88362}, u""_s},
        // Tromsø, far north, where a degree of longitude is short: 25 and 35 km east.
        {{69.6489, 19.6016}, u"Tromsø"_s},
        {{69.6489, 19.8602}, u""_s},
        {{std::numeric_limits<double>::quiet_NaN(), 10.75}, u""_s},
    };
    for (const auto &[at, name] : cases) {
        EXPECT_EQ(nearestCityName(at).value_or(u""_s), name) << at.latitude << ", " << at.longitude;
        EXPECT_EQ(QCoro::waitFor(nearestCityNameAsync(at)), nearestCityName(at));
    }
}

} // namespace
} // namespace ribbex
