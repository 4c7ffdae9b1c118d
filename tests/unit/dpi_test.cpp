#include "base/dpi.h"

#include <gtest/gtest.h>

namespace {

TEST(Dpi, FiguresScaleAsMulDivRoundsThemAnd96ChangesNothing) {
    const struct {
        int value, dpi, scaled;
    } cases[] = {
        {265, 96, 265}, {-11, 96, -11}, {265, 120, 331}, {55, 144, 83}, {7, 144, 11},
        {-11, 144, -17}, {-20, 192, -40}, {0, 192, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
}

TEST(Dpi, AnImageIsDrawnFromTheNearestLargerSizeOrElseTheLargest) {
    const int sizes[] = {40, 60, 80};
    const int cases[][2] = {{20, 40}, {40, 40}, {41, 60}, {50, 60}, {60, 60}, {70, 80}, {80, 80}, {100, 80}};
    for (const auto& c : cases) EXPECT_EQ(ChooseImageSize(sizes, 3, c[0]), c[1]) << c[0];
}

}  // namespace
