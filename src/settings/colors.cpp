#include "settings/colors.h"

#include <optional>

namespace ribbex {

namespace {

constexpr quint64 fallbackColor = 0x17191D;

// Trims by code point, so a letter outside the basic plane counts as a letter.
QList<uint> trimmedToAlphanumerics(QStringView text)
{
    const QList<uint> codePoints = text.toUcs4();
    qsizetype first = 0;
    qsizetype last = codePoints.size();
    while (first < last && !QChar::isLetterOrNumber(codePoints[first]))
        ++first;
    while (last > first && !QChar::isLetterOrNumber(codePoints[last - 1]))
        --last;
    return codePoints.sliced(first, last - first);
}

int hexDigitValue(uint c)
{
    if (c >= u'0' && c <= u'9')
        return static_cast<int>(c - u'0');
    if (c >= u'a' && c <= u'f')
        return static_cast<int>(c - u'a') + 10;
    if (c >= u'A' && c <= u'F')
        return static_cast<int>(c - u'A') + 10;
    return -1;
}

// An unsigned 64-bit hexadecimal number, or nothing when a character is no hex digit or the
// value does not fit.
std::optional<quint64> parseHex(const QList<uint> &digits)
{
    quint64 value = 0;
    for (const uint c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || value > (~quint64 {0} >> 4))
            return std::nullopt;
        value = (value << 4) | static_cast<quint64>(digit);
    }
    return value;
}

} // namespace

QColor hex(QStringView text)
{
    const QList<uint> digits = trimmedToAlphanumerics(text);
    const quint64 value = digits.isEmpty() ? fallbackColor : parseHex(digits).value_or(fallbackColor);
    return QColor::fromRgb(
        static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>(value & 0xFF));
}

const QList<ColorPreset> &colorPresets()
{
    static const QList<ColorPreset> presets {
        {QStringLiteral("Night"), QStringLiteral("#F4F3F0"), QStringLiteral("#17191D")},
        {QStringLiteral("Paper"), QStringLiteral("#1A1A1A"), QStringLiteral("#F2EFE8")},
        {QStringLiteral("Mint"), QStringLiteral("#9AF2CB"), QStringLiteral("#10241C")},
    };
    return presets;
}

const QList<QString> &swatchPalette()
{
    static const QList<QString> palette {
        QStringLiteral("#FFFFFF"),
        QStringLiteral("#F4F3F0"),
        QStringLiteral("#D1D5DB"),
        QStringLiteral("#6B7280"),
        QStringLiteral("#111827"),
        QStringLiteral("#000000"),
        QStringLiteral("#FFAB38"),
        QStringLiteral("#F97316"),
        QStringLiteral("#EF4444"),
        QStringLiteral("#EC4899"),
        QStringLiteral("#A855F7"),
        QStringLiteral("#6366F1"),
        QStringLiteral("#3B82F6"),
        QStringLiteral("#06B6D4"),
        QStringLiteral("#14B8A6"),
        QStringLiteral("#22C55E"),
        QStringLiteral("#84CC16"),
        QStringLiteral("#FACC15"),
    };
    return palette;
}

} // namespace ribbex
