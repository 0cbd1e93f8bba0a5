// The spin edit: value in the text, bounds, stepping and its button.
#include "controls/edits/spin_edit.h"

#include "controls/draw/draw_utils.h"
#include "controls/edits/edit_menu.h"
#include "platform/core/number_format.h"
#include "platform/core/rounding.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <memory>

TKitSpinEdit::TKitSpinEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!changing_ && OnChange)
            OnChange(this);
    });
    resize(121, 24);
    rebuildSpinButton();
}

TKitSpinEdit::~TKitSpinEdit()
{
    // No change notification while tearing down.
    changing_ = true;
}

void TKitSpinEdit::SetAlignment(TTextAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    setAlignment(a == taRightJustify ? Qt::AlignRight | Qt::AlignVCenter
                 : a == taCenter     ? Qt::AlignHCenter | Qt::AlignVCenter
                                     : Qt::AlignLeft | Qt::AlignVCenter);
}

void TKitSpinEdit::SetArrowKeys(bool on)
{
    arrowKeys_ = on;
    updateButtonBounds();
}

void TKitSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    const TSpinButtonKind old = buttonKind_;
    buttonKind_ = NewStyleControls() ? kind : bkDiagonal;
    if (old != buttonKind_) {
        rebuildSpinButton();
        updateButtonBounds();
        updateEditRect();
    }
}

void TKitSpinEdit::SetEditorEnabled(bool on)
{
    editorEnabled_ = on;
    // Text dropped onto the edit would type into it too.
    setAcceptDrops(on);
}

void TKitSpinEdit::SetDecimal(int d)
{
    d = std::clamp(d, 0, 255);
    if (d == decimal_)
        return;
    decimal_ = d;
    SetValue(Value());
}

void TKitSpinEdit::SetValueType(TValueType t)
{
    if (t == valueType_)
        return;
    valueType_ = t;
    // The text is read again under the new type.
    SetValue(Value());
    if (t == vtInteger) {
        increment_ = Round(increment_);
        if (increment_ == 0)
            increment_ = 1;
    }
}

double TKitSpinEdit::Value() const
{
    if (valueType_ == vtFloat) {
        double v;
        return TryStrToFloat(text(), v) ? v : minValue_;
    }
    long long v;
    return TryStrToInt(text(), v) ? double(v) : double(Trunc(minValue_));
}

double TKitSpinEdit::ClampValue(double v) const
{
    if (maxValue_ == minValue_)
        return v;
    if (v < minValue_)
        return minValue_;
    if (v > maxValue_)
        return maxValue_;
    return v;
}

void TKitSpinEdit::SetValue(double v)
{
    const double y = ClampValue(v);
    if (valueType_ == vtFloat)
        setText(FloatToStrF(y, ffFixed, 15, decimal_));
    else
        setText(IntToStr(Round64(y)));
}

int TKitSpinEdit::SpinButtonWidth() const
{
    if (upDown_)
        return upDown_->width();
    if (button_)
        return button_->width();
    return DefaultSpinButtonWidth();
}

int TKitSpinEdit::MinEditHeight() const { return fontMetrics().height() + 4 * 1 + 1; }

void TKitSpinEdit::rebuildSpinButton()
{
    delete button_;
    delete buttonContainer_;
    delete upDown_;
    if (buttonKind_ == bkDiagonal) {
        buttonContainer_ = new QWidget(this);
        buttonContainer_->setGeometry(0, 0, height(), height());
        buttonContainer_->setCursor(Qt::ArrowCursor);
        button_ = new TKitSpinButton(buttonContainer_);
        button_->SetFocusControl(this);
        button_->OnTopClick = [this](TObject*) { StepUp(); };
        button_->OnBottomClick = [this](TObject*) { StepDown(); };
        button_->setGeometry(0, 0, height(), height());
        buttonContainer_->show();
    } else {
        upDown_ = new TKitUpDown(this);
        upDown_->setGeometry(0, 0, DefaultSpinButtonWidth(), height());
        upDown_->OnClick = [this](TObject*, TUDBtnType b) {
            if (focusPolicy() != Qt::NoFocus && isEnabled())
                setFocus(Qt::MouseFocusReason);
            if (b == btNext)
                StepUp();
            else
                StepDown();
        };
        upDown_->show();
    }
    updateButtonBounds();
    updateEditRect();
}

void TKitSpinEdit::updateButtonBounds()
{
    const int w = width(), h = height();
    if (upDown_) {
        const int bw = DefaultSpinButtonWidth();
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        upDown_->setGeometry(rtl ? 2 : w - bw - 2, 2, bw, std::max(h - 4, 0));
    } else if (buttonContainer_) {
        // Inside the sunken frame, one pixel up and left of the client corner.
        const int size = std::max(h - 3, 0);
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        const QRect r(rtl ? 1 : w - h + 1, 1, size, size);
        buttonContainer_->setGeometry(r);
        if (button_)
            button_->setGeometry(0, 0, r.width(), r.height());
    }
}

void TKitSpinEdit::updateEditRect()
{
    // The text never runs under the button.
    const int bw = SpinButtonWidth();
    if (layoutDirection() == Qt::RightToLeft)
        setTextMargins(bw + 1, 0, 0, 0);
    else
        setTextMargins(0, 0, bw + 2, 0);
}

void TKitSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    if (height() < MinEditHeight()) {
        resize(width(), MinEditHeight());
        return;
    }
    updateButtonBounds();
    updateEditRect();
}

void TKitSpinEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (upDown_)
            upDown_->setEnabled(isEnabled());
        if (button_)
            button_->setEnabled(isEnabled());
        updateButtonBounds();
        break;
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
        updateButtonBounds();
        updateEditRect();
        break;
    default: break;
    }
}

void TKitSpinEdit::step(bool up)
{
    if (isReadOnly()) {
        DefaultBeep();
        return;
    }
    const QString before = text();
    changing_ = true;
    try {
        SetValue(Value() + (up ? increment_ : -increment_));
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        if (OnChange)
            OnChange(this);
    }
    const TNotifyEvent& after = up ? OnTopClick : OnBottomClick;
    if (after)
        after(this);
}

void TKitSpinEdit::StepUp() { step(true); }
void TKitSpinEdit::StepDown() { step(false); }

bool TKitSpinEdit::AcceptsChar(QChar c) const { return acceptsCharAfter(text(), c); }

bool TKitSpinEdit::acceptsCharAfter(const QString& typed, QChar c) const
{
    QString accepted = QStringLiteral("+-0123456789");
    if (valueType_ == vtFloat) {
        if (!typed.contains(DecimalSeparator()))
            accepted += DecimalSeparator();
        if (!typed.toUpper().contains(QLatin1Char('E')))
            accepted += QStringLiteral("Ee");
    }
    const bool ok = accepted.contains(c) || c.unicode() < 32;
    if (ok && !editorEnabled_ && (c.unicode() == 8 || c.unicode() >= 32))
        return false;
    return ok;
}

void TKitSpinEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    // Either button kind steps with the arrows (the up-down as its buddy would).
    if (arrowKeys_ && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        key == Qt::Key_Up ? StepUp() : StepDown();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteChecked();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        if (editorEnabled_ && !isReadOnly())
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    if (!editorEnabled_ && changesText(event)) {
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        // Dialog keys for the form: its default and cancel buttons.
        event->ignore();
        return;
    }
    const QString t = event->text();
    if (!t.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QChar c = t.at(0);
        if (key == Qt::Key_Backspace)
            c = QChar(8);
        if (c.unicode() != 127 && !AcceptsChar(c)) {
            DefaultBeep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

bool TKitSpinEdit::changesText(const QKeyEvent* event)
{
    // The editing keys of QLineEdit that change the text without typing a character.
    static const QKeySequence::StandardKey editing[] = {
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::Delete,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine,
    };
    for (QKeySequence::StandardKey k : editing)
        if (event->matches(k))
            return true;
    // Backspace with a modifier deletes as well; plain Backspace is a refused character.
    const int key = event->key();
    return key == Qt::Key_Delete || (key == Qt::Key_Backspace && event->modifiers() != Qt::NoModifier);
}

// Text that comes in whole (pasted or dropped) passes the character filter as typed
// text does, one character after the other; anything else is refused as a whole.
bool TKitSpinEdit::acceptsInserted(const QString& inserted) const
{
    if (!editorEnabled_ || isReadOnly() || inserted.isEmpty())
        return false;
    QString t = text();
    if (hasSelectedText())
        t.remove(selectionStart(), selectedText().size());
    for (QChar c : inserted) {
        if (c.unicode() < 32 || !acceptsCharAfter(t, c))
            return false;
        t += c;
    }
    return true;
}

void TKitSpinEdit::pasteChecked()
{
    if (acceptsInserted(QGuiApplication::clipboard()->text()))
        paste();
    else
        DefaultBeep();
}

void TKitSpinEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsInserted(event->mimeData()->text()))
        QLineEdit::dragEnterEvent(event);
    else
        event->ignore();
}

void TKitSpinEdit::dropEvent(QDropEvent* event)
{
    if (acceptsInserted(event->mimeData()->text())) {
        QLineEdit::dropEvent(event);
        return;
    }
    event->ignore();
    DefaultBeep();
}

void TKitSpinEdit::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's paste runs through the same filter as the keyboard's.
    RouteEditMenuAction(menu.get(), TEditMenuAction::Paste, this, [this] { pasteChecked(); });
    if (!editorEnabled_) {
        // Only stepping may change the value: the menu's editing actions do nothing here.
        for (TEditMenuAction which : {TEditMenuAction::Undo, TEditMenuAction::Redo, TEditMenuAction::Cut,
                                      TEditMenuAction::Paste, TEditMenuAction::Delete})
            if (QAction* a = FindEditMenuAction(menu.get(), which)) {
                disconnect(a, &QAction::triggered, nullptr, nullptr);
                a->setEnabled(false);
            }
    }
    menu->exec(event->globalPos());
}

void TKitSpinEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (AutoSelect && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
}

void TKitSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Typed text outside the bounds is pulled to the nearest one on leaving.
    const double v = Value();
    if (ClampValue(v) != v)
        SetValue(v);
}
