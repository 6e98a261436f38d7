#include "app/once_run.h"

#include "app/once_output.h"
#include "app/terminal.h"
#include "model/settings_model.h"
#include "platform/clock.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "platform/xdg_paths.h"
#include "sources/football/football_refresh.h"
#include "sources/net/network_access.h"
#include "sources/news/news_refresh.h"
#include "ticker/picture_file.h"
#include "ticker/strip_render.h"

#include <QCoreApplication>
#include <QImage>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

// Football and news start together; the run waits for both.
QCoro::Task<> refreshEnabledSources(SettingsModel &model)
{
    const auto network = makeNetworkAccessManager(ribbexCacheFolder() + u"/http"_s);
    ESPNFootballProvider scoreboard(*network, serviceBaseUrl("RIBBEX_ESPN_URL", QUrl(u"https://site.api.espn.com"_s)));
    FootballRefresh football(model, scoreboard);
    NewsRSSProvider feeds(*network);
    NewsRefresh news(model, feeds);

    std::optional<QCoro::Task<>> footballPass;
    std::optional<QCoro::Task<>> newsPass;
    if (model.settings().isEnabled(TickerSource::football))
        footballPass = football.refreshFootballSchedules();
    if (model.settings().isEnabled(TickerSource::news))
        newsPass = news.refreshNews();
    if (footballPass)
        co_await *footballPass;
    if (newsPass)
        co_await *newsPass;
}

QByteArray printed(const SettingsModel &model, RunOnce::Format format)
{
    if (format == RunOnce::Format::json)
        return tickerAsJson(model);
    return plainTickerLine(model).trimmed().toUtf8() + '\n';
}

// Nothing when the picture was written, else the line that says why not.
std::optional<QByteArray> paint(const SettingsModel &model, const RunOnce &run)
{
    StripRenderOptions options;
    if (run.renderWidth)
        options.width = *run.renderWidth;
    options.scale = run.renderScale;
    const std::expected<QImage, QString> picture = renderStrip(model, options);
    if (!picture)
        return "ribbex: could not paint the strip: " + picture.error().toUtf8() + '\n';
    if (const std::expected<void, QString> saved = savePng(*picture, *run.renderFile); !saved)
        return "ribbex: could not write the picture to " + run.renderFile->toUtf8() + ": " + saved.error().toUtf8()
            + '\n';
    return std::nullopt;
}

} // namespace

QCoro::Task<int> runOnce(RunOnce run)
{
    FilePreferencesStore settingsStore(ribbexConfigFolder());
    FilePreferencesStore cacheStore(ribbexCacheFolder());
    XdgAutostart loginItems(autostartFolder(), QCoreApplication::applicationFilePath());
    const SystemClock clock;
    SettingsModel model({settingsStore, cacheStore, loginItems, clock, /*mayRegisterLoginItem=*/false});

    if (run.refresh)
        co_await refreshEnabledSources(model);
    // Not fatal: the run still shows the ticker, but the user must learn the settings were not kept.
    if (const auto &failed = model.saveError())
        writeTo(stderr, "ribbex: couldn't save settings \u00B7 " + failed->reason.toUtf8() + '\n');
    if (run.print)
        writeTo(stdout, printed(model, run.format));
    if (const std::optional<QByteArray> failure = run.renderFile ? paint(model, run) : std::nullopt) {
        writeTo(stderr, *failure);
        co_return 1;
    }
    co_return 0;
}

} // namespace ribbex
