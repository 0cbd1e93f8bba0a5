// Resampling filters, canvas size, rotation, flipping and the zoom resampling.
#include "imaging/proc/geometry.h"
#include "imaging/proc/resample.h"
#include "platform/core/parallel_for.h"

#include "common/bitmap_memory.h"
#include "common/test_support.h"
#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cmath>
#include <random>
#include <vector>

namespace {

TBitmap randomImage(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < 3 * w; ++x)
            p[x] = uint8_t(rng() & 255);
    }
    return bmp;
}

TBitmap randomMono(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    TBitmap bmp(w, h, pf1bit);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x)
            if (rng() & 1)
                p[x >> 3] |= uint8_t(0x80 >> (x & 7));
            else
                p[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
    }
    return bmp;
}

struct Px {
    int b, g, r;
    bool operator==(const Px&) const = default;
};
std::ostream& operator<<(std::ostream& os, Px p) { return os << "(b" << p.b << " g" << p.g << " r" << p.r << ")"; }

Px at(const TBitmap& bmp, int x, int y)
{
    const uint8_t* p = bmp.ScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

bool bitAt(const TBitmap& bmp, int x, int y) { return bmp.ScanLine(y)[x >> 3] & (0x80 >> (x & 7)); }

bool samePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            if (a.PixelFormat() == pf1bit ? bitAt(a, x, y) != bitAt(b, x, y) : !(at(a, x, y) == at(b, x, y)))
                return false;
        }
    return true;
}

// ---- Independent reference of the filtered two-pass resampler ----

double refFilter(TResampleFilter f, double t)
{
    const double a = std::fabs(t);
    switch (f) {
    case rfTriangle: return a < 1 ? 1 - a : 0;
    case rfHermite: return a < 1 ? (2 * a - 3) * t * t + 1 : 0;
    case rfBell: return a < 0.5 ? 0.75 - t * t : a < 1.5 ? 0.5 * (a - 1.5) * (a - 1.5) : 0;
    case rfBSpline: return a < 1 ? 0.5 * a * a * a - t * t + 2.0 / 3.0 : a < 2 ? (2 - a) * (2 - a) * (2 - a) / 6 : 0;
    case rfLanczos3: {
        if (a >= 3)
            return 0;
        auto sinc = [](double x) { return x == 0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x); };
        return sinc(t) * sinc(t / 3);
    }
    case rfMitchell:
        return a < 1 ? (7 * a * a * a - 12 * t * t + 16.0 / 3) / 6
             : a < 2 ? (-7.0 / 3 * a * a * a + 12 * t * t - 20 * a + 32.0 / 3) / 6
                     : 0;
    default: return 0;
    }
}

double refSupport(TResampleFilter f)
{
    switch (f) {
    case rfBell: return 1.5;
    case rfBSpline:
    case rfMitchell: return 2;
    case rfLanczos3: return 3;
    default: return 1;
    }
}

struct Contrib {
    int j;
    double w;
};

std::vector<std::vector<Contrib>> refLists(int dst, int src, TResampleFilter f)
{
    std::vector<std::vector<Contrib>> lists(static_cast<size_t>(dst));
    const double scale = double(dst) / src;
    for (int i = 0; i < dst; ++i) {
        const double center = i / scale;
        const double width = scale >= 1 ? refSupport(f) : refSupport(f) / scale;
        const double fscale = scale >= 1 ? 1 : 1 / scale;
        for (int j = int(std::floor(center - width)); j <= int(std::ceil(center + width)); ++j) {
            const double w = scale >= 1 ? refFilter(f, center - j) : refFilter(f, (center - j) / fscale) / fscale;
            if (w == 0)
                continue;
            int k = j < 0 ? -j : j >= src ? 2 * src - 1 - j : j;
            k = std::min(std::max(k, 0), src - 1);
            lists[size_t(i)].push_back({k, w});
        }
    }
    return lists;
}

int refByte(double v) { return v > 255 ? 255 : v < 0 ? 0 : int(std::nearbyint(v)); }

// Pixels as [y][x][channel].
using Planes = std::vector<std::vector<std::array<int, 3>>>;

