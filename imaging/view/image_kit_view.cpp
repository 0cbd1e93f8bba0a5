// Construction, properties and layout of the single-image view.
#include "imaging/view/image_kit_view.h"

#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/timer.h"

#include <QPainter>
#include <algorithm>
#include <climits>

TImageKitView::TImageKitView(QWidget* owner)
    : TIKView(owner), bitmap_(std::make_unique<TBitmap>()), sel_(std::make_unique<TIKSelectionRecord>())
{
    RegisterViewCursors();
    SetCursor(crCross2);
    resize(105, 105);
    SetDpi(ScreenPixelsPerInchX(), ScreenPixelsPerInchY());
    timer_ = new TTimer(this);
    timer_->SetInterval(150);
    timer_->OnTimer = [this](TObject*) { SelectionTimerTick(); };
    timer_->SetEnabled(true);
}

TImageKitView::~TImageKitView()
{
    timer_->SetEnabled(false);
    timer_->OnTimer = nullptr;
}

TBitmap* TImageKitView::GetBitmap() { return bitmap_.get(); }

// Largest zoom whose zoomed sizes (and client + zoomed size in the scroll ranges) stay
// well inside 32 bits.
int TImageKitView::zoomCap() const
{
    const int64_t dim = std::max<int64_t>({bitmap_->Width(), bitmap_->Height(), 1});
    const int64_t cap = (int64_t(1) << 30) * 100 / dim;
    return int(std::clamp<int64_t>(cap, 1, MaxZoom));
}

void TImageKitView::LockUpdate() { ++lock_; }

void TImageKitView::UnlockUpdate()
{
    if (lock_ > 0)
        --lock_;
    if (lock_ == 0)
        Update();
}

void TImageKitView::UnlockUpdateNoRefresh()
{
    if (lock_ > 0)
        --lock_;
}

void TImageKitView::GetMaxViewXY(int& maxX, int& maxY) const
{
    maxX = maxY = 0;
    const int64_t zw = Round64(double(bitmap_->Width()) * zoom_ / 100.0);
    const int64_t zh = Round64(double(bitmap_->Height()) * zoom_ / 100.0);
    if (zw <= 0 || zh <= 0)
        return;
    // An image that fits inside the border needs no bars. Otherwise the client area
    // decides: what a bar covers must stay reachable by scrolling.
    if (Width() - 2 * BorderWidth() >= zw && Height() - 2 * BorderWidth() >= zh)
        return;
    maxX = int(std::max<int64_t>(zw - ClientWidth(), 0));
    maxY = int(std::max<int64_t>(zh - ClientHeight(), 0));
}

void TImageKitView::Update()
{
    // Showing or hiding a scroll bar resizes the client area, which calls Update again
    // from inside; the outer pass notices the new client size and runs once more.
    if (inLayout_)
        return;
    inLayout_ = true;
    struct Done {
        bool& f;
        ~Done() { f = false; }
    } done{inLayout_};

    const int bw = bitmap_->Width(), bh = bitmap_->Height();
    // A larger bitmap may have arrived under a high zoom.
    zoom_ = std::min(zoom_, zoomCap());
    for (int pass = 0; pass < 4; ++pass) {
        if (autoFit_ && bw > 0 && bh > 0) {
            zoom_ = std::clamp(fitZoom(), 1, zoomCap());
            ViewChanged(1);
        }
        if (bw != lastBmpW_ || bh != lastBmpH_) {
            lastBmpW_ = bw;
            lastBmpH_ = bh;
            if (selected_)
                Deselect();
        }
        const int cw = ClientWidth(), ch = ClientHeight();
        int maxX, maxY;
        GetMaxViewXY(maxX, maxY);
        bool changed = false;
        if (maxX < viewX_) {
            viewX_ = maxX;
            changed = true;
        }
        if (maxY < viewY_) {
            viewY_ = maxY;
            changed = true;
        }
        if (changed)
            ViewChanged(0);
        if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
            if (maxX < 1) {
                ShowScrollBar(sbHorizontal, false);
            } else {
                SetScrollRange(sbHorizontal, 0, cw + maxX - 1);
                SetScrollPage(sbHorizontal, cw);
                SetScrollPos(sbHorizontal, viewX_);
                ShowScrollBar(sbHorizontal, true);
            }
        }
        if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
            if (maxY < 1) {
                ShowScrollBar(sbVertical, false);
            } else {
                SetScrollRange(sbVertical, 0, ch + maxY - 1);
                SetScrollPage(sbVertical, ch);
                SetScrollPos(sbVertical, viewY_);
                ShowScrollBar(sbVertical, true);
            }
        }
        if (ClientWidth() == cw && ClientHeight() == ch)
            break;
    }
    if (selected_)
        sel_->Visible = true;

    zoomedW_ = Round(bw / 100.0 * zoom_);
    zoomedH_ = Round(bh / 100.0 * zoom_);
    offsetX_ = offsetY_ = 0;
    drawnW_ = std::min(zoomedW_, ClientWidth());
    drawnH_ = std::min(zoomedH_, ClientHeight());
    if (center_) {
        if (drawnW_ < ClientWidth())
            offsetX_ = (ClientWidth() - drawnW_) / 2;
        if (drawnH_ < ClientHeight())
            offsetY_ = (ClientHeight() - drawnH_) / 2;
    }
    backDirty_ = true;
    Invalidate();
}

