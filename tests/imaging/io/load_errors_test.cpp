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

struct Case {
    const char* ext;
    const char* refusal;
    std::function<QByteArray()> oversized;  // empty: no reader here to size anything
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
    {"gif", "unrecognized GIF", {}},
};

void expectRefused(const QString& path, const char* refusal)
{
    TBitmap b(3, 2);
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    try {
        io.LoadFromFile(path);
        ADD_FAILURE() << "loaded " << path.toStdString();
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().endsWith(QLatin1String(refusal))) << e.what();
    } catch (const Exception& e) {
        ADD_FAILURE() << "not EInvalidGraphic: " << e.what();
    }
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(io.Params().FileType, ioUnknown);
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
