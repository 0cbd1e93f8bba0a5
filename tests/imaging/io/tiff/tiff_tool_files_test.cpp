// TIFF files made by libtiff's tools, ImageMagick and PIL, read by our reader and
// compared pixel by pixel with what ImageMagick or PIL read from the same file.

#include "../io_oracle.h"
#include "common/test_support.h"
#include "imaging/io/io_params.h"
#include "platform/graphics/bitmap.h"
#include "imaging/io/tiff/tiff_test_lzw.h"
#include "tiff_support.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace iotest;
using namespace tifftest;

namespace {

QString tmp(const QString& name) { return QDir(TempDir()).filePath(name); }

// A bilevel base file (uncompressed, black-is-zero as ImageMagick writes PBMs) and an
// RGB one, each converted by tiffcp.
QString baseFile(bool bilevel)
{
    const QString path = tmp(bilevel ? QStringLiteral("base1.tif") : QStringLiteral("base24.tif"));
    if (QFile::exists(path))
        return path;
    const QString src = tmp(bilevel ? QStringLiteral("base.pbm") : QStringLiteral("base.ppm"));
    if (bilevel)
        WritePBM(BilevelPattern(1003, 41, 7), src);
    else
        WritePPM(Pattern(61, 23, 5000, 3), src);
    RunTool(QStringLiteral("convert"), {src, QStringLiteral("-compress"), QStringLiteral("none"), path});
    return path;
}

struct TiffcpCase {
    bool bilevel;
    QStringList args;
};

TEST(TiffToolFiles, TiffcpConversionsReadLikeImageMagick)
{
    for (const char* t : {"tiffcp", "convert"})
        if (!HaveTool(QLatin1String(t)))
            GTEST_SKIP() << "missing tool: " << t;
    const QStringList order[] = {{QStringLiteral("-B")}, {QStringLiteral("-L")}};
    const QStringList codings[] = {{"-c", "none"},
                                   {"-c", "packbits"},
                                   {"-c", "g3"},
                                   {"-c", "g3:2d"},
                                   {"-c", "g3:2d:fill"},
                                   {"-c", "g4"},
                                   {"-c", "g3:fill"},
                                   {"-c", "g4", "-f", "lsb2msb"},
                                   {"-c", "none", "-f", "lsb2msb"},
                                   {"-c", "packbits", "-f", "lsb2msb"}};
    std::vector<TiffcpCase> cases;
    for (const QStringList& c : codings)
        for (const QStringList& o : order) {
            cases.push_back({true, c + o});
            cases.push_back({true, c + o + QStringList{"-r", "5"}});
        }
    for (const QStringList& o : order) {
        cases.push_back({false, QStringList{"-c", "none", "-r", "4"} + o});
        cases.push_back({false, QStringList{"-c", "packbits"} + o});
        cases.push_back({false, QStringList{"-p", "separate", "-r", "3"} + o});
    }
    int n = 0;
    for (const TiffcpCase& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QString out = tmp(QStringLiteral("cp%1.tif").arg(n++));
        ASSERT_EQ(RunTool(QStringLiteral("tiffcp"), c.args + QStringList{baseFile(c.bilevel), out}), 0);
        const QByteArray want = MagickRGB(out);
        ASSERT_FALSE(want.isEmpty());
        TBitmap bmp;
        EXPECT_EQ(ReadTiff(out, bmp), 1);
        EXPECT_EQ(bmp.PixelFormat(), c.bilevel ? pf1bit : pf24bit);
        EXPECT_EQ(FirstDifference(BitmapRGB(bmp), want), -1);
    }
}

// ImageMagick's and PIL's own writers: grey, palette, bilevel of several depths.
TEST(TiffToolFiles, MagickAndPilFilesRead)
{
    if (!HaveTool(QStringLiteral("convert")))
        GTEST_SKIP() << "missing tool: convert";
    if (!HavePIL())
        GTEST_SKIP() << "missing tool: python3-pil";
    const QString ppm = tmp(QStringLiteral("src.ppm"));
    WritePPM(Pattern(53, 19, 200, 5), ppm);
    struct Case {
        const char* name;
        QStringList magick;  // ImageMagick options, or empty for PIL
        const char* pilMode;
        int tolerance;
        bool paletteExpected;
    };
    const Case cases[] = {
        {"grey8", {"-colorspace", "gray", "-depth", "8"}, nullptr, 0, false},
        {"grey4", {"-colorspace", "gray", "-depth", "4"}, nullptr, 0, false},
        {"grey16be", {"-colorspace", "gray", "-depth", "16", "-endian", "MSB"}, nullptr, 1, false},
        {"grey16le", {"-colorspace", "gray", "-depth", "16", "-endian", "LSB"}, nullptr, 1, false},
        {"pal8", {"-colors", "200", "-type", "Palette"}, nullptr, 0, true},
        {"pal4", {"-colors", "16", "-type", "Palette", "-depth", "4"}, nullptr, 0, true},
        {"rgbpackbits", {"-compress", "RLE"}, nullptr, 0, false},
        {"bw", {"-monochrome"}, nullptr, 0, false},
        {"pil1", {}, "1", 0, false},
        {"pilL", {}, "L", 0, false},
        {"pilP", {}, "P", 0, true},
        {"pilRGB", {}, "RGB", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = tmp(QLatin1String(c.name) + QStringLiteral(".tif"));
        if (c.pilMode)
            ASSERT_EQ(Python(QStringLiteral("import sys\nfrom PIL import Image\n"
                                            "Image.open(sys.argv[1]).convert(sys.argv[3]).save(sys.argv[2])\n"),
                             {ppm, out, QLatin1String(c.pilMode)}),
                      0);
        else
            ASSERT_EQ(RunTool(QStringLiteral("convert"), QStringList{ppm} + c.magick + QStringList{out}), 0);
        const QByteArray want = c.pilMode ? PilRGB(out) : MagickRGB(out);
        ASSERT_FALSE(want.isEmpty());
        TBitmap bmp;
        TIOParamsVals params;
        ASSERT_EQ(ReadTiff(out, bmp, 0, &params), 1);
        const QByteArray got = BitmapRGB(bmp);
        ASSERT_EQ(got.size(), want.size());
        int worst = 0;
        for (qsizetype i = 0; i < got.size(); ++i)
            worst = std::max(worst, std::abs(int(uchar(got[i])) - int(uchar(want[i]))));
        EXPECT_LE(worst, c.tolerance);
        EXPECT_EQ(params.ColorMapCount > 0, c.paletteExpected);
    }
}

}  // namespace

// Fill order 2 reverses the bits of every byte of the strips, whatever the depth: grey,
// palette and RGB files made by tiffcp read as ImageMagick reads them.
TEST(TiffToolFiles, FillOrderTwoOnEveryDepth)
{
    for (const char* t : {"tiffcp", "convert"})
        if (!HaveTool(QLatin1String(t)))
            GTEST_SKIP() << "missing tool: " << t;
    const QString ppm = tmp(QStringLiteral("fill.ppm"));
    WritePPM(Pattern(29, 7, 100, 9), ppm);
    const QStringList forms[] = {{"-colorspace", "gray", "-depth", "8"},
                                 {"-colors", "100", "-type", "Palette"},
                                 {"-depth", "8"},
                                 {"-colorspace", "gray", "-depth", "16"}};
    int n = 0;
    for (const QStringList& form : forms)
        for (const char* coding : {"none", "packbits"}) {
            SCOPED_TRACE((form.join(' ') + QLatin1Char(' ') + QLatin1String(coding)).toStdString());
            const QString base = tmp(QStringLiteral("fill-base%1.tif").arg(n));
            const QString out = tmp(QStringLiteral("fill%1.tif").arg(n++));
            ASSERT_EQ(RunTool(QStringLiteral("convert"),
                              QStringList{ppm} + form + QStringList{"-compress", "none", base}),
                      0);
            ASSERT_EQ(RunTool(QStringLiteral("tiffcp"), {"-f", "lsb2msb", "-c", coding, base, out}), 0);
            const QByteArray want = MagickRGB(out);
            ASSERT_FALSE(want.isEmpty());
            TBitmap bmp;
            ASSERT_EQ(ReadTiff(out, bmp), 1);
            const QByteArray got = BitmapRGB(bmp);
            ASSERT_EQ(got.size(), want.size());
            int worst = 0;  // 16-bit samples may round differently by one
            for (qsizetype i = 0; i < got.size(); ++i)
                worst = std::max(worst, std::abs(int(uchar(got[i])) - int(uchar(want[i]))));
            EXPECT_LE(worst, form.contains(QStringLiteral("16")) ? 1 : 0);
        }
}

// LZW strips through a coder plugged in as a user's build could: PIL's files read as PIL
// reads them, a blank page that packs its megabytes into a few kilobytes among them.
TEST(TiffToolFiles, LzwFilesWithACoder)
{
    if (!HavePIL())
        GTEST_SKIP() << "missing tool: python3-pil";
    const QString ppm = tmp(QStringLiteral("lzw.ppm"));
    WritePPM(Pattern(41, 13, 300, 4), ppm);
    for (const char* mode : {"RGB", "L", "P", "blank"}) {
        SCOPED_TRACE(mode);
        const QString out = tmp(QStringLiteral("lzw-%1.tif").arg(QLatin1String(mode)));
        ASSERT_EQ(Python(QStringLiteral("import sys\nfrom PIL import Image\n"
                                        "m = sys.argv[3]\n"
                                        "im = Image.new('L', (3000, 2000), 255) if m == 'blank' else "
                                        "Image.open(sys.argv[1]).convert(m)\n"
                                        "im.save(sys.argv[2], compression='tiff_lzw')\n"),
                         {ppm, out, QLatin1String(mode)}),
                  0);
        const QByteArray want = PilRGB(out);
        ASSERT_FALSE(want.isEmpty());
        TBitmap bmp;
        TIOParamsVals params;
        params.TiffLzwDecompress = TestTiffLzwDecompress;
        ASSERT_EQ(ReadTiff(out, bmp, 0, &params), 1);
        EXPECT_EQ(FirstDifference(BitmapRGB(bmp), want), -1);
    }
}
