#include "settings/settings_store.h"

#include "settings/news_feed.h"

#include <algorithm>

namespace ribbex {

namespace {

void migrateAppearance(RibbexSettings &s, qint64 v)
{
    if (v <= 2 && s.style == TickerStyle::classic)
        s.style = TickerStyle::dotMatrix;
    if (v <= 3) {
        if (s.textColor == u"#F4F3F0")
            s.textColor = defaultTextColor;
        if (s.backgroundColor == u"#17191D")
            s.backgroundColor = defaultBackgroundColor;
    }
    if (v <= 4)
        s.width = std::clamp(s.width, 400.0, 700.0);
    if (v <= 5 && !s.transparentBackground)
        s.transparentBackground = false;
    if (v <= 6)
        s.backgroundTransparency = s.transparentBackground.value_or(false) ? 1.0 : 0.0;
}

void migrateSources(RibbexSettings &s, qint64 v)
{
    if (v <= 7)
        s.newsFeedID = NewsFeed::defaultFeed().id;
    if (v <= 8)
        s.newsHeadlineCount = 5;
    if (v <= 9)
        s.newsRefreshIntervalSeconds = 900;
    if (v <= 10) {
        s.progressBarColor = defaultProgressBarColor;
        s.progressBarTransparency = 0.0;
    }
    if (v <= 11)
        s.roundedTickerEdges = true;
    if (v <= 12)
        s.selectedFootballCompetitions = allFootballCompetitionSet();
}

} // namespace

RibbexSettings migrateSettings(RibbexSettings settings)
{
    const qint64 storedVersion = settings.version;
    migrateAppearance(settings, storedVersion);
    migrateSources(settings, storedVersion);
    settings.version = RibbexSettings::currentVersion;
    return settings;
}

std::expected<void, StoreError> writeSettings(PreferencesStore &store, const RibbexSettings &settings)
{
    const std::optional<QByteArray> document = encodeSettings(settings);
    if (!document)
        return std::unexpected(StoreError {RibbexSettings::preferencesKey, QStringLiteral("a number is not finite")});
    return store.write(RibbexSettings::preferencesKey, *document);
}

LoadedSettings loadSettings(PreferencesStore &store)
{
    const auto bytes = store.read(RibbexSettings::preferencesKey);
    if (!bytes)
        return {RibbexSettings {}, LoadedSettings::Origin::unreadable};
    if (!bytes->has_value())
        return {RibbexSettings {}, LoadedSettings::Origin::nothingStored};

    const std::optional<RibbexSettings> decoded = decodeSettings(**bytes);
    // Every document Ribbex wrote has a version of 1 or more; anything else is not ours to migrate.
    if (!decoded || decoded->version < 1)
        return {RibbexSettings {}, LoadedSettings::Origin::unreadable};
    if (decoded->version >= RibbexSettings::currentVersion)
        return {*decoded, LoadedSettings::Origin::stored};

    // A failed write-back is not fatal: the migrated record is used and saved with the next change.
    LoadedSettings loaded {migrateSettings(*decoded), LoadedSettings::Origin::migrated};
    if (auto written = writeSettings(store, loaded.settings); !written)
        loaded.saveError = written.error();
    return loaded;
}

} // namespace ribbex
