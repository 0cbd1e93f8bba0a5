// Reading JPEG files made by other programs (Go's sample set, PIL, ImageMagick, cjpeg),
// compared with what PIL decodes from the same bytes; hostile and truncated input.

#include "../png/codec_oracle.h"
#include "common/test_support.h"
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/proc/resample.h"
#include "platform/core/rounding.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <jpeglib.h>

using namespace codectest;

namespace {

const char* kPilRgb = R"(
import sys
from PIL import Image
im = Image.open(sys.argv[1]); im.load()
rgb = im.convert('RGB')
prog = 1 if im.info.get('progressive') or im.info.get('progression') else 0
sys.stdout.buffer.write(b'%d %d %s %d\n' % (rgb.width, rgb.height, im.mode.encode(), prog))
sys.stdout.buffer.write(rgb.tobytes())
)";

struct PilImage {
    int width = 0, height = 0;
    QString mode;
    int progressive = -1;
    QByteArray rgb;
};

PilImage pilDecode(const QString& path)
{
    PilImage p;
    QByteArray out;
    if (Python(QString::fromLatin1(kPilRgb), {path}, &out) != 0)
        return p;
    const qsizetype nl = out.indexOf('\n');
    const QList<QByteArray> head = out.left(nl).split(' ');
    if (head.size() != 4)
        return p;
    p.progressive = head[3].toInt();
    p.width = head[0].toInt();
    p.height = head[1].toInt();
    p.mode = QString::fromLatin1(head[2]);
    p.rgb = out.mid(nl + 1);
    return p;
}

void readJpeg(const QByteArray& data, TBitmap& bitmap, TIOParamsVals& params)
{
    TMemoryStream ms(data);
    TProgressRec progress;
    ReadJPEGStream(ms, bitmap, params, progress);
}

QString goJpeg(const QString& name) { return GoImageTestdata() + QLatin1Char('/') + name; }

}  // namespace

// Every JPEG of Go's image sample set (baseline and progressive, 4:4:4, 4:2:2,
// 4:2:0, 4:4:0, 4:1:1, 4:1:0, grey, RGB, CMYK) decodes to PIL's pixels.
TEST(JpegRead, GoSamplesMatchPil)
{
    const QString dir = GoImageTestdata();
    REQUIRE_TOOLS(dir, QStringLiteral("python3:PIL"));
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.jpeg")}, QDir::Files, QDir::Name);
    int checked = 0;
    for (const QString& name : files) {
        if (name.contains(QLatin1String("truncated")))
            continue;
        SCOPED_TRACE(name.toStdString());
        const QString path = dir + QLatin1Char('/') + name;
        const PilImage pil = pilDecode(path);
        ASSERT_GT(pil.width, 0);
        TBitmap bmp;
        TIOParamsVals params;
        params.JpegColorSpace = 99;
        ASSERT_NO_THROW(readJpeg(FileBytes(path), bmp, params));
        EXPECT_EQ(bmp.PixelFormat(), pf24bit);
        ASSERT_EQ(bmp.Width(), pil.width);
        ASSERT_EQ(bmp.Height(), pil.height);
        EXPECT_EQ(params.Width, pil.width);
        EXPECT_EQ(params.Height, pil.height);
        EXPECT_EQ(params.BitsPerSample, 8);
        EXPECT_EQ(params.SamplesPerPixel, 3);
        EXPECT_EQ(params.JpegProgressive, pil.progressive);
        const bool cmyk = pil.mode == QLatin1String("CMYK");
        if (cmyk)
            EXPECT_EQ(params.JpegColorSpace, 3);
        else if (pil.mode == QLatin1String("L"))
            EXPECT_EQ(params.JpegColorSpace, 1);
        else if (name.contains(QLatin1String(".rgb.")))
            EXPECT_EQ(params.JpegColorSpace, 0);
        else
            EXPECT_EQ(params.JpegColorSpace, 2);
        // Same library, same DCT and upsampling: identical pixels; CMYK differs only
        // by PIL rounding its product where we truncate.
        EXPECT_LE(MaxChannelDiff(BitmapRGB(bmp), pil.rgb), cmyk ? 1 : 0);
        ++checked;
    }
    EXPECT_EQ(checked, files.size() - 1);  // all but the truncated one
}

