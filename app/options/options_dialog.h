// The options dialog (Toptionform).
#pragma once
#include "app/options/options.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;
class QTabWidget;
class TKitSpinEdit;

// "Optionen": general, catalog and file-type settings on a copy of the whole option
// record. Only OK changes anything: the record, the option file and the file-type
// bindings together.
class Toptionform : public QDialog {
    Q_OBJECT
public:
    // options: the record OK replaces; programPath: what the bindings start.
    Toptionform(toptions& options, const QString& programPath, QWidget* parent = nullptr);

    toptions Copy;

    void FormActivate();
    void setopTOscreen();
    void screenTOsetop();
    void Button1Click();  // OK
    void Button3Click();  // catalog font
    void Panel1Click();   // background colour
    void Button9Click();  // every type
    void Button4Click();  // no type

    QTabWidget* PageControl1 = nullptr;
    QFrame* Panel1 = nullptr;
    QComboBox* ComboBox4 = nullptr;  // zoom filter
    QComboBox* ComboBox1 = nullptr;  // ruler unit
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    TKitSpinEdit* KitSpinEdit4 = nullptr;  // undo depth
    TKitSpinEdit* KitSpinEdit1 = nullptr;  // catalog spacing
    TKitSpinEdit* KitSpinEdit2 = nullptr;  // thumbnail width
    TKitSpinEdit* KitSpinEdit3 = nullptr;  // thumbnail height
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    // Caption flags 1, 2, 4, 8.
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    // One per row of the file-type table (CheckBox10 … CheckBox18).
    std::array<QCheckBox*, 9> TypeBoxes{};
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button9 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showBackground();
    toptions& options_;
    QString programPath_;
    bool activated_ = false;
};

// Binds every row of the file-type table whose box is set, unbinds the others.
void ApplyFileTypeBindings(const std::array<bool, 9>& bound, const QString& programPath);
// Whether each row is bound now (the JPEG row only with both of its extensions).
std::array<bool, 9> FileTypeBindingState();
