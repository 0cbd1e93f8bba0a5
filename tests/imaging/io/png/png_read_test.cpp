// Reading PNG: the PngSuite images Go ships, decoded to the pixels PIL gives (composed
// over the background the way the file asks); invalid and truncated files; bKGD;
// 1-bit palettes; resolution; progress and abort.

#include "codec_oracle.h"
#include "common/test_support.h"
#include "imaging/io/io_params.h"
#include "imaging/io/png/png.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace codectest;

namespace {

// The oracle: PIL for files of 8 bits and less; a small decoder of its own for
// 16-bit files, whose low bytes PIL drops. Transparent and partly transparent
// pixels are composed over bKGD when the file has one, else over the given colour,
// with the exact rounding of (fg·a + bg·(max − a)) / max.
const char* kOracle = R"(
import sys, struct, zlib
from PIL import Image
outdir = sys.argv[1]; bg = tuple(int(v) for v in sys.argv[2:5])

def chunks(path):
    d = open(path, 'rb').read(); pos = 8; out = []
    while pos + 8 <= len(d):
        n, = struct.unpack('>I', d[pos:pos+4]); out.append((d[pos+4:pos+8], d[pos+8:pos+8+n])); pos += 12 + n
    return out

def decode16(ch, w, h, ctype):
    nch = {0: 1, 2: 3, 4: 2, 6: 4}[ctype]; bpp = 2 * nch; stride = w * bpp
    raw = zlib.decompress(b''.join(c for t, c in ch if t == b'IDAT'))
    prev = bytearray(stride); p = 0; px = []
    for y in range(h):
        f = raw[p]; line = bytearray(raw[p+1:p+1+stride]); p += 1 + stride
        for i in range(stride):
            a = line[i-bpp] if i >= bpp else 0; b = prev[i]; c = prev[i-bpp] if i >= bpp else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                pa = abs(b - c); pb = abs(a - c); pc = abs(a + b - 2 * c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
        prev = line
        vals = [line[i] << 8 | line[i+1] for i in range(0, stride, 2)]
        for x in range(w): px.append(tuple(vals[x*nch:(x+1)*nch]))
    return px

def comp(fg, a, b, mx):
    return (fg * a + b * (mx - a) + mx // 2) // mx

for path in sys.argv[5:]:
    ch = chunks(path); d = dict(ch)
    w, h, depth, ctype, _, _, inter = struct.unpack('>IIBBBBB', d[b'IHDR'])
    bk = d.get(b'bKGD'); trns = d.get(b'tRNS')
    if depth == 16:
        px = decode16(ch, w, h, ctype)
        if bk is not None:
            vals = struct.unpack('>' + 'H' * (len(bk) // 2), bk)
            b16 = (vals[0],) * 3 if len(vals) == 1 else vals
        else:
            b16 = tuple(v * 257 for v in bg)
        out = bytearray()
        tv = struct.unpack('>' + 'H' * (len(trns) // 2), trns) if trns else None
        for p in px:
            if ctype in (0, 4): rgb = (p[0],) * 3
            else: rgb = p[:3]
            a = 65535
            if ctype in (4, 6): a = p[-1]
            elif tv is not None and tuple(p) == tuple(tv): a = 0
            out += bytes(comp(rgb[i], a, b16[i], 65535) >> 8 for i in range(3))
    else:
        im = Image.open(path); im.load()
        if bk is not None:
            if ctype == 3:
                pal = d[b'PLTE']; i = bk[0]; b8 = tuple(pal[3*i:3*i+3])
            else:
                vals = struct.unpack('>' + 'H' * (len(bk) // 2), bk)
                mx = (1 << depth) - 1
                b8 = tuple(v * 255 // mx for v in ((vals[0],) * 3 if len(vals) == 1 else vals))
        else:
            b8 = bg
        if ctype == 0 and depth < 8 and trns is not None:
            # PIL compares the unscaled tRNS value with scaled pixels: do it right.
            t = struct.unpack('>H', trns[:2])[0] * 255 // ((1 << depth) - 1)
            grey = im.convert('L').tobytes()
            rgba = b''.join(bytes((v, v, v, 0 if v == t else 255)) for v in grey)
        else:
            rgba = im.convert('RGBA').tobytes()
        out = bytearray()
        for i in range(0, len(rgba), 4):
            a = rgba[i+3]
            out += bytes(comp(rgba[i+k], a, b8[k], 255) for k in range(3))
    name = path.rsplit('/', 1)[-1]
    open(outdir + '/' + name + '.rgb', 'wb').write(out)
    print(name, w, h, depth, ctype, inter)
)";

struct Expected {
    int width = 0, height = 0, depth = 0, colorType = 0, interlace = 0;
    QByteArray rgb;
};

std::map<QString, Expected> oracle(const QStringList& files, TIORGB background)
{
    std::map<QString, Expected> result;
    const QString outDir = TempDir();
    QStringList args{outDir, QString::number(background.r), QString::number(background.g),
                     QString::number(background.b)};
    args += files;
    QByteArray out, err;
    if (Python(QString::fromLatin1(kOracle), args, &out, &err) != 0) {
        ADD_FAILURE() << err.toStdString();
        return result;
    }
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 6)
            continue;
        Expected e{f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt(), {}};
        e.rgb = FileBytes(outDir + QLatin1Char('/') + QString::fromLatin1(f[0]) + QStringLiteral(".rgb"));
        result[QString::fromLatin1(f[0])] = e;
    }
    return result;
}

void readPng(const QByteArray& data, TBitmap& bitmap, TIOParamsVals& params)
{
    TMemoryStream ms(data);
    TProgressRec progress;
    ReadPNGStream(ms, bitmap, params, progress);
}

QStringList suiteFiles()
{
    const QString dir = GoPngTestdata();
    QStringList files;
    for (const QString& sub : {QStringLiteral("/pngsuite"), QString()})
        for (const QString& name : QDir(dir + sub).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name))
            if (!name.startsWith(QLatin1String("invalid")))
                files << dir + sub + QLatin1Char('/') + name;
    return files;
}

void checkSuite(TIORGB background)
{
    REQUIRE_TOOLS(GoPngTestdata(), QStringLiteral("python3:PIL"));
    const QStringList files = suiteFiles();
    ASSERT_GE(files.size(), 40);
    const auto expected = oracle(files, background);
    ASSERT_EQ(expected.size(), size_t(files.size()));
    for (const QString& path : files) {
        const QString name = path.section(QLatin1Char('/'), -1);
        SCOPED_TRACE(name.toStdString());
        const Expected& e = expected.at(name);
        TBitmap bmp(2, 2);
        TIOParamsVals params;
        params.PngBackground = background;
        ASSERT_NO_THROW(readPng(FileBytes(path), bmp, params));
        ASSERT_EQ(bmp.Width(), e.width);
        ASSERT_EQ(bmp.Height(), e.height);
        EXPECT_EQ(params.BitsPerSample, e.depth);
        const int samples[] = {1, 0, 3, 1, 2, 0, 4};
        EXPECT_EQ(params.SamplesPerPixel, samples[e.colorType]);
        EXPECT_EQ(params.PngInterlaced, e.interlace ? 1 : 0);
        // Alpha of 16-bit files is composed at 16 bits before the low byte goes.
        const bool alpha16 = e.depth == 16 && (e.colorType & 4);
        EXPECT_LE(MaxChannelDiff(BitmapRGB(bmp), e.rgb), alpha16 ? 1 : 0);
        const QByteArray sng = FileBytes(path.left(path.size() - 4) + QStringLiteral(".sng"));
        const bool hasTrns = sng.contains("tRNS");
        if (e.depth == 1 && e.colorType == 0 && !hasTrns) {
            EXPECT_EQ(bmp.PixelFormat(), pf1bit);
        } else if (e.depth != 1) {
            EXPECT_EQ(bmp.PixelFormat(), pf24bit);
        }
        if (e.colorType == 3) {
            EXPECT_GT(params.ColorMapCount, 0);
        } else {
            EXPECT_EQ(params.ColorMapCount, 0);
        }
    }
}

}  // namespace

TEST(PngRead, SuiteOverWhiteMatchesPil) { checkSuite(TIORGB{255, 255, 255}); }

// A coloured background also composes grey-with-alpha files (they turn to RGB first).
TEST(PngRead, SuiteOverColouredBackgroundMatchesPil)
{
    checkSuite(TIORGB{30, 200, 10});  // blue 30, green 200, red 10
}

// Go's invalid files and gdk-pixbuf's failing ones are refused with EInvalidGraphic
// and leave the bitmap as it was.
TEST(PngRead, InvalidFilesAreRefusedCleanly)
{
    const QString go = GoPngTestdata(), pixbuf = PixbufTestImages();
    REQUIRE_TOOLS(go, pixbuf);
    QStringList files;
    for (const QString& n : QDir(go).entryList({QStringLiteral("invalid-*.png")}))
        files << go + QLatin1Char('/') + n;
    for (const QString& n : QDir(pixbuf + QStringLiteral("/fail")).entryList({QStringLiteral("*.png")}))
        files << pixbuf + QStringLiteral("/fail/") + n;
    ASSERT_GE(files.size(), 3);
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        TBitmap bmp(3, 5);
        TIOParamsVals params;
        params.Width = 3;
        try {
            readPng(FileBytes(path), bmp, params);
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            // The reason follows the words callers have always seen.
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Unrecognized PNG - "))) << e.what();
            EXPECT_GT(e.Message().size(), 20) << e.what();
        }
        EXPECT_EQ(bmp.Width(), 3);
        EXPECT_EQ(bmp.Height(), 5);
        EXPECT_EQ(params.Width, 3);
    }
}

// Every cut of a file is refused (no IEND, short data), never a crash.
TEST(PngRead, TruncatedFilesAreRefused)
{
    const QString go = GoPngTestdata();
    REQUIRE_TOOLS(go);
    for (const QString& name : {QStringLiteral("pngsuite/basn6a08.png"), QStringLiteral("pngsuite/basn3p04-31i.png"),
                                QStringLiteral("pngsuite/basn0g01.png")}) {
        const QByteArray whole = FileBytes(go + QLatin1Char('/') + name);
        ASSERT_FALSE(whole.isEmpty());
        for (qsizetype cut = 0; cut < whole.size(); cut += 7) {
            TBitmap bmp(1, 1);
            TIOParamsVals params;
            EXPECT_THROW(readPng(whole.left(cut), bmp, params), EInvalidGraphic) << name.toStdString() << cut;
            EXPECT_EQ(bmp.Width(), 1);
        }
    }
}

namespace {

// Builds small PNG files chunk by chunk, so that tests can give them what libpng's
// writer refuses (old-style bKGD values) or palettes of their choice.
const char* kMakePng = R"(
import sys, struct, zlib
def chunk(t, data): return struct.pack('>I', len(data)) + t + data + struct.pack('>I', zlib.crc32(t + data) & 0xffffffff)
path, w, h, depth, ctype = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
rows = bytes.fromhex(sys.argv[6]); extra = sys.argv[7:]
out = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, depth, ctype, 0, 0, 0))
for e in extra:
    t, hexdata = e.split(':'); out += chunk(t.encode(), bytes.fromhex(hexdata))
out += chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b'')
open(path, 'wb').write(out)
)";

QByteArray makePng(int w, int h, int depth, int colorType, const QByteArray& rows, const QStringList& chunks = {})
{
    const QString path = TempDir() + QStringLiteral("/made.png");
    QStringList args{path,
                     QString::number(w),
                     QString::number(h),
                     QString::number(depth),
                     QString::number(colorType),
                     QString::fromLatin1(rows.toHex())};
    args += chunks;
    QByteArray err;
    if (Python(QString::fromLatin1(kMakePng), args, nullptr, &err) != 0)
        ADD_FAILURE() << err.toStdString();
    return FileBytes(path);
}

}  // namespace

