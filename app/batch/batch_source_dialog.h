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
    void sourceClicked();
    void updateListButtons();
    void applyClicked();
    void addClicked();
    void deleteClicked();
    void deleteAllClicked();
    void selectAllTypesClicked();

    QLabel* recordLabel = nullptr;  // the chosen record
    QGroupBox* sourceGroup = nullptr;
    QRadioButton* SourceList = nullptr;
    QRadioButton* SourceDirectory = nullptr;
    QGroupBox* listGroup = nullptr;       // the file list
    QGroupBox* directoryGroup = nullptr;  // the directory
    TDirectoryEdit* directoryEdit = nullptr;
    QCheckBox* subfoldersCheck = nullptr;
    // In flag order; GIF has no box and keeps its stored flag.
    std::array<QCheckBox*, 10> TypeBoxes{};
    QListWidget* fileList = nullptr;
    std::array<QPushButton*, 10> Buttons{};  // at their numbers: 1, 2, 3, 6, 7, 8, 9
};
