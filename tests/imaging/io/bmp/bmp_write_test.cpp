// What the BMP writer makes: hand-checked headers and run-length codes, and files that
// other programs read back pixel for pixel.

#include "common/test_support.h"
#include "imaging/io/bmp/bmp.h"
#include "imaging/io/io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;

namespace {

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

uint32_t le32(const QByteArray& b, int at)
{
    return uint32_t(uchar(b[at])) | (uint32_t(uchar(b[at + 1])) << 8) | (uint32_t(uchar(b[at + 2])) << 16) |
           (uint32_t(uchar(b[at + 3])) << 24);
}
int le16(const QByteArray& b, int at) { return uchar(b[at]) | (uchar(b[at + 1]) << 8); }

TBitmap fromImage(const QImage& rgb)
{
    TBitmap b;
    b.SetImage(rgb.convertToFormat(QImage::Format_BGR888));
    return b;
}

QByteArray writeToMemory(TBitmap& bmp, TIOParamsVals& params, bool* aborting = nullptr)
{
    TMemoryStream ms;
    TProgressRec rec;
    rec.Aborting = aborting;
    WriteBMPStream(ms, bmp, params, rec);
    return ms.Bytes();
}

TBitmap readFromMemory(const QByteArray& data, TIOParamsVals& params)
{
    TMemoryStream ms(data);
    TBitmap out;
    TProgressRec rec;
    ReadBMPStream(ms, out, 0, rec, params);
    return out;
}

}  // namespace

TEST(BmpRle, RowsCodeAsHandComputed)
{
    const uint8_t a[] = {5, 5, 5, 1, 2, 3, 4, 4};
    QByteArray out;
    EncodeBMPRleRow(a, 8, false, out);
    EXPECT_EQ(out, bytes({3, 5, 0, 3, 1, 2, 3, 0, 2, 4, 0, 0}));

    const uint8_t b[] = {1, 2, 3};
    out.clear();
    EncodeBMPRleRow(b, 3, true, out);
    EXPECT_EQ(out, bytes({0, 3, 0x12, 0x30, 0, 0}));

    const uint8_t c[] = {7, 9};
    out.clear();
    EncodeBMPRleRow(c, 2, true, out);
    EXPECT_EQ(out, bytes({2, 0x79, 0, 0}));
    out.clear();
    EncodeBMPRleRow(c, 2, false, out);
    EXPECT_EQ(out, bytes({1, 7, 1, 9, 0, 0}));

    const uint8_t d[] = {6};
    out.clear();
    EncodeBMPRleRow(d, 1, true, out);
    EXPECT_EQ(out, bytes({1, 0x66, 0, 0}));
}

TEST(BmpRle, LongRunsAndLiteralsSplitAt255)
{
    std::vector<uint8_t> same(300, 9);
    QByteArray out;
    EncodeBMPRleRow(same.data(), 300, false, out);
    EXPECT_EQ(out, bytes({255, 9, 45, 9, 0, 0}));

    std::vector<uint8_t> distinct(300);
    for (int i = 0; i < 300; ++i)
        distinct[size_t(i)] = uint8_t(i % 2 ? i % 200 : 255 - i % 50);
    out.clear();
    EncodeBMPRleRow(distinct.data(), 300, false, out);
    ASSERT_EQ(out.size(), 2 + 255 + 1 + 2 + 45 + 1 + 2);
    EXPECT_EQ(uchar(out[0]), 0);
    EXPECT_EQ(uchar(out[1]), 255);
    EXPECT_EQ(uchar(out[2 + 255]), 0);  // pad byte after an odd literal
    EXPECT_EQ(uchar(out[258]), 0);
    EXPECT_EQ(uchar(out[259]), 45);
    EXPECT_EQ(out.right(2), bytes({0, 0}));
}

