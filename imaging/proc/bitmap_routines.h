// Bitmap copy and fill routines used across the image library.
#pragma once
#include "imaging/proc/color_math.h"
#include "platform/core/geometry.h"
#include "platform/graphics/bitmap.h"

#include <cstdint>
#include <vector>

// Bitmap routines used across the image library. Rows are counted from the top.

// The destination first becomes 1 × 1 with the source's pixel format; a source with
// pixels then gives the destination its size and every pixel.
void CopyBitmap(const TBitmap* source, TBitmap* destination);

// x2 = 0 or x2 >= width means width − 1, likewise y2 with the height; x1 and y1 below 0
// mean 0. The destination gets the inclusive rectangle in the source's pixel format, or
// 0 × 0 when nothing of it lies inside the source.
void CopyBitmapRect(const TBitmap* source, TBitmap* destination, int x1, int y1, int x2, int y2);
// The same without the zero rule: the corners are taken as they are (and clamped).
void CopyBitmapArea(const TBitmap* source, TBitmap* destination, int x1, int y1, int x2, int y2);

// Copies count bits, most significant first, from bit srcBit of source to bit destBit
// of destination; the destination's other bits stay.
void CopyBits(uint8_t* destination, const uint8_t* source, int destBit, int count, int srcBit);

// Inverts every bit of a 1-bit bitmap (black and white swap).
void InvertBits(TBitmap* bitmap);

// Mean of each channel over a 24-bit bitmap (truncated); 128, 128, 128 without pixels.
TRGBTriple MeanColor(const TBitmap* bitmap);

// Fills the inclusive rectangle, clamped to the bitmap, with a colour: 24-bit and 32-bit
// take it as it is, 8-bit its grey, 1-bit white when the grey is 128 or more.
void FillBitmapRect(TBitmap* bitmap, int x1, int y1, int x2, int y2, TColor color);

// Copies source into destination with its top-left corner at (x, y), clipped to the
// destination. Both bitmaps must have the same pixel format.
void CopyBitmapInto(TBitmap* destination, int x, int y, const TBitmap* source);

// Fills the polygon region (alternate fill) with a colour, as FillBitmapRect.
void FillPolygon(TBitmap* bitmap, const std::vector<TPoint>& polygon, TColor color);

// Draws source at (x, y) of destination, but only where the polygon region (destination
// coordinates, alternate fill) lies. Both bitmaps must have the same pixel format.
void DrawThroughPolygon(TBitmap* destination, int x, int y, const TBitmap* source, const std::vector<TPoint>& polygon);

// Copies the inclusive rectangle x1..x2, y1..y2 (clamped) into destination; pixels
// outside the polygon (source coordinates) take the fill colour.
void CopyPolygonRect(const TBitmap* source, TBitmap* destination, const std::vector<TPoint>& polygon, int x1, int y1,
                     int x2, int y2, TColor fill);
