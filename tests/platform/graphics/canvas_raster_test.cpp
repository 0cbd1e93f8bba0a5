// Canvas blits, brushes, clips, flood fill, pen modes, formats and text.
#include "canvas_test_util.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A bitmap where every pixel differs from its neighbours.
TBitmap* Gradient(int w, int h)
{
    auto* b = new TBitmap(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            p[3 * x] = uint8_t(x * 7 + y);
            p[3 * x + 1] = uint8_t(y * 11 + 3);
            p[3 * x + 2] = uint8_t(x * y + 5);
        }
    }
    return b;
}

void DrawEverything(TCanvas& c)
{
    c.MoveTo(1, 1);
    c.LineTo(30, 17);
    c.Rectangle(3, 4, 20, 15);
    c.Ellipse(10, 2, 35, 22);
    c.RoundRect(0, 10, 25, 24, 8, 6);
    c.Polygon({{2, 2}, {30, 5}, {12, 22}, {25, 20}});
    c.Pie(5, 5, 30, 20, 30, 5, 5, 5);
    c.Pen.Width = 3;
    c.MoveTo(0, 23);
    c.LineTo(39, 0);
    c.Pen.Width = 1;
}

}  // namespace

// ---- pen modes ----------------------------------------------------------------------------------------

TEST(CanvasPenModes, XorDrawnTwiceRestoresTheImage)
{
    for (TPenMode mode : {pmXor, pmNotXor, pmNot}) {
        std::unique_ptr<TBitmap> b(Gradient(40, 25));
        const QImage before = b->Image().copy();
        TCanvas& c = *b->Canvas();
        c.Pen.Mode = mode;
        c.Pen.Color = RGB(200, 90, 17);
        c.Brush.Color = RGB(33, 140, 250);
        for (int i = 0; i < 2; ++i) {
            DrawEverything(c);
            c.Brush.Style = bsDiagCross;
            c.Rectangle(4, 4, 36, 20);
            c.Brush.Style = bsSolid;
        }
        EXPECT_EQ(b->Image(), before) << "mode " << int(mode);
        // Once only changes pixels.
        DrawEverything(c);
        EXPECT_NE(b->Image(), before);
    }
}

TEST(CanvasPenModes, NotInvertsTheTouchedPixels)
{
    std::unique_ptr<TBitmap> b(NewBitmap(10, 10, RGB(10, 100, 250)));
    TCanvas& c = *b->Canvas();
    c.Pen.Mode = pmNot;
    c.Brush.Style = bsClear;
    c.Rectangle(2, 2, 7, 7);
    EXPECT_EQ(c.Pixel(2, 2), RGB(245, 155, 5));
    EXPECT_EQ(c.Pixel(4, 4), RGB(10, 100, 250));
}

TEST(CanvasPenModes, RasterOpsCombinePenAndDestinationBits)
{
    const TColor d = RGB(0xF0, 0x0F, 0x55), p = RGB(0xCC, 0x33, 0xFF);
    struct Case {
        TPenMode mode;
        int r, g, b;
    } cases[] = {
        {pmCopy, 0xCC, 0x33, 0xFF},
        {pmMerge, 0xFC, 0x3F, 0xFF},
        {pmMask, 0xC0, 0x03, 0x55},
        {pmXor, 0x3C, 0x3C, 0xAA},
        {pmNotXor, 0xC3, 0xC3, 0x55},
        {pmNotCopy, 0x33, 0xCC, 0x00},
        {pmBlack, 0, 0, 0},
        {pmWhite, 255, 255, 255},
        {pmNop, 0xF0, 0x0F, 0x55},
        {pmMaskNotPen, 0x30, 0x0C, 0x00},
        {pmMergePenNot, 0xCF, 0xF3, 0xFF},
    };
    for (const Case& k : cases) {
        std::unique_ptr<TBitmap> b(NewBitmap(4, 4, d));
        TCanvas& c = *b->Canvas();
        c.Pen.Color = p;
        c.Pen.Mode = k.mode;
        c.MoveTo(0, 1);
        c.LineTo(3, 1);
        EXPECT_EQ(c.Pixel(1, 1), RGB(k.r, k.g, k.b)) << "mode " << int(k.mode);
        EXPECT_EQ(c.Pixel(1, 2), d);
    }
}

