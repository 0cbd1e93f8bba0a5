// The bitmap slider: images, values, ticks, painting, mouse and keyboard.
#include "controls/slider/kit_slider.h"

#include "controls/draw/draw_utils.h"
#include "controls/draw/kit_resources.h"
#include "controls/draw/masked_draw.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/edges.h"
#include "platform/ui/timer.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace {

const char* const defaultImages[4] = {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"};

bool isThumbImage(int index) { return index == 0 || index == 2; }

}  // namespace

TKitCustomSlider::TKitCustomSlider(QWidget* parent) : TCustomControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    RegisterKitCursors();
    for (int i = 0; i < 4; ++i) {
        images_[i] = std::make_unique<TBitmap>();
        loadDefaultImage(i);
    }
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(400);
    timer_->OnTimer = [this](TObject*) { rulerRepeat(); };
    resize(150, 40);
    RebuildLayout();
}

TKitCustomSlider::~TKitCustomSlider()
{
    OnChange = nullptr;
    OnChanged = nullptr;
    OnDrawPoints = nullptr;
}

void TKitCustomSlider::loadDefaultImage(int index)
{
    const TResId id = TResId::Named(QString::fromLatin1(defaultImages[index]));
    auto bmp = LoadResourceBitmap(rmKit, id);
    if (!bmp)
        RaiseMissingResource(id);
    image(index).Assign(*bmp);
}

void TKitCustomSlider::SetImage(int index, const TBitmap* bitmap)
{
    if (index < 0 || index > 3)
        return;
    if (bitmap) {
        image(index).Assign(*bitmap);
        userImages_ |= 1u << index;
    } else {
        loadDefaultImage(index);
        userImages_ &= ~(1u << index);
        // The built-in images rely on their transparent colour.
        options_ &= ~(isThumbImage(index) ? soThumbOpaque : soRulerOpaque);
        Invalidate();
    }
    RebuildLayout();
}

// ---- properties -------------------------------------------------------------

void TKitCustomSlider::SetMinValue(int v)
{
    if (v != minValue_)
        SetRange(v, maxValue_);
}

void TKitCustomSlider::SetMaxValue(int v)
{
    if (v != maxValue_)
        SetRange(minValue_, v);
}

void TKitCustomSlider::SetRange(int min, int max)
{
    if (min >= max || (min == minValue_ && max == maxValue_))
        return;
    minValue_ = min;
    maxValue_ = max;
    if (max < qint64(min) + increment_)
        increment_ = max - min;
    if (options_ & soShowPoints)
        Invalidate();
    SetValue(value_);
    AfterRangeChange();
}

void TKitCustomSlider::SetIncrement(int v)
{
    const qint64 range = qint64(maxValue_) - minValue_;
    if (v > 0 && v <= range) {
        if (v != increment_) {
            increment_ = v;
            SetValue(value_);
            Invalidate();
        }
        return;
    }
    throw Exception(QStringLiteral("Value must be between %1 and %2").arg(1).arg(range));
}

void TKitCustomSlider::SetValue(int v)
{
    v = std::clamp(v, minValue_, maxValue_);
    const int old = value_;
    value_ = v;
    moveThumbTo(ValueToPixel(v));
    if (v != old)
        Change();
}

void TKitCustomSlider::SetEdgeSize(int v)
{
    const TBitmap& src = orientation_ == soHorizontal ? ImageHRuler() : ImageVRuler();
    const int length = orientation_ == soHorizontal ? src.Width() : src.Height();
    if (v < 0 || 2 * qint64(v) >= length || v == edgeSize_)
        return;
    edgeSize_ = v;
    RebuildLayout();
}

void TKitCustomSlider::SetNumThumbStates(int n)
{
    if (n < 1 || n > 2 || n == numThumbStates_)
        return;
    numThumbStates_ = n;
    RebuildLayout();
}

void TKitCustomSlider::SetBevelStyle(TBevelCut b)
{
    if (b == bevelStyle_)
        return;
    bevelStyle_ = b;
    RebuildLayout();
    Repaint();
}

void TKitCustomSlider::SetOrientation(TSliderOrientation o)
{
    if (o == orientation_)
        return;
    orientation_ = o;
    RebuildLayout();
    resize(height(), width());
}

