// A list of images shown as a grid of thumbnail cells (or one cell at a time), with
// selection by mouse and keys and timed playback. Images rest packed (as packed DIBs)
// and are unpacked into a TBitmap only while somebody holds them; an empty image is
// loaded on demand, from its owner by number or from its file.
#pragma once

#include "imaging/common/types.h"
#include "imaging/view/ik_view.h"
#include "imaging/view/image_kit_view.h"

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TImageKitIO;
class TTimer;

enum TIKStoreType { iktNormal, iktThumb };
enum TIKMDisplayMode { mdGrid, mdSingle };
enum TIKMMouseInteractItem { mmiScroll = 1, mmiSelect = 2 };
using TIKMMouseInteract = int;
enum TIKMKeyInteractItem { mkiMoveSelected = 1 };
using TIKMKeyInteract = int;

using TIKMProgressEvent = std::function<void(TObject* Sender, int per, int idx)>;
using TIKImageIDRequestEvent = std::function<void(TObject* Sender, int ID, TBitmap*& Bitmap)>;
using TIKImageDrawEvent = std::function<void(TObject* Sender, int idx, int Left, int Top, TCanvas* Canvas)>;
using TIKImageSelectEvent = std::function<void(TObject* Sender, int idx)>;

// Thumbnail of a w × h image in a W × H box: scaled to fit (small images grow too).
// False, and nothing to draw, when either size is empty.
bool ThumbnailSize(int w, int h, int boxW, int boxH, int& outW, int& outH);

class TImageKitMView : public TIKView {
    Q_OBJECT
public:
    explicit TImageKitMView(QWidget* owner = nullptr);
    ~TImageKitMView() override;

    // ---- images (multi_view.cpp) ----
    int ImageCount() const { return int(images_.size()); }
    void InsertImage(int n);
    void DeleteImage(int n);
    void Clear();
    // Packs a copy of the bitmap (reduced to the thumbnail with iktThumb); the caller
    // keeps its bitmap.
    void SetImage(int n, const TBitmap* bitmap);
    void SetImageBackground(int n, TColor color);
    void SetImageDelay(int n, int milliseconds);
    void SetImageFileName(int n, const QString& fileName);
    void SetImageID(int n, int id);
    TColor ImageBackground(int n) const;
    int ImageDelay(int n) const;
    // The image's cell in the full layout (no view offset); empty for a bad index.
    TRect ImageRect(int n) const;
    // Whether image n holds packed data, and how many users hold it unpacked.
    bool ImageIsPacked(int n) const;
    int ImageUseCount(int n) const;

    int SelectedImage() const { return selected_; }
    void SetSelectedImage(int n);
    void Deselect();
    // Unpacks image n for a caller (null when it has none or n is out of range); every
    // call is answered by one ReleaseImageBitmap.
    TBitmap* GetImageBitmap(int n);
    void ReleaseImageBitmap(int n);
    TBitmap* GetBitmap() override;
    // 2 wholly inside the client area, 1 partly, 0 not (or no such image).
    int ImageVisibility(int n) const;

    int PopLastChange();
    int LastChangeIndex() const { return lastChangeIndex_; }

    // ---- layout and scrolling (multi_view.cpp) ----
    void Update() override;
    void SetBackground(TColor color) override;
    int ViewX() const { return viewX_; }
    int ViewY() const { return viewY_; }
    void SetViewXY(int x, int y);
    void SetViewX(int x) { SetViewXY(x, viewY_); }
    void SetViewY(int y) { SetViewXY(viewX_, y); }
    int ExtentWidth() const { return extentW_; }
    int ExtentHeight() const { return extentH_; }
    // Columns of the grid: GridWidth, or as many as fit for −1; 0 means one row.
    int ColumnCount() const;

