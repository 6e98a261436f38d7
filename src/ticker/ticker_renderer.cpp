#include "ticker/ticker_renderer.h"

#include "settings/colors.h"
#include "ticker/coverage_image.h"
#include "ticker/dot_mask.h"
#include "ticker/dot_matrix.h"
#include "ticker/pictograms.h"
#include "ticker/ticker_scroll.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace ribbex {

namespace {

// Device positions of both copies of the run stay well within an int at any scale a screen or
// --render has; a line cut there would take ten days to scroll by.
constexpr double maximumTextWidth = 1 << 26;
constexpr double clickTopBand = 5.0;
constexpr double clickSlack = 1.0;

struct Glow {
    double opacity;
    double blurRadius; // points
};

Glow glowOf(TickerStyle style)
{
    switch (style) {
    case TickerStyle::classic:
        return {0.35, 0.0};
    case TickerStyle::led:
        return {0.35, 3.0};
    case TickerStyle::dotMatrix:
        return {0.75, 1.62};
    }
    return {0, 0};
}

// Tiles of the run in the colour with its glow. Each tile's coverage is drawn with a margin wide
// enough for the glow to spread in from its neighbours, so tiles side by side show exactly the
// run drawn whole.
RunTiles::DrawTile glowingTiles(
    std::function<QImage(int maskLeft, int maskWidth)> coverage, const QColor &color, Glow glow, double ratio)
{
    const double blur = glow.blurRadius * ratio;
    const int margin = shadowSpread(blur) + 1;
    return [coverage = std::move(coverage), color, opacity = glow.opacity, blur, margin](int left, int width) {
        return coverageWithShadow(coverage(left - margin, width + 2 * margin), color, opacity, blur, margin);
    };
}

} // namespace

TickerRenderer::TickerRenderer(const SettingsModel &model)
    : m_model(model)
{
}

TickerRenderer::~TickerRenderer() = default;

void TickerRenderer::setViewSize(const QSizeF &size)
{
    const bool heightChanged = size.height() != m_viewSize.height();
    m_viewSize = size;
    if (heightChanged && m_lastLayoutKey)
        redrawRun();
}

void TickerRenderer::setDevicePixelRatio(double ratio)
{
    if (ratio == m_devicePixelRatio || !(ratio > 0))
        return;
    m_devicePixelRatio = ratio;
    m_dotSprites = {};
    if (m_lastLayoutKey)
        redrawRun();
}

TickerRenderer::LayoutKey TickerRenderer::layoutKey() const
{
    const RibbexSettings &settings = m_model.settings();
    const auto &snapshot = m_model.weatherSnapshot();
    const auto &track = m_model.spotifyTrack();
    return {settings.style, settings.textColor, snapshot ? std::optional(symbolName(snapshot->icon)) : std::nullopt,
        track && track->progress, ribbex::hasSeparateFootballZone(settings),
        settings.thickSpotifyProgressBar.value_or(false)};
}

void TickerRenderer::refreshContent()
{
    ComposedLine line = composeTickerLine(m_model.items(), m_model.settings());
    m_footballTexts = std::move(line.footballTexts);
    m_clickableRanges = std::move(line.clickableRanges);
    const LayoutKey key = layoutKey();
    if (line.text != m_tickerText || m_lastLayoutKey != key) {
        m_tickerText = std::move(line.text);
        layOut(key.style);
        m_lastLayoutKey = key;
        redrawRun();
    }
    m_offset = wrappedOffset(m_offset, period());
}

void TickerRenderer::layOut(TickerStyle style)
{
    m_dotLine.reset();
    m_solidLayout.reset();
    if (style == TickerStyle::dotMatrix) {
        m_dotLine = std::make_shared<const DotMatrixLine>(m_tickerText);
        m_textWidth = std::min(m_dotLine->width(), maximumTextWidth);
        return;
    }
    const auto &snapshot = m_model.weatherSnapshot();
    const QPainterPath pictogram = snapshot ? weatherPictogram(symbolName(snapshot->icon)) : QPainterPath();
    m_solidLayout = std::make_shared<const SolidLayout>(m_tickerText, style, pictogram);
    m_textWidth = std::min(m_solidLayout->width(), maximumTextWidth);
}

void TickerRenderer::redrawRun()
{
    m_run.clear();
    if (m_textWidth <= 0 || m_viewSize.height() <= 0 || !(m_dotLine || m_solidLayout))
        return;
    ++m_runRenderCount;
    const QSize size(static_cast<int>(std::ceil(m_textWidth * m_devicePixelRatio)),
        static_cast<int>(std::lround(m_viewSize.height() * m_devicePixelRatio)));
    m_run.reset(size, m_solidLayout ? solidTiles(size.height()) : dotMatrixTiles(size.height()));
}

