// The colour picker dialog (TfColorSel) and its edit-bound up-down.
#pragma once
#include "platform/core/color.h"
#include "platform/ui/up_down.h"

#include <QDialog>
#include <array>

class QFrame;
class QLineEdit;
class QPushButton;
class TColorComboBox;
class THSVBox;

// An up-down bound to an edit: a press writes the new position into the edit.
class TEditUpDown : public TCustomUpDown {
public:
    TEditUpDown(QLineEdit* edit, int max, QWidget* parent);

protected:
    void Changed(TUDBtnType button) override;

private:
    QLineEdit* edit_;
};

// "Farbe auswählen": one colour picked with the HSV picker, the standard colours or
// typed red, green, blue, hue, saturation and value.
class TfColorSel : public QDialog {
    Q_OBJECT
public:
    explicit TfColorSel(QWidget* parent = nullptr);

    // The colour the dialog starts from; after OK, Color() is the result.
    static TColor StartColor;
    TColor Color() const;

    void FormActivate();
    // Step after every picker change: edits, up-downs and sample follow the picker.
    void hsvBoxChanged();

    THSVBox* hsvBox = nullptr;
    TColorComboBox* colorCombo = nullptr;
    QFrame* colorPanel = nullptr;
    // Red, green, blue, hue, saturation, value.
    std::array<QLineEdit*, 6> Edits{};
    std::array<TEditUpDown*, 6> UpDowns{};
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rgbEdited();
    void hueEdited();
    void satValEdited();
    bool busy_ = false;
    bool activated_ = false;
};
