// The bitmap slider: values and pixels, ruler images, ranges and orientation.
#include "controls/slider/kit_slider.h"
#include "platform/core/exceptions.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <climits>
#include <QTest>
#include <gtest/gtest.h>

// Built-in images: horizontal thumb 2 × 11 by 21, ruler 20 by 5; vertical thumb 2 × 21
// by 11, ruler 5 by 20. So at 150 × 40 the ruler is 138 long and the thumb travels 127.

namespace {

struct Shown {
    TKitSlider s;
    Shown(TSliderOrientation o, int w, int h, TBevelCut bevel = bvNone)
    {
        s.SetOrientation(o);
        s.SetBevelStyle(bevel);
        s.resize(w, h);
        s.show();
        QApplication::setActiveWindow(&s);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&s));
        s.setFocus();
    }
    // Leading edge of the thumb along the track.
    int edge() const { return s.Orientation() == soHorizontal ? s.ThumbRect().Left : s.ThumbRect().Top; }
    QPoint thumbCentre() const
    {
        const TRect r = s.ThumbRect();
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
};

TBitmap columns(int length, int cross, bool vertical)
{
    TBitmap b(vertical ? cross : length, vertical ? length : cross);
    for (int i = 0; i < length; ++i)
        for (int k = 0; k < cross; ++k)
            b.Image().setPixel(vertical ? k : i, vertical ? i : k, qRgb(10 * i, 255 - 10 * i, k));
    return b;
}

QRgb along(const TBitmap& b, int i, bool vertical) { return vertical ? b.Image().pixel(0, i) : b.Image().pixel(i, 0); }

}  // namespace

TEST(KitSlider, ValueAndPixelAgreeBothWays)
{
    struct Case {
        TSliderOrientation o;
        int w, h;
        TBevelCut bevel;
        int value, edge;
    };
    const Case cases[] = {
        {soHorizontal, 150, 40, bvNone, 0, 6},        {soHorizontal, 150, 40, bvNone, 100, 133},
        {soHorizontal, 150, 40, bvNone, 50, 70},  // 63.5 rounds to the even 64
        {soHorizontal, 150, 40, bvLowered, 100, 132}, {soHorizontal, 150, 40, bvLowered, 0, 7},
        {soHorizontal, 300, 40, bvNone, 25, 75},  // 6 + 277 / 4 = 75.25
        {soVertical, 40, 150, bvNone, 100, 6},        {soVertical, 40, 150, bvNone, 0, 133},
        {soVertical, 40, 150, bvNone, 50, 69},        {soVertical, 40, 150, bvRaised, 100, 7},
        {soVertical, 40, 150, bvRaised, 0, 132},      {soVertical, 40, 80, bvNone, 30, 46},
    };
    for (const Case& c : cases) {
        Shown sh(c.o, c.w, c.h, c.bevel);
        sh.s.SetValue(c.value);
        EXPECT_EQ(sh.edge(), c.edge) << c.w << "x" << c.h << " v=" << c.value;
        EXPECT_EQ(sh.s.ValueToPixel(c.value), c.edge);
        EXPECT_EQ(sh.s.PixelToValue(c.edge), c.value);
        // Where the thumb travels at least the range, every value has a pixel of its own.
        if (sh.s.TickRange() >= 100) {
            for (int v = 0; v <= 100; ++v)
                EXPECT_EQ(sh.s.PixelToValue(sh.s.ValueToPixel(v)), v) << c.w << "x" << c.h << " v=" << v;
        }
    }
}

TEST(KitSlider, NoRulerLengthGivesTheMinimum)
{
    struct Case {
        TSliderOrientation o;
        int w, h;
    };
    // Ruler as long as the thumb (no travel), shorter than the thumb, and no ruler at all.
    const Case cases[] = {{soHorizontal, 23, 40},
                          {soHorizontal, 18, 40},
                          {soHorizontal, 5, 40},
                          {soVertical, 40, 23},
                          {soVertical, 40, 8}};
    for (const Case& c : cases) {
        Shown sh(c.o, c.w, c.h);
        sh.s.SetRange(-20, 80);
        for (int p : {-5, 0, 6, 10, 40})
            EXPECT_EQ(sh.s.PixelToValue(p), -20) << c.w << "x" << c.h << " p=" << p;
        sh.s.SetValue(60);
        EXPECT_EQ(sh.s.Value(), 60);
        const QPoint at = sh.thumbCentre();
        QTest::mousePress(&sh.s, Qt::LeftButton, {}, at);
        QTest::mouseMove(&sh.s, at + QPoint(3, 3));
        QTest::mouseRelease(&sh.s, Qt::LeftButton, {}, at + QPoint(3, 3));
        EXPECT_GE(sh.s.Value(), -20);
        EXPECT_LE(sh.s.Value(), 80);
    }
}

