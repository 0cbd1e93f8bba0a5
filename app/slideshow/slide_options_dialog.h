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
    void addClicked();        // "&Hinzufügen"
    void deleteClicked();     // "&Löschen"
    void deleteAllClicked();  // "&Alle Löschen"
    void MoveFocused(int delta);
    void saveListClicked();  // "Liste &Speichern"
    void loadListClicked();  // "Liste &Laden"
    void selectAllTypesClicked();
    void playClicked();  // "Diashow"

    QGroupBox* sourceBox = nullptr;  // images from: list, directory
    QButtonGroup* sourceGroup = nullptr;
    QGroupBox* listGroup = nullptr;  // from the list
    QListWidget* fileList = nullptr;
    QPushButton *helpButton = nullptr, *cancelButton = nullptr, *loadListButton = nullptr, *saveListButton = nullptr,
                *playButton = nullptr, *addButton = nullptr, *deleteButton = nullptr, *deleteAllButton = nullptr,
                *selectAllTypesButton = nullptr;
    TKitSpinButton* moveButton = nullptr;
    QRadioButton *listUnsortedRadio = nullptr, *listRandomRadio = nullptr, *listByNameRadio = nullptr;  // list sorting
    QGroupBox* directoryGroup = nullptr;  // from a directory
    TDirectoryEdit* directoryEdit = nullptr;
    QCheckBox* subfoldersCheck = nullptr;
    QRadioButton *dirUnsortedRadio = nullptr, *dirRandomRadio = nullptr, *dirByNameRadio = nullptr;  // dir sorting
    // JPG, BMP, PCX, TIFF, WMF, EMF, ICO, CUR, PNG.
    std::array<QCheckBox*, 9> TypeBoxes{};
    QTabWidget* pages = nullptr;
    QRadioButton *fullScreenRadio = nullptr, *imageSizeRadio = nullptr, *fixedSizeRadio = nullptr;  // window
    TKitCalcEdit *canvasWidthEdit = nullptr, *canvasHeightEdit = nullptr, *secondsEdit = nullptr;
    QRadioButton *originalSizeRadio = nullptr, *fitCanvasRadio = nullptr, *fillCanvasRadio = nullptr;  // scaling
    QComboBox* filterCombo = nullptr;
    QCheckBox *afterSecondsCheck = nullptr, *onKeyOrClickCheck = nullptr;
    QGroupBox* orderBox = nullptr;  // order
    QButtonGroup* orderGroup = nullptr;
    QCheckBox *showCommentsCheck = nullptr, *repeatCheck = nullptr, *hideMouseCheck = nullptr,
              *hideTaskbarCheck = nullptr;
    TKitSpinEdit* fontSizeEdit = nullptr;
    QRadioButton *playFileRadio = nullptr, *playCommentRadio = nullptr, *noSoundRadio = nullptr;  // sound
    TFilenameEdit* soundFileEdit = nullptr;

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
int RunSlideOptions(QWidget* owner, tslideshowoptions& options, const std::function<void(Tslideform&)>& prepare = {});
