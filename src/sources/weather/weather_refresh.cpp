#include "sources/weather/weather_refresh.h"

#include <QCoroSignal>
#include <QPointer>

#include <cmath>

namespace ribbex {

using namespace Qt::StringLiterals;

using LocationAnswer = std::expected<GeoCoordinates, LocationError>;

// One location request awaited by one refresh. It ends with the provider's answer, or with
// nothing when a newer request or the refresh's owner going away supersedes it.
class LocationWait final : public QObject {
    Q_OBJECT

public:
    void finish(std::optional<LocationAnswer> answer)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_answer = std::move(answer);
        Q_EMIT finished();
    }
    bool isFinished() const { return m_finished; }
    const std::optional<LocationAnswer> &answer() const { return m_answer; }

Q_SIGNALS:
    void finished();

private:
    bool m_finished = false;
    std::optional<LocationAnswer> m_answer;
};

WeatherRefresh::WeatherRefresh(SettingsModel &model, OpenMeteoWeatherProvider &provider, LocationProvider &location,
    PlaceNamer placeNamer, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_provider(provider)
    , m_location(location)
    , m_placeNamer(std::move(placeNamer))
{
}

WeatherRefresh::~WeatherRefresh()
{
    // A refresh awaiting the location ends now instead of never.
    if (m_pendingLocation)
        m_pendingLocation->finish(std::nullopt);
}

double WeatherRefresh::rounded(double degrees)
{
    return std::round(degrees * 100.0) / 100.0;
}

QCoro::Task<> WeatherRefresh::refreshWeather()
{
    const RibbexSettings &settings = m_model.settings();
    if (!settings.isEnabled(TickerSource::weather))
        co_return;
    // Any refresh still in flight is for a choice that may no longer hold: it must not publish.
    const quint64 refresh = ++m_latestRefresh;
    if (settings.weatherUseCurrentLocation.value_or(false)) {
        co_await refreshForLocation(refresh);
        co_return;
    }
    const QString city = settings.weatherCity.value_or(QString());
    if (city.isEmpty()) {
        m_model.setWeatherStatus(u"Enable current location or enter a city below"_s);
        co_return;
    }
    co_await refreshForCity(refresh, city);
}

QCoro::Task<> WeatherRefresh::refreshForCity(quint64 refresh, QString city)
{
    m_model.setWeatherStatus(u"Loading weather for "_s + city + u"…"_s);
    const QPointer<WeatherRefresh> self(this);
    const auto result = co_await m_provider.forecast(city);
    if (!self || !isLatest(refresh))
        co_return;
    if (!result) {
        // The last good forecast stays.
        m_model.setWeatherStatus(result.error().description());
        co_return;
    }
    m_model.setWeatherSnapshot(*result);
    m_model.setWeatherStatus(u"Updated just now · "_s + result->location);
}

QCoro::Task<> WeatherRefresh::refreshForLocation(quint64 refresh)
{
    m_model.setWeatherStatus(u"Requesting approximate location…"_s);
    const QPointer<WeatherRefresh> self(this);
    const std::optional<LocationAnswer> answer = co_await locate();
    if (!self || !answer || !isLatest(refresh))
        co_return;
    if (!*answer) {
        const QString description = answer->error().description();
        m_model.setWeatherStatus(
            description.contains(u"denied"_s) ? u"Location access is off · enter a city instead"_s : description);
        co_return;
    }
    co_await fetch(refresh, rounded((*answer)->latitude), rounded((*answer)->longitude), u"Local"_s);
}

QCoro::Task<std::optional<LocationAnswer>> WeatherRefresh::locate()
{
    // Only the latest request is answered: an older one still waiting ends with nothing.
    if (m_pendingLocation)
        m_pendingLocation->finish(std::nullopt);
    const auto wait = std::make_shared<LocationWait>();
    m_pendingLocation = wait;
    m_location.requestLocation([weak = std::weak_ptr(wait)](LocationAnswer answer) {
        if (const std::shared_ptr<LocationWait> waiting = weak.lock())
            waiting->finish(std::move(answer));
    });
    if (!wait->isFinished())
        co_await qCoro(wait.get(), &LocationWait::finished);
    if (m_pendingLocation == wait)
        m_pendingLocation.reset();
    co_return wait->answer();
}

QCoro::Task<> WeatherRefresh::fetchWeather(double latitude, double longitude, QString label)
{
    co_await fetch(++m_latestRefresh, latitude, longitude, std::move(label));
}

QCoro::Task<> WeatherRefresh::fetch(quint64 refresh, double latitude, double longitude, QString label)
{
    m_model.setWeatherStatus(u"Loading local weather…"_s);
    const QPointer<WeatherRefresh> self(this);
    std::expected<WeatherSnapshot, WeatherProviderError> result
        = co_await m_provider.forecast(latitude, longitude, label);
    if (!self || !isLatest(refresh))
        co_return;
    if (!result) {
        m_model.setWeatherStatus(result.error().description());
        co_return;
    }
    // Looked up on this machine: the coordinates go nowhere but into the forecast request.
    if (m_placeNamer) {
        const std::optional<QString> place = co_await m_placeNamer(GeoCoordinates {latitude, longitude});
        if (!self || !isLatest(refresh))
            co_return;
        if (place && !place->isEmpty())
            result->location = *place;
    }
    m_model.setWeatherSnapshot(*result);
    m_model.setWeatherStatus(u"Updated just now · approximate location"_s);
}

void WeatherRefresh::refreshWeatherForCity(const QString &city)
{
    const QString trimmed = city.trimmed();
    if (trimmed.isEmpty()) {
        m_model.setWeatherStatus(u"Enter a city name"_s);
        return;
    }
    storeChoice(false, trimmed);
    (void)refreshWeather();
}

void WeatherRefresh::useCurrentWeatherLocation(bool enabled)
{
    if (enabled) {
        storeChoice(true, std::nullopt);
        (void)refreshWeather();
        return;
    }
    storeChoice(false, m_model.settings().weatherCity);
    m_model.setWeatherStatus(u"Choose a city for weather, or enable current location"_s);
}

void WeatherRefresh::storeChoice(bool useCurrentLocation, std::optional<QString> city)
{
    RibbexSettings settings = m_model.settings();
    settings.weatherUseCurrentLocation = useCurrentLocation;
    settings.weatherCity = std::move(city);
    m_model.setSettings(settings);
}

} // namespace ribbex

#include "weather_refresh.moc"
