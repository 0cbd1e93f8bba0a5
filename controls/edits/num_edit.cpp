// Number text parsing and the number and calculator edits.
#include "controls/edits/num_edit.h"

#include "controls/edits/calc_popup.h"
#include "controls/draw/draw_utils.h"
#include "controls/draw/kit_resources.h"
#include "controls/edits/edit_menu.h"
#include "platform/core/exceptions.h"
#include "platform/core/number_format.h"
#include "platform/ui/application.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <memory>

// ---- number text -----------------------------------------------------------------------

QString ParseNumberText(const QString& s)
{
    QString t = s.trimmed();
    const QChar dec = DecimalSeparator(), thou = ThousandSeparator();
    if (thou != dec)
        t.remove(thou);
    for (QChar c : {QLatin1Char('.'), QLatin1Char(',')})
        if (dec != c && thou != c)
            t.replace(c, dec);
    if (t.isEmpty())
        return QStringLiteral("0");
    if (t == QLatin1String("-"))
        return QStringLiteral("-0");
    return t;
}

bool IsNumberText(const QString& s, double& value)
{
    for (QChar c : s)
        if (!(c == QLatin1Char('+') || c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              c == QLatin1Char('E') || c == QLatin1Char('e') || c == DecimalSeparator()))
            return false;
    return TryStrToFloat(s.left(63), value);
}

QString InsertThousandSeparators(const QString& s, bool separate)
{
    int start = 0;
    QString sign;
    if (!s.isEmpty() && (s.at(0) == QLatin1Char('-') || s.at(0) == QLatin1Char('+'))) {
        sign = s.left(1);
        start = 1;
    }
    int end = s.size();
    for (int i = start; i < s.size(); ++i)
        if (s.at(i) == DecimalSeparator() || s.at(i).toUpper() == QLatin1Char('E')) {
            end = i;
            break;
        }
    QString integer = s.mid(start, end - start);
    if (separate)
        for (int i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, ThousandSeparator());
    return sign + integer + s.mid(end);
}

// ---- number edit -----------------------------------------------------------------------

TCustomNumEdit::TCustomNumEdit(QWidget* parent) : TCustomComboEdit(parent), displayFormat_(StandardDisplayFormat())
{
    QLineEdit::setText(QString());
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    RefreshEditText();
}

void TCustomNumEdit::SetAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    applyEditAlignment();
    update();
}

void TCustomNumEdit::applyEditAlignment()
{
    Qt::Alignment h = Qt::AlignLeft;
    if (formatOnEditing_)
        h = alignment_ == taRightJustify ? Qt::AlignRight : alignment_ == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(h | Qt::AlignVCenter);
}

void TCustomNumEdit::SetBeepOnError(bool on)
{
    if (on == beepOnError_)
        return;
    beepOnError_ = on;
    SyncPopup();
}

void TCustomNumEdit::SetDecimalPlaces(unsigned n)
{
    if (n == decimalPlaces_)
        return;
    decimalPlaces_ = n;
    RefreshEditText();
    update();
}

void TCustomNumEdit::SetDisplayFormat(const QString& f)
{
    if (f == displayFormat_)
        return;
    displayFormat_ = f;
    update();
    RefreshEditText();
}

void TCustomNumEdit::SetFormatOnEditing(bool on)
{
    if (on == formatOnEditing_)
        return;
    formatOnEditing_ = on;
    applyEditAlignment();
    if (focused_) {
        if (on) {
            ApplyEditFormat();
        } else {
            CommitEditText();
            RefreshEditText();
        }
    }
}

void TCustomNumEdit::SetMaxValue(double v)
{
    if (v == maxValue_)
        return;
    maxValue_ = v;
    SetValue(value_);
}

void TCustomNumEdit::SetMinValue(double v)
{
    if (v == minValue_)
        return;
    minValue_ = v;
    SetValue(value_);
}

void TCustomNumEdit::SetZeroEmpty(bool on)
{
    if (on == zeroEmpty_)
        return;
    zeroEmpty_ = on;
    RefreshEditText();
}

double TCustomNumEdit::Value()
{
    try {
        CommitEditText();
    } catch (...) {
        value_ = minValue_;
    }
    return value_;
}

void TCustomNumEdit::SetValue(double v)
{
    value_ = CheckNumber(v, false);
    RefreshEditText();
    update();
}

void TCustomNumEdit::SetText(const QString& s)
{
    value_ = CheckNumber(StrToFloat(ParseNumberText(s)), false);
    RefreshEditText();
    update();
}

double TCustomNumEdit::CheckNumber(double x, bool raise) const
{
    double r = x;
    if (maxValue_ > minValue_) {
        r = std::clamp(x, minValue_, maxValue_);
    } else if (maxValue_ < minValue_) {
        // A bound of 0 on the wrong side means "no such bound".
        if (maxValue_ == 0 && x < minValue_)
            r = minValue_;
        else if (minValue_ == 0 && x > maxValue_)
            r = maxValue_;
    }
    if (raise && r != x) {
        const int d = int(decimalPlaces_);
        throw ERangeError(QStringLiteral("Value must be between %1 and %2")
                              .arg(FloatToStrF(minValue_, ffFixed, 18, d), FloatToStrF(maxValue_, ffFixed, 18, d)));
    }
    return r;
}

