#include "ticker/pictograms.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace ribbex {

namespace {

QPainterPath disc(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath stroked(const QPainterPath &line, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line).simplified();
}

QPainterPath segment(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

// A cloud whose body spans the box: three lobes over a flat, rounded base.
QPainterPath cloud(const QRectF &box)
{
    const auto at
        = [&](double x, double y) { return QPointF(box.left() + x * box.width(), box.top() + y * box.height()); };
    const double unit = box.width();
    QPainterPath base;
    base.addRoundedRect(QRectF(at(0.0, 0.52), at(1.0, 1.0)), 0.24 * unit, 0.24 * unit);
    return base.united(disc(at(0.3, 0.6), 0.2 * unit))
        .united(disc(at(0.56, 0.42), 0.27 * unit))
        .united(disc(at(0.8, 0.66), 0.17 * unit));
}

QPainterPath sun(QPointF centre, double radius)
{
    QPainterPath path = disc(centre, radius);
    for (int ray = 0; ray < 8; ++ray) {
        const double angle = ray * std::numbers::pi / 4;
        const QPointF direction(std::cos(angle), std::sin(angle));
        path = path.united(
            stroked(segment(centre + direction * radius * 1.45, centre + direction * radius * 2.1), radius * 0.42));
    }
    return path;
}

// Something behind the cloud, cut back so a thin gap shows around the cloud's outline.
QPainterPath behind(const QPainterPath &back, const QPainterPath &front, double gap)
{
    return back.subtracted(front.united(stroked(front, 2 * gap))).united(front);
}

QPainterPath slantedLines(int count, double top, double length, double spacing, double width)
{
    QPainterPath lines;
    const double first = 0.5 - spacing * (count - 1) / 2;
    for (int i = 0; i < count; ++i) {
        const double x = first + i * spacing;
        lines = lines.united(stroked(segment({x + 0.05, top}, {x - 0.05 * length / 0.2, top + length}), width));
    }
    return lines;
}

QPainterPath withPrecipitation(const QPainterPath &precipitation)
{
    return cloud(QRectF(0.05, 0.08, 0.9, 0.5)).united(precipitation);
}

QPainterPath snowflakes()
{
    QPainterPath flakes;
    for (const QPointF centre : {QPointF(0.3, 0.72), QPointF(0.7, 0.72), QPointF(0.5, 0.88)})
        flakes = flakes.united(disc(centre, 0.065));
    return flakes;
}

QPainterPath bolt()
{
    QPainterPath path;
    path.moveTo(0.55, 0.5);
    path.lineTo(0.36, 0.78);
    path.lineTo(0.5, 0.78);
    path.lineTo(0.42, 1.0);
    path.lineTo(0.66, 0.68);
    path.lineTo(0.52, 0.68);
    path.lineTo(0.6, 0.5);
    path.closeSubpath();
    return path;
}

// A closed outline traced with a line of the given width.
QPainterPath outlined(const QPainterPath &shape, double width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(shape).simplified();
}

QPainterPath roundedRect(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath newspaper()
{
    const double line = 0.075;
    QPainterPath path = outlined(roundedRect(QRectF(0.1, 0.16, 0.8, 0.68), 0.1), line);
    path = path.united(roundedRect(QRectF(0.24, 0.3, 0.22, 0.2), 0.03));
    for (const double y : {0.34, 0.46})
        path = path.united(stroked(segment({0.56, y}, {0.76, y}), line));
    return path.united(stroked(segment({0.24, 0.64}, {0.76, 0.64}), line));
}

QPainterPath musicNote()
{
    QPainterPath head;
    head.addEllipse(QPointF(0.0, 0.0), 0.17, 0.125);
    QPainterPath path = QTransform().translate(0.38, 0.76).rotate(-20).map(head);
    path = path.united(stroked(segment({0.53, 0.73}, {0.53, 0.14}), 0.08));
    QPainterPath flag(QPointF(0.53, 0.14));
    flag.cubicTo(QPointF(0.6, 0.3), QPointF(0.82, 0.3), QPointF(0.76, 0.52));
    return path.united(stroked(flag, 0.08));
}

// A pitch seen from above: touchlines, halfway line, centre circle and both penalty areas.
QPainterPath sportsCourt()
{
    const double line = 0.07;
    QPainterPath path = outlined(roundedRect(QRectF(0.06, 0.2, 0.88, 0.6), 0.06), line);
    path = path.united(stroked(segment({0.5, 0.2}, {0.5, 0.8}), line));
    QPainterPath circle;
    circle.addEllipse(QPointF(0.5, 0.5), 0.12, 0.12);
    path = path.united(outlined(circle, line));
    for (const double x : {0.06, 0.8}) {
        QPainterPath area;
        area.addRect(QRectF(x, 0.36, 0.14, 0.28));
        path = path.united(outlined(area, line));
    }
    return path;
}

QPainterPath cloudSun()
{
    const QPainterPath body = cloud(QRectF(0.04, 0.34, 0.78, 0.46));
    return sun({0.66, 0.34}, 0.13).subtracted(body.united(stroked(body, 0.16))).united(outlined(body, 0.08));
}

QPainterPath chevronDown()
{
    QPainterPath path(QPointF(0.2, 0.38));
    path.lineTo(0.5, 0.66);
    path.lineTo(0.8, 0.38);
    return stroked(path, 0.13);
}

} // namespace

QPainterPath weatherPictogram(QStringView symbolName)
{
    const double line = 0.085;
    if (symbolName == u"sun.max.fill")
        return sun({0.5, 0.5}, 0.2);
    if (symbolName == u"cloud.sun.fill")
        return behind(sun({0.64, 0.36}, 0.14), cloud(QRectF(0.0, 0.3, 0.8, 0.48)), 0.05);
    if (symbolName == u"cloud.fill")
        return cloud(QRectF(0.02, 0.18, 0.96, 0.62));
    if (symbolName == u"cloud.fog.fill")
        return withPrecipitation(stroked(segment({0.15, 0.72}, {0.85, 0.72}), line)
                                     .united(stroked(segment({0.25, 0.88}, {0.75, 0.88}), line)));
    if (symbolName == u"cloud.drizzle.fill")
        return withPrecipitation(
            slantedLines(3, 0.7, 0.08, 0.22, line).united(slantedLines(2, 0.86, 0.08, 0.22, line)));
    if (symbolName == u"cloud.rain.fill")
        return withPrecipitation(slantedLines(3, 0.7, 0.22, 0.22, line));
    if (symbolName == u"cloud.snow.fill")
        return withPrecipitation(snowflakes());
    if (symbolName == u"cloud.heavyrain.fill")
        return withPrecipitation(slantedLines(4, 0.68, 0.28, 0.18, line));
    if (symbolName == u"cloud.bolt.rain.fill")
        return withPrecipitation(bolt().united(slantedLines(2, 0.7, 0.2, 0.5, line)));
    return {};
}

QPainterPath symbolPictogram(QStringView symbolName)
{
    if (symbolName == u"newspaper")
        return newspaper();
    if (symbolName == u"music.note")
        return musicNote();
    if (symbolName == u"sportscourt")
        return sportsCourt();
    if (symbolName == u"cloud.sun")
        return cloudSun();
    if (symbolName == u"chevron.down")
        return chevronDown();
    return weatherPictogram(symbolName);
}

void drawWeatherSymbol(QPainter &painter, const QPainterPath &pictogram, const QRectF &box)
{
    const double side = box.width() * 0.76;
    const QPointF origin = box.center() - QPointF(side / 2, side / 2);
    painter.save();
    painter.translate(origin);
    painter.scale(side, side);
    painter.fillPath(pictogram, painter.pen().color());
    painter.restore();
}

void drawSpotifyMark(QPainter &painter, const QRectF &box)
{
    // Laid out with y upward in the box, as the mark was designed.
    const double s = box.width();
    const auto at = [&](double x, double y) { return QPointF(box.left() + x, box.top() + s - y); };
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen = painter.pen();
    pen.setWidthF(std::max(s * 0.1, 1.0));
    painter.setPen(pen);
    painter.drawEllipse(QRectF(at(1, s - 1), at(s - 1, 1)));
    pen.setWidthF(std::max(s * 0.085, 1.0));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    for (const double h : {0.64 * s, 0.47 * s, 0.30 * s}) {
        QPainterPath arc(at(0.27 * s, h));
        arc.cubicTo(at(0.42 * s, h + 0.08 * s), at(0.59 * s, h + 0.03 * s), at(0.74 * s, h - 0.02 * s));
        painter.drawPath(arc);
    }
    painter.restore();
}

} // namespace ribbex
