// The processing component: attachment, work area, undo, and the operations on the attached bitmap.
#include "imaging/proc/image_kit_proc.h"
#include "platform/core/parallel_for.h"
#include "platform/graphics/row_access.h"

#include "imaging/common/msg_tables.h"
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_space.h"
#include "imaging/proc/geometry.h"
#include "imaging/proc/pixel_rows.h"
#include "imaging/proc/quantizer.h"
#include "imaging/view/image_kit_view.h"
#include "platform/graphics/bitmap.h"
#include "platform/core/color.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/region.h"
#include "platform/ui/image_control.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

TImageKitProc::TImageKitProc(QObject* owner) : QObject(owner) {}

TImageKitProc::~TImageKitProc()
{
    detachView();
    detachImage();
    ClearUndo();
}

// ---- attachment ----------------------------------------------------------------------

void TImageKitProc::BitmapChangedProc(void* data, TIKView*) { static_cast<TImageKitProc*>(data)->BitmapChanged(); }

void TImageKitProc::BitmapChanged()
{
    if (view_)
        bitmap_ = view_->GetBitmap();
}

void TImageKitProc::detachView()
{
    if (!view_)
        return;
    view_->RemoveBitmapChangeListener(&TImageKitProc::BitmapChangedProc, this);
    disconnect(viewGone_);
    if (bitmap_ == view_->GetBitmap())
        bitmap_ = nullptr;
    view_ = nullptr;
}

void TImageKitProc::detachImage()
{
    if (!image_)
        return;
    disconnect(imageGone_);
    if (bitmap_ == image_->PictureBitmap())
        bitmap_ = nullptr;
    image_ = nullptr;
}

void TImageKitProc::SetAttachedImageKit(TIKView* view)
{
    if (view == view_)
        return;
    detachView();
    if (!view)
        return;
    detachImage();
    view_ = view;
    bitmap_ = view->GetBitmap();
    // A view that goes away first takes its listener list with it; only forget it.
    viewGone_ = connect(view, &QObject::destroyed, this, [this] {
        view_ = nullptr;
        bitmap_ = nullptr;
    });
    view->AddBitmapChangeListener(&TImageKitProc::BitmapChangedProc, this);
}

void TImageKitProc::SetAttachedTImage(TImage* image)
{
    if (image == image_)
        return;
    detachView();
    detachImage();
    if (!image)
        return;
    image_ = image;
    bitmap_ = image->PictureBitmap();
    imageGone_ = connect(image, &QObject::destroyed, this, [this] {
        image_ = nullptr;
        bitmap_ = nullptr;
    });
}

void TImageKitProc::SetAttachedBitmap(TBitmap* bitmap)
{
    if (!bitmap && (view_ || image_))
        return;
    detachView();
    detachImage();
    bitmap_ = bitmap;
}

TImageKitView* TImageKitProc::imageView() const { return dynamic_cast<TImageKitView*>(view_); }

TColor TImageKitProc::Background() const { return view_ ? view_->Background() : ownBackground_; }

void TImageKitProc::SetBackground(TColor color)
{
    if (view_)
        view_->SetBackground(color);
    else
        ownBackground_ = color;
}

// ---- work area -----------------------------------------------------------------------

void TImageKitProc::SelectRect(int x1, int y1, int x2, int y2)
{
    rx1_ = x1;
    ry1_ = y1;
    rx2_ = x2;
    ry2_ = y2;
    if (TImageKitView* v = imageView()) {
        const TIKSelectionBase base = v->SelectionBase();
        v->SetSelectionBase(iksbBitmap);
        v->SelectRect(x1, y1, x2, y2);
        v->SetSelectionBase(base);
    }
}

bool TImageKitProc::GetWorkArea(int& x1, int& y1, int& x2, int& y2, std::vector<TPoint>& polygon)
{
    polygon.clear();
    if (TImageKitView* v = imageView()) {
        if (v->HasSelection()) {
            x1 = v->SelectionX1();
            y1 = v->SelectionY1();
            x2 = v->SelectionX2();
            y2 = v->SelectionY2();
            polygon = v->GetSelectionPolygon();
            return true;
        }
    } else if (rx1_ >= 0) {
        x1 = rx1_;
        y1 = ry1_;
        x2 = rx2_;
        y2 = ry2_;
        OrderPairs(x1, x2, y1, y2);
        return true;
    }
    x1 = 0;
    y1 = 0;
    x2 = bitmap_ ? bitmap_->Width() - 1 : -1;
    y2 = bitmap_ ? bitmap_->Height() - 1 : -1;
    return false;
}

