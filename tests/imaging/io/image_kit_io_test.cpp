// The input/output component: choice by extension, stream headers, framed streams,
// safe saves, attachment to a view, parameter records.

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/io/stream_frame.h"
#include "imaging/view/image_kit_view.h"
#include "io_oracle.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;

namespace {

TBitmap picture(int w, int h, int colors = 500, uint32_t seed = 1)
{
    TBitmap b;
    b.SetImage(Pattern(w, h, colors, seed).convertToFormat(QImage::Format_BGR888));
    return b;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

}  // namespace

TEST(ImageKitIOFiles, ReaderAndWriterChosenByExtension)
{
    const QString dir = TempDir();
    TBitmap src = picture(23, 17);
    TImageKitIO io;
    io.SetAttachedBitmap(&src);
    // names without a writer of their own are written as Windows bitmaps
    for (const char* name : {"a.bmp", "b.wmf", "c.ico", "d.xyz", "e"}) {
        io.SaveToFile(dir + QLatin1Char('/') + QLatin1String(name));
        EXPECT_EQ(fileBytes(dir + QLatin1Char('/') + QLatin1String(name)).left(2), QByteArray("BM")) << name;
    }
    io.SaveToFile(dir + QStringLiteral("/f.PNG"));
    EXPECT_EQ(fileBytes(dir + QStringLiteral("/f.PNG")).mid(1, 3), QByteArray("PNG"));
    io.SaveToFile(dir + QStringLiteral("/g.JpeG"));
    EXPECT_EQ(fileBytes(dir + QStringLiteral("/g.JpeG")).left(2), QByteArray("\xFF\xD8"));

    TBitmap dst(2, 2);
    TImageKitIO in;
    in.SetAttachedBitmap(&dst);
    QFile::copy(dir + QStringLiteral("/a.bmp"), dir + QStringLiteral("/upper.BMP"));
    in.LoadFromFile(dir + QStringLiteral("/upper.BMP"));
    EXPECT_EQ(in.Params().FileType, ioBMP);
    EXPECT_EQ(in.Params().FileName, dir + QStringLiteral("/upper.BMP"));
    EXPECT_EQ(BitmapRGB(dst), BitmapRGB(src));
    in.LoadFromFile(dir + QStringLiteral("/f.PNG"));
    EXPECT_EQ(in.Params().FileType, ioPNG);
    EXPECT_EQ(BitmapRGB(dst), BitmapRGB(src));

    // no extension: nothing read, bitmap kept, name and type reset
    in.LoadFromFile(dir + QStringLiteral("/e"));
    EXPECT_EQ(in.Params().FileType, ioUnknown);
    EXPECT_TRUE(in.Params().FileName.isEmpty());
    EXPECT_EQ(BitmapRGB(dst), BitmapRGB(src));
}

TEST(ImageKitIOFiles, OpenFailuresAndBadFilesRaiseDifferentTypes)
{
    const QString dir = TempDir();
    TBitmap dst = picture(4, 4);
    const QByteArray before = BitmapRGB(dst);
    TImageKitIO io;
    io.SetAttachedBitmap(&dst);
    EXPECT_THROW(io.LoadFromFile(dir + QStringLiteral("/missing.bmp")), EStreamError);
    writeBytes(dir + QStringLiteral("/bad.bmp"), QByteArray("BM this is not a bitmap at all"));
    try {
        io.LoadFromFile(dir + QStringLiteral("/bad.bmp"));
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().endsWith(QStringLiteral("unrecognized BMP"))) << e.what();
    }
    EXPECT_EQ(BitmapRGB(dst), before);
    writeBytes(dir + QStringLiteral("/x.gif"), QByteArray("GIF89a"));
    try {
        io.LoadFromFile(dir + QStringLiteral("/x.gif"));
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().endsWith(QStringLiteral(" : unrecognized GIF"))) << e.what();
    }
    EXPECT_THROW(io.LoadFromFile(dir + QStringLiteral("/x.ico")), EStreamError);
    writeBytes(dir + QStringLiteral("/y.ico"), QByteArray(40, '\x01'));
    EXPECT_THROW(io.LoadFromFile(dir + QStringLiteral("/y.ico")), EInvalidGraphic);
    EXPECT_EQ(BitmapRGB(dst), before);

    // Formats without a reader here refuse the load and leave the parameters alone.
    const QString fileName = io.Params().FileName;
    const uint8_t fileType = io.Params().FileType;
    writeBytes(dir + QStringLiteral("/z.pcx"), QByteArray(128, '\x0a'));
    EXPECT_THROW(io.LoadFromFile(dir + QStringLiteral("/z.pcx")), EInvalidGraphic);
    EXPECT_THROW(io.LoadFromFile(dir + QStringLiteral("/missing.tif")), EStreamError);
    EXPECT_EQ(io.Params().FileName, fileName);
    EXPECT_EQ(io.Params().FileType, fileType);
    EXPECT_EQ(BitmapRGB(dst), before);
}