TEST(CanvasPenModes, XorOnOneBitBitmaps)
{
    std::unique_ptr<TBitmap> b(NewBitmap(16, 4, clWhite, pf1bit));
    TCanvas& c = *b->Canvas();
    c.Pen.Mode = pmXor;
    c.Pen.Color = clWhite;  // bit 1: flips
    c.MoveTo(0, 1);
    c.LineTo(16, 1);
    EXPECT_EQ(b->ScanLine(1)[0], 0x00);
    c.MoveTo(0, 1);
    c.LineTo(16, 1);
    EXPECT_EQ(b->ScanLine(1)[0], 0xFF);
    c.Pen.Mode = pmNot;
    c.MoveTo(4, 2);
    c.LineTo(8, 2);
    EXPECT_EQ(b->ScanLine(2)[0], 0xF0);
}

// ---- brushes ------------------------------------------------------------------------------------------

TEST(CanvasBrushes, HatchesRepeatEveryEightPixelsOverTheBackground)
{
    struct Case {
        TBrushStyle style;
        bool (*on)(int x, int y);
    } cases[] = {
        {bsHorizontal, [](int, int y) { return y % 8 == 6; }},
        {bsVertical, [](int x, int) { return x % 8 == 4; }},
        {bsFDiagonal, [](int x, int y) { return x % 8 == y % 8; }},    // top left to bottom right
        {bsBDiagonal, [](int x, int y) { return (x + y) % 8 == 7; }},  // bottom left to top right
        {bsCross, [](int x, int y) { return y % 8 == 6 || x % 8 == 4; }},
        {bsDiagCross, [](int x, int y) { return x % 8 == y % 8 || (x + y) % 8 == 7; }},
    };
    for (const Case& k : cases) {
        std::unique_ptr<TBitmap> b(NewBitmap(24, 24, clBlue));
        TCanvas& c = *b->Canvas();
        c.Brush.Style = k.style;
        c.Brush.Color = clRed;
        c.FillRect(TRect(3, 2, 21, 23));  // the pattern is anchored at the bitmap origin
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                const bool inside = x >= 3 && x < 21 && y >= 2 && y < 23;
                EXPECT_EQ(c.Pixel(x, y), inside && k.on(x, y) ? clRed : clBlue)
                    << "style " << int(k.style) << " at " << x << "," << y;
            }
    }
}

TEST(CanvasBrushes, HatchedShapeKeepsTheBackgroundAndDrawsTheOutline)
{
    std::unique_ptr<TBitmap> b(NewBitmap(20, 20, clYellow));
    TCanvas& c = *b->Canvas();
    c.Brush.Style = bsVertical;
    c.Brush.Color = clGreen;
    c.Rectangle(0, 0, 20, 20);
    EXPECT_EQ(c.Pixel(0, 5), clBlack);
    EXPECT_EQ(c.Pixel(4, 5), clGreen);
    EXPECT_EQ(c.Pixel(5, 5), clYellow);
}

TEST(CanvasBrushes, PatternBitmapTilesFromTheOrigin)
{
    TBitmap pattern(8, 8, pf24bit);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.Canvas()->SetPixel(x, y, RGB(x * 30, y * 30, 7));
    std::unique_ptr<TBitmap> b(NewBitmap(30, 30));
    TCanvas& c = *b->Canvas();
    c.Brush.Bitmap = &pattern;
    c.FillRect(TRect(5, 3, 27, 29));
    for (int y = 3; y < 29; ++y)
        for (int x = 5; x < 27; ++x)
            ASSERT_EQ(c.Pixel(x, y), RGB((x % 8) * 30, (y % 8) * 30, 7)) << x << "," << y;
    EXPECT_EQ(c.Pixel(4, 10), clWhite);
}

TEST(CanvasBrushes, OneBitPatternUsesFontColourForZeroAndBrushColourForOne)
{
    TBitmap pattern(8, 8, pf1bit);  // white
    pattern.Canvas()->SetPixel(0, 0, clBlack);
    std::unique_ptr<TBitmap> b(NewBitmap(16, 16));
    TCanvas& c = *b->Canvas();
    c.Brush.Bitmap = &pattern;
    c.Brush.Color = clRed;
    c.Font.Color = clBlue;
    c.FillRect(TRect(0, 0, 16, 16));
    EXPECT_EQ(c.Pixel(8, 8), clBlue);
    EXPECT_EQ(c.Pixel(9, 8), clRed);
}

