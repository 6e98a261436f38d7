#pragma once

// The computer's approximate position from Qt Positioning: GeoClue2 on the desktop, or a GPS
// receiver or recorded NMEA log for those without it.

#include "platform/location_provider.h"

#include <QDeadlineTimer>
#include <QObject>

#include <chrono>

class QGeoPositionInfoSource;

namespace ribbex {

class WeatherLocationService final : public QObject, public LocationProvider {
public:
    static constexpr std::chrono::milliseconds fixLimit {30000};

    // RIBBEX_NMEA_SOURCE, when set, selects Qt's NMEA source ("nmea.source": a log file,
    // serial:/dev/ttyUSB0 or socket://host:port); otherwise the default source (GeoClue2).
    explicit WeatherLocationService(QObject *parent = nullptr, std::chrono::milliseconds limit = fixLimit);

    void requestLocation(Completion completion) override;

private:
    void checkGeoClueThenAsk();
    void preferAllMethods();
    void askSource();
    int remainingMilliseconds() const;
    void deliver(std::expected<GeoCoordinates, LocationError> answer);
    void finish(std::expected<GeoCoordinates, LocationError> answer);

    std::chrono::milliseconds m_limit;
    QGeoPositionInfoSource *m_source = nullptr;
    // True for the GeoClue2 source until the service has been found on the system bus.
    bool m_awaitingGeoClue = false;
    bool m_checkingGeoClue = false;
    QDeadlineTimer m_deadline;
    Completion m_completion;
};

} // namespace ribbex
