#pragma once

// The 5 × 7 dot font of the Dot Matrix look: its glyphs, its fixed advances and where every dot
// of a line goes. Geometry is in points, y downward.

#include "model/source_records.h"

#include <QRectF>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

namespace ribbex {

class DotMask;

namespace dotMatrix {

inline constexpr double dotStepX = 2.55;
inline constexpr double dotStepY = 2.0;
inline constexpr double dotRadius = 0.8075;
inline constexpr double fontScale = 0.81;

inline constexpr double columnPitch = dotStepX * fontScale; // 2.0655
inline constexpr double rowPitch = dotStepY * fontScale; // 1.62
inline constexpr double dotDiameter = 2 * dotRadius * fontScale; // 1.30815
inline constexpr double glyphHeight = 7 * rowPitch; // 11.34, used for centring
inline constexpr double advance = 6 * columnPitch; // 12.393
inline constexpr double threePerEmAdvance = 4.5 * columnPitch; // U+2004
inline constexpr double enSpaceAdvance = 2.25 * columnPitch; // U+2002
inline constexpr double repeatGap = 24 * columnPitch; // 49.572
inline constexpr double minimumOriginY = 3.0;

// The background grid and the progress bar use the unscaled pitch.
inline constexpr double gridDotDiameter = 1.5 * dotRadius; // 1.21125
inline constexpr double gridStart = 2.0;

} // namespace dotMatrix

// Seven rows of five dots, top row first; bit 4 is the left column.
struct DotBitmap {
    std::array<quint8, 7> rows {};

    bool lit(int row, int column) const { return (rows[static_cast<size_t>(row)] >> (4 - column)) & 1; }
    bool operator==(const DotBitmap &) const = default;
};

// The glyph of one character (a grapheme cluster); blank for anything the font lacks.
DotBitmap glyph(QStringView character);
DotBitmap weatherIconBitmap(WeatherConditionIcon icon);
// The Spotify mark's cells on its 10 × 10 grid.
bool spotifyMarkCell(int row, int column);

double dotMatrixAdvance(QStringView character);
double dotMatrixWidth(QStringView text);

// Top of the glyph rows in a view of this height, below a progress bar's allowance.
double dotMatrixOriginY(double viewHeight, double progressAllowance);

// Adds the lit dots of a run of text starting at x; U+FFFC becomes the weather icon when
// there is one, U+E000 the Spotify mark.
void appendTickerRunDots(
    DotMask &mask, QStringView text, double x, double originY, std::optional<WeatherConditionIcon> weatherIcon);

// A ticker line measured once, so its width, the x of a position and the dots near any x come
// without walking the whole text: a feed can make the line megabytes long.
class DotMatrixLine {
public:
    explicit DotMatrixLine(const QString &text);

    double width() const { return m_width; }
    // The x where the UTF-16 position starts; a position inside a character counts from its start.
    double xAt(qsizetype position) const;
    // Adds the dots of the characters that reach into [left, right), as appendTickerRunDots places them.
    void appendDots(DotMask &mask, double left, double right, double originY,
        std::optional<WeatherConditionIcon> weatherIcon) const;

private:
    struct Mark {
        qsizetype position = 0; // a character boundary
        double x = 0;
    };

    QString m_text;
    std::vector<Mark> m_marks; // every markSpacing-th character, from the first
    double m_width = 0;
};

// Adds a football line, shrunk to fit the rectangle if needed and centred in it.
void appendFootballDotText(DotMask &mask, QStringView text, const QRectF &rect);

} // namespace ribbex
