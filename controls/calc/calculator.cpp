// The calculator panel: its keys, its arithmetic and the keypad.
#include "controls/calc/calculator.h"

#include "controls/draw/draw_utils.h"
#include "platform/core/number_format.h"
#include "platform/graphics/canvas.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <cmath>

namespace {

// A key's position in this map, minus 1, is the Tag of its button.
const QString& keyMap()
{
    static const QString map = QStringLiteral("0123456789_./*-+Q%R=") + CalcBackspace + QLatin1Char('C');
    return map;
}

struct KeyDef {
    int kind;
    int left, top;
};

// Buttons of the pop-up keypad; square root, per cent and reciprocal work by key only.
constexpr KeyDef keypad[] = {
    {1, 6, 75},   {2, 6, 52},   {3, 29, 52},  {4, 52, 52},  {5, 6, 29},   {6, 29, 29}, {7, 52, 29},
    {8, 6, 6},    {9, 29, 6},   {10, 52, 6},  {11, 52, 75}, {12, 29, 75}, {13, 75, 6}, {14, 75, 29},
    {15, 75, 52}, {16, 75, 75}, {20, 52, 98}, {21, 29, 98}, {22, 6, 98},
};

QString captionOf(int kind)
{
    if (kind >= 1 && kind <= 10)
        return QString(QChar('0' + kind - 1));
    switch (kind) {
    case 11: return QStringLiteral("\u00B1");
    case 12: return QString(DecimalSeparator());
    case 13: return QStringLiteral("/");
    case 14: return QStringLiteral("*");
    case 15: return QStringLiteral("-");
    case 16: return QStringLiteral("+");
    case 20: return QStringLiteral("=");
    case 21: return QStringLiteral("<-");
    case 22: return QStringLiteral("C");
    default: return QString();
    }
}

TColor colourOf(int kind)
{
    if (kind >= 13 && kind <= 20)
        return clPurple;
    if (kind == 21 || kind == 22)
        return clMaroon;
    return clBtnText;
}

bool isSeparator(QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('.') || c == DecimalSeparator(); }

}  // namespace

TFont CalcFont()
{
    TFont f;
    const QFont sys = QApplication::font("QStatusBar");
    if (!sys.family().isEmpty() && sys.pointSize() > 0) {
        f.Name = sys.family();
        f.Size = sys.pointSize();
        f.Color = clWindowText;
    } else {
        f.Name = QStringLiteral("MS Sans Serif");
        f.Size = 8;
        f.Color = clWindowText;
    }
    f.Style = fsBold;
    return f;
}

// ---- key button ------------------------------------------------------------------------

TCalcButton::TCalcButton(QWidget* parent, int kind) : TKitSpeedButton(parent), kind_(kind)
{
    if (kind >= 1 && kind <= 22)
        Tag = kind - 1;
    SetStyle(bsNew);
    SetCaption(captionOf(kind));
    takeFont();
}

void TCalcButton::takeFont()
{
    // The parent's font, but always in the colour of the key's kind.
    TFont f = CalcFont();
    const QFont q = font();
    f.Name = q.family();
    if (q.pointSize() > 0)
        f.Size = q.pointSize();
    f.Style = q.bold() ? fsBold : 0;
    f.Color = colourOf(kind_);
    SetCaptionFont(f);
}

void TCalcButton::changeEvent(QEvent* event)
{
    TKitSpeedButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        takeFont();
}

// ---- calculator panel --------------------------------------------------------------------

TCalculatorPanel::TCalculatorPanel(QWidget* parent) : TCustomControl(parent) {}

void TCalculatorPanel::Paint()
{
    TCanvas& cv = *Canvas();
    cv.Brush.Color = clBtnFace;
    cv.FillRect(TRect(0, 0, width(), height()));
    if (RaisedBevel) {
        cv.Pen.Color = clBtnHighlight;
        cv.MoveTo(0, height() - 1);
        cv.LineTo(0, 0);
        cv.LineTo(width() - 1, 0);
        cv.Pen.Color = clBtnShadow;
        cv.LineTo(width() - 1, height() - 1);
        cv.LineTo(-1, height() - 1);
    }
}

void TCalculatorPanel::beep() const
{
    if (beepOnError_)
        DefaultBeep();
}

void TCalculatorPanel::setText(const QString& s)
{
    if (s == text_)
        return;
    text_ = s;
    if (OnTextChange)
        OnTextChange();
}

double TCalculatorPanel::DisplayNumber() const
{
    if (status_ == csError)
        return 0;
    double v = 0;
    return TryStrToFloat(text_.trimmed(), v) ? v : 0;
}

void TCalculatorPanel::SetDisplayNumber(double x)
{
    // An overflow or an undefined result is an error, never a text such as "INF".
    if (!std::isfinite(x)) {
        enterError();
        return;
    }
    setText(FloatToStrF(x, ffGeneral, std::max(2, precision_), 0));
}

void TCalculatorPanel::ClearCalculator()
{
    status_ = csFirst;
    SetDisplayNumber(0);
    operator_ = QLatin1Char('=');
}

