// The calculator edit's pop-up window.
#pragma once
#include "controls/calc/calculator.h"
#include "controls/edits/combo_edit.h"

// The pop-up window of the calculator edit.
class TPopupCalculator : public TPopupWindow {
    Q_OBJECT
public:
    explicit TPopupCalculator(TCustomComboEdit* owner);

    QVariant PopupValueOut() const override;
    void PopupValueIn(const QVariant& value) override;
    QString PopupText() const override;
    // A key typed into the edit while the pop-up is open.
    void KeyPress(QChar key);
    TLocCalculator* Calculator() const { return calc_; }

private:
    void takeCalcResult();
    TLocCalculator* calc_;
};

TPopupCalculator* MakePopupCalculator(TCustomComboEdit* edit, Qt::LayoutDirection direction);