Planes refResample(const TBitmap& src, int dw, int dh, TResampleFilter f)
{
    const int sw = src.Width(), sh = src.Height();
    const auto hl = refLists(dw, sw, f), vl = refLists(dh, sh, f);
    Planes mid(static_cast<size_t>(sh), std::vector<std::array<int, 3>>(static_cast<size_t>(dw)));
    for (int y = 0; y < sh; ++y)
        for (int i = 0; i < dw; ++i)
            for (int c = 0; c < 3; ++c) {
                double s = 0;
                for (const Contrib& k : hl[size_t(i)])
                    s += k.w * src.ScanLine(y)[3 * k.j + c];
                mid[size_t(y)][size_t(i)][size_t(c)] = refByte(s);
            }
    Planes out(static_cast<size_t>(dh), std::vector<std::array<int, 3>>(static_cast<size_t>(dw)));
    for (int x = 0; x < dw; ++x)
        for (int i = 0; i < dh; ++i)
            for (int c = 0; c < 3; ++c) {
                double s = 0;
                for (const Contrib& k : vl[size_t(i)])
                    s += k.w * mid[size_t(k.j)][size_t(x)][size_t(c)];
                out[size_t(i)][size_t(x)][size_t(c)] = refByte(s);
            }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Filtered resampling.

TEST(ResampleFilters, EachFilterMatchesAnIndependentImplementation)
{
    const TResampleFilter filters[] = {rfTriangle, rfHermite, rfBell, rfBSpline, rfLanczos3, rfMitchell};
    const int sizes[][4] = {{7, 5, 13, 11}, {13, 11, 5, 4}, {9, 9, 20, 3},
                            {6, 8, 6, 8},   {2, 3, 7, 1},   {301, 7, 150, 5}};
    unsigned seed = 1;
    for (TResampleFilter f : filters)
        for (const auto& s : sizes) {
            const TBitmap src = randomImage(s[0], s[1], seed++);
            TBitmap dst(s[2], s[3], pf24bit);
            ResampleBitmap(src, dst, f);
            const Planes ref = refResample(src, s[2], s[3], f);
            ASSERT_EQ(dst.Width(), s[2]);
            ASSERT_EQ(dst.Height(), s[3]);
            int mismatches = 0;
            for (int y = 0; y < s[3]; ++y)
                for (int x = 0; x < s[2]; ++x) {
                    const Px p = at(dst, x, y);
                    const auto& r = ref[size_t(y)][size_t(x)];
                    mismatches += !(p == Px{r[0], r[1], r[2]});
                }
            EXPECT_EQ(mismatches, 0) << "filter " << f << " " << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3];
        }
}

TEST(ResampleFilters, TriangleAndLanczosAtScaleOneAreTheIdentity)
{
    const TBitmap src = randomImage(17, 9, 42);
    for (TResampleFilter f : {rfTriangle, rfLanczos3}) {
        TBitmap dst(17, 9, pf24bit);
        ResampleBitmap(src, dst, f);
        EXPECT_TRUE(samePixels(src, dst)) << f;
    }
}

TEST(ResampleFilters, TwoByTwoToFourByFourMirrorsAtTheEdges)
{
    // Columns: 0 ← [0], 1 ← ½[0] + ½[1], 2 ← [1], 3 ← ½[1] + ½[mirror of 2 = 1].
    TBitmap src(2, 2, pf24bit);
    for (int y = 0; y < 2; ++y) {
        uint8_t* p = src.ScanLine(y);
        p[0] = p[1] = p[2] = 0;
        p[3] = p[4] = p[5] = 101;
    }
    TBitmap dst(4, 4, pf24bit);
    ResampleBitmap(src, dst, rfTriangle);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(at(dst, 0, y).g, 0);
        EXPECT_EQ(at(dst, 1, y).g, 50);  // 50.5 rounds to even
        EXPECT_EQ(at(dst, 2, y).g, 101);
        EXPECT_EQ(at(dst, 3, y).g, 101);
    }
}

TEST(ResampleFilters, ProgressRisesToTheEnd)
{
    const TBitmap src = randomImage(10, 6, 3);
    TBitmap dst(15, 4, pf24bit);
    std::vector<int> seen;
    ResampleBitmap(src, dst, rfMitchell, nullptr, [&](TObject*, int p) { seen.push_back(p); });
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GE(seen.back(), 95);
    EXPECT_LE(seen.back(), 100);
}