void TCalculatorPanel::StartWith(double value)
{
    status_ = csFirst;
    SetDisplayNumber(value);
    if (status_ == csError)
        SetDisplayNumber(0);
    status_ = csFirst;
    operator_ = QLatin1Char('=');
}

void TCalculatorPanel::startTyping()
{
    if (status_ != csFirst)
        return;
    status_ = csValid;
    setText(QStringLiteral("0"));
}

void TCalculatorPanel::enterError()
{
    status_ = csError;
    setText(QStringLiteral("Error"));
    beep();
}

int TCalculatorPanel::digitLimit() const
{
    return std::max(2, precision_) + (text_.contains(QLatin1Char('-')) ? 1 : 0);
}

TCalcButton* TCalculatorPanel::ButtonOfTag(int tag) const
{
    for (TCalcButton* b : findChildren<TCalcButton*>(Qt::FindDirectChildrenOnly))
        if (b->Tag == tag)
            return b;
    return nullptr;
}

void TCalculatorPanel::PressKeyButton(QChar key)
{
    QChar k = key;
    if (isSeparator(k))
        k = QLatin1Char('.');
    else if (k == CalcEnter)
        k = QLatin1Char('=');
    else if (k == CalcEscape)
        k = QLatin1Char('C');
    const int tag = keyMap().indexOf(k.toUpper());
    if (TCalcButton* b = tag >= 0 ? ButtonOfTag(tag) : nullptr)
        b->ButtonClick();
    else
        ProcessCalcKey(key);
}

void TCalculatorPanel::CalcButtonClick(TCalcButton* button)
{
    const int kind = button->Kind();
    QChar key;
    if (kind >= 1 && kind <= 10)
        key = QChar('0' + button->Tag);
    else if (kind == 12)
        key = DecimalSeparator();
    else if (kind == 21)
        key = CalcBackspace;
    else if (kind >= 11 && kind <= 22)
        key = keyMap().at(kind - 1);
    else
        return;
    ProcessCalcKey(key);
}

void TCalculatorPanel::ProcessCalcKey(QChar key)
{
    key = key.toUpper();
    if (status_ == csError && key != QLatin1Char('C'))
        return;
    const char16_t k = key.unicode();
    if (isSeparator(key)) {
        startTyping();
        if (!text_.contains(DecimalSeparator()))
            setText(text_ + DecimalSeparator());
        return;
    }
    switch (k) {
    case 8:
        startTyping();
        if (text_.size() == 1 || (text_.size() == 2 && text_.at(0) == QLatin1Char('-')))
            setText(QStringLiteral("0"));
        else
            setText(text_.left(text_.size() - 1));
        return;
    case 13:
    case '%':
    case '*':
    case '+':
    case '-':
    case '/':
    case '=': {
        if (status_ == csValid) {
            status_ = csFirst;
            double v = DisplayNumber();
            if (k == '%') {
                if (operator_ == QLatin1Char('*') || operator_ == QLatin1Char('/'))
                    v = v / 100;
                else if (operator_ == QLatin1Char('+') || operator_ == QLatin1Char('-'))
                    v = operand_ * v / 100;
            }
            double r = v;
            switch (operator_.unicode()) {
            case '*': r = operand_ * v; break;
            case '+': r = operand_ + v; break;
            case '-': r = operand_ - v; break;
            case '/':
                if (v == 0) {
                    enterError();
                    break;
                }
                r = operand_ / v;
                break;
            default: break;
            }
            if (status_ != csError)
                SetDisplayNumber(r);
        }
        operator_ = key;
        operand_ = DisplayNumber();
        if ((k == 13 || k == '%' || k == '=') && OnResult)
            OnResult();
        return;
    }
    case 27:
    case 'C': ClearCalculator(); return;
    case 'Q':
        status_ = csFirst;
        if (DisplayNumber() < 0)
            enterError();
        else
            SetDisplayNumber(std::sqrt(DisplayNumber()));
        return;
    case 'R':
        status_ = csFirst;
        if (DisplayNumber() == 0)
            enterError();
        else
            SetDisplayNumber(1.0 / DisplayNumber());
        return;
    case '_': SetDisplayNumber(-DisplayNumber()); return;
    default: break;
    }
    if (key.isDigit() && k < 128) {
        startTyping();
        QString t = text_ == QLatin1String("0") ? QString() : text_;
        if (t.contains(QLatin1Char('E')))
            return;
        if (t.size() < digitLimit())
            setText(t + key);
        else
            beep();
    }
}

// ---- pop-up keypad ------------------------------------------------------------------------

TLocCalculator::TLocCalculator(QWidget* parent) : TCalculatorPanel(parent)
{
    // Clicks reach the keys, but the keyboard focus stays in the edit.
    setFocusPolicy(Qt::NoFocus);
    resize(98, 124);
    for (const KeyDef& d : keypad) {
        auto* b = new TCalcButton(this, d.kind);
        b->setGeometry(d.left, d.top, d.kind == 20 ? 44 : 21, 21);
        b->setFocusPolicy(Qt::NoFocus);
        b->OnClick = [this, b](TObject*) { CalcButtonClick(b); };
    }
}
