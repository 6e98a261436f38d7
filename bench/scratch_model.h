#pragma once

// A model over files in a temporary folder, with the system clock, for the measuring programs.

#include "model/settings_model.h"
#include "platform/file_preferences_store.h"
#include "platform/xdg_autostart.h"

#include <QTemporaryDir>

namespace ribbex {

struct ScratchModel {
    QTemporaryDir home;
    FilePreferencesStore settingsStore {home.path() + QStringLiteral("/config")};
    FilePreferencesStore cacheStore {home.path() + QStringLiteral("/cache")};
    XdgAutostart loginItems {home.path() + QStringLiteral("/autostart"), QStringLiteral("/bin/true")};
    const SystemClock clock;
    SettingsModel model {ModelServices {settingsStore, cacheStore, loginItems, clock, false}};
};

} // namespace ribbex
