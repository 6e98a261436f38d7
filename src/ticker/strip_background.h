#pragma once

// What lies under the moving text and never moves: the background colour, the Dot Matrix grid
// of unlit dots, and the rounded ends that clip the whole strip.

#include "settings/ribbex_settings.h"

#include <QColor>
#include <QImage>
#include <QSizeF>

namespace ribbex {

struct StripBackground {
    QSizeF size; // points
    double devicePixelRatio = 1;
    QColor color;
    double opacity = 0; // 1 - the background transparency
    bool rounded = false;
    bool dotGrid = false;
    QColor gridColor;

    bool operator==(const StripBackground &) const = default;
};

StripBackground stripBackground(const RibbexSettings &settings, const QSizeF &size, double devicePixelRatio);

// The strip's size in whole device pixels.
QSize deviceSize(const QSizeF &size, double devicePixelRatio);

// The background and, where it shows, the grid; transparent outside the rounded ends.
QImage backgroundImage(const StripBackground &background);

// Opaque inside the strip's outline and clear outside, for clipping the rounded ends.
QImage outlineMask(const StripBackground &background);

// The dot grid alone: rows every 2 points from y = 1, columns every 2.55 points from x = 2.
QImage dotGridImage(const QSizeF &size, double devicePixelRatio, const QColor &color);

} // namespace ribbex
