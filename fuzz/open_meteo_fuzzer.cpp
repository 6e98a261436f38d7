// Open-Meteo's geocoding and forecast documents, checked against Qt's full JSON parser. The
// lowest bit of the first byte picks the document: odd ('g') geocoding, even ('f') forecast, as
// the seeds begin.

#include "fuzz_input.h"
#include "sources/weather/open_meteo_decoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

using namespace Qt::StringLiterals;
using ribbex::OpenMeteoConditions;
using ribbex::OpenMeteoPlace;
namespace openMeteo = ribbex::openMeteo;

using ribbex::fuzz::qtObject;

void checkGeocoding(const QByteArray &body)
{
    const std::optional<QList<OpenMeteoPlace>> places = openMeteo::decodeGeocoding(body);
    if (!places)
        return;
    for (const OpenMeteoPlace &place : *places)
        FUZZ_EXPECT(ribbex::fuzz::isPlainText(openMeteo::displayName(place)));
    const std::optional<QJsonObject> object = qtObject(body);
    if (!object)
        return;
    const QJsonArray results = object->value(u"results"_s).toArray();
    FUZZ_EXPECT(places->size() == results.size());
    for (qsizetype i = 0; i < places->size(); ++i) {
        const OpenMeteoPlace &place = places->at(i);
        const QJsonObject result = results.at(i).toObject();
        FUZZ_EXPECT(place.name == result.value(u"name"_s).toString());
        FUZZ_EXPECT(place.admin1.value_or(QString()) == result.value(u"admin1"_s).toString());
        FUZZ_EXPECT(place.country.value_or(QString()) == result.value(u"country"_s).toString());
        FUZZ_EXPECT(place.latitude == result.value(u"latitude"_s).toDouble());
        FUZZ_EXPECT(place.longitude == result.value(u"longitude"_s).toDouble());
    }
}

void checkForecast(const QByteArray &body)
{
    const std::optional<OpenMeteoConditions> conditions = openMeteo::decodeForecast(body);
    if (!conditions)
        return;
    // The client rounds it into a whole number: it must be a temperature, not NaN or 1e300.
    FUZZ_EXPECT(conditions->temperature >= -150 && conditions->temperature <= 150);
    const std::optional<QJsonObject> object = qtObject(body);
    if (!object)
        return;
    const QJsonObject current = object->value(u"current"_s).toObject();
    FUZZ_EXPECT(conditions->temperature == current.value(u"temperature_2m"_s).toDouble());
    FUZZ_EXPECT(conditions->weatherCode == current.value(u"weather_code"_s).toInteger());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return ribbex::fuzz::checkOneOfTwo(data, size, checkGeocoding, checkForecast);
}
