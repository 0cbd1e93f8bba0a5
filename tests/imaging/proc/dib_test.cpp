// Packed DIBs: the writer's layout, the reader, hostile headers and the oracle tools.
#include "imaging/proc/dib.h"
#include "platform/core/exceptions.h"
#include "proc_test_util.h"
#include "common/test_support.h"

#include <QDir>
#include <QFile>
#include <climits>
#include <gtest/gtest.h>

using namespace proctest;

namespace {

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

QByteArray zeros(int n) { return QByteArray(n, '\0'); }

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// RGB bytes of a DIB file as Python PIL's DIB reader sees them.
bool pilReadDib(const QString& path, int& w, int& h, QByteArray& rgb)
{
    const QString script = QStringLiteral("import sys\n"
                                          "from PIL import BmpImagePlugin\n"
                                          "im = BmpImagePlugin.DibImageFile(open(sys.argv[1], 'rb')).convert('RGB')\n"
                                          "sys.stdout.buffer.write(('%d %d\\n' % im.size).encode() + im.tobytes())\n");
    QByteArray out;
    if (RunTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path}, &out) != 0)
        return false;
    const int nl = out.indexOf('\n');
    const QList<QByteArray> dims = out.left(nl).split(' ');
    w = dims.value(0).toInt();
    h = dims.value(1).toInt();
    rgb = out.mid(nl + 1);
    return true;
}

// RGB bytes of any image file as ImageMagick decodes it ("DIB:path" for a packed DIB).
QByteArray magickRgb(const QString& spec)
{
    QByteArray out;
    if (RunTool(QStringLiteral("convert"),
                {spec, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("rgb:-")}, &out) != 0)
        return {};
    return out;
}

Px rgbAt(const QByteArray& rgb, int w, int x, int y)
{
    const int i = 3 * (y * w + x);
    return {uint8_t(rgb[i]), uint8_t(rgb[i + 1]), uint8_t(rgb[i + 2])};
}

}  // namespace

// ---- writer ------------------------------------------------------------------------------

TEST(DibWriter, OnePixel24BitIsFortyEightBytesWithPaddedRow)
{
    TBitmap bm(1, 1, pf24bit);
    Set(bm, 0, 0, {1, 2, 3});
    const QByteArray dib = BitmapRectToDIB(&bm, 0, 0, 0, 0);
    const QByteArray expected =
        bytes({40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0}) + zeros(24) + bytes({3, 2, 1, 0}) + zeros(4);
    EXPECT_EQ(dib.size(), 48);
    EXPECT_EQ(dib, expected);
}

TEST(DibWriter, RectangleRowsBottomUpWithPadding)
{
    // 5 × 4 image, rectangle x 1..3, y 1..2: two rows of 9 bytes padded to 12.
    TBitmap bm = Pattern(5, 4);
    const QByteArray dib = BitmapRectToDIB(&bm, 1, 1, 3, 2);
    ASSERT_EQ(dib.size(), 40 + 2 * 12 + 4);
    QByteArray expected = bytes({40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0}) + zeros(24);
    for (int y : {2, 1}) {
        for (int x = 1; x <= 3; ++x) {
            const Px p = Get(bm, x, y);
            expected += bytes({p.b, p.g, p.r});
        }
        expected += zeros(3);
    }
    expected += zeros(4);
    EXPECT_EQ(dib, expected);
}

TEST(DibWriter, ZeroCornersPackTheWholeImage)
{
    TBitmap bm = Pattern(7, 3);
    const QByteArray dib = BitmapRectToDIB(&bm, 0, 0, 0, 0);
    EXPECT_EQ(U32(dib, 4), 7u);
    EXPECT_EQ(U32(dib, 8), 3u);
    EXPECT_EQ(dib.size(), 40 + 3 * 24 + 4);  // 21 bytes a row padded to 24
}

