#pragma once

// The ticker's enumerations. Each case has a raw value that is its identity, its stored form
// and, for the style and the layout, its display title.

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace ribbex {

enum class TickerSource { spotify, football, news, rss, weather };
enum class TickerStyle { classic, led, dotMatrix };
enum class TickerLayout { single, grouped };
enum class NewsRefreshInterval { fifteenMinutes = 900, thirtyMinutes = 1800, oneHour = 3600, twoHours = 7200 };

QString rawValue(TickerSource source);
QString rawValue(TickerStyle style);
QString rawValue(TickerLayout layout);
qint64 rawValue(NewsRefreshInterval interval);

// The case whose raw value is exactly the given one (case-sensitive), or nothing.
template<typename Enum> std::optional<Enum> fromRawValue(QStringView raw);
template<> std::optional<TickerSource> fromRawValue<TickerSource>(QStringView raw);
template<> std::optional<TickerStyle> fromRawValue<TickerStyle>(QStringView raw);
template<> std::optional<TickerLayout> fromRawValue<TickerLayout>(QStringView raw);
std::optional<NewsRefreshInterval> newsRefreshIntervalFromSeconds(qint64 seconds);

// The cases offered to the user, in the order offered. The rss source is a valid stored value
// but is never offered.
template<typename Enum> const QList<Enum> &allCases();
template<> const QList<TickerSource> &allCases<TickerSource>();
template<> const QList<TickerStyle> &allCases<TickerStyle>();
template<> const QList<TickerLayout> &allCases<TickerLayout>();
template<> const QList<NewsRefreshInterval> &allCases<NewsRefreshInterval>();

QString symbolName(TickerSource source);
QString title(TickerStyle style);
QString title(TickerLayout layout);
QString title(NewsRefreshInterval interval);

} // namespace ribbex
