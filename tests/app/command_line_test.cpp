// The command line, and the real binary run in a temporary home with its sources on loopback.

#include "app/command_line.h"
#include "model/football_match.h"
#include "ribbex_process.h"
#include "settings/ribbex_settings.h"
#include "support/full_disk.h"
#include "support/http_test_server.h"
#include "support/model_home.h"
#include "support/private_bus.h"
#include "support/test_player.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

Command parse(const QStringList &words)
{
    return parseCommandLine(QStringList {u"ribbex"_s} + words);
}

TEST(CommandLine, ChoosesWhatToRunOrRejectsWithAReasonWhatItCannotDo)
{
    // The desktop starts us with the links of our scheme, to hand to the running strip.
    const Command withLinks = parse({u"ribbex://spotify-callback?code=1"_s, u"RIBBEX://other"_s});
    ASSERT_TRUE(std::holds_alternative<StartStrip>(withLinks));
    EXPECT_EQ(std::get<StartStrip>(withLinks).urls.size(), 2);
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({u"--once"_s, u"-h"_s})));

    using enum RunOnce::Format;
    const std::pair<QStringList, RunOnce> cases[] = {
        {{u"--format=json"_s, u"--once"_s}, {.format = json, .renderFile = {}, .renderWidth = {}}},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"500"_s, u"--scale"_s, u"1.5"_s},
            {.print = false, .renderFile = u"a.png"_s, .renderWidth = 500, .renderScale = 1.5, .refresh = false}},
        {{u"--render"_s, u"c.png"_s, u"--width"_s, u"4095"_s, u"--scale"_s, u"8"_s},
            {.print = false, .renderFile = u"c.png"_s, .renderWidth = 4095, .renderScale = 8, .refresh = false}},
    };
    const auto fields = [](const RunOnce &run) {
        return std::tuple(run.print, run.format, run.renderFile, run.renderWidth, run.renderScale, run.refresh);
    };
    for (const auto &[words, expected] : cases) {
        const Command command = parse(words);
        ASSERT_TRUE(std::holds_alternative<RunOnce>(command)) << words.join(u' ').toStdString();
        EXPECT_EQ(fields(std::get<RunOnce>(command)), fields(expected)) << words.join(u' ').toStdString();
    }

    EXPECT_EQ(std::get<RunFollow>(parse({u"--follow"_s, u"--format=waybar"_s, u"--interval"_s, u"0.5"_s})),
        (RunFollow {RunFollow::Format::waybar, 0.5}));

    const std::pair<QStringList, const char16_t *> rejected[] = {
        {{u"--follow"_s, u"--once"_s}, u"--follow cannot be combined with --once or --render"},
        {{u"--follow"_s, u"--interval"_s, u"0"_s}, u"--interval must be"},
        {{u"--once"_s, u"--interval"_s, u"2"_s}, u"--interval is only used with --follow"},
        {{u"--follow"_s, u"--format"_s, u"xml"_s}, u"unknown format \"xml\"; the format can be text, json or waybar"},
        {{u"--format"_s, u"json"_s}, u"--format is only used with --once"},
        {{u"--once"_s, u"--width"_s, u"300"_s}, u"--width and --scale are only used with --render"},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"0"_s}, u"--width must be"},
        {{u"--render"_s, u"a.png"_s, u"--scale"_s, u"nan"_s}, u"--scale must be"},
        {{u"--render"_s, u"a.png"_s, u"--scale"_s, u"100"_s}, u"--scale must be"},
        {{u"--render"_s, u"a.png"_s, u"--width"_s, u"4096"_s, u"--scale"_s, u"8"_s},
            u"--width 4096 at --scale 8: the picture would be 32768 \u00D7 176 device pixels; the largest edge"},
        {{u"--frobnicate"_s}, u"Unknown option 'frobnicate'."},
        {{u"extra"_s}, u"unexpected argument: extra"},
        {{u"https://example.com/"_s}, u"unexpected argument: https://example.com/"},
        {{u"--once"_s, u"ribbex://spotify-callback"_s}, u"unexpected argument: ribbex://"},
    };
    for (const auto &[words, message] : rejected) {
        const Command command = parse(words);
        ASSERT_TRUE(std::holds_alternative<CommandLineError>(command)) << QString::fromUtf16(message).toStdString();
        EXPECT_TRUE(std::get<CommandLineError>(command).message.startsWith(QString::fromUtf16(message)))
            << std::get<CommandLineError>(command).message.toStdString();
    }
}

using RenderFileTest = RibbexProcessTest;

// A picture that could not be written used to pass for written: the exit status was 0.
TEST_F(RenderFileTest, SaysWhyThePictureWasNotWritten)
{
    const std::pair<QString, const char *> cases[] = {
        {u"/dev/full"_s, "No space left on device"},
        {home.path() + u"/missing/strip.png"_s, "No such file or directory"},
        {home.path(), "Is a directory"},
    };
    for (const auto &[file, reason] : cases) {
        const ProcessResult result = ribbex({u"--render"_s, file});
        EXPECT_EQ(result.exitCode, 1) << file.toStdString();
        EXPECT_EQ(result.err, "ribbex: could not write the picture to " + file.toUtf8() + ": " + reason + '\n');
    }
}

