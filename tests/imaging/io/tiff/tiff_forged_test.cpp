// Files built entry by entry: the forms only a forged directory shows (palettes of two
// colours, resolution units), and untrusted ones: forged directories, cut and mutated
// files, the malformed TIFFs of gdk-pixbuf's tests. Each bad one is refused with
// EInvalidGraphic or read in part; none crashes, and a refused file leaves the bitmap
// as it was.

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "tiff_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Tag {
    uint16_t tag, type;
    std::vector<uint32_t> values;
};

// A little-endian TIFF of one directory whose entries are given; value arrays follow
// the directory; `pixels` go at offset 8 (StripOffsets 0 is replaced by 8).
QByteArray forge(std::vector<Tag> tags, const QByteArray& pixels, uint32_t next = 0)
{
    QByteArray b(8, '\0');
    b[0] = b[1] = 'I';
    b[2] = 42;
    b += pixels;
    if (b.size() & 1)
        b += '\0';
    const uint32_t ifd = uint32_t(b.size());
    putLe32(reinterpret_cast<uint8_t*>(b.data()) + 4, ifd);
    QByteArray dir(2 + 12 * int(tags.size()) + 4, '\0'), extra;
    auto* d = reinterpret_cast<uint8_t*>(dir.data());
    putLe16(d, uint16_t(tags.size()));
    const uint32_t extraAt = ifd + uint32_t(dir.size());
    for (size_t i = 0; i < tags.size(); ++i) {
        uint8_t* e = d + 2 + 12 * i;
        const Tag& t = tags[i];
        const int size = t.type == 3 ? 2 : 4;
        putLe16(e, t.tag);
        putLe16(e + 2, t.type);
        putLe32(e + 4, uint32_t(t.values.size()));
        QByteArray v(size * int(t.values.size()), '\0');
        for (size_t k = 0; k < t.values.size(); ++k) {
            const uint32_t x = t.tag == 273 && t.values[k] == 0 ? 8 : t.values[k];
            size == 2 ? putLe16(reinterpret_cast<uint8_t*>(v.data()) + 2 * k, uint16_t(x))
                      : putLe32(reinterpret_cast<uint8_t*>(v.data()) + 4 * k, x);
        }
        if (v.size() <= 4) {
            std::copy(v.begin(), v.end(), reinterpret_cast<char*>(e + 8));
        } else {
            putLe32(e + 8, extraAt + uint32_t(extra.size()));
            extra += v;
        }
    }
    putLe32(d + dir.size() - 4, next);
    return b + dir + extra;
}

std::vector<Tag> rgbTags(uint32_t w, uint32_t h, uint32_t bytes)
{
    return {{256, 4, {w}}, {257, 4, {h}}, {258, 3, {8, 8, 8}}, {262, 3, {2}},
            {273, 4, {0}}, {277, 3, {3}}, {279, 4, {bytes}}};
}

std::vector<Tag> with(std::vector<Tag> tags, const Tag& t)
{
    for (Tag& x : tags)
        if (x.tag == t.tag) {
            x = t;
            return tags;
        }
    tags.push_back(t);
    std::sort(tags.begin(), tags.end(), [](const Tag& a, const Tag& b) { return a.tag < b.tag; });
    return tags;
}

// Reads from memory; the message of a refusal, empty when it loaded.
QString readMemory(const QByteArray& file, TBitmap& bmp, int* count = nullptr)
{
    TMemoryStream ms(file);
    TIOParamsVals params;
    TProgressRec progress;
    try {
        const int n = ReadTIFFStream(ms, bmp, params, progress);
        if (count)
            *count = n;
    } catch (const EInvalidGraphic& e) {
        return e.Message().isEmpty() ? QStringLiteral("?") : e.Message();
    }
    return {};
}

