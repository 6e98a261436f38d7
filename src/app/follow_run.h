#pragma once

// `ribbex --follow`: the ticker for a status bar, a line each time what it shows changes. From
// the strip when one runs in the session, else from sources of its own, paced as the strip's.

#include "app/command_line.h"

namespace ribbex {

// Runs until the reader goes away or SIGTERM or SIGINT; returns the exit status.
int runFollow(const RunFollow &run);

} // namespace ribbex
