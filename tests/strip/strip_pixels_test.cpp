// What the X server shows, against the frame Qt would paint: the fast path must be invisible.

#include "strip_fixture.h"

#include <QTest>

namespace ribbex::test {
namespace {

class StripPixels : public StripTest {
protected:
    void SetUp() override
    {
        showHeadlines({QStringLiteral("Storm warning for the coast"), QStringLiteral("Trains cancelled")});
        controller = makeController();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&controller->window()));
        ASSERT_TRUE(eventually([this] { return onScreen() == qtFrame(); }));
        // The window cannot be translucent here: the background colour shows under the clear
        // background, in the fast path's copies as in Qt's frames.
        ASSERT_EQ(model().settings().backgroundTransparency, 1.0);
        EXPECT_EQ(onScreen().pixelColor(175, 0), QColor(0x17150E));
    }

    // Compared without the padding byte, which the X server leaves as it likes.
    QImage onScreen() { return windowPixels(windowId()).convertToFormat(QImage::Format_RGB888); }
    QImage qtFrame() { return controller->view().grab().toImage().convertToFormat(QImage::Format_RGB888); }
    void tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            controller->view().advance();
    }
};

TEST_F(StripPixels, EachTickShowsTheFrameQtWouldPaint)
{
    const struct {
        const char *what;
        std::function<void(RibbexSettings &)> change;
        bool copied; // scrolled by copying on the server rather than composed here
    } scenes[] = {
        {"defaults: clear background, rounded ends", [](RibbexSettings &) {}, true},
        {"Classic on a solid square strip",
            [](RibbexSettings &s) {
                s.style = TickerStyle::classic;
                s.backgroundTransparency = 0.0;
                s.roundedTickerEdges = false;
            },
            true},
        {"LED, half-transparent, rounded",
            [](RibbexSettings &s) {
                s.style = TickerStyle::led;
                s.backgroundTransparency = 0.5;
            },
            true},
        {"dot grid under the text", [](RibbexSettings &s) { s.backgroundTransparency = 0.3; }, false},
    };
    const RibbexSettings original = model().settings();
    for (const auto &scene : scenes) {
        edit([&](RibbexSettings &s) {
            s = original;
            scene.change(s);
        });
        ASSERT_TRUE(eventually([this] { return onScreen() == qtFrame(); })) << scene.what;
        for (const bool fastPath : {true, false}) {
            SCOPED_TRACE(std::string(scene.what) + (fastPath ? ", fast path" : ", Qt path"));
            controller->setX11FastPathEnabled(fastPath);
            ASSERT_EQ(controller->isX11FastPathEnabled(), fastPath);
            const QImage before = onScreen();
            const int framesBefore = controller->fastPathFrames();
            const int copiedBefore = controller->copiedFrames();
            tick(7);
            const QImage expected = qtFrame();
            ASSERT_NE(before, expected) << "the text did not move";
            if (fastPath) {
                // On screen before the event loop runs again, so Qt did not paint it.
                EXPECT_EQ(onScreen(), expected);
                EXPECT_EQ(controller->fastPathFrames(), framesBefore + 7);
                EXPECT_EQ(controller->copiedFrames(), copiedBefore + (scene.copied ? 7 : 0));
            } else {
                EXPECT_TRUE(eventually([&] { return onScreen() == expected; }));
                EXPECT_EQ(controller->fastPathFrames(), framesBefore);
            }
        }
    }
}

TEST_F(StripPixels, ALongLineScrollsAcrossTheJoinsOfItsTilesAsQtPaintsIt)
{
    // Several tiles long; the fast path keeps one pixmap a tile.
    showHeadlines({QString(500, u'E') + QStringLiteral(" END")});
    const TickerRenderer &renderer = controller->view().renderer();
    ASSERT_TRUE(eventually([&] { return renderer.runPicture().tileCount() > 2; }));
    ASSERT_TRUE(eventually([this] { return onScreen() == qtFrame(); }));
    const double join = RunTiles::tileWidth / controller->view().devicePixelRatioF();
    const int framesBefore = controller->fastPathFrames();
    const int copiedBefore = controller->copiedFrames();
    int compared = 0;
    // Tick by tick while the first join crosses the strip, both rounded ends included.
    while (renderer.offset() < join + 1) {
        tick();
        if (renderer.offset() > join - controller->view().width()) {
            ASSERT_EQ(onScreen(), qtFrame()) << "at offset " << renderer.offset();
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
    EXPECT_EQ(controller->copiedFrames() - copiedBefore, controller->fastPathFrames() - framesBefore);
}

TEST_F(StripPixels, RepaintsWhatAnotherWindowCovered)
{
    // Override-redirect, so it lands on top of the dock.
    QWidget cover(nullptr, Qt::ToolTip | Qt::X11BypassWindowManagerHint);
    cover.setGeometry(controller->window().geometry().adjusted(0, 0, 0, 10));
    cover.setPalette(QPalette(Qt::magenta));
    cover.setAutoFillBackground(true);
    cover.show();
    ASSERT_TRUE(eventually([&] { return windowPixels(windowId()).pixelColor(175, 0) == QColor(Qt::magenta); }));
    tick(7);
    cover.hide();
    const QImage expected = qtFrame();
    EXPECT_TRUE(eventually([&] { return onScreen() == expected; }));
    tick();
    EXPECT_EQ(onScreen(), qtFrame());
}

} // namespace
} // namespace ribbex::test
