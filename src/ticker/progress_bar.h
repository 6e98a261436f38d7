#pragma once

// The Spotify progress bar along the strip's top edge.

#include "model/source_records.h"
#include "settings/ribbex_settings.h"

#include <QColor>
#include <QDateTime>
#include <QImage>

#include <optional>

namespace ribbex {

// How far the track has played at `now`: a playing track grows from its sample; always within
// 0...1, and a zero duration counts as a full bar.
double progressFraction(const SpotifyTrackProgress &progress, const QDateTime &now);

// How far the text moves down while a bar shows.
double progressAllowance(const RibbexSettings &settings, const std::optional<SpotifyNowPlaying> &track);

// Everything a bar's picture depends on; the filled part is kept in whole dots or device pixels,
// so the picture only changes when what is seen changes.
struct ProgressBar {
    bool dotted = false;
    QColor color;
    double opacity = 1;
    double thickness = 1; // 2 for the thick bar
    double width = 0; // points
    int filled = 0; // lit dots, or filled device pixels
    double devicePixelRatio = 1;

    double height() const { return thickness * 4.18; }
    bool operator==(const ProgressBar &) const = default;
};

std::optional<ProgressBar> progressBar(const RibbexSettings &settings, const std::optional<SpotifyNowPlaying> &track,
    double barWidth, double devicePixelRatio, const QDateTime &now);

// The bar's picture at its device pixel ratio, with the top-left corner at the strip's.
QImage progressBarImage(const ProgressBar &bar);

} // namespace ribbex