// ---- 1-bit surfaces -------------------------------------------------------------------------------

TEST(CanvasOneBit, LinesAndColoursMapByTheGreyRule)
{
    std::unique_ptr<TBitmap> b(NewBitmap(16, 3, clWhite, pf1bit));
    TCanvas& c = *b->Canvas();
    c.MoveTo(0, 0);
    c.LineTo(9, 0);
    // Leftmost pixel in the top bit, 0 is black: pixels 0..8 black.
    EXPECT_EQ(b->ScanLine(0)[0], 0x00);
    EXPECT_EQ(b->ScanLine(0)[1], 0x7F);
    // Red: (255·30)/100 = 76 → black; yellow: 226 → white; grey 128 is white, 127 black.
    c.SetPixel(0, 1, clRed);
    c.SetPixel(1, 1, clYellow);
    c.SetPixel(2, 1, RGB(128, 128, 128));
    c.SetPixel(3, 1, RGB(127, 127, 127));
    EXPECT_EQ(c.Pixel(0, 1), clBlack);
    EXPECT_EQ(c.Pixel(1, 1), clWhite);
    EXPECT_EQ(c.Pixel(2, 1), clWhite);
    EXPECT_EQ(c.Pixel(3, 1), clBlack);
    EXPECT_EQ(b->ScanLine(1)[0], 0xEF & 0x6F);
}

TEST(CanvasOneBit, ShapesFillAndTextDraw)
{
    std::unique_ptr<TBitmap> b(NewBitmap(40, 20, clWhite, pf1bit));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clBlack;
    c.Ellipse(0, 0, 20, 20);
    EXPECT_EQ(c.Pixel(10, 10), clBlack);
    EXPECT_EQ(c.Pixel(0, 0), clWhite);
    c.Brush.Style = bsClear;
    c.Font.Color = clBlack;
    c.TextOut(22, 2, QStringLiteral("W"));
    EXPECT_GT(CountPixels(c, 40, 20, [](int x, int, TColor v) { return x >= 22 && v == clBlack; }), 5);
}

// ---- flood fill -----------------------------------------------------------------------------------

TEST(CanvasFloodFill, BorderStyleStopsAtTheBorderColour)
{
    std::unique_ptr<TBitmap> b(NewBitmap(20, 20));
    TCanvas& c = *b->Canvas();
    c.Brush.Style = bsClear;
    c.Rectangle(2, 2, 12, 12);
    c.Pen.Color = clBlue;  // another colour inside does not stop fsBorder
    c.MoveTo(5, 3);
    c.LineTo(5, 8);
    c.Brush.Style = bsSolid;
    c.Brush.Color = clRed;
    c.FloodFill(3, 3, clBlack, fsBorder);
    EXPECT_EQ(c.Pixel(3, 3), clRed);
    EXPECT_EQ(c.Pixel(5, 4), clRed);  // the blue line was inside and is filled over
    EXPECT_EQ(c.Pixel(10, 10), clRed);
    EXPECT_EQ(c.Pixel(2, 2), clBlack);
    EXPECT_EQ(c.Pixel(1, 1), clWhite);
    EXPECT_EQ(c.Pixel(15, 15), clWhite);
    EXPECT_EQ(CountPixels(c, 20, 20, [](int, int, TColor v) { return v == clRed; }), 64);
}

TEST(CanvasFloodFill, SurfaceStyleFillsTheConnectedColour)
{
    std::unique_ptr<TBitmap> b(NewBitmap(20, 20));
    TCanvas& c = *b->Canvas();
    c.Brush.Color = clGreen;
    c.FillRect(TRect(0, 10, 20, 11));  // splits the bitmap in two
    c.Brush.Color = clRed;
    c.FloodFill(5, 5, clWhite, fsSurface);
    EXPECT_EQ(CountPixels(c, 20, 20, [](int, int, TColor v) { return v == clRed; }), 200);
    EXPECT_EQ(c.Pixel(5, 15), clWhite);
    // Start pixel of another colour: nothing; same colour as the brush: nothing new, no hang.
    c.FloodFill(5, 10, clWhite, fsSurface);
    EXPECT_EQ(c.Pixel(5, 10), clGreen);
    c.FloodFill(5, 5, clRed, fsSurface);
    EXPECT_EQ(CountPixels(c, 20, 20, [](int, int, TColor v) { return v == clRed; }), 200);
    c.FloodFill(-5, 500, clWhite, fsSurface);  // outside: ignored
}