TEST(DibWriter, OneBitFromAnOddBitOffset)
{
    // Row 0: pixels with x % 3 == 0 white; row 1: odd x white. Packed from x 3..13.
    TBitmap bm(20, 2, pf1bit);
    for (int x = 0; x < 20; ++x) {
        SetBit(bm, x, 0, x % 3 == 0);
        SetBit(bm, x, 1, x % 2 == 1);
    }
    const QByteArray dib = BitmapRectToDIB(&bm, 3, 0, 13, 1);
    const QByteArray expected = bytes({40, 0, 0, 0, 11, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0}) + zeros(24) +
                                bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) +
                                bytes({0xAA, 0xA0, 0, 0}) +  // row 1 first
                                bytes({0x92, 0x40, 0, 0}) + zeros(4);
    EXPECT_EQ(dib.size(), 60);
    EXPECT_EQ(dib, expected);
}

TEST(DibWriter, OneBitRowOfThirtyThreePixelsTakesEightBytes)
{
    TBitmap bm(33, 1, pf1bit);
    for (int x = 0; x < 33; ++x)
        SetBit(bm, x, 0, x == 32 || x == 0);
    const QByteArray dib = BitmapRectToDIB(&bm, 0, 0, 0, 0);
    ASSERT_EQ(dib.size(), 52 + 8);
    EXPECT_EQ(dib.mid(48, 8), bytes({0x80, 0, 0, 0, 0x80, 0, 0, 0}));
}

TEST(DibWriter, RectangleOutsideTheImageGivesNothing)
{
    TBitmap bm = Pattern(4, 4);
    EXPECT_TRUE(BitmapAreaToDIB(&bm, 10, 10, 12, 12).isEmpty());
    TBitmap empty;
    EXPECT_TRUE(BitmapRectToDIB(&empty, 0, 0, 0, 0).isEmpty());
}

TEST(DibWriter, OtherFormatsAreWrittenAs24Bit)
{
    TBitmap bm = Pattern(3, 2);
    TBitmap b32 = bm;
    b32.SetPixelFormat(pf32bit);
    const QByteArray dib = BitmapRectToDIB(&b32, 0, 0, 0, 0);
    EXPECT_EQ(dib[14], char(24));
    TBitmap back;
    DIBToBitmap(dib, &back);
    EXPECT_TRUE(SamePixels(back, bm));
}

TEST(DibWriter, ReadBackByPilAndImageMagick)
{
    REQUIRE_TOOLS(QStringLiteral("convert"), QStringLiteral("python3:PIL"));
    const QString dir = TempDir();
    TBitmap bm = Pattern(13, 7, 5);
    // 24-bit, odd width, and a sub-rectangle.
    struct Case {
        int x1, y1, x2, y2;
    };
    for (const Case c : {Case{0, 0, 12, 6}, Case{3, 2, 9, 5}}) {
        const QString path = dir + QStringLiteral("/w24_%1.dib").arg(c.x1);
        writeFile(path, BitmapAreaToDIB(&bm, c.x1, c.y1, c.x2, c.y2));
        const int w = c.x2 - c.x1 + 1, h = c.y2 - c.y1 + 1;
        int pw = 0, ph = 0;
        QByteArray pil;
        ASSERT_TRUE(pilReadDib(path, pw, ph, pil));
        ASSERT_EQ(pw, w);
        ASSERT_EQ(ph, h);
        const QByteArray im = magickRgb(QStringLiteral("DIB:") + path);
        ASSERT_EQ(im.size(), 3 * w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(rgbAt(pil, w, x, y), Get(bm, c.x1 + x, c.y1 + y));
                EXPECT_EQ(rgbAt(im, w, x, y), Get(bm, c.x1 + x, c.y1 + y));
            }
    }
    // 1-bit from bit offset 5.
    TBitmap mono(29, 3, pf1bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 29; ++x)
            SetBit(mono, x, y, (x * 7 + y * 3) % 5 < 2);
    const QString path = dir + QStringLiteral("/w1.dib");
    writeFile(path, BitmapAreaToDIB(&mono, 5, 0, 27, 2));
    const int w = 23, h = 3;
    int pw = 0, ph = 0;
    QByteArray pil;
    ASSERT_TRUE(pilReadDib(path, pw, ph, pil));
    ASSERT_EQ(pw, w);
    const QByteArray im = magickRgb(QStringLiteral("DIB:") + path);
    ASSERT_EQ(im.size(), 3 * w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = Bit(mono, x + 5, y) ? 255 : 0;
            EXPECT_EQ(rgbAt(pil, w, x, y), (Px{v, v, v})) << x << "," << y;
            EXPECT_EQ(rgbAt(im, w, x, y), (Px{v, v, v})) << x << "," << y;
        }
}

