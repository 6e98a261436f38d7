#pragma once

// A stretch of the strip's frame that is blended here on each tick rather than copied on the
// X server: a rounded end, which cuts the moving text, or the bar's rows the text's glow
// reaches. It takes the compositor's steps with QPainter's rounding, so it matches Qt to the bit.

#include <QImage>

#include <array>

namespace ribbex {

class RunTiles;

class X11BlendedPart {
public:
    // The stretch at rect of a frame whose picture under the text is background, clipped to
    // outline and shown over backdrop (0 on an ARGB window); both pictures at a ratio of 1.
    void reset(const QRect &rect, const QImage &background, const QImage &outline, QRgb backdrop);

    const QRect &rect() const { return m_rect; }
    // The stretch without text, in the window's pixels.
    const QImage &plain() const { return m_plain; }
    // Its rows from fromRow down, with the run's two copies, at device columns runLefts, over
    // them; the picture shares its pixels with this part until the next call.
    QImage blend(const RunTiles &run, const std::array<int, 2> &runLefts, int fromRow);

private:
    QRect m_rect;
    QImage m_background;
    QImage m_outline;
    QRgb m_backdrop = 0;
    QImage m_plain;
    QImage m_frame;
};

} // namespace ribbex
