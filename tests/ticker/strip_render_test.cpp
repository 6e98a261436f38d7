#include "ticker/menu_bar_scroller_view.h"
#include "ticker/strip_render.h"
#include "ticker/ticker_clicks.h"

#include "ticker_fixture.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <limits>

namespace ribbex::test {
namespace {

using StripRenderTest = TickerTest;

TEST_F(StripRenderTest, PictureIs22PointsHighAtTheGivenScale)
{
    changeSettings([](RibbexSettings &s) { s.width = 200; });
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        StripRenderOptions options;
        QSize size;
    } cases[] {
        {{}, {200, 22}},
        {{std::nullopt, 2.0}, {400, 44}},
        {{350.0, 1.5}, {525, 33}},
        {{0.0, 1.0}, {0, 0}},
        {{-5.0, 1.0}, {0, 0}},
        {{100.0, 0.0}, {0, 0}},
        {{nan, 1.0}, {0, 0}},
    };
    for (const auto &c : cases) {
        const auto image = renderStrip(*model, c.options);
        EXPECT_EQ(image ? image->size() : QSize(0, 0), c.size)
            << c.options.width.value_or(-1) << " at " << c.options.scale;
        if (image) {
            EXPECT_EQ(image->devicePixelRatio(), c.options.scale);
        }
    }
}

TEST_F(StripRenderTest, PlainLineDropsTheSpotifyMarkAndNamesTheWeather)
{
    changeSettings([](RibbexSettings &s) { s.enabledSources = {TickerSource::spotify, TickerSource::weather}; });
    model->setSpotifyTrack(SpotifyNowPlaying {QStringLiteral("Song"), QStringLiteral("Band"), std::nullopt});
    model->setWeatherSnapshot(WeatherSnapshot {-3, QStringLiteral("C"), QStringLiteral("Light snow"),
        WeatherConditionIcon::snow, QStringLiteral("Oslo"), now()});
    EXPECT_EQ(plainTickerLine(*model), QStringLiteral(" SONG - BAND \u2002\u2004|\u2004 -3\u00B0C Light snow OSLO "));
}

struct CountingClickHandler final : TickerClickHandler {
    void openLink(const QUrl &url) override { opened.append(url); }
    void activateSpotify() override { }
    QList<QUrl> opened;
};

TEST_F(StripRenderTest, ViewOpensLinksOnLeftClicksAndAsksForTheMenuOnRightClicks)
{
    showHeadlines({QStringLiteral("headline")});
    CountingClickHandler handler;
    MenuBarScrollerView view(*model, handler);
    EXPECT_TRUE(view.isAnimationEnabled());
    view.setAnimationEnabled(false);
    EXPECT_FALSE(view.isAnimationEnabled());
    int menuRequests = 0;
    QObject::connect(&view, &MenuBarScrollerView::contextMenuRequested, [&] { ++menuRequests; });

    const QPointF onHeadline(30, 11);
    const auto click = [&](Qt::MouseButton button) {
        QMouseEvent event(
            QEvent::MouseButtonPress, onHeadline, view.mapToGlobal(onHeadline), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    };
    click(Qt::RightButton);
    EXPECT_EQ(menuRequests, 1);
    EXPECT_TRUE(handler.opened.isEmpty());
    click(Qt::LeftButton);
    EXPECT_EQ(handler.opened, QList<QUrl> {headline({}, 0).url.value()});
    EXPECT_EQ(menuRequests, 1);
}

} // namespace
} // namespace ribbex::test
