#pragma once

// Weather as a source of the ticker: Open-Meteo's forecast for a city or the current location,
// refreshed every half hour, and the weather section of the settings window.

#include "platform/weather_location_service.h"
#include "sources/live_source.h"
#include "sources/weather/open_meteo_weather_provider.h"
#include "sources/weather/weather_refresh.h"

namespace ribbex {

class WeatherSource final : public LiveSource {
public:
    static constexpr std::chrono::seconds refreshInterval {1800};

    explicit WeatherSource(const SourceServices &services);

    TickerSource kind() const override { return TickerSource::weather; }
    std::optional<std::chrono::seconds> repeatInterval() const override { return refreshInterval; }
    QCoro::Task<> refreshNow() override;
    QCoro::Task<> refreshIfDue() override;
    QString status() const override;
    SourceSection *createSettingsSection(QWidget *parent) override;

private:
    SettingsModel &m_model;
    OpenMeteoWeatherProvider m_provider;
    WeatherLocationService m_location;
    WeatherRefresh m_refresh;
};

} // namespace ribbex
