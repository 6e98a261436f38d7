#include "settings/ribbex_settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

QJsonObject defaultDocument()
{
    return QJsonDocument::fromJson(*encodeSettings(RibbexSettings {})).object();
}

std::optional<RibbexSettings> decodeObject(const QJsonObject &object)
{
    return decodeSettings(QJsonDocument(object).toJson());
}

TEST(SettingsJson, DefaultsAndAFullRecordRoundTrip)
{
    RibbexSettings full;
    full.enabledSources = {TickerSource::spotify, TickerSource::football, TickerSource::rss};
    full.layout = TickerLayout::grouped;
    full.style = TickerStyle::led;
    full.speed = 41.5;
    full.spotifyClientID = u"abc"_s;
    full.weatherCity = u"Zürich"_s;
    full.customNewsFeedURL = u"https://example.org/rss"_s;
    full.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::serieA};
    full.transparentBackground.reset();

    for (const RibbexSettings &record : {RibbexSettings {}, full})
        EXPECT_EQ(decodeSettings(*encodeSettings(record)), record);
}

TEST(SettingsJson, WritesEveryRequiredKeyAndOnlyThePresentOptionalOnes)
{
    RibbexSettings settings;
    settings.weatherCity = u"Oslo"_s;
    settings.newsHeadlineCount.reset();
    const QJsonObject object = QJsonDocument::fromJson(*encodeSettings(settings)).object();

    EXPECT_EQ(object.value(u"style"_s), u"Dot Matrix"_s);
    EXPECT_EQ(object.value(u"newsRefreshIntervalSeconds"_s), 900);
    EXPECT_EQ(object.value(u"weatherCity"_s), u"Oslo"_s);
    EXPECT_FALSE(object.contains(u"newsHeadlineCount"_s));
    EXPECT_FALSE(object.contains(u"spotifyClientID"_s));
    EXPECT_FALSE(object.contains(u"selectedFootballCompetitions"_s));
    EXPECT_EQ(object.size(), 10 + 12);
}

TEST(SettingsJson, AnyBadRequiredValueMakesTheWholeDocumentUndecodable)
{
    using Edit = std::function<void(QJsonObject &)>;
    const auto set = [](const char16_t *key, QJsonValue value) -> Edit {
        return [=](QJsonObject &o) { o.insert(QString::fromUtf16(key), value); };
    };
    const auto drop
        = [](const char16_t *key) -> Edit { return [=](QJsonObject &o) { o.remove(QString::fromUtf16(key)); }; };
    const std::pair<const char *, Edit> cases[] = {
        {"isVisible missing", drop(u"isVisible")},
        {"version missing", drop(u"version")},
        {"unknown source", set(u"enabledSources", QJsonArray {u"news"_s, u"tv"_s})},
        {"source in wrong case", set(u"enabledSources", QJsonArray {u"News"_s})},
        {"sources not an array", set(u"enabledSources", u"news"_s)},
        {"unknown style", set(u"style", u"classic"_s)},
        {"unknown layout", set(u"layout", u"single"_s)},
        {"speed as a string", set(u"speed", u"72"_s)},
        {"required null", set(u"width", QJsonValue::Null)},
        {"version with a fraction", set(u"version", 12.5)},
        {"bool as a number", set(u"startsHidden", 0)},
        {"colour as a number", set(u"textColor", 0xFFAB38)},
        {"optional of the wrong type", set(u"newsHeadlineCount", u"5"_s)},
        {"unknown competition", set(u"selectedFootballCompetitions", QJsonArray {u"eng.1"_s, u"ENG.2"_s})},
        {"competition not a string", set(u"selectedFootballCompetitions", QJsonArray {1})},
    };
    for (const auto &[name, edit] : cases) {
        QJsonObject object = defaultDocument();
        edit(object);
        EXPECT_EQ(decodeObject(object), std::nullopt) << name;
    }

    for (const QByteArray &text : {QByteArray("[]"), QByteArray("{"), QByteArray(""), QByteArray("null")})
        EXPECT_EQ(decodeSettings(text), std::nullopt) << text.constData();
}

TEST(SettingsJson, AbsentOrNullOptionalsStayAbsentAndUnknownKeysAreIgnored)
{
    QJsonObject object = defaultDocument();
    object.remove(u"newsFeedID"_s);
    object.insert(u"roundedTickerEdges"_s, QJsonValue::Null);
    object.insert(u"someFutureSetting"_s, u"x"_s);
    object.insert(u"version"_s, 13.0);
    object.insert(u"selectedFootballCompetitions"_s, QJsonArray {u"eng.1"_s, u"eng.1"_s, u"ger.1"_s});

    const std::optional<RibbexSettings> decoded = decodeObject(object);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->newsFeedID, std::nullopt);
    EXPECT_EQ(decoded->roundedTickerEdges, std::nullopt);
    EXPECT_EQ(decoded->version, 13);
    EXPECT_EQ(decoded->selectedFootballCompetitions,
        (FootballCompetitionSet {FootballCompetition::premierLeague, FootballCompetition::bundesliga}));
}

TEST(SettingsJson, ANumberJsonCannotHoldFailsTheEncodingInsteadOfWritingNull)
{
    RibbexSettings settings;
    settings.speed = std::nan("");
    EXPECT_EQ(encodeSettings(settings), std::nullopt);
    settings.speed = 72;
    settings.progressBarTransparency = INFINITY;
    EXPECT_EQ(encodeSettings(settings), std::nullopt);
}

} // namespace
} // namespace ribbex