TEST(KitSlider, RulerKeepsItsEdgesAndRepeatsTheMiddle)
{
    struct Case {
        bool vertical;
        int length, edge, control;
    };
    const Case cases[] = {{false, 20, 2, 112},
                          {true, 20, 2, 112},
                          {false, 20, 3, 60},
                          {false, 7, 2, 200},
                          {false, 20, 2, 30}};
    for (const Case& c : cases) {
        TKitSlider s;
        if (c.vertical)
            s.SetOrientation(soVertical);
        const TBitmap src = columns(c.length, 4, c.vertical);
        c.vertical ? s.SetImageVRuler(&src) : s.SetImageHRuler(&src);
        s.SetEdgeSize(c.edge);
        c.vertical ? s.resize(40, c.control) : s.resize(c.control, 40);
        s.show();
        const TBitmap& r = s.Ruler();
        const int target = c.control - 12;
        ASSERT_EQ(c.vertical ? r.Height() : r.Width(), target);
        ASSERT_EQ(c.vertical ? r.Width() : r.Height(), 4);
        for (int i = 0; i < c.edge; ++i) {
            EXPECT_EQ(along(r, i, c.vertical), along(src, i, c.vertical)) << "left edge " << i;
            EXPECT_EQ(along(r, target - 1 - i, c.vertical), along(src, c.length - 1 - i, c.vertical))
                << "right edge " << i;
        }
        // Everything between comes from the source's middle, unscaled.
        for (int i = c.edge; i < target - c.edge; ++i) {
            bool found = false;
            for (int k = c.edge; k < c.length - c.edge; ++k)
                found = found || along(r, i, c.vertical) == along(src, k, c.vertical);
            EXPECT_TRUE(found) << "middle " << i;
        }
    }
}

TEST(KitSlider, RulerWithoutMiddleIsScaledWhole)
{
    struct Case {
        int length, edge;
    };
    // Edge size 2 is set first; then a ruler comes with no middle, or less than none.
    const Case cases[] = {{4, 2}, {3, 2}, {1, 2}};
    for (const Case& c : cases) {
        TKitSlider s;
        s.SetEdgeSize(c.edge);
        const TBitmap src = columns(c.length, 4, false);
        s.SetImageHRuler(&src);
        s.resize(112, 40);
        s.show();
        const TBitmap& r = s.Ruler();
        ASSERT_EQ(r.Width(), 100);
        EXPECT_EQ(along(r, 0, false), along(src, 0, false));
        EXPECT_EQ(along(r, 99, false), along(src, c.length - 1, false));
    }
}

TEST(KitSlider, EdgeSizeNeedsAMiddle)
{
    struct Case {
        int edge;
        int expected;
    };
    const Case cases[] = {{10, 2}, {9, 9}, {0, 0}, {-1, 2}, {11, 2}};
    for (const Case& c : cases) {
        TKitSlider s;  // built-in ruler: 20 pixels long
        s.SetEdgeSize(c.edge);
        EXPECT_EQ(s.EdgeSize(), c.expected) << c.edge;
    }
}

TEST(KitSlider, RangeIncrementAndValueRules)
{
    TKitSlider s;
    int changes = 0;
    s.OnChange = [&](TObject*) { ++changes; };
    s.SetValue(150);
    EXPECT_EQ(s.Value(), 100);
    s.SetValue(100);
    EXPECT_EQ(changes, 1);

    s.SetMaxValue(5);
    EXPECT_EQ(s.Increment(), 5);
    EXPECT_EQ(s.Value(), 5);

    struct Bad {
        int increment;
    };
    for (const Bad& b : {Bad{0}, Bad{-3}, Bad{6}}) {
        try {
            s.SetIncrement(b.increment);
            ADD_FAILURE() << b.increment << " accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Value must be between 1 and 5"));
        }
    }
    EXPECT_EQ(s.Increment(), 5);

    // A bound that crosses the other is refused; SetRange moves both at once.
    s.SetMinValue(10);
    EXPECT_EQ(s.MinValue(), 0);
    s.SetRange(200, 300);
    EXPECT_EQ(s.MinValue(), 200);
    EXPECT_EQ(s.MaxValue(), 300);
    EXPECT_EQ(s.Value(), 200);
    s.SetRange(50, 50);
    EXPECT_EQ(s.MinValue(), 200);
}

