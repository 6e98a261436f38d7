#pragma once

// The ticker for the command line: the strip painted into a picture without a window, and the
// scrolling line as plain text.

#include "model/settings_model.h"
#include "ticker/strip_size.h"

#include <QImage>
#include <QString>

#include <expected>
#include <optional>

namespace ribbex {

struct StripRenderOptions {
    std::optional<double> width; // logical pixels; the width setting when absent
    double scale = 1.0; // device pixel ratio of the picture
    double scrollOffset = 0; // how far the text has scrolled
    // The football zone's clock; 0.55 s shows its first line at rest.
    double footballAnimationTime = 0.55;
};

// QPainter draws at most this many device pixels along an edge.
inline constexpr int largestPictureEdge = 32767;

// Why a strip of this width in logical pixels cannot be painted at this scale, if it cannot.
std::optional<QString> renderSizeProblem(double width, double scale);

// The strip as it looks now, 22 logical pixels high, at the given scale, or why it cannot be
// painted. Needs a QGuiApplication for the fonts.
std::expected<QImage, QString> renderStrip(const SettingsModel &model, const StripRenderOptions &options);

// The composed line without the Spotify marker, with the weather condition in place of the
// weather marker.
QString plainTickerLine(const SettingsModel &model);

} // namespace ribbex
