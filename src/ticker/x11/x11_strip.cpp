#include "ticker/x11/x11_strip.h"

#include "ticker/menu_bar_scroller_view.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSysInfo>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace ribbex {

namespace {

using x11::internAtom;
using x11::Reply;

int defaultScreenNumber()
{
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        return 0;
    std::free(host);
    return screen;
}

const xcb_visualtype_t *findVisual(xcb_connection_t *connection, xcb_visualid_t id)
{
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection)); roots.rem; xcb_screen_next(&roots)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(roots.data); depths.rem; xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == id)
                    return visuals.data;
            }
        }
    }
    return nullptr;
}

// Whether a z-pixmap of this depth is laid out exactly like a 32-bit QImage on this host.
bool hasQImageLayout(xcb_connection_t *connection, uint8_t depth)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int hostOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? int {XCB_IMAGE_ORDER_LSB_FIRST}
                                                                        : int {XCB_IMAGE_ORDER_MSB_FIRST};
    if (setup->image_byte_order != hostOrder)
        return false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    }
    return false;
}

} // namespace

namespace x11 {

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t {XCB_ATOM_NONE};
}

xcb_screen_t *defaultScreen(xcb_connection_t *connection)
{
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int skip = defaultScreenNumber(); skip > 0 && roots.rem > 1; --skip)
        xcb_screen_next(&roots);
    return roots.data;
}

xcb_connection_t *connection()
{
    const auto *native = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

bool compositorRunning(xcb_connection_t *connection)
{
    const xcb_atom_t selection = internAtom(connection, "_NET_WM_CM_S" + QByteArray::number(defaultScreenNumber()));
    if (selection == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
    return reply && reply->owner != XCB_NONE;
}

void setStripHints(xcb_connection_t *connection, xcb_window_t window)
{
    // Replaces the utility type Qt derives from Qt::Tool; Qt writes the type only when the
    // native window is created or its flags change.
    const xcb_atom_t dock = internAtom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, "_NET_WM_WINDOW_TYPE"),
        XCB_ATOM_ATOM, 32, 1, &dock);
    const std::array<xcb_atom_t, 4> states {internAtom(connection, "_NET_WM_STATE_ABOVE"),
        internAtom(connection, "_NET_WM_STATE_STICKY"), internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
        internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, "_NET_WM_STATE"),
        XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()), states.data());
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, "_NET_WM_DESKTOP"),
        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(connection);
}

void putImage(xcb_connection_t *connection, xcb_drawable_t drawable, xcb_gcontext_t gc, uint8_t depth,
    const QImage &image, const QPoint &at)
{
    // Without BIG-REQUESTS a request holds 256 kB, less than a long run picture.
    const qsizetype requestBytes = static_cast<qsizetype>(xcb_get_maximum_request_length(connection)) * 4 - 64;
    const int rowsPerRequest = std::max(1, static_cast<int>(requestBytes / image.bytesPerLine()));
    for (int top = 0; top < image.height(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, image.height() - top);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, gc, static_cast<uint16_t>(image.width()),
            static_cast<uint16_t>(rows), static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y() + top), 0, depth,
            static_cast<uint32_t>(image.bytesPerLine() * rows), image.constScanLine(top));
    }
}

} // namespace x11

X11FramePresenter::X11FramePresenter(
    xcb_connection_t *connection, const SettingsModel &model, MenuBarScrollerView &view)
    : m_connection(connection)
    , m_view(&view)
    , m_scrollCopy(connection, model)
{
}

X11FramePresenter::~X11FramePresenter()
{
    if (m_target.gc != XCB_NONE)
        xcb_free_gc(m_connection, m_target.gc);
}

void X11FramePresenter::adoptWindow(xcb_window_t window)
{
    if (m_target.gc != XCB_NONE)
        xcb_free_gc(m_connection, m_target.gc);
    m_target = {};
    m_target.window = window;
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    if (!geometry || !attributes)
        return;
    const xcb_visualtype_t *visual = findVisual(m_connection, attributes->visual);
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR || visual->red_mask != 0xFF0000
        || visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF || !hasQImageLayout(m_connection, geometry->depth))
        return;
    // An ARGB window's pixels are premultiplied, as compositors expect.
    if (geometry->depth == 32)
        m_target.format = QImage::Format_ARGB32_Premultiplied;
    else if (geometry->depth == 24)
        m_target.format = QImage::Format_RGB32;
    else
        return;
    m_target.depth = geometry->depth;
    m_target.gc = xcb_generate_id(m_connection);
    // Copies never need exposure events; each would wake Qt's event reader for nothing.
    const uint32_t noExposures = 0;
    xcb_create_gc(m_connection, m_target.gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

bool X11FramePresenter::present()
{
    if (!m_view || !m_view->isVisible())
        return false;
    const QWidget *window = m_view->window();
    const auto windowId = static_cast<xcb_window_t>(window->internalWinId());
    if (windowId == XCB_NONE)
        return false;
    if (windowId != m_target.window)
        adoptWindow(windowId);
    if (m_target.format == QImage::Format_Invalid)
        return false;
    const double ratio = m_view->devicePixelRatioF();
    m_target.origin = m_view->mapTo(window, QPoint(0, 0)) * ratio;

    ++m_presentedFrames;
    if (m_scrollCopy.present(*m_view, m_target)) {
        ++m_copiedFrames;
        return true;
    }
    const QSize size(static_cast<int>(std::lround(m_view->width() * ratio)),
        static_cast<int>(std::lround(m_view->height() * ratio)));
    if (size.isEmpty())
        return true;
    if (m_frame.size() != size || m_frame.format() != m_target.format)
        m_frame = QImage(size, m_target.format);
    m_frame.setDevicePixelRatio(ratio);
    m_frame.fill(Qt::transparent);
    {
        QPainter painter(&m_frame);
        m_view->paintFrame(painter);
    }
    x11::putImage(m_connection, m_target.window, m_target.gc, m_target.depth, m_frame, m_target.origin);
    xcb_flush(m_connection);
    return true;
}

} // namespace ribbex
