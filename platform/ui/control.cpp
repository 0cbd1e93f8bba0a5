// The control base: outer and client sizes, window scroll bars and translated events.
#include "platform/ui/control.h"

#include "platform/graphics/canvas.h"
#include "platform/graphics/cursors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

bool MouseButtonFrom(Qt::MouseButton b, TMouseButton& out)
{
    switch (b) {
    case Qt::LeftButton: out = mbLeft; return true;
    case Qt::RightButton: out = mbRight; return true;
    case Qt::MiddleButton: out = mbMiddle; return true;
    default: return false;
    }
}

// One window scroll bar: the stored range, page and position are the truth; the
// QScrollBar only shows them and reports user actions.
struct TCustomControl::Bar {
    QScrollBar* widget = nullptr;
    int min = 0;
    int max = 100;
    int page = 0;
    int pos = 0;
    bool visible = false;
    bool inAction = false;

    int maxPos() const { return std::max(min, max - std::max(page - 1, 0)); }
    void clampPos() { pos = std::clamp(pos, min, maxPos()); }
    void sync()
    {
        QSignalBlocker block(widget);
        widget->setRange(min, maxPos());
        widget->setPageStep(std::max(page, 1));
        widget->setSingleStep(1);
        widget->setValue(pos);
        widget->setSliderPosition(pos);
    }
};

TCustomControl::TCustomControl(QWidget* parent)
    : QWidget(parent), hbar_(std::make_unique<Bar>()), vbar_(std::make_unique<Bar>())
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    hbar_->widget = new QScrollBar(Qt::Horizontal, this);
    vbar_->widget = new QScrollBar(Qt::Vertical, this);
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        Bar& b = bar(kind);
        b.widget->hide();
        b.widget->setCursor(Qt::ArrowCursor);
        b.widget->setFocusPolicy(Qt::NoFocus);
        b.sync();
        connect(b.widget, &QAbstractSlider::actionTriggered, this,
                [this, kind](int action) { barAction(kind, action); });
        connect(b.widget, &QAbstractSlider::sliderReleased, this, [this, kind] {
            Bar& bb = bar(kind);
            Scroll(kind, scPosition, bb.widget->sliderPosition());
            Scroll(kind, scEndScroll, bb.pos);
            bb.sync();
        });
    }
}

TCustomControl::~TCustomControl() = default;

TCustomControl::Bar& TCustomControl::bar(TScrollBarKind kind) const { return kind == sbHorizontal ? *hbar_ : *vbar_; }

void TCustomControl::SetBounds(int left, int top, int width, int height)
{
    const QSize old = size();
    setGeometry(left, top, std::max(width, 0), std::max(height, 0));
    // A hidden widget gets its resize event only when shown; the client size matters now.
    if (size() != old && !isVisible()) {
        layoutBars();
        Resize();
    }
}

int TCustomControl::BorderWidth() const { return frame_ == bsSingle ? 2 : 0; }

QPoint TCustomControl::ClientOrigin() const { return QPoint(BorderWidth(), BorderWidth()); }

static int barExtent(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }

int TCustomControl::ClientWidth() const
{
    int w = width() - 2 * BorderWidth() - (vbar_->visible ? barExtent(this) : 0);
    return std::max(w, 0);
}

int TCustomControl::ClientHeight() const
{
    int h = height() - 2 * BorderWidth() - (hbar_->visible ? barExtent(this) : 0);
    return std::max(h, 0);
}

void TCustomControl::SetFrameStyle(TBorderStyle style)
{
    if (frame_ == style)
        return;
    frame_ = style;
    layoutBars();
    Resize();
    update();
}

void TCustomControl::layoutBars()
{
    const int b = BorderWidth();
    const int e = barExtent(this);
    const int innerW = std::max(width() - 2 * b, 0);
    const int innerH = std::max(height() - 2 * b, 0);
    if (vbar_->visible)
        vbar_->widget->setGeometry(b + innerW - e, b, e, std::max(innerH - (hbar_->visible ? e : 0), 0));
    if (hbar_->visible)
        hbar_->widget->setGeometry(b, b + innerH - e, std::max(innerW - (vbar_->visible ? e : 0), 0), e);
    vbar_->widget->setVisible(vbar_->visible);
    hbar_->widget->setVisible(hbar_->visible);
}

void TCustomControl::ShowScrollBar(TScrollBarKind kind, bool show)
{
    Bar& b = bar(kind);
    if (b.visible == show)
        return;
    b.visible = show;
    layoutBars();
    // The client area changed size, as a resize would.
    Resize();
    update();
}

bool TCustomControl::ScrollBarVisible(TScrollBarKind kind) const { return bar(kind).visible; }

void TCustomControl::SetScrollRange(TScrollBarKind kind, int min, int max)
{
    Bar& b = bar(kind);
    b.min = min;
    b.max = std::max(min, max);
    b.clampPos();
    b.sync();
}

void TCustomControl::SetScrollPage(TScrollBarKind kind, int page)
{
    Bar& b = bar(kind);
    b.page = std::max(page, 0);
    b.clampPos();
    b.sync();
}

void TCustomControl::SetScrollPos(TScrollBarKind kind, int pos)
{
    Bar& b = bar(kind);
    b.pos = pos;
    b.clampPos();
    b.sync();
}

