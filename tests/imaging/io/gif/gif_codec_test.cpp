// GIF block structure on real files (PIL, ImageMagick and gdk-pixbuf's samples), with the
// test tree's LZW coder plugged in, and PIL as the pixel oracle.

#include "imaging/io/gif/gif.h"
#include "imaging/io/gif/gif_test_coder.h"
#include "imaging/io/io_oracle.h"

#include "common/test_support.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;

namespace {

const char* const kPixbufSuite = "/usr/libexec/installed-tests/gdk-pixbuf/test-images/gif-test-suite";
const char* const kPixbufFail = "/usr/libexec/installed-tests/gdk-pixbuf/test-images/fail";

// An animated GIF of `frames` full-screen frames by PIL, each a different pattern.
QString pilAnimation(const QString& path, int frames, int w, int h, const QString& durations)
{
    const int rc = Python(QStringLiteral("import sys\nfrom PIL import Image\n"
                                         "n,w,h=int(sys.argv[2]),int(sys.argv[3]),int(sys.argv[4])\n"
                                         "d=[int(x) for x in sys.argv[5].split(',')]\n"
                                         "fr=[Image.new('RGB',(w,h),(40*i%256,255-30*i,90)) for i in range(n)]\n"
                                         "for i,f in enumerate(fr):\n"
                                         "  for x in range(w):\n"
                                         "    f.putpixel((x,(x*(i+1))%h),(255,255,255-i))\n"
                                         "fr[0].save(sys.argv[1],save_all=True,append_images=fr[1:],duration=d,loop=0,"
                                         "disposal=1,optimize=False)\n"),
                          {path, QString::number(frames), QString::number(w), QString::number(h), durations});
    return rc == 0 ? path : QString();
}

// Frame counts by PIL in one run, −1 for files it refuses.
std::vector<int> pilFrameCounts(const QStringList& paths)
{
    QByteArray out;
    Python(QStringLiteral("import sys\nfrom PIL import Image\nfor f in sys.argv[1:]:\n"
                          "  try: print(Image.open(f).n_frames)\n  except Exception: print(-1)\n"),
           paths, &out);
    std::vector<int> counts;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            counts.push_back(line.toInt());
    counts.resize(size_t(paths.size()), -1);
    return counts;
}

int pilFrameCount(const QString& path) { return pilFrameCounts({path})[0]; }

// Frame i as PIL composes it (full-screen frames compose to themselves).
QByteArray pilFrameRGB(const QString& path, int frame)
{
    QByteArray out;
    Python(QStringLiteral("import sys\nfrom PIL import Image\nim=Image.open(sys.argv[1])\nim.seek(int(sys.argv[2]))\n"
                          "sys.stdout.buffer.write(im.convert('RGB').tobytes())"),
           {path, QString::number(frame)}, &out);
    return out;
}

int readFrame(const QString& path, int index, TBitmap& bitmap, TIOParamsVals& params)
{
    params.GifImageIndex = index;
    TProgressRec rec;
    return ReadGIFFile(path, bitmap, params, rec);
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

// A GIF built by hand: screen, optional global table, then the given blocks.
QByteArray forged(const char* version, int w, int h, int packed, const QByteArray& table, const QByteArray& body)
{
    QByteArray b(version);
    b += bytes({w & 255, w >> 8, h & 255, h >> 8, packed, 0, 0});
    return b + table + body + bytes({0x3B});
}

// A frame of w × h indices coded by the test coder.
QByteArray frameData(int w, int h, int bits, const std::vector<uint8_t>& indices)
{
    TMemoryStream s;
    TestGifLzwCompress(s, h, w, bits, indices.data(), false);
    return QByteArray(reinterpret_cast<const char*>(s.Memory()), int(s.Size()));
}

QString writeFile(const QString& name, const QByteArray& data)
{
    const QString path = TempDir() + QLatin1Char('/') + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

}  // namespace

TEST(GifFrames, CountAndDeletionAgreeWithPil)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"), QStringLiteral("convert"), QString::fromLatin1(kPixbufSuite));
    const QString dir = TempDir();
    QStringList files = {pilAnimation(dir + QStringLiteral("/pil3.gif"), 3, 17, 11, QStringLiteral("0,50,0")),
                         pilAnimation(dir + QStringLiteral("/pil5.gif"), 5, 8, 8, QStringLiteral("10,20,30,40,50"))};
    const QString magick = dir + QStringLiteral("/magick.gif");
    ASSERT_EQ(RunTool(QStringLiteral("convert"),
                      {QStringLiteral("-delay"), QStringLiteral("7"), QStringLiteral("-size"), QStringLiteral("9x6"),
                       QStringLiteral("xc:red"), QStringLiteral("xc:blue"), QStringLiteral("xc:lime"),
                       QStringLiteral("xc:white"), magick}),
              0);
    files << magick;
    for (const QString& f : QDir(QString::fromLatin1(kPixbufSuite)).entryList({QStringLiteral("*.gif")}))
        files << QString::fromLatin1(kPixbufSuite) + QLatin1Char('/') + f;
    int multi = 0;
    const std::vector<int> counts = pilFrameCounts(files);
    for (int k = 0; k < files.size(); ++k) {
        const QString& original = files[k];
        SCOPED_TRACE(original.toStdString());
        const int expected = counts[size_t(k)];
        if (expected < 0)
            continue;  // PIL refuses it too
        EXPECT_EQ(DeleteGIFFrame(original, -1, false), expected);
        if (expected < 2)
            continue;
        ++multi;
        // Dropping frame 1 keeps the others, in a file PIL reads, marked 89a.
        const QString copy = dir + QStringLiteral("/copy.gif");
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(original, copy));
        EXPECT_EQ(DeleteGIFFrame(copy, 1, true), expected - 1);
        EXPECT_EQ(pilFrameCount(copy), expected - 1);
        EXPECT_EQ(ReadWholeFile(copy).left(6), QByteArray("GIF89a"));
        EXPECT_EQ(DeleteGIFFrame(copy, -1, false), expected - 1);
    }
    EXPECT_GE(multi, 4);
}

