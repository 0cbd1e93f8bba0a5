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