TEST(BmpWrite, HeadersForEachVersion)
{
    TBitmap mono(10, 3, pf1bit);
    TIOParamsVals p;
    p.BitsPerSample = 1;
    p.SamplesPerPixel = 1;
    p.BmpVersion = 2;
    QByteArray f = writeToMemory(mono, p);
    // 14 + 12 + 6-byte table + 3 rows of 4 bytes
    ASSERT_EQ(f.size(), 14 + 12 + 6 + 12);
    EXPECT_EQ(f.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(f, 2), uint32_t(f.size()));
    EXPECT_EQ(le32(f, 10), 32u);
    EXPECT_EQ(le32(f, 14), 12u);
    EXPECT_EQ(le16(f, 18), 10);
    EXPECT_EQ(le16(f, 20), 3);
    EXPECT_EQ(le16(f, 24), 1);
    EXPECT_EQ(f.mid(26, 6), bytes({0, 0, 0, 255, 255, 255}));

    TBitmap rgb = fromImage(Pattern(5, 4, 9));
    TIOParamsVals q;
    q.BmpVersion = 0;
    q.DpiX = 300;
    q.DpiY = 150;
    f = writeToMemory(rgb, q);
    EXPECT_EQ(le32(f, 14), 40u);
    EXPECT_EQ(le16(f, 28), 24);
    EXPECT_EQ(le32(f, 34), uint32_t(f.size() - 54));
    EXPECT_EQ(le32(f, 38), 11811u);  // 300 dpi
    EXPECT_EQ(le32(f, 42), 5906u);   // 150 dpi
    EXPECT_EQ(le32(f, 46), 0u);
    EXPECT_EQ(le32(f, 50), 16777216u);
    TIOParamsVals back;
    const TBitmap r = readFromMemory(f, back);
    EXPECT_EQ(back.BmpVersion, 1);  // a version 1 header is a version 3 one on reading
    EXPECT_EQ(back.DpiX, 300);
    EXPECT_EQ(back.DpiY, 150);
    EXPECT_EQ(BitmapRGB(r), BitmapRGB(rgb));

    q.BmpVersion = 3;
    f = writeToMemory(rgb, q);
    EXPECT_EQ(le32(f, 14), 64u);
    EXPECT_EQ(le32(f, 10), 14u + 64u);
    readFromMemory(f, back);
    EXPECT_EQ(back.BmpVersion, 3);

    q.BmpVersion = 7;
    EXPECT_THROW(writeToMemory(rgb, q), EInvalidGraphic);
}

TEST(BmpWrite, AbortLeavesHeaderWithoutDepth)
{
    TBitmap rgb = fromImage(Pattern(8, 8, 50));
    TIOParamsVals p;
    bool aborting = true;
    const QByteArray f = writeToMemory(rgb, p, &aborting);
    EXPECT_EQ(le32(f, 2), 0u);
    EXPECT_EQ(le16(f, 28), 0);
    // the first row was written before the flag was seen
    EXPECT_EQ(f.size(), 54 + 24);
}

TEST(BmpWrite, PaletteImagesKeepExactColoursAndTwoColourImagesStayTwoColour)
{
    // 4 and 8 bits, plain and run-length coded: exactly the colours of the picture
    for (int bits : {4, 8}) {
        for (int rle : {0, 1}) {
            SCOPED_TRACE(bits * 10 + rle);
            const QImage src = Pattern(37, 19, bits == 4 ? 16 : 230, 5);
            TBitmap b = fromImage(src);
            TIOParamsVals p;
            p.BitsPerSample = bits;
            p.SamplesPerPixel = 1;
            p.BmpCompression = uint8_t(rle);
            const QByteArray f = writeToMemory(b, p);
            EXPECT_EQ(le16(f, 28), bits);
            EXPECT_EQ(le32(f, 30), uint32_t(rle ? (bits == 4 ? 2 : 1) : 0));
            EXPECT_EQ(p.ColorMapCount, 1 << bits);
            TIOParamsVals back;
            EXPECT_EQ(FirstDifference(BitmapRGB(readFromMemory(f, back)), ImageRGB(src)), -1);
            EXPECT_EQ(back.BmpCompression, rle);
        }
    }
    // a 24-bit picture of exactly two colours becomes 1 bit with those two colours
    QImage two(9, 3, QImage::Format_RGB888);
    two.fill(QColor(200, 10, 10));
    two.setPixelColor(4, 1, QColor(0, 0, 90));
    TBitmap b = fromImage(two);
    TIOParamsVals p;
    p.BitsPerSample = 1;
    p.SamplesPerPixel = 1;
    const QByteArray f = writeToMemory(b, p);
    EXPECT_EQ(le16(f, 28), 1);
    EXPECT_EQ(f.mid(54, 8), bytes({90, 0, 0, 0, 10, 10, 200, 0}));  // darker colour first
    TIOParamsVals back;
    const TBitmap r = readFromMemory(f, back);
    EXPECT_EQ(r.PixelFormat(), pf24bit);  // not black and white: shown in its colours
    EXPECT_EQ(FirstDifference(BitmapRGB(r), ImageRGB(two)), -1);
}

