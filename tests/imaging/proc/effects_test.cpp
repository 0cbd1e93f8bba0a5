// User filter, filter files, bump map, lens and wave.
#include "imaging/proc/distort.h"
#include "imaging/proc/user_filter.h"
#include "proc_test_util.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <random>

using namespace proctest;

namespace {

// Straightforward convolution with neighbours limited to the image.
TBitmap Convolve(const TBitmap& src, const TUserFilter& f, int x1, int y1, int x2, int y2)
{
    TBitmap out(src);
    const int64_t d = f.Divisor ? f.Divisor : 1;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) {
            int64_t s[3] = {0, 0, 0};
            for (int k = 0; k < 9; ++k) {
                const int nx = std::clamp(x + k % 3 - 1, 0, src.Width() - 1);
                const int ny = std::clamp(y + k / 3 - 1, 0, src.Height() - 1);
                const Px p = Get(src, nx, ny);
                s[0] += int64_t(f.Weights[k]) * p.r;
                s[1] += int64_t(f.Weights[k]) * p.g;
                s[2] += int64_t(f.Weights[k]) * p.b;
            }
            const auto c = [&](int64_t v) { return int(std::clamp<int64_t>(v / d, 0, 255)); };
            Set(out, x, y, {c(s[0]), c(s[1]), c(s[2])});
        }
    return out;
}

}  // namespace

TEST(UserFilter, MatchesAPlainConvolutionOnOddSizesAndBorders)
{
    std::mt19937 rng(7);
    std::vector<TUserFilter> filters;
    for (const auto& p : UserFilterPresets)
        filters.push_back(p.Filter);
    // Large weights take the 64-bit path and must not overflow.
    filters.push_back({{2000000000, -2000000000, 7, 0, 2147483647, 0, -2147483647 - 1, 3, 1}, -3});
    filters.push_back({{300, -200, 100, 50, 999, -1, 0, 4, 8}, 0});
    std::uniform_int_distribution<int> small(-20, 20);
    for (int i = 0; i < 6; ++i) {
        TUserFilter f;
        for (auto& w : f.Weights)
            w = small(rng);
        f.Divisor = small(rng);
        filters.push_back(f);
    }
    struct Size {
        int w, h;
    };
    for (const Size s : {Size{1, 1}, Size{1, 5}, Size{7, 1}, Size{2, 2}, Size{13, 9}})
        for (const TUserFilter& f : filters) {
            const TBitmap src = Pattern(s.w, s.h, 11);
            const int x1 = s.w / 3, y1 = s.h / 4, x2 = s.w - 1, y2 = s.h - 1 - s.h / 5;
            TBitmap got(src);
            ApplyUserFilter(got, f, x1, y1, x2, y2);
            EXPECT_TRUE(SamePixels(got, Convolve(src, f, x1, y1, x2, y2)))
                << s.w << 'x' << s.h << " divisor " << f.Divisor;
            TBitmap whole(src);
            ApplyUserFilter(whole, f, 0, 0, s.w + 5, s.h + 5);
            EXPECT_TRUE(SamePixels(whole, Convolve(src, f, 0, 0, s.w - 1, s.h - 1)));
        }
}

TEST(UserFilterFile, BytesAreTheHeaderAndTheRecordLittleEndian)
{
    const TUserFilter f{{1, -1, 256, 0, 0x01020304, -2, 0, 0, 9}, 0};
    const QString path = TempDir() + QStringLiteral("/a.flt");
    SaveFilterToFile(path, f);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray d = file.readAll();
    ASSERT_EQ(d.size(), 43);
    const unsigned char want[] = {
        1,    3,    3,  // header
        1,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 0, 0, 0, 4, 3, 2, 1,
        0xFE, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0,    0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0};  // divisor
    ASSERT_EQ(sizeof want, 43u);
    // The last four bytes: a divisor of 0 is a valid filter ("None" saves it).
    EXPECT_EQ(d, QByteArray(reinterpret_cast<const char*>(want), 43));
    TUserFilter back = UserFilterPresets[1].Filter;
    LoadFilterFromFile(path, back);
    EXPECT_EQ(back, f);
}

