#include "settings_window/double_slider.h"

#include <algorithm>
#include <cmath>

namespace ribbex {

namespace {

constexpr double continuousResolution = 0.01;

} // namespace

DoubleSlider::DoubleSlider(double lowest, double highest, double step, QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
    , m_minimum(lowest)
    , m_resolution(step > 0 ? step : continuousResolution)
{
    setRange(0, static_cast<int>(std::lround((highest - lowest) / m_resolution)));
    // Arrow keys move one step, or a hundredth of a continuous range; page keys a tenth.
    setSingleStep(step > 0 ? 1 : std::max(1, maximum() / 100));
    setPageStep(std::max(1, maximum() / 10));
    connect(this, &QSlider::valueChanged, this, [this] { Q_EMIT doubleValueChanged(doubleValue()); });
}

double DoubleSlider::doubleValue() const
{
    return m_minimum + value() * m_resolution;
}

void DoubleSlider::setDoubleValue(double value)
{
    if (std::isnan(value))
        return;
    const double position = std::round((value - m_minimum) / m_resolution);
    setValue(static_cast<int>(std::clamp(position, 0.0, static_cast<double>(maximum()))));
}

} // namespace ribbex
