// Palette entries and the colour quantiser (TIKQuantizer).
#pragma once
#include "imaging/common/types.h"
#include "platform/graphics/bitmap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One palette entry, in the byte order of a 24-bit row: blue, green, red.
// An array of them is a plain run of 3-byte entries.
struct TPaletteEntry {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    bool operator==(const TPaletteEntry&) const = default;
};
static_assert(sizeof(TPaletteEntry) == 3, "palette entries are three bytes");

// 24-bit colour value as the quantiser takes it: red shl 16 + green shl 8 + blue.
constexpr uint32_t QuantColor(int red, int green, int blue)
{
    return (uint32_t(red & 255) << 16) | (uint32_t(green & 255) << 8) | uint32_t(blue & 255);
}

// The colours (red shl 16 + green shl 8 + blue) of a 24-bit bitmap in order of first
// appearance; false, as soon as they are found, when there are more than `limit`.
bool CollectExactColors(const TBitmap& bitmap, int limit, std::vector<uint32_t>& colors);

struct TBoxSplitQuantizer;
struct TNeuralQuantizer;
struct TExactPalette;

// Colour quantiser for palette writers and colour reduction: a variance-driven box
// split for up to 256 colours, a self-organising network above. An image that holds
// no more colours than asked keeps its exact colours.
class TIKQuantizer {
public:
    // Called while the network learns, often enough to keep a window alive (about a
    // thousand times), with the steps done of the total; an exception it raises
    // abandons the quantiser.
    using TLearnProgress = std::function<void(int done, int total)>;

    // bitmap must be 24-bit with at least one pixel; palette must hold colorCount
    // entries. Entries beyond the colours produced are zeroed. quality −1 chooses the
    // network's sampling factor from the image size. method −1 picks by the count
    // (box split up to 256); 1 or 0 forces the box split or the network (comparisons).
    TIKQuantizer(const TBitmap& bitmap, TPaletteEntry* palette, int colorCount, int quality = -1, int method = -1,
                 const TLearnProgress& learning = {});
    ~TIKQuantizer();
    TIKQuantizer(const TIKQuantizer&) = delete;
    TIKQuantizer& operator=(const TIKQuantizer&) = delete;

    // Palette index of a colour (red shl 16 + green shl 8 + blue); 0 when nothing was built.
    int RGBIndex(uint32_t color) const;
    int RGBIndex(const uint8_t* bgr) const { return RGBIndex(QuantColor(bgr[2], bgr[1], bgr[0])); }

    // 1 box split, 0 neural network, 2 exact colours of the image.
    int Method() const { return method_; }
    // Entries written into the palette (boxes made, N for the network, colours found).
    int ColorsProduced() const { return produced_; }

private:
    int method_ = 1;
    int produced_ = 0;
    std::unique_ptr<TBoxSplitQuantizer> box_;
    std::unique_ptr<TNeuralQuantizer> neural_;
    std::unique_ptr<TExactPalette> exact_;
};

// Replaces every pixel of a 24-bit bitmap by its palette colour; N ≤ 2 dithers to
// 1-bit (DitherToMonochrome). Other pixel formats are left alone. When palette is
// given it receives the N entries used (for N ≤ 2: black, white). Above 256 colours the
// network's learning reports 0 … 49 (values repeating), then the rows 50 … 99.
// An exception from the progress event stops the work and leaves the bitmap unchanged.
void ReduceColors(TBitmap& bitmap, int colorCount, TObject* sender = nullptr, const TProgressEvent& progress = {});
void ReduceColorsToPalette(TBitmap& bitmap, int colorCount, TPaletteEntry* palette, TObject* sender = nullptr,
                           const TProgressEvent& progress = {});

// Ordered 8 × 8 dither of a 24-bit bitmap into 1-bit.
void DitherToMonochrome(TBitmap& bitmap, TObject* sender = nullptr, const TProgressEvent& progress = {});
inline void ConvertToBWOrdered(TBitmap& bitmap, TObject* sender = nullptr, const TProgressEvent& progress = {})
{
    DitherToMonochrome(bitmap, sender, progress);
}
// Grey below threshold → black, else white; threshold −1 uses the grey of the mean colour.
void ConvertToBWThreshold(TBitmap& bitmap, int threshold, TObject* sender = nullptr,
                          const TProgressEvent& progress = {});

// 1-bit → 24-bit: 0 black, 1 white; the source's colour table is not consulted.
void MonochromeTo24Bit(const TBitmap& source, TBitmap& destination, TObject* sender = nullptr,
                       const TProgressEvent& progress = {});
// Expands a 1-bit bitmap in place; other formats are left alone.
void ConvertTo24Bit(TBitmap& bitmap, TObject* sender = nullptr, const TProgressEvent& progress = {});

// A 1-bit copy of a 24-bit bitmap holding exactly two colours (bit 0 the darker one,
// returned in first), else null.
std::unique_ptr<TBitmap> ReduceToTwoColors(const TBitmap& bitmap, TPaletteEntry& first, TPaletteEntry& second);

// Entry with the least sum of absolute channel differences; the first of equals.
int NearestPaletteIndex(const TPaletteEntry* palette, int count, const TPaletteEntry& color);
// Exchanges blue and red of each entry (pixel order ↔ red-green-blue order).
void SwapPaletteRedBlue(TPaletteEntry* palette, int count);
