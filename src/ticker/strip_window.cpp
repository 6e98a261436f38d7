#include "ticker/strip_window.h"

#include "model/settings_model.h"
#include "platform/preferences_store.h"
#include "settings/colors.h"
#include "ticker/strip_position.h"
#include "ticker/x11/x11_strip.h"
#include "ticker/x11/x11_work_area.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <cmath>

namespace ribbex {

namespace {

int stripWidth(const RibbexSettings &settings)
{
    return std::max(1, static_cast<int>(std::lround(settings.width)));
}

bool isCtrlLeftPress(const QEvent *event)
{
    const auto *mouse = static_cast<const QMouseEvent *>(event);
    return mouse->button() == Qt::LeftButton && mouse->modifiers().testFlag(Qt::ControlModifier);
}

std::optional<int> readStoredX(const PreferencesStore &store)
{
    const auto bytes = store.read(stripPositionKey);
    return bytes && *bytes ? decodeStripX(**bytes) : std::nullopt;
}

// Qt scales a screen about its top-left corner, which its logical and device geometries share.
QRect toDevicePixels(const QRect &logical, const QScreen &screen)
{
    const QPointF origin = screen.geometry().topLeft();
    const double ratio = screen.devicePixelRatio();
    const QPointF topLeft = origin + (QPointF(logical.topLeft()) - origin) * ratio;
    return QRect(topLeft.toPoint(), (QSizeF(logical.size()) * ratio).toSize());
}

// The largest logical rectangle inside a rectangle of device pixels.
QRect toLogicalPixels(const QRect &device, const QScreen &screen)
{
    const QPoint origin = screen.geometry().topLeft();
    const double ratio = screen.devicePixelRatio();
    const auto inward = [ratio](int offset, bool first) {
        const double logical = offset / ratio;
        return static_cast<int>(first ? std::ceil(logical) : std::floor(logical));
    };
    const int left = origin.x() + inward(device.left() - origin.x(), true);
    const int top = origin.y() + inward(device.top() - origin.y(), true);
    const int right = origin.x() + inward(device.left() + device.width() - origin.x(), false);
    const int bottom = origin.y() + inward(device.top() + device.height() - origin.y(), false);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

} // namespace

MenuBarScrollerController::MenuBarScrollerController(SettingsModel &model, PreferencesStore &positionStore,
    TickerClickHandler &clicks, std::function<void()> openSettings, std::function<void()> quit, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_positionStore(positionStore)
    , m_openSettings(std::move(openSettings))
    , m_quit(std::move(quit))
    , m_x11(x11::connection())
    , m_storedX(readStoredX(positionStore))
{
    // Tool keeps it out of the task bar where there is no X11 dock type.
    m_window = std::make_unique<QWidget>(
        nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    m_window->setWindowTitle(QStringLiteral("ribbex"));
    m_window->setAttribute(Qt::WA_X11DoNotAcceptFocus);
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt shows tool tips only over the active window, which the strip never becomes.
    m_window->setAttribute(Qt::WA_AlwaysShowToolTips);
    m_window->setFocusPolicy(Qt::NoFocus);
    // Without a compositor an ARGB window shows black where it is transparent.
    m_translucent = m_x11 ? x11::compositorRunning(m_x11) : QGuiApplication::platformName() == u"wayland";
    m_window->setAttribute(Qt::WA_TranslucentBackground, m_translucent);

    m_view = new MenuBarScrollerView(model, clicks, m_window.get());
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setToolTip(QStringLiteral("ribbex \u00B7 right-click for settings"));
    m_view->installEventFilter(this);
    connect(m_view, &MenuBarScrollerView::contextMenuRequested, this, &MenuBarScrollerController::showContextMenu);

    if (m_x11)
        m_desktopWatcher = std::make_unique<x11::DesktopChangeWatcher>(m_x11, [this] { schedulePlacement(); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &MenuBarScrollerController::schedulePlacement);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &MenuBarScrollerController::followScreen);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &MenuBarScrollerController::schedulePlacement);
    for (QScreen *screen : QGuiApplication::screens())
        followScreen(screen);
    connect(&model, &SettingsModel::changed, this, &MenuBarScrollerController::scheduleModelUpdate);
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        m_area = workArea(*primary);
    applySettings();

    if (m_x11) {
        x11::setStripHints(m_x11, static_cast<xcb_window_t>(m_window->winId()));
        reserveRow();
        m_window->windowHandle()->installEventFilter(this);
        m_presenter = std::make_unique<X11FramePresenter>(m_x11, m_model, *m_view);
        setX11FastPathEnabled(true);
    }
    m_window->show();
}

MenuBarScrollerController::~MenuBarScrollerController()
{
    delete m_menu;
    m_desktopWatcher.reset();
    if (m_x11 && m_window->internalWinId())
        x11::reserve(m_x11, static_cast<xcb_window_t>(m_window->internalWinId()), {});
    // Gone before the members the filters and the presenter read.
    if (m_view) {
        m_view->setTickPresenter({});
        m_view->removeEventFilter(this);
    }
    if (QWindow *handle = m_window->windowHandle())
        handle->removeEventFilter(this);
    m_window.reset();
}

void MenuBarScrollerController::setX11FastPathEnabled(bool enabled)
{
    m_fastPathEnabled = enabled;
    if (!m_view)
        return;
    if (enabled && m_presenter)
        m_view->setTickPresenter([presenter = m_presenter.get()] { return presenter->present(); });
    else
        m_view->setTickPresenter({});
}

int MenuBarScrollerController::fastPathFrames() const
{
    return m_presenter ? m_presenter->presentedFrames() : 0;
}

int MenuBarScrollerController::copiedFrames() const
{
    return m_presenter ? m_presenter->copiedFrames() : 0;
}

void MenuBarScrollerController::scheduleModelUpdate()
{
    // The model announces before observers have seen the whole change; one queued update per
    // turn of the event loop covers every announcement made in it.
    if (m_updateQueued)
        return;
    m_updateQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this, view = m_view] {
            m_updateQueued = false;
            if (view)
                view->refreshContent();
            applySettings();
        },
        Qt::QueuedConnection);
}

void MenuBarScrollerController::applySettings()
{
    const RibbexSettings &settings = m_model.settings();
    if (m_view && !m_translucent)
        m_view->setBackdrop(hex(settings.backgroundColor));
    placeWindow();
}

void MenuBarScrollerController::followScreen(QScreen *screen)
{
    // Any screen may become the primary one, so each is followed from the start.
    for (const auto change : {&QScreen::geometryChanged, &QScreen::availableGeometryChanged})
        connect(screen, change, this, &MenuBarScrollerController::schedulePlacement);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, &MenuBarScrollerController::schedulePlacement);
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, &MenuBarScrollerController::schedulePlacement);
    schedulePlacement();
}