// ---------------------------------------------------------------------------
// Resample: sizes and unfiltered stretching.

TEST(Resample, NegativeAndZeroSizes)
{
    TBitmap bmp = randomImage(200, 100, 9);
    const TBitmap before(bmp);
    Resample(bmp, -1, -1, rfTriangle);
    EXPECT_TRUE(samePixels(bmp, before));
    Resample(bmp, 0, 50, rfTriangle);
    Resample(bmp, 50, 0, rfNone);
    Resample(bmp, -1, 0, rfTriangle);
    EXPECT_TRUE(samePixels(bmp, before));
    Resample(bmp, -1, 100, rfTriangle);
    EXPECT_EQ(bmp.Width(), 200);
    EXPECT_EQ(bmp.Height(), 100);
    Resample(bmp, 50, -1, rfBell);
    EXPECT_EQ(bmp.Width(), 50);
    EXPECT_EQ(bmp.Height(), 25);
    TBitmap tiny = randomImage(3, 1, 1);
    Resample(tiny, 2, -1, rfNone);  // 2 × 1 div 3 = 0: nothing
    EXPECT_EQ(tiny.Width(), 3);
    // A width of 5 × 10^9 does not fit an int: refused, not wrapped round to 705'032'704.
    const TBitmap five = randomImage(5, 1, 1);
    int w = -1, h = 1000000000;
    EXPECT_FALSE(ResampleTargetSize(five, w, h));
    w = 10, h = -1;
    EXPECT_TRUE(ResampleTargetSize(five, w, h));
    EXPECT_EQ(h, 2);
}

