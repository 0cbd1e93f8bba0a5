// A converter from a capture device's pixel format to 24-bit bitmaps.
#pragma once
#include "platform/graphics/bitmap.h"

#include <QString>
#include <cstddef>
#include <cstdint>

struct v4lconvert_data;

// Converts a frame of a capture device's pixel format into a 24-bit BGR bitmap.
// Any format the device library knows (YUYV, UYVY, MJPEG, RGB, BGR, grey, Bayer, …)
// goes through its converter to RGB24 and then into the bitmap row by row.
class TFrameConverter {
public:
    TFrameConverter();
    ~TFrameConverter();
    TFrameConverter(const TFrameConverter&) = delete;
    TFrameConverter& operator=(const TFrameConverter&) = delete;

    // bytesPerLine 0 means packed rows. False (with ErrorText) when the data is too
    // short, the size is out of bounds or the converter refuses the frame; the
    // bitmap is then left as it was.
    bool Convert(uint32_t pixelFormat, int width, int height, int bytesPerLine, const uint8_t* data, size_t size,
                 TBitmap& frame);
    const QString& ErrorText() const { return error_; }

    // Frames above this many pixels a side are refused before anything is allocated.
    static constexpr int MaxSide = 8192;

private:
    v4lconvert_data* data_ = nullptr;
    QString error_;
};
