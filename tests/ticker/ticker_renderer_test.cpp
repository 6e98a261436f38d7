#include "ticker/ticker_clicks.h"
#include "ticker/ticker_renderer.h"

#include "ticker_fixture.h"

#include <QPainter>

namespace ribbex::test {
namespace {

constexpr double advance = 12.393;
constexpr double separatorWidth = 35.630;

using RendererTest = TickerTest;

TEST_F(RendererTest, RunIsDrawnAgainOnlyWhenTextLayoutKeyOrScaleChange)
{
    showHeadlines({QStringLiteral("one")});
    TickerRenderer renderer(*model);
    renderer.refreshContent();
    const auto paintAt = [&](double ratio) {
        QImage image(640, 44, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        renderer.paint(painter);
    };
    const struct {
        const char *name;
        std::function<void()> change;
        int renders;
    } steps[] {
        {"nothing changed", [] {}, 1},
        {"background colour", [&] { changeSettings([](auto &s) { s.backgroundColor = QStringLiteral("#000000"); }); },
            1},
        {"transparency", [&] { changeSettings([](auto &s) { s.backgroundTransparency = 0.3; }); }, 1},
        {"scrolling",
            [&] {
                for (int i = 0; i < 100; ++i)
                    renderer.advance();
            },
            1},
        {"painting at the same scale", [&] { paintAt(1.0); }, 1},
        {"text colour", [&] { changeSettings([](auto &s) { s.textColor = QStringLiteral("#FFFFFF"); }); }, 2},
        {"text", [&] { showHeadlines({QStringLiteral("two")}); }, 3},
        {"scale", [&] { renderer.setDevicePixelRatio(2); }, 4},
        {"painting at that scale", [&] { paintAt(2.0); }, 4},
        {"painting at another scale", [&] { paintAt(1.5); }, 5},
        {"height",
            [&] {
                renderer.setViewSize({320, 24});
            },
            6},
        {"width",
            [&] {
                renderer.setViewSize({400, 24});
            },
            6},
        {"a progress bar appears",
            [&] {
                model->setSpotifyTrack(
                    SpotifyNowPlaying {QStringLiteral("s"), {}, SpotifyTrackProgress {1, 2, now(), true}});
            },
            7},
        {"style", [&] { changeSettings([](auto &s) { s.style = TickerStyle::led; }); }, 8},
    };
    for (const auto &step : steps) {
        step.change();
        renderer.refreshContent();
        EXPECT_EQ(renderer.runRenderCount(), step.renders) << step.name;
    }
}

TEST_F(RendererTest, OnlyFootballInItsZoneLeavesNothingToScroll)
{
    changeSettings([](RibbexSettings &s) {
        s.enabledSources = {TickerSource::football};
        s.separateFootballZone = true;
    });
    TickerRenderer renderer(*model);
    renderer.refreshContent();
    for (int i = 0; i < 10; ++i)
        renderer.advance();
    EXPECT_EQ(renderer.tickerText(), QString());
    EXPECT_EQ(renderer.textWidth(), 0.0);
    EXPECT_EQ(renderer.offset(), 0.0);
    EXPECT_TRUE(renderer.runPicture().isNull());
    EXPECT_EQ(renderer.footballTickerTexts(), QStringList {QStringLiteral("NO FIXTURES")});
    EXPECT_NEAR(renderer.footballAnimationTime(), 10.0 / 30, 1e-9);
}

TEST_F(RendererTest, ClicksHitRangesWithSlackBelowTheTopBandInEitherCopy)
{
    // " AB " separator " CD ": AB from 1 character in, CD from 4 characters and a separator in.
    showHeadlines({QStringLiteral("ab"), QStringLiteral("cd")});
    TickerRenderer renderer(*model);
    renderer.refreshContent();
    const double abLeft = advance;
    const double abRight = 3 * advance;
    const double cdLeft = 5 * advance + separatorWidth;
    const double period = 8 * advance + separatorWidth + 49.572;
    ASSERT_NEAR(renderer.period(), period, 0.001);
    const struct {
        const char *name;
        double offset;
        QPointF point;
        int headline; // -1: nothing
    } cases[] {
        {"inside", 0, {abLeft + 5, 11}, 0},
        {"one point left of the first glyph", 0, {abLeft - 0.9, 11}, 0},
        {"beyond the slack", 0, {abLeft - 1.1, 11}, -1},
        {"one point right of the last glyph", 0, {abRight + 0.9, 11}, 0},
        {"in the separator", 0, {abRight + 2, 11}, -1},
        {"the second headline", 0, {cdLeft + 1, 21}, 1},
        {"the top five points", 0, {abLeft + 5, 5}, -1},
        {"just below them", 0, {abLeft + 5, 5.1}, 0},
        {"the second copy", 150, {period - 150 + abLeft + 5, 11}, 0},
        {"the first copy scrolled", 20, {cdLeft - 20 + 1, 11}, 1},
    };
    for (const auto &c : cases) {
        renderer.setOffset(c.offset);
        const std::optional<ClickableRange> hit = renderer.rangeAt(c.point);
        if (c.headline < 0) {
            EXPECT_FALSE(hit) << c.name;
            continue;
        }
        ASSERT_TRUE(hit) << c.name;
        EXPECT_EQ(hit->url, headline({}, c.headline).url) << c.name;
    }
}

TEST_F(RendererTest, ClassicAndLedHitRangesFollowTheLaidOutText)
{
    showHeadlines({QStringLiteral("first headline"), QStringLiteral("second")});
    for (const TickerStyle style : {TickerStyle::classic, TickerStyle::led}) {
        changeSettings([&](RibbexSettings &s) { s.style = style; });
        TickerRenderer renderer(*model);
        renderer.refreshContent();
        const QHash<qsizetype, QRectF> rectangles = renderer.clickableHitRanges();
        ASSERT_EQ(rectangles.size(), 2);
        const QRectF first = rectangles.value(renderer.clickableRanges()[0].location);
        const QRectF second = rectangles.value(renderer.clickableRanges()[1].location);
        EXPECT_GT(first.left(), 0);
        EXPECT_GT(second.left(), first.right() + 10) << "the separator lies between";
        EXPECT_LT(second.right(), renderer.textWidth());
        EXPECT_EQ(renderer.rangeAt({first.center().x(), 11})->url, headline({}, 0).url);
        EXPECT_EQ(renderer.rangeAt({second.center().x(), 11})->url, headline({}, 1).url);
        EXPECT_FALSE(renderer.rangeAt({(first.right() + second.left()) / 2, 11}));
    }
}

TEST_F(RendererTest, TheFootballZoneHidesTheTextUnderIt)
{
    showHeadlines({QStringLiteral("ab"), QStringLiteral("cd")});
    TickerRenderer renderer(*model);
    renderer.refreshContent();
    // The second copy's CD lies at x 282 to 307 in a 320-point view.
    const QPointF underZone(renderer.period() + 5 * advance + separatorWidth + 5, 11);
    EXPECT_TRUE(renderer.rangeAt(underZone));
    changeSettings([](RibbexSettings &s) {
        s.enabledSources.insert(TickerSource::football);
        s.separateFootballZone = true;
    });
    renderer.refreshContent();
    EXPECT_FALSE(renderer.rangeAt(underZone));
}

struct RecordingClickHandler final : TickerClickHandler {
    void openLink(const QUrl &url) override { opened.append(url); }
    void activateSpotify() override { ++spotifyActivations; }

    QList<QUrl> opened;
    int spotifyActivations = 0;
};

TEST(TickerClicksTest, OnlyWebLinksOpenAndSpotifyComesForward)
{
    const struct {
        TickerSource source;
        const char *url;
        bool opens;
        bool activatesSpotify;
    } cases[] {
        {TickerSource::news, "https://example.org/a", true, false},
        {TickerSource::news, "HTTP://EXAMPLE.ORG/a", true, false},
        {TickerSource::news, "ftp://example.org/a", false, false},
        {TickerSource::news, "file:///etc/passwd", false, false},
        {TickerSource::news, "javascript:alert(1)", false, false},
        {TickerSource::news, "https:/no-host", false, false},
        {TickerSource::weather, "weather://", false, false},
        {TickerSource::spotify, "spotify:", false, true},
    };
    for (const auto &c : cases) {
        RecordingClickHandler handler;
        const QUrl url(QString::fromLatin1(c.url));
        handleClick({0, 1, c.source, url}, handler);
        EXPECT_EQ(handler.opened, c.opens ? QList<QUrl> {url} : QList<QUrl> {}) << c.url;
        EXPECT_EQ(handler.spotifyActivations, c.activatesSpotify ? 1 : 0) << c.url;
    }
}

} // namespace
} // namespace ribbex::test
