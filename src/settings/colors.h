#pragma once

// Colours are stored as "#RRGGBB" strings; these turn them into colours and list the choices
// offered to the user.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringView>

namespace ribbex {

// The strip's colours until the user picks others: amber text, and its progress bar, on dark.
inline const QString defaultTextColor = QStringLiteral("#FFAB38");
inline const QString defaultBackgroundColor = QStringLiteral("#17150E");
inline const QString defaultProgressBarColor = defaultTextColor;

// The colour a stored colour string stands for. Never fails: a string that is not hexadecimal
// gives the dark fallback 0x17191D, and only the low 24 bits of a longer value count.
QColor hex(QStringView text);

struct ColorPreset {
    QString name;
    QString textColor;
    QString backgroundColor;
};

const QList<ColorPreset> &colorPresets();
const QList<QString> &swatchPalette();

} // namespace ribbex
