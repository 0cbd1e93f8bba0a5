// The batch source dialog (Taufverzform): which images a batch run takes.
#pragma once
#include "app/options/option_blocks.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class TDirectoryEdit;

// Chooses the images of a batch run: a directory (with type filter and optionally its
// subdirectories) or a file list kept in "verz.sld".
class Taufverzform : public QDialog {
    Q_OBJECT
public:
    explicit Taufverzform(const tverzdialog& options, QWidget* owner = nullptr);
    ~Taufverzform() override;

    tverzdialog work;  // copied into the options by the caller when OK is set
    bool OK = false;

    void FormActivate();
    void RadioGroup1Click();
    void checkbuttonslide();
    void Button1Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();

    QLabel* Label1 = nullptr;  // the chosen record
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* SourceList = nullptr;
    QRadioButton* SourceDirectory = nullptr;
    QGroupBox* GroupBox2 = nullptr;  // the file list
    QGroupBox* GroupBox6 = nullptr;  // the directory
    TDirectoryEdit* DirectoryEdit1 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    // In flag order; GIF has no box and keeps its stored flag.
    std::array<QCheckBox*, 10> TypeBoxes{};
    QListWidget* ListBox1 = nullptr;
    std::array<QPushButton*, 10> Buttons{};  // at their numbers: 1, 2, 3, 6, 7, 8, 9
};
