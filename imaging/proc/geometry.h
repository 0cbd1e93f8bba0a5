// Geometry operations on a whole bitmap.
#pragma once
#include "imaging/common/types.h"
#include "platform/graphics/bitmap.h"

// Geometry operations on a whole bitmap: canvas size, resampling, rotation, flipping.
// Callers push undo and refresh; these only change the pixels.

// New size with the old pixels at the top left and new area in background; nothing
// for an empty bitmap or a size ≤ 0.
void ResizeCanvas(TBitmap& bitmap, int width, int height, TColor background);

// The size Resample would produce; false when it would leave the bitmap alone.
bool ResampleTargetSize(const TBitmap& bitmap, int& width, int& height);

// Resamples to width × height. A negative width keeps the aspect ratio from the
// height (old width × height div old height) and vice versa; both negative, or any
// size that ends up ≤ 0, leaves the bitmap alone. rfNone and 1-bit images are
// stretched with HalftoneStretch; otherwise filtered (the result is 24-bit).
void Resample(TBitmap& bitmap, int width, int height, TResampleFilter filter, TObject* sender = nullptr,
              const TProgressEvent& progress = {});

// Turns by whole degrees, positive counter-clockwise on screen. 24-bit images turn
// by exact 90° steps, then by three shears (antialiased when asked) over background.
// 1-bit images use RotateMonochrome with monoBackgroundWhite for uncovered pixels.
void Rotate(TBitmap& bitmap, int angle, bool antialias, TColor background, bool monoBackgroundWhite = false,
            TObject* sender = nullptr, const TProgressEvent& progress = {});
// 1-bit rotation by sampling the nearest source pixel, for any angle.
void RotateMonochrome(TBitmap& bitmap, int angle, bool backgroundWhite, TObject* sender = nullptr,
                      const TProgressEvent& progress = {});
// Exact quarter turns of a 24-bit source into destination (which becomes h × w).
void RotateCounterClockwise90(const TBitmap& source, TBitmap& destination);
void RotateClockwise90(const TBitmap& source, TBitmap& destination);

// Output size of the three-shear rotation of a w × h image by a remaining angle
// (−45 … 45, not 0): width W3 and height H2.
void ShearRotatedSize(int w, int h, int angle, int& width, int& height);

// The size Rotate would give the bitmap (24-bit or 1-bit), without turning it; false
// for any other bitmap. Computed wide, so that no size wraps round.
bool RotatedSize(const TBitmap& bitmap, int angle, int64_t& width, int64_t& height);

// 0 mirrors left to right, 1 top to bottom; 24-bit and 1-bit images.
void Flip(TBitmap& bitmap, int direction);