TEST(ImageKitIOFiles, FailedOrAbortedSavesLeaveTheOldFile)
{
    const QString dir = TempDir();
    const QString target = dir + QStringLiteral("/keep.gif");
    writeBytes(target, QByteArray("old contents"));
    TBitmap src = picture(5, 5);
    TImageKitIO io;
    io.SetAttachedBitmap(&src);
    // no GIF coder: the save fails and the old file stays whole
    EXPECT_THROW(io.SaveToFile(target), EInvalidGraphic);
    EXPECT_EQ(fileBytes(target), QByteArray("old contents"));

    const QString bmp = dir + QStringLiteral("/keep.bmp");
    writeBytes(bmp, QByteArray("old bitmap"));
    io.OnProgress = [&](TObject*, int) { io.Aborting = true; };
    io.SaveToFile(bmp);
    EXPECT_TRUE(io.Aborting);
    EXPECT_EQ(fileBytes(bmp), QByteArray("old bitmap"));
    io.OnProgress = nullptr;
    io.SaveToFile(bmp);
    EXPECT_EQ(fileBytes(bmp).left(2), QByteArray("BM"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2);  // no temporary files left
}

TEST(ImageKitIOFiles, SavingConvertsEightBitToTwentyFourAndKeepsOneBit)
{
    const QString dir = TempDir();
    TBitmap b = picture(6, 3);
    b.SetPixelFormat(pf8bit);
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    io.SaveToFile(dir + QStringLiteral("/a.bmp"));
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    TBitmap mono(9, 2, pf1bit);
    io.SetAttachedBitmap(&mono);
    io.SaveToFile(dir + QStringLiteral("/m.bmp"));
    EXPECT_EQ(mono.PixelFormat(), pf1bit);
}

TEST(ImageKitIOStreams, HeaderBytesAreExact)
{
    TBitmap src = picture(8, 8);
    TImageKitIO io;
    io.SetAttachedBitmap(&src);
    TMemoryStream ms;
    ms.WriteBuffer("xyz", 3);
    io.SaveToStreamJPEG(ms);
    const QByteArray b = ms.Bytes();
    ASSERT_GT(b.size(), 3 + 12 + 100);
    EXPECT_EQ(b.mid(3, 4), QByteArray("JFIF"));
    EXPECT_EQ(b.mid(7, 4), QByteArray(4, '\0'));
    const uint32_t len = uint32_t(uchar(b[11])) | uint32_t(uchar(b[12])) << 8 | uint32_t(uchar(b[13])) << 16 |
                         uint32_t(uchar(b[14])) << 24;
    EXPECT_EQ(len, uint32_t(b.size() - 15));
    EXPECT_EQ(b.mid(15, 2), QByteArray("\xFF\xD8"));
    EXPECT_EQ(ms.Position(), b.size());

    // without headers the data start at once
    io.StreamHeaders = false;
    TMemoryStream plain;
    io.SaveToStreamJPEG(plain);
    EXPECT_EQ(plain.Bytes().left(2), QByteArray("\xFF\xD8"));
    EXPECT_EQ(plain.Bytes(), b.mid(15));

    // BMP and PNG streams never carry a header
    io.StreamHeaders = true;
    TMemoryStream bm;
    io.SaveToStreamBMP(bm);
    EXPECT_EQ(bm.Bytes().left(2), QByteArray("BM"));

    TMemoryStream hdr;
    WriteStreamHeader(hdr, "PCX2", 0x01020304);
    EXPECT_EQ(hdr.Bytes(), QByteArray("PCX2\0\0\0\0\x04\x03\x02\x01", 12));
}

TEST(ImageKitIOStreams, JpegStreamsReadWithOrWithoutHeader)
{
    TBitmap src = picture(16, 9, 3);
    TImageKitIO io;
    io.SetAttachedBitmap(&src);
    TMemoryStream framed;
    io.SaveToStreamJPEG(framed);
    framed.WriteBuffer("tail", 4);
    io.StreamHeaders = false;
    TMemoryStream plain;
    io.SaveToStreamJPEG(plain);
    for (bool headers : {true, false}) {
        TBitmap a, c;
        TImageKitIO r;
        r.StreamHeaders = headers;
        r.SetAttachedBitmap(&a);
        framed.SetPosition(0);
        r.LoadFromStreamJPEG(framed);
        EXPECT_EQ(framed.Position(), framed.Size() - 4);  // right behind the image
        EXPECT_EQ(r.Params().FileType, ioJPEG);
        r.SetAttachedBitmap(&c);
        plain.SetPosition(0);
        r.LoadFromStreamJPEG(plain);
        EXPECT_EQ(BitmapRGB(a), BitmapRGB(c));
        EXPECT_EQ(a.Width(), 16);
    }
    TMemoryStream junk(QByteArray(40, 'j'));
    TBitmap d;
    TImageKitIO r;
    r.SetAttachedBitmap(&d);
    try {
        r.LoadFromStreamJPEG(junk);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("unrecognized JPEG stream"));
    }
}

