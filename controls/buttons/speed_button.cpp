// The speed button: painting, exclusive groups, repeat, drop-down menu and flat look.
#include "controls/buttons/speed_button.h"

#include "controls/draw/draw_utils.h"
#include "controls/draw/kit_resources.h"
#include "controls/draw/masked_draw.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/edges.h"
#include "platform/ui/timer.h"

#include <QDialog>
#include <QEnterEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QThread>

namespace {

int g_buttons = 0;

// Exclusive buttons are dithered in button face and highlight.
const TBitmap& ditherPattern()
{
    static TBitmap pattern = [] {
        TBitmap b(8, 8, pf24bit);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                b.Canvas()->SetPixel(x, y, ColorToRGB((x + y) % 2 ? clBtnHighlight : clBtnFace));
        return b;
    }();
    return pattern;
}

}  // namespace

TKitSpeedButton::TKitSpeedButton(QWidget* parent) : TCustomControl(parent)
{
    RegisterKitCursors();
    ++g_buttons;
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(25, 25);
    glyph_.OnChange = [this] { update(); };
}

TKitSpeedButton::~TKitSpeedButton()
{
    --g_buttons;
    glyph_.OnChange = nullptr;
}

int TKitSpeedButton::InstanceCount() { return g_buttons; }

void TKitSpeedButton::SetAlignment(TTextAlignment a)
{
    if (glyph_.Alignment != a) {
        glyph_.Alignment = a;
        update();
    }
}

void TKitSpeedButton::SetAllowAllUp(bool on)
{
    if (allowAllUp_ != on) {
        allowAllUp_ = on;
        updateExclusive();
    }
}

void TKitSpeedButton::SetAllowTimer(bool on)
{
    allowTimer_ = on;
    if (!on && repeatTimer_)
        repeatTimer_->SetEnabled(false);
}

void TKitSpeedButton::SetGroupIndex(int index)
{
    if (groupIndex_ != index) {
        groupIndex_ = index;
        updateExclusive();
    }
}

void TKitSpeedButton::SetDown(bool value)
{
    if (groupIndex_ == 0)
        value = false;
    if (value == down_)
        return;
    if (down_ && !allowAllUp_)
        return;
    down_ = value;
    if (value) {
        if (state_ == kbsUp)
            update();
        state_ = kbsExclusive;
    } else {
        state_ = kbsUp;
    }
    repaint();
    if (value)
        updateExclusive();
    update();
}

void TKitSpeedButton::updateExclusive()
{
    QWidget* parent = parentWidget();
    if (groupIndex_ == 0 || !parent)
        return;
    for (QObject* o : parent->children())
        if (auto* b = qobject_cast<TKitSpeedButton*>(o))
            b->ButtonPressed(groupIndex_, this);
}

void TKitSpeedButton::ButtonPressed(int group, TKitSpeedButton* sender)
{
    if (group != groupIndex_ || sender == this || !parentWidget())
        return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = kbsUp;
        update();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TKitSpeedButton::SetDropDownMenu(QMenu* menu)
{
    menu_ = menu;
    update();
}

void TKitSpeedButton::SetFlat(bool on)
{
    if (flat_ != on) {
        flat_ = on;
        update();
    }
}

void TKitSpeedButton::SetGrayedInactive(bool on)
{
    if (grayedInactive_ != on) {
        grayedInactive_ = on;
        update();
    }
}

void TKitSpeedButton::SetLayout(TButtonLayout l)
{
    if (layout_ != l) {
        layout_ = l;
        update();
    }
}

void TKitSpeedButton::SetMargin(int m)
{
    // Below −1 has no meaning; the value stays.
    if (m < -1 || m == margin_)
        return;
    margin_ = m;
    update();
}

void TKitSpeedButton::SetMarkDropDown(bool on)
{
    if (markDropDown_ != on) {
        markDropDown_ = on;
        update();
    }
}

void TKitSpeedButton::SetSpacing(int s)
{
    if (spacing_ != s) {
        spacing_ = s;
        update();
    }
}

void TKitSpeedButton::SetStyle(TButtonStyle s)
{
    if (style_ != s) {
        style_ = s;
        update();
    }
}

void TKitSpeedButton::SetTransparent(bool on)
{
    if (transparent_ != on) {
        transparent_ = on;
        update();
    }
}

void TKitSpeedButton::SetWordWrap(bool on)
{
    if (glyph_.WordWrap != on) {
        glyph_.WordWrap = on;
        update();
    }
}

void TKitSpeedButton::SetCaption(const QString& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    updateShortcut();
    update();
}

void TKitSpeedButton::updateShortcut()
{
    if (shortcutId_)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QChar key = AcceleratorOf(caption_);
    if (!key.isNull())
        shortcutId_ = grabShortcut(QKeySequence(Qt::ALT | QKeyCombination::fromCombined(key.unicode()).key()));
}

bool TKitSpeedButton::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == shortcutId_) {
        if (isEnabled())
            Click();
        return true;
    }
    return TCustomControl::event(e);
}

