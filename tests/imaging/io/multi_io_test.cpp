// Multi-image input/output: every page, frame or video frame into a multi view, with
// one record per image kept in step.

#include "imaging/io/multi_io.h"

#include "common/test_support.h"
#include "imaging/io/gif/gif_test_coder.h"
#include "imaging/io/io_oracle.h"
#include "imaging/view/multi_view.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/video/avi_reader.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace iotest;

namespace {

TBitmap pattern(int w, int h, uint32_t seed)
{
    TBitmap b;
    b.SetImage(Pattern(w, h, 50, seed).convertToFormat(QImage::Format_BGR888));
    return b;
}

struct Rig {
    TImageKitMView view;
    TImageKitMIO mio;
    std::vector<int> progress;
    Rig()
    {
        mio.SetAttachedMView(&view);
        mio.OnProgress = [this](TObject*, int p) { progress.push_back(p); };
    }
    void checkInStep()
    {
        ASSERT_EQ(mio.ImageCount(), view.ImageCount());
        for (int i = 0; i < mio.ImageCount(); ++i) {
            EXPECT_EQ(mio.Params(i)->GifImageIndex, i);
            EXPECT_EQ(mio.Params(i)->TiffImageIndex, i);
        }
        EXPECT_EQ(mio.Params(mio.ImageCount()), nullptr);
        EXPECT_EQ(mio.Params(-1), nullptr);
    }
};

}  // namespace

TEST(MultiIOTiff, PagesOfOurWriterAndOfTiffcpLoadInOrder)
{
    REQUIRE_TOOLS(QStringLiteral("tiffcp"));
    const QString dir = TempDir();
    std::vector<TBitmap> pages;
    QStringList singles;
    TImageKitIO io;
    for (int i = 0; i < 3; ++i) {
        pages.push_back(pattern(7 + i, 5, uint32_t(i + 1)));
        io.SetAttachedBitmap(&pages.back());
        io.Params().TiffImageIndex = i;
        io.InsertToFileTIFF(dir + QStringLiteral("/ours.tif"));
        singles << dir + QStringLiteral("/p%1.tif").arg(i);
        io.SaveToFile(singles.back());
    }
    ASSERT_EQ(RunTool(QStringLiteral("tiffcp"), QStringList(singles) << dir + QStringLiteral("/cp.TIF")), 0);
    for (const char* name : {"/ours.tif", "/cp.TIF"}) {
        SCOPED_TRACE(name);
        Rig rig;
        // Three images there already; the third is selected, so the pages go before it.
        for (int i = 0; i < 3; ++i)
            rig.view.InsertImage(i);
        rig.view.SetImageDelay(2, 777);
        rig.view.SetSelectedImage(2);
        rig.mio.LoadFromFile(dir + QLatin1String(name));
        ASSERT_EQ(rig.view.ImageCount(), 6);
        EXPECT_EQ(rig.view.ImageDelay(5), 777);
        EXPECT_EQ(rig.progress, (std::vector<int>{0, 33, 66}));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(rig.view.ImageDelay(2 + i), 100);
            EXPECT_EQ(rig.mio.Params(2 + i)->FileType, ioTIFF);
            EXPECT_EQ(BitmapRGB(*rig.view.GetImageBitmap(2 + i)), BitmapRGB(pages[size_t(i)]));
            rig.view.ReleaseImageBitmap(2 + i);
        }
        rig.checkInStep();
        // Deleting and inserting keep the records in step; an insertion copies its neighbour.
        rig.view.DeleteImage(3);
        rig.checkInStep();
        EXPECT_EQ(rig.mio.Params(3)->Width, 9);
        rig.view.InsertImage(3);
        rig.checkInStep();
        EXPECT_EQ(rig.mio.Params(3)->Width, 9);
        rig.view.InsertImage(99);
        rig.checkInStep();
    }
}

