#pragma once

namespace ribbex {

// Runs Ribbex as the command line asks; returns the process's exit status.
int runApplication(int argc, char **argv);

} // namespace ribbex
