// Reading BMP files made by other programs, compared pixel by pixel with the picture
// they were made from.

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

struct Loaded {
    TBitmap bitmap;
    int bmpVersion = -1;
    int bitsPerSample = 0;
    int samplesPerPixel = 0;
    int colorMapCount = 0;
};

Loaded readBmp(const QString& path)
{
    Loaded l;
    TFileStream fs(path, fmOpenRead);
    TIOParamsVals params;
    TProgressRec progress;
    ReadBMPStream(fs, l.bitmap, fs.Size(), progress, params);
    l.bmpVersion = params.BmpVersion;
    l.bitsPerSample = params.BitsPerSample;
    l.samplesPerPixel = params.SamplesPerPixel;
    l.colorMapCount = params.ColorMapCount;
    return l;
}

int fileDepth(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray b = f.read(64);
    if (b.size() < 30)
        return -1;
    const auto* p = reinterpret_cast<const uchar*>(b.constData());
    const int hs = p[14] | (p[15] << 8);
    return hs == 12 ? (p[24] | (p[25] << 8)) : (p[28] | (p[29] << 8));
}

int fileHeaderSize(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray b = f.read(18);
    return b.size() < 18 ? -1 : (uchar(b[14]) | (uchar(b[15]) << 8));
}

int fileCompression(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray b = f.read(34);
    return b.size() < 34 ? -1 : uchar(b[30]);
}

struct MagickCase {
    const char* name;
    QStringList options;  // between input and output
    const char* prefix;   // output format prefix
    int colors;
    int depth;
    int headerSize;
    int compression;
};

const int kWidths[] = {1, 7, 13, 97};
const int kHeight = 11;

}  // namespace

TEST(BmpReadOracle, ImageMagickVariantsReadPixelExact)
{
    REQUIRE_TOOLS(QStringLiteral("convert"), QStringLiteral("python3:PIL"));
    const QString dir = TempDir();
    const MagickCase cases[] = {
        {"os2-1bit", {"-type", "Bilevel"}, "bmp2:", 2, 1, 12, 0},
        {"os2-4bit", {"-type", "Palette"}, "bmp2:", 16, 4, 12, 0},
        {"os2-8bit", {"-type", "Palette"}, "bmp2:", 200, 8, 12, 0},
        {"os2-24bit", {"-type", "TrueColor"}, "bmp2:", 1000, 24, 12, 0},
        {"win3-1bit", {"-type", "Bilevel"}, "bmp3:", 2, 1, 40, 0},
        {"win3-4bit", {"-type", "Palette", "-compress", "None"}, "bmp3:", 11, 4, 40, 0},
        {"win3-8bit", {"-type", "Palette", "-compress", "None"}, "bmp3:", 250, 8, 40, 0},
        {"win3-8bit-rle", {"-type", "Palette", "-compress", "RLE"}, "bmp3:", 40, 8, 40, 1},
        {"win3-24bit", {"-type", "TrueColor"}, "bmp3:", 5000, 24, 40, 0},
        {"v5-8bit-rle", {"-type", "Palette"}, "bmp:", 100, 8, 124, 1},
        {"v5-24bit", {"-type", "TrueColor"}, "bmp:", 5000, 24, 124, 0},
        {"v5-32bit", {"-type", "TrueColorAlpha"}, "bmp:", 5000, 32, 124, 3},
        {"v5-16bit-555", {"-define", "bmp:subtype=RGB555"}, "bmp:", 5000, 16, 124, 3},
        {"v5-16bit-565", {"-define", "bmp:subtype=RGB565"}, "bmp:", 5000, 16, 124, 3},
    };
    for (const MagickCase& c : cases) {
        for (int w : kWidths) {
            SCOPED_TRACE(QStringLiteral("%1 width %2").arg(QLatin1String(c.name)).arg(w).toStdString());
            // tall enough that a palette picture holds all its colours
            const int h = c.depth <= 8 ? std::max(kHeight, (c.colors + w - 1) / w) : kHeight;
            const QImage src = Pattern(w, h, c.colors, uint32_t(w * 31 + c.depth));
            const QString ppm = dir + QStringLiteral("/%1-%2.ppm").arg(QLatin1String(c.name)).arg(w);
            const QString bmp = dir + QStringLiteral("/%1-%2.bmp").arg(QLatin1String(c.name)).arg(w);
            WritePPM(src, ppm);
            QStringList args{ppm};
            args += c.options;
            args << QLatin1String(c.prefix) + bmp;
            ASSERT_EQ(RunTool(QStringLiteral("convert"), args), 0);
            ASSERT_EQ(fileHeaderSize(bmp), c.headerSize);
            // ImageMagick picks the palette size itself; it must be the one we meant.
            ASSERT_EQ(fileDepth(bmp), c.depth);
            if (c.headerSize != 12) {
                ASSERT_EQ(fileCompression(bmp), c.compression);
            }
            const Loaded l = readBmp(bmp);
            EXPECT_EQ(l.bmpVersion, c.headerSize == 12 ? 2 : c.headerSize == 40 ? 1 : 0);
            // ImageMagick may merge close palette colours (PIL reads what it wrote) and
            // rounds to 5 or 6 bits, widening them back by bit replication as we do (its
            // own reading is the reference there).
            const QByteArray expected = c.depth == 16 ? MagickRGB(bmp) : c.depth <= 8 ? PilRGB(bmp) : ImageRGB(src);
            const QByteArray got = BitmapRGB(l.bitmap);
            if (c.depth == 16) {
                EXPECT_EQ(l.bitsPerSample, 5);
            }
            if (c.depth < 8) {
                EXPECT_EQ(FirstDifference(expected, ImageRGB(src)), -1);
            }
            ASSERT_EQ(l.bitmap.Width(), w);
            ASSERT_EQ(l.bitmap.Height(), h);
            EXPECT_EQ(FirstDifference(got, expected), -1);
            if (c.depth == 1)
                EXPECT_EQ(l.bitmap.PixelFormat(), pf1bit);
            else
                EXPECT_EQ(l.bitmap.PixelFormat(), pf24bit);
        }
    }
}

