#pragma once

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"
#include "support/pinned_clock.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <memory>

namespace ribbex::test {

// A model over real files in a temporary home, with a pinned clock.
class ModelTest : public testing::Test {
protected:
    static QDateTime at(const char *isoUtc);

    std::unique_ptr<SettingsModel> makeModel(bool mayRegisterLoginItem = true);
    void storeSettings(const RibbexSettings &settings);
    void storeSettingsBytes(const QByteArray &bytes);
    QString settingsPath() const { return settingsStore.pathFor(RibbexSettings::preferencesKey); }
    RibbexSettings storedSettings() const;

    TempHome home;
    FilePreferencesStore settingsStore {home.ribbexConfigDir()};
    FilePreferencesStore cacheStore {home.ribbexCacheDir()};
    XdgAutostart loginItems {home.autostartDir(), QStringLiteral("/bin/true")};
    PinnedClock clock {at("2026-12-06T15:00:00Z")};
};

// Counts the model's change signals and onChange calls.
struct ChangeCounter {
    explicit ChangeCounter(SettingsModel &model);
    ChangeCounter(const ChangeCounter &) = delete;
    ChangeCounter &operator=(const ChangeCounter &) = delete;

    void reset() { changeSignals = onChangeCalls = 0; }

    int changeSignals = 0;
    int onChangeCalls = 0;
};

} // namespace ribbex::test
