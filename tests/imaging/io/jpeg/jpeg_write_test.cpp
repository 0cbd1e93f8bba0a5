// Writing JPEG: what PIL and cjpeg/djpeg make of our output (quality, progressive
// flag, density, colour spaces), resolution on reading, streams, progress and abort.

#include "../png/codec_oracle.h"
#include "common/test_support.h"
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

QByteArray writeJpeg(TBitmap& bitmap, TIOParamsVals& params)
{
    TMemoryStream ms;
    TProgressRec progress;
    WriteJPEGStream(ms, bitmap, params, progress);
    return ms.Bytes();
}

void readJpeg(const QByteArray& data, TBitmap& bitmap, TIOParamsVals& params)
{
    TMemoryStream ms(data);
    TProgressRec progress;
    ReadJPEGStream(ms, bitmap, params, progress);
}

// PIL's view of a file: mode, size, progressive flag, density, JFIF unit and the
// quantisation tables (zig-zag order), one field a line.
const char* kPilInfo = R"(
import sys
from PIL import Image
im = Image.open(sys.argv[1]); im.load()
print(im.mode); print(im.width, im.height)
print(1 if im.info.get('progressive') or im.info.get('progression') else 0)
d = im.info.get('dpi', (0, 0)); print(int(round(d[0])), int(round(d[1])))
print(im.info.get('jfif_unit', -1))
for k in sorted(im.quantization): print(' '.join(str(v) for v in im.quantization[k]))
)";

QStringList pilInfo(const QString& path)
{
    QByteArray out, err;
    if (Python(QString::fromLatin1(kPilInfo), {path}, &out, &err) != 0) {
        ADD_FAILURE() << err.toStdString();
        return {};
    }
    return QString::fromLatin1(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

// Quality, progressive flag and density as PIL reads them; the quantisation tables
// equal those cjpeg makes for the same quality (baseline tables, as we force them).
TEST(JpegWrite, PilSeesQualityProgressiveAndDensity)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("cjpeg"), QStringLiteral("djpeg"));
    const QString dir = TempDir();
    const QImage photo = PhotoLike(97, 61);
    WritePPM(photo, dir + QStringLiteral("/in.ppm"));
    for (int quality : {20, 75, 95}) {
        for (int progressive : {0, 1}) {
            SCOPED_TRACE(quality * 10 + progressive);
            TBitmap bmp;
            ToBitmap(photo, bmp);
            TIOParamsVals params;
            params.JpegQuality = quality;
            params.JpegProgressive = uint8_t(progressive);
            params.DpiX = 300;
            params.DpiY = 150;
            const QString ours = dir + QStringLiteral("/ours.jpg");
            WriteBytes(ours, writeJpeg(bmp, params));
            const QString theirs = dir + QStringLiteral("/theirs.jpg");
            ASSERT_EQ(RunTool(QStringLiteral("cjpeg"),
                              {QStringLiteral("-baseline"), QStringLiteral("-quality"), QString::number(quality),
                               QStringLiteral("-outfile"), theirs, dir + QStringLiteral("/in.ppm")}),
                      0);
            const QStringList a = pilInfo(ours), b = pilInfo(theirs);
            ASSERT_GE(a.size(), 7);
            ASSERT_GE(b.size(), 7);
            EXPECT_EQ(a[0], QStringLiteral("RGB"));
            EXPECT_EQ(a[1], QStringLiteral("97 61"));
            EXPECT_EQ(a[2], QString::number(progressive));
            EXPECT_EQ(a[3], QStringLiteral("300 150"));
            EXPECT_EQ(a[4], QStringLiteral("1"));
            EXPECT_EQ(a.mid(5), b.mid(5));  // the quantisation tables
            // And djpeg decodes it.
            QByteArray ppm;
            EXPECT_EQ(RunTool(QStringLiteral("djpeg"), {ours}, &ppm), 0);
            EXPECT_TRUE(ppm.startsWith("P6\n97 61\n255\n"));
        }
    }
}

