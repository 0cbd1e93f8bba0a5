// Damaged files through the component's file loads: every cut and every forged header
// field either loads or raises EInvalidGraphic, and a refusal leaves the bitmap and the
// parameters exactly as they were. The sanitizers catch any stray read.

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

using namespace iotest;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// The parameters a load may change, as one comparable text.
QString paramState(const TIOParamsVals& p)
{
    QString s = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                    .arg(p.Width)
                    .arg(p.Height)
                    .arg(p.DpiX)
                    .arg(p.DpiY)
                    .arg(p.BitsPerSample)
                    .arg(p.SamplesPerPixel)
                    .arg(p.BmpVersion)
                    .arg(p.BmpCompression)
                    .arg(p.ColorMapCount);
    s += QStringLiteral(" %1 %2 %3 %4 %5 %6 %7 %8")
             .arg(p.FileName)
             .arg(p.FileType)
             .arg(p.JpegColorSpace)
             .arg(p.JpegProgressive)
             .arg(p.PngInterlaced)
             .arg(p.PngBackground.r)
             .arg(p.PngBackground.g)
             .arg(p.PngBackground.b);
    for (const TIORGB& c : p.ColorMap)
        s += QStringLiteral(" %1.%2.%3").arg(c.r).arg(c.g).arg(c.b);
    return s;
}

// A 32-bit field overwritten with a value chosen to break bounds.
void forge32(QByteArray& d, int at, uint32_t v)
{
    if (at + 4 > d.size())
        return;
    for (int i = 0; i < 4; ++i)
        d[at + i] = char(v >> (8 * i));
}

// Runs one damaged copy; returns true when it loaded.
bool tryLoad(const QString& path, const QByteArray& data)
{
    writeBytes(path, data);
    TBitmap target;
    target.SetImage(Pattern(3, 2, 6, 7).convertToFormat(QImage::Format_BGR888));
    const QByteArray pixelsBefore = BitmapRGB(target);
    TImageKitIO io;
    io.SetAttachedBitmap(&target);
    io.Params().PngBackground = TIORGB{1, 2, 3};
    const TIORGB map[2] = {{9, 8, 7}, {6, 5, 4}};
    io.Params().SetColorMap(map, 2);
    io.Params().FileName = QStringLiteral("before");
    const QString paramsBefore = paramState(io.Params());
    try {
        io.LoadFromFile(path);
        EXPECT_GT(target.Width(), 0);
        return true;
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfMemory&) {}
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(BitmapRGB(target), pixelsBefore);
    EXPECT_EQ(paramState(io.Params()).toStdString(), paramsBefore.toStdString());
    return false;
}

void mutate(const QString& path, const QByteArray& good, const std::vector<int>& fields, uint32_t seed)
{
    std::mt19937 rng(seed);
    const uint32_t extremes[] = {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFu, 0x10000u, 255u, 256u};
    int refused = 0;
    // every cut in the first part of the file, then coarser ones
    for (int len = 0; len < good.size(); len += len < 200 ? 1 : 37) {
        SCOPED_TRACE(len);
        refused += !tryLoad(path, good.left(len));
    }
    for (int at : fields)
        for (uint32_t v : extremes) {
            SCOPED_TRACE(at * 1000 + int(v & 0xFFF));
            QByteArray d = good;
            forge32(d, at, v);
            refused += !tryLoad(path, d);
        }
    for (int i = 0; i < 150; ++i) {
        QByteArray d = good;
        const int flips = 1 + int(rng() % 4);
        for (int k = 0; k < flips; ++k)
            d[int(rng() % uint32_t(d.size()))] = char(rng());
        SCOPED_TRACE(i);
        refused += !tryLoad(path, d);
    }
    EXPECT_GT(refused, 0);
}

}  // namespace

TEST(IoMutation, DamagedBmpFilesRefusedCleanly)
{
    const QString dir = TempDir();
    TBitmap src;
    src.SetImage(Pattern(13, 7, 12, 3).convertToFormat(QImage::Format_BGR888));
    struct Variant {
        int bits, samples, version, rle;
    } variants[] = {{8, 3, 1, 0}, {8, 1, 1, 1}, {4, 1, 1, 1}, {4, 1, 2, 0}, {1, 1, 3, 0}};
    uint32_t seed = 11;
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.bits * 100 + v.version * 10 + v.rle);
        TImageKitIO io;
        io.SetAttachedBitmap(&src);
        io.Params().BitsPerSample = v.bits;
        io.Params().SamplesPerPixel = v.samples;
        io.Params().BmpVersion = uint8_t(v.version);
        io.Params().BmpCompression = uint8_t(v.rle);
        const QString good = dir + QStringLiteral("/good.bmp");
        io.SaveToFile(good);
        const QByteArray bytes = fileBytes(good);
        ASSERT_GT(bytes.size(), 54);
        // file size, data offset, header size, width, height, depth/planes, compression,
        // image size, colours used
        mutate(dir + QStringLiteral("/bad.bmp"), bytes, {2, 10, 14, 18, 22, 26, 28, 30, 34, 46}, seed++);
    }
}

TEST(IoMutation, DamagedIconFilesRefusedCleanly)
{
    const QString dir = TempDir();
    // A 16 × 16 icon with one 8-bit DIB entry and its mask, built by hand.
    QByteArray ico(6 + 16, '\0');
    ico[2] = 1;
    ico[4] = 1;
    QByteArray dib(40, '\0');
    forge32(dib, 0, 40);
    forge32(dib, 4, 16);
    forge32(dib, 8, 32);
    dib[12] = 1;
    dib[14] = 8;
    for (int i = 0; i < 256; ++i) {
        dib += char(i);
        dib += char(0x80);
        dib += char(255 - i);
        dib += char(0);
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            dib += char((x * 16 + y) & 255);
    dib += QByteArray(16 * 4, '\x0F');  // the mask: four transparent pixels a row
    ico[6] = 16;
    ico[7] = 16;
    ico[10] = 1;
    ico[12] = 8;
    forge32(ico, 14, uint32_t(dib.size()));
    forge32(ico, 18, 22);
    ico += dib;
    ASSERT_TRUE(tryLoad(dir + QStringLiteral("/good.ico"), ico));
    // count, entry size and offset, DIB header size, width, height, depth, colours used
    mutate(dir + QStringLiteral("/bad.ico"), ico, {4, 14, 18, 22, 26, 30, 34, 54}, 21);
}

TEST(IoMutation, DamagedPngAndJpegFilesRefusedCleanly)
{
    const QString dir = TempDir();
    TBitmap src;
    src.SetImage(Pattern(11, 9, 40, 5).convertToFormat(QImage::Format_BGR888));
    TImageKitIO io;
    io.SetAttachedBitmap(&src);
    io.Params().SamplesPerPixel = 1;  // a palette file
    io.SaveToFile(dir + QStringLiteral("/good.png"));
    mutate(dir + QStringLiteral("/bad.png"), fileBytes(dir + QStringLiteral("/good.png")), {16, 20, 33, 41}, 31);
    io.Params().SamplesPerPixel = 3;
    io.SaveToFile(dir + QStringLiteral("/good.jpg"));
    mutate(dir + QStringLiteral("/bad.jpg"), fileBytes(dir + QStringLiteral("/good.jpg")), {2, 6, 10, 14, 18}, 41);
}
