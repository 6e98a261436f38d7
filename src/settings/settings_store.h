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
        unreadable, // stored but unreadable, undecodable or not ours (version below 1): defaults
    };

    RibbexSettings settings;
    Origin origin = Origin::nothingStored;
    // Why a migrated document could not be written back; it stays as it was until a save works.
    std::optional<StoreError> saveError {};
};

// The record to use at start-up. Never fails: the defaults stand in for a missing or
// undecodable document.
LoadedSettings loadSettings(PreferencesStore &store);

// Writes the record as the stored document.
std::expected<void, StoreError> writeSettings(PreferencesStore &store, const RibbexSettings &settings);

// Applies every migration step due for a document of an older version and sets the current one.
RibbexSettings migrateSettings(RibbexSettings settings);

} // namespace ribbex