// ---- reader against DIBs made by the tools ----------------------------------------------------

namespace {

// An image of a few colours, every channel a multiple of 8 so that 16-bit DIBs hold it exactly.
TBitmap fewColours(int w, int h, int count)
{
    TBitmap bm(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int i = (x + 2 * y) % count;
            Set(bm, x, y, {(i * 56) & 0xF8, (i * 104 + 40) & 0xF8, (255 - i * 24) & 0xF8});
        }
    return bm;
}

// The DIB inside a BMP file made by a tool: the file minus its 14-byte header.
QByteArray dibOf(const QString& bmpPath)
{
    const QByteArray file = readFile(bmpPath);
    return file.size() > 14 ? file.mid(14) : QByteArray();
}

void expectMatchesMagick(const TBitmap& got, const QString& bmpPath)
{
    const QByteArray im = magickRgb(bmpPath);
    ASSERT_EQ(im.size(), 3 * got.Width() * got.Height());
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x) {
            const Px want = rgbAt(im, got.Width(), x, y);
            if (got.PixelFormat() == pf1bit) {
                EXPECT_EQ(Bit(got, x, y) ? 255 : 0, want.r) << x << "," << y;
            } else {
                EXPECT_EQ(Get(got, x, y), want) << x << "," << y;
            }
        }
}

class DibReaderTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TOOLS(QStringLiteral("convert"), QStringLiteral("python3:PIL"));
        dir_ = TempDir();
    }
    QString make(const TBitmap& src, const QString& name, const QStringList& convertArgs)
    {
        const QString ppm = dir_ + QStringLiteral("/") + name + QStringLiteral(".ppm");
        writeFile(ppm, Ppm(src));
        const QString bmp = dir_ + QStringLiteral("/") + name + QStringLiteral(".bmp");
        // The last argument is the output format prefix ("BMP3:").
        QStringList args{ppm};
        args += convertArgs.mid(0, convertArgs.size() - 1);
        args += convertArgs.last() + bmp;
        EXPECT_EQ(RunTool(QStringLiteral("convert"), args), 0);
        return bmp;
    }
    QString makePil(const TBitmap& src, const QString& name, const QString& mode)
    {
        const QString ppm = dir_ + QStringLiteral("/") + name + QStringLiteral(".ppm");
        writeFile(ppm, Ppm(src));
        const QString bmp = dir_ + QStringLiteral("/") + name + QStringLiteral(".bmp");
        const QString script = QStringLiteral("import sys\nfrom PIL import Image\n"
                                              "Image.open(sys.argv[1]).convert(sys.argv[3]).save(sys.argv[2])\n");
        EXPECT_EQ(RunTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, ppm, bmp, mode}), 0);
        return bmp;
    }
    QString dir_;
};

}  // namespace

TEST_F(DibReaderTools, OneBitFromImageMagickAndPil)
{
    TBitmap src = Pattern(13, 5, 9);
    for (const QString& bmp :
         {make(src, QStringLiteral("m1"), {QStringLiteral("-monochrome"), QStringLiteral("BMP3:")}),
          makePil(src, QStringLiteral("p1"), QStringLiteral("1"))}) {
        const QByteArray dib = dibOf(bmp);
        ASSERT_EQ(dib[14], char(1)) << bmp.toStdString();
        TBitmap got;
        EXPECT_EQ(DIBToBitmap(dib, &got), 1);
        EXPECT_EQ(got.PixelFormat(), pf1bit);
        EXPECT_EQ(got.Width(), 13);
        EXPECT_EQ(got.Height(), 5);
        expectMatchesMagick(got, bmp);
    }
}

TEST_F(DibReaderTools, FourBitPalette)
{
    TBitmap src = fewColours(11, 6, 7);
    const QString bmp = make(src, QStringLiteral("p4"),
                             {QStringLiteral("-type"), QStringLiteral("palette"), QStringLiteral("-compress"),
                              QStringLiteral("none"), QStringLiteral("BMP3:")});
    const QByteArray dib = dibOf(bmp);
    ASSERT_EQ(dib[14], char(4));
    TBitmap got;
    EXPECT_EQ(DIBToBitmap(dib, &got), 4);
    EXPECT_EQ(got.PixelFormat(), pf24bit);
    EXPECT_TRUE(SamePixels(got, src));
}

