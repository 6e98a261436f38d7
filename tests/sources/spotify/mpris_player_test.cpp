#include "sources/spotify/mpris_player_bridge.h"

#include "support/pinned_clock.h"
#include "support/private_bus.h"
#include "support/temp_home.h"
#include "support/test_player.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using test::TestPlayer;

// Installed, as Spotify is: the bus would start it for a call to its name while nobody owns the
// name, which here leaves the returned file.
QString installSpotify(const test::TempHome &home)
{
    const QString started = home.path() + u"/started"_s;
    test::writeFile(home.path() + u"/dbus-1/services/spotify.service"_s,
        "[D-BUS Service]\nName=org.mpris.MediaPlayer2.spotify\nExec=/usr/bin/touch " + started.toUtf8() + '\n');
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    return started;
}

class MprisPlayerBridgeTest : public testing::Test {
protected:
    // An answer as one line, so that a mismatch reads well.
    std::string describe(const std::expected<PlayerAnswer, PlayerError> &answer) const
    {
        if (!answer)
            return "error: " + answer.error().description().toStdString();
        if (!answer->playback)
            return answer->running ? "nothing" : "not running";
        QString text = answer->playback->title + u" by "_s + answer->playback->artist.value_or(u"nobody"_s);
        if (const auto &progress = answer->playback->progress) {
            text += u", %1 of %2 s, "_s.arg(progress->position).arg(progress->duration)
                + (progress->isPlaying ? u"playing"_s : u"paused"_s);
            if (progress->sampledAt != clock.now())
                text += u", sampled "_s + progress->sampledAt.toString(Qt::ISODateWithMs);
        }
        return text.toStdString();
    }
    std::string ask() { return describe(QCoro::waitFor(bridge.currentPlayback())); }
    bool raise() { return QCoro::waitFor(bridge.raise()); }

    test::TempHome home;
    const QString started = installSpotify(home);
    test::PrivateBus bus;
    test::PinnedClock clock {QDateTime({2025, 3, 1}, {12, 0}, Qt::UTC)};
    TestPlayer player {bus.connect(u"spotify"_s)};
    MprisPlayerBridge bridge {bus.connect(u"ribbex"_s), clock, nullptr, 300ms};
};

TEST_F(MprisPlayerBridgeTest, ReadsTheTrackAndItsProgressFromThePlayersProperties)
{
    const struct {
        TestPlayer::Track track;
        std::string expected;
    } cases[] = {
        {{}, "Song by Artist, 50 of 200 s, playing"},
        {{.status = u"Paused"_s}, "Song by Artist, 50 of 200 s, paused"},
        {{.status = u"Stopped"_s}, "nothing"},
        {{.title = u""_s}, "nothing"},
        {{.title = u"So\u202Eng\n"_s}, "Song by Artist, 50 of 200 s, playing"},
        {{.length = TestPlayer::Length::uint64}, "Song by Artist, 50 of 200 s, playing"},
        {{.length = TestPlayer::Length::absent}, "Song by Artist"},
        {{.artists = std::nullopt}, "Song by nobody, 50 of 200 s, playing"},
        {{.artists = QStringList {}}, "Song by nobody, 50 of 200 s, playing"},
        {{.artists = QStringList {u"A"_s, u"B"_s}}, "Song by A, B, 50 of 200 s, playing"},
    };
    for (const auto &c : cases) {
        player.track = c.track;
        EXPECT_EQ(ask(), c.expected) << &c - cases;
    }
}

TEST_F(MprisPlayerBridgeTest, RaisesOnlyARunningPlayerThatCanRaiseAndNeverStartsOne)
{
    EXPECT_TRUE(raise());
    player.canRaise = false;
    EXPECT_FALSE(raise());
    EXPECT_EQ(player.raiseCalls, 1);
    player.quit();
    EXPECT_EQ(ask(), "not running");
    EXPECT_FALSE(raise());
    EXPECT_FALSE(QFile::exists(started));
}

TEST_F(MprisPlayerBridgeTest, AHungOrRefusingPlayerIsAnErrorWellBeforeTheBusGivesUp)
{
    for (const auto &[mode, kind] : {std::pair {TestPlayer::Mode::hang, PlayerError::Kind::timedOut},
             std::pair {TestPlayer::Mode::denyAccess, PlayerError::Kind::accessDenied}}) {
        player.mode = mode;
        auto answer = bridge.currentPlayback();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer.isReady(); }, 5000)); // the bus waits 25 s
        EXPECT_EQ(describe(QCoro::waitFor(answer)), describe(std::unexpected(PlayerError {kind})));
    }
}

TEST_F(MprisPlayerBridgeTest, SignalsOncePerBurstFromThePlayerAndNeverForAnImpostor)
{
    QSignalSpy changed(&bridge, &PlayerBridge::changed);
    TestPlayer impostor {bus.connect(u"impostor"_s)};
    impostor.announce();
    EXPECT_FALSE(changed.wait(500));
    for (int i = 0; i < 3; ++i)
        player.announce();
    EXPECT_TRUE(changed.wait(1000));
    EXPECT_FALSE(changed.wait(500));
    player.quit();
    EXPECT_TRUE(changed.wait(1000));
    EXPECT_EQ(changed.count(), 2);
}

} // namespace
} // namespace ribbex
