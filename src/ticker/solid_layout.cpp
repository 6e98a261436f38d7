#include "ticker/solid_layout.h"

#include "model/ticker_item.h"
#include "ticker/pictograms.h"
#include "ticker/ticker_line.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace ribbex {

namespace {

constexpr double kerning = 0.4;
// Inline pictures sit this far below the baseline.
constexpr double pictureDrop = 2.0;
constexpr qsizetype maximumPieceLength = 256;

QFont systemFont(QFontDatabase::SystemFont kind, int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(kind);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

// The start of the character the position falls in, looking a little way back; a cluster longer
// than that is split where it stands.
qsizetype characterStart(const QString &text, qsizetype position)
{
    const qsizetype from = std::max(qsizetype {0}, position - 32);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + from, position + 1 - from);
    finder.setPosition(position - from);
    if (finder.isAtBoundary())
        return position;
    const qsizetype previous = finder.toPreviousBoundary();
    return previous > 0 ? from + previous : position;
}

QFont kerned(QFont font)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, kerning);
    return font;
}

} // namespace

SolidFonts solidFonts(TickerStyle style)
{
    if (style == TickerStyle::led)
        return {kerned(systemFont(QFontDatabase::FixedFont, 11, QFont::Bold)),
            kerned(systemFont(QFontDatabase::FixedFont, 11, QFont::ExtraBold))};
    return {kerned(systemFont(QFontDatabase::GeneralFont, 12, QFont::Medium)),
        kerned(systemFont(QFontDatabase::GeneralFont, 12, QFont::Bold))};
}

QFont footballZoneFont(TickerStyle style)
{
    if (style == TickerStyle::led)
        return systemFont(QFontDatabase::FixedFont, 9, QFont::Bold);
    return systemFont(QFontDatabase::GeneralFont, 10, QFont::Medium);
}

SolidLayout::SolidLayout(const QString &text, TickerStyle style, const QPainterPath &weatherPictogram)
    : m_text(text)
    , m_fonts(solidFonts(style))
    , m_weatherPictogram(weatherPictogram)
{
    const double fontSize = m_fonts.text.pixelSize();
    const QFontMetricsF metrics(m_fonts.text);
    m_ascent = metrics.ascent();
    m_descent = metrics.descent();

    const qsizetype weatherAt = weatherPictogram.isEmpty() ? -1 : text.indexOf(weatherSymbolMarker);
    const qsizetype spotifyAt = text.indexOf(spotifyMarker);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool isBar = text[i] == u'|';
        if (!isBar && i != weatherAt && i != spotifyAt)
            continue;
        addText(runStart, i, Kind::text);
        if (isBar)
            addText(i, i + 1, Kind::bar);
        else if (i == weatherAt)
            addPicture(Kind::weather, i, fontSize * 1.45);
        else
            addPicture(Kind::spotify, i, fontSize * 1.26);
        runStart = i + 1;
    }
    addText(runStart, text.size(), Kind::text);
}

void SolidLayout::addText(qsizetype start, qsizetype end, Kind kind)
{
    // Long text goes in pieces ending after a space where there is one, so that drawing a stretch
    // of the line shapes only the text near it.
    constexpr qsizetype half = maximumPieceLength / 2;
    while (end - start > maximumPieceLength) {
        const qsizetype space = QStringView(m_text).sliced(start + half, half).lastIndexOf(u' ');
        const qsizetype split
            = space >= 0 ? start + half + space + 1 : characterStart(m_text, start + maximumPieceLength);
        addTextPiece(start, split, kind);
        start = split;
    }
    addTextPiece(start, end, kind);
}

void SolidLayout::addTextPiece(qsizetype start, qsizetype end, Kind kind)
{
    if (end <= start)
        return;
    Piece piece {kind, start, end - start, m_width, 0};
    const std::unique_ptr<QTextLayout> layout = layOut(piece);
    const QTextLine line = layout->lineAt(0);
    piece.width = line.isValid() ? line.naturalTextWidth() : 0.0;
    const QFontMetricsF metrics(kind == Kind::bar ? m_fonts.bar : m_fonts.text);
    m_ascent = std::max(m_ascent, metrics.ascent());
    m_descent = std::max(m_descent, metrics.descent());
    m_pieces.push_back(piece);
    m_width += piece.width;
}

void SolidLayout::addPicture(Kind kind, qsizetype start, double side)
{
    m_ascent = std::max(m_ascent, side - pictureDrop);
    m_descent = std::max(m_descent, pictureDrop);
    m_pieces.push_back({kind, start, 1, m_width, side});
    m_width += side + kerning;
}

std::unique_ptr<QTextLayout> SolidLayout::layOut(const Piece &piece) const
{
    auto layout = std::make_unique<QTextLayout>(
        m_text.sliced(piece.start, piece.length), piece.kind == Kind::bar ? m_fonts.bar : m_fonts.text);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout->setTextOption(option);
    layout->beginLayout();
    layout->createLine();
    layout->endLayout();
    return layout;
}

double SolidLayout::xAt(qsizetype position) const
{
    const auto piece
        = std::ranges::partition_point(m_pieces, [&](const Piece &p) { return p.start + p.length <= position; });
    if (piece == m_pieces.end())
        return m_width;
    if (position <= piece->start || piece->kind == Kind::weather || piece->kind == Kind::spotify)
        return piece->x;
    return piece->x + layOut(*piece)->lineAt(0).cursorToX(static_cast<int>(position - piece->start));
}

void SolidLayout::draw(QPainter &painter, double y, double left, double right) const
{
    // Glyphs may reach a little past their advance.
    const double overhang = m_fonts.text.pixelSize();
    const double baseline = y + m_ascent;
    auto piece
        = std::ranges::partition_point(m_pieces, [&](const Piece &p) { return p.x + p.width + overhang <= left; });
    for (; piece != m_pieces.end() && piece->x - overhang < right; ++piece) {
        if (piece->kind == Kind::text || piece->kind == Kind::bar) {
            const std::unique_ptr<QTextLayout> layout = layOut(*piece);
            const QTextLine line = layout->lineAt(0);
            layout->draw(&painter, QPointF(piece->x, baseline - line.ascent()));
            continue;
        }
        const QRectF box(piece->x, baseline + pictureDrop - piece->width, piece->width, piece->width);
        if (piece->kind == Kind::weather)
            drawWeatherSymbol(painter, m_weatherPictogram, box);
        else
            drawSpotifyMark(painter, box);
    }
}

} // namespace ribbex
