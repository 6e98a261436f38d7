#pragma once

// Scrolling on the X server: the run picture's tiles, already blended over the strip's plain
// background, live in server-side pixmaps, one a tile, uploaded when the tile first comes into
// view; each tick copies the visible parts of the run's two copies into the window. The progress
// bar's rows come from a pixmap of their own, laid when the bar changes, and only the rounded
// ends, where the outline cuts the moving text, and the bar's rows the text reaches, are
// blended here and uploaded. It takes only strips whose picture under the text is one colour
// below the bar: no dot grid, no football zone.

#include "ticker/progress_bar.h"
#include "ticker/strip_background.h"
#include "ticker/x11/x11_blended_part.h"

#include <QImage>

#include <array>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

namespace ribbex {

class MenuBarScrollerView;
class RunTiles;
class SettingsModel;

// Where a frame goes: the window, a GC without graphics exposures, and its pixel layout.
struct X11Target {
    xcb_window_t window = XCB_NONE;
    xcb_gcontext_t gc = XCB_NONE;
    uint8_t depth = 0;
    QImage::Format format = QImage::Format_Invalid;
    QPoint origin; // the view's corner in the window, in device pixels
};

class X11ScrollCopy {
public:
    X11ScrollCopy(xcb_connection_t *connection, const SettingsModel &model);
    ~X11ScrollCopy();
    X11ScrollCopy(const X11ScrollCopy &) = delete;
    X11ScrollCopy &operator=(const X11ScrollCopy &) = delete;

    // Draws the view's current frame; false when this strip cannot be drawn by copying.
    bool present(const MenuBarScrollerView &view, const X11Target &target);

private:
    struct Scene {
        xcb_window_t window = XCB_NONE;
        QImage::Format format = QImage::Format_Invalid;
        quint64 runKey = 0;
        StripBackground background;
        QRgb backdrop = 0;
        bool operator==(const Scene &) const = default;
    };

    struct TilePixmap {
        int index = 0;
        xcb_pixmap_t pixmap = XCB_NONE;
        quint64 lastUse = 0;
        int inkTop = 0; // the first row the tile's text or glow touches
    };

    bool build(const X11Target &target, const std::optional<ProgressBar> &bar);
    void layBar(const std::optional<ProgressBar> &bar, const X11Target &target);
    void releasePixmaps();
    void releaseBarPixmap();
    // The tile's pixmap, uploaded now unless kept; null when the tile has no picture.
    const TilePixmap *tilePixmap(int index, const X11Target &target);
    // Copies the tiles below the bar's rows; the first row their text touches.
    int copyMiddle(const std::array<int, 2> &runLefts, const X11Target &target);
    void presentBarRows(const std::array<int, 2> &runLefts, int inkTop, const X11Target &target);
    void putBlended(X11BlendedPart &part, const std::array<int, 2> &runLefts, int fromRow, const X11Target &target);

    xcb_connection_t *m_connection;
    const SettingsModel &m_model;
    std::optional<Scene> m_scene;
    bool m_usable = false;
    const RunTiles *m_run = nullptr; // the renderer's
    std::vector<TilePixmap> m_tilePixmaps;
    quint64 m_uses = 0;
    QRgb m_base = 0; // the background under the text, below the bar
    QImage m_bareBackground;
    QImage m_background; // with the bar
    QImage m_outline;
    std::optional<ProgressBar> m_bar;
    int m_barRows = 0; // the top rows where the middle differs from m_base
    std::array<X11BlendedPart, 2> m_ends;
    X11BlendedPart m_barMiddle; // the bar's rows between the ends
    xcb_pixmap_t m_barPixmap = XCB_NONE; // m_barMiddle without text
    uint32_t m_gapPixel = 0;
    int m_capWidth = 0;
    QSize m_frameSize;
};

} // namespace ribbex
