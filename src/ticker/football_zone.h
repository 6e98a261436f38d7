#pragma once

// The separate football zone in the right quarter of the strip: where its current line is at a
// moment of its animation clock, and the picture of one line.

#include "settings/enumerations.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

namespace ribbex {

namespace footballZone {
inline constexpr double slideInDuration = 0.55;
inline constexpr double pauseDuration = 1.8;
inline constexpr double slideOutDuration = 0.45;
// One line's whole cycle, the sum of the three; written out so a wrap lands exactly on it.
inline constexpr double cycleDuration = 2.8;
} // namespace footballZone

double footballLineHeight(TickerStyle style);
QRectF footballZoneRect(const QSizeF &viewSize);

// The zone's clock one tick later: it runs over all lines and starts again.
double advancedFootballTime(double time, qsizetype lineCount);

struct FootballLinePlacement {
    qsizetype index = 0;
    double top = 0; // y of the line's rectangle
    double restTop = 0; // y while it pauses in the middle
    bool visible = false;
};

// Which line shows and where: it rises from below the zone, rests in the middle, leaves upward.
FootballLinePlacement footballLinePlacement(double time, qsizetype lineCount, const QRectF &zone, double lineHeight);

// The line's rectangle: one point in from the divider, the zone's width less two.
QRectF footballLineRect(const QRectF &zone, double top, double lineHeight);

// One line drawn for the rectangle at the device pixel ratio; the picture's device origin is
// the rectangle's corner rounded down, so it keeps the rectangle's sub-pixel position when
// blitted at that origin.
struct FootballLinePicture {
    QImage image;
    QPoint deviceOrigin;
};
FootballLinePicture footballLinePicture(
    const QString &text, TickerStyle style, const QColor &color, const QRectF &rect, double devicePixelRatio);

} // namespace ribbex
