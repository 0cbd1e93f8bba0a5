// The image view's painting at every zoom, against the oracle tools.
#include "view_test_util.h"

#include "common/test_support.h"
#include "imaging/proc/resample.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QRgb rgbOf(TColor c) { return ToQColor(c).rgb() & 0xFFFFFFu; }

// Compares the view's client pixels with an expected picture at (0, 0).
::testing::AssertionResult samePixels(const QImage& got, const QImage& want)
{
    if (got.width() < want.width() || got.height() < want.height())
        return ::testing::AssertionFailure() << "grabbed area too small";
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (Px(got, x, y) != Px(want, x, y))
                return ::testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") " << std::hex << Px(got, x, y) << " != " << Px(want, x, y);
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(ViewPaint, PlainZoomEqualsImageMagickSample)
{
    REQUIRE_TOOLS(QStringLiteral("convert"));
    QImage src(37, 23, QImage::Format_RGB32);
    FillRandom(src, 4711);
    const QString dir = TempDir();
    const QString in = QDir(dir).filePath(QStringLiteral("view_src.ppm"));
    ASSERT_TRUE(src.save(in, "PPM"));
    for (int zoom : {200, 300}) {
        const QString out = QDir(dir).filePath(QStringLiteral("view_%1.ppm").arg(zoom));
        ASSERT_EQ(RunTool(QStringLiteral("convert"),
                          {in, QStringLiteral("-sample"), QStringLiteral("%1%").arg(zoom), out}),
                  0);
        QImage want(out);
        ASSERT_FALSE(want.isNull());
        ASSERT_EQ(want.width(), 37 * zoom / 100);

        auto v = MakeView(want.width() + 10, want.height() + 10, 1, 1);
        v->Bitmap()->SetImage(src.convertToFormat(QImage::Format_BGR888));
        v->SetZoom(zoom);
        v->Update();
        EXPECT_TRUE(samePixels(GrabClient(*v), want.convertToFormat(QImage::Format_RGB32))) << "zoom " << zoom;
    }
}

TEST(ViewPaint, ScrolledPlainZoomShowsTheRightSourcePixels)
{
    auto v = MakeView(40, 30, 50, 50);
    v->SetZoom(200);
    v->SetViewXY(21, 10);  // odd position: half a source pixel at the left
    const QImage got = GrabClient(*v);
    const QImage& bmp = v->Bitmap()->Image();
    // Client (0, 0) is zoomed pixel (21, 10); the source rectangle starts at Round(10.5) = 10.
    EXPECT_EQ(Px(got, 0, 0), bmp.pixel(10, 5) & 0xFFFFFFu);
    EXPECT_EQ(Px(got, 39, 29), bmp.pixel(29, 19) & 0xFFFFFFu);
}

TEST(ViewPaint, ReductionSamplesPixelCentres)
{
    auto v = MakeView(60, 60, 90, 90);
    v->SetZoom(33);  // 30 × 30 shown
    EXPECT_EQ(v->DrawnWidth(), 30);
    const QImage got = GrabClient(*v);
    const QImage& bmp = v->Bitmap()->Image();
    for (int x : {0, 1, 14, 29})
        EXPECT_EQ(Px(got, x, x), bmp.pixel(3 * x + 1, 3 * x + 1) & 0xFFFFFFu) << x;
}

TEST(ViewPaint, SmallImageSitsTopLeftOverTheBackground)
{
    auto v = MakeView(50, 40, 10, 8);
    v->SetBackground(RGB(10, 200, 30));
    const QImage got = GrabClient(*v);
    EXPECT_EQ(Px(got, 9, 7), v->Bitmap()->Image().pixel(9, 7) & 0xFFFFFFu);
    EXPECT_EQ(Px(got, 10, 0), qRgb(10, 200, 30) & 0xFFFFFFu);
    EXPECT_EQ(Px(got, 0, 8), qRgb(10, 200, 30) & 0xFFFFFFu);
    EXPECT_EQ(Px(got, 49, 39), qRgb(10, 200, 30) & 0xFFFFFFu);

    v->SetCenter(true);
    const QImage c = GrabClient(*v);
    EXPECT_EQ(v->OffsetX(), 20);
    EXPECT_EQ(v->OffsetY(), 16);
    EXPECT_EQ(Px(c, 20, 16), v->Bitmap()->Image().pixel(0, 0) & 0xFFFFFFu);
    EXPECT_EQ(Px(c, 0, 0), qRgb(10, 200, 30) & 0xFFFFFFu);
    EXPECT_EQ(Px(c, 19, 16), qRgb(10, 200, 30) & 0xFFFFFFu);
}

TEST(ViewPaint, EmptyBitmapPaintsOnlyTheBackground)
{
    TImageKitView v;
    v.SetBorderStyle(bsNone);
    v.SetBackground(clYellow);
    const QImage got = GrabClient(v);
    EXPECT_EQ(Px(got, 0, 0), qRgb(255, 255, 0) & 0xFFFFFFu);
    EXPECT_EQ(Px(got, 104, 104), qRgb(255, 255, 0) & 0xFFFFFFu);
}

TEST(ViewPaint, OneBitBitmapPaintsBlackAndWhite)
{
    auto v = MakeView(40, 40, 0, 0);
    TBitmap mono(16, 4, pf1bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            mono.Image().setPixel(x, y, (x + y) & 1);
    v->Assign(&mono);
    v->SetZoom(200);
    const QImage got = GrabClient(*v);
    EXPECT_EQ(Px(got, 0, 0), 0x000000u);
    EXPECT_EQ(Px(got, 1, 1), 0x000000u);
    EXPECT_EQ(Px(got, 2, 0), 0xFFFFFFu);
    EXPECT_EQ(Px(got, 2, 2), 0x000000u);
    EXPECT_EQ(Px(got, 31, 7), 0x000000u);  // (15 + 3) even
    // The filtered path resamples a 24-bit copy of the visible part.
    v->SetZoomFilter(rfTriangle);
    const QImage f = GrabClient(*v);
    EXPECT_TRUE(v->LastPaintFiltered());
    TBitmap part;
    part.SetImage(mono.Image().convertToFormat(QImage::Format_BGR888));
    const QImage want = ZoomResample(part, 32, 8, rfTriangle).Image().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(samePixels(f, want));
}

TEST(ViewPaint, FilteredPathResamplesOnlyTheVisiblePart)
{
    auto v = MakeView(40, 30, 50, 50);
    v->SetZoomFilter(rfLanczos3);
    v->SetZoom(250);
    v->SetViewXY(25, 50);  // source from (10, 20), 16 × 12 pixels
    const QImage got = GrabClient(*v);
    ASSERT_TRUE(v->LastPaintFiltered());
    TBitmap part;
    part.SetImage(v->Bitmap()->Image().copy(10, 20, 16, 12));
    const QImage want = ZoomResample(part, 40, 30, rfLanczos3).Image().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(samePixels(got, want));
}

TEST(ViewPaint, ChessboardStartsWithTheInvertedBackground)
{
    auto v = MakeView(40, 40, 0, 0);
    v->SetBackground(clRed);
    v->SetBackgroundStyle(ikbsChessboard);
    const QImage got = GrabClient(*v);
    const QRgb inverted = qRgb(0, 255, 255) & 0xFFFFFFu;
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFFu;
    EXPECT_EQ(Px(got, 0, 0), inverted);
    EXPECT_EQ(Px(got, 15, 15), inverted);
    EXPECT_EQ(Px(got, 16, 0), red);
    EXPECT_EQ(Px(got, 0, 16), red);
    EXPECT_EQ(Px(got, 16, 16), inverted);
    EXPECT_EQ(Px(got, 39, 33), inverted);  // square (2, 2)
    EXPECT_EQ(Px(got, 39, 17), red);       // square (2, 1)
}

TEST(ViewPaint, HatchedBackgroundsLieOverTheWindowColour)
{
    auto v = MakeView(24, 24, 0, 0);
    v->SetBackground(clRed);
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFFu;
    const QRgb window = rgbOf(clWindow);
    ASSERT_NE(window, red);

    v->SetBackgroundStyle(ikbsHorizontal);
    QImage g = GrabClient(*v);
    for (int x = 0; x < 24; ++x) {
        EXPECT_EQ(Px(g, x, 3), red);
        EXPECT_EQ(Px(g, x, 11), red);
        EXPECT_EQ(Px(g, x, 0), window);
        EXPECT_EQ(Px(g, x, 4), window);
    }
    v->SetBackgroundStyle(ikbsVertical);
    g = GrabClient(*v);
    EXPECT_EQ(Px(g, 4, 0), red);
    EXPECT_EQ(Px(g, 12, 5), red);
    EXPECT_EQ(Px(g, 3, 0), window);
    v->SetBackgroundStyle(ikbsFDiagonal);
    g = GrabClient(*v);
    EXPECT_EQ(Px(g, 0, 0), red);
    EXPECT_EQ(Px(g, 5, 5), red);
    EXPECT_EQ(Px(g, 1, 0), window);
    v->SetBackgroundStyle(ikbsBDiagonal);
    g = GrabClient(*v);
    EXPECT_EQ(Px(g, 7, 0), red);
    EXPECT_EQ(Px(g, 0, 7), red);
    EXPECT_EQ(Px(g, 0, 0), window);
}

TEST(ViewPaint, DiagonalsAndSolid)
{
    auto v = MakeView(30, 30, 0, 0);
    v->SetBackground(clBlue);
    v->SetBackgroundStyle(ikbsDiagonals);
    const QImage g = GrabClient(*v);
    EXPECT_EQ(Px(g, 10, 10), qRgb(255, 255, 0) & 0xFFFFFFu);  // complement of blue
    EXPECT_EQ(Px(g, 29, 1), qRgb(255, 255, 0) & 0xFFFFFFu);
    EXPECT_EQ(Px(g, 29, 0), qRgb(0, 0, 255) & 0xFFFFFFu);
    EXPECT_EQ(Px(g, 10, 5), qRgb(0, 0, 255) & 0xFFFFFFu);
}

TEST(ViewPaint, FilterOnlyAboveOneHundredPercent)
{
    auto v = MakeView(80, 80, 40, 40);
    v->SetZoomFilter(rfTriangle);
    GrabClient(*v);
    EXPECT_FALSE(v->LastPaintFiltered());
    v->SetZoom(50);
    GrabClient(*v);
    EXPECT_FALSE(v->LastPaintFiltered());
    v->SetZoom(101);
    GrabClient(*v);
    EXPECT_TRUE(v->LastPaintFiltered());
    v->SetZoomFilter(rfNone);
    GrabClient(*v);
    EXPECT_FALSE(v->LastPaintFiltered());
}

TEST(ViewPaint, DelayedFilterWaitsTwoTicksAfterAScroll)
{
    auto v = MakeView(50, 50, 100, 100);
    v->SetZoomFilter(rfMitchell);
    v->SetZoom(200);
    GrabClient(*v);
    EXPECT_TRUE(v->LastPaintFiltered());  // no delay asked for
    v->SetDelayZoomFilter(true);
    v->SetViewX(30);
    EXPECT_EQ(v->FilterCountdown(), 2);
    GrabClient(*v);
    EXPECT_FALSE(v->LastPaintFiltered());
    v->SelectionTimerTick();
    EXPECT_EQ(v->FilterCountdown(), 1);
    GrabClient(*v);
    EXPECT_FALSE(v->LastPaintFiltered());
    v->SelectionTimerTick();
    EXPECT_EQ(v->FilterCountdown(), 0);
    GrabClient(*v);
    EXPECT_TRUE(v->LastPaintFiltered());
    v->SelectionTimerTick();  // stays at 0
    EXPECT_EQ(v->FilterCountdown(), 0);
    v->SetZoom(300);
    EXPECT_EQ(v->FilterCountdown(), 2);
}

TEST(ViewPaint, DoubleBufferShowsTheSamePicture)
{
    auto v = MakeView(60, 50, 45, 70);
    v->SetZoom(150);
    v->SetViewY(17);
    const QImage direct = GrabClient(*v);
    v->SetDoubleBuffer(true);
    EXPECT_TRUE(samePixels(GrabClient(*v), direct));
    v->SetViewY(3);  // the back buffer is rendered again after a scroll
    v->SetDoubleBuffer(false);
    const QImage direct2 = GrabClient(*v);
    v->SetDoubleBuffer(true);
    EXPECT_TRUE(samePixels(GrabClient(*v), direct2));
}

TEST(ViewPaint, PaintToCanvasDrawsTheVisiblePartAtTheOrigin)
{
    auto v = MakeView(30, 30, 20, 20, bsSingle);  // client 26 × 26
    v->SetZoom(300);
    v->SetViewXY(34, 10);
    QImage out(v->DrawnWidth(), v->DrawnHeight(), QImage::Format_RGB32);
    out.fill(Qt::magenta);
    {
        QPainter p(&out);
        v->PaintToCanvas(p);
    }
    const QImage& bmp = v->Bitmap()->Image();
    // Source starts at Round(34 / 3) = 11, Round(10 / 3) = 3.
    EXPECT_EQ(Px(out, 0, 0), bmp.pixel(11, 3) & 0xFFFFFFu);
    // At the right edge the source is clamped to the bitmap: no magenta, no read past it.
    for (int y = 0; y < out.height(); ++y)
        EXPECT_NE(Px(out, out.width() - 1, y), qRgb(255, 0, 255) & 0xFFFFFFu);
    v->SetViewXY(100000, 100000);
    QImage edge(v->DrawnWidth(), v->DrawnHeight(), QImage::Format_RGB32);
    QPainter p(&edge);
    v->PaintToCanvas(p);
    p.end();
    EXPECT_EQ(Px(edge, edge.width() - 1, edge.height() - 1), bmp.pixel(19, 19) & 0xFFFFFFu);
}

TEST(ViewPaint, PaintToBitmapCanvas)
{
    auto v = MakeView(40, 40, 10, 10);
    v->SetBackground(clLime);
    TBitmap target(40, 40, pf24bit);
    v->PaintTo(target.Canvas());
    EXPECT_EQ(target.Image().pixel(5, 5), v->Bitmap()->Image().pixel(5, 5));
    EXPECT_EQ(target.Image().pixel(20, 20) & 0xFFFFFFu, qRgb(0, 255, 0) & 0xFFFFFFu);
}

TEST(ViewPaint, PaintToCanvasKeepsARoundedUpSourceInsideTheBitmap)
{
    // 21 pixels at 200 % scrolled by 3: srcX = Round(1.5) = 2 and srcW = Round(19.5) = 20
    // reach one column past the bitmap; the source is cut to 19 columns and 19 rows.
    auto v = MakeView(39, 39, 21, 21);
    v->SetZoom(200);
    v->SetViewXY(3, 3);
    ASSERT_EQ(v->ViewX(), 3);
    ASSERT_EQ(v->DrawnWidth(), 39);
    QImage out(v->DrawnWidth(), v->DrawnHeight(), QImage::Format_RGB32);
    out.fill(Qt::magenta);
    {
        QPainter p(&out);
        v->PaintToCanvas(p);
    }
    const QImage& bmp = v->Bitmap()->Image();
    auto src = [](int d) { return 2 + (2 * d + 1) * 19 / 78; };  // centre sampling of 19 into 39
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 39; ++x)
            ASSERT_EQ(Px(out, x, y), bmp.pixel(src(x), src(y)) & 0xFFFFFFu) << x << ", " << y;
    EXPECT_EQ(src(38), 20);
    // The view's own paint cuts the same source.
    EXPECT_TRUE(samePixels(GrabClient(*v), out));
}