TEST(GifFrames, DeletingAFrameTakesItsControlExtensionAlong)
{
    // Two frames of an 87a file, each with its own delay; frame 0 goes.
    const QByteArray table = bytes({0, 0, 0, 255, 255, 255});
    auto gce = [](int delay) { return bytes({0x21, 0xF9, 4, 0, delay, 0, 0, 0}); };
    const QByteArray frame = bytes({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0}) + frameData(2, 1, 1, {0, 1});
    const QString path =
        writeFile(QStringLiteral("two87a.gif"), forged("GIF87a", 2, 1, 0x80, table, gce(11) + frame + gce(22) + frame));
    EXPECT_EQ(DeleteGIFFrame(path, 0, true), 1);
    const TTestGifCoder coder;
    TBitmap b;
    TIOParamsVals p;
    EXPECT_EQ(readFrame(path, 0, b, p), 1);
    EXPECT_EQ(p.GifVersion, QStringLiteral("GIF89a"));
    EXPECT_EQ(p.GifDelayTime, 22);
}

TEST(GifRead, FramesMatchPil)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const TTestGifCoder coder;
    const QString dir = TempDir();
    struct Row {
        int frames, w, h;
        const char* durations;
    };
    for (const Row& r : {Row{3, 17, 11, "0,50,0"}, Row{2, 64, 3, "5,5"}, Row{4, 1, 9, "1,2,3,4"}}) {
        const QString path = pilAnimation(dir + QStringLiteral("/f%1.gif").arg(r.w), r.frames, r.w, r.h,
                                          QString::fromLatin1(r.durations));
        ASSERT_FALSE(path.isEmpty());
        const QStringList delays = QString::fromLatin1(r.durations).split(QLatin1Char(','));
        for (int i = 0; i < r.frames; ++i) {
            SCOPED_TRACE(QStringLiteral("%1 frame %2").arg(path).arg(i).toStdString());
            TBitmap b;
            TIOParamsVals p;
            EXPECT_EQ(readFrame(path, i, b, p), r.frames);
            EXPECT_EQ(FirstDifference(BitmapRGB(b), pilFrameRGB(path, i)), -1);
            EXPECT_EQ(p.GifDelayTime, delays[i].toInt() / 10);
            EXPECT_EQ(p.Width, r.w);
            EXPECT_EQ(int(p.ColorMap.size()), 1 << p.BitsPerSample);
        }
    }
}

