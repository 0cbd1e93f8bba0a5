// The quantiser's front: exact colours when the image has few enough, else the box
// split or the network; colour reduction through it; palette look-ups.
#include "imaging/proc/quantizer.h"
#include "imaging/proc/quantizer_private.h"
#include "platform/core/parallel_for.h"
#include "platform/graphics/row_access.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <cstdlib>
#include <vector>

// ---------------------------------------------------------------------------
// Exact palette: the colours of an image that holds no more than N of them.

struct TExactPalette {
    std::vector<uint32_t> keys;  // colour + 1; 0 marks an empty slot
    std::vector<int32_t> values;
    uint32_t mask = 0;
    std::vector<uint32_t> colors;  // in order of first appearance

    explicit TExactPalette(int64_t capacity)
    {
        uint32_t size = 16;
        while (size < capacity * 2 + 2 && size < (1u << 26))
            size <<= 1;
        keys.assign(size, 0);
        values.assign(size, 0);
        mask = size - 1;
    }
    static uint32_t hash(uint32_t c) { return (c * 2654435761u) >> 7; }
    int Find(uint32_t c) const
    {
        for (uint32_t i = hash(c) & mask;; i = (i + 1) & mask) {
            if (keys[i] == c + 1)
                return values[i];
            if (keys[i] == 0)
                return -1;
        }
    }
    void Insert(uint32_t c, int index)
    {
        uint32_t i = hash(c) & mask;
        while (keys[i] != 0)
            i = (i + 1) & mask;
        keys[i] = c + 1;
        values[i] = index;
    }

    // False as soon as more than limit colours turn up.
    bool Collect(const TBitmap& bmp, int limit)
    {
        const int w = bmp.Width(), h = bmp.Height();
        uint32_t last = 0xFFFFFFFFu;
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = bmp.ScanLine(y);
            for (int x = 0; x < w; ++x, p += 3) {
                const uint32_t c = PixelColor(p);
                if (c == last || Find(c) >= 0) {
                    last = c;
                    continue;
                }
                if (int(colors.size()) >= limit)
                    return false;
                Insert(c, int(colors.size()));
                colors.push_back(c);
                last = c;
            }
        }
        return true;
    }
};

bool CollectExactColors(const TBitmap& bitmap, int limit, std::vector<uint32_t>& colors)
{
    colors.clear();
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return true;
    const int64_t pixels = int64_t(bitmap.Width()) * bitmap.Height();
    TExactPalette exact(std::min<int64_t>(limit, pixels));
    const bool all = exact.Collect(bitmap, limit);
    colors = std::move(exact.colors);
    return all;
}

// ---------------------------------------------------------------------------

TIKQuantizer::TIKQuantizer(const TBitmap& bitmap, TPaletteEntry* palette, int colorCount, int quality, int method,
                           const TLearnProgress& learning)
{
    method_ = method == 0 || method == 1 ? method : colorCount <= 256 ? 1 : 0;
    if (palette && colorCount > 0)
        std::fill(palette, palette + colorCount, TPaletteEntry{});
    if (colorCount < 1 || bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;

    // Few enough colours: keep them exactly.
    const int64_t pixels = int64_t(bitmap.Width()) * bitmap.Height();
    auto exact = std::make_unique<TExactPalette>(std::min<int64_t>(colorCount, pixels));
    if (exact->Collect(bitmap, colorCount)) {
        method_ = 2;
        produced_ = int(exact->colors.size());
        if (palette)
            for (int i = 0; i < produced_; ++i) {
                const uint32_t c = exact->colors[size_t(i)];
                palette[i] = TPaletteEntry{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)};
            }
        exact_ = std::move(exact);
        return;
    }
    exact.reset();

    if (method_ == 1) {
        box_ = std::make_unique<TBoxSplitQuantizer>();
        box_->Build(bitmap, colorCount);
        produced_ = std::min(box_->made, colorCount);
        if (palette)
            for (int i = 0; i < produced_; ++i)
                palette[i] = box_->Entry(i);
    } else {
        neural_ = std::make_unique<TNeuralQuantizer>();
        neural_->Init(bitmap, colorCount, quality);
        neural_->Learn(learning);
        neural_->Unbias();
        produced_ = colorCount;
        if (palette)
            for (int i = 0; i < colorCount; ++i) {
                const auto& n = neural_->network[size_t(i)];
                palette[i] = TPaletteEntry{uint8_t(n[0]), uint8_t(n[1]), uint8_t(n[2])};
            }
        neural_->BuildIndex();
        neural_->bitmap = nullptr;
        // The sort by green takes a while for thousands of neurons: once more, the last step.
        if (learning)
            learning(neural_->learnSteps - 1, neural_->learnSteps);
    }
}

TIKQuantizer::~TIKQuantizer() = default;

int TIKQuantizer::RGBIndex(uint32_t color) const
{
    if (exact_) {
        const int i = exact_->Find(color & 0xFFFFFFu);
        if (i >= 0)
            return i;
        // A colour the image did not hold: nearest of the exact colours.
        int best = 0, bestd = 1000;
        for (size_t k = 0; k < exact_->colors.size(); ++k) {
            const uint32_t c = exact_->colors[k];
            const int d = std::abs(int(c >> 16 & 255) - int(color >> 16 & 255)) +
                          std::abs(int(c >> 8 & 255) - int(color >> 8 & 255)) +
                          std::abs(int(c & 255) - int(color & 255));
            if (d < bestd) {
                bestd = d;
                best = int(k);
            }
        }
        return best;
    }
    if (box_)
        return box_->Index(color);
    if (neural_)
        return neural_->Search(int(color & 255), int(color >> 8 & 255), int(color >> 16 & 255));
    return 0;
}

