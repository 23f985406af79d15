// The image sets by display scale and the area-weighted resizing of pictures between them.
#include <gtest/gtest.h>

#include "controls/ImageResample.h"
#include "controls/ImageSets.h"
#include "res/Images.h"

using namespace imageresample;

namespace {

Picture Filled(int w, int h, std::uint32_t colour)
{
    return Picture{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, colour)};
}

std::uint32_t At(const Picture& p, int x, int y) { return p.pixels[static_cast<std::size_t>(y) * p.width + x]; }

constexpr std::uint32_t kGreen = 0x00FF00;

} // namespace

TEST(ImageSets, ExactSetsAndTheNearestLargerOne)
{
    using imagesets::ImageSetFor;
    using imagesets::IsExact;
    EXPECT_EQ(ImageSetFor(96).idOffset, 0);
    EXPECT_EQ(ImageSetFor(120).idOffset, IMAGE_SET_125);
    EXPECT_EQ(ImageSetFor(144).idOffset, IMAGE_SET_150);
    EXPECT_EQ(ImageSetFor(192).idOffset, IMAGE_SET_200);
    for (int dpi : {96, 120, 144, 192})
        EXPECT_TRUE(IsExact(ImageSetFor(dpi), dpi)) << dpi;
    // 175 % is shrunk from 200 %, 110 % from 125 %, 72 dpi from 100 %; 300 % enlarges 200 %.
    EXPECT_EQ(ImageSetFor(168).idOffset, IMAGE_SET_200);
    EXPECT_FALSE(IsExact(ImageSetFor(168), 168));
    EXPECT_EQ(ImageSetFor(106).idOffset, IMAGE_SET_125);
    EXPECT_EQ(ImageSetFor(72).idOffset, 0);
    EXPECT_FALSE(IsExact(ImageSetFor(72), 72));
    EXPECT_EQ(ImageSetFor(288).idOffset, IMAGE_SET_200);
    // A failed query draws the 100 % set as it is.
    EXPECT_TRUE(IsExact(ImageSetFor(0), 0));
}

TEST(ImageResample, ShrinkingAveragesWhatEachNewPixelCovers)
{
    // Columns black, white, black, white shrunk to two: each new pixel covers one of each.
    Picture stripes{4, 1, {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF}};
    const Picture half = Resize(stripes, 2, 1);
    ASSERT_EQ(half.pixels.size(), 2u);
    EXPECT_EQ(half.pixels[0], 0x808080u);
    EXPECT_EQ(half.pixels[1], 0x808080u);
    // Three columns into two: the middle one is split in halves, so the first new pixel is
    // 2/3 red and 1/3 blue.
    Picture three{3, 1, {0xFF0000, 0x0000FF, 0x0000FF}};
    const Picture two = Resize(three, 2, 1);
    EXPECT_EQ(At(two, 0, 0), 0xAA0055u);
    EXPECT_EQ(At(two, 1, 0), 0x0000FFu);
    // A flat picture stays flat at any size, down and up, and keeps its size right.
    const Picture flat = Resize(Filled(13, 17, 0x3366CC), 16, 21);
    EXPECT_EQ(flat.width, 16);
    EXPECT_EQ(flat.height, 21);
    for (std::uint32_t p : flat.pixels)
        ASSERT_EQ(p, 0x3366CCu);
}

TEST(ImageResample, EnlargingKeepsEdgesCrisp)
{
    // Doubling repeats each pixel; 1.5 times blends only where an old edge falls inside a
    // new pixel.
    Picture two{2, 1, {0x000000, 0xFFFFFF}};
    const Picture doubled = Resize(two, 4, 1);
    EXPECT_EQ(doubled.pixels, (std::vector<std::uint32_t>{0, 0, 0xFFFFFF, 0xFFFFFF}));
    const Picture wider = Resize(two, 3, 1);
    EXPECT_EQ(wider.pixels, (std::vector<std::uint32_t>{0, 0x808080, 0xFFFFFF}));
}

TEST(ImageResample, KeyedPixelsStayKeyedAndAddNoColour)
{
    // A red square in the middle of green (the transparent key) shrunk to half: the corners
    // stay transparent, and a pixel that is half red takes red alone, not a green mix.
    Picture keyed = Filled(4, 4, kGreen);
    keyed.pixels[1 * 4 + 1] = keyed.pixels[1 * 4 + 2] = 0xFF0000;
    keyed.pixels[2 * 4 + 1] = keyed.pixels[2 * 4 + 2] = 0xFF0000;
    const Picture small = ResizeKeyed(keyed, 2, 2, kGreen);
    // Each new pixel covers one red and three green: mostly transparent.
    for (std::uint32_t p : small.pixels)
        EXPECT_EQ(p, kGreen);
    Picture half = Filled(2, 1, kGreen);
    half.pixels[0] = 0xFF0000;
    EXPECT_EQ(ResizeKeyed(half, 1, 1, kGreen).pixels[0], 0xFF0000u);
    // Without the key the same pixel would be a brown mix.
    EXPECT_EQ(Resize(half, 1, 1).pixels[0], 0x808000u);
    // The key's top byte is ignored, as a COLORREF turned into a pixel may carry one.
    EXPECT_EQ(ResizeKeyed(half, 1, 1, 0xFF000000u | kGreen).pixels[0], 0xFF0000u);
}

TEST(ImageResample, NothingToResizeGivesNothing)
{
    EXPECT_TRUE(Resize(Picture{}, 4, 4).pixels.empty());
    EXPECT_TRUE(Resize(Filled(2, 2, 0), 0, 4).pixels.empty());
    // A picture whose pixels do not fill its size is refused rather than read past its end.
    EXPECT_TRUE(Resize(Picture{4, 4, {1, 2, 3}}, 2, 2).pixels.empty());
}
