#pragma once

// An on/off switch: a checkable button drawn as a track with a sliding knob, in the palette's
// highlight colour when on.

#include <QAbstractButton>

namespace ribbex {

class SwitchButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit SwitchButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace ribbex
