#include "ticker/solid_layout.h"

#include "model/ticker_item.h"
#include "ticker/pictograms.h"
#include "ticker/ticker_line.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace ribbex {

namespace {

constexpr double kerning = 0.4;
// Inline pictures sit this far below the baseline.
constexpr double pictureDrop = 2.0;

QFont systemFont(QFontDatabase::SystemFont kind, int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(kind);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
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

SolidLayout::SolidLayout(
    const QString &text, TickerStyle style, const QPainterPath &weatherPictogram, double maximumWidth)
    : m_weatherPictogram(weatherPictogram)
    , m_maximumWidth(maximumWidth)
{
    const SolidFonts fonts = solidFonts(style);
    const double fontSize = fonts.text.pixelSize();
    const QFontMetricsF metrics(fonts.text);
    m_ascent = metrics.ascent();
    m_descent = metrics.descent();

    const qsizetype weatherAt = weatherPictogram.isEmpty() ? -1 : text.indexOf(weatherSymbolMarker);
    const qsizetype spotifyAt = text.indexOf(spotifyMarker);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool isBar = text[i] == u'|';
        if (!isBar && i != weatherAt && i != spotifyAt)
            continue;
        addText(text, runStart, i, fonts.text);
        if (isBar)
            addText(text, i, i + 1, fonts.bar);
        else if (i == weatherAt)
            addPicture(Kind::weather, i, fontSize * 1.45);
        else
            addPicture(Kind::spotify, i, fontSize * 1.26);
        runStart = i + 1;
    }
    addText(text, runStart, text.size(), fonts.text);
}

void SolidLayout::addText(const QString &text, qsizetype start, qsizetype end, const QFont &font)
{
    if (end <= start)
        return;
    auto layout = std::make_unique<QTextLayout>(text.sliced(start, end - start), font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    layout->endLayout();
    const double width = line.isValid() ? line.naturalTextWidth() : 0.0;
    const QFontMetricsF metrics(font);
    m_ascent = std::max(m_ascent, metrics.ascent());
    m_descent = std::max(m_descent, metrics.descent());
    m_pieces.push_back({Kind::text, start, end - start, m_naturalWidth, width, std::move(layout)});
    m_naturalWidth += width;
}

void SolidLayout::addPicture(Kind kind, qsizetype start, double side)
{
    m_ascent = std::max(m_ascent, side - pictureDrop);
    m_descent = std::max(m_descent, pictureDrop);
    m_pieces.push_back({kind, start, 1, m_naturalWidth, side, nullptr});
    m_naturalWidth += side + kerning;
}

double SolidLayout::xAt(qsizetype position) const
{
    for (const Piece &piece : m_pieces) {
        if (position >= piece.start + piece.length)
            continue;
        if (position <= piece.start || !piece.layout)
            return piece.x;
        return piece.x + piece.layout->lineAt(0).cursorToX(static_cast<int>(position - piece.start));
    }
    return m_naturalWidth;
}

void SolidLayout::draw(QPainter &painter, double y) const
{
    const double baseline = y + m_ascent;
    for (const Piece &piece : m_pieces) {
        if (piece.x > m_maximumWidth)
            break;
        if (piece.layout) {
            const QTextLine line = piece.layout->lineAt(0);
            piece.layout->draw(&painter, QPointF(piece.x, baseline - line.ascent()));
            continue;
        }
        const QRectF box(piece.x, baseline + pictureDrop - piece.width, piece.width, piece.width);
        if (piece.kind == Kind::weather)
            drawWeatherSymbol(painter, m_weatherPictogram, box);
        else
            drawSpotifyMark(painter, box);
    }
}

} // namespace ribbex
