// Selections and mouse modes of the single-image view. Points are kept in bitmap
// coordinates (fractions kept), so zooming and scrolling never move them.
#include "imaging/view/image_kit_view.h"

#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/timer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <numbers>

QPointF TImageKitView::clientToBitmap(double x, double y) const
{
    return QPointF((x + viewX_ - offsetX_) * 100.0 / zoom_, (y + viewY_ - offsetY_) * 100.0 / zoom_);
}

QPoint TImageKitView::bitmapToClient(const QPointF& b) const
{
    const double f = zoom_ / 100.0;
    auto conv = [](double v) { return int(std::clamp(std::nearbyint(v), -1e9, 1e9)); };
    return QPoint(conv(b.x() * f) + offsetX_ - viewX_, conv(b.y() * f) + offsetY_ - viewY_);
}

void TImageKitView::recomputeBox()
{
    TIKSelectionRecord& r = *sel_;
    if (r.Points.size() < 2) {
        r.X1 = r.Y1 = r.X2 = r.Y2 = 0;
        return;
    }
    r.X1 = r.X2 = r.Points[0].x();
    r.Y1 = r.Y2 = r.Points[0].y();
    for (const QPointF& p : r.Points) {
        r.X1 = std::min(r.X1, p.x());
        r.Y1 = std::min(r.Y1, p.y());
        r.X2 = std::max(r.X2, p.x());
        r.Y2 = std::max(r.Y2, p.y());
    }
}

void TImageKitView::appendPoint(const QPointF& bp)
{
    TIKSelectionRecord& r = *sel_;
    if (r.Points.size() == r.Points.capacity())
        r.Points.reserve(r.Points.size() + 64);
    r.Points.push_back(bp);
    if (r.Points.size() == 2) {
        recomputeBox();
    } else if (r.Points.size() > 2) {
        r.X1 = std::min(r.X1, bp.x());
        r.Y1 = std::min(r.Y1, bp.y());
        r.X2 = std::max(r.X2, bp.x());
        r.Y2 = std::max(r.Y2, bp.y());
    }
    selected_ = true;
}

void TImageKitView::clearPoints()
{
    sel_->Points.clear();
    recomputeBox();
}

void TImageKitView::addClientPoint(int x, int y, bool repaintNow)
{
    appendPoint(clientToBitmap(x, y));
    if (repaintNow && lock_ == 0)
        Invalidate();
}

int TImageKitView::SelectionPointCount() const { return int(sel_->Points.size()); }

// A selection exists only with at least three points or a box of some extent.
bool TImageKitView::HasSelection() const
{
    if (!selected_)
        return false;
    const size_t n = sel_->Points.size();
    if (n >= 3)
        return true;
    return n == 2 && SelectionX1() < SelectionX2() && SelectionY1() < SelectionY2();
}

const std::vector<TPoint>& TImageKitView::GetSelectionPolygon()
{
    polygon_.clear();
    polygon_.reserve(sel_->Points.size());
    for (const QPointF& p : sel_->Points)
        polygon_.push_back(TPoint(Round(p.x()), Round(p.y())));
    return polygon_;
}

int TImageKitView::SelectionX1() const { return Round(sel_->X1); }
int TImageKitView::SelectionY1() const { return Round(sel_->Y1); }
int TImageKitView::SelectionX2() const { return Round(sel_->X2); }
int TImageKitView::SelectionY2() const { return Round(sel_->Y2); }

bool TImageKitView::IsRectangularSelection(const TPoint* points, int count)
{
    if (count != 4 || !points)
        return false;
    bool vertical[4];
    for (int i = 0; i < 4; ++i) {
        const TPoint& a = points[i];
        const TPoint& b = points[(i + 1) % 4];
        if (a.X == b.X && a.Y != b.Y)
            vertical[i] = true;
        else if (a.Y == b.Y && a.X != b.X)
            vertical[i] = false;
        else
            return false;
    }
    return vertical[0] != vertical[1] && vertical[1] != vertical[2] && vertical[2] != vertical[3] &&
           vertical[3] != vertical[0];
}

bool TImageKitView::AnimatedSel() const { return sel_->Animated; }
void TImageKitView::SetAnimatedSel(bool on) { sel_->Animated = on; }

void TImageKitView::SelectRect(int x1, int y1, int x2, int y2)
{
    if (x1 == x2 || y1 == y2)
        return;
    QPointF a, b;
    if (selectionBase_ == iksbBitmap) {
        // Bitmap pixels are stored as they are: no snapping to the zoom grid.
        a = QPointF(x1, y1);
        b = QPointF(x2, y2);
    } else {
        a = clientToBitmap(x1, y1);
        b = clientToBitmap(x2, y2);
    }
    const double l = std::min(a.x(), b.x()), r = std::max(a.x(), b.x());
    const double t = std::min(a.y(), b.y()), btm = std::max(a.y(), b.y());
    selected_ = true;
    clearPoints();
    appendPoint(QPointF(l, t));
    appendPoint(QPointF(r, t));
    appendPoint(QPointF(r, btm));
    appendPoint(QPointF(l, btm));
    // The old outline may lie outside the new one.
    if (lock_ == 0)
        Invalidate();
    ShowSelection(true);
}

