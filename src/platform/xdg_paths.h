#pragma once

// Per-user folders as the XDG Base Directory rules place them. The environment is read on each
// call, so a changed XDG_CONFIG_HOME, XDG_CACHE_HOME or HOME takes effect at once.

#include <QString>

namespace ribbex {

// $XDG_CONFIG_HOME/ribbex, or ~/.config/ribbex.
QString ribbexConfigFolder();

// $XDG_CACHE_HOME/ribbex, or ~/.cache/ribbex.
QString ribbexCacheFolder();

// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
QString autostartFolder();

} // namespace ribbex
