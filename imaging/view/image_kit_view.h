// The image view (TImageKitView): zoom, scrolling, selection and mouse interaction.
#pragma once
#include "imaging/common/types.h"
#include "imaging/view/ik_view.h"
#include "platform/core/geometry.h"

#include <QImage>
#include <QPointF>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TTimer;
class QPainter;

enum TIKBackgroundStyle {
    ikbsSolid,
    ikbsHorizontal,
    ikbsVertical,
    ikbsFDiagonal,
    ikbsBDiagonal,
    ikbsCross,
    ikbsDiagCross,
    ikbsChessboard,
    ikbsDiagonals
};

enum TIKMouseInteractItems : unsigned {
    miZoom = 1u << 0,
    miScroll = 1u << 1,
    miSelect = 1u << 2,
    miSelectPolygon = 1u << 3,
    miSelectCircle = 1u << 4,
    miSelectZoom = 1u << 5
};
using TIKMouseInteract = unsigned;

// Whether SelectRect and AddSelPoint take client or bitmap coordinates.
enum TIKSelectionBase { iksbClientArea, iksbBitmap };

// Kind 0: the view was scrolled; 1: the zoom changed.
using TViewChangeEvent = std::function<void(TObject* Sender, int change)>;

// One selection outline. Points are kept in bitmap coordinates (not rounded), so that
// zooming never moves them; they are converted to client pixels for display.
struct TIKSelectionRecord {
    std::vector<QPointF> Points;
    TColor ColorA = clBlack;
    TColor ColorB = RGB(255, 255, 255);
    bool Animated = true;
    int Phase = 0;  // 0 … 5, offset of the dash pattern
    bool Visible = true;
    // Bounding box in bitmap coordinates; valid while there are points.
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// The single-image view: one 24-bit bitmap shown zoomed by a whole percentage, scrolled,
// centred or not, over a background style, with selections and mouse modes.
class TImageKitView : public TIKView {
    Q_OBJECT
public:
    explicit TImageKitView(QWidget* owner = nullptr);
    ~TImageKitView() override;

    // Zoom is kept in 1 … MaxZoom so that zoomed sizes fit in 32 bits.
    static constexpr int MaxZoom = 100000;

    TBitmap* Bitmap() { return bitmap_.get(); }
    TBitmap* GetBitmap() override;

    // Layout (not Qt's update(): recompute sizes, clamp the view, set the scroll bars).
    void Update() override;
    void Paint() override;
    void PaintTo(TCanvas* canvas);
    void PaintTo(QPainter& painter);
    // The visible part of the image at the canvas origin, drawn size.
    void PaintToCanvas(TCanvas* canvas);
    void PaintToCanvas(QPainter& painter);

    void Assign(TImageKitView* source);
    void Assign(const TBitmap* source);
    void FillBackground();
    void Blank();

    void SetBackground(TColor color) override;
    void ImageChanged() override;
    void SetBounds(int left, int top, int width, int height) override;

    int Zoom() const { return zoom_; }
    void SetZoom(int z);
    void Fit();
    void ZoomAt(int x, int y, int z);
    int ViewX() const { return viewX_; }
    int ViewY() const { return viewY_; }
    void SetViewX(int x) { SetViewXY(x, viewY_); }
    void SetViewY(int y) { SetViewXY(viewX_, y); }
    void SetViewXY(int x, int y);
    void GetMaxViewXY(int& maxX, int& maxY) const;
    int ExtentWidth() const;
    int ExtentHeight() const;

    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    int DrawnWidth() const { return drawnW_; }
    int DrawnHeight() const { return drawnH_; }
    int ZoomedWidth() const { return zoomedW_; }
    int ZoomedHeight() const { return zoomedH_; }

    void LockUpdate();
    void UnlockUpdate();
    void UnlockUpdateNoRefresh();
    int UpdateLockCount() const { return lock_; }

    int ScreenToBitmapX(int x) const;
    int ScreenToBitmapY(int y) const;
    int BitmapToScreenX(int x) const;
    int BitmapToScreenY(int y) const;

    TScrollStyle ScrollBars() const { return scrollBars_; }
    virtual void SetScrollBars(TScrollStyle style);
    bool Center() const { return center_; }
    void SetCenter(bool center);
    TResampleFilter ZoomFilter() const { return zoomFilter_; }
    void SetZoomFilter(TResampleFilter filter);
    bool DelayZoomFilter() const { return delayZoomFilter_; }
    void SetDelayZoomFilter(bool delay) { delayZoomFilter_ = delay; }
    int FilterCountdown() const { return filterCountdown_; }
    TIKBackgroundStyle BackgroundStyle() const { return backgroundStyle_; }
    void SetBackgroundStyle(TIKBackgroundStyle style);
    bool DoubleBuffer() const { return doubleBuffer_; }
    void SetDoubleBuffer(bool on);
    bool AutoFit() const { return autoFit_; }
    void SetAutoFit(bool on);
    // True when the last paint of the image took the filtered path.
    bool LastPaintFiltered() const { return lastPaintFiltered_; }
    // Whether painting now would take the filtered path.
    bool WouldFilter() const;

