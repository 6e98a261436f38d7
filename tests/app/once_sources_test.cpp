// One-off runs that refresh real sources from loopback servers, print the line and paint it.

#include "model/football_match.h"
#include "ribbex_process.h"
#include "settings/ribbex_settings.h"
#include "support/http_test_server.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimeZone>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

QByteArray espnEvent(const char *id, const QDateTime &kickOff, const char *state, const char *clock, const char *home,
    const char *away, const char *homeScore, const char *awayScore)
{
    return u"{\"id\": \"%1\", \"date\": \"%2\", \"status\": {\"displayClock\": \"%3\", \"type\": {\"name\": \"%4\", "
           u"\"state\": \"%5\", \"completed\": false}}, \"competitions\": [{\"competitors\": ["
           u"{\"homeAway\": \"home\", \"score\": \"%6\", \"team\": {\"displayName\": \"%7\", \"abbreviation\": "
           u"\"%7\"}},"
           u"{\"homeAway\": \"away\", \"score\": \"%8\", \"team\": {\"displayName\": \"%9\", \"abbreviation\": \"%9\"}}"
           u"]}]}"_s
               .arg(QString::fromLatin1(id), kickOff.toString(Qt::ISODate), QString::fromLatin1(clock),
                   QString::fromLatin1(qstrcmp(state, "in") == 0 ? "STATUS_SECOND_HALF" : "STATUS_SCHEDULED"),
                   QString::fromLatin1(state), QString::fromLatin1(homeScore), QString::fromLatin1(home),
                   QString::fromLatin1(awayScore), QString::fromLatin1(away))
               .toUtf8();
}

void storeSettings(const QString &path, std::set<TickerSource> sources, std::function<void(RibbexSettings &)> edit = {})
{
    RibbexSettings settings;
    settings.enabledSources = std::move(sources);
    settings.selectedFootballCompetitions
        = FootballCompetitionSet {FootballCompetition::premierLeague, FootballCompetition::scottishPremiership};
    if (edit)
        edit(settings);
    writeFile(path, *encodeSettings(settings));
}

using OnceSourcesTest = RibbexProcessTest;

TEST_F(OnceSourcesTest, FootballFromTheScoreboardServiceIsPrintedAndCached)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime liveKickOff = now.addSecs(-3000);
    const QDateTime nextKickOff = now.addSecs(7200);
    HttpTestServer espn([&](const HttpTestRequest &request) {
        if (!request.path.startsWith(u"/apis/site/v2/sports/soccer/eng.1/"_s))
            return HttpTestResponse {.body = R"({"events": []})"};
        return HttpTestResponse {.body = "{\"events\": ["
                + espnEvent("41", liveKickOff, "in", "52'", "LIV", "EVE", "2", "1") + ","
                + espnEvent("42", nextKickOff, "pre", "0'", "ARS", "CHE", "", "") + "]}"};
    });
    storeSettings(settingsPath(), {TickerSource::football});

    const QJsonObject printed = printOnce({u"RIBBEX_ESPN_URL="_s + espn.url(u""_s).toString(), u"TZ=UTC"_s});
    const QJsonArray items = printed[u"items"_s].toArray();
    ASSERT_EQ(items.size(), 2) << QJsonDocument(printed).toJson().constData();
    EXPECT_EQ(items[0][u"text"_s].toString(), u"LIV 2\u20131 EVE \u00B7 52\u2032"_s);
    EXPECT_EQ(items[1][u"text"_s].toString(), u"ARS v CHE \u00B7 "_s + nextKickOff.toString(u"HH:mm"));
    EXPECT_EQ(printed[u"status"_s][u"football"_s].toString(), u"Monitoring 1 live fixture \u00B7 45-second updates"_s);

    EXPECT_GE(espn.count(u"/apis/site/v2/sports/soccer/eng.1/scoreboard"_s), 1);
    EXPECT_GE(espn.count(u"/apis/site/v2/sports/soccer/sco.1/scoreboard"_s), 1);
    EXPECT_EQ(espn.count(u"/apis/site/v2/sports/soccer/ger.1/scoreboard"_s), 0);
    const std::optional<FootballFixtureCache> cache = decodeFixtureCache(readFile(fixtureCachePath()));
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->fixtures.size(), 2);
}

TEST_F(OnceSourcesTest, CustomFeedHeadlinesArePrintedAsTextAndJson)
{
    HttpTestServer feed([](const HttpTestRequest &) {
        return HttpTestResponse {.body
            = "<rss version=\"2.0\"><channel><title>Local</title>"
              "<item><title>First &amp; foremost</title><link>https://example.org/1</link></item>"
              "<item><title><![CDATA[Second]]></title></item>"
              "</channel></rss>"};
    });
    storeSettings(settingsPath(), {TickerSource::news}, [&](RibbexSettings &s) {
        s.newsFeedID = u"custom"_s;
        s.customNewsFeedURL = feed.url(u"/feed.xml"_s).toString();
    });

    const QJsonArray items = printOnce()[u"items"_s].toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].toObject(),
        (QJsonObject {{u"id"_s, u"news-https://example.org/1"_s}, {u"source"_s, u"news"_s},
            {u"text"_s, u"First & foremost"_s}, {u"detail"_s, u"Custom RSS"_s},
            {u"url"_s, u"https://example.org/1"_s}}));
    EXPECT_EQ(items[1][u"id"_s].toString(), u"news-Second"_s);

    const ProcessResult text = ribbex({u"--once"_s});
    EXPECT_EQ(text.exitCode, 0) << text.err.constData();
    EXPECT_TRUE(text.out.contains("FIRST & FOREMOST")) << text.out.constData();
    EXPECT_TRUE(text.out.contains("SECOND")) << text.out.constData();
    EXPECT_EQ(text.out.count('\n'), 1);
}

TEST_F(OnceSourcesTest, RenderPaintsTheStripAtTheAskedSizeWithoutADisplay)
{
    storeSettings(settingsPath(), {TickerSource::weather});
    const QString picture = home.path() + u"/strip.png"_s;

    const ProcessResult painted = ribbex({u"--render"_s, picture, u"--width"_s, u"350"_s, u"--scale"_s, u"2"_s});
    EXPECT_EQ(painted.exitCode, 0) << painted.err.constData();
    EXPECT_TRUE(painted.out.isEmpty());
    const QImage image(picture);
    EXPECT_EQ(image.size(), QSize(700, 44));

    const ProcessResult unwritable = ribbex({u"--render"_s, home.path() + u"/missing/strip.png"_s});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.startsWith("ribbex: could not write the picture")) << unwritable.err.constData();
}

} // namespace
} // namespace ribbex::test