void TKitCustomSlider::SetOptions(TSliderOptions o)
{
    if (o == options_)
        return;
    options_ = o;
    Invalidate();
}

void TKitCustomSlider::SetColor(TColor c)
{
    if (c == color_)
        return;
    color_ = c;
    Invalidate();
}

void TKitCustomSlider::Change()
{
    if (OnChange)
        OnChange(this);
}

void TKitCustomSlider::Changed()
{
    if (OnChanged)
        OnChanged(this);
}

// ---- geometry -----------------------------------------------------------------

void TKitCustomSlider::InnerRect(TRect& r) const
{
    r = TRect(0, 0, width(), height());
    if (bevelStyle_ != bvNone)
        r = TRect(r.Left + bevelWidth_, r.Top + bevelWidth_, r.Right - bevelWidth_, r.Bottom - bevelWidth_);
}

int TKitCustomSlider::thumbLength() const
{
    return orientation_ == soHorizontal ? ImageHThumb().Width() / numThumbStates_ : ImageVThumb().Height();
}

int TKitCustomSlider::TickRange() const
{
    return orientation_ == soHorizontal ? ruler_.Width() - thumbLength() : ruler_.Height() - thumbLength();
}

void TKitCustomSlider::stretchRuler(const TRect& r)
{
    const bool horz = orientation_ == soHorizontal;
    const TBitmap& src = horz ? ImageHRuler() : ImageVRuler();
    const int e = edgeSize_;
    const int length = horz ? src.Width() : src.Height();
    const int seg = length - 2 * e;
    const int target = std::max(0, horz ? r.Width() - 12 : r.Height() - 12);
    const int cross = horz ? src.Height() : src.Width();
    TBitmap out(horz ? target : cross, horz ? cross : target, src.PixelFormat() == pf1bit ? pf1bit : pf24bit);
    if (target > 0 && length > 0 && cross > 0) {
        QPainter p(&out.Image());
        const QImage& s = src.Image();
        // Copies count pixels along the track from the source at from to the target at to.
        auto piece = [&](int from, int to, int count) {
            if (count <= 0)
                return;
            if (horz)
                p.drawImage(QPoint(to, 0), s, QRect(from, 0, count, cross));
            else
                p.drawImage(QPoint(0, to), s, QRect(0, from, cross, count));
        };
        if (seg < 1 || target < 2 * e) {
            // No middle to repeat, or no room for both edges: scale the whole image.
            p.drawImage(QRect(0, 0, out.Width(), out.Height()), s);
        } else {
            const int a = target - 2 * e;
            const int n = a / seg;
            const int rem = a % seg;
            piece(0, 0, length - e);
            for (int i = 1; i < n; ++i)
                piece(e, e + i * seg, seg);
            // Also for a target shorter than the image, so that its far edge is kept.
            piece(e + seg - rem, e + n * seg, e + rem);
        }
    }
    ruler_ = out;
}

void TKitCustomSlider::RebuildLayout()
{
    const int remembered = value_;
    TRect r;
    InnerRect(r);
    stretchRuler(r);
    if (orientation_ == soHorizontal) {
        const int tw = ImageHThumb().Width() / numThumbStates_;
        const int t = ImageHThumb().Height();
        const int h = ruler_.Height();
        if (h < t) {
            thumbRect_ = TRect(r.Left + 6, r.Top + 6, r.Left + 6 + tw, r.Top + 6 + t);
            rulerOrigin_ = TPoint{r.Left + 6, r.Top + 6 + (t - h) / 2};
            tickRect_ = TRect(rulerOrigin_.X, r.Top + t + 7, rulerOrigin_.X + ruler_.Width(), r.Bottom - r.Top - 1);
        } else {
            const int top = r.Top + 6 + (h - t) / 2;
            thumbRect_ = TRect(r.Left + 6, top, r.Left + 6 + tw, top + t);
            rulerOrigin_ = TPoint{r.Left + 6, r.Top + 6};
            tickRect_ = TRect(rulerOrigin_.X, r.Top + h + 7, rulerOrigin_.X + ruler_.Width(), r.Bottom - r.Top - 1);
        }
    } else {
        const int w = ImageVThumb().Width() / numThumbStates_;
        const int th = ImageVThumb().Height();
        const int rw = ruler_.Width();
        if (rw < w) {
            thumbRect_ = TRect(r.Left + 6, r.Top + 6, r.Left + 6 + w, r.Top + 6 + th);
            rulerOrigin_ = TPoint{r.Left + 6 + (w - rw) / 2, r.Top + 6};
            tickRect_ = TRect(r.Left + w + 7, rulerOrigin_.Y, r.Right - r.Left - 1, rulerOrigin_.Y + ruler_.Height());
        } else {
            const int left = r.Left + 6 + (rw - w) / 2;
            thumbRect_ = TRect(left, r.Top + 6, left + w, r.Top + 6 + th);
            rulerOrigin_ = TPoint{r.Left + 6, r.Top + 6};
            tickRect_ = TRect(r.Left + rw + 7, rulerOrigin_.Y, r.Right - r.Left - 1, rulerOrigin_.Y + ruler_.Height());
        }
    }
    SetValue(remembered);
    Invalidate();
}

