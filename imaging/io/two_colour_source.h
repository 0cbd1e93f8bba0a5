#pragma once
// The pixels a 1-bit file is written from, shared by the writers that have such files.

#include <memory>

class TBitmap;
struct TPaletteEntry;

// A 1-bit bitmap is written as it is, black and white (nullptr is returned). Any other
// is reduced to its two colours when it has no more (returned in zero and one, the
// darker first), else dithered to black and white.
std::unique_ptr<TBitmap> TwoColourPixels(const TBitmap& bitmap, TPaletteEntry& zero, TPaletteEntry& one);
