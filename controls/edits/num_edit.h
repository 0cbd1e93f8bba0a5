// Number edits and the calculator edit (TKitCalcEdit).
#pragma once
#include "controls/edits/combo_edit.h"

#include <functional>

class TPopupCalculator;

using TAlignment = TTextAlignment;

// Number text as typed, made convertible: blanks trimmed, thousand separators removed,
// '.' and ',' read as the decimal separator where neither is a separator of the locale;
// "" gives "0" and "-" gives "-0".
QString ParseNumberText(const QString& s);
// Only signs, digits, 'E' and the decimal separator, and at most 63 of them convertible.
bool IsNumberText(const QString& s, double& value);
// Thousand separators in the integer part (after the sign, before the separator or 'E').
QString InsertThousandSeparators(const QString& s, bool separate);

// An edit for one floating-point value: the value's edit text while focused, its display
// format otherwise; typed characters keep the text a number within the bounds.
class TCustomNumEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TCustomNumEdit(QWidget* parent = nullptr);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool BeepOnError() const { return beepOnError_; }
    void SetBeepOnError(bool on);
    bool CheckOnExit() const { return checkOnExit_; }
    void SetCheckOnExit(bool on) { checkOnExit_ = on; }
    unsigned DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(unsigned n);
    QString DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const QString& f);
    bool FormatOnEditing() const { return formatOnEditing_; }
    void SetFormatOnEditing(bool on);
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v);
    double MinValue() const { return minValue_; }
    void SetMinValue(double v);
    bool ZeroEmpty() const { return zeroEmpty_; }
    void SetZeroEmpty(bool on);

    // Commits the edit text first; a text that does not convert gives MinValue.
    double Value();
    void SetValue(double v);
    QString Text() const { return text(); }
    // Raises EConvertError on a text that is not a number.
    void SetText(const QString& s);

    // The value within the bounds; with raise, ERangeError when it had to move.
    double CheckNumber(double x, bool raise) const;
    // Raises the conversion error on a text that is not a number.
    void CommitEditText();
    // The text the control paints itself; empty while the edit shows its own text.
    QString PaintedText() const;
    bool Focused() const { return focused_; }
    // The edit is told to paste (keys and menu alike).
    void Paste();

    TNotifyEvent OnExit;

protected:
    virtual void RefreshEditText();
    virtual QString StandardDisplayFormat() const { return QStringLiteral(",0.##"); }
    virtual bool AcceptsNumberChar(QChar c);
    virtual QString DisplayString() const;
    virtual void SyncPopup() {}
    virtual void ApplyEditFormat();
    // The exit check; throws while the focus should stay.
    virtual void DoExit();

    void Change() override;
    void TakePopupValue(const QVariant& value) override;
    void SendValueToPopup(const QVariant& value) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void reset();
    void applyEditAlignment();
    void insertChecked(const std::function<void()>& insert);

    TAlignment alignment_ = taRightJustify;
    bool focused_ = false;
    double value_ = 0;
    double minValue_ = 0;
    double maxValue_ = 0;
    unsigned decimalPlaces_ = 2;
    bool beepOnError_ = true;
    bool checkOnExit_ = false;
    bool zeroEmpty_ = true;
    bool formatOnEditing_ = false;
    bool formatting_ = false;
    QString displayFormat_;
};

// A number edit whose button opens a pop-up calculator.
class TKitCustomCalcEdit : public TCustomNumEdit {
    Q_OBJECT
public:
    explicit TKitCustomCalcEdit(QWidget* parent = nullptr);

    TPopupCalculator* PopupCalculator() const;

protected:
    const TBitmap* DefaultGlyphBitmap() const override;
    int DefaultNumGlyphs() const override { return 2; }
    void SyncPopup() override;
};

class TKitCalcEdit : public TKitCustomCalcEdit {
    Q_OBJECT
public:
    using TKitCustomCalcEdit::TKitCustomCalcEdit;
};
