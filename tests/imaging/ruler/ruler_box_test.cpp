// The ruler: ticks, labels, grips and fitting.
#include "imaging/ruler/ruler_box.h"
#include "imaging/ruler/ruler_ticks.h"
#include "platform/ui/timer.h"

#include <QTest>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(RulerTicks, FirstTickAndCount)
{
    struct Case {
        double viewPos, dpu, freq;
        int length;
        double firstValue;
        int firstPixel;
        size_t count;
    } cases[] = {
        {0, 1, 10, 300, 0, 0, 32},                                // n = 30, ticks 0 … 31
        {-15, 1, 10, 100, -10, 5, 12},                            // first multiple above a negative position
        {15, 1, 10, 100, 10, -5, 12},  {0, 5, 1, 300, 0, 0, 62},  // 500 %: every pixel unit is 5 pixels
        {3.5, 2, 0.5, 10, 3.5, 0, 12},
    };
    for (const Case& c : cases) {
        const auto ticks = RulerTicks(c.viewPos, c.dpu, c.freq, c.length);
        ASSERT_EQ(ticks.size(), c.count) << c.viewPos << " " << c.freq;
        EXPECT_DOUBLE_EQ(ticks[0].Value, c.firstValue);
        EXPECT_EQ(ticks[0].Pixel, c.firstPixel);
        EXPECT_EQ(ticks[1].Pixel - ticks[0].Pixel, int(std::lround(c.freq * c.dpu)));
    }
}

TEST(RulerTicks, SettingsThatWouldNeverEndDrawNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double viewPos, dpu, freq;
    } cases[] = {{0, 1, 0},     {0, 1, -10},  {0, 0, 10},   {0, -2, 10}, {0, 1, 0.5},
                 {0, 1e-9, 10}, {nan, 1, 10}, {0, inf, 10}, {0, 1, nan}};
    for (const Case& c : cases)
        EXPECT_TRUE(RulerTicks(c.viewPos, c.dpu, c.freq, 1000).empty()) << c.dpu << " " << c.freq;
}

TEST(RulerLabel, DecimalAndHexadecimal)
{
    struct Case {
        double value;
        bool hex;
        const char* text;
    } cases[] = {{255, true, "FF"},         {0, true, "0"},      {-16, true, "-10"},
                 {16.9, true, "10"},        {100, false, "100"}, {2.5, false, "2.5"},
                 {0.1 + 0.2, false, "0.3"}, {-40, false, "-40"}, {1.6665, false, "1.6665"}};
    for (const Case& c : cases)
        EXPECT_EQ(RulerLabel(c.value, c.hex), QString::fromLatin1(c.text)) << c.value;
}

class RulerBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ruler.resize(300, 40);
        ruler.show();
        ruler.SetGripPos(0, 50);
    }
    TRulerBox ruler;
};

TEST_F(RulerBoxTest, DefaultsAndBandHeight)
{
    EXPECT_EQ(ruler.GripsCount(), 1);
    EXPECT_EQ(ruler.GrabbedGrip(), -1);
    EXPECT_EQ(ruler.BandHeight(), int(std::abs(ruler.Font().Height()) * 1.7) + 3);
    ruler.SetRuler(false);
    EXPECT_EQ(ruler.BandHeight(), 0);
}

TEST_F(RulerBoxTest, GripKindsOutsideTheShapesOrTheListChangeNothing)
{
    ruler.SetGripKind(5, 3);
    EXPECT_EQ(ruler.GetGripKind(5), 0);
    EXPECT_EQ(ruler.GetGripKind(0), 0);
    for (int kind : {5, 64, 127}) {
        ruler.SetGripKind(0, kind);
        EXPECT_TRUE(ruler.GripShape(0).empty()) << kind;
        EXPECT_EQ(ruler.GripAt(50, 35), -1) << kind;
    }
    ruler.SetGripKind(0, 128);  // the top bit is ignored: shape 0
    EXPECT_EQ(ruler.GripShape(0).size(), 3u);
}

TEST_F(RulerBoxTest, FitInViewWithAnEmptyRangeKeepsTheScale)
{
    ruler.SetDotPerUnit(2);
    ruler.SetFitInView(true);
    EXPECT_DOUBLE_EQ(ruler.DotPerUnit(), 2);
    ruler.SetViewMin(0);
    ruler.SetViewMax(150);
    EXPECT_DOUBLE_EQ(ruler.DotPerUnit(), 2);  // 300 pixels over 150 units
    ruler.SetViewMax(600);
    EXPECT_DOUBLE_EQ(ruler.DotPerUnit(), 0.5);
    // An inverted range is no range either; emptying it afterwards keeps the scale.
    ruler.SetViewMin(700);
    EXPECT_DOUBLE_EQ(ruler.DotPerUnit(), 0.5);
    ruler.SetViewMax(700);
    EXPECT_DOUBLE_EQ(ruler.DotPerUnit(), 0.5);
}

TEST_F(RulerBoxTest, GripsFarOffTheRulerStayOffIt)
{
    for (double pos : {1e12, -1e12, 1e300, -1e300}) {
        ruler.SetGripPos(0, pos);
        const std::vector<TPoint> shape = ruler.GripShape(0);
        ASSERT_EQ(shape.size(), 3u) << pos;
        for (const TPoint& pt : shape)
            EXPECT_TRUE(pos > 0 ? pt.X > 300 : pt.X < 0) << pos;
        EXPECT_EQ(ruler.GripAt(pos > 0 ? 299 : 0, 36), -1) << pos;
        EXPECT_EQ(ruler.Picture().Width(), 300);
    }
    ruler.SetGripBaseDim(std::numeric_limits<int>::max());
    ruler.SetGripPos(0, 1e300);
    EXPECT_EQ(ruler.GripShape(0).size(), 3u);
    EXPECT_EQ(ruler.Picture().Width(), 300);
}

