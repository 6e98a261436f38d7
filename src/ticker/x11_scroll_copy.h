#pragma once

// Scrolling on the X server: the run picture, already blended over the strip's plain background,
// lives in a server-side pixmap, and each tick copies the visible parts of its two copies into
// the window. Only the rounded ends, where the outline cuts the moving text, are blended here and
// uploaded. It takes only strips whose picture under the text is one colour: no dot grid, no
// progress bar, no football zone.

#include "ticker/strip_background.h"

#include <QImage>

#include <array>
#include <optional>

#include <xcb/xcb.h>

namespace ribbex {

class MenuBarScrollerView;
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
        qint64 runKey = 0;
        StripBackground background;
        QRgb backdrop = 0;
        bool operator==(const Scene &) const = default;
    };

    bool build(const X11Target &target);
    void releasePixmap();
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
    xcb_pixmap_t m_runPixmap = XCB_NONE;
    QImage m_run; // the renderer's run picture, shared
    QImage m_background;
    QImage m_outline;
    QImage m_caps;
    QImage m_plainCaps; // the ends without text
    uint32_t m_gapPixel = 0;
    int m_capWidth = 0;
    QSize m_frameSize;
};

} // namespace ribbex
