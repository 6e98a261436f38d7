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