void TImageKitView::AddSelPoint(int x, int y)
{
    if (selectionBase_ == iksbBitmap)
        appendPoint(QPointF(x, y));
    else
        appendPoint(clientToBitmap(x, y));
    if (lock_ == 0)
        Invalidate();
    ShowSelection(true);
}

void TImageKitView::Deselect()
{
    if (selected_) {
        selected_ = false;
        HideSelection(true);
    }
    clearPoints();
    if (lock_ == 0)
        Invalidate();
    selected_ = polyDrawing_ = rectDrag_ = ellipseDrag_ = false;
}

void TImageKitView::ShowSelection(bool drawNow)
{
    sel_->Visible = true;
    if (drawNow)
        invalidateOutline();
}

void TImageKitView::HideSelection(bool repaint)
{
    sel_->Visible = false;
    if (repaint && lock_ == 0)
        Invalidate();
}

void TImageKitView::OffsetRubberBand(int dx, int dy) { rubberEnd_ -= QPoint(dx, dy); }

void TImageKitView::SelectionTimerTick()
{
    TIKSelectionRecord& r = *sel_;
    if (r.Visible) {
        if (r.Animated && !polyDrawing_ && !rectDrag_ && !ellipseDrag_) {
            r.Phase = r.Phase == 5 ? 0 : r.Phase + 1;
            if (!r.Points.empty() && lock_ == 0)
                invalidateOutline();
        }
    }
    if (filterCountdown_ >= 1) {
        --filterCountdown_;
        if (filterCountdown_ == 0)
            Update();
    }
}

void TImageKitView::SetMouseInteract(TIKMouseInteract mi)
{
    if (mi == mouseInteract_)
        return;
    const TIKMouseInteract added = mi & ~mouseInteract_;
    struct Rule {
        TIKMouseInteractItems mode;
        TIKMouseInteract keep;
    };
    static const Rule rules[] = {
        {miScroll, miZoom | miScroll},         {miSelect, miZoom | miSelect},
        {miSelectPolygon, miSelectPolygon},    {miSelectCircle, miSelectCircle},
        {miSelectZoom, miZoom | miSelectZoom}, {miZoom, miZoom | miScroll | miSelect | miSelectZoom},
    };
    for (const Rule& rule : rules) {
        if (added & rule.mode) {
            mi &= rule.keep;
            break;
        }
    }
    mouseInteract_ = mi;
}

void TImageKitView::clampToDrawn(int& x, int& y) const
{
    x = std::max(offsetX_, std::min(x, offsetX_ + drawnW_ - 1));
    y = std::max(offsetY_, std::min(y, offsetY_ + drawnH_ - 1));
}

void TImageKitView::snap(int& px, int& py) const
{
    if (sel_->Points.empty())
        return;
    const QPoint last = bitmapToClient(sel_->Points.back());
    const int ax = last.x(), ay = last.y();
    const int dx = std::abs(ax - px), dy = std::abs(ay - py);
    if (dy > dx + 30) {
        px = ax;
    } else if (dx > dy + 30) {
        py = ay;
    } else {
        const int k = std::abs(dx - dy);
        const bool wide = dx >= dy;
        if (px > ax && py > ay) {
            if (wide)
                py += k;
            else
                px += k;
        } else if (px < ax && py < ay) {
            if (wide)
                px += k;
            else
                py += k;
        } else if (px < ax && py >= ay) {
            if (wide)
                py += k;
            else
                px -= k;
        } else if (px >= ax && py < ay) {
            if (wide)
                py -= k;
            else
                px += k;
        }
    }
}

void TImageKitView::autoScroll()
{
    // The cursor does not move while we loop, so this ends at the edge at the latest.
    for (int guard = 0; guard < 100000; ++guard) {
        const QPoint c = CursorClientPos();
        const int right = offsetX_ + drawnW_ - 1, bottom = offsetY_ + drawnH_ - 1;
        const int dx = c.x() < offsetX_ ? c.x() - offsetX_ : (c.x() > right ? c.x() - right : 0);
        const int dy = c.y() < offsetY_ ? c.y() - offsetY_ : (c.y() > bottom ? c.y() - bottom : 0);
        if (dx == 0 && dy == 0)
            return;
        const int ox = viewX_, oy = viewY_;
        SetViewXY(viewX_ + dx, viewY_ + dy);
        const int mx = viewX_ - ox, my = viewY_ - oy;
        if (mx == 0 && my == 0)
            return;
        downPoint_ -= QPoint(mx, my);
        OffsetRubberBand(mx, my);
    }
}