using OnceRunTest = RibbexProcessTest;

// One match in its second half and one still to come.
QByteArray scoreboard(const QDateTime &liveKickOff, const QDateTime &nextKickOff)
{
    return uR"({"events": [
{"id": "41", "date": "%1", "status": {"displayClock": "52'", "type": {"name": "STATUS_SECOND_HALF", "state": "in"}},
 "competitions": [{"competitors": [{"homeAway": "home", "score": "2", "team": {"displayName": "LIV", "abbreviation": "LIV"}},
   {"homeAway": "away", "score": "1", "team": {"displayName": "EVE", "abbreviation": "EVE"}}]}]},
{"id": "42", "date": "%2", "status": {"displayClock": "0'", "type": {"name": "STATUS_SCHEDULED", "state": "pre"}},
 "competitions": [{"competitors": [{"homeAway": "home", "score": "", "team": {"displayName": "ARS", "abbreviation": "ARS"}},
   {"homeAway": "away", "score": "", "team": {"displayName": "CHE", "abbreviation": "CHE"}}]}]}]})"_s
        .arg(liveKickOff.toString(Qt::ISODate), nextKickOff.toString(Qt::ISODate))
        .toUtf8();
}

TEST_F(OnceRunTest, PrintsAndPaintsWhatTheSourcesServeAndKeepsTheFixtures)
{
    // The next 19:30 UTC, 12:30 PM in Phoenix, which keeps no daylight saving time.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QDateTime kickOff(now.date(), QTime(19, 30), QTimeZone::utc());
    if (kickOff <= now)
        kickOff = kickOff.addDays(1);
    HttpTestServer server([&](const HttpTestRequest &request) {
        if (request.path == u"/feed.xml")
            return HttpTestResponse {.body = twoHeadlineFeed};
        if (request.path.startsWith(u"/apis/site/v2/sports/soccer/eng.1/"))
            return HttpTestResponse {.body = scoreboard(now.addSecs(-3000), kickOff)};
        if (request.path == u"/v1/search")
            return HttpTestResponse {.body = R"({"results": [{"name": "Oslo", "admin1": "Oslo", "country": "Norway",
                "latitude": 59.91273, "longitude": 10.74609}]})"};
        if (request.path == u"/v1/forecast")
            return HttpTestResponse {.body = R"({"current": {"temperature_2m": -3.5, "weather_code": 71}})"};
        return HttpTestResponse {.body = R"({"events": []})"};
    });
    RibbexSettings settings;
    settings.enabledSources
        = {TickerSource::football, TickerSource::news, TickerSource::weather, TickerSource::spotify};
    settings.weatherUseCurrentLocation = false;
    settings.weatherCity = u"Oslo"_s;
    settings.selectedFootballCompetitions
        = FootballCompetitionSet {FootballCompetition::premierLeague, FootballCompetition::scottishPremiership};
    settings.newsFeedID = u"custom"_s;
    settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
    writeFile(settingsPath(), *encodeSettings(settings));
    // Times follow LC_TIME over LANG, in the zone of TZ.
    // Spotify's desktop player, at 50 of 200 seconds, on a session bus of the test's own.
    PrivateBus bus;
    TestPlayer player(bus.connect(u"spotify"_s));
    const QString base = server.url(u""_s).toString();
    const QStringList environment {u"DBUS_SESSION_BUS_ADDRESS="_s + bus.address(), u"RIBBEX_ESPN_URL="_s + base,
        u"RIBBEX_GEOCODING_URL="_s + base, u"RIBBEX_FORECAST_URL="_s + base, u"TZ=America/Phoenix"_s, u"LC_ALL="_s,
        u"LANG=de_DE.UTF-8"_s, u"LC_TIME=en_US.UTF-8"_s};
    const QString picture = home.path() + u"/strip.png"_s;

    const ProcessResult json = ribbex(
        {u"--once"_s, u"--format"_s, u"json"_s, u"--render"_s, picture, u"--width"_s, u"350"_s, u"--scale"_s, u"2"_s},
        environment);
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    EXPECT_EQ(json.err, "");
    // Newer locale data puts a narrow no-break space before PM.
    const QJsonObject printed
        = QJsonDocument::fromJson(QString::fromUtf8(json.out).replace(u'\u202F', u' ').toUtf8()).object();
    QJsonArray items = printed[u"items"_s].toArray();
    const QJsonObject progress = items.first().toObject().take(u"progress"_s).toObject();
    EXPECT_NEAR(progress[u"position"_s].toDouble(), 50, 2);
    EXPECT_EQ(std::pair(progress[u"duration"_s].toDouble(), progress[u"playing"_s].toBool()), std::pair(200.0, true));
    QJsonObject spotify = items.first().toObject();
    spotify.remove(u"progress"_s);
    items.replace(0, spotify);
    EXPECT_EQ(items,
        QJsonDocument::fromJson(uR"([
            {"id": "spotify-now-playing", "source": "spotify", "text": "Song", "detail": "Artist", "url": "spotify:"},
            {"id": "news-https://news.example/1", "source": "news", "text": "First headline", "detail": "Custom RSS",
             "url": "https://news.example/1"},
            {"id": "news-https://news.example/2", "source": "news", "text": "Second headline", "detail": "Custom RSS",
             "url": "https://news.example/2"},
            {"id": "weather-current", "source": "weather", "text": "-4°C Snow Oslo", "url": "weather://"},
            {"id": "football-41", "source": "football", "text": "LIV 2–1 EVE · 52′", "detail": "England Premier League"},
            {"id": "football-42", "source": "football", "text": "ARS v CHE · 12:30 PM", "detail": "England Premier League"}
        ])"_s.toUtf8())
            .array())
        << json.out.constData();
    EXPECT_EQ(printed[u"status"_s].toObject(),
        (QJsonObject {{u"launchAtLogin"_s, u"Off"_s},
            {u"football"_s, u"Monitoring 1 live fixture \u00B7 45-second updates"_s},
            {u"news"_s, u"Updated just now \u00B7 2 headlines"_s}, {u"weather"_s, u"Updated just now \u00B7 Oslo"_s},
            {u"spotify"_s, u"Playing \u00B7 updated just now"_s}}))
        << json.out.constData();
    EXPECT_EQ(QImage(picture).size(), QSize(700, 44));
    // What the scoreboard sent is kept for the strip.
    const auto cache = decodeFixtureCache(readFile(home.ribbexCacheDir() + u"/ribbex.football.fixtures.v2.json"_s));
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->fixtures.size(), 2);

    // The line as the strip scrolls it, in the dot matrix's letters.
    const ProcessResult text = ribbex({u"--once"_s}, environment);
    EXPECT_EQ(text.exitCode, 0) << text.err.constData();
    const QString gap = u" \u2002\u2004|\u2004 "_s;
    EXPECT_EQ(QString::fromUtf8(text.out).replace(u'\u202F', u' '),
        u"SONG - ARTIST"_s + gap + u"FIRST HEADLINE"_s + gap + u"SECOND HEADLINE"_s + gap + u"-4\u00B0C Snow OSLO"_s
            + gap + u"LIV 2-1 EVE . 52\u2032"_s + gap + u"ARS V CHE . 12:30 PM\n"_s)
        << text.out.constData();
}