void TKitSpeedButton::Click()
{
    if (modalResult_ != 0)
        if (auto* dlg = qobject_cast<QDialog*>(window()))
            dlg->done(modalResult_);
    TCustomControl::Click();
}

void TKitSpeedButton::SetCaptionFont(const TFont& font)
{
    captionFont_ = font;
    ownCaptionFont_ = true;
    update();
}

void TKitSpeedButton::ButtonClick()
{
    if (menuTracking_ || !isEnabled() || menu_)
        return;
    if (!down_) {
        state_ = kbsDown;
        repaint();
    }
    // A short pause so that the pressed look can be seen.
    QThread::msleep(20);
    if (groupIndex_ == 0) {
        state_ = kbsUp;
        Click();
        repaint();
    } else {
        state_ = kbsUp;
        SetDown(!down_);
        Click();
    }
}

TKitButtonState TKitSpeedButton::DrawingState() const
{
    if (flat_ && !mouseInside_)
        return kbsInactive;
    return state_;
}

bool TKitSpeedButton::InsideForDrag(int x, int y) const
{
    return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
}

// ---- mouse ----------------------------------------------------------------------------

void TKitSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) {
        UpdateTracking();
        return;
    }
    if (!isEnabled() || menuTracking_)
        return;
    if (!mouseInside_) {
        mouseInside_ = true;
        repaint();
    }
    if (!down_) {
        state_ = kbsDown;
        repaint();
    }
    dragging_ = true;
    menuTracking_ = true;
    if (menu_) {
        openMenu();
        // The menu took the release; the press ends where it began.
        finishPress(x, y);
    }
    menuTracking_ = false;
    if (allowTimer_) {
        if (!repeatTimer_) {
            repeatTimer_ = new TTimer(this);
            repeatTimer_->OnTimer = [this](TObject*) { repeatTick(); };
        }
        repeatTimer_->SetEnabled(false);
        repeatTimer_->SetInterval(initPause_);
        repeatTimer_->SetEnabled(true);
    }
}

void TKitSpeedButton::openMenu()
{
    QPoint at;
    if (menuPosition_ == dmpBottom)
        at = QPoint(-1, height());
    else
        at = QPoint(width(), -1);
    menu_->exec(mapToGlobal(at));
}

void TKitSpeedButton::repeatTick()
{
    repeatTimer_->SetInterval(repeatInterval_);
    if (state_ == kbsDown && MouseCapture()) {
        try {
            Click();
        } catch (...) {
            repeatTimer_->SetEnabled(false);
            throw;
        }
    }
}

void TKitSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!dragging_)
        return;
    TKitButtonState s = down_ ? kbsExclusive : kbsUp;
    if (InsideForDrag(x, y))
        s = down_ ? kbsExclusive : kbsDown;
    if (s != state_) {
        state_ = s;
        repaint();
    }
}

void TKitSpeedButton::finishPress(int x, int y)
{
    if (repeatTimer_)
        repeatTimer_->SetEnabled(false);
    if (!dragging_)
        return;
    dragging_ = false;
    const bool inside = InsideForDrag(x, y);
    if (groupIndex_ == 0) {
        state_ = kbsUp;
        mouseInside_ = false;
        if (inside)
            repaint();
        else
            update();
    } else if (inside) {
        SetDown(!down_);
        // A down button that may not go up stays exclusive.
        if (down_)
            state_ = kbsExclusive;
        repaint();
    } else {
        // Released away from the button: back to how it was before the press.
        state_ = down_ ? kbsExclusive : kbsUp;
        repaint();
    }
    if (inside && !menuTracking_)
        Click();
    UpdateTracking();
}

void TKitSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) {
        UpdateTracking();
        return;
    }
    finishPress(x, y);
}

void TKitSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The click comes from MouseUp's own rules, not from the base control.
    TMouseButton b;
    if (!MouseButtonFrom(event->button(), b))
        return;
    const QPoint p(int(std::floor(event->position().x())), int(std::floor(event->position().y())));
    if (event->buttons() == Qt::NoButton)
        SetMouseCapture(false);
    MouseUp(b, ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TKitSpeedButton::DoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    if (menuTracking_)
        return;
    MouseDown(button, shift | ssDouble, x, y);
    if (button == mbLeft && down_)
        DblClick();
}

// ---- mouse inside ---------------------------------------------------------------------