TEST_F(RulerBoxTest, TinyOrInvalidFrequenciesFinish)
{
    for (double f : {0.0, -1.0, 1e-12, std::numeric_limits<double>::quiet_NaN()}) {
        ruler.SetFrequency(f);
        ruler.SetLabelFreq(f);
        EXPECT_EQ(ruler.Picture().Width(), 300);
    }
    ruler.SetDotPerUnit(0);
    EXPECT_EQ(ruler.Picture().Width(), 300);
}

// The picture is drawn when read: one drawn before a change must show the change just as
// one drawn only afterwards does.
TEST_F(RulerBoxTest, ThePictureFollowsEverySetting)
{
    const std::function<void(TRulerBox&)> changes[] = {
        [](TRulerBox& r) { r.SetViewPos(37); },
        [](TRulerBox& r) { r.SetDotPerUnit(3.5); },
        [](TRulerBox& r) { r.SetFrequency(4); },
        [](TRulerBox& r) { r.SetLabelFreq(25); },
        [](TRulerBox& r) { r.SetHexLabels(true); },
        [](TRulerBox& r) { r.SetGripPos(0, 120); },
        [](TRulerBox& r) { r.SetGripColor(0, clRed); },
        [](TRulerBox& r) { r.SetGripsDir(gdDown); },
        [](TRulerBox& r) { r.SetRulerColor(clYellow); },
        [](TRulerBox& r) { r.SetRuler(false); },
        [](TRulerBox& r) { r.resize(220, 30); },
        [](TRulerBox& r) {
            r.SetRulerDir(rdVertical);
            r.resize(40, 260);
        },
    };
    auto rows = [](const TBitmap& b) {
        std::vector<QByteArray> out;
        for (int y = 0; y < b.Height(); ++y)
            out.emplace_back(reinterpret_cast<const char*>(b.ScanLine(y)), b.Width() * 3);
        return out;
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        TRulerBox before, after;
        for (TRulerBox* r : {&before, &after}) {
            r->resize(300, 40);
            r->show();
            r->SetGripPos(0, 50);
        }
        const auto unchanged = rows(before.Picture());
        changes[i](before);
        changes[i](after);
        const auto changed = rows(before.Picture());
        EXPECT_TRUE(changed == rows(after.Picture())) << i;
        EXPECT_FALSE(changed == unchanged) << i;
    }
}

TEST_F(RulerBoxTest, GripsFollowTheMouse)
{
    int clicks = 0, grip = -1;
    double clicked = -1;
    ruler.OnRulerGripClick = [&](TObject*, int g) {
        ++clicks;
        grip = g;
    };
    ruler.OnRulerClick = [&](TObject*, double pos) { clicked = pos; };
    ruler.SetViewPos(20);
    const int p = ruler.GripPixel(0);
    ASSERT_EQ(p, 30);
    QTest::mousePress(&ruler, Qt::LeftButton, {}, QPoint(p, 36));
    EXPECT_EQ(ruler.GrabbedGrip(), 0);
    QTest::mouseMove(&ruler, QPoint(p + 70, 36));
    EXPECT_DOUBLE_EQ(ruler.GetGripPos(0), 120);
    QTest::mouseRelease(&ruler, Qt::LeftButton, {}, QPoint(p + 70, 36));
    EXPECT_EQ(clicks, 0);

    QTest::mouseClick(&ruler, Qt::LeftButton, {}, QPoint(ruler.GripPixel(0), 36));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(grip, 0);
    QTest::mouseClick(&ruler, Qt::LeftButton, {}, QPoint(250, 5));
    EXPECT_DOUBLE_EQ(clicked, 270);
}

TEST_F(RulerBoxTest, DraggingBeyondTheEndScrollsOnePixelPerTick)
{
    const int p = ruler.GripPixel(0);
    QTest::mousePress(&ruler, Qt::LeftButton, {}, QPoint(p, 36));
    QTest::mouseMove(&ruler, QPoint(320, 36));
    EXPECT_DOUBLE_EQ(ruler.ViewPos(), 1);
    EXPECT_DOUBLE_EQ(ruler.GetGripPos(0), 300);
    EXPECT_TRUE(ruler.ScrollTimer()->Enabled());
    ruler.ScrollTimer()->Tick();
    ruler.ScrollTimer()->Tick();
    EXPECT_DOUBLE_EQ(ruler.ViewPos(), 3);
    EXPECT_DOUBLE_EQ(ruler.GetGripPos(0), 302);
    QTest::mouseMove(&ruler, QPoint(-5, 36));
    EXPECT_DOUBLE_EQ(ruler.ViewPos(), 2);
    QTest::mouseRelease(&ruler, Qt::LeftButton, {}, QPoint(-5, 36));
    EXPECT_FALSE(ruler.ScrollTimer()->Enabled());
    ruler.ScrollTimer()->Tick();
    EXPECT_DOUBLE_EQ(ruler.ViewPos(), 2);
}

TEST_F(RulerBoxTest, GripsStayInTheirRange)
{
    ruler.SetViewMin(10);
    ruler.SetViewMax(200);
    std::vector<double> seen;
    ruler.OnRulerPosChange = [&](TObject*, int) { seen.push_back(ruler.GetGripPos(0)); };
    ruler.SetGripPos(0, 500);
    EXPECT_DOUBLE_EQ(ruler.GetGripPos(0), 200);
    EXPECT_EQ(seen.back(), 200);
    ruler.SetGripPos(0, -3);
    EXPECT_DOUBLE_EQ(ruler.GetGripPos(0), 10);
}

}  // namespace
