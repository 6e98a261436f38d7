// One-off runs of the real binary in a temporary home, with its sources on a loopback server.

#include "model/football_match.h"
#include "ribbex_process.h"
#include "settings/ribbex_settings.h"
#include "support/full_disk.h"
#include "support/http_test_server.h"
#include "support/model_home.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

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
        return HttpTestResponse {.body = R"({"events": []})"};
    });
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::football, TickerSource::news};
    settings.selectedFootballCompetitions
        = FootballCompetitionSet {FootballCompetition::premierLeague, FootballCompetition::scottishPremiership};
    settings.newsFeedID = u"custom"_s;
    settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
    writeFile(settingsPath(), *encodeSettings(settings));
    // Times follow LC_TIME over LANG, in the zone of TZ.
    const QStringList environment {u"RIBBEX_ESPN_URL="_s + server.url(u""_s).toString(), u"TZ=America/Phoenix"_s,
        u"LC_ALL="_s, u"LANG=de_DE.UTF-8"_s, u"LC_TIME=en_US.UTF-8"_s};
    const QString picture = home.path() + u"/strip.png"_s;

    const ProcessResult json = ribbex(
        {u"--once"_s, u"--format"_s, u"json"_s, u"--render"_s, picture, u"--width"_s, u"350"_s, u"--scale"_s, u"2"_s},
        environment);
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    EXPECT_EQ(json.err, "");
    // Newer locale data puts a narrow no-break space before PM.
    const QJsonObject printed
        = QJsonDocument::fromJson(QString::fromUtf8(json.out).replace(u'\u202F', u' ').toUtf8()).object();
    EXPECT_EQ(printed[u"items"_s].toArray(),
        QJsonDocument::fromJson(uR"([
            {"id": "news-https://news.example/1", "source": "news", "text": "First headline", "detail": "Custom RSS",
             "url": "https://news.example/1"},
            {"id": "news-https://news.example/2", "source": "news", "text": "Second headline", "detail": "Custom RSS",
             "url": "https://news.example/2"},
            {"id": "football-41", "source": "football", "text": "LIV 2–1 EVE · 52′", "detail": "England Premier League"},
            {"id": "football-42", "source": "football", "text": "ARS v CHE · 12:30 PM", "detail": "England Premier League"}
        ])"_s.toUtf8())
            .array())
        << json.out.constData();
    EXPECT_EQ(printed[u"status"_s].toObject(),
        (QJsonObject {{u"launchAtLogin"_s, u"Off"_s},
            {u"football"_s, u"Monitoring 1 live fixture \u00B7 45-second updates"_s},
            {u"news"_s, u"Updated just now \u00B7 2 headlines"_s}}))
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
        u"FIRST HEADLINE"_s + gap + u"SECOND HEADLINE"_s + gap + u"LIV 2-1 EVE . 52\u2032"_s + gap
            + u"ARS V CHE . 12:30 PM\n"_s)
        << text.out.constData();
}

// Settings that cannot be saved are reported without failing the run; a run registers no login
// item, not even the first.
TEST_F(OnceRunTest, ASaveThatFailsIsReportedAndNoRunRegistersTheLoginItem)
{
    const QStringList paint {u"--render"_s, u"/dev/null"_s};
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
    const struct {
        QStringList arguments;
        QStringList environment;
        int exitCode;
        QByteArray out; // what the output starts with
        QByteArray err; // what the errors start with
    } cases[] = {
        {{u"--version"_s}, {}, 0, "ribbex " RIBBEX_VERSION "\n", ""},
        {{u"--help"_s}, {}, 0, "Usage: ", ""},
        {{u"--once"_s, u"--format"_s, u"yaml"_s}, {}, 2, "", "ribbex: unknown format \"yaml\""},
        {{}, {u"QT_QPA_PLATFORM="_s}, 1, "", "ribbex: no display to show the strip on"},
        {{}, {u"DISPLAY=:97"_s, u"QT_QPA_PLATFORM="_s}, 1, "", "ribbex: cannot open the X display \":97\""},
    };
    for (const auto &c : cases) {
        const ProcessResult result = ribbex(c.arguments, c.environment);
        const std::string what = (c.arguments + c.environment).join(u' ').toStdString();
        EXPECT_EQ(result.exitCode, c.exitCode) << what;
        EXPECT_TRUE(result.out.startsWith(c.out)) << what << ": " << result.out.constData();
        EXPECT_TRUE(result.err.startsWith(c.err)) << what << ": " << result.err.constData();
        // Every failure says what to try instead.
        EXPECT_EQ(result.err.contains("'ribbex --"), c.exitCode != 0) << what << ": " << result.err.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(home.configDir()));
}

} // namespace
} // namespace ribbex::test
