#include "model_fixture.h"
#include "support/full_disk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

using SettingsModelTest = ModelTest;

TEST_F(SettingsModelTest, FirstLaunchSavesDefaultsWithEveryCompetitionAndRegistersTheLoginItem)
{
    const auto model = makeModel();

    RibbexSettings expected;
    expected.selectedFootballCompetitions = allFootballCompetitionSet();
    EXPECT_EQ(model->settings(), expected);
    EXPECT_EQ(storedSettings(), expected);
    EXPECT_EQ(model->settings().weatherResolveNameWithApple, true);
    EXPECT_EQ(loginItems.status(), LoginItemStatus::enabled);
    EXPECT_TRUE(model->launchAtLoginEnabled());
    EXPECT_EQ(model->launchAtLoginStatus(), u"Enabled"_s);
    EXPECT_EQ(model->footballStatus(), u"Not refreshed yet"_s);
    EXPECT_EQ(model->spotifyStatus(), u"Not connected"_s);
    EXPECT_EQ(model->newsStatus(), u"Not refreshed yet"_s);
}

TEST_F(SettingsModelTest, LoginItemIsRegisteredOnlyOnFirstLaunchAndOnlyWhenAllowed)
{
    makeModel(/*mayRegisterLoginItem=*/false);
    EXPECT_EQ(loginItems.status(), LoginItemStatus::notRegistered);
    const auto second = makeModel();
    EXPECT_EQ(loginItems.status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(second->launchAtLoginStatus(), u"Off"_s);
}

TEST_F(SettingsModelTest, StartupAdjustmentsAreSavedEachAsItsOwnAssignment)
{
    RibbexSettings stored;
    stored.startsHidden = true;
    stored.weatherResolveNameWithApple = false;
    stored.selectedFootballCompetitions = FootballCompetitionSet {};
    storeSettings(stored);

    const auto model = makeModel();
    EXPECT_FALSE(model->settings().isVisible);
    EXPECT_EQ(model->settings().weatherResolveNameWithApple, true);
    // An explicitly empty selection is a choice, not an absent one.
    EXPECT_EQ(model->settings().selectedFootballCompetitions, FootballCompetitionSet {});
    EXPECT_EQ(storedSettings(), model->settings());
}

TEST_F(SettingsModelTest, EachUnreadableDocumentIsKeptBesideTheNewOne)
{
    const QString unreadable = settingsPath() + u".unreadable"_s;
    const QByteArray undecodable = "{\"version\": 13, \"style\": \"Neon\"}";
    RibbexSettings notOurs;
    notOurs.version = 0;

    storeSettingsBytes(undecodable);
    auto model = makeModel();
    EXPECT_EQ(readFile(unreadable), undecodable);
    EXPECT_EQ(storedSettings(), model->settings());
    // Only the document found at start-up is kept; later saves leave the copy alone.
    model->updateColor(SettingsModel::ColorField::text, u"#FFFFFF"_s);

    // A second unreadable document, found at the next start, must not replace the first copy.
    storeSettingsBytes(*encodeSettings(notOurs));
    model = makeModel();
    EXPECT_EQ(decodeSettings(readFile(unreadable)), notOurs);
    EXPECT_EQ(readFile(unreadable + u".1"_s), undecodable);
    EXPECT_EQ(model->settings().width, RibbexSettings {}.width);
    EXPECT_EQ(storedSettings(), model->settings());
}

TEST_F(SettingsModelTest, SettingsThatCannotBeReadAreNeverOverwritten)
{
    // A folder where the document should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir().mkpath(settingsPath()));
    const auto model = makeModel();
    EXPECT_EQ(model->settings().style, TickerStyle::dotMatrix);
    EXPECT_FALSE(model->save());
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(SettingsModelTest, EveryActionSavesOnceAndCallsOnChangeOnce)
{
    const auto model = makeModel();
    ChangeCounter counter(*model);
    const std::pair<const char *, std::function<void()>> actions[] = {
        {"updateColor", [&] { model->updateColor(SettingsModel::ColorField::background, u"#000000"_s); }},
        {"updateColors", [&] { model->updateColors(u"#F4F3F0"_s, u"#17191D"_s); }},
        {"setBackgroundTransparency", [&] { model->setBackgroundTransparency(0.5); }},
        {"setSettings", [&] { model->setSettings(model->settings()); }},
    };
    for (const auto &[name, action] : actions) {
        counter.reset();
        action();
        EXPECT_EQ(counter.onChangeCalls, 1) << name;
        EXPECT_EQ(counter.changeSignals, 1) << name;
        EXPECT_EQ(storedSettings(), model->settings()) << name;
    }
    EXPECT_EQ(model->settings().textColor, u"#F4F3F0"_s);
    EXPECT_EQ(model->settings().backgroundColor, u"#17191D"_s);
}

TEST_F(SettingsModelTest, SourceStateChangesSignalWithoutSaving)
{
    const auto model = makeModel();
    ChangeCounter counter(*model);
    const QByteArray before = readFile(settingsPath());

    model->setFootballStatus(u"Updated"_s);
    model->setNewsHeadlines({{u"A"_s, std::nullopt}});
    model->setNewsStatus(u"Updated"_s);
    model->setWeatherSnapshot(std::nullopt);
    model->setWeatherStatus(u"Updated"_s);
    model->setSpotifyTrack(SpotifyNowPlaying {u"Song"_s, std::nullopt, std::nullopt});
    model->setSpotifyStatus(u"Connected"_s);
    model->setFootballMatches({});
    model->updateLaunchAtLoginState();

    EXPECT_EQ(counter.changeSignals, 9);
    EXPECT_EQ(counter.onChangeCalls, 0);
    EXPECT_EQ(readFile(settingsPath()), before);
}

TEST_F(SettingsModelTest, BackgroundTransparencyIsClampedToItsRange)
{
    const auto model = makeModel();
    const std::pair<double, double> cases[]
        = {{1.7, 1.0}, {-0.2, 0.0}, {0.4, 0.4}, {std::nan(""), 0.0}, {INFINITY, 1.0}};
    for (const auto &[value, stored] : cases) {
        model->setBackgroundTransparency(value);
        EXPECT_EQ(model->settings().backgroundTransparency, stored) << value;
        EXPECT_EQ(storedSettings().backgroundTransparency, stored) << value;
    }
}

TEST_F(SettingsModelTest, LaunchAtLoginFollowsTheAutostartEntry)
{
    const auto model = makeModel();
    model->setLaunchAtLogin(false);
    EXPECT_FALSE(model->launchAtLoginEnabled());
    EXPECT_EQ(model->launchAtLoginStatus(), u"Off"_s);

    writeFile(loginItems.entryPath(), "[Desktop Entry]\nType=Application\nExec=/nonexistent/ribbex\n");
    model->updateLaunchAtLoginState();
    EXPECT_FALSE(model->launchAtLoginEnabled());
    EXPECT_EQ(model->launchAtLoginStatus(), u"ribbex login item was not found"_s);

    model->setLaunchAtLogin(true);
    EXPECT_TRUE(model->launchAtLoginEnabled());
    EXPECT_EQ(model->launchAtLoginStatus(), u"Enabled"_s);
}

TEST_F(SettingsModelTest, FailedRegistrationShowsTheReasonOverTheState)
{
    writeFile(home.autostartDir(), "a file where the folder should be");
    const auto model = makeModel();
    EXPECT_FALSE(model->launchAtLoginEnabled());
    EXPECT_TRUE(model->launchAtLoginStatus().startsWith(u"Could not add"_s))
        << model->launchAtLoginStatus().toStdString();
}

TEST_F(SettingsModelTest, CachedFixturesAndScheduleTimesAreRestored)
{
    FootballFixtureCache cache;
    cache.fixtures.append({u"401"_s, at("2026-12-06T17:30:00Z"), matchStatus::scheduled, std::nullopt,
        {u"Arsenal"_s, u"ARS"_s}, {u"Chelsea"_s, u"CHE"_s}, {u"England Premier League"_s, u"eng.1"_s}, {}});
    cache.scheduleRefreshedAt.insert(u"eng.1"_s, at("2026-12-06T14:00:00Z"));
    ASSERT_TRUE(cacheStore.write(FootballFixtureCache::preferencesKey, encodeFixtureCache(cache)));

    const auto model = makeModel();
    EXPECT_EQ(model->footballMatches(), cache.fixtures);
    EXPECT_EQ(model->bookkeeping().footballScheduleRefreshedAt, cache.scheduleRefreshedAt);

    writeFile(cacheStore.pathFor(FootballFixtureCache::preferencesKey), "{\"fixtures\": []}");
    EXPECT_TRUE(makeModel()->footballMatches().isEmpty());
}

// Settings on a real filesystem that fills up (see FullDisk).
class FullDiskModelTest : public ModelTest {
protected:
    QString expectedStatus() const { return u"Couldn't save settings \u00B7 "_s + disk.reason(); }

    FullDisk disk {home.configDir()};
};

TEST_F(FullDiskModelTest, FailedSaveKeepsTheDocumentAndIsShownUntilASaveWorks)
{
    RibbexSettings stored;
    stored.selectedFootballCompetitions = allFootballCompetitionSet();
    storeSettings(stored);
    const QByteArray document = readFile(settingsPath());
    const auto model = makeModel();
    ChangeCounter counter(*model);
    EXPECT_EQ(model->saveStatus(), QString());

    disk.fill();
    model->updateColor(SettingsModel::ColorField::text, u"#FFFFFF"_s);
    EXPECT_EQ(readFile(settingsPath()), document);
    EXPECT_EQ(model->saveStatus(), expectedStatus());
    EXPECT_EQ(counter.changeSignals, 1);

    disk.makeRoom();
    model->updateColor(SettingsModel::ColorField::text, u"#000000"_s);
    EXPECT_EQ(model->saveStatus(), QString());
    EXPECT_EQ(storedSettings(), model->settings());
}

TEST_F(FullDiskModelTest, StartingOnAFullDiskLeavesEveryDocumentAsItWas)
{
    const QString unreadable = settingsPath() + u".unreadable"_s;
    writeFile(unreadable, "an earlier unreadable document");
    RibbexSettings version12;
    version12.version = 12;
    const struct {
        const char *name;
        QByteArray document;
    } cases[] = {
        // The copy could not be kept, so the document must not be saved over.
        {"undecodable", "{\"version\": 13, \"style\": \"Neon\"}"},
        // The migration writes back at once, before the model exists.
        {"version 12", *encodeSettings(version12)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        storeSettingsBytes(c.document);
        disk.fill();
        const auto model = makeModel(/*mayRegisterLoginItem=*/false);
        EXPECT_EQ(readFile(settingsPath()), c.document);
        EXPECT_EQ(readFile(unreadable), "an earlier unreadable document");
        EXPECT_EQ(QDir(home.ribbexConfigDir()).entryList(QDir::Files | QDir::Hidden),
            (QStringList {u"ribbex.settings.v1.json"_s, u"ribbex.settings.v1.json.unreadable"_s}));
        EXPECT_EQ(model->saveStatus(), expectedStatus());
        disk.makeRoom();
    }
}

} // namespace
} // namespace ribbex::test
