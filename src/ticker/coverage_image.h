#pragma once

// Turns a coverage mask into a coloured picture, optionally over its own blurred shadow. Every
// pixel of a ticker run has the text colour, so the shadow is the blurred coverage itself.

#include <QColor>
#include <QImage>

namespace ribbex {

// Premultiplied ARGB of the mask's size: the colour at the mask's coverage times the opacity.
QImage tintedCoverage(const QImage &coverage, const QColor &color, double opacity = 1.0);

// The same, over a shadow of the colour at shadowOpacity with a Gaussian blur of the given
// radius in device pixels (a standard deviation of half the radius; 0 gives a sharp shadow).
// The margin's columns at either side only feed the blur and are left out of the picture.
QImage coverageWithShadow(
    const QImage &coverage, const QColor &color, double shadowOpacity, double blurRadius, int margin = 0);

// How many device pixels that shadow reaches beyond the coverage on each side.
int shadowSpread(double blurRadius);

} // namespace ribbex
