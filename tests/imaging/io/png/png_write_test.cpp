// Writing PNG: pngcheck accepts our output and PIL reads it back pixel for pixel;
// palette, 1-bit, interlace, filters, compression, pHYs and bKGD; abort.

#include "codec_oracle.h"
#include "common/test_support.h"
#include "imaging/io/io_params.h"
#include "imaging/io/png/png.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

QByteArray writePng(TBitmap& bitmap, TIOParamsVals& params)
{
    TMemoryStream ms;
    TProgressRec progress;
    WritePNGStream(ms, bitmap, params, progress);
    return ms.Bytes();
}

// PIL's reading: mode, size, dpi, background (raw bKGD as PIL or our parser sees it),
// palette length, then the RGB pixels in a side file.
const char* kPilRead = R"(
import sys, struct
from PIL import Image
im = Image.open(sys.argv[1]); im.load()
d = open(sys.argv[1], 'rb').read(); pos = 8; bk = ''; ihdr = None
while pos + 8 <= len(d):
    n, = struct.unpack('>I', d[pos:pos+4]); t = d[pos+4:pos+8]
    if t == b'bKGD': bk = d[pos+8:pos+8+n].hex()
    if t == b'IHDR': ihdr = d[pos+16:pos+18].hex()
    pos += 12 + n
print(im.mode); print(im.width, im.height)
dpi = im.info.get('dpi', (0, 0)); print(int(round(dpi[0])), int(round(dpi[1])))
print(bk if bk else '-'); print(ihdr)
print(len(im.getpalette()) // 3 if im.mode == 'P' else 0)
open(sys.argv[2], 'wb').write(im.convert('RGB').tobytes())
)";

struct PilResult {
    QStringList info;  // mode, size, dpi, bKGD hex, IHDR depth+type hex, palette length
    QByteArray rgb;
};

PilResult pilRead(const QByteArray& png)
{
    const QString dir = TempDir();
    const QString path = dir + QStringLiteral("/out.png");
    WriteBytes(path, png);
    PilResult r;
    QByteArray out, err;
    if (Python(QString::fromLatin1(kPilRead), {path, dir + QStringLiteral("/out.rgb")}, &out, &err) != 0) {
        ADD_FAILURE() << err.toStdString();
        return r;
    }
    r.info = QString::fromLatin1(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.rgb = FileBytes(dir + QStringLiteral("/out.rgb"));
    return r;
}

// pngcheck -v passes the file (callers require the tool).
void expectPngcheckOk(const QByteArray& png)
{
    const QString path = TempDir() + QStringLiteral("/check.png");
    WriteBytes(path, png);
    QByteArray out;
    EXPECT_EQ(RunTool(QStringLiteral("pngcheck"), {QStringLiteral("-v"), path}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("No errors detected")) << out.toStdString();
}

}  // namespace

// 24-bit RGB at odd and prime sizes, every filter choice, both interlace modes and
// the compression extremes: pngcheck agrees and PIL reads the same pixels.
TEST(PngWrite, RgbRoundTripsThroughPil)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("pngcheck"));
    const QImage photo = PhotoLike(37, 23);
    TBitmap bmp;
    ToBitmap(photo, bmp);
    const QByteArray expected = BitmapRGB(bmp);
    for (int filter : {0, 1, 2, 3}) {
        for (int interlaced : {0, 1}) {
            for (int level : {0, 9}) {
                SCOPED_TRACE(QStringLiteral("filter %1 interlaced %2 level %3")
                                 .arg(filter)
                                 .arg(interlaced)
                                 .arg(level)
                                 .toStdString());
                TIOParamsVals params;
                params.PngFilter = uint8_t(filter);
                params.PngInterlaced = uint8_t(interlaced);
                params.PngCompression = level;
                params.DpiX = 300;
                params.DpiY = 72;
                params.PngBackground = TIORGB{30, 20, 10};
                const QByteArray png = writePng(bmp, params);
                expectPngcheckOk(png);
                const PilResult r = pilRead(png);
                ASSERT_EQ(r.info.size(), 6);
                EXPECT_EQ(r.info[0], QStringLiteral("RGB"));
                EXPECT_EQ(r.info[1], QStringLiteral("37 23"));
                EXPECT_EQ(r.info[2], QStringLiteral("300 72"));
                EXPECT_EQ(r.info[3], QStringLiteral("000a0014001e"));  // bKGD at 8 bits
                EXPECT_EQ(r.info[4], QStringLiteral("0802"));
                EXPECT_EQ(r.rgb, expected);
            }
        }
    }
}

// SamplesPerPixel 1: a 256-entry palette even for three colours, the exact colours kept,
// bKGD the palette index of the background.
TEST(PngWrite, PaletteKeepsFewColoursExactly)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("pngcheck"));
    for (int colors : {3, 200}) {
        SCOPED_TRACE(colors);
        TBitmap bmp;
        ToBitmap(FewColors(29, 31, colors), bmp);
        TIOParamsVals params;
        params.SamplesPerPixel = 1;
        params.BitsPerSample = 8;
        params.PngBackground = TIORGB{90, 200, 13};  // the first colour of FewColors
        const QByteArray png = writePng(bmp, params);
        expectPngcheckOk(png);
        const PilResult r = pilRead(png);
        ASSERT_EQ(r.info.size(), 6);
        EXPECT_EQ(r.info[0], QStringLiteral("P"));
        EXPECT_EQ(r.info[4], QStringLiteral("0803"));
        EXPECT_EQ(r.info[5], QStringLiteral("256"));
        EXPECT_EQ(r.rgb, BitmapRGB(bmp));
        // Read back by us: palette image → 24-bit with the same pixels, 256 map entries.
        TBitmap back;
        TIOParamsVals readParams;
        TMemoryStream ms(png);
        TProgressRec progress;
        ReadPNGStream(ms, back, readParams, progress);
        EXPECT_EQ(BitmapRGB(back), BitmapRGB(bmp));
        EXPECT_EQ(readParams.ColorMapCount, 256);
        EXPECT_EQ(readParams.PngBackground, (TIORGB{90, 200, 13}));
    }
}

