#include "app/once_run.h"

#include "app/once_output.h"
#include "app/terminal.h"
#include "model/settings_model.h"
#include "platform/clock.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "platform/xdg_paths.h"
#include "sources/net/network_access.h"
#include "sources/source_list.h"
#include "ticker/picture_file.h"
#include "ticker/strip_render.h"

#include <QCoreApplication>
#include <QImage>

namespace ribbex {

namespace {

using namespace Qt::StringLiterals;

// Every source starts at once (a disabled one returns at once); the run waits for all of them.
QCoro::Task<> refreshSources(const SourceList &sources)
{
    std::vector<QCoro::Task<>> refreshes;
    for (const auto &source : sources)
        refreshes.push_back(source->refreshNow());
    for (QCoro::Task<> &refresh : refreshes)
        co_await refresh;
}

QByteArray printed(const SettingsModel &model, const SourceList &sources, RunOnce::Format format)
{
    if (format == RunOnce::Format::json)
        return tickerAsJson(model, sources);
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
    const auto network = makeNetworkAccessManager(ribbexCacheFolder() + u"/http"_s);
    const SourceList sources = makeSources({model, *network});

    if (run.refresh)
        co_await refreshSources(sources);
    // Not fatal: the run still shows the ticker, but the user must learn the settings were not kept.
    if (const auto &failed = model.saveError())
        writeTo(stderr, "ribbex: couldn't save settings \u00B7 " + failed->reason.toUtf8() + '\n');
    if (run.print)
        writeTo(stdout, printed(model, sources, run.format));
    if (const std::optional<QByteArray> failure = run.renderFile ? paint(model, run) : std::nullopt) {
        writeTo(stderr, *failure);
        co_return 1;
    }
    co_return 0;
}

} // namespace ribbex
