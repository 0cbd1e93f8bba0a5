// The calculator panel, its buttons and its keypad.
#pragma once
#include "controls/buttons/speed_button.h"

#include <functional>

enum TCalcState { csFirst, csValid, csError };

// Key characters the calculator reads besides digits and operators.
constexpr QChar CalcBackspace{8};
constexpr QChar CalcEnter{13};
constexpr QChar CalcEscape{27};

// The calculator's font: the system's status-bar font, bold.
TFont CalcFont();

// A keypad key; Tag is its position in the key map (kind − 1), −1 for unknown kinds.
class TCalcButton : public TKitSpeedButton {
    Q_OBJECT
public:
    TCalcButton(QWidget* parent, int kind);

    int Kind() const { return kind_; }
    int Tag = -1;

protected:
    void changeEvent(QEvent* event) override;

private:
    void takeFont();
    int kind_;
};

// A four-function calculator: a display text and a state machine driven by key characters.
class TCalculatorPanel : public TCustomControl {
    Q_OBJECT
public:
    explicit TCalculatorPanel(QWidget* parent = nullptr);

    QString Text() const { return text_; }
    TCalcState Status() const { return status_; }
    QChar Operator() const { return operator_; }
    double Operand() const { return operand_; }
    double Memory() const { return memory_; }
    int Precision() const { return precision_; }
    void SetPrecision(int p) { precision_ = p; }
    bool BeepOnError() const { return beepOnError_; }
    void SetBeepOnError(bool on) { beepOnError_ = on; }
    bool RaisedBevel = false;

    // The display's number: 0 in the error state.
    double DisplayNumber() const;
    void SetDisplayNumber(double x);
    void ClearCalculator();
    // Resets to the start state showing value, with '=' pending.
    void StartWith(double value);

    // A key as typed: clicks its button visibly when there is one.
    void PressKeyButton(QChar key);
    void ProcessCalcKey(QChar key);
    void CalcButtonClick(TCalcButton* button);
    TCalcButton* ButtonOfTag(int tag) const;

    std::function<void()> OnTextChange;
    std::function<void()> OnResult;

protected:
    void Paint() override;

private:
    int digitLimit() const;
    void setText(const QString& s);
    void startTyping();
    void enterError();
    void beep() const;

    QString text_ = QStringLiteral("0");
    TCalcState status_ = csFirst;
    QChar operator_;
    double operand_ = 0;
    double memory_ = 0;
    int precision_ = 15;
    bool beepOnError_ = true;
};

// The keypad shown in the calculator edit's pop-up. It never takes the focus.
class TLocCalculator : public TCalculatorPanel {
    Q_OBJECT
public:
    explicit TLocCalculator(QWidget* parent = nullptr);
};
