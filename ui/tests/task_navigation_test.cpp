// The list's navigation keys on ten tasks and on an empty list.
#include <gtest/gtest.h>

#include "ui/TaskNavigation.h"

using namespace tasknav;

TEST(TaskNavigation, PageKeysStopAtTheEnds)
{
    // Page Down from any of the last four rows lands on the last; from the last, nowhere.
    for (int row = 6; row <= 8; ++row)
        EXPECT_EQ(TargetRow(kPageDown, row, 10, 10), 9) << row;
    EXPECT_EQ(TargetRow(kPageDown, 9, 10, 10), -1);
    EXPECT_EQ(TargetRow(kPageDown, 2, 10, 10), 5);
    // Page Up from rows 1 to 3 lands on row 0; from row 0, nowhere.
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(TargetRow(kPageUp, row, 10, 10), 0) << row;
    EXPECT_EQ(TargetRow(kPageUp, 0, 10, 10), -1);
    EXPECT_EQ(TargetRow(kPageUp, 7, 10, 10), 4);
}

TEST(TaskNavigation, ArrowsHomeAndEnd)
{
    EXPECT_EQ(TargetRow(kUp, 0, 10, 10), -1);
    EXPECT_EQ(TargetRow(kUp, 5, 10, 10), 4);
    EXPECT_EQ(TargetRow(kDown, 9, 10, 10), -1);
    EXPECT_EQ(TargetRow(kDown, 5, 10, 10), 6);
    EXPECT_EQ(TargetRow(kHome, 7, 10, 10), 0);
    EXPECT_EQ(TargetRow(kEnd, 2, 10, 10), 9);
    // No selection mark yet: Down starts at the first row.
    EXPECT_EQ(TargetRow(kDown, -1, 10, 10), 0);
}

TEST(TaskNavigation, EmptyListGoesNowhere)
{
    for (unsigned key : {kUp, kDown, kPageUp, kPageDown, kHome, kEnd})
        EXPECT_EQ(TargetRow(key, -1, 0, 0), -1) << key;
    EXPECT_TRUE(IsNavigationKey(kHome));
    EXPECT_FALSE(IsNavigationKey(0x41));
}

TEST(TaskNavigation, EnterAndEscapeAreSwallowedOnlyAsKeys)
{
    constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102, kSysKeyDown = 0x0104;
    for (unsigned message : {kKeyDown, kKeyUp, kChar, kSysKeyDown}) {
        EXPECT_TRUE(IsEnterOrEscapeKey(message, 0x0D)) << message;
        EXPECT_TRUE(IsEnterOrEscapeKey(message, 0x1B)) << message;
        EXPECT_FALSE(IsEnterOrEscapeKey(message, 'A')) << message;
    }
    // A left click with Shift and Ctrl held carries 13 (MK_LBUTTON | MK_SHIFT | MK_CONTROL);
    // a mouse move or a timer may carry 27. Neither is a key.
    constexpr unsigned kLButtonDown = 0x0201, kMouseMove = 0x0200, kTimer = 0x0113;
    EXPECT_FALSE(IsEnterOrEscapeKey(kLButtonDown, 0x0D));
    EXPECT_FALSE(IsEnterOrEscapeKey(kMouseMove, 0x1B));
    EXPECT_FALSE(IsEnterOrEscapeKey(kTimer, 0x0D));
}

TEST(TaskNavigation, CurrentRowAfterARemoval)
{
    using tasknav::CurrentAfterRemoval;
    // Four rows, the third current; one leaves and three are left.
    EXPECT_EQ(CurrentAfterRemoval(0, 2, 3), 1) << "a row above: the current task moved up";
    EXPECT_EQ(CurrentAfterRemoval(3, 2, 3), 2) << "a row below: nothing moves";
    EXPECT_EQ(CurrentAfterRemoval(2, 2, 3), 2) << "the current one: the next takes its place";
    EXPECT_EQ(CurrentAfterRemoval(3, 3, 3), 2) << "the current last one: the new last row";
    EXPECT_EQ(CurrentAfterRemoval(0, 0, 0), -1) << "the only one: nothing is current";
    EXPECT_EQ(CurrentAfterRemoval(1, -1, 2), -1) << "nothing was current: still nothing";
}