int TCustomControl::ScrollPos(TScrollBarKind kind) const { return bar(kind).pos; }
int TCustomControl::ScrollMin(TScrollBarKind kind) const { return bar(kind).min; }
int TCustomControl::ScrollMax(TScrollBarKind kind) const { return bar(kind).max; }
int TCustomControl::ScrollPage(TScrollBarKind kind) const { return bar(kind).page; }

void TCustomControl::barAction(TScrollBarKind kind, int action)
{
    Bar& b = bar(kind);
    if (b.inAction)
        return;
    TScrollCode code;
    int pos = b.pos;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; break;
    case QAbstractSlider::SliderMove:
        code = scTrack;
        pos = b.widget->sliderPosition();  // the whole 32-bit position
        break;
    default: return;
    }
    b.inAction = true;
    Scroll(kind, code, pos);
    b.inAction = false;
    // The bar moves only where the control put it.
    b.widget->setSliderPosition(b.pos);
}

void TCustomControl::SetCursor(int cursor)
{
    cursor_ = cursor;
    if (cursor == crDefault)
        unsetCursor();
    else
        setCursor(Screen().Cursor(cursor));
}

void TCustomControl::SetMouseCapture(bool capture)
{
    if (captured_ == capture)
        return;
    captured_ = capture;
    if (!capture && QWidget::mouseGrabber() == this)
        releaseMouse();
}

void TCustomControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TCustomControl::Scroll(TScrollBarKind, TScrollCode, int) {}

void TCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TCustomControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TCustomControl::DoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    MouseDown(button, shift | ssDouble, x, y);
    if (button == mbLeft)
        DblClick();
}

void TCustomControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TCustomControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TCustomControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TCustomControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TCustomControl::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TCustomControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int b = BorderWidth();
    const int w = width(), h = height();
    if (b == 2) {
        // Sunken client edge.
        p.setPen(ToQColor(clBtnShadow));
        p.drawLine(0, 0, w - 1, 0);
        p.drawLine(0, 0, 0, h - 1);
        p.setPen(ToQColor(clBtnHighlight));
        p.drawLine(0, h - 1, w - 1, h - 1);
        p.drawLine(w - 1, 0, w - 1, h - 1);
        p.setPen(ToQColor(cl3DDkShadow));
        p.drawLine(1, 1, w - 2, 1);
        p.drawLine(1, 1, 1, h - 2);
        p.setPen(ToQColor(cl3DLight));
        p.drawLine(1, h - 2, w - 2, h - 2);
        p.drawLine(w - 2, 1, w - 2, h - 2);
    }
    if (hbar_->visible && vbar_->visible) {
        const int e = barExtent(this);
        p.fillRect(QRect(w - b - e, h - b - e, e, e), ToQColor(clBtnFace));
    }
    p.translate(ClientOrigin());
    p.setClipRect(QRect(0, 0, ClientWidth(), ClientHeight()));
    TCanvas canvas(&p);
    canvas_ = &canvas;
    painter_ = &p;
    struct Reset {
        TCustomControl* c;
        ~Reset()
        {
            c->canvas_ = nullptr;
            c->painter_ = nullptr;
        }
    } reset{this};
    Paint();
}

void TCustomControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutBars();
    Resize();
}

QPoint TCustomControl::toClient(const QPointF& p) const
{
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y()))) - ClientOrigin();
}

void TCustomControl::mousePressEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonFrom(event->button(), button))
        return;
    captured_ = true;
    lastMouse_ = toClient(event->position());
    MouseDown(button, ShiftStateFrom(event->modifiers(), event->buttons()), lastMouse_.x(), lastMouse_.y());
}

void TCustomControl::mouseMoveEvent(QMouseEvent* event)
{
    lastMouse_ = toClient(event->position());
    if (event->buttons() == Qt::NoButton)
        captured_ = false;
    MouseMove(ShiftStateFrom(event->modifiers(), event->buttons()), lastMouse_.x(), lastMouse_.y());
}

void TCustomControl::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonFrom(event->button(), button))
        return;
    lastMouse_ = toClient(event->position());
    if (event->buttons() == Qt::NoButton)
        captured_ = false;
    MouseUp(button, ShiftStateFrom(event->modifiers(), event->buttons()), lastMouse_.x(), lastMouse_.y());
    if (button == mbLeft && rect().contains(event->position().toPoint()))
        Click();
}

void TCustomControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!MouseButtonFrom(event->button(), button))
        return;
    captured_ = true;
    lastMouse_ = toClient(event->position());
    DoubleClick(button, ShiftStateFrom(event->modifiers(), event->buttons()), lastMouse_.x(), lastMouse_.y());
}

void TCustomControl::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    KeyDown(key, ShiftStateFrom(event->modifiers(), Qt::NoButton));
    if (key != 0 && !event->text().isEmpty()) {
        QChar c = event->text().at(0);
        KeyPress(c);
    }
    if (key == 0)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void TCustomControl::keyReleaseEvent(QKeyEvent* event)
{
    int key = event->key();
    KeyUp(key, ShiftStateFrom(event->modifiers(), Qt::NoButton));
    if (key == 0)
        event->accept();
    else
        QWidget::keyReleaseEvent(event);
}
