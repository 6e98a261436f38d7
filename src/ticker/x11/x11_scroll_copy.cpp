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

// The first row with any pixel that is not clear.
int inkTop(const QImage &tile)
{
    for (int y = 0; y < tile.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(tile.constScanLine(y));
        if (std::any_of(line, line + tile.width(), [](QRgb pixel) { return pixel != 0; }))
            return y;
    }
    return tile.height();
}

bool isUniform(const QImage &image, const QRect &area, QRgb pixel)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (!std::all_of(line + area.left(), line + area.right() + 1, [pixel](QRgb x) { return x == pixel; }))
            return false;
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
    releaseBarPixmap();
}

void X11ScrollCopy::releaseBarPixmap()
{
    if (m_barPixmap != XCB_NONE)
        xcb_free_pixmap(m_connection, m_barPixmap);
    m_barPixmap = XCB_NONE;
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
    const Scene scene {target.window, target.format, run.key(), stripBackground(settings, renderer.viewSize(), ratio),
        view.backdrop().isValid() ? view.backdrop().rgba() : QRgb(0)};
    // The bar's filled part follows the clock, so it is asked for on every tick.
    const std::optional<ProgressBar> bar
        = progressBar(settings, m_model.spotifyTrack(), renderer.textAreaWidth(), ratio, m_model.clock().now());
    m_run = &run;
    if (scene != m_scene) {
        m_scene = scene;
        m_usable = build(target, bar);
    } else if (m_usable && bar != m_bar) {
        layBar(bar, target);
    }
    if (!m_usable)
        return false;

    // As the compositor places the two copies, so each lands on the same whole device pixel.
    const std::array<int, 2> lefts {
        toDevice(-renderer.offset(), ratio), toDevice(renderer.period() - renderer.offset(), ratio)};
    const int inkTop = copyMiddle(lefts, target);
    presentBarRows(lefts, inkTop, target);
    for (X11BlendedPart &end : m_ends)
        putBlended(end, lefts, 0, target);
    xcb_flush(m_connection);
    return true;
}

void X11ScrollCopy::presentBarRows(const std::array<int, 2> &runLefts, int inkTop, const X11Target &target)
{
    // Above the text the bar's rows are as laid on the server; only the rows it reaches are blended.
    const QRect &rect = m_barMiddle.rect();
    const int copiedRows = std::min(inkTop, rect.height());
    if (copiedRows > 0)
        xcb_copy_area(m_connection, m_barPixmap, target.window, target.gc, 0, 0,
            static_cast<int16_t>(target.origin.x() + rect.left()), static_cast<int16_t>(target.origin.y()),
            static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(copiedRows));
    putBlended(m_barMiddle, runLefts, copiedRows, target);
}

void X11ScrollCopy::putBlended(
    X11BlendedPart &part, const std::array<int, 2> &runLefts, int fromRow, const X11Target &target)
{
    const QImage rows = part.blend(*m_run, runLefts, fromRow);
    if (!rows.isNull())
        x11::putImage(m_connection, target.window, target.gc, target.depth, rows,
            target.origin + part.rect().topLeft() + QPoint(0, fromRow));
}

int X11ScrollCopy::copyMiddle(const std::array<int, 2> &runLefts, const X11Target &target)
{
    // Below the bar's rows, where the tiles show just what the compositor makes of them.
    const int top = m_barRows;
    const int height = m_frameSize.height() - top;
    if (height <= 0)
        return 0;
    int inkTop = m_frameSize.height();
    const auto y = static_cast<int16_t>(target.origin.y() + top);
    const auto fill = [&](int from, int to) {
        const xcb_rectangle_t gap {static_cast<int16_t>(target.origin.x() + from), y, static_cast<uint16_t>(to - from),
            static_cast<uint16_t>(height)};
        xcb_poly_fill_rectangle(m_connection, target.window, target.gc, 1, &gap);
    };
    const int runWidth = m_run->width();
    const int middleEnd = m_frameSize.width() - m_capWidth;
    int x = m_capWidth;
    for (const int left : runLefts) {
        const int from = std::max(left, x);
        const int to = std::min(left + runWidth, middleEnd);
        if (to <= from)
            continue;
        if (from > x)
            fill(x, from);
        for (int at = from; at < to;) {
            const int index = RunTiles::tileAt(at - left);
            const int tileLeft = left + m_run->tileLeft(index);
            const int end = std::min(tileLeft + m_run->tileWidthAt(index), to);
            if (const TilePixmap *tile = tilePixmap(index, target)) {
                xcb_copy_area(m_connection, tile->pixmap, target.window, target.gc, static_cast<int16_t>(at - tileLeft),
                    static_cast<int16_t>(top), static_cast<int16_t>(target.origin.x() + at), y,
                    static_cast<uint16_t>(end - at), static_cast<uint16_t>(height));
                inkTop = std::min(inkTop, tile->inkTop);
            } else {
                fill(at, end);
            }
            at = end;
        }
        x = to;
    }
    if (x < middleEnd)
        fill(x, middleEnd);
    return inkTop;
}

