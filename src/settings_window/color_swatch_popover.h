#pragma once

// A colour chip that opens a palette of swatches with a hexadecimal entry field. It holds no
// colour of its own beyond what it shows: the owner writes colorChosen through to the model and
// reads the model back with setColor.

#include <QAbstractButton>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

class QFrame;
class QLineEdit;

namespace ribbex {

// "#RRGGBB" in upper case from text that, trimmed of white space and then of "#" at both ends,
// is exactly six hexadecimal digits; nothing otherwise.
std::optional<QString> normalizedHex(QStringView text);

// Whether a symbol drawn over the colour should be white rather than black.
bool wantsLightSymbol(const QColor &color);

class ColorSwatchPopover final : public QAbstractButton {
    Q_OBJECT

public:
    explicit ColorSwatchPopover(QWidget *parent = nullptr);

    const QString &color() const { return m_color; }
    // Shows the colour without announcing it.
    void setColor(const QString &color);

    bool isPresented() const;
    QFrame *popover() const { return m_popover; }
    QLineEdit *hexField() const { return m_hexField; }
    // Chooses the normalised hexadecimal entry and closes the palette; an invalid entry is
    // ignored and the palette stays open.
    void applyHex();

    QSize sizeHint() const override;

Q_SIGNALS:
    // The user picked a colour, "#RRGGBB" (palette entries as listed).
    void colorChosen(const QString &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void present();
    void choose(const QString &color);

    QString m_color;
    QFrame *m_popover = nullptr;
    QLineEdit *m_hexField = nullptr;
    QList<QAbstractButton *> m_chips;
};

} // namespace ribbex
