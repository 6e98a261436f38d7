#pragma once

// The strip on the desktop: a frameless window along the top of the primary screen's work area,
// below the desktop's top panels, that reserves its row as a panel does, hosts the ticker view,
// follows the model and the desktop, moves with Ctrl+drag and offers the context menu.

#include "ticker/menu_bar_scroller_view.h"
#include "ticker/strip_size.h"
#include "ticker/work_area.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

struct xcb_connection_t;
class QScreen;

namespace ribbex {

class PreferencesStore;
class SettingsModel;
class TickerClickHandler;
class X11FramePresenter;

namespace x11 {
class DesktopChangeWatcher;
}

class MenuBarScrollerController final : public QObject {
    Q_OBJECT

public:
    // Shows the strip at once. The model, the store and the click handler must outlive the
    // controller; the store keeps the strip's x position.
    MenuBarScrollerController(SettingsModel &model, PreferencesStore &positionStore, TickerClickHandler &clicks,
        std::function<void()> openSettings, std::function<void()> quit, QObject *parent = nullptr);
    ~MenuBarScrollerController() override;

    MenuBarScrollerView &view() { return *m_view; }
    QWidget &window() { return *m_window; }

    // Builds the menu afresh and pops it up there.
    void showContextMenu(const QPoint &globalPosition);
    // The menu while it is open.
    QMenu *contextMenu() const { return m_menu; }

    // Whether ticks draw straight into the X11 window; off, every tick repaints through Qt.
    void setX11FastPathEnabled(bool enabled);
    bool isX11FastPathEnabled() const { return m_fastPathEnabled && m_presenter; }
    // Ticks drawn by the X11 fast path so far, and how many of them by copying on the server.
    int fastPathFrames() const;
    int copiedFrames() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Drag {
        double pressX = 0;
        int startLeft = 0;
    };

    void scheduleModelUpdate();
    void applySettings();
    void followScreen(QScreen *screen);
    void schedulePlacement();
    QRect workArea(const QScreen &screen) const;
    void placeWindow();
    void reserveRow();
    void dragTo(double globalX);
    void finishDrag();

    SettingsModel &m_model;
    PreferencesStore &m_positionStore;
    std::function<void()> m_openSettings;
    std::function<void()> m_quit;
    xcb_connection_t *m_x11 = nullptr;
    std::unique_ptr<QWidget> m_window;
    QPointer<MenuBarScrollerView> m_view;
    std::unique_ptr<X11FramePresenter> m_presenter;
    std::unique_ptr<x11::DesktopChangeWatcher> m_desktopWatcher;
    // The primary screen's work area in logical pixels, and the ratio it was drawn at.
    QRect m_area;
    double m_devicePixelRatio = 0;
    Strut m_reserved;
    bool m_fastPathEnabled = true;
    bool m_translucent = false;
    bool m_updateQueued = false;
    bool m_placementQueued = false;
    std::optional<int> m_storedX;
    std::optional<Drag> m_drag;
    QPointer<QMenu> m_menu;
};

} // namespace ribbex
