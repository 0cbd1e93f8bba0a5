// The speed button (TKitSpeedButton).
#pragma once
#include "controls/buttons/button_glyph.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"

#include <QPointer>
#include <memory>

#include <QMenu>
class TTimer;

enum TKitDropDownMenuPos { dmpBottom, dmpRight };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// A push button painted on its parent with a glyph strip and a caption; it can toggle in
// exclusive groups among its parent's controls, repeat its click while held, open a
// drop-down menu, and show a flat look with a frame only under the mouse.
class TKitSpeedButton : public TCustomControl {
    Q_OBJECT
public:
    explicit TKitSpeedButton(QWidget* parent = nullptr);
    ~TKitSpeedButton() override;

    TTextAlignment Alignment() const { return glyph_.Alignment; }
    void SetAlignment(TTextAlignment a);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool on);
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool on);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool Down() const { return down_; }
    void SetDown(bool down);
    QMenu* DropDownMenu() const { return menu_; }
    void SetDropDownMenu(QMenu* menu);
    TKitDropDownMenuPos MenuPosition() const { return menuPosition_; }
    void SetMenuPosition(TKitDropDownMenuPos p) { menuPosition_ = p; }
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    const TBitmap& Glyph() const { return glyph_.Glyph(); }
    void SetGlyph(const TBitmap& bitmap) { glyph_.SetGlyph(bitmap); }
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool on);
    int InitPause() const { return initPause_; }
    void SetInitPause(int ms) { initPause_ = std::clamp(ms, 0, 65535); }
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int ms) { repeatInterval_ = std::clamp(ms, 0, 65535); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout l);
    int Margin() const { return margin_; }
    void SetMargin(int m);
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool on);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int mr) { modalResult_ = mr; }
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int n) { glyph_.SetNumGlyphs(n); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int s);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle s);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    bool WordWrap() const { return glyph_.WordWrap; }
    void SetWordWrap(bool on);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The caption's font; without one the canvas default in clBtnText.
    const TFont& CaptionFont() const { return captionFont_; }
    void SetCaptionFont(const TFont& font);

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The visual state as last painted or changed.
    TKitButtonState State() const { return state_; }
    // The state the button draws in (inactive for a flat button not under the mouse).
    TKitButtonState DrawingState() const;
    bool MouseInside() const { return mouseInside_; }
    // The repeat timer, created on the first held press with AllowTimer.
    TTimer* RepeatTimer() const { return repeatTimer_; }
    TKitButtonGlyph& ButtonGlyph() { return glyph_; }

    // Fires the click: the parent dialog's modal result, then OnClick.
    void Click() override;
    // A press as the keyboard of a pop-up calculator makes it: down, a short pause, up.
    void ButtonClick();
    // Counts the living buttons.
    static int InstanceCount();

    // Delivered to every control of the parent when a group member goes down.
    void ButtonPressed(int group, TKitSpeedButton* sender);

    // Re-evaluates whether the mouse is over the button.
    void UpdateTracking();

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoubleClick(TMouseButton button, TShiftState shift, int x, int y) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

    // Frame, dither and the content rectangle; the edit button adds its own lines.
    virtual void PaintFrame(TCanvas& canvas, TRect& content, TKitButtonState drawState);
    bool Dragging() const { return dragging_; }
    // True when the pointer at (x, y) counts as on the button while dragging.
    bool InsideForDrag(int x, int y) const;

private:
    void updateExclusive();
    void setMouseInside(bool inside);
    void repeatTick();
    void openMenu();
    void finishPress(int x, int y);
    void updateShortcut();

    TKitButtonGlyph glyph_;
    QString caption_;
    bool allowAllUp_ = false;
    bool allowTimer_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    QPointer<QMenu> menu_;
    TKitDropDownMenuPos menuPosition_ = dmpBottom;
    bool flat_ = false;
    bool grayedInactive_ = true;
    int initPause_ = 500;
    int repeatInterval_ = 100;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    bool markDropDown_ = true;
    int modalResult_ = 0;
    int spacing_ = 1;
    TButtonStyle style_ = bsAutoDetect;
    bool transparent_ = false;
    TFont captionFont_{.Color = clBtnText};
    bool ownCaptionFont_ = false;

    TKitButtonState state_ = kbsUp;
    bool dragging_ = false;
    bool menuTracking_ = false;
    bool mouseInside_ = false;
    TBitmap offscreen_;
    TTimer* repeatTimer_ = nullptr;
    int shortcutId_ = 0;
};
