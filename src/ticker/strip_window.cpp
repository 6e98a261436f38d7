#include "ticker/strip_window.h"

#include "model/settings_model.h"
#include "platform/preferences_store.h"
#include "settings/colors.h"
#include "ticker/strip_position.h"
#include "ticker/x11/x11_strip.h"

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
    m_window->setFocusPolicy(Qt::NoFocus);
    // Without a compositor an ARGB window shows black where it is transparent.
    m_translucent = m_x11 ? x11::compositorRunning(m_x11) : QGuiApplication::platformName() == u"wayland";
    m_window->setAttribute(Qt::WA_TranslucentBackground, m_translucent);

    m_view = new MenuBarScrollerView(model, clicks, m_window.get());
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setToolTip(QStringLiteral("ribbex \u00B7 right-click for settings"));
    m_view->installEventFilter(this);
    connect(m_view, &MenuBarScrollerView::contextMenuRequested, this, &MenuBarScrollerController::showContextMenu);

    applySettings();
    connect(&model, &SettingsModel::changed, this, &MenuBarScrollerController::scheduleModelUpdate);
    const auto followScreen = [this](QScreen *screen) {
        if (screen)
            connect(
                screen, &QScreen::geometryChanged, this, &MenuBarScrollerController::placeWindow, Qt::UniqueConnection);
        placeWindow();
    };
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, followScreen);
    followScreen(QGuiApplication::primaryScreen());

    if (m_x11) {
        x11::setStripHints(m_x11, static_cast<xcb_window_t>(m_window->winId()));
        m_window->windowHandle()->installEventFilter(this);
        m_presenter = std::make_unique<X11FramePresenter>(m_x11, m_model, *m_view);
        setX11FastPathEnabled(true);
    }
    m_window->show();
}

MenuBarScrollerController::~MenuBarScrollerController()
{
    delete m_menu;
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

void MenuBarScrollerController::placeWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !m_view)
        return;
    const QRect area = screen->geometry();
    const int width = stripWidth(m_model.settings());
    // A change arriving mid-drag leaves the strip under the pointer.
    const std::optional<int> left = m_drag ? std::optional(m_window->geometry().left()) : m_storedX;
    m_window->setGeometry(stripLeft(left, area, width), area.top(), width, stripHeight);
    m_view->setGeometry(0, 0, width, stripHeight);
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
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !m_drag)
        return;
    const QRect area = screen->geometry();
    const int wanted = m_drag->startLeft + static_cast<int>(std::lround(globalX - m_drag->pressX));
    m_window->move(stripLeft(wanted, area, m_window->width()), area.top());
}

void MenuBarScrollerController::finishDrag()
{
    m_drag.reset();
    m_storedX = m_window->geometry().left();
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