TEST(JpegWrite, ColourSpacesRoundTrip)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QString dir = TempDir();
    const QImage photo = PhotoLike(40, 24);
    struct Case {
        int colorSpace;
        const char* pilMode;
        int tolerance;
    };
    // Grey is compared with PIL's grey of our file; colours with the source.
    for (const Case c :
         {Case{0, "RGB", 12}, Case{1, "L", 0}, Case{2, "RGB", 24}, Case{3, "CMYK", 14}, Case{4, "CMYK", 14}}) {
        SCOPED_TRACE(c.colorSpace);
        TBitmap bmp;
        ToBitmap(photo, bmp);
        const QByteArray before = BitmapRGB(bmp);
        TIOParamsVals params;
        params.JpegColorSpace = uint8_t(c.colorSpace);
        params.JpegQuality = 95;
        const QByteArray data = writeJpeg(bmp, params);
        EXPECT_EQ(BitmapRGB(bmp), before);  // the source is not touched
        const QString path = dir + QStringLiteral("/cs%1.jpg").arg(c.colorSpace);
        WriteBytes(path, data);
        const QStringList info = pilInfo(path);
        ASSERT_FALSE(info.isEmpty());
        EXPECT_EQ(info[0], QString::fromLatin1(c.pilMode));

        TBitmap back;
        TIOParamsVals readParams;
        ASSERT_NO_THROW(readJpeg(data, back, readParams));
        EXPECT_EQ(readParams.JpegColorSpace, c.colorSpace);
        if (c.colorSpace == 1) {
            QByteArray grey;
            ASSERT_EQ(Python(QStringLiteral(
                                 "import sys\nfrom PIL import Image\n"
                                 "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert('RGB').tobytes())"),
                             {path}, &grey),
                      0);
            EXPECT_EQ(MaxChannelDiff(BitmapRGB(back), grey), 0);
        } else {
            EXPECT_LE(MaxChannelDiff(BitmapRGB(back), before), c.tolerance);
        }
    }
}

TEST(JpegWrite, OneBitBitmapSavesBlackAndWhiteAndStaysOneBit)
{
    TBitmap mono(19, 7, pf1bit);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 19; ++x)
            if ((x / 4 + y) % 2)
                mono.ScanLine(y)[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
    const QByteArray before = BitmapRGB(mono);
    TIOParamsVals params;
    params.JpegQuality = 100;
    const QByteArray data = writeJpeg(mono, params);
    EXPECT_EQ(mono.PixelFormat(), pf1bit);
    EXPECT_EQ(BitmapRGB(mono), before);
    TBitmap back;
    readJpeg(data, back, params);
    EXPECT_EQ(back.PixelFormat(), pf24bit);
    // Edges ring a little even at quality 100; flat cells are black or white.
    EXPECT_LE(MaxChannelDiff(BitmapRGB(back), before), 64);
}

TEST(JpegWrite, OptionsChangeTheCodingButNotThePicture)
{
    const QImage photo = PhotoLike(64, 48);
    TBitmap bmp;
    ToBitmap(photo, bmp);
    TIOParamsVals base;
    base.JpegQuality = 90;
    const QByteArray plain = writeJpeg(bmp, base);
    TIOParamsVals optimal;
    optimal.JpegQuality = 90;
    optimal.JpegOptimalHuffman = 1;
    const QByteArray smaller = writeJpeg(bmp, optimal);
    EXPECT_LT(smaller.size(), plain.size());
    TBitmap a, b;
    TIOParamsVals p;
    readJpeg(plain, a, p);
    readJpeg(smaller, b, p);
    EXPECT_EQ(BitmapRGB(a), BitmapRGB(b));  // Huffman coding is lossless

    for (int method : {1, 2}) {
        TIOParamsVals dct;
        dct.JpegQuality = 90;
        dct.JpegDctMethod = uint8_t(method);
        TBitmap c;
        readJpeg(writeJpeg(bmp, dct), c, p);
        EXPECT_LE(MaxChannelDiff(BitmapRGB(c), BitmapRGB(a)), 12);
    }
    TIOParamsVals smooth;
    smooth.JpegQuality = 90;
    smooth.JpegSmoothing = 100;
    EXPECT_NE(writeJpeg(bmp, smooth), plain);
}

