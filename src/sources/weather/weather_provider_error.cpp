#include "sources/weather/weather_provider_error.h"

namespace ribbex {

using namespace Qt::StringLiterals;

QString WeatherProviderError::description() const
{
    switch (kind) {
    case Kind::http:
        return u"Open-Meteo returned HTTP %1."_s.arg(statusCode);
    case Kind::locationNotFound:
        return u"Could not find that city. Try a town or city name."_s;
    case Kind::invalidResponse:
        return u"The weather service returned an unreadable response."_s;
    case Kind::unreadable:
        return u"The weather service sent data ribbex could not read."_s;
    case Kind::fetch:
        break;
    }
    return failure.description();
}

} // namespace ribbex
