#include "sources/weather/open_meteo_weather_provider.h"

#include "sources/net/http_get.h"
#include "sources/net/network_access.h"
#include "sources/weather/open_meteo_decoder.h"

#include <QCoroFuture>
#include <QNetworkRequest>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <optional>
#include <utility>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;
using Kind = WeatherProviderError::Kind;
template<typename T> using WeatherResult = std::expected<T, WeatherProviderError>;

// What a request needs of the provider, copied into it so the provider may go while it runs.
struct Service {
    QNetworkAccessManager &network;
    const Clock &clock;
    QUrl geocodingBase;
    QUrl forecastBase;
    std::chrono::milliseconds timeout;
};

struct Condition {
    QString text;
    WeatherConditionIcon icon;
};

Condition conditionOf(qint64 code)
{
    using enum WeatherConditionIcon;
    switch (code) {
    case 0:
        return {u"Clear"_s, clear};
    case 1:
        return {u"Mostly clear"_s, mostlyClear};
    case 2:
        return {u"Partly cloudy"_s, partlyCloudy};
    case 3:
        return {u"Overcast"_s, cloudy};
    case 45:
    case 48:
        return {u"Fog"_s, fog};
    case 51:
    case 53:
    case 55:
    case 56:
    case 57:
        return {u"Drizzle"_s, drizzle};
    case 61:
    case 63:
    case 65:
    case 66:
    case 67:
        return {u"Rain"_s, rain};
    case 71:
    case 73:
    case 75:
    case 77:
        return {u"Snow"_s, snow};
    case 80:
    case 81:
    case 82:
        return {u"Showers"_s, showers};
    case 85:
    case 86:
        return {u"Snow showers"_s, showers};
    case 95:
    case 96:
    case 99:
        return {u"Thunderstorm"_s, thunderstorm};
    default:
        return {u"Current conditions"_s, cloudy};
    }
}

// Fahrenheit only for the US measurement system; the UK's is Celsius for temperatures.
std::pair<QString, QString> unitOf(const QLocale &locale)
{
    if (locale.measurementSystem() == QLocale::ImperialUSSystem)
        return {u"fahrenheit"_s, u"F"_s};
    return {u"celsius"_s, u"C"_s};
}

// The language the geocoder names places in; the C locale has none.
QString languageOf(const QLocale &locale)
{
    const QString code = locale.language() == QLocale::C ? QString() : locale.name().section(u'_', 0, 0);
    return code.isEmpty() ? u"en"_s : code;
}

// Two decimals, about a kilometre: the only form in which coordinates leave the machine.
// QString::number never writes a locale's decimal comma.
std::optional<QString> coordinateText(double degrees, double limit)
{
    if (!std::isfinite(degrees) || std::abs(degrees) > limit)
        return std::nullopt;
    const QString text = QString::number(degrees, 'f', 2);
    return text == u"-0.00" ? u"0.00"_s : text;
}

// The endpoint below the base's own path, with the items in their order. Values are encoded in
// full: a '+' left as it is would reach the service as a space.
QUrl endpoint(const QUrl &base, const QString &path, const QList<std::pair<QString, QString>> &items)
{
    QUrl url = serviceEndpoint(base, path);
    QStringList query;
    for (const auto &[key, value] : items)
        query.append(key + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(value, ",")));
    url.setQuery(query.join(u'&'), QUrl::StrictMode);
    return url;
}

// A successful answer. (Not its bare body: QCoro's assertions compare the task's handle, which
// std::expected<QByteArray, ...> turns into a recursive overload check on g++ 12.)
QCoro::Task<WeatherResult<HttpResponse>> fetch(const Service &service, QUrl url)
{
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    std::expected<HttpResponse, FetchFailure> response = co_await httpGet(
        service.network, std::move(request), FetchLimits {OpenMeteoWeatherProvider::maxBodyBytes, service.timeout});
    if (!response) {
        if (response.error().kind == FetchFailure::Kind::notHttp)
            co_return std::unexpected(WeatherProviderError {Kind::invalidResponse});
        co_return std::unexpected(WeatherProviderError {.kind = Kind::fetch, .failure = response.error()});
    }
    if (!response->isSuccess())
        co_return std::unexpected(WeatherProviderError {.kind = Kind::http, .statusCode = response->statusCode});
    co_return std::move(*response);
}

