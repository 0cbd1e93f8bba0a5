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
    void Button1Click();  // "&Ok"
    void Button2Click();  // "&Abbrechen"
    void RadioGroup2Click(int index);

    // The current size in pixels and the resolution in pixels per cm.
    double CurrentPixelWidth() const { return pixelWidth_; }
    double CurrentPixelHeight() const { return pixelHeight_; }
    double ResolutionPerCmValue() const { return perCm_; }

    TKitCalcEdit* KitCalcEdit1 = nullptr;  // width
    TKitCalcEdit* KitCalcEdit2 = nullptr;  // height
    TKitCalcEdit* KitCalcEdit3 = nullptr;  // resolution
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;  // filter
    QLabel* Label5 = nullptr;         // memory
    QLabel* Label6 = nullptr;
    QGroupBox* RadioGroup1 = nullptr; // background
    QGroupBox* RadioGroup2 = nullptr; // presets
    QButtonGroup* Background = nullptr;
    QButtonGroup* Presets = nullptr;
    QCheckBox* CheckBox1 = nullptr;   // proportional
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void calcpixelsize();
    void showmemsize();
    void ComboBox1Change();
    void ComboBox2Change();
    void ComboBox3Change();
    void KitCalcEdit1Change();
    void KitCalcEdit2Change();
    void KitCalcEdit3Change();
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
