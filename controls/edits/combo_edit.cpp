// The combo edit: its glued-in button, its pop-up window and their keyboard and mouse.
#include "controls/edits/combo_edit.h"

#include "controls/draw/kit_resources.h"
#include "platform/graphics/canvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <algorithm>

// ---- button ---------------------------------------------------------------------------

TEditButton::TEditButton(TCustomComboEdit* edit, QWidget* parent) : TKitSpeedButton(parent), edit_(edit)
{
    OnClick = [this](TObject*) { edit_->ButtonClick(); };
}

void TEditButton::Paint()
{
    TKitSpeedButton::Paint();
    if (State() == kbsDown || State() == kbsExclusive || !Canvas())
        return;
    TCanvas& cv = *Canvas();
    const TPen saved = cv.Pen;
    cv.Pen = TPen();
    cv.Pen.Color = NewStyleControls() ? clBtnFace : clBtnShadow;
    cv.MoveTo(0, 0);
    cv.LineTo(0, height());
    cv.Pen.Color = clBtnHighlight;
    cv.MoveTo(1, 1);
    cv.LineTo(1, height() - 2);
    cv.Pen = saved;
}

void TEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // A press while the pop-up is open accepts it instead of clicking again.
    if (button == mbLeft && edit_->PopupVisible()) {
        edit_->ClosePopup(true);
        suppressClick_ = true;
        return;
    }
    TKitSpeedButton::MouseDown(button, shift, x, y);
}

void TEditButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (suppressClick_ && button == mbLeft) {
        suppressClick_ = false;
        return;
    }
    TKitSpeedButton::MouseUp(button, shift, x, y);
}

// ---- pop-up window -------------------------------------------------------------------

TPopupWindow::TPopupWindow(TCustomComboEdit* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), owner_(owner)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TPopupWindow::FinishPopup(bool accept)
{
    if (CloseUpHandler)
        CloseUpHandler(this, accept);
}

void TPopupWindow::Show(const QPoint& origin)
{
    move(origin);
    show();
    raise();
}

void TPopupWindow::Hide() { hide(); }

void TPopupWindow::InvalidateEditor()
{
    if (owner_)
        owner_->repaint();
}

void TPopupWindow::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        FinishPopup(rect().contains(event->position().toPoint()));
}

// ---- combo edit ---------------------------------------------------------------------------

TCustomComboEdit::TCustomComboEdit(QWidget* parent) : QLineEdit(parent)
{
    container_ = new QWidget(this);
    container_->setCursor(Qt::ArrowCursor);
    button_ = new TEditButton(this, container_);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
    resize(121, 21 + 4);
    UpdateButtonPlacement();
}

TCustomComboEdit::~TCustomComboEdit()
{
    // The button must not call back into a half-destroyed edit.
    button_->OnClick = nullptr;
    qApp->removeEventFilter(this);
}

QString TCustomComboEdit::ButtonHint() const { return button_->toolTip(); }
void TCustomComboEdit::SetButtonHint(const QString& hint) { button_->setToolTip(hint); }

void TCustomComboEdit::applyReadOnly() { QLineEdit::setReadOnly(readOnly_ || !directInput_); }

void TCustomComboEdit::SetDirectInput(bool on)
{
    directInput_ = on;
    applyReadOnly();
}

void TCustomComboEdit::SetReadOnly(bool on)
{
    if (readOnly_ == on)
        return;
    readOnly_ = on;
    applyReadOnly();
}

int TCustomComboEdit::naturalButtonWidth() const
{
    const TBitmap& g = button_->Glyph();
    if (glyphKind_ == gkDefault && !g.Empty())
        return std::max(g.Width() / std::max(button_->NumGlyphs(), 1) + 6, 21);
    if (glyphKind_ == gkDropDown)
        return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return 21;
}

void TCustomComboEdit::SetButtonWidth(int w)
{
    if (w == buttonWidth_)
        return;
    container_->setVisible(w > 1);
    // The button never takes more than the edit has.
    if (w < width() || !isVisible()) {
        buttonWidth_ = w;
        UpdateButtonPlacement();
    }
    RefreshGlyph();
}