void TImageKitView::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TIKView::MouseDown(button, shift, x, y);
    const TIKSelectionBase savedBase = selectionBase_;
    selectionBase_ = iksbClientArea;
    clampToDrawn(x, y);
    rubberEnd_ = downPoint_ = QPoint(x, y);
    downViewX_ = viewX_;
    downViewY_ = viewY_;
    if (mouseInteract_ & miSelectPolygon) {
        if (!polyDrawing_)
            Deselect();
        if ((shift & ssCtrl) && !sel_->Points.empty())
            snap(x, y);
        AddSelPoint(x, y);
        polyDrawing_ = true;
    } else if (mouseInteract_ & (miSelect | miSelectZoom)) {
        rectDrag_ = true;
    } else if (mouseInteract_ & miSelectCircle) {
        if (!ellipseDrag_)
            Deselect();
        ellipseDrag_ = true;
        ShowSelection(false);
    }
    selectionBase_ = savedBase;
}

void TImageKitView::MouseMove(TShiftState shift, int x, int y)
{
    TIKView::MouseMove(shift, x, y);
    const TIKSelectionBase savedBase = selectionBase_;
    selectionBase_ = iksbClientArea;
    const int ux = x, uy = y;
    clampToDrawn(x, y);
    if (MouseCapture()) {
        if (mouseInteract_ & miScroll)
            SetViewXY(downViewX_ + downPoint_.x() - ux, downViewY_ + downPoint_.y() - uy);
        if (rectDrag_) {
            autoScroll();
            SelectRect(downPoint_.x(), downPoint_.y(), x, y);
        }
        if (polyDrawing_) {
            autoScroll();
            addClientPoint(x, y, false);
            ShowSelection(true);
        }
        if (ellipseDrag_) {
            autoScroll();
            clearPoints();
            Invalidate();
            int rx = std::abs(downPoint_.x() - x), ry = std::abs(downPoint_.y() - y);
            if (shift & ssCtrl)
                rx = ry = std::max(rx, ry);
            const int n = Trunc(std::min(rx, ry) * 2 * std::numbers::pi) / 4;
            for (int m = 0; m < n; ++m) {
                const double a = 2 * std::numbers::pi / n * m;
                addClientPoint(Trunc(std::cos(a) * rx + downPoint_.x()), Trunc(std::sin(a) * ry + downPoint_.y()),
                               false);
            }
            ShowSelection(true);
        }
    } else if (polyDrawing_) {
        if (shift & ssCtrl)
            snap(x, y);
        rubberEnd_ = QPoint(x, y);
        Invalidate();
    }
    rubberEnd_ = QPoint(x, y);
    selectionBase_ = savedBase;
}

static int zoomStepIn(int z)
{
    if (z >= 100)
        return z + 100;
    for (int s : {2, 5, 10, 25, 33, 50, 75, 100})
        if (s > z)
            return s;
    return 100;
}

static int zoomStepOut(int z)
{
    if (z >= 200)
        return z - 100;
    int best = 2;
    for (int s : {2, 5, 10, 25, 33, 50, 75, 100})
        if (s < z)
            best = s;
    return best;
}

void TImageKitView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TIKView::MouseUp(button, shift, x, y);
    const int ux = x, uy = y;
    clampToDrawn(x, y);
    if ((mouseInteract_ & miZoom) && QPoint(x, y) == downPoint_) {
        if (button != mbMiddle)
            ZoomAt(x, y, button == mbLeft ? zoomStepIn(zoom_) : zoomStepOut(zoom_));
    } else if (mouseInteract_ & miScroll) {
        SetViewXY(downViewX_ + downPoint_.x() - ux, downViewY_ + downPoint_.y() - uy);
    } else if (mouseInteract_ & miSelectZoom) {
        rectDrag_ = false;
        ZoomSelection();
    } else if (mouseInteract_ & miSelect) {
        rectDrag_ = false;
    } else if (mouseInteract_ & miSelectCircle) {
        ellipseDrag_ = false;
    }
}

void TImageKitView::DoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    TIKView::DoubleClick(button, shift, x, y);
    if (button == mbLeft && polyDrawing_) {
        // The second press appended one point too many.
        if (!sel_->Points.empty()) {
            sel_->Points.pop_back();
            recomputeBox();
        }
        polyDrawing_ = false;
        Invalidate();
    }
}

void TImageKitView::ZoomSelection()
{
    if (!HasSelection())
        return;
    const int x1 = SelectionX1(), y1 = SelectionY1(), x2 = SelectionX2(), y2 = SelectionY2();
    LockUpdate();
    Deselect();
    // A box given in bitmap pixels may span the whole integer range: 64-bit arithmetic.
    const int64_t w = int64_t(x2) - x1 + 1, h = int64_t(y2) - y1 + 1;
    SetZoom(std::max(1, std::min(Trunc(Width() / (w / 100.0)), Trunc(Height() / (h / 100.0)))));
    const double f = zoom_ / 100.0;
    auto start = [](int64_t pos, int64_t client, int64_t size) {
        return int(std::clamp<int64_t>(pos - (client - size) / 2, INT_MIN, INT_MAX));
    };
    SetViewXY(start(Trunc64(x1 * f), ClientWidth(), Trunc64(w * f)),
              start(Trunc64(y1 * f), ClientHeight(), Trunc64(h * f)));
    UnlockUpdate();
}
