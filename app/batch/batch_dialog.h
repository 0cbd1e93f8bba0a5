// The batch dialog (Tautoform): record files, target format, existing files and quick starters.
#pragma once
#include "app/options/options.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class TDirectoryEdit;
class TImageKitIO;
class TKitSpinEdit;
class TMainWindowServices;

// The resident batch dialog: the record files, the after-processing settings and the
// quick starters. Its results name what the user chose (0 closed, 1 "Beenden", and
// the play and record modes of the batch runner's RunBatch).
class Tautoform : public QDialog {
    Q_OBJECT
public:
    // main: whose active image the format parameters are edited on; none edits a sample.
    explicit Tautoform(QWidget* owner = nullptr, TMainWindowServices* main = nullptr);
    ~Tautoform() override;

    // The working copy of the option block; the controls show it after FormActivate.
    tautodialog work;

    // Fills the controls from the options and the working copy (run before showing).
    void FormActivate(const toptions& options);
    // Stores the quick starters (run after closing).
    void FormClose(toptions& options) const;
    // The after-processing settings as the controls stand.
    tautodialog Settings() const;
    QString Directory() const;
    void SetDirectory(const QString& directory);
    // Chooses "nichts" in the controls and the working copy.
    void ChooseNothing();
    QString SelectedRecord() const;  // file name with ".atm", empty when none

    void updateButtons();
    void updateQuickStarters();
    static void SelectComboItem(QComboBox* box, const QString& text);

    void deleteClicked();
    void recordClicked();
    void parametersClicked();

    QListWidget* recordList = nullptr;
    QGroupBox* afterGroup = nullptr;
    QRadioButton* afterNothingRadio = nullptr;
    QRadioButton* afterSaveCloseRadio = nullptr;
    QRadioButton* afterSaveToRadio = nullptr;
    TDirectoryEdit* targetDirectoryEdit = nullptr;
    QLabel* startFileLabel = nullptr;
    QLabel* formatLabel = nullptr;
    QLabel* existsLabel = nullptr;
    QLineEdit* startFileEdit = nullptr;
    TKitSpinEdit* startNumberEdit = nullptr;
    QComboBox* formatCombo = nullptr;
    QComboBox* existsCombo = nullptr;
    QCheckBox* keepFormatCheck = nullptr;
    QCheckBox* keepNameCheck = nullptr;
    std::array<QComboBox*, 8> QuickStarters{};
    std::array<QPushButton*, 10> Buttons{};  // Button1 … Button9 at 1 … 9
    // Holds the batch's save parameters for the format box's format.
    TImageKitIO* imageKit = nullptr;

private:
    TMainWindowServices* main_;
};
