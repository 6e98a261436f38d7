#pragma once

// The ticker without a window: the composed line, its layout and tiled run picture, the scroll
// offset, the football zone's clock, hit testing, and the painting of a frame into any QPainter.
// The view, the command line's render and the tests all go through it.

#include "model/settings_model.h"
#include "ticker/dot_mask.h"
#include "ticker/dot_matrix.h"
#include "ticker/run_tiles.h"
#include "ticker/solid_layout.h"
#include "ticker/strip_compositor.h"
#include "ticker/strip_size.h"
#include "ticker/ticker_line.h"

#include <QHash>
#include <QSizeF>

#include <memory>
#include <optional>

class QPainter;

namespace ribbex {

class TickerRenderer {
public:
    explicit TickerRenderer(const SettingsModel &model);
    ~TickerRenderer();
    TickerRenderer(const TickerRenderer &) = delete;
    TickerRenderer &operator=(const TickerRenderer &) = delete;

    // Sizes in points. The run picture starts again when the height or the ratio changes.
    QSizeF viewSize() const { return m_viewSize; }
    void setViewSize(const QSizeF &size);
    double devicePixelRatio() const { return m_devicePixelRatio; }
    void setDevicePixelRatio(double ratio);

    // Composes the line from the model; lays it out and starts the run picture again only when
    // the text or the layout key changed.
    void refreshContent();
    // One scroll tick.
    void advance();
    // One frame at the painter's device pixel ratio; the strip covers (0, 0) to the view size.
    void paint(QPainter &painter);

    // The range a click at this point opens, if any.
    std::optional<ClickableRange> rangeAt(const QPointF &point) const;
    // Each range's rectangle within one run, by the range's location.
    QHash<qsizetype, QRectF> clickableHitRanges() const;

    const QString &tickerText() const { return m_tickerText; }
    const QList<ClickableRange> &clickableRanges() const { return m_clickableRanges; }
    const QStringList &footballTickerTexts() const { return m_footballTexts; }
    double textWidth() const { return m_textWidth; }
    double period() const { return m_textWidth + repeatGap(); }
    double repeatGap() const;
    double textAreaWidth() const;
    bool hasSeparateFootballZone() const;
    // Opaque only when the background is fully opaque and the ends are square.
    bool isOpaque() const;

    double offset() const { return m_offset; }
    void setOffset(double offset) { m_offset = offset; }
    double footballAnimationTime() const { return m_footballAnimationTime; }
    void setFootballAnimationTime(double time) { m_footballAnimationTime = time; }

    // Null while there is no text; in device pixels at the renderer's ratio, as long as the line.
    const RunTiles &runPicture() const { return m_run; }
    // How often the run picture has been started afresh.
    int runRenderCount() const { return m_runRenderCount; }
    // Starts the run picture of the current layout again; its tiles are drawn as they are shown.
    void redrawRun();

private:
    struct LayoutKey {
        TickerStyle style = TickerStyle::dotMatrix;
        QString textColor;
        std::optional<QString> weatherSymbol;
        bool hasSpotifyProgress = false;
        bool hasFootballZone = false;
        bool hasThickProgressBar = false;

        bool operator==(const LayoutKey &) const = default;
    };

    LayoutKey layoutKey() const;
    // The text's measures follow the style it was laid out in until the next refresh.
    TickerStyle laidOutStyle() const;
    void layOut(TickerStyle style);
    RunTiles::DrawTile dotMatrixTiles(int height);
    RunTiles::DrawTile solidTiles(int height) const;

    const SettingsModel &m_model;
    QSizeF m_viewSize {320, stripHeight};
    double m_devicePixelRatio = 1;
    QString m_tickerText;
    QList<ClickableRange> m_clickableRanges;
    QStringList m_footballTexts;
    double m_textWidth = 0;
    double m_offset = 0;
    double m_footballAnimationTime = 0;
    std::optional<LayoutKey> m_lastLayoutKey;
    // One of the two, by the style the line was laid out in; shared with the run's tile drawing.
    std::shared_ptr<const DotMatrixLine> m_dotLine;
    std::shared_ptr<const SolidLayout> m_solidLayout;
    RunTiles m_run;
    int m_runRenderCount = 0;
    DotSprites m_dotSprites;
    StripCompositor m_compositor;
};

} // namespace ribbex
