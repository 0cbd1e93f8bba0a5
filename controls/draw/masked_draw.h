// Drawing bitmaps stretched with a transparent colour.
#pragma once
#include "platform/core/color.h"
#include "platform/core/geometry.h"

#include <memory>

class TBitmap;
class TCanvas;
class TImageList;
class QWidget;

// Copies the source rectangle stretched (nearest neighbour) onto the destination,
// leaving the destination where the source has the transparent colour (an RGB value).
void MaskedStretchCopy(TCanvas& dest, int x, int y, int width, int height, const TBitmap& source, int sx, int sy,
                       int sw, int sh, TColor transparent);
// clNone: a plain stretched copy with the canvas's copy mode; clDefault: the bitmap's
// bottom-left pixel is transparent; a 1-bit bitmap always uses white. Destination sizes
// below 1 take the bitmap's, a source size below 1 the whole bitmap.
void DrawBitmapStretchedMasked(TCanvas& canvas, const TBitmap& bitmap, TColor transparent, int x, int y, int width,
                               int height, int sx, int sy, int sw, int sh);
void DrawBitmapPartMasked(TCanvas& canvas, int x, int y, const TRect& source, const TBitmap& bitmap,
                          TColor transparent);
void DrawBitmapMasked(TCanvas& canvas, int x, int y, const TBitmap& bitmap, TColor transparent);

// The disabled look: a bitmap of the source's size in the back colour, where every
// pixel of the source not in the outline colour is drawn in the highlight colour one
// pixel right and down (when asked), then in the shadow colour in place.
std::unique_ptr<TBitmap> EmbossBitmapEx(const TBitmap& source, TColor outline, TColor back, TColor highlight,
                                        TColor shadow, bool drawHighlight);
std::unique_ptr<TBitmap> EmbossBitmap(const TBitmap& source, TColor outline);
// The opaque pixels of a list image in the highlight colour at (x + 1, y + 1), then in
// the grey colour at (x, y).
void DrawListImageEmbossed(const TImageList& list, TCanvas& canvas, int x, int y, int index, TColor highlight,
                           TColor grey, bool drawHighlight);

// Paints into the canvas (origin at the control's top-left) what lies behind the
// control: its parent's background and painting and the siblings below it.
void PaintBackdropOf(QWidget* control, TCanvas& canvas);
