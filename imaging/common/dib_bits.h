// Bit and size routines for device-independent bitmaps.
#pragma once
#include "platform/graphics/bitmap.h"

#include <cstdint>

// Bit and size routines for device-independent bitmaps.

// Consecutive one bits from the lowest set bit (0x07E0 → 6); 0 for 0.
int MaskBitCount(uint32_t mask);
// Bytes of one row padded to 4 bytes: (width × bits + 31) div 32 × 4. Computed in 64
// bits so that no width from a file can overflow it; 0 for a negative width or depth.
int64_t DIBRowBytes(int64_t width, int bitsPerPixel);
// Bits per pixel of a pixel format (0 for pfDevice and pfCustom).
int PixelFormatBits(TPixelFormat format);
// Reverse the bit order in place.
void ReverseBits32(uint32_t& value);
void ReverseBits8(uint8_t& value);
// (2^bits)^count: the number of colours of count samples of `bits` bits. Saturates at
// INT64_MAX for 63 bits and more; 0 for a negative exponent.
int64_t PowerOfTwoCount(int bits, int count);

// Compression values of a Windows bitmap header.
enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
// Whether the BMP readers decode pixels of this depth and compression: 1, 4, 8 and 24 bits
// plain; 16 and 32 bits plain or with bit-field masks; RLE8 on 8 bits and RLE4 on 4 bits
// when the reader takes run-length data. Everything else (embedded JPEG or PNG, other
// compression numbers, run-length coding of other depths, 2 bits, depth 0) is refused,
// never read as a blank picture.
bool DIBCodingSupported(int bitsPerPixel, uint32_t compression, bool runLength);