// Colour spaces written by other tools: grey by PIL, RGB by cjpeg, inverted (Adobe)
// CMYK by ImageMagick, which stores it as YCCK.
TEST(JpegRead, ColourSpacesFromOtherTools)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("cjpeg"), QStringLiteral("convert"));
    const QString dir = TempDir();
    const QImage photo = PhotoLike(61, 37);
    const QString ppm = dir + QStringLiteral("/in.ppm");
    WritePPM(photo, ppm);

    struct Case {
        QString file;
        QString tool;
        QStringList args;
        int colorSpace;
    };
    std::vector<Case> cases;
    cases.push_back({dir + QStringLiteral("/grey.jpg"),
                     QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys\nfrom PIL import Image\n"
                                     "Image.open(sys.argv[1]).convert('L').save(sys.argv[2], quality=90)"),
                      ppm, dir + QStringLiteral("/grey.jpg")},
                     1});
    cases.push_back({dir + QStringLiteral("/rgb.jpg"),
                     QStringLiteral("cjpeg"),
                     {QStringLiteral("-rgb"), QStringLiteral("-quality"), QStringLiteral("90"),
                      QStringLiteral("-outfile"), dir + QStringLiteral("/rgb.jpg"), ppm},
                     0});
    cases.push_back({dir + QStringLiteral("/cmyk.jpg"),
                     QStringLiteral("convert"),
                     {ppm, QStringLiteral("-colorspace"), QStringLiteral("CMYK"), dir + QStringLiteral("/cmyk.jpg")},
                     4});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        ASSERT_EQ(RunTool(c.tool, c.args), 0);
        const PilImage pil = pilDecode(c.file);
        TBitmap bmp;
        TIOParamsVals params;
        ASSERT_NO_THROW(readJpeg(FileBytes(c.file), bmp, params));
        EXPECT_EQ(params.JpegColorSpace, c.colorSpace);
        EXPECT_LE(MaxChannelDiff(BitmapRGB(bmp), pil.rgb), c.colorSpace >= 3 ? 1 : 0);
    }
}

TEST(JpegRead, CmykConversionUsesInvertedInk)
{
    // Hand-computed: no ink at all is white, full black ink (k byte 0) is black.
    const uint8_t cmyk[] = {255, 255, 255, 255, 255, 255, 255, 0, 255, 128, 0, 200, 10, 20, 30, 255};
    uint8_t bgr[12];
    CMYKToBGR(cmyk, bgr, 4);
    const uint8_t expected[] = {255, 255, 255, 0, 0, 0, 0, 100, 200, 30, 20, 10};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(bgr[i], expected[i]) << i;

    // red 200, green 100, blue 0: k = 200, c = 255, m = 127, y = 0.
    const uint8_t pixels[] = {0, 100, 200, 0, 0, 0, 255, 255, 255};
    uint8_t out[12];
    BGRToCMYK(pixels, out, 3);
    const uint8_t expectedCmyk[] = {255, 127, 0, 200, 0, 0, 0, 1, 255, 255, 255, 255};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(out[i], expectedCmyk[i]) << i;
}

// Cuts of a baseline and a progressive file at many places: each gives a clean error
// or an image of the full size, never a crash (the sanitizers watch).
TEST(JpegRead, TruncatedFilesFailCleanlyOrGivePartialImages)
{
    const QStringList sources{goJpeg(QStringLiteral("video-001.jpeg")),
                              goJpeg(QStringLiteral("video-001.progressive.jpeg")),
                              goJpeg(QStringLiteral("video-001.progressive.truncated.jpeg"))};
    REQUIRE_TOOLS(sources);
    for (const QString& path : sources) {
        const QByteArray whole = FileBytes(path);
        ASSERT_FALSE(whole.isEmpty()) << path.toStdString();
        int errors = 0, partial = 0;
        for (qsizetype cut = 0; cut < whole.size(); cut += std::max<qsizetype>(1, whole.size() / 97)) {
            TBitmap bmp(3, 2);
            TIOParamsVals params;
            try {
                readJpeg(whole.left(cut), bmp, params);
                EXPECT_EQ(bmp.Width(), 150);
                EXPECT_EQ(bmp.Height(), 103);
                ++partial;
            } catch (const EInvalidGraphic&) {
                // A refused file leaves the bitmap as it was.
                EXPECT_EQ(bmp.Width(), 3);
                EXPECT_EQ(bmp.Height(), 2);
                ++errors;
            }
        }
        EXPECT_GT(errors, 0);
        EXPECT_GT(partial, 0);
    }
}

