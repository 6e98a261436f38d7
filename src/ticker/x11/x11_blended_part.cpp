#include "ticker/x11/x11_blended_part.h"

#include "ticker/run_tiles.h"

#include <QRgb>

#include <algorithm>

namespace ribbex {

namespace {

const QRgb *line(const QImage &image, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y));
}

// x · a / 255 on all four channels, rounded as QPainter's raster engine rounds it.
QRgb byteMul(QRgb x, uint a)
{
    uint low = (x & 0xff00ff) * a;
    low = (low + ((low >> 8) & 0xff00ff) + 0x800080) >> 8;
    uint high = ((x >> 8) & 0xff00ff) * a;
    high = high + ((high >> 8) & 0xff00ff) + 0x800080;
    return (high & 0xff00ff00) | (low & 0xff00ff);
}

QRgb sourceOver(QRgb destination, QRgb source)
{
    if (source >= 0xff000000 || destination == 0)
        return source;
    if (source == 0)
        return destination;
    return source + byteMul(destination, 255u - static_cast<uint>(qAlpha(source)));
}

// A pixel clipped to the outline, then over the backdrop (none on an ARGB window).
inline QRgb finishedPixel(QRgb content, QRgb outline, QRgb backdrop)
{
    // Inside the outline a pixel stays as it is, since x · 255 / 255 rounds to x: the common
    // case, kept cheap.
    const bool inside = outline >= 0xff000000;
    if (inside && content >= 0xff000000)
        return content;
    const QRgb clipped = inside ? content : byteMul(content, static_cast<uint>(qAlpha(outline)));
    return backdrop != 0 ? clipped + byteMul(backdrop, 255u - static_cast<uint>(qAlpha(clipped))) : clipped;
}

} // namespace

void X11BlendedPart::reset(const QRect &rect, const QImage &background, const QImage &outline, QRgb backdrop)
{
    m_rect = rect;
    m_background = background;
    m_outline = outline;
    m_backdrop = backdrop;
    if (rect.isEmpty()) {
        m_plain = m_frame = QImage();
        return;
    }
    m_plain = QImage(rect.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < rect.height(); ++y) {
        const QRgb *under = line(background, rect.top() + y) + rect.left();
        const QRgb *clip = line(outline, rect.top() + y) + rect.left();
        auto *out = reinterpret_cast<QRgb *>(m_plain.scanLine(y));
        for (int x = 0; x < rect.width(); ++x)
            out[x] = finishedPixel(under[x], clip[x], backdrop);
    }
    if (m_frame.size() != m_plain.size())
        m_frame = QImage(m_plain.size(), QImage::Format_ARGB32_Premultiplied);
}

QImage X11BlendedPart::blend(const RunTiles &run, const std::array<int, 2> &runLefts, int fromRow)
{
    const int rows = m_rect.height() - fromRow;
    if (rows <= 0 || m_rect.isEmpty())
        return {};
    std::copy_n(m_plain.constScanLine(fromRow), m_plain.bytesPerLine() * rows, m_frame.scanLine(fromRow));
    // The compositor's steps: background, run over it, clipped to the outline, over the
    // backdrop. Only pixels the run covers need the arithmetic, and a repeat gap keeps the run's
    // two copies apart, so no pixel has both.
    const int right = m_rect.left() + m_rect.width();
    for (const int runLeft : runLefts) {
        const int to = std::min(runLeft + run.width(), right);
        for (int at = std::max(runLeft, m_rect.left()); at < to;) {
            const int index = RunTiles::tileAt(at - runLeft);
            const int tileLeft = runLeft + run.tileLeft(index);
            const int end = std::min(tileLeft + run.tileWidthAt(index), to);
            const QImage tile = run.tile(index);
            for (int y = m_rect.top() + fromRow; !tile.isNull() && y < m_rect.top() + m_rect.height(); ++y) {
                const QRgb *pixels = line(tile, y);
                const QRgb *under = line(m_background, y);
                const QRgb *clip = line(m_outline, y);
                auto *out = reinterpret_cast<QRgb *>(m_frame.scanLine(y - m_rect.top()));
                for (int x = at; x < end; ++x) {
                    if (const QRgb pixel = pixels[x - tileLeft])
                        out[x - m_rect.left()] = finishedPixel(sourceOver(under[x], pixel), clip[x], m_backdrop);
                }
            }
            at = end;
        }
    }
    return QImage(m_frame.constScanLine(fromRow), m_frame.width(), rows, m_frame.bytesPerLine(), m_frame.format());
}

} // namespace ribbex
