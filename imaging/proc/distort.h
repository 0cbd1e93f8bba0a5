// Effects that light or move pixels: bump map, lens and wave.
#pragma once
#include "imaging/proc/effect_area.h"

#include <cstdint>

// Effects that light or move pixels. 24-bit bitmaps only; others are left alone.

// Lights the inclusive rectangle from (lightX, lightY) with a light of the given size and
// colour; sourcePercent of the old pixel stays. Nothing for a light of size 0.
void BumpMap(TBitmap& bitmap, int lightX, int lightY, int lightWidth, int lightHeight, int sourcePercent, uint8_t blue,
             uint8_t green, uint8_t red, int x1, int y1, int x2, int y2, const TEffectProgress& progress = {});

// An elliptic lens centred at (x, y); a refraction below 1 acts as 1.
void ApplyLens(TBitmap& bitmap, int x, int y, int width, int height, double refraction,
               const TEffectProgress& progress = {});
void LensRefraction(double py, double px, double hh, double hw, double n, double& ox, double& oy);

// Rings of a sine from the centre over the whole bitmap; nothing for amplitude or wave
// length 0. Phase in degrees.
void ApplyWave(TBitmap& bitmap, int amplitude, int waveLength, int phase, bool reflective,
               const TEffectProgress& progress = {});
// Trunc((1 − t)((1 − u)p1 + u p2) + t((1 − u)p3 + u p4)).
int BilinearSample(double u, double t, int p1, int p2, int p3, int p4);
