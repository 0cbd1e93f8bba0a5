// Rectangles with exclusive edges.
#include "platform/core/geometry.h"

#include <gtest/gtest.h>

TEST(Geometry, RightAndBottomEdgesAreExclusive)
{
    const TRect r = Bounds(10, 20, 5, 4);
    EXPECT_EQ(r, Rect(10, 20, 15, 24));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_TRUE(PtInRect(r, Point(14, 23)));
    EXPECT_FALSE(PtInRect(r, Point(15, 23)));
    EXPECT_FALSE(PtInRect(r, Point(14, 24)));
    EXPECT_EQ(r.toQRect(), QRect(10, 20, 5, 4));
    EXPECT_EQ(TRect::fromQRect(QRect(10, 20, 5, 4)), r);
}

TEST(Geometry, IntersectRectOfTouchingRectanglesIsEmpty)
{
    TRect d;
    EXPECT_TRUE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_EQ(d, Rect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
    EXPECT_EQ(d, TRect());
}