int TKitCustomSlider::ValueToPixel(int v) const
{
    TRect r;
    InnerRect(r);
    const int base = orientation_ == soHorizontal ? r.Left + 6 : r.Top + 6;
    const double range = double(maxValue_) - minValue_;
    int p = base + Round(TickRange() * (double(v) - minValue_) / range);
    if (orientation_ == soVertical)
        p = r.Top + r.Bottom - p - ImageVThumb().Height();
    return std::max(p, base);
}

int TKitCustomSlider::PixelToValue(int p) const
{
    TRect r;
    InnerRect(r);
    const int tickRange = TickRange();
    // A ruler no longer than the thumb leaves nowhere to go but the minimum.
    if (tickRange <= 0)
        return minValue_;
    if (orientation_ == soVertical)
        p = ClientHeight() - p - ImageVThumb().Height();
    const int offset = p - r.Left - 6;
    double v = double(Round(offset * (double(maxValue_) - minValue_) / tickRange));
    if (!(options_ & soSmooth))
        v = double(Round(v / increment_)) * increment_;
    return int(std::min(std::max(v, 0.0) + minValue_, double(maxValue_)));
}

int TKitCustomSlider::snapThumbPosition(int p) const
{
    TRect r;
    InnerRect(r);
    const int base = orientation_ == soHorizontal ? r.Left + 6 : r.Top + 6;
    const int last = base + TickRange();
    p = std::max(p, base);
    p = ValueToPixel(PixelToValue(std::min(p, last)));
    return std::min(p, last);
}

void TKitCustomSlider::invalidateThumb() { update(thumbRect_.toQRect()); }

void TKitCustomSlider::moveThumbTo(int p)
{
    p = snapThumbPosition(p);
    invalidateThumb();
    const int w = thumbRect_.Width(), h = thumbRect_.Height();
    const TPoint at = orientation_ == soVertical ? TPoint{thumbRect_.Left, p} : TPoint{p, thumbRect_.Top};
    thumbRect_ = TRect(at.X, at.Y, at.X + w, at.Y + h);
    invalidateThumb();
    if (dragging_) {
        const int v = PixelToValue(p);
        if (v != value_) {
            value_ = v;
            Change();
        }
    }
}

// ---- painting -----------------------------------------------------------------

void TKitCustomSlider::Paint()
{
    TCanvas* canvas = Canvas();
    if (!canvas)
        return;
    TCanvas& c = *canvas;
    TRect all(0, 0, width(), height());
    if (bevelStyle_ == bvLowered)
        Frame3D(c, all, clBtnShadow, clBtnHighlight);
    else if (bevelStyle_ != bvNone)
        Frame3D(c, all, clBtnHighlight, clBtnShadow);
    TRect r;
    InnerRect(r);
    c.Brush.Color = color_;
    c.Brush.Style = bsSolid;
    c.FillRect(r);
    if (!ruler_.Empty())
        DrawBitmapMasked(c, rulerOrigin_.X, rulerOrigin_.Y, ruler_, (options_ & soRulerOpaque) ? clNone : clDefault);
    if ((options_ & soShowFocus) && focused_)
        DrawFocusRect(c, TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2));
    if (options_ & soShowPoints) {
        if (OnDrawPoints)
            OnDrawPoints(this);
        else
            DrawTicks(increment_, 3, 5);
    }
    const TBitmap& thumb = orientation_ == soHorizontal ? ImageHThumb() : ImageVThumb();
    const int tw = thumb.Width() / numThumbStates_;
    TRect src(0, 0, tw, thumb.Height());
    if (numThumbStates_ == 2 && (thumbPressed_ || !isEnabled()))
        src = TRect(tw, 0, 2 * tw, thumb.Height());
    DrawBitmapPartMasked(c, thumbRect_.Left, thumbRect_.Top, src, thumb,
                         (options_ & soThumbOpaque) ? clNone : clDefault);
}

