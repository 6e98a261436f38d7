#include "ticker/dot_matrix.h"

#include "ticker/dot_mask.h"
#include "ticker/ticker_line.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace ribbex {

namespace {

using namespace dotMatrix;

// Rows as written in the font's design sheet: "01110 10001 ...", top row first.
constexpr DotBitmap bitmap(const char (&rows)[42])
{
    DotBitmap result;
    for (size_t row = 0; row < 7; ++row)
        for (size_t column = 0; column < 5; ++column)
            if (rows[row * 6 + column] == '1')
                result.rows[row] = static_cast<quint8>(result.rows[row] | (1 << (4 - column)));
    return result;
}

struct GlyphEntry {
    char16_t character;
    DotBitmap bitmap;
};

constexpr std::array glyphTable {
    GlyphEntry {u'A', bitmap("01110 10001 10001 11111 10001 10001 10001")},
    GlyphEntry {u'B', bitmap("11110 10001 10001 11110 10001 10001 11110")},
    GlyphEntry {u'C', bitmap("01111 10000 10000 10000 10000 10000 01111")},
    GlyphEntry {u'D', bitmap("11110 10001 10001 10001 10001 10001 11110")},
    GlyphEntry {u'E', bitmap("11111 10000 10000 11110 10000 10000 11111")},
    GlyphEntry {u'F', bitmap("11111 10000 10000 11110 10000 10000 10000")},
    GlyphEntry {u'G', bitmap("01111 10000 10000 10111 10001 10001 01111")},
    GlyphEntry {u'H', bitmap("10001 10001 10001 11111 10001 10001 10001")},
    GlyphEntry {u'I', bitmap("11111 00100 00100 00100 00100 00100 11111")},
    GlyphEntry {u'J', bitmap("00111 00010 00010 00010 10010 10010 01100")},
    GlyphEntry {u'K', bitmap("10001 10010 10100 11000 10100 10010 10001")},
    GlyphEntry {u'L', bitmap("10000 10000 10000 10000 10000 10000 11111")},
    GlyphEntry {u'M', bitmap("10001 11011 10101 10101 10001 10001 10001")},
    GlyphEntry {u'N', bitmap("10001 11001 10101 10011 10001 10001 10001")},
    GlyphEntry {u'O', bitmap("01110 10001 10001 10001 10001 10001 01110")},
    GlyphEntry {u'P', bitmap("11110 10001 10001 11110 10000 10000 10000")},
    GlyphEntry {u'Q', bitmap("01110 10001 10001 10001 10101 10010 01101")},
    GlyphEntry {u'R', bitmap("11110 10001 10001 11110 10100 10010 10001")},
    GlyphEntry {u'S', bitmap("01111 10000 10000 01110 00001 00001 11110")},
    GlyphEntry {u'T', bitmap("11111 00100 00100 00100 00100 00100 00100")},
    GlyphEntry {u'U', bitmap("10001 10001 10001 10001 10001 10001 01110")},
    GlyphEntry {u'V', bitmap("10001 10001 10001 10001 10001 01010 00100")},
    GlyphEntry {u'W', bitmap("10001 10001 10001 10101 10101 10101 01010")},
    GlyphEntry {u'X', bitmap("10001 10001 01010 00100 01010 10001 10001")},
    GlyphEntry {u'Y', bitmap("10001 10001 01010 00100 00100 00100 00100")},
    GlyphEntry {u'Z', bitmap("11111 00001 00010 00100 01000 10000 11111")},
    GlyphEntry {u'0', bitmap("01110 10001 10011 10101 11001 10001 01110")},
    GlyphEntry {u'1', bitmap("00100 01100 00100 00100 00100 00100 01110")},
    GlyphEntry {u'2', bitmap("01110 10001 00001 00010 00100 01000 11111")},
    GlyphEntry {u'3', bitmap("11110 00001 00001 01110 00001 00001 11110")},
    GlyphEntry {u'4', bitmap("00010 00110 01010 10010 11111 00010 00010")},
    GlyphEntry {u'5', bitmap("11111 10000 10000 11110 00001 00001 11110")},
    GlyphEntry {u'6', bitmap("01110 10000 10000 11110 10001 10001 01110")},
    GlyphEntry {u'7', bitmap("11111 00001 00010 00100 01000 01000 01000")},
    GlyphEntry {u'8', bitmap("01110 10001 10001 01110 10001 10001 01110")},
    GlyphEntry {u'9', bitmap("01110 10001 10001 01111 00001 00001 01110")},
    GlyphEntry {u'\u00B0', bitmap("00110 01001 01001 00110 00000 00000 00000")},
    GlyphEntry {u'.', bitmap("00000 00000 00000 00110 00110 00000 00000")},
    GlyphEntry {u',', bitmap("00000 00000 00000 00000 00110 00100 01000")},
    GlyphEntry {u':', bitmap("00000 00110 00110 00000 00110 00110 00000")},
    GlyphEntry {u';', bitmap("00000 00110 00110 00000 00110 00100 01000")},
    GlyphEntry {u'-', bitmap("00000 00000 00000 11111 00000 00000 00000")},
    GlyphEntry {u'+', bitmap("00000 00100 00100 11111 00100 00100 00000")},
    GlyphEntry {u'/', bitmap("00001 00010 00010 00100 01000 01000 10000")},
    GlyphEntry {u'\'', bitmap("00100 00100 00010 00000 00000 00000 00000")},
    GlyphEntry {u'?', bitmap("01110 10001 00001 00010 00100 00000 00100")},
    GlyphEntry {u'!', bitmap("00100 00100 00100 00100 00100 00000 00100")},
    GlyphEntry {u'|', bitmap("01110 01110 01110 01110 01110 01110 01110")},
    GlyphEntry {u'=', bitmap("00000 11111 00000 11111 00000 00000 00000")},
};
static_assert(glyphTable.size() == 49);

constexpr DotBitmap blank {};

// Whole grid cells whose distance from the centre is within 0.72 of 4.14, and three arcs.
constexpr bool computeSpotifyCell(int row, int column)
{
    const double dx = column - 4.5;
    const double dy = row - 4.5;
    const double squared = dx * dx + dy * dy;
    if (squared >= (4.14 - 0.72) * (4.14 - 0.72) && squared <= (4.14 + 0.72) * (4.14 + 0.72))
        return true;
    struct Arc {
        double first, last, base, curvature;
    };
    constexpr Arc arcs[] = {{1.8, 8.2, 3.25, 0.095}, {2.7, 7.3, 5.25, 0.075}, {3.6, 6.4, 7.15, 0.055}};
    for (const Arc &arc : arcs) {
        const double centre = arc.base + dx * dx * arc.curvature;
        const double distance = row > centre ? row - centre : centre - row;
        if (column >= arc.first && column <= arc.last && distance <= 0.52)
            return true;
    }
    return false;
}

constexpr double spotifyPitch = 1.35 * fontScale; // 1.0935
constexpr double spotifyDotDiameter = 1.12 * fontScale; // 0.9072
constexpr double spotifyMarkSide = 9 * spotifyPitch + spotifyDotDiameter;

void appendSpotifyDotMark(DotMask &mask, double x, double originY, double advanceWidth)
{
    const double left = x + (advanceWidth - spotifyMarkSide) / 2;
    const double top = originY + (glyphHeight - spotifyMarkSide) / 2;
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column)
            if (spotifyMarkCell(row, column))
                mask.addDot({left + column * spotifyPitch, top + row * spotifyPitch}, spotifyDotDiameter);
}

