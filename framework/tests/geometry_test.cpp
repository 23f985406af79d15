// CRect, CPoint and CSize: half-open rectangles and the USER32 rules for empty results.
#include <gtest/gtest.h>

#include "framework/Geometry.h"

TEST(Geometry, RectangleMeasuresAndHalfOpenHitTest)
{
    CRect rc(10, 20, 110, 70);
    EXPECT_EQ(rc.Width(), 100);
    EXPECT_EQ(rc.Height(), 50);
    EXPECT_EQ(rc.Size(), CSize(100, 50));
    EXPECT_EQ(rc.CenterPoint(), CPoint(60, 45));
    EXPECT_EQ(rc.TopLeft(), CPoint(10, 20));
    EXPECT_EQ(rc.BottomRight(), CPoint(110, 70));
    EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
    EXPECT_TRUE(rc.PtInRect(CPoint(109, 69)));
    EXPECT_FALSE(rc.PtInRect(CPoint(110, 50)));
    EXPECT_FALSE(rc.PtInRect(CPoint(50, 70)));
    EXPECT_FALSE(rc.IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 5, 10).IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 4, 10).IsRectEmpty());
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_EQ(CRect(CPoint(1, 2), CSize(3, 4)), CRect(1, 2, 4, 6));
}

TEST(Geometry, RectangleEditing)
{
    CRect rc(0, 0, 10, 10);
    rc.OffsetRect(5, -5);
    EXPECT_EQ(rc, CRect(5, -5, 15, 5));
    rc.InflateRect(1, 2);
    EXPECT_EQ(rc, CRect(4, -7, 16, 7));
    rc.DeflateRect(1, 2);
    EXPECT_EQ(rc, CRect(5, -5, 15, 5));
    rc.DeflateRect(1, 0, 0, 1);
    EXPECT_EQ(rc, CRect(6, -5, 15, 4));
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, CRect(0, 0, 10, 10));
    // A CRect is usable wherever an LPRECT is expected.
    LPRECT p = rc;
    p->left = 0;
    EXPECT_EQ(rc.left, 0);
}

TEST(Geometry, IntersectionAndUnionFollowUser32)
{
    CRect a(0, 0, 10, 10), b(5, 5, 20, 20), r(1, 1, 2, 2);
    EXPECT_TRUE(r.IntersectRect(&a, &b));
    EXPECT_EQ(r, CRect(5, 5, 10, 10));
    CRect touching(10, 0, 20, 10);
    EXPECT_FALSE(r.IntersectRect(&a, &touching)); // shared edge only
    EXPECT_TRUE(r.IsRectNull());
    EXPECT_TRUE(r.UnionRect(&a, &b));
    EXPECT_EQ(r, CRect(0, 0, 20, 20));
    CRect empty(50, 50, 50, 60);
    EXPECT_TRUE(r.UnionRect(&a, &empty)); // empty rectangles add nothing
    EXPECT_EQ(r, a);
    EXPECT_FALSE(r.UnionRect(&empty, &empty));
    EXPECT_TRUE(r.IsRectNull());
}

TEST(Geometry, PointAndSizeArithmetic)
{
    CPoint p(3, 4);
    p += CSize(1, 1);
    EXPECT_EQ(p, CPoint(4, 5));
    EXPECT_EQ(p - CPoint(1, 2), CSize(3, 3));
    EXPECT_EQ(p + CSize(-4, -5), CPoint(0, 0));
    p.Offset(-1, 1);
    EXPECT_EQ(p, CPoint(3, 6));
    EXPECT_EQ(CSize(1, 2) + CSize(3, 4), CSize(4, 6));
}