TEST(CanvasFloodFill, WorksOnOneBitAndAroundConcaveShapes)
{
    std::unique_ptr<TBitmap> b(NewBitmap(30, 30, clWhite, pf1bit));
    TCanvas& c = *b->Canvas();
    // A spiral-like wall: the fill has to turn back up and down.
    c.Polyline({{2, 2}, {27, 2}, {27, 27}, {5, 27}, {5, 6}, {22, 6}, {22, 22}, {10, 22}, {10, 11}});
    c.Brush.Color = clBlack;
    c.FloodFill(15, 15, clWhite, fsSurface);
    EXPECT_EQ(CountPixels(c, 30, 30, [](int, int, TColor v) { return v == clWhite; }), 0);
}

// ---- clipping and the outside --------------------------------------------------------------------

TEST(CanvasClip, RectangleClipLimitsEveryPrimitive)
{
    std::unique_ptr<TBitmap> b(NewBitmap(20, 20));
    TCanvas& c = *b->Canvas();
    c.SetClipRect(TRect(5, 5, 10, 10));
    EXPECT_EQ(c.ClipRect(), TRect(5, 5, 10, 10));
    c.Brush.Color = clRed;
    c.FillRect(TRect(0, 0, 20, 20));
    c.MoveTo(0, 12);
    c.LineTo(20, 12);
    c.SetPixel(1, 1, clBlack);
    EXPECT_EQ(c.Pixel(1, 1), clNone);  // outside the clip reads as invalid
    c.ResetClip();
    EXPECT_EQ(InkBox(c, 20, 20), TRect(5, 5, 10, 10));
    EXPECT_EQ(c.ClipRect(), TRect(0, 0, 20, 20));
    EXPECT_EQ(c.Pixel(1, 1), clWhite);
    c.ExcludeClipRect(TRect(0, 0, 10, 20));
    c.FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(b->PixelColor(2, 2), clWhite);
    EXPECT_EQ(b->PixelColor(12, 2), clRed);
    EXPECT_EQ(c.ClipRect(), TRect(10, 0, 20, 20));
}

TEST(CanvasClip, PolygonRegionUsesAlternateFill)
{
    std::unique_ptr<TBitmap> b(NewBitmap(12, 12));
    TCanvas& c = *b->Canvas();
    c.SetClipPolygon({{0, 0}, {10, 0}, {0, 10}});
    c.Brush.Color = clBlack;
    c.FillRect(TRect(0, 0, 12, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(b->PixelColor(x, y), x + y < 9 ? clBlack : clWhite) << x << "," << y;
    // A square drawn twice over itself cancels out: its inside is not part of the region.
    c.ResetClip();
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, 12, 12));
    c.SetClipPolygon({{1, 1}, {11, 1}, {11, 11}, {1, 11}, {1, 1}, {11, 1}, {11, 11}, {1, 11}});
    c.Brush.Color = clBlack;
    c.FillRect(TRect(0, 0, 12, 12));
    EXPECT_EQ(b->PixelColor(5, 5), clWhite);
}

TEST(CanvasClip, PixelsOutsideTheBitmapAreSafe)
{
    std::unique_ptr<TBitmap> b(NewBitmap(8, 8));
    TCanvas& c = *b->Canvas();
    const QImage before = b->Image().copy();
    EXPECT_EQ(c.Pixel(-1, 0), clNone);
    EXPECT_EQ(c.Pixel(8, 0), clNone);
    EXPECT_EQ(c.Pixel(0, 8), clNone);
    EXPECT_EQ(c.Pixel(INT32_MIN, INT32_MAX), clNone);
    c.SetPixel(-1, 3, clBlack);
    c.SetPixel(8, 3, clBlack);
    c.SetPixel(INT32_MAX, INT32_MIN, clBlack);
    EXPECT_EQ(b->Image(), before);
}

