#pragma once

// An 8-bit coverage mask that filled circles are stamped into from precomputed sub-pixel
// sprites. A long Dot Matrix line has some fifteen thousand dots; QPainter takes milliseconds
// to fill them, stamping a fraction of one.

#include <QImage>
#include <QPointF>

#include <deque>
#include <vector>

namespace ribbex {

// The sprites of circles by diameter in device pixels, one for every sub-pixel phase; worth
// keeping between pictures at the same scale.
class DotSprites {
public:
    struct Set {
        double diameter = 0;
        int side = 0; // each sprite is side × side bytes
        std::vector<quint8> coverage;
    };

    const Set &forDiameter(double diameter);

private:
    std::deque<Set> m_sets;
};

class DotMask {
public:
    // A clear mask of the given size in device pixels; dots are placed in points, and the mask's
    // first column is the device column deviceLeft of that space.
    DotMask(QSize devicePixels, double devicePixelRatio, DotSprites &sprites, int deviceLeft = 0);

    void addDot(QPointF topLeft, double diameter);

    // Format_Alpha8, one byte of coverage per device pixel.
    const QImage &coverage() const { return m_mask; }

private:
    QImage m_mask;
    double m_ratio;
    int m_deviceLeft;
    DotSprites &m_sprites;
};

} // namespace ribbex