TIKWorkArea TImageKitProc::WorkArea()
{
    TIKWorkArea a;
    a.Selected = GetWorkArea(a.X1, a.Y1, a.X2, a.Y2, a.Polygon);
    if (!bitmap_) {
        a.X2 = a.X1 - 1;
        return a;
    }
    // Selections may reach past the image (select-all passes width and height).
    a.X1 = std::max(a.X1, 0);
    a.Y1 = std::max(a.Y1, 0);
    a.X2 = std::min(a.X2, bitmap_->Width() - 1);
    a.Y2 = std::min(a.Y2, bitmap_->Height() - 1);
    // A polygon that covers no pixel of the image (all points on one line, or one
    // point clicked three times) is as empty as a box outside it.
    if (!a.Empty() && isTruePolygon(a)) {
        const TRegion region = TRegion::FromPolygon(a.Polygon, TRect(0, 0, bitmap_->Width(), bitmap_->Height()));
        if (region.IsEmpty())
            a.X2 = a.X1 - 1;
    }
    return a;
}

bool TImageKitProc::isTruePolygon(const TIKWorkArea& area) const
{
    return !area.Polygon.empty() &&
           !TImageKitView::IsRectangularSelection(area.Polygon.data(), int(area.Polygon.size()));
}

template <class Op> void TImageKitProc::onArea(const TIKWorkArea& area, Op op)
{
    if (isTruePolygon(area)) {
        TBitmap copy;
        CopyBitmapArea(bitmap_, &copy, area.X1, area.Y1, area.X2, area.Y2);
        op(&copy, 0, 0, copy.Width() - 1, copy.Height() - 1);
        DrawThroughPolygon(bitmap_, area.X1, area.Y1, &copy, area.Polygon);
    } else {
        op(bitmap_, area.X1, area.Y1, area.X2, area.Y2);
    }
}

// ---- undo, progress, refresh -----------------------------------------------------------

std::unique_ptr<TBitmap> TImageKitProc::prepareUndo()
{
    if (!bitmap_ || UndoLimit <= 0)
        return nullptr;
    // Room in the stack now, so that committing cannot fail once the work is done.
    undo_.reserve(undo_.size() + 1);
    // Shares the pixels: the image's first write gives it its own copy, and that write
    // checks the memory before anything changes.
    auto entry = std::make_unique<TBitmap>();
    CopyBitmap(bitmap_, entry.get());
    return entry;
}

void TImageKitProc::commitUndo(std::unique_ptr<TBitmap> entry)
{
    if (!entry)
        return;
    while (!undo_.empty() && int(undo_.size()) >= UndoLimit)
        undo_.erase(undo_.begin());
    undo_.push_back(std::move(entry));
}

void TImageKitProc::SaveUndo()
{
    std::unique_ptr<TBitmap> entry = prepareUndo();
    // Whoever saves by hand edits in place next: the copy is made now, while a refusal
    // still leaves the stack as it was.
    if (entry)
        bitmap_->Detach();
    commitUndo(std::move(entry));
}

void TImageKitProc::runUndoable(const std::function<void()>& op)
{
    std::unique_ptr<TBitmap> entry = autoUndo_ ? prepareUndo() : nullptr;
    TBitmap* const bitmap = bitmap_;
    // A failed operation leaves the image as it found it and enters nothing in the stack.
    const auto rollBack = [&] {
        if (entry && bitmap == bitmap_ && !bitmap->SharesPixelsWith(*entry)) {
            bitmap->Assign(*entry);
            if (view_)
                view_->Update();
        }
    };
    try {
        op();
    } catch (const std::bad_alloc&) {
        rollBack();
        throw EOutOfMemory(QStringLiteral("Out of memory"));
    } catch (...) {
        rollBack();
        throw;
    }
    commitUndo(std::move(entry));
    NotifyChanged();
}

