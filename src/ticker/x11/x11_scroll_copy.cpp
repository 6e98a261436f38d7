#include "ticker/x11/x11_scroll_copy.h"

#include "model/settings_model.h"
#include "ticker/menu_bar_scroller_view.h"
#include "ticker/progress_bar.h"
#include "ticker/run_tiles.h"
#include "ticker/x11/x11_strip.h"

#include <QPainter>
#include <QRgb>

#include <algorithm>
#include <array>
#include <cmath>

namespace ribbex {

namespace {

int toDevice(double x, double ratio)
{
    return static_cast<int>(std::lround(x * ratio));
}

// A picture as the window shows it: over the backdrop, or over nothing on an ARGB window.
QImage onBackdrop(const QImage &picture, QImage::Format format, QRgb backdrop)
{
    QImage shown(picture.size(), format);
    shown.fill(backdrop);
    QPainter painter(&shown);
    painter.drawImage(0, 0, picture);
    return shown;
}

// x · a / 255 on all four channels, rounded as QPainter's raster engine rounds it, so the
// blended ends match what Qt would have drawn to the bit.
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
    if (source >= 0xff000000)
        return source;
    if (source == 0)
        return destination;
    return source + byteMul(destination, 255u - static_cast<uint>(qAlpha(source)));
}

// A pixel of an end: clipped to the outline, then over the backdrop (none on an ARGB window).
inline QRgb finishedPixel(QRgb content, QRgb outline, QRgb backdrop)
{
    // Inside the outline an opaque pixel stays as it is: the common case, kept cheap.
    if (outline >= 0xff000000 && content >= 0xff000000)
        return content;
    const QRgb clipped = byteMul(content, static_cast<uint>(qAlpha(outline)));
    return backdrop != 0 ? clipped + byteMul(backdrop, 255u - static_cast<uint>(qAlpha(clipped))) : clipped;
}

bool isUniform(const QImage &image, int fromColumn, int toColumn, QRgb pixel)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = fromColumn; x < toColumn; ++x) {
            if (line[x] != pixel)
                return false;
        }
    }
    return true;
}

} // namespace

X11ScrollCopy::X11ScrollCopy(xcb_connection_t *connection, const SettingsModel &model)
    : m_connection(connection)
    , m_model(model)
{
}

X11ScrollCopy::~X11ScrollCopy()
{
    releasePixmaps();
}

void X11ScrollCopy::releasePixmaps()
{
    for (const TilePixmap &tile : m_tilePixmaps)
        xcb_free_pixmap(m_connection, tile.pixmap);
    m_tilePixmaps.clear();
}

bool X11ScrollCopy::present(const MenuBarScrollerView &view, const X11Target &target)
{
    const TickerRenderer &renderer = view.renderer();
    const double ratio = view.devicePixelRatioF();
    const RunTiles &run = renderer.runPicture();
    // The renderer's run picture follows a new ratio only when Qt paints it.
    if (renderer.devicePixelRatio() != ratio || run.isNull() || renderer.hasSeparateFootballZone())
        return false;
    const RibbexSettings &settings = m_model.settings();
    if (progressBar(settings, m_model.spotifyTrack(), renderer.textAreaWidth(), ratio, m_model.clock().now()))
        return false;
    const Scene scene {target.window, target.format, run.key(), stripBackground(settings, renderer.viewSize(), ratio),
        view.backdrop().isValid() ? view.backdrop().rgba() : QRgb(0)};
    m_run = &run;
    if (scene != m_scene) {
        m_scene = scene;
        m_usable = build(target);
    }
    if (!m_usable)
        return false;

    // As the compositor places the two copies, so each lands on the same whole device pixel.
    const int runWidth = run.width();
    const std::array<int, 2> lefts {
        toDevice(-renderer.offset(), ratio), toDevice(renderer.period() - renderer.offset(), ratio)};
    const int height = m_frameSize.height();
    const auto fill = [&](int from, int to) {
        const xcb_rectangle_t gap {static_cast<int16_t>(target.origin.x() + from),
            static_cast<int16_t>(target.origin.y()), static_cast<uint16_t>(to - from), static_cast<uint16_t>(height)};
        xcb_poly_fill_rectangle(m_connection, target.window, target.gc, 1, &gap);
    };
    const int middleEnd = m_frameSize.width() - m_capWidth;
    int x = m_capWidth;
    for (const int left : lefts) {
        const int from = std::max(left, x);
        const int to = std::min(left + runWidth, middleEnd);
        if (to <= from)
            continue;
        if (from > x)
            fill(x, from);
        for (int at = from; at < to;) {
            const int index = RunTiles::tileAt(at - left);
            const int tileLeft = left + run.tileLeft(index);
            const int end = std::min(tileLeft + run.tileWidthAt(index), to);
            if (const xcb_pixmap_t pixmap = tilePixmap(index, target); pixmap != XCB_NONE)
                xcb_copy_area(m_connection, pixmap, target.window, target.gc, static_cast<int16_t>(at - tileLeft), 0,
                    static_cast<int16_t>(target.origin.x() + at), static_cast<int16_t>(target.origin.y()),
                    static_cast<uint16_t>(end - at), static_cast<uint16_t>(height));
            else
                fill(at, end);
            at = end;
        }
        x = to;
    }
    if (x < middleEnd)
        fill(x, middleEnd);
    if (m_capWidth > 0)
        presentCaps(lefts, target);
    xcb_flush(m_connection);
    return true;
}