// ---------------------------------------------------------------------------

namespace {

// What mapping a pixel through the palette search costs against a plain pass over it.
constexpr int64_t kSearchCost = 16;

void reduceWithQuantizer(TBitmap& bitmap, int n, TPaletteEntry* paletteOut, TObject* sender,
                         const TProgressEvent& progress)
{
    // No image holds more colours than pixels: a larger count changes nothing but
    // the size of the palette buffer.
    const int w = bitmap.Width(), h = bitmap.Height();
    const int wanted = int(std::min<int64_t>(n, int64_t(w) * h));
    std::vector<TPaletteEntry> palette(static_cast<size_t>(wanted));
    // The network's learning takes most of the time: it fills the first half of the bar
    // and the rows the second, so that the percentage never goes back.
    bool learned = false;
    TIKQuantizer::TLearnProgress learning;
    if (progress)
        learning = [&](int done, int total) {
            learned = true;
            progress(sender, Trunc(done * 50.0 / (total + 0.5)));
        };
    // The pixels as they were, for an abort; the rows are taken now, so that the copy
    // this makes is not made between two reports.
    const TBitmap before(bitmap);
    const auto rows = RowsOf(bitmap);
    TIKQuantizer q(bitmap, palette.data(), wanted, -1, -1, learning);
    auto put = [](uint8_t* p, const TPaletteEntry& e) {
        p[0] = e.Blue;
        p[1] = e.Green;
        p[2] = e.Red;
    };
    // The palette search above runs in order; mapping the pixels treats rows alone.
    const auto report = [&](int done) {
        if (learned)
            progress(sender, 50 + Trunc(done * 50.0 / (h + 0.5)));
        else
            ReportRows(sender, progress, done, h);
    };
    try {
        if (q.Method() == 1) {
            // One table access per pixel: the index map folded into the palette.
            std::vector<TPaletteEntry> lut(32768);
            for (uint32_t c = 0; c < 32768; ++c)
                lut[c] = palette[size_t(q.RGBIndex(((c >> 10) << 19) | (((c >> 5) & 31) << 11) | ((c & 31) << 3)))];
            ParallelRows(
                h, int64_t(w) * h,
                [&](int y0, int y1) {
                    for (int y = y0; y < y1; ++y) {
                        uint8_t* p = rows[y];
                        for (int x = 0; x < w; ++x, p += 3)
                            put(p, lut[size_t(((p[2] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[0] >> 3))]);
                    }
                },
                report);
        } else {
            // A photograph repeats its colours all over: each is searched for once, in a
            // table of every colour (index + 1, 0 not yet known) that all rows share. Two
            // rows may search the same colour at once; both find the same entry.
            // Zeroed by the system as its pages are first touched, by the rows that touch
            // them: clearing 32 MB up front held the window still for a tenth of a second.
            const std::unique_ptr<uint16_t[], decltype(&std::free)> known(
                wanted < 0xFFFF ? static_cast<uint16_t*>(std::calloc(size_t(1) << 24, sizeof(uint16_t))) : nullptr,
                &std::free);
            ParallelRows(
                // A colour not met before costs a search through the palette: counted as
                // many pixels, so that the bands stay short and progress comes often.
                h, int64_t(w) * h * kSearchCost,
                [&](int y0, int y1) {
                    for (int y = y0; y < y1; ++y) {
                        uint8_t* p = rows[y];
                        for (int x = 0; x < w; ++x, p += 3) {
                            const uint32_t c = PixelColor(p);
                            int index = known ? int(std::atomic_ref(known[c]).load(std::memory_order_relaxed)) - 1 : -1;
                            if (index < 0) {
                                index = q.RGBIndex(c);
                                if (known)
                                    std::atomic_ref(known[c]).store(uint16_t(index + 1), std::memory_order_relaxed);
                            }
                            put(p, palette[size_t(index)]);
                        }
                    }
                },
                report);
        }
    } catch (...) {
        bitmap = before;
        throw;
    }
    if (paletteOut) {
        std::copy(palette.begin(), palette.end(), paletteOut);
        std::fill(paletteOut + wanted, paletteOut + n, TPaletteEntry{});
    }
    bitmap.Changed();
    // The rows' own reports stop short of the end.
    if (progress)
        progress(sender, 100);
}

}  // namespace

void ReduceColorsToPalette(TBitmap& bitmap, int colorCount, TPaletteEntry* palette, TObject* sender,
                           const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;
    if (colorCount <= 2) {
        DitherToMonochrome(bitmap, sender, progress);
        if (palette && colorCount >= 1)
            palette[0] = TPaletteEntry{0, 0, 0};
        if (palette && colorCount >= 2)
            palette[1] = TPaletteEntry{255, 255, 255};
        return;
    }
    reduceWithQuantizer(bitmap, colorCount, palette, sender, progress);
}

void ReduceColors(TBitmap& bitmap, int colorCount, TObject* sender, const TProgressEvent& progress)
{
    ReduceColorsToPalette(bitmap, colorCount, nullptr, sender, progress);
}
