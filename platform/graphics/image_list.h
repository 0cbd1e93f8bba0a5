// A list of equally sized masked images (TImageList).
#pragma once
#include "platform/core/color.h"

#include <QImage>
#include <vector>

class TBitmap;
class TCanvas;

// A list of equally sized images, each with a mask (transparent where the image was
// added with its mask colour). Slots can be replaced in place, so indexes stay valid.
class TImageList {
public:
    TImageList(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return int(images_.size()); }

    // Adds the top-left Width × Height of the bitmap; pixels of maskColor become
    // transparent (clNone: none). Returns the new index.
    int AddMasked(const TBitmap& bitmap, TColor maskColor);
    // Puts an image into an existing slot; false for an index out of range.
    bool ReplaceMasked(int index, const TBitmap& bitmap, TColor maskColor);
    void Clear() { images_.clear(); }

    // Draws the image's opaque pixels with their top-left corner at (x, y).
    void Draw(TCanvas& canvas, int x, int y, int index) const;
    // The image as ARGB32 (alpha 0 where transparent); a null image for a bad index.
    QImage Image(int index) const;
    // The mask as a 1-bit bitmap layout: white where transparent, black where opaque.
    QImage Mask(int index) const;

private:
    QImage render(const TBitmap& bitmap, TColor maskColor) const;
    int width_;
    int height_;
    std::vector<QImage> images_;
};