TEST(ImageKitIOStreams, SeveralFramedImagesFollowEachOther)
{
    // Frames as the PCX stream reader takes them, carrying BMP images.
    TMemoryStream ms;
    std::vector<TBitmap> pics;
    for (int i = 0; i < 3; ++i)
        pics.push_back(picture(3 + i * 4, 2 + i, 300, uint32_t(i + 7)));
    for (TBitmap& p : pics) {
        TImageKitIO io;
        io.SetAttachedBitmap(&p);
        WriteFramedStream(ms, "PCX2", [&] {
            io.SaveToStreamBMP(ms);
            return true;
        });
    }
    ms.SetPosition(0);
    for (TBitmap& p : pics) {
        const TStreamFrame f = ReadPCXStreamHeader(ms, true);
        ASSERT_TRUE(f.Framed);
        TMemoryStream one(QByteArray(reinterpret_cast<const char*>(ms.Memory() + ms.Position()), qsizetype(f.Length)));
        TBitmap back;
        TImageKitIO io;
        io.SetAttachedBitmap(&back);
        const QString tmp = TempDir() + QStringLiteral("/frame.bmp");
        writeBytes(tmp, one.Bytes());
        io.LoadFromFileBMP(tmp);
        EXPECT_EQ(BitmapRGB(back), BitmapRGB(p));
        f.SkipPast(ms);
    }
    EXPECT_EQ(ms.Position(), ms.Size());

    // The old 4-byte header: the image is the rest of the stream behind it.
    TMemoryStream legacy(QByteArray("zzPCX1") + QByteArray(30, 'p'));
    legacy.SetPosition(2);
    const TStreamFrame old = ReadPCXStreamHeader(legacy, true);
    EXPECT_FALSE(old.Framed);
    EXPECT_EQ(legacy.Position(), 6);
    EXPECT_EQ(old.Length, 30);
    // headers off: the rest of the stream from where it stands
    legacy.SetPosition(2);
    EXPECT_EQ(ReadPCXStreamHeader(legacy, false).Length, 34);
    // not "PCX" at all, or a frame longer than the stream
    TMemoryStream bad(QByteArray("JFIF\0\0\0\0\x01\0\0\0x", 13));
    EXPECT_THROW(ReadPCXStreamHeader(bad, true), EInvalidGraphic);
    TMemoryStream tooLong(QByteArray("PCX2\0\0\0\0\xFF\0\0\0xx", 14));
    EXPECT_THROW(ReadPCXStreamHeader(tooLong, true), EInvalidGraphic);

    TBitmap b;
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    TMemoryStream notPcx(QByteArray(20, 'q'));
    try {
        io.LoadFromStreamPCX(notPcx);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("unrecognized PCX stream"));
    }
}