// BitsPerSample 1 writes 1-bit grey whatever SamplesPerPixel says; the bitmap of the
// caller is not changed.
TEST(PngWrite, OneBitIsGreyForAnySamplesPerPixel)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("pngcheck"));
    // Two colours: the darker becomes black.
    TBitmap two;
    ToBitmap(FewColors(13, 7, 2), two);
    const QByteArray before = BitmapRGB(two);
    for (int samples : {1, 3}) {
        SCOPED_TRACE(samples);
        TIOParamsVals params;
        params.BitsPerSample = 1;
        params.SamplesPerPixel = samples;
        const QByteArray png = writePng(two, params);
        EXPECT_EQ(two.PixelFormat(), pf24bit);
        EXPECT_EQ(BitmapRGB(two), before);
        expectPngcheckOk(png);
        const PilResult r = pilRead(png);
        ASSERT_EQ(r.info.size(), 6);
        EXPECT_EQ(r.info[0], QStringLiteral("1"));
        EXPECT_EQ(r.info[4], QStringLiteral("0100"));
        // FewColors' first colour (13, 200, 90) is darker than the second (110, 1, 121)?
        // Grey: 13·30+200·59+90·11 = 13180 vs 110·30+1·59+121·11 = 4690: the second is darker.
        for (int i = 0; i < 13 * 7; ++i) {
            const bool firstColour = uint8_t(before[3 * i + 1]) == 200;
            EXPECT_EQ(uint8_t(r.rgb[3 * i]), firstColour ? 255 : 0) << i;
        }
    }

    // A 1-bit bitmap is written as it is; a colourful one is dithered.
    TBitmap mono(23, 5, pf1bit);
    for (int x = 0; x < 23; x += 3)
        mono.ScanLine(2)[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
    TIOParamsVals params;
    params.BitsPerSample = 1;
    params.SamplesPerPixel = 3;
    const QByteArray png = writePng(mono, params);
    expectPngcheckOk(png);
    EXPECT_EQ(pilRead(png).rgb, BitmapRGB(mono));

    TBitmap photo;
    ToBitmap(PhotoLike(40, 20), photo);
    const QByteArray dithered = writePng(photo, params);
    expectPngcheckOk(dithered);
    const PilResult r = pilRead(dithered);
    ASSERT_EQ(r.info.size(), 6);
    EXPECT_EQ(r.info[4], QStringLiteral("0100"));
    EXPECT_EQ(photo.PixelFormat(), pf24bit);

    // A 1-bit bitmap saved with 8 bits goes out as RGB black and white.
    TIOParamsVals wide;
    const QByteArray rgb = writePng(mono, wide);
    const PilResult rr = pilRead(rgb);
    ASSERT_EQ(rr.info.size(), 6);
    EXPECT_EQ(rr.info[4], QStringLiteral("0802"));
    EXPECT_EQ(rr.rgb, BitmapRGB(mono));
}

TEST(PngWrite, OurOwnReaderGetsBackWhatWeWrote)
{
    TBitmap bmp;
    ToBitmap(PhotoLike(64, 3), bmp);
    TIOParamsVals params;
    params.DpiX = 150;
    params.DpiY = 600;
    params.PngInterlaced = 1;
    const QByteArray png = writePng(bmp, params);
    TBitmap back;
    TIOParamsVals r;
    TMemoryStream ms(png);
    TProgressRec progress;
    ReadPNGStream(ms, back, r, progress);
    EXPECT_EQ(BitmapRGB(back), BitmapRGB(bmp));
    EXPECT_EQ(r.DpiX, 150);
    EXPECT_EQ(r.DpiY, 600);
    EXPECT_EQ(r.PngInterlaced, 1);
    EXPECT_EQ(r.BitsPerSample, 8);
    EXPECT_EQ(r.SamplesPerPixel, 3);
    EXPECT_EQ(ms.Position(), ms.Size());
}

TEST(PngWrite, AbortLeavesNoEnd)
{
    TBitmap bmp;
    ToBitmap(PhotoLike(16, 40), bmp);
    TIOParamsVals params;
    bool abortFlag = false;
    int reports = 0;
    TProgressRec progress;
    progress.Aborting = &abortFlag;
    progress.fOnProgress = [&](TObject*, int) { abortFlag = ++reports == 8; };
    TMemoryStream ms;
    WritePNGStream(ms, bmp, params, progress);
    EXPECT_EQ(reports, 8);
    EXPECT_FALSE(ms.Bytes().contains("IEND"));

    abortFlag = false;
    reports = 0;
    progress.fOnProgress = [&](TObject*, int) { ++reports; };
    TMemoryStream whole;
    WritePNGStream(whole, bmp, params, progress);
    EXPECT_EQ(reports, 40);
    EXPECT_TRUE(whole.Bytes().contains("IEND"));
}
