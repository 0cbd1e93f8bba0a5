// Assembling scanned frames into DIBs: refused parameters, conversions and odd scan lengths.
#include "imaging/io/acquire/scan_image.h"
#include "imaging/proc/dib.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

namespace {

SANE_Parameters params(SANE_Frame f, int depth, int ppl, int bpl, int lines, bool last = true)
{
    SANE_Parameters p{};
    p.format = f;
    p.last_frame = last;
    p.depth = depth;
    p.pixels_per_line = ppl;
    p.bytes_per_line = bpl;
    p.lines = lines;
    return p;
}

struct BadCase {
    const char* name;
    SANE_Parameters p;
};

}  // namespace

TEST(ScanImage, UnusableParametersAreRefusedBeforeAnyByteIsStored)
{
    const BadCase cases[] = {
        {"depth 4", params(SANE_FRAME_GRAY, 4, 10, 5, 10)},
        {"depth 0", params(SANE_FRAME_GRAY, 0, 10, 10, 10)},
        {"format 9", params(SANE_Frame(9), 8, 10, 10, 10)},
        {"no pixels", params(SANE_FRAME_GRAY, 8, 0, 10, 10)},
        {"negative pixels", params(SANE_FRAME_GRAY, 8, -5, 10, 10)},
        {"too wide",
         params(SANE_FRAME_RGB, 8, TScanImage::kMaxPixelsPerLine + 1, 3 * (TScanImage::kMaxPixelsPerLine + 1), 1)},
        {"line shorter than its pixels", params(SANE_FRAME_RGB, 8, 10, 29, 10)},
        {"16-bit line too short", params(SANE_FRAME_GRAY, 16, 10, 19, 10)},
        {"1-bit colour line too short", params(SANE_FRAME_RGB, 1, 9, 5, 10)},
        {"absurd line length", params(SANE_FRAME_GRAY, 8, 10, 1 << 24, 10)},
        {"zero lines", params(SANE_FRAME_GRAY, 8, 10, 10, 0)},
        {"lines -2", params(SANE_FRAME_GRAY, 8, 10, 10, -2)},
        {"past the memory bound", params(SANE_FRAME_RGB, 8, 100000, 300000, 100000)},
    };
    for (const BadCase& c : cases) {
        TScanImage img;
        QString why;
        EXPECT_FALSE(img.BeginFrame(c.p, why)) << c.name;
        EXPECT_FALSE(why.isEmpty()) << c.name;
    }
}

TEST(ScanImage, FramesThatDoNotFitTogetherAreRefused)
{
    struct Case {
        const char* name;
        SANE_Parameters first, second;
    } cases[] = {
        {"grey after red", params(SANE_FRAME_RED, 8, 4, 4, 2, false), params(SANE_FRAME_GRAY, 8, 4, 4, 2)},
        {"other width", params(SANE_FRAME_RED, 8, 4, 4, 2, false), params(SANE_FRAME_GREEN, 8, 5, 5, 2)},
        {"other depth", params(SANE_FRAME_RED, 8, 4, 4, 2, false), params(SANE_FRAME_GREEN, 16, 4, 8, 2)},
        {"other height", params(SANE_FRAME_RED, 8, 4, 4, 2, false), params(SANE_FRAME_GREEN, 8, 4, 4, 3)},
        {"red twice", params(SANE_FRAME_RED, 8, 4, 4, 2, false), params(SANE_FRAME_RED, 8, 4, 4, 2)},
        {"after the last", params(SANE_FRAME_GRAY, 8, 4, 4, 2, true), params(SANE_FRAME_GRAY, 8, 4, 4, 2)},
    };
    const uint8_t rows[8] = {};
    for (const Case& c : cases) {
        TScanImage img;
        QString why;
        ASSERT_TRUE(img.BeginFrame(c.first, why)) << c.name;
        ASSERT_TRUE(img.Feed(rows, sizeof rows, why)) << c.name;
        img.EndFrame();
        EXPECT_FALSE(img.BeginFrame(c.second, why)) << c.name;
    }
}