TEST(CanvasClip, HugeAndNegativeCoordinatesAreClippedSafely)
{
    std::unique_ptr<TBitmap> b(NewBitmap(16, 16));
    TCanvas& c = *b->Canvas();
    c.MoveTo(INT32_MIN, INT32_MIN);
    c.LineTo(INT32_MAX, INT32_MAX);  // the diagonal through the bitmap
    EXPECT_EQ(c.Pixel(7, 7), clBlack);
    c.Brush.Color = clRed;
    c.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(c.Pixel(0, 0), clRed);
    EXPECT_EQ(c.Pixel(15, 15), clRed);
    c.Ellipse(-1000000, -1000000, 1000000, 1000000);
    EXPECT_EQ(c.Pixel(8, 8), clRed);
    c.Pen.Width = 50;
    c.MoveTo(-100000000, 8);
    c.LineTo(100000000, 8);
    EXPECT_EQ(c.Pixel(3, 3), clBlack);
    c.Polygon({{-5000000, -5000000}, {5000000, 0}, {0, 5000000}});
    c.FillRect(TRect(INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2));
    EXPECT_EQ(c.Pixel(5, 5), clRed);
    c.Draw(-1000000, 5, *b);
    c.StretchDraw(TRect(-100000, -100000, 100000, 100000), *b);
    c.TextOut(-1000000, 1000000, QStringLiteral("far away"));
    c.Pen.Width = 1;
    c.Pie(-20, -20, 40, 40, 1000000000, 0, 0, -1000000000);
    // The very ends of the int range.
    const int lo = INT32_MIN, hi = INT32_MAX;
    c.FrameRect(TRect(lo, lo, hi, hi));
    c.Rectangle(lo, lo, hi, hi);
    c.Ellipse(lo, lo, hi, hi);
    c.RoundRect(lo, lo, hi, hi, hi, hi);
    c.Chord(lo, lo, hi, hi, lo, hi, hi, lo);
    c.Polygon({{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}});
    c.Pen.Width = 9;
    c.Polyline({{lo, hi}, {hi, lo}, {0, 0}});
    c.Draw(hi - 1, hi - 1, *b);
    c.Draw(lo, lo, *b);
    c.StretchDraw(TRect(lo, lo, hi, hi), *b);
    c.StretchDraw(TRect(hi, hi, lo, lo), *b);
    c.CopyRect(TRect(0, 0, 16, 16), c, TRect(lo, lo, hi, hi));
    c.TextOut(hi - 1, hi - 1, QStringLiteral("edge"));
    c.TextRect(TRect(lo, lo, hi, hi), lo, 0, QStringLiteral("edge"));
    c.Font.Orientation = 450;
    c.TextOut(hi - 1, lo, QStringLiteral("edge"));
    c.SetClipPolygon({{lo, lo}, {hi, 0}, {0, hi}});
    c.ExcludeClipRect(TRect(lo, lo, hi, hi));
    EXPECT_TRUE(c.ClipRect().IsEmpty());
    c.FillRect(TRect(0, 0, 16, 16));
    EXPECT_EQ(b->Width(), 16);
}

// ---- text ---------------------------------------------------------------------------------------------

TEST(CanvasText, OpaqueTextFillsItsCellInTheBrushColour)
{
    std::unique_ptr<TBitmap> b(NewBitmap(80, 30, clBlue));
    TCanvas& c = *b->Canvas();
    c.Font.Color = clBlack;
    c.Brush.Color = clYellow;
    const QString text = QStringLiteral("Hello");
    const int w = c.TextWidth(text), h = c.TextHeight(text);
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 5);
    c.TextOut(3, 4, text);
    EXPECT_EQ(c.PenPos, TPoint(3 + w, 4));
    EXPECT_EQ(InkBox(c, 80, 30, clBlue), TRect(3, 4, 3 + w, 4 + h));
    const int black = CountPixels(c, 80, 30, [](int, int, TColor v) { return v == clBlack; });
    const int yellow = CountPixels(c, 80, 30, [](int, int, TColor v) { return v == clYellow; });
    EXPECT_GT(black, 10);
    EXPECT_EQ(black + yellow, w * h);  // no antialiasing: only two colours in the cell
}

