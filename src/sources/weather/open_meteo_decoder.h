#pragma once

// Open-Meteo's geocoding and forecast documents as plain records. Bytes in, values out: no
// network and no model, so tests and the fuzzer reach it directly.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ribbex {

// One place the geocoder found; only the fields we read.
struct OpenMeteoPlace {
    QString name;
    std::optional<QString> admin1; // the state, province or region
    std::optional<QString> country;
    double latitude = 0;
    double longitude = 0;

    bool operator==(const OpenMeteoPlace &) const = default;
};

// The current conditions of a forecast.
struct OpenMeteoConditions {
    double temperature = 0; // temperature_2m, in the unit asked for
    qint64 weatherCode = 0; // a WMO code

    bool operator==(const OpenMeteoConditions &) const = default;
};

namespace openMeteo {

// The places found, in the service's order: none when it found nothing (`results` absent, null
// or empty). Nothing when the bytes are not a geocoding document or a value has the wrong type.
std::optional<QList<OpenMeteoPlace>> decodeGeocoding(const QByteArray &body);

// Nothing when the bytes are not a forecast document, or its temperature is not one air can
// have in either unit.
std::optional<OpenMeteoConditions> decodeForecast(const QByteArray &body);

// "Springfield, Illinois": the name with its region, else its country, unless that repeats the
// name; safe to show.
QString displayName(const OpenMeteoPlace &place);

} // namespace openMeteo
} // namespace ribbex
