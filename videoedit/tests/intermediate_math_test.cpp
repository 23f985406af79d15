// The intermediate step's arithmetic: random numbers in range, progress without division by
// zero, codec preference whatever the list order, and paths that fit.
#include <gtest/gtest.h>

#include <cmath>

#include "videoedit/IntermediateMath.h"

using namespace intermediate;

TEST(IntermediateMath, RandomStaysInRange)
{
    for (int i = 0; i < 1000; ++i) {
        const int n = RandomInRange(10000, 50000);
        EXPECT_GE(n, 10000);
        EXPECT_LE(n, 50000);
    }
    EXPECT_EQ(RandomInRange(5, 3), 5);
    EXPECT_EQ(RandomInRange(7, 7), 7);
}

TEST(IntermediateMath, ProgressFigures)
{
    // 30 s of 120 after 10 s: speed 3, 90 s left at that speed.
    Progress p = ComputeProgress(30, 120, 10000);
    EXPECT_DOUBLE_EQ(p.dPercent, 25.0);
    EXPECT_DOUBLE_EQ(p.dRemain, 30.0);
    // Before 20 s of the source the remaining time is total - position.
    p = ComputeProgress(10, 120, 1000);
    EXPECT_DOUBLE_EQ(p.dRemain, 110.0);
    // A total of 0 and an event in the start's millisecond give finite, sane figures.
    p = ComputeProgress(5, 0, 0);
    EXPECT_TRUE(std::isfinite(p.dPercent));
    EXPECT_TRUE(std::isfinite(p.dRemain));
    EXPECT_EQ(p.dPercent, 0.0);
    EXPECT_GE(p.dRemain, 0.0);
    p = ComputeProgress(25, 100, 0);
    EXPECT_DOUBLE_EQ(p.dPercent, 25.0);
    EXPECT_DOUBLE_EQ(p.dRemain, 75.0);
}

TEST(IntermediateMath, CodecPreferenceIgnoresListOrder)
{
    const std::vector<std::string> video = {"Microsoft MPEG-4 Video Codec V3", "DivX 5 MPEG-4 codec", "Cinepak"};
    EXPECT_EQ(ChooseCodec(video, "Microsoft MPEG-4 Video Codec V3", "DivX"), 0);
    const std::vector<std::string> reversed = {"DivX 5 MPEG-4 codec", "Microsoft MPEG-4 Video Codec V3"};
    EXPECT_EQ(ChooseCodec(reversed, "Microsoft MPEG-4 Video Codec V3", "DivX"), 1);
    EXPECT_EQ(ChooseCodec({"Cinepak", "DivX Pro"}, "Microsoft MPEG-4 Video Codec V3", "DivX"), 1);
    EXPECT_EQ(ChooseCodec({"PCM"}, "MPEG Layer-3", "PCM"), 0);
    EXPECT_EQ(ChooseCodec({}, "MPEG Layer-3", "PCM"), -1);
}

TEST(IntermediateMath, PathsThatDoNotFitAreRefused)
{
    EXPECT_EQ(IntermediatePath("C:\\Tools\\", "clip", 23817, true), "C:\\Tools\\clip_23817.avi");
    EXPECT_EQ(IntermediatePath("C:\\Tools\\", "clip", 23817, false), "C:\\Tools\\clip_23817.mpg");
    EXPECT_TRUE(IntermediatePath("C:\\" + std::string(240, 'd') + "\\", std::string(20, 'n'), 12345, true).empty());
}
