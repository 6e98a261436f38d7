#pragma once

// The weather source's side of the model: the forecast for the user's city or for the current
// location, published with a one-line status, and the two choices the settings window offers.

#include "model/settings_model.h"
#include "platform/location_provider.h"
#include "sources/weather/open_meteo_weather_provider.h"

#include <QObject>
#include <QString>

#include <QCoroTask>

#include <functional>
#include <memory>

namespace ribbex {

class LocationWait;

class WeatherRefresh final : public QObject {
    Q_OBJECT

public:
    // The place name for rounded coordinates, when one is known.
    using PlaceNamer = std::function<QCoro::Task<std::optional<QString>>(GeoCoordinates)>;

    // The model, the provider and the location provider must outlive this object.
    WeatherRefresh(SettingsModel &model, OpenMeteoWeatherProvider &provider, LocationProvider &location,
        PlaceNamer placeNamer, QObject *parent = nullptr);
    ~WeatherRefresh() override;

    // Fetches the forecast when weather is enabled and ends when it is published, has failed or
    // a newer refresh took over; failures become the status text.
    QCoro::Task<> refreshWeather();
    // The forecast for coordinates already rounded, named after the nearest city when there is one.
    QCoro::Task<> fetchWeather(double latitude, double longitude, QString label);

    // Chooses a city (trimmed; an empty one only says so) and starts a refresh; returns at once.
    void refreshWeatherForCity(const QString &city);
    // Switches the current location on (and starts a refresh) or off.
    void useCurrentWeatherLocation(bool enabled);

    // A coordinate on the 0.01-degree grid the forecast is asked for, halves away from zero.
    static double rounded(double degrees);

private:
    QCoro::Task<> refreshForCity(quint64 refresh, QString city);
    QCoro::Task<> refreshForLocation(quint64 refresh);
    QCoro::Task<std::optional<std::expected<GeoCoordinates, LocationError>>> locate();
    QCoro::Task<> fetch(quint64 refresh, double latitude, double longitude, QString label);
    bool isLatest(quint64 refresh) const { return refresh == m_latestRefresh; }
    void storeChoice(bool useCurrentLocation, std::optional<QString> city);

    SettingsModel &m_model;
    OpenMeteoWeatherProvider &m_provider;
    LocationProvider &m_location;
    PlaceNamer m_placeNamer;
    std::shared_ptr<LocationWait> m_pendingLocation;
    quint64 m_latestRefresh = 0;
};

} // namespace ribbex