// A glyph centred in its advance; a scaled one grows around its own centre.
void appendGlyph(DotMask &mask, const DotBitmap &bitmap, double pen, double advanceWidth, double originY, double scale)
{
    constexpr double glyphHeightDrawn = 6 * rowPitch + dotDiameter;
    constexpr double glyphWidthDrawn = 4 * columnPitch + dotDiameter;
    const double left = pen + (advanceWidth - scale * glyphWidthDrawn) / 2;
    const double top = originY + (glyphHeightDrawn - scale * glyphHeightDrawn) / 2;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column)
            if (bitmap.lit(row, column))
                mask.addDot({left + scale * column * columnPitch, top + scale * row * rowPitch}, scale * dotDiameter);
}

// Calls the function with every grapheme cluster of the text.
template<typename Function> void forEachCharacter(QStringView text, Function &&function)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), static_cast<int>(text.size()));
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= start) {
            end = start + 1;
            finder.setPosition(static_cast<int>(end));
        }
        function(text.sliced(start, end - start));
        start = end;
    }
}

} // namespace

DotBitmap glyph(QStringView character)
{
    if (character.size() != 1)
        return blank;
    char16_t code = character.front().unicode();
    if (code == u'\u2018' || code == u'\u2019' || code == u'\u2032')
        code = u'\'';
    const auto found = std::ranges::find(glyphTable, code, &GlyphEntry::character);
    return found == glyphTable.end() ? blank : found->bitmap;
}

