// Colour adjustments: worked values, and properties every adjustment must keep.
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/distort.h"
#include "imaging/proc/user_filter.h"
#include "proc_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace proctest;

namespace {

using Area = std::function<void(TBitmap&, int, int, int, int, const TEffectProgress&)>;

struct Op {
    const char* name;
    Area run;
};

// Every operation that takes a rectangle, with settings that change most pixels.
std::vector<Op> AreaOps()
{
    return {
        {"contrast", [](TBitmap& b, int x1, int y1, int x2, int y2,
                        const TEffectProgress& p) { AdjustContrast(b, x1, y1, x2, y2, 50, 100, 120, 90, p); }},
        {"rgb", [](TBitmap& b, int x1, int y1, int x2, int y2,
                   const TEffectProgress& p) { AdjustRGB(b, x1, y1, x2, y2, 40, -30, 20, p); }},
        {"hsl", [](TBitmap& b, int x1, int y1, int x2, int y2,
                   const TEffectProgress& p) { AdjustHSL(b, x1, y1, x2, y2, 40, -30, 20, p); }},
        {"hsv", [](TBitmap& b, int x1, int y1, int x2, int y2,
                   const TEffectProgress& p) { AdjustHSV(b, x1, y1, x2, y2, 40, -30, 20, p); }},
        {"threshold",
         [](TBitmap& b, int x1, int y1, int x2, int y2, const TEffectProgress& p) {
             ApplyThreshold(b, x1, y1, x2, y2, clWhite, clBlack, MakeRGB(150, 150, 150), MakeRGB(90, 90, 90), p);
         }},
        {"levels",
         [](TBitmap& b, int x1, int y1, int x2, int y2, const TEffectProgress& p) {
             AdjustLevels(b, x1, y1, x2, y2, MakeRGB(200, 180, 220), MakeRGB(20, 30, 10), p);
         }},
        {"equalize", [](TBitmap& b, int x1, int y1, int x2, int y2,
                        const TEffectProgress& p) { EqualizeHistogram(b, x1, y1, x2, y2, p); }},
        {"filter",
         [](TBitmap& b, int x1, int y1, int x2, int y2, const TEffectProgress& p) {
             ApplyUserFilter(b, UserFilterPresets[2].Filter, x1, y1, x2, y2, p);
         }},
        {"bump", [](TBitmap& b, int x1, int y1, int x2, int y2,
                    const TEffectProgress& p) { BumpMap(b, 3, 4, 9, 9, 30, 255, 200, 100, x1, y1, x2, y2, p); }},
    };
}

}  // namespace

// Only the inclusive rectangle changes; corners past the image are limited to it.
TEST(ColorAdjustArea, OnlyTheInclusiveRectangleChanges)
{
    struct R {
        int x1, y1, x2, y2;
    };
    const R rects[] = {{2, 3, 9, 7}, {0, 0, 0, 0}, {5, 1, 5, 10}, {10, 8, 40, 40}, {0, 0, 16, 12}};
    for (const Op& op : AreaOps())
        for (const R& r : rects) {
            const TBitmap before = Pattern(17, 13, 5);
            TBitmap bm(before);
            op.run(bm, r.x1, r.y1, r.x2, r.y2, {});
            int changedInside = 0;
            for (int y = 0; y < bm.Height(); ++y)
                for (int x = 0; x < bm.Width(); ++x) {
                    const bool inside = x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
                    if (!inside) {
                        ASSERT_EQ(Get(bm, x, y), Get(before, x, y)) << op.name << " at " << x << ',' << y;
                    } else {
                        changedInside += !(Get(bm, x, y) == Get(before, x, y));
                    }
                }
            if (r.x2 - r.x1 > 3) {
                EXPECT_GT(changedInside, 0) << op.name;
            }
        }
}

// Progress rises after every row and never passes 100, even for a one-row area.
TEST(ColorAdjustArea, ProgressIsMonotonicAndAtMostHundred)
{
    for (const Op& op : AreaOps())
        for (int rows : {1, 2, 7}) {
            TBitmap bm = Pattern(9, 9);
            std::vector<int> seen;
            op.run(bm, 0, 1, 8, rows, {nullptr, [&](TObject*, int p) { seen.push_back(p); }});
            ASSERT_EQ(int(seen.size()), rows) << op.name;
            for (size_t i = 0; i < seen.size(); ++i) {
                EXPECT_LE(seen[i], 100) << op.name;
                if (i) {
                    EXPECT_GT(seen[i], seen[i - 1]) << op.name;
                }
            }
            EXPECT_EQ(seen.back(), 100) << op.name;
        }
}

