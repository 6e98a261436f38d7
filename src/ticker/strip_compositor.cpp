#include "ticker/strip_compositor.h"

#include <QPainter>

#include <cmath>

namespace ribbex {

namespace {

int toDevice(double x, double ratio)
{
    return static_cast<int>(std::lround(x * ratio));
}

} // namespace

void StripCompositor::paint(QPainter &painter, const StripFrame &frame)
{
    const QSize size = deviceSize(frame.background.size, frame.background.devicePixelRatio);
    if (size.isEmpty())
        return;
    updateCaches(frame);
    if (m_frame.size() != size)
        m_frame = QImage(size, QImage::Format_ARGB32_Premultiplied);
    {
        // Drawn in device pixels throughout, so every blit is one to one.
        QPainter framePainter(&m_frame);
        framePainter.setCompositionMode(QPainter::CompositionMode_Source);
        framePainter.drawImage(0, 0, m_background);
        framePainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (frame.progressBar)
            framePainter.drawImage(0, 0, m_bar);
        if (frame.footballZone)
            paintFootballZone(framePainter, frame);
        paintRunCopies(framePainter, frame);
        if (frame.background.rounded)
            clipToOutline(framePainter);
    }
    painter.drawImage(QRectF(QPointF(0, 0), frame.background.size), m_frame, QRectF(m_frame.rect()));
}

void StripCompositor::updateCaches(const StripFrame &frame)
{
    if (m_backgroundKey != frame.background) {
        m_backgroundKey = frame.background;
        m_background = backgroundImage(frame.background);
        m_background.setDevicePixelRatio(1);
        m_outline = outlineMask(frame.background);
        m_outline.setDevicePixelRatio(1);
    }
    if (frame.progressBar && m_barKey != frame.progressBar) {
        m_barKey = frame.progressBar;
        m_bar = progressBarImage(*frame.progressBar);
    }
    if (!frame.footballZone || frame.footballTexts.isEmpty())
        return;
    const QRectF zone = footballZoneRect(frame.background.size);
    const double lineHeight = footballLineHeight(frame.style);
    const double restTop = zone.top() + (zone.height() - lineHeight) / 2;
    const ZoneLines key {frame.footballTexts, frame.style, frame.textColor, footballLineRect(zone, restTop, lineHeight),
        frame.background.devicePixelRatio};
    if (m_zoneKey == key)
        return;
    m_zoneKey = key;
    m_zonePictures.clear();
    for (const QString &text : key.texts)
        m_zonePictures.append(footballLinePicture(text, key.style, key.color, key.restRect, key.devicePixelRatio));
}

void StripCompositor::paintFootballZone(QPainter &painter, const StripFrame &frame)
{
    const double ratio = frame.background.devicePixelRatio;
    const QRectF zone = footballZoneRect(frame.background.size);
    if (zone.width() <= 0)
        return;
    QColor dividerColor = frame.textColor;
    dividerColor.setAlphaF(0.35f);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(dividerColor, ratio, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(zone.left() * ratio, 2 * ratio),
        QPointF(zone.left() * ratio, std::max(zone.bottom() - 2, 2.0) * ratio));
    painter.restore();
    if (frame.footballTexts.isEmpty() || m_zonePictures.size() != frame.footballTexts.size())
        return;
    const FootballLinePlacement placement = footballLinePlacement(
        frame.footballAnimationTime, frame.footballTexts.size(), zone, footballLineHeight(frame.style));
    if (!placement.visible)
        return;
    // The picture was drawn at the resting place; moving it by whole device pixels keeps it sharp.
    const FootballLinePicture &picture = m_zonePictures[placement.index];
    const QPoint at = picture.deviceOrigin + QPoint(0, toDevice(placement.top - placement.restTop, ratio));
    painter.save();
    painter.setClipRect(QRect(QPoint(toDevice(zone.left(), ratio), 0), m_frame.size()));
    painter.drawImage(at, picture.image);
    painter.restore();
}

void StripCompositor::paintRunCopies(QPainter &painter, const StripFrame &frame)
{
    if (!frame.run || frame.run->isNull() || frame.textWidth <= 0)
        return;
    const double ratio = frame.background.devicePixelRatio;
    const double areaWidth
        = frame.background.size.width() - (frame.footballZone ? frame.background.size.width() * 0.25 : 0);
    const int areaRight = std::min(toDevice(areaWidth, ratio), m_frame.width());
    const RunTiles &run = *frame.run;
    for (const double x : {-frame.offset, frame.period - frame.offset}) {
        const int left = toDevice(x, ratio);
        const int to = std::min(left + run.width(), areaRight);
        // Tile by tile: a long line's run is far wider than anything drawn in one go.
        for (int from = std::max(left, 0); from < to;) {
            const int index = RunTiles::tileAt(from - left);
            const int tileLeft = left + run.tileLeft(index);
            const int end = std::min(tileLeft + run.tileWidthAt(index), to);
            painter.drawImage(QRect(from, 0, end - from, run.height()), run.tile(index),
                QRect(from - tileLeft, 0, end - from, run.height()));
            from = end;
        }
    }
}

void StripCompositor::clipToOutline(QPainter &painter)
{
    // Only the rounded ends lie outside the outline.
    const int capWidth = std::min((m_outline.height() + 1) / 2 + 1, m_outline.width());
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    for (const int left : {0, m_outline.width() - capWidth}) {
        const QRect cap(left, 0, capWidth, m_outline.height());
        painter.drawImage(cap, m_outline, cap);
    }
}

} // namespace ribbex
