// An edit with a button and a drop-down pop-up (TCustomComboEdit).
#pragma once
#include "controls/buttons/speed_button.h"
#include "platform/core/events.h"

#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <memory>

class TCustomComboEdit;

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
enum TPopupAlign { epaRight, epaLeft };

// The button glued inside a combo edit's right edge.
class TEditButton : public TKitSpeedButton {
    Q_OBJECT
public:
    TEditButton(TCustomComboEdit* edit, QWidget* parent);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TCustomComboEdit* edit_;
    bool suppressClick_ = false;
};

// A window that drops down under its edit without taking the keyboard focus from it.
// Descendants hold a value: PopupValueIn receives the edit's, PopupValueOut gives theirs.
class TPopupWindow : public QWidget {
    Q_OBJECT
public:
    explicit TPopupWindow(TCustomComboEdit* owner);

    virtual QVariant PopupValueOut() const = 0;
    virtual void PopupValueIn(const QVariant& value) = 0;
    // Ends the pop-up through CloseUpHandler.
    virtual void FinishPopup(bool accept);
    virtual QString PopupText() const { return QString(); }

    // Positioned at a screen point and shown without activation or resizing.
    void Show(const QPoint& origin);
    void Hide();
    // Repaints the owner's text area at once.
    void InvalidateEditor();
    TCustomComboEdit* Owner() const { return owner_; }

    std::function<void(TObject* Sender, bool Accept)> CloseUpHandler;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TCustomComboEdit* owner_;
};

// A single-line edit with a button inside its right edge that opens a pop-up window or
// runs a dialog.
class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    // Key and modifiers that click the button (Alt+Down by default).
    QKeyCombination ClickKey() const { return clickKey_; }
    void SetClickKey(QKeyCombination key) { clickKey_ = key; }
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool on);
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind kind);
    const TBitmap& Glyph() const { return button_->Glyph(); }
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return button_->NumGlyphs(); }
    void SetNumGlyphs(int n);
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int w);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    TPopupAlign PopupAlign() const { return popupAlign_; }
    void SetPopupAlign(TPopupAlign a) { popupAlign_ = a; }
    bool AutoSelect = true;

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnChange;

    TEditButton* Button() const { return button_; }
    QWidget* ButtonContainer() const { return container_; }
    TPopupWindow* Popup() const { return popup_; }
    bool PopupVisible() const { return popupVisible_; }

    // The button's click: fires OnButtonClick, then opens or closes the pop-up.
    // Nothing happens while ReadOnly.
    virtual void ButtonClick();
    void ClosePopup(bool accept);
    // Where a pop-up of the given size opens under (or above) the edit on a screen.
    QPoint PopupOrigin(const QSize& popupSize, const QRect& screen) const;

    // The smaller of the system's and the edit's text height plus the frame.
    int MinEditHeight() const;

    // A monochrome bitmap of three 2 × 2 dots for a button of the given width.
    static TBitmap EllipsisGlyph(int buttonWidth);

protected:
    // The glyph of gkDefault (none in the base).
    virtual const TBitmap* DefaultGlyphBitmap() const { return nullptr; }
    virtual int DefaultNumGlyphs() const { return 1; }
    virtual void OpenPopup(bool disableEdit);
    virtual void PlacePopupAt(const QPoint& p);
    virtual void RemovePopup();
    virtual bool PopupValueAcceptable(const QVariant&) const { return true; }
    virtual void TakePopupValue(const QVariant& value);
    virtual void SendValueToPopup(const QVariant& value);
    virtual QVariant ReadPopupValue() const;
    virtual void PopupTextChanged() {}
    virtual void EditButtonPressed();
    virtual void Change();
    // Descendants hand their pop-up over; its close-up runs ClosePopup.
    void SetPopup(TPopupWindow* popup);
    void RefreshGlyph();
    void UpdateButtonPlacement();

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyReadOnly();
    int naturalButtonWidth() const;

    TEditButton* button_ = nullptr;
    QWidget* container_ = nullptr;
    QKeyCombination clickKey_{Qt::AltModifier, Qt::Key_Down};
    bool readOnly_ = false;
    bool directInput_ = true;
    int buttonWidth_ = 21;
    TPopupAlign popupAlign_ = epaRight;
    TGlyphKind glyphKind_ = gkCustom;
    QPointer<TPopupWindow> popup_;
    bool popupVisible_ = false;
};
