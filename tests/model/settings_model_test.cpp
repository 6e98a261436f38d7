#include "support/full_disk.h"
#include "support/model_home.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class SettingsModelTest : public ModelTest {
protected:
    QString settingsPath() const { return settingsStore.pathFor(RibbexSettings::preferencesKey); }
};

TEST_F(SettingsModelTest, OnlyAFirstLaunchSavesDefaultsWithEveryCompetitionAndRegistersTheLoginItemIfAllowed)
{
    for (const bool allowed : {true, false}) {
        QDir(home.configDir()).removeRecursively();
        reopen();
        mayRegisterLoginItem = allowed;
        RibbexSettings expected;
        expected.selectedFootballCompetitions = allFootballCompetitionSet();
        EXPECT_EQ(model().settings(), expected);
        EXPECT_EQ(stored(), expected);
        EXPECT_EQ(loginItems.status(), allowed ? LoginItemStatus::enabled : LoginItemStatus::notRegistered);
    }
    reopen();
    mayRegisterLoginItem = true;
    model();
    EXPECT_EQ(loginItems.status(), LoginItemStatus::notRegistered);
}

TEST_F(SettingsModelTest, StartupAdjustmentsAreSavedAndAnEmptySelectionStaysAChoice)
{
    RibbexSettings settings;
    settings.startsHidden = true;
    settings.weatherResolveNameWithApple = false;
    settings.selectedFootballCompetitions = FootballCompetitionSet {};
    store(settings);

    EXPECT_FALSE(model().settings().isVisible);
    EXPECT_EQ(model().settings().weatherResolveNameWithApple, true);
    EXPECT_EQ(model().settings().selectedFootballCompetitions, FootballCompetitionSet {});
    EXPECT_EQ(stored(), model().settings());
}

TEST_F(SettingsModelTest, EachUnreadableDocumentIsKeptBesideTheNewOne)
{
    const QString unreadable = settingsPath() + u".unreadable"_s;
    const QByteArray undecodable = "{\"version\": 13, \"style\": \"Neon\"}";
    RibbexSettings notOurs;
    notOurs.version = 0;

    storeBytes(undecodable);
    model();
    EXPECT_EQ(readFile(unreadable), undecodable);
    EXPECT_EQ(stored(), model().settings());
    // Only the document found at start-up is kept; later saves leave the copy alone.
    model().updateColor(SettingsModel::ColorField::text, u"#FFFFFF"_s);

    // A second unreadable document, found at the next start, must not replace the first copy.
    reopen();
    store(notOurs);
    EXPECT_EQ(model().settings().width, RibbexSettings {}.width);
    EXPECT_EQ(decodeSettings(readFile(unreadable)), notOurs);
    EXPECT_EQ(readFile(unreadable + u".1"_s), undecodable);
    EXPECT_EQ(stored(), model().settings());
}

TEST_F(SettingsModelTest, SettingsThatCannotBeReadAreNeverOverwritten)
{
    // A folder where the document should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir().mkpath(settingsPath()));
    EXPECT_EQ(model().settings().style, RibbexSettings {}.style);
    EXPECT_FALSE(model().save());
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(SettingsModelTest, EveryActionSavesOnceAndAnnouncesOnce)
{
    ChangeCounter counter(model());
    SettingsModel &m = model();
    const std::pair<const char *, std::function<void()>> actions[] = {
        {"updateColor", [&] { m.updateColor(SettingsModel::ColorField::background, u"#000000"_s); }},
        {"updateColors", [&] { m.updateColors(u"#F4F3F0"_s, u"#17191D"_s); }},
        {"setBackgroundTransparency", [&] { m.setBackgroundTransparency(0.5); }},
        // A number JSON cannot hold would make every save fail.
        {"setBackgroundTransparency NaN", [&] { m.setBackgroundTransparency(std::nan("")); }},
        {"setSettings", [&] { m.setSettings(m.settings()); }},
    };
    for (const auto &[name, action] : actions) {
        counter.reset();
        action();
        EXPECT_EQ(counter.onChangeCalls, 1) << name;
        EXPECT_EQ(counter.changeSignals, 1) << name;
        EXPECT_EQ(m.saveStatus(), QString()) << name;
        EXPECT_EQ(stored(), m.settings()) << name;
    }
}

// One match of the fixture cache; short names, the minute and the scores may be absent.
QJsonObject cachedMatch(const QString &key = {}, const QJsonValue &value = QJsonValue::Undefined)
{
    QJsonObject match {{u"id"_s, u"704512"_s}, {u"utcDate"_s, 818272800.5}, {u"status"_s, u"IN_PLAY"_s},
        {u"minute"_s, 67}, {u"homeTeam"_s, QJsonObject {{u"name"_s, u"Arsenal"_s}, {u"shortName"_s, u"ARS"_s}}},
        {u"awayTeam"_s, QJsonObject {{u"name"_s, u"Chelsea"_s}}},
        {u"competition"_s, QJsonObject {{u"name"_s, u"England Premier League"_s}, {u"code"_s, u"eng.1"_s}}},
        {u"score"_s, QJsonObject {{u"fullTime"_s, QJsonObject {{u"home"_s, 2}}}}}};
    match.insert(key, value); // an undefined value removes the key
    return match;
}

QByteArray cacheDocument(const QJsonArray &fixtures, const QJsonValue &refreshedAt = QJsonObject {})
{
    return QJsonDocument(QJsonObject {{u"fixtures"_s, fixtures}, {u"scheduleRefreshedAt"_s, refreshedAt}}).toJson();
}

TEST(FixtureCache, ReadsTimesAsSecondsSince2001AndOptionalKeysAsAbsentAndRoundTrips)
{
    const std::optional<FootballFixtureCache> cache
        = decodeFixtureCache(cacheDocument({cachedMatch()}, QJsonObject {{u"eng.1"_s, 0}}));
    ASSERT_TRUE(cache);
    ASSERT_EQ(cache->fixtures.size(), 1);
    const FootballMatch &match = cache->fixtures.first();
    EXPECT_EQ(match.utcDate, QDateTime(QDate(2026, 12, 6), QTime(18, 0, 0, 500), QTimeZone::utc()));
    EXPECT_EQ(match.minute, 67);
    EXPECT_EQ(match.homeTeam.shortName, u"ARS"_s);
    EXPECT_EQ(match.awayTeam.shortName, std::nullopt);
    EXPECT_EQ(match.score.fullTime, (FootballMatch::Score::FullTime {2, std::nullopt}));
    EXPECT_EQ(
        cache->scheduleRefreshedAt.value(u"eng.1"_s), QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()));

    EXPECT_EQ(decodeFixtureCache(encodeFixtureCache(*cache)), cache);
}

