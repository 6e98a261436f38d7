#pragma once

// Offline place names for coordinates, from libgeonames' world table of cities: the weather
// names the user's position without sending it anywhere but the forecast service.

#include "platform/location_provider.h"

#include <QCoroTask>
#include <QString>

#include <optional>

namespace ribbex {

// The name of the nearest city of the world table within maxKilometres (great-circle distance),
// or nothing. Thread-safe; the table is read once, on first use.
std::optional<QString> nearestCityName(GeoCoordinates at, double maxKilometres = 30);

// The same, computed off the GUI thread.
QCoro::Task<std::optional<QString>> nearestCityNameAsync(GeoCoordinates at, double maxKilometres = 30);

} // namespace ribbex
