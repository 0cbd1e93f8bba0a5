// PCX files made by other programs read pixel-exact, and ours read by them.

#include "common/test_support.h"
#include "imaging/io/pcx/pcx.h"
#include "imaging/io/io_oracle.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;

namespace {

struct Header {
    int bits = 0, planes = 0, bytesPerLine = 0, version = 0;
};

Header headerOf(const QString& path)
{
    QFile f(path);
    Header h;
    if (!f.open(QIODevice::ReadOnly))
        return h;
    const QByteArray b = f.read(128);
    if (b.size() < 128)
        return h;
    const auto* p = reinterpret_cast<const uchar*>(b.constData());
    h.version = p[1];
    h.bits = p[3];
    h.planes = p[65];
    h.bytesPerLine = p[66] | (p[67] << 8);
    return h;
}

QByteArray ourRGB(const QString& path, TIOParamsVals* out = nullptr)
{
    TBitmap b;
    TIOParamsVals params;
    TProgressRec progress;
    ReadPCXFile(path, b, params, progress);
    if (out)
        out->Assign(params);
    return BitmapRGB(b);
}

enum class Tool { Magick, Netpbm, Pil };

struct MadeBy {
    Tool tool;
    int colors;  // of the source picture
    QStringList options;
    int bits, planes;
};

// Runs the tool on a PPM of the picture; false when it could not.
bool make(const MadeBy& c, const QString& ppm, const QString& pcx)
{
    switch (c.tool) {
    case Tool::Magick: return RunTool(QStringLiteral("convert"), QStringList{ppm} + c.options + QStringList{pcx}) == 0;
    case Tool::Netpbm: {
        QByteArray out;
        if (RunTool(QStringLiteral("ppmtopcx"), c.options + QStringList{ppm}, &out) != 0)
            return false;
        QFile f(pcx);
        return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
    }
    case Tool::Pil:
        return Python(QStringLiteral(
                          "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                          "m = sys.argv[3]\n(im.convert(m, palette=Image.ADAPTIVE) if m == 'P' else im.convert(m))"
                          ".save(sys.argv[2])\n"),
                      {ppm, pcx, c.options.value(0)}) == 0;
    }
    return false;
}

bool toolPresent(Tool t)
{
    switch (t) {
    case Tool::Magick: return HaveTool(QStringLiteral("convert"));
    case Tool::Netpbm: return HaveTool(QStringLiteral("ppmtopcx"));
    case Tool::Pil: return HavePIL();
    }
    return false;
}

const char* toolName(Tool t) { return t == Tool::Magick ? "convert" : t == Tool::Netpbm ? "ppmtopcx" : "python3-pil"; }

}  // namespace

TEST(PcxOracle, ForeignFilesReadPixelExact)
{
    const MadeBy cases[] = {
        {Tool::Magick, 200, {QStringLiteral("-type"), QStringLiteral("palette")}, 8, 1},
        {Tool::Magick, 5000, {}, 8, 3},
        {Tool::Netpbm, 2, {}, 1, 1},
        {Tool::Netpbm, 3, {}, 1, 2},
        {Tool::Netpbm, 16, {}, 1, 4},
        {Tool::Netpbm, 60, {QStringLiteral("-8bit")}, 8, 1},
        {Tool::Netpbm, 5000, {QStringLiteral("-24bit")}, 8, 3},
        {Tool::Pil, 2, {QStringLiteral("1")}, 1, 1},
        {Tool::Pil, 150, {QStringLiteral("P")}, 8, 1},
        {Tool::Pil, 5000, {QStringLiteral("RGB")}, 8, 3},
    };
    const QString dir = TempDir();
    int n = 0;
    for (const MadeBy& c : cases) {
        if (!toolPresent(c.tool))
            GTEST_SKIP() << "missing tool: " << toolName(c.tool);
        // odd widths give odd (ImageMagick, netpbm) and padded (PIL) bytes per line
        for (const auto& [w, h] : {std::pair{1, 1}, {13, 5}, {101, 7}, {257, 3}}) {
            // PIL leaves the blue line out of a 1-pixel-wide RGB file (it refuses it itself)
            if (c.tool == Tool::Pil && c.planes == 3 && w == 1)
                continue;
            SCOPED_TRACE(
                QStringLiteral("%1 %2 colours %3x%4").arg(toolName(c.tool)).arg(c.colors).arg(w).arg(h).toStdString());
            const QImage picture = Pattern(w, h, std::min(c.colors, w * h), uint32_t(w * 31 + c.colors));
            const QString ppm = dir + QStringLiteral("/in%1.ppm").arg(n);
            const QString pcx = dir + QStringLiteral("/in%1.pcx").arg(n++);
            WritePPM(picture, ppm);
            ASSERT_TRUE(make(c, ppm, pcx));
            const Header hd = headerOf(pcx);
            if (w > 1) {  // a single pixel may be written at a smaller depth
                EXPECT_EQ(hd.bits, c.bits);
                EXPECT_EQ(hd.planes, c.planes);
            }
            TIOParamsVals params;
            QByteArray got;
            EXPECT_NO_THROW(got = ourRGB(pcx, &params));
            EXPECT_EQ(FirstDifference(got, ImageRGB(picture)), -1);
            EXPECT_EQ(params.Width, w);
            EXPECT_EQ(params.BitsPerSample, hd.bits);
            EXPECT_EQ(params.SamplesPerPixel, hd.planes);
        }
    }
}

TEST(PcxOracle, OurFilesReadPixelExactByOthers)
{
    struct Case {
        int bits, samples, colors;
        uint8_t compression;
    };
    const Case cases[] = {{1, 1, 2, 1},   {1, 1, 2, 0},    {4, 1, 16, 1},  {8, 1, 256, 1},
                          {8, 1, 200, 0}, {8, 3, 5000, 1}, {8, 3, 5000, 0}};
    const bool magick = HaveTool(QStringLiteral("convert")), pil = HavePIL();
    if (!magick)
        GTEST_SKIP() << "missing tool: convert";
    if (!pil)
        GTEST_SKIP() << "missing tool: python3-pil";
    const QString dir = TempDir();
    for (const Case& c : cases) {
        for (const auto& [w, h] : {std::pair{1, 1}, {13, 5}, {101, 7}, {257, 3}}) {
            SCOPED_TRACE(QStringLiteral("%1x%2 bits, %3x%4, rle %5")
                             .arg(c.bits)
                             .arg(c.samples)
                             .arg(w)
                             .arg(h)
                             .arg(c.compression)
                             .toStdString());
            const QImage picture = Pattern(w, h, std::min(c.colors, w * h), uint32_t(w + c.colors));
            TBitmap b;
            b.SetImage(picture.convertToFormat(QImage::Format_BGR888));
            TIOParamsVals params;
            params.BitsPerSample = c.bits;
            params.SamplesPerPixel = c.samples;
            params.PcxCompression = c.compression;
            TProgressRec progress;
            const QString path = dir + QStringLiteral("/ours.pcx");
            {
                TFileStream fs(path, fmCreate);
                WritePCXStream(fs, b, params, progress);
            }
            // ImageMagick reads 1-bit files with 0 as white, against PIL and netpbm;
            // PIL takes neither packed nibbles nor plain (uncoded) data
            const QByteArray want = ImageRGB(picture);
            if (c.bits != 1) {
                EXPECT_EQ(FirstDifference(MagickRGB(path), want), -1);
            }
            if (c.bits != 4 && c.compression) {
                EXPECT_EQ(FirstDifference(PilRGB(path), want), -1);
            }
            EXPECT_EQ(FirstDifference(ourRGB(path), want), -1);
        }
    }
}