TEST(BmpReadOracle, NetpbmOs2AndWindowsFilesReadPixelExact)
{
    REQUIRE_TOOLS(QStringLiteral("ppmtobmp"));
    const QString dir = TempDir();
    struct Case {
        int bpp;
        int colors;
    } cases[] = {{1, 2}, {4, 16}, {8, 199}, {24, 3000}};
    for (const char* kind : {"-os2", "-windows"}) {
        for (const Case& c : cases) {
            for (int w : kWidths) {
                SCOPED_TRACE(
                    QStringLiteral("%1 %2 bpp width %3").arg(QLatin1String(kind)).arg(c.bpp).arg(w).toStdString());
                const QImage src = Pattern(w, kHeight, c.colors, uint32_t(w + c.bpp));
                const QString ppm = dir + QStringLiteral("/n%1-%2.ppm").arg(c.bpp).arg(w);
                const QString bmp = dir + QStringLiteral("/n%1%2-%3.bmp").arg(QLatin1String(kind)).arg(c.bpp).arg(w);
                WritePPM(src, ppm);
                QByteArray out;
                ASSERT_EQ(RunTool(QStringLiteral("sh"),
                                  {QStringLiteral("-c"), QStringLiteral("ppmtobmp %1 -bpp %2 '%3' > '%4'")
                                                             .arg(QLatin1String(kind))
                                                             .arg(c.bpp)
                                                             .arg(ppm, bmp)}),
                          0);
                ASSERT_EQ(fileDepth(bmp), c.bpp);
                ASSERT_EQ(fileHeaderSize(bmp), QLatin1String(kind) == QLatin1String("-os2") ? 12 : 40);
                const Loaded l = readBmp(bmp);
                EXPECT_EQ(FirstDifference(BitmapRGB(l.bitmap), ImageRGB(src)), -1);
            }
        }
    }
}

TEST(BmpReadOracle, PilFilesReadPixelExact)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QString dir = TempDir();
    // mode, colours of the source, expected depth
    struct Case {
        const char* mode;
        int colors;
        int depth;
    } cases[] = {{"1", 2, 1}, {"P", 150, 8}, {"L", 256, 8}, {"RGB", 4000, 24}, {"RGBA", 4000, 32}};
    const QString code = QStringLiteral("import sys\nfrom PIL import Image\n"
                                        "im = Image.open(sys.argv[1]).convert('RGB')\n"
                                        "mode = sys.argv[3]\n"
                                        "if mode == 'P': im = im.quantize(256, dither=Image.Dither.NONE)\n"
                                        "elif mode == 'RGBA': im = im.convert('RGBA'); im.putalpha(200)\n"
                                        "else: im = im.convert(mode)\n"
                                        "im.save(sys.argv[2])\n"
                                        "open(sys.argv[4], 'wb').write(im.convert('RGB').tobytes())\n");
    for (const Case& c : cases) {
        for (int w : {1, 3, 7, 13, 29, 97}) {
            SCOPED_TRACE(QStringLiteral("%1 width %2").arg(QLatin1String(c.mode)).arg(w).toStdString());
            const QImage src = Pattern(w, 9, c.colors, uint32_t(w * 3));
            const QString ppm = dir + QStringLiteral("/p-%1.ppm").arg(w);
            const QString bmp = dir + QStringLiteral("/p%1-%2.bmp").arg(QLatin1String(c.mode)).arg(w);
            const QString raw = dir + QStringLiteral("/p%1-%2.rgb").arg(QLatin1String(c.mode)).arg(w);
            WritePPM(src, ppm);
            QByteArray err;
            ASSERT_EQ(Python(code, {ppm, bmp, QLatin1String(c.mode), raw}, nullptr, &err), 0) << err.constData();
            ASSERT_EQ(fileDepth(bmp), c.depth);
            QFile f(raw);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const Loaded l = readBmp(bmp);
            EXPECT_EQ(FirstDifference(BitmapRGB(l.bitmap), f.readAll()), -1);
        }
    }
}