DotBitmap weatherIconBitmap(WeatherConditionIcon icon)
{
    switch (icon) {
    case WeatherConditionIcon::clear:
    case WeatherConditionIcon::mostlyClear:
        return bitmap("00100 10101 01110 11111 01110 10101 00100");
    case WeatherConditionIcon::partlyCloudy:
        return bitmap("00100 01010 00110 01111 11111 11111 01110");
    case WeatherConditionIcon::cloudy:
        return bitmap("00000 00110 01111 11111 11111 11111 01110");
    case WeatherConditionIcon::fog:
        return bitmap("00110 01111 11111 11111 10101 01010 10101");
    case WeatherConditionIcon::drizzle:
        return bitmap("00110 01111 11111 11111 01110 00100 01000");
    case WeatherConditionIcon::rain:
    case WeatherConditionIcon::showers:
        return bitmap("00110 01111 11111 11111 01010 10100 01010");
    case WeatherConditionIcon::snow:
        return bitmap("00110 01111 11111 11111 10101 01110 10101");
    case WeatherConditionIcon::thunderstorm:
        return bitmap("00110 01111 11111 11111 00110 00100 01000");
    }
    return blank;
}

bool spotifyMarkCell(int row, int column)
{
    return computeSpotifyCell(row, column);
}

double dotMatrixAdvance(QStringView character)
{
    if (character == u"\u2002")
        return enSpaceAdvance;
    if (character == u"\u2004")
        return threePerEmAdvance;
    return advance;
}

double dotMatrixWidth(QStringView text)
{
    double width = 0;
    forEachCharacter(text, [&](QStringView character) { width += dotMatrixAdvance(character); });
    return width;
}

double dotMatrixOriginY(double viewHeight, double progressAllowance)
{
    return std::max(progressAllowance + (viewHeight - glyphHeight) / 2, minimumOriginY);
}

void appendTickerRunDots(
    DotMask &mask, QStringView text, double x, double originY, std::optional<WeatherConditionIcon> weatherIcon)
{
    double pen = x;
    forEachCharacter(text, [&](QStringView character) {
        const double width = dotMatrixAdvance(character);
        if (character == QStringView(&spotifyMarker, 1))
            appendSpotifyDotMark(mask, pen, originY, width);
        else if (character == QStringView(&weatherSymbolMarker, 1))
            appendGlyph(mask, weatherIcon ? weatherIconBitmap(*weatherIcon) : blank, pen, width, originY, 1.1);
        else
            appendGlyph(mask, glyph(character), pen, width, originY, 1.0);
        pen += width;
    });
}

namespace {

constexpr int markSpacing = 64;

} // namespace

DotMatrixLine::DotMatrixLine(const QString &text)
    : m_text(text)
{
    m_marks.push_back({0, 0});
    qsizetype count = 0;
    qsizetype position = 0;
    forEachCharacter(m_text, [&](QStringView character) {
        if (++count % markSpacing == 0)
            m_marks.push_back({position, m_width});
        m_width += dotMatrixAdvance(character);
        position += character.size();
    });
}

double DotMatrixLine::xAt(qsizetype position) const
{
    position = std::clamp(position, qsizetype {0}, m_text.size());
    const Mark &mark = *std::prev(std::ranges::upper_bound(m_marks, position, {}, &Mark::position));
    return mark.x + dotMatrixWidth(QStringView(m_text).sliced(mark.position, position - mark.position));
}

void DotMatrixLine::appendDots(
    DotMask &mask, double left, double right, double originY, std::optional<WeatherConditionIcon> weatherIcon) const
{
    // Every character is drawn within its advance: from the last mark at or before left to the
    // first at or after right covers all that reach in.
    auto first = std::ranges::upper_bound(m_marks, left, {}, &Mark::x);
    if (first != m_marks.begin())
        --first;
    const auto last = std::ranges::lower_bound(m_marks, right, {}, &Mark::x);
    if (last <= first)
        return;
    const qsizetype end = last == m_marks.end() ? m_text.size() : last->position;
    appendTickerRunDots(
        mask, QStringView(m_text).sliced(first->position, end - first->position), first->x, originY, weatherIcon);
}

void appendFootballDotText(DotMask &mask, QStringView text, const QRectF &rect)
{
    const double width = dotMatrixWidth(text);
    if (width < 1)
        return;
    const double scale = std::min(rect.width() / width, 1.0);
    double pen = rect.left() + std::max((rect.width() - width * scale) / 2, 0.0);
    const double top = rect.top() + (rect.height() - scale * glyphHeight) / 2;
    // Unlike the ticker run, these glyphs start at the pen rather than centred in their advance.
    forEachCharacter(text, [&](QStringView character) {
        const DotBitmap bitmap = glyph(character);
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (bitmap.lit(row, column))
                    mask.addDot(
                        {pen + scale * column * columnPitch, top + scale * row * rowPitch}, scale * dotDiameter);
        pen += scale * dotMatrixAdvance(character);
    });
}

} // namespace ribbex
