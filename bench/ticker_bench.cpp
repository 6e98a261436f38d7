// What the ticker costs: one scroll tick (advance and a frame from cached pictures), drawing the
// run picture of the longest line, in each look, and frames far apart along a line megabytes long.

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "ticker/menu_bar_scroller_view.h"
#include "ticker/ticker_clicks.h"
#include "ticker/ticker_renderer.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include <sys/resource.h>

namespace ribbex {
namespace {

// A model with the longest line there is: Spotify, 7 headlines, weather and 16 fixtures.
class LongestLine {
public:
    explicit LongestLine(TickerStyle style)
        : m_settingsStore(m_home.path() + QStringLiteral("/config"))
        , m_cacheStore(m_home.path() + QStringLiteral("/cache"))
        , m_loginItems(m_home.path() + QStringLiteral("/autostart"), QStringLiteral("/bin/true"))
        , m_model({m_settingsStore, m_cacheStore, m_loginItems, m_clock, false})
    {
        RibbexSettings settings = m_model.settings();
        settings.enabledSources
            = {TickerSource::spotify, TickerSource::news, TickerSource::weather, TickerSource::football};
        settings.newsHeadlineCount = 7;
        settings.style = style;
        settings.backgroundTransparency = 0.0;
        m_model.setSettings(settings);
        const QDateTime now = m_clock.now();
        m_model.setSpotifyTrack(SpotifyNowPlaying {QStringLiteral("Wonderwall (Remastered)"), QStringLiteral("Oasis"),
            SpotifyTrackProgress {61, 258, now, true}});
        QList<NewsHeadline> headlines;
        for (int i = 0; i < 7; ++i)
            headlines.append(
                {QStringLiteral("Storm brings 90mph winds and heavy rain to coasts, forecasters warn %1").arg(i),
                    QUrl(QStringLiteral("https://example.org/%1").arg(i))});
        m_model.setNewsHeadlines(headlines);
        m_model.setWeatherSnapshot(WeatherSnapshot {21, QStringLiteral("C"), QStringLiteral("Partly cloudy"),
            WeatherConditionIcon::partlyCloudy, QStringLiteral("Manchester"), now});
        QList<FootballMatch> matches;
        for (int i = 0; i < 16; ++i)
            matches.append({QString::number(i), now.addSecs(-600 - i), QStringLiteral("IN_PLAY"), 67,
                {QStringLiteral("Home"), QStringLiteral("HOM")}, {QStringLiteral("Away"), QStringLiteral("AWY")},
                {QStringLiteral("England Premier League"), QStringLiteral("eng.1")}, {{2, 1}}});
        m_model.setFootballMatches(matches);
    }

    const SettingsModel &model() const { return m_model; }
    SettingsModel &model() { return m_model; }

private:
    QTemporaryDir m_home;
    FilePreferencesStore m_settingsStore;
    FilePreferencesStore m_cacheStore;
    XdgAutostart m_loginItems;
    const SystemClock m_clock;
    SettingsModel m_model;
};

TickerStyle styleOf(const benchmark::State &state)
{
    return static_cast<TickerStyle>(state.range(0));
}

void scrollTick(benchmark::State &state)
{
    const LongestLine line(styleOf(state));
    TickerRenderer renderer(line.model());
    renderer.setViewSize({350, 22});
    renderer.setDevicePixelRatio(2);
    renderer.refreshContent();
    QImage strip(700, 44, QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(2);
    const int rendersBefore = renderer.runRenderCount();
    for (auto _ : state) {
        renderer.advance();
        QPainter painter(&strip);
        renderer.paint(painter);
    }
    if (renderer.runRenderCount() != rendersBefore)
        state.SkipWithError("a tick drew the run picture");
    state.counters["textWidth"] = renderer.textWidth();
}
BENCHMARK(scrollTick)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void viewTick(benchmark::State &state)
{
    const LongestLine line(styleOf(state));
    DesktopClickHandler clicks;
    MenuBarScrollerView view(line.model(), clicks);
    view.setAnimationEnabled(false);
    view.resize(350, 22);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        view.advance();
        view.repaint();
    }
}
BENCHMARK(viewTick)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The whole run picture, tile by tile, as scrolling once through the line draws it.
void rebuildRun(benchmark::State &state)
{
    const LongestLine line(styleOf(state));
    TickerRenderer renderer(line.model());
    renderer.setViewSize({350, 22});
    renderer.setDevicePixelRatio(static_cast<double>(state.range(1)));
    renderer.refreshContent();
    for (auto _ : state) {
        renderer.redrawRun();
        const RunTiles &run = renderer.runPicture();
        for (int i = 0; i < run.tileCount(); ++i)
            benchmark::DoNotOptimize(run.tile(i));
    }
    state.counters["textWidth"] = renderer.textWidth();
    state.counters["tiles"] = renderer.runPicture().tileCount();
}
BENCHMARK(rebuildRun)->ArgsProduct({{0, 1, 2}, {1, 2}})->Unit(benchmark::kMillisecond);

// A feed's title of a million characters at scale 3: each frame lands far from the last, so it
// draws the tiles it shows. What the run keeps stays within its budget however long the line.
void hugeLineFrame(benchmark::State &state)
{
    LongestLine line(styleOf(state));
    QString title;
    while (title.size() < 1'000'000)
        title += QStringLiteral("Storm brings 90mph winds and heavy rain to coasts, forecasters warn ");
    line.model().setNewsHeadlines({{title, QUrl(QStringLiteral("https://example.org/long"))}});
    TickerRenderer renderer(line.model());
    renderer.setViewSize({350, 22});
    renderer.setDevicePixelRatio(3);
    renderer.refreshContent();
    QImage strip(1050, 66, QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(3);
    double offset = 0;
    for (auto _ : state) {
        offset = std::fmod(offset + 7919.0, renderer.period());
        renderer.setOffset(offset);
        QPainter painter(&strip);
        renderer.paint(painter);
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["textWidth"] = renderer.textWidth();
    state.counters["keptMB"] = static_cast<double>(renderer.runPicture().keptBytes()) / (1 << 20);
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(hugeLineFrame)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A new score: the items composed again, the line laid out again and its picture drawn.
void refreshWithNewText(benchmark::State &state)
{
    LongestLine line(styleOf(state));
    TickerRenderer renderer(line.model());
    renderer.setViewSize({350, 22});
    renderer.setDevicePixelRatio(2);
    renderer.refreshContent();
    QList<FootballMatch> matches = line.model().footballMatches();
    for (auto _ : state) {
        state.PauseTiming();
        for (FootballMatch &match : matches)
            match.minute = *match.minute + 1;
        line.model().setFootballMatches(matches);
        state.ResumeTiming();
        renderer.refreshContent();
    }
}
BENCHMARK(refreshWithNewText)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ribbex
