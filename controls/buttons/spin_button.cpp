// The diagonal spin button and the up-down button of the spin edit.
#include "controls/buttons/spin_button.h"

#include "controls/draw/kit_resources.h"
#include "controls/draw/masked_draw.h"
#include "platform/core/rounding.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QScopeGuard>
#include <QStyle>

int DefaultSpinButtonWidth() { return std::min(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent), 15); }

static TBitmap builtIn(const char* name)
{
    auto b = LoadResourceBitmap(rmKit, TResId::Named(QLatin1String(name)));
    return b ? *b : TBitmap();
}

TKitSpinButton::TKitSpinButton(QWidget* parent) : TCustomControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    upGlyph_ = builtIn("KITSPINUP");
    downGlyph_ = builtIn("KITSPINDOWN");
    resize(20, 20);
}

TKitSpinButton::~TKitSpinButton() = default;

void TKitSpinButton::SetUpGlyph(const TBitmap* glyph)
{
    upGlyph_ = glyph ? *glyph : builtIn("KITSPINUP");
    rebuild_ = true;
    update();
}

void TKitSpinButton::SetDownGlyph(const TBitmap* glyph)
{
    downGlyph_ = glyph ? *glyph : builtIn("KITSPINDOWN");
    rebuild_ = true;
    update();
}

bool TKitSpinButton::InBottomHalf(int x, int y) const
{
    const double w = std::max(width(), 1), h = height();
    return y > h - (h / w) * x;
}

TBitmap TKitSpinButton::BuildSpinImage(TSpinButtonState state) const
{
    const int w = width(), h = height();
    TBitmap bmp(w, h, pf24bit);
    TCanvas& c = *bmp.Canvas();
    c.Brush.Color = clBtnFace;
    c.FillRect(TRect(0, 0, w, h));
    c.Pen = TPen();
    auto line = [&](TColor color, std::initializer_list<TPoint> pts) {
        c.Pen.Color = color;
        auto it = pts.begin();
        c.MoveTo(it->X, it->Y);
        for (++it; it != pts.end(); ++it)
            c.LineTo(it->X, it->Y);
    };
    c.Pen.Color = clWindowFrame;
    c.Brush.Style = bsClear;
    c.Rectangle(0, 0, w, h);
    c.Brush.Style = bsSolid;
    line(clWindowFrame, {{-1, h}, {w, -1}});
    const bool top = state == sbTopDown, bottom = state == sbBottomDown;
    line(top ? clBtnShadow : clBtnHighlight, {{1, h - 4}, {1, 1}, {w - 3, 1}});
    if (!top)
        line(clBtnShadow, {{1, h - 3}, {w - 2, 0}});
    line(bottom ? clBtnHighlight : clBtnShadow, {{2, h - 2}, {w - 2, h - 2}, {w - 2, 1}});
    line(bottom ? clBtnShadow : clBtnHighlight, {{2, h - 2}, {w - 1, 1}});
    const int d = top ? 2 : 1;
    if (!upGlyph_.Empty())
        DrawBitmapMasked(c, Round(w / 4.0 - upGlyph_.Width() / 2.0) + d, Round(h / 4.0 - upGlyph_.Height() / 2.0) + d,
                         upGlyph_, clDefault);
    if (!downGlyph_.Empty())
        DrawBitmapMasked(c, Round(3.0 * w / 4 - downGlyph_.Width() / 2.0) - 1,
                         Round(3.0 * h / 4 - downGlyph_.Height() / 2.0) - 1, downGlyph_, clDefault);
    if (bottom)
        line(clBtnShadow, {{3, h - 2}, {w - 1, 2}});
    return bmp;
}

