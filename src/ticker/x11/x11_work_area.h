#pragma once

// The desktop's panels as the X server shows them: the space other windows reserve along the
// screen's edges, the strip's own reservation, and word when either may have changed.

#include "ticker/work_area.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <xcb/xcb.h>

#include <functional>
#include <optional>

namespace ribbex::x11 {

QSize rootSize(xcb_connection_t *connection);

// What the window manager's clients other than this window reserve; nothing when no window
// manager lists its clients, so the caller falls back on the toolkit's work area.
std::optional<QList<Strut>> otherClientsStruts(xcb_connection_t *connection, xcb_window_t own);

// Sets both the partial and the older whole-edge property, or removes them for an empty strut.
void reserve(xcb_connection_t *connection, xcb_window_t window, const Strut &strut);

// Calls back when the window manager republishes its work area or its client list: a panel
// came, went or changed what it reserves, even when the work area it publishes stays the same.
class DesktopChangeWatcher final : public QAbstractNativeEventFilter {
public:
    DesktopChangeWatcher(xcb_connection_t *connection, std::function<void()> changed);
    ~DesktopChangeWatcher() override;
    DesktopChangeWatcher(const DesktopChangeWatcher &) = delete;
    DesktopChangeWatcher &operator=(const DesktopChangeWatcher &) = delete;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    xcb_window_t m_root;
    xcb_atom_t m_workArea;
    xcb_atom_t m_clientList;
    std::function<void()> m_changed;
};

} // namespace ribbex::x11
