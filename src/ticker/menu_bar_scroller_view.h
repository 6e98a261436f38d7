#pragma once

// The strip the user sees: the ticker scrolling right to left at 30 ticks a second, painted by
// the renderer at the screen's device pixel ratio, answering left and right clicks.

#include "ticker/ticker_renderer.h"
#include "ticker/ticker_scroll.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

#include <functional>

class QPainter;

namespace ribbex {

class TickerClickHandler;

class MenuBarScrollerView final : public QWidget {
    Q_OBJECT

public:
    // The model and the click handler must outlive the view. The view starts 320 × 22 with its
    // scroll timer running.
    MenuBarScrollerView(const SettingsModel &model, TickerClickHandler &clickHandler, QWidget *parent = nullptr);

    // Recompose after a model change.
    void refreshContent();
    // Stops the scroll timer (false) or starts it when none runs (true).
    void setAnimationEnabled(bool enabled);
    bool isAnimationEnabled() const { return m_timer.isActive(); }
    // One scroll tick.
    void advance();

    // An opaque colour painted under the strip, for windows that cannot be translucent; an
    // invalid colour paints nothing.
    void setBackdrop(const QColor &color);
    const QColor &backdrop() const { return m_backdrop; }
    // Draws the current frame, backdrop included, as the view's paint event does.
    void paintFrame(QPainter &painter);
    // Called on every tick instead of a repaint; returning false asks for Qt's repaint.
    void setTickPresenter(std::function<bool()> presenter) { m_tickPresenter = std::move(presenter); }

    const TickerRenderer &renderer() const { return m_renderer; }

Q_SIGNALS:
    // A right click; the host shows the context menu there.
    void contextMenuRequested(const QPoint &globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void updateOpaquePainting();

    TickerRenderer m_renderer;
    TickerClickHandler &m_clickHandler;
    QTimer m_timer;
    TickSchedule m_schedule;
    QColor m_backdrop;
    std::function<bool()> m_tickPresenter;
};

} // namespace ribbex