bool X11ScrollCopy::build(const X11Target &target, const std::optional<ProgressBar> &bar)
{
    releasePixmaps();
    const StripBackground &background = m_scene->background;
    m_frameSize = deviceSize(background.size, background.devicePixelRatio);
    if (m_frameSize.isEmpty() || m_run->height() != m_frameSize.height() || background.dotGrid)
        return false;
    m_bareBackground = backgroundImage(background);
    m_bareBackground.setDevicePixelRatio(1);
    m_outline = outlineMask(background);
    m_outline.setDevicePixelRatio(1);
    // Only the rounded ends lie outside the outline; the compositor clips just these columns.
    m_capWidth = background.rounded ? std::min((m_frameSize.height() + 1) / 2 + 1, m_frameSize.width()) : 0;
    m_base = reinterpret_cast<const QRgb *>(m_bareBackground.constScanLine(0))[m_frameSize.width() / 2];
    const QRect middle(m_capWidth, 0, m_frameSize.width() - 2 * m_capWidth, m_frameSize.height());
    if (middle.width() <= 0 || !isUniform(m_bareBackground, middle, m_base))
        return false;

    QImage gap(1, 1, QImage::Format_ARGB32_Premultiplied);
    gap.fill(m_base);
    m_gapPixel = reinterpret_cast<const QRgb *>(onBackdrop(gap, target.format, m_scene->backdrop).constScanLine(0))[0];
    if (target.depth == 24)
        m_gapPixel &= 0xFFFFFF;
    xcb_change_gc(m_connection, target.gc, XCB_GC_FOREGROUND, &m_gapPixel);
    layBar(bar, target);
    return true;
}

void X11ScrollCopy::layBar(const std::optional<ProgressBar> &bar, const X11Target &target)
{
    // As the compositor lays it, over the background and under the text. The tiles were blended
    // over the background alone, so the bar's rows never come from them.
    m_bar = bar;
    m_background = m_bareBackground;
    if (bar) {
        QPainter painter(&m_background);
        painter.drawImage(0, 0, progressBarImage(*bar));
    }
    const int width = m_frameSize.width();
    const int height = m_frameSize.height();
    m_barRows = 0;
    for (int y = 0; y < height; ++y) {
        if (!isUniform(m_background, QRect(m_capWidth, y, width - 2 * m_capWidth, 1), m_base))
            m_barRows = y + 1;
    }
    const QRgb backdrop = m_scene->backdrop;
    m_ends[0].reset(QRect(0, 0, m_capWidth, height), m_background, m_outline, backdrop);
    m_ends[1].reset(QRect(width - m_capWidth, 0, m_capWidth, height), m_background, m_outline, backdrop);
    m_barMiddle.reset(QRect(m_capWidth, 0, width - 2 * m_capWidth, m_barRows), m_background, m_outline, backdrop);
    releaseBarPixmap();
    if (m_barRows == 0)
        return;
    const QImage &plain = m_barMiddle.plain();
    m_barPixmap = xcb_generate_id(m_connection);
    xcb_create_pixmap(m_connection, target.depth, m_barPixmap, target.window, static_cast<uint16_t>(plain.width()),
        static_cast<uint16_t>(plain.height()));
    x11::putImage(m_connection, m_barPixmap, target.gc, target.depth, plain, QPoint(0, 0));
}

const X11ScrollCopy::TilePixmap *X11ScrollCopy::tilePixmap(int index, const X11Target &target)
{
    const auto found = std::ranges::find(m_tilePixmaps, index, &TilePixmap::index);
    if (found != m_tilePixmaps.end()) {
        found->lastUse = ++m_uses;
        return &*found;
    }
    const QImage tile = m_run->tile(index);
    if (tile.isNull())
        return nullptr;
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
    m_tilePixmaps.push_back({index, pixmap, ++m_uses, inkTop(tile)});
    return &m_tilePixmaps.back();
}

} // namespace ribbex