TEST(KitSlider, OrientationSwapsTheSize)
{
    TKitSlider s;
    EXPECT_EQ(s.width(), 150);
    EXPECT_EQ(s.height(), 40);
    s.SetOrientation(soVertical);
    EXPECT_EQ(s.width(), 40);
    EXPECT_EQ(s.height(), 150);
}

TEST(KitSlider, KeysStepByRoundedIncrements)
{
    struct Case {
        TSliderOrientation o;
        int start;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int expected;
    };
    const Case cases[] = {
        {soHorizontal, 15, Qt::Key_Right, {}, 30},
        {soHorizontal, 25, Qt::Key_Right, {}, 30},
        {soHorizontal, 15, Qt::Key_Left, {}, 10},
        {soHorizontal, 3, Qt::Key_Left, {}, 0},
        {soHorizontal, 95, Qt::Key_Right, {}, 100},
        {soHorizontal, 40, Qt::Key_Home, {}, 0},
        {soHorizontal, 40, Qt::Key_End, {}, 100},
        {soHorizontal, 40, Qt::Key_Up, {}, 40},
        {soHorizontal, 40, Qt::Key_Right, Qt::ControlModifier, 40},
        {soVertical, 0, Qt::Key_Up, {}, 10},
        {soVertical, 50, Qt::Key_Down, {}, 40},
        {soVertical, 50, Qt::Key_Right, {}, 50},
    };
    for (const Case& c : cases) {
        Shown sh(c.o, c.o == soHorizontal ? 150 : 40, c.o == soHorizontal ? 40 : 150);
        sh.s.SetValue(c.start);
        int changed = 0;
        sh.s.OnChanged = [&](TObject*) { ++changed; };
        QTest::keyClick(&sh.s, c.key, c.mods);
        EXPECT_EQ(sh.s.Value(), c.expected) << c.start << " key " << c.key;
        const bool applies = c.mods == Qt::NoModifier &&
                             (c.key == Qt::Key_Home || c.key == Qt::Key_End ||
                              (c.o == soHorizontal ? c.key == Qt::Key_Left || c.key == Qt::Key_Right
                                                   : c.key == Qt::Key_Up || c.key == Qt::Key_Down));
        EXPECT_EQ(changed, applies ? 1 : 0) << c.start << " key " << c.key;
    }
}

TEST(KitSlider, DraggingTheThumbSetsTheValue)
{
    struct Case {
        TSliderOrientation o;
        bool smooth;
        int min, max;
        int toEdge;
        int expected;
    };
    const Case cases[] = {
        {soHorizontal, true, 0, 100, 70, 50},
        {soHorizontal, true, 0, 100, 400, 100},
        {soHorizontal, true, 0, 100, -50, 0},
        {soVertical, true, 0, 100, 69, 50},
        {soVertical, true, 0, 100, 6, 100},
        {soVertical, true, 0, 100, 133, 0},
        // Without smooth moves the thumb lands on the minimum plus whole increments.
        {soHorizontal, false, 5, 105, 70, 55},
        {soHorizontal, false, 5, 105, 44, 35},
        {soVertical, false, 5, 105, 69, 55},
    };
    for (const Case& c : cases) {
        Shown sh(c.o, c.o == soHorizontal ? 150 : 40, c.o == soHorizontal ? 40 : 150);
        sh.s.SetRange(c.min, c.max);
        if (!c.smooth)
            sh.s.SetOptions(sh.s.Options() & ~soSmooth);
        sh.s.SetValue(c.o == soHorizontal ? c.min : c.max);
        int changes = 0, changed = 0;
        sh.s.OnChange = [&](TObject*) { ++changes; };
        sh.s.OnChanged = [&](TObject*) { ++changed; };
        const QPoint grab = sh.thumbCentre();
        const int offset = c.o == soHorizontal ? grab.x() - sh.edge() : grab.y() - sh.edge();
        QTest::mousePress(&sh.s, Qt::LeftButton, {}, grab);
        EXPECT_TRUE(sh.s.Dragging());
        const QPoint to = c.o == soHorizontal ? QPoint(c.toEdge + offset, grab.y())
                                              : QPoint(grab.x(), c.toEdge + offset);
        QTest::mouseMove(&sh.s, to);
        EXPECT_EQ(sh.s.Value(), c.expected) << "to " << c.toEdge;
        EXPECT_EQ(changed, 0);
        QTest::mouseRelease(&sh.s, Qt::LeftButton, {}, to);
        EXPECT_FALSE(sh.s.Dragging());
        EXPECT_EQ(sh.s.Value(), c.expected) << "to " << c.toEdge;
        EXPECT_EQ(changes, c.expected == (c.o == soHorizontal ? c.min : c.max) ? 0 : 1);
        EXPECT_EQ(changed, 1);
        if (c.smooth) {
            EXPECT_EQ(sh.edge(), sh.s.ValueToPixel(c.expected));
        }
    }
}