TEST(TiffForged, ForgedDirectoriesAreRefused)
{
    const QByteArray px(12 * 4 * 3, char(0x80));
    const auto base = rgbTags(12, 4, uint32_t(px.size()));
    const std::vector<Tag> palette8 = {{256, 4, {12}}, {257, 4, {4}}, {258, 3, {8}}, {262, 3, {3}},
                                       {273, 4, {0}},  {277, 3, {1}}, {279, 4, {48}}};
    struct Case {
        const char* name;
        QByteArray file;
    };
    const Case cases[] = {
        {"short colour map", forge(with(palette8, {320, 3, std::vector<uint32_t>(3 * 256 - 1, 0)}), px)},
        {"strip offsets and counts differ", forge(with(with(base, {273, 4, {0, 8}}), {279, 4, {72}}), px)},
        {"planes not in three groups",
         forge(with(with(with(base, {284, 3, {2}}), {273, 4, {0, 8}}), {279, 4, {48, 48}}), px)},
        {"unequal sample sizes", forge(with(base, {258, 3, {8, 8, 16}}), px)},
        {"tiles", forge({{256, 4, {12}},
                         {257, 4, {4}},
                         {258, 3, {8, 8, 8}},
                         {262, 3, {2}},
                         {277, 3, {3}},
                         {322, 3, {16}},
                         {323, 3, {16}},
                         {324, 4, {8}},
                         {325, 4, {144}}},
                        px)},
        {"JPEG", forge(with(base, {259, 3, {7}}), px)},
        {"LZW without a coder", forge(with(base, {259, 3, {5}}), px)},
        {"YCbCr", forge(with(base, {262, 3, {6}}), px)},
        {"16-bit RGB", forge(with(base, {258, 3, {16, 16, 16}}), px)},
        {"absurd size", forge(with(with(base, {256, 4, {100000}}), {257, 4, {100000}}), px)},
        {"no pixels", forge(with(base, {256, 4, {0}}), px)},
        {"no strips", forge({{256, 4, {12}}, {257, 4, {4}}, {258, 3, {8, 8, 8}}, {262, 3, {2}}, {277, 3, {3}}}, px)},
        {"fax on 8 bits", forge(with(base, {259, 3, {4}}), px)},
        {"cut to a tiny share", forge(rgbTags(1000, 1000, 3000000), px)},
        // 144 packed bytes unpack to 9216 at most: not a 64th of 12 MB.
        {"packed far too short", forge(with(rgbTags(2000, 2000, 144), {259, 3, {32773}}), px)},
        {"not a TIFF", QByteArray("XX*\0\0\0\0\0", 8) + px},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bmp(3, 2);
        EXPECT_FALSE(readMemory(c.file, bmp).isEmpty());
        EXPECT_EQ(bmp.Width(), 3);
    }
    TBitmap bmp;
    EXPECT_EQ(readMemory(forge(with(base, {259, 3, {5}}), px), bmp), QStringLiteral("LZW Decompressor not found"));
}

// A 1-bit palette is applied only when its two entries differ; black and white in
// either order stays 1-bit.
TEST(TiffForged, TwoColourPalettesAndResolutionUnits)
{
    const QByteArray px(2, char(0x40));  // one row: pixel 1 set
    struct Case {
        std::vector<uint32_t> map;  // red, green, blue blocks of 16-bit values
        TPixelFormat format;
        TColor first, second;
    };
    const Case cases[] = {
        {{0, 65535, 0, 65535, 0, 65535}, pf1bit, clBlack, clWhite},
        {{65535, 0, 65535, 0, 65535, 0}, pf1bit, clWhite, clBlack},
        {{65535, 0, 0, 0, 0, 65535}, pf24bit, RGB(255, 0, 0), RGB(0, 0, 255)},
        {{30000, 30000, 30000, 30000, 30000, 30000}, pf1bit, clBlack, clWhite},
    };
    for (const Case& c : cases) {
        TBitmap bmp;
        ASSERT_TRUE(readMemory(forge({{256, 4, {2}},
                                      {257, 4, {1}},
                                      {258, 3, {1}},
                                      {262, 3, {3}},
                                      {273, 4, {0}},
                                      {279, 4, {1}},
                                      {320, 3, c.map}},
                                     px),
                               bmp)
                        .isEmpty());
        EXPECT_EQ(bmp.PixelFormat(), c.format);
        EXPECT_EQ(bmp.PixelColor(0, 0), c.first);
        EXPECT_EQ(bmp.PixelColor(1, 0), c.second);
    }
    // Centimetres: 118 dots become 299 per inch.
    QByteArray file =
        forge({{256, 4, {1}}, {257, 4, {1}}, {262, 3, {1}}, {273, 4, {0}}, {279, 4, {1}}, {282, 5, {0}}, {296, 3, {3}}},
              QByteArray(1, '\0'));
    file += QByteArray(8, '\0');
    uint8_t* p = reinterpret_cast<uint8_t*>(file.data());
    putLe32(p + file.size() - 8, 118);
    putLe32(p + file.size() - 4, 1);
    const uint32_t at = le32(p + 4);
    for (int i = 0; i < le16(p + at); ++i)
        if (le16(p + at + 2 + 12 * i) == 282)
            putLe32(p + at + 2 + 12 * i + 8, uint32_t(file.size() - 8));
    TMemoryStream ms(file);
    TBitmap bmp;
    TIOParamsVals params;
    TProgressRec progress;
    ReadTIFFStream(ms, bmp, params, progress);
    EXPECT_EQ(params.DpiX, 299);
}

