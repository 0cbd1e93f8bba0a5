// The new-image, resize and resample dialog (TNeuGrafik).
#pragma once
#include "app/options/option_blocks.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TKitCalcEdit;

// "Neue Grafik": the size of a new image, or the new size of the active one (resize,
// resample). Works on Record, the caller's copy of the option block; every length
// written back is in the unit stored beside it.
class TNeuGrafik : public QDialog {
    Q_OBJECT
public:
    explicit TNeuGrafik(QWidget* parent = nullptr);

    tneudialog Record;
    // Handed back after closing.
    bool Accepted = false;
    int PixelWidth = 0;
    int PixelHeight = 0;
    int BackgroundIndex = 0;
    int FilterIndex = 0;
    int HelpContext() const { return helpContext_; }

    void FormActivate();
    void FormClose();
    void okClicked();      // "&Ok"
    void cancelClicked();  // "&Abbrechen"
    void presetClicked(int index);

    // The current size in pixels and the resolution in pixels per cm.
    double CurrentPixelWidth() const { return pixelWidth_; }
    double CurrentPixelHeight() const { return pixelHeight_; }
    double ResolutionPerCmValue() const { return perCm_; }

    TKitCalcEdit* widthEdit = nullptr;       // width
    TKitCalcEdit* heightEdit = nullptr;      // height
    TKitCalcEdit* resolutionEdit = nullptr;  // resolution
    QComboBox* widthUnitCombo = nullptr;
    QComboBox* heightUnitCombo = nullptr;
    QComboBox* resolutionUnitCombo = nullptr;
    QComboBox* filterCombo = nullptr;  // filter
    QLabel* memoryLabel = nullptr;     // memory
    QLabel* filterLabel = nullptr;
    QGroupBox* backgroundGroup = nullptr;  // background
    QGroupBox* presetGroup = nullptr;      // presets
    QButtonGroup* Background = nullptr;
    QButtonGroup* Presets = nullptr;
    QCheckBox* proportionalCheck = nullptr;  // proportional
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* helpButton = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void calculatePixelSize();
    void showMemorySize();
    void widthUnitChanged();
    void heightUnitChanged();
    void resolutionUnitChanged();
    void widthEdited();
    void heightEdited();
    void resolutionEdited();
    void lengthChanged(bool width);
    void unitChanged(bool width);
    void setEdit(TKitCalcEdit* edit, double value);

    double pixelWidth_ = 0, pixelHeight_ = 0, perCm_ = 0;
    // The size in pixels as the dialog opened: the base of the aspect ratio and of
    // "Doppelte" and "Hälfte".
    double openWidth_ = 0, openHeight_ = 0;
    bool busy_ = false;
    bool presetting_ = false;
    bool activated_ = false;
    bool closed_ = false;
    int helpContext_ = 411;
};
