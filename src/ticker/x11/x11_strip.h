#pragma once

// The X11 side of the strip window: the hints a window manager reads, whether a compositor
// runs, and drawing the view's frames straight into the window on each tick.

#include "ticker/x11/x11_scroll_copy.h"

#include <QImage>
#include <QPointer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace ribbex {

class MenuBarScrollerView;

namespace x11 {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
// A reply of libxcb, which the caller frees.
template<typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name);
// The X screen the display name selects, whose root spans all of its monitors.
xcb_screen_t *defaultScreen(xcb_connection_t *connection);

// Qt's connection to the X server; null when Qt runs on any other platform.
xcb_connection_t *connection();

// Whether a compositing manager owns _NET_WM_CM_S<screen>, so an ARGB window blends.
bool compositorRunning(xcb_connection_t *connection);

// A dock on all workspaces, above other windows, out of the task bar and the pager. Set before
// the window is mapped: Qt merges its own _NET_WM_STATE atoms into these when it shows it.
void setStripHints(xcb_connection_t *connection, xcb_window_t window);

// Uploads a 32-bit picture laid out as the drawable's pixels, in requests the server accepts.
void putImage(xcb_connection_t *connection, xcb_drawable_t drawable, xcb_gcontext_t gc, uint8_t depth,
    const QImage &image, const QPoint &at);

} // namespace x11

// Draws each scroll tick straight into the view's X11 window, past Qt's repaint and backing-store
// flush. Where it can, it scrolls by copying on the server (X11ScrollCopy); otherwise it composes
// the frame with the view's own paintFrame and uploads it. Qt still paints on expose, resize and
// content changes. It refuses windows whose pixels are not 32-bit xRGB or premultiplied ARGB in
// host byte order, and the view then repaints through Qt.
class X11FramePresenter {
public:
    X11FramePresenter(xcb_connection_t *connection, const SettingsModel &model, MenuBarScrollerView &view);
    ~X11FramePresenter();
    X11FramePresenter(const X11FramePresenter &) = delete;
    X11FramePresenter &operator=(const X11FramePresenter &) = delete;

    // Draws the current frame; false when it could not, so the caller repaints through Qt.
    bool present();
    // Frames drawn so far, and how many of them by copying on the server.
    int presentedFrames() const { return m_presentedFrames; }
    int copiedFrames() const { return m_copiedFrames; }

private:
    void adoptWindow(xcb_window_t window);

    xcb_connection_t *m_connection;
    QPointer<MenuBarScrollerView> m_view;
    X11Target m_target;
    X11ScrollCopy m_scrollCopy;
    QImage m_frame;
    int m_presentedFrames = 0;
    int m_copiedFrames = 0;
};

} // namespace ribbex
