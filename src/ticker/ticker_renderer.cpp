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

// QPainter's rasteriser works in 16-bit whole pixels; a longer run is cut there.
constexpr int maximumRunDeviceWidth = 32000;
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
        rebuildCachedTickerImage();
}

void TickerRenderer::setDevicePixelRatio(double ratio)
{
    if (ratio == m_devicePixelRatio || !(ratio > 0))
        return;
    m_devicePixelRatio = ratio;
    m_dotSprites = {};
    if (m_lastLayoutKey)
        rebuildCachedTickerImage();
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
        rebuildCachedTickerImage();
    }
    m_offset = wrappedOffset(m_offset, period());
}

void TickerRenderer::layOut(TickerStyle style)
{
    if (style == TickerStyle::dotMatrix) {
        m_solidLayout.reset();
        m_textWidth = dotMatrixWidth(m_tickerText);
        return;
    }
    const auto &snapshot = m_model.weatherSnapshot();
    const QPainterPath pictogram = snapshot ? weatherPictogram(symbolName(snapshot->icon)) : QPainterPath();
    const double maximumWidth = std::max(m_viewSize.width() * 20, 10000.0);
    m_solidLayout = std::make_unique<SolidLayout>(m_tickerText, style, pictogram, maximumWidth);
    m_textWidth = m_solidLayout->width();
}

void TickerRenderer::rebuildCachedTickerImage()
{
    m_cachedTickerImage = QImage();
    if (m_textWidth <= 0 || m_viewSize.height() <= 0)
        return;
    ++m_runRenderCount;
    const QSize size(std::min(static_cast<int>(std::ceil(m_textWidth * m_devicePixelRatio)), maximumRunDeviceWidth),
        static_cast<int>(std::lround(m_viewSize.height() * m_devicePixelRatio)));
    m_cachedTickerImage = m_solidLayout ? renderSolidRun(size) : renderDotMatrixRun(size);
    m_cachedTickerImage.setDevicePixelRatio(m_devicePixelRatio);
}

QImage TickerRenderer::renderDotMatrixRun(const QSize &size)
{
    const auto &snapshot = m_model.weatherSnapshot();
    const double allowance = progressAllowance(m_model.settings(), m_model.spotifyTrack());
    DotMask mask(size, m_devicePixelRatio, m_dotSprites);
    appendTickerRunDots(mask, m_tickerText, 0, dotMatrixOriginY(m_viewSize.height(), allowance),
        snapshot ? std::optional(snapshot->icon) : std::nullopt);
    const Glow glow = glowOf(TickerStyle::dotMatrix);
    return coverageWithShadow(
        mask.coverage(), hex(m_model.settings().textColor), glow.opacity, glow.blurRadius * m_devicePixelRatio);
}

QImage TickerRenderer::renderSolidRun(const QSize &size) const
{
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(0);
    mask.setDevicePixelRatio(m_devicePixelRatio);
    {
        QPainter painter(&mask);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.setPen(Qt::white);
        const double allowance = progressAllowance(m_model.settings(), m_model.spotifyTrack());
        m_solidLayout->draw(painter, std::max(0.0, (m_viewSize.height() - m_solidLayout->height()) / 2 + allowance));
    }
    mask.setDevicePixelRatio(1);
    const Glow glow = glowOf(m_model.settings().style);
    return coverageWithShadow(
        mask, hex(m_model.settings().textColor), glow.opacity, glow.blurRadius * m_devicePixelRatio);
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
    frame.run = &m_cachedTickerImage;
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
    const bool dotted = laidOutStyle() == TickerStyle::dotMatrix;
    if (!dotted && !m_solidLayout)
        return rectangles;
    for (const ClickableRange &range : m_clickableRanges) {
        const qsizetype end = range.location + range.length;
        const double left = dotted ? dotMatrixWidth(QStringView(m_tickerText).first(range.location))
                                   : m_solidLayout->xAt(range.location);
        const double right = dotted
            ? left + dotMatrixWidth(QStringView(m_tickerText).sliced(range.location, range.length))
            : m_solidLayout->xAt(end);
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