TEST(Resample, StretchAveragesAreasAndKeepsOneBit)
{
    TBitmap bmp(4, 2, pf24bit);
    const int v[2][4] = {{0, 10, 100, 200}, {20, 30, 50, 51}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            std::memset(bmp.ScanLine(y) + 3 * x, v[y][x], 3);
    Resample(bmp, 2, 1, rfNone);
    ASSERT_EQ(bmp.Width(), 2);
    EXPECT_EQ(at(bmp, 0, 0).r, 15);   // (0 + 10 + 20 + 30) / 4
    EXPECT_EQ(at(bmp, 1, 0).r, 100);  // (100 + 200 + 50 + 51) / 4 = 100.25

    // 1-bit: each 2 × 2 block with three white pixels turns white, with one black.
    TBitmap mono(4, 2, pf1bit);
    mono.ScanLine(0)[0] = 0xE0;  // 1110
    mono.ScanLine(1)[0] = 0x80;  // 1000
    Resample(mono, 2, 1, rfLanczos3);
    ASSERT_EQ(mono.PixelFormat(), pf1bit);
    EXPECT_TRUE(bitAt(mono, 0, 0));
    EXPECT_FALSE(bitAt(mono, 1, 0));

    // Enlarging by whole factors repeats pixels.
    TBitmap small = randomImage(3, 2, 5);
    TBitmap big(small);
    Resample(big, 9, 4, rfNone);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(at(big, x, y), at(small, x / 3, y / 2));
}

// ---------------------------------------------------------------------------
// Zoom resampler.

TEST(ZoomResample, EnlargingMatchesTheFilteredResampler)
{
    const TBitmap src = randomImage(7, 6, 11);
    TBitmap a(20, 13, pf24bit), b(20, 13, pf24bit);
    ZoomResample(src, a, rfMitchell);
    ResampleBitmap(src, b, rfMitchell);
    EXPECT_TRUE(samePixels(a, b));
    const TBitmap c = ZoomResample(src, 20, 13, rfMitchell);
    EXPECT_TRUE(samePixels(a, c));
    EXPECT_TRUE(ZoomResample(src, 0, 13, rfMitchell).Empty());
}

TEST(ZoomResample, ShrinkingAveragesAndOneBitSourcesExpand)
{
    TBitmap src(4, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            std::memset(src.ScanLine(y) + 3 * x, (x + y) % 2 ? 200 : 100, 3);
    TBitmap dst(2, 2, pf24bit);
    ZoomResample(src, dst, rfLanczos3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(at(dst, x, y), (Px{150, 150, 150}));

    TBitmap mono(3, 1, pf1bit);
    mono.ScanLine(0)[0] = 0xA0;  // white, black, white
    TBitmap big(6, 2, pf24bit);
    ZoomResample(mono, big, rfTriangle);
    ASSERT_EQ(big.PixelFormat(), pf24bit);
    EXPECT_EQ(at(big, 0, 0), (Px{255, 255, 255}));
    EXPECT_EQ(at(big, 2, 1), (Px{0, 0, 0}));
}

// ---------------------------------------------------------------------------
// Rotation.

// Sizes below, across and off the turn's tile edges, down to single rows and columns.
TEST(Rotate, QuarterTurnsAreExactTranspositions)
{
    for (const auto& [w, h] :
         {std::pair{7, 4}, std::pair{131, 70}, std::pair{33, 65}, std::pair{1, 67}, std::pair{66, 1}}) {
        SCOPED_TRACE(w * 1000 + h);
        const TBitmap src = randomImage(w, h, unsigned(21 + w));
        TBitmap r90(src), r180(src), r270(src), rm90(src), r360(src), r450(src);
        Rotate(r90, 90, true, clWhite);
        Rotate(r180, 180, true, clWhite);
        Rotate(r270, 270, false, clWhite);
        Rotate(rm90, -90, true, clWhite);
        Rotate(r360, 360, true, clWhite);
        Rotate(r450, 450, true, clWhite);
        ASSERT_EQ(r90.Width(), h);
        ASSERT_EQ(r90.Height(), w);
        ASSERT_EQ(r270.Width(), h);
        ASSERT_EQ(r180.Width(), w);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Px p = at(src, x, y);
                // Counter-clockwise: the top-right corner goes to the top left.
                wrong += at(r90, y, w - 1 - x) != p;
                wrong += at(r180, w - 1 - x, h - 1 - y) != p;
                wrong += at(r270, h - 1 - y, x) != p;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(samePixels(rm90, r270));
        EXPECT_TRUE(samePixels(r360, src));
        EXPECT_TRUE(samePixels(r450, r90));
    }
}

TEST(Rotate, AnyAngleSizesFollowTheShearFormula)
{
    for (int angle : {30, -30, 17, 44, -45, 1, 120, -150}) {
        for (const auto& wh : {std::pair{40, 25}, std::pair{13, 31}, std::pair{1, 1}}) {
            TBitmap bmp = randomImage(wh.first, wh.second, unsigned(angle + 400));
            // The remainder after the quarter turns, and the turned size.
            int a = angle % 360, w = wh.first, h = wh.second;
            while (a > 45) {
                a -= 90;
                std::swap(w, h);
            }
            while (a < -45) {
                a += 90;
                std::swap(w, h);
            }
            const double th = a * M_PI / 180, t = std::fabs(std::tan(th / 2)), s = std::fabs(std::sin(th));
            const int W1 = int(std::nearbyint(h * t + w + 1));
            const int D = int(std::nearbyint((W1 - w) * s));
            const int H2p = int(std::nearbyint(W1 * s + h + 1));
            const int E = int(std::nearbyint(t * (H2p - h - D)));
            const int H2 = H2p - 2 * D;
            const int W3 = int(std::nearbyint(t * H2 + W1 + 1 - 2 * E));
            int64_t predictedW = 0, predictedH = 0;
            ASSERT_TRUE(RotatedSize(bmp, angle, predictedW, predictedH));
            Rotate(bmp, angle, angle % 2 == 0, clBlack);
            EXPECT_EQ(bmp.Width(), W3) << angle << " " << wh.first << "x" << wh.second;
            EXPECT_EQ(bmp.Height(), H2) << angle << " " << wh.first << "x" << wh.second;
            EXPECT_EQ(predictedW, W3) << angle;
            EXPECT_EQ(predictedH, H2) << angle;
            // 1-bit images by their own formula; quarter turns and 0 too.
            for (int mono : {angle, 90, 0}) {
                TBitmap m = randomMono(wh.first, wh.second, unsigned(mono + 7));
                TBitmap q = randomImage(wh.first, wh.second, unsigned(mono + 9));
                int64_t mw = 0, mh = 0, qw = 0, qh = 0;
                ASSERT_TRUE(RotatedSize(m, mono, mw, mh));
                ASSERT_TRUE(RotatedSize(q, mono, qw, qh));
                Rotate(m, mono, false, clBlack, true);
                Rotate(q, mono, false, clBlack);
                EXPECT_EQ(mw, m.Width()) << mono;
                EXPECT_EQ(mh, m.Height()) << mono;
                EXPECT_EQ(qw, q.Width()) << mono;
                EXPECT_EQ(qh, q.Height()) << mono;
            }
        }
    }
}

// Large rotations let the window's events run at every stage, quarter turns and the
// background fill included (they reported nothing before); the pixels do not depend
// on the thread count.
TEST(Rotate, EveryStageReportsSoThatTheWindowStaysAlive)
{
    const TBitmap src = randomImage(700, 500, 77);
    for (int angle : {90, 180, -90, 30, 100}) {
        TBitmap one(src);
        {
            TScopedParallelThreads single(1);
            Rotate(one, angle, true, clWhite);
        }
        TScopedParallelThreads threads(4, 1);
        TBitmap r(src);
        int calls = 0, last = 0;
        bool rising = true;
        Rotate(r, angle, true, clWhite, false, nullptr, [&](TObject*, int percent) {
            ++calls;
            rising = rising && percent >= last;
            last = percent;
        });
        // A quarter turn works in tiles of 32 rows; each is reported.
        EXPECT_GE(calls, 500 / 32) << angle;
        EXPECT_TRUE(rising) << angle;
        EXPECT_TRUE(samePixels(r, one)) << angle;
    }
}

TEST(Rotate, ThirtyDegreesLeavesBackgroundCornersAndKeepsFlatColour)
{
    // A flat odd colour stays that colour inside even with blending.
    TBitmap bmp(60, 40, pf24bit);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            uint8_t* p = bmp.ScanLine(y) + 3 * x;
            p[0] = 11;
            p[1] = 101;
            p[2] = 201;
        }
    for (bool aa : {false, true}) {
        TBitmap r(bmp);
        Rotate(r, 30, aa, RGB(1, 2, 3));
        const int W = r.Width(), H = r.Height();
        for (const auto& c : {std::pair{0, 0}, std::pair{W - 1, 0}, std::pair{0, H - 1}, std::pair{W - 1, H - 1}})
            EXPECT_EQ(at(r, c.first, c.second), (Px{3, 2, 1})) << aa;
        EXPECT_EQ(at(r, W / 2, H / 2), (Px{11, 101, 201})) << aa;
        int inside = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                inside += at(r, x, y) == Px{11, 101, 201};
        // About the rotated area of 60 × 40 pixels.
        EXPECT_NEAR(inside, 2400, aa ? 300 : 120) << aa;
    }
}

// Beyond 45° the turn begins with quarter turns. The image changes only once the whole
// turn is made: a step that runs out of memory leaves it as it was, not part-turned.
TEST(Rotate, FailingStepLeavesTheImageAndQuarterStepsAddUp)
{
    const TBitmap src = randomImage(9, 5, 7);
    for (const int angle : {100, 200, 300, -200, -300}) {
        SCOPED_TRACE(angle);
        TBitmap bmp(src);
        {
            const TBitmapMemoryRefusal refusal(1);  // the first quarter turn, then no more
            EXPECT_THROW(Rotate(bmp, angle, true, clWhite), EOutOfMemory);
        }
        EXPECT_TRUE(samePixels(bmp, src));
        // The same turn as single quarter steps and the rest.
        TBitmap steps(src);
        int rest = angle;
        for (; rest > 45; rest -= 90)
            Rotate(steps, 90, true, clWhite);
        for (; rest < -45; rest += 90)
            Rotate(steps, -90, true, clWhite);
        Rotate(steps, rest, true, clWhite);
        Rotate(bmp, angle, true, clWhite);
        EXPECT_TRUE(samePixels(bmp, steps));
    }
}

TEST(Rotate, MonochromeQuarterTurnAndBackground)
{
    const TBitmap src = randomMono(5, 3, 8);
    TBitmap r(src);
    Rotate(r, 90, false, clWhite, false);
    ASSERT_EQ(r.PixelFormat(), pf1bit);
    ASSERT_EQ(r.Width(), 3);
    ASSERT_EQ(r.Height(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(bitAt(r, y, 4 - x), bitAt(src, x, y));

    // A black square turned 45°: the corners come from outside the source.
    TBitmap black(20, 20, pf1bit);
    for (int y = 0; y < 20; ++y)
        std::memset(black.ScanLine(y), 0, size_t(black.BytesPerLine()));
    TBitmap onWhite(black), onBlack(black);
    RotateMonochrome(onWhite, 45, true);
    RotateMonochrome(onBlack, 45, false);
    EXPECT_EQ(onWhite.Width(), 28);  // Trunc(20 · 0.7071 · 2)
    EXPECT_TRUE(bitAt(onWhite, 0, 0));
    EXPECT_FALSE(bitAt(onWhite, 14, 14));
    EXPECT_FALSE(bitAt(onBlack, 0, 0));
}

// ---------------------------------------------------------------------------
// Flip and canvas size.

TEST(Flip, TwiceIsTheIdentityAndOnceMirrors)
{
    const TBitmap src = randomImage(9, 5, 2);
    const TBitmap mono = randomMono(10, 4, 3);
    for (int dir : {0, 1}) {
        TBitmap a(src), m(mono);
        Flip(a, dir);
        Flip(m, dir);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(at(a, x, y), dir == 0 ? at(src, 8 - x, y) : at(src, x, 4 - y));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(bitAt(m, x, y), dir == 0 ? bitAt(mono, 9 - x, y) : bitAt(mono, x, 3 - y));
        Flip(a, dir);
        Flip(m, dir);
        EXPECT_TRUE(samePixels(a, src));
        EXPECT_TRUE(samePixels(m, mono));
    }
}

TEST(ResizeCanvas, KeepsTopLeftAndFillsWithBackground)
{
    const TBitmap src = randomImage(5, 4, 6);
    TBitmap bmp(src);
    ResizeCanvas(bmp, 8, 6, RGB(10, 20, 30));
    ASSERT_EQ(bmp.Width(), 8);
    ASSERT_EQ(bmp.Height(), 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(at(bmp, x, y), (x < 5 && y < 4 ? at(src, x, y) : Px{30, 20, 10})) << x << "," << y;
    ResizeCanvas(bmp, 0, 3, clRed);
    EXPECT_EQ(bmp.Width(), 8);
    ResizeCanvas(bmp, 2, 2, clRed);
    EXPECT_EQ(at(bmp, 1, 1), at(src, 1, 1));
}

// PIL's box reduction by whole factors is the same area mean (halves rounded up).
TEST(HalftoneStretch, WholeFactorShrinkMatchesPilReduce)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const TBitmap src = randomImage(24, 16, 77);
    const QString in = TempDir() + "/stretch.ppm";
    ASSERT_TRUE(src.Image().save(in, "PPM"));
    for (int f : {2, 4}) {
        QByteArray out, err;
        const int rc = RunTool(QStringLiteral("/usr/bin/python3"),
                               {"-c",
                                "import sys\nfrom PIL import Image\n"
                                "im = Image.open(sys.argv[1]).convert('RGB').reduce(int(sys.argv[2]))\n"
                                "sys.stdout.write(im.tobytes().hex())",
                                in, QString::number(f)},
                               &out, &err);
        ASSERT_EQ(rc, 0) << err.constData();
        const QByteArray rgb = QByteArray::fromHex(out);
        TBitmap dst(24 / f, 16 / f, pf24bit);
        HalftoneStretch(src, dst);
        ASSERT_EQ(rgb.size(), dst.Width() * dst.Height() * 3);
        int i = 0;
        for (int y = 0; y < dst.Height(); ++y)
            for (int x = 0; x < dst.Width(); ++x, i += 3) {
                const Px p = at(dst, x, y);
                EXPECT_EQ(p, (Px{uint8_t(rgb[i + 2]), uint8_t(rgb[i + 1]), uint8_t(rgb[i])}))
                    << f << ": " << x << "," << y;
            }
    }
}
