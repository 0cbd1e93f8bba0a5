// Bitmap formats, layout, resizing, memory and cursors.
#include "canvas_test_util.h"
#include "common/bitmap_memory.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/cursors.h"

#include <gtest/gtest.h>

TEST(BitmapLayout, OneBitPutsTheLeftmostPixelInTheTopBitAndZeroIsBlack)
{
    TBitmap b(10, 2, pf1bit);
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(b.ScanLine(0)[0], 0xFF);  // new 1-bit bitmaps are white
    b.Canvas()->SetPixel(0, 0, clBlack);
    b.Canvas()->SetPixel(9, 0, clBlack);
    EXPECT_EQ(b.ScanLine(0)[0], 0x7F);
    EXPECT_EQ(b.ScanLine(0)[1] & 0xC0, 0x80);
    b.ScanLine(1)[0] = 0x40;  // only pixel 1 white
    EXPECT_EQ(b.PixelColor(0, 1), clBlack);
    EXPECT_EQ(b.PixelColor(1, 1), clWhite);
    EXPECT_EQ(b.Canvas()->Pixel(1, 1), clWhite);
}

TEST(BitmapLayout, TwentyFourBitStoresBlueGreenRed)
{
    TBitmap b(3, 2, pf24bit);
    b.Canvas()->SetPixel(1, 1, RGB(10, 20, 30));
    const uint8_t* p = b.ScanLine(1);
    EXPECT_EQ(p[3], 30);
    EXPECT_EQ(p[4], 20);
    EXPECT_EQ(p[5], 10);
    uint8_t* q = b.ScanLine(0);
    q[0] = 1;
    q[1] = 2;
    q[2] = 3;
    EXPECT_EQ(b.Canvas()->Pixel(0, 0), RGB(3, 2, 1));
}

TEST(BitmapResize, KeepsTheTopLeftAndFillsWithTheBrushColour)
{
    TBitmap b(3, 2, pf24bit);
    b.Canvas()->SetPixel(2, 1, clRed);
    b.Canvas()->Brush.Color = RGB(1, 2, 3);
    b.SetSize(5, 4);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(b.PixelColor(2, 1), clRed);
    EXPECT_EQ(b.PixelColor(0, 0), clWhite);
    EXPECT_EQ(b.PixelColor(3, 0), RGB(1, 2, 3));
    EXPECT_EQ(b.PixelColor(0, 2), RGB(1, 2, 3));
    EXPECT_EQ(b.PixelColor(4, 3), RGB(1, 2, 3));
    b.SetSize(2, 1);
    EXPECT_EQ(b.PixelColor(1, 0), clWhite);
    EXPECT_EQ(b.PixelColor(2, 0), clNone);
}

TEST(BitmapResize, OneBitKeepsPixelsAcrossPartialBytes)
{
    TBitmap b(11, 2, pf1bit);
    b.Canvas()->SetPixel(9, 1, clBlack);
    b.Canvas()->Brush.Color = clBlack;
    b.SetSize(20, 3);
    EXPECT_EQ(b.PixelColor(9, 1), clBlack);
    EXPECT_EQ(b.PixelColor(10, 1), clWhite);
    EXPECT_EQ(b.PixelColor(11, 1), clBlack);  // new area: brush colour
    EXPECT_EQ(b.PixelColor(0, 2), clBlack);
}

// Large buffers live in memory the bitmap allocated itself: rows laid out as Qt's own,
// on a large-page boundary, and a shared copy still detaches before it is written.
TEST(BitmapMemory, LargeBuffersAreAlignedAndCopyOnWrite)
{
    for (const auto& [w, h, format] :
         {std::tuple{1000, 700, pf24bit}, std::tuple{4099, 4097, pf1bit}, std::tuple{1000, 600, pf32bit}}) {
        SCOPED_TRACE(w);
        TBitmap b(w, h, format);
        const QImage plain(w, h, TBitmap::QtFormat(format));
        EXPECT_EQ(b.BytesPerLine(), plain.bytesPerLine());
        EXPECT_EQ(reinterpret_cast<uintptr_t>(b.ScanLine(0)) % (uintptr_t(2) << 20), 0u);
        TBitmap copy(b);
        copy.ScanLine(h - 1)[0] = 0;
        EXPECT_EQ(b.ScanLine(h - 1)[0], 0xFF);
        EXPECT_EQ(copy.ScanLine(h - 1)[0], 0);
    }
}

