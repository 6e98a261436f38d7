#include "sources/spotify/mpris_player_bridge.h"
#include "sources/spotify/spotify_refresh.h"
#include "support/model_home.h"
#include "support/private_bus.h"
#include "support/test_player.h"

#include <QCoroTask>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

// The model home with Spotify on and the desktop player on a session bus of the test's own.
class SpotifyRefreshTest : public ModelTest {
protected:
    SpotifyRefreshTest()
    {
        edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::spotify}; });
    }

    PrivateBus bus;
    TestPlayer player {bus.connect(u"spotify"_s)};
};

TEST_F(SpotifyRefreshTest, ThePlayersAnswerBecomesTheTrackAndTheStatus)
{
    MprisPlayerBridge bridge(bus.connect(u"ribbex"_s), clock);
    // No client ID: the Web API is never asked.
    const SpotifyAPI api(network, clock, SpotifyCredentialStore(), server.url(), server.url());
    SpotifyRefresh refresh(model(), bridge, api);
    const SpotifyNowPlaying song {u"Song"_s, u"Artist"_s, SpotifyTrackProgress {50, 200, clock.now(), false}};
    // what the player does, the track shown after, the status
    const std::tuple<std::function<void()>, std::optional<SpotifyNowPlaying>, QString> steps[] = {
        {[&] { player.track.status = u"Paused"_s; }, song, u"Paused · updated just now"_s},
        {[&] { player.mode = TestPlayer::Mode::denyAccess; }, song,
            u"Allow ribbex to talk to org.mpris.MediaPlayer2.spotify on the session bus (for a sandboxed ribbex, add "
            "that name to its D-Bus permissions)."_s},
        {[&] {
             player.track.length = TestPlayer::Length::absent;
             player.mode = TestPlayer::Mode::answer;
         },
            SpotifyNowPlaying {u"Song"_s, u"Artist"_s, std::nullopt}, u"Playing · updated just now"_s}, // no length
        {[&] { player.track.status = u"Stopped"_s; }, std::nullopt, u"Spotify is open · nothing playing"_s},
        {[&] { player.quit(); }, std::nullopt, u"Open Spotify and start playback"_s},
    };
    for (const auto &[act, track, status] : steps) {
        act();
        QCoro::waitFor(refresh.refreshSpotify());
        EXPECT_EQ(model().spotifyTrack(), track) << status.toStdString();
        EXPECT_EQ(model().spotifyStatus(), status);
    }
}

TEST_F(SpotifyRefreshTest, ATrackChangeTheSourceHearsOfShowsWithoutItsTimer)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    QCoro::waitFor(source(TickerSource::spotify).refreshNow());
    player.track.title = u"Next song"_s;
    player.announce();
    EXPECT_TRUE(eventually([&] { return model().spotifyTrack() && model().spotifyTrack()->title == u"Next song"_s; }));
}

TEST(SpotifyPositionZero, ASamplePinnedAtZeroCarriesTheLastSampleOfTheSameTrackOn)
{
    const QDateTime now = utc("2026-12-06T15:00:00Z");
    const SpotifyTrackProgress zero {0, 200, now, true};
    const auto shown = [&](QString title, double position, int secondsAgo, bool playing) {
        return SpotifyNowPlaying {
            title, u"Band"_s, SpotifyTrackProgress {position, 200, now.addSecs(-secondsAgo), playing}};
    };
    // what was shown, the new sample, where the shown progress is now
    const std::tuple<SpotifyNowPlaying, SpotifyTrackProgress, SpotifyTrackProgress> cases[] = {
        {shown(u"Song"_s, 30, 15, true), zero, {45, 200, now, true}}, // played on for 15 s
        {shown(u"Song"_s, 30, 15, false), zero, {30, 200, now, true}}, // paused at 30, playing again
        {shown(u"Song"_s, 0.5, 0, true), zero, zero}, // a restart from the top is believed
        {shown(u"Other"_s, 30, 15, true), zero, zero}, // a new track starts at 0
        {shown(u"Song"_s, 30, 15, true), {0, 200, now, false}, {0, 200, now, false}}, // paused at 0
        {shown(u"Song"_s, 30, 15, true), {12, 200, now, true}, {12, 200, now, true}}, // a real sample
    };
    for (const auto &[before, sample, after] : cases)
        EXPECT_EQ(SpotifyRefresh::continuedProgress(before, {u"Song"_s, u"Band"_s, sample}, now), after)
            << before.title.toStdString() << " at " << before.progress->position;
}

} // namespace
} // namespace ribbex::test
