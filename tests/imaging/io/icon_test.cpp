// Icons and cursors made by other programs, loaded at the asked size.

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/icon.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;

namespace {

QByteArray loadIcon(const QString& path, int w, int h, TBitmap& into, bool cursor = false)
{
    TImageKitIO io;
    io.SetAttachedBitmap(&into);
    if (cursor) {
        io.Params().CurWidth = w;
        io.Params().CurHeight = h;
        io.LoadFromFileCUR(path);
        EXPECT_EQ(io.Params().FileType, ioCUR);
    } else {
        io.Params().IcoWidth = w;
        io.Params().IcoHeight = h;
        io.LoadFromFileICO(path);
        EXPECT_EQ(io.Params().FileType, ioICO);
    }
    EXPECT_EQ(into.Width(), w);
    EXPECT_EQ(into.Height(), h);
    return BitmapRGB(into);
}

}  // namespace

TEST(IconOracle, ImageMagickIconsPickTheNearestEntry)
{
    REQUIRE_TOOLS(QStringLiteral("convert"));
    const QString dir = TempDir();
    QStringList args;
    std::vector<QImage> sizes;
    for (int s : {16, 32, 48}) {
        sizes.push_back(Pattern(s, s, 200, uint32_t(s)));
        const QString ppm = dir + QStringLiteral("/i%1.ppm").arg(s);
        WritePPM(sizes.back(), ppm);
        args << ppm;
    }
    args << dir + QStringLiteral("/multi.ico");
    ASSERT_EQ(RunTool(QStringLiteral("convert"), args), 0);
    TBitmap b;
    EXPECT_EQ(FirstDifference(loadIcon(dir + QStringLiteral("/multi.ico"), 32, 32, b), ImageRGB(sizes[1])), -1);
    EXPECT_EQ(FirstDifference(loadIcon(dir + QStringLiteral("/multi.ico"), 16, 16, b), ImageRGB(sizes[0])), -1);
    EXPECT_EQ(FirstDifference(loadIcon(dir + QStringLiteral("/multi.ico"), 48, 48, b), ImageRGB(sizes[2])), -1);
    // between sizes: the nearest entry, stretched
    loadIcon(dir + QStringLiteral("/multi.ico"), 46, 46, b);

    // a cursor made the same way
    ASSERT_EQ(RunTool(QStringLiteral("convert"), {dir + QStringLiteral("/i32.ppm"), dir + QStringLiteral("/c.cur")}),
              0);
    EXPECT_EQ(FirstDifference(loadIcon(dir + QStringLiteral("/c.cur"), 32, 32, b, true), ImageRGB(sizes[1])), -1);
}

TEST(IconOracle, PilIconsWithPngAndBitmapEntriesAndTransparency)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QString dir = TempDir();
    const QImage src = Pattern(32, 32, 100, 9);
    WritePPM(src, dir + QStringLiteral("/s.ppm"));
    // the left half is transparent
    const QString code = QStringLiteral("import sys\nfrom PIL import Image\n"
                                        "im = Image.open(sys.argv[1]).convert('RGBA')\n"
                                        "for x in range(16):\n"
                                        "    for y in range(32): im.putpixel((x, y), (0, 0, 0, 0))\n"
                                        "im.save(sys.argv[2], sizes=[(32, 32)])\n"
                                        "im.save(sys.argv[3], sizes=[(32, 32)], bitmap_format='bmp')\n");
    QByteArray err;
    ASSERT_EQ(Python(code,
                     {dir + QStringLiteral("/s.ppm"), dir + QStringLiteral("/png.ico"),
                      dir + QStringLiteral("/bmp.ico")},
                     nullptr, &err),
              0)
        << err.constData();
    QImage expected = src.copy();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 16; ++x)
            expected.setPixelColor(x, y, Qt::white);
    for (const char* name : {"/png.ico", "/bmp.ico"}) {
        SCOPED_TRACE(name);
        TBitmap b;
        EXPECT_EQ(FirstDifference(loadIcon(dir + QLatin1String(name), 32, 32, b), ImageRGB(expected)), -1);
    }
}

