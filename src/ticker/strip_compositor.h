#pragma once

// Puts one frame of the strip together: background and grid, progress bar, football zone, and
// the two copies of the text run from its tiles, clipped to the text area and the rounded ends.
// Every part is a cached picture, so a frame is a handful of blits.

#include "ticker/football_zone.h"
#include "ticker/progress_bar.h"
#include "ticker/run_tiles.h"
#include "ticker/strip_background.h"

#include <QImage>
#include <QStringList>

#include <optional>

class QPainter;

namespace ribbex {

struct StripFrame {
    StripBackground background;
    std::optional<ProgressBar> progressBar;
    TickerStyle style = TickerStyle::dotMatrix;
    QColor textColor;
    const RunTiles *run = nullptr; // at the background's device pixel ratio; may be null
    double textWidth = 0;
    double period = 0;
    double offset = 0;
    bool footballZone = false;
    QStringList footballTexts;
    double footballAnimationTime = 0;
};

class StripCompositor {
public:
    void paint(QPainter &painter, const StripFrame &frame);

private:
    struct ZoneLines {
        QStringList texts;
        TickerStyle style = TickerStyle::dotMatrix;
        QColor color;
        QRectF restRect;
        double devicePixelRatio = 0;
        bool operator==(const ZoneLines &) const = default;
    };

    void updateCaches(const StripFrame &frame);
    void paintFootballZone(QPainter &painter, const StripFrame &frame);
    void paintRunCopies(QPainter &painter, const StripFrame &frame);
    void clipToOutline(QPainter &painter);

    std::optional<StripBackground> m_backgroundKey;
    QImage m_background;
    QImage m_outline;
    std::optional<ProgressBar> m_barKey;
    QImage m_bar;
    std::optional<ZoneLines> m_zoneKey;
    QList<FootballLinePicture> m_zonePictures;
    QImage m_frame;
};

} // namespace ribbex
