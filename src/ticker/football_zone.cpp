#include "ticker/football_zone.h"

#include "ticker/coverage_image.h"
#include "ticker/dot_mask.h"
#include "ticker/dot_matrix.h"
#include "ticker/solid_layout.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace ribbex {

using namespace footballZone;

double footballLineHeight(TickerStyle style)
{
    return style == TickerStyle::dotMatrix ? 15.34 : 15.0;
}

QRectF footballZoneRect(const QSizeF &viewSize)
{
    return {viewSize.width() * 0.75, 0, viewSize.width() * 0.25, viewSize.height()};
}

double advancedFootballTime(double time, qsizetype lineCount)
{
    return std::fmod(time + 1.0 / 30, static_cast<double>(lineCount) * cycleDuration);
}

FootballLinePlacement footballLinePlacement(double time, qsizetype lineCount, const QRectF &zone, double lineHeight)
{
    if (lineCount <= 0)
        return {};
    const double t = std::fmod(time, static_cast<double>(lineCount) * cycleDuration);
    const auto index = std::min(static_cast<qsizetype>(t / cycleDuration), lineCount - 1);
    const double u = t - static_cast<double>(index) * cycleDuration;
    const double rest = zone.top() + (zone.height() - lineHeight) / 2;
    double top = rest;
    if (u < slideInDuration)
        top = zone.bottom() + (u / slideInDuration) * (rest - zone.bottom());
    else if (u >= slideInDuration + pauseDuration)
        top = rest + ((u - slideInDuration - pauseDuration) / slideOutDuration) * ((zone.top() - lineHeight) - rest);
    const bool visible = zone.top() < top + lineHeight && top < zone.bottom();
    return {index, top, rest, visible};
}

QRectF footballLineRect(const QRectF &zone, double top, double lineHeight)
{
    return {zone.left() + 1, top, std::max(zone.width() - 2, 0.0), lineHeight};
}

FootballLinePicture footballLinePicture(
    const QString &text, TickerStyle style, const QColor &color, const QRectF &rect, double devicePixelRatio)
{
    const QPoint origin(static_cast<int>(std::floor(rect.left() * devicePixelRatio)),
        static_cast<int>(std::floor(rect.top() * devicePixelRatio)));
    const QSize size(static_cast<int>(std::ceil(rect.width() * devicePixelRatio)) + 1,
        static_cast<int>(std::ceil(rect.height() * devicePixelRatio)) + 1);
    // The rectangle relative to the picture, in points.
    const QRectF local(rect.topLeft() - QPointF(origin) / devicePixelRatio, rect.size());
    if (style == TickerStyle::dotMatrix) {
        DotSprites sprites;
        DotMask mask(size, devicePixelRatio, sprites);
        appendFootballDotText(mask, text, local);
        return {tintedCoverage(mask.coverage(), color), origin};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = footballZoneFont(style);
    painter.setFont(font);
    painter.setPen(color);
    const QString shown = QFontMetricsF(font).elidedText(text, Qt::ElideRight, local.width());
    painter.drawText(local, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, shown);
    painter.end();
    image.setDevicePixelRatio(1);
    return {image, origin};
}

} // namespace ribbex
