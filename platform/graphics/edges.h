// Drawing bevels, focus rectangles and 3-D frames.
#pragma once
#include "platform/core/geometry.h"

class TCanvas;

// Sides of an edge.
enum TEdgeSide : unsigned { bfLeft = 1u << 0, bfTop = 1u << 1, bfRight = 1u << 2, bfBottom = 1u << 3 };
constexpr unsigned bfRect = bfLeft | bfTop | bfRight | bfBottom;

// One-pixel bevel inside r: raised (highlight top-left, shadow bottom-right) or sunken.
void DrawInnerEdge(TCanvas& canvas, const TRect& r, bool sunken, unsigned sides = bfRect);
// The dotted inverting rectangle that marks keyboard focus; drawing it twice removes it.
void DrawFocusRect(TCanvas& canvas, const TRect& r);
// Top-left lines in one colour, bottom-right in another, one pixel inside r.
void Frame3D(TCanvas& canvas, TRect& r, int topLeftColor, int bottomRightColor);