TEST(JpegRead, EmptyAndForeignInputIsRefused)
{
    TBitmap bmp(4, 4);
    TIOParamsVals params;
    try {
        readJpeg(QByteArray(), bmp, params);
        FAIL() << "empty input accepted";
    } catch (const EInvalidGraphic& e) {
        // The library's own words for the error.
        EXPECT_EQ(e.Message(), QStringLiteral("Unrecognized JPeg - Empty input file"));
    }
    try {
        readJpeg(QByteArray("\x89PNG\r\n\x1a\n0000000000000000", 24), bmp, params);
        FAIL() << "foreign input accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unrecognized JPeg - Not a JPEG file: starts with 0x89 0x50"));
    }
    EXPECT_EQ(bmp.Width(), 4);

    const QString fail = PixbufTestImages() + QStringLiteral("/fail");
    REQUIRE_TOOLS(fail);
    const QStringList failing = QDir(fail).entryList({QStringLiteral("*.jpg")});
    EXPECT_FALSE(failing.isEmpty());
    for (const QString& name : failing) {
        SCOPED_TRACE(name.toStdString());
        TBitmap b(5, 5);
        try {
            readJpeg(FileBytes(fail + QLatin1Char('/') + name), b, params);
        } catch (const EInvalidGraphic&) {
            EXPECT_EQ(b.Width(), 5);
        }
    }
}

namespace {

// Writes a JPEG of `components` samples a pixel in an unnamed colour space through
// the library directly (as some scanners and medical tools do).
QByteArray unknownComponentJpeg(int components, int width, int height)
{
    jpeg_compress_struct ci;
    jpeg_error_mgr err;
    ci.err = jpeg_std_error(&err);
    jpeg_create_compress(&ci);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&ci, &mem, &size);
    ci.image_width = JDIMENSION(width);
    ci.image_height = JDIMENSION(height);
    ci.input_components = components;
    ci.in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(&ci);
    jpeg_set_colorspace(&ci, JCS_UNKNOWN);
    jpeg_start_compress(&ci, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * components, 77);
    for (int y = 0; y < height; ++y) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&ci, &r, 1);
    }
    jpeg_finish_compress(&ci);
    jpeg_destroy_compress(&ci);
    QByteArray out(reinterpret_cast<const char*>(mem), qsizetype(size));
    free(mem);
    return out;
}

}  // namespace

TEST(JpegRead, UnhandledComponentCountsAreRefused)
{
    for (int components : {2, 4}) {
        SCOPED_TRACE(components);
        TBitmap bmp(2, 2);
        TIOParamsVals params;
        params.JpegColorSpace = 2;
        const QByteArray data = unknownComponentJpeg(components, 33, 9);
        if (components == 4) {
            // Four components without an Adobe marker are CMYK to the library.
            EXPECT_NO_THROW(readJpeg(data, bmp, params));
            EXPECT_EQ(params.JpegColorSpace, 3);
            continue;
        }
        EXPECT_THROW(readJpeg(data, bmp, params), EInvalidGraphic);
        EXPECT_EQ(bmp.Width(), 2);
        EXPECT_EQ(params.JpegColorSpace, 2);
    }
}

TEST(JpegRead, HugeDeclaredSizeWithoutDataIsRefused)
{
    // A valid 16 × 16 file whose frame header claims 60000 × 60000.
    QByteArray data = unknownComponentJpeg(1, 16, 16);
    const qsizetype sof = data.indexOf("\xFF\xC0", 0);
    ASSERT_GT(sof, 0);
    data[sof + 5] = char(0xEA);
    data[sof + 6] = char(0x60);
    data[sof + 7] = char(0xEA);
    data[sof + 8] = char(0x60);
    TBitmap bmp(2, 2);
    TIOParamsVals params;
    EXPECT_THROW(readJpeg(data, bmp, params), EInvalidGraphic);
    EXPECT_EQ(bmp.Width(), 2);
}

