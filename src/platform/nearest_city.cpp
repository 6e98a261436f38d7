#include "platform/nearest_city.h"

#include <QCoroFuture>
#include <QtConcurrent/QtConcurrentRun>

#include <geonames.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

namespace ribbex {

namespace {

constexpr double earthRadiusKilometres = 6371;

struct City {
    double latitude; // radians
    double longitude;
    double cosLatitude;
    QString name;
};

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

double squared(double value)
{
    return value * value;
}

std::vector<City> readTable()
{
    const int count = geonames_get_n_cities();
    std::vector<City> cities;
    cities.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int index = 0; index < count; ++index) {
        const std::unique_ptr<GeonamesCity, decltype(&geonames_city_free)> city(
            geonames_get_city(index), &geonames_city_free);
        if (!city)
            continue;
        const double latitude = radians(geonames_city_get_latitude(city.get()));
        cities.push_back({latitude, radians(geonames_city_get_longitude(city.get())), std::cos(latitude),
            QString::fromUtf8(geonames_city_get_name(city.get()))});
    }
    return cities;
}

// Read on first use only: the table takes some tens of milliseconds to load, and most users
// name their city instead.
const std::vector<City> &table()
{
    static const std::vector<City> cities = readTable();
    return cities;
}

} // namespace

std::optional<QString> nearestCityName(GeoCoordinates at, double maxKilometres)
{
    if (!std::isfinite(at.latitude) || !std::isfinite(at.longitude) || !(maxKilometres >= 0))
        return std::nullopt;
    // Past half the circumference every city is in reach.
    const double maxAngle = std::min(maxKilometres / earthRadiusKilometres, std::numbers::pi);
    const double latitude = radians(at.latitude);
    const double longitude = radians(at.longitude);
    const double cosLatitude = std::cos(latitude);
    // The haversine of the central angle grows with the distance, so it is compared as it is.
    const City *nearest = nullptr;
    double nearestHaversine = std::numeric_limits<double>::infinity();
    for (const City &city : table()) {
        // A city outside the band of latitudes in reach is too far whatever its longitude.
        if (std::abs(city.latitude - latitude) > maxAngle)
            continue;
        const double haversine = squared(std::sin((city.latitude - latitude) / 2))
            + cosLatitude * city.cosLatitude * squared(std::sin((city.longitude - longitude) / 2));
        if (haversine < nearestHaversine) {
            nearest = &city;
            nearestHaversine = haversine;
        }
    }
    if (!nearest || nearestHaversine > squared(std::sin(maxAngle / 2)))
        return std::nullopt;
    return nearest->name;
}

QCoro::Task<std::optional<QString>> nearestCityNameAsync(GeoCoordinates at, double maxKilometres)
{
    // A named future: g++ 12 mishandles temporaries inside a co_await expression.
    const QFuture<std::optional<QString>> search = QtConcurrent::run(&nearestCityName, at, maxKilometres);
    co_return co_await search;
}

} // namespace ribbex