void TKitSpinButton::Paint()
{
    if (!isEnabled())
        tracking_ = false;
    if (rebuild_ || notDownImage_.Width() != width() || notDownImage_.Height() != height()) {
        topImage_ = BuildSpinImage(sbTopDown);
        bottomImage_ = BuildSpinImage(sbBottomDown);
        notDownImage_ = BuildSpinImage(sbNotDown);
    }
    rebuild_ = false;
    const TBitmap& img = pressed_ == sbTopDown ? topImage_ : pressed_ == sbBottomDown ? bottomImage_ : notDownImage_;
    if (Canvas())
        Canvas()->Draw(0, 0, img);
}

void TKitSpinButton::changeEvent(QEvent* event)
{
    TCustomControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        rebuild_ = true;
        update();
    }
}

void TKitSpinButton::clickHalf(TSpinButtonState s)
{
    if (s == sbTopDown && OnTopClick)
        OnTopClick(this);
    else if (s == sbBottomDown && OnBottomClick)
        OnBottomClick(this);
}

void TKitSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !isEnabled())
        return;
    if (focusControl_ && focusControl_->focusPolicy() != Qt::NoFocus && focusControl_->isEnabled() &&
        focusControl_->isVisible() && !focusControl_->hasFocus())
        focusControl_->setFocus(Qt::MouseFocusReason);
    if (pressed_ == sbNotDown) {
        lastPressed_ = sbNotDown;
        pressed_ = InBottomHalf(x, y) ? sbBottomDown : sbTopDown;
        clickHalf(pressed_);
        // A handler that opened a modal window has taken the release.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            pressed_ = sbNotDown;
        if (pressed_ != lastPressed_) {
            lastPressed_ = pressed_;
            repaint();
        }
        if (!repeatTimer_) {
            repeatTimer_ = new TTimer(this);
            repeatTimer_->OnTimer = [this](TObject*) { repeatTick(); };
        }
        repeatTimer_->SetEnabled(false);
        repeatTimer_->SetInterval(400);
        repeatTimer_->SetEnabled(true);
    }
    tracking_ = true;
}

void TKitSpinButton::repeatTick()
{
    repeatTimer_->SetInterval(100);
    if (pressed_ != sbNotDown && MouseCapture()) {
        try {
            clickHalf(pressed_);
        } catch (...) {
            repeatTimer_->SetEnabled(false);
            throw;
        }
    }
}

void TKitSpinButton::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!tracking_)
        return;
    const TSpinButtonState old = pressed_;
    if (x >= 0 && x <= width() && y >= 0 && y <= height()) {
        if (InBottomHalf(x, y))
            pressed_ = lastPressed_ == sbBottomDown ? sbBottomDown : sbNotDown;
        else
            pressed_ = lastPressed_ == sbTopDown ? sbTopDown : sbNotDown;
    } else {
        pressed_ = sbNotDown;
    }
    if (pressed_ != old)
        repaint();
}

void TKitSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    tracking_ = false;
    if (x >= 0 && x <= width() && y >= 0 && y <= height()) {
        pressed_ = sbNotDown;
        lastPressed_ = sbNotDown;
        repaint();
    }
}

// ---- up-down --------------------------------------------------------------------------

TKitUpDown::TKitUpDown(QWidget* parent) : TCustomUpDown(parent)
{
    SetOrientation(udVertical);
    SetRange(-1, 1);
    SetPosition(0);
}

TKitUpDown::~TKitUpDown() { OnClick = nullptr; }

void TKitUpDown::Changed(TUDBtnType)
{
    if (inChange_)
        return;
    inChange_ = true;
    // A handler that throws must not leave the up-down deaf to every later click.
    const auto done = qScopeGuard([this] {
        SetPosition(0);
        inChange_ = false;
    });
    if (Position() > 0 && OnClick)
        OnClick(this, btNext);
    else if (Position() < 0 && OnClick)
        OnClick(this, btPrev);
}

void TKitUpDown::resizeEvent(QResizeEvent* event)
{
    TCustomUpDown::resizeEvent(event);
    if (width() != DefaultSpinButtonWidth())
        resize(DefaultSpinButtonWidth(), height());
}
