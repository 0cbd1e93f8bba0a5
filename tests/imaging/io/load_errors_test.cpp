// Every reader fails a file load the same way: the stream's own error for a file that
// cannot be opened, EInvalidGraphic "… unrecognized <format>" for undecodable bytes and
// for a header that asks for more than the size cap.

#include "common/test_support.h"
#include "common/metafile_samples.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

void put32(QByteArray& b, int at, uint32_t v) { putLe32(reinterpret_cast<uint8_t*>(b.data()) + at, v); }

// A small picture as one of our own writers stores it.
QByteArray written(void (TImageKitIO::*save)(TStream&))
{
    TBitmap b(8, 8);
    TImageKitIO io;
    io.StreamHeaders = false;
    io.SetAttachedBitmap(&b);
    TMemoryStream s;
    (io.*save)(s);
    return s.Bytes();
}

// 100000 × 100000 pixels in the BMP's information header.
QByteArray hugeBmp()
{
    QByteArray b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, 100000);
    put32(b, 22, 100000);
    b[26] = 1;
    b[28] = 24;
    return b;
}

// The frame header of our own JPEG, patched to 65000 × 65000.
QByteArray hugeJpeg()
{
    QByteArray b = written(&TImageKitIO::SaveToStreamJPEG);
    const qsizetype sof = b.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return {};
    for (int at : {5, 7}) {
        b[sof + at] = char(0xFD);
        b[sof + at + 1] = char(0xE8);
    }
    return b;
}

// The IHDR of our own PNG, patched to 100000 × 100000 with a correct CRC.
QByteArray hugePng()
{
    QByteArray b = written(&TImageKitIO::SaveToStreamPNG);
    if (b.size() < 33)
        return {};
    for (int at : {16, 20}) {
        const uint32_t v = 100000;
        b[at] = char(v >> 24);
        b[at + 1] = char(v >> 16);
        b[at + 2] = char(v >> 8);
        b[at + 3] = char(v);
    }
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(b.constData() + 12), 17));
    for (int i = 0; i < 4; ++i)
        b[29 + i] = char(crc >> (24 - 8 * i));
    return b;
}

// One icon (type 1) or cursor (type 2) entry whose bitmap claims 100000 pixels a side.
QByteArray hugeIcon(int type)
{
    QByteArray b = bytes({0, 0, type, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0}) + QByteArray(8, '\0');
    put32(b, 14, 40);
    put32(b, 18, 22);
    QByteArray dib(40, '\0');
    put32(dib, 0, 40);
    put32(dib, 4, 100000);
    put32(dib, 8, 200000);
    dib[12] = 1;
    dib[14] = 32;
    return b + dib;
}

// A placeable metafile whose frame is 32000 inches a side.
QByteArray hugeWmf() { return wmftest::WmfWriter().build(32000, 32000, 1, 0); }

// An enhanced metafile (header and end record) whose frame is a kilometre a side.
QByteArray hugeEmf()
{
    QByteArray b(88, '\0');
    put32(b, 0, 1);
    put32(b, 4, 88);
    put32(b, 32, 100000000);
    put32(b, 36, 100000000);
    put32(b, 40, 0x464D4520u);
    put32(b, 44, 0x10000);
    put32(b, 48, 108);
    put32(b, 52, 2);
    put32(b, 56, 1);
    put32(b, 72, 1024);
    put32(b, 76, 768);
    put32(b, 80, 320);
    put32(b, 84, 240);
    QByteArray eof(20, '\0');
    put32(eof, 0, 14);
    put32(eof, 4, 20);
    put32(eof, 12, 16);
    put32(eof, 16, 20);
    return b + eof;
}

// A GIF whose screen reads well and whose frame then finds no LZW coder: refused after
// the reader has seen everything a record takes from the screen.
QByteArray gifWithoutCoder()
{
    QByteArray b("GIF89a");
    b += bytes({3, 0, 2, 0, 0x80, 1, 49, 0, 0, 0, 255, 255, 255});
    b += bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0, 2, 2, 0x44, 1, 0, 0x3B});
    return b;
}

struct Case {
    const char* ext;
    const char* refusal;
    // A file refused further in (a header asking too much, a frame without its coder);
    // empty: none here.
    std::function<QByteArray()> oversized;
};

const Case kCases[] = {
    {"bmp", "unrecognized BMP", hugeBmp},
    {"jpg", "unrecognized JPEG", hugeJpeg},
    {"png", "unrecognized PNG", hugePng},
    {"ico", "unrecognized ICO", [] { return hugeIcon(1); }},
    {"cur", "unrecognized CUR", [] { return hugeIcon(2); }},
    {"wmf", "unrecognized WMF or EMF", hugeWmf},
    {"emf", "unrecognized WMF or EMF", hugeEmf},
    {"pcx", "unrecognized PCX", {}},
    {"tif", "unrecognized TIFF", {}},
    {"gif", "unrecognized GIF", gifWithoutCoder},
};