void TCustomNumEdit::CommitEditText() { value_ = CheckNumber(StrToFloat(ParseNumberText(text())), false); }

void TCustomNumEdit::RefreshEditText()
{
    const QString format = decimalPlaces_ == 0 ? QStringLiteral("0")
                                               : QStringLiteral("0.") + QString(int(decimalPlaces_), QLatin1Char('#'));
    if (value_ != 0 || !zeroEmpty_)
        QLineEdit::setText(FormatFloat(format, value_));
    else
        QLineEdit::setText(QString());
}

QString TCustomNumEdit::DisplayString() const
{
    if (displayFormat_.isEmpty())
        return FloatToStr(value_);
    return FormatFloat(displayFormat_, value_);
}

bool TCustomNumEdit::AcceptsNumberChar(QChar c)
{
    QString s = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? selectedText().size() : 0;
    s.replace(start, length, QString(c));
    s = ParseNumberText(s);
    const int p = s.indexOf(DecimalSeparator());
    if (p >= 0) {
        int e = s.indexOf(QLatin1Char('E'), p, Qt::CaseInsensitive);
        if (e < 0)
            e = s.size();
        if (e - p - 1 > int(decimalPlaces_))
            return false;
    }
    double v = 0;
    if (!IsNumberText(s, v))
        return false;
    return !(minValue_ >= 0 && maxValue_ > 0 && v < 0);
}

void TCustomNumEdit::ApplyEditFormat()
{
    if (!focused_ || !formatOnEditing_)
        return;
    formatting_ = true;
    QString s = text();
    if (!s.isEmpty() && s != QLatin1String("-"))
        s = ParseNumberText(s);
    s = InsertThousandSeparators(s, displayFormat_.contains(QLatin1Char(',')));
    const int fromEnd = text().size() - cursorPosition();
    QLineEdit::setText(s);
    setCursorPosition(std::max(0, int(s.size()) - fromEnd));
    formatting_ = false;
}

void TCustomNumEdit::Change()
{
    if (formatting_)
        return;
    if (formatOnEditing_ && focused_)
        ApplyEditFormat();
    TCustomComboEdit::Change();
}

void TCustomNumEdit::TakePopupValue(const QVariant& value)
{
    // The calculator hands over a number; the edit text is in the locale's form.
    bool ok = false;
    const double v = value.toDouble(&ok);
    TCustomComboEdit::TakePopupValue(ok ? QVariant(FloatToStr(v)) : value);
}

void TCustomNumEdit::SendValueToPopup(const QVariant& value)
{
    // Thousand separators typed with FormatOnEditing must not make the number unreadable.
    if (value.isNull())
        TCustomComboEdit::SendValueToPopup(value);
    else
        TCustomComboEdit::SendValueToPopup(QVariant(ParseNumberText(value.toString())));
}

void TCustomNumEdit::reset()
{
    RefreshEditText();
    if (DirectInput())
        selectAll();
}

void TCustomNumEdit::Paste()
{
    insertChecked([this] { QLineEdit::paste(); });
}

// Text that comes in whole (pasted or dropped) stays only when it makes a number;
// otherwise the old text comes back.
void TCustomNumEdit::insertChecked(const std::function<void()>& insert)
{
    const QString old = text();
    try {
        insert();
        CommitEditText();
    } catch (...) {
        QLineEdit::setText(old);
        selectAll();
        setFocus();
        if (beepOnError_)
            DefaultBeep();
    }
}

void TCustomNumEdit::dropEvent(QDropEvent* event)
{
    // Focused first: taking the focus sets the edit text from the value, which must not
    // happen after the drop went in.
    setFocus(Qt::MouseFocusReason);
    insertChecked([this, event] { TCustomComboEdit::dropEvent(event); });
}

void TCustomNumEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    QChar c = event->text().isEmpty() ? QChar() : event->text().at(0);
    if (key == Qt::Key_Backspace)
        c = CalcBackspace;
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        c = CalcEnter;
    if (PopupVisible() && !c.isNull()) {
        auto* calc = qobject_cast<TPopupCalculator*>(Popup());
        static const QString calcKeys = QString(CalcBackspace) + CalcEnter + QStringLiteral("%*+,-./0123456789=CQR_");
        const QChar u = c.toUpper();
        if (calc && (calcKeys.contains(u) || u == DecimalSeparator())) {
            calc->KeyPress(c);
            event->accept();
            return;
        }
    }
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape && !PopupVisible()) {
        // The text goes back to the value; the key still reaches the dialog as its cancel key.
        reset();
        event->ignore();
        return;
    }
    const bool printable = !c.isNull() && c.isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!printable || key == Qt::Key_Escape || PopupVisible()) {
        TCustomComboEdit::keyPressEvent(event);
        return;
    }
    if (c == QLatin1Char(',') || c == QLatin1Char('.'))
        c = DecimalSeparator();
    if (!AcceptsNumberChar(c)) {
        if (beepOnError_)
            DefaultBeep();
        event->accept();
        return;
    }
    QKeyEvent typed(QEvent::KeyPress, key, event->modifiers(), QString(c), event->isAutoRepeat());
    TCustomComboEdit::keyPressEvent(&typed);
    event->setAccepted(typed.isAccepted());
}