void TImageKitView::Resize()
{
    TIKView::Resize();
    Update();
}

void TImageKitView::SetZoom(int z)
{
    if (z <= 0 || z == zoom_)
        return;
    z = std::min(z, zoomCap());
    if (z == zoom_)
        return;
    if (delayZoomFilter_)
        filterCountdown_ = 2;
    LockUpdate();
    // Selection points are kept in bitmap coordinates: nothing to rescale.
    zoom_ = z;
    Update();
    UnlockUpdateNoRefresh();
    Invalidate();
    ViewChanged(1);
}

void TImageKitView::SetViewXY(int x, int y)
{
    if (x == viewX_ && y == viewY_)
        return;
    if (delayZoomFilter_)
        filterCountdown_ = 2;
    int maxX, maxY;
    GetMaxViewXY(maxX, maxY);
    viewX_ = std::clamp(x, 0, maxX);
    viewY_ = std::clamp(y, 0, maxY);
    backDirty_ = true;
    Invalidate();
    ViewChanged(0);
    if (selected_)
        ShowSelection(true);
    if (ScrollBarVisible(sbHorizontal))
        SetScrollPos(sbHorizontal, viewX_);
    if (ScrollBarVisible(sbVertical))
        SetScrollPos(sbVertical, viewY_);
}

// The largest zoom that shows the whole image inside the border. Once it fits, no
// scroll bar is shown, so the bars' room counts as client area.
int TImageKitView::fitZoom() const
{
    const int bw = bitmap_->Width(), bh = bitmap_->Height();
    const int w = std::max(Width() - 2 * BorderWidth(), 0), h = std::max(Height() - 2 * BorderWidth(), 0);
    return std::min(Trunc(w / (bw / 100.0)), Trunc(h / (bh / 100.0)));
}

void TImageKitView::Fit()
{
    if (bitmap_->Width() == 0 || bitmap_->Height() == 0)
        return;
    SetZoom(std::max(fitZoom(), 1));
}

void TImageKitView::ZoomAt(int x, int y, int z)
{
    LockUpdate();
    const int bx = ScreenToBitmapX(x);
    const int by = ScreenToBitmapY(y);
    SetZoom(z);
    SetViewXY(Trunc(bx * double(zoom_) / 100.0 - ClientWidth() / 2),
              Trunc(by * double(zoom_) / 100.0 - ClientHeight() / 2));
    UnlockUpdate();
}

int TImageKitView::ExtentWidth() const
{
    int w = Trunc(bitmap_->Width() / 100.0 * zoom_) + 1;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
        w += Width() - ClientWidth();
    return w;
}

int TImageKitView::ExtentHeight() const
{
    int h = Trunc(bitmap_->Height() / 100.0 * zoom_) + 1;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
        h += Height() - ClientHeight();
    return h;
}

