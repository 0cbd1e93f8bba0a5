// The spin button (TKitSpinButton) and its up-down flavour (TKitUpDown).
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/ui/control.h"
#include "platform/ui/up_down.h"

#include <QPointer>
#include <functional>

class TTimer;

enum TSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };

// One square split on its diagonal: the upper-left half steps up, the lower-right half
// down. Held, it repeats after 400 ms and then every 100 ms.
class TKitSpinButton : public TCustomControl {
    Q_OBJECT
public:
    explicit TKitSpinButton(QWidget* parent = nullptr);
    ~TKitSpinButton() override;

    const TBitmap& UpGlyph() const { return upGlyph_; }
    // Null reloads the built-in glyph.
    void SetUpGlyph(const TBitmap* glyph);
    const TBitmap& DownGlyph() const { return downGlyph_; }
    void SetDownGlyph(const TBitmap* glyph);
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* w) { focusControl_ = w; }

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

    TSpinButtonState Pressed() const { return pressed_; }
    TTimer* RepeatTimer() const { return repeatTimer_; }
    // True when (x, y) lies in the lower-right half.
    bool InBottomHalf(int x, int y) const;
    // The picture of a state at the control's size.
    TBitmap BuildSpinImage(TSpinButtonState state) const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void changeEvent(QEvent* event) override;

private:
    void clickHalf(TSpinButtonState s);
    void repeatTick();

    TSpinButtonState pressed_ = sbNotDown;
    TBitmap upGlyph_;
    TBitmap downGlyph_;
    bool tracking_ = false;
    bool rebuild_ = true;
    TBitmap topImage_;
    TBitmap bottomImage_;
    TTimer* repeatTimer_ = nullptr;
    TBitmap notDownImage_;
    TSpinButtonState lastPressed_ = sbNotDown;
    QPointer<QWidget> focusControl_;
};

// The up-down flavour of the spin edit's button: vertical, −1 … 1, back at 0 after
// every press so that each press reports its arrow.
class TKitUpDown : public TCustomUpDown {
    Q_OBJECT
public:
    explicit TKitUpDown(QWidget* parent = nullptr);
    ~TKitUpDown() override;
    std::function<void(TObject* Sender, TUDBtnType Button)> OnClick;

protected:
    void Changed(TUDBtnType button) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool inChange_ = false;
};

// Width of the up-down button: the scroll-bar width, at most 15 pixels.
int DefaultSpinButtonWidth();