void TCustomNumEdit::focusInEvent(QFocusEvent* event)
{
    // Taking the focus back after a refused exit keeps the text as it was typed.
    if (!focused_) {
        focused_ = true;
        update();
        formatting_ = true;
        RefreshEditText();
        formatting_ = false;
        if (formatOnEditing_)
            ApplyEditFormat();
    }
    TCustomComboEdit::focusInEvent(event);
}

void TCustomNumEdit::DoExit()
{
    if (checkOnExit_)
        CheckNumber(StrToFloat(ParseNumberText(text())), true);
    CommitEditText();
}

void TCustomNumEdit::focusOutEvent(QFocusEvent* event)
{
    TCustomComboEdit::focusOutEvent(event);
    // A focus change cannot be refused here: the error is reported and the focus taken
    // back once the change has finished.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    try {
        DoExit();
    } catch (const Exception& e) {
        if (DirectInput())
            selectAll();
        auto error = std::make_shared<Exception>(e);
        QTimer::singleShot(0, this, [this, error] {
            TApplication::HandleException(*error);
            if (window())
                window()->activateWindow();
            setFocus(Qt::OtherFocusReason);
        });
        return;
    }
    focused_ = false;
    RefreshEditText();
    setCursorPosition(0);
    update();
    if (OnExit)
        OnExit(this);
}

void TCustomNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu's paste runs through Paste, like the keyboard's.
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    RouteEditMenuAction(menu.get(), TEditMenuAction::Paste, this, [this] { Paste(); });
    menu->exec(event->globalPos());
}

void TCustomNumEdit::changeEvent(QEvent* event)
{
    TCustomComboEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || (event->type() == QEvent::EnabledChange && !focused_))
        update();
}

QString TCustomNumEdit::PaintedText() const
{
    if (PopupVisible() && Popup())
        return Popup()->PopupText();
    if (focused_)
        return QString();
    return DisplayString();
}

void TCustomNumEdit::paintEvent(QPaintEvent* event)
{
    if (focused_ && !PopupVisible()) {
        TCustomComboEdit::paintEvent(event);
        return;
    }
    QPainter p(this);
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);
    const QString s = PaintedText();
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &frame, this);
    // The edit's own left margin, so that the text does not jump when the focus arrives.
    const int border = contents.left();
    const int margin = textMargins().left() + 2;
    const int clientWidth = width() - 2 * border;
    const int bw = ButtonContainer()->isVisibleTo(this) ? ButtonWidth() : 0;
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(s) + (bw > 0 ? 1 : 0);
    int x = margin;
    if (!PopupVisible()) {
        if (alignment_ == taRightJustify)
            x = clientWidth - bw - tw - margin - 2;
        else if (alignment_ == taCenter)
            x = (clientWidth - bw - tw) / 2;
    }
    if (layoutDirection() == Qt::RightToLeft && (PopupVisible() || alignment_ == taLeftJustify))
        x = clientWidth - bw - tw - margin;
    QColor colour = palette().color(QPalette::Text);
    if (!isEnabled())
        colour = palette().color(QPalette::Disabled, QPalette::Text);
    p.setPen(colour);
    p.setFont(font());
    const QRect area(border, border, clientWidth - bw, height() - 2 * border);
    p.setClipRect(area);
    const int y = border + (area.height() - fm.height()) / 2 + fm.ascent();
    p.drawText(border + x, y, s);
}

// ---- calculator edit ---------------------------------------------------------------------

TKitCustomCalcEdit::TKitCustomCalcEdit(QWidget* parent) : TCustomNumEdit(parent)
{
    SetGlyphKind(gkDefault);
    SetButtonWidth(20);
    SetPopup(MakePopupCalculator(this, layoutDirection()));
    SyncPopup();
}

TPopupCalculator* TKitCustomCalcEdit::PopupCalculator() const { return qobject_cast<TPopupCalculator*>(Popup()); }

const TBitmap* TKitCustomCalcEdit::DefaultGlyphBitmap() const
{
    // Loaded once, shared by every calculator edit.
    static const std::unique_ptr<TBitmap> glyph = LoadResourceBitmap(rmKit, TResId::Named(QStringLiteral("CEDITBMP")));
    return glyph.get();
}

void TKitCustomCalcEdit::SyncPopup()
{
    if (TPopupCalculator* p = PopupCalculator()) {
        p->Calculator()->SetPrecision(std::max(2, 15));
        p->Calculator()->SetBeepOnError(BeepOnError());
    }
}
