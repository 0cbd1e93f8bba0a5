// The list of equally sized images with masks.
#include "platform/graphics/image_list.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <algorithm>

TImageList::TImageList(int width, int height) : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

QImage TImageList::render(const TBitmap& bitmap, TColor maskColor) const
{
    QImage out(width_, height_, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const bool masked = maskColor != clNone;
    const TColor key = masked ? ColorToRGB(maskColor) : clNone;
    const int w = std::min(width_, bitmap.Width()), h = std::min(height_, bitmap.Height());
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const TColor c = bitmap.PixelColor(x, y);
            if (masked && c == key)
                continue;
            line[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    return out;
}

int TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor)
{
    images_.push_back(render(bitmap, maskColor));
    return Count() - 1;
}

bool TImageList::ReplaceMasked(int index, const TBitmap& bitmap, TColor maskColor)
{
    if (index < 0 || index >= Count())
        return false;
    images_[size_t(index)] = render(bitmap, maskColor);
    return true;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const
{
    if (index < 0 || index >= Count() || width_ == 0 || height_ == 0)
        return;
    canvas.DrawKeyed(TRect(x, y, x + width_, y + height_), images_[size_t(index)], TRect(0, 0, width_, height_));
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    return images_[size_t(index)];
}

QImage TImageList::Mask(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    QImage mask(width_, height_, QImage::Format_Mono);
    mask.setColorTable(MonoColorTable());
    const QImage& img = images_[size_t(index)];
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            mask.setPixel(x, y, qAlpha(img.pixel(x, y)) == 0 ? 1 : 0);
    return mask;
}
