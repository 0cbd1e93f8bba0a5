// Files our writer makes: accepted by tiffinfo and tiffdump without a word of warning,
// and read back pixel-exact by ImageMagick, PIL and our own reader; pages inserted
// into a file keep the chain in order.

#include "../io_oracle.h"
#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "tiff_support.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace iotest;
using namespace tifftest;

namespace {

QString tmp(const QString& name) { return QDir(TempDir()).filePath(name); }

void saveTiff(TBitmap& bmp, const QString& path, int compression, int bits, int samples, int photometric = 2)
{
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    io.Params().TiffCompression = uint8_t(compression);
    io.Params().BitsPerSample = bits;
    io.Params().SamplesPerPixel = samples;
    io.Params().TiffPhotometric = uint8_t(photometric);
    io.Params().TiffDocumentName = QStringLiteral("doc");  // inline (4 bytes)
    io.Params().TiffImageDescription = QStringLiteral("a longer description");
    io.Params().TiffPageNumber = 1;
    io.Params().TiffPageCount = 3;
    io.SaveToFile(path);
}

TEST(TiffWrite, ToolsAcceptAndReadBackExactly)
{
    for (const char* t : {"tiffinfo", "tiffdump", "convert"})
        if (!HaveTool(QLatin1String(t)))
            GTEST_SKIP() << "missing tool: " << t;
    if (!HavePIL())
        GTEST_SKIP() << "missing tool: python3-pil";
    struct Case {
        int compression, bits, samples;
    };
    std::vector<Case> cases;
    for (int c : {0, 1, 2, 3, 4, 5, 8})
        cases.push_back({c, 1, 1});
    for (int c : {0, 8})
        for (auto [b, s] : {std::pair{4, 1}, {8, 1}, {16, 1}, {8, 3}})
            cases.push_back({c, b, s});
    int n = 0;
    for (int width : {1, 7, 8, 173, 1728}) {
        const TBitmap mono = BilevelPattern(width, 13, uint32_t(width));
        TBitmap colour;
        colour.SetImage(Pattern(width, 11, 120, uint32_t(width)).convertToFormat(QImage::Format_BGR888));
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "width " << width << " compression " << c.compression << " bits "
                                            << c.bits << "x" << c.samples);
            TBitmap bmp = c.bits == 1 ? mono : colour;
            const QString path = tmp(QStringLiteral("w%1.tif").arg(n++));
            saveTiff(bmp, path, c.compression, c.bits, c.samples);
            QByteArray out, err;
            EXPECT_EQ(RunTool(QStringLiteral("tiffinfo"), {QStringLiteral("-D"), path}, &out, &err), 0);
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
            err.clear();
            EXPECT_EQ(RunTool(QStringLiteral("tiffdump"), {path}, &out, &err), 0);
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
            TBitmap back;
            ASSERT_EQ(ReadTiff(path, back), 1);
            const QByteArray ours = BitmapRGB(back);
            EXPECT_EQ(FirstDifference(MagickRGB(path), ours), -1);
            EXPECT_EQ(FirstDifference(PilRGB(path), ours), -1);
            // Bilevel, 8-bit palette of few colours and RGB lose nothing.
            if (c.bits != 4) {
                EXPECT_EQ(FirstDifference(ours, BitmapRGB(bmp)), -1);
            }
        }
    }
}

TEST(TiffWrite, CmykComesBackClose)
{
    TBitmap bmp;
    bmp.SetImage(Pattern(40, 9, 300, 2).convertToFormat(QImage::Format_BGR888));
    const QString path = tmp(QStringLiteral("cmyk.tif"));
    saveTiff(bmp, path, 8, 8, 4, 5);
    TBitmap back;
    ReadTiff(path, back);
    const QByteArray a = BitmapRGB(bmp), b = BitmapRGB(back);
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        ASSERT_LE(std::abs(int(uchar(a[i])) - int(uchar(b[i]))), 2) << i;
}

// Pages: inserting at an index puts the image there; the others follow in order.
TEST(TiffWrite, InsertedPagesKeepTheirPlaces)
{
    const QString path = tmp(QStringLiteral("pages.tif"));
    QFile::remove(path);
    TBitmap pages[4];
    TImageKitIO io;
    // Inserted at 0, 9 (the end), 1 and 0: the file then holds pages 3, 0, 2, 1.
    const int at[4] = {0, 9, 1, 0};
    for (int i = 0; i < 4; ++i) {
        pages[i] = BilevelPattern(50 + i, 20 + i, uint32_t(i));
        io.SetAttachedBitmap(&pages[i]);
        io.Params().BitsPerSample = 1;
        io.Params().SamplesPerPixel = 1;
        io.Params().TiffCompression = uint8_t(i + 1);
        io.Params().TiffImageIndex = at[i];
        EXPECT_EQ(io.InsertToFileTIFF(path), i + 1);
    }
    EXPECT_EQ(io.GetTIFFImageCount(path), 4);
    const int order[4] = {3, 0, 2, 1};
    for (int i = 0; i < 4; ++i) {
        TBitmap b;
        EXPECT_EQ(ReadTiff(path, b, i), 4);
        EXPECT_EQ(FirstDifference(BitmapRGB(b), BitmapRGB(pages[order[i]])), -1) << i;
    }
    TBitmap untouched(2, 2);
    EXPECT_EQ(ReadTiff(path, untouched, 4), 4);
    EXPECT_EQ(untouched.Width(), 2);
    REQUIRE_TOOLS(QStringLiteral("tiffinfo"));
    QByteArray out, err;
    EXPECT_EQ(RunTool(QStringLiteral("tiffinfo"), {path}, &out, &err), 0);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    EXPECT_EQ(out.count("Image Width"), 4);
}

}  // namespace
