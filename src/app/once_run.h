#pragma once

// A one-off run from the command line: refresh, print, paint; no window, no timers.

#include "app/command_line.h"

#include <QCoroTask>

namespace ribbex {

// Builds the model from the user's files, refreshes the enabled sources when asked (writing the
// same files as the strip), then prints and/or paints. Returns the exit status.
QCoro::Task<int> runOnce(RunOnce run);

} // namespace ribbex
