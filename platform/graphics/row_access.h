// Row addresses of a bitmap taken once, for loops that run on several threads:
// TBitmap::ScanLine touches the bitmap's painter state on every call.
#pragma once
#include "platform/graphics/bitmap.h"

#include <cstddef>
#include <cstdint>

template <typename Byte> struct TRowsOf {
    Byte* base = nullptr;
    ptrdiff_t stride = 0;
    Byte* operator[](int y) const { return base + ptrdiff_t(y) * stride; }
};

// The bitmap must not be empty.
inline TRowsOf<uint8_t> RowsOf(TBitmap& b) { return {b.ScanLine(0), b.BytesPerLine()}; }
inline TRowsOf<const uint8_t> RowsOf(const TBitmap& b) { return {b.ScanLine(0), b.BytesPerLine()}; }