    TViewChangeEvent OnViewChange;
    TNotifyEvent OnImageChange;
    virtual void ViewChanged(int kind);

    // Selections (points and boxes in bitmap coordinates on the outside).
    TIKMouseInteract MouseInteract() const { return mouseInteract_; }
    virtual void SetMouseInteract(TIKMouseInteract mi);
    TIKSelectionBase SelectionBase() const { return selectionBase_; }
    void SetSelectionBase(TIKSelectionBase base) { selectionBase_ = base; }
    bool AnimatedSel() const;
    void SetAnimatedSel(bool on);

    bool HasSelection() const;
    virtual void SelectRect(int x1, int y1, int x2, int y2);
    virtual void AddSelPoint(int x, int y);
    void Deselect();
    void ShowSelection(bool drawNow);
    void HideSelection(bool repaint);
    int SelectionPointCount() const;
    // The polygon in bitmap pixels; the view owns the array until the next call.
    const std::vector<TPoint>& GetSelectionPolygon();
    int SelectionX1() const;
    int SelectionY1() const;
    int SelectionX2() const;
    int SelectionY2() const;
    static bool IsRectangularSelection(const TPoint* points, int count);
    void ZoomSelection();
    virtual void OffsetRubberBand(int dx, int dy);
    const TIKSelectionRecord& SelectionRecord() const { return *sel_; }
    bool PolygonDrawing() const { return polyDrawing_; }
    // The outline's pixel i is colour A when (phase + i) mod 6 < 3.
    void SelectionTimerTick();
    TTimer* SelectionTimer() const { return timer_; }

    // Cursor numbers of the eight view cursors.
    static constexpr int crZoomOut = 1778, crZoomIn = 1779, crCross = 1780, crEraser = 1781, crHand = 1782,
                         crPen = 1783, crCross1 = 1784, crCross2 = 1785;

protected:
    void Resize() override;
    void Scroll(TScrollBarKind kind, TScrollCode code, int pos) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoubleClick(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    // layout
    bool inLayout_ = false;
    // painting
    void paintImage(QPainter& p, int destX, int destY, bool plain, QRect src);
    QRect sourceRect(bool decrementAtEdge) const;
    int zoomCap() const;
    int fitZoom() const;
    void paintBackground(QPainter& p, const QRect& r);
    void drawOutline(QPainter& p);
    void drawRubberLine(QPainter& p);
    void invalidateOutline();
    // selection helpers
    QPointF clientToBitmap(double x, double y) const;
    QPoint bitmapToClient(const QPointF& b) const;
    void appendPoint(const QPointF& bitmapPoint);
    void clearPoints();
    void recomputeBox();
    void addClientPoint(int x, int y, bool repaintNow);
    void autoScroll();
    void snap(int& px, int& py) const;
    void clampToDrawn(int& x, int& y) const;

    std::unique_ptr<TBitmap> bitmap_;
    QImage backBuffer_;  // client-sized, rendered again when dirty
    QImage stretchBuf_;  // the plain stretch's output, reused between paints
    bool backDirty_ = true;
    bool center_ = false;
    TResampleFilter zoomFilter_ = rfNone;
    int filterCountdown_ = 0;
    bool delayZoomFilter_ = false;
    TIKBackgroundStyle backgroundStyle_ = ikbsSolid;
    int lastBmpW_ = 0, lastBmpH_ = 0;
    int viewX_ = 0, viewY_ = 0;
    int zoom_ = 100;
    TScrollStyle scrollBars_ = ssNone;
    int lock_ = 0;
    int offsetX_ = 0, offsetY_ = 0;
    int drawnW_ = 0, drawnH_ = 0;
    int zoomedW_ = 0, zoomedH_ = 0;
    bool doubleBuffer_ = false;
    bool autoFit_ = false;
    bool lastPaintFiltered_ = false;

    // selection and mouse state
    bool selected_ = false;
    std::vector<TPoint> polygon_;
    bool polyDrawing_ = false, rectDrag_ = false, ellipseDrag_ = false;
    QPoint rubberEnd_;
    QPoint downPoint_;
    int downViewX_ = 0, downViewY_ = 0;
    std::unique_ptr<TIKSelectionRecord> sel_;
    TIKSelectionBase selectionBase_ = iksbClientArea;
    TTimer* timer_ = nullptr;
    TIKMouseInteract mouseInteract_ = 0;
};

// Registers the eight view cursors (numbers 1778 … 1785) in the screen cursor table.
void RegisterViewCursors();
