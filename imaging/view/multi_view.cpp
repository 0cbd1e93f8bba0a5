// The multi-image view's list: packing, loading on demand, selection and the layout.

#include "imaging/view/multi_view.h"

#include "imaging/io/image_kit_io.h"
#include "imaging/proc/dib.h"
#include "imaging/proc/resample.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/timer.h"

#include <algorithm>

bool ThumbnailSize(int w, int h, int boxW, int boxH, int& outW, int& outH)
{
    outW = outH = 0;
    if (w <= 0 || h <= 0 || boxW <= 0 || boxH <= 0)
        return false;
    const double scale = std::min(double(boxH) / h, double(boxW) / w);
    outW = Trunc(w * scale);
    outH = Trunc(h * scale);
    return outW > 0 && outH > 0;
}

TImageKitMView::TImageKitMView(QWidget* owner)
    : TIKView(owner), io_(std::make_unique<TImageKitIO>()), timer_(std::make_unique<TTimer>())
{
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](TObject*) { playStep(); };
    setFocusPolicy(Qt::StrongFocus);
    SetBounds(Left(), Top(), 180, 90);
}

TImageKitMView::~TImageKitMView()
{
    destroying_ = true;
    stopTimer();
}

// ---- images --------------------------------------------------------------------

void TImageKitMView::InsertImage(int n)
{
    SetPlaying(false);
    n = std::clamp(n, 0, ImageCount());
    Image im;
    im.background = Background();
    images_.insert(images_.begin() + n, std::move(im));
    // The old selection moves with its image.
    if (selected_ >= n)
        ++selected_;
    SetSelectedImage(n);
    lastChange_ = 1;
    lastChangeIndex_ = n;
    CallBitmapChangeListeners();
    Update();
}

void TImageKitMView::DeleteImage(int n)
{
    SetPlaying(false);
    if (!valid(n))
        return;
    const int wasSelected = selected_;
    const bool wasLast = wasSelected == ImageCount() - 1;
    deselect(false);
    freeImage(images_[size_t(n)]);
    images_.erase(images_.begin() + n);
    int next = wasSelected;
    if (wasSelected == n && wasLast)
        next = ImageCount() - 1;
    else if (wasSelected > n)
        next = wasSelected - 1;
    if (valid(next)) {
        selected_ = next;
        GetImageBitmap(next);
    }
    lastChange_ = 2;
    lastChangeIndex_ = n;
    CallBitmapChangeListeners();
    Update();
}

void TImageKitMView::Clear()
{
    deselect(false);
    while (!images_.empty())
        DeleteImage(ImageCount() - 1);
    Update();
}

void TImageKitMView::freeImage(Image& im)
{
    im.bitmap.reset();
    im.packed.clear();
    im.drawn = QImage();
    im.useCount = 0;
}

void TImageKitMView::storeImage(int n, const TBitmap& bitmap)
{
    Image& im = images_[size_t(n)];
    freeImage(im);
    if (bitmap.Empty())
        return;
    if (storeType_ == iktThumb) {
        int tw, th;
        if (!ThumbnailSize(bitmap.Width(), bitmap.Height(), thumbW_, thumbH_, tw, th))
            return;
        TBitmap small(tw, th, bitmap.PixelFormat() == pf1bit ? pf1bit : pf24bit);
        HalftoneStretch(bitmap, small);
        im.packed = BitmapRectToDIB(&small, 0, 0, 0, 0);
    } else {
        // Other depths than 1 and 24 bits are packed as 24 bits.
        im.packed = BitmapRectToDIB(&bitmap, 0, 0, 0, 0);
    }
}

void TImageKitMView::SetImage(int n, const TBitmap* bitmap)
{
    if (!valid(n))
        return;
    const bool held = n == selected_;
    if (held)
        images_[size_t(n)].useCount = 0;
    if (held && bitmap && storeType_ == iktNormal && !bitmap->Empty() &&
        (bitmap->PixelFormat() == pf1bit || bitmap->PixelFormat() == pf24bit)) {
        // The selected image is held unpacked: it shares the caller's pixels instead of
        // being packed and unpacked again, which would hold three copies of a long page.
        Image& im = images_[size_t(n)];
        freeImage(im);
        im.bitmap = std::make_unique<TBitmap>(*bitmap);
        im.useCount = 1;
        Update();
        return;
    }
    if (bitmap)
        storeImage(n, *bitmap);
    else
        freeImage(images_[size_t(n)]);
    if (held)
        GetImageBitmap(n);
    Update();
}

void TImageKitMView::SetImageBackground(int n, TColor color)
{
    if (!valid(n))
        return;
    images_[size_t(n)].background = color;
    Update();
}

void TImageKitMView::SetImageDelay(int n, int milliseconds)
{
    if (valid(n))
        images_[size_t(n)].delay = milliseconds;
}

