#pragma once

// What the settings window may start besides writing settings: the sources' refreshes and the
// desktop's autostart settings.

#include "sources/football/football_refresh.h"
#include "sources/news/news_refresh.h"

#include <functional>

namespace ribbex {

struct SettingsActions {
    NewsRefresh &news;
    FootballRefresh &football;
    std::function<void()> openLoginItemsSettings; // the shell binds it
};

} // namespace ribbex