bool X11ScrollCopy::build(const X11Target &target)
{
    releasePixmaps();
    const StripBackground &background = m_scene->background;
    m_frameSize = deviceSize(background.size, background.devicePixelRatio);
    if (m_frameSize.isEmpty() || m_run->height() != m_frameSize.height() || background.dotGrid)
        return false;
    m_background = backgroundImage(background);
    m_background.setDevicePixelRatio(1);
    m_outline = outlineMask(background);
    m_outline.setDevicePixelRatio(1);
    // Only the rounded ends lie outside the outline; the compositor clips just these columns.
    m_capWidth = background.rounded ? std::min((m_frameSize.height() + 1) / 2 + 1, m_frameSize.width()) : 0;
    m_base = reinterpret_cast<const QRgb *>(m_background.constScanLine(0))[m_frameSize.width() / 2];
    if (m_capWidth * 2 >= m_frameSize.width() || m_capWidth > maximumCapWidth
        || !isUniform(m_background, m_capWidth, m_frameSize.width() - m_capWidth, m_base))
        return false;
    buildPlainCaps();

    QImage gap(1, 1, QImage::Format_ARGB32_Premultiplied);
    gap.fill(m_base);
    m_gapPixel = reinterpret_cast<const QRgb *>(onBackdrop(gap, target.format, m_scene->backdrop).constScanLine(0))[0];
    if (target.depth == 24)
        m_gapPixel &= 0xFFFFFF;
    xcb_change_gc(m_connection, target.gc, XCB_GC_FOREGROUND, &m_gapPixel);
    return true;
}

xcb_pixmap_t X11ScrollCopy::tilePixmap(int index, const X11Target &target)
{
    const auto found = std::ranges::find(m_tilePixmaps, index, &TilePixmap::index);
    if (found != m_tilePixmaps.end()) {
        found->lastUse = ++m_uses;
        return found->pixmap;
    }
    const QImage tile = m_run->tile(index);
    if (tile.isNull())
        return XCB_NONE;
    // The server keeps no more tiles than the renderer does.
    if (static_cast<int>(m_tilePixmaps.size()) >= m_run->keptTileLimit()) {
        const auto oldest = std::ranges::min_element(m_tilePixmaps, {}, &TilePixmap::lastUse);
        xcb_free_pixmap(m_connection, oldest->pixmap);
        m_tilePixmaps.erase(oldest);
    }
    // The tile over the plain background, as the compositor blends it, then over the backdrop.
    QImage blended(tile.size(), QImage::Format_ARGB32_Premultiplied);
    blended.fill(m_base);
    {
        QPainter painter(&blended);
        painter.drawImage(0, 0, tile);
    }
    const QImage shown = onBackdrop(blended, target.format, m_scene->backdrop);
    const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
    xcb_create_pixmap(m_connection, target.depth, pixmap, target.window, static_cast<uint16_t>(shown.width()),
        static_cast<uint16_t>(shown.height()));
    x11::putImage(m_connection, pixmap, target.gc, target.depth, shown, QPoint(0, 0));
    m_tilePixmaps.push_back({index, pixmap, ++m_uses});
    return pixmap;
}

void X11ScrollCopy::buildPlainCaps()
{
    // Both ends in one picture, one above the other, as presentCaps sends them.
    const int height = m_frameSize.height();
    m_plainCaps = QImage(m_capWidth, 2 * height, QImage::Format_ARGB32_Premultiplied);
    const std::array<int, 2> capLefts {0, m_frameSize.width() - m_capWidth};
    for (size_t i = 0; i < capLefts.size(); ++i) {
        for (int y = 0; y < height; ++y) {
            const auto *background = reinterpret_cast<const QRgb *>(m_background.constScanLine(y)) + capLefts[i];
            const auto *outline = reinterpret_cast<const QRgb *>(m_outline.constScanLine(y)) + capLefts[i];
            auto *out = reinterpret_cast<QRgb *>(m_plainCaps.scanLine(static_cast<int>(i) * height + y));
            for (int x = 0; x < m_capWidth; ++x)
                out[x] = finishCapPixel(background[x], outline[x]);
        }
    }
}

