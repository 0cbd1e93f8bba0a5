#pragma once
#include "platform/core/exceptions.h"

#include <QImage>

#include <cstddef>
#include <cstring>
#include <cstdint>
#ifdef __linux__
#include <sys/mman.h>
#endif

// Large scratch buffers of the geometry operations. A fresh multi-megabyte buffer is
// faulted in page by page on first touch; on Linux, large pages cut that cost (a hint
// only: nothing depends on it being taken).
inline void AdviseLargePages(void* p, size_t size)
{
#ifdef __linux__
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + size) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)size;
#endif
}

// A 24-bit image whose pixels the caller writes in full; only the row padding is
// cleared here, so that nothing undefined ever reaches a file.
inline QImage NewImage24(int width, int height)
{
    QImage img(width, height, QImage::Format_BGR888);
    if (img.isNull())
        throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 bitmap").arg(width).arg(height));
    AdviseLargePages(img.bits(), size_t(img.sizeInBytes()));
    const size_t used = size_t(width) * 3, pad = size_t(img.bytesPerLine()) - used;
    if (pad)
        for (int y = 0; y < height; ++y)
            std::memset(img.scanLine(y) + used, 0, pad);
    return img;
}