QCoro::Task<WeatherResult<WeatherSnapshot>> forecastAt(
    Service service, double latitude, double longitude, QString location, QLocale locale)
{
    const std::optional<QString> latitudeText = coordinateText(latitude, 90);
    const std::optional<QString> longitudeText = coordinateText(longitude, 180);
    if (!latitudeText || !longitudeText)
        co_return std::unexpected(WeatherProviderError {Kind::unreadable});
    const auto [unit, unitSymbol] = unitOf(locale);
    const QUrl url = endpoint(service.forecastBase, u"/v1/forecast"_s,
        {{u"latitude"_s, *latitudeText}, {u"longitude"_s, *longitudeText},
            {u"current"_s, u"temperature_2m,weather_code"_s}, {u"temperature_unit"_s, unit},
            {u"timezone"_s, u"auto"_s}});
    WeatherResult<HttpResponse> response = co_await fetch(service, url);
    if (!response)
        co_return std::unexpected(response.error());
    // Decoding grows with what the server sent: it runs off the GUI thread. (The future is a
    // named value: g++ 12 mishandles temporaries inside a co_await expression.)
    const QFuture<std::optional<OpenMeteoConditions>> decoding
        = QtConcurrent::run(&openMeteo::decodeForecast, std::move(response->body));
    const std::optional<OpenMeteoConditions> current = co_await decoding;
    if (!current)
        co_return std::unexpected(WeatherProviderError {Kind::unreadable});
    const Condition condition = conditionOf(current->weatherCode);
    // std::round takes halves away from zero; the decoder keeps the value well inside 64 bits.
    co_return WeatherSnapshot {static_cast<qint64>(std::round(current->temperature)), unitSymbol, condition.text,
        condition.icon, std::move(location), service.clock.now()};
}

QCoro::Task<WeatherResult<WeatherSnapshot>> forecastFor(Service service, QString city, QLocale locale)
{
    const QUrl url = endpoint(service.geocodingBase, u"/v1/search"_s,
        {{u"name"_s, city}, {u"count"_s, u"1"_s}, {u"language"_s, languageOf(locale)}});
    WeatherResult<HttpResponse> response = co_await fetch(service, url);
    if (!response)
        co_return std::unexpected(response.error());
    const QFuture<std::optional<QList<OpenMeteoPlace>>> decoding
        = QtConcurrent::run(&openMeteo::decodeGeocoding, std::move(response->body));
    const std::optional<QList<OpenMeteoPlace>> places = co_await decoding;
    if (!places)
        co_return std::unexpected(WeatherProviderError {Kind::unreadable});
    if (places->isEmpty())
        co_return std::unexpected(WeatherProviderError {Kind::locationNotFound});
    const OpenMeteoPlace &place = places->first();
    co_return co_await forecastAt(
        std::move(service), place.latitude, place.longitude, openMeteo::displayName(place), std::move(locale));
}

} // namespace

OpenMeteoWeatherProvider::OpenMeteoWeatherProvider(QNetworkAccessManager &network, const Clock &clock,
    QUrl geocodingBase, QUrl forecastBase, std::chrono::milliseconds timeout)
    : m_network(network)
    , m_clock(clock)
    , m_geocodingBase(std::move(geocodingBase))
    , m_forecastBase(std::move(forecastBase))
    , m_timeout(timeout)
{
}

QCoro::Task<std::expected<WeatherSnapshot, WeatherProviderError>> OpenMeteoWeatherProvider::forecast(
    QString city, QLocale locale) const
{
    return forecastFor(
        {m_network, m_clock, m_geocodingBase, m_forecastBase, m_timeout}, std::move(city), std::move(locale));
}

QCoro::Task<std::expected<WeatherSnapshot, WeatherProviderError>> OpenMeteoWeatherProvider::forecast(
    double latitude, double longitude, QString location, QLocale locale) const
{
    return forecastAt({m_network, m_clock, m_geocodingBase, m_forecastBase, m_timeout}, latitude, longitude,
        std::move(location), std::move(locale));
}

QString OpenMeteoWeatherProvider::condition(qint64 code)
{
    return conditionOf(code).text;
}

WeatherConditionIcon OpenMeteoWeatherProvider::icon(qint64 code)
{
    return conditionOf(code).icon;
}

} // namespace ribbex
