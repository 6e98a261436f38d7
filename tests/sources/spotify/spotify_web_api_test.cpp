// The Web API client, the sign-in and its callback against a loopback accounts service and Web
// API, with the sign-in kept by a real keyring daemon on the test's own session bus.

#include "sources/spotify/mpris_player_bridge.h"
#include "sources/spotify/spotify_authorization.h"
#include "sources/spotify/spotify_connection.h"
#include "support/model_home.h"
#include "support/private_bus.h"
#include "support/test_keyring.h"
#include "support/test_player.h"

#include <QCoroTask>

#include <deque>

namespace ribbex::test {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

HttpTestResponse token(const QByteArray &access, const QByteArray &refresh = {})
{
    const QByteArray rotated = refresh.isEmpty() ? QByteArray() : ", \"refresh_token\": \"" + refresh + '"';
    return {.body
        = "{\"access_token\": \"" + access + "\", \"token_type\": \"Bearer\", \"expires_in\": 3600" + rotated + '}'};
}

const HttpTestResponse pausedSong {.body = R"({"is_playing": false, "progress_ms": 30000, "item": {"name": "Song",
    "duration_ms": 180000, "artists": [{"name": "A"}, {"name": "B"}], "album": {"name": "X"}}})"};

// The accounts service and the Web API answer from queues the test fills.
class SpotifyWebApiTest : public ModelTest {
protected:
    SpotifyWebApiTest()
    {
        answer = [this](const HttpTestRequest &request) {
            std::deque<HttpTestResponse> &queue = request.path == u"/api/token" ? tokens : playbacks;
            if (queue.empty())
                return HttpTestResponse {.status = 500};
            HttpTestResponse next = queue.front();
            queue.pop_front();
            return next;
        };
        edit([](RibbexSettings &s) {
            s.enabledSources = {TickerSource::spotify};
            s.spotifyClientID = u"client"_s;
        });
    }

    void signIn(std::chrono::seconds left)
    {
        ASSERT_TRUE(QCoro::waitFor(store.save({u"old"_s, u"refresh-1"_s, clock.now().addSecs(left.count())})));
    }
    std::expected<SpotifyPlaybackResult, SpotifyAPIError> currentPlayback()
    {
        return QCoro::waitFor(api.currentPlayback(u"client"_s));
    }
    // The bearer of each Web API request, or the form of each token request.
    QList<QByteArray> sent(const QString &path) const
    {
        QList<QByteArray> seen;
        for (const HttpTestRequest &request : server.requests())
            if (request.path == path)
                seen.append(request.method == "POST" ? request.body : request.headers.value("authorization"));
        return seen;
    }
    QList<QByteArray> bearers() const { return sent(u"/v1/me/player/currently-playing"_s); }
    QUrlQuery tokenForm(qsizetype index) const
    {
        return QUrlQuery(QString::fromLatin1(sent(u"/api/token"_s).value(index)));
    }

    TestKeyring keyring;
    SpotifyCredentialStore store;
    std::deque<HttpTestResponse> tokens;
    std::deque<HttpTestResponse> playbacks;
    SpotifyAPI api {network, clock, store, server.url(), server.url()};
};

