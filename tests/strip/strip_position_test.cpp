#include "ticker/strip_position.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

TEST(StripPosition, ReadsOnlyAWholeNumberX)
{
    const struct {
        const char *document;
        std::optional<int> x;
    } cases[] = {
        {R"({"x": 812})", 812},
        {R"({"x": 812.0})", 812},
        {R"({"x": 812.5})", std::nullopt},
        {R"({"x": "812"})", std::nullopt},
        {R"({"x": 1e12})", std::nullopt},
        {R"([812])", std::nullopt},
        {"{", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decodeStripX(c.document), c.x) << c.document;
    EXPECT_EQ(decodeStripX(encodeStripX(-1234)), -1234);
}

TEST(StripPosition, KeepsTheStripOnTheScreen)
{
    const QRect screen(0, 0, 1280, 800);
    const QRect rightScreen(1920, 0, 1280, 800);
    const struct {
        const char *what;
        std::optional<int> storedX;
        QRect screen;
        int width;
        int left;
    } cases[] = {
        {"never moved: right-aligned, 8 px in", std::nullopt, screen, 350, 922},
        {"stored place that fits", 100, screen, 350, 100},
        {"stored too far right", 5000, screen, 350, 930},
        {"grown past the stored place", 1000, screen, 500, 780},
        {"stored left of the screen", -50, screen, 350, 0},
        {"wider than the screen", 300, screen, 1500, 0},
        {"second screen, never moved", std::nullopt, rightScreen, 350, 2842},
        {"second screen, stored on the first", 100, rightScreen, 350, 1920},
    };
    for (const auto &c : cases)
        EXPECT_EQ(stripLeft(c.storedX, c.screen, c.width), c.left) << c.what;
}

} // namespace
} // namespace ribbex