TEST(MultiIOGif, FramesAndTheirDisplayTimes)
{
    REQUIRE_TOOLS(QStringLiteral("python3:PIL"));
    const QString path = TempDir() + QStringLiteral("/anim.gif");
    ASSERT_EQ(Python(QStringLiteral("import sys\nfrom PIL import Image\n"
                                    "f=[Image.new('RGB',(6,4),c) for c in [(255,0,0),(0,255,0),(0,0,255),(9,9,9)]]\n"
                                    "f[0].save(sys.argv[1],save_all=True,append_images=f[1:],duration=[0,50,0,70],"
                                    "disposal=1)\n"),
                     {path}),
              0);
    {
        // Without a coder the first frame fails and no empty image is left behind.
        Rig rig;
        EXPECT_THROW(rig.mio.LoadFromFile(path), EInvalidGraphic);
        EXPECT_EQ(rig.view.ImageCount(), 0);
        rig.checkInStep();
    }
    const TTestGifCoder coder;
    Rig rig;
    rig.mio.LoadFromFile(path);
    ASSERT_EQ(rig.view.ImageCount(), 4);
    const int delays[] = {10, 50, 50, 70};  // hundredths of a second × 10; none: the last seen
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rig.view.ImageDelay(i), delays[i]);
        EXPECT_EQ(rig.mio.Params(i)->FileType, ioGIF);
        TBitmap* b = rig.view.GetImageBitmap(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Image().pixel(3, 2) & 0xFFFFFF, colours[i] & 0xFFFFFF);
        rig.view.ReleaseImageBitmap(i);
    }
    rig.checkInStep();
    // Other extensions load nothing.
    rig.mio.LoadFromFile(TempDir() + QStringLiteral("/x.bmp"));
    EXPECT_EQ(rig.view.ImageCount(), 4);
}

TEST(MultiIOVideo, FramesMatchFfmpegAndPlayAtTheStreamRate)
{
    REQUIRE_TOOLS(QStringLiteral("ffmpeg"));
    const QString dir = TempDir();
    const QString path = dir + QStringLiteral("/clip.avi");
    ASSERT_EQ(RunTool(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("testsrc=size=32x24:rate=25"), QStringLiteral("-frames:v"),
                       QStringLiteral("6"), QStringLiteral("-c:v"), QStringLiteral("mjpeg"), QStringLiteral("-q:v"),
                       QStringLiteral("2"), path}),
              0);
    QByteArray raw;
    ASSERT_EQ(RunTool(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-f"),
                       QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"),
                       QStringLiteral("-")},
                      &raw),
              0);
    ASSERT_EQ(raw.size(), 6 * 32 * 24 * 3);
    Rig rig;
    rig.mio.LoadFromFile(path);
    ASSERT_EQ(rig.view.ImageCount(), 6);
    EXPECT_EQ(rig.mio.FileFrameCount(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rig.view.ImageDelay(i), 40);
        EXPECT_EQ(rig.mio.Params(i)->FileName, path);
        const QByteArray ours = BitmapRGB(*rig.view.GetImageBitmap(i));
        rig.view.ReleaseImageBitmap(i);
        const QByteArray theirs = raw.mid(i * 32 * 24 * 3, 32 * 24 * 3);
        ASSERT_EQ(ours.size(), theirs.size());
        int worst = 0;
        for (int k = 0; k < ours.size(); ++k)
            worst = std::max(worst, std::abs(int(uint8_t(ours[k])) - int(uint8_t(theirs[k]))));
        EXPECT_LE(worst, 8);  // the same decoder; only the colour conversion may round apart
    }
    rig.checkInStep();
    // A preview keeps a few reduced frames of a longer film; the count stays the file's.
    Rig small;
    small.mio.VideoFrameLimit = 4;
    small.mio.VideoBoxWidth = 16;
    small.mio.VideoBoxHeight = 16;
    small.mio.LoadFromFile(path);
    EXPECT_EQ(small.view.ImageCount(), 4);
    EXPECT_EQ(small.mio.FileFrameCount(), 6);
    EXPECT_EQ(small.view.GetImageBitmap(3)->Width(), 16);
    // Frames out of order are found by seeking.
    TAviReader video(path);
    TBitmap b;
    for (int n : {5, 1, 2, 0}) {
        ASSERT_TRUE(video.ReadFrame(n, b));
        const QByteArray theirs = raw.mid(n * 32 * 24 * 3, 32 * 24 * 3);
        EXPECT_EQ(BitmapRGB(b).size(), theirs.size());
    }
    EXPECT_FALSE(video.ReadFrame(6, b));
    EXPECT_THROW(TAviReader(dir + QStringLiteral("/missing.avi")), EInvalidGraphic);
}

