#include "settings/enumerations.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ribbex {

namespace {

template<typename Enum, std::size_t N> using RawTable = std::array<std::pair<Enum, QStringView>, N>;

constexpr RawTable<TickerSource, 5> sourceRaw {{
    {TickerSource::spotify, u"spotify"},
    {TickerSource::football, u"football"},
    {TickerSource::news, u"news"},
    {TickerSource::rss, u"rss"},
    {TickerSource::weather, u"weather"},
}};

constexpr RawTable<TickerSource, 5> sourceSymbols {{
    {TickerSource::spotify, u"music.note"},
    {TickerSource::football, u"sportscourt"},
    {TickerSource::news, u"newspaper"},
    {TickerSource::rss, u"dot.radiowaves.left.and.right"},
    {TickerSource::weather, u"cloud.sun"},
}};

constexpr RawTable<TickerStyle, 3> styleRaw {{
    {TickerStyle::classic, u"Classic"},
    {TickerStyle::led, u"LED inspired"},
    {TickerStyle::dotMatrix, u"Dot Matrix"},
}};

constexpr RawTable<TickerLayout, 2> layoutRaw {{
    {TickerLayout::single, u"Single ticker"},
    {TickerLayout::grouped, u"Grouped by source"},
}};

constexpr RawTable<NewsRefreshInterval, 4> intervalTitles {{
    {NewsRefreshInterval::fifteenMinutes, u"15 minutes"},
    {NewsRefreshInterval::thirtyMinutes, u"30 minutes"},
    {NewsRefreshInterval::oneHour, u"1 hour"},
    {NewsRefreshInterval::twoHours, u"2 hours"},
}};

template<typename Enum, std::size_t N> QString lookUp(const RawTable<Enum, N> &table, Enum value)
{
    const auto it = std::ranges::find(table, value, &std::pair<Enum, QStringView>::first);
    return it == table.end() ? QString() : it->second.toString();
}

template<typename Enum, std::size_t N>
std::optional<Enum> reverseLookUp(const RawTable<Enum, N> &table, QStringView raw)
{
    const auto it = std::ranges::find(table, raw, &std::pair<Enum, QStringView>::second);
    return it == table.end() ? std::nullopt : std::optional<Enum>(it->first);
}

template<typename Enum, std::size_t N> QList<Enum> casesOf(const RawTable<Enum, N> &table)
{
    QList<Enum> cases;
    for (const auto &entry : table)
        cases.append(entry.first);
    return cases;
}

} // namespace

QString rawValue(TickerSource source)
{
    return lookUp(sourceRaw, source);
}
QString rawValue(TickerStyle style)
{
    return lookUp(styleRaw, style);
}
QString rawValue(TickerLayout layout)
{
    return lookUp(layoutRaw, layout);
}
qint64 rawValue(NewsRefreshInterval interval)
{
    return static_cast<qint64>(interval);
}

template<> std::optional<TickerSource> fromRawValue<TickerSource>(QStringView raw)
{
    return reverseLookUp(sourceRaw, raw);
}

template<> std::optional<TickerStyle> fromRawValue<TickerStyle>(QStringView raw)
{
    return reverseLookUp(styleRaw, raw);
}

template<> std::optional<TickerLayout> fromRawValue<TickerLayout>(QStringView raw)
{
    return reverseLookUp(layoutRaw, raw);
}

std::optional<NewsRefreshInterval> newsRefreshIntervalFromSeconds(qint64 seconds)
{
    for (const auto &entry : intervalTitles) {
        if (rawValue(entry.first) == seconds)
            return entry.first;
    }
    return std::nullopt;
}

template<> const QList<TickerSource> &allCases<TickerSource>()
{
    static const QList<TickerSource> cases {
        TickerSource::news, TickerSource::spotify, TickerSource::football, TickerSource::weather};
    return cases;
}

template<> const QList<TickerStyle> &allCases<TickerStyle>()
{
    static const QList<TickerStyle> cases = casesOf(styleRaw);
    return cases;
}

template<> const QList<TickerLayout> &allCases<TickerLayout>()
{
    static const QList<TickerLayout> cases = casesOf(layoutRaw);
    return cases;
}

template<> const QList<NewsRefreshInterval> &allCases<NewsRefreshInterval>()
{
    static const QList<NewsRefreshInterval> cases = casesOf(intervalTitles);
    return cases;
}

QString symbolName(TickerSource source)
{
    return lookUp(sourceSymbols, source);
}
QString title(TickerStyle style)
{
    return rawValue(style);
}
QString title(TickerLayout layout)
{
    return rawValue(layout);
}
QString title(NewsRefreshInterval interval)
{
    return lookUp(intervalTitles, interval);
}

} // namespace ribbex
