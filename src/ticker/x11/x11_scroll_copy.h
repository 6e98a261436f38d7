#pragma once

// Scrolling on the X server: the run picture's tiles, already blended over the strip's plain
// background, live in server-side pixmaps, one a tile, uploaded when the tile first comes into
// view; each tick copies the visible parts of the run's two copies into the window. Only the
// rounded ends, where the outline cuts the moving text, are blended here and uploaded. It takes
// only strips whose picture under the text is one colour: no dot grid, no progress bar, no
// football zone.

#include "ticker/strip_background.h"

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
    };

    bool build(const X11Target &target);
    void releasePixmaps();
    // The tile's pixmap, uploaded now unless kept; XCB_NONE when the tile has no picture.
    xcb_pixmap_t tilePixmap(int index, const X11Target &target);
    void presentCaps(const std::array<int, 2> &runLefts, const X11Target &target);
    void buildPlainCaps();
    void blendCap(int left, int top, const std::array<int, 2> &runLefts);
    QRgb finishCapPixel(QRgb content, QRgb outline) const;

    // Half the height of a strip at the largest scale, and a pixel.
    static constexpr int maximumCapWidth = 100;

    xcb_connection_t *m_connection;
    const SettingsModel &m_model;
    std::optional<Scene> m_scene;
    bool m_usable = false;
    const RunTiles *m_run = nullptr; // the renderer's
    std::vector<TilePixmap> m_tilePixmaps;
    quint64 m_uses = 0;
    QRgb m_base = 0; // the background under the text
    QImage m_background;
    QImage m_outline;
    QImage m_caps;
    QImage m_plainCaps; // the ends without text
    uint32_t m_gapPixel = 0;
    int m_capWidth = 0;
    QSize m_frameSize;
};

} // namespace ribbex