void X11ScrollCopy::presentCaps(const std::array<int, 2> &runLefts, const X11Target &target)
{
    // Both ends in one picture, one above the other, so each end's rows are contiguous.
    const int height = m_frameSize.height();
    if (m_caps.size() != QSize(m_capWidth, 2 * height))
        m_caps = QImage(m_capWidth, 2 * height, QImage::Format_ARGB32_Premultiplied);
    const std::array<int, 2> capLefts {0, m_frameSize.width() - m_capWidth};
    for (size_t i = 0; i < capLefts.size(); ++i)
        blendCap(capLefts[i], static_cast<int>(i) * height, runLefts);
    for (size_t i = 0; i < capLefts.size(); ++i) {
        const int top = static_cast<int>(i) * height;
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, target.window, target.gc,
            static_cast<uint16_t>(m_capWidth), static_cast<uint16_t>(height),
            static_cast<int16_t>(target.origin.x() + capLefts[i]), static_cast<int16_t>(target.origin.y()), 0,
            target.depth, static_cast<uint32_t>(m_caps.bytesPerLine() * height), m_caps.constScanLine(top));
    }
}

void X11ScrollCopy::blendCap(int left, int top, const std::array<int, 2> &runLefts)
{
    // The compositor's steps for these few columns with QPainter's rounding: background, run
    // over it, clipped to the outline, over the backdrop. Only pixels the run covers need the
    // arithmetic; the rest are the end as it looks without text, drawn once in build().
    const int width = m_capWidth;
    const QRgb backdrop = m_scene->backdrop;

    // The stretches of tiles under this end: an end is narrower than a tile, so each copy of the
    // run puts at most two there.
    struct Stretch {
        QImage tile;
        int from = 0; // end columns [from, to)
        int to = 0;
        int tileOffset = 0; // end column x shows tile column x - tileOffset
    };
    std::array<Stretch, 4> stretches;
    size_t count = 0;
    for (const int runLeft : runLefts) {
        const int to = std::min(runLeft + m_run->width(), left + width);
        for (int at = std::max(runLeft, left); at < to && count < stretches.size();) {
            const int index = RunTiles::tileAt(at - runLeft);
            const int tileLeft = runLeft + m_run->tileLeft(index);
            const int end = std::min(tileLeft + m_run->tileWidthAt(index), to);
            stretches[count++] = {m_run->tile(index), at - left, end - left, tileLeft - left};
            at = end;
        }
    }

    std::array<QRgb, maximumCapWidth> content {};
    std::array<bool, maximumCapWidth> covered {};
    for (int y = 0; y < m_frameSize.height(); ++y) {
        const auto *background = reinterpret_cast<const QRgb *>(m_background.constScanLine(y)) + left;
        const auto *plain = reinterpret_cast<const QRgb *>(m_plainCaps.constScanLine(top + y));
        auto *out = reinterpret_cast<QRgb *>(m_caps.scanLine(top + y));
        std::copy_n(background, width, content.begin());
        covered.fill(false);
        for (size_t i = 0; i < count; ++i) {
            const Stretch &stretch = stretches[i];
            if (stretch.tile.isNull())
                continue;
            const auto *run = reinterpret_cast<const QRgb *>(stretch.tile.constScanLine(y));
            for (int x = stretch.from; x < stretch.to; ++x) {
                if (const QRgb pixel = run[x - stretch.tileOffset]) {
                    content[static_cast<size_t>(x)] = sourceOver(content[static_cast<size_t>(x)], pixel);
                    covered[static_cast<size_t>(x)] = true;
                }
            }
        }
        const auto *outline = reinterpret_cast<const QRgb *>(m_outline.constScanLine(y)) + left;
        for (int x = 0; x < width; ++x) {
            const auto i = static_cast<size_t>(x);
            out[x] = covered[i] ? finishedPixel(content[i], outline[x], backdrop) : plain[x];
        }
    }
}

QRgb X11ScrollCopy::finishCapPixel(QRgb content, QRgb outline) const
{
    return finishedPixel(content, outline, m_scene->backdrop);
}

} // namespace ribbex