TEST_F(DibReaderTools, EightBitPalette)
{
    TBitmap src = fewColours(9, 7, 40);
    const QString im = make(src, QStringLiteral("p8"),
                            {QStringLiteral("-type"), QStringLiteral("palette"), QStringLiteral("-compress"),
                             QStringLiteral("none"), QStringLiteral("BMP3:")});
    const QByteArray dib = dibOf(im);
    ASSERT_EQ(dib[14], char(8));
    TBitmap got;
    EXPECT_EQ(DIBToBitmap(dib, &got), 8);
    EXPECT_TRUE(SamePixels(got, src));

    const QString pil = makePil(Pattern(10, 5, 3), QStringLiteral("pil8"), QStringLiteral("P"));
    const QByteArray dib2 = dibOf(pil);
    ASSERT_EQ(dib2[14], char(8));
    TBitmap got2;
    EXPECT_EQ(DIBToBitmap(dib2, &got2), 8);
    expectMatchesMagick(got2, pil);
}

TEST_F(DibReaderTools, SixteenBitBitFields565And555)
{
    // The channels are the mask's bits widened by bit replication (31 → 255), which is
    // ImageMagick's own reading of the same file.
    TBitmap src = Pattern(7, 5, 13);
    for (const QString& sub : {QStringLiteral("RGB565"), QStringLiteral("RGB555")}) {
        const QString bmp =
            make(src, sub, {QStringLiteral("-define"), QStringLiteral("bmp:subtype=") + sub, QStringLiteral("BMP:")});
        const QByteArray dib = dibOf(bmp);
        ASSERT_EQ(dib[14], char(16)) << sub.toStdString();
        TBitmap got;
        EXPECT_EQ(DIBToBitmap(dib, &got), 16);
        ASSERT_EQ(got.Width(), 7);
        const QByteArray im = magickRgb(bmp);
        ASSERT_EQ(im.size(), 3 * 7 * 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(Get(got, x, y), rgbAt(im, 7, x, y)) << sub.toStdString() << " " << x << "," << y;
    }
}

TEST_F(DibReaderTools, SixteenBitWithoutBitFieldsIs555)
{
    // Hand-made: compression 0, pixel 0x7C00 is pure red, 0x03E0 green, 0x001F blue.
    QByteArray dib = DibHeader(3, 1, 16);
    dib += bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0});
    TBitmap got;
    EXPECT_EQ(DIBToBitmap(dib, &got), 16);
    EXPECT_EQ(Get(got, 0, 0), (Px{255, 0, 0}));
    EXPECT_EQ(Get(got, 1, 0), (Px{0, 255, 0}));
    EXPECT_EQ(Get(got, 2, 0), (Px{0, 0, 255}));
}

TEST_F(DibReaderTools, TwentyFourAndThirtyTwoBit)
{
    TBitmap src = Pattern(7, 3, 11);
    const QString im24 = make(src, QStringLiteral("c24"), {QStringLiteral("BMP3:")});
    const QString pil24 = makePil(src, QStringLiteral("pil24"), QStringLiteral("RGB"));
    const QString pil32 = makePil(src, QStringLiteral("pil32"), QStringLiteral("RGBA"));
    const QString im32 = make(src, QStringLiteral("c32"),
                              {QStringLiteral("-type"), QStringLiteral("truecoloralpha"), QStringLiteral("BMP:")});
    for (const QString& bmp : {im24, pil24, pil32, im32}) {
        const QByteArray dib = dibOf(bmp);
        const int bits = uint8_t(dib[14]);
        ASSERT_TRUE(bits == 24 || bits == 32) << bmp.toStdString();
        TBitmap got;
        EXPECT_EQ(DIBToBitmap(dib, &got), bits);
        EXPECT_TRUE(SamePixels(got, src)) << bmp.toStdString();
    }
    EXPECT_EQ(uint8_t(dibOf(pil32)[14]), 32);
    EXPECT_EQ(U32(dibOf(im32), 16), 3u) << "ImageMagick's 32-bit DIB carries bit fields";
}

// ---- reader, hand-made blocks ----------------------------------------------------------------

