#include "app/windowplacement.h"

#include <gtest/gtest.h>

TEST(CentredTopLeft, CentresAndKeepsALargerWindowOnTheScreen) {
    const struct {
        const char* name;
        QSize window;
        QRect screen;
        QPoint topLeft;
    } cases[] = {
        {"fits", {894, 562}, {0, 0, 1280, 800}, {193, 119}},
        {"screen not at the origin", {894, 562}, {1280, 40, 1920, 1040}, {1793, 279}},
        {"wider than the screen", {894, 562}, {0, 0, 800, 600}, {0, 19}},
        {"larger both ways", {894, 562}, {10, 20, 640, 480}, {10, 20}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dm::centredTopLeft(c.window, c.screen), c.topLeft) << c.name;
}
