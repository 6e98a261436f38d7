#include "model/football_match.h"
#include "ribbex_process.h"
#include "settings/ribbex_settings.h"
#include "support/full_disk.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <filesystem>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

using OnceRunTest = RibbexProcessTest;

TEST_F(OnceRunTest, FreshHomePrintsTheDefaultItemsAndSavesTheDefaults)
{
    const QJsonObject printed = printOnce();
    const QJsonArray items = printed[u"items"_s].toArray();
    ASSERT_EQ(items.size(), 2);
    // The default feed is fetched, and fails without a network: its status stands in for headlines.
    const QString newsStatus = printed[u"status"_s][u"news"_s].toString();
    EXPECT_NE(newsStatus, u"Not refreshed yet"_s);
    EXPECT_EQ(items[0].toObject(),
        (QJsonObject {{u"id"_s, u"news-status"_s}, {u"source"_s, u"news"_s},
            {u"text"_s, QString(u"BBC News \u00B7 "_s + newsStatus)}}));
    EXPECT_EQ(items[1].toObject(),
        (QJsonObject {{u"id"_s, u"weather-status"_s}, {u"source"_s, u"weather"_s},
            {u"text"_s, u"Weather \u00B7 Choose current location or enter a city"_s}}));
    EXPECT_EQ(printed[u"status"_s][u"launchAtLogin"_s], u"Off"_s);
    EXPECT_EQ(printed[u"status"_s][u"football"_s], u"Not refreshed yet"_s);

    RibbexSettings expected;
    expected.selectedFootballCompetitions = allFootballCompetitionSet();
    EXPECT_EQ(decodeSettings(readFile(settingsPath())), expected);
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(settingsPath().toStdString()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    // A command-line run never registers the login item, not even on first launch.
    EXPECT_FALSE(QFileInfo::exists(home.autostartDir() + u"/com.ribbex.Ribbex.desktop"_s));
}

TEST_F(OnceRunTest, PlantedFixturesPrintInTheUsersZoneAndLocale)
{
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::football};
    settings.selectedFootballCompetitions = allFootballCompetitionSet();
    writeFile(settingsPath(), *encodeSettings(settings));

    // The next 19:30 UTC, in zones without daylight saving so the expected times hold all year.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QDateTime kickOff(now.date(), QTime(19, 30), QTimeZone::utc());
    if (kickOff <= now)
        kickOff = kickOff.addDays(1);
    FootballFixtureCache cache;
    cache.fixtures.append({u"9"_s, now.addSecs(-600), u"IN_PLAY"_s, 11, {u"Celtic"_s, u"CEL"_s},
        {u"Rangers"_s, u"RAN"_s}, {u"Scotland Premiership"_s, u"sco.1"_s}, {{1, 0}}});
    cache.fixtures.append({u"7"_s, kickOff, u"SCHEDULED"_s, std::nullopt, {u"Arsenal"_s, u"ARS"_s},
        {u"Chelsea"_s, u"CHE"_s}, {u"England Premier League"_s, u"eng.1"_s}, {}});
    writeFile(home.ribbexCacheDir() + u"/ribbex.football.fixtures.v2.json"_s, encodeFixtureCache(cache));

    const struct {
        QStringList environment;
        const char16_t *expected;
    } cases[] = {
        {{u"TZ=Asia/Tokyo"_s, u"LANG=de_DE.UTF-8"_s}, u"ARS v CHE \u00B7 04:30"},
        {{u"TZ=America/Phoenix"_s, u"LANG=en_US.UTF-8"_s}, u"ARS v CHE \u00B7 12:30\u202FPM"},
        {{u"TZ=Asia/Kolkata"_s, u"LANG=en_GB.UTF-8"_s}, u"ARS v CHE \u00B7 01:00"},
        {{u"TZ=America/Phoenix"_s, u"LANG=de_DE.UTF-8"_s, u"LC_TIME=en_US.UTF-8"_s}, u"ARS v CHE \u00B7 12:30\u202FPM"},
    };
    for (const auto &c : cases) {
        const QJsonArray items
            = printOnce(QStringList {u"LC_ALL="_s, u"LC_TIME="_s} + c.environment)[u"items"_s].toArray();
        ASSERT_EQ(items.size(), 2);
        EXPECT_EQ(items[0][u"text"_s].toString(), u"CEL 1\u20130 RAN \u00B7 11\u2032"_s);
        EXPECT_EQ(items[0][u"detail"_s].toString(), u"Scotland Premiership"_s);
        EXPECT_EQ(items[1][u"id"_s].toString(), u"football-7"_s);
        const QString text = items[1][u"text"_s].toString().replace(u'\u202F', u' ');
        EXPECT_EQ(text, QString::fromUtf16(c.expected).replace(u'\u202F', u' '))
            << c.environment.join(u' ').toStdString();
    }
}

TEST_F(OnceRunTest, SettingsThatCannotBeSavedAreReportedWithoutFailingTheRun)
{
    FullDisk disk(home.configDir());
    disk.fill();
    const ProcessResult run = ribbex({u"--once"_s});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.out.isEmpty());
    EXPECT_EQ(run.err, "ribbex: couldn't save settings \u00B7 " + disk.reason().toUtf8() + '\n');
}

TEST_F(OnceRunTest, HelpVersionAndBadArguments)
{
    const ProcessResult version = ribbex({u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "ribbex " RIBBEX_VERSION "\n");

    const ProcessResult help = ribbex({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--once"));

    const ProcessResult bad = ribbex({u"--once"_s, u"--format"_s, u"yaml"_s});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.startsWith("ribbex: unknown format")) << bad.err.constData();
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));
}

} // namespace
} // namespace ribbex::test