void TCustomComboEdit::SetGlyph(const TBitmap& bitmap)
{
    button_->SetGlyph(bitmap);
    glyphKind_ = gkCustom;
}

void TCustomComboEdit::SetNumGlyphs(int n)
{
    if (glyphKind_ == gkDropDown || glyphKind_ == gkEllipsis)
        n = 1;
    else if (glyphKind_ == gkDefault)
        n = DefaultNumGlyphs();
    button_->SetNumGlyphs(n);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind kind)
{
    if (kind == glyphKind_)
        return;
    glyphKind_ = kind;
    RefreshGlyph();
    if (kind == gkDefault && !button_->Glyph().Empty())
        SetButtonWidth(std::max(button_->Glyph().Width() / std::max(button_->NumGlyphs(), 1) + 6, buttonWidth_));
    else if (kind == gkDropDown)
        SetButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
}

TBitmap TCustomComboEdit::EllipsisGlyph(int buttonWidth)
{
    const int w = std::max(1, buttonWidth - 6);
    TBitmap b(w, 4, pf1bit);
    b.Canvas()->Brush.Color = clWhite;
    b.Canvas()->FillRect(TRect(0, 0, w, 4));
    const int g = std::clamp((w - 6) / 2, 1, 3);
    const int x0 = (w - 6 - 2 * g) / 2;
    b.Canvas()->Brush.Color = clBlack;
    for (int x : {x0, x0 + g + 2, x0 + 2 * g + 4})
        b.Canvas()->FillRect(TRect(x, 1, x + 2, 3));
    return b;
}

void TCustomComboEdit::RefreshGlyph()
{
    switch (glyphKind_) {
    case gkDefault:
        if (const TBitmap* g = DefaultGlyphBitmap()) {
            button_->SetGlyph(*g);
            button_->SetNumGlyphs(DefaultNumGlyphs());
        }
        break;
    case gkDropDown:
        if (auto g = LoadResourceBitmap(rmNone, TResId::Numbered(OBM_COMBO))) {
            button_->SetGlyph(*g);
            button_->SetNumGlyphs(1);
        }
        break;
    case gkEllipsis:
        button_->SetGlyph(EllipsisGlyph(buttonWidth_));
        button_->SetNumGlyphs(1);
        break;
    case gkCustom: break;
    }
}

void TCustomComboEdit::UpdateButtonPlacement()
{
    // Inside the 2-pixel frame at the right; the text stops before it.
    const int bw = std::max(buttonWidth_, 0);
    const QRect r(width() - bw - 2, 2, bw, std::max(height() - 4, 0));
    container_->setGeometry(r);
    button_->setGeometry(0, 0, r.width(), r.height());
    setTextMargins(0, 0, (container_->isVisibleTo(this) || !isVisible()) && bw > 1 ? bw + 2 : 0, 0);
}

int TCustomComboEdit::MinEditHeight() const
{
    const int system = QFontMetrics(QApplication::font()).height();
    return std::min(system, fontMetrics().height()) + 4 * 1 + 1;
}

void TCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    if (height() < MinEditHeight()) {
        resize(width(), MinEditHeight());
        return;
    }
    UpdateButtonPlacement();
}

void TCustomComboEdit::SetPopup(TPopupWindow* popup)
{
    popup_ = popup;
    if (popup)
        popup->CloseUpHandler = [this](TObject*, bool accept) { ClosePopup(accept); };
}

void TCustomComboEdit::EditButtonPressed()
{
    if (OnButtonClick)
        OnButtonClick(this);
}

void TCustomComboEdit::ButtonClick()
{
    if (readOnly_)
        return;
    EditButtonPressed();
    if (popup_) {
        if (popupVisible_)
            ClosePopup(true);
        else
            OpenPopup(true);
    }
}

