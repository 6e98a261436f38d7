#include "platform/file_preferences_store.h"
#include "settings/colors.h"
#include "settings/news_feed.h"
#include "settings/ribbex_settings.h"
#include "settings/settings_store.h"
#include "support/temp_home.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

TEST(Hex, ParsesColourStringsAndFallsBackForAnythingElse)
{
    // Without a length check a short value is a small number, and only the low 24 bits count. No hex number (empty,
    // not hex, an inner space, past 64 bits, a letter outside the basic plane) gives the default background.
    const std::pair<const char16_t *, QRgb> cases[] = {{u"#ffab38", 0xFFAB38}, {u" FFAB38 ", 0xFFAB38},
        {u"(#ffab38);", 0xFFAB38}, {u"FFF", 0x000FFF}, {u"#12345678", 0x345678}, {u"", 0x17191D}, {u"zz", 0x17191D},
        {u"#12 34", 0x17191D}, {u"10000000000000000", 0x17191D}, {u"FF\U0001D400", 0x17191D}};
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(hex(QString::fromUtf16(text)).rgb(), 0xFF000000 | expected) << QString::fromUtf16(text).toStdString();
}

TEST(NewsFeed, CustomAddressNeedsHttpSchemeAndHostAndUnknownIdsReadTheDefault)
{
    for (const QString &valid :
        {u"https://example.org/feed.xml"_s, u"HTTPS://EXAMPLE.ORG/rss"_s, u"http://127.0.0.1:8080/feed"_s})
        EXPECT_TRUE(NewsFeed::custom(valid)) << valid.toStdString();
    for (const QString &invalid : {u"ftp://example.org/feed.xml"_s, u"https:///feed.xml"_s, u"example.org/feed.xml"_s,
             u"javascript:alert(1)"_s, u"file:///etc/passwd"_s, u"https://exa mple.org/"_s})
        EXPECT_FALSE(NewsFeed::custom(invalid)) << invalid.toStdString();
    for (const QString &id : {u"DW"_s, u"custom"_s, u""_s})
        EXPECT_EQ(NewsFeed::feedFor(id), NewsFeed::defaultFeed());
}

TEST(SettingsJson, RecordsRoundTripButNonFiniteNumbersAreNotWrittenAndAnyBadValueFailsTheWholeDocument)
{
    RibbexSettings full;
    full.enabledSources = {TickerSource::spotify, TickerSource::football, TickerSource::rss};
    full.layout = TickerLayout::grouped;
    full.style = TickerStyle::led;
    full.speed = 41.5;
    full.spotifyClientID = u"abc"_s;
    full.weatherCity = u"Zürich"_s;
    full.selectedFootballCompetitions = FootballCompetitionSet {FootballCompetition::serieA};
    RibbexSettings sparse;
    sparse.transparentBackground.reset();
    sparse.newsFeedID.reset();
    sparse.newsHeadlineCount.reset();
    sparse.roundedTickerEdges.reset();
    for (const RibbexSettings &record : {RibbexSettings {}, full, sparse})
        EXPECT_EQ(decodeSettings(*encodeSettings(record)), record);

    // Qt would write null, and the document would no longer decode.
    full.speed = std::nan("");
    EXPECT_EQ(encodeSettings(full), std::nullopt);
    sparse.progressBarTransparency = INFINITY;
    EXPECT_EQ(encodeSettings(sparse), std::nullopt);

    // Each case puts one value into a good document; an undefined value removes the key.
    const std::pair<const char16_t *, QJsonValue> cases[] = {
        {u"isVisible", QJsonValue::Undefined},
        {u"enabledSources", QJsonArray {u"news"_s, u"tv"_s}},
        {u"style", u"classic"_s},
        {u"speed", u"72"_s},
        {u"version", 12.5},
        {u"selectedFootballCompetitions", QJsonArray {u"eng.1"_s, u"ENG.2"_s}},
    };
    for (const auto &[key, value] : cases) {
        QJsonObject object = QJsonDocument::fromJson(*encodeSettings(RibbexSettings {})).object();
        object.insert(QString::fromUtf16(key), value);
        EXPECT_EQ(decodeSettings(QJsonDocument(object).toJson()), std::nullopt)
            << QString::fromUtf16(key).toStdString();
    }
    for (const QByteArray &text : {QByteArray("[]"), QByteArray("{"), QByteArray(""), QByteArray("null")})
        EXPECT_EQ(decodeSettings(text), std::nullopt) << text.constData();
}

