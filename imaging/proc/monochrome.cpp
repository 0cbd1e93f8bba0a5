// The black-and-white conversions: ordered dither, threshold, two-colour detection and
// the 1-bit to 24-bit expansion.
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/quantizer_private.h"
#include "platform/core/color.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Bayer matrix, indexed [x mod 8][y mod 8].
constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},    {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},   {63, 31, 55, 23, 61, 29, 53, 21},
};

// Eight 24-bit pixels per byte value, bit 7 first: FF FF FF for a set bit.
struct TMonoExpandTable {
    uint8_t entry[256][24];
    TMonoExpandTable()
    {
        for (int v = 0; v < 256; ++v)
            for (int bit = 0; bit < 8; ++bit)
                std::memset(&entry[v][bit * 3], (v & (0x80 >> bit)) ? 0xFF : 0x00, 3);
    }
};
const TMonoExpandTable MonoExpandTable;

}  // namespace

void DitherToMonochrome(TBitmap& bitmap, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    TBitmap mono(w, h, pf1bit);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = std::as_const(bitmap).ScanLine(y);
        uint8_t* d = mono.ScanLine(y);
        std::memset(d, 0, size_t(mono.BytesPerLine()));
        for (int x = 0; x < w; ++x, s += 3) {
            const int g = GreyValue(s[2], s[1], s[0]);
            // Grey 255 is always white, so a blank page stays blank.
            if ((g >> 2) > kBayer[x & 7][y & 7] || g == 255)
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
        ReportRows(sender, progress, y + 1, h);
    }
    bitmap.Assign(mono);
}

void ConvertToBWThreshold(TBitmap& bitmap, int threshold, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;
    if (threshold == -1) {
        const TRGBTriple m = MeanColor(&bitmap);
        threshold = GreyValue(m.rgbtRed, m.rgbtGreen, m.rgbtBlue);
    }
    const int w = bitmap.Width(), h = bitmap.Height();
    TBitmap mono(w, h, pf1bit);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = std::as_const(bitmap).ScanLine(y);
        uint8_t* d = mono.ScanLine(y);
        std::memset(d, 0, size_t(mono.BytesPerLine()));
        for (int x = 0; x < w; ++x, s += 3)
            if (GreyValue(s[2], s[1], s[0]) >= threshold)
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
        ReportRows(sender, progress, y + 1, h);
    }
    bitmap.Assign(mono);
}

void MonochromeTo24Bit(const TBitmap& source, TBitmap& destination, TObject* sender, const TProgressEvent& progress)
{
    if (source.PixelFormat() != pf1bit)
        return;
    const int w = source.Width(), h = source.Height();
    TBitmap out(std::max(w, 0), std::max(h, 0), pf24bit);
    const int whole = w / 8, rest = w % 8;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source.ScanLine(y);
        uint8_t* d = out.ScanLine(y);
        for (int i = 0; i < whole; ++i, d += 24)
            std::memcpy(d, MonoExpandTable.entry[s[i]], 24);
        if (rest)
            std::memcpy(d, MonoExpandTable.entry[s[whole]], size_t(rest * 3));
        ReportRows(sender, progress, y + 1, h);
    }
    destination.Assign(out);
}

void ConvertTo24Bit(TBitmap& bitmap, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.PixelFormat() != pf1bit)
        return;
    const TBitmap copy(bitmap);
    MonochromeTo24Bit(copy, bitmap, sender, progress);
}

std::unique_ptr<TBitmap> ReduceToTwoColors(const TBitmap& bitmap, TPaletteEntry& first, TPaletteEntry& second)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return nullptr;
    const int w = bitmap.Width(), h = bitmap.Height();
    uint32_t colors[2] = {0, 0};
    int seen = 0;
    auto mono = std::make_unique<TBitmap>(w, h, pf1bit);
    for (int y = 0; y < h && seen <= 2; ++y) {
        const uint8_t* s = std::as_const(bitmap).ScanLine(y);
        uint8_t* d = mono->ScanLine(y);
        std::memset(d, 0, size_t(mono->BytesPerLine()));
        for (int x = 0; x < w; ++x, s += 3) {
            const uint32_t c = PixelColor(s);
            if (seen == 0)
                colors[seen++] = c;
            else if (c != colors[0]) {
                if (seen == 1)
                    colors[seen++] = c;
                else if (c != colors[1])
                    seen = 3;
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
            }
        }
    }
    if (seen != 2)
        return nullptr;
    auto entry = [](uint32_t c) { return TPaletteEntry{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)}; };
    auto grey = [](uint32_t c) { return Round(((c >> 16 & 255) * 30 + (c >> 8 & 255) * 59 + (c & 255) * 11) / 100.0); };
    first = entry(colors[0]);
    second = entry(colors[1]);
    if (grey(colors[1]) < grey(colors[0])) {
        InvertBits(mono.get());
        std::swap(first, second);
    }
    return mono;
}

int NearestPaletteIndex(const TPaletteEntry* palette, int count, const TPaletteEntry& color)
{
    int best = 0, bestd = 1000;
    for (int i = 0; palette && i < count; ++i) {
        const int d = std::abs(palette[i].Blue - color.Blue) + std::abs(palette[i].Green - color.Green) +
                      std::abs(palette[i].Red - color.Red);
        if (d < bestd) {
            bestd = d;
            best = i;
        }
    }
    return best;
}

void SwapPaletteRedBlue(TPaletteEntry* palette, int count)
{
    for (int i = 0; palette && i < count; ++i)
        std::swap(palette[i].Blue, palette[i].Red);
}
