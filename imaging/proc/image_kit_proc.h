// The processing component (TImageKitProc), its work area and histogram.
#pragma once
#include "imaging/common/types.h"
#include "imaging/proc/color_math.h"
#include "platform/core/color.h"
#include "platform/core/geometry.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QMetaObject>
#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TIKView;
class TImage;
class TImageKitView;
struct TPaletteEntry;

// Options of the effects dialog: prppDefaultLockPreview starts it with live preview on.
enum TPRPreviewsParamsItems : unsigned { prppDefaultLockPreview = 1u << 0 };
using TPRPreviewsParams = unsigned;

// One histogram slot: how many pixels have this value in red, green, blue and grey.
// 64-bit: one colour over a 70 000 × 70 000 image is more than 32 bits can count.
struct TIKHistogramEntry {
    int64_t Red = 0;
    int64_t Green = 0;
    int64_t Blue = 0;
    int64_t Gray = 0;
};
using TIKHistogram = std::array<TIKHistogramEntry, 256>;

// The part of the image an operation works on: an inclusive rectangle clamped to the
// image, with the selection polygon (bitmap pixels) when there is one.
struct TIKWorkArea {
    int X1 = 0, Y1 = 0, X2 = -1, Y2 = -1;
    std::vector<TPoint> Polygon;
    bool Selected = false;  // false: the whole image
    bool Empty() const { return X2 < X1 || Y2 < Y1; }
    int Width() const { return X2 - X1 + 1; }
    int Height() const { return Y2 - Y1 + 1; }
};

// The processing component. It works on the current bitmap: the attached view's, the
// attached TImage's, or a bare bitmap; it keeps the undo stack, reports progress per row
// and refreshes the view after every change. Operations on a missing bitmap or an
// unsupported pixel format return without change.
class TImageKitProc : public QObject {
    Q_OBJECT
public:
    explicit TImageKitProc(QObject* owner = nullptr);
    ~TImageKitProc() override;

    // Attachment.
    TIKView* AttachedImageKit() const { return view_; }
    void SetAttachedImageKit(TIKView* view);
    TImage* AttachedTImage() const { return image_; }
    void SetAttachedTImage(TImage* image);
    void SetAttachedBitmap(TBitmap* bitmap);
    // The bitmap operations change (not owned); null when nothing is attached.
    TBitmap* CurrentBitmap() const { return bitmap_; }

    bool AutoUndo() const { return autoUndo_; }
    void SetAutoUndo(bool on) { autoUndo_ = on; }
    // The attached view's background; without a view the component's own colour.
    TColor Background() const;
    void SetBackground(TColor color);
    TMsgLanguage MsgLanguage() const { return msgLanguage_; }
    void SetMsgLanguage(TMsgLanguage language) { msgLanguage_ = language; }
    TPRPreviewsParams PreviewsParams() const { return previewsParams_; }
    void SetPreviewsParams(TPRPreviewsParams params) { previewsParams_ = params; }
    const TFont& PreviewFont() const { return previewFont_; }
    void SetPreviewFont(const TFont& font) { previewFont_ = font; }

    TProgressEvent OnProgress;
    // Most undo entries kept; 0 or less disables undo.
    int UndoLimit = 3;

    // Work area. The stored rectangle (inclusive corners, x1 = −1: none) counts only
    // while no image view is attached; with a view its selection decides.
    void SelectRect(int x1, int y1, int x2, int y2);
    // False (and the whole image) when there is no selection or rectangle.
    bool GetWorkArea(int& x1, int& y1, int& x2, int& y2, std::vector<TPoint>& polygon);
    // The same, clamped to the image; empty when the selection lies outside it or its
    // polygon covers no pixel.
    TIKWorkArea WorkArea();

    // Undo: each entry is a full copy of the bitmap, newest first.
    virtual void SaveUndo();
    virtual void Undo();
    void ClearUndo();
    bool CanUndo() const { return !undo_.empty(); }
    int UndoCount() const { return int(undo_.size()); }

    // Repaints whoever shows the bitmap; runs after every modifying operation.
    void NotifyChanged();

    // Basic operations.
    void Clear();
    void ConvertToGray();
    void Negative();
    // Blends the graphic (stretched over the work area) into the image: p % old image.
    void Merge(const TBitmap* graphic, int percent);
    void GetHistogram(TIKHistogram& table);
    int CountColors();
    void CropToSelection();
    // Hue, saturation and value of the whole image as three grey images; the image
    // itself, its undo stack and its view stay as they are.
    void SplitToHSV(TBitmap* hue, TBitmap* sat, TBitmap* val);
    // The effects dialog on the work area with the pages of the set (1: all); on OK the
    // result goes back into the image as one undo step. True on OK.
    bool DoPreviews(int effects);

    // Clipboard.
    void CopyImageToClipboard();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void PasteToSelection();

    // Colour reduction and black-and-white (whole image).
    void ReduceColors(int colorCount);
    void ReduceColorsToPalette(int colorCount, TPaletteEntry* palette);
    void ConvertToBWOrdered();
    void ConvertToBWThreshold(int threshold);
    void ConvertTo24Bit();

    // Geometry (whole image), forwarded to imaging/proc/geometry.h.
    void ResizeCanvas(int width, int height);
    // A negative size keeps the aspect ratio from the other one.
    void Resample(int width, int height, TResampleFilter filter);
    // Whole degrees, positive counter-clockwise on screen.
    void Rotate(int angle, bool antialias);
    // 0 mirrors left to right, 1 top to bottom.
    void Flip(int direction);

protected:
    // Reports Trunc(done × 100 / (rows + 0.5)) when OnProgress is set.
    void Progress(int done, int rows);

private:
    static void BitmapChangedProc(void* data, TIKView* view);
    void BitmapChanged();
    void detachView();
    void detachImage();
    TImageKitView* imageView() const;
    bool isTruePolygon(const TIKWorkArea& area) const;
    // Runs op on the area: straight on the rectangle, or on a copy of the bounding box
    // drawn back through the polygon. op gets the bitmap and the inclusive rectangle.
    bool holds(TPixelFormat format) const;
    // Runs a modifying operation as one step: the undo entry (when on) is prepared
    // first, entered only when the operation succeeded, and used to put the image back
    // when it failed; then the refresh. Running out of memory raises EOutOfMemory.
    void runUndoable(const std::function<void()>& op);
    // The undo entry of the current bitmap, not yet in the stack (null when undo is off).
    std::unique_ptr<TBitmap> prepareUndo();
    // Enters a prepared entry, dropping the oldest beyond the limit.
    void commitUndo(std::unique_ptr<TBitmap> entry);
    template <class Op> void onArea(const TIKWorkArea& area, Op op);
    template <class RowOp>
    void changeAreaRows(const TIKWorkArea& area, RowOp rowOp, bool progress = true, int pixelsPerWorkUnit = 1);
    bool pasteInto(TBitmap& target);

    bool autoUndo_ = true;
    TIKView* view_ = nullptr;
    TImage* image_ = nullptr;
    TBitmap* bitmap_ = nullptr;
    QMetaObject::Connection viewGone_;
    QMetaObject::Connection imageGone_;
    int rx1_ = -1, ry1_ = -1, rx2_ = -1, ry2_ = -1;
    TColor ownBackground_ = 0;
    TMsgLanguage msgLanguage_ = msEnglish;
    TPRPreviewsParams previewsParams_ = 0;
    TFont previewFont_;
    std::vector<std::unique_ptr<TBitmap>> undo_;  // back() is the newest
};