void TImageKitProc::Undo()
{
    if (!bitmap_ || undo_.empty())
        return;
    // The bitmap object stays; only its size, format and pixels come back.
    bitmap_->Assign(*undo_.back());
    undo_.pop_back();
    NotifyChanged();
}

void TImageKitProc::ClearUndo() { undo_.clear(); }

void TImageKitProc::NotifyChanged()
{
    if (view_) {
        view_->Update();
        view_->ImageChanged();
    } else if (bitmap_) {
        bitmap_->Changed();
    }
}

void TImageKitProc::Progress(int done, int rows)
{
    if (!OnProgress || rows <= 0)
        return;
    OnProgress(this, std::min(100, Trunc(done * 100.0 / (rows + 0.5))));
}

// ---- basic operations ----------------------------------------------------------------

void TImageKitProc::Clear()
{
    if (!bitmap_ || bitmap_->Empty())
        return;
    runUndoable([&] { FillBitmapRect(bitmap_, 0, 0, bitmap_->Width() - 1, bitmap_->Height() - 1, Background()); });
}

// Every point operation: nothing without a work area, the undo entry when on, then
// rowOp(row, x1, x2, areaRow) on each row of the area (or of the polygon's copy) on the
// worker threads, with progress unless told otherwise, and the refresh. The work
// estimate that sizes the threads is the area's pixels over pixelsPerWorkUnit.
template <class RowOp>
void TImageKitProc::changeAreaRows(const TIKWorkArea& area, RowOp rowOp, bool progress, int pixelsPerWorkUnit)
{
    if (area.Empty())
        return;
    runUndoable([&] {
        onArea(area, [&](TBitmap* bm, int x1, int y1, int x2, int y2) {
            const int rows = y2 - y1 + 1;
            // Pixels that another holds (the undo step) and a pass over every row: each
            // row is copied where it is changed, not all of them first. Not while the
            // window may paint halfway (its progress lets it), as rows not reached yet
            // hold nothing then.
            const bool hidden = !view_ || !view_->isVisible() || !view_->updatesEnabled();
            const bool copyRows = hidden && y1 == 0 && y2 == bm->Height() - 1 && bm->PixelsShared();
            const TBitmap shared = copyRows ? *bm : TBitmap();
            if (copyRows)
                bm->DetachUncopied();
            // Taken before any worker starts: this is where the image gets pixels of its own.
            const auto bmRows = RowsOf(*bm);
            const auto sharedRows = copyRows ? RowsOf(shared) : TRowsOf<const uint8_t>();
            const size_t rowBytes = size_t(std::min(bm->BytesPerLine(), shared.BytesPerLine()));
            const auto body = [&](int b, int e) {
                for (int y = y1 + b; y < y1 + e; ++y) {
                    if (copyRows)
                        std::memcpy(bmRows[y], sharedRows[y], rowBytes);
                    rowOp(bmRows[y], x1, x2, y - y1);
                }
            };
            const std::function<void(int)> rowsDone = [&](int done) { Progress(done, rows); };
            try {
                ParallelRows(rows, int64_t(x2 - x1 + 1) * rows / pixelsPerWorkUnit, body,
                             progress ? rowsDone : std::function<void(int)>());
            } catch (...) {
                // Rows not reached were never copied: the old pixels come back whole.
                if (copyRows)
                    bm->Assign(shared);
                throw;
            }
        });
    });
}

void TImageKitProc::ConvertToGray()
{
    if (!bitmap_ || bitmap_->PixelFormat() != pf24bit)
        return;
    changeAreaRows(WorkArea(), [](uint8_t* row, int x1, int x2, int) { GreyPixels(row + 3 * x1, x2 - x1 + 1); });
}

