// The renderer over a model: golden pictures of the looks and of a long line, when the run is redrawn, what a click
// hits.

#include "ticker/strip_render.h"
#include "ticker/ticker_renderer.h"

#include "ticker_test.h"

#include <QDir>
#include <QPainter>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;
using enum TickerSource;

// Fonts differ a little between machines, so one pixel in a thousand may differ by more than a
// few levels. RIBBEX_UPDATE_GOLDEN=1 writes the pictures drawn as the new goldens.
void expectGolden(const QImage &drawn, const QString &name)
{
    const QString golden = RIBBEX_GOLDEN_DIR "/"_L1 + name + u".png";
    if (qEnvironmentVariableIntValue("RIBBEX_UPDATE_GOLDEN") == 1) {
        EXPECT_TRUE(drawn.save(golden, "PNG", 0));
        return;
    }
    const QImage a = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage e = QImage(golden).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const uchar *p = a.constBits(), *q = e.constBits();
    const auto far = [&](qsizetype i) { return std::abs(p[i] - q[i]) > 4; };
    qsizetype differing = a.size() == e.size() ? 0 : a.sizeInBytes();
    for (qsizetype i = 0; i < a.sizeInBytes() && a.size() == e.size(); i += 4)
        differing += far(i) || far(i + 1) || far(i + 2) || far(i + 3);
    // The picture drawn is written to the working directory only on failure.
    const QString written = QDir::current().absoluteFilePath(name + u"-drawn.png");
    EXPECT_LE(differing, a.width() * a.height() / 1000)
        << name.toStdString() << " differs from " << golden.toStdString()
        << "; drawn: " << (drawn.save(written) ? written.toStdString() : "not written");
}

class RendererTest : public TickerTest {
protected:
    QUrl urlAt(double x, double y = 11) const
    {
        const std::optional<ClickableRange> hit = renderer.rangeAt({x, y});
        return hit ? hit->url : QUrl();
    }

    QImage frame(const QSize &size, double ratio)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        renderer.paint(painter);
        painter.end();
        return image;
    }

    TickerRenderer renderer {model()};
};

TEST_F(RendererTest, EachLookMatchesItsGoldenPictureAlsoAfterChangingLooks)
{
    model().setNewsHeadlines({{u"It\u2019s hot"_s, link(0)}});
    model().setWeatherSnapshot(
        WeatherSnapshot {7, u"C"_s, u"Clear"_s, WeatherConditionIcon::clear, u"Oslo"_s, clock.now()});
    const SpotifyNowPlaying track {u"Song"_s, u"Band"_s, SpotifyTrackProgress {120, 240, clock.now(), false}};
    // the golden, style, sources, transparency, text colour, zone (with a thick progress bar, on a square strip)
    const std::tuple<const char *, TickerStyle, std::set<TickerSource>, double, QString, bool> looks[] {
        {"classic", TickerStyle::classic, {weather, news}, 0.0, defaultTextColor, false},
        {"led", TickerStyle::led, {spotify, news}, 0.5, u"#7FD4FF"_s, false},
        {"dot-matrix", TickerStyle::dotMatrix, {weather, news}, 0.3, defaultTextColor, false},
        {"football-zone", TickerStyle::dotMatrix, {spotify, football}, 1.0, defaultTextColor, true},
    };
    // The fixture's renderer follows every change, as the strip's does, and must show what a fresh one shows.
    renderer.setViewSize({240, 22});
    for (const auto &[name, style, sources, transparency, textColor, zone] : looks) {
        edit([&](RibbexSettings &s) {
            s.style = style;
            s.enabledSources = sources;
            s.backgroundTransparency = transparency;
            s.textColor = textColor;
            s.separateFootballZone = s.thickSpotifyProgressBar = zone;
            s.roundedTickerEdges = !zone;
        });
        model().setSpotifyTrack(sources.contains(spotify) ? std::optional(track) : std::nullopt);
        const QImage drawn = renderStrip(model(), {240, 2.0}).value();
        expectGolden(drawn, QString::fromLatin1(name));
        renderer.refreshContent();
        renderer.setFootballAnimationTime(0.55);
        EXPECT_EQ(frame(drawn.size(), 2), drawn) << name;
        // Neither an unchanged model nor scrolling draws the whole run again.
        const int runs = renderer.runRenderCount();
        renderer.refreshContent();
        renderer.advance();
        EXPECT_EQ(renderer.runRenderCount(), runs) << name;
        renderer.setOffset(0);
    }
}