TEST(ImageKitIOView, AttachedViewGetsPictureResolutionAndForgetsItself)
{
    const QString dir = TempDir();
    TBitmap src = picture(12, 7);
    TImageKitIO saver;
    saver.SetAttachedBitmap(&src);
    saver.Params().DpiX = 300;
    saver.Params().DpiY = 200;
    saver.SaveToFile(dir + QStringLiteral("/v.bmp"));

    auto* view = new TImageKitView;
    TImageKitIO io;
    io.SetAttachedImageKit(view);
    EXPECT_EQ(io.Bitmap(), view->GetBitmap());
    EXPECT_EQ(view->BitmapChangeListenerCount(), 1);
    io.LoadFromFile(dir + QStringLiteral("/v.bmp"));
    EXPECT_EQ(view->DpiX(), 300);
    EXPECT_EQ(view->DpiY(), 200);
    EXPECT_EQ(BitmapRGB(*view->GetBitmap()), BitmapRGB(src));
    io.SetBackground(clRed);
    EXPECT_EQ(view->Background(), clRed);
    // parameters reset to the view's resolution and bitmap size
    view->SetDpi(111, 222);
    io.Params().SetDefaultParams();
    EXPECT_EQ(io.Params().DpiX, 111);
    EXPECT_EQ(io.Params().Width, 12);
    delete view;
    EXPECT_EQ(io.AttachedImageKit(), nullptr);
    EXPECT_EQ(io.Bitmap(), nullptr);
    io.LoadFromFile(dir + QStringLiteral("/v.bmp"));  // nothing to load into: nothing happens
    EXPECT_EQ(io.Background(), 0);

    auto* second = new TImageKitView;
    {
        TImageKitIO shortLived;
        shortLived.SetAttachedImageKit(second);
        EXPECT_EQ(second->BitmapChangeListenerCount(), 1);
    }
    EXPECT_EQ(second->BitmapChangeListenerCount(), 0);
    delete second;

    // owned by the view it is attached to, as the combined component does it
    auto* owner = new TImageKitView;
    auto* child = new TImageKitIO(owner);
    child->SetAttachedImageKit(owner);
    delete owner;
}

