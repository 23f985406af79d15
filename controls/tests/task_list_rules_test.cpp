// The task list's geometry, colour and invalidation rules, without a window.
#include <gtest/gtest.h>

#include <string>

#include "controls/TaskListCellRules.h"

namespace {

const SystemColours kSystem = {MakeColorRef(255, 255, 255), MakeColorRef(0, 0, 0),
                               MakeColorRef(0, 0, 200),     MakeColorRef(255, 255, 254),
                               MakeColorRef(192, 192, 192), MakeColorRef(0, 100, 255)};

CellDisplayInfo Info(bool selected, bool hot)
{
    CellDisplayInfo info;
    info.bSelected = selected;
    info.bHot = hot;
    return info;
}

} // namespace

TEST(TaskListGeometry, FilledWidth)
{
    EXPECT_EQ(FilledWidth(200, 37, 100), 74);
    EXPECT_EQ(FilledWidth(200, 100, 100), 200);
    EXPECT_EQ(FilledWidth(200, 250, 100), 200);
    EXPECT_EQ(FilledWidth(200, 0, 100), 0);
    EXPECT_EQ(FilledWidth(199, 50, 100), 99) << "truncated, not rounded";
    EXPECT_EQ(FilledWidth(30000, 150000, 200000), 22500) << "the product exceeds 32 bits";
}

TEST(TaskListGeometry, BarAndFirstColumnRectangles)
{
    const CellBox row{0, 20, 600, 40};
    const CellBox first = CutFirstColumn(row, 5, 150);
    EXPECT_EQ(first.right, 150);
    EXPECT_EQ(CutFirstColumn(row, 1, 150).right, 600) << "a single column keeps the row";

    const CellBox bar = BarBox({100, 20, 306, 40});
    EXPECT_EQ(bar.left, 101);
    EXPECT_EQ(bar.top, 21);
    EXPECT_EQ(bar.right, 304);
    EXPECT_EQ(bar.bottom, 39);
    const CellBox inner = InnerBarBox(bar, kProgressEdgeSunken);
    EXPECT_EQ(inner.left, 103);
    EXPECT_EQ(inner.right, 302);
    EXPECT_EQ(inner.top, 23);
    EXPECT_EQ(inner.bottom, 37);
    const CellBox unframed = InnerBarBox(bar, 0);
    EXPECT_EQ(unframed.left, bar.left);
    EXPECT_EQ(unframed.right, bar.right);
}

TEST(TaskListColours, DefaultsFollowFocusSelectionAndHotRow)
{
    CellColours c = ResolveCellColours(Info(false, false), true, true, kSystem);
    EXPECT_EQ(c.text, kSystem.windowText);
    EXPECT_EQ(c.back, kSystem.window);
    EXPECT_EQ(c.progressBar, kSystem.highlight);
    EXPECT_EQ(c.progressText, kSystem.highlightText);

    c = ResolveCellColours(Info(true, false), true, true, kSystem);
    EXPECT_EQ(c.text, kSystem.highlightText);
    EXPECT_EQ(c.back, kSystem.highlight);
    EXPECT_EQ(c.unselectedText, kSystem.windowText) << "beside the bar's fill, selection is ignored";

    c = ResolveCellColours(Info(true, false), false, true, kSystem);
    EXPECT_EQ(c.text, kSystem.windowText);
    EXPECT_EQ(c.back, kSystem.btnFace);

    c = ResolveCellColours(Info(true, true), true, true, kSystem);
    EXPECT_EQ(c.back, kSystem.hotLight) << "hot and selected with default colours";
    c = ResolveCellColours(Info(false, true), true, true, kSystem);
    EXPECT_EQ(c.text, kSystem.hotLight);
    EXPECT_EQ(c.back, kSystem.window);
}

TEST(TaskListColours, GivenColoursAndTheFillWithoutFullRowSelect)
{
    CellDisplayInfo info = Info(true, true);
    info.crText = MakeColorRef(1, 1, 1);
    info.crTextHot = MakeColorRef(2, 2, 2);
    info.crBack = MakeColorRef(3, 3, 3);
    info.crTextSelected = MakeColorRef(4, 4, 4);
    info.crBackSelected = MakeColorRef(5, 5, 5);
    info.crBackSelectedNoFocus = MakeColorRef(6, 6, 6);

    CellColours c = ResolveCellColours(info, true, true, kSystem);
    EXPECT_EQ(c.text, MakeColorRef(4, 4, 4));
    EXPECT_EQ(c.unselectedText, MakeColorRef(2, 2, 2));
    EXPECT_EQ(c.back, MakeColorRef(5, 5, 5)) << "a given colour beats the hot default";
    EXPECT_EQ(c.fillBack, MakeColorRef(5, 5, 5));
    EXPECT_EQ(ResolveCellColours(info, false, true, kSystem).back, MakeColorRef(6, 6, 6));

    c = ResolveCellColours(info, true, false, kSystem);
    EXPECT_EQ(c.back, MakeColorRef(5, 5, 5));
    EXPECT_EQ(c.fillBack, MakeColorRef(3, 3, 3)) << "only the text carries the selection";

    info.crBack = kColorNone;
    info.bSelected = false;
    c = ResolveCellColours(info, true, true, kSystem);
    EXPECT_EQ(c.back, kColorNone);
    EXPECT_EQ(c.fillBack, kColorNone);
    EXPECT_EQ(c.unselectedBack, kColorNone);
}

TEST(TaskListSelection, CellCountsAsSelected)
{
    EXPECT_TRUE(IsCellSelected(true, 3, true, true, false));
    EXPECT_FALSE(IsCellSelected(true, 3, false, true, true)) << "without full-row select";
    EXPECT_TRUE(IsCellSelected(true, 0, false, true, true));
    EXPECT_TRUE(IsCellSelected(true, 2, true, false, true)) << "shown always";
    EXPECT_FALSE(IsCellSelected(true, 2, true, false, false));
    EXPECT_FALSE(IsCellSelected(false, 0, true, true, true));
}

TEST(TaskListInvalidation, OnlyTheVisiblePartOfARange)
{
    int first = -1, last = -1;
    ASSERT_TRUE(VisibleRows(0, 500, 10, 16, 600, first, last));
    EXPECT_EQ(first, 10);
    EXPECT_EQ(last, 26) << "the partly visible row below the page counts";

    ASSERT_TRUE(VisibleRows(12, 12, 10, 16, 600, first, last));
    EXPECT_EQ(first, 12);
    EXPECT_EQ(last, 12);

    ASSERT_TRUE(VisibleRows(0, 500, 10, 16, 20, first, last));
    EXPECT_EQ(last, 19) << "never past the last row";

    EXPECT_FALSE(VisibleRows(0, 9, 10, 16, 600, first, last));
    EXPECT_FALSE(VisibleRows(27, 40, 10, 16, 600, first, last));
    EXPECT_FALSE(VisibleRows(0, 0, 0, 16, 0, first, last)) << "an empty list";
}

TEST(TaskListText, AmpersandsAreDoubled)
{
    EXPECT_EQ(std::string(DoubleAmpersands("Tom & Jerry && co&")), "Tom && Jerry &&&& co&&");
    EXPECT_EQ(std::string(DoubleAmpersands("plain")), "plain");
    EXPECT_EQ(std::string(DoubleAmpersands(nullptr)), "");
}
