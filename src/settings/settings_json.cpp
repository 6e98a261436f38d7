#include "settings/ribbex_settings.h"
#include "json/json_fields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace ribbex {

// The stored forms of the enumerations, found by the member readers.
bool readValue(JsonReader &reader, TickerSource &out)
{
    return json::readMapped(reader, out, fromRawValue<TickerSource>);
}
bool readValue(JsonReader &reader, TickerLayout &out)
{
    return json::readMapped(reader, out, fromRawValue<TickerLayout>);
}
bool readValue(JsonReader &reader, TickerStyle &out)
{
    return json::readMapped(reader, out, fromRawValue<TickerStyle>);
}
bool readValue(JsonReader &reader, FootballCompetition &out)
{
    return json::readMapped(reader, out, footballCompetitionFromId);
}

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

using Member = json::Member<RibbexSettings>;

constexpr std::array<Member, 26> settingsMembers {{
    json::required<&RibbexSettings::version>("version"),
    json::required<&RibbexSettings::enabledSources>("enabledSources"),
    json::required<&RibbexSettings::layout>("layout"),
    json::required<&RibbexSettings::style>("style"),
    json::required<&RibbexSettings::speed>("speed"),
    json::required<&RibbexSettings::width>("width"),
    json::required<&RibbexSettings::textColor>("textColor"),
    json::required<&RibbexSettings::backgroundColor>("backgroundColor"),
    json::required<&RibbexSettings::isVisible>("isVisible"),
    json::required<&RibbexSettings::startsHidden>("startsHidden"),
    json::optional<&RibbexSettings::transparentBackground>("transparentBackground"),
    json::optional<&RibbexSettings::backgroundTransparency>("backgroundTransparency"),
    json::optional<&RibbexSettings::spotifyClientID>("spotifyClientID"),
    json::optional<&RibbexSettings::weatherUseCurrentLocation>("weatherUseCurrentLocation"),
    json::optional<&RibbexSettings::weatherCity>("weatherCity"),
    json::optional<&RibbexSettings::weatherResolveNameWithApple>("weatherResolveNameWithApple"),
    json::optional<&RibbexSettings::newsFeedID>("newsFeedID"),
    json::optional<&RibbexSettings::newsHeadlineCount>("newsHeadlineCount"),
    json::optional<&RibbexSettings::customNewsFeedURL>("customNewsFeedURL"),
    json::optional<&RibbexSettings::newsRefreshIntervalSeconds>("newsRefreshIntervalSeconds"),
    json::optional<&RibbexSettings::progressBarColor>("progressBarColor"),
    json::optional<&RibbexSettings::progressBarTransparency>("progressBarTransparency"),
    json::optional<&RibbexSettings::thickSpotifyProgressBar>("thickSpotifyProgressBar"),
    json::optional<&RibbexSettings::separateFootballZone>("separateFootballZone"),
    json::optional<&RibbexSettings::roundedTickerEdges>("roundedTickerEdges"),
    json::optional<&RibbexSettings::selectedFootballCompetitions>("selectedFootballCompetitions"),
}};

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
    return json::readDocument(document, settingsMembers);
}

} // namespace ribbex