// Every field a reader or a load could write, with values no file gives.
void setUnlikely(TIOParamsVals& p)
{
    p.BitsPerSample = p.SamplesPerPixel = 7;
    p.DpiX = p.DpiY = 1234;
    p.FileType = ioPCX;
    p.FileName = QStringLiteral("before");
    p.Width = p.Height = 4321;
    const TIORGB map[3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    p.SetColorMap(map, 3);
    p.TiffCompression = p.TiffPhotometric = 6;
    p.TiffPlanarConfig = p.TiffXPos = p.TiffYPos = p.TiffPageNumber = p.TiffPageCount = 77;
    p.TiffDocumentName = p.TiffImageDescription = p.TiffPageName = QStringLiteral("before");
    p.GifVersion = QStringLiteral("XIF00z");
    p.GifXPos = p.GifYPos = p.GifDelayTime = p.GifScreenWidth = p.GifScreenHeight = p.GifAspectRatio = 55;
    p.GifTransparent = p.GifInterlaced = p.PngInterlaced = 1;
    p.GifTransparentColor = p.GifBackground = p.PngBackground = TIORGB{11, 22, 33};
    p.JpegColorSpace = 4;
    p.BmpVersion = 3;
}

QString describe(const TIOParamsVals& p)
{
    auto numbers = [](auto... v) { return QStringList{QString::number(v)...}.join(QLatin1Char(',')); };
    QStringList f{numbers(p.BitsPerSample, p.SamplesPerPixel, p.DpiX, p.DpiY, p.FileType, p.Width, p.Height),
                  numbers(p.TiffCompression, p.TiffPhotometric, p.TiffPlanarConfig, p.TiffXPos, p.TiffYPos,
                          p.TiffPageNumber, p.TiffPageCount, p.TiffImageIndex),
                  numbers(p.GifXPos, p.GifYPos, p.GifDelayTime, p.GifScreenWidth, p.GifScreenHeight, p.GifAspectRatio,
                          p.GifTransparent, p.GifInterlaced, p.GifImageIndex),
                  numbers(p.PngInterlaced, p.JpegColorSpace, p.BmpVersion, p.ColorMapCount)};
    for (const TIORGB& c : p.ColorMap)
        f << QStringLiteral("%1.%2.%3").arg(c.r).arg(c.g).arg(c.b);
    for (const TIORGB& c : {p.GifTransparentColor, p.GifBackground, p.PngBackground})
        f << QStringLiteral("%1.%2.%3").arg(c.r).arg(c.g).arg(c.b);
    f << p.FileName << p.TiffDocumentName << p.TiffImageDescription << p.TiffPageName << p.GifVersion;
    return f.join(QLatin1Char(' '));
}

// A refused load leaves the bitmap and every parameter exactly as they were.
void expectRefused(const QString& path, const char* refusal)
{
    TBitmap b(3, 2);
    b.Canvas()->Brush.Color = TColor(0x123456);
    b.Canvas()->FillRect(TRect(0, 0, 3, 2));
    const QImage pixels = b.Image().copy();
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    setUnlikely(io.Params());
    const QString params = describe(io.Params());
    try {
        io.LoadFromFile(path);
        ADD_FAILURE() << "loaded " << path.toStdString();
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().endsWith(QLatin1String(refusal))) << e.what();
    } catch (const Exception& e) {
        ADD_FAILURE() << "not EInvalidGraphic: " << e.what();
    }
    EXPECT_EQ(b.Image(), pixels);
    EXPECT_EQ(describe(io.Params()), params);
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

}  // namespace

TEST(LoadErrors, EveryReaderFailsTheSameWay)
{
    const QString dir = TempDir();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.ext);
        const QString ext = QLatin1Char('.') + QLatin1String(c.ext);
        TBitmap b(3, 2);
        TImageKitIO io;
        io.SetAttachedBitmap(&b);
        EXPECT_THROW(io.LoadFromFile(dir + QStringLiteral("/missing/x") + ext), EFOpenError);

        const QString junk = dir + QStringLiteral("/junk") + ext;
        writeFile(junk, QByteArray(120, 'x'));
        expectRefused(junk, c.refusal);

        if (c.oversized) {
            const QByteArray huge = c.oversized();
            ASSERT_FALSE(huge.isEmpty());
            const QString path = dir + QStringLiteral("/huge") + ext;
            writeFile(path, huge);
            expectRefused(path, c.refusal);
        }
    }
}