void TKitCustomSlider::DrawTicks(int step, int len, int endLen)
{
    TCanvas* canvas = Canvas();
    if (!canvas || step <= 0)
        return;
    TCanvas& c = *canvas;
    c.Pen.Color = clWindowText;
    c.Pen.Style = psSolid;
    const double diff = double(maxValue_) - minValue_;
    const int tickRange = TickRange();
    // The first k whose ticks lie at least 4 pixels apart (or span the ruler at once).
    // A range near the integer limits asks for billions of ticks at k = 1, so k is
    // estimated first and then walked the last few steps; counts stay in 64 bits, and
    // the tick count never exceeds the ruler's length in pixels.
    auto ticks = [&](int64_t k) { return Round64(diff / (double(step) * double(k))) + 1; };
    auto spaced = [&](int64_t n) {
        const int64_t spacing = n > 1 ? tickRange / (n - 1) : tickRange;
        return spacing >= 4 || spacing >= tickRange;
    };
    int64_t k = 1;
    if (!spaced(ticks(1))) {
        // Spaced means at most room + 1 ticks, which diff / (step * k) < room + 0.5 ensures.
        const double room = std::max(1, tickRange / 4);
        k = std::max<int64_t>(2, Trunc64(diff / (double(step) * (room + 0.5))) - 2);
        while (k > 2 && spaced(ticks(k - 1)))
            --k;
        while (!spaced(ticks(k)))
            ++k;
    }
    const int64_t n = std::min<int64_t>(ticks(k), std::max(tickRange, 0) + 1);
    const int half = thumbLength() / 2;
    qint64 v = minValue_;
    for (int64_t i = 1; i <= n; ++i) {
        if (i == n)
            v = maxValue_;
        const int length = (v == minValue_ || v == maxValue_) ? endLen : len;
        const int pos = ValueToPixel(int(v)) + half;
        if (orientation_ == soHorizontal) {
            c.MoveTo(pos, tickRect_.Top);
            c.LineTo(pos, tickRect_.Top + length);
        } else {
            c.MoveTo(tickRect_.Left, pos);
            c.LineTo(tickRect_.Left + length, pos);
        }
        v = std::min<qint64>(v + qint64(step) * k, maxValue_);
    }
}

void TKitCustomSlider::Resize()
{
    TCustomControl::Resize();
    RebuildLayout();
}

void TKitCustomSlider::focusInEvent(QFocusEvent* event)
{
    TCustomControl::focusInEvent(event);
    if (!focused_) {
        focused_ = true;
        if (options_ & soShowFocus)
            Invalidate();
    }
}

void TKitCustomSlider::focusOutEvent(QFocusEvent* event)
{
    TCustomControl::focusOutEvent(event);
    if (focused_) {
        focused_ = false;
        if (options_ & soShowFocus)
            Invalidate();
    }
}

void TKitCustomSlider::changeEvent(QEvent* event)
{
    TCustomControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        invalidateThumb();
}

// ---- keyboard and mouse ----------------------------------------------------------

void TKitCustomSlider::stepValue(int code)
{
    const qint64 rounded = qint64(increment_) * Round(double(value_) / increment_);
    qint64 target = value_;
    switch (code) {
    case 1: target = minValue_; break;
    case 2: target = maxValue_; break;
    case 3: target = rounded + increment_; break;
    case 4: target = rounded - increment_; break;
    default: return;
    }
    target = std::clamp<qint64>(target, minValue_, maxValue_);
    if (target != value_)
        SetValue(int(target));
}