TEST(PngRead, OldStyleBackgroundOfEightBitFilesIsScaledBack)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    // RGBA 2 × 1: a transparent black pixel and an opaque one; bKGD (10, 20, 30) × 256.
    const QByteArray rows = QByteArray::fromHex("00"
                                                "00000000"
                                                "11223344");
    TBitmap bmp;
    TIOParamsVals params;
    params.PngBackground = TIORGB{255, 255, 255};
    readPng(makePng(2, 1, 8, 6, rows, {QStringLiteral("bKGD:0a0014001e00")}), bmp, params);
    EXPECT_EQ(BitmapRGB(bmp).left(3), QByteArray::fromHex("0a141e"));
    EXPECT_EQ(params.PngBackground, (TIORGB{30, 20, 10}));
    // Alpha 0x44 = 68: red (17·68 + 10·187) / 255 = 12.4 → 12, green 24, blue 36.
    EXPECT_EQ(BitmapRGB(bmp).mid(3), QByteArray::fromHex("0c1824"));

    // The proper form gives the same; grey files too.
    readPng(makePng(2, 1, 8, 6, rows, {QStringLiteral("bKGD:000a0014001e")}), bmp, params);
    EXPECT_EQ(BitmapRGB(bmp).left(3), QByteArray::fromHex("0a141e"));
    readPng(makePng(2, 1, 8, 4,
                    QByteArray::fromHex("00"
                                        "0000"
                                        "ffff"),
                    {QStringLiteral("bKGD:4000")}),
            bmp, params);
    EXPECT_EQ(BitmapRGB(bmp), QByteArray::fromHex("404040ffffff"));
    EXPECT_EQ(params.PngBackground, (TIORGB{64, 64, 64}));
}