TEST(ColorAdjustArea, OtherPixelFormatsAreLeftAlone)
{
    for (const Op& op : AreaOps()) {
        TBitmap mono(8, 4, pf1bit);
        SetBit(mono, 3, 2, true);
        const TBitmap before(mono);
        op.run(mono, 0, 0, 7, 3, {});
        EXPECT_TRUE(SamePixels(mono, before)) << op.name;
    }
}

TEST(ColorAdjust, NeutralSettingsLeaveTheImageUnchanged)
{
    const TBitmap before = Pattern(23, 11, 3);
    const std::vector<std::function<void(TBitmap&)>> neutral = {
        [](TBitmap& b) { AdjustContrast(b, 0, 0, 99, 99, 0, 17, 200, 3); },
        [](TBitmap& b) { AdjustRGB(b, 0, 0, 99, 99, 0, 0, 0); },
        [](TBitmap& b) { AdjustHSV(b, 0, 0, 99, 99, 0, 0, 0); },  // within HSV's precision, see below
        [](TBitmap& b) { ApplyThreshold(b, 0, 0, 99, 99, clRed, clBlue, MakeRGB(255, 255, 255), MakeRGB(0, 0, 0)); },
        [](TBitmap& b) { AdjustLevels(b, 0, 0, 99, 99, MakeRGB(255, 255, 255), MakeRGB(0, 0, 0)); },
        [](TBitmap& b) { ApplyUserFilter(b, UserFilterPresets[0].Filter, 0, 0, 99, 99); },
        [](TBitmap& b) { BumpMap(b, 5, 5, 10, 10, 100, 255, 255, 255, 0, 0, 99, 99); },
        [](TBitmap& b) { ApplyWave(b, 0, 10, 0, false); },
        [](TBitmap& b) { ApplyWave(b, 10, 0, 0, true); },
    };
    for (size_t i = 0; i < neutral.size(); ++i) {
        TBitmap bm(before);
        neutral[i](bm);
        if (i == 2) {
            for (int y = 0; y < bm.Height(); ++y)
                for (int x = 0; x < bm.Width(); ++x) {
                    const Px a = Get(bm, x, y), b = Get(before, x, y);
                    ASSERT_LE(std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}), 4);
                }
            continue;
        }
        EXPECT_TRUE(SamePixels(bm, before)) << "case " << i;
    }
}

// Hand-computed single pixels: (settings, input) → output.
TEST(ColorAdjust, WorkedValues)
{
    struct Case {
        const char* what;
        std::function<void(TBitmap&)> run;
        Px in, out;
    };
    const Case cases[] = {
        // f = 1 + 10/10 = 2: 100 + (150 − 100) × 2 = 200; 120 + (30 − 120) × 2 < 0.
        {"contrast up",
         [](TBitmap& b) { AdjustContrast(b, 0, 0, 0, 0, 10, 100, 120, 90); },
         {150, 30, 91},
         {200, 0, 92}},
        // f = 1 − sqrt(25)/10 = 0.5: 100 + Trunc(25.5) = 125; 120 + Trunc(−5.5) = 115.
        {"contrast down",
         [](TBitmap& b) { AdjustContrast(b, 0, 0, 0, 0, -25, 100, 120, 90); },
         {151, 109, 90},
         {125, 115, 90}},
        {"contrast −100 gives the mean",
         [](TBitmap& b) { AdjustContrast(b, 0, 0, 0, 0, -100, 7, 8, 9); },
         {250, 3, 77},
         {7, 8, 9}},
        {"rgb clamps", [](TBitmap& b) { AdjustRGB(b, 0, 0, 0, 0, 100, -100, 5); }, {200, 50, 7}, {255, 0, 12}},
        // Hue 0.8 + 0.5 is limited to 1: red, not wrapped to 0.3.
        {"hsl hue limited", [](TBitmap& b) { AdjustHSL(b, 0, 0, 0, 0, 180, 0, 0); }, {204, 0, 255}, {255, 0, 0}},
        {"hsl lightness", [](TBitmap& b) { AdjustHSL(b, 0, 0, 0, 0, 0, 0, 100); }, {10, 200, 30}, {255, 255, 255}},
        // (255, 0, 0) is (0, 99, 99); +120 → (120, 99, 99) = (0, 255, 0).
        {"hsv hue", [](TBitmap& b) { AdjustHSV(b, 0, 0, 0, 0, 120, 0, 0); }, {255, 0, 0}, {0, 255, 0}},
        {"hsv clamps", [](TBitmap& b) { AdjustHSV(b, 0, 0, 0, 0, 500, -200, 0); }, {255, 0, 0}, {255, 255, 255}},
        // Exactly the low threshold takes the low colour; above the high one the high colour.
        {"threshold",
         [](TBitmap& b) {
             ApplyThreshold(b, 0, 0, 0, 0, RGB(250, 251, 252), RGB(1, 2, 3), MakeRGB(200, 200, 200),
                            MakeRGB(100, 100, 100));
         },
         {100, 101, 201},
         {1, 101, 252}},
        // Upper 128: 128 → 255. Lower 100: 100 → 0, 177 → Round(77/155 × 255) = 127.
        {"levels upper",
         [](TBitmap& b) { AdjustLevels(b, 0, 0, 0, 0, MakeRGB(128, 128, 128), MakeRGB(0, 0, 0)); },
         {128, 64, 200},
         {255, 128, 255}},
        {"levels lower",
         [](TBitmap& b) { AdjustLevels(b, 0, 0, 0, 0, MakeRGB(255, 255, 255), MakeRGB(100, 100, 100)); },
         {100, 177, 255},
         {0, 127, 255}},
        // Lower 255 divides by 1; upper 0 is raised to 1.
        {"levels extremes",
         [](TBitmap& b) { AdjustLevels(b, 0, 0, 0, 0, MakeRGB(0, 255, 255), MakeRGB(255, 0, 0)); },
         {255, 1, 0},
         {0, 1, 0}},
    };
    for (const Case& c : cases) {
        TBitmap bm = Filled(1, 1, c.in);
        c.run(bm);
        EXPECT_EQ(Get(bm, 0, 0), c.out) << c.what;
    }
}

