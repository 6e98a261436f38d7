// A Spotify refresh must cost the GUI thread at most 1 ms: the player is asked over D-Bus
// asynchronously and only its answer is applied here. The test player runs on a thread of its
// own on a private bus, so only the GUI thread's own CPU time is counted.

#include "scratch_model.h"
#include "sources/spotify/mpris_player_bridge.h"
#include "sources/spotify/spotify_refresh.h"
#include "support/private_bus.h"
#include "support/test_player.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QThread>

#include <benchmark/benchmark.h>

#include <ctime>

namespace ribbex {
namespace {

double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void refreshSpotifyFromThePlayer(benchmark::State &state)
{
    test::PrivateBus bus;
    QThread playerThread;
    playerThread.start();
    QDBusConnection playerBus = bus.connect(QStringLiteral("spotify"));
    test::TestPlayer player(playerBus);
    player.moveToThread(&playerThread);
    ScratchModel scratch;
    RibbexSettings settings = scratch.model.settings();
    settings.enabledSources = {TickerSource::spotify};
    scratch.model.setSettings(settings);
    MprisPlayerBridge bridge(bus.connect(QStringLiteral("ribbex")), scratch.clock);
    // No client ID: only the desktop player is asked.
    QNetworkAccessManager network;
    const SpotifyAPI api(network, scratch.clock, SpotifyCredentialStore(), QUrl(), QUrl());
    SpotifyRefresh refresh(scratch.model, bridge, api);
    for (auto _ : state) {
        const double start = threadCpuSeconds();
        QCoro::waitFor(refresh.refreshSpotify());
        state.SetIterationTime(threadCpuSeconds() - start);
    }
    if (!scratch.model.spotifyTrack())
        state.SkipWithError(("no track: " + scratch.model.spotifyStatus().toStdString()).c_str());
    QMetaObject::invokeMethod(
        &player, [&player] { player.moveToThread(QCoreApplication::instance()->thread()); },
        Qt::BlockingQueuedConnection);
    playerThread.quit();
    playerThread.wait();
}
BENCHMARK(refreshSpotifyFromThePlayer)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace ribbex