void TImageKitProc::Negative()
{
    if (!bitmap_)
        return;
    const TPixelFormat f = bitmap_->PixelFormat();
    if (f == pf24bit) {
        changeAreaRows(WorkArea(), [](uint8_t* row, int x1, int x2, int) {
            for (int i = 3 * x1; i < 3 * (x2 + 1); ++i)
                row[i] = uint8_t(255 - row[i]);
        });
    } else if (f == pf1bit) {
        // A 1-bit image reports no progress.
        changeAreaRows(
            WorkArea(),
            [](uint8_t* row, int x1, int x2, int) {
                for (int x = x1; x <= x2; ++x)
                    row[x >> 3] ^= uint8_t(0x80 >> (x & 7));
            },
            false, 8);
    }
}

void TImageKitProc::Merge(const TBitmap* graphic, int percent)
{
    if (!bitmap_ || bitmap_->PixelFormat() != pf24bit || !graphic || graphic->Empty())
        return;
    const TIKWorkArea area = WorkArea();
    if (area.Empty())
        return;
    // The other image stretched over the work area.
    const QImage other = graphic->Image()
                             .convertToFormat(QImage::Format_BGR888)
                             .scaled(area.Width(), area.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_BGR888);
    // Qt's conversions give a null image when memory runs out.
    if (other.isNull())
        BitmapOutOfMemory(area.Width(), area.Height());
    const uint8_t* const otherBits = other.constBits();
    const ptrdiff_t otherStride = other.bytesPerLine();
    changeAreaRows(area, [&](uint8_t* row, int x1, int x2, int areaRow) {
        BlendBytes(row + 3 * x1, otherBits + otherStride * areaRow, 3 * (x2 - x1 + 1), percent);
    });
}

void TImageKitProc::GetHistogram(TIKHistogram& table)
{
    table.fill(TIKHistogramEntry{});
    if (!bitmap_ || bitmap_->PixelFormat() != pf24bit)
        return;
    const TIKWorkArea area = WorkArea();
    if (area.Empty())
        return;
    for (int y = area.Y1; y <= area.Y2; ++y) {
        const uint8_t* p = std::as_const(*bitmap_).ScanLine(y) + 3 * area.X1;
        for (int x = area.X1; x <= area.X2; ++x, p += 3) {
            ++table[p[2]].Red;
            ++table[p[1]].Green;
            ++table[p[0]].Blue;
            ++table[GreyValue(p[2], p[1], p[0])].Gray;
        }
    }
}

int TImageKitProc::CountColors()
{
    if (!bitmap_)
        return 0;
    if (bitmap_->PixelFormat() == pf1bit)
        return 2;
    if (bitmap_->PixelFormat() != pf24bit)
        return 0;
    const TIKWorkArea area = WorkArea();
    if (area.Empty())
        return 0;
    // One bit per possible colour: photographs count in one pass.
    std::vector<uint64_t> seen(size_t(1) << 18, 0);
    int count = 0;
    for (int y = area.Y1; y <= area.Y2; ++y) {
        const uint8_t* p = std::as_const(*bitmap_).ScanLine(y) + 3 * area.X1;
        for (int x = area.X1; x <= area.X2; ++x, p += 3) {
            const uint32_t c = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            uint64_t& word = seen[c >> 6];
            const uint64_t bit = uint64_t(1) << (c & 63);
            if (!(word & bit)) {
                word |= bit;
                ++count;
            }
        }
    }
    return count;
}

void TImageKitProc::CropToSelection()
{
    if (!bitmap_ || bitmap_->Empty())
        return;
    const TIKWorkArea area = WorkArea();
    if (area.Empty())
        return;
    runUndoable([&] {
        if (!area.Selected)
            return;
        TBitmap cut;
        if (isTruePolygon(area))
            CopyPolygonRect(bitmap_, &cut, area.Polygon, area.X1, area.Y1, area.X2, area.Y2, Background());
        else
            CopyBitmapArea(bitmap_, &cut, area.X1, area.Y1, area.X2, area.Y2);
        CopyBitmap(&cut, bitmap_);
    });
}

// ---- colour reduction and black-and-white --------------------------------------------

bool TImageKitProc::holds(TPixelFormat format) const
{
    return bitmap_ && !bitmap_->Empty() && bitmap_->PixelFormat() == format;
}

void TImageKitProc::ReduceColors(int colorCount)
{
    if (holds(pf24bit))
        runUndoable([&] { ::ReduceColors(*bitmap_, colorCount, this, OnProgress); });
}

