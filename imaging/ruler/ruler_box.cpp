// The ruler's properties, grips and mouse handling; drawing is in ruler_paint.cpp.
#include "imaging/ruler/ruler_box.h"

#include "platform/core/rounding.h"
#include "platform/ui/timer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TRulerBox::TRulerBox(QWidget* owner) : TCustomControl(owner), bitmap_(300, 40, pf24bit)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    grips_.push_back(Grip{0, background_, 0, viewMin_, viewMax_});
    scrollTimer_ = new TTimer(this);
    scrollTimer_->SetInterval(10);
    scrollTimer_->SetEnabled(false);
    scrollTimer_->OnTimer = [this](TObject*) { scrollStep(); };
    resize(300, 40);
    Update();
}

TRulerBox::~TRulerBox() = default;


void TRulerBox::SetBackground(TColor c)
{
    background_ = c;
    Update();
}
void TRulerBox::SetGripBaseDim(int d)
{
    gripBaseDim_ = d;
    Update();
}
void TRulerBox::SetGripsDir(TGripsDir d)
{
    gripsDir_ = d;
    Update();
}
void TRulerBox::SetRuler(bool on)
{
    ruler_ = on;
    Update();
}
void TRulerBox::SetRulerColor(TColor c)
{
    rulerColor_ = c;
    Update();
}
void TRulerBox::SetRulerDir(TRulerDir d)
{
    rulerDir_ = d;
    Update();
}
void TRulerBox::SetFitInView(bool on)
{
    fitInView_ = on;
    Update();
}
void TRulerBox::SetHexLabels(bool on)
{
    hexLabels_ = on;
    Update();
}
void TRulerBox::SetFont(const TFont& f)
{
    font_ = f;
    Update();
}

void TRulerBox::SetViewPos(double v)
{
    viewPos_ = v;
    clampViewPos();
    Update();
}

void TRulerBox::SetDotPerUnit(double v)
{
    dotPerUnit_ = v;
    Update();
}
void TRulerBox::SetFrequency(double v)
{
    frequency_ = v;
    Update();
}
void TRulerBox::SetLabelFreq(double v)
{
    labelFreq_ = v;
    Update();
}

void TRulerBox::SetViewMin(double v)
{
    viewMin_ = v;
    clampViewPos();
    for (Grip& g : grips_)
        g.Min = v;
    Update();
}

void TRulerBox::SetViewMax(double v)
{
    viewMax_ = v;
    clampViewPos();
    for (Grip& g : grips_)
        g.Max = v;
    Update();
}

void TRulerBox::SetGripsCount(int n)
{
    if (n < 0)
        n = 0;
    if (n == GripsCount())
        return;
    grips_.resize(size_t(n), Grip{0, background_, 0, viewMin_, viewMax_});
    Update();
}

double TRulerBox::GetGripPos(int index) const
{
    return index >= 0 && index < GripsCount() ? grips_[size_t(index)].Pos : 0.0;
}

void TRulerBox::SetGripPos(int index, double pos)
{
    if (index < 0 || index >= GripsCount())
        return;
    grips_[size_t(index)].Pos = pos;
    holdInRange(index);
    if (OnRulerPosChange)
        OnRulerPosChange(this, index);
    Update();
}

TColor TRulerBox::GetGripColor(int index) const
{
    return index >= 0 && index < GripsCount() ? grips_[size_t(index)].Color : 0;
}

void TRulerBox::SetGripColor(int index, TColor c)
{
    if (index < 0 || index >= GripsCount())
        return;
    grips_[size_t(index)].Color = c;
    Update();
}

int TRulerBox::GetGripKind(int index) const
{
    return index >= 0 && index < GripsCount() ? grips_[size_t(index)].Kind : 0;
}

void TRulerBox::SetGripKind(int index, int kind)
{
    if (index >= 0 && index < GripsCount())
        grips_[size_t(index)].Kind = kind & 0xFF;
    Update();
}

bool TRulerBox::validScale() const { return std::isfinite(dotPerUnit_) && dotPerUnit_ > 0; }

int TRulerBox::length() const { return rulerDir_ == rdHorizontal ? bitmap_.Width() : bitmap_.Height(); }
int TRulerBox::across() const { return rulerDir_ == rdHorizontal ? bitmap_.Height() : bitmap_.Width(); }

int TRulerBox::GripPixel(int index) const { return Round((GetGripPos(index) - viewPos_) * dotPerUnit_); }

// Units over the ruler's own length (a vertical ruler's height, not its width).
double TRulerBox::VisibleUnits() const { return validScale() ? length() / dotPerUnit_ : 0.0; }

int TRulerBox::BandHeight() const { return ruler_ ? Trunc(std::abs(font_.Height()) * 1.7) + 3 : 0; }

void TRulerBox::clampViewPos()
{
    if (!(viewMin_ < viewMax_))
        return;
    if (viewPos_ < viewMin_)
        viewPos_ = viewMin_;
    else if (viewPos_ > viewMax_ - VisibleUnits())
        viewPos_ = viewMax_ - VisibleUnits();
}

void TRulerBox::holdInRange(int index)
{
    const Grip& g = grips_[size_t(index)];
    if (!(g.Max > g.Min))
        return;
    if (g.Pos < g.Min)
        SetGripPos(index, g.Min);
    else if (g.Pos > g.Max)
        SetGripPos(index, g.Max);
}