TEST_F(SpotifyWebApiTest, RenewsTheSignInWhenItMustAndReadsWhatPlays)
{
    const SpotifyPlaybackResult song
        = SpotifyPlayback {u"Song"_s, u"A, B"_s, SpotifyTrackProgress {30, 180, clock.now(), false}};
    using enum SpotifyAPIError::Kind;
    struct Case {
        const char *what;
        std::chrono::seconds left;
        std::deque<HttpTestResponse> tokens, playbacks;
        std::expected<SpotifyPlaybackResult, SpotifyAPIError> result;
        QList<QByteArray> bearers;
        QString refreshTokenAfter = u"refresh-1"_s;
    };
    const Case cases[] = {
        {"61 s left", 61s, {}, {pausedSong}, song, {"Bearer old"}},
        {"59 s left: renewed first", 59s, {token("new")}, {pausedSong}, song, {"Bearer new"}},
        {"nothing playing", 3600s, {}, {{.status = 204}}, SpotifyPlaybackResult {}, {"Bearer old"}},
        {"no item", 3600s, {}, {{.body = R"({"is_playing": true})"}}, SpotifyPlaybackResult {}, {"Bearer old"}},
        {"no duration", 3600s, {}, {{.body = R"({"is_playing": true, "progress_ms": 5, "item": {"name": "Ep"}})"}},
            SpotifyPlayback {u"Ep"_s, std::nullopt, std::nullopt}, {"Bearer old"}},
        {"revoked: renewed once, rotated", 3600s, {token("new", "refresh-2")}, {{.status = 401}, pausedSong}, song,
            {"Bearer old", "Bearer new"}, u"refresh-2"_s},
        {"revoked twice", 3600s, {token("new")}, {{.status = 401}, {.status = 401}},
            std::unexpected(SpotifyAPIError {unauthorized}), {"Bearer old", "Bearer new"}},
        {"rate limited", 3600s, {}, {{.status = 429}}, std::unexpected(SpotifyAPIError {http, 429}), {"Bearer old"}},
        {"renewal refused", 30s, {{.status = 400}}, {}, std::unexpected(SpotifyAPIError {http, 400}), {}},
        {"renewal unreadable", 30s, {{.body = R"({"expires_in": 3600})"}}, {},
            std::unexpected(SpotifyAPIError {invalidResponse}), {}},
        {"token with a line break", 30s, {token("a\\r\\nX-Evil: 1")}, {},
            std::unexpected(SpotifyAPIError {invalidResponse}), {}},
    };
    for (const Case &c : cases) {
        signIn(c.left);
        tokens = c.tokens;
        playbacks = c.playbacks;
        const qsizetype before = server.requests().size();
        EXPECT_EQ(currentPlayback(), c.result) << c.what;
        EXPECT_EQ(bearers().mid(bearers().size() - c.bearers.size()), c.bearers) << c.what;
        EXPECT_EQ(server.requests().size() - before, qsizetype(c.tokens.size()) + c.bearers.size()) << c.what;
        EXPECT_EQ(QCoro::waitFor(this->store.load())->refreshToken, c.refreshTokenAfter) << c.what;
    }
    // A renewal asks with the stored refresh token, and its answer was stored over the old one.
    EXPECT_EQ(
        tokenForm(0).query(QUrl::FullyDecoded), u"client_id=client&grant_type=refresh_token&refresh_token=refresh-1"_s);
    EXPECT_EQ(keyring.itemCount(SpotifyCredentialStore::defaultService), 1);
}

// The sign-in as the desktop completes it: the page opened, and the callback it returns to.
class SpotifyConnectionTest : public SpotifyWebApiTest {
protected:
    QUrl begin()
    {
        const std::optional<QUrl> page = connection.beginAuthorization();
        EXPECT_TRUE(page);
        return page.value_or(QUrl());
    }
    QString callback(const QString &query)
    {
        EXPECT_TRUE(connection.handleSpotifyCallback(QUrl(u"ribbex://spotify-callback?"_s + query)));
        return model().spotifyStatus();
    }

    PrivateBus bus;
    TestPlayer desktop {bus.connect(u"spotify"_s)};
    MprisPlayerBridge player {bus.connect(u"ribbex"_s), clock};
    SpotifyRefresh refresh {model(), player, api};
    SpotifyConnection connection {model(), api, refresh};
};

// The desktop player first; the Web API only when it has nothing and a sign-in is stored.
TEST_F(SpotifyConnectionTest, ThePlayersAnswerOrElseTheWebApisBecomesTheTrackAndTheStatus)
{
    const SpotifyNowPlaying fromPlayer {u"Song"_s, u"Artist"_s, SpotifyTrackProgress {50, 200, clock.now(), false}};
    const SpotifyNowPlaying fromWebApi {u"Song"_s, u"A, B"_s, SpotifyTrackProgress {30, 180, clock.now(), false}};
    const QString refused = u"Allow ribbex to talk to org.mpris.MediaPlayer2.spotify on the session bus (for a "
                            "sandboxed ribbex, add that name to its D-Bus permissions)."_s;
    using Mode = TestPlayer::Mode;
    // what happens, the Web API's answer if it is asked, the track shown after, the status
    const std::tuple<std::function<void()>, std::optional<HttpTestResponse>, std::optional<SpotifyNowPlaying>, QString>
        steps[] = {
            {[&] { desktop.track.status = u"Paused"_s; }, {}, fromPlayer, u"Paused · updated just now"_s},
            {[&] { desktop.mode = Mode::denyAccess; }, {}, fromPlayer, refused}, // the last track stays
            {[&] {
                 desktop.track.length = TestPlayer::Length::absent;
                 desktop.mode = Mode::answer;
             },
                {}, SpotifyNowPlaying {u"Song"_s, u"Artist"_s, std::nullopt}, u"Playing · updated just now"_s},
            {[&] { desktop.track.status = u"Stopped"_s; }, {}, std::nullopt, u"Spotify is open · nothing playing"_s},
            {[&] { signIn(3600s); }, pausedSong, fromWebApi, u"Paused · updated just now"_s},
            {[&] { desktop.mode = Mode::denyAccess; }, HttpTestResponse {.status = 429}, fromWebApi,
                u"Spotify rate limit reached. ribbex will retry shortly."_s},
            {[] {}, HttpTestResponse {.status = 403}, fromWebApi,
                u"Spotify denied playback access. Check app access and account eligibility."_s},
            {[] {}, HttpTestResponse {.status = 204}, fromWebApi, refused},
            {[&] { desktop.quit(); }, HttpTestResponse {.status = 204}, std::nullopt,
                u"Spotify is open · nothing playing"_s},
            {[&] { QCoro::waitFor(store.remove()); }, {}, std::nullopt, u"Open Spotify and start playback"_s},
        };
    for (const auto &[act, web, track, status] : steps) {
        act();
        playbacks.clear();
        if (web)
            playbacks.push_back(*web);
        QCoro::waitFor(refresh.refreshSpotify());
        EXPECT_EQ(model().spotifyTrack(), track) << status.toStdString();
        EXPECT_EQ(model().spotifyStatus(), status);
        EXPECT_TRUE(playbacks.empty()) << status.toStdString();
    }
}