TEST(CanvasText, ClearBrushLeavesTheBackgroundAndTextRectClips)
{
    std::unique_ptr<TBitmap> b(NewBitmap(80, 30, clBlue));
    TCanvas& c = *b->Canvas();
    c.Font.Color = clWhite;
    c.Brush.Style = bsClear;
    c.TextOut(3, 4, QStringLiteral("Hello"));
    EXPECT_EQ(CountPixels(c, 80, 30, [](int, int, TColor v) { return v != clBlue && v != clWhite; }), 0);
    EXPECT_GT(CountPixels(c, 80, 30, [](int, int, TColor v) { return v == clWhite; }), 10);

    std::unique_ptr<TBitmap> d(NewBitmap(80, 30, clBlue));
    TCanvas& e = *d->Canvas();
    e.Brush.Color = clYellow;
    e.Font.Color = clBlack;
    e.TextRect(TRect(10, 5, 20, 12), 2, 2, QStringLiteral("WWWWWWWW"));
    EXPECT_EQ(InkBox(e, 80, 30, clBlue), TRect(10, 5, 20, 12));
}

// ---- block transfers -------------------------------------------------------------------------------

TEST(CanvasBlit, DrawConvertsBetweenFormatsAndClips)
{
    TBitmap src(3, 1, pf24bit);
    src.Canvas()->SetPixel(0, 0, RGB(200, 200, 200));
    src.Canvas()->SetPixel(1, 0, RGB(100, 150, 50));  // grey 124: black
    src.Canvas()->SetPixel(2, 0, RGB(128, 128, 128));
    std::unique_ptr<TBitmap> mono(NewBitmap(8, 2, clBlack, pf1bit));
    mono->Canvas()->Draw(-1, 1, src);
    EXPECT_EQ(mono->Canvas()->Pixel(0, 1), clBlack);
    EXPECT_EQ(mono->Canvas()->Pixel(1, 1), clWhite);
    EXPECT_EQ(mono->Canvas()->Pixel(2, 1), clBlack);
    EXPECT_EQ(mono->Canvas()->Pixel(0, 0), clBlack);

    std::unique_ptr<TBitmap> rgb(NewBitmap(4, 4, clRed));
    rgb->Canvas()->Draw(2, 2, *mono);  // only the top-left 2 × 2 of the mono bitmap lands
    EXPECT_EQ(rgb->Canvas()->Pixel(2, 2), clBlack);
    EXPECT_EQ(rgb->Canvas()->Pixel(3, 3), clWhite);
    EXPECT_EQ(rgb->Canvas()->Pixel(1, 1), clRed);
}

TEST(CanvasBlit, StretchDrawUsesNearestNeighbourAndMirrors)
{
    TBitmap src(2, 2, pf24bit);
    src.Canvas()->SetPixel(0, 0, clRed);
    src.Canvas()->SetPixel(1, 0, clLime);
    src.Canvas()->SetPixel(0, 1, clBlue);
    src.Canvas()->SetPixel(1, 1, clYellow);
    std::unique_ptr<TBitmap> b(NewBitmap(6, 6));
    TCanvas& c = *b->Canvas();
    c.StretchDraw(TRect(1, 1, 5, 5), src);
    EXPECT_EQ(c.Pixel(1, 1), clRed);
    EXPECT_EQ(c.Pixel(2, 2), clRed);
    EXPECT_EQ(c.Pixel(3, 1), clLime);
    EXPECT_EQ(c.Pixel(4, 4), clYellow);
    EXPECT_EQ(c.Pixel(1, 4), clBlue);
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    // Right and left swapped: mirrored.
    c.StretchDraw(TRect(5, 1, 1, 5), src);
    EXPECT_EQ(c.Pixel(1, 1), clLime);
    EXPECT_EQ(c.Pixel(4, 1), clRed);
    // Reduction picks pixel centres: 4 → 2 takes columns 1 and 3.
    TBitmap wide(4, 1, pf24bit);
    for (int x = 0; x < 4; ++x)
        wide.Canvas()->SetPixel(x, 0, RGB(x * 50, 0, 0));
    c.StretchDraw(TRect(0, 0, 2, 1), wide);
    EXPECT_EQ(c.Pixel(0, 0), RGB(50, 0, 0));
    EXPECT_EQ(c.Pixel(1, 0), RGB(150, 0, 0));
}

