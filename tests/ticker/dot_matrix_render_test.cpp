// Rendered Dot Matrix pixels against the dot positions the geometry gives.

#include "ticker/strip_render.h"
#include "ticker/ticker_renderer.h"

#include "ticker_fixture.h"

#include <QPainter>

namespace ribbex::test {
namespace {

constexpr double advance = 12.393;
constexpr double pitchX = 2.0655;
constexpr double pitchY = 1.62;
constexpr double diameter = 1.30815;
constexpr double drawnWidth = 4 * pitchX + diameter; // of a 5-column glyph
constexpr double drawnHeight = 6 * pitchY + diameter; // of a 7-row glyph

using Rows = std::array<const char *, 7>;

class DotMatrixRenderTest : public TickerTest {
protected:
    // Every cell of a glyph centred in the advance that starts at pen: lit cells fully lit,
    // unlit ones dark apart from their neighbours' glow.
    void expectGlyph(const QImage &image, const Rows &rows, double pen, double originY, double scale = 1.0)
    {
        const double left = pen + (advance - scale * drawnWidth) / 2;
        const double top = originY + (drawnHeight - scale * drawnHeight) / 2;
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < 5; ++c) {
                const double x = left + scale * (c * pitchX + diameter / 2);
                const double y = top + scale * (r * pitchY + diameter / 2);
                const double alpha = Pixels {image}.alphaAt(x, y);
                if (rows[static_cast<size_t>(r)][c] == '1')
                    EXPECT_GT(alpha, 0.9) << "row " << r << " column " << c << " at pen " << pen;
                else
                    EXPECT_LT(alpha, 0.35) << "row " << r << " column " << c << " at pen " << pen;
            }
        }
    }

    // How far a pixel has gone from the background towards the text colour, by its red channel.
    static double towardsText(const QColor &pixel) { return (pixel.red() - 0x17) / double(0xFF - 0x17); }
};

TEST_F(DotMatrixRenderTest, GlyphsAndTheWeatherIconSitWhereTheGeometryPutsThem)
{
    changeSettings([](RibbexSettings &s) { s.enabledSources = {TickerSource::weather}; });
    model->setWeatherSnapshot(WeatherSnapshot {
        7, QStringLiteral("C"), QStringLiteral("Clear"), WeatherConditionIcon::clear, QStringLiteral("oslo"), now()});
    // " 7°C \uFFFC OSLO ": every character advances 12.393 points.
    const Rows seven {"11111", "00001", "00010", "00100", "01000", "01000", "01000"};
    const Rows degree {"00110", "01001", "01001", "00110", "00000", "00000", "00000"};
    const Rows c {"01111", "10000", "10000", "10000", "10000", "10000", "01111"};
    const Rows sun {"00100", "10101", "01110", "11111", "01110", "10101", "00100"};
    const Rows o {"01110", "10001", "10001", "10001", "10001", "10001", "01110"};
    const Rows s {"01111", "10000", "10000", "01110", "00001", "00001", "11110"};
    const Rows l {"10000", "10000", "10000", "10000", "10000", "10000", "11111"};
    for (const double scale : {2.0, 3.0}) {
        SCOPED_TRACE(scale);
        const QImage image = renderStrip(*model, {320.0, scale}).value();
        const double originY = (22 - 11.34) / 2;
        expectGlyph(image, seven, 1 * advance, originY);
        expectGlyph(image, degree, 2 * advance, originY);
        expectGlyph(image, c, 3 * advance, originY);
        expectGlyph(image, sun, 5 * advance, originY, 1.1);
        expectGlyph(image, o, 7 * advance, originY);
        expectGlyph(image, s, 8 * advance, originY);
        expectGlyph(image, l, 9 * advance, originY);
        expectGlyph(image, o, 10 * advance, originY);
    }
}

