#include "ticker/strip_background.h"

#include "settings/colors.h"
#include "ticker/coverage_image.h"
#include "ticker/dot_mask.h"
#include "ticker/dot_matrix.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ribbex {

namespace {

constexpr double gridOpacity = 0.16;

QPainterPath outline(const StripBackground &background)
{
    QPainterPath path;
    const QRectF bounds(QPointF(0, 0), background.size);
    const double radius = background.rounded ? bounds.height() / 2 : 0.0;
    path.addRoundedRect(bounds, radius, radius);
    return path;
}

QImage blankImage(const StripBackground &background)
{
    QImage image(deviceSize(background.size, background.devicePixelRatio), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(background.devicePixelRatio);
    return image;
}

} // namespace

StripBackground stripBackground(const RibbexSettings &settings, const QSizeF &size, double devicePixelRatio)
{
    const double transparency = settings.backgroundTransparency.value_or(0.0);
    StripBackground background;
    background.size = size;
    background.devicePixelRatio = devicePixelRatio;
    background.color = hex(settings.backgroundColor);
    background.opacity = std::clamp(1 - transparency, 0.0, 1.0);
    background.rounded = settings.roundedTickerEdges.value_or(false);
    // A fully transparent background shows no grid either.
    background.dotGrid = settings.style == TickerStyle::dotMatrix && transparency < 1.0;
    background.gridColor = hex(settings.textColor);
    return background;
}

QSize deviceSize(const QSizeF &size, double devicePixelRatio)
{
    return {static_cast<int>(std::lround(size.width() * devicePixelRatio)),
        static_cast<int>(std::lround(size.height() * devicePixelRatio))};
}

QImage backgroundImage(const StripBackground &background)
{
    QImage image = blankImage(background);
    if (background.opacity <= 0)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(outline(background));
    QColor fill = background.color;
    fill.setAlphaF(static_cast<float>(background.opacity));
    painter.fillRect(QRectF(QPointF(0, 0), background.size), fill);
    if (background.dotGrid) {
        const QImage grid = dotGridImage(background.size, background.devicePixelRatio, background.gridColor);
        painter.drawImage(QRectF(QPointF(0, 0), background.size), grid, QRectF(grid.rect()));
    }
    return image;
}

QImage outlineMask(const StripBackground &background)
{
    QImage image = blankImage(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(outline(background), Qt::black);
    return image;
}

QImage dotGridImage(const QSizeF &size, double devicePixelRatio, const QColor &color)
{
    DotSprites sprites;
    DotMask mask(deviceSize(size, devicePixelRatio), devicePixelRatio, sprites);
    const int rows = std::max(static_cast<int>(size.height() * 0.5), 1);
    for (int i = 0;; ++i) {
        const double x = dotMatrix::gridStart + i * dotMatrix::dotStepX;
        if (x >= size.width())
            break;
        for (int row = 0; row < rows; ++row)
            mask.addDot({x, 2.0 * row + 1}, dotMatrix::gridDotDiameter);
    }
    return tintedCoverage(mask.coverage(), color, gridOpacity);
}

} // namespace ribbex