void TImageKitProc::ReduceColorsToPalette(int colorCount, TPaletteEntry* palette)
{
    if (holds(pf24bit))
        runUndoable([&] { ::ReduceColorsToPalette(*bitmap_, colorCount, palette, this, OnProgress); });
}

void TImageKitProc::ConvertToBWOrdered()
{
    if (holds(pf24bit))
        runUndoable([&] { ::ConvertToBWOrdered(*bitmap_, this, OnProgress); });
}

void TImageKitProc::ConvertToBWThreshold(int threshold)
{
    if (holds(pf24bit))
        runUndoable([&] { ::ConvertToBWThreshold(*bitmap_, threshold, this, OnProgress); });
}

void TImageKitProc::ConvertTo24Bit()
{
    if (holds(pf1bit))
        runUndoable([&] { ::ConvertTo24Bit(*bitmap_, this, OnProgress); });
}

// ---- geometry ----------------------------------------------------------------------------

void TImageKitProc::ResizeCanvas(int width, int height)
{
    if (bitmap_ && width > 0 && height > 0)
        runUndoable([&] { ::ResizeCanvas(*bitmap_, width, height, Background()); });
}

void TImageKitProc::Resample(int width, int height, TResampleFilter filter)
{
    // An impossible size changes nothing, so it leaves no undo entry either.
    if (bitmap_ && ResampleTargetSize(*bitmap_, width, height))
        runUndoable([&] { ::Resample(*bitmap_, width, height, filter, this, OnProgress); });
}

void TImageKitProc::Rotate(int angle, bool antialias)
{
    // A result no reader would open again is refused before anything changes.
    int64_t w = 0, h = 0;
    if (bitmap_ && RotatedSize(*bitmap_, angle, w, h) && w * h > kMaxReadablePixels) {
        const QString size = QStringLiteral("%1 x %2").arg(w).arg(h);
        throw EInvalidGraphic(MsgColumn(msgLanguage_) == msGerman
                                  ? QStringLiteral("Das gedrehte Bild wäre zu groß (%1 Pixel); größere Bilder "
                                                   "können nicht wieder geöffnet werden.")
                                        .arg(size)
                                  : QStringLiteral("The rotated image would be too large (%1 pixels); larger "
                                                   "images cannot be opened again.")
                                        .arg(size));
    }
    // 1-bit images fill uncovered pixels from the component's own colour.
    if (holds(pf24bit) || holds(pf1bit))
        runUndoable([&] { ::Rotate(*bitmap_, angle, antialias, Background(), ownBackground_ != 0, this, OnProgress); });
}

void TImageKitProc::Flip(int direction)
{
    if (holds(pf24bit) || holds(pf1bit))
        runUndoable([&] { ::Flip(*bitmap_, direction); });
}

// ---- colour split ------------------------------------------------

void TImageKitProc::SplitToHSV(TBitmap* hue, TBitmap* sat, TBitmap* val)
{
    if (!holds(pf24bit) || !hue || !sat || !val)
        return;
    const int w = bitmap_->Width(), h = bitmap_->Height();
    for (TBitmap* b : {hue, sat, val}) {
        b->SetPixelFormat(pf24bit);
        b->SetSize(w, h);
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* p = std::as_const(*bitmap_).ScanLine(y);
        uint8_t* ph = hue->ScanLine(y);
        uint8_t* ps = sat->ScanLine(y);
        uint8_t* pv = val->ScanLine(y);
        for (int x = 0; x < 3 * w; x += 3) {
            int hh, ss, vv;
            RGBToHSV(p[x + 2], p[x + 1], p[x], hh, ss, vv);
            std::fill_n(ph + x, 3, uint8_t(Trunc(hh / 359.0 * 255)));
            std::fill_n(ps + x, 3, uint8_t(Trunc(ss / 99.0 * 255)));
            std::fill_n(pv + x, 3, uint8_t(Trunc(vv / 99.0 * 255)));
        }
        if (OnProgress)
            OnProgress(this, Trunc(y * 100.0 / h));
    }
    for (TBitmap* b : {hue, sat, val})
        b->Changed();
}