void TImageKitMView::SetImageFileName(int n, const QString& fileName)
{
    if (valid(n))
        images_[size_t(n)].fileName = fileName;
}

void TImageKitMView::SetImageID(int n, int id)
{
    if (valid(n))
        images_[size_t(n)].id = id;
}

TColor TImageKitMView::ImageBackground(int n) const { return valid(n) ? images_[size_t(n)].background : Background(); }
int TImageKitMView::ImageDelay(int n) const { return valid(n) ? images_[size_t(n)].delay : 0; }
bool TImageKitMView::ImageIsPacked(int n) const { return valid(n) && !images_[size_t(n)].packed.isEmpty(); }
int TImageKitMView::ImageUseCount(int n) const { return valid(n) ? images_[size_t(n)].useCount : 0; }

TRect TImageKitMView::ImageRect(int n) const
{
    if (!valid(n))
        return {};
    const Image& im = images_[size_t(n)];
    return TRect(im.x, im.y, im.x + thumbW_, im.y + thumbH_);
}

// ---- packing -------------------------------------------------------------------

void TImageKitMView::pack(Image& im)
{
    if (!im.bitmap)
        return;
    im.packed = BitmapRectToDIB(im.bitmap.get(), 0, 0, 0, 0);
    im.bitmap.reset();
    // The user may have drawn on the bitmap while it was out: the old thumbnail is stale.
    im.drawn = QImage();
}

void TImageKitMView::loadImage(int n)
{
    Image& im = images_[size_t(n)];
    if (im.id >= 0 && OnImageIDRequest) {
        TBitmap* given = nullptr;
        OnImageIDRequest(this, im.id, given);
        // Without a bitmap from the owner the image stays empty.
        if (given)
            storeImage(n, *given);
        return;
    }
    if (im.fileName.isEmpty())
        return;
    TBitmap bitmap;
    io_->SetBackground(im.background);
    io_->SetAttachedBitmap(&bitmap);
    io_->OnProgress = OnIOProgress;
    try {
        io_->LoadFromFile(im.fileName);
    } catch (...) {
        io_->SetAttachedBitmap(nullptr);
        throw;
    }
    images_[size_t(n)].background = io_->Background();
    io_->SetAttachedBitmap(nullptr);
    storeImage(n, bitmap);
}

TBitmap* TImageKitMView::GetImageBitmap(int n)
{
    if (!valid(n))
        return nullptr;
    Image& im = images_[size_t(n)];
    if (im.useCount++ > 0 && im.bitmap)
        return im.bitmap.get();
    if (im.packed.isEmpty() && !im.bitmap)
        loadImage(n);
    Image& again = images_[size_t(n)];
    if (again.bitmap)
        return again.bitmap.get();
    if (again.packed.isEmpty()) {
        again.useCount = 0;
        return nullptr;
    }
    auto bitmap = std::make_unique<TBitmap>();
    DIBToBitmap(again.packed, bitmap.get());
    again.bitmap = std::move(bitmap);
    again.packed.clear();
    return again.bitmap.get();
}

void TImageKitMView::ReleaseImageBitmap(int n)
{
    if (!valid(n))
        return;
    Image& im = images_[size_t(n)];
    im.useCount = std::max(im.useCount - 1, 0);
    if (im.useCount == 0)
        pack(im);
}

TBitmap* TImageKitMView::GetBitmap()
{
    if (!valid(selected_))
        return nullptr;
    return images_[size_t(selected_)].bitmap.get();
}

// ---- selection -----------------------------------------------------------------

void TImageKitMView::SetSelectedImage(int n)
{
    if (playing_ || !valid(n))
        return;
    deselect(false);
    selected_ = n;
    GetImageBitmap(n);
    if (OnImageSelect)
        OnImageSelect(this, selected_);
    Update();
}

void TImageKitMView::deselect(bool update)
{
    if (valid(selected_))
        ReleaseImageBitmap(selected_);
    selected_ = -1;
    if (update)
        Update();
}

void TImageKitMView::Deselect() { deselect(true); }

int TImageKitMView::ImageVisibility(int n) const
{
    if (!valid(n))
        return 0;
    const TRect r = ImageRect(n);
    const int l = r.Left - viewX_, t = r.Top - viewY_;
    const int cw = ClientWidth(), ch = ClientHeight();
    if (l >= 0 && t >= 0 && l + thumbW_ <= cw && t + thumbH_ <= ch)
        return 2;
    if (l < cw && t < ch && l + thumbW_ > 0 && t + thumbH_ > 0)
        return 1;
    return 0;
}

int TImageKitMView::PopLastChange()
{
    const int c = lastChange_;
    lastChange_ = 0;
    return c;
}

// ---- layout --------------------------------------------------------------------

int TImageKitMView::ColumnCount() const
{
    if (gridWidth_ >= 0)
        return gridWidth_;
    const int step = horizBorder_ + thumbW_;
    return step > 0 ? std::max((ClientWidth() - horizBorder_) / step, 1) : 1;
}

