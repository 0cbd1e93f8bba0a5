// Canvas lines, rectangles, ellipses, arcs, polygons and edges.
#include "canvas_test_util.h"

#include <gtest/gtest.h>
#include <memory>

// ---- right and bottom edges -------------------------------------------------------------------

TEST(CanvasEdges, RectangleLeavesOutRightAndBottomEdge)
{
    std::unique_ptr<TBitmap> b(NewBitmap(20, 20));
    TCanvas& c = *b->Canvas();
    c.Pen.Color = clBlack;
    c.Brush.Color = clRed;
    c.Rectangle(2, 3, 8, 9);
    EXPECT_EQ(InkBox(c, 20, 20), TRect(2, 3, 8, 9)) << Picture(c, 20, 20).toStdString();
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(c.Pixel(x, 3), clBlack);
        EXPECT_EQ(c.Pixel(x, 8), clBlack);
    }
    for (int y = 3; y < 9; ++y) {
        EXPECT_EQ(c.Pixel(2, y), clBlack);
        EXPECT_EQ(c.Pixel(7, y), clBlack);
    }
    for (int y = 4; y < 8; ++y)
        for (int x = 3; x < 7; ++x)
            EXPECT_EQ(c.Pixel(x, y), clRed);
}

TEST(CanvasEdges, ReversedCornersDrawTheSameRectangle)
{
    std::unique_ptr<TBitmap> a(NewBitmap(12, 12)), b(NewBitmap(12, 12));
    a->Canvas()->Rectangle(2, 2, 9, 7);
    b->Canvas()->Rectangle(9, 7, 2, 2);
    EXPECT_EQ(a->Image(), b->Image());
}

TEST(CanvasEdges, FillRectUsesOnlyTheBrushAndLeavesOutTheEdges)
{
    std::unique_ptr<TBitmap> b(NewBitmap(10, 10));
    TCanvas& c = *b->Canvas();
    c.Pen.Color = clBlue;
    c.Pen.Mode = pmXor;  // fills ignore the pen mode
    c.Brush.Color = clLime;
    c.FillRect(TRect(1, 2, 4, 6));
    EXPECT_EQ(InkBox(c, 10, 10), TRect(1, 2, 4, 6));
    EXPECT_EQ(CountPixels(c, 10, 10, [](int, int, TColor v) { return v == clLime; }), 12);
    c.FillRect(TRect(5, 5, 5, 9));  // empty: nothing
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
}

TEST(CanvasEdges, FrameRectIsOnePixelInTheBrushColour)
{
    std::unique_ptr<TBitmap> b(NewBitmap(10, 10));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clNavy;
    c.FrameRect(TRect(1, 1, 6, 5));
    EXPECT_EQ(CountPixels(c, 10, 10, [](int, int, TColor v) { return v == clNavy; }), 2 * 5 + 2 * 2);
    EXPECT_EQ(c.Pixel(2, 2), clWhite);
    EXPECT_EQ(c.Pixel(5, 4), clNavy);
    EXPECT_EQ(c.Pixel(6, 4), clWhite);
}

TEST(CanvasEdges, EllipseTouchesEveryInnerEdgeAndIsSymmetric)
{
    std::unique_ptr<TBitmap> b(NewBitmap(24, 16));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clYellow;
    c.Ellipse(1, 2, 21, 13);
    EXPECT_EQ(InkBox(c, 24, 16), TRect(1, 2, 21, 13)) << Picture(c, 24, 16).toStdString();
    for (int y = 2; y < 13; ++y)
        for (int x = 1; x < 21; ++x) {
            EXPECT_EQ(c.Pixel(x, y), c.Pixel(21 - 1 - (x - 1), y)) << x << "," << y;
            EXPECT_EQ(c.Pixel(x, y), c.Pixel(x, 13 - 1 - (y - 2))) << x << "," << y;
        }
    // Corners of the box stay clear, the centre is brush.
    EXPECT_EQ(c.Pixel(1, 2), clWhite);
    EXPECT_EQ(c.Pixel(20, 12), clWhite);
    EXPECT_EQ(c.Pixel(11, 7), clYellow);
}

TEST(CanvasEdges, EllipseOutlineIsClosed)
{
    // A closed outline keeps a flood fill from leaking out.
    std::unique_ptr<TBitmap> b(NewBitmap(40, 30));
    TCanvas& c = *b->Canvas();
    c.Brush.Style = bsClear;
    c.Ellipse(3, 3, 37, 27);
    c.Brush.Style = bsSolid;
    c.Brush.Color = clRed;
    c.FloodFill(20, 15, clWhite, fsSurface);
    EXPECT_EQ(c.Pixel(0, 0), clWhite);
    EXPECT_EQ(c.Pixel(39, 29), clWhite);
    EXPECT_EQ(c.Pixel(20, 15), clRed);
}

TEST(CanvasEdges, ClearPenFillsOnePixelLessAtRightAndBottom)
{
    std::unique_ptr<TBitmap> b(NewBitmap(12, 12));
    TCanvas& c = *b->Canvas();
    c.Pen.Style = psClear;
    c.Brush.Color = clRed;
    c.Rectangle(2, 2, 8, 8);
    EXPECT_EQ(InkBox(c, 12, 12), TRect(2, 2, 7, 7));
}

