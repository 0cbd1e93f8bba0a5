// Resampling filters and the resampling entry points.
#pragma once
#include "imaging/common/types.h"
#include "platform/graphics/bitmap.h"

// Filtered two-pass resampling and the area-averaging stretch.

// One row per TResampleFilter value: the filter of t (distance in source pixels)
// and its support radius. rfNone has no function.
struct TResampleFilterEntry {
    double (*Filter)(double t);
    double Support;
};
extern const TResampleFilterEntry ResampleFilterTable[7];

// Two-pass filtered resampling of source into destination's current size; the
// result is 24-bit (a source of another format is read through a 24-bit copy).
// Weights are not normalised; edges mirror.
void ResampleBitmap(const TBitmap& source, TBitmap& destination, TResampleFilter filter, TObject* sender = nullptr,
                    const TProgressEvent& progress = {});
// Same, into a new bitmap of width × height; empty for a size ≤ 0, an empty source or
// no filter.
TBitmap ResampledBitmap(const TBitmap& source, int width, int height, TResampleFilter filter, TObject* sender = nullptr,
                        const TProgressEvent& progress = {});

// The view's zoom resampler: like ResampleBitmap, but a pass that shrinks is an
// area-averaging stretch instead of filtering. destination keeps its size and
// becomes 24-bit; rfNone stretches both ways.
void ZoomResample(const TBitmap& source, TBitmap& destination, TResampleFilter filter, TObject* sender = nullptr,
                  const TProgressEvent& progress = {});
// Same, into a new bitmap of width × height (empty for a size ≤ 0).
TBitmap ZoomResample(const TBitmap& source, int width, int height, TResampleFilter filter);

// Unfiltered stretch of source into destination's current size: 24-bit by area
// averaging (each destination pixel is the mean of the source area it covers),
// 1-bit by majority of that area (ties white). destination takes the source's
// format (1-bit stays 1-bit, anything else becomes 24-bit).
void HalftoneStretch(const TBitmap& source, TBitmap& destination);
