// The real ribbex on the session's X server with openbox and the session's own bus, seen through
// the X11 tools of a user's desktop: what takes more than one process. The strip window's X11
// type and state are tried in tests/strip, its menu with the whole application in tests/shell.

#include "ribbex_process.h"
#include "settings/ribbex_settings.h"
#include "sources/spotify/spotify_authorization.h"
#include "support/http_test_server.h"
#include "support/test_keyring.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QUrlQuery>

#include <csignal>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class DesktopTest : public RibbexProcessTest {
protected:
    ~DesktopTest() override
    {
        strip.terminate();
        strip.waitForFinished(5000);
    }

    // Starts the strip (by default with football from a server that is not there), and waits for
    // its window.
    void startStrip(RibbexSettings settings = footballOnly(), const QStringList &extraEnvironment = {})
    {
        writeFile(settingsPath(), *encodeSettings(settings));
        strip.setProcessEnvironment(environment(onDesktop() + extraEnvironment));
        strip.start(QStringLiteral(RIBBEX_BINARY), {});
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return !windows({u"--class"_s, u"ribbex"_s}).isEmpty();
            },
            10000))
            << strip.readAllStandardError().constData();
        stripWindow = windows({u"--class"_s, u"ribbex"_s}).first();
    }

    // A second launch on the same desktop; it must end well within D-Bus's own 25-second timeout.
    ProcessResult launchAgain(const QStringList &arguments = {}, const QStringList &extraEnvironment = {})
    {
        return ribbex(arguments, onDesktop() + extraEnvironment, 15000);
    }

    static RibbexSettings footballOnly()
    {
        RibbexSettings settings;
        settings.enabledSources = {TickerSource::football};
        return settings;
    }
    static QStringList onDesktop() { return {u"DISPLAY="_s + qEnvironmentVariable("DISPLAY"), u"QT_QPA_PLATFORM="_s}; }
    static QString x11(const QString &program, const QStringList &arguments)
    {
        QProcess tool;
        tool.start(program, arguments);
        EXPECT_TRUE(tool.waitForFinished(10000)) << program.toStdString();
        return QString::fromUtf8(tool.readAllStandardOutput());
    }
    // Our visible windows that match an xdotool search.
    static QStringList windows(const QStringList &search)
    {
        return x11(u"xdotool"_s, QStringList {u"search"_s, u"--onlyvisible"_s} + search)
            .split(u'\n', Qt::SkipEmptyParts);
    }
    static QStringList settingsWindows() { return windows({u"--name"_s, u"^ribbex Settings$"_s}); }

    QProcess strip;
    QString stripWindow;
};

TEST_F(DesktopTest, ASecondLaunchOpensTheOneSettingsWindowOfTheFirstBelowTheStripAndEnds)
{
    startStrip();
    for (int launch = 0; launch < 2; ++launch) {
        const ProcessResult second = launchAgain();
        EXPECT_EQ(second.exitCode, 0) << second.err.constData();
        ASSERT_TRUE(QTest::qWaitFor([] { return settingsWindows().size() == 1; }, 10000));
    }
    const QString stacking = x11(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST_STACKING"_s});
    const auto position
        = [&](const QString &window) { return stacking.indexOf(u"0x"_s + QString::number(window.toULongLong(), 16)); };
    ASSERT_GE(position(settingsWindows().value(0)), 0) << stacking.toStdString();
    EXPECT_GT(position(stripWindow), position(settingsWindows().value(0))) << stacking.toStdString();
    EXPECT_EQ(settingsWindows().size(), 1);
    EXPECT_EQ(strip.state(), QProcess::Running);
}

TEST_F(DesktopTest, AHungFirstInstanceNeverHangsASecondLaunch)
{
    startStrip();
    ASSERT_EQ(::kill(static_cast<pid_t>(strip.processId()), SIGSTOP), 0);
    const ProcessResult second = launchAgain();
    ::kill(static_cast<pid_t>(strip.processId()), SIGCONT);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.startsWith("ribbex: could not reach the running ribbex: ")) << second.err.constData();
}