// A document as an older version wrote it, with a value of the user's own under every key that
// a migration step changes (transparentBackground is absent, as before version 6).
QJsonObject storedDocument(qint64 version)
{
    return {{u"version"_s, version}, {u"enabledSources"_s, QJsonArray {u"news"_s}},
        {u"layout"_s, u"Grouped by source"_s}, {u"style"_s, u"Classic"_s}, {u"speed"_s, 60}, {u"width"_s, 900},
        {u"textColor"_s, u"#F4F3F0"_s}, {u"backgroundColor"_s, u"#17191D"_s}, {u"isVisible"_s, true},
        {u"startsHidden"_s, false}, {u"backgroundTransparency"_s, 0.25}, {u"newsFeedID"_s, u"dw"_s},
        {u"newsHeadlineCount"_s, 7}, {u"newsRefreshIntervalSeconds"_s, 3600}, {u"progressBarColor"_s, u"#000000"_s},
        {u"progressBarTransparency"_s, 0.5}, {u"roundedTickerEdges"_s, false},
        {u"selectedFootballCompetitions"_s, QJsonArray {u"eng.1"_s}}};
}

QByteArray text(const QJsonObject &object)
{
    return QJsonDocument(object).toJson();
}

class SettingsStoreTest : public testing::Test {
protected:
    LoadedSettings loadDocument(const QByteArray &document)
    {
        test::writeFile(store.pathFor(RibbexSettings::preferencesKey), document);
        return loadSettings(store);
    }
    QByteArray storedBytes() { return test::readFile(store.pathFor(RibbexSettings::preferencesKey)); }

    test::TempHome home;
    FilePreferencesStore store {home.ribbexConfigDir()};
};

TEST_F(SettingsStoreTest, NothingOrAnUndecodableDocumentOrAVersionBelowOneGivesDefaultsAndWritesNothing)
{
    EXPECT_EQ(loadSettings(store).origin, LoadedSettings::Origin::nothingStored);
    EXPECT_FALSE(QFileInfo::exists(store.pathFor(RibbexSettings::preferencesKey)));

    // Ribbex never wrote a version below 1: such a document is not ours to migrate.
    for (const QByteArray &bad : {text(storedDocument(0)), text(storedDocument(-1)), QByteArray("{\"version\": 13")}) {
        const LoadedSettings loaded = loadDocument(bad);
        EXPECT_EQ(loaded.origin, LoadedSettings::Origin::unreadable) << bad.constData();
        EXPECT_EQ(loaded.settings, RibbexSettings {});
        EXPECT_EQ(storedBytes(), bad);
    }
}

TEST_F(SettingsStoreTest, EachMigrationStepChangesItsKeyInDocumentsUpToItsVersionOnly)
{
    QJsonArray everyCompetition;
    for (const FootballCompetition competition : allFootballCompetitions())
        everyCompetition.append(id(competition));
    // the last version a step changes, the key it changes, the value it gives
    const std::tuple<qint64, const char16_t *, QJsonValue> steps[] = {
        {2, u"style", u"Dot Matrix"_s},
        {3, u"textColor", u"#FFAB38"_s},
        {3, u"backgroundColor", u"#17150E"_s},
        {4, u"width", 700},
        {5, u"transparentBackground", false},
        {6, u"backgroundTransparency", 0.0},
        {7, u"newsFeedID", u"bbc"_s},
        {8, u"newsHeadlineCount", 5},
        {9, u"newsRefreshIntervalSeconds", 900},
        {10, u"progressBarColor", u"#FFAB38"_s},
        {10, u"progressBarTransparency", 0.0},
        {11, u"roundedTickerEdges", true},
        {12, u"selectedFootballCompetitions", everyCompetition},
    };
    // The current version and newer ones load as they are and are not written.
    for (qint64 version = 1; version <= RibbexSettings::currentVersion + 1; ++version) {
        const bool older = version < RibbexSettings::currentVersion;
        QJsonObject expected = storedDocument(older ? RibbexSettings::currentVersion : version);
        for (const auto &[lastVersion, key, migrated] : steps) {
            if (version <= lastVersion)
                expected.insert(QString::fromUtf16(key), migrated);
        }
        const QByteArray document = text(storedDocument(version));
        const LoadedSettings loaded = loadDocument(document);
        EXPECT_EQ(loaded.origin, older ? LoadedSettings::Origin::migrated : LoadedSettings::Origin::stored) << version;
        EXPECT_EQ(loaded.settings, decodeSettings(text(expected))) << version;
        if (older)
            EXPECT_EQ(decodeSettings(storedBytes()), loaded.settings) << version;
        else
            EXPECT_EQ(storedBytes(), document) << version;
    }

    // A transparent background chosen before version 7 becomes fully transparent.
    for (const qint64 version : {5, 6, 7}) {
        QJsonObject transparent = storedDocument(version);
        transparent.insert(u"transparentBackground"_s, true);
        const RibbexSettings loaded = loadDocument(text(transparent)).settings;
        EXPECT_EQ(loaded.transparentBackground, true) << version;
        EXPECT_EQ(loaded.backgroundTransparency, version <= 6 ? 1.0 : 0.25) << version;
    }
}

} // namespace
} // namespace ribbex
