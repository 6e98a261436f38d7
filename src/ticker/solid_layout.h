#pragma once

// The Classic and LED line: the text in the desktop's UI or fixed-width font, every bar in the
// heavier weight, and inline pictures for the weather symbol and the Spotify mark, laid out on
// one line from the left.

#include "settings/enumerations.h"

#include <QFont>
#include <QPainterPath>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace ribbex {

struct SolidFonts {
    QFont text;
    QFont bar;
};

// The ticker fonts of a style (Classic or LED), with their kerning.
SolidFonts solidFonts(TickerStyle style);
// The football zone's font of a style: no kerning.
QFont footballZoneFont(TickerStyle style);

class SolidLayout {
public:
    // weatherPictogram: the drawing for the first U+FFFC, empty to leave the character as it is.
    SolidLayout(const QString &text, TickerStyle style, const QPainterPath &weatherPictogram);
    SolidLayout(const SolidLayout &) = delete;
    SolidLayout &operator=(const SolidLayout &) = delete;

    // The rectangle the line occupies, from (0, 0).
    double width() const { return m_width; }
    double height() const { return m_ascent + m_descent; }

    // The x where the UTF-16 position starts.
    double xAt(qsizetype position) const;

    // Draws the pieces that reach into [left, right) in the painter's pen colour, with the top of
    // the line at y.
    void draw(QPainter &painter, double y, double left, double right) const;

private:
    enum class Kind { text, bar, weather, spotify };
    // Text pieces are shaped again when drawn rather than kept shaped: a feed can make the line
    // megabytes long, and only the part in view is ever drawn.
    struct Piece {
        Kind kind = Kind::text;
        qsizetype start = 0;
        qsizetype length = 0;
        double x = 0;
        double width = 0;
    };

    void addText(qsizetype start, qsizetype end, Kind kind);
    void addTextPiece(qsizetype start, qsizetype end, Kind kind);
    void addPicture(Kind kind, qsizetype start, double side);
    std::unique_ptr<QTextLayout> layOut(const Piece &piece) const;

    QString m_text;
    SolidFonts m_fonts;
    std::vector<Piece> m_pieces;
    QPainterPath m_weatherPictogram;
    double m_width = 0;
    double m_ascent = 0;
    double m_descent = 0;
};

} // namespace ribbex