namespace {

// Our file with its JFIF density fields replaced (unit at byte 13, densities at 14
// and 16, big-endian).
QByteArray withDensity(int unit, int x, int y)
{
    TBitmap bmp(8, 8);
    TIOParamsVals params;
    QByteArray data = writeJpeg(bmp, params);
    EXPECT_EQ(data.mid(6, 5), QByteArray("JFIF\0", 5));
    data[13] = char(unit);
    data[14] = char(x >> 8);
    data[15] = char(x & 255);
    data[16] = char(y >> 8);
    data[17] = char(y & 255);
    return data;
}

}  // namespace

TEST(JpegRead, DensityBecomesDotsPerInch)
{
    TBitmap bmp;
    TIOParamsVals p;
    readJpeg(withDensity(1, 300, 72), bmp, p);
    EXPECT_EQ(p.DpiX, 300);
    EXPECT_EQ(p.DpiY, 72);
    readJpeg(withDensity(2, 118, 40), bmp, p);
    EXPECT_EQ(p.DpiX, 299);  // Trunc(118 × 2.54)
    EXPECT_EQ(p.DpiY, 101);
    // Unit 0 is an aspect ratio only: the screen's resolution, not 1 dpi.
    readJpeg(withDensity(0, 1, 1), bmp, p);
    EXPECT_EQ(p.DpiX, ScreenDpiX());
    EXPECT_EQ(p.DpiY, ScreenDpiY());
    readJpeg(withDensity(1, 0, 0), bmp, p);
    EXPECT_EQ(p.DpiX, ScreenDpiX());
}

// Images follow each other in one stream: after a clean read the stream stands right
// behind the end-of-image marker.
TEST(JpegStream, ConsecutiveImagesInOneStream)
{
    TBitmap a, b;
    ToBitmap(PhotoLike(30, 20, 1), a);
    ToBitmap(PhotoLike(17, 41, 2), b);
    TIOParamsVals params;
    TMemoryStream ms;
    TProgressRec progress;
    WriteJPEGStream(ms, a, params, progress);
    const int64_t firstEnd = ms.Position();
    WriteJPEGStream(ms, b, params, progress);
    ms.WriteU32(0xDEADBEEF);
    ms.SetPosition(0);
    TBitmap r;
    ReadJPEGStream(ms, r, params, progress);
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(ms.Position(), firstEnd);
    ReadJPEGStream(ms, r, params, progress);
    EXPECT_EQ(r.Width(), 17);
    EXPECT_EQ(r.Height(), 41);
    EXPECT_EQ(ms.ReadU32(), 0xDEADBEEFu);
}

TEST(JpegProgress, ReportsEveryRowUpToHundredAndAborts)
{
    TBitmap bmp;
    ToBitmap(PhotoLike(20, 30), bmp);
    TIOParamsVals params;
    params.JpegQuality = 100;
    std::vector<int> seen;
    bool abortFlag = false;
    TProgressRec progress;
    progress.fOnProgress = [&](TObject*, int percent) { seen.push_back(percent); };
    progress.Aborting = &abortFlag;
    TMemoryStream ms;
    WriteJPEGStream(ms, bmp, params, progress);
    ASSERT_EQ(seen.size(), 30u);
    EXPECT_EQ(seen.front(), 3);  // Trunc(1 × 100 / 30)
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    const QByteArray complete = ms.Bytes();
    EXPECT_TRUE(complete.endsWith("\xFF\xD9"));

    // Abort while reading after ten rows: the rest stays white.
    seen.clear();
    progress.fOnProgress = [&](TObject*, int percent) {
        seen.push_back(percent);
        if (seen.size() == 10)
            abortFlag = true;
    };
    TBitmap back;
    TMemoryStream in(complete);
    ReadJPEGStream(in, back, params, progress);
    EXPECT_EQ(seen.size(), 10u);
    ASSERT_EQ(back.Height(), 30);
    const QByteArray rgb = BitmapRGB(back);
    EXPECT_NE(rgb.mid(9 * 20 * 3, 60), QByteArray(60, char(255)));
    EXPECT_EQ(rgb.mid(10 * 20 * 3), QByteArray(20 * 20 * 3, char(255)));

    // An aborted save leaves no end-of-image marker.
    abortFlag = false;
    seen.clear();
    TMemoryStream out;
    WriteJPEGStream(out, bmp, params, progress);
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_FALSE(out.Bytes().endsWith("\xFF\xD9"));
}
