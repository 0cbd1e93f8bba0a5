// The PCX reader and writer on hand-built files: run-length coding, layouts, headers,
// stream framing, and hostile files.

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_oracle.h"
#include "imaging/io/pcx/pcx.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <vector>

using namespace iotest;

namespace {

using Bytes = std::vector<uint8_t>;

// A PCX file put together field by field.
struct PcxFile {
    int manufacturer = 10, version = 5, encoding = 1, bits = 8, planes = 1;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0, dpiX = 300, dpiY = 300;
    int bytesPerLine = 2;
    Bytes pal16 = Bytes(48, 0);  // r, g, b
    Bytes data;
    Bytes pal256;  // appended after a 12 marker when not empty

    QByteArray build() const
    {
        QByteArray b(128, '\0');
        auto put16 = [&](int at, int v) {
            b[at] = char(v & 255);
            b[at + 1] = char((v >> 8) & 255);
        };
        b[0] = char(manufacturer);
        b[1] = char(version);
        b[2] = char(encoding);
        b[3] = char(bits);
        put16(4, xMin);
        put16(6, yMin);
        put16(8, xMax);
        put16(10, yMax);
        put16(12, dpiX);
        put16(14, dpiY);
        for (int i = 0; i < 48; ++i)
            b[16 + i] = char(pal16[size_t(i)]);
        b[65] = char(planes);
        put16(66, bytesPerLine);
        b.append(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
        if (!pal256.empty()) {
            b.append(char(12));
            b.append(reinterpret_cast<const char*>(pal256.data()), qsizetype(pal256.size()));
        }
        return b;
    }
};

// A grey 256-colour palette: index i is (i, i, i).
Bytes greyPalette()
{
    Bytes p(768);
    for (int i = 0; i < 768; ++i)
        p[size_t(i)] = uint8_t(i / 3);
    return p;
}

struct Read {
    TBitmap bitmap;
    TIOParamsVals params;
};

void readInto(const QByteArray& file, Read& r)
{
    TMemoryStream ms(file);
    TProgressRec progress;
    ReadPCXStream(ms, r.bitmap, r.params, progress, ms.Size());
}

// Grey values of a 24-bit bitmap's first channel, row by row.
Bytes greys(const TBitmap& b)
{
    Bytes out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            out.push_back(b.ScanLine(y)[3 * x]);
    return out;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(PcxCoding, LinesAreRunLengthCodedAsSpecified)
{
    struct Case {
        Bytes line, coded;
    };
    const Case cases[] = {
        {Bytes(100, 5), {0xC0 + 63, 5, 0xC0 + 37, 5}},
        {{200}, {0xC1, 200, 0}},
        {{1, 2, 3}, {1, 2, 3, 0}},
        {{0xC0, 0xC0}, {0xC2, 0xC0}},
        {{7, 7, 0xFF, 9}, {0xC2, 7, 0xC1, 0xFF, 9}},
        {Bytes(63, 0), {0xFF, 0, 0}},
    };
    for (const Case& c : cases) {
        Bytes out(2 * c.line.size() + 1);
        out.resize(size_t(EncodePCXLine(c.line.data(), int(c.line.size()), out.data())));
        EXPECT_EQ(out, c.coded);
    }
}

TEST(PcxRead, RunsCarryAcrossLinesAndPlanes)
{
    struct Case {
        int bits, planes, width, height, bytesPerLine;
        Bytes data;
        Bytes want;  // first channel (blue) of each pixel, rows from the top
    };
    const Case cases[] = {
        // one run fills two lines of a 256-colour picture
        {8, 1, 4, 2, 4, {0xC8, 7}, Bytes(8, 7)},
        // a run cut at the line's end resumes at the next line's start
        {8, 1, 3, 2, 4, {0xC6, 9, 1, 2}, {9, 9, 9, 9, 9, 1}},
        // three planes: blue is the third line of the row; a run spans red and green
        {8, 3, 2, 1, 2, {0xC4, 0, 5, 6}, {5, 6}},
        // plain bytes, padding skipped
        {8, 1, 3, 1, 4, {10, 20, 30, 40}, {10, 20, 30}},
    };
    for (const Case& c : cases) {
        PcxFile f;
        f.bits = c.bits;
        f.planes = c.planes;
        f.xMax = c.width - 1;
        f.yMax = c.height - 1;
        f.bytesPerLine = c.bytesPerLine;
        f.data = c.data;
        if (c.planes == 1)
            f.pal256 = greyPalette();
        Read r;
        readInto(f.build(), r);
        EXPECT_EQ(greys(r.bitmap), c.want);
    }
}

TEST(PcxRead, SixteenColourAndTwoColourPalettes)
{
    // palette entry i is (16 i, 0, 255 − i)
    Bytes pal(48);
    for (int i = 0; i < 16; ++i) {
        pal[size_t(3 * i)] = uint8_t(16 * i);
        pal[size_t(3 * i + 2)] = uint8_t(255 - i);
    }
    struct Case {
        int bits, planes;
        Bytes data;  // plain, 2 bytes per line and plane, one row of 4 pixels
        Bytes indices;
    };
    const Case cases[] = {
        {4, 1, {0x1F, 0xA3}, {1, 15, 10, 3}},
        // bit planes: plane p gives bit p of the index
        {1, 4, {0xA0, 0, 0x60, 0, 0x30, 0, 0xF0, 0}, {9, 10, 15, 12}},
        {1, 2, {0x50, 0, 0x30, 0}, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        PcxFile f;
        f.encoding = 0;
        f.bits = c.bits;
        f.planes = c.planes;
        f.xMax = 3;
        f.pal16 = pal;
        f.data = c.data;
        Read r;
        readInto(f.build(), r);
        ASSERT_EQ(r.bitmap.PixelFormat(), pf24bit);
        for (int x = 0; x < 4; ++x) {
            const uint8_t* p = r.bitmap.ScanLine(0) + 3 * x;
            EXPECT_EQ(p[2], 16 * c.indices[size_t(x)]) << x;
            EXPECT_EQ(p[0], 255 - c.indices[size_t(x)]) << x;
        }
        EXPECT_EQ(r.params.ColorMapCount, 1 << (c.bits * c.planes));
    }

    // 1 bit, 1 plane: pixels 1,0,1,1 through the header's two entries
    struct Mono {
        Bytes entries;  // r, g, b of entries 0 and 1
        bool stays1Bit;
        TColor zero, one;
    };
    const Mono monos[] = {
        {{0, 0, 0, 0, 0, 0}, true, clBlack, clWhite},  // all zero: black and white
        {{9, 9, 9, 9, 9, 9}, true, clBlack, clWhite},  // no two colours: black and white
        {{0, 0, 0, 255, 255, 255}, true, clBlack, clWhite},
        {{255, 255, 255, 0, 0, 0}, true, clWhite, clBlack},
        {{255, 0, 0, 0, 0, 255}, false, RGB(255, 0, 0), RGB(0, 0, 255)},
    };
    for (const Mono& m : monos) {
        PcxFile f;
        f.encoding = 0;
        f.bits = 1;
        f.xMax = 3;
        std::copy(m.entries.begin(), m.entries.end(), f.pal16.begin());
        f.data = {0xB0, 0};
        Read r;
        readInto(f.build(), r);
        EXPECT_EQ(r.bitmap.PixelFormat() == pf1bit, m.stays1Bit);
        const TColor want[4] = {m.one, m.zero, m.one, m.one};
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(r.bitmap.PixelColor(x, 0), want[x]) << x;
    }
}

TEST(PcxRead, AResolutionOfZeroTakesTheScreens)
{
    PcxFile f;
    f.dpiX = 0;
    f.dpiY = 72;
    f.bits = 1;
    f.xMax = 6;
    f.yMax = 2;
    f.data = {0xC6, 0x1B};
    Read r;
    readInto(f.build(), r);
    EXPECT_EQ(r.params.DpiX, ScreenDpiX());
    EXPECT_EQ(r.params.DpiY, ScreenDpiY());
    EXPECT_EQ(r.bitmap.Width(), 7);
    EXPECT_EQ(r.bitmap.Height(), 3);
}

TEST(PcxRead, HostileHeadersAndDataAreRefusedLeavingTheTarget)
{
    PcxFile good;
    good.xMax = 3;
    good.yMax = 1;
    good.bytesPerLine = 4;
    good.data = {0xC8, 7};
    good.pal256 = greyPalette();
    {
        Read r;
        ASSERT_NO_THROW(readInto(good.build(), r));
    }
    using Mutation = std::function<void(PcxFile&)>;
    const Mutation mutations[] = {
        [](PcxFile& f) { f.manufacturer = 11; },
        [](PcxFile& f) { f.bits = 0; },
        [](PcxFile& f) { f.bits = 16; },
        [](PcxFile& f) { f.planes = 2; },
        [](PcxFile& f) { f.planes = 4; },
        [](PcxFile& f) { f.bits = 1, f.planes = 0; },  // no plane: nothing to size the data by
        [](PcxFile& f) { f.encoding = 2; },
        [](PcxFile& f) { f.xMin = 4; },
        [](PcxFile& f) { f.yMin = 2; },
        [](PcxFile& f) { f.bytesPerLine = 3; },
        [](PcxFile& f) { f.bytesPerLine = 0; },
        [](PcxFile& f) { f.xMax = 0xFFFF, f.yMax = 0xFFFF, f.bytesPerLine = 0xFFFF; },
        // cannot fill the picture even at 63 bytes a pair: refused before allocating
        [](PcxFile& f) { f.xMax = 0xFFFE, f.yMax = 0x0FFF, f.bytesPerLine = 0xFFFF; },
        [](PcxFile& f) {
            f.data = {0xC7, 7};
        },  // one byte short
        [](PcxFile& f) {
            f.data = {0xC7, 7, 0xC2};
        },  // a run without its value
        [](PcxFile& f) {
            f.data = {0xC9, 7};
        },  // a run past the picture's end
        [](PcxFile& f) { f.encoding = 0, f.data = Bytes(7, 1); },
        [](PcxFile& f) { f.pal256 = Bytes(500, 0); },  // palette would start in the header
        // layouts no reader decodes: refused rather than shown blank
        [](PcxFile& f) { f.bits = 2; },
        [](PcxFile& f) { f.bits = 4, f.planes = 3; },
    };
    for (size_t i = 0; i < std::size(mutations); ++i) {
        SCOPED_TRACE(i);
        PcxFile f = good;
        mutations[i](f);
        Read r;
        r.bitmap.SetSize(3, 2);
        r.bitmap.Canvas()->SetPixel(1, 1, clRed);
        r.params.Width = 77;
        EXPECT_THROW(readInto(f.build(), r), EInvalidGraphic);
        EXPECT_EQ(r.bitmap.Width(), 3);
        EXPECT_EQ(r.bitmap.PixelColor(1, 1), clRed);
        EXPECT_EQ(r.params.Width, 77);
    }
    // every cut of a good file is refused or read, never more
    const QByteArray whole = good.build();
    for (int n = 0; n < whole.size(); ++n) {
        Read r;
        try {
            readInto(whole.left(n), r);
        } catch (const EInvalidGraphic&) {}
    }
}

TEST(PcxWrite, HeaderFollowsDepthAndParameters)
{
    struct Case {
        int bitsPerSample, samplesPerPixel, pcxVersion, width;
        int bits, planes, version, bytesPerLine;
    };
    const Case cases[] = {
        {8, 1, 3, 101, 8, 1, 5, 102},                            // 256 colours always version 5
        {8, 3, 2, 101, 8, 3, 5, 102}, {5, 3, 5, 7, 8, 3, 5, 8},  // 15, 32 and 48 bits are written as 24
        {8, 4, 5, 7, 8, 3, 5, 8},     {16, 3, 5, 7, 8, 3, 5, 8}, {4, 1, 3, 7, 4, 1, 3, 4}, {1, 1, 2, 17, 1, 1, 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitsPerSample * c.samplesPerPixel);
        TBitmap b;
        b.SetImage(Pattern(c.width, 3, c.bits == 1 ? 2 : c.bits == 4 ? 16 : 40).convertToFormat(QImage::Format_BGR888));
        TIOParamsVals params;
        params.BitsPerSample = c.bitsPerSample;
        params.SamplesPerPixel = c.samplesPerPixel;
        params.PcxVersion = c.pcxVersion;
        TMemoryStream ms;
        TProgressRec progress;
        WritePCXStream(ms, b, params, progress);
        const auto* h = ms.Memory();
        EXPECT_EQ(h[1], c.version);
        EXPECT_EQ(h[3], c.bits);
        EXPECT_EQ(h[65], c.planes);
        EXPECT_EQ(h[66] | (h[67] << 8), c.bytesPerLine);
        Read r;
        readInto(ms.Bytes(), r);
        EXPECT_EQ(FirstDifference(BitmapRGB(r.bitmap), BitmapRGB(b)), -1);
    }
}

TEST(PcxStream, FramedImagesFollowEachOtherByteStable)
{
    // a 3 × 1 picture: red, green, blue pixels
    TBitmap b(3, 1, pf24bit);
    b.Canvas()->SetPixel(0, 0, RGB(255, 0, 0));
    b.Canvas()->SetPixel(1, 0, RGB(0, 255, 0));
    b.Canvas()->SetPixel(2, 0, RGB(0, 0, 255));
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    io.Params().DpiX = 96;
    io.Params().DpiY = 120;
    TMemoryStream ms;
    io.SaveToStreamPCX(ms);
    const int64_t first = ms.Size();
    io.SaveToStreamPCX(ms);

    QByteArray want("PCX2\0\0\0\0", 8);
    // red 255,0,0 / green 0,255,0 / blue 0,0,255, each padded to an even count
    const QByteArray planes("\xC1\xFF\xC2\0\0"
                            "\0\xC1\xFF\0\0"
                            "\xC2\0\xC1\xFF\0",
                            15);
    want += QByteArray(1, char(128 + planes.size())) + QByteArray(3, '\0');
    QByteArray header(128, '\0');
    header[0] = 10, header[1] = 5, header[2] = 1, header[3] = 8;
    header[8] = 2, header[12] = 96, header[14] = 120, header[65] = 3, header[66] = 4;
    want += header + planes;
    EXPECT_EQ(ms.Bytes(), want + want);
    ASSERT_EQ(first, want.size());

    TBitmap back;
    TImageKitIO in;
    in.SetAttachedBitmap(&back);
    ms.SetPosition(0);
    for (int i = 0; i < 2; ++i) {
        in.LoadFromStreamPCX(ms);
        EXPECT_EQ(ms.Position(), first * (i + 1));
        EXPECT_EQ(FirstDifference(BitmapRGB(back), BitmapRGB(b)), -1);
        EXPECT_EQ(in.Params().FileType, ioPCX);
        EXPECT_EQ(in.Params().SamplesPerPixel, 3);
    }
    // without headers the frame is taken as picture data and refused
    in.StreamHeaders = false;
    ms.SetPosition(0);
    EXPECT_THROW(in.LoadFromStreamPCX(ms), EInvalidGraphic);
    // the old 4-byte header: the rest of the stream is the picture
    in.StreamHeaders = true;
    TMemoryStream old(QByteArray("PCX1") + ms.Bytes().mid(12, int(first) - 12));
    in.LoadFromStreamPCX(old);
    EXPECT_EQ(FirstDifference(BitmapRGB(back), BitmapRGB(b)), -1);
}

TEST(PcxStream, AbortedSaveKeepsThePlaceholderAndNoPalette)
{
    TBitmap b;
    b.SetImage(Pattern(9, 6, 50).convertToFormat(QImage::Format_BGR888));
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    io.Params().BitsPerSample = 8;
    io.Params().SamplesPerPixel = 1;
    io.OnProgress = [&](TObject*, int percent) {
        if (percent >= 50)
            io.Aborting = true;
    };
    TMemoryStream ms;
    io.SaveToStreamPCX(ms);
    EXPECT_EQ(ms.Bytes().left(12), QByteArray(12, '\0'));
    // rows 0 … 3 are written (50 % comes before row 3), the palette is not
    TMemoryStream full;
    io.OnProgress = nullptr;
    io.SaveToStreamPCX(full);
    EXPECT_LT(ms.Size(), full.Size() - 769);
}

TEST(PcxRead, SampleFilesMatchImageMagickAndMalformedFilesNeverCrash)
{
    const QString sample = QStringLiteral("/usr/libexec/installed-tests/SDL2_image/sample.pcx");
    if (!QFile::exists(sample))
        GTEST_SKIP() << "missing tool: libsdl2-image-tests";
    if (!HaveTool(QStringLiteral("convert")))
        GTEST_SKIP() << "missing tool: convert";
    Read r;
    readInto(fileBytes(sample), r);
    EXPECT_EQ(FirstDifference(BitmapRGB(r.bitmap), MagickRGB(sample)), -1);

    // every malformed picture of the suite, whatever its format, fed to the PCX reader,
    // and every PCX file with bytes overwritten
    const QString root = QStringLiteral("/usr/libexec/installed-tests/gdk-pixbuf");
    if (!QDir(root).exists())
        GTEST_SKIP() << "missing tool: gdk-pixbuf-tests";
    QList<QByteArray> files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(fileBytes(it.next()));
    EXPECT_GE(files.size(), 20);
    const QByteArray pcx = fileBytes(sample);
    for (int i = 0; i < 400; ++i) {
        QByteArray m = pcx;
        uint32_t s = uint32_t(i) * 2654435761u;
        for (int k = 0; k < 4; ++k) {
            s = s * 1664525u + 1013904223u;
            m[int(s % uint32_t(m.size()))] = char(s >> 24);
        }
        files.append(m);
    }
    for (const QByteArray& f : files) {
        Read out;
        try {
            readInto(f, out);
        } catch (const EInvalidGraphic&) {}
    }
}