void MenuBarScrollerController::schedulePlacement()
{
    // Screens and panels change in bursts; the strip moves once, when the burst is over.
    if (m_placementQueued)
        return;
    m_placementQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_placementQueued = false;
            if (const QScreen *primary = QGuiApplication::primaryScreen())
                m_area = workArea(*primary);
            placeWindow();
        },
        Qt::QueuedConnection);
}

QRect MenuBarScrollerController::workArea(const QScreen &screen) const
{
    // The window manager's own work area already leaves out the strip's row, so the strip works
    // out what the other panels reserve; the toolkit's work area serves without a window manager.
    if (m_x11) {
        const auto own = static_cast<xcb_window_t>(m_window->internalWinId());
        if (const std::optional<QList<Strut>> struts = x11::otherClientsStruts(m_x11, own)) {
            const QRect device = areaClearOf(toDevicePixels(screen.geometry(), screen), x11::rootSize(m_x11), *struts);
            return toLogicalPixels(device, screen);
        }
    }
    return screen.availableGeometry();
}

void MenuBarScrollerController::placeWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !m_view || m_area.isEmpty())
        return;
    const int width = stripWidth(m_model.settings());
    // A change arriving mid-drag leaves the strip under the pointer.
    const std::optional<int> left = m_drag ? std::optional(m_window->geometry().left()) : m_storedX;
    m_window->setGeometry(stripLeft(left, m_area, width), m_area.top(), width, stripHeight);
    m_view->setGeometry(0, 0, width, stripHeight);
    if (screen->devicePixelRatio() != m_devicePixelRatio) {
        // Drawn afresh at the new scale, not stretched from the old pictures.
        m_devicePixelRatio = screen->devicePixelRatio();
        m_view->update();
    }
    if (!m_drag)
        reserveRow();
}

void MenuBarScrollerController::reserveRow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const auto window = static_cast<xcb_window_t>(m_window->internalWinId());
    if (!m_x11 || !screen || window == XCB_NONE)
        return;
    const Strut strut = topStrutFor(toDevicePixels(m_window->geometry(), *screen));
    if (strut == m_reserved)
        return;
    m_reserved = strut;
    x11::reserve(m_x11, window, strut);
}

bool MenuBarScrollerController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && m_view && watched == m_window->windowHandle()) {
        // Qt's backing store still holds the last frame Qt painted, older than the ticks drawn
        // since; marked dirty now, the view is painted afresh before Qt flushes the exposed part.
        if (isX11FastPathEnabled())
            m_view->update();
        return false;
    }
    if (watched != m_view)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Taken before the view sees it, so the drag never opens a link.
        if (!isCtrlLeftPress(event))
            return false;
        m_drag = Drag {static_cast<QMouseEvent *>(event)->globalPosition().x(), m_window->geometry().left()};
        return true;
    case QEvent::MouseMove:
        if (!m_drag)
            return false;
        dragTo(static_cast<QMouseEvent *>(event)->globalPosition().x());
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_drag || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        dragTo(static_cast<QMouseEvent *>(event)->globalPosition().x());
        finishDrag();
        return true;
    default:
        return false;
    }
}

void MenuBarScrollerController::dragTo(double globalX)
{
    if (!m_drag || m_area.isEmpty())
        return;
    const int wanted = m_drag->startLeft + static_cast<int>(std::lround(globalX - m_drag->pressX));
    m_window->move(stripLeft(wanted, m_area, m_window->width()), m_area.top());
}

void MenuBarScrollerController::finishDrag()
{
    m_drag.reset();
    m_storedX = m_window->geometry().left();
    reserveRow();
    // A failed write leaves the strip where it is; the next start uses the last stored place.
    (void)m_positionStore.write(stripPositionKey, encodeStripX(*m_storedX));
}

void MenuBarScrollerController::showContextMenu(const QPoint &globalPosition)
{
    delete m_menu;
    auto *menu = new QMenu(m_window.get());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *settings = menu->addAction(QStringLiteral("Settings\u2026"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settings, &QAction::triggered, this, [this] {
        if (m_openSettings)
            m_openSettings();
    });
    menu->addSeparator();
    QAction *quit = menu->addAction(QStringLiteral("Quit ribbex"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, [this] {
        if (m_quit)
            m_quit();
    });
    m_menu = menu;
    menu->popup(globalPosition);
}

} // namespace ribbex
