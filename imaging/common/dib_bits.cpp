// Bit masks, row sizes and supported codings of device-independent bitmaps.
#include "imaging/common/dib_bits.h"

#include <limits>

int MaskBitCount(uint32_t mask)
{
    int bit = 0;
    while (bit < 31 && !(mask & (1u << bit)))
        ++bit;
    int n = 0;
    while (bit + n < 32 && (mask & (1u << (bit + n))))
        ++n;
    return n;
}

int64_t DIBRowBytes(int64_t width, int bitsPerPixel)
{
    if (width <= 0 || bitsPerPixel <= 0)
        return 0;
    // width < 2^63 / 64 for every depth the formats carry; larger is refused as 0.
    if (width > (int64_t(1) << 40) || bitsPerPixel > 1024)
        return 0;
    return (width * bitsPerPixel + 31) / 32 * 4;
}

int PixelFormatBits(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    case pfDevice:
    case pfCustom: return 0;
    }
    return 0;
}

void ReverseBits32(uint32_t& value)
{
    uint32_t v = value;
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
    value = (v >> 16) | (v << 16);
}

void ReverseBits8(uint8_t& value)
{
    uint8_t v = value;
    v = uint8_t(((v >> 1) & 0x55) | ((v & 0x55) << 1));
    v = uint8_t(((v >> 2) & 0x33) | ((v & 0x33) << 2));
    value = uint8_t((v >> 4) | (v << 4));
}

int64_t PowerOfTwoCount(int bits, int count)
{
    const int64_t e = int64_t(bits) * count;
    if (e < 0)
        return 0;
    if (e >= 63)
        return std::numeric_limits<int64_t>::max();
    return int64_t(1) << e;
}

bool DIBCodingSupported(int bitsPerPixel, uint32_t compression, bool runLength)
{
    switch (compression) {
    case BI_RGB:
        return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
               bitsPerPixel == 24 || bitsPerPixel == 32;
    case BI_BITFIELDS: return bitsPerPixel == 16 || bitsPerPixel == 32;
    case BI_RLE8: return runLength && bitsPerPixel == 8;
    case BI_RLE4: return runLength && bitsPerPixel == 4;
    default: return false;
    }
}
