#pragma once

// What the settings window may start besides writing settings: the sources, for their sections,
// and the desktop's autostart settings.

#include "sources/live_source.h"

#include <functional>
#include <vector>

namespace ribbex {

struct SettingsActions {
    std::vector<LiveSource *> sources; // each shows its section, in the order of the switches
    std::function<void()> openLoginItemsSettings; // the shell binds it
};

} // namespace ribbex