TEST(PngRead, TransparencyWithoutBackgroundComposesOverOurColour)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    // RGBA: fully transparent black, half-transparent black, opaque black.
    const QByteArray rows = QByteArray::fromHex("00"
                                                "00000000"
                                                "00000080"
                                                "000000ff");
    TBitmap bmp;
    TIOParamsVals params;
    params.PngBackground = TIORGB{255, 255, 255};
    readPng(makePng(3, 1, 8, 6, rows), bmp, params);
    EXPECT_EQ(params.SamplesPerPixel, 4);
    // White stays white; 128/255 of black over white gives 127.
    EXPECT_EQ(BitmapRGB(bmp), QByteArray::fromHex("ffffff"
                                                  "7f7f7f"
                                                  "000000"));
    EXPECT_EQ(params.PngBackground, (TIORGB{255, 255, 255}));
}

// 1-bit palettes: black/white stays 1-bit, white/black stays 1-bit with its bits
// inverted, other pairs become 24-bit in their own colours.
TEST(PngRead, OneBitPalettesAreApplied)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QByteArray rows = QByteArray::fromHex("00"
                                                "a0");  // pixels 1 0 1 0 (width 4)
    struct Case {
        QString plte;
        TPixelFormat format;
        QByteArray rgb;
    };
    for (const Case& c :
         {Case{QStringLiteral("PLTE:000000ffffff"), pf1bit, QByteArray::fromHex("ffffff000000ffffff000000")},
          Case{QStringLiteral("PLTE:ffffff000000"), pf1bit, QByteArray::fromHex("000000ffffff000000ffffff")},
          Case{QStringLiteral("PLTE:ff00000000ff"), pf24bit, QByteArray::fromHex("0000ffff00000000ffff0000")}}) {
        SCOPED_TRACE(c.plte.toStdString());
        TBitmap bmp;
        TIOParamsVals params;
        readPng(makePng(4, 1, 1, 3, rows, {c.plte}), bmp, params);
        EXPECT_EQ(bmp.PixelFormat(), c.format);
        EXPECT_EQ(BitmapRGB(bmp), c.rgb);
        EXPECT_EQ(params.ColorMapCount, 2);
        EXPECT_EQ(params.BitsPerSample, 1);
        EXPECT_EQ(params.SamplesPerPixel, 1);
    }
    // An index past a one-entry palette is refused.
    TBitmap bmp;
    TIOParamsVals params;
    EXPECT_THROW(readPng(makePng(4, 1, 1, 3, rows, {QStringLiteral("PLTE:000000")}), bmp, params), EInvalidGraphic);
}

