#include "ticker/menu_bar_scroller_view.h"

#include "ticker/strip_size.h"

#include "ticker/ticker_clicks.h"
#include "ticker/ticker_scroll.h"

#include <QMouseEvent>
#include <QPainter>

namespace ribbex {

MenuBarScrollerView::MenuBarScrollerView(const SettingsModel &model, TickerClickHandler &clickHandler, QWidget *parent)
    : QWidget(parent)
    , m_renderer(model)
    , m_clickHandler(clickHandler)
{
    resize(320, stripHeight);
    m_renderer.setViewSize(size());
    m_renderer.setDevicePixelRatio(devicePixelRatioF());
    m_timer.setTimerType(Qt::PreciseTimer);
    // Restarted on every tick with the wait to the next tick's ideal time, 33 or 34 ms.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.start(m_schedule.next(TickSchedule::Clock::now()));
        advance();
    });
    refreshContent();
    setAnimationEnabled(true);
}

void MenuBarScrollerView::refreshContent()
{
    m_renderer.refreshContent();
    updateOpaquePainting();
    update();
}

void MenuBarScrollerView::setAnimationEnabled(bool enabled)
{
    if (!enabled)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start(m_schedule.restart(TickSchedule::Clock::now()));
}

void MenuBarScrollerView::advance()
{
    m_renderer.advance();
    if (!m_tickPresenter || !m_tickPresenter())
        update();
}

void MenuBarScrollerView::setBackdrop(const QColor &color)
{
    const QColor opaque = color.isValid() ? QColor(color.rgb()) : QColor();
    if (opaque == m_backdrop)
        return;
    m_backdrop = opaque;
    updateOpaquePainting();
    update();
}

void MenuBarScrollerView::paintFrame(QPainter &painter)
{
    if (m_backdrop.isValid())
        painter.fillRect(QRectF(QPointF(0, 0), m_renderer.viewSize()), m_backdrop);
    // The renderer follows the painter's device, so a move to a screen of another scale
    // redraws the run picture once.
    m_renderer.paint(painter);
}

void MenuBarScrollerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintFrame(painter);
}

void MenuBarScrollerView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_renderer.setViewSize(size());
}

void MenuBarScrollerView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        Q_EMIT contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (const std::optional<ClickableRange> range = m_renderer.rangeAt(event->position()))
        handleClick(*range, m_clickHandler);
}

void MenuBarScrollerView::updateOpaquePainting()
{
    setAttribute(Qt::WA_OpaquePaintEvent, m_backdrop.isValid() || m_renderer.isOpaque());
}

} // namespace ribbex