TEST(GifWrite, PilReadsWhatWeWrite)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const TTestGifCoder coder;
    const QString dir = TempDir();
    struct Row {
        int w, h, colors, bits;
        bool interlaced;
    };
    for (const Row& r : {Row{13, 7, 200, 8, false}, Row{31, 17, 16, 4, true}, Row{5, 3, 2, 1, false},
                         Row{64, 1, 3, 2, false}, Row{1, 1, 1, 8, true}}) {
        SCOPED_TRACE(r.w * 1000 + r.colors);
        TBitmap src;
        src.SetImage(Pattern(r.w, r.h, r.colors, uint32_t(r.w)).convertToFormat(QImage::Format_BGR888));
        TIOParamsVals p;
        p.BitsPerSample = r.bits;
        p.GifInterlaced = r.interlaced;
        p.GifDelayTime = 33;
        const QString path = dir + QStringLiteral("/w.gif");
        TProgressRec rec;
        WriteGIFFile(path, src, p, rec);
        // Few enough colours to be kept exactly.
        EXPECT_EQ(FirstDifference(PilRGB(path), BitmapRGB(src)), -1);
        const QByteArray file = ReadWholeFile(path);
        EXPECT_EQ(uint8_t(file[10]), 0x80 + (r.bits - 1) * 17);
        TBitmap back;
        TIOParamsVals q;
        EXPECT_EQ(readFrame(path, 0, back, q), 1);
        EXPECT_EQ(BitmapRGB(back), BitmapRGB(src));
        EXPECT_EQ(q.GifDelayTime, 33);
        EXPECT_EQ(q.GifInterlaced, r.interlaced ? 1 : 0);
    }
}

TEST(GifCoderMissing, ReadAndWriteSayWhatIsMissingWhileCountingWorks)
{
    const QByteArray table = bytes({0, 0, 0, 255, 255, 255});
    const QByteArray frame = bytes({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0}) + frameData(2, 1, 1, {0, 1});
    const QString path =
        writeFile(QStringLiteral("three.gif"), forged("GIF89a", 2, 1, 0x80, table, frame + frame + frame));
    TBitmap b(3, 3);
    TIOParamsVals p;
    try {
        readFrame(path, 0, b, p);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("LZW decompressor not found"));
    }
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(DeleteGIFFrame(path, -1, false), 3);
    TImageKitIO io;
    EXPECT_EQ(io.GetGIFImageCount(path), 3);

    // Writing stops after the descriptor; a file save keeps the old file.
    TMemoryStream s;
    TProgressRec rec;
    try {
        WriteGIFStream(s, b, p, rec);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("LZW compressor not found"));
    }
    EXPECT_EQ(s.Size(), 13 + 3 * 256 + 8 + 10);
    EXPECT_THROW(WriteGIFFile(path, b, p, rec), EInvalidGraphic);
    EXPECT_EQ(DeleteGIFFrame(path, -1, false), 3);
}

// A file without a single image descriptor holds no picture: reading refuses it, as
// the load of such a file must open no window, while counting still says 0.
TEST(GifRead, AFileWithoutFramesIsRefusedWhileItCountsNone)
{
    const TTestGifCoder coder;
    const QByteArray bw = bytes({0, 0, 0, 255, 255, 255});
    const struct {
        const char* name;
        QByteArray file;
    } files[] = {
        {"trailer", forged("GIF89a", 2, 2, 0x80, bw, bytes({0x3B}))},
        {"nodata", forged("GIF89a", 2, 2, 0x80, bw, {}).chopped(1)},
        {"zerosize", forged("GIF89a", 0, 0, 0, {}, bytes({0x21, 0xFE, 1, 'x', 0}))},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QString path = writeFile(QLatin1String(f.name) + QStringLiteral("-empty.gif"), f.file);
        TBitmap b(3, 2);
        TIOParamsVals p;
        try {
            readFrame(path, 0, b, p);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("unrecognized GIF"));
        }
        EXPECT_EQ(b.Width(), 3);
        EXPECT_EQ(DeleteGIFFrame(path, -1, false), 0);
    }
}

