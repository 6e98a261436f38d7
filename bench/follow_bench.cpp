// What `ribbex --follow` spends on one printed line: composing the snapshot (the strip's side or
// its own), reading its items back, and writing Waybar's line.

#include "app/follow_output.h"
#include "app/ticker_feed.h"
#include "scratch_model.h"

#include <benchmark/benchmark.h>

namespace ribbex {
namespace {

void fillTypicalTicker(SettingsModel &model)
{
    RibbexSettings settings = model.settings();
    settings.enabledSources
        = {TickerSource::spotify, TickerSource::news, TickerSource::weather, TickerSource::football};
    settings.newsHeadlineCount = 7;
    model.setSettings(settings);
    const QDateTime now = model.clock().now();
    model.setSpotifyTrack(SpotifyNowPlaying {
        QStringLiteral("Song"), QStringLiteral("Artist"), SpotifyTrackProgress {30, 180, now, true}});
    QList<NewsHeadline> headlines;
    for (int i = 0; i < 7; ++i)
        headlines.append({QStringLiteral("A headline of some length, number %1").arg(i),
            QUrl(QStringLiteral("https://example.org/%1").arg(i))});
    model.setNewsHeadlines(headlines);
    model.setWeatherSnapshot(WeatherSnapshot {
        21, QStringLiteral("C"), QStringLiteral("Clear"), WeatherConditionIcon::clear, QStringLiteral("Oslo"), {}});
    QList<FootballMatch> matches;
    for (int i = 0; i < 40; ++i) {
        const FootballCompetition competition = allFootballCompetitions()[i % 14];
        matches.append({QString::number(i), now.addSecs((i - 4) * 1800), QStringLiteral("SCHEDULED"), std::nullopt,
            {QStringLiteral("Home"), QStringLiteral("HOM")}, {QStringLiteral("Away"), std::nullopt},
            {title(competition), id(competition)}, {}});
    }
    model.setFootballMatches(matches);
}

void printOneWaybarLine(benchmark::State &state)
{
    ScratchModel scratch;
    fillTypicalTicker(scratch.model);
    const SourceList sources;
    qsizetype shown = 0;
    for (auto _ : state) {
        const TickerSnapshot snapshot = tickerSnapshot(scratch.model, sources);
        benchmark::DoNotOptimize(waybarLine(followItems(snapshot.json), shown++, 1.0));
    }
    state.counters["items"] = static_cast<double>(scratch.model.items().size());
}
BENCHMARK(printOneWaybarLine)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace ribbex