// What a tile shows is taken now: a tile drawn later must match those drawn before whatever the
// model says by then.
RunTiles::DrawTile TickerRenderer::dotMatrixTiles(int height)
{
    const auto &snapshot = m_model.weatherSnapshot();
    const double originY
        = dotMatrixOriginY(m_viewSize.height(), progressAllowance(m_model.settings(), m_model.spotifyTrack()));
    const double ratio = m_devicePixelRatio;
    return glowingTiles(
        [line = m_dotLine, &sprites = m_dotSprites, icon = snapshot ? std::optional(snapshot->icon) : std::nullopt,
            height, originY, ratio](int maskLeft, int maskWidth) {
            DotMask mask(QSize(maskWidth, height), ratio, sprites, maskLeft);
            line->appendDots(mask, maskLeft / ratio, (maskLeft + maskWidth) / ratio, originY, icon);
            return mask.coverage();
        },
        hex(m_model.settings().textColor), glowOf(TickerStyle::dotMatrix), ratio);
}

RunTiles::DrawTile TickerRenderer::solidTiles(int height) const
{
    const double allowance = progressAllowance(m_model.settings(), m_model.spotifyTrack());
    const double top = std::max(0.0, (m_viewSize.height() - m_solidLayout->height()) / 2 + allowance);
    const double ratio = m_devicePixelRatio;
    return glowingTiles(
        [layout = m_solidLayout, height, top, ratio](int maskLeft, int maskWidth) {
            QImage mask(maskWidth, height, QImage::Format_Alpha8);
            mask.fill(0);
            mask.setDevicePixelRatio(ratio);
            {
                QPainter painter(&mask);
                painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
                painter.setPen(Qt::white);
                // A whole number of device pixels, so the text lands on the pixels it has in the whole run.
                painter.translate(-maskLeft / ratio, 0);
                layout->draw(painter, top, maskLeft / ratio, (maskLeft + maskWidth) / ratio);
            }
            mask.setDevicePixelRatio(1);
            return mask;
        },
        hex(m_model.settings().textColor), glowOf(m_model.settings().style), ratio);
}

void TickerRenderer::advance()
{
    m_offset = advancedOffset(m_offset, m_model.settings().speed, m_textWidth, period());
    if (hasSeparateFootballZone() && !m_footballTexts.isEmpty())
        m_footballAnimationTime = advancedFootballTime(m_footballAnimationTime, m_footballTexts.size());
}

void TickerRenderer::paint(QPainter &painter)
{
    if (const QPaintDevice *device = painter.device())
        setDevicePixelRatio(device->devicePixelRatioF());
    const RibbexSettings &settings = m_model.settings();
    StripFrame frame;
    frame.background = stripBackground(settings, m_viewSize, m_devicePixelRatio);
    frame.progressBar
        = progressBar(settings, m_model.spotifyTrack(), textAreaWidth(), m_devicePixelRatio, m_model.clock().now());
    frame.style = settings.style;
    frame.textColor = hex(settings.textColor);
    frame.run = &m_run;
    frame.textWidth = m_textWidth;
    frame.period = period();
    frame.offset = m_offset;
    frame.footballZone = hasSeparateFootballZone();
    frame.footballTexts = m_footballTexts;
    frame.footballAnimationTime = m_footballAnimationTime;
    m_compositor.paint(painter, frame);
}

TickerStyle TickerRenderer::laidOutStyle() const
{
    return m_lastLayoutKey ? m_lastLayoutKey->style : m_model.settings().style;
}

double TickerRenderer::repeatGap() const
{
    return ribbex::repeatGap(laidOutStyle());
}

bool TickerRenderer::hasSeparateFootballZone() const
{
    return ribbex::hasSeparateFootballZone(m_model.settings());
}

double TickerRenderer::textAreaWidth() const
{
    return m_viewSize.width() - (hasSeparateFootballZone() ? footballZoneRect(m_viewSize).width() : 0.0);
}

bool TickerRenderer::isOpaque() const
{
    const RibbexSettings &settings = m_model.settings();
    return settings.backgroundTransparency.value_or(0.0) <= 0 && !settings.roundedTickerEdges.value_or(false);
}

QHash<qsizetype, QRectF> TickerRenderer::clickableHitRanges() const
{
    QHash<qsizetype, QRectF> rectangles;
    const bool dotted = m_dotLine != nullptr;
    if (!dotted && !m_solidLayout)
        return rectangles;
    for (const ClickableRange &range : m_clickableRanges) {
        const qsizetype end = range.location + range.length;
        const double left = dotted ? m_dotLine->xAt(range.location) : m_solidLayout->xAt(range.location);
        const double right = dotted ? m_dotLine->xAt(end) : m_solidLayout->xAt(end);
        rectangles.insert(range.location, QRectF(left, 0, right - left, m_viewSize.height()));
    }
    return rectangles;
}

std::optional<ClickableRange> TickerRenderer::rangeAt(const QPointF &point) const
{
    // The zone covers the text to its right, so nothing hidden there opens.
    if (point.y() <= clickTopBand || m_textWidth <= 0 || point.x() >= textAreaWidth() || period() <= 0)
        return std::nullopt;
    const QHash<qsizetype, QRectF> rectangles = clickableHitRanges();
    for (const double origin : {-m_offset, period() - m_offset}) {
        for (const ClickableRange &range : m_clickableRanges) {
            const auto found = rectangles.constFind(range.location);
            if (found == rectangles.cend())
                continue;
            if (origin + found->left() - clickSlack <= point.x() && point.x() <= origin + found->right() + clickSlack)
                return range;
        }
    }
    return std::nullopt;
}

} // namespace ribbex
