// Scratch images for resampling, with their row padding cleared.
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/graphics/pixel_memory.h"

#include <QImage>

#include <cstddef>
#include <cstring>
#include <cstdint>

// A 24-bit image whose pixels the caller writes in full; only the row padding is
// cleared here, so that nothing undefined ever reaches a file.
inline QImage NewImage24(int width, int height)
{
    QImage img = TBitmap::AllocateImage(width, height, QImage::Format_BGR888);
    if (img.isNull())
        BitmapOutOfMemory(width, height);
    const size_t used = size_t(width) * 3, pad = size_t(img.bytesPerLine()) - used;
    if (pad)
        for (int y = 0; y < height; ++y)
            std::memset(img.scanLine(y) + used, 0, pad);
    return img;
}
