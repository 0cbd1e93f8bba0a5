// A combo box whose items are drawn by the control (TOwnerDrawComboBox).
#pragma once
#include "platform/core/color.h"
#include "platform/core/events.h"
#include "platform/core/geometry.h"

#include <QComboBox>
#include <QPointer>

class QLineEdit;

class TCanvas;

enum TOwnerDrawComboStyle { csDropDown, csSimple, csDropDownList };

// A combo box whose items (in the list and in a closed drop-down list box) are drawn
// by DrawItem at a fixed item height. csDropDown and csSimple are editable; Qt has no
// always-open list, so csSimple behaves as csDropDown.
class TOwnerDrawComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TOwnerDrawComboBox(QWidget* parent = nullptr);
    ~TOwnerDrawComboBox() override;

    TOwnerDrawComboStyle Style() const { return style_; }
    void SetStyle(TOwnerDrawComboStyle s);
    // The selected item, −1 when nothing is selected or the user typed other text.
    int ItemIndex() const { return typed_ ? -1 : currentIndex(); }
    int ItemHeight() const { return itemHeight_; }
    QString Text() const { return currentText(); }

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

    // Draws item index into r; the brush and font colour are set for the normal or
    // selected state beforehand.
    virtual void DrawItem(int index, TCanvas& canvas, const TRect& r, bool selected) = 0;
    // What creating the window again does: item height, list filling.
    void RecreateWnd() { CreateWnd(); }

protected:
    virtual int StyleItemHeight();
    virtual void PopulateList() {}
    virtual void CreateWnd();
    virtual void Click();
    virtual void Change();
    // Selects an item (or none) as code does: no click or change from the user.
    void selectItem(int index);
    void setTypedText(const QString& text);
    // Height of a text line of the control's font plus 1.
    int FontLineHeight() const;

    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    class Delegate;
    void connectEditor();
    TOwnerDrawComboStyle style_ = csDropDownList;
    int itemHeight_ = 9;
    bool typed_ = false;
    QPointer<QLineEdit> connectedEdit_;
};