TEST(KitSlider, HoldingOnTheRulerRepeatsUntilThePointIsReached)
{
    TTimer::SetManualTicks(true);
    struct Case {
        TSliderOrientation o;
        int start;
        QPoint at;
        int first;
        int last;
    };
    // Horizontal: the thumb's right edge at 80 is 119, its left edge at 90 is 120, at 10
    // it is 19. Vertical: the thumb's top at 80 is 31, at 90 it is 19.
    const Case cases[] = {{soHorizontal, 0, QPoint(120, 16), 10, 90},
                          {soHorizontal, 100, QPoint(20, 16), 90, 10},
                          {soVertical, 0, QPoint(16, 20), 10, 90}};
    for (const Case& c : cases) {
        Shown sh(c.o, c.o == soHorizontal ? 150 : 40, c.o == soHorizontal ? 40 : 150);
        sh.s.SetValue(c.start);
        int changed = 0;
        sh.s.OnChanged = [&](TObject*) { ++changed; };
        QTest::mousePress(&sh.s, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(sh.s.Value(), c.first);
        ASSERT_TRUE(sh.s.RepeatTimer()->Enabled());
        EXPECT_EQ(sh.s.RepeatTimer()->Interval(), 400);
        for (int i = 0; i < 15; ++i)
            sh.s.RepeatTimer()->Tick();
        EXPECT_EQ(sh.s.Value(), c.last);
        EXPECT_EQ(changed, 0);
        QTest::mouseRelease(&sh.s, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(changed, 1);
        EXPECT_FALSE(sh.s.RepeatTimer()->Enabled());
    }
    TTimer::SetManualTicks(false);
}

TEST(KitSlider, HandCursorOverTheThumb)
{
    Shown sh(soHorizontal, 150, 40);
    sh.s.SetValue(50);
    QTest::mouseMove(&sh.s, sh.thumbCentre());
    EXPECT_EQ(sh.s.cursor().shape(), Qt::BitmapCursor);
    QTest::mouseMove(&sh.s, QPoint(140, 35));
    EXPECT_EQ(sh.s.cursor().shape(), Qt::ArrowCursor);
}

TEST(KitSlider, TicksAreSpacedAtLeastFourPixels)
{
    // Columns where a tick crosses the first row of the tick area, and which of them are long.
    // A range across the whole integer scale still gets ticks 4 pixels apart: at most
    // 127 / 4 + 1 of them, none counted or drawn beyond the ruler.
    struct Case {
        int step;
        int count;
        int min = 0, max = 100;
    };
    const Case cases[] = {{10, 11},
                          {25, 5},
                          {1, 26},
                          {100, 2},
                          {0, 0},
                          {-10, 0},
                          {1, 32, INT_MIN, INT_MAX},
                          {7, 32, -5, INT_MAX},
                          {1, 32, INT_MIN, 0}};
    for (const Case& c : cases) {
        Shown sh(soHorizontal, 150, 40);
        sh.s.SetMinValue(c.min);
        sh.s.SetMaxValue(c.max);
        sh.s.OnDrawPoints = [&](TObject*) { sh.s.DrawTicks(c.step, 3, 5); };
        const QImage img = sh.s.grab().toImage();
        const int top = sh.s.TickRect().Top;
        int count = 0, longOnes = 0;
        for (int x = sh.s.TickRect().Left; x < sh.s.TickRect().Right; ++x) {
            if (qGray(img.pixel(x, top)) >= 64)
                continue;
            ++count;
            longOnes += qGray(img.pixel(x, top + 4)) < 64;
        }
        EXPECT_EQ(count, c.count) << "step " << c.step;
        EXPECT_EQ(longOnes, c.count ? 2 : 0) << "step " << c.step;
    }
}
