#include "sources/weather/weather_source.h"

#include "platform/nearest_city.h"
#include "sources/net/network_access.h"
#include "sources/weather/weather_section.h"

namespace ribbex {

using namespace Qt::StringLiterals;

WeatherSource::WeatherSource(const SourceServices &services)
    : m_model(services.model)
    , m_provider(services.network, services.model.clock(),
          serviceBaseUrl("RIBBEX_GEOCODING_URL", QUrl(u"https://geocoding-api.open-meteo.com"_s)),
          serviceBaseUrl("RIBBEX_FORECAST_URL", QUrl(u"https://api.open-meteo.com"_s)))
    , m_refresh(services.model, m_provider, m_location, [](GeoCoordinates at) { return nearestCityNameAsync(at); })
{
}

QCoro::Task<> WeatherSource::refreshNow()
{
    return m_refresh.refreshWeather();
}

QCoro::Task<> WeatherSource::refreshIfDue()
{
    // The repeating timer is the pacing: each turn refreshes.
    return m_refresh.refreshWeather();
}

QString WeatherSource::status() const
{
    return m_model.weatherStatus();
}

SourceSection *WeatherSource::createSettingsSection(QWidget *parent)
{
    return new WeatherSection(m_model, m_refresh, parent);
}

} // namespace ribbex
