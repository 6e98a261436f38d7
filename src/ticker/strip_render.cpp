#include "ticker/strip_render.h"

#include "ticker/ticker_line.h"
#include "ticker/ticker_renderer.h"
#include "ticker/ticker_scroll.h"

#include <QPainter>

#include <cmath>

namespace ribbex {

QImage renderStrip(const SettingsModel &model, const StripRenderOptions &options)
{
    // QPainter draws at most 32767 device pixels along an edge.
    constexpr double largestEdge = 32767;
    const double width = options.width.value_or(model.settings().width);
    if (!(width > 0) || !(options.scale > 0) || !(width * options.scale <= largestEdge)
        || !(stripHeight * options.scale <= largestEdge))
        return {};
    const QSizeF size(width, stripHeight);
    QImage image(deviceSize(size, options.scale), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
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
