#pragma once

// The client of Open-Meteo: a city's place from the geocoding service, and the current
// temperature and conditions at a place from the forecast service. Stateless between calls.

#include "model/source_records.h"
#include "platform/clock.h"
#include "sources/weather/weather_provider_error.h"

#include <QLocale>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <QCoroTask>

#include <chrono>
#include <expected>

namespace ribbex {

class OpenMeteoWeatherProvider {
public:
    static constexpr std::chrono::milliseconds defaultTimeout {20000};
    static constexpr qint64 maxBodyBytes = 1024 * 1024;

    // Bases: scheme, host and optional port; the manager and clock outlive every request.
    OpenMeteoWeatherProvider(QNetworkAccessManager &network, const Clock &clock, QUrl geocodingBase, QUrl forecastBase,
        std::chrono::milliseconds timeout = defaultTimeout);

    // Geocodes the city, then forecasts for the first result, labelled with its display name.
    QCoro::Task<std::expected<WeatherSnapshot, WeatherProviderError>> forecast(
        QString city, QLocale locale = QLocale()) const;
    // The locale picks the unit (Fahrenheit for the US measurement system) and, for a city, the
    // language of the place names.
    QCoro::Task<std::expected<WeatherSnapshot, WeatherProviderError>> forecast(
        double latitude, double longitude, QString location, QLocale locale = QLocale()) const;

    // The text and icon of a WMO weather code.
    static QString condition(qint64 code);
    static WeatherConditionIcon icon(qint64 code);

private:
    QNetworkAccessManager &m_network;
    const Clock &m_clock;
    QUrl m_geocodingBase;
    QUrl m_forecastBase;
    std::chrono::milliseconds m_timeout;
};

} // namespace ribbex