// A plain copy takes its own road (repeated rows copied, colours moved as they are): it
// must give what the general per-pixel road gives, here through OR onto black.
TEST(CanvasBlit, PlainCopyMatchesTheGeneralRoad)
{
    struct Case {
        TPixelFormat from, to;
        TRect dest;
    };
    const Case cases[] = {
        {pf24bit, pf24bit, TRect(0, 0, 39, 30)}, {pf24bit, pf24bit, TRect(30, 25, -5, 2)},
        {pf24bit, pf32bit, TRect(2, 1, 35, 28)}, {pf32bit, pf24bit, TRect(-7, -3, 50, 44)},
        {pf32bit, pf32bit, TRect(35, 0, 4, 29)}, {pf24bit, pf24bit, TRect(1, 2, 8, 6)},
        {pf24bit, pf8bit, TRect(0, 0, 40, 31)},
    };
    std::unique_ptr<TBitmap> gradient(Gradient(13, 10));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.from) << " to " << int(c.to) << " into " << c.dest.Left << ","
                                        << c.dest.Top << "," << c.dest.Right << "," << c.dest.Bottom);
        TBitmap src(*gradient);
        src.SetPixelFormat(c.from);
        std::unique_ptr<TBitmap> plain(NewBitmap(37, 30, clBlack, c.to)), general(NewBitmap(37, 30, clBlack, c.to));
        plain->Canvas()->StretchDraw(c.dest, src);
        general->Canvas()->CopyMode = cmSrcPaint;
        general->Canvas()->StretchDraw(c.dest, src);
        EXPECT_EQ(plain->Image(), general->Image());
    }
}

TEST(CanvasBlit, CopyRectAndCopyModes)
{
    std::unique_ptr<TBitmap> a(Gradient(10, 10)), b(NewBitmap(10, 10, clBlack));
    b->Canvas()->CopyRect(TRect(0, 0, 4, 4), *a->Canvas(), TRect(3, 3, 7, 7));
    EXPECT_EQ(b->Canvas()->Pixel(0, 0), a->Canvas()->Pixel(3, 3));
    EXPECT_EQ(b->Canvas()->Pixel(3, 2), a->Canvas()->Pixel(6, 5));
    EXPECT_EQ(b->Canvas()->Pixel(4, 4), clBlack);
    // Copying within one bitmap reads the pixels before any are written.
    a->Canvas()->CopyRect(TRect(1, 0, 10, 10), *a->Canvas(), TRect(0, 0, 9, 10));
    std::unique_ptr<TBitmap> g(Gradient(10, 10));
    EXPECT_EQ(a->Canvas()->Pixel(9, 4), g->Canvas()->Pixel(8, 4));
    // cmSrcInvert twice restores.
    const QImage before = b->Image().copy();
    b->Canvas()->CopyMode = cmSrcInvert;
    b->Canvas()->Draw(0, 0, *g);
    EXPECT_NE(b->Image(), before);
    b->Canvas()->Draw(0, 0, *g);
    EXPECT_EQ(b->Image(), before);
}

// ---- canvas over a painter --------------------------------------------------------------------------

TEST(CanvasPainter, DrawsWithTheSameRulesOnAPainter)
{
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    TBitmap src(2, 2, pf24bit);
    src.Canvas()->Brush.Color = clBlue;
    src.Canvas()->FillRect(TRect(0, 0, 2, 2));
    {
        QPainter p(&img);
        TCanvas c(&p);
        c.Brush.Color = clRed;
        c.Rectangle(2, 2, 8, 8);
        c.Brush.Color = clLime;
        c.FillRect(TRect(10, 10, 12, 12));
        c.Draw(15, 15, src);
        c.Pen.Mode = pmXor;
        c.Pen.Color = clWhite;
        c.MoveTo(0, 19);
        c.LineTo(20, 19);
        c.MoveTo(0, 19);
        c.LineTo(5, 19);
        EXPECT_EQ(c.Pixel(3, 3), clRed);
    }
    auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(at(2, 2), 0x000000u);
    EXPECT_EQ(at(7, 7), 0x000000u);
    EXPECT_EQ(at(8, 8), 0xFFFFFFu);
    EXPECT_EQ(at(4, 4), 0xFF0000u);
    EXPECT_EQ(at(11, 11), 0x00FF00u);
    EXPECT_EQ(at(12, 12), 0xFFFFFFu);
    EXPECT_EQ(at(16, 16), 0x0000FFu);
    EXPECT_EQ(at(2, 19), 0xFFFFFFu);   // XORed twice
    EXPECT_EQ(at(10, 19), 0x000000u);  // once
}