QPoint TCustomComboEdit::PopupOrigin(const QSize& ps, const QRect& screen) const
{
    const QPoint p = mapToGlobal(QPoint(0, 0));
    const int sw = screen.right() + 1, sh = screen.bottom() + 1;
    int y = p.y() + height();
    if (y + ps.height() > sh)
        y = p.y() - ps.height();
    int x;
    if (popupAlign_ == epaRight) {
        x = p.x() + width() - ps.width();
        if (x < 0)
            x = p.x();
    } else {
        x = p.x();
        if (x + ps.width() > sw)
            x = p.x() + width() - ps.width();
    }
    // Kept on screen; one wider than the screen keeps its left edge visible.
    if (x + ps.width() > sw)
        x = sw - ps.width();
    if (x < screen.left())
        x = screen.left();
    return QPoint(x, y);
}

void TCustomComboEdit::OpenPopup(bool disableEdit)
{
    if (!popup_ || readOnly_ || popupVisible_)
        return;
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QPoint origin = PopupOrigin(popup_->size(), s ? s->geometry() : QRect(0, 0, 1024, 768));
    SendValueToPopup(text().isEmpty() ? QVariant() : QVariant(text()));
    if (isEnabled())
        setFocus(Qt::PopupFocusReason);
    PlacePopupAt(origin);
    popupVisible_ = true;
    qApp->installEventFilter(this);
    if (disableEdit)
        QLineEdit::setReadOnly(true);
}

void TCustomComboEdit::PlacePopupAt(const QPoint& p)
{
    if (popup_)
        popup_->Show(p);
}

void TCustomComboEdit::RemovePopup()
{
    if (popup_)
        popup_->Hide();
}

void TCustomComboEdit::SendValueToPopup(const QVariant& value)
{
    if (popup_)
        popup_->PopupValueIn(value);
}

QVariant TCustomComboEdit::ReadPopupValue() const { return popup_ ? popup_->PopupValueOut() : QVariant(); }

void TCustomComboEdit::ClosePopup(bool accept)
{
    if (!popup_ || !popupVisible_)
        return;
    qApp->removeEventFilter(this);
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    const QVariant value = ReadPopupValue();
    RemovePopup();
    popupVisible_ = false;
    if (isEnabled())
        setFocus(Qt::PopupFocusReason);
    applyReadOnly();
    update();
    if (accept && PopupValueAcceptable(value) && !readOnly_) {
        TakePopupValue(value);
        if (hasFocus())
            selectAll();
    }
    popupVisible_ = false;
}

void TCustomComboEdit::TakePopupValue(const QVariant& value)
{
    const QString s = value.isNull() ? QString() : value.toString();
    if (text() == s)
        return;
    QSignalBlocker block(this);
    setText(s);
    setModified(true);
    popupVisible_ = popup_ && popup_->isVisible();
    block.unblock();
    Change();
}

void TCustomComboEdit::Change()
{
    if (popupVisible_)
        PopupTextChanged();
    else if (OnChange)
        OnChange(this);
}

void TCustomComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->keyCombination() == clickKey_ && buttonWidth_ > 0) {
        button_->Click();
        event->accept();
        return;
    }
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter || key == Qt::Key_Escape) && popupVisible_) {
        ClosePopup(enter);
        event->accept();
        return;
    }
    // Otherwise Enter and Escape go on to the dialog as its default and cancel keys.
    QLineEdit::keyPressEvent(event);
    if (enter || key == Qt::Key_Escape)
        event->ignore();
}

void TCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (AutoSelect && directInput_ && !(QApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
}

void TCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (popupVisible_)
        ClosePopup(false);
}

void TCustomComboEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && popup_) {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        if (!hasFocus())
            return;
        if (popupVisible_)
            ClosePopup(false);
    }
    QLineEdit::mousePressEvent(event);
}

bool TCustomComboEdit::eventFilter(QObject* watched, QEvent* event)
{
    // A press anywhere else while the pop-up is open closes it without accepting.
    if (popupVisible_ && event->type() == QEvent::MouseButtonPress) {
        QWidget* w = qobject_cast<QWidget*>(watched);
        const bool ours = w && (w == this || isAncestorOf(w) || (popup_ && (w == popup_ || popup_->isAncestorOf(w))));
        if (w && !ours)
            ClosePopup(false);
    }
    return QLineEdit::eventFilter(watched, event);
}
