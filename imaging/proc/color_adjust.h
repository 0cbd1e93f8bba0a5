// Colour adjustments on an area of a 24-bit bitmap.
#pragma once
#include "imaging/proc/effect_area.h"
#include "imaging/proc/color_math.h"

#include <array>
#include <cstdint>

// Colour adjustments on the inclusive rectangle x1 … x2, y1 … y2 of a 24-bit bitmap
// (other formats are left alone), in place, with progress after each row.

// factor 1 − sqrt(−a)/10 for a < 0, else 1 + a/10, around each channel's mean.
void AdjustContrast(TBitmap& bitmap, int x1, int y1, int x2, int y2, int contrast, int meanRed, int meanGreen,
                    int meanBlue, const TEffectProgress& progress = {});
void AdjustRGB(TBitmap& bitmap, int x1, int y1, int x2, int y2, int red, int green, int blue,
               const TEffectProgress& progress = {});
// Hue in degrees, saturation and lightness in percent.
void AdjustHSL(TBitmap& bitmap, int x1, int y1, int x2, int y2, int hue, int sat, int light,
               const TEffectProgress& progress = {});
void AdjustHSV(TBitmap& bitmap, int x1, int y1, int x2, int y2, int hue, int sat, int val,
               const TEffectProgress& progress = {});
// Colours as TColor; thresholds per channel.
void ApplyThreshold(TBitmap& bitmap, int x1, int y1, int x2, int y2, TColor high, TColor low, TRGBTriple highThreshold,
                    TRGBTriple lowThreshold, const TEffectProgress& progress = {});
void AdjustLevels(TBitmap& bitmap, int x1, int y1, int x2, int y2, TRGBTriple upper, TRGBTriple lower,
                  const TEffectProgress& progress = {});
// Equalises the rectangle by the grey histogram of the whole bitmap.
void EqualizeHistogram(TBitmap& bitmap, int x1, int y1, int x2, int y2, const TEffectProgress& progress = {});

// Grey histogram of a whole 24-bit bitmap, 64-bit counts.
std::array<int64_t, 256> GrayHistogram(const TBitmap& bitmap);