TEST(FixtureCache, OneBadMatchOrMissingKeyMakesTheWholeDocumentUnreadable)
{
    const std::pair<const char *, QByteArray> cases[] = {
        {"no status", cacheDocument({cachedMatch(), cachedMatch(u"status"_s)})},
        {"no competition", cacheDocument({cachedMatch(u"competition"_s)})},
        {"minute with a fraction", cacheDocument({cachedMatch(u"minute"_s, 67.5)})},
        {"date as text", cacheDocument({cachedMatch(u"utcDate"_s, u"2026-12-06T18:00:00Z"_s)})},
        {"date beyond any calendar", cacheDocument({cachedMatch(u"utcDate"_s, 1e300)})},
        {"team without name", cacheDocument({cachedMatch(u"awayTeam"_s, QJsonObject {{u"shortName"_s, u"CHE"_s}})})},
        {"score as text", cacheDocument({cachedMatch(u"score"_s, u"2-1"_s)})},
        {"no scheduleRefreshedAt", cacheDocument({cachedMatch()}, QJsonValue::Undefined)},
        {"refresh time as text", cacheDocument({}, QJsonObject {{u"eng.1"_s, u"yesterday"_s}})},
        {"fixtures not an array", QByteArray(R"({"fixtures": {}, "scheduleRefreshedAt": {}})")},
        {"truncated", cacheDocument({cachedMatch()}).chopped(5)},
    };
    for (const auto &[name, document] : cases)
        EXPECT_EQ(decodeFixtureCache(document), std::nullopt) << name;
}

// Settings on a real filesystem that fills up (see FullDisk).
class FullDiskModelTest : public SettingsModelTest {
protected:
    QString expectedStatus() const { return u"Couldn't save settings \u00B7 "_s + disk.reason(); }

    FullDisk disk {home.configDir()};
};

TEST_F(FullDiskModelTest, FailedSaveKeepsTheDocumentAndIsShownUntilASaveWorks)
{
    RibbexSettings settings;
    settings.selectedFootballCompetitions = allFootballCompetitionSet();
    store(settings);
    const QByteArray document = readFile(settingsPath());
    ChangeCounter counter(model());
    EXPECT_EQ(model().saveStatus(), QString());

    disk.fill();
    model().updateColor(SettingsModel::ColorField::text, u"#FFFFFF"_s);
    EXPECT_EQ(readFile(settingsPath()), document);
    EXPECT_EQ(model().saveStatus(), expectedStatus());
    EXPECT_EQ(counter.changeSignals, 1);

    disk.makeRoom();
    model().updateColor(SettingsModel::ColorField::text, u"#000000"_s);
    EXPECT_EQ(model().saveStatus(), QString());
    EXPECT_EQ(stored(), model().settings());
}

TEST_F(FullDiskModelTest, StartingOnAFullDiskLeavesEveryDocumentAsItWas)
{
    const QString unreadable = settingsPath() + u".unreadable"_s;
    writeFile(unreadable, "an earlier unreadable document");
    RibbexSettings version12;
    version12.version = 12;
    const std::pair<const char *, QByteArray> cases[] = {
        // The copy could not be kept, so the document must not be saved over.
        {"undecodable", "{\"version\": 13, \"style\": \"Neon\"}"},
        // The migration writes back at once, before the model exists.
        {"version 12", *encodeSettings(version12)},
    };
    for (const auto &[name, document] : cases) {
        SCOPED_TRACE(name);
        reopen();
        storeBytes(document);
        disk.fill();
        EXPECT_EQ(model().saveStatus(), expectedStatus());
        EXPECT_EQ(readFile(settingsPath()), document);
        EXPECT_EQ(readFile(unreadable), "an earlier unreadable document");
        EXPECT_EQ(QDir(home.ribbexConfigDir()).entryList(QDir::Files | QDir::Hidden),
            (QStringList {u"ribbex.settings.v1.json"_s, u"ribbex.settings.v1.json.unreadable"_s}));
        disk.makeRoom();
    }
}

} // namespace
} // namespace ribbex::test