TEST(DibReader, OneBitTables)
{
    // 10 × 1, pixels 1 0 1 1 0 0 0 0 1 0 → bytes 0xB0 0x80.
    const QByteArray pixels = bytes({0xB0, 0x80, 0, 0});
    auto withTable = [&](QByteArray t) { return DibHeader(10, 1, 1) + t + pixels; };
    const QByteArray black = bytes({0, 0, 0, 0}), white = bytes({255, 255, 255, 0});

    TBitmap a;
    EXPECT_EQ(DIBToBitmap(withTable(black + white), &a), 1);
    ASSERT_EQ(a.PixelFormat(), pf1bit);
    EXPECT_TRUE(Bit(a, 0, 0));
    EXPECT_FALSE(Bit(a, 1, 0));
    EXPECT_TRUE(Bit(a, 8, 0));

    // (white, black): still 1-bit, bits inverted so that 0 stays black.
    TBitmap b;
    EXPECT_EQ(DIBToBitmap(withTable(white + black), &b), 1);
    ASSERT_EQ(b.PixelFormat(), pf1bit);
    for (int x = 0; x < 10; ++x)
        EXPECT_NE(Bit(a, x, 0), Bit(b, x, 0)) << x;

    // Coloured table: 24-bit with the table's colours (stored blue, green, red).
    TBitmap c;
    EXPECT_EQ(DIBToBitmap(withTable(bytes({10, 20, 30, 0, 200, 150, 100, 0})), &c), 1);
    ASSERT_EQ(c.PixelFormat(), pf24bit);
    EXPECT_EQ(Get(c, 0, 0), (Px{100, 150, 200}));
    EXPECT_EQ(Get(c, 1, 0), (Px{30, 20, 10}));
    EXPECT_EQ(Get(c, 9, 0), (Px{30, 20, 10}));
}

TEST(DibReader, ColoredOneBitTableMatchesPil)
{
    REQUIRE_TOOLS(QStringLiteral("convert"), QStringLiteral("python3:PIL"));
    QByteArray dib = DibHeader(10, 2, 1) + bytes({0x30, 0x60, 0xC0, 0, 0x40, 0xC0, 0x40, 0}) +
                     bytes({0x55, 0x40, 0, 0, 0xF0, 0x80, 0, 0});
    const QString path = TempDir() + QStringLiteral("/c1.dib");
    writeFile(path, dib + zeros(4));
    TBitmap got;
    DIBToBitmap(dib, &got);
    int w = 0, h = 0;
    QByteArray pil;
    ASSERT_TRUE(pilReadDib(path, w, h, pil));
    ASSERT_EQ(w, 10);
    ASSERT_EQ(h, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Get(got, x, y), rgbAt(pil, 10, x, y)) << x << "," << y;
}

TEST(DibReader, TopDownRowsKeepTheirOrder)
{
    QByteArray dib = DibHeader(1, -2, 24) + bytes({1, 2, 3, 0, 4, 5, 6, 0});
    TBitmap got;
    EXPECT_EQ(DIBToBitmap(dib, &got), 24);
    EXPECT_EQ(Get(got, 0, 0), (Px{3, 2, 1}));
    EXPECT_EQ(Get(got, 0, 1), (Px{6, 5, 4}));
    // Bottom-up: the first stored row is the last image row.
    QByteArray up = DibHeader(1, 2, 24) + bytes({1, 2, 3, 0, 4, 5, 6, 0});
    DIBToBitmap(up, &got);
    EXPECT_EQ(Get(got, 0, 1), (Px{3, 2, 1}));
}

TEST(DibReader, EightBitReadsColoursUsedEntries)
{
    QByteArray table;
    for (int i = 0; i < 16; ++i)
        table += bytes({i, 2 * i, 3 * i, 0});
    QByteArray dib = DibHeader(3, 1, 8, 0, 16) + table + bytes({15, 0, 7, 0});
    TBitmap got;
    EXPECT_EQ(DIBToBitmap(dib, &got), 8);
    EXPECT_EQ(Get(got, 0, 0), (Px{45, 30, 15}));
    EXPECT_EQ(Get(got, 2, 0), (Px{21, 14, 7}));
}

