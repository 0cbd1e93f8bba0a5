// The slide-show options dialog (Tslideform): output, the next-image rule, the image source and sound.
#pragma once
#include "app/options/option_blocks.h"
#include "app/slideshow/slide_list.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TDirectoryEdit;
class TFilenameEdit;
class TKitCalcEdit;
class TKitSpinButton;
class TKitSpinEdit;

// The slide-show options: edits a copy of the settings block and the slide list.
// Closes with 0 (nothing kept) or 2 (keep the settings and play).
class Tslideform : public QDialog {
    Q_OBJECT
public:
    explicit Tslideform(QWidget* owner = nullptr);
    ~Tslideform() override;

    enum { ResultNone = 0, ResultPlay = 2 };

    tslideshowoptions slideoptions;
    TSlideRandom Random = DefaultSlideRandom();
    QString SlideListFile = SlideListFileName();
    int Result() const { return result_; }

    // Clears the list, block → controls, fills the list from the slide list file.
    void FormActivate();
    void BlockToControls();
    // False (block untouched) when a text does not fit its 255-byte field; the user
    // has been told.
    bool ControlsToBlock();
    QStringList ListItems() const;
    void SetListItems(const QStringList& items);
    // Enables the edits by their choices and shows the group of the chosen source.
    void EnableControls();
    void SortList();

    // Buttons.
    void AddClick();        // "&Hinzufügen"
    void DeleteClick();     // "&Löschen"
    void DeleteAllClick();  // "&Alle Löschen"
    void MoveFocused(int delta);
    void SaveListClick();   // "Liste &Speichern"
    void LoadListClick();   // "Liste &Laden"
    void SelectAllTypesClick();
    void PlayClick();       // "Diashow"

    QGroupBox* RadioGroup1 = nullptr;  // images from: list, directory
    QButtonGroup* sourceGroup = nullptr;
    QGroupBox* GroupBox2 = nullptr;    // from the list
    QListWidget* ListBox1 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr, *Button6 = nullptr, *Button7 = nullptr, *Button8 = nullptr,
                *Button9 = nullptr;
    TKitSpinButton* SpinButton1 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton6 = nullptr;  // list sorting
    QGroupBox* GroupBox6 = nullptr;    // from a directory
    TDirectoryEdit* DirectoryEdit1 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QRadioButton *RadioButton10 = nullptr, *RadioButton11 = nullptr, *RadioButton12 = nullptr;  // dir sorting
    // JPG, BMP, PCX, TIFF, WMF, EMF, ICO, CUR, PNG.
    std::array<QCheckBox*, 9> TypeBoxes{};
    QTabWidget* PageControl1 = nullptr;
    QRadioButton *RadioButton3 = nullptr, *RadioButton4 = nullptr, *RadioButton5 = nullptr;  // window
    TKitCalcEdit *KitCalcEdit1 = nullptr, *KitCalcEdit2 = nullptr, *KitCalcEdit3 = nullptr;
    QRadioButton *RadioButton8 = nullptr, *RadioButton9 = nullptr, *RadioButton7 = nullptr;  // scaling
    QComboBox* ComboBox4 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
    QGroupBox* RadioGroup3 = nullptr;  // order
    QButtonGroup* orderGroup = nullptr;
    QCheckBox *CheckBox3 = nullptr, *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox16 = nullptr;
    TKitSpinEdit* SpinEdit1 = nullptr;
    QRadioButton *RadioButton13 = nullptr, *RadioButton14 = nullptr, *RadioButton15 = nullptr;  // sound
    TFilenameEdit* FilenameEdit1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    QWidget* buildListGroups();
    QWidget* buildOutputPage();
    QWidget* buildNextPage();
    QWidget* buildOptionsPage();
    void rememberFolder(const QString& file);

    int result_ = ResultNone;
    bool activated_ = false;
};

// Opens the options on a copy of the block; a result above 0 stores the copy back
// and 2 plays the show. prepare runs on the dialog before it is shown. Returns the
// dialog's result.
int RunSlideOptions(QWidget* owner, tslideshowoptions& options,
                    const std::function<void(Tslideform&)>& prepare = {});
