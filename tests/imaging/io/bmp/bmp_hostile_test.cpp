// Hand-made BMP files: unusual but valid layouts read right, broken ones raise
// EInvalidGraphic and leave the target bitmap as it was.

#include "common/test_support.h"
#include "imaging/io/bmp/bmp.h"
#include "imaging/proc/dib.h"
#include "imaging/io/io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <QDirIterator>
#include <gtest/gtest.h>

#include <optional>

using namespace iotest;

namespace {

struct Bmp {
    int headerSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    int bits = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> table;  // 0x00RRGGBB
    std::vector<uint32_t> masks;  // written after a 40-byte header, or inside a longer one
    QByteArray pixels;
    int64_t offsetOverride = -1;

    QByteArray build() const
    {
        QByteArray h(headerSize, '\0');
        auto put32 = [&](QByteArray& b, int at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                b[at + i] = char(v >> (8 * i));
        };
        auto put16 = [&](QByteArray& b, int at, uint32_t v) {
            b[at] = char(v);
            b[at + 1] = char(v >> 8);
        };
        put32(h, 0, uint32_t(headerSize));
        put32(h, 4, uint32_t(width));
        put32(h, 8, uint32_t(height));
        put16(h, 12, 1);
        put16(h, 14, uint32_t(bits));
        put32(h, 16, compression);
        put32(h, 32, colorsUsed);
        QByteArray extra;
        if (!masks.empty()) {
            if (headerSize >= 52)
                for (int i = 0; i < 3; ++i)
                    put32(h, 40 + 4 * i, masks[size_t(i)]);
            else
                for (uint32_t m : masks) {
                    QByteArray x(4, '\0');
                    put32(x, 0, m);
                    extra += x;
                }
        }
        for (uint32_t c : table) {
            QByteArray x(4, '\0');
            put32(x, 0, c);
            extra += x;
        }
        QByteArray f(14, '\0');
        f[0] = 'B';
        f[1] = 'M';
        const int64_t off = offsetOverride >= 0 ? offsetOverride : 14 + h.size() + extra.size();
        put32(f, 10, uint32_t(off));
        f += h + extra + pixels;
        put32(f, 2, uint32_t(f.size()));
        return f;
    }
};

TBitmap load(const QByteArray& data, TIOParamsVals* paramsOut = nullptr)
{
    TMemoryStream ms(data);
    TBitmap b;
    TIOParamsVals p;
    TProgressRec rec;
    ReadBMPStream(ms, b, 0, rec, p);
    if (paramsOut)
        paramsOut->Assign(p);
    return b;
}

QByteArray rgbOf(const TBitmap& b) { return BitmapRGB(b); }
QByteArray rgb(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

// The target keeps its picture when a read fails.
void expectRefusedKeepingTarget(const QByteArray& data)
{
    TBitmap target(3, 3, pf24bit);
    const QByteArray before = rgbOf(target);
    TMemoryStream ms(data);
    TIOParamsVals p;
    p.BmpVersion = 9;
    TProgressRec rec;
    EXPECT_THROW(ReadBMPStream(ms, target, 0, rec, p), EInvalidGraphic);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(rgbOf(target), before);
    EXPECT_EQ(p.BmpVersion, 9);
}

// Both BMP readers on the same file: the stream reader and the packed-DIB reader
// (through its BMP file entry). Null when the reader refused the file.
std::optional<QByteArray> viaFileReader(const QByteArray& file)
{
    try {
        return rgbOf(load(file));
    } catch (const EInvalidGraphic&) {
        return std::nullopt;
    }
}

std::optional<QByteArray> viaDibReader(const QByteArray& file)
{
    TBitmap b;
    try {
        BMPFileToBitmap(file, &b);
    } catch (const EInvalidGraphic&) {
        return std::nullopt;
    }
    return rgbOf(b);
}

QString refusal(const QByteArray& data)
{
    try {
        load(data);
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return QStringLiteral("<loaded>");
}

}  // namespace

TEST(BmpReadLayout, TopDownRowsComeOutTheRightWayUp)
{
    Bmp b;
    b.height = -2;
    // first row in the file is the top row: red, green; then blue, white
    b.pixels = rgb({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0});
    const TBitmap r = load(b.build());
    ASSERT_EQ(r.Height(), 2);
    EXPECT_EQ(rgbOf(r), rgb({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
}

TEST(BmpReadLayout, OneBitPalettesAreApplied)
{
    Bmp b;
    b.bits = 1;
    b.width = 3;
    b.height = 1;
    b.pixels = rgb({0xA0, 0, 0, 0});  // pixels 1, 0, 1
    b.table = {0xFFFFFF, 0x000000};   // white, black: bits inverted, still 1-bit
    TBitmap r = load(b.build());
    EXPECT_EQ(r.PixelFormat(), pf1bit);
    EXPECT_EQ(rgbOf(r), rgb({0, 0, 0, 255, 255, 255, 0, 0, 0}));
    b.table = {0x000000, 0xFFFFFF};
    r = load(b.build());
    EXPECT_EQ(r.PixelFormat(), pf1bit);
    EXPECT_EQ(rgbOf(r), rgb({255, 255, 255, 0, 0, 0, 255, 255, 255}));
    b.table = {0xFF0000, 0x0000FF};  // red, blue: shown in colour
    r = load(b.build());
    EXPECT_EQ(r.PixelFormat(), pf24bit);
    EXPECT_EQ(rgbOf(r), rgb({0, 0, 255, 255, 0, 0, 0, 0, 255}));
}

TEST(BmpReadLayout, SixteenBitMasksFromTheFile)
{
    // 565: pure red, pure green, pure blue, one of each lowest bit
    Bmp b;
    b.bits = 16;
    b.width = 4;
    b.height = 1;
    b.compression = 3;
    b.masks = {0xF800, 0x07E0, 0x001F};
    b.pixels = rgb({0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x21, 0x08});
    const QByteArray expected = rgb({255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 4, 8});
    TIOParamsVals p;
    EXPECT_EQ(rgbOf(load(b.build(), &p)), expected);
    EXPECT_EQ(p.BitsPerSample, 5);
    // the same masks inside a 108-byte header
    b.headerSize = 108;
    EXPECT_EQ(rgbOf(load(b.build())), expected);
    // without bit fields the fixed 5-5-5 layout holds
    Bmp c;
    c.bits = 16;
    c.width = 2;
    c.height = 1;
    c.pixels = rgb({0x00, 0x7C, 0x1F, 0x00});
    EXPECT_EQ(rgbOf(load(c.build())), rgb({255, 0, 0, 0, 0, 255}));
}

TEST(BmpReadLayout, LongHeaderTableAndShortTables)
{
    // 108-byte header, 8 bits, a table of 3 entries
    Bmp b;
    b.headerSize = 108;
    b.bits = 8;
    b.width = 4;
    b.height = 1;
    b.colorsUsed = 3;
    b.table = {0x102030, 0x405060, 0x708090};
    b.pixels = rgb({2, 1, 0, 200});  // index 200 lies past the table: black
    TIOParamsVals p;
    EXPECT_EQ(rgbOf(load(b.build(), &p)), rgb({0x70, 0x80, 0x90, 0x40, 0x50, 0x60, 0x10, 0x20, 0x30, 0, 0, 0}));
    EXPECT_EQ(p.ColorMapCount, 3);
    EXPECT_EQ(p.BmpVersion, 0);
    // 4 bits with colours-used 0 reads a 16-entry table
    Bmp f;
    f.bits = 4;
    f.width = 2;
    f.height = 1;
    for (int i = 0; i < 16; ++i)
        f.table.push_back(uint32_t(i * 0x111111));
    f.pixels = rgb({0xF1, 0, 0, 0});
    EXPECT_EQ(rgbOf(load(f.build(), &p)), rgb({255, 255, 255, 17, 17, 17}));
    EXPECT_EQ(p.ColorMapCount, 16);
}

TEST(BmpReadLayout, RunLengthDataStaysInsideTheImage)
{
    Bmp b;
    b.bits = 8;
    b.compression = 1;
    b.width = 3;
    b.height = 2;
    b.colorsUsed = 2;
    b.table = {0xFF0000, 0x00FF00};
    // run of 5 (cut at the row end), end of line, literal of index 1 and 7 (7 past the
    // table: black) and 0, delta far right and up past the image, end of bitmap
    b.pixels = rgb({5, 0, 0, 0, 0, 3, 1, 7, 0, 0, 0, 2, 200, 200, 0, 1});
    TBitmap r = load(b.build());
    // top row (second in the file): green, black, red; bottom: red red red
    EXPECT_EQ(rgbOf(r), rgb({0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0}));
    // a delta that moves right only, then a run: the skipped pixel stays unfilled
    b.pixels = rgb({0, 2, 1, 0, 2, 1, 0, 1});
    r = load(b.build());
    EXPECT_EQ(rgbOf(r).right(9), rgb({255, 255, 255, 0, 255, 0, 0, 255, 0}));

    // 4-bit runs alternate nibbles; a literal that claims more bytes than are left
    Bmp c;
    c.bits = 4;
    c.compression = 2;
    c.width = 5;
    c.height = 1;
    c.colorsUsed = 2;
    c.table = {0x000000, 0xFFFFFF};
    c.pixels = rgb({5, 0x10, 0, 40, 0x11});
    EXPECT_EQ(rgbOf(load(c.build())), rgb({255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255}));
}

TEST(BmpReadLayout, ShortPixelDataLoadsWhatIsThere)
{
    Bmp b;
    b.width = 1;
    b.height = 2;
    b.pixels = rgb({1, 2, 3, 0});  // only the bottom row
    const TBitmap r = load(b.build());
    ASSERT_EQ(r.Height(), 2);
    EXPECT_EQ(rgbOf(r).right(3), rgb({3, 2, 1}));
}

TEST(BmpReadHostile, BrokenHeadersAreRefused)
{
    Bmp good;
    good.pixels = QByteArray(16, '\0');
    const QByteArray ok = good.build();
    load(ok);

    QByteArray sig = ok;
    sig[0] = 'X';
    expectRefusedKeepingTarget(sig);
    expectRefusedKeepingTarget(ok.left(10));
    expectRefusedKeepingTarget(ok.left(30));

    Bmp b = good;
    b.bits = 8;
    b.colorsUsed = 300;  // more than 2^8
    expectRefusedKeepingTarget(b.build());

    b = good;
    b.bits = 4;
    b.colorsUsed = 16;  // the table is not there
    b.pixels.clear();
    b.offsetOverride = 0;
    expectRefusedKeepingTarget(b.build());

    b = good;
    b.offsetOverride = 100000;
    expectRefusedKeepingTarget(b.build());

    b = good;
    b.width = 100000;
    b.height = 100000;
    expectRefusedKeepingTarget(b.build());

    b = good;
    b.width = 0;
    expectRefusedKeepingTarget(b.build());

    b = good;
    b.width = int32_t(0x80000000u);
    expectRefusedKeepingTarget(b.build());

    QByteArray tiny = ok;
    tiny[14] = 7;  // a header size no variant has
    expectRefusedKeepingTarget(tiny);

    b = good;
    b.bits = 16;
    b.compression = 3;  // masks announced but the file ends
    QByteArray cut = b.build().left(54);
    expectRefusedKeepingTarget(cut);
}

TEST(BmpReadHostile, MalformedFilesFromTheGdkPixbufSuiteNeverCrash)
{
    const QString root = QStringLiteral("/usr/libexec/installed-tests/gdk-pixbuf");
    REQUIRE_TOOLS(root);
    int seen = 0, loaded = 0;
    QDirIterator it(root, {QStringLiteral("*.bmp")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++seen;
        try {
            TFileStream fs(path, fmOpenRead);
            TBitmap b;
            TIOParamsVals p;
            TProgressRec rec;
            ReadBMPStream(fs, b, fs.Size(), rec, p);
            EXPECT_GT(b.Width(), 0);
            ++loaded;
        } catch (const EInvalidGraphic&) {}
    }
    EXPECT_GE(seen, 8);
    // the valid ones and the reference pictures among them load
    EXPECT_GE(loaded, 2);
}

TEST(BmpReadLayout, AbortedLoadLeavesUnreadRowsWhite)
{
    for (int bits : {24, 8}) {
        SCOPED_TRACE(bits);
        Bmp b;
        b.bits = bits;
        b.width = 2;
        b.height = 3;
        if (bits == 8) {
            b.colorsUsed = 1;
            b.table = {0x123456};
            b.pixels = QByteArray(3 * 4, '\0');
        } else {
            b.pixels = QByteArray(3 * 8, '\x11');
        }
        TMemoryStream ms(b.build());
        // Fill the target's memory with a pattern first, so that stale bytes would show.
        TBitmap target(2, 3, pf24bit);
        TIOParamsVals p;
        bool aborting = false;
        int reports = 0;
        TProgressRec rec;
        rec.Aborting = &aborting;
        rec.fOnProgress = [&](TObject*, int) {
            if (++reports == 2)
                aborting = true;  // after the bottom row
        };
        ReadBMPStream(ms, target, 0, rec, p);
        const QByteArray px = rgbOf(target);
        ASSERT_EQ(px.size(), 18);
        const QByteArray bottom = bits == 8 ? rgb({0x12, 0x34, 0x56, 0x12, 0x34, 0x56}) : QByteArray(6, '\x11');
        EXPECT_EQ(px.right(6), bottom);
        EXPECT_EQ(px.left(12), QByteArray(12, '\xFF'));
    }
}

TEST(BmpReadBothReaders, NarrowBitFieldsWidenToTheFullRange)
{
    // One pixel each; the bits of every channel are repeated below themselves.
    struct Case {
        const char* what;
        int bits;
        std::vector<uint32_t> masks;  // none: compression 0
        uint32_t pixel;
        QByteArray rgb;
    } cases[] = {
        {"555 white", 16, {}, 0x7FFF, rgb({255, 255, 255})},
        {"555 ones", 16, {}, 0x0421, rgb({8, 8, 8})},
        {"555 halves", 16, {}, 0x4210, rgb({132, 132, 132})},
        {"565 white", 16, {0xF800, 0x07E0, 0x001F}, 0xFFFF, rgb({255, 255, 255})},
        {"565 ones", 16, {0xF800, 0x07E0, 0x001F}, 0x0821, rgb({8, 4, 8})},
        {"565 mixed", 16, {0xF800, 0x07E0, 0x001F}, (30u << 11) | (33u << 5) | 15u, rgb({247, 134, 123})},
        {"444", 16, {0x0F00, 0x00F0, 0x000F}, 0x0A5F, rgb({170, 85, 255})},
        {"332", 16, {0x00E0, 0x001C, 0x0003}, 0x00B6, rgb({182, 182, 170})},
        {"32-bit 10-bit channels",
         32,
         {0x3FF00000, 0x000FFC00, 0x000003FF},
         (1023u << 20) | (512u << 10) | 3u,
         rgb({255, 128, 0})},
        {"32-bit plain", 32, {}, 0x00123456, rgb({0x12, 0x34, 0x56})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bmp b;
        b.bits = c.bits;
        b.width = 1;
        b.height = 1;
        b.masks = c.masks;
        b.compression = c.masks.empty() ? 0 : 3;
        b.pixels = QByteArray(4, '\0');
        for (int i = 0; i < c.bits / 8; ++i)
            b.pixels[i] = char(c.pixel >> (8 * i));
        const QByteArray file = b.build();
        EXPECT_EQ(viaFileReader(file), c.rgb);
        EXPECT_EQ(viaDibReader(file), c.rgb);
    }
}

TEST(BmpReadBothReaders, OnlyDecodableCodingsAreAccepted)
{
    // Every depth and compression a header can name near the real ones. The file reader
    // takes exactly the decodable set; the packed-DIB reader the same less run-length data.
    auto decodable = [](int bits, uint32_t compression) {
        switch (compression) {
        case 0: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case 1: return bits == 8;
        case 2: return bits == 4;
        case 3: return bits == 16 || bits == 32;
        default: return false;
        }
    };
    for (int bits : {0, 1, 2, 3, 4, 5, 8, 12, 15, 16, 24, 32, 48, 64}) {
        for (uint32_t compression : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 11u, 0x7FFFFFFFu}) {
            SCOPED_TRACE(QStringLiteral("%1 bits, compression %2").arg(bits).arg(compression).toStdString());
            Bmp b;
            b.bits = bits;
            b.compression = compression;
            if (compression == 3)
                b.masks = bits == 32 ? std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF}
                                     : std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F};
            if (bits >= 1 && bits <= 8)
                b.table.assign(size_t(1) << bits, 0x808080);
            b.pixels = QByteArray(2 * ((2 * bits + 31) / 32 * 4), '\0');
            const QByteArray file = b.build();
            const bool rle = compression == 1 || compression == 2;
            EXPECT_EQ(viaFileReader(file).has_value(), decodable(bits, compression));
            EXPECT_EQ(viaDibReader(file).has_value(), decodable(bits, compression) && !rle);
            if (!decodable(bits, compression)) {
                EXPECT_EQ(refusal(file), QStringLiteral("unrecognized BMP"));
            }
        }
    }
    // A bit-field mask of no bits names no channel: refused by both.
    Bmp z;
    z.bits = 16;
    z.compression = 3;
    z.masks = {0x7C00, 0, 0x001F};
    z.pixels = QByteArray(8, '\0');
    EXPECT_FALSE(viaFileReader(z.build()).has_value());
    EXPECT_FALSE(viaDibReader(z.build()).has_value());
}

TEST(BmpReadHostile, ShortPixelDataBelowOneSixtyFourthIsRefusedBeforeAllocating)
{
    struct Case {
        const char* what;
        int width, height, bits;
        uint32_t compression;
        int present;  // bytes of pixel data in the file
        bool loads;
    } cases[] = {
        // 1000 × 1000 × 24 bits: 3,000,000 bytes, 1/64 of it is 46,875
        {"exactly 1/64", 1000, 1000, 24, 0, 46875, true},
        {"one byte under 1/64", 1000, 1000, 24, 0, 46874, false},
        {"header alone", 1000, 1000, 24, 0, 0, false},
        // the largest picture the cap lets a header ask for, from a few bytes
        {"768 MiB asked by 100 bytes", 16384, 16384, 24, 0, 100, false},
        {"1-bit", 16384, 16384, 1, 0, 100, false},
        {"8-bit", 16384, 16384, 8, 0, 100, false},
        {"32-bit", 8192, 8192, 32, 0, 100, false},
        // run-length data may describe much from little, but a few bytes not 400 MiB
        {"RLE8, end of bitmap only", 2000, 2000, 8, 1, 2, true},
        {"RLE4, 16 million rows from 2 bytes", 7, 16777214, 4, 2, 2, false},
        {"RLE8, 16 million rows from 2 bytes, top-down", 7, -16777214, 8, 1, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bmp b;
        b.width = c.width;
        b.height = c.height;
        b.bits = c.bits;
        b.compression = c.compression;
        if (c.bits <= 8)
            b.table.assign(size_t(1) << c.bits, 0x000000);
        b.pixels = QByteArray(c.present, '\0');
        if (c.compression != 0)
            b.pixels = rgb({0, 1});
        const QByteArray file = b.build();
        if (c.loads) {
            const TBitmap r = load(file);
            EXPECT_EQ(r.Width(), c.width);
            EXPECT_EQ(r.Height(), c.height);
        } else {
            expectRefusedKeepingTarget(file);
            EXPECT_EQ(refusal(file), QStringLiteral("BMP pixel data are truncated"));
        }
    }
}
