// Rectangle tests on inclusive corners.
#include "imaging/common/rect_tests.h"

#include <gtest/gtest.h>

TEST(RectTests, RectsIntersectCountsTouchingAndTakesACornersInAnyOrder)
{
    const TRect a(0, 0, 10, 10);
    const TRect flipped(10, 10, 0, 0);
    for (const TRect& r : {a, flipped, TRect(10, 0, 0, 10)}) {
        EXPECT_TRUE(RectsIntersect(r, TRect(5, 5, 20, 20)));
        EXPECT_TRUE(RectsIntersect(r, TRect(10, 0, 20, 5)));    // shares the edge x = 10
        EXPECT_TRUE(RectsIntersect(r, TRect(10, 10, 12, 12)));  // shares one corner
        EXPECT_TRUE(RectsIntersect(r, TRect(-5, -5, 20, 20)));  // encloses A
        EXPECT_FALSE(RectsIntersect(r, TRect(11, 0, 20, 5)));
        EXPECT_FALSE(RectsIntersect(r, TRect(0, -5, 10, -1)));
    }
}

TEST(RectTests, RectVisibilityJudgesBsEdges)
{
    const TRect a(0, 0, 10, 10);
    EXPECT_EQ(RectVisibility(a, TRect(2, 2, 5, 5)), 2);
    EXPECT_EQ(RectVisibility(a, TRect(0, 0, 10, 10)), 2);
    EXPECT_EQ(RectVisibility(a, TRect(5, 5, 15, 15)), 1);
    EXPECT_EQ(RectVisibility(a, TRect(10, 10, 20, 20)), 1);
    EXPECT_EQ(RectVisibility(a, TRect(2, 5, 5, 20)), 1);     // both x edges, one y edge
    EXPECT_EQ(RectVisibility(a, TRect(-5, 2, 5, 5)), 1);     // one x edge, both y edges
    EXPECT_EQ(RectVisibility(a, TRect(-5, -5, 20, 20)), 0);  // B encloses A
    EXPECT_EQ(RectVisibility(a, TRect(2, -5, 5, 20)), 0);    // a strip across: no y edge inside
    EXPECT_EQ(RectVisibility(a, TRect(20, 20, 30, 30)), 0);
    EXPECT_EQ(RectVisibility(a, TRect(5, 20, 6, 30)), 0);
}

TEST(RectTests, PointInRectIncludesBothCorners)
{
    const TRect r(0, 0, 10, 10);
    EXPECT_TRUE(PointInRect(0, 0, r));
    EXPECT_TRUE(PointInRect(10, 10, r));
    EXPECT_TRUE(PointInRect(10, 0, r));
    EXPECT_FALSE(PointInRect(11, 5, r));
    EXPECT_FALSE(PointInRect(5, -1, r));
}
