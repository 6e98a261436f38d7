#include "strip_fixture.h"

#include <QTest>

namespace ribbex::test {
namespace {

// Compared without the padding byte, which the X server leaves as it likes.
QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage screenPixels(MenuBarScrollerController &controller)
{
    return rgb(windowPixels(controller.window().winId()));
}

QImage qtFrame(MenuBarScrollerController &controller)
{
    return rgb(controller.view().grab().toImage());
}

class StripPixels : public StripTest {
protected:
    void SetUp() override
    {
        showHeadlines({QStringLiteral("Storm warning for the coast"), QStringLiteral("Trains cancelled")});
        controller = makeController();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&controller->window()));
        ASSERT_TRUE(waitUntil([this] { return screenPixels(*controller) == qtFrame(*controller); }));
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
    const RibbexSettings original = model->settings();
    for (const auto &scene : scenes) {
        changeSettings([&](RibbexSettings &s) {
            s = original;
            scene.change(s);
        });
        ASSERT_TRUE(waitUntil([this] { return screenPixels(*controller) == qtFrame(*controller); })) << scene.what;
        for (const bool fastPath : {true, false}) {
            SCOPED_TRACE(std::string(scene.what) + (fastPath ? ", fast path" : ", Qt path"));
            controller->setX11FastPathEnabled(fastPath);
            ASSERT_EQ(controller->isX11FastPathEnabled(), fastPath);
            const QImage before = screenPixels(*controller);
            const int framesBefore = controller->fastPathFrames();
            const int copiedBefore = controller->copiedFrames();
            for (int tick = 0; tick < 7; ++tick)
                controller->view().advance();
            const QImage expected = qtFrame(*controller);
            ASSERT_NE(before, expected) << "the text did not move";
            if (fastPath) {
                // On screen before the event loop runs again, so Qt did not paint it.
                EXPECT_EQ(screenPixels(*controller), expected);
                EXPECT_EQ(controller->fastPathFrames(), framesBefore + 7);
                EXPECT_EQ(controller->copiedFrames(), copiedBefore + (scene.copied ? 7 : 0));
            } else {
                EXPECT_TRUE(waitUntil([&] { return screenPixels(*controller) == expected; }));
                EXPECT_EQ(controller->fastPathFrames(), framesBefore);
            }
        }
    }
}

TEST_F(StripPixels, ALongLineScrollsAcrossTheSeamsOfItsTilesAsQtPaintsIt)
{
    // Several tiles long; the fast path keeps one pixmap a tile.
    showHeadlines({QString(500, u'E') + QStringLiteral(" END")});
    const TickerRenderer &renderer = controller->view().renderer();
    ASSERT_TRUE(waitUntil([&] { return renderer.runPicture().tileCount() > 2; }));
    ASSERT_TRUE(waitUntil([this] { return screenPixels(*controller) == qtFrame(*controller); }));
    const double ratio = controller->view().devicePixelRatioF();
    const double seam = RunTiles::tileWidth / ratio;
    const int framesBefore = controller->fastPathFrames();
    const int copiedBefore = controller->copiedFrames();
    int compared = 0;
    // Tick by tick while the first seam crosses the strip, both rounded ends included.
    while (renderer.offset() < seam + 1) {
        controller->view().advance();
        if (renderer.offset() > seam - controller->view().width()) {
            ASSERT_EQ(screenPixels(*controller), qtFrame(*controller)) << "at offset " << renderer.offset();
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
    EXPECT_EQ(controller->copiedFrames() - copiedBefore, controller->fastPathFrames() - framesBefore);
}

TEST_F(StripPixels, OpaqueStripShowsTheBackgroundColourUnderATransparentBackground)
{
    ASSERT_EQ(model->settings().backgroundTransparency, 1.0);
    for (const bool fastPath : {true, false}) {
        controller->setX11FastPathEnabled(fastPath);
        controller->view().advance();
        EXPECT_TRUE(waitUntil([&] { return screenPixels(*controller).pixelColor(175, 0) == QColor(0x17150E); }))
            << (fastPath ? "fast path" : "Qt path");
    }
}

TEST_F(StripPixels, RepaintsWhatAnotherWindowCovered)
{
    const QRect strip = controller->window().geometry();
    // Override-redirect, so it lands on top of the dock.
    QWidget cover(nullptr, Qt::ToolTip | Qt::X11BypassWindowManagerHint);
    cover.setGeometry(strip.adjusted(0, 0, 0, 10));
    cover.setPalette(QPalette(Qt::magenta));
    cover.setAutoFillBackground(true);
    cover.show();
    ASSERT_TRUE(waitUntil([&] { return screenPixels(*controller).pixelColor(175, 0) == QColor(Qt::magenta); }));
    for (int tick = 0; tick < 7; ++tick)
        controller->view().advance();
    cover.hide();
    const QImage expected = qtFrame(*controller);
    EXPECT_TRUE(waitUntil([&] { return screenPixels(*controller) == expected; }));
    controller->view().advance();
    EXPECT_EQ(screenPixels(*controller), qtFrame(*controller));
}

} // namespace
} // namespace ribbex::test
