// The strip as pictures: small golden renders of each look and of a long line.

#include "ticker/strip_render.h"
#include "ticker/ticker_renderer.h"

#include "ticker_test.h"

#include <QDir>
#include <QPainter>

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;
using enum TickerSource;

// The picture must match the golden one of this name: fonts differ a little between machines,
// so one pixel in a thousand may differ by more than a few levels. RIBBEX_UPDATE_GOLDEN=1 writes
// the pictures drawn as the new goldens.
void expectGolden(const QImage &drawn, const QString &name)
{
    const QString golden = RIBBEX_GOLDEN_DIR "/"_L1 + name + u".png";
    if (qEnvironmentVariableIntValue("RIBBEX_UPDATE_GOLDEN") == 1) {
        EXPECT_TRUE(drawn.save(golden, "PNG", 0)) << golden.toStdString();
        return;
    }
    const QImage actual = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage expected = QImage(golden).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    qsizetype differing = actual.size() == expected.size() ? 0 : actual.width() * actual.height();
    for (int y = 0; y < actual.height() && actual.size() == expected.size(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y);
            const QRgb e = expected.pixel(x, y);
            differing += std::max({std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)),
                             std::abs(qBlue(a) - qBlue(e)), std::abs(qAlpha(a) - qAlpha(e))})
                > 4;
        }
    }
    if (differing <= actual.width() * actual.height() / 1000)
        return;
    const QString written = RIBBEX_GOLDEN_OUTPUT "/"_L1 + name + u".png";
    const bool saved = QDir().mkpath(RIBBEX_GOLDEN_OUTPUT ""_L1) && drawn.save(written);
    ADD_FAILURE() << name.toStdString() << ": " << differing << " pixels differ from " << golden.toStdString()
                  << "; the picture drawn is " << (saved ? written.toStdString() : "not written");
}

class TickerPictures : public TickerTest {
protected:
    QImage render(double width, double offset = 0) { return renderStrip(model(), {width, 2.0, offset}).value(); }
};

TEST_F(TickerPictures, EachLookMatchesItsGoldenPictureAlsoAfterChangingLooks)
{
    model().setNewsHeadlines({{u"It\u2019s hot"_s, link(0)}});
    model().setWeatherSnapshot(
        WeatherSnapshot {7, u"C"_s, u"Clear"_s, WeatherConditionIcon::clear, u"Oslo"_s, clock.now()});
    const SpotifyNowPlaying track {u"Song"_s, u"Band"_s, SpotifyTrackProgress {120, 240, clock.now(), false}};
    const struct {
        const char *name;
        TickerStyle style;
        std::set<TickerSource> sources;
        double transparency;
        QString textColor;
        bool zone; // with a thick progress bar, on a square strip
    } looks[] {
        {"classic", TickerStyle::classic, {weather, news}, 0.0, defaultTextColor, false},
        {"led", TickerStyle::led, {spotify, news}, 0.5, u"#7FD4FF"_s, false},
        {"dot-matrix", TickerStyle::dotMatrix, {weather, news}, 0.3, defaultTextColor, false},
        {"football-zone", TickerStyle::dotMatrix, {spotify, football}, 1.0, defaultTextColor, true},
    };
    // Follows every change, as the strip's renderer does, and must show what a fresh one shows.
    TickerRenderer following(model());
    following.setViewSize({240, 22});
    for (const auto &look : looks) {
        edit([&](RibbexSettings &s) {
            s.style = look.style;
            s.enabledSources = look.sources;
            s.backgroundTransparency = look.transparency;
            s.textColor = look.textColor;
            s.separateFootballZone = s.thickSpotifyProgressBar = look.zone;
            s.roundedTickerEdges = !look.zone;
        });
        // The track comes and goes with its source.
        model().setSpotifyTrack(look.sources.contains(spotify) ? std::optional(track) : std::nullopt);
        const QImage drawn = render(240);
        expectGolden(drawn, QString::fromLatin1(look.name));

        following.refreshContent();
        following.setFootballAnimationTime(0.55);
        QImage frame(drawn.size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        frame.setDevicePixelRatio(2);
        QPainter painter(&frame);
        following.paint(painter);
        painter.end();
        EXPECT_EQ(frame, drawn) << look.name;
        // Neither an unchanged model nor scrolling draws the whole run again.
        const int runs = following.runRenderCount();
        following.refreshContent();
        following.advance();
        following.setOffset(0);
        EXPECT_EQ(following.runRenderCount(), runs) << look.name;
    }
}

// A run used to be cut at 32,767 device pixels: the end of a long line scrolled by as empty space.
TEST_F(TickerPictures, ALongLineShowsWholeAcrossTheJoinsOfItsTilesInEveryLook)
{
    // One word, so the Classic line has no space to break it at.
    showHeadlines({QString(4000, u'E'), u"end"_s});
    QImage strips(240, 6 * 44, QImage::Format_ARGB32_Premultiplied);
    strips.fill(Qt::transparent);
    QPainter painter(&strips);
    int top = 0;
    for (const TickerStyle style : {TickerStyle::dotMatrix, TickerStyle::classic, TickerStyle::led}) {
        edit([&](RibbexSettings &s) { s.style = style; });
        TickerRenderer renderer(model());
        renderer.refreshContent();
        ASSERT_GT(renderer.textWidth() * 2, largestPictureEdge);
        // A join of tiles far into the line 60 points in, then the line's end and the next run.
        for (const double offset : {20 * RunTiles::tileWidth / 2.0 - 60, renderer.textWidth() - 50}) {
            painter.drawImage(QRect(0, top, 240, 44), render(120, offset));
            top += 44;
        }
    }
    painter.end();
    expectGolden(strips, u"long-line"_s);
}

TEST_F(TickerPictures, ALongLineScrollsByInBoundedMemory)
{
    showHeadlines({QString(4000, u'E'), u"end"_s});
    TickerRenderer renderer(model());
    renderer.refreshContent();
    QImage frame(960, 66, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(3);
    const auto frameAt = [&](double offset) {
        frame.fill(Qt::transparent);
        renderer.setOffset(offset);
        QPainter painter(&frame);
        renderer.paint(painter);
        painter.end();
        return frame.copy();
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
}

TEST_F(TickerPictures, PlainLineDropsTheSpotifyMarkAndNamesTheWeather)
{
    edit([](RibbexSettings &s) { s.enabledSources = {spotify, weather}; });
    model().setSpotifyTrack(SpotifyNowPlaying {u"Song"_s, u"Band"_s, std::nullopt});
    model().setWeatherSnapshot(
        WeatherSnapshot {-3, u"C"_s, u"Light snow"_s, WeatherConditionIcon::snow, u"Oslo"_s, clock.now()});
    EXPECT_EQ(plainTickerLine(model()), u" SONG - BAND \u2002\u2004|\u2004 -3\u00B0C Light snow OSLO "_s);
}

} // namespace
} // namespace ribbex::test
