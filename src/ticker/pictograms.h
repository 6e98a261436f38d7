#pragma once

// Our own small vector pictograms: the weather symbols by symbol name and the Spotify mark,
// for the Classic and LED looks, and the symbols of the settings window. They are drawn in the
// painter's current colour.

#include <QPainterPath>
#include <QRectF>
#include <QStringView>

class QPainter;

namespace ribbex {

// The weather symbol in a unit square, y downward; empty for a name without a drawing.
QPainterPath weatherPictogram(QStringView symbolName);

// Any symbol we draw (the sources' symbols, "chevron.down" and the weather symbols) in a unit
// square, y downward; empty for a name without a drawing.
QPainterPath symbolPictogram(QStringView symbolName);

// The weather symbol as the platform's symbol image would sit in an inline picture of side s:
// drawn at 0.76 s, centred.
void drawWeatherSymbol(QPainter &painter, const QPainterPath &pictogram, const QRectF &box);

// A ring with three arcs in a square box.
void drawSpotifyMark(QPainter &painter, const QRectF &box);

} // namespace ribbex
