// Runs the real binary the way a user or a script would.

#include "model/football_match.h"
#include "settings/ribbex_settings.h"
#include "support/temp_home.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <filesystem>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class OnceRunTest : public testing::Test {
protected:
    ProcessResult ribbex(const QStringList &arguments, const QStringList &extraEnvironment = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, home.configDir());
        environment.insert(u"XDG_CACHE_HOME"_s, home.cacheDir());
        environment.insert(u"HOME"_s, home.path());
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        // "NAME=" removes NAME.
        for (const QString &assignment : extraEnvironment) {
            const QString name = assignment.section(u'=', 0, 0);
            const QString value = assignment.section(u'=', 1);
            if (value.isEmpty())
                environment.remove(name);
            else
                environment.insert(name, value);
        }
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(RIBBEX_BINARY), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QJsonObject printOnce(const QStringList &extraEnvironment = {})
    {
        const ProcessResult run = ribbex({u"--once"_s, u"--format"_s, u"json"_s}, extraEnvironment);
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.constData();
        return document.object();
    }

    QString settingsPath() const { return home.ribbexConfigDir() + u"/ribbex.settings.v1.json"_s; }

    TempHome home;
};

TEST_F(OnceRunTest, FreshHomePrintsTheDefaultItemsAndSavesTheDefaults)
{
    const QJsonObject printed = printOnce();
    const QJsonArray expectedItems{
        QJsonObject{{u"id"_s, u"news-status"_s}, {u"source"_s, u"news"_s}, {u"text"_s, u"BBC News \u00B7 Not refreshed yet"_s}},
        QJsonObject{{u"id"_s, u"weather-status"_s},
                    {u"source"_s, u"weather"_s},
                    {u"text"_s, u"Weather \u00B7 Choose current location or enter a city"_s}},
    };
    EXPECT_EQ(printed[u"items"_s].toArray(), expectedItems);
    const QJsonObject expectedStatus{
        {u"spotify"_s, u"Not connected"_s},          {u"football"_s, u"Not refreshed yet"_s},
        {u"news"_s, u"Not refreshed yet"_s},         {u"weather"_s, u"Choose current location or enter a city"_s},
        {u"launchAtLogin"_s, u"Off"_s},
    };
    EXPECT_EQ(printed[u"status"_s].toObject(), expectedStatus);

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
        const QJsonArray items = printOnce(QStringList{u"LC_ALL="_s, u"LC_TIME="_s} + c.environment)[u"items"_s].toArray();
        ASSERT_EQ(items.size(), 2);
        EXPECT_EQ(items[0][u"text"_s].toString(), u"CEL 1\u20130 RAN \u00B7 11\u2032"_s);
        EXPECT_EQ(items[0][u"detail"_s].toString(), u"Scotland Premiership"_s);
        EXPECT_EQ(items[1][u"id"_s].toString(), u"football-7"_s);
        const QString text = items[1][u"text"_s].toString().replace(u'\u202F', u' ');
        EXPECT_EQ(text, QString::fromUtf16(c.expected).replace(u'\u202F', u' ')) << c.environment.join(u' ').toStdString();
    }
}

TEST_F(OnceRunTest, OlderDocumentIsMigratedAndWrittenBack)
{
    writeFile(settingsPath(), R"({"version": 4, "enabledSources": ["weather"], "layout": "Single ticker",
        "style": "Classic", "speed": 72, "width": 900, "textColor": "#FFAB38", "backgroundColor": "#17150E",
        "isVisible": true, "startsHidden": false})");
    const QJsonObject printed = printOnce();
    EXPECT_EQ(printed[u"items"_s].toArray().size(), 1);

    const std::optional<RibbexSettings> stored = decodeSettings(readFile(settingsPath()));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->version, 13);
    EXPECT_EQ(stored->width, 700);
    EXPECT_EQ(stored->backgroundTransparency, 0.0);
    EXPECT_EQ(stored->selectedFootballCompetitions, allFootballCompetitionSet());
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