TEST_F(DotMatrixRenderTest, TheTextMovesDownUnderAProgressBar)
{
    changeSettings([](RibbexSettings &s) {
        s.enabledSources = {TickerSource::spotify};
        s.thickSpotifyProgressBar = true;
    });
    model->setSpotifyTrack(
        SpotifyNowPlaying {QStringLiteral("l"), std::nullopt, SpotifyTrackProgress {0, 100, now(), false}});
    // " \uE000 L ": the L is the fourth character.
    const Rows l {"10000", "10000", "10000", "10000", "10000", "10000", "11111"};
    expectGlyph(renderStrip(*model, {320.0, 2.0}).value(), l, 3 * advance, 3.0 + (22 - 11.34) / 2);
}

TEST_F(DotMatrixRenderTest, GridCoversTheStripInRowsEveryTwoPoints)
{
    showHeadlines({QStringLiteral("i")});
    changeSettings([](RibbexSettings &s) { s.backgroundTransparency = 0.0; });
    const QImage image = renderStrip(*model, {320.0, 2.0}).value();
    // " I " ends at 37.2 and its repeat starts at 86.7: only the grid lies between.
    for (int column = 16; column <= 30; ++column) {
        const double x = 2.0 + column * 2.55 + 1.21125 / 2;
        for (int row = 0; row < 11; ++row) {
            const double y = 1 + 2 * row + 1.21125 / 2;
            EXPECT_NEAR(towardsText(Pixels {image}.at(x, y)), 0.16, 0.035) << column << ", " << row;
            if (row < 10) {
                EXPECT_NEAR(towardsText(Pixels {image}.at(x, y + 1)), 0.0, 0.01) << "between rows " << row;
            }
            EXPECT_NEAR(towardsText(Pixels {image}.at(x + 1.27, y)), 0.0, 0.01) << "between columns " << column;
        }
    }
}

TEST_F(DotMatrixRenderTest, FootballZoneHasItsDividerAndFitsItsLine)
{
    changeSettings([](RibbexSettings &s) {
        s.enabledSources = {TickerSource::football};
        s.separateFootballZone = true;
    });
    const QImage image = renderStrip(*model, {320.0, 4.0, 0, 1.0}).value();
    // A 1-point line at x = 240 from y = 2 to 20, in the text colour at 0.35.
    for (const double y : {2.1, 11.0, 19.9})
        EXPECT_NEAR(Pixels {image}.alphaAt(240.0, y), 0.35, 0.01) << y;
    for (const QPointF outside : {QPointF(240.0, 1.9), QPointF(240.0, 20.1), QPointF(239.4, 11.0)})
        EXPECT_EQ(Pixels {image}.alphaAt(outside.x(), outside.y()), 0.0) << outside.x() << ", " << outside.y();

    // "NO FIXTURES" is 136.3 points wide, shrunk to the 78-point line rectangle at rest.
    const double s = 78 / (11 * advance);
    const double top = (22 - 15.34) / 2 + (15.34 - s * 11.34) / 2;
    const Rows n {"10001", "11001", "10101", "10011", "10001", "10001", "10001"};
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 5; ++c) {
            const double alpha
                = Pixels {image}.alphaAt(241 + s * (c * pitchX + diameter / 2), top + s * (r * pitchY + diameter / 2));
            EXPECT_EQ(alpha > 0.9, n[static_cast<size_t>(r)][c] == '1') << r << ", " << c << ": " << alpha;
        }
    }
}

TEST_F(DotMatrixRenderTest, ProgressBarLightsTheDotsUpToItsFraction)
{
    changeSettings([](RibbexSettings &s) {
        s.enabledSources = {TickerSource::spotify};
        s.roundedTickerEdges = false;
    });
    model->setSpotifyTrack(
        SpotifyNowPlaying {QStringLiteral("x"), std::nullopt, SpotifyTrackProgress {120, 240, now(), false}});
    const QImage image = renderStrip(*model, {320.0, 2.0}).value();
    // Dots every 2.55 points from x = 2; lit while their centre lies within 160 points.
    const double y = (4.18 - 1.21125) / 2 + 1.21125 / 2;
    for (const int dot : {0, 30, 61, 62, 100, 123}) {
        const double x = 2.0 + dot * 2.55 + 1.21125 / 2;
        EXPECT_NEAR(Pixels {image}.alphaAt(x, y), dot <= 61 ? 1.0 : 0.16, 0.04) << dot;
        EXPECT_EQ(Pixels {image}.alphaAt(x + 1.27, y), 0.0) << "between dots " << dot;
    }
}