// Equalisation against its steps written out plainly, reading an untouched copy, on
// areas that reach the borders and areas inside the image.
TEST(ColorAdjust, EqualizeMatchesItsStepsOnAreasAndSizes)
{
    struct Case {
        int w, h, x1, y1, x2, y2;
    } const cases[] = {{1, 1, 0, 0, 0, 0},     {2, 70, 0, 0, 1, 69},      {67, 71, 0, 0, 66, 70},
                       {67, 71, 5, 3, 40, 66}, {300, 40, 1, 30, 298, 39}, {97, 130, 0, 33, 96, 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " area " << c.x1 << "," << c.y1 << "-" << c.x2 << ","
                                        << c.y2);
        const TBitmap src = Pattern(c.w, c.h, c.w + c.h);
        const auto grey = [&](int x, int y) {
            const Px p = Get(src, x, y);
            return (p.r * 30 + p.g * 59 + p.b * 11) / 100;
        };
        int64_t hist[256] = {};
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ++hist[grey(x, y)];
        const int64_t share = std::max<int64_t>(1, int64_t(c.w) * c.h / 256);
        int left[256], right[256];
        int64_t z = 0, sum = 0;
        for (int i = 0; i < 256; ++i) {
            left[i] = int(std::min<int64_t>(z, 255));
            for (sum += hist[i]; sum > share; sum -= share)
                ++z;
            right[i] = int(std::min<int64_t>(z, 255));
        }
        TBitmap got(src);
        EqualizeHistogram(got, c.x1, c.y1, c.x2, c.y2);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const Px p = Get(src, x, y);
                Px want = p;
                if (x >= c.x1 && x <= c.x2 && y >= c.y1 && y <= c.y2) {
                    const int g = grey(x, y);
                    Px m;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const Px n = Get(src, std::clamp(x + dx, 0, c.w - 1), std::clamp(y + dy, 0, c.h - 1));
                            m.r += n.r, m.g += n.g, m.b += n.b;
                        }
                    m = {m.r / 9, m.g / 9, m.b / 9};
                    const int a = (m.r * 30 + m.g * 59 + m.b * 11) / 100;
                    const int* t = left;
                    if (left[g] != right[g] && a > right[g])
                        t = right;
                    want = left[g] != right[g] && a <= right[g] && a >= left[g] ? m : Px{t[p.r], t[p.g], t[p.b]};
                }
                ASSERT_EQ(Get(got, x, y), want) << x << "," << y;
            }
    }
}

// Two pixels (fewer than 256: the share per level is then 1, never 0): black keeps its
// level; white's 3 × 3 mean (170) is above right[255] = 1, so it becomes right of each
// channel, 1.
TEST(ColorAdjust, EqualizeOnFewPixelsEndsWithHandValues)
{
    TBitmap bm(2, 1, pf24bit);
    Set(bm, 0, 0, {0, 0, 0});
    Set(bm, 1, 0, {255, 255, 255});
    EqualizeHistogram(bm, 0, 0, 1, 0);
    EXPECT_EQ(Get(bm, 0, 0), (Px{0, 0, 0}));
    EXPECT_EQ(Get(bm, 1, 0), (Px{1, 1, 1}));
    // A uniform image maps every pixel the same way.
    TBitmap flat = Filled(20, 20, {90, 40, 10});
    EqualizeHistogram(flat, 0, 0, 19, 19);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(Get(flat, x, y), Get(flat, 0, 0));
}
