// The five lines that describe a previewed file.

#include "imaging/dialogs/preview_info.h"
#include "imaging/io/io_params.h"

#include <gtest/gtest.h>

namespace {

void setUp(TIOParamsVals& p, int w, int h, int bits, int samples, int dpiX, int dpiY, uint8_t type)
{
    p.Width = w;
    p.Height = h;
    p.BitsPerSample = bits;
    p.SamplesPerPixel = samples;
    p.DpiX = dpiX;
    p.DpiY = dpiY;
    p.FileType = type;
}

}  // namespace

TEST(PreviewInfo, LinesOfTheWorkedExample)
{
    // A 640 × 480 24-bit JPEG of 45,000 bytes at 72 dpi.
    TIOParamsVals p;
    setUp(p, 640, 480, 8, 3, 72, 72, ioJPEG);
    p.JpegColorSpace = 2;
    const TPreviewInfoTexts en = PreviewInfo(p, 45000, 1, msEnglish);
    EXPECT_EQ(en.PicLabel1, "640 x 480 pixel");
    EXPECT_EQ(en.PicLabel2, "16777216 Colors (24 bit)");
    EXPECT_EQ(en.PicLabel3, "72 x 72 dpi");
    EXPECT_EQ(en.InfoLabel2, "File: 43 Kb   Mem: 900 Kb");
    EXPECT_EQ(en.InfoLabel1, "JPEG Bitmap (JPG) YCbCr");
    const TPreviewInfoTexts de = PreviewInfo(p, 45000, 1, msGerman);
    EXPECT_EQ(de.PicLabel2, "16777216 Farben (24 bit)");
    EXPECT_EQ(de.PicLabel1, en.PicLabel1);
    EXPECT_EQ(de.InfoLabel2, en.InfoLabel2);
}

TEST(PreviewInfo, FramesShowInTheSizeLineAndMultiplyTheMemory)
{
    TIOParamsVals p;
    setUp(p, 100, 50, 8, 1, 96, 96, ioGIF);
    const struct {
        int frames;
        const char* line;
        const char* info;
    } rows[] = {{1, "100 x 50 pixel", "File: 1 Kb   Mem: 14 Kb"},
                {2, "100 x 50 pixel , 2 frames", "File: 1 Kb   Mem: 29 Kb"},
                {25, "100 x 50 pixel , 25 frames", "File: 1 Kb   Mem: 366 Kb"}};
    // 8-bit images are held at 24 bits: 300 bytes a row, 15000 bytes a frame; 2047
    // bytes of file are 1 Kb (whole kilobytes, rounded down).
    for (const auto& r : rows) {
        const TPreviewInfoTexts t = PreviewInfo(p, 2047, r.frames, msEnglish);
        EXPECT_EQ(t.PicLabel1, r.line);
        EXPECT_EQ(t.InfoLabel2, r.info);
    }
}

TEST(PreviewInfo, MemoryIsCountedInSixtyFourBits)
{
    const struct {
        int w, h, bits, samples, frames;
        int64_t bytes;
    } rows[] = {
        {1, 1, 1, 1, 1, 4},
        {33, 2, 1, 1, 1, 16},
        {3, 1, 8, 3, 1, 12},
        {5, 1, 8, 3, 1, 16},
        {5, 1, 4, 1, 1, 16},  // only one-bit images stay packed
        {40000, 40000, 8, 3, 1, 4800000000LL},
        {65536, 65536, 1, 1, 1, 536870912LL},
        {30000, 30000, 8, 3, 10, 27000000000LL},
        {0, 10, 8, 3, 1, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PreviewMemoryBytes(r.w, r.h, r.bits, r.samples, r.frames), r.bytes) << r.w << "x" << r.h;
    TIOParamsVals p;
    setUp(p, 40000, 40000, 8, 3, 96, 96, ioBMP);
    EXPECT_EQ(PreviewInfo(p, 5000000000LL, 1, msEnglish).InfoLabel2, "File: 4882812 Kb   Mem: 4687500 Kb");
}

TEST(PreviewInfo, ColourCountsForEveryDepth)
{
    const struct {
        int bits, samples;
        const char* en;
        const char* de;
    } rows[] = {{1, 1, "2 Colors (1 bit)", "2 Farben (1 bit)"},
                {4, 1, "16 Colors (4 bit)", "16 Farben (4 bit)"},
                {8, 1, "256 Colors (8 bit)", "256 Farben (8 bit)"},
                {8, 3, "16777216 Colors (24 bit)", "16777216 Farben (24 bit)"},
                {8, 4, "4294967296 Colors (32 bit)", "4294967296 Farben (32 bit)"},
                {16, 3, "281474976710656 Colors (48 bit)", "281474976710656 Farben (48 bit)"},
                {16, 4, "2^64 Colors (64 bit)", "2^64 Farben (64 bit)"}};
    for (const auto& r : rows) {
        EXPECT_EQ(PreviewColorsText(r.bits, r.samples, msEnglish), r.en);
        EXPECT_EQ(PreviewColorsText(r.bits, r.samples, msGerman), r.de);
    }
}
