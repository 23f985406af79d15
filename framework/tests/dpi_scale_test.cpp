// The display scale arithmetic: MulDiv's rounding, fonts by point size, boxes.
#include <gtest/gtest.h>

#include "framework/DpiScale.h"

using namespace dpiscale;

TEST(DpiScale, ScalesAsMulDivRoundsHalvesAwayFromZero)
{
    // 96 dpi is the layout itself.
    for (int v : {-7, 0, 1, 13, 692})
        EXPECT_EQ(Scale(v, 96), v);
    EXPECT_EQ(Scale(692, 120), 865);
    EXPECT_EQ(Scale(560, 144), 840);
    EXPECT_EQ(Scale(692, 192), 1384);
    // 265 * 1.5 = 397.5 and 1 * 1.5 = 1.5 go up, 1 * 1.25 = 1.25 down, 13 * 1.25 = 16.25 down.
    EXPECT_EQ(Scale(265, 144), 398);
    EXPECT_EQ(Scale(1, 144), 2);
    EXPECT_EQ(Scale(1, 120), 1);
    EXPECT_EQ(Scale(13, 120), 16);
    // Negative values round away from zero too: -1.5 -> -2.
    EXPECT_EQ(Scale(-1, 144), -2);
    // A failed query (0, or a negative answer) lays out at 96 dpi.
    EXPECT_EQ(Scale(692, 0), 692);
    EXPECT_EQ(Scale(692, -1), 692);
    EXPECT_EQ(Usable(0), 96);
    EXPECT_EQ(Usable(168), 168);
    // No overflow for large values.
    EXPECT_EQ(Scale(100000000, 192), 200000000);
}

TEST(DpiScale, FontHeightIsTheCharacterHeightOfThePointSize)
{
    // Tahoma 8 point as the dialog manager makes it: -11 at 96 dpi, -13 at 120 (13.33),
    // -16 at 144, -21 at 192 (21.33).
    EXPECT_EQ(FontHeight(8, 96), -11);
    EXPECT_EQ(FontHeight(8, 120), -13);
    EXPECT_EQ(FontHeight(8, 144), -16);
    EXPECT_EQ(FontHeight(8, 192), -21);
    EXPECT_EQ(FontHeight(8, 0), -11);
}

TEST(DpiScale, BoxesScaleEachMeasureOnItsOwn)
{
    // The Stop preview button, 30, 413, 19 x 19: at 125 % each measure is rounded by itself
    // (37.5 -> 38, 516.25 -> 516, 23.75 -> 24), so every control keeps its size times the scale.
    EXPECT_EQ(ScaleBox({30, 413, 19, 19}, 120), (Box{38, 516, 24, 24}));
    EXPECT_EQ(ScaleBox({30, 413, 19, 19}, 96), (Box{30, 413, 19, 19}));
    EXPECT_EQ(ScaleBox({2, 2, 669, 578}, 192), (Box{4, 4, 1338, 1156}));
}
