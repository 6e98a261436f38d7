#include "platform/weather_location_service.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGeoPositionInfoSource>

#include <algorithm>
#include <limits>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

const auto geoClueService = u"org.freedesktop.GeoClue2"_s;

QGeoPositionInfoSource *createSource(QObject *parent)
{
    const QString nmeaSource = qEnvironmentVariable("RIBBEX_NMEA_SOURCE");
    if (!nmeaSource.isEmpty()) {
        // Qt's NMEA plugin replays an existing file at its recorded pace and reads anything else
        // as a serial port, or as a TCP source when it starts with "socket:".
        return QGeoPositionInfoSource::createSource(u"nmea"_s, {{u"nmea.source"_s, nmeaSource}}, parent);
    }
    // GeoClue asks the user and keeps its per-application choice under the desktop file's id.
    return QGeoPositionInfoSource::createDefaultSource({{u"desktopId"_s, u"com.ribbex.Ribbex"_s}}, parent);
}

LocationError errorFor(QGeoPositionInfoSource::Error error)
{
    switch (error) {
    case QGeoPositionInfoSource::AccessError:
        return {LocationError::Kind::accessDenied};
    case QGeoPositionInfoSource::UpdateTimeoutError:
        return {LocationError::Kind::timedOut};
    case QGeoPositionInfoSource::ClosedError:
        return {LocationError::Kind::unavailable};
    case QGeoPositionInfoSource::UnknownSourceError:
    case QGeoPositionInfoSource::NoError:
        break;
    }
    return {LocationError::Kind::failed, u"the location service reported an unknown error"_s};
}

} // namespace

WeatherLocationService::WeatherLocationService(QObject *parent, std::chrono::milliseconds limit)
    : QObject(parent)
    , m_limit(limit)
    , m_source(createSource(this))
{
    if (!m_source)
        return;
    connect(m_source, &QGeoPositionInfoSource::positionUpdated, this, [this](const QGeoPositionInfo &info) {
        if (info.coordinate().isValid())
            deliver(GeoCoordinates {info.coordinate().latitude(), info.coordinate().longitude()});
        else
            deliver(std::unexpected(LocationError {LocationError::Kind::unknown}));
    });
    connect(m_source, &QGeoPositionInfoSource::errorOccurred, this,
        [this](QGeoPositionInfoSource::Error error) { deliver(std::unexpected(errorFor(error))); });
    // Qt 6.4's GeoClue2 source reads GeoClue's accuracy with a blocking D-Bus call when the
    // methods are set, so that waits until GeoClue is known to be there.
    m_awaitingGeoClue = m_source->sourceName() == u"geoclue2"_s;
    if (!m_awaitingGeoClue)
        preferAllMethods();
}

void WeatherLocationService::requestLocation(Completion completion)
{
    m_completion = std::move(completion);
    m_deadline.setRemainingTime(m_limit);
    if (!m_source)
        deliver(std::unexpected(LocationError {LocationError::Kind::unavailable}));
    else if (m_awaitingGeoClue)
        checkGeoClueThenAsk();
    else
        askSource();
}

// Without GeoClue, Qt 6.4's GeoClue2 source reports AccessError, which would read as the user's
// refusal, or with no system bus at all waits out the whole limit. The bus answers first: it
// starts GeoClue if it is installed and says so at once if it is not.
void WeatherLocationService::checkGeoClueThenAsk()
{
    if (m_checkingGeoClue)
        return;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        deliver(std::unexpected(LocationError {LocationError::Kind::unavailable}));
        return;
    }
    QDBusMessage start = QDBusMessage::createMethodCall(
        u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, u"StartServiceByName"_s);
    start << geoClueService << 0u;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(start, remainingMilliseconds()), this);
    m_checkingGeoClue = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        m_checkingGeoClue = false;
        if (call->isError()) {
            deliver(std::unexpected(LocationError {LocationError::Kind::unavailable}));
            return;
        }
        m_awaitingGeoClue = false;
        preferAllMethods();
        askSource();
    });
}

void WeatherLocationService::preferAllMethods()
{
    // Kilometre accuracy would do, but Qt's sources take no accuracy: with all methods GeoClue is
    // asked for its exact level, and a fix from any of its sources answers.
    m_source->setPreferredPositioningMethods(QGeoPositionInfoSource::AllPositioningMethods);
}

void WeatherLocationService::askSource()
{
    m_source->requestUpdate(remainingMilliseconds());
}

// At least 1: both of Qt's Linux sources read 0 as their own, much longer default.
int WeatherLocationService::remainingMilliseconds() const
{
    return static_cast<int>(std::clamp<qint64>(m_deadline.remainingTime(), 1, std::numeric_limits<int>::max()));
}

// Sources answer from inside requestUpdate too (the NMEA one with its first fix, GeoClue's with a
// bad limit), so the completion is called from the event loop. An answer nobody asked for, such
// as GeoClue's complaint while its methods are set, is dropped.
void WeatherLocationService::deliver(std::expected<GeoCoordinates, LocationError> answer)
{
    if (!m_completion)
        return;
    QMetaObject::invokeMethod(
        this, [this, answer = std::move(answer)]() mutable { finish(std::move(answer)); }, Qt::QueuedConnection);
}

void WeatherLocationService::finish(std::expected<GeoCoordinates, LocationError> answer)
{
    // Taken out first: the completion may ask again.
    if (Completion completion = std::exchange(m_completion, nullptr))
        completion(std::move(answer));
}

} // namespace ribbex
