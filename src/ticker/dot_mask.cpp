#include "ticker/dot_mask.h"

#include <algorithm>
#include <cmath>

namespace ribbex {

namespace {

// Positions snap to 1/16 of a device pixel; coverage is sampled 8 × 8 times per pixel.
constexpr int phases = 16;
constexpr int samples = 8;

quint8 pixelCoverage(double left, double top, double centreX, double centreY, double radius)
{
    int inside = 0;
    for (int sy = 0; sy < samples; ++sy) {
        const double dy = top + (sy + 0.5) / samples - centreY;
        for (int sx = 0; sx < samples; ++sx) {
            const double dx = left + (sx + 0.5) / samples - centreX;
            inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
        }
    }
    return static_cast<quint8>((inside * 255 + samples * samples / 2) / (samples * samples));
}

// The whole pixel and the phase of a position in device pixels.
int splitPosition(double position, int &whole)
{
    whole = static_cast<int>(std::floor(position));
    int phase = static_cast<int>(std::lround((position - whole) * phases));
    if (phase == phases) {
        ++whole;
        phase = 0;
    }
    return phase;
}

} // namespace

const DotSprites::Set &DotSprites::forDiameter(double diameter)
{
    const auto found = std::ranges::find(m_sets, diameter, &Set::diameter);
    if (found != m_sets.end())
        return *found;
    Set sprites {diameter, static_cast<int>(std::ceil(diameter)) + 1, {}};
    const int side = sprites.side;
    const double radius = diameter / 2;
    sprites.coverage.resize(static_cast<size_t>(phases * phases * side * side));
    auto out = sprites.coverage.begin();
    for (int py = 0; py < phases; ++py)
        for (int px = 0; px < phases; ++px)
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    *out++ = pixelCoverage(x, y, double(px) / phases + radius, double(py) / phases + radius, radius);
    m_sets.push_back(std::move(sprites));
    return m_sets.back();
}

DotMask::DotMask(QSize devicePixels, double devicePixelRatio, DotSprites &sprites, int deviceLeft)
    : m_mask(devicePixels, QImage::Format_Alpha8)
    , m_ratio(devicePixelRatio)
    , m_deviceLeft(deviceLeft)
    , m_sprites(sprites)
{
    m_mask.fill(0);
}

void DotMask::addDot(QPointF topLeft, double diameter)
{
    const DotSprites::Set &sprites = m_sprites.forDiameter(diameter * m_ratio);
    int left = 0;
    int top = 0;
    // The phase comes from the whole line's position, so a tile's dots match the whole run's.
    const int phaseX = splitPosition(topLeft.x() * m_ratio, left);
    const int phaseY = splitPosition(topLeft.y() * m_ratio, top);
    left -= m_deviceLeft;
    const int side = sprites.side;
    const quint8 *sprite = sprites.coverage.data() + (phaseY * phases + phaseX) * side * side;
    uchar *bits = m_mask.bits();
    const qsizetype stride = m_mask.bytesPerLine();
    for (int y = std::max(0, -top); y < side && top + y < m_mask.height(); ++y) {
        uchar *row = bits + (top + y) * stride;
        for (int x = std::max(0, -left); x < side && left + x < m_mask.width(); ++x) {
            uchar &pixel = row[left + x];
            pixel = static_cast<uchar>(std::min(255, pixel + sprite[y * side + x]));
        }
    }
}

} // namespace ribbex
