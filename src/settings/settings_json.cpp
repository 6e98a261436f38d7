#include "settings/ribbex_settings.h"
#include "settings/strict_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

template<typename Enum> QJsonArray rawValueArray(const std::set<Enum> &values, QString (*raw)(Enum))
{
    QJsonArray array;
    for (const Enum value : values)
        array.append(raw(value));
    return array;
}

bool allFinite(const RibbexSettings &s)
{
    const auto finite = [](std::optional<double> v) { return !v || std::isfinite(*v); };
    return std::isfinite(s.speed) && std::isfinite(s.width) && finite(s.backgroundTransparency)
        && finite(s.progressBarTransparency);
}

const auto readSource = [](const QJsonValue &v, std::set<TickerSource> &out) {
    return json::decodeMappedSet(v, out, fromRawValue<TickerSource>);
};
const auto readCompetitions = [](const QJsonValue &v, FootballCompetitionSet &out) {
    return json::decodeMappedSet(v, out, footballCompetitionFromId);
};
const auto readLayout
    = [](const QJsonValue &v, TickerLayout &out) { return json::decodeMapped(v, out, fromRawValue<TickerLayout>); };
const auto readStyle
    = [](const QJsonValue &v, TickerStyle &out) { return json::decodeMapped(v, out, fromRawValue<TickerStyle>); };

bool readRequiredFields(const QJsonObject &o, RibbexSettings &s)
{
    return json::required(o, u"version"_s, s.version)
        && json::required(o, u"enabledSources"_s, s.enabledSources, readSource)
        && json::required(o, u"layout"_s, s.layout, readLayout) && json::required(o, u"style"_s, s.style, readStyle)
        && json::required(o, u"speed"_s, s.speed) && json::required(o, u"width"_s, s.width)
        && json::required(o, u"textColor"_s, s.textColor) && json::required(o, u"backgroundColor"_s, s.backgroundColor)
        && json::required(o, u"isVisible"_s, s.isVisible) && json::required(o, u"startsHidden"_s, s.startsHidden);
}

bool readOptionalFields(const QJsonObject &o, RibbexSettings &s)
{
    return json::optional(o, u"transparentBackground"_s, s.transparentBackground)
        && json::optional(o, u"backgroundTransparency"_s, s.backgroundTransparency)
        && json::optional(o, u"spotifyClientID"_s, s.spotifyClientID)
        && json::optional(o, u"weatherUseCurrentLocation"_s, s.weatherUseCurrentLocation)
        && json::optional(o, u"weatherCity"_s, s.weatherCity)
        && json::optional(o, u"weatherResolveNameWithApple"_s, s.weatherResolveNameWithApple)
        && json::optional(o, u"newsFeedID"_s, s.newsFeedID)
        && json::optional(o, u"newsHeadlineCount"_s, s.newsHeadlineCount)
        && json::optional(o, u"customNewsFeedURL"_s, s.customNewsFeedURL)
        && json::optional(o, u"newsRefreshIntervalSeconds"_s, s.newsRefreshIntervalSeconds)
        && json::optional(o, u"progressBarColor"_s, s.progressBarColor)
        && json::optional(o, u"progressBarTransparency"_s, s.progressBarTransparency)
        && json::optional(o, u"thickSpotifyProgressBar"_s, s.thickSpotifyProgressBar)
        && json::optional(o, u"separateFootballZone"_s, s.separateFootballZone)
        && json::optional(o, u"roundedTickerEdges"_s, s.roundedTickerEdges)
        && json::optional(o, u"selectedFootballCompetitions"_s, s.selectedFootballCompetitions, readCompetitions);
}

QJsonObject requiredFields(const RibbexSettings &s)
{
    return {
        {u"version"_s, s.version},
        {u"enabledSources"_s, rawValueArray(s.enabledSources, &rawValue)},
        {u"layout"_s, rawValue(s.layout)},
        {u"style"_s, rawValue(s.style)},
        {u"speed"_s, s.speed},
        {u"width"_s, s.width},
        {u"textColor"_s, s.textColor},
        {u"backgroundColor"_s, s.backgroundColor},
        {u"isVisible"_s, s.isVisible},
        {u"startsHidden"_s, s.startsHidden},
    };
}

void putOptionalFields(QJsonObject &o, const RibbexSettings &s)
{
    json::putOptional(o, u"transparentBackground"_s, s.transparentBackground);
    json::putOptional(o, u"backgroundTransparency"_s, s.backgroundTransparency);
    json::putOptional(o, u"spotifyClientID"_s, s.spotifyClientID);
    json::putOptional(o, u"weatherUseCurrentLocation"_s, s.weatherUseCurrentLocation);
    json::putOptional(o, u"weatherCity"_s, s.weatherCity);
    json::putOptional(o, u"weatherResolveNameWithApple"_s, s.weatherResolveNameWithApple);
    json::putOptional(o, u"newsFeedID"_s, s.newsFeedID);
    json::putOptional(o, u"newsHeadlineCount"_s, s.newsHeadlineCount);
    json::putOptional(o, u"customNewsFeedURL"_s, s.customNewsFeedURL);
    json::putOptional(o, u"newsRefreshIntervalSeconds"_s, s.newsRefreshIntervalSeconds);
    json::putOptional(o, u"progressBarColor"_s, s.progressBarColor);
    json::putOptional(o, u"progressBarTransparency"_s, s.progressBarTransparency);
    json::putOptional(o, u"thickSpotifyProgressBar"_s, s.thickSpotifyProgressBar);
    json::putOptional(o, u"separateFootballZone"_s, s.separateFootballZone);
    json::putOptional(o, u"roundedTickerEdges"_s, s.roundedTickerEdges);
    json::putOptional(o, u"selectedFootballCompetitions"_s, s.selectedFootballCompetitions,
        [](const FootballCompetitionSet &set) { return rawValueArray(set, &id); });
}

} // namespace

FootballCompetitionSet RibbexSettings::footballSelection() const
{
    return selectedFootballCompetitions.value_or(allFootballCompetitionSet());
}

QSet<QString> RibbexSettings::selectedFootballCodes() const
{
    QSet<QString> codes;
    for (const FootballCompetition competition : footballSelection())
        codes.insert(id(competition));
    return codes;
}

std::optional<QByteArray> encodeSettings(const RibbexSettings &settings)
{
    // Qt writes a non-finite number as null, which would make the saved document unreadable.
    if (!allFinite(settings))
        return std::nullopt;
    QJsonObject object = requiredFields(settings);
    putOptionalFields(object, settings);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<RibbexSettings> decodeSettings(const QByteArray &document)
{
    const std::optional<QJsonObject> object = json::parseObject(document);
    RibbexSettings settings;
    if (!object || !readRequiredFields(*object, settings) || !readOptionalFields(*object, settings))
        return std::nullopt;
    return settings;
}

} // namespace ribbex