TEST(IconOracle, NetpbmIconsAndShippedSamples)
{
    const QString dir = TempDir();
    const QString sdl = QStringLiteral("/usr/libexec/installed-tests/SDL2_image");
    REQUIRE_TOOLS(QStringLiteral("ppmtowinicon"), QStringLiteral("convert"), sdl + QStringLiteral("/sample.ico"),
                  sdl + QStringLiteral("/sample.cur"));
    {
        const QImage src = Pattern(16, 16, 12, 4);
        WritePPM(src, dir + QStringLiteral("/n.ppm"));
        ASSERT_EQ(RunTool(QStringLiteral("sh"),
                          {QStringLiteral("-c"), QStringLiteral("ppmtowinicon '%1/n.ppm' > '%1/n.ico'").arg(dir)}),
                  0);
        TBitmap b;
        EXPECT_EQ(FirstDifference(loadIcon(dir + QStringLiteral("/n.ico"), 16, 16, b), ImageRGB(src)), -1);
    }
    {
        for (const char* name : {"sample.ico", "sample.cur"}) {
            SCOPED_TRACE(name);
            const QString path = sdl + QLatin1Char('/') + QLatin1String(name);
            int w = 0, h = 0;
            const QByteArray magick = MagickRGB(path, &w, &h);
            ASSERT_GT(w, 0);
            TBitmap b;
            const QByteArray ours = loadIcon(path, w, h, b, QLatin1String(name).endsWith(QLatin1String(".cur")));
            // opaque pixels agree exactly; transparent ones are white here
            int same = 0, opaque = 0;
            for (int i = 0; i + 2 < ours.size(); i += 3) {
                if (ours.mid(i, 3) == QByteArray(3, '\xFF'))
                    continue;
                ++opaque;
                same += ours.mid(i, 3) == magick.mid(i, 3);
            }
            EXPECT_GT(opaque, 0);
            EXPECT_EQ(same, opaque);
        }
    }
}

TEST(IconHostile, MalformedIconsRaiseCleanErrors)
{
    const QString root = QStringLiteral("/usr/libexec/installed-tests/gdk-pixbuf");
    REQUIRE_TOOLS(root);
    int seen = 0;
    QDirIterator it(root, {QStringLiteral("*.ico")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++seen;
        TBitmap b(2, 2);
        TImageKitIO io;
        io.SetAttachedBitmap(&b);
        io.Params().IcoWidth = 32;
        io.Params().IcoHeight = 32;
        try {
            io.LoadFromFileICO(path);
            EXPECT_EQ(b.Width(), 32);
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(e.Message().endsWith(QStringLiteral("unrecognized ICO")));
            EXPECT_EQ(b.Width(), 2);
        }
    }
    EXPECT_GE(seen, 5);

    // hand-made: directory entries pointing outside the file, absurd sizes
    TIcon icon;
    icon.SetRequestedSize(16, 16);
    QByteArray dirOnly("\0\0\1\0\1\0", 6);
    dirOnly += QByteArray("\x10\x10\0\0\1\0\x20\0\xFF\xFF\0\0\x16\0\0\0", 16);
    EXPECT_THROW(icon.LoadFromData(dirOnly), EInvalidGraphic);
    QByteArray huge = dirOnly.left(22);
    QByteArray dib(40, '\0');
    dib[0] = 40;
    dib[4] = '\xFF';
    dib[5] = '\xFF';
    dib[6] = '\xFF';
    dib[7] = '\x7F';  // width 2^31 − 1
    dib[8] = 2;
    dib[14] = 32;
    huge[14] = 40;
    huge[15] = 0;
    huge += dib;
    EXPECT_THROW(icon.LoadFromData(huge), EInvalidGraphic);
    EXPECT_THROW(icon.LoadFromData(QByteArray("\0\0\1\0\xFF\xFF", 6)), EInvalidGraphic);
}