void TImageKitMView::layout()
{
    const int columns = ColumnCount();
    int column = 0, row = 0, maxX = 0, maxY = 0;
    for (Image& im : images_) {
        im.column = column;
        im.row = row;
        im.x = horizBorder_ + column * (thumbW_ + horizBorder_);
        im.y = vertBorder_ + row * (thumbH_ + vertBorder_);
        maxX = std::max(maxX, im.x);
        maxY = std::max(maxY, im.y);
        if (displayMode_ == mdSingle) {
            column = row = 0;
        } else if (++column == columns) {
            column = 0;
            ++row;
        }
    }
    extentW_ = maxX + thumbW_ + horizBorder_;
    extentH_ = maxY + thumbH_ + vertBorder_;
}

void TImageKitMView::maxViewXY(int& mx, int& my) const
{
    mx = std::max(extentW_ - ClientWidth(), 0);
    my = std::max(extentH_ - ClientHeight(), 0);
}

void TImageKitMView::Update()
{
    // Showing or hiding a bar changes the client size and calls back in here.
    if (inLayout_) {
        Invalidate();
        return;
    }
    inLayout_ = true;
    for (int pass = 0; pass < 4; ++pass) {
        const int cw = ClientWidth(), ch = ClientHeight();
        layout();
        int mx, my;
        maxViewXY(mx, my);
        bool changed = false;
        if (viewX_ > mx) {
            viewX_ = mx;
            changed = true;
        }
        if (viewY_ > my) {
            viewY_ = my;
            changed = true;
        }
        if (changed)
            ViewChanged(0);
        auto bar = [&](TScrollBarKind kind, int max, int client, int pos) {
            if (max <= 0) {
                ShowScrollBar(kind, false);
                return;
            }
            SetScrollRange(kind, 0, client + max - 1);
            SetScrollPage(kind, client);
            SetScrollPos(kind, pos);
            ShowScrollBar(kind, true);
        };
        if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
            bar(sbHorizontal, mx, cw, viewX_);
        if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
            bar(sbVertical, my, ch, viewY_);
        if (ClientWidth() == cw && ClientHeight() == ch)
            break;
    }
    inLayout_ = false;
    CallBitmapChangeListeners();
    Invalidate();
}

void TImageKitMView::Resize() { Update(); }

void TImageKitMView::SetBackground(TColor color)
{
    background_ = color;
    Update();
}

void TImageKitMView::SetViewXY(int x, int y)
{
    int mx, my;
    maxViewXY(mx, my);
    viewX_ = std::clamp(x, 0, mx);
    viewY_ = std::clamp(y, 0, my);
    Invalidate();
    if (ScrollBarVisible(sbHorizontal))
        SetScrollPos(sbHorizontal, viewX_);
    if (ScrollBarVisible(sbVertical))
        SetScrollPos(sbVertical, viewY_);
}

void TImageKitMView::ViewChanged(int kind)
{
    if (OnViewChange)
        OnViewChange(this, kind);
}

void TImageKitMView::SetScrollBars(TScrollStyle style)
{
    scrollBars_ = style;
    if (style == ssHorizontal || style == ssBoth)
        ShowScrollBar(sbHorizontal, false);
    if (style == ssVertical || style == ssBoth)
        ShowScrollBar(sbVertical, false);
    Update();
}

#define KANDRIVEL_MVIEW_SETTER(Name, field, Type) \
    void TImageKitMView::Name(Type v) \
    { \
        field = v; \
        Update(); \
    }
KANDRIVEL_MVIEW_SETTER(SetThumbWidth, thumbW_, int)
KANDRIVEL_MVIEW_SETTER(SetThumbHeight, thumbH_, int)
KANDRIVEL_MVIEW_SETTER(SetHorizBorder, horizBorder_, int)
KANDRIVEL_MVIEW_SETTER(SetVertBorder, vertBorder_, int)
KANDRIVEL_MVIEW_SETTER(SetBottomGap, bottomGap_, int)
KANDRIVEL_MVIEW_SETTER(SetUpperGap, upperGap_, int)
KANDRIVEL_MVIEW_SETTER(SetGridWidth, gridWidth_, int)
KANDRIVEL_MVIEW_SETTER(SetVisibleSelection, visibleSelection_, bool)
KANDRIVEL_MVIEW_SETTER(SetSelectionWidth, selectionWidth_, int)
KANDRIVEL_MVIEW_SETTER(SetSelectionColor, selectionColor_, TColor)
#undef KANDRIVEL_MVIEW_SETTER

void TImageKitMView::SetDisplayMode(TIKMDisplayMode mode)
{
    // While playing the mode is remembered for when playback stops.
    if (playing_) {
        savedMode_ = mode;
        return;
    }
    displayMode_ = mode;
    Update();
}