// Connecting Spotify's Web API as a user does: Connect opens the sign-in page in the browser, which
// comes back to ribbex://spotify-callback through a second launch; the code is exchanged with the
// proof of the verifier behind the page's challenge, and the account's track shows.
TEST_F(DesktopTest, ConnectingSpotifyInTheBrowserShowsTheAccountsTrack)
{
    TestKeyring keyring;
    HttpTestServer spotify([](const HttpTestRequest &request) {
        if (request.path == u"/api/token")
            return HttpTestResponse {
                .body = R"({"access_token": "access-1", "refresh_token": "r", "expires_in": 3600})"};
        if (request.headers.value("authorization") != "Bearer access-1")
            return HttpTestResponse {.status = 401};
        return HttpTestResponse {.body = R"({"is_playing": true, "progress_ms": 1000, "item": {"name": "Web Song",
            "duration_ms": 200000, "artists": [{"name": "Web Band"}]}})"};
    });
    const QString bin = home.path() + u"/bin"_s;
    const QString opened = home.path() + u"/opened"_s;
    QDir().mkpath(bin);
    writeFile(bin + u"/xdg-open"_s, "#!/bin/sh\nprintf '%s' \"$1\" > \"$RIBBEX_TEST_OPENED\"\n");
    QFile(bin + u"/xdg-open"_s).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList services {u"PATH="_s + bin + u':' + qEnvironmentVariable("PATH"),
        u"RIBBEX_TEST_OPENED="_s + opened, u"RIBBEX_SPOTIFY_ACCOUNTS_URL="_s + spotify.url(u""_s).toString(),
        u"RIBBEX_SPOTIFY_API_URL="_s + spotify.url(u""_s).toString()};
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::spotify};
    settings.spotifyClientID = u"client-1"_s;
    startStrip(settings, services);

    ASSERT_EQ(launchAgain().exitCode, 0);
    ASSERT_TRUE(QTest::qWaitFor([] { return settingsWindows().size() == 1; }, 10000));
    x11(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, settingsWindows().first(), u"key"_s, u"alt+c"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(opened).size() > 0; }, 10000));
    const QUrl page(QString::fromUtf8(readFile(opened)));
    const QUrlQuery pageQuery(page);
    EXPECT_EQ(page.path(), u"/authorize"_s);
    EXPECT_EQ(pageQuery.queryItemValue(u"redirect_uri"_s, QUrl::FullyDecoded), u"ribbex://spotify-callback"_s);

    const QString state = pageQuery.queryItemValue(u"state"_s);
    ASSERT_EQ(launchAgain({u"ribbex://spotify-callback?code=code-1&state="_s + state}).exitCode, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return spotify.count(u"/v1/me/player/currently-playing"_s) > 0; }, 10000));
    const QUrlQuery form(QString::fromLatin1(spotify.requests().first().body));
    EXPECT_EQ(form.queryItemValue(u"code"_s), u"code-1"_s);
    EXPECT_EQ(form.queryItemValue(u"grant_type"_s), u"authorization_code"_s);
    EXPECT_EQ(spotifyAuthorization::challengeOf(form.queryItemValue(u"code_verifier"_s)),
        pageQuery.queryItemValue(u"code_challenge"_s));
    EXPECT_EQ(spotify.requests().last().headers.value("authorization"), "Bearer access-1");

    // The sign-in is kept for every later run: the command line shows the account's track too.
    const ProcessResult once = ribbex({u"--once"_s, u"--format"_s, u"json"_s}, services);
    const QJsonObject printed = QJsonDocument::fromJson(once.out).object();
    const QJsonObject track = printed[u"items"_s].toArray().first().toObject();
    EXPECT_EQ(
        std::pair(track[u"text"_s].toString(), track[u"detail"_s].toString()), std::pair(u"Web Song"_s, u"Web Band"_s))
        << once.out.constData() << once.err.constData();
    EXPECT_EQ(printed[u"status"_s].toObject()[u"spotify"_s].toString(), u"Playing · updated just now"_s);
    EXPECT_EQ(keyring.itemCount(u"com.ribbex.spotify"_s), 1);
    EXPECT_FALSE(once.out.contains("access-1"));
}

// A status bar's --follow runs the sources itself until a strip starts, then prints the strip's
// ticker and fetches nothing more.
TEST_F(DesktopTest, FollowHandsTheSourcesToAStripThatStartsAndPrintsItsTicker)
{
    QByteArray headline = "Own headline";
    HttpTestServer news([&](const HttpTestRequest &) {
        return HttpTestResponse {.body = "<rss><channel><item><title>" + headline
                + "</title><link>https://news.example/1</link></item>"
                  "</channel></rss>"};
    });
    RibbexSettings settings;
    settings.enabledSources = {TickerSource::news};
    settings.newsFeedID = u"custom"_s;
    settings.customNewsFeedURL = news.url(u"/feed.xml"_s).toString();
    writeFile(settingsPath(), *encodeSettings(settings));
    QProcess follow;
    follow.setProcessEnvironment(environment());
    follow.start(QStringLiteral(RIBBEX_BINARY), {u"--follow"_s, u"--format"_s, u"json"_s});
    const auto printed = [&](const QByteArray &text) {
        return QTest::qWaitFor(
            [&] {
                QByteArray line;
                while (follow.canReadLine() && !line.contains(text))
                    line = follow.readLine();
                return line.contains(text);
            },
            10000);
    };
    ASSERT_TRUE(printed("Own headline"));

    headline = "Strip headline";
    startStrip(settings);
    ASSERT_TRUE(printed("Strip headline"));
    // One started beside the running strip prints its ticker at once and fetches nothing either.
    QProcess second;
    second.setProcessEnvironment(environment());
    second.start(u"bash"_s, {u"-c"_s, u"\"$0\" --follow --format json | head -n 1"_s, QStringLiteral(RIBBEX_BINARY)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    EXPECT_TRUE(second.readAllStandardOutput().contains("Strip headline"));
    QTest::qWait(500); // time enough for a fetch of its own
    EXPECT_EQ(news.count(u"/feed.xml"_s), 2);
    follow.terminate();
    ASSERT_TRUE(follow.waitForFinished(5000));
    EXPECT_EQ(follow.exitCode(), 0);
}

} // namespace
} // namespace ribbex::test
