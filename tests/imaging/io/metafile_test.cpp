// Windows metafiles written record by record and enhanced metafiles made by libEMF,
// loaded through the component and compared with ImageMagick's WMF rendering.

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/metafile.h"

#include <QFile>
#include <QPainter>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <random>

using namespace iotest;

namespace {

// A placeable metafile built one record at a time.
class WmfWriter {
public:
    void rec(uint16_t func, std::initializer_list<int> words, const QByteArray& tail = {})
    {
        QByteArray r;
        const uint32_t size = uint32_t(3 + words.size() + (tail.size() + 1) / 2);
        put32(r, size);
        put16(r, func);
        for (int w : words)
            put16(r, uint16_t(w));
        r += tail;
        if (tail.size() % 2)
            r += '\0';
        records_ += r;
    }
    QByteArray build(int right, int bottom, int inch, int objects) const
    {
        QByteArray f;
        put32(f, 0x9AC6CDD7u);
        put16(f, 0);
        for (int v : {0, 0, right, bottom})
            put16(f, uint16_t(v));
        put16(f, uint16_t(inch));
        put32(f, 0);
        uint16_t sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= uint16_t(uchar(f[i]) | (uchar(f[i + 1]) << 8));
        put16(f, sum);
        QByteArray all = records_;
        put32(all, 3);
        put16(all, 0);  // EOF
        put16(f, 1);
        put16(f, 9);
        put16(f, 0x300);
        put32(f, uint32_t((18 + all.size()) / 2));
        put16(f, uint16_t(objects));
        put32(f, 64);
        put16(f, 0);
        return f + all;
    }
    static void put16(QByteArray& b, uint16_t v)
    {
        b += char(v & 255);
        b += char(v >> 8);
    }
    static void put32(QByteArray& b, uint32_t v)
    {
        put16(b, uint16_t(v));
        put16(b, uint16_t(v >> 16));
    }

private:
    QByteArray records_;
};

int lo(uint32_t c) { return int(c & 0xFFFF); }
int hi(uint32_t c) { return int(c >> 16); }

QByteArray sampleWmf()
{
    WmfWriter w;
    w.rec(0x020B, {0, 0});      // window origin
    w.rec(0x020C, {100, 200});  // window extent (y, x)
    const uint32_t red = 0x0000FF, blue = 0xFF0000, green = 0x00A000, black = 0;
    w.rec(0x02FC, {0, lo(red), hi(red), 0});      // brush 0 solid red
    w.rec(0x02FA, {5, 0, 0, lo(black), hi(black)});  // pen 1 null
    w.rec(0x012D, {0});
    w.rec(0x012D, {1});
    w.rec(0x041B, {60, 90, 10, 10});               // rectangle 10,10 – 90,60
    w.rec(0x02FC, {0, lo(blue), hi(blue), 0});     // brush 2 blue
    w.rec(0x012D, {2});
    w.rec(0x0418, {90, 190, 10, 110});             // ellipse 110,10 – 190,90
    w.rec(0x01F0, {0});                            // delete the red brush
    w.rec(0x02FC, {0, lo(green), hi(green), 0});   // lands in slot 0
    w.rec(0x012D, {0});
    w.rec(0x0324, {3, 10, 95, 50, 65, 90, 95});    // triangle
    w.rec(0x02FA, {0, 3, 0, lo(black), hi(black)}); // pen 3 black width 3
    w.rec(0x012D, {3});
    w.rec(0x0214, {5, 100});                       // move to 100,5
    w.rec(0x0213, {95, 100});                      // line to 100,95
    return w.build(200, 100, 96, 4);
}

struct Sample {
    int x, y;
    QRgb color;
};
const Sample kSamples[] = {
    {50, 35, qRgb(255, 0, 0)},   {20, 15, qRgb(255, 0, 0)},  {150, 50, qRgb(0, 0, 255)},
    {130, 50, qRgb(0, 0, 255)},  {50, 85, qRgb(0, 160, 0)},  {100, 50, qRgb(0, 0, 0)},
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
        f.write(sampleWmf());
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
    ASSERT_EQ(RunTool(QStringLiteral("convert"), {QStringLiteral("-density"), QStringLiteral("96"), path,
                                                 QStringLiteral("-alpha"), QStringLiteral("off"), QStringLiteral("ppm:-")},
                      &ppm),
              0);
    QImage ref;
    ASSERT_TRUE(ref.loadFromData(ppm, "PPM"));
    EXPECT_NEAR(ref.width(), b.Width(), 1);
    EXPECT_NEAR(ref.height(), b.Height(), 1);
    for (const Sample& s : kSamples)
        EXPECT_EQ(ref.pixel(s.x, s.y), img.pixel(s.x, s.y)) << s.x << "," << s.y;
}

TEST(MetafileWmf, HostileRecordsStopCleanly)
{
    QByteArray good = sampleWmf();
    TMetafile mf;
    mf.LoadFromData(good);
    EXPECT_EQ(mf.Width(), 200);
    // records whose sizes run past the end, counts past the record, object indices
    // past the table: drawing ends or skips, never reads outside the data
    for (int cut = 40; cut < good.size(); cut += 7) {
        QByteArray c = good.left(cut);
        TMetafile m;
        try {
            m.LoadFromData(c);
            QImage img(200, 100, QImage::Format_RGB32);
            QPainter p(&img);
            m.Draw(p, TRect(0, 0, 200, 100));
        } catch (const EInvalidGraphic&) {
        }
    }
    WmfWriter w;
    w.rec(0x0324, {30000, 1, 2});     // polygon claiming 30000 points
    w.rec(0x0538, {2, 40000, 40000}); // poly-polygon with absurd counts
    w.rec(0x012D, {900});             // select a missing object
    w.rec(0x0521, {500, 0x4141});     // text longer than its record
    w.rec(0x0B41, {0x20, 0xCC, 1, 1, 0, 0, 1, 1, 0, 0, 40, 0, 0, 0});  // blit with a broken bitmap
    TMetafile m;
    m.LoadFromData(w.build(50, 50, 96, 1));
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    EXPECT_THROW(m.Draw(p, TRect(0, 0, 50, 50)), EInvalidGraphic);

    EXPECT_THROW(mf.LoadFromData(QByteArray(10, 'x')), EInvalidGraphic);
    QByteArray noSize = good;
    noSize[10] = 0;  // right = left
    noSize[11] = 0;
    EXPECT_THROW(mf.LoadFromData(noSize), EInvalidGraphic);
}

TEST(MetafileEmf, LibEmfDrawingLoadsWithExactColours)
{
    REQUIRE_TOOLS(QStringLiteral("lib:libEMF.so.1"));
    void* lib = dlopen("libEMF.so.1", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr);
    struct Rect {
        int left, top, right, bottom;
    };
    using CreateFn = void* (*)(void*, const char*, const Rect*, const char*);
    using CloseFn = void* (*)(void*);
    using DeleteFn = int (*)(void*);
    using BrushFn = void* (*)(uint32_t);
    using SelectFn = void* (*)(void*, void*);
    using ShapeFn = int (*)(void*, int, int, int, int);
    using StockFn = void* (*)(int);
    auto create = reinterpret_cast<CreateFn>(dlsym(lib, "CreateEnhMetaFileA"));
    auto close = reinterpret_cast<CloseFn>(dlsym(lib, "CloseEnhMetaFile"));
    auto del = reinterpret_cast<DeleteFn>(dlsym(lib, "DeleteEnhMetaFile"));
    auto brush = reinterpret_cast<BrushFn>(dlsym(lib, "CreateSolidBrush"));
    auto select = reinterpret_cast<SelectFn>(dlsym(lib, "SelectObject"));
    auto rectangle = reinterpret_cast<ShapeFn>(dlsym(lib, "Rectangle"));
    auto ellipse = reinterpret_cast<ShapeFn>(dlsym(lib, "Ellipse"));
    auto stock = reinterpret_cast<StockFn>(dlsym(lib, "GetStockObject"));
    ASSERT_TRUE(create && close && del && brush && select && rectangle && ellipse && stock);

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

TEST(MetafileWmf, RandomlyDamagedFilesDrawOrRefuseCleanly)
{
    // the sample plus text, a poly-polygon, a save/restore pair and a DIB blit
    WmfWriter w;
    w.rec(0x020C, {100, 200});
    w.rec(0x02FB, {12, 0, 0, 0, 400, 0, 0, 0, 0x4141, 0x4141, 0});  // font "AAAA"
    w.rec(0x012D, {0});
    w.rec(0x0521, {5, 0x6548, 0x6C6C, 0x006F, 20, 10});          // text "Hello"
    w.rec(0x001E, {});
    w.rec(0x0538, {2, 3, 3, 0, 0, 50, 0, 0, 50, 60, 60, 90, 60, 60, 90});
    w.rec(0x0127, {uint16_t(-1)});
    QByteArray dib(40, '\0');
    dib[0] = 40;
    dib[4] = 2;
    dib[8] = 2;
    dib[12] = 1;
    dib[14] = 24;
    dib += QByteArray::fromHex("0000ff00ff000000ff0000ffffff0000");
    w.rec(0x0F43, {0x20, 0xCC, 2, 2, 0, 0, 2, 2, 0, 0, 40, 40, 150, 60}, dib);  // stretch DIB
    const QByteArray good = w.build(200, 100, 96, 2);
    std::mt19937 rng(77);
    int drawn = 0;
    for (int i = 0; i < 600; ++i) {
        QByteArray d = good;
        if (i % 3 == 0) {
            d.truncate(int(rng() % uint32_t(d.size())));
        } else {
            const int flips = 1 + int(rng() % 3);
            for (int k = 0; k < flips; ++k) {
                // mostly inside the records, where the counts and sizes are
                const int at = 22 + int(rng() % uint32_t(d.size() - 22));
                d[at] = char(i % 2 ? rng() : (rng() & 1 ? 0xFF : 0x7F));
            }
        }
        SCOPED_TRACE(i);
        try {
            TMetafile m;
            m.LoadFromData(d);
            QImage img(m.Width(), m.Height(), QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            m.Draw(p, TRect(0, 0, m.Width(), m.Height()));
            ++drawn;
        } catch (const EInvalidGraphic&) {
        }
    }
    EXPECT_GT(drawn, 0);
}

TEST(MetafileEmf, RandomlyDamagedFilesDrawOrRefuseCleanly)
{
    REQUIRE_TOOLS(QStringLiteral("lib:libEMF.so.1"));
    void* lib = dlopen("libEMF.so.1", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr);
    struct Rect {
        int left, top, right, bottom;
    };
    using CreateFn = void* (*)(void*, const char*, const Rect*, const char*);
    using CloseFn = void* (*)(void*);
    using DeleteFn = int (*)(void*);
    using BrushFn = void* (*)(uint32_t);
    using SelectFn = void* (*)(void*, void*);
    using ShapeFn = int (*)(void*, int, int, int, int);
    auto create = reinterpret_cast<CreateFn>(dlsym(lib, "CreateEnhMetaFileA"));
    auto close = reinterpret_cast<CloseFn>(dlsym(lib, "CloseEnhMetaFile"));
    auto del = reinterpret_cast<DeleteFn>(dlsym(lib, "DeleteEnhMetaFile"));
    auto brush = reinterpret_cast<BrushFn>(dlsym(lib, "CreateSolidBrush"));
    auto select = reinterpret_cast<SelectFn>(dlsym(lib, "SelectObject"));
    auto rectangle = reinterpret_cast<ShapeFn>(dlsym(lib, "Rectangle"));
    auto ellipse = reinterpret_cast<ShapeFn>(dlsym(lib, "Ellipse"));
    ASSERT_TRUE(create && close && del && brush && select && rectangle && ellipse);
    const QString path = TempDir() + QStringLiteral("/m.emf");
    const QByteArray name = path.toLocal8Bit();
    const Rect frame{0, 0, 2646, 1323};
    void* dc = create(nullptr, name.constData(), &frame, nullptr);
    ASSERT_NE(dc, nullptr);
    select(dc, brush(0x00FF00));
    rectangle(dc, 0, 0, 50, 50);
    ellipse(dc, 60, 10, 90, 40);
    del(close(dc));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    std::mt19937 rng(99);
    int drawn = 0;
    for (int i = 0; i < 300; ++i) {
        QByteArray d = good;
        if (i % 3 == 0) {
            d.truncate(int(rng() % uint32_t(d.size())));
        } else {
            const int flips = 1 + int(rng() % 3);
            for (int k = 0; k < flips; ++k) {
                const int at = 88 + int(rng() % uint32_t(d.size() - 88));
                d[at] = char(i % 2 ? rng() : (rng() & 1 ? 0xFF : 0x7F));
            }
        }
        SCOPED_TRACE(i);
        try {
            TMetafile m;
            m.LoadFromData(d);
            QImage img(m.Width(), m.Height(), QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            m.Draw(p, TRect(0, 0, m.Width(), m.Height()));
            ++drawn;
        } catch (const EInvalidGraphic&) {
        }
    }
    EXPECT_GT(drawn, 0);
}