// A save that fails is reported without failing the run; no run registers the login item, not even the first.
TEST_F(OnceRunTest, ASaveThatFailsIsReportedAndNoRunRegistersTheLoginItem)
{
    const QStringList paint {u"--render"_s, u"/dev/null"_s}; // a device is written into, not replaced
    {
        FullDisk disk(home.configDir());
        disk.fill();
        const ProcessResult failed = ribbex(paint);
        EXPECT_EQ(failed.exitCode, 0);
        EXPECT_EQ(failed.err, "ribbex: couldn't save settings \u00B7 " + disk.reason().toUtf8() + '\n');
    }
    const ProcessResult saved = ribbex(paint);
    EXPECT_EQ(saved.exitCode, 0);
    EXPECT_EQ(saved.err, "");
    EXPECT_TRUE(QFileInfo::exists(settingsPath()));
    EXPECT_FALSE(QFileInfo::exists(home.autostartDir() + u"/com.ribbex.Ribbex.desktop"_s));
}

TEST_F(OnceRunTest, RunsWithoutWorkPrintOrFailWithAReasonAndTouchNothing)
{
    // the arguments, the environment, the exit code, what the output and the errors start with
    const std::tuple<QStringList, QStringList, int, QByteArray, QByteArray> cases[] = {
        {{u"--version"_s}, {}, 0, "ribbex " RIBBEX_VERSION "\n", ""},
        {{u"--help"_s}, {}, 0, "Usage: ", ""},
        {{u"--once"_s, u"--format"_s, u"yaml"_s}, {}, 2, "", "ribbex: unknown format \"yaml\""},
        {{}, {u"QT_QPA_PLATFORM="_s}, 1, "", "ribbex: no display to show the strip on"},
        {{}, {u"DISPLAY=:97"_s, u"QT_QPA_PLATFORM="_s}, 1, "", "ribbex: cannot open the X display \":97\""},
    };
    for (const auto &[arguments, environment, exitCode, out, err] : cases) {
        const ProcessResult result = ribbex(arguments, environment);
        const std::string what = (arguments + environment).join(u' ').toStdString();
        EXPECT_EQ(result.exitCode, exitCode) << what;
        EXPECT_TRUE(result.out.startsWith(out)) << what << ": " << result.out.constData();
        EXPECT_TRUE(result.err.startsWith(err)) << what << ": " << result.err.constData();
        // Every failure says what to try instead.
        EXPECT_EQ(result.err.contains("'ribbex --"), exitCode != 0) << what << ": " << result.err.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(home.configDir()));
}

} // namespace
} // namespace ribbex::test
