// Strips as files lay them out: in order, reversed, sharing bytes, overrunning each
// other or the end of the file; reading that stops after a strip; and large images
// written and read back across many blocks, whole or stopped midway.

#include "../io_oracle.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "tiff_support.h"

#include <gtest/gtest.h>

using namespace iotest;

namespace {

constexpr int kW = 12, kH = 4, kRow = 3 * kW;

// An RGB file of kH one-row strips, w pixels wide, whose data lie in `blob` at offset 8;
// strip r starts at blob offset at[r] and claims count[r] bytes.
QByteArray stripFile(const QByteArray& blob, const std::vector<uint32_t>& at, const std::vector<uint32_t>& count,
                     uint32_t w = kW)
{
    QByteArray b = QByteArray("II*\0\0\0\0\0", 8) + blob;
    b.append(b.size() & 1, '\0');  // the directory starts on a word
    const uint32_t ifd = uint32_t(b.size());
    const int n = 8;
    const uint32_t arrays = ifd + 2 + 12 * n + 4;  // bits, offsets, counts
    QByteArray dir(2 + 12 * n + 4, '\0');
    auto* d = reinterpret_cast<uint8_t*>(dir.data());
    putLe16(d, n);
    const uint32_t entries[n][4] = {{256, 4, 1, w},           {257, 4, 1, kH},
                                    {258, 3, 3, arrays},      {262, 3, 1, 2},
                                    {273, 4, kH, arrays + 6}, {277, 3, 1, 3},
                                    {278, 4, 1, 1},           {279, 4, kH, arrays + 6 + 4 * kH}};
    for (int i = 0; i < n; ++i) {
        uint8_t* e = d + 2 + 12 * i;
        putLe16(e, uint16_t(entries[i][0]));
        putLe16(e + 2, uint16_t(entries[i][1]));
        putLe32(e + 4, entries[i][2]);
        entries[i][1] == 3 && entries[i][2] == 1 ? putLe16(e + 8, uint16_t(entries[i][3]))
                                                 : putLe32(e + 8, entries[i][3]);
    }
    QByteArray extra(6 + 8 * kH, '\0');
    auto* x = reinterpret_cast<uint8_t*>(extra.data());
    for (int i = 0; i < 3; ++i)
        putLe16(x + 2 * i, 8);
    for (int r = 0; r < kH; ++r) {
        putLe32(x + 6 + 4 * r, 8 + at[size_t(r)]);
        putLe32(x + 6 + 4 * kH + 4 * r, count[size_t(r)]);
    }
    putLe32(reinterpret_cast<uint8_t*>(b.data()) + 4, ifd);
    return b + dir + extra;
}

TEST(TiffStrips, LayoutsReadAsStored)
{
    // Rows of 12 pixels fill whole words of the bitmap; rows of 7 do not.
    for (const int w : {kW, 7}) {
        const int rowBytes = 3 * w;
        QByteArray blob(5 * rowBytes, '\0');
        for (qsizetype i = 0; i < blob.size(); ++i)
            blob[i] = char(i * 7 + 1);
        const uint32_t R = uint32_t(rowBytes);
        struct Case {
            const char* name;
            std::vector<uint32_t> at, count;
        };
        const Case cases[] = {
            {"in order", {0, R, 2 * R, 3 * R}, {R, R, R, R}},
            {"reversed", {3 * R, 2 * R, R, 0}, {R, R, R, R}},
            {"with gaps", {0, R + 5, 3 * R, 4 * R}, {R, R, R, R}},
            {"sharing bytes", {R, R, 0, R}, {R, R, R, R}},
            {"overrunning the next", {0, R, 2 * R, 3 * R}, {2 * R, 2 * R, R + 3, R}},
            {"short then next", {0, R - 4, 2 * R - 4, 3 * R}, {R - 4, R, R, R}},
            {"zero counts run to the end", {0, R, 2 * R, 4 * R}, {R, 0, R, 0}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", width " << w);
            TMemoryStream ms(stripFile(blob, c.at, c.count, uint32_t(w)));
            TBitmap bmp;
            TIOParamsVals params;
            TProgressRec progress;
            ASSERT_EQ(ReadTIFFStream(ms, bmp, params, progress), 1);
            ASSERT_EQ(bmp.Height(), kH);
            // Bytes past the blob belong to the directory; a strip running there reads them.
            const QByteArray file = ms.Bytes();
            for (int r = 0; r < kH; ++r) {
                const int64_t from = 8 + c.at[size_t(r)];
                const int64_t room = file.size() - from;
                const int64_t has = c.count[size_t(r)] ? std::min<int64_t>(c.count[size_t(r)], room) : room;
                const uint8_t* row = bmp.ScanLine(r);
                for (int i = 0; i < rowBytes; ++i) {
                    const int swapped = i - i % 3 + 2 - i % 3;  // red and blue change places
                    const int want = has >= rowBytes ? uint8_t(file[qsizetype(from + swapped)]) : 0xFF;
                    ASSERT_EQ(row[i], want) << "row " << r << " byte " << i;
                }
            }
        }
    }
}

// Aborting is looked at after each strip: the strips after it stay white.
TEST(TiffStrips, AbortStopsAfterTheStrip)
{
    QByteArray blob(kH * kRow, char(0x20));
    const uint32_t R = kRow;
    TMemoryStream ms(stripFile(blob, {0, R, 2 * R, 3 * R}, {R, R, R, R}));
    TBitmap bmp;
    TIOParamsVals params;
    TProgressRec progress;
    bool aborting = false;
    int calls = 0;
    progress.Aborting = &aborting;
    progress.fOnProgress = [&](TObject*, int) { aborting = ++calls == 2; };
    ReadTIFFStream(ms, bmp, params, progress);
    EXPECT_EQ(calls, 2);
    const int want[kH] = {0x20, 0x20, 0xFF, 0xFF};
    for (int r = 0; r < kH; ++r)
        EXPECT_EQ(bmp.ScanLine(r)[0], want[r]) << r;
}

// Several megabytes of coded rows: what is read back is what was written, in every
// coding; an uncompressed strip holds the rows red first; a write stopped after a row
// leaves exactly the rows before it behind the header.
TEST(TiffStrips, LargeImagesWrittenWholeAndStopped)
{
    const int w = 701, h = 613;
    TBitmap colour;
    colour.SetImage(Pattern(w, h, 5000, 9).convertToFormat(QImage::Format_BGR888));
    TBitmap mono = tifftest::BilevelPattern(w * 4, h, 3);
    struct Case {
        int compression, bits, samples;
    };
    for (const Case& c : {Case{0, 8, 3}, Case{8, 8, 3}, Case{0, 1, 1}, Case{8, 1, 1}, Case{4, 1, 1}, Case{2, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << "compression " << c.compression << " bits " << c.bits);
        TBitmap& src = c.bits == 1 ? mono : colour;
        TMemoryStream ms;
        TIOParamsVals params;
        params.TiffCompression = uint8_t(c.compression);
        params.BitsPerSample = c.bits;
        params.SamplesPerPixel = c.samples;
        TProgressRec progress;
        ASSERT_EQ(WriteTIFFStream(ms, false, src, progress, params), 1);
        ms.SetPosition(0);
        TBitmap back;
        TIOParamsVals readParams;
        ASSERT_EQ(ReadTIFFStream(ms, back, readParams, progress), 1);
        EXPECT_EQ(FirstDifference(BitmapRGB(back), BitmapRGB(src)), -1);
        if (c.compression == 0 && c.bits == 8) {
            // The strip starts right behind the header.
            const uint8_t* p = ms.Memory() + 8;
            for (int y : {0, h / 2, h - 1})
                for (int x : {0, w / 3, w - 1})
                    ASSERT_EQ(p[(int64_t(y) * w + x) * 3], src.ScanLine(y)[3 * x + 2]) << y << "," << x;
        }
    }
    for (int stopAt : {1, 400}) {
        TMemoryStream ms;
        TIOParamsVals params;
        params.BitsPerSample = 8;
        params.SamplesPerPixel = 3;
        TProgressRec progress;
        bool aborting = false;
        int calls = 0;
        progress.Aborting = &aborting;
        progress.fOnProgress = [&](TObject*, int) { aborting = ++calls == stopAt; };
        WriteTIFFStream(ms, false, colour, progress, params);
        ASSERT_EQ(ms.Size(), 8 + int64_t(stopAt) * 3 * w);
        const uint8_t* last = ms.Memory() + 8 + int64_t(stopAt - 1) * 3 * w;
        EXPECT_EQ(last[3 * (w - 1)], colour.ScanLine(stopAt - 1)[3 * (w - 1) + 2]);
    }
}

}  // namespace