std::vector<TPoint> TRulerBox::GripShape(int index) const
{
    if (index < 0 || index >= GripsCount())
        return {};
    // A grip far off the ruler is drawn just as far off at a bound outside it, so that
    // the shape's corners cannot overflow (widgets are below 2^24 pixels).
    constexpr int kLimit = 1 << 24;
    const int dim = std::clamp(gripBaseDim_, -kLimit, kLimit);
    const int far = length() + std::abs(dim) + 1;
    const int p = std::clamp(GripPixel(index), -far, far);
    const int D = across();
    const int B = BandHeight();
    const bool up = gripsDir_ == gdUp;
    const int base = up ? D - 1 : 0;
    const int tip = up ? B : D - 1 - B;
    const int h = dim / 2, q = dim / 4;
    std::vector<TPoint> pts;
    switch (grips_[size_t(index)].Kind & 0x7F) {
    case 0: pts = {{p - h, base}, {p + h, base}, {p, tip}}; break;
    case 1: pts = {{p - h, base}, {p, base}, {p, tip}}; break;
    case 2: pts = {{p, base}, {p + h, base}, {p, tip}}; break;
    case 3: {
        const int m = up ? tip + (base - tip) / 3 : base + (tip - base) / 3 * 2;
        pts = {{p - q, base}, {p + q, base}, {p + q, m}, {p + h, m}, {p, tip}, {p - h, m}, {p - q, m}};
        break;
    }
    case 4: {
        const int m = base + (tip - base) / 2;
        pts = {{p - h, base}, {p + h, base}, {p + h, m}, {p, tip}, {p - h, m}};
        break;
    }
    default: break;  // kinds 5 … 127 have no shape
    }
    if (rulerDir_ == rdVertical)
        for (TPoint& pt : pts)
            std::swap(pt.X, pt.Y);
    return pts;
}

int TRulerBox::GripAt(int x, int y) const
{
    for (int i = GripsCount() - 1; i >= 0; --i) {
        const std::vector<TPoint> pts = GripShape(i);
        if (pts.empty())
            continue;
        int l = pts[0].X, r = pts[0].X, t = pts[0].Y, b = pts[0].Y;
        for (const TPoint& pt : pts) {
            l = std::min(l, pt.X);
            r = std::max(r, pt.X);
            t = std::min(t, pt.Y);
            b = std::max(b, pt.Y);
        }
        if (x >= l && x <= r && y >= t && y <= b)
            return i;
    }
    return -1;
}

void TRulerBox::Resize()
{
    TCustomControl::Resize();
    bitmap_.SetSize(std::max(0, ClientWidth()), std::max(0, ClientHeight()));
    Update();
}

void TRulerBox::Paint()
{
    if (Canvas())
        Canvas()->Draw(0, 0, Picture());
}

void TRulerBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    grabbed_ = GripAt(x, y);
    down_ = QPoint(x, y);
    if (grabbed_ >= 0) {
        if ((shift & ssDouble) && OnRulerGripDblClick)
            OnRulerGripDblClick(this, grabbed_);
        grabPixel_ = GripPixel(grabbed_);
    } else if (validScale() && OnRulerClick) {
        const int along = rulerDir_ == rdHorizontal ? x : y;
        OnRulerClick(this, along / dotPerUnit_ + viewPos_);
    }
}

void TRulerBox::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!MouseCapture() || grabbed_ < 0 || grabbed_ >= GripsCount() || !validScale())
        return;
    const int v = rulerDir_ == rdHorizontal ? x : y;
    const int vp = rulerDir_ == rdHorizontal ? down_.x() : down_.y();
    const int L = length();
    if (v >= 0 && v <= L) {
        scrollSide_ = 0;
        scrollTimer_->SetEnabled(false);
        SetGripPos(grabbed_, (v + grabPixel_ - vp) / dotPerUnit_ + viewPos_);
        return;
    }
    const int side = v < 0 ? -1 : 1;
    if (side != scrollSide_) {
        // The first step at once, further ones from the timer while the pointer stays out.
        scrollSide_ = side;
        scrollStep();
        scrollTimer_->SetEnabled(true);
    }
}

void TRulerBox::scrollStep()
{
    const int v = rulerDir_ == rdHorizontal ? CursorClientPos().x() : CursorClientPos().y();
    const bool outside = scrollSide_ < 0 ? v < 0 : v >= length();
    if (!MouseCapture() || grabbed_ < 0 || grabbed_ >= GripsCount() || !validScale() || scrollSide_ == 0 || !outside) {
        scrollSide_ = 0;
        scrollTimer_->SetEnabled(false);
        return;
    }
    const int vp = rulerDir_ == rdHorizontal ? down_.x() : down_.y();
    const double step = 1.0 / dotPerUnit_;
    Grip& g = grips_[size_t(grabbed_)];
    if (scrollSide_ < 0) {
        g.Pos = (grabPixel_ - vp) / dotPerUnit_ + viewPos_ - step;
        holdInRange(grabbed_);
        viewPos_ -= step;
    } else {
        g.Pos = (length() + grabPixel_ - vp - 1) / dotPerUnit_ + viewPos_ + step;
        holdInRange(grabbed_);
        viewPos_ += step;
    }
    clampViewPos();
    Update();
    if (OnRulerPosChange)
        OnRulerPosChange(this, grabbed_);
}

void TRulerBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    scrollSide_ = 0;
    scrollTimer_->SetEnabled(false);
    if (button != mbLeft)
        return;
    if (grabbed_ >= 0 && QPoint(x, y) == down_ && OnRulerGripClick)
        OnRulerGripClick(this, grabbed_);
}
