// Bitmap copies, fills, bit inversions, mean colours, polygons and regions.
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_math.h"
#include "platform/graphics/region.h"
#include "proc_test_util.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace proctest;

TEST(CopyBits, KeepsTheDestinationsOtherBits)
{
    const uint8_t src[2] = {0b10110011, 0b01000000};
    uint8_t dst[2] = {0xFF, 0xFF};
    // Source bits 3..8 are 1 0 0 1 1 0; written from destination bit 5 on.
    CopyBits(dst, src, 5, 6, 3);
    EXPECT_EQ(dst[0], 0b11111100);
    EXPECT_EQ(dst[1], 0b11011111);
    uint8_t aligned[2] = {0, 0x0F};
    CopyBits(aligned, src, 0, 12, 0);
    EXPECT_EQ(aligned[0], 0b10110011);
    EXPECT_EQ(aligned[1], 0b01001111);
}

TEST(CopyBitmapRect, ZeroOrTooLargeCornerMeansTheLastPixel)
{
    TBitmap src = Pattern(6, 5);
    TBitmap dst;
    CopyBitmapRect(&src, &dst, 2, 1, 0, 99);
    ASSERT_EQ(dst.Width(), 4);
    ASSERT_EQ(dst.Height(), 4);
    EXPECT_EQ(Get(dst, 0, 0), Get(src, 2, 1));
    EXPECT_EQ(Get(dst, 3, 3), Get(src, 5, 4));
    // Nothing of the rectangle inside: an empty destination, never a stray pixel.
    CopyBitmapRect(&src, &dst, 10, 10, 12, 12);
    EXPECT_TRUE(dst.Empty());
}

TEST(CopyBitmapRect, OneBitRowsFromAnyBit)
{
    TBitmap src(23, 2, pf1bit);
    for (int x = 0; x < 23; ++x) {
        SetBit(src, x, 0, x % 4 == 1);
        SetBit(src, x, 1, x > 15);
    }
    TBitmap dst;
    CopyBitmapArea(&src, &dst, 5, 0, 19, 1);
    ASSERT_EQ(dst.PixelFormat(), pf1bit);
    ASSERT_EQ(dst.Width(), 15);
    for (int x = 0; x < 15; ++x) {
        EXPECT_EQ(Bit(dst, x, 0), (x + 5) % 4 == 1) << x;
        EXPECT_EQ(Bit(dst, x, 1), x + 5 > 15) << x;
    }
}

TEST(CopyBitmap, EmptySourceLeavesOnePixel)
{
    TBitmap src = Pattern(3, 3);
    TBitmap dst(1, 1, pf1bit);
    TBitmap* keep = &dst;
    CopyBitmap(&src, &dst);
    EXPECT_EQ(keep, &dst);
    EXPECT_TRUE(SamePixels(src, dst));
    TBitmap empty(0, 0, pf1bit);
    CopyBitmap(&empty, &dst);
    EXPECT_EQ(dst.Width(), 1);
    EXPECT_EQ(dst.Height(), 1);
    EXPECT_EQ(dst.PixelFormat(), pf1bit);
}

TEST(InvertBits, SwapsBlackAndWhite)
{
    TBitmap bm(10, 2, pf1bit);
    SetBit(bm, 3, 1, false);
    InvertBits(&bm);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Bit(bm, x, y), x == 3 && y == 1);
}

TEST(MeanColor, TruncatedMeansAndEmptyBitmap)
{
    TBitmap bm(2, 2, pf24bit);
    Set(bm, 0, 0, {10, 0, 255});
    Set(bm, 1, 0, {11, 1, 255});
    Set(bm, 0, 1, {11, 1, 255});
    Set(bm, 1, 1, {11, 1, 254});
    const TRGBTriple m = MeanColor(&bm);
    EXPECT_EQ(m.rgbtRed, 10);    // 43 / 4
    EXPECT_EQ(m.rgbtGreen, 0);   // 3 / 4
    EXPECT_EQ(m.rgbtBlue, 254);  // 1019 / 4
    TBitmap empty;
    EXPECT_EQ(MeanColor(&empty), MakeRGB(128, 128, 128));
}

TEST(FillBitmapRect, ClampsAndUsesGreyOnOneBit)
{
    TBitmap bm = Filled(4, 4, {0, 0, 0});
    FillBitmapRect(&bm, -5, 2, 99, 9, RGB(1, 2, 3));
    EXPECT_EQ(Get(bm, 0, 1), (Px{0, 0, 0}));
    EXPECT_EQ(Get(bm, 0, 2), (Px{1, 2, 3}));
    EXPECT_EQ(Get(bm, 3, 3), (Px{1, 2, 3}));
    TBitmap mono(9, 1, pf1bit);
    FillBitmapRect(&mono, 2, 0, 6, 0, RGB(100, 100, 100));
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(Bit(mono, x, 0), x < 2 || x > 6) << x;
}

TEST(Region, RectanglePolygonLeavesOutRightAndBottomEdge)
{
    const TRegion r = TRegion::FromPolygon({{2, 1}, {6, 1}, {6, 4}, {2, 4}});
    EXPECT_EQ(r.BoundsRect(), TRect(2, 1, 6, 4));
    EXPECT_TRUE(r.Contains(2, 1));
    EXPECT_TRUE(r.Contains(5, 3));
    EXPECT_FALSE(r.Contains(6, 3));
    EXPECT_FALSE(r.Contains(5, 4));
}