TEST(CanvasEdges, RoundRectRoundsItsCorners)
{
    std::unique_ptr<TBitmap> b(NewBitmap(24, 24));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clRed;
    c.RoundRect(0, 0, 20, 16, 10, 8);
    EXPECT_EQ(InkBox(c, 24, 24), TRect(0, 0, 20, 16));
    EXPECT_EQ(c.Pixel(0, 0), clWhite);
    EXPECT_EQ(c.Pixel(19, 15), clWhite);
    EXPECT_EQ(c.Pixel(10, 0), clBlack);
    EXPECT_EQ(c.Pixel(0, 8), clBlack);
    EXPECT_EQ(c.Pixel(19, 8), clBlack);
    EXPECT_EQ(c.Pixel(10, 8), clRed);
}

// ---- lines --------------------------------------------------------------------------------------

TEST(CanvasLines, LineToLeavesOutItsEndPointAndMovesThePen)
{
    std::unique_ptr<TBitmap> b(NewBitmap(10, 10));
    TCanvas& c = *b->Canvas();
    c.MoveTo(1, 1);
    c.LineTo(6, 1);
    EXPECT_EQ(c.PenPos, TPoint(6, 1));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(c.Pixel(x, 1), clBlack);
    EXPECT_EQ(c.Pixel(6, 1), clWhite);
    EXPECT_EQ(c.Pixel(0, 1), clWhite);
    // Continuing from the pen position paints the former end point now.
    c.LineTo(6, 4);
    EXPECT_EQ(c.Pixel(6, 1), clBlack);
    EXPECT_EQ(c.Pixel(6, 3), clBlack);
    EXPECT_EQ(c.Pixel(6, 4), clWhite);
}

TEST(CanvasLines, SlopedLineFollowsTheMidpointRule)
{
    std::unique_ptr<TBitmap> b(NewBitmap(8, 4));
    TCanvas& c = *b->Canvas();
    c.MoveTo(0, 0);
    c.LineTo(5, 2);
    // Offsets round(k·2/5) half up: 0, 0, 1, 1, 2; the end (5, 2) stays clear.
    const TPoint want[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    for (const TPoint& p : want)
        EXPECT_EQ(c.Pixel(p.X, p.Y), clBlack) << p.X << "," << p.Y;
    EXPECT_EQ(CountPixels(c, 8, 4, [](int, int, TColor v) { return v == clBlack; }), 5);
}

TEST(CanvasLines, PolylineLeavesOutOnlyTheLastPoint)
{
    std::unique_ptr<TBitmap> b(NewBitmap(10, 10));
    TCanvas& c = *b->Canvas();
    c.Polyline({{1, 1}, {5, 1}, {5, 5}});
    EXPECT_EQ(c.Pixel(5, 1), clBlack);
    EXPECT_EQ(c.Pixel(5, 4), clBlack);
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    EXPECT_EQ(CountPixels(c, 10, 10, [](int, int, TColor v) { return v == clBlack; }), 8);
    EXPECT_EQ(c.PenPos, TPoint(0, 0));
}

TEST(CanvasLines, DashedPenRepeatsEighteenOnSixOff)
{
    std::unique_ptr<TBitmap> b(NewBitmap(60, 3));
    TCanvas& c = *b->Canvas();
    c.Pen.Style = psDash;
    c.Brush.Style = bsClear;  // gaps stay clear
    c.MoveTo(0, 1);
    c.LineTo(50, 1);
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(c.Pixel(x, 1), (x % 24) < 18 ? clBlack : clWhite) << x;
    // With a solid brush the gaps take the brush colour.
    c.Brush.Style = bsSolid;
    c.Brush.Color = clRed;
    c.MoveTo(0, 2);
    c.LineTo(30, 2);
    EXPECT_EQ(c.Pixel(17, 2), clBlack);
    EXPECT_EQ(c.Pixel(18, 2), clRed);
    EXPECT_EQ(c.Pixel(24, 2), clBlack);
}

TEST(CanvasLines, WidePenCoversItsWidthAcrossTheLine)
{
    std::unique_ptr<TBitmap> b(NewBitmap(30, 20));
    TCanvas& c = *b->Canvas();
    c.Pen.Width = 3;
    c.MoveTo(5, 10);
    c.LineTo(25, 10);
    for (int y = 7; y < 14; ++y)
        EXPECT_EQ(c.Pixel(15, y), (y >= 9 && y <= 11) ? clBlack : clWhite) << y;
    // Even widths take one more row above: [−w/2, (w−1)/2].
    c.Pen.Width = 4;
    c.MoveTo(5, 3);
    c.LineTo(25, 3);
    for (int y = 0; y < 7; ++y)
        EXPECT_EQ(c.Pixel(15, y), (y >= 1 && y <= 4) ? clBlack : clWhite) << y;
}

TEST(CanvasLines, WideRectangleIsCentredOnTheOutline)
{
    std::unique_ptr<TBitmap> b(NewBitmap(24, 24));
    TCanvas& c = *b->Canvas();
    c.Pen.Width = 3;
    c.Brush.Color = clRed;
    c.Rectangle(5, 5, 15, 15);
    EXPECT_EQ(InkBox(c, 24, 24), TRect(4, 4, 16, 16));
    EXPECT_EQ(c.Pixel(6, 10), clBlack);
    EXPECT_EQ(c.Pixel(7, 10), clRed);
    c.FillRect(TRect(0, 0, 24, 24));
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, 24, 24));
    c.Pen.Style = psInsideFrame;
    c.Rectangle(5, 5, 15, 15);
    EXPECT_EQ(InkBox(c, 24, 24), TRect(5, 5, 15, 15));
}