    TScrollStyle ScrollBars() const { return scrollBars_; }
    virtual void SetScrollBars(TScrollStyle style);
    TIKStoreType StoreType() const { return storeType_; }
    void SetStoreType(TIKStoreType type) { storeType_ = type; }
    int ThumbWidth() const { return thumbW_; }
    void SetThumbWidth(int v);
    int ThumbHeight() const { return thumbH_; }
    void SetThumbHeight(int v);
    int HorizBorder() const { return horizBorder_; }
    void SetHorizBorder(int v);
    int VertBorder() const { return vertBorder_; }
    void SetVertBorder(int v);
    int BottomGap() const { return bottomGap_; }
    void SetBottomGap(int v);
    int UpperGap() const { return upperGap_; }
    void SetUpperGap(int v);
    TIKMDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TIKMDisplayMode mode);
    int GridWidth() const { return gridWidth_; }
    void SetGridWidth(int v);
    bool VisibleSelection() const { return visibleSelection_; }
    void SetVisibleSelection(bool v);
    int SelectionWidth() const { return selectionWidth_; }
    void SetSelectionWidth(int v);
    TColor SelectionColor() const { return selectionColor_; }
    void SetSelectionColor(TColor c);
    TIKMMouseInteract MouseInteract() const { return mouseInteract_; }
    virtual void SetMouseInteract(TIKMMouseInteract v) { mouseInteract_ = v; }
    TIKMKeyInteract KeyInteract() const { return keyInteract_; }
    virtual void SetKeyInteract(TIKMKeyInteract v) { keyInteract_ = v; }

    // ---- playback (multi_view_input.cpp) ----
    bool Playing() const { return playing_; }
    void SetPlaying(bool on);
    bool PlayLoop = true;
    int PlayIndex() const { return playIndex_; }
    // The running playback timer (tests drive it by hand).
    TTimer* PlayTimer() const { return timer_.get(); }

    // ---- painting (multi_view_paint.cpp) ----
    virtual void PaintTo(TCanvas* canvas);

    TViewChangeEvent OnViewChange;
    TIKMProgressEvent OnDrawProgress;
    TIKImageIDRequestEvent OnImageIDRequest;
    TIKImageDrawEvent OnImageDraw;
    TIKImageSelectEvent OnImageSelect;
    TProgressEvent OnIOProgress;

protected:
    virtual void ViewChanged(int kind);
    void Paint() override;
    void Resize() override;
    void Scroll(TScrollBarKind kind, TScrollCode code, int pos) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(int& key, TShiftState shift) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Image {
        std::unique_ptr<TBitmap> bitmap;
        QByteArray packed;
        int useCount = 0;
        int x = 0, y = 0, row = 0, column = 0;
        TColor background = 0;
        QString fileName;
        int id = -1;
        int delay = 0;
        QImage drawn;  // the thumbnail last drawn, dropped with the packed data
        QSize drawnBox;
        qint64 drawnKey = 0;  // cache key of the unpacked bitmap it was drawn from, 0 for packed data
    };
    bool valid(int n) const { return n >= 0 && n < ImageCount(); }
    void freeImage(Image& im);
    void pack(Image& im);
    void loadImage(int n);
    void storeImage(int n, const TBitmap& bitmap);
    void deselect(bool update);
    void layout();
    void maxViewXY(int& mx, int& my) const;
    int pageCells() const;
    // Keys (multi_view_input.cpp).
    void scrollTo(int x, int y);
    void playStep();
    void stopTimer();
    // Painting (multi_view_paint.cpp).
    void drawCell(TCanvas* canvas, int n, int left, int top);

    std::vector<Image> images_;
    TScrollStyle scrollBars_ = ssNone;
    int viewX_ = 0, viewY_ = 0;
    TIKStoreType storeType_ = iktNormal;
    int thumbW_ = 100, thumbH_ = 100;
    int horizBorder_ = 4, vertBorder_ = 4;
    int extentW_ = 0, extentH_ = 0;
    int bottomGap_ = 0, upperGap_ = 0;
    TIKMDisplayMode displayMode_ = mdGrid;
    int gridWidth_ = 0;
    QPoint downPoint_;
    int downViewX_ = 0, downViewY_ = 0;
    std::unique_ptr<TImageKitIO> io_;
    int selected_ = -1;
    bool visibleSelection_ = true;
    int selectionWidth_ = 3;
    TColor selectionColor_ = 255;
    TIKMMouseInteract mouseInteract_ = mmiSelect;
    TIKMKeyInteract keyInteract_ = mkiMoveSelected;
    bool playing_ = false;
    std::unique_ptr<TTimer> timer_;
    bool inStep_ = false;
    bool destroying_ = false;
    int playIndex_ = 0;
    TIKMDisplayMode savedMode_ = mdGrid;
    int savedSelected_ = -1;
    int lastChange_ = 0, lastChangeIndex_ = 0;
    bool inLayout_ = false;
    QRegion drawnCells_;  // cells painted so far in the running PaintTo
};
