#include "ticker/x11/x11_work_area.h"

#include "ticker/x11/x11_strip.h"

#include <QCoreApplication>

#include <span>

namespace ribbex::x11 {

namespace {

struct Cookies {
    xcb_get_property_cookie_t partial;
    xcb_get_property_cookie_t whole;
};

xcb_get_property_cookie_t getCardinals(
    xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint32_t count)
{
    return xcb_get_property(connection, 0, window, property, type, 0, count);
}

// The 32-bit values of a property of the expected type, or nothing when it is absent.
template<typename T> std::optional<QList<T>> values(xcb_connection_t *connection, xcb_get_property_cookie_t cookie)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->format != 32 || reply->type == XCB_ATOM_NONE)
        return std::nullopt;
    const auto *data = static_cast<const T *>(xcb_get_property_value(reply.get()));
    const auto count = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / sizeof(T);
    const std::span<const T> items(data, count);
    return QList<T>(items.begin(), items.end());
}

} // namespace

QSize rootSize(xcb_connection_t *connection)
{
    const xcb_screen_t *screen = defaultScreen(connection);
    return screen ? QSize(screen->width_in_pixels, screen->height_in_pixels) : QSize();
}

std::optional<QList<Strut>> otherClientsStruts(xcb_connection_t *connection, xcb_window_t own)
{
    const xcb_screen_t *screen = defaultScreen(connection);
    if (!screen)
        return std::nullopt;
    const xcb_atom_t partial = internAtom(connection, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t whole = internAtom(connection, "_NET_WM_STRUT");
    const std::optional<QList<xcb_window_t>> clients = values<xcb_window_t>(connection,
        getCardinals(connection, screen->root, internAtom(connection, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 4096));
    if (!clients)
        return std::nullopt;
    // Every request goes out before the first reply is awaited: one round trip for all clients.
    QList<Cookies> cookies;
    for (const xcb_window_t client : *clients) {
        if (client != own)
            cookies.append({getCardinals(connection, client, partial, XCB_ATOM_CARDINAL, 12),
                getCardinals(connection, client, whole, XCB_ATOM_CARDINAL, 4)});
    }
    const QSize root(screen->width_in_pixels, screen->height_in_pixels);
    QList<Strut> struts;
    for (const Cookies &cookie : cookies) {
        const auto partialValues = values<quint32>(connection, cookie.partial);
        const auto wholeValues = values<quint32>(connection, cookie.whole);
        // Clients that set the partial property keep the older one only for older window managers.
        const Strut strut
            = Strut::fromCardinals(partialValues ? *partialValues : wholeValues.value_or(QList<quint32> {}), root);
        if (!strut.isEmpty())
            struts.append(strut);
    }
    return struts;
}

void reserve(xcb_connection_t *connection, xcb_window_t window, const Strut &strut)
{
    const xcb_atom_t partial = internAtom(connection, "_NET_WM_STRUT_PARTIAL");
    const xcb_atom_t whole = internAtom(connection, "_NET_WM_STRUT");
    if (strut.isEmpty()) {
        xcb_delete_property(connection, window, partial);
        xcb_delete_property(connection, window, whole);
    } else {
        const QList<quint32> cardinals = strut.toCardinals();
        xcb_change_property(
            connection, XCB_PROP_MODE_REPLACE, window, partial, XCB_ATOM_CARDINAL, 32, 12, cardinals.constData());
        xcb_change_property(
            connection, XCB_PROP_MODE_REPLACE, window, whole, XCB_ATOM_CARDINAL, 32, 4, cardinals.constData());
    }
    xcb_flush(connection);
}

DesktopChangeWatcher::DesktopChangeWatcher(xcb_connection_t *connection, std::function<void()> changed)
    : m_root(defaultScreen(connection) ? defaultScreen(connection)->root : XCB_NONE)
    , m_workArea(internAtom(connection, "_NET_WORKAREA"))
    , m_clientList(internAtom(connection, "_NET_CLIENT_LIST"))
    , m_changed(std::move(changed))
{
    // Qt already listens to the root's properties for its own work area; asking again is harmless.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (m_root != XCB_NONE) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, m_root), nullptr));
        const uint32_t events = (attributes ? attributes->your_event_mask : 0) | mask;
        xcb_change_window_attributes(connection, m_root, XCB_CW_EVENT_MASK, &events);
        xcb_flush(connection);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DesktopChangeWatcher::~DesktopChangeWatcher()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

bool DesktopChangeWatcher::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    if (notify->window == m_root && (notify->atom == m_workArea || notify->atom == m_clientList))
        m_changed();
    return false;
}

} // namespace ribbex::x11