TEST(CanvasPainter, ClipHatchAndTextOnAPainter)
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        TCanvas c(&p);
        c.SetClipRect(TRect(0, 0, 20, 30));
        c.Brush.Color = clRed;
        c.FillRect(TRect(10, 0, 30, 10));  // half of it is clipped away
        c.Brush.Style = bsVertical;
        c.Brush.Color = clBlue;
        c.FillRect(TRect(0, 10, 20, 20));
        c.ResetClip();
        c.Brush.Style = bsSolid;
        c.Brush.Color = clYellow;
        c.Font.Color = clBlack;
        c.TextOut(22, 12, QStringLiteral("Ab"));
        EXPECT_EQ(c.ClipRect().Left, 0);
    }
    auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(at(15, 5), 0xFF0000u);
    EXPECT_EQ(at(25, 5), 0xFFFFFFu);
    EXPECT_EQ(at(4, 15), 0x0000FFu);
    EXPECT_EQ(at(12, 15), 0x0000FFu);
    EXPECT_EQ(at(5, 15), 0xFFFFFFu);
    EXPECT_EQ(at(22, 12), 0xFFFF00u);  // opaque cell starts at the text origin
}

TEST(CanvasNotifications, DrawingReportsAChange)
{
    std::unique_ptr<TBitmap> b(NewBitmap(4, 4));
    int changes = 0;
    b->OnChange = [&] { ++changes; };
    b->Canvas()->Rectangle(0, 0, 3, 3);
    b->Canvas()->SetPixel(3, 3, clRed);
    EXPECT_EQ(changes, 2);
    (void)b->Canvas()->Pixel(1, 1);
    EXPECT_EQ(changes, 2);
}

TEST(CanvasFormats, ThirtyTwoAndEightBitSurfacesTakeTheSameRules)
{
    TBitmap b32(10, 10, pf32bit);
    b32.Canvas()->Brush.Color = clRed;
    b32.Canvas()->Rectangle(1, 1, 6, 6);
    EXPECT_EQ(b32.PixelColor(3, 3), clRed);
    EXPECT_EQ(b32.PixelColor(5, 5), clBlack);
    EXPECT_EQ(b32.PixelColor(6, 6), clWhite);
    EXPECT_EQ(qAlpha(b32.Image().pixel(3, 3)), 255);
    b32.Canvas()->Pen.Mode = pmXor;
    b32.Canvas()->Pen.Color = clWhite;
    b32.Canvas()->MoveTo(0, 8);
    b32.Canvas()->LineTo(4, 8);
    EXPECT_EQ(b32.PixelColor(2, 8), clBlack);
    EXPECT_EQ(qAlpha(b32.Image().pixel(2, 8)), 255);

    TBitmap b8(10, 10, pf8bit);  // grey ramp: colours land on their nearest grey
    b8.Canvas()->Brush.Color = RGB(100, 100, 100);
    b8.Canvas()->FillRect(TRect(0, 0, 5, 5));
    EXPECT_EQ(b8.PixelColor(2, 2), RGB(100, 100, 100));
    EXPECT_EQ(b8.ScanLine(2)[2], 100);
    b8.Canvas()->Pen.Mode = pmNot;
    b8.Canvas()->MoveTo(0, 2);
    b8.Canvas()->LineTo(2, 2);
    EXPECT_EQ(b8.ScanLine(2)[1], 155);
}

TEST(CanvasText, OrientationTurnsTheTextCounterClockwise)
{
    std::unique_ptr<TBitmap> b(NewBitmap(60, 120));
    TCanvas& c = *b->Canvas();
    c.Font.Color = clBlack;
    c.Brush.Style = bsClear;
    c.Font.Orientation = 900;
    c.TextOut(20, 100, QStringLiteral("Rotated"));
    const TRect box = InkBox(c, 60, 120);
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_GT(box.Height(), 2 * box.Width());
    // The text runs upwards from the start point; the top of the cell faces left, so the
    // glyphs lie to the right of x.
    EXPECT_LE(box.Bottom, 101);
    EXPECT_GE(box.Top, 100 - c.TextWidth(QStringLiteral("Rotated")) - 2);
    EXPECT_GE(box.Left, 20);
    EXPECT_LE(box.Right, 20 + c.TextHeight(QStringLiteral("Rotated")) + 1);
}