TEST(GifRead, OddFilesReadSoundly)
{
    const TTestGifCoder coder;
    const QByteArray bw = bytes({0, 0, 0, 255, 255, 255});
    const QByteArray redBlue = bytes({255, 0, 0, 0, 0, 255});
    auto desc = [](int l, int t, int w, int h, int packed) {
        return bytes({0x2C, l & 255, l >> 8, t & 255, t >> 8, w, 0, h, 0, packed});
    };
    const QByteArray gce = bytes({0x21, 0xF9, 4, 1, 7, 0, 1, 0});
    struct Row {
        const char* name;
        QByteArray file;
        bool mono;       // read as 1-bit
        QByteArray rgb;  // expected pixels, red green blue
        int delay;
    };
    const Row rows[] = {
        // An 87a file with a control extension: honoured.
        {"gce87a", forged("GIF87a", 2, 1, 0x80, bw, gce + desc(0, 0, 2, 1, 0) + frameData(2, 1, 1, {1, 0})), true,
         bytes({255, 255, 255, 0, 0, 0}), 7},
        // A frame reaching past the screen is read whole at its own size.
        {"offscreen", forged("GIF89a", 1, 1, 0x80, bw, desc(300, 5, 3, 1, 0) + frameData(3, 1, 1, {0, 1, 0})), true,
         bytes({0, 0, 0, 255, 255, 255, 0, 0, 0}), 0},
        // No table anywhere: a grey ramp as deep as the code size (2 bits: 0, 85, 170, 255).
        {"notable", forged("GIF89a", 3, 1, 0, {}, desc(0, 0, 3, 1, 0) + frameData(3, 1, 2, {1, 2, 3})), false,
         bytes({85, 85, 85, 170, 170, 170, 255, 255, 255}), 0},
        // Indices beyond a two-entry table are black.
        {"beyond", forged("GIF89a", 3, 1, 0x80, redBlue, desc(0, 0, 3, 1, 0) + frameData(3, 1, 2, {0, 3, 1})), false,
         bytes({255, 0, 0, 0, 0, 0, 0, 0, 255}), 0},
        // Two colours that are not black and white keep their colours.
        {"twocolour", forged("GIF89a", 2, 1, 0, {}, desc(0, 0, 2, 1, 0x80) + redBlue + frameData(2, 1, 1, {1, 0})),
         false, bytes({0, 0, 255, 255, 0, 0}), 0},
        // White and black in that order stay 1-bit with the right pixels.
        {"inverted",
         forged("GIF89a", 2, 1, 0x80, bytes({255, 255, 255, 0, 0, 0}),
                desc(0, 0, 2, 1, 0) + frameData(2, 1, 1, {1, 0})),
         true, bytes({0, 0, 0, 255, 255, 255}), 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QString path = writeFile(QLatin1String(r.name) + QStringLiteral(".gif"), r.file);
        TBitmap b;
        TIOParamsVals p;
        EXPECT_EQ(readFrame(path, 0, b, p), 1);
        EXPECT_EQ(b.PixelFormat() == pf1bit, r.mono);
        EXPECT_EQ(BitmapRGB(b), r.rgb);
        EXPECT_EQ(p.GifDelayTime, r.delay);
    }
}

TEST(GifRead, HostileFilesNeverCrash)
{
    const TTestGifCoder coder;
    QStringList files;
    if (QDir(QString::fromLatin1(kPixbufFail)).exists())
        for (const QString& f : QDir(QString::fromLatin1(kPixbufFail)).entryList({QStringLiteral("*.gif")}))
            files << QString::fromLatin1(kPixbufFail) + QLatin1Char('/') + f;
    // Cut-off copies of a good file at every length, and a code size of 12 bits.
    const QByteArray good =
        forged("GIF89a", 4, 2, 0x80, bytes({0, 0, 0, 255, 255, 255}),
               bytes({0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0}) + frameData(4, 2, 1, {0, 1, 1, 0, 1, 0, 0, 1}));
    for (int n = 0; n < good.size(); ++n)
        files << writeFile(QStringLiteral("cut%1.gif").arg(n), good.left(n));
    QByteArray wide = good;
    wide[int(13 + 6 + 10)] = char(12);
    files << writeFile(QStringLiteral("wide.gif"), wide);
    for (const QString& f : files) {
        SCOPED_TRACE(f.toStdString());
        for (int index : {0, 1}) {
            TBitmap b;
            TIOParamsVals p;
            try {
                readFrame(f, index, b, p);
            } catch (const EInvalidGraphic&) {
            } catch (const EStreamError&) {}
            try {
                DeleteGIFFrame(f, index, false);
            } catch (const EInvalidGraphic&) {}
        }
    }
}
