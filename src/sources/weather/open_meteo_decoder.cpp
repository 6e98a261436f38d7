#include "sources/weather/open_meteo_decoder.h"

#include "sources/net/plain_text.h"
#include "json/json_fields.h"

namespace ribbex {

// Found by argument-dependent lookup from the readers of lists and of required members.
bool readValue(JsonReader &reader, OpenMeteoPlace &place);
bool readValue(JsonReader &reader, OpenMeteoConditions &conditions);

namespace {

using namespace Qt::StringLiterals;

struct GeocodingDocument {
    std::optional<QList<OpenMeteoPlace>> results;
};

struct ForecastDocument {
    OpenMeteoConditions current;
};

constexpr std::array<json::Member<OpenMeteoPlace>, 5> placeMembers {{
    json::required<&OpenMeteoPlace::name>("name"),
    json::optional<&OpenMeteoPlace::admin1>("admin1"),
    json::optional<&OpenMeteoPlace::country>("country"),
    json::required<&OpenMeteoPlace::latitude>("latitude"),
    json::required<&OpenMeteoPlace::longitude>("longitude"),
}};

constexpr std::array<json::Member<OpenMeteoConditions>, 2> conditionsMembers {{
    json::required<&OpenMeteoConditions::temperature>("temperature_2m"),
    json::required<&OpenMeteoConditions::weatherCode>("weather_code"),
}};

// Open-Meteo leaves `results` out altogether when it finds no place.
constexpr std::array<json::Member<GeocodingDocument>, 1> geocodingMembers {{
    json::optional<&GeocodingDocument::results>("results"),
}};

constexpr std::array<json::Member<ForecastDocument>, 1> forecastMembers {{
    json::required<&ForecastDocument::current>("current"),
}};

// Wider than any air temperature measured, in Celsius or Fahrenheit; past it the rounded value
// would mean nothing (or not fit a whole number at all).
constexpr double lowestTemperature = -150;
constexpr double highestTemperature = 150;

} // namespace

bool readValue(JsonReader &reader, OpenMeteoPlace &place)
{
    return json::readObject(reader, place, placeMembers);
}

bool readValue(JsonReader &reader, OpenMeteoConditions &conditions)
{
    return json::readObject(reader, conditions, conditionsMembers);
}

namespace openMeteo {

std::optional<QList<OpenMeteoPlace>> decodeGeocoding(const QByteArray &body)
{
    std::optional<GeocodingDocument> document = json::readDocument(body, geocodingMembers);
    if (!document)
        return std::nullopt;
    return std::move(document->results).value_or(QList<OpenMeteoPlace>());
}

std::optional<OpenMeteoConditions> decodeForecast(const QByteArray &body)
{
    const std::optional<ForecastDocument> document = json::readDocument(body, forecastMembers);
    const bool plausible = document && document->current.temperature >= lowestTemperature
        && document->current.temperature <= highestTemperature;
    return plausible ? std::optional(document->current) : std::nullopt;
}

QString displayName(const OpenMeteoPlace &place)
{
    const std::optional<QString> &detail = place.admin1 ? place.admin1 : place.country;
    return plainText(!detail || *detail == place.name ? place.name : place.name + u", "_s + *detail);
}

} // namespace openMeteo
} // namespace ribbex
