#pragma once

// Reading the stored settings document at start-up, bringing older documents up to date.

#include "platform/preferences_store.h"
#include "settings/ribbex_settings.h"

namespace ribbex {

struct LoadedSettings {
    enum class Origin {
        nothingStored, // first launch
        stored, // decoded as it was, nothing written
        migrated, // an older document, brought up to date and written back
        unreadable, // stored but unreadable or undecodable: defaults, nothing written
    };

    RibbexSettings settings;
    Origin origin = Origin::nothingStored;
};

// The record to use at start-up. Never fails: the defaults stand in for a missing or
// undecodable document.
LoadedSettings loadSettings(PreferencesStore &store);

// Applies every migration step due for a document of an older version and sets the current one.
RibbexSettings migrateSettings(RibbexSettings settings);

} // namespace ribbex
