// Converting capture frames to 24-bit bitmaps.
#include "platform/video/frame_convert.h"
#include "platform/video/synthetic_source.h"
#include "platform/video/v4l_libraries.h"

#include "common/test_support.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <linux/videodev2.h>
#include <vector>

namespace {

int clip(double v) { return std::clamp(int(std::lround(v)), 0, 255); }

// Full-range BT.601 (the camera convention), B, G, R.
std::array<int, 3> yuvToBgr(int y, int u, int v)
{
    const double cu = u - 128, cv = v - 128;
    return {clip(y + 1.772 * cu), clip(y - 0.344136 * cu - 0.714136 * cv), clip(y + 1.402 * cv)};
}

}  // namespace

// The device libraries are not part of the program's start: the first converter opens
// them, and converts with them then (the cases below).
TEST(FrameConverter, DeviceLibrariesLoadWithTheFirstConverter)
{
    // Run alone (as ctest runs each test), nothing before has converted a frame.
    if (!V4LOpened()) {
        EXPECT_FALSE(LibraryLoaded("libv4lconvert.so.0"));
        EXPECT_FALSE(LibraryLoaded("libv4l2.so.0"));
    }
    TFrameConverter conv;
    EXPECT_TRUE(V4L().Loaded);
    EXPECT_TRUE(LibraryLoaded("libv4lconvert.so.0"));
    EXPECT_TRUE(LibraryLoaded("libv4l2.so.0"));
}

// Recorded YUYV frames with padded rows: every pixel must come out as the colour its
// Y, U, V stand for, in blue-green-red order, whatever the padding holds.
TEST(FrameConverter, YuyvFramesBecomeBgrRows)
{
    struct Case {
        int y0, y1, u, v;
    };
    const Case cases[] = {{16, 235, 128, 128},
                          {128, 128, 104, 152},
                          {200, 60, 152, 104},
                          {90, 180, 140, 116},
                          {0, 255, 128, 128}};
    const int w = 4, h = 3, stride = w * 2 + 6;
    for (const Case& c : cases) {
        std::vector<uint8_t> data(size_t(stride) * h, 0xEE);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; x += 2) {
                uint8_t* p = data.data() + y * stride + x * 2;
                p[0] = uint8_t(c.y0);
                p[1] = uint8_t(c.u);
                p[2] = uint8_t(c.y1);
                p[3] = uint8_t(c.v);
            }
        TFrameConverter conv;
        TBitmap frame;
        ASSERT_TRUE(conv.Convert(V4L2_PIX_FMT_YUYV, w, h, stride, data.data(), data.size(), frame))
            << conv.ErrorText().toStdString();
        ASSERT_EQ(frame.PixelFormat(), pf24bit);
        ASSERT_EQ(frame.Width(), w);
        ASSERT_EQ(frame.Height(), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const auto want = yuvToBgr(x % 2 ? c.y1 : c.y0, c.u, c.v);
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(frame.ScanLine(y)[x * 3 + k], want[size_t(k)], 6)
                        << "Y " << c.y0 << "/" << c.y1 << " U " << c.u << " V " << c.v << " at " << x << "," << y
                        << " channel " << k;
            }
    }
}

// A recorded MJPEG frame decodes to the picture Qt's own JPEG reader sees.
TEST(FrameConverter, MjpegFramesMatchAnIndependentDecoder)
{
    TSyntheticSource source(QStringLiteral("synthetic:64x48"));
    for (int n : {0, 5}) {
        TBitmap pattern;
        source.RenderFrame(n, pattern);
        QByteArray jpeg;
        QBuffer buf(&jpeg);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(pattern.Image().save(&buf, "JPG", 95));
        const QImage ref = QImage::fromData(jpeg, "JPG").convertToFormat(QImage::Format_BGR888);
        TFrameConverter conv;
        TBitmap frame;
        ASSERT_TRUE(conv.Convert(V4L2_PIX_FMT_MJPEG, 64, 48, 0, reinterpret_cast<const uint8_t*>(jpeg.constData()),
                                 size_t(jpeg.size()), frame))
            << conv.ErrorText().toStdString();
        long long diff = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64 * 3; ++x)
                diff += std::abs(frame.ScanLine(y)[x] - ref.constScanLine(y)[x]);
        EXPECT_LT(double(diff) / (64 * 48 * 3), 4.0) << "frame " << n;
    }
}

// Frames that cannot be what they claim are refused and leave the bitmap alone.
TEST(FrameConverter, BadFramesAreRefusedWithoutTouchingTheBitmap)
{
    const std::vector<uint8_t> junk(64, 0x5A);
    struct Case {
        uint32_t format;
        int w, h, stride;
        size_t size;
    };
    const Case cases[] = {
        {V4L2_PIX_FMT_YUYV, 8, 8, 0, 8 * 8 * 2 - 1},  // one byte short
        {V4L2_PIX_FMT_YUYV, 8, 2, 4, 64},             // stride narrower than a row
        {V4L2_PIX_FMT_RGB24, 0, 8, 0, 64},            // no width
        {V4L2_PIX_FMT_RGB24, 100000, 1, 0, 64},       // absurd width
        {V4L2_PIX_FMT_MJPEG, 16, 16, 0, 64},          // not a JPEG at all
    };
    for (const Case& c : cases) {
        TFrameConverter conv;
        TBitmap frame(3, 2);
        frame.ScanLine(1)[0] = 77;
        std::vector<uint8_t> data(std::max<size_t>(c.size, 1), 0x5A);
        EXPECT_FALSE(conv.Convert(c.format, c.w, c.h, c.stride, data.data(), c.size, frame)) << c.w << "x" << c.h;
        EXPECT_FALSE(conv.ErrorText().isEmpty());
        EXPECT_EQ(frame.Width(), 3);
        EXPECT_EQ(frame.ScanLine(1)[0], 77);
    }
}
