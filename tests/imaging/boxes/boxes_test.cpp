// Colour box and histogram box.
#include "imaging/boxes/histogram_box.h"
#include "imaging/boxes/hsv_box.h"
#include "imaging/proc/image_kit_proc.h"
#include "../proc/proc_test_util.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace proctest;

namespace {

Px At(const TBitmap& bm, int x, int y) { return Get(bm, x, y); }

}  // namespace

TEST(HSVBox, SettersClampAndConvert)
{
    THSVBox box;
    struct Case {
        int hue, sat, val, wantH, wantS, wantV;
    };
    for (const Case c : {Case{400, -5, 100, 359, 0, 99}, Case{-1, 120, -3, 0, 99, 0}, Case{120, 99, 99, 120, 99, 99}}) {
        box.SetHue(c.hue);
        box.SetSat(c.sat);
        box.SetVal(c.val);
        EXPECT_EQ(box.Hue(), c.wantH);
        EXPECT_EQ(box.Sat(), c.wantS);
        EXPECT_EQ(box.Val(), c.wantV);
    }
    EXPECT_EQ((std::array{box.Red(), box.Green(), box.Blue()}), (std::array<uint8_t, 3>{0, 255, 0}));
    EXPECT_EQ(box.Color(), RGB(0, 255, 0));
    box.SetRGB(255, 0, 0);
    EXPECT_EQ((std::array{box.Hue(), box.Sat(), box.Val()}), (std::array{0, 99, 99}));
    box.SetColor(clBlue);
    EXPECT_EQ(box.Hue(), 240);
}

// 105 × 105: square 80 wide, gap 80 … 84, bar 85 … 104.
TEST(HSVBox, PickingBySquareBarAndGap)
{
    THSVBox box;
    box.resize(105, 105);
    int changes = 0;
    box.OnChange = [&](TObject*) { ++changes; };
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(79, 0));
    EXPECT_EQ(box.Sat(), 99);
    EXPECT_EQ(box.Val(), 99);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(0, 104));
    EXPECT_EQ((std::array{box.Sat(), box.Val()}), (std::array{0, 0}));
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(95, 52));
    EXPECT_EQ(box.Hue(), 359 - Round(52 / 104.0 * 359));
    EXPECT_EQ(changes, 3);
    // The gap changes nothing.
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(82, 10));
    EXPECT_EQ(changes, 3);
    // The bar shows hue 0 (red) at the bottom; the square's bottom row is black.
    EXPECT_EQ(At(box.Picture(), 100, 104), (Px{255, 0, 0}));
    EXPECT_EQ(At(box.Picture(), 40, 104), (Px{0, 0, 0}));
}

TEST(HSVBox, TooSmallDrawsNoSquareAndSurvivesClicks)
{
    for (auto [w, h] : {std::pair{26, 50}, {25, 50}, {10, 1}, {60, 1}, {0, 0}}) {
        THSVBox box;
        box.resize(w, h);
        box.SetHue(100);
        box.SetSat(50);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(0, 0));
        box.grab();
        EXPECT_EQ(box.Hue(), 100);
    }
}

TEST(HistogramBox, EmptyCasesShowOnlyTheBackground)
{
    THistogramBox box;
    box.resize(256, 105);
    auto onlyBackground = [&] {
        for (int y = 0; y < box.Picture().Height(); ++y)
            for (int x = 0; x < box.Picture().Width(); ++x)
                if (!(At(box.Picture(), x, y) == Px{255, 255, 255}))
                    return false;
        return true;
    };
    box.Update();
    EXPECT_TRUE(onlyBackground());
    // Chosen channel empty: a pure red image has no green.
    TBitmap red = Filled(4, 4, {255, 0, 0});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&red);
    box.SetAttachedImageKitProc(&proc);
    box.SetHistogramKind(hkGreen);
    box.Update();
    EXPECT_FALSE(onlyBackground());  // green has 16 pixels at 0
    TBitmap none(0, 0, pf24bit);
    proc.SetAttachedBitmap(&none);
    box.Update();
    EXPECT_TRUE(onlyBackground());
}

// Without labels or colour bar every column is bar area: a grey image at level 128
// gives one full column per channel, the grey one drawn last on top.
TEST(HistogramBox, BarsStackRedFirstGreyLast)
{
    TBitmap grey = Filled(8, 8, {128, 128, 128});
    TImageKitProc proc;
    proc.SetAttachedBitmap(&grey);
    THistogramBox box;
    box.resize(256, 100);
    box.SetLabels(0);
    box.SetCompBar(false);
    box.SetAttachedImageKitProc(&proc);
    box.SetHistogramKind(hkRed | hkGreen | hkBlue | hkGray);
    box.Update();
    EXPECT_EQ(At(box.Picture(), 128, 50), (Px{0, 0, 0}));
    EXPECT_EQ(At(box.Picture(), 128, 0), (Px{0, 0, 0}));  // full height: count = max
    EXPECT_EQ(At(box.Picture(), 127, 50), (Px{255, 255, 255}));
    box.SetHistogramKind(hkRed | hkGreen);
    EXPECT_EQ(At(box.Picture(), 128, 50), (Px{0, 128, 0}));  // green over red
    box.SetCompBar(true);
    const int bottom = box.Picture().Height() - 1;
    EXPECT_EQ(At(box.Picture(), 0, bottom), (Px{0, 0, 0}));
    EXPECT_EQ(At(box.Picture(), 128, bottom), (Px{128, 128, 0}));
    // The box forgets a processing component that goes away.
    auto* gone = new TImageKitProc;
    box.SetAttachedImageKitProc(gone);
    delete gone;
    EXPECT_EQ(box.AttachedImageKitProc(), nullptr);
    box.Update();
}
