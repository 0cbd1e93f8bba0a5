// The 3 × 3 user filter, its file and its presets.
#pragma once
#include "imaging/proc/effect_area.h"
#include "platform/core/exceptions.h"

#include <QString>
#include <array>
#include <cstdint>

// A 3 × 3 convolution: weights row by row from the top left, then the divisor
// (0 counts as 1).
struct TUserFilter {
    std::array<int32_t, 9> Weights{};
    int32_t Divisor = 0;
    bool operator==(const TUserFilter&) const = default;
};

KANDRIVEL_EXCEPTION(EFilterInvalid, Exception)

// The preset list of the effects dialog, in its order.
struct TUserFilterPreset {
    const char* Name;
    TUserFilter Filter;
};
extern const std::array<TUserFilterPreset, 9> UserFilterPresets;

// Filter files: 43 bytes, 1, 3, 3 and the record little-endian. Anything else raises
// EFilterInvalid ("unrecognized filter") and leaves the filter as it was.
constexpr int kFilterFileSize = 43;
void LoadFilterFromFile(const QString& fileName, TUserFilter& filter);
void SaveFilterToFile(const QString& fileName, const TUserFilter& filter);
// The same on bytes, for callers that hold the file already.
TUserFilter ParseFilterFile(const QByteArray& bytes);
QByteArray FilterFileBytes(const TUserFilter& filter);

// Convolves the inclusive rectangle; neighbours come from the whole bitmap, limited to
// its edges. Sums are 64-bit and the result is clamped to 0 … 255.
void ApplyUserFilter(TBitmap& bitmap, const TUserFilter& filter, int x1, int y1, int x2, int y2,
                     const TEffectProgress& progress = {});