void TKitCustomSlider::KeyDown(int& key, TShiftState shift)
{
    if (!(shift & (ssShift | ssAlt | ssCtrl))) {
        int code = 0;
        if (key == Qt::Key_Home)
            code = 1;
        else if (key == Qt::Key_End)
            code = 2;
        else if (orientation_ == soHorizontal)
            code = key == Qt::Key_Right ? 3 : key == Qt::Key_Left ? 4 : 0;
        else
            code = key == Qt::Key_Up ? 3 : key == Qt::Key_Down ? 4 : 0;
        if (code && AllowChange()) {
            key = 0;
            stepValue(code);
            Changed();
        }
    }
    TCustomControl::KeyDown(key, shift);
}

int TKitCustomSlider::sideOfThumb(int x, int y) const
{
    if (orientation_ == soHorizontal) {
        if (x < thumbRect_.Left)
            return 4;
        if (x > thumbRect_.Right)
            return 3;
    } else {
        if (y < thumbRect_.Top)
            return 3;
        if (y > thumbRect_.Bottom)
            return 4;
    }
    return 0;
}

void TKitCustomSlider::rulerRepeat()
{
    if (sideOfThumb(lastPoint_.X, lastPoint_.Y) != trackDirection_)
        return;
    stepValue(trackDirection_);
    if (!timerRunning_) {
        timerRunning_ = true;
        timer_->SetEnabled(true);
    }
}

void TKitCustomSlider::stopRulerRepeat()
{
    if (!rulerTracking_)
        return;
    if (timerRunning_) {
        timer_->SetEnabled(false);
        timerRunning_ = false;
    }
    rulerTracking_ = false;
    SetMouseCapture(false);
    Changed();
}

void TKitCustomSlider::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || (shift & ssDouble))
        return;
    if (focusPolicy() != Qt::NoFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    if (PointWithinRect(TPoint{x, y}, thumbRect_)) {
        ThumbPress(button, shift, x, y);
        return;
    }
    TRect track(rulerOrigin_.X, rulerOrigin_.Y, rulerOrigin_.X + ruler_.Width(), rulerOrigin_.Y + ruler_.Height());
    if (orientation_ == soHorizontal) {
        track.Top -= 3;
        track.Bottom += 3;
    } else {
        track.Left -= 3;
        track.Right += 3;
    }
    if (PointWithinRect(TPoint{x, y}, track) && AllowChange()) {
        SetMouseCapture(true);
        rulerTracking_ = true;
        lastPoint_ = TPoint{x, y};
        trackDirection_ = sideOfThumb(x, y);
        rulerRepeat();
    }
}

void TKitCustomSlider::updateThumbCursor(int x, int y)
{
    const bool over = PointWithinRect(TPoint{x, y}, thumbRect_);
    if (over == overThumb_)
        return;
    overThumb_ = over;
    if (over)
        setCursor(Screen().Cursor(crKitHand));
    else if (Cursor() == crDefault)
        unsetCursor();
    else
        setCursor(Screen().Cursor(Cursor()));
}

void TKitCustomSlider::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if ((shift & ssLeft) && dragging_)
        ThumbDrag(shift, x, y);
    else if (rulerTracking_)
        lastPoint_ = TPoint{x, y};
    updateThumbCursor(x, y);
}

void TKitCustomSlider::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    stopRulerRepeat();
    if (dragging_)
        ThumbRelease(button, shift, x, y);
    TCustomControl::MouseUp(button, shift, x, y);
}

void TKitCustomSlider::ThumbPress(TMouseButton button, TShiftState, int x, int y)
{
    if (focusPolicy() != Qt::NoFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    if (button != mbLeft || !AllowChange())
        return;
    dragging_ = true;
    thumbPressed_ = true;
    grabOffset_ = orientation_ == soHorizontal ? x - thumbRect_.Left : y - thumbRect_.Top;
    repaint(thumbRect_.toQRect());
}

void TKitCustomSlider::ThumbDrag(TShiftState shift, int x, int y)
{
    if ((shift & ssLeft) && AllowChange())
        moveThumbTo((orientation_ == soHorizontal ? x : y) - grabOffset_);
}

void TKitCustomSlider::ThumbRelease(TMouseButton button, TShiftState, int, int)
{
    if (button != mbLeft)
        return;
    dragging_ = false;
    thumbPressed_ = false;
    repaint(thumbRect_.toQRect());
    if (AllowChange())
        Changed();
}