TEST(DibReader, WriterAndReaderRoundTrip)
{
    TBitmap bm = Pattern(17, 9, 2);
    TBitmap back;
    EXPECT_EQ(DIBToBitmap(BitmapRectToDIB(&bm, 0, 0, 0, 0), &back), 24);
    EXPECT_TRUE(SamePixels(bm, back));
    TBitmap mono(19, 4, pf1bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 19; ++x)
            SetBit(mono, x, y, (x ^ y) & 1);
    EXPECT_EQ(DIBToBitmap(BitmapRectToDIB(&mono, 0, 0, 0, 0), &back), 1);
    EXPECT_TRUE(SamePixels(mono, back));
}

TEST(DibReader, BmpFileHeaderAndPixelOffset)
{
    TBitmap bm = Pattern(5, 3);
    const QByteArray dib = BitmapRectToDIB(&bm, 0, 0, 0, 0);
    const QByteArray file = DIBToBMPFile(dib);
    ASSERT_EQ(file.size(), 14 + dib.size());
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    EXPECT_EQ(U32(file, 2), uint32_t(file.size()));
    EXPECT_EQ(U32(file, 10), 54u);
    TBitmap back;
    EXPECT_EQ(BMPFileToBitmap(file, &back), 24);
    EXPECT_TRUE(SamePixels(bm, back));
    // A gap between table and pixels is honoured through the offset.
    QByteArray gapped = file.left(54) + zeros(6) + file.mid(54);
    PutU32(gapped, 10, 60);
    EXPECT_EQ(BMPFileToBitmap(gapped, &back), 24);
    EXPECT_TRUE(SamePixels(bm, back));

    TBitmap mono(9, 2, pf1bit);
    EXPECT_EQ(U32(DIBToBMPFile(BitmapRectToDIB(&mono, 0, 0, 0, 0)), 10), 62u);
}

// ---- hostile blocks ---------------------------------------------------------------------------

namespace {

// Every bad block raises EInvalidGraphic and leaves the bitmap as it was.
void expectRejected(const QByteArray& dib, const char* what)
{
    TBitmap bm = Pattern(3, 2);
    const TBitmap before = bm;
    EXPECT_THROW(DIBToBitmap(dib, &bm), EInvalidGraphic) << what;
    EXPECT_TRUE(SamePixels(bm, before)) << what;
}

QByteArray good24() { return DibHeader(2, 2, 24) + zeros(16); }

}  // namespace

TEST(DibReaderHostile, HeaderFields)
{
    expectRejected(QByteArray(), "empty");
    expectRejected(good24().left(39), "shorter than a header");
    QByteArray d = good24();
    PutU32(d, 0, 12);
    expectRejected(d, "old 12-byte header");
    d = good24();
    PutU32(d, 0, 39);
    expectRejected(d, "header size below 40");
    d = good24();
    PutU32(d, 0, 4000);
    expectRejected(d, "header size past the block");
    expectRejected(DibHeader(0, 2, 24) + zeros(16), "width 0");
    expectRejected(DibHeader(-2, 2, 24) + zeros(16), "negative width");
    expectRejected(DibHeader(2, 0, 24) + zeros(16), "height 0");
    expectRejected(DibHeader(2, INT_MIN, 24) + zeros(16), "height INT_MIN");
    for (int bits : {0, 2, 3, 15, 48, 64})
        expectRejected(DibHeader(2, 2, bits) + zeros(1024), "bits per pixel");
    expectRejected(DibHeader(2, 2, 8, 1) + zeros(1024 + 16), "RLE8");
    expectRejected(DibHeader(2, 2, 4, 2) + zeros(64 + 16), "RLE4");
    expectRejected(DibHeader(2, 2, 24, 3) + zeros(12 + 16), "bit fields on 24 bits");
    expectRejected(DibHeader(2, 2, 24, 4) + zeros(16), "JPEG inside");
}

TEST(DibReaderHostile, ColourTable)
{
    expectRejected(DibHeader(2, 2, 8, 0, 257) + zeros(257 * 4 + 8), "more entries than 2^bits");
    expectRejected(DibHeader(2, 2, 4, 0, 17) + zeros(17 * 4 + 8), "more entries than 2^bits (4-bit)");
    expectRejected(DibHeader(2, 2, 1, 0, 3) + zeros(3 * 4 + 8), "more entries than 2^bits (1-bit)");
    expectRejected(DibHeader(2, 2, 8) + zeros(100), "table of 256 entries cut short");
    expectRejected(DibHeader(2, 2, 24, 0, 0x40000000) + zeros(16), "colours used overflowing");
}