TEST(BmpWriteOracle, OtherProgramsReadOurFilesPixelExact)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("convert"), QStringLiteral("bmptopnm"),
                  QStringLiteral("ppmtoppm"));
    const QString dir = TempDir();
    struct Depth {
        int bps, spp, colors;
    } depths[] = {{1, 1, 2}, {4, 1, 16}, {8, 1, 200}, {8, 3, 4000}};
    int checked = 0;
    for (const Depth& d : depths) {
        for (int version = 0; version <= 3; ++version) {
            for (int rle = 0; rle <= 1; ++rle) {
                if (rle && (d.bps == 1 || d.spp == 3 || version == 2))
                    continue;
                for (int w : {1, 13, 97}) {
                    SCOPED_TRACE(QStringLiteral("bps %1 spp %2 version %3 rle %4 width %5")
                                     .arg(d.bps)
                                     .arg(d.spp)
                                     .arg(version)
                                     .arg(rle)
                                     .arg(w)
                                     .toStdString());
                    const int h = std::max(7, (d.colors + w - 1) / w);
                    const QImage src = Pattern(w, std::min(h, 60), d.colors, uint32_t(w + version));
                    TBitmap b = fromImage(src);
                    if (d.bps == 1) {
                        b.SetPixelFormat(pf1bit);
                    }
                    TIOParamsVals p;
                    p.BitsPerSample = d.bps;
                    p.SamplesPerPixel = d.spp;
                    p.BmpVersion = uint8_t(version);
                    p.BmpCompression = uint8_t(rle);
                    p.DpiX = 300;
                    p.DpiY = 72;
                    const QString path =
                        dir + QStringLiteral("/w%1-%2-%3-%4.bmp").arg(d.bps * d.spp).arg(version).arg(rle).arg(w);
                    {
                        TFileStream fs(path, fmCreate);
                        TProgressRec rec;
                        WriteBMPStream(fs, b, p, rec);
                    }
                    const QByteArray expected = ImageRGB(src);
                    // PIL drops the last pixel of odd-length 4-bit literal runs.
                    if (!(rle && d.bps == 4)) {
                        EXPECT_EQ(FirstDifference(PilRGB(path), expected), -1) << "PIL";
                        ++checked;
                    }
                    // ImageMagick mis-reads run-length rows of width 1 (its own files too)
                    // and the colour table behind a 64-byte header.
                    if (!(rle && w == 1) && !(version == 3 && d.bps * d.spp <= 8)) {
                        EXPECT_EQ(FirstDifference(MagickRGB(path), expected), -1) << "ImageMagick";
                        ++checked;
                    }
                    if (version != 3) {
                        QByteArray ppm;
                        ASSERT_EQ(RunTool(QStringLiteral("sh"),
                                          {QStringLiteral("-c"),
                                           QStringLiteral("bmptopnm '%1' 2>/dev/null | ppmtoppm").arg(path)},
                                          &ppm),
                                  0);
                        QImage img;
                        ASSERT_TRUE(img.loadFromData(ppm, "PPM"));
                        EXPECT_EQ(FirstDifference(ImageRGB(img), expected), -1) << "bmptopnm";
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
    QByteArray out;
    ASSERT_EQ(Python(QStringLiteral(
                         "import sys\nfrom PIL import Image\nprint('%.0f %.0f' % Image.open(sys.argv[1]).info['dpi'])"),
                     {dir + QStringLiteral("/w24-1-0-13.bmp")}, &out),
              0);
    EXPECT_EQ(out.trimmed(), QByteArray("300 72"));
}