TEST(MultiIOVideo, FrameIntervalFromRateAndScale)
{
    struct Row {
        int64_t rate, scale;
        int ms;
    };
    for (const Row& r :
         {Row{25, 1, 40}, Row{30000, 1001, 33}, Row{1, 2, 2000}, Row{0, 1, 100}, Row{25, 0, 100}, Row{-5, 1, 100}})
        EXPECT_EQ(AviFrameInterval(r.rate, r.scale), r.ms) << r.rate << "/" << r.scale;
}

namespace {

// Counts the bytes a load reads: the work it does, whatever the machine's speed.
class TCountingStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    int64_t Read(void* buffer, int64_t count) override
    {
        const int64_t n = TMemoryStream::Read(buffer, count);
        bytes += std::max<int64_t>(n, 0);
        return n;
    }
    int64_t bytes = 0;
};

// n pages of one black pixel, each directory right behind the one before.
QByteArray tiffPages(int n)
{
    QByteArray b("II*\0\x08\0\0\0", 8);
    for (int i = 0; i < n; ++i) {
        const uint32_t at = uint32_t(b.size());
        QByteArray d(2 + 4 * 12 + 4, '\0');
        auto* p = reinterpret_cast<uint8_t*>(d.data());
        putLe16(p, 4);
        const uint32_t entries[4][3] = {{256, 4, 1}, {257, 4, 1}, {262, 3, 1}, {273, 4, 8}};
        for (int e = 0; e < 4; ++e) {
            putLe16(p + 2 + 12 * e, uint16_t(entries[e][0]));
            putLe16(p + 4 + 12 * e, uint16_t(entries[e][1]));
            putLe32(p + 6 + 12 * e, 1);
            putLe32(p + 10 + 12 * e, entries[e][2]);
        }
        putLe32(p + 50, i + 1 < n ? at + uint32_t(d.size()) : 0);
        b += d;
    }
    return b;
}

// n frames of one pixel.
QByteArray gifFrames(int n)
{
    QByteArray b("GIF89a\x01\0\x01\0\x80\0\0\0\0\0\xff\xff\xff", 19);
    for (int i = 0; i < n; ++i)
        b += QByteArray(",\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 15);
    return b + ';';
}

}  // namespace

// Each page is read from where the one walk over the file found it: twice the pages
// take about twice the reading, not four times.
TEST(MultiIOLoad, ReadingGrowsInStepWithThePages)
{
    const TTestGifCoder coder;
    for (const bool gif : {false, true}) {
        SCOPED_TRACE(gif ? "GIF" : "TIFF");
        int64_t work[2] = {};
        for (int k = 0; k < 2; ++k) {
            const int n = 150 << k;
            Rig rig;
            TCountingStream stream(gif ? gifFrames(n) : tiffPages(n));
            gif ? rig.mio.LoadFromStreamGIF(stream) : rig.mio.LoadFromStreamTIFF(stream);
            ASSERT_EQ(rig.view.ImageCount(), n);
            work[k] = stream.bytes;
        }
        EXPECT_LT(work[1], work[0] * 5 / 2);
    }
}

// A frame is held to what its own coded bytes can stand for, not to every byte behind
// it: a large frame of four bytes followed by many small frames is refused before its
// bitmap is made, and the frames before it stay.
TEST(MultiIOLoad, AFrameIsHeldToItsOwnData)
{
    const TTestGifCoder coder;
    QByteArray file = gifFrames(2);
    file.chop(1);
    file += QByteArray(",\0\0\0\0\xb8\x0b\xb8\x0b\0\x02\x02\x44\x01\0", 15);  // 3000 × 3000
    file += gifFrames(300).mid(19);
    struct Counting {
        int64_t bytes = 0;
        Counting()
        {
            TBitmap::AllocationGate = [this](int64_t n) { return (bytes += n), true; };
        }
        ~Counting() { TBitmap::AllocationGate = nullptr; }
    } bitmaps;
    Rig rig;
    TMemoryStream stream(file);
    try {
        rig.mio.LoadFromStreamGIF(stream);
        ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("GIF frame is larger than its data"));
    }
    EXPECT_EQ(rig.view.ImageCount(), 2);
    rig.checkInStep();
    EXPECT_LT(bitmaps.bytes, int64_t(1) << 20);
}