TEST(ImageKitIOParams, DefaultsAssignAndDescriptions)
{
    TIOParamsVals p;
    p.Width = 77;
    p.DpiX = 123;
    p.JpegQuality = 90;
    const TIORGB map[2] = {{1, 2, 3}, {4, 5, 6}};
    p.SetColorMap(map, 2);
    p.SetDefaultParams();
    // no owner: size and resolution stay
    EXPECT_EQ(p.Width, 77);
    EXPECT_EQ(p.DpiX, 123);
    EXPECT_EQ(p.JpegQuality, 50);
    EXPECT_EQ(p.ColorMapCount, 0);
    EXPECT_EQ(p.GifVersion, QStringLiteral("GIF89a"));
    EXPECT_EQ(p.BmpVersion, 1);
    EXPECT_EQ(p.PcxCompression, 1);
    EXPECT_EQ(p.TiffPhotometric, 2);
    EXPECT_EQ(p.GifLzwDecompress, nullptr);

    auto copy = std::make_unique<TIOParamsVals>();
    {
        TIOParamsVals src;
        src.SetColorMap(map, 2);
        src.FileName = QStringLiteral("x.bmp");
        src.TiffPageName = QStringLiteral("page");
        copy->Assign(src);
    }
    EXPECT_EQ(copy->ColorMapCount, 2);
    EXPECT_EQ(copy->ColorMap[1], (TIORGB{4, 5, 6}));
    EXPECT_EQ(copy->FileName, QStringLiteral("x.bmp"));
    EXPECT_EQ(copy->TiffPageName, QStringLiteral("page"));

    TIOParamsVals d;
    d.FileType = ioBMP;
    d.BmpVersion = 2;
    EXPECT_EQ(TImageKitIO::GetFormatDescription(d), QStringLiteral("Windows Bitmap (BMP) OS/2 v.1"));
    d.FileType = ioTIFF;
    d.TiffCompression = 4;
    EXPECT_EQ(TImageKitIO::GetFormatDescription(d), QStringLiteral("TIFF Bitmap (TIF) Group 4 Fax"));
    d.FileType = ioJPEG;
    d.JpegColorSpace = 1;
    EXPECT_EQ(TImageKitIO::GetFormatDescription(d), QStringLiteral("JPEG Bitmap (JPG) Gray level"));
    d.FileType = ioPCX;
    d.PcxCompression = 0;
    EXPECT_EQ(TImageKitIO::GetFormatDescription(d), QStringLiteral("PaintBrush (PCX) Uncompressed"));
    d.FileType = ioEMF;
    EXPECT_EQ(TImageKitIO::GetFormatDescription(d), QStringLiteral("Enhanced Windows Metafile (WMF)"));
    d.FileType = ioUnknown;
    EXPECT_EQ(TImageKitIO::GetFormatDescription(d), QString());

    // a registered coder reaches every record reset afterwards
    auto fakeGif = [](TStream&, int, int, uint8_t*, bool) {};
    RegisterLzwCoders(TLzwHooks{fakeGif, nullptr, nullptr, nullptr});
    TIOParamsVals withHook;
    EXPECT_EQ(withHook.GifLzwDecompress, static_cast<TGifLzwDecompress>(fakeGif));
    RegisterLzwCoders(TLzwHooks{});
}

TEST(ImageKitIOView, PictureControlTakesTheLoadAndDetachesTheView)
{
    const QString file = TempDir() + QStringLiteral("/picture.bmp");
    TBitmap source = picture(11, 7);
    {
        TImageKitIO writer;
        writer.SetAttachedBitmap(&source);
        writer.SaveToFile(file);
    }
    TImageKitView view;
    auto* image = new TImage;
    TImageKitIO io;
    io.SetAttachedImageKit(&view);
    io.SetAttachedTImage(image);
    EXPECT_EQ(io.AttachedImageKit(), nullptr);
    EXPECT_EQ(io.Bitmap(), image->PictureBitmap());
    const int changes = image->ChangeCount();
    io.LoadFromFile(file);
    EXPECT_EQ(image->PictureBitmap()->Image(), source.Image());
    EXPECT_GT(image->ChangeCount(), changes);
    EXPECT_EQ(view.Bitmap()->Width(), 0);

    delete image;  // the component forgets the control and its bitmap
    EXPECT_EQ(io.AttachedTImage(), nullptr);
    EXPECT_EQ(io.Bitmap(), nullptr);
    io.SetAttachedImageKit(&view);
    EXPECT_EQ(io.Bitmap(), view.Bitmap());
}
