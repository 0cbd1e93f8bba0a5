// Painting the multi-image view: thumbnails centred in their cells over the image's
// background, the selection frame, and the view's background around the cells.

#include "imaging/view/multi_view.h"

#include "imaging/proc/dib.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <utility>

void TImageKitMView::Paint()
{
    // Composed on a bitmap first, so the screen gets whole frames and the same pixels
    // as any other canvas.
    if (!Canvas() || ClientWidth() <= 0 || ClientHeight() <= 0)
        return;
    TBitmap buffer(ClientWidth(), ClientHeight());
    {
        TCanvas c(&buffer);
        PaintTo(&c);
    }
    Canvas()->Draw(0, 0, buffer);
}

void TImageKitMView::drawCell(TCanvas* canvas, int n, int left, int top)
{
    Image& im = images_[size_t(n)];
    const TRect cell(left, top, left + thumbW_, top + thumbH_);
    canvas->Brush.Style = bsSolid;
    canvas->Brush.Color = im.background;
    const int freeH = thumbH_ - bottomGap_ - upperGap_;
    // A thumbnail drawn before is reused while the image and the cell stay the same.
    const QSize box(thumbW_, freeH);
    // An unpacked bitmap may be drawn on in place: QImage's cache key tells.
    const qint64 key = im.bitmap ? std::as_const(*im.bitmap).Image().cacheKey() : 0;
    if (im.drawnBox != box || im.drawnKey != key)
        im.drawn = QImage();
    if (im.drawn.isNull() && (!im.packed.isEmpty() || im.bitmap)) {
        TBitmap unpacked;
        const TBitmap* source = im.bitmap.get();
        if (!source) {
            try {
                DIBToBitmap(im.packed, &unpacked);
            } catch (const EInvalidGraphic&) {
                unpacked = TBitmap();
            }
            source = &unpacked;
        }
        // An empty image or cell has no thumbnail: the cell is filled instead.
        int w, h;
        if (ThumbnailSize(source->Width(), source->Height(), thumbW_, freeH, w, h))
            im.drawn = source->Image()
                           .convertToFormat(QImage::Format_RGB32)
                           .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        im.drawnBox = box;
        im.drawnKey = key;
    }
    const int tw = im.drawn.width(), th = im.drawn.height();
    if (im.drawn.isNull()) {
        canvas->FillRect(cell);
    } else {
        const int x = left + (thumbW_ - tw) / 2, y = top + upperGap_ + (freeH - th) / 2;
        TBitmap picture;
        picture.SetImage(im.drawn.convertToFormat(QImage::Format_BGR888));
        canvas->Draw(x, y, picture);
        canvas->FillRect(TRect(left, top, x, cell.Bottom));
        canvas->FillRect(TRect(x + tw, top, cell.Right, cell.Bottom));
        canvas->FillRect(TRect(x, top, x + tw, y));
        canvas->FillRect(TRect(x, y + th, x + tw, cell.Bottom));
    }
    if (OnImageDraw)
        OnImageDraw(this, n, left, top, canvas);
    int frame = 0;
    if (n == selected_ && visibleSelection_) {
        frame = hasFocus() ? selectionWidth_ : 1;
        canvas->Pen.Color = selectionColor_;
        canvas->Pen.Width = 1;
        canvas->Pen.Style = psSolid;
        canvas->Pen.Mode = pmCopy;
        canvas->Brush.Style = bsClear;
        for (int d = 1; d <= frame; ++d)
            canvas->Rectangle(cell.Left - d, cell.Top - d, cell.Right + d, cell.Bottom + d);
        canvas->Brush.Style = bsSolid;
    }
    drawnCells_ += QRect(cell.Left - frame, cell.Top - frame, cell.Width() + 2 * frame, cell.Height() + 2 * frame);
}

void TImageKitMView::PaintTo(TCanvas* canvas)
{
    const int count = ImageCount();
    const int toDraw = displayMode_ == mdSingle ? std::min(count, 1) : count;
    int first = 0;
    if (count > 0 && (playing_ || displayMode_ == mdSingle))
        first = std::clamp(playIndex_, 0, count - 1);
    const TRect control(0, 0, Width() - 1, Height() - 1);
    drawnCells_ = QRegion();
    for (int k = 0; k < toDraw; ++k) {
        const int n = (first + k) % count;
        if (toDraw > 1 && OnDrawProgress)
            OnDrawProgress(this, int(int64_t(k) * 100 / count), n);
        Image& im = images_[size_t(n)];
        const int left = im.x - viewX_, top = im.y - viewY_;
        const bool overlaps = left < control.Right && top < control.Bottom && left + thumbW_ > control.Left &&
                              top + thumbH_ > control.Top;
        if (overlaps) {
            if (im.packed.isEmpty() && !im.bitmap) {
                try {
                    loadImage(n);
                } catch (const Exception&) {
                    // An image whose file went bad stays empty.
                }
            }
            drawCell(canvas, n, left, top);
        } else if (n != selected_ && !im.packed.isEmpty() && (im.id >= 0 || !im.fileName.isEmpty()) &&
                   im.useCount == 0) {
            // Out of sight: dropped, and loaded again when it comes back.
            im.packed.clear();
            im.drawn = QImage();
        }
    }
    // The background goes around the cells drawn; filled piece by piece rather than
    // through a clip, which a paint event's painter may already carry.
    canvas->Brush.Style = bsSolid;
    canvas->Brush.Color = Background();
    const QRegion rest =
        QRegion(0, 0, std::max(ClientWidth(), Width()), std::max(ClientHeight(), Height())) - drawnCells_;
    for (const QRect& r : rest)
        canvas->FillRect(TRect::fromQRect(r));
    if (toDraw > 1 && OnDrawProgress)
        OnDrawProgress(this, 100, 0);
}