TEST(UserFilterFile, WrongSizeOrHeaderIsRefusedAndChangesNothing)
{
    const QByteArray good = FilterFileBytes(UserFilterPresets[3].Filter);
    std::vector<QByteArray> bad = {QByteArray(), good.left(3), good.left(42), good + '\0', good};
    bad.back()[0] = 2;
    QByteArray h2 = good;
    h2[2] = 4;
    bad.push_back(h2);
    int i = 0;
    for (const QByteArray& b : bad) {
        const QString path = TempDir() + QStringLiteral("/bad%1.flt").arg(i++);
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(b);
        out.close();
        TUserFilter f = UserFilterPresets[8].Filter;
        try {
            LoadFilterFromFile(path, f);
            ADD_FAILURE() << "accepted case " << i;
        } catch (const EFilterInvalid& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("unrecognized filter"));
        }
        EXPECT_EQ(f, UserFilterPresets[8].Filter);
    }
    TUserFilter f;
    EXPECT_THROW(LoadFilterFromFile(TempDir() + QStringLiteral("/missing.flt"), f), EStreamError);
}

// 1 × 1 grey 100, light at the pixel: nx = ny = 128, table 255, half of it white:
// Round(50 + 127.5) = 178 (halves to even). Light 5 to the right: nx = 192, table 128:
// Round(50 + 64) = 114.
TEST(BumpMap, HandComputedPixels)
{
    struct Case {
        int lightX, want;
    };
    for (const Case c : {Case{0, 178}, Case{5, 114}}) {
        TBitmap bm = Filled(1, 1, {100, 100, 100});
        BumpMap(bm, c.lightX, 0, 10, 10, 50, 255, 255, 255, 0, 0, 0, 0);
        EXPECT_EQ(Get(bm, 0, 0), (Px{c.want, c.want, c.want})) << c.lightX;
    }
    // Percent 0 and a white light on a flat image: brightest where the light is.
    TBitmap flat = Filled(21, 15, {80, 80, 80});
    BumpMap(flat, 6, 9, 10, 10, 0, 255, 255, 255, 0, 0, 20, 14);
    int bx = -1, by = -1, best = -1;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 21; ++x)
            if (Get(flat, x, y).r > best)
                best = Get(flat, x, y).r, bx = x, by = y;
    EXPECT_EQ(bx, 6);
    EXPECT_EQ(by, 9);
}

// 4 × 4 lens over a 4 × 4 image: pixel (1, 1) has px = −0.5, py = 0.5, z = sqrt(3.5);
// with n = 1 the offsets are ox ≈ 0.210 and oy ≈ −2.750, so it comes from column
// Trunc(2.21) = 2 and row Trunc(4.75) = 4, limited to 3.
TEST(Lens, HandComputedPixelAndUntouchedCorners)
{
    const TBitmap src = Pattern(4, 4, 2);
    for (double n : {1.0, 0.3}) {
        TBitmap bm(src);
        ApplyLens(bm, 2, 2, 4, 4, n);
        EXPECT_EQ(Get(bm, 1, 1), Get(src, 2, 3)) << n;
        // The corners lie outside the ellipse.
        for (auto [x, y] : {std::pair{0, 0}, {3, 0}, {0, 3}, {3, 3}})
            EXPECT_EQ(Get(bm, x, y), Get(src, x, y));
    }
    // A lens reaching past the image stays inside it.
    TBitmap big = Pattern(5, 3);
    ApplyLens(big, 0, 0, 400, 400, 1.7);
    ApplyLens(big, 4, 2, 1, 1, 1.7);
}

// 3 × 3 image, phase 30°: the centre has s = 0.5, so with amplitude 1 it samples
// (1.5, 1.5) counted from the bottom: the mean of image pixels (1,1), (2,1), (1,0), (2,0).
TEST(Wave, HandComputedCentreAndTinyImages)
{
    TBitmap bm = Filled(3, 3, {0, 0, 0});
    Set(bm, 1, 1, {10, 0, 0});
    Set(bm, 2, 1, {20, 0, 0});
    Set(bm, 1, 0, {30, 0, 0});
    Set(bm, 2, 0, {41, 0, 0});
    ApplyWave(bm, 1, 5, 30, false);
    EXPECT_EQ(Get(bm, 1, 1).r, 25);  // Trunc(101 / 4)
    // The reflective wave keeps the centre where it is.
    TBitmap odd = Pattern(5, 5);
    const Px centre = Get(odd, 2, 2);
    ApplyWave(odd, 3, 4, 90, true);
    EXPECT_EQ(Get(odd, 2, 2), centre);
    // One column or row: the base pixel lies outside and reads as 0, never out of bounds.
    for (auto [w, h] : {std::pair{1, 4}, {4, 1}, {1, 1}}) {
        TBitmap thin = Pattern(w, h);
        ApplyWave(thin, 2, 3, 10, false);
    }
}