TEST_F(SpotifyConnectionTest, ACallbackIsBelievedOnlyForTheSignInItAnswers)
{
    desktop.quit();
    // Not ours: ignored, and nothing shows.
    for (const char16_t *url : {u"https://spotify-callback?code=1", u"ribbex://settings?code=1"})
        EXPECT_FALSE(connection.handleSpotifyCallback(QUrl(QString::fromUtf16(url))));
    EXPECT_EQ(model().spotifyStatus(), u"Not connected"_s);

    const QString denied = u"Spotify authorization was denied"_s;
    const QString unverified = u"Spotify authorization could not be verified"_s;
    EXPECT_EQ(callback(u"error=access_denied"_s), denied); // none pending
    EXPECT_EQ(callback(u"code=1"_s), unverified);
    const QUrlQuery page(begin());
    const QString state = page.queryItemValue(u"state"_s);
    EXPECT_EQ(callback(u"state=forged&code=1"_s), unverified);
    EXPECT_EQ(callback(u"code=1"_s), unverified);
    EXPECT_EQ(callback(u"state="_s + state), unverified); // no code
    EXPECT_EQ(callback(u"state="_s + state + u"&error=access_denied"_s), denied);
    EXPECT_TRUE(sent(u"/api/token"_s).isEmpty());

    // The first of each name counts; the rest are noise a forger could add.
    tokens = {token("access", "refresh")};
    playbacks = {pausedSong};
    EXPECT_EQ(callback(u"code=c1&state="_s + state + u"&state=forged&code=c2"_s), u"Connecting to Spotify…"_s);
    ASSERT_TRUE(eventually([&] { return model().spotifyStatus() == u"Paused · updated just now"_s; }));
    const QUrlQuery form = tokenForm(0);
    EXPECT_EQ(form.queryItemValue(u"code"_s), u"c1"_s);
    EXPECT_EQ(form.queryItemValue(u"redirect_uri"_s, QUrl::FullyDecoded), u"ribbex://spotify-callback"_s);
    EXPECT_EQ(spotifyAuthorization::challengeOf(form.queryItemValue(u"code_verifier"_s)),
        page.queryItemValue(u"code_challenge"_s));
    // Used up: the same callback again is refused.
    EXPECT_EQ(callback(u"code=c1&state="_s + state), unverified);
    EXPECT_EQ(keyring.itemCount(SpotifyCredentialStore::defaultService), 1);
}

TEST_F(SpotifyConnectionTest, AFirstExchangeWithoutARefreshTokenStoresNothingAndDisconnectForgets)
{
    const QUrlQuery page(begin());
    EXPECT_EQ(page.toString(QUrl::FullyDecoded).section(u'&', 0, 3),
        u"client_id=client&response_type=code&redirect_uri=ribbex://spotify-callback&code_challenge_method=S256"_s);
    EXPECT_TRUE(
        page.toString(QUrl::FullyDecoded).endsWith(u"&scope=user-read-currently-playing user-read-playback-state"_s));
    tokens = {token("access")};
    callback(u"code=1&state="_s + page.queryItemValue(u"state"_s));
    ASSERT_TRUE(eventually([&] { return !model().spotifyStatus().startsWith(u"Connecting"_s); }));
    EXPECT_EQ(model().spotifyStatus(), u"Spotify returned an unreadable playback response."_s);
    EXPECT_FALSE(QCoro::waitFor(store.load()));

    // At start-up a stored sign-in shows, unless a refresh has spoken first.
    signIn(3600s);
    QCoro::waitFor(connection.checkStoredSignIn());
    EXPECT_EQ(model().spotifyStatus(), u"Spotify returned an unreadable playback response."_s);
    QCoro::waitFor(connection.disconnect());
    EXPECT_EQ(std::pair(model().spotifyStatus(), model().bookkeeping().spotifyConnected),
        std::pair(u"Not connected"_s, false));
    EXPECT_FALSE(QCoro::waitFor(store.load()));
    signIn(3600s);
    QCoro::waitFor(connection.checkStoredSignIn());
    EXPECT_EQ(
        std::pair(model().spotifyStatus(), model().bookkeeping().spotifyConnected), std::pair(u"Connected"_s, true));
}

} // namespace
} // namespace ribbex::test
