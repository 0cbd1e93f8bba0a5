// Converting a capture device's frames to 24-bit bitmaps.
#include "platform/video/frame_convert.h"

#include "platform/video/capture_driver.h"
#include "platform/video/v4l_libraries.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <libv4l-plugin.h>
#include <linux/videodev2.h>
#include <vector>

namespace {

// The converter asks its device a few questions when it is made; ours has no device,
// so it answers as a plain capture device and refuses everything else.
int noDeviceIoctl(void*, int, unsigned long request, void* arg)
{
    if (request == VIDIOC_QUERYCAP) {
        auto* cap = static_cast<v4l2_capability*>(arg);
        std::memset(cap, 0, sizeof *cap);
        std::strcpy(reinterpret_cast<char*>(cap->driver), "kandrivel");
        std::strcpy(reinterpret_cast<char*>(cap->card), "frame converter");
        cap->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
        cap->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        return 0;
    }
    errno = ENOTTY;
    return -1;
}

ssize_t noDeviceRead(void*, int, void*, size_t)
{
    errno = EINVAL;
    return -1;
}

ssize_t noDeviceWrite(void*, int, const void*, size_t)
{
    errno = EINVAL;
    return -1;
}

libv4l_dev_ops makeNoDeviceOps()
{
    libv4l_dev_ops ops{};
    ops.ioctl = noDeviceIoctl;
    ops.read = noDeviceRead;
    ops.write = noDeviceWrite;
    return ops;
}

const libv4l_dev_ops noDeviceOps = makeNoDeviceOps();

// Bytes a row of a packed format needs at least, and the frame's total; 0 for
// compressed formats, whose length only the decoder can judge.
size_t minimumBytes(uint32_t format, int width, int height, int& bytesPerLine)
{
    int perPixelNum = 0;
    switch (format) {
    case V4L2_PIX_FMT_YUYV:
    case V4L2_PIX_FMT_UYVY:
    case V4L2_PIX_FMT_YVYU:
    case V4L2_PIX_FMT_RGB565: perPixelNum = 2; break;
    case V4L2_PIX_FMT_RGB24:
    case V4L2_PIX_FMT_BGR24: perPixelNum = 3; break;
    case V4L2_PIX_FMT_GREY: perPixelNum = 1; break;
    case V4L2_PIX_FMT_YUV420:
    case V4L2_PIX_FMT_YVU420:
    case V4L2_PIX_FMT_NV12:
        if (bytesPerLine == 0)
            bytesPerLine = width;
        return size_t(bytesPerLine) * size_t(height) * 3 / 2;
    default: return 0;
    }
    if (bytesPerLine == 0)
        bytesPerLine = width * perPixelNum;
    if (bytesPerLine < width * perPixelNum)
        return SIZE_MAX;
    return size_t(bytesPerLine) * size_t(height);
}

}  // namespace

TFrameConverter::TFrameConverter()
{
    if (V4L().Loaded)
        data_ = V4L().v4lconvert_create_with_dev_ops(-1, nullptr, &noDeviceOps);
}

TFrameConverter::~TFrameConverter()
{
    if (data_)
        V4L().v4lconvert_destroy(data_);
}

bool TFrameConverter::Convert(uint32_t pixelFormat, int width, int height, int bytesPerLine, const uint8_t* data,
                              size_t size, TBitmap& frame)
{
    error_.clear();
    if (!data_) {
        error_ = QStringLiteral("The frame converter could not be created");
        return false;
    }
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide || bytesPerLine < 0 || !data) {
        error_ = QStringLiteral("Invalid frame size %1 x %2").arg(width).arg(height);
        return false;
    }
    const size_t needed = minimumBytes(pixelFormat, width, height, bytesPerLine);
    if (needed == SIZE_MAX || size < needed) {
        error_ = QStringLiteral("Short video frame: %1 bytes").arg(size);
        return false;
    }
    v4l2_format src{};
    src.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    src.fmt.pix.width = uint32_t(width);
    src.fmt.pix.height = uint32_t(height);
    src.fmt.pix.pixelformat = pixelFormat;
    src.fmt.pix.field = V4L2_FIELD_NONE;
    src.fmt.pix.bytesperline = uint32_t(bytesPerLine);
    src.fmt.pix.sizeimage = uint32_t(size);
    v4l2_format dst = src;
    dst.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
    dst.fmt.pix.bytesperline = uint32_t(width) * 3;
    dst.fmt.pix.sizeimage = uint32_t(width) * 3 * uint32_t(height);
    std::vector<uint8_t> rgb(dst.fmt.pix.sizeimage);
    const int got = V4L().v4lconvert_convert(data_, &src, &dst, const_cast<uint8_t*>(data),
                                             int(std::min<size_t>(size, INT32_MAX)), rgb.data(), int(rgb.size()));
    if (got < int(rgb.size())) {
        const char* why = V4L().v4lconvert_get_error_message(data_);
        error_ = QStringLiteral("Cannot convert the %1 frame: %2")
                     .arg(FourCCText(pixelFormat), QString::fromLocal8Bit(why && *why ? why : "short frame"));
        return false;
    }
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = rgb.data() + size_t(y) * size_t(width) * 3;
        uint8_t* d = frame.ScanLine(y);
        for (int x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    frame.Changed();
    return true;
}
