// Metafiles loaded through the component: sized one pixel short of the frame, drawn over
// the background, and compared with ImageMagick's WMF rendering.

#include "common/test_support.h"
#include "common/metafile_samples.h"
#include "imaging/io/image_kit_io.h"
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace wmftest;

namespace {

struct Sample {
    int x, y;
    QRgb color;
};
const Sample kSamples[] = {
    {50, 35, qRgb(255, 0, 0)},  {20, 15, qRgb(255, 0, 0)}, {150, 50, qRgb(0, 0, 255)},
    {130, 50, qRgb(0, 0, 255)}, {50, 85, qRgb(0, 160, 0)}, {100, 50, qRgb(0, 0, 0)},
};

TBitmap loadMetafile(const QString& path, TColor background, TImageKitIO* ioOut = nullptr)
{
    TBitmap b;
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    io.SetBackground(background);
    io.LoadFromFile(path);
    if (ioOut)
        ioOut->AssignParams(io);
    return b;
}

}  // namespace

TEST(MetafileWmf, PlacesShapesAndSizesByTheHeader)
{
    const QString dir = TempDir();
    const QString path = dir + QStringLiteral("/s.wmf");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SampleWmf());
    }
    TImageKitIO params;
    TBitmap b = loadMetafile(path, clYellow, &params);
    // 200 × 100 units at 96 units per inch on a 96 dpi screen: 199 × 99 pixels
    ASSERT_EQ(b.Width(), 199);
    ASSERT_EQ(b.Height(), 99);
    EXPECT_EQ(params.Params().FileType, ioWMF);
    EXPECT_EQ(params.Params().BitsPerSample, 8);
    const QImage& img = b.Image();
    EXPECT_EQ(img.pixel(195, 5), qRgb(255, 255, 0));  // background under the drawing
    EXPECT_EQ(img.pixel(5, 50), qRgb(255, 255, 0));
    for (const Sample& s : kSamples)
        EXPECT_EQ(img.pixel(s.x, s.y), s.color) << s.x << "," << s.y;

    REQUIRE_TOOLS(QStringLiteral("convert"));
    QByteArray ppm;
    ASSERT_EQ(RunTool(QStringLiteral("convert"),
                      {QStringLiteral("-density"), QStringLiteral("96"), path, QStringLiteral("-alpha"),
                       QStringLiteral("off"), QStringLiteral("ppm:-")},
                      &ppm),
              0);
    QImage ref;
    ASSERT_TRUE(ref.loadFromData(ppm, "PPM"));
    EXPECT_NEAR(ref.width(), b.Width(), 1);
    EXPECT_NEAR(ref.height(), b.Height(), 1);
    for (const Sample& s : kSamples)
        EXPECT_EQ(ref.pixel(s.x, s.y), img.pixel(s.x, s.y)) << s.x << "," << s.y;
}

TEST(MetafileEmf, LibEmfDrawingLoadsWithExactColours)
{
    REQUIRE_TOOLS(QStringLiteral("lib:libEMF.so.1"));
    const LibEmf* emf = OpenLibEmf();
    ASSERT_NE(emf, nullptr);
    const auto& [create, close, del, brush, select, rectangle, ellipse, stock] = *emf;
    using Rect = LibEmf::Rect;

    const QString path = TempDir() + QStringLiteral("/d.emf");
    const QByteArray name = path.toLocal8Bit();
    const Rect frame{0, 0, 5292, 2646};  // 200 × 100 pixels at 96 dpi, in 0.01 mm
    void* dc = create(nullptr, name.constData(), &frame, nullptr);
    ASSERT_NE(dc, nullptr);
    select(dc, stock(8));  // NULL_PEN
    select(dc, brush(0x0000FF));
    rectangle(dc, 0, 0, 100, 100);
    select(dc, brush(0xFF0000));
    ellipse(dc, 120, 10, 190, 90);
    del(close(dc));

    TImageKitIO params;
    TBitmap b = loadMetafile(path, clWhite, &params);
    EXPECT_EQ(params.Params().FileType, ioEMF);
    EXPECT_EQ(b.Width(), 199);
    EXPECT_EQ(b.Height(), 99);
    // logical units are the frame's pixels here: red left half, blue disc to the right
    const QImage& img = b.Image();
    EXPECT_EQ(img.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(155, 50), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(195, 5), qRgb(255, 255, 255));
    bool red = false, blue = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            red |= c == qRgb(255, 0, 0);
            blue |= c == qRgb(0, 0, 255);
            EXPECT_TRUE(c == qRgb(255, 0, 0) || c == qRgb(0, 0, 255) || c == qRgb(255, 255, 255))
                << x << "," << y << " " << std::hex << c;
            if (!(c == qRgb(255, 0, 0) || c == qRgb(0, 0, 255) || c == qRgb(255, 255, 255)))
                return;
        }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
}
