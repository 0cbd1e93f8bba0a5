// The area and progress of an effect, and the pixel helpers effects share.
#pragma once
#include "imaging/common/types.h"
#include "platform/core/parallel_for.h"
#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/row_access.h"

#include <algorithm>
#include <functional>
#include <vector>

// Where an adjustment or effect reports its progress: a sender and an event.
struct TEffectProgress {
    TObject* Sender = nullptr;
    TProgressEvent Event;

    bool Assigned() const { return bool(Event); }
    // Never above 100: a one-row area would otherwise report 200.
    void Report(double percent) const
    {
        if (Event)
            Event(Sender, std::clamp(Trunc(percent), 0, 100));
    }
    // After row y of the inclusive rows y1 … y2.
    void Row(int y, int y1, int y2) const
    {
        if (Event)
            Report((y - y1 + 1) * 100.0 / (y2 - y1 + 0.5));
    }
};

// The inclusive rectangle of an effect, limited to a 24-bit bitmap; false when the
// bitmap is of another format or nothing of the rectangle lies inside it.
inline bool ClipEffectArea(const TBitmap& bitmap, int& x1, int& y1, int& x2, int& y2)
{
    if (bitmap.PixelFormat() != pf24bit || bitmap.Empty())
        return false;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, bitmap.Width() - 1);
    y2 = std::min(y2, bitmap.Height() - 1);
    return x1 <= x2 && y1 <= y2;
}

// Grey level of a pixel in memory order (blue, green, red).
inline int PixelGray(const uint8_t* p) { return (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100; }

// Runs rowFn(y, address of pixel x1 in row y) for the rows y1 … y2 of a clipped area,
// on several threads when the area is large; rows must not depend on each other.
// Progress goes out per row, in order, on the calling thread.
template <class F>
void ForAreaRows(TBitmap& bitmap, int x1, int y1, int x2, int y2, const TEffectProgress& progress, F rowFn)
{
    const auto rows = RowsOf(bitmap);
    const auto body = [&](int b, int e) {
        for (int y = y1 + b; y < y1 + e; ++y)
            rowFn(y, rows[y] + 3 * x1);
    };
    const auto done = [&](int n) { progress.Row(y1 + n - 1, y1, y2); };
    ParallelRows(y2 - y1 + 1, int64_t(x2 - x1 + 1) * (y2 - y1 + 1), body,
                 progress.Assigned() ? std::function<void(int)>(done) : std::function<void(int)>());
}

// Runs an effect that reads the 3 × 3 neighbourhood of each pixel in place over the rows
// y1 … y2 of a clipped area. makeRow() gives, once per band, a row function
// f(up, mid, down, out): up, mid and down are whole rows y − 1, y, y + 1 as they were
// before the effect (limited to the bitmap), out receives columns x1 … x2 of row y.
// The rows go in chunks of fixed height; the original rows next to each chunk are
// saved first, so chunks run on any thread in any order with the same result.
// Progress goes out per row, in order, on the calling thread.
template <class MakeRow>
void ForNeighbourRows(TBitmap& bitmap, int x1, int y1, int x2, int y2, const TEffectProgress& progress, MakeRow makeRow)
{
    constexpr int kChunk = 32;
    const int h = bitmap.Height(), rowBytes = 3 * bitmap.Width();
    const int rows = y2 - y1 + 1, chunks = (rows + kChunk - 1) / kChunk;
    const auto bm = RowsOf(bitmap);
    // Row above and row below each chunk where they lie inside another chunk.
    std::vector<uint8_t> edges(size_t(2) * chunks * rowBytes);
    const auto above = [&](int c) { return edges.data() + size_t(2 * c) * rowBytes; };
    const auto below = [&](int c) { return edges.data() + size_t(2 * c + 1) * rowBytes; };
    for (int c = 0; c < chunks; ++c) {
        const int a = y1 + c * kChunk, b = std::min(y2 + 1, a + kChunk);
        if (c > 0)
            std::copy_n(bm[a - 1], rowBytes, above(c));
        if (c + 1 < chunks)
            std::copy_n(bm[b], rowBytes, below(c));
    }
    const auto body = [&](int firstChunk, int endChunk) {
        auto rowFn = makeRow();
        std::vector<uint8_t> out(size_t(x2 - x1 + 1) * 3), prevRow(static_cast<size_t>(rowBytes));
        for (int c = firstChunk; c < endChunk; ++c) {
            const int a = y1 + c * kChunk, b = std::min(y2 + 1, a + kChunk);
            for (int y = a; y < b; ++y) {
                const uint8_t* up = y > a ? prevRow.data() : c > 0 ? above(c) : bm[std::max(y - 1, 0)];
                uint8_t* mid = bm[y];
                const uint8_t* down = y + 1 == b && c + 1 < chunks ? below(c) : bm[std::min(y + 1, h - 1)];
                rowFn(up, static_cast<const uint8_t*>(mid), down, out.data());
                std::copy_n(mid, rowBytes, prevRow.data());
                std::copy(out.begin(), out.end(), mid + 3 * x1);
            }
        }
    };
    const auto done = [&](int n) {
        const int a = y1 + (n - 1) * kChunk, b = std::min(y2 + 1, a + kChunk);
        for (int y = a; y < b; ++y)
            progress.Row(y, y1, y2);
    };
    ParallelRows(chunks, int64_t(x2 - x1 + 1) * rows, body,
                 progress.Assigned() ? std::function<void(int)>(done) : std::function<void(int)>());
}
