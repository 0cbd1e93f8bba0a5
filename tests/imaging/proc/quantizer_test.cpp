// Colour quantisers, black-and-white conversions and palette helpers.
#include "imaging/proc/quantizer.h"
#include "platform/core/exceptions.h"
#include "platform/core/parallel_for.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

void setPixel(TBitmap& bmp, int x, int y, Rgb c)
{
    uint8_t* p = bmp.ScanLine(y) + 3 * x;
    p[0] = uint8_t(c.b);
    p[1] = uint8_t(c.g);
    p[2] = uint8_t(c.r);
}

Rgb pixel(const TBitmap& bmp, int x, int y)
{
    const uint8_t* p = bmp.ScanLine(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

bool bit(const TBitmap& bmp, int x, int y) { return bmp.ScanLine(y)[x >> 3] & (0x80 >> (x & 7)); }

// A one-row image of the given colours.
TBitmap rowOf(const std::vector<Rgb>& colors)
{
    TBitmap bmp(int(colors.size()), 1, pf24bit);
    for (size_t i = 0; i < colors.size(); ++i)
        setPixel(bmp, int(i), 0, colors[i]);
    return bmp;
}

TBitmap randomImage(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setPixel(bmp, x, y, {int(rng() & 255), int(rng() & 255), int(rng() & 255)});
    return bmp;
}

TBitmap filled(int w, int h, Rgb c)
{
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setPixel(bmp, x, y, c);
    return bmp;
}

std::set<uint32_t> colorsOf(const TBitmap& bmp)
{
    std::set<uint32_t> s;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const Rgb c = pixel(bmp, x, y);
            s.insert(QuantColor(c.r, c.g, c.b));
        }
    return s;
}

bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
std::ostream& operator<<(std::ostream& os, Rgb c) { return os << "(" << c.r << "," << c.g << "," << c.b << ")"; }

}  // namespace

// ---------------------------------------------------------------------------
// Box split, worked by hand on red-only images (5-bit red values in comments).

TEST(QuantizerBoxSplit, ThreeColoursIntoTwoFollowsTheCutRule)
{
    // Red 0, 0, 10, 20: root mean 7.5, cut searched over 4..20; the score
    // sum/(c−sum)·(m−t)² peaks at 75 for e = 10, so {0, 0, 10} and {20}.
    TBitmap bmp = rowOf({{0, 0, 0}, {0, 0, 0}, {80, 0, 0}, {160, 0, 0}});
    std::vector<TPaletteEntry> pal(4, TPaletteEntry{0xAB, 0xAB, 0xAB});
    TIKQuantizer q(bmp, pal.data(), 2);
    EXPECT_EQ(q.Method(), 1);
    ASSERT_EQ(q.ColorsProduced(), 2);
    // Mean red of {0, 0, 10} is 3.33 → 3 → 24; of {20} → 160 or 5 = 165 (bit replication).
    EXPECT_EQ(pal[0], (TPaletteEntry{0, 0, 24}));
    EXPECT_EQ(pal[1], (TPaletteEntry{0, 0, 165}));
    // Only the two requested entries are written.
    EXPECT_EQ(pal[2], (TPaletteEntry{0xAB, 0xAB, 0xAB}));
    EXPECT_EQ(q.RGBIndex(QuantColor(0, 0, 0)), 0);
    EXPECT_EQ(q.RGBIndex(QuantColor(80, 0, 0)), 0);
    EXPECT_EQ(q.RGBIndex(QuantColor(167, 7, 7)), 1);      // same 5-bit cell as (160, 0, 0)
    EXPECT_EQ(q.RGBIndex(QuantColor(255, 255, 255)), 0);  // in no box
}

