#include "platform/file_preferences_store.h"
#include "settings/settings_store.h"
#include "support/temp_home.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

// A document as an older version wrote it: the required keys plus the given ones.
QByteArray storedDocument(qint64 version, const QJsonObject &extra = {})
{
    QJsonObject object {
        {u"version"_s, version},
        {u"enabledSources"_s, QJsonArray {u"news"_s}},
        {u"layout"_s, u"Single ticker"_s},
        {u"style"_s, u"Classic"_s},
        {u"speed"_s, 60},
        {u"width"_s, 900},
        {u"textColor"_s, u"#F4F3F0"_s},
        {u"backgroundColor"_s, u"#17191D"_s},
        {u"isVisible"_s, true},
        {u"startsHidden"_s, false},
    };
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return QJsonDocument(object).toJson();
}

class SettingsStoreTest : public testing::Test {
protected:
    LoadedSettings loadDocument(const QByteArray &document)
    {
        writeFile(store.pathFor(RibbexSettings::preferencesKey), document);
        return loadSettings(store);
    }
    QByteArray storedBytes() { return readFile(store.pathFor(RibbexSettings::preferencesKey)); }

    test::TempHome home;
    FilePreferencesStore store {home.ribbexConfigDir()};
};

TEST_F(SettingsStoreTest, NothingStoredGivesDefaultsAndWritesNothing)
{
    const LoadedSettings loaded = loadSettings(store);
    EXPECT_EQ(loaded.origin, LoadedSettings::Origin::nothingStored);
    EXPECT_EQ(loaded.settings, RibbexSettings {});
    EXPECT_FALSE(QFileInfo::exists(store.pathFor(RibbexSettings::preferencesKey)));
}

TEST_F(SettingsStoreTest, UndecodableDocumentsGiveDefaultsAndStayUntouched)
{
    // Versions below 1 were never written by Ribbex: such a document is not migrated.
    const QByteArray documents[] = {
        storedDocument(13, {{u"enabledSources"_s, QJsonArray {u"radio"_s}}}),
        storedDocument(0),
        storedDocument(-1),
    };
    for (const QByteArray &bad : documents) {
        const LoadedSettings loaded = loadDocument(bad);
        EXPECT_EQ(loaded.origin, LoadedSettings::Origin::unreadable) << bad.constData();
        EXPECT_EQ(loaded.settings, RibbexSettings {});
        EXPECT_EQ(storedBytes(), bad);
    }
}

TEST_F(SettingsStoreTest, CurrentAndNewerDocumentsLoadUnchangedAndAreNotRewritten)
{
    for (const qint64 version : {13, 14}) {
        const QByteArray document = storedDocument(version, {{u"newsHeadlineCount"_s, 3}});
        const LoadedSettings loaded = loadDocument(document);
        EXPECT_EQ(loaded.origin, LoadedSettings::Origin::stored);
        EXPECT_EQ(loaded.settings.version, version);
        EXPECT_EQ(loaded.settings.style, TickerStyle::classic);
        EXPECT_EQ(loaded.settings.width, 900);
        EXPECT_EQ(loaded.settings.newsHeadlineCount, 3);
        EXPECT_EQ(loaded.settings.newsFeedID, std::nullopt);
        EXPECT_EQ(storedBytes(), document);
    }
}

TEST_F(SettingsStoreTest, Version4DocumentGoesThroughEveryLaterStepAndIsWrittenBack)
{
    const LoadedSettings loaded = loadDocument(storedDocument(4));
    RibbexSettings expected;
    expected.enabledSources = {TickerSource::news};
    expected.style = TickerStyle::classic; // only documents up to version 2 lose Classic
    expected.speed = 60;
    expected.width = 700;
    expected.textColor = u"#F4F3F0"_s; // colours change only up to version 3
    expected.backgroundColor = u"#17191D"_s;
    expected.transparentBackground = false;
    expected.backgroundTransparency = 0.0;
    expected.weatherUseCurrentLocation.reset();
    expected.weatherResolveNameWithApple.reset();
    expected.thickSpotifyProgressBar.reset();
    expected.separateFootballZone.reset();
    expected.selectedFootballCompetitions = allFootballCompetitionSet();

    EXPECT_EQ(loaded.origin, LoadedSettings::Origin::migrated);
    EXPECT_EQ(loaded.settings, expected);
    EXPECT_EQ(decodeSettings(storedBytes()), expected);
}

