// The skinned button's placement, state and style arithmetic.
#include "controls/SkinButtonLayout.h"

#include <gtest/gtest.h>

using namespace skinbutton;

TEST(SkinButtonPlacement, CentredImagesTruncateHalvesTowardZero)
{
    // Images larger than the button overhang it; -3 / 2 is -1, not -2.
    const Rect icon32{0, 0, 32, 32};
    EXPECT_EQ(IconExtentFromHotspot(33), 66);
    ImageAndCaption r = PlaceImage(icon32, 35, 35, false, ALIGN_HORIZ, false);
    EXPECT_EQ(r.image.left, -1);
    EXPECT_EQ(r.image.top, -1);
    r = PlaceImage(icon32, 35, 35, false, ALIGN_VERT, true);
    EXPECT_EQ(r.image.left, 0);
    EXPECT_EQ(r.caption, icon32); // the caption area is untouched without a caption
}

TEST(SkinButtonPlacement, ImageBesideOrAboveTheCaption)
{
    // The Help button: 70 × 30, a 21 × 21 bitmap left of "Help".
    const Rect help{0, 0, 70, 30};
    ImageAndCaption r = PlaceImage(help, 21, 21, true, ALIGN_HORIZ, false);
    EXPECT_EQ(r.image.left, 3);
    EXPECT_EQ(r.image.top, 4);
    EXPECT_EQ(r.caption, (Rect{24, 0, 70, 30}));
    r = PlaceImage(help, 21, 21, true, ALIGN_HORIZ, true);
    EXPECT_EQ(r.image.left, 4);
    EXPECT_EQ(r.image.top, 5);
    EXPECT_EQ(r.caption.left, 24); // the caption moves later, when it is drawn

    // Image above the caption: fixed top, caption area starts below the image.
    r = PlaceImage(Rect{0, 0, 95, 75}, 32, 32, true, ALIGN_VERT, false);
    EXPECT_EQ(r.image, (Rect{31, 3, 63, 35}));
    EXPECT_EQ(r.caption, (Rect{0, 32, 95, 75}));

    // Item rectangles that do not start at the origin keep their offset.
    r = PlaceImage(Rect{10, 20, 80, 50}, 21, 21, true, ALIGN_HORIZ, false);
    EXPECT_EQ(r.image.left, 13);
    EXPECT_EQ(r.image.top, 24);
    EXPECT_EQ(r.caption.left, 34);

    // Alignments 2 and 3 draw like 0 and 1.
    EXPECT_EQ(PlaceImage(help, 21, 21, true, 2, false).image,
              PlaceImage(help, 21, 21, true, ALIGN_HORIZ, false).image);
    EXPECT_EQ(PlaceImage(help, 21, 21, true, 3, false).caption,
              PlaceImage(help, 21, 21, true, ALIGN_VERT, false).caption);
}

TEST(SkinButtonPlacement, TheHelpButtonAtADisplayScale)
{
    // At 150 % the Help button is 105 × 45 with a 32 × 32 bitmap: the image stands 5 pixels
    // (4.5 rounded up) in, and pressing it moves it by 2 (1.5) each way.
    const Placement p = PlacementForDpi(144);
    const ImageAndCaption r = PlaceImage(Rect{0, 0, 105, 45}, 32, 32, true, ALIGN_HORIZ, true, p);
    EXPECT_EQ(r.image.left, 5 + 2);
    EXPECT_EQ(r.image.top, (45 - 32) / 2 + 2);
    EXPECT_EQ(r.caption.left, 32 + 5);
    // At 96 dpi (and for a failed query) it is the placement a new button has.
    for (int dpi : {96, 0}) {
        const Placement q = PlacementForDpi(dpi);
        const Placement base;
        EXPECT_EQ(q.imageOffset, base.imageOffset);
        EXPECT_EQ(q.imageTop, base.imageTop);
        EXPECT_EQ(q.pressedDx, base.pressedDx);
        EXPECT_EQ(q.pressedDy, base.pressedDy);
    }
}

TEST(SkinButtonPlacement, CaptionCentredInItsArea)
{
    EXPECT_EQ(CentreText(Rect{24, 0, 70, 30}, Rect{24, 0, 44, 13}), (Rect{37, 8, 57, 21}));
    // Wider than its area: it overhangs equally on both sides.
    EXPECT_EQ(CentreText(Rect{0, 0, 10, 10}, Rect{0, 0, 15, 10}), (Rect{-2, 0, 13, 10}));
}

TEST(SkinButtonState, ImageSlotAndColoursFollowTheState)
{
    // Hover image A in slot 0, normal image B in slot 1.
    EXPECT_EQ(ImageSlotFor(false, false, true), SLOT_NORMAL);
    EXPECT_EQ(ImageSlotFor(false, true, true), SLOT_HOVER);
    EXPECT_EQ(ImageSlotFor(true, false, true), SLOT_HOVER);
    // Only a hover image: always that one.
    EXPECT_EQ(ImageSlotFor(false, false, false), SLOT_HOVER);

    EXPECT_EQ(TextColorIndex(false, false, false), COLOR_FG_NORMAL);
    EXPECT_EQ(TextColorIndex(false, false, true), COLOR_FG_FOCUS);
    EXPECT_EQ(TextColorIndex(true, false, true), COLOR_FG_HOVER); // pressing beats focus
    EXPECT_EQ(TextColorIndex(false, true, false), COLOR_FG_HOVER);
    EXPECT_EQ(TextBackColorIndex(false, false, false), COLOR_BK_NORMAL);
    EXPECT_EQ(TextBackColorIndex(false, false, true), COLOR_BK_FOCUS);
    EXPECT_EQ(TextBackColorIndex(false, true, true), COLOR_BK_HOVER);
}

TEST(SkinButtonStyle, StaysOwnerDrawnAndTracksTheDefaultFlag)
{
    EXPECT_EQ(DefaultChangeForStyle(0x50010001), DefaultChange::Becomes);
    EXPECT_EQ(DefaultChangeForStyle(0x50010000), DefaultChange::Stops);
    EXPECT_EQ(DefaultChangeForStyle(0x5001000B), DefaultChange::Unchanged);

    EXPECT_EQ(OwnerDrawStyleFor(0x50010001), 0x5001000Bu);
    EXPECT_EQ(OwnerDrawStyleFor(0x50010000), 0x5001000Bu);
    EXPECT_EQ(OwnerDrawStyleFor(0x00000014), 0x0000000Bu);
    EXPECT_EQ(OwnerDrawStyleFor(0x00000004) & kTypeMask, kOwnerDraw);

    EXPECT_EQ(DialogCode(0x2000, true), 0x2010u);
    EXPECT_EQ(DialogCode(0x2000, false), 0x2020u);
}
