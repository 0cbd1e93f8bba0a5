// Stretched copies that leave out a transparent colour.
#include "controls/draw/masked_draw.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace {

// Larger sources are refused rather than copied.
constexpr int64_t MaxSourcePixels = int64_t(1) << 26;

// A solid colour wherever `opaque` holds; alpha 0 elsewhere.
template <class Opaque> QImage solidThrough(int w, int h, TColor color, Opaque&& opaque)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const TColor c = ColorToRGB(color);
    const QRgb v = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (opaque(x, y))
                line[x] = v;
    }
    return img;
}

}  // namespace

void MaskedStretchCopy(TCanvas& dest, int x, int y, int width, int height, const TBitmap& source, int sx, int sy,
                       int sw, int sh, TColor transparent)
{
    if (width == 0 || height == 0 || sw <= 0 || sh <= 0 || int64_t(sw) * sh > MaxSourcePixels)
        return;
    const TColor key = ColorToRGB(transparent) & 0xFFFFFF;
    // Pixels outside the source bitmap have nothing to give and stay transparent.
    QImage part(sw, sh, QImage::Format_ARGB32);
    part.fill(Qt::transparent);
    for (int j = 0; j < sh; ++j) {
        QRgb* line = reinterpret_cast<QRgb*>(part.scanLine(j));
        for (int i = 0; i < sw; ++i) {
            const TColor c = source.PixelColor(sx + i, sy + j);
            if (c == clNone || c == key)
                continue;
            line[i] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    dest.DrawKeyed(TRect(x, y, x + width, y + height), part, TRect(0, 0, sw, sh));
}

void DrawBitmapStretchedMasked(TCanvas& canvas, const TBitmap& bitmap, TColor transparent, int x, int y, int width,
                               int height, int sx, int sy, int sw, int sh)
{
    if (bitmap.Empty())
        return;
    if (width < 1)
        width = bitmap.Width();
    if (height < 1)
        height = bitmap.Height();
    if (sw < 1 || sh < 1) {
        sx = sy = 0;
        sw = bitmap.Width();
        sh = bitmap.Height();
    }
    if (transparent == clNone) {
        TBitmap copy(bitmap);
        canvas.CopyRect(TRect(x, y, x + width, y + height), *copy.Canvas(), TRect(sx, sy, sx + sw, sy + sh));
        return;
    }
    TColor key;
    if (bitmap.PixelFormat() == pf1bit)
        key = clWhite;
    else if (transparent == clDefault)
        key = bitmap.PixelColor(0, bitmap.Height() - 1);
    else
        key = ColorToRGB(transparent);
    MaskedStretchCopy(canvas, x, y, width, height, bitmap, sx, sy, sw, sh, key);
}

void DrawBitmapPartMasked(TCanvas& canvas, int x, int y, const TRect& source, const TBitmap& bitmap, TColor transparent)
{
    const int w = source.Width(), h = source.Height();
    if (w <= 0 || h <= 0)
        return;
    DrawBitmapStretchedMasked(canvas, bitmap, transparent, x, y, w, h, source.Left, source.Top, w, h);
}

void DrawBitmapMasked(TCanvas& canvas, int x, int y, const TBitmap& bitmap, TColor transparent)
{
    DrawBitmapPartMasked(canvas, x, y, TRect(0, 0, bitmap.Width(), bitmap.Height()), bitmap, transparent);
}

std::unique_ptr<TBitmap> EmbossBitmapEx(const TBitmap& source, TColor outline, TColor back, TColor highlight,
                                        TColor shadow, bool drawHighlight)
{
    const int w = source.Width(), h = source.Height();
    auto result = std::make_unique<TBitmap>(w, h, pf24bit);
    if (w <= 0 || h <= 0)
        return result;
    result->Canvas()->Brush.Color = back;
    result->Canvas()->FillRect(TRect(0, 0, w, h));
    // The monochrome copy: outline-coloured pixels are background, all others drawn.
    const TColor key = ColorToRGB(outline) & 0xFFFFFF;
    std::vector<uint8_t> drawn(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            drawn[size_t(y) * size_t(w) + size_t(x)] = source.PixelColor(x, y) != key;
    auto opaque = [&](int x, int y) { return drawn[size_t(y) * size_t(w) + size_t(x)] != 0; };
    TCanvas& cv = *result->Canvas();
    if (drawHighlight)
        cv.DrawKeyed(TRect(1, 1, w + 1, h + 1), solidThrough(w, h, highlight, opaque), TRect(0, 0, w, h));
    cv.DrawKeyed(TRect(0, 0, w, h), solidThrough(w, h, shadow, opaque), TRect(0, 0, w, h));
    return result;
}

std::unique_ptr<TBitmap> EmbossBitmap(const TBitmap& source, TColor outline)
{
    return EmbossBitmapEx(source, outline, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawListImageEmbossed(const TImageList& list, TCanvas& canvas, int x, int y, int index, TColor highlight,
                           TColor grey, bool drawHighlight)
{
    const QImage mask = list.Mask(index);
    if (mask.isNull())
        return;
    const int w = mask.width(), h = mask.height();
    // Mask bit 0 (black) is opaque.
    auto opaque = [&](int px, int py) { return mask.pixelIndex(px, py) == 0; };
    const TBrush saved = canvas.Brush;
    if (drawHighlight)
        canvas.DrawKeyed(TRect(x + 1, y + 1, x + 1 + w, y + 1 + h), solidThrough(w, h, highlight, opaque),
                         TRect(0, 0, w, h));
    canvas.DrawKeyed(TRect(x, y, x + w, y + h), solidThrough(w, h, grey, opaque), TRect(0, 0, w, h));
    canvas.Brush = saved;
}

void PaintBackdropOf(QWidget* control, TCanvas& canvas)
{
    QWidget* parent = control ? control->parentWidget() : nullptr;
    if (!parent)
        return;
    const QRect area = control->geometry();
    if (area.isEmpty())
        return;
    QImage img(area.size(), QImage::Format_RGB32);
    img.fill(parent->palette().window().color());
    // The parent's own background and painting, without its children.
    parent->render(&img, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
    // Siblings below the control that overlap it.
    for (QObject* o : parent->children()) {
        if (o == control)
            break;
        QWidget* sibling = qobject_cast<QWidget*>(o);
        if (!sibling || !sibling->isVisible() || sibling->isWindow() || !sibling->geometry().intersects(area))
            continue;
        sibling->render(&img, sibling->pos() - area.topLeft(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    TBitmap bmp;
    bmp.SetImage(img);
    canvas.Draw(0, 0, bmp);
}
