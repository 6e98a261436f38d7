#include "ticker/progress_bar.h"

#include "settings/colors.h"
#include "ticker/coverage_image.h"
#include "ticker/dot_mask.h"
#include "ticker/dot_matrix.h"

#include <QPainter>

#include <cmath>

namespace ribbex {

namespace {

constexpr double trackOpacity = 0.16;

// The x of every dot of a dotted bar of this width.
template<typename Function> void forEachBarDot(double width, Function &&function)
{
    for (int i = 0;; ++i) {
        const double x = dotMatrix::gridStart + i * dotMatrix::dotStepX;
        if (x >= width)
            return;
        function(x);
    }
}

} // namespace

double progressFraction(const SpotifyTrackProgress &progress, const QDateTime &now)
{
    const double fraction = progress.positionAt(now) / progress.duration;
    if (std::isnan(fraction))
        return 1.0;
    return std::clamp(fraction, 0.0, 1.0);
}

double progressAllowance(const RibbexSettings &settings, const std::optional<SpotifyNowPlaying> &track)
{
    if (!track || !track->progress)
        return 0;
    return settings.thickSpotifyProgressBar.value_or(false) ? 3.0 : 1.5;
}

std::optional<ProgressBar> progressBar(const RibbexSettings &settings, const std::optional<SpotifyNowPlaying> &track,
    double barWidth, double devicePixelRatio, const QDateTime &now)
{
    if (!track || !track->progress)
        return std::nullopt;
    ProgressBar bar;
    bar.dotted = settings.style == TickerStyle::dotMatrix;
    bar.color = hex(settings.progressBarColor.value_or(defaultProgressBarColor));
    bar.opacity = std::clamp(1 - settings.progressBarTransparency.value_or(0.0), 0.0, 1.0);
    bar.thickness = settings.thickSpotifyProgressBar.value_or(false) ? 2.0 : 1.0;
    bar.width = barWidth;
    bar.devicePixelRatio = devicePixelRatio;
    const double reach = barWidth * progressFraction(*track->progress, now);
    if (bar.dotted) {
        const double diameter = bar.thickness * dotMatrix::gridDotDiameter;
        forEachBarDot(barWidth, [&](double x) { bar.filled += x + diameter / 2 <= reach ? 1 : 0; });
    } else {
        bar.filled = static_cast<int>(std::lround(reach * devicePixelRatio));
    }
    return bar;
}

QImage progressBarImage(const ProgressBar &bar)
{
    const double ratio = bar.devicePixelRatio;
    const QSize size(static_cast<int>(std::ceil(bar.width * ratio)), static_cast<int>(std::ceil(bar.height() * ratio)));
    if (size.isEmpty())
        return {};
    if (!bar.dotted) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QColor track = bar.color;
        track.setAlphaF(static_cast<float>(bar.opacity * trackOpacity));
        painter.fillRect(QRectF(0, 0, bar.width * ratio, bar.height() * ratio), track);
        QColor fill = bar.color;
        fill.setAlphaF(static_cast<float>(bar.opacity));
        painter.fillRect(QRectF(0, 0, bar.filled, bar.height() * ratio), fill);
        return image;
    }
    const double diameter = bar.thickness * dotMatrix::gridDotDiameter;
    const double top = (bar.height() - diameter) / 2;
    DotSprites sprites;
    DotMask unlit(size, ratio, sprites);
    DotMask lit(size, ratio, sprites);
    int index = 0;
    forEachBarDot(bar.width, [&](double x) { (index++ < bar.filled ? lit : unlit).addDot({x, top}, diameter); });
    QImage image = tintedCoverage(unlit.coverage(), bar.color, bar.opacity * trackOpacity);
    QPainter painter(&image);
    painter.drawImage(0, 0, tintedCoverage(lit.coverage(), bar.color, bar.opacity));
    return image;
}

} // namespace ribbex