TEST(QuantizerBoxSplit, FourColoursIntoThreeReplacesPixels)
{
    // Red 0, 0, 10, 20, 30: first cut at 10 (score 150 beats 96 and 144), giving
    // {0, 0, 10} (score 13.3) and {20, 30} (score 10); the first is split again
    // into {0, 0} and {10}. Palette: 0 → 0, 1 → mean 25 → 206, 2 → 82.
    TBitmap bmp = rowOf({{0, 0, 0}, {0, 0, 0}, {80, 0, 0}, {160, 0, 0}, {240, 0, 0}});
    std::vector<TPaletteEntry> pal(3);
    ReduceColorsToPalette(bmp, 3, pal.data());
    ASSERT_EQ(bmp.PixelFormat(), pf24bit);
    EXPECT_EQ(pal[0], (TPaletteEntry{0, 0, 0}));
    EXPECT_EQ(pal[1], (TPaletteEntry{0, 0, 206}));
    EXPECT_EQ(pal[2], (TPaletteEntry{0, 0, 82}));
    EXPECT_EQ(pixel(bmp, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(bmp, 2, 0), (Rgb{82, 0, 0}));
    EXPECT_EQ(pixel(bmp, 3, 0), (Rgb{206, 0, 0}));
    EXPECT_EQ(pixel(bmp, 4, 0), (Rgb{206, 0, 0}));
}

TEST(QuantizerBoxSplit, UnusedPaletteSlotsAreZero)
{
    // 512 colours all inside one 5-bit cell: one box, the other 255 slots zero.
    TBitmap bmp(512, 1, pf24bit);
    for (int i = 0; i < 512; ++i)
        setPixel(bmp, i, 0, {i & 7, (i >> 3) & 7, (i >> 6) & 7});
    std::vector<TPaletteEntry> pal(256, TPaletteEntry{0xAB, 0xCD, 0xEF});
    TIKQuantizer q(bmp, pal.data(), 256);
    EXPECT_EQ(q.Method(), 1);
    EXPECT_EQ(q.ColorsProduced(), 1);
    for (int i = 1; i < 256; ++i)
        ASSERT_EQ(pal[size_t(i)], TPaletteEntry{}) << i;
}

TEST(QuantizerBoxSplit, EntriesSpanTheFullRangeOfTheirCells)
{
    // 512 colours inside one 5-bit cell per channel make one box whose mean is that
    // cell; its entry is the cell widened by bit replication, so white stays 255.
    struct Case {
        int cell;
        int entry;
    } cases[] = {{0, 0}, {1, 8}, {3, 24}, {15, 123}, {16, 132}, {30, 247}, {31, 255}};
    for (const Case& c : cases) {
        TBitmap bmp(512, 1, pf24bit);
        for (int i = 0; i < 512; ++i)
            setPixel(bmp, i, 0, {8 * c.cell + (i & 7), 8 * c.cell + ((i >> 3) & 7), 8 * c.cell + ((i >> 6) & 7)});
        std::vector<TPaletteEntry> pal(4);
        TIKQuantizer q(bmp, pal.data(), 4);
        ASSERT_EQ(q.Method(), 1);
        ASSERT_EQ(q.ColorsProduced(), 1);
        const auto e = uint8_t(c.entry);
        EXPECT_EQ(pal[0], (TPaletteEntry{e, e, e})) << c.cell;
    }
}

TEST(QuantizerBoxSplit, AtMostNColoursOnRandomImages)
{
    for (int n : {3, 16, 100, 256}) {
        TBitmap bmp = randomImage(61, 47, unsigned(n));
        ReduceColors(bmp, n);
        EXPECT_LE(colorsOf(bmp).size(), size_t(n)) << n;
        EXPECT_GT(colorsOf(bmp).size(), size_t(1)) << n;
    }
}

// ---------------------------------------------------------------------------
// Images that already have few enough colours keep them exactly.

TEST(QuantizerExact, ThreeColoursIntoSixteenKeepTheirValues)
{
    TBitmap bmp = rowOf({{255, 255, 255}, {1, 2, 3}, {255, 255, 255}, {200, 17, 99}});
    std::vector<TPaletteEntry> pal(16, TPaletteEntry{9, 9, 9});
    ReduceColorsToPalette(bmp, 16, pal.data());
    EXPECT_EQ(pixel(bmp, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixel(bmp, 1, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(pixel(bmp, 3, 0), (Rgb{200, 17, 99}));
    EXPECT_EQ(pal[0], (TPaletteEntry{255, 255, 255}));
    EXPECT_EQ(pal[1], (TPaletteEntry{3, 2, 1}));
    EXPECT_EQ(pal[2], (TPaletteEntry{99, 17, 200}));
    for (int i = 3; i < 16; ++i)
        EXPECT_EQ(pal[size_t(i)], TPaletteEntry{}) << i;
}

TEST(QuantizerExact, AllGreysSurviveAReductionTo256)
{
    TBitmap bmp(256, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x)
            setPixel(bmp, x, y, {x, x, x});
    const TBitmap before(bmp);
    std::vector<TPaletteEntry> pal(256);
    TIKQuantizer q(bmp, pal.data(), 256);
    EXPECT_EQ(q.Method(), 2);
    EXPECT_EQ(q.ColorsProduced(), 256);
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(pal[size_t(q.RGBIndex(QuantColor(x, x, x)))], (TPaletteEntry{uint8_t(x), uint8_t(x), uint8_t(x)}));
    ReduceColors(bmp, 256);
    EXPECT_EQ(colorsOf(bmp), colorsOf(before));
    EXPECT_EQ(pixel(bmp, 255, 2), (Rgb{255, 255, 255}));
}

TEST(QuantizerExact, TwoColourImageStaysTwoColours)
{
    TBitmap bmp = filled(9, 7, {12, 240, 33});
    setPixel(bmp, 4, 3, {250, 251, 252});
    for (int n : {3, 16, 256, 1000}) {
        TBitmap copy(bmp);
        ReduceColors(copy, n);
        EXPECT_EQ(colorsOf(copy), colorsOf(bmp)) << n;
    }
}

// ---------------------------------------------------------------------------
// Network quantiser (above 256 colours).

TEST(QuantizerNetwork, AtMostNColoursUpToTenThousand)
{
    for (int n : {257, 1000, 10000}) {
        TBitmap bmp = randomImage(128, 128, unsigned(n));
        std::vector<TPaletteEntry> pal(static_cast<size_t>(n));
        {
            TIKQuantizer q(bmp, pal.data(), n);
            EXPECT_EQ(q.Method(), 0);
            EXPECT_EQ(q.ColorsProduced(), n);
            for (uint32_t c : {0u, 0xFFFFFFu, 0x123456u}) {
                const int i = q.RGBIndex(c);
                EXPECT_GE(i, 0);
                EXPECT_LT(i, n);
            }
        }
        TBitmap reduced(bmp);
        ReduceColors(reduced, n);
        const auto out = colorsOf(reduced);
        EXPECT_LE(out.size(), size_t(n)) << n;
        EXPECT_GT(out.size(), size_t(n / 4)) << n;
    }
}

// The network's pixels as the published method gives them (pinned before its learning
// ran on vector units and its sort and searches were sped up), for any thread count.
TEST(QuantizerNetwork, ResultsKeepTheirBytesForEveryThreadCount)
{
    const struct {
        int w, h, colors;
        unsigned seed;
        uint64_t hash;  // FNV-1a over the rows' bytes
    } cases[] = {{96, 64, 300, 11, 0xfc6e4669e0ef4b0full}, {120, 90, 1000, 12, 0x2258d7fe90bf9de1ull}};
    for (const auto& c : cases) {
        for (int threads : {1, 4}) {
            TScopedParallelThreads scope(threads, 1);
            TBitmap bmp = randomImage(c.w, c.h, c.seed);
            std::vector<int> reports;
            ReduceColors(bmp, c.colors, nullptr, [&](TObject*, int percent) { reports.push_back(percent); });
            uint64_t hash = 14695981039346656037ull;
            for (int y = 0; y < bmp.Height(); ++y)
                for (int i = 0; i < 3 * bmp.Width(); ++i) {
                    hash ^= bmp.ScanLine(y)[i];
                    hash *= 1099511628211ull;
                }
            EXPECT_EQ(hash, c.hash) << c.colors << " colours, " << threads << " threads";
            ASSERT_FALSE(reports.empty());
            EXPECT_EQ(reports.back(), 100);
        }
    }
}

TEST(QuantizerNetwork, SearchFindsTheNeuronOfAPaletteColour)
{
    TBitmap bmp = randomImage(40, 30, 7);
    std::vector<TPaletteEntry> pal(300);
    TIKQuantizer q(bmp, pal.data(), 300);
    ASSERT_EQ(q.Method(), 0);
    // A palette colour's nearest neuron has the same colour (maybe a duplicate entry).
    for (int i = 0; i < 300; i += 7) {
        const TPaletteEntry e = pal[size_t(i)];
        const int j = q.RGBIndex(QuantColor(e.Red, e.Green, e.Blue));
        EXPECT_EQ(pal[size_t(j)], e) << i;
    }
}

TEST(QuantizerNetwork, FewSamplesKeepADecayIntervalOfOne)
{
    // Quality 0 samples one pixel in 30: 300 pixels give 10 samples, fewer than 100.
    TBitmap bmp = randomImage(20, 15, 3);
    std::vector<TPaletteEntry> pal(280);
    TIKQuantizer q(bmp, pal.data(), 280, 0);
    EXPECT_EQ(q.Method(), 0);
    EXPECT_LT(q.RGBIndex(0x808080), 280);
}

// ---------------------------------------------------------------------------
// Tiny and uniform images.

TEST(QuantizerEdges, OnePixelAndOneColourImages)
{
    for (int n : {1, 2, 3, 16, 256, 300, 10000}) {
        TBitmap one = filled(1, 1, {10, 20, 30});
        std::vector<TPaletteEntry> pal(static_cast<size_t>(n));
        TIKQuantizer q(one, pal.data(), n);
        EXPECT_EQ(q.ColorsProduced(), 1);
        EXPECT_EQ(pal[0], (TPaletteEntry{30, 20, 10}));
        EXPECT_EQ(q.RGBIndex(QuantColor(10, 20, 30)), 0);

        TBitmap flat = filled(33, 17, {200, 100, 50});
        ReduceColors(flat, n);
        if (n > 2) {
            ASSERT_EQ(flat.PixelFormat(), pf24bit);
            EXPECT_EQ(colorsOf(flat), std::set<uint32_t>{QuantColor(200, 100, 50)});
        } else {
            EXPECT_EQ(flat.PixelFormat(), pf1bit);
        }
    }
}

TEST(QuantizerEdges, OtherFormatsAndEmptyBitmapsAreLeftAlone)
{
    TBitmap mono(10, 3, pf1bit);
    const QImage before = mono.Image().copy();
    ReduceColors(mono, 16);
    ConvertToBWThreshold(mono, 128);
    DitherToMonochrome(mono);
    EXPECT_EQ(mono.Image(), before);
    TBitmap empty;
    ReduceColors(empty, 16);
    ConvertToBWOrdered(empty);
    EXPECT_TRUE(empty.Empty());
    std::vector<TPaletteEntry> pal(4, TPaletteEntry{1, 1, 1});
    TIKQuantizer q(empty, pal.data(), 4);
    EXPECT_EQ(q.RGBIndex(0x123456), 0);
    EXPECT_EQ(pal[0], TPaletteEntry{});
}

// ---------------------------------------------------------------------------
// Black and white.

TEST(BwOrdered, WhiteStaysWhiteAndBlackStaysBlack)
{
    TBitmap white = filled(16, 16, {255, 255, 255});
    DitherToMonochrome(white);
    ASSERT_EQ(white.PixelFormat(), pf1bit);
    TBitmap black = filled(16, 16, {0, 0, 0});
    ConvertToBWOrdered(black);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            ASSERT_TRUE(bit(white, x, y)) << x << "," << y;
            ASSERT_FALSE(bit(black, x, y)) << x << "," << y;
        }
}

TEST(BwOrdered, GreyLevelsGiveTheBayerShare)
{
    // Grey g turns white where g div 4 exceeds the Bayer value: g div 4 cells of 64.
    for (int g : {1, 4, 100, 128, 200, 252, 254}) {
        TBitmap bmp = filled(8, 8, {g, g, g});
        DitherToMonochrome(bmp);
        int whites = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                whites += bit(bmp, x, y);
        EXPECT_EQ(whites, g / 4) << g;
    }
    // Position rule: Bayer[x][y] with x the column. Grey 8 (div 4 = 2) is white only
    // where the value is 0 or 1: (0,0) and (4,4).
    TBitmap bmp = filled(8, 8, {8, 8, 8});
    DitherToMonochrome(bmp);
    EXPECT_TRUE(bit(bmp, 0, 0));
    EXPECT_TRUE(bit(bmp, 4, 4));
    EXPECT_FALSE(bit(bmp, 0, 4));  // Bayer[0][4] = 2
    EXPECT_FALSE(bit(bmp, 4, 0));  // Bayer[4][0] = 3
}

TEST(BwOrdered, ReduceToTwoThenBackGivesOnlyBlackAndWhite)
{
    TBitmap bmp = randomImage(13, 11, 5);
    std::vector<TPaletteEntry> pal(2, TPaletteEntry{7, 7, 7});
    ReduceColorsToPalette(bmp, 2, pal.data());
    ASSERT_EQ(bmp.PixelFormat(), pf1bit);
    EXPECT_EQ(pal[0], (TPaletteEntry{0, 0, 0}));
    EXPECT_EQ(pal[1], (TPaletteEntry{255, 255, 255}));
    ConvertTo24Bit(bmp);
    ASSERT_EQ(bmp.PixelFormat(), pf24bit);
    for (uint32_t c : colorsOf(bmp))
        EXPECT_TRUE(c == 0 || c == 0xFFFFFF) << std::hex << c;
}

TEST(BwThreshold, FixedThresholdAndMeanGrey)
{
    // Greys 100 and 120: threshold 128 makes both black; the mean grey 110 splits them.
    TBitmap bmp(4, 2, pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            setPixel(bmp, x, y, x < 2 ? Rgb{100, 100, 100} : Rgb{120, 120, 120});
    TBitmap fixed(bmp);
    ConvertToBWThreshold(fixed, 128);
    ASSERT_EQ(fixed.PixelFormat(), pf1bit);
    TBitmap mean(bmp);
    ConvertToBWThreshold(mean, -1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_FALSE(bit(fixed, x, y));
            EXPECT_EQ(bit(mean, x, y), x >= 2);
        }
    // Exactly the threshold is white.
    TBitmap edge = filled(1, 1, {128, 128, 128});
    ConvertToBWThreshold(edge, 128);
    EXPECT_TRUE(bit(edge, 0, 0));
}

TEST(BwThreshold, BlackAndWhiteHalvesKeepTheirHalves)
{
    TBitmap bmp(20, 5, pf24bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 20; ++x)
            setPixel(bmp, x, y, x < 10 ? Rgb{0, 0, 0} : Rgb{255, 255, 255});
    int calls = 0, last = -1;
    ConvertToBWThreshold(bmp, -1, nullptr, [&](TObject*, int p) {
        ++calls;
        EXPECT_GE(p, last);
        last = p;
    });
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(last, 90);  // Trunc(5 × 100 / 5.5)
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(bit(bmp, x, y), x >= 10);
}

// ---------------------------------------------------------------------------
// 1-bit expansion and two-colour detection.

TEST(MonoExpand, TenPixelRowGivesThirtyBytes)
{
    TBitmap mono(10, 2, pf1bit);
    mono.ScanLine(0)[0] = 0xA5;  // 1010 0101
    mono.ScanLine(0)[1] = 0x40;  // 01
    mono.ScanLine(1)[0] = 0x00;
    mono.ScanLine(1)[1] = 0xFF;
    TBitmap out;
    MonochromeTo24Bit(mono, out);
    ASSERT_EQ(out.PixelFormat(), pf24bit);
    ASSERT_EQ(out.Width(), 10);
    const int expect0[10] = {1, 0, 1, 0, 0, 1, 0, 1, 0, 1};
    for (int x = 0; x < 10; ++x) {
        const uint8_t v = expect0[x] ? 255 : 0;
        EXPECT_EQ(pixel(out, x, 0), (Rgb{v, v, v})) << x;
        EXPECT_EQ(pixel(out, x, 1), (x >= 8 ? Rgb{255, 255, 255} : Rgb{0, 0, 0})) << x;
    }
}

TEST(TwoColors, DarkerColourGetsBitZero)
{
    TBitmap bmp = filled(11, 3, {255, 255, 255});
    setPixel(bmp, 5, 1, {0, 0, 0});
    TPaletteEntry first, second;
    auto mono = ReduceToTwoColors(bmp, first, second);
    ASSERT_TRUE(mono);
    ASSERT_EQ(mono->PixelFormat(), pf1bit);
    EXPECT_EQ(first, (TPaletteEntry{0, 0, 0}));
    EXPECT_EQ(second, (TPaletteEntry{255, 255, 255}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(bit(*mono, x, y), !(x == 5 && y == 1));

    // Darker colour first: no inversion.
    TBitmap dark = filled(4, 1, {10, 0, 0});
    setPixel(dark, 3, 0, {0, 200, 0});
    mono = ReduceToTwoColors(dark, first, second);
    ASSERT_TRUE(mono);
    EXPECT_EQ(first, (TPaletteEntry{0, 0, 10}));
    EXPECT_EQ(second, (TPaletteEntry{0, 200, 0}));
    EXPECT_FALSE(bit(*mono, 0, 0));
    EXPECT_TRUE(bit(*mono, 3, 0));
}

TEST(TwoColors, OneOrThreeColoursGiveNothing)
{
    TPaletteEntry a, b;
    EXPECT_FALSE(ReduceToTwoColors(filled(5, 5, {1, 2, 3}), a, b));
    EXPECT_FALSE(ReduceToTwoColors(rowOf({{0, 0, 0}, {255, 255, 255}, {9, 9, 9}}), a, b));
    TBitmap late = filled(6, 6, {0, 0, 0});
    setPixel(late, 0, 3, {255, 255, 255});
    setPixel(late, 5, 5, {4, 4, 4});
    EXPECT_FALSE(ReduceToTwoColors(late, a, b));
}

TEST(PaletteHelpers, NearestIndexAndRedBlueSwap)
{
    std::vector<TPaletteEntry> pal = {{0, 0, 0}, {10, 10, 10}, {255, 255, 255}, {10, 10, 10}, {0, 20, 0}};
    // (10,10,10) at distance 0: the first of the two.
    EXPECT_EQ(NearestPaletteIndex(pal.data(), 5, {10, 10, 10}), 1);
    // (0,14,0): 14 from black, 24 from (10,10,10), 6 from (0,20,0).
    EXPECT_EQ(NearestPaletteIndex(pal.data(), 5, {0, 14, 0}), 4);
    // Ties keep the first: (5,5,5) is 15 from both black and (10,10,10).
    EXPECT_EQ(NearestPaletteIndex(pal.data(), 5, {5, 5, 5}), 0);
    std::vector<TPaletteEntry> rb = {{1, 2, 3}, {4, 5, 6}};
    SwapPaletteRedBlue(rb.data(), 2);
    EXPECT_EQ(rb[0], (TPaletteEntry{3, 2, 1}));
    EXPECT_EQ(rb[1], (TPaletteEntry{6, 5, 4}));
}

TEST(QuantizerEdges, CountsFarAboveThePixelCountNeedNoHugePalette)
{
    TBitmap bmp = rowOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    ReduceColors(bmp, 2000000000);
    EXPECT_EQ(pixel(bmp, 2, 0), (Rgb{7, 8, 9}));
    std::vector<TPaletteEntry> pal(50000, TPaletteEntry{5, 5, 5});
    ReduceColorsToPalette(bmp, 50000, pal.data());
    EXPECT_EQ(pal[1], (TPaletteEntry{6, 5, 4}));
    EXPECT_EQ(pal[3], TPaletteEntry{});
    EXPECT_EQ(pal[49999], TPaletteEntry{});
}

// Above 256 colours the network learns for seconds on large images: it reports while it
// learns, and a progress event that raises stops either pass with the pixels untouched.
TEST(QuantizerProgress, LearningReportsAndAnAbortLeavesThePixels)
{
    const TBitmap original = randomImage(160, 120, 7);
    struct Case {
        const char* name;
        int colors;
        int abortAt;  // the report that raises; 0: none
    } cases[] = {{"network runs", 1000, 0},
                 {"network learning", 1000, 5},
                 {"network mapping", 1000, 1101},
                 {"box split mapping", 16, 3}};
    for (const Case& c : cases) {
        TBitmap bmp(original);
        std::vector<int> reports;
        TProgressEvent progress = [&](TObject*, int percent) {
            reports.push_back(percent);
            if (int(reports.size()) == c.abortAt)
                throw EAbort(QStringLiteral("stop"));
        };
        bool aborted = false;
        try {
            ReduceColors(bmp, c.colors, nullptr, progress);
        } catch (const EAbort&) {
            aborted = true;
        }
        EXPECT_EQ(aborted, c.abortAt != 0) << c.name;
        if (c.abortAt) {
            EXPECT_EQ(int(reports.size()), c.abortAt) << c.name;
            for (int y = 0; y < bmp.Height(); ++y)
                ASSERT_EQ(std::memcmp(bmp.ScanLine(y), original.ScanLine(y), size_t(3 * bmp.Width())), 0)
                    << c.name << " row " << y;
            continue;
        }
        // A thousand learning steps (the last again after the sort) in the first half,
        // then the rows in the second.
        ASSERT_EQ(reports.size(), size_t(1002 + original.Height())) << c.name;
        EXPECT_EQ(reports.front(), 0);
        EXPECT_EQ(reports[1000], 49);
        EXPECT_EQ(reports[1001], 50);
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
        EXPECT_EQ(reports.back(), 100);
        EXPECT_LE(int(colorsOf(bmp).size()), c.colors);
    }
}