TEST(PngRead, ResolutionFromPhysOrTheScreen)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QByteArray rows = QByteArray::fromHex("00000000");
    TBitmap bmp;
    TIOParamsVals params;
    // 11811 px/m = 299.9994 dpi → 300; 3937 → 100.
    readPng(makePng(1, 1, 8, 2, rows, {QStringLiteral("pHYs:00002e2300000f6101")}), bmp, params);
    EXPECT_EQ(params.DpiX, 300);
    EXPECT_EQ(params.DpiY, 100);
    // Unit "unknown" (aspect only) and no pHYs at all: the screen's.
    readPng(makePng(1, 1, 8, 2, rows, {QStringLiteral("pHYs:000000010000000100")}), bmp, params);
    EXPECT_EQ(params.DpiX, ScreenDpiX());
    params.DpiX = 1;
    readPng(makePng(1, 1, 8, 2, rows), bmp, params);
    EXPECT_EQ(params.DpiX, ScreenDpiX());
    EXPECT_EQ(params.DpiY, ScreenDpiY());
}

TEST(PngProgress, InterlacedFileReportsEveryPassRowAndAborts)
{
    const QString go = GoPngTestdata();
    REQUIRE_TOOLS(go);
    const QByteArray data = FileBytes(go + QStringLiteral("/benchRGB-interlace.png"));
    std::vector<int> seen;
    TProgressRec progress;
    progress.fOnProgress = [&](TObject*, int p) { seen.push_back(p); };
    TBitmap bmp;
    TIOParamsVals params;
    TMemoryStream ms(data);
    ReadPNGStream(ms, bmp, params, progress);
    EXPECT_EQ(params.PngInterlaced, 1);
    EXPECT_EQ(seen.size(), size_t(bmp.Height()) * 7);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    // Abort in the first pass: an image comes back, the stream is not read to its end.
    bool abortFlag = false;
    seen.clear();
    progress.Aborting = &abortFlag;
    progress.fOnProgress = [&](TObject*, int p) {
        seen.push_back(p);
        abortFlag = seen.size() == 5;
    };
    TMemoryStream again(data);
    TBitmap partial;
    ReadPNGStream(again, partial, params, progress);
    EXPECT_EQ(seen.size(), 5u);
    ASSERT_EQ(partial.Width(), bmp.Width());
    // Pass 1 gives every eighth pixel of every eighth row; the rest stays white.
    const QByteArray rgb = BitmapRGB(partial);
    const qsizetype lastRow = qsizetype(partial.Height() - 1) * partial.Width() * 3;
    EXPECT_EQ(rgb.mid(lastRow), QByteArray(partial.Width() * 3, char(255)));
    EXPECT_EQ(rgb.left(3), BitmapRGB(bmp).left(3));
    EXPECT_NE(rgb, BitmapRGB(bmp));
}

