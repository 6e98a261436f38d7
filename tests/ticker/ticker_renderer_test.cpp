// The renderer's bookkeeping: when the run is drawn again, what a click hits, what it opens.

#include "ticker/ticker_clicks.h"
#include "ticker/ticker_renderer.h"

#include "ticker_test.h"

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

class RendererTest : public TickerTest {
protected:
    QUrl urlAt(double x, double y = 11) const
    {
        const std::optional<ClickableRange> hit = renderer.rangeAt({x, y});
        return hit ? hit->url : QUrl();
    }

    TickerRenderer renderer {model()};
};

TEST_F(RendererTest, ClicksHitRangesWithSlackBelowTheTopBandInEitherCopyOutsideTheZone)
{
    // Dot Matrix: " AB " separator " CD ", every character 12.393 points, the separator 35.630.
    constexpr double advance = 12.393;
    const double abLeft = advance;
    const double abRight = 3 * advance;
    const double cdLeft = 5 * advance + 35.630;
    const double period = cdLeft + 3 * advance + 49.572;
    showHeadlines({u"ab"_s, u"cd"_s});
    const struct {
        const char *name;
        double offset;
        QPointF point;
        int headline; // -1: nothing
        bool zone = false;
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
        // The second copy's CD lies at x 282 to 307 of the 320-point strip, where the zone is.
        {"the right quarter", 0, {period + cdLeft + 5, 11}, 1},
        {"the football zone over it", 0, {period + cdLeft + 5, 11}, -1, true},
    };
    for (const auto &c : cases) {
        edit([&](RibbexSettings &s) {
            s.separateFootballZone = c.zone;
            if (c.zone)
                s.enabledSources.insert(TickerSource::football);
        });
        renderer.refreshContent();
        ASSERT_NEAR(renderer.period(), period, 0.001);
        renderer.setOffset(c.offset);
        EXPECT_EQ(urlAt(c.point.x(), c.point.y()), c.headline < 0 ? QUrl() : link(c.headline)) << c.name;
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
        ASSERT_GT(first.left(), 0);
        ASSERT_GT(second.left(), first.right() + 10) << "the separator lies between";
        ASSERT_LT(second.right(), renderer.textWidth());
        EXPECT_EQ(urlAt(first.center().x()), link(0));
        EXPECT_EQ(urlAt(second.center().x()), link(1));
        EXPECT_EQ(urlAt((first.right() + second.left()) / 2), QUrl());
    }
}

TEST_F(RendererTest, OnlyFootballInItsZoneLeavesNothingToScrollWhileTheZoneRuns)
{
    edit([](RibbexSettings &s) {
        s.enabledSources = {TickerSource::football};
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

// A feed may carry any scheme, and the desktop would start whatever handler it names.
TEST(TickerClicksTest, OnlyWebLinksOpen)
{
    const struct {
        const char *url;
        bool opens;
    } cases[] {
        {"https://example.org/a", true},
        {"HTTP://EXAMPLE.ORG/a", true},
        {"ftp://example.org/a", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"https:/no-host", false},
        {"weather://", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isOpenableLink(QUrl(QString::fromLatin1(c.url))), c.opens) << c.url;
}

} // namespace
} // namespace ribbex::test