TEST(ScanImage, RowsAreConvertedIntoTheDIBConvention)
{
    // Two rows of three pixels in every layout; the DIB must read back as these colours.
    struct Case {
        const char* name;
        std::vector<SANE_Parameters> frames;
        std::vector<std::vector<uint8_t>> data;
        int bits;
        uint32_t want[2][3];  // 0xRRGGBB, top row first
    };
    const uint16_t w1 = 0x12FF, w2 = 0x8001;  // 16-bit samples in host order
    auto le = [](uint16_t v) {
        uint8_t b[2];
        std::memcpy(b, &v, 2);
        return std::vector<uint8_t>{b[0], b[1]};
    };
    std::vector<uint8_t> grey16;
    for (uint16_t v : {w1, w2, w1, w2, w1, w2})
        for (uint8_t b : le(v))
            grey16.push_back(b);
    const Case cases[] = {
        {"lineart: 1 is black, padding ignored",
         {params(SANE_FRAME_GRAY, 1, 3, 2, 2)},
         {{0xA0, 0x77, 0x5F, 0x00}},
         1,
         {{0x000000, 0xFFFFFF, 0x000000}, {0xFFFFFF, 0x000000, 0xFFFFFF}}},
        {"grey 8",
         {params(SANE_FRAME_GRAY, 8, 3, 3, 2)},
         {{0, 128, 255, 7, 8, 9}},
         8,
         {{0x000000, 0x808080, 0xFFFFFF}, {0x070707, 0x080808, 0x090909}}},
        {"grey 16 keeps the high byte",
         {params(SANE_FRAME_GRAY, 16, 3, 6, 2)},
         {grey16},
         8,
         {{0x121212, 0x808080, 0x121212}, {0x808080, 0x121212, 0x808080}}},
        {"colour 8",
         {params(SANE_FRAME_RGB, 8, 3, 9, 2)},
         {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
         24,
         {{0x010203, 0x040506, 0x070809}, {0x0A0B0C, 0x0D0E0F, 0x101112}}},
        {"colour 1 in groups of red, green, blue bytes",
         {params(SANE_FRAME_RGB, 1, 3, 3, 2)},
         {{0x80, 0x40, 0x20, 0xE0, 0x00, 0xA0}},
         24,
         {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFF00FF, 0xFF0000, 0xFF00FF}}},
        {"three frames, blue first",
         {params(SANE_FRAME_BLUE, 8, 3, 3, 2, false), params(SANE_FRAME_RED, 8, 3, 3, 2, false),
          params(SANE_FRAME_GREEN, 8, 3, 3, 2, true)},
         {{1, 2, 3, 4, 5, 6}, {10, 20, 30, 40, 50, 60}, {0, 0, 0, 0, 0, 0xFF}},
         24,
         {{0x0A0001, 0x140002, 0x1E0003}, {0x280004, 0x320005, 0x3CFF06}}},
        {"unknown height",
         {params(SANE_FRAME_GRAY, 8, 3, 4, -1)},
         {{9, 8, 7, 0, 6, 5, 4, 0}},
         8,
         {{0x090909, 0x080808, 0x070707}, {0x060606, 0x050505, 0x040404}}},
    };
    for (const Case& c : cases) {
        TScanImage img;
        QString why;
        for (size_t f = 0; f < c.frames.size(); ++f) {
            ASSERT_TRUE(img.BeginFrame(c.frames[f], why)) << c.name << " " << why.toStdString();
            // Delivered one byte at a time: rows must not depend on how reads split them.
            for (uint8_t b : c.data[f])
                ASSERT_TRUE(img.Feed(&b, 1, why)) << c.name;
            EXPECT_EQ(img.EndFrame(), f + 1 == c.frames.size()) << c.name;
        }
        const QByteArray dib = img.TakeDIB(why);
        ASSERT_FALSE(dib.isEmpty()) << c.name << " " << why.toStdString();
        TBitmap bmp;
        EXPECT_EQ(DIBToBitmap(dib, &bmp), c.bits) << c.name;
        ASSERT_EQ(bmp.Width(), 3);
        ASSERT_EQ(bmp.Height(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const uint8_t* row = bmp.ScanLine(y);
                uint32_t got;
                if (bmp.PixelFormat() == pf1bit)
                    got = (row[0] >> (7 - x)) & 1 ? 0xFFFFFF : 0;
                else
                    got = uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
                EXPECT_EQ(got, c.want[y][x]) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(ScanImage, ShortLongAndEmptyScans)
{
    const uint8_t data[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    struct Case {
        const char* name;
        int lines;
        size_t bytes;
        int height;  // 0: no image
    } cases[] = {
        {"fewer rows than announced keep the top rows", 4, 6, 2},
        {"more rows than announced are dropped", 2, 12, 2},
        {"a partial last row is dropped", 4, 7, 2},
        {"no rows at all", 4, 0, 0},
        {"unknown height, nothing sent", -1, 0, 0},
    };
    for (const Case& c : cases) {
        TScanImage img;
        QString why;
        ASSERT_TRUE(img.BeginFrame(params(SANE_FRAME_GRAY, 8, 3, 3, c.lines), why)) << c.name;
        ASSERT_TRUE(img.Feed(data, c.bytes, why)) << c.name;
        img.EndFrame();
        const QByteArray dib = img.TakeDIB(why);
        if (c.height == 0) {
            EXPECT_TRUE(dib.isEmpty()) << c.name;
            continue;
        }
        TBitmap bmp;
        DIBToBitmap(dib, &bmp);
        ASSERT_EQ(bmp.Height(), c.height) << c.name;
        EXPECT_EQ(bmp.ScanLine(0)[0], 1) << c.name;  // the first row on top
        EXPECT_EQ(bmp.ScanLine(1)[0], 4) << c.name;
    }
    // Three frames that never complete the colours give nothing.
    TScanImage img;
    QString why;
    ASSERT_TRUE(img.BeginFrame(params(SANE_FRAME_RED, 8, 3, 3, 1, false), why));
    img.Feed(data, 3, why);
    img.EndFrame();
    ASSERT_TRUE(img.BeginFrame(params(SANE_FRAME_GREEN, 8, 3, 3, 1, true), why));
    img.Feed(data, 3, why);
    img.EndFrame();
    EXPECT_TRUE(img.TakeDIB(why).isEmpty());
}
