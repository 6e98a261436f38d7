// The ticker recomposes its items after every model change; this keeps that cheap.

#include "scratch_model.h"

#include <benchmark/benchmark.h>

namespace ribbex {
namespace {

void fillLongestLine(SettingsModel &model)
{
    RibbexSettings settings = model.settings();
    settings.enabledSources
        = {TickerSource::spotify, TickerSource::news, TickerSource::weather, TickerSource::football};
    settings.newsHeadlineCount = 7;
    model.setSettings(settings);
    model.setSpotifyTrack(SpotifyNowPlaying {QStringLiteral("Song"), QStringLiteral("Artist"), std::nullopt});
    QList<NewsHeadline> headlines;
    for (int i = 0; i < 20; ++i)
        headlines.append(
            {QStringLiteral("Headline number %1").arg(i), QUrl(QStringLiteral("https://example.org/%1").arg(i))});
    model.setNewsHeadlines(headlines);
    model.setWeatherSnapshot(WeatherSnapshot {
        21, QStringLiteral("C"), QStringLiteral("Clear"), WeatherConditionIcon::clear, QStringLiteral("Oslo"), {}});
    QList<FootballMatch> matches;
    const QDateTime now = model.clock().now();
    for (int i = 0; i < 400; ++i) {
        const FootballCompetition competition = allFootballCompetitions()[i % 14];
        matches.append({QString::number(i), now.addSecs((i - 40) * 300), QStringLiteral("SCHEDULED"), std::nullopt,
            {QStringLiteral("Home"), QStringLiteral("HOM")}, {QStringLiteral("Away"), std::nullopt},
            {title(competition), id(competition)}, {}});
    }
    model.setFootballMatches(matches);
}

void composeItems(benchmark::State &state)
{
    ScratchModel scratch;
    SettingsModel &model = scratch.model;
    fillLongestLine(model);
    for (auto _ : state)
        benchmark::DoNotOptimize(model.items());
}
BENCHMARK(composeItems)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace ribbex
