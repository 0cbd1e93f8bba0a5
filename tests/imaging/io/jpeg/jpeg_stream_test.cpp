// JPEG and PNG inside larger streams through the input/output component: with and
// without the 12-byte "JFIF" frame, read back whatever StreamHeaders says.

#include "../png/codec_oracle.h"
#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "imaging/io/png/png.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

using namespace codectest;

TEST(JpegStream, FramedAndBareStreamsReadTheSameWhateverStreamHeadersSays)
{
    TBitmap first, second;
    ToBitmap(PhotoLike(33, 21, 5), first);
    ToBitmap(PhotoLike(12, 40, 6), second);
    for (bool framedWrite : {true, false}) {
        // Two images and a marker after them, written with or without frames.
        TMemoryStream ms;
        TImageKitIO writer;
        writer.StreamHeaders = framedWrite;
        writer.Params().JpegQuality = 100;
        writer.SetAttachedBitmap(&first);
        writer.SaveToStreamJPEG(ms);
        const int64_t firstEnd = ms.Position();
        writer.SetAttachedBitmap(&second);
        writer.SaveToStreamJPEG(ms);
        ms.WriteU32(0x12345678);
        if (framedWrite) {
            const QByteArray b = ms.Bytes();
            EXPECT_EQ(b.left(4), QByteArray("JFIF"));
            EXPECT_EQ(b.mid(4, 4), QByteArray(4, '\0'));
            const uint32_t length = uint8_t(b[8]) | uint8_t(b[9]) << 8 | uint8_t(b[10]) << 16 |
                                    uint32_t(uint8_t(b[11])) << 24;
            EXPECT_EQ(int64_t(length), firstEnd - 12);
            EXPECT_EQ(b.mid(12, 2), QByteArray("\xFF\xD8", 2));
        } else {
            EXPECT_EQ(ms.Bytes().left(2), QByteArray("\xFF\xD8", 2));
        }
        for (bool headersOnRead : {true, false}) {
            SCOPED_TRACE(
                QStringLiteral("framed %1, read headers %2").arg(framedWrite).arg(headersOnRead).toStdString());
            ms.SetPosition(0);
            TBitmap target(1, 1);
            TImageKitIO reader;
            reader.StreamHeaders = headersOnRead;
            reader.SetAttachedBitmap(&target);
            reader.LoadFromStreamJPEG(ms);
            EXPECT_EQ(target.Width(), 33);
            EXPECT_EQ(ms.Position(), firstEnd);
            EXPECT_EQ(reader.Params().FileType, ioJPEG);
            EXPECT_LE(MaxChannelDiff(BitmapRGB(target), BitmapRGB(first)), 16);
            reader.LoadFromStreamJPEG(ms);
            EXPECT_EQ(target.Width(), 12);
            EXPECT_EQ(target.Height(), 40);
            EXPECT_EQ(ms.ReadU32(), 0x12345678u);
        }
    }
}

TEST(JpegStream, BrokenStreamIsReportedAsJpegStream)
{
    QByteArray data("JFIF\0\0\0\0\x10\0\0\0garbage garbage!", 28);
    TMemoryStream ms(data);
    TBitmap target(2, 3);
    TImageKitIO reader;
    reader.SetAttachedBitmap(&target);
    try {
        reader.LoadFromStreamJPEG(ms);
        FAIL() << "accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("unrecognized JPEG stream"));
    }
    EXPECT_EQ(target.Width(), 2);
}

// PNG streams carry no frame: images follow each other directly.
TEST(PngStream, ImagesFollowEachOtherWithoutFrames)
{
    TBitmap a, b;
    ToBitmap(FewColors(9, 4, 5), a);
    ToBitmap(PhotoLike(20, 10), b);
    TMemoryStream ms;
    TImageKitIO io;
    io.StreamHeaders = true;
    io.SetAttachedBitmap(&a);
    io.SaveToStreamPNG(ms);
    EXPECT_EQ(ms.Bytes().left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    const int64_t firstEnd = ms.Position();
    io.SetAttachedBitmap(&b);
    io.SaveToStreamPNG(ms);
    ms.SetPosition(0);
    TBitmap r;
    TIOParamsVals params;
    TProgressRec progress;
    ReadPNGStream(ms, r, params, progress);
    EXPECT_EQ(BitmapRGB(r), BitmapRGB(a));
    EXPECT_EQ(ms.Position(), firstEnd);
    ReadPNGStream(ms, r, params, progress);
    EXPECT_EQ(BitmapRGB(r), BitmapRGB(b));
    EXPECT_EQ(ms.Position(), ms.Size());
}

// Through the component: an RGBA file without bKGD composes over the component's
// background (white stays white); a file with bKGD brings its colour along.
TEST(PngStream, ComponentBackgroundAndFileBackground)
{
    const QString dir = TempDir();
    // RGBA 2 × 1: transparent black, opaque red; with and without bKGD (0, 0, 255).
    const char* make = R"(
import sys, struct, zlib
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
for name, extra in (('plain.png', b''), ('bkgd.png', chunk(b'bKGD', bytes.fromhex('0000000000ff')))):
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 2, 1, 8, 6, 0, 0, 0)) + extra
    png += chunk(b'IDAT', zlib.compress(bytes.fromhex('00' '00000000' 'ff0000ff'))) + chunk(b'IEND', b'')
    open(sys.argv[1] + '/' + name, 'wb').write(png)
)";
    ASSERT_EQ(Python(QString::fromLatin1(make), {dir}), 0);
    TBitmap target;
    TImageKitIO io;
    io.SetAttachedBitmap(&target);
    io.SetBackground(clWhite);
    io.LoadFromFile(dir + QStringLiteral("/plain.png"));
    EXPECT_EQ(BitmapRGB(target), QByteArray::fromHex("ffffffff0000"));
    EXPECT_EQ(io.Background(), clWhite);
    EXPECT_EQ(io.Params().FileType, ioPNG);
    EXPECT_EQ(io.Params().SamplesPerPixel, 4);
    io.LoadFromFile(dir + QStringLiteral("/bkgd.png"));
    EXPECT_EQ(BitmapRGB(target), QByteArray::fromHex("0000ffff0000"));
    EXPECT_EQ(io.Background(), TColor(0xFF0000));  // blue as 0x00BBGGRR
}
