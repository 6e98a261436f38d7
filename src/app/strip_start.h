#pragma once

// Starting the strip: checks that there is a display, keeps one Ribbex per session, and runs the
// application until it quits.

#include "app/command_line.h"

namespace ribbex {

int runStrip(int &argc, char **argv, const StartStrip &start);

} // namespace ribbex
