#pragma once

// The sources of the ticker, built in this one place for the strip and the command line alike.

#include "sources/live_source.h"

#include <memory>
#include <vector>

namespace ribbex {

using SourceList = std::vector<std::unique_ptr<LiveSource>>;

SourceList makeSources(const SourceServices &services);

// The sources without their ownership, for those that only use them.
std::vector<LiveSource *> sourcePointers(const SourceList &sources);

} // namespace ribbex