int TImageKitView::ScreenToBitmapX(int x) const { return Round(100.0 / zoom_ * (double(x) + viewX_ - offsetX_)); }
int TImageKitView::ScreenToBitmapY(int y) const { return Round(100.0 / zoom_ * (double(y) + viewY_ - offsetY_)); }
int TImageKitView::BitmapToScreenX(int x) const { return Round(x * (zoom_ / 100.0) + (offsetX_ - viewX_)); }
int TImageKitView::BitmapToScreenY(int y) const { return Round(y * (zoom_ / 100.0) + (offsetY_ - viewY_)); }

void TImageKitView::Scroll(TScrollBarKind kind, TScrollCode code, int pos)
{
    int v = kind == sbHorizontal ? viewX_ : viewY_;
    int maxX, maxY;
    switch (code) {
    case scLineUp: v -= 1; break;
    case scLineDown: v += 1; break;
    case scPageUp: v -= 10; break;
    case scPageDown: v += 10; break;
    case scTrack: v = pos; break;  // the full 32-bit position
    case scTop: v = 0; break;
    case scBottom:
        GetMaxViewXY(maxX, maxY);
        v = kind == sbHorizontal ? maxX : maxY;
        break;
    default: break;
    }
    if (kind == sbHorizontal)
        SetViewX(v);
    else
        SetViewY(v);
}

void TImageKitView::SetScrollBars(TScrollStyle style)
{
    scrollBars_ = style;
    if (style != ssVertical && style != ssBoth)
        ShowScrollBar(sbVertical, false);
    if (style != ssHorizontal && style != ssBoth)
        ShowScrollBar(sbHorizontal, false);
    Update();
}

void TImageKitView::SetCenter(bool center)
{
    if (center == center_)
        return;
    center_ = center;
    Update();
}

void TImageKitView::SetZoomFilter(TResampleFilter filter)
{
    zoomFilter_ = filter;
    Update();
}

void TImageKitView::SetBackgroundStyle(TIKBackgroundStyle style)
{
    backgroundStyle_ = style;
    Update();
}

void TImageKitView::SetDoubleBuffer(bool on)
{
    doubleBuffer_ = on;
    backDirty_ = true;
    Invalidate();
}

void TImageKitView::SetAutoFit(bool on)
{
    autoFit_ = on;
    Update();
}

void TImageKitView::SetBackground(TColor color)
{
    TIKView::SetBackground(color);
    Update();
    ImageChanged();
}

void TImageKitView::ImageChanged()
{
    if (OnImageChange)
        OnImageChange(this);
}

void TImageKitView::ViewChanged(int kind)
{
    if (OnViewChange)
        OnViewChange(this, kind);
}

// A run-time resize never touches the bitmap.
void TImageKitView::SetBounds(int left, int top, int width, int height)
{
    TIKView::SetBounds(left, top, width, height);
}

void TImageKitView::FillBackground()
{
    if (!bitmap_->Empty()) {
        QImage& img = bitmap_->Image();
        if (img.format() == QImage::Format_Mono) {
            // Nearest of black and white.
            const QColor c = ToQColor(background_);
            img.fill(qGray(c.rgb()) >= 128 ? 1u : 0u);
        } else {
            QPainter p(&img);
            p.fillRect(img.rect(), ToQColor(background_));
        }
    }
    Update();
}

void TImageKitView::Blank()
{
    bitmap_->SetSize(1, 1);
    FillBackground();
}

void TImageKitView::Assign(TImageKitView* source)
{
    if (!source) {
        FillBackground();
        return;
    }
    bitmap_->Assign(*source->Bitmap());
    background_ = source->Background();
    SetDpi(source->DpiX(), source->DpiY());
    Update();
    ImageChanged();
}

void TImageKitView::Assign(const TBitmap* source)
{
    if (!source) {
        FillBackground();
        return;
    }
    if (source->PixelFormat() == pf24bit || source->PixelFormat() == pf1bit) {
        bitmap_->Assign(*source);
    } else {
        bitmap_->SetPixelFormat(pf24bit);
        bitmap_->SetSize(1, 1);
        bitmap_->SetSize(source->Width(), source->Height());
        if (!source->Empty())
            bitmap_->SetImage(source->Image().convertToFormat(QImage::Format_BGR888));
    }
    Update();
    ImageChanged();
}
