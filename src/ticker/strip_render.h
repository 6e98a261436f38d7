#pragma once

// The ticker for the command line: the strip painted into a picture without a window, and the
// scrolling line as plain text.

#include "model/settings_model.h"

#include <QImage>
#include <QString>

#include <optional>

namespace ribbex {

struct StripRenderOptions {
    std::optional<double> width; // logical pixels; the width setting when absent
    double scale = 1.0; // device pixel ratio of the picture
    double scrollOffset = 0; // how far the text has scrolled
    // The football zone's clock; 0.55 s shows its first line at rest.
    double footballAnimationTime = 0.55;
};

inline constexpr double stripHeight = 22.0;

// The strip as it looks now, 22 logical pixels high, at the given scale. Null when the width or
// the scale is not a positive number or an edge would exceed 32767 device pixels. Needs a
// QGuiApplication for the fonts.
QImage renderStrip(const SettingsModel &model, const StripRenderOptions &options);

// The composed line without the Spotify marker, with the weather condition in place of the
// weather marker.
QString plainTickerLine(const SettingsModel &model);

} // namespace ribbex