// A write to pixels a copy still shares needs memory of its own. Every writable way in
// asks for it first; refused, it raises the out-of-memory exception and both bitmaps keep
// their pixels (Qt alone would leave a null image, and a null row to write through).
TEST(BitmapMemory, RefusedCopyOnWriteRaisesAndKeepsBothSides)
{
    const TBitmap piece(2, 2, pf24bit);
    const std::pair<const char*, std::function<void(TBitmap&)>> writes[] = {
        {"scan line", [](TBitmap& b) { b.ScanLine(2)[0] = 1; }},
        {"image", [](TBitmap& b) { b.Image().fill(0u); }},
        {"pixel", [](TBitmap& b) { b.Canvas()->SetPixel(1, 1, clRed); }},
        {"fill", [](TBitmap& b) { b.Canvas()->FillRect(TRect(0, 0, 3, 3)); }},
        {"flood", [](TBitmap& b) { b.Canvas()->FloodFill(0, 0, clWhite, fsSurface); }},
        {"draw", [&](TBitmap& b) { b.Canvas()->Draw(0, 0, piece); }},
    };
    for (const TPixelFormat format : {pf24bit, pf1bit}) {
        for (const auto& [name, write] : writes) {
            SCOPED_TRACE(name);
            TBitmap b(9, 5, format);
            b.Canvas()->Brush.Color = clBlack;
            b.Canvas()->Brush.Style = bsSolid;
            const TBitmap copy(b);
            {
                const TBitmapMemoryRefusal refusal;
                EXPECT_THROW(write(b), EOutOfMemory);
            }
            EXPECT_TRUE(b.SharesPixelsWith(copy));
            EXPECT_EQ(b.Width(), 9);
            EXPECT_EQ(b.PixelColor(2, 2), clWhite);
            // With memory the write goes to the bitmap alone.
            write(b);
            EXPECT_FALSE(b.SharesPixelsWith(copy));
            EXPECT_EQ(copy.PixelColor(1, 1), clWhite);
        }
    }
}

TEST(BitmapFormat, ConvertsTwentyFourToOneAndBack)
{
    TBitmap b(4, 1, pf24bit);
    b.Canvas()->SetPixel(0, 0, RGB(200, 200, 200));
    b.Canvas()->SetPixel(1, 0, RGB(100, 150, 50));   // (3000 + 8850 + 550) / 100 = 124
    b.Canvas()->SetPixel(2, 0, RGB(128, 128, 128));  // exactly 128: white
    b.Canvas()->SetPixel(3, 0, RGB(0, 0, 255));      // 28: black
    b.SetPixelFormat(pf1bit);
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(b.ScanLine(0)[0] & 0xF0, 0xA0);
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(b.PixelColor(0, 0), clWhite);
    EXPECT_EQ(b.PixelColor(1, 0), clBlack);
    EXPECT_EQ(b.PixelColor(2, 0), clWhite);
    EXPECT_EQ(b.PixelColor(3, 0), clBlack);
}

TEST(BitmapFormat, AdoptedMonoImagesGetTheBlackWhiteTable)
{
    QImage img(8, 1, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});  // inverted table
    img.scanLine(0)[0] = 0x80;                                // pixel 0 → entry 1: black
    TBitmap b;
    b.SetImage(img);
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(b.Image().colorTable(), MonoColorTable());
    EXPECT_EQ(b.PixelColor(0, 0), clBlack);
    EXPECT_EQ(b.PixelColor(1, 0), clWhite);
    EXPECT_EQ(b.ScanLine(0)[0], 0x7F);
}

TEST(BitmapCanvas, DirectPixelWritesAndDrawingStayConsistent)
{
    TBitmap b(8, 8, pf24bit);
    TCanvas& c = *b.Canvas();
    c.Brush.Color = clRed;
    c.FillRect(TRect(0, 0, 4, 4));
    uint8_t* p = b.ScanLine(1);
    p[3] = 0;
    p[4] = 255;
    p[5] = 0;
    EXPECT_EQ(c.Pixel(1, 1), clLime);
    c.FillRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(b.ScanLine(1)[5], 255);
    // A copy does not see later drawing on the original.
    TBitmap copy(b);
    c.FillRect(TRect(0, 0, 8, 8));
    EXPECT_EQ(copy.PixelColor(7, 7), clWhite);
}

TEST(ScreenCursors, StandardNumbersMapToQtShapesAndCustomOnesRegister)
{
    EXPECT_EQ(Screen().Cursor(crDefault).shape(), Qt::ArrowCursor);
    EXPECT_EQ(Screen().Cursor(crHourGlass).shape(), Qt::WaitCursor);
    EXPECT_EQ(Screen().Cursor(crCross).shape(), Qt::CrossCursor);
    EXPECT_EQ(Screen().Cursor(crSizeNWSE).shape(), Qt::SizeFDiagCursor);
    EXPECT_EQ(Screen().Cursor(crSizeNESW).shape(), Qt::SizeBDiagCursor);
    EXPECT_EQ(Screen().Cursor(crHandPoint).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Screen().Cursor(5).shape(), Qt::ArrowCursor);
    Screen().SetCursor(5, QCursor(Qt::OpenHandCursor));
    EXPECT_EQ(Screen().Cursor(5).shape(), Qt::OpenHandCursor);
    Screen().SetScreenCursor(crHourGlass);
    EXPECT_EQ(Screen().ScreenCursor(), crHourGlass);
    Screen().SetScreenCursor(crDefault);
    EXPECT_EQ(Screen().ScreenCursor(), crDefault);
}