namespace {

// A photograph stand-in: smooth light, hard edges and fine grain.
TBitmap photoLike(int w, int h, unsigned seed)
{
    TBitmap b(w, h, pf24bit);
    uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = int(state >> 28) - 8;
            const bool disc = (x - w / 3) * (x - w / 3) + (y - h / 2) * (y - h / 2) < (h / 4) * (h / 4);
            const int stripe = ((x + int(seed) * 7) / 23 % 2) ? 40 : 0;
            p[3 * x] = uint8_t(std::clamp(x * 255 / w + grain, 0, 255));
            p[3 * x + 1] = uint8_t(std::clamp((disc ? 200 : y * 255 / h) + grain, 0, 255));
            p[3 * x + 2] = uint8_t(std::clamp(60 + stripe + grain + int(seed) * 9, 0, 255));
        }
    }
    return b;
}

// A catalog-style thumbnail of a w × h picture (which src may hold reduced): the
// longer side becomes `side`.
TBitmap thumbOf(const TBitmap& src, int w, int h, int side)
{
    TBitmap t(h < w ? side : std::max(1, Round(double(w) * side / h)),
              h < w ? std::max(1, Round(double(h) * side / w)) : side, pf24bit);
    ResampleBitmap(src, t, rfTriangle);
    return t;
}

}  // namespace

// Decoding at a reduced DCT scale keeps the declared size in the parameters, decodes
// no less than asked, and gives thumbnails (from four times their size, as the catalog
// asks) within a mean difference of 2 of the full decode's; the setting outlives a
// parameter reset.
TEST(JpegRead, ReducedDecodeGivesTheSameThumbnail)
{
    struct Case {
        int w, h, minLongSide, thumb;
    } const cases[] = {{1601, 1203, 400, 100}, {1203, 1601, 400, 100}, {3001, 401, 400, 100},
                       {641, 479, 400, 100},   {4032, 3024, 400, 100}, {451, 190, 400, 100},
                       {150, 97, 400, 100},    {2048, 1536, 240, 60},  {999, 999, 800, 200}};
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " min " << c.minLongSide);
        TBitmap photo = photoLike(c.w, c.h, seed++);
        TIOParamsVals wp;
        wp.JpegQuality = 90;
        TMemoryStream out;
        TProgressRec progress;
        WriteJPEGStream(out, photo, wp, progress);
        const QByteArray data = out.Bytes();

        TBitmap full, reduced;
        TIOParamsVals fp, rp;
        readJpeg(data, full, fp);
        rp.JpegMinLongSide = c.minLongSide;
        rp.SetDefaultParams();
        readJpeg(data, reduced, rp);
        EXPECT_EQ(rp.JpegMinLongSide, c.minLongSide);
        EXPECT_EQ(rp.Width, c.w);
        EXPECT_EQ(rp.Height, c.h);
        const int longSide = std::max(reduced.Width(), reduced.Height());
        EXPECT_GE(longSide, std::min(c.minLongSide, std::max(c.w, c.h)));
        // n/8 of the declared size, rounded up: the smallest n that reaches the minimum.
        int n = 1;
        while (n < 8 && (std::max(c.w, c.h) * n + 7) / 8 < c.minLongSide)
            ++n;
        EXPECT_EQ(reduced.Width(), (c.w * n + 7) / 8);
        EXPECT_EQ(reduced.Height(), (c.h * n + 7) / 8);

        const TBitmap a = thumbOf(full, c.w, c.h, c.thumb), b = thumbOf(reduced, c.w, c.h, c.thumb);
        ASSERT_EQ(a.Width(), b.Width());
        ASSERT_EQ(a.Height(), b.Height());
        int64_t sum = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < 3 * a.Width(); ++x)
                sum += std::abs(int(a.ScanLine(y)[x]) - int(b.ScanLine(y)[x]));
        EXPECT_LE(double(sum) / (3.0 * a.Width() * a.Height()), 2.0);
    }
}
