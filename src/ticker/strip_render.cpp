#include "ticker/strip_render.h"

#include "ticker/ticker_line.h"
#include "ticker/ticker_renderer.h"
#include "ticker/ticker_scroll.h"

#include <QPainter>

#include <cmath>

namespace ribbex {

std::optional<QString> renderSizeProblem(double width, double scale)
{
    if (!(width > 0) || !(scale > 0) || !std::isfinite(width * scale))
        return QStringLiteral("the width and the scale must be positive numbers");
    const double deviceWidth = std::round(width * scale);
    const double deviceHeight = std::round(stripHeight * scale);
    if (deviceWidth < 1)
        return QStringLiteral("the picture would be less than a device pixel wide");
    if (deviceWidth <= largestPictureEdge && deviceHeight <= largestPictureEdge)
        return std::nullopt;
    return QStringLiteral("the picture would be %1 \u00D7 %2 device pixels; the largest edge is %3")
        .arg(deviceWidth, 0, 'f', 0)
        .arg(deviceHeight, 0, 'f', 0)
        .arg(largestPictureEdge);
}

std::expected<QImage, QString> renderStrip(const SettingsModel &model, const StripRenderOptions &options)
{
    const double width = options.width.value_or(model.settings().width);
    if (const std::optional<QString> problem = renderSizeProblem(width, options.scale))
        return std::unexpected(*problem);
    const QSizeF size(width, stripHeight);
    const QSize pixels = deviceSize(size, options.scale);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::unexpected(QStringLiteral("not enough memory for a picture of %1 \u00D7 %2 device pixels")
                                   .arg(pixels.width())
                                   .arg(pixels.height()));
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(options.scale);

    TickerRenderer renderer(model);
    renderer.setViewSize(size);
    renderer.setDevicePixelRatio(options.scale);
    renderer.refreshContent();
    renderer.setOffset(wrappedOffset(std::max(options.scrollOffset, 0.0), renderer.period()));
    renderer.setFootballAnimationTime(options.footballAnimationTime);
    QPainter painter(&image);
    renderer.paint(painter);
    return image;
}

QString plainTickerLine(const SettingsModel &model)
{
    QString line = composeTickerLine(model.items(), model.settings()).text;
    line.remove(QString(QChar(spotifyMarker)) + u' ');
    line.remove(spotifyMarker);
    const auto &snapshot = model.weatherSnapshot();
    line.replace(QChar(weatherSymbolMarker), snapshot ? snapshot->condition : QString());
    return line;
}

} // namespace ribbex