void TKitSpeedButton::setMouseInside(bool inside)
{
    if (mouseInside_ == inside)
        return;
    mouseInside_ = inside;
    if (flat_)
        update();
    if (inside) {
        if (OnMouseEnter)
            OnMouseEnter(this);
    } else if (OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TKitSpeedButton::UpdateTracking()
{
    setMouseInside(isEnabled() && testAttribute(Qt::WA_UnderMouse) && ThreadOwnsActiveWindow());
}

void TKitSpeedButton::enterEvent(QEnterEvent* event)
{
    TCustomControl::enterEvent(event);
    setAttribute(Qt::WA_UnderMouse, true);
    UpdateTracking();
}

void TKitSpeedButton::leaveEvent(QEvent* event)
{
    TCustomControl::leaveEvent(event);
    setAttribute(Qt::WA_UnderMouse, false);
    if (!dragging_)
        UpdateTracking();
}

void TKitSpeedButton::changeEvent(QEvent* event)
{
    TCustomControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        UpdateTracking();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        glyph_.Invalidate();
        update();
    }
}

void TKitSpeedButton::showEvent(QShowEvent* event)
{
    TCustomControl::showEvent(event);
    UpdateTracking();
}

// ---- painting -------------------------------------------------------------------------

void TKitSpeedButton::PaintFrame(TCanvas& canvas, TRect& content, TKitButtonState drawState)
{
    TRect r(0, 0, width(), height());
    const bool newStyle = style_ == bsNew || (style_ == bsAutoDetect && NewStyleControls());
    const bool pressed = state_ == kbsDown || state_ == kbsExclusive;
    if (!(drawState == kbsInactive && state_ != kbsExclusive)) {
        if (pressed) {
            if (newStyle) {
                Frame3D(canvas, r, clWindowFrame, clBtnHighlight);
                if (!flat_)
                    Frame3D(canvas, r, clBtnShadow, clBtnFace);
            } else if (!flat_) {
                Frame3D(canvas, r, clWindowFrame, clWindowFrame);
                canvas.Pen = TPen();
                canvas.Pen.Color = clBtnShadow;
                canvas.MoveTo(r.Left, r.Bottom - 1);
                canvas.LineTo(r.Left, r.Top);
                canvas.LineTo(r.Right, r.Top);
            } else {
                Frame3D(canvas, r, clWindowFrame, clBtnHighlight);
            }
        } else if (newStyle) {
            if (!flat_) {
                Frame3D(canvas, r, clBtnHighlight, clWindowFrame);
                Frame3D(canvas, r, clBtnFace, clBtnShadow);
            } else {
                Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
            }
        } else if (!flat_) {
            Frame3D(canvas, r, clWindowFrame, clWindowFrame);
            Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
        } else {
            Frame3D(canvas, r, clBtnHighlight, clWindowFrame);
        }
        content = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    } else {
        content = TRect(2, 2, width() - 2, height() - 2);
    }
    if (state_ == kbsExclusive && !transparent_ && (!flat_ || drawState == kbsInactive)) {
        const TBrush saved = canvas.Brush;
        canvas.Brush = TBrush{clBtnFace, bsSolid, &ditherPattern()};
        canvas.FillRect(TRect(content.Left - 1, content.Top - 1, content.Right + 1, content.Bottom + 1));
        canvas.Brush = saved;
    }
}

void TKitSpeedButton::Paint()
{
    if (!isEnabled()) {
        state_ = kbsDisabled;
        dragging_ = false;
    } else if (state_ == kbsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? kbsExclusive : kbsUp;
    }
    const TKitButtonState drawState = DrawingState();
    const int w = width(), h = height();
    if (w <= 0 || h <= 0)
        return;
    if (offscreen_.Width() != w || offscreen_.Height() != h)
        offscreen_.SetSize(w, h);
    TCanvas& cv = *offscreen_.Canvas();
    if (ownCaptionFont_)
        cv.Font = captionFont_;
    else
        cv.Font.Color = clBtnText;
    cv.Brush = TBrush{clBtnFace, bsSolid, nullptr};
    cv.FillRect(TRect(0, 0, w, h));
    if (transparent_)
        PaintBackdropOf(this, cv);
    TRect content;
    PaintFrame(cv, content, drawState);
    const TPoint offset = state_ == kbsDown || state_ == kbsExclusive ? TPoint(1, 1) : TPoint(0, 0);
    TKitButtonState glyphState = state_;
    if (grayedInactive_ && state_ != kbsDisabled)
        glyphState = drawState;
    cv.Brush.Style = bsSolid;
    glyph_.Draw(cv, content, offset, caption_, layout_, margin_, spacing_, glyphState, menu_ && markDropDown_);
    if (Canvas())
        Canvas()->Draw(0, 0, offscreen_);
}