TEST_F(SettingsStoreTest, EachStepAppliesOnlyUpToItsVersion)
{
    struct Case {
        qint64 version;
        QJsonObject extra;
        TickerStyle style;
        const char16_t *textColor;
        double width;
        std::optional<bool> transparentBackground;
        std::optional<double> backgroundTransparency;
    };
    const QJsonObject transparent {{u"transparentBackground"_s, true}, {u"backgroundTransparency"_s, 0.25}};
    const Case cases[] = {
        {2, {}, TickerStyle::dotMatrix, u"#FFAB38", 700, false, 0.0},
        {3, {}, TickerStyle::classic, u"#FFAB38", 700, false, 0.0},
        {4, transparent, TickerStyle::classic, u"#F4F3F0", 700, true, 1.0},
        {5, {}, TickerStyle::classic, u"#F4F3F0", 900, false, 0.0},
        {6, {}, TickerStyle::classic, u"#F4F3F0", 900, std::nullopt, 0.0},
        {6, transparent, TickerStyle::classic, u"#F4F3F0", 900, true, 1.0},
        {7, transparent, TickerStyle::classic, u"#F4F3F0", 900, true, 0.25},
    };
    for (const Case &c : cases) {
        const RibbexSettings s = loadDocument(storedDocument(c.version, c.extra)).settings;
        EXPECT_EQ(s.style, c.style) << c.version;
        EXPECT_EQ(s.textColor, QString::fromUtf16(c.textColor)) << c.version;
        EXPECT_EQ(s.backgroundColor, c.version <= 3 ? u"#17150E"_s : u"#17191D"_s) << c.version;
        EXPECT_EQ(s.width, c.width) << c.version;
        EXPECT_EQ(s.transparentBackground, c.transparentBackground) << c.version;
        EXPECT_EQ(s.backgroundTransparency, c.backgroundTransparency) << c.version;
        EXPECT_EQ(s.version, 13);
    }
}

TEST_F(SettingsStoreTest, SourceStepsOverwriteStoredValuesUpToTheirVersion)
{
    const QJsonObject custom {
        {u"newsFeedID"_s, u"dw"_s},
        {u"newsHeadlineCount"_s, 7},
        {u"newsRefreshIntervalSeconds"_s, 3600},
        {u"progressBarColor"_s, u"#000000"_s},
        {u"progressBarTransparency"_s, 0.5},
        {u"roundedTickerEdges"_s, false},
        {u"selectedFootballCompetitions"_s, QJsonArray {u"eng.1"_s}},
    };
    const auto load = [&](qint64 version) { return loadDocument(storedDocument(version, custom)).settings; };

    EXPECT_EQ(load(7).newsFeedID, u"bbc"_s);
    EXPECT_EQ(load(8).newsFeedID, u"dw"_s);
    EXPECT_EQ(load(8).newsHeadlineCount, 5);
    EXPECT_EQ(load(9).newsHeadlineCount, 7);
    EXPECT_EQ(load(9).newsRefreshIntervalSeconds, 900);
    EXPECT_EQ(load(10).newsRefreshIntervalSeconds, 3600);
    EXPECT_EQ(load(10).progressBarColor, u"#FFAB38"_s);
    EXPECT_EQ(load(10).progressBarTransparency, 0.0);
    EXPECT_EQ(load(11).progressBarTransparency, 0.5);
    EXPECT_EQ(load(11).roundedTickerEdges, true);
    EXPECT_EQ(load(12).roundedTickerEdges, false);

    // A version-12 document changes only its selection and version, even when it has one.
    RibbexSettings expected12 = *decodeSettings(storedDocument(12, custom));
    expected12.selectedFootballCompetitions = allFootballCompetitionSet();
    expected12.version = 13;
    EXPECT_EQ(load(12), expected12);
    EXPECT_EQ(decodeSettings(storedBytes()), expected12);
}

} // namespace
} // namespace ribbex