// ---- polygons, arcs ----------------------------------------------------------------------------------

TEST(CanvasPolygon, FillExcludesRightAndBottomEdgesAndPenClosesTheOutline)
{
    std::unique_ptr<TBitmap> b(NewBitmap(12, 12));
    TCanvas& c = *b->Canvas();
    c.Pen.Style = psClear;
    c.Brush.Color = clRed;
    c.Polygon({{2, 2}, {8, 2}, {8, 8}, {2, 8}});
    EXPECT_EQ(InkBox(c, 12, 12), TRect(2, 2, 8, 8));
    c.Pen.Style = psSolid;
    c.Polygon({{2, 2}, {8, 2}, {8, 8}, {2, 8}});
    // The outline runs through every vertex.
    EXPECT_EQ(InkBox(c, 12, 12), TRect(2, 2, 9, 9));
    EXPECT_EQ(c.Pixel(8, 8), clBlack);
    EXPECT_EQ(c.Pixel(5, 5), clRed);
}

TEST(CanvasPolygon, SelfIntersectingStarUsesAlternateFill)
{
    std::unique_ptr<TBitmap> b(NewBitmap(42, 42));
    TCanvas& c = *b->Canvas();
    c.Pen.Style = psClear;
    c.Brush.Color = clRed;
    // Pentagram: the inner pentagon is crossed twice and stays empty.
    c.Polygon({{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}});
    EXPECT_EQ(c.Pixel(20, 20), clWhite) << Picture(c, 42, 42).toStdString();
    EXPECT_EQ(c.Pixel(20, 6), clRed);   // top tip
    EXPECT_EQ(c.Pixel(6, 16), clRed);   // left tip
    EXPECT_EQ(c.Pixel(33, 16), clRed);  // right tip
}

TEST(CanvasPolygon, TriangleFollowsPixelCentreRule)
{
    std::unique_ptr<TBitmap> b(NewBitmap(12, 12));
    TCanvas& c = *b->Canvas();
    c.Pen.Style = psClear;
    c.Brush.Color = clBlack;
    c.Polygon({{0, 0}, {10, 0}, {0, 10}});
    // Pixel (x, y) is inside when its centre is: x + y + 1 < 10.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(c.Pixel(x, y), x + y < 9 ? clBlack : clWhite) << x << "," << y;
}

TEST(CanvasArcs, PieFillsTheCounterClockwiseSector)
{
    std::unique_ptr<TBitmap> b(NewBitmap(22, 22));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clRed;
    // From the radial through (21, 10) (east) to the one through (10, 0) (north).
    c.Pie(0, 0, 21, 21, 21, 10, 10, 0);
    EXPECT_EQ(c.Pixel(15, 5), clRed) << Picture(c, 22, 22).toStdString();
    EXPECT_EQ(c.Pixel(5, 15), clWhite);
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    EXPECT_EQ(c.Pixel(15, 15), clWhite);
    // Swapping the radials takes the other three quarters.
    std::unique_ptr<TBitmap> d(NewBitmap(22, 22));
    d->Canvas()->Brush.Color = clRed;
    d->Canvas()->Pie(0, 0, 21, 21, 10, 0, 21, 10);
    EXPECT_EQ(d->Canvas()->Pixel(15, 5), clWhite);
    EXPECT_EQ(d->Canvas()->Pixel(5, 15), clRed);
    EXPECT_EQ(d->Canvas()->Pixel(5, 5), clRed);
}

TEST(CanvasArcs, ChordCutsAlongTheLineBetweenTheEnds)
{
    std::unique_ptr<TBitmap> b(NewBitmap(22, 22));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clRed;
    c.Chord(0, 0, 21, 21, 21, 10, 0, 10);  // upper half
    EXPECT_EQ(c.Pixel(10, 4), clRed);
    EXPECT_EQ(c.Pixel(10, 16), clWhite);
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, 22, 22));
    c.Arc(0, 0, 21, 21, 21, 10, 0, 10);  // upper half outline only
    EXPECT_EQ(InkBox(c, 22, 22).Top, 0);
    EXPECT_LE(InkBox(c, 22, 22).Bottom, 12);
    EXPECT_EQ(c.Pixel(10, 4), clWhite);
}
