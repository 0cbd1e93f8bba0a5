// The spin edit (TKitSpinEdit).
#pragma once
#include "controls/buttons/button_glyph.h"
#include "controls/buttons/spin_button.h"
#include "platform/core/events.h"

#include <QLineEdit>
#include <QPointer>

enum TValueType { vtInteger, vtFloat };
enum TSpinButtonKind { bkStandard, bkDiagonal };

// A number edit with a button at its right edge that steps the value by Increment.
// The value lives in the text. Bounds apply only when MinValue and MaxValue differ and
// are taken as given (never reordered).
class TKitSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TKitSpinEdit(QWidget* parent = nullptr);
    ~TKitSpinEdit() override;

    TTextAlignment Alignment() const { return alignment_; }
    void SetAlignment(TTextAlignment a);
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool on);
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind kind);
    int Decimal() const { return decimal_; }
    void SetDecimal(int d);
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool on);
    double Increment() const { return increment_; }
    void SetIncrement(double v) { increment_ = v; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType t);
    // Text that does not convert reads as MinValue (truncated for integers).
    double Value() const;
    void SetValue(double v);
    double ClampValue(double v) const;
    bool AutoSelect = true;

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;
    TNotifyEvent OnChange;

    virtual bool AcceptsChar(QChar c) const;
    virtual void StepUp();
    virtual void StepDown();

    TKitSpinButton* SpinButton() const { return button_; }
    TKitUpDown* UpDown() const { return upDown_; }
    int SpinButtonWidth() const;
    int MinEditHeight() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void step(bool up);
    bool acceptsCharAfter(const QString& typed, QChar c) const;
    bool acceptsInserted(const QString& inserted) const;
    void pasteChecked();
    static bool changesText(const QKeyEvent* event);
    void rebuildSpinButton();
    void updateButtonBounds();
    void updateEditRect();

    TTextAlignment alignment_ = taLeftJustify;
    double minValue_ = 0;
    double maxValue_ = 0;
    double increment_ = 1;
    int decimal_ = 2;
    bool changing_ = false;
    bool editorEnabled_ = true;
    TValueType valueType_ = vtInteger;
    QPointer<TKitSpinButton> button_;
    QPointer<QWidget> buttonContainer_;
    bool arrowKeys_ = true;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    QPointer<TKitUpDown> upDown_;
};