TEST(DibReaderHostile, IndicesBelowTheTableSize)
{
    // 8-bit, 4 entries, a pixel of 5.
    expectRejected(DibHeader(2, 1, 8, 0, 4) + zeros(16) + bytes({1, 5, 0, 0}), "8-bit index");
    // 4-bit, 2 entries, second nibble 3.
    expectRejected(DibHeader(2, 1, 4, 0, 2) + zeros(8) + bytes({0x03, 0, 0, 0}), "4-bit index");
    // 1-bit with a single entry and a set bit.
    expectRejected(DibHeader(8, 1, 1, 0, 1) + zeros(4) + bytes({0x01, 0, 0, 0}), "1-bit index");
    // The padding nibble of an odd 4-bit row is not a pixel.
    TBitmap bm;
    EXPECT_EQ(DIBToBitmap(DibHeader(1, 1, 4, 0, 2) + zeros(8) + bytes({0x1F, 0, 0, 0}), &bm), 4);
    // A single black entry with no bits set is fine.
    EXPECT_EQ(DIBToBitmap(DibHeader(8, 1, 1, 0, 1) + zeros(4) + zeros(4), &bm), 1);
}

TEST(DibReaderHostile, PixelDataInsideTheBlock)
{
    expectRejected(good24().left(good24().size() - 1), "one byte short");
    expectRejected(DibHeader(0x7FFFFFFF, 0x7FFFFFFF, 32) + zeros(64), "huge size, small block");
    expectRejected(DibHeader(0x7FFFFFFF, -0x7FFFFFFF, 1) + zeros(8) + zeros(64), "huge top-down");
    expectRejected(DibHeader(1000, 1000, 24) + zeros(1000), "rows missing");
    // Separate header and bits: the bits block must hold every row.
    TBitmap bm;
    const QByteArray hdr = DibHeader(2, 2, 24);
    const QByteArray px = zeros(15);
    EXPECT_THROW(DIBToBitmap(reinterpret_cast<const uint8_t*>(hdr.constData()), size_t(hdr.size()),
                             reinterpret_cast<const uint8_t*>(px.constData()), size_t(px.size()), &bm),
                 EInvalidGraphic);
}

TEST(DibReaderHostile, BitFieldMasks)
{
    QByteArray masks = zeros(12);
    PutU32(masks, 0, 0xF800);
    PutU32(masks, 4, 0);
    PutU32(masks, 8, 0x1F);
    expectRejected(DibHeader(2, 1, 16, 3) + masks + zeros(4), "zero green mask");
    expectRejected(DibHeader(2, 1, 16, 3) + zeros(8), "masks missing");
    // A 32-bit DIB with masks in red-green-blue-alpha byte order is read through them.
    PutU32(masks, 0, 0x000000FF);
    PutU32(masks, 4, 0x0000FF00);
    PutU32(masks, 8, 0x00FF0000);
    TBitmap bm;
    EXPECT_EQ(DIBToBitmap(DibHeader(1, 1, 32, 3) + masks + bytes({10, 20, 30, 40}), &bm), 32);
    EXPECT_EQ(Get(bm, 0, 0), (Px{10, 20, 30}));
}

TEST(DibReaderHostile, BmpFileHeader)
{
    TBitmap bm = Pattern(2, 2);
    const QByteArray file = DIBToBMPFile(BitmapRectToDIB(&bm, 0, 0, 0, 0));
    TBitmap target;
    QByteArray bad = file;
    bad[0] = 'X';
    EXPECT_THROW(BMPFileToBitmap(bad, &target), EInvalidGraphic);
    bad = file;
    PutU32(bad, 10, uint32_t(file.size() + 1));
    EXPECT_THROW(BMPFileToBitmap(bad, &target), EInvalidGraphic);
    bad = file;
    PutU32(bad, 10, 20);
    EXPECT_THROW(BMPFileToBitmap(bad, &target), EInvalidGraphic);
    EXPECT_THROW(BMPFileToBitmap(file.left(30), &target), EInvalidGraphic);
    EXPECT_TRUE(target.Empty());
}
