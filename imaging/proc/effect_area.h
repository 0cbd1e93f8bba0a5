#pragma once
#include "imaging/common/types.h"
#include "platform/core/parallel_for.h"
#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/row_access.h"

#include <algorithm>

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