// A chain that points back at itself counts each directory once; a cut file reads
// what is there, the rest white.
TEST(TiffForged, LoopsAndShortFiles)
{
    QByteArray px(12 * 4 * 3, char(0x40));
    QByteArray looped = forge(rgbTags(12, 4, uint32_t(px.size())), px);
    const uint32_t ifd = le32(reinterpret_cast<const uint8_t*>(looped.constData()) + 4);
    const int entries = le16(reinterpret_cast<const uint8_t*>(looped.constData()) + ifd);
    putLe32(reinterpret_cast<uint8_t*>(looped.data()) + ifd + 2 + 12 * entries, ifd);
    TBitmap bmp;
    int count = 0;
    EXPECT_TRUE(readMemory(looped, bmp, &count).isEmpty());
    EXPECT_EQ(count, 1);
    TMemoryStream ms(looped);
    EXPECT_EQ(GetTIFFStreamImageCount(ms), 1);

    // Byte counts past the end: the rows there stay white.
    QByteArray cut = forge(rgbTags(12, 4, 12 * 4 * 3), QByteArray());
    const uint8_t* p = reinterpret_cast<const uint8_t*>(cut.constData());
    const uint32_t at = le32(p + 4);
    for (int i = 0; i < le16(p + at); ++i)
        if (le16(p + at + 2 + 12 * i) == 273)
            putLe32(reinterpret_cast<uint8_t*>(cut.data()) + at + 2 + 12 * i + 8, uint32_t(cut.size()));
    cut += QByteArray(12 * 2 * 3, char(0x40));
    TBitmap part;
    EXPECT_TRUE(readMemory(cut, part).isEmpty());
    ASSERT_EQ(part.Height(), 4);
    EXPECT_EQ(part.ScanLine(1)[0], 0x40);
    EXPECT_EQ(part.ScanLine(3)[0], 0xFF);
}

// Every cut and many one-byte mutations of real files, and the malformed samples of
// gdk-pixbuf: refused or read, never a crash (the sanitiser watches).
TEST(TiffForged, CutMutatedAndKnownBadFilesNeverCrash)
{
    std::vector<QByteArray> seeds;
    for (int c : {0, 1, 2, 3, 4, 8}) {
        TBitmap pic = c == 0 || c == 8 ? TBitmap(17, 9) : tifftest::BilevelPattern(37, 9, uint32_t(c));
        TMemoryStream ms;
        TIOParamsVals params;
        params.TiffCompression = uint8_t(c);
        params.BitsPerSample = c == 0 || c == 8 ? 8 : 1;
        params.SamplesPerPixel = c == 0 ? 3 : 1;
        TProgressRec progress;
        WriteTIFFStream(ms, false, pic, progress, params);
        seeds.push_back(ms.Bytes());
    }
    std::mt19937 rng(3);
    for (const QByteArray& seed : seeds) {
        for (qsizetype n = 0; n < seed.size(); n += 3) {
            TBitmap bmp;
            readMemory(seed.left(n), bmp);
        }
        for (int i = 0; i < 300; ++i) {
            QByteArray m = seed;
            m[qsizetype(rng() % m.size())] = char(rng());
            if (i % 3 == 0)
                m[qsizetype(rng() % m.size())] = char(0xFF);
            TBitmap bmp;
            readMemory(m, bmp);
        }
    }
    const QString dir = QStringLiteral("/usr/libexec/installed-tests/gdk-pixbuf/test-images");
    if (!QFile::exists(dir))
        GTEST_SKIP() << "missing tool: gdk-pixbuf-tests";
    for (const QString& name :
         {QStringLiteral("/fail/bug780269.tif"), QStringLiteral("/fail/bug784903-overflow-dimensions.tiff"),
          QStringLiteral("/randomly-modified/valid.1.tiff")}) {
        SCOPED_TRACE(name.toStdString());
        TBitmap bmp(3, 2);
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        try {
            io.LoadFromFile(dir + name);
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(e.Message().endsWith(QLatin1String("unrecognized TIFF")));
            EXPECT_EQ(bmp.Width(), 3);
        }
    }
}

}  // namespace