TEST(Region, AlternateFillLeavesTheInnerSquareOfASelfOverlap)
{
    // A square traced twice around, offset: the outline of two nested squares as one
    // polygon; with odd-even filling the inner square is a hole.
    const TRegion r =
        TRegion::FromPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {3, 3}, {3, 7}, {7, 7}, {7, 3}, {3, 3}});
    EXPECT_TRUE(r.Contains(1, 1));
    EXPECT_TRUE(r.Contains(8, 5));
    EXPECT_FALSE(r.Contains(5, 5));
    // Intersect and offset keep the spans consistent.
    TRegion c = r;
    c.Intersect(TRect(0, 0, 5, 5));
    EXPECT_EQ(c.BoundsRect(), TRect(0, 0, 5, 5));
    c.Offset(10, 20);
    EXPECT_TRUE(c.Contains(10, 20));
    EXPECT_FALSE(c.Contains(15, 25));
}

TEST(Region, ClippedPolygonEqualsTheIntersectedOne)
{
    const std::vector<TPoint> star{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {3, 3}, {3, 7}, {7, 7}, {7, 3}, {3, 3}};
    for (const TRect& clip : {TRect(0, 0, 5, 5), TRect(2, 4, 9, 12), TRect(-5, -5, 3, 20), TRect(20, 20, 30, 30)}) {
        TRegion whole = TRegion::FromPolygon(star);
        whole.Intersect(clip);
        const TRegion clipped = TRegion::FromPolygon(star, clip);
        EXPECT_EQ(clipped.IsEmpty(), whole.IsEmpty());
        EXPECT_EQ(clipped.BoundsRect(), whole.BoundsRect());
        for (int y = -6; y < 22; ++y)
            for (int x = -6; x < 22; ++x)
                ASSERT_EQ(clipped.Contains(x, y), whole.Contains(x, y)) << x << "," << y;
    }
    // Points far out cost only the clip's rows.
    const TRegion far = TRegion::FromPolygon(
        {{-2000000000, -2000000000}, {2000000000, -2000000000}, {2000000000, 2000000000}, {-2000000000, 2000000000}},
        TRect(1, 2, 4, 6));
    EXPECT_EQ(far.BoundsRect(), TRect(1, 2, 4, 6));
    EXPECT_EQ(far.RowCount(), 4);
}

TEST(Region, DegeneratePolygonsAreEmpty)
{
    EXPECT_TRUE(TRegion::FromPolygon({}).IsEmpty());
    EXPECT_TRUE(TRegion::FromPolygon({{1, 1}, {5, 5}}).IsEmpty());
    EXPECT_TRUE(TRegion::FromPolygon({{1, 1}, {5, 1}, {9, 1}}).IsEmpty());
}

TEST(PolygonRoutines, DrawThroughAndFillTouchOnlyTheInside)
{
    TBitmap dst = Filled(20, 20, {0, 0, 0});
    const TBitmap src = Filled(20, 20, {200, 100, 50});
    const std::vector<TPoint> triangle{{0, 0}, {20, 0}, {0, 20}};
    DrawThroughPolygon(&dst, 0, 0, &src, triangle);
    EXPECT_EQ(Get(dst, 2, 2), (Px{200, 100, 50}));
    EXPECT_EQ(Get(dst, 17, 17), (Px{0, 0, 0}));
    FillPolygon(&dst, triangle, RGB(9, 9, 9));
    EXPECT_EQ(Get(dst, 3, 5), (Px{9, 9, 9}));
    EXPECT_EQ(Get(dst, 15, 15), (Px{0, 0, 0}));

    TBitmap out;
    CopyPolygonRect(&src, &out, {{5, 5}, {15, 5}, {5, 15}}, 5, 5, 14, 14, RGB(1, 1, 1));
    ASSERT_EQ(out.Width(), 10);
    EXPECT_EQ(Get(out, 1, 1), (Px{200, 100, 50}));
    EXPECT_EQ(Get(out, 8, 8), (Px{1, 1, 1}));
}

TEST(ColorMath, ChannelOrderAndComparisons)
{
    EXPECT_EQ(SwapRedBlue(0x123456), 0x563412);
    EXPECT_TRUE(SameColor(0x7F123456, 0x00123456));
    EXPECT_FALSE(SameColor(0x123456, 0x123457));
    const TRGBTriple t = ColorToRGBTriple(RGB(10, 20, 30));
    EXPECT_EQ(t.rgbtRed, 10);
    EXPECT_EQ(t.rgbtBlue, 30);
    EXPECT_EQ(CeilInt(-1.5), -1);
    EXPECT_EQ(FloorInt(-1.5), -2);
    EXPECT_EQ(IntBound(300, 0, 255), 255);
    EXPECT_EQ(IntBound(-3, 0, 255), 0);
    int a = 5, b = 2, c = 1, d = 9;
    OrderPairs(a, b, c, d);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(d, 9);
    EXPECT_NEAR(ArcSin(0.5), M_PI / 6, 1e-12);
    EXPECT_NEAR(ArcCos(0.5), M_PI / 3, 1e-12);
    EXPECT_NEAR(ArcSin(-1.0), -M_PI / 2, 1e-12);
}
