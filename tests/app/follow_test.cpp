// `ribbex --follow` read through a pipe, as a status bar reads it, with its sources on loopback
// and the Spotify player on a session bus of the test's own where no strip runs.

#include "app/follow_output.h"
#include "ribbex_process.h"
#include "settings/ribbex_settings.h"
#include "support/http_test_server.h"
#include "support/model_home.h"
#include "support/private_bus.h"
#include "support/test_player.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class FollowTest : public RibbexProcessTest {
protected:
    ~FollowTest() override
    {
        follow.kill();
        follow.waitForFinished(5000);
    }

    void start(const QStringList &arguments, const std::set<TickerSource> &sources)
    {
        RibbexSettings settings;
        settings.enabledSources = sources;
        settings.newsFeedID = u"custom"_s;
        settings.customNewsFeedURL = server.url(u"/feed.xml"_s).toString();
        writeFile(settingsPath(), *encodeSettings(settings));
        follow.setProcessEnvironment(environment({u"DBUS_SESSION_BUS_ADDRESS="_s + bus.address()}));
        follow.start(QStringLiteral(RIBBEX_BINARY), QStringList {u"--follow"_s} + arguments);
    }
    // The next whole line, within the limit; empty when none came.
    QString nextLine(int limitMs = 10000)
    {
        if (!QTest::qWaitFor([&] { return follow.canReadLine(); }, limitMs))
            return {};
        return QString::fromUtf8(follow.readLine()).chopped(1);
    }
    QString lineWith(const QString &text)
    {
        for (QString line = nextLine(); !line.isNull(); line = nextLine())
            if (line.contains(text))
                return line;
        return {};
    }

    QByteArray feed = twoHeadlineFeed;
    HttpTestServer server {[this](const HttpTestRequest &) { return HttpTestResponse {.body = feed, .delay = 300ms}; }};
    PrivateBus bus;
    TestPlayer player {bus.connect(u"spotify"_s)};
    QProcess follow;
};

TEST_F(FollowTest, PrintsALineAtStartAndOneForEachChangeAndEndsWhenThePipeCloses)
{
    start({}, {TickerSource::news, TickerSource::spotify});
    // At once, before the feed has answered; then with the headlines and the player's track.
    EXPECT_FALSE(nextLine(5000).contains(u"FIRST HEADLINE"_s));
    const QString refreshed = lineWith(u"FIRST HEADLINE"_s);
    EXPECT_TRUE(refreshed.startsWith(u"SONG - ARTIST"_s)) << refreshed.toStdString();
    player.track.title = u"Next song"_s;
    player.announce();
    EXPECT_TRUE(lineWith(u"NEXT SONG - ARTIST"_s).contains(u"SECOND HEADLINE"_s));
    EXPECT_EQ(server.count(u"/feed.xml"_s), 1);

    // A bar that goes away closes the pipe: the run ends at once, and well.
    QProcess bar;
    bar.setProcessEnvironment(follow.processEnvironment());
    bar.start(u"bash"_s,
        {u"-c"_s, u"\"$0\" --follow | head -n 1 >/dev/null; echo ${PIPESTATUS[0]}"_s, QStringLiteral(RIBBEX_BINARY)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(bar.readAllStandardOutput(), "0\n");
}

TEST_F(FollowTest, WaybarRotatesThroughTheItemsInPangoMarkupAndEndsOnSigterm)
{
    feed = R"(<rss><channel><item><title>Tom &amp; "Jerry" &lt;b&gt;</title><link>https://a.example/</link></item>
        <item><title>It's on</title><link>https://b.example/</link></item></channel></rss>)";
    start({u"--format"_s, u"waybar"_s, u"--interval"_s, u"0.2"_s}, {TickerSource::news});
    const QString tooltip = u"Tom &amp; &quot;Jerry&quot; &lt;b&gt;\nIt&#39;s on"_s;
    QStringList shown;
    for (QString line = nextLine(); shown.size() < 3 && !line.isNull(); line = nextLine()) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        if (object[u"tooltip"_s] != tooltip)
            continue;
        EXPECT_EQ(object[u"class"_s], u"news"_s);
        shown.append(object[u"text"_s].toString());
    }
    // One item at a time, in turn, each on its own line.
    ASSERT_EQ(shown.size(), 3);
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_EQ(shown[0], shown[2]);
    EXPECT_TRUE(tooltip.split(u'\n').contains(shown[0]));

    follow.terminate();
    ASSERT_TRUE(follow.waitForFinished(5000));
    EXPECT_EQ(std::pair(follow.exitStatus(), follow.exitCode()), std::pair(QProcess::NormalExit, 0));
    const QByteArray rest = follow.readAllStandardOutput(); // never a partial line
    EXPECT_TRUE(rest.isEmpty() || rest.endsWith('\n')) << rest.constData();
}

TEST(WaybarLine, ShowsTheTracksProgressWhereItHasGotToSinceTheSnapshot)
{
    const QList<FollowItem> items = followItems(uR"({"items": [{"source": "spotify", "text": "Song", "detail": "Band",
        "progress": {"position": 30, "duration": 180, "playing": true}}, {"source": "news", "text": "News"}]})"_s);
    EXPECT_EQ(waybarLine(items, 0, 6),
        R"({"class":"spotify","percentage":20,"text":"Song – Band","tooltip":"Song – Band\nNews"})"
        "\n");
    EXPECT_EQ(waybarLine(items, 1, 6),
        R"({"class":"news","text":"News","tooltip":"Song – Band\nNews"})"
        "\n");
}

} // namespace
} // namespace ribbex::test
