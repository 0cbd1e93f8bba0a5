// The calculator edit's pop-up: the keypad dropped down under the edit.
#include "controls/edits/calc_popup.h"

#include "platform/core/number_format.h"
#include "controls/draw/draw_utils.h"

#include <QGuiApplication>
#include <QScreen>

TPopupCalculator::TPopupCalculator(TCustomComboEdit* owner) : TPopupWindow(owner)
{
    resize(104, 127);
    const TFont f = CalcFont();
    setFont(f.toQFont());
    calc_ = new TLocCalculator(this);
    calc_->RaisedBevel = true;
    calc_->setGeometry(0, 0, width(), height());
    calc_->SetPrecision(15);
    calc_->OnTextChange = [this] { InvalidateEditor(); };
    calc_->OnResult = [this] { takeCalcResult(); };
}

void TPopupCalculator::takeCalcResult()
{
    if (calc_->Status() == csError)
        return;
    calc_->SetDisplayNumber(calc_->DisplayNumber());
    FinishPopup(true);
}

QVariant TPopupCalculator::PopupValueOut() const
{
    if (calc_->Status() == csError) {
        if (calc_->BeepOnError())
            DefaultBeep();
        return QVariant(0);
    }
    calc_->SetDisplayNumber(calc_->DisplayNumber());
    return calc_->DisplayNumber();
}

void TPopupCalculator::PopupValueIn(const QVariant& value)
{
    double v = 0;
    const QString s = value.isNull() ? QString() : value.toString().trimmed();
    if (!s.isEmpty() && !TryStrToFloat(s, v))
        v = 0;
    calc_->StartWith(v);
}

QString TPopupCalculator::PopupText() const { return calc_->Text(); }

void TPopupCalculator::KeyPress(QChar key) { calc_->PressKeyButton(key); }

TPopupCalculator* MakePopupCalculator(TCustomComboEdit* edit, Qt::LayoutDirection direction)
{
    auto* popup = new TPopupCalculator(edit);
    const QScreen* s = edit->screen() ? edit->screen() : QGuiApplication::primaryScreen();
    const int ppi = s ? qRound(s->logicalDotsPerInch()) : 96;
    if (ppi != 96 && ppi > 0) {
        // Scaled as a whole; the keys keep their places relative to the pad.
        auto scale = [ppi](const QRect& r) {
            return QRect(r.x() * ppi / 96, r.y() * ppi / 96, r.width() * ppi / 96, r.height() * ppi / 96);
        };
        popup->resize(popup->width() * ppi / 96, popup->height() * ppi / 96);
        popup->Calculator()->setGeometry(0, 0, popup->width(), popup->height());
        for (TCalcButton* b : popup->Calculator()->findChildren<TCalcButton*>())
            b->setGeometry(scale(b->geometry()));
        popup->Calculator()->setFont(CalcFont().toQFont());
    }
    popup->setLayoutDirection(direction);
    return popup;
}