// A run used to be cut at 32,000 device pixels: the end of a long line scrolled by as empty space.
TEST_F(DotMatrixRenderTest, ALongLineIsDrawnWholeInEveryLook)
{
    const Rows e {"11111", "10000", "10000", "11110", "10000", "10000", "11111"};
    const Rows n {"10001", "11001", "10101", "10011", "10001", "10001", "10001"};
    const Rows d {"11110", "10001", "10001", "10001", "10001", "10001", "11110"};
    // " EEE…E " separator " END ": one word, so the Classic line has no space to break it at.
    showHeadlines({QString(4000, u'E'), QStringLiteral("end")});
    constexpr double ratio = 3;
    const double originY = (22 - 11.34) / 2;
    for (const TickerStyle style : {TickerStyle::dotMatrix, TickerStyle::classic, TickerStyle::led}) {
        SCOPED_TRACE(static_cast<int>(style));
        changeSettings([&](RibbexSettings &s) { s.style = style; });
        TickerRenderer renderer(*model);
        renderer.setViewSize({320, 22});
        renderer.setDevicePixelRatio(ratio);
        renderer.refreshContent();
        ASSERT_GT(renderer.textWidth() * ratio, 40000);
        const auto frameAt = [&](double offset) {
            QImage image(960, 66, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            image.setDevicePixelRatio(ratio);
            renderer.setOffset(offset);
            QPainter painter(&image);
            renderer.paint(painter);
            return image;
        };
        const auto maximumAlpha = [](const QImage &image, double from, double to) {
            double alpha = 0;
            for (int x = static_cast<int>(from * ratio); x < static_cast<int>(to * ratio); ++x)
                for (int y = 0; y < image.height(); ++y)
                    alpha = std::max(alpha, static_cast<double>(image.pixelColor(x, y).alphaF()));
            return alpha;
        };

        // "END" 40 points in, the end of the line after it and only empty space up to the next run.
        const QRectF end = renderer.clickableHitRanges().value(renderer.clickableRanges().last().location);
        const double offset = end.left() - 40;
        const QImage atTheEnd = frameAt(offset);
        EXPECT_GT(maximumAlpha(atTheEnd, 40, 40 + end.width()), 0.9);
        const double lineEnd = renderer.textWidth() - offset;
        EXPECT_EQ(maximumAlpha(atTheEnd, lineEnd + 5, lineEnd + renderer.repeatGap() - 5), 0.0);
        if (style == TickerStyle::dotMatrix) {
            expectGlyph(atTheEnd, e, 40, originY);
            expectGlyph(atTheEnd, n, 40 + advance, originY);
            expectGlyph(atTheEnd, d, 40 + 2 * advance, originY);
            // Where a seam between tiles far into the line runs 100 points into the strip, every
            // E on either side of it sits where the geometry puts it.
            const double seam = std::floor(1700 * advance * ratio / RunTiles::tileWidth) * RunTiles::tileWidth / ratio;
            const QImage atTheSeam = frameAt(seam - 100);
            for (int i = static_cast<int>((seam - 100) / advance) + 1; (i - 1) * advance < seam + 200; ++i)
                expectGlyph(atTheSeam, e, i * advance - (seam - 100), originY);
        }

        // Scrolling through the line keeps no more than the budget, and the tiles at its end,
        // dropped on the way, are drawn again as they were.
        for (double x = 0; x < offset - 1000; x += 600)
            frameAt(x);
        EXPECT_LE(renderer.runPicture().keptBytes(), RunTiles::byteBudget);
        const int drawn = renderer.runPicture().drawnTiles();
        EXPECT_EQ(frameAt(offset), atTheEnd);
        EXPECT_GT(renderer.runPicture().drawnTiles(), drawn);
    }
}

} // namespace
} // namespace ribbex::test