// A run used to be cut at 32,767 device pixels: the end of a long line scrolled by as empty space.
TEST_F(RendererTest, ALongLineScrollsByInBoundedMemoryAndShowsWholeAcrossTheJoinsOfItsTilesInEveryLook)
{
    // One word, so the Classic line has no space to break it at.
    showHeadlines({QString(4000, u'E'), u"end"_s});
    renderer.refreshContent();
    const auto frameAt = [&](double offset) {
        renderer.setOffset(offset);
        return frame({960, 66}, 3);
    };
    const double end = renderer.textWidth() - 150;
    const QImage atTheEnd = frameAt(end);
    for (double x = 0; x < end - 1000; x += 600)
        frameAt(x);
    EXPECT_LE(renderer.runPicture().keptBytes(), RunTiles::byteBudget);
    // The tiles at the end, dropped on the way, are drawn again as they were.
    const int drawn = renderer.runPicture().drawnTiles();
    EXPECT_EQ(frameAt(end), atTheEnd);
    EXPECT_GT(renderer.runPicture().drawnTiles(), drawn);

    QImage strips(240, 6 * 44, QImage::Format_ARGB32_Premultiplied);
    strips.fill(Qt::transparent);
    QPainter painter(&strips);
    int top = 0;
    for (const TickerStyle style : {TickerStyle::dotMatrix, TickerStyle::classic, TickerStyle::led}) {
        edit([&](RibbexSettings &s) { s.style = style; });
        renderer.refreshContent();
        ASSERT_GT(renderer.textWidth() * 2, largestPictureEdge);
        // A join of tiles far into the line 60 points in, then the line's end and the next run.
        for (const double offset : {20 * RunTiles::tileWidth / 2.0 - 60, renderer.textWidth() - 50}) {
            painter.drawImage(QRect(0, top, 240, 44), renderStrip(model(), {120, 2.0, offset}).value());
            top += 44;
        }
    }
    painter.end();
    expectGolden(strips, u"long-line"_s);
}

TEST_F(RendererTest, ClicksHitRangesWithSlackBelowTheTopBandInEitherCopyOutsideTheZone)
{
    // Dot Matrix: " AB " separator " CD ", every character 12.393 points, the separator 35.630.
    constexpr double advance = 12.393;
    const double abLeft = advance;
    const double abRight = 3 * advance;
    const double cdLeft = 5 * advance + 35.630;
    const double period = cdLeft + 3 * advance + 49.572;
    showHeadlines({u"ab"_s, u"cd"_s});
    // what the case is, the offset, the point clicked, the headline hit (-1: none), whether the zone is on
    const std::tuple<const char *, double, QPointF, int, bool> cases[] {
        {"one point left of the first glyph", 0, {abLeft - 0.9, 11}, 0, false},
        {"beyond the slack", 0, {abLeft - 1.1, 11}, -1, false},
        {"one point right of the last glyph", 0, {abRight + 0.9, 11}, 0, false},
        {"in the separator", 0, {abRight + 2, 11}, -1, false},
        {"the second headline", 0, {cdLeft + 1, 21}, 1, false},
        {"the top five points", 0, {abLeft + 5, 5}, -1, false},
        {"just below them", 0, {abLeft + 5, 5.1}, 0, false},
        {"the second copy", 150, {period - 150 + abLeft + 5, 11}, 0, false},
        {"the first copy scrolled", 20, {cdLeft - 20 + 1, 11}, 1, false},
        // The second copy's CD lies at x 282 to 307 of the 320-point strip, where the zone is.
        {"the right quarter", 0, {period + cdLeft + 5, 11}, 1, false},
        {"the football zone over it", 0, {period + cdLeft + 5, 11}, -1, true},
    };
    for (const auto &[name, offset, point, headline, zone] : cases) {
        edit([&](RibbexSettings &s) {
            s.separateFootballZone = zone;
            if (zone)
                s.enabledSources.insert(football);
        });
        renderer.refreshContent();
        ASSERT_NEAR(renderer.period(), period, 0.001);
        renderer.setOffset(offset);
        EXPECT_EQ(urlAt(point.x(), point.y()), headline < 0 ? QUrl() : link(headline)) << name;
    }
}

TEST_F(RendererTest, ClassicAndLedRangesFollowTheLaidOutText)
{
    showHeadlines({u"first headline"_s, u"second"_s});
    for (const TickerStyle style : {TickerStyle::classic, TickerStyle::led}) {
        edit([&](RibbexSettings &s) { s.style = style; });
        renderer.refreshContent();
        const QRectF first = renderer.clickableHitRanges().value(renderer.clickableRanges().value(0).location);
        const QRectF second = renderer.clickableHitRanges().value(renderer.clickableRanges().value(1).location);
        ASSERT_GT(second.left(), first.right() + 10) << "the separator lies between";
        EXPECT_EQ(urlAt(first.center().x()), link(0));
        EXPECT_EQ(urlAt(second.center().x()), link(1));
        EXPECT_EQ(urlAt((first.right() + second.left()) / 2), QUrl());
    }
}

TEST_F(RendererTest, OnlyFootballInItsZoneLeavesNothingToScrollWhileTheZoneRuns)
{
    edit([](RibbexSettings &s) {
        s.enabledSources = {football};
        s.separateFootballZone = true;
    });
    renderer.refreshContent();
    for (int i = 0; i < 10; ++i)
        renderer.advance();
    EXPECT_EQ(renderer.tickerText(), QString());
    EXPECT_EQ(renderer.offset(), 0.0);
    EXPECT_EQ(renderer.footballTickerTexts(), QStringList {u"NO FIXTURES"_s});
    EXPECT_NEAR(renderer.footballAnimationTime(), 10.0 / 30, 1e-9);
}

} // namespace
} // namespace ribbex::test
