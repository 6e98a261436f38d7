#pragma once

// A horizontal slider over a range of real numbers: in whole steps when step > 0, else
// continuous at a resolution of 1/100 of a unit.

#include <QSlider>

namespace ribbex {

class DoubleSlider final : public QSlider {
    Q_OBJECT

public:
    DoubleSlider(double lowest, double highest, double step, QWidget *parent = nullptr);

    double doubleValue() const;
    // Moves to the position nearest to value (clamped to the range); emits doubleValueChanged
    // when the position changes and signals are not blocked.
    void setDoubleValue(double value);

Q_SIGNALS:
    void doubleValueChanged(double value);

private:
    double m_minimum;
    double m_resolution;
};

} // namespace ribbex
