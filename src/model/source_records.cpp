#include "model/source_records.h"

namespace ribbex {

QString symbolName(WeatherConditionIcon icon)
{
    switch (icon) {
    case WeatherConditionIcon::clear:
    case WeatherConditionIcon::mostlyClear:
        return QStringLiteral("sun.max.fill");
    case WeatherConditionIcon::partlyCloudy:
        return QStringLiteral("cloud.sun.fill");
    case WeatherConditionIcon::cloudy:
        return QStringLiteral("cloud.fill");
    case WeatherConditionIcon::fog:
        return QStringLiteral("cloud.fog.fill");
    case WeatherConditionIcon::drizzle:
        return QStringLiteral("cloud.drizzle.fill");
    case WeatherConditionIcon::rain:
        return QStringLiteral("cloud.rain.fill");
    case WeatherConditionIcon::snow:
        return QStringLiteral("cloud.snow.fill");
    case WeatherConditionIcon::showers:
        return QStringLiteral("cloud.heavyrain.fill");
    case WeatherConditionIcon::thunderstorm:
        return QStringLiteral("cloud.bolt.rain.fill");
    }
    return {};
}

} // namespace ribbex
