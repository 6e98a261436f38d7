#pragma once

// The strip's height in logical pixels: the window, the view's first size and every picture.

namespace ribbex {

inline constexpr int stripHeight = 22;

} // namespace ribbex