// A refusal names its reason: the library's own words for bad data, a file cut short,
// a size beyond the readers' limit with the limit.
TEST(PngRead, RefusalsSayWhy)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QByteArray good = makePng(2, 2, 8, 0, QByteArray::fromHex("001020003040"));
    ASSERT_FALSE(good.isEmpty());
    QByteArray badCrc = good;
    const qsizetype crcAt = good.indexOf("IEND") - 5;  // the last byte of IDAT's CRC
    badCrc[crcAt] = char(badCrc[crcAt] ^ 0x55);
    // 2^20 × 2^20 pixels: each side within its limit, the whole not.
    QByteArray huge = good;
    huge[17] = huge[21] = char(0x10);
    huge[19] = huge[23] = 0;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(huge.constData()) + 12, 17);
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = char(crc >> (24 - 8 * i));
    struct Case {
        const char* name;
        QByteArray file;
        const char* reason;
    };
    const Case cases[] = {
        {"bad CRC", badCrc, "IDAT: CRC error"},
        {"cut short", good.left(good.indexOf("IDAT") + 6), "the file is truncated"},
        {"over the limit", huge, "larger than the limit of 536870912 pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bmp(1, 1);
        TIOParamsVals params;
        try {
            readPng(c.file, bmp, params);
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Unrecognized PNG - "))) << e.what();
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.reason))) << e.what();
        }
    }
}
