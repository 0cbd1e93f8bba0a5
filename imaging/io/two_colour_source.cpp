// The pixels a 1-bit file is written from: the bitmap, its two colours, or a dither.
#include "imaging/io/two_colour_source.h"

#include "imaging/proc/quantizer.h"
#include "platform/graphics/bitmap.h"

std::unique_ptr<TBitmap> TwoColourPixels(const TBitmap& bitmap, TPaletteEntry& zero, TPaletteEntry& one)
{
    zero = {0, 0, 0};
    one = {255, 255, 255};
    if (bitmap.PixelFormat() == pf1bit)
        return nullptr;
    TBitmap expanded;
    const TBitmap* full = &bitmap;
    if (bitmap.PixelFormat() != pf24bit) {
        expanded.Assign(bitmap);
        expanded.SetPixelFormat(pf24bit);
        full = &expanded;
    }
    std::unique_ptr<TBitmap> reduced = ReduceToTwoColors(*full, zero, one);
    if (!reduced) {
        zero = {0, 0, 0};
        one = {255, 255, 255};
        reduced = std::make_unique<TBitmap>();
        reduced->Assign(*full);
        DitherToMonochrome(*reduced);
    }
    return reduced;
}
