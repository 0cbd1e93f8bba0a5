// The print dialog (Tprintform): mode, size, copies, marks, units and the preview.
#pragma once
#include "app/options/option_blocks.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TImageKit;
class TKitCalcEdit;
class TKitSpinEdit;
class TMainWindowServices;
class TCatalogView;
class TBitmap;

// The print dialog: places the image (or a catalog's thumbnails) on the page, chooses
// mode, cut lines, information lines, copies and printer, and previews the page. It
// edits `printdialog`; the caller stores it and prints on OK. Every value is held in
// printer pixels; the edits show them in their units.
class Tprintform : public QDialog {
    Q_OBJECT
public:
    explicit Tprintform(TMainWindowServices& mainWindow, QWidget* parent = nullptr);
    ~Tprintform() override;

    tprintdialog printdialog;
    // Working values, printer pixels.
    double left = 0, top = 0, width = 0, height = 0;
    int pagesAcross = 1, pagesDown = 1;
    // The command's arguments and the copies, set by OK. A catalog prints as tiles
    // whatever mode the record keeps for images.
    int cmdLeft = 0, cmdTop = 0, cmdWidth = 0, cmdHeight = 0, cmdMode = 0;
    int copies = 1;

    QGroupBox* previewGroup = nullptr;
    TImageKit* imageKit = nullptr;
    QToolButton* previewLockButton = nullptr;
    QPushButton *printerSetupButton = nullptr, *printButton = nullptr, *cancelButton = nullptr,
                *previewButton = nullptr, *helpButton = nullptr;
    QProgressBar* progressBar = nullptr;
    QGroupBox* modeGroup = nullptr;
    std::array<QRadioButton*, 3> ModeButtons{};
    QTabWidget* pages = nullptr;
    // left, top, width, height.
    TKitCalcEdit *leftEdit = nullptr, *topEdit = nullptr, *widthEdit = nullptr, *heightEdit = nullptr;
    // Resolution, page width, page height, left, top, width, height.
    QComboBox *resolutionUnitCombo = nullptr, *printableWidthUnitCombo = nullptr, *printableHeightUnitCombo = nullptr,
              *leftUnitCombo = nullptr, *topUnitCombo = nullptr, *widthUnitCombo = nullptr, *heightUnitCombo = nullptr;
    QCheckBox* proportionalCheck = nullptr;  // "Proportional"
    // 1 h-centre, 2 v-centre, 3 fit, 4 original, 5 up, 6 left, 7 right, 8 down, 9 double, 10 half.
    std::array<QRadioButton*, 11> RadioButton{};
    QLabel *printerLabel = nullptr, *resolutionLabel = nullptr, *printableWidthLabel = nullptr,
           *printableHeightLabel = nullptr, *pagesLabel = nullptr;
    TKitSpinEdit *columnsEdit = nullptr, *rowsEdit = nullptr, *copiesEdit = nullptr, *fontSizeEdit = nullptr;
    QCheckBox *cutMarksCheck = nullptr, *singlePrintCheck = nullptr, *printNameCheck = nullptr,
              *printSizeCheck = nullptr, *printDateCheck = nullptr, *printPathCheck = nullptr;

    void FormActivate();
    // Conversions with the printer's resolution across (left, width) or down (top, height).
    double calcpixel(int unit, double value, bool vertical) const;
    double showin(int unit, double pixels, bool vertical) const;
    void updatePrintOptions();
    void updatePaperSize();
    // The common redraw entry; the page is drawn when the automatic preview is on or
    // force is set ("&Vorschau").
    void updatePreview(bool force = false);
    void clearPlacementButtons();
    // Stores the dialog; false, with a message, when the print would be refused (the
    // dialog then stays open).
    bool printClicked();

    // Handlers, public so that tests drive them as the controls do.
    void unitChanged(int which);
    void leftTopChanged(bool vertical);
    void sizeChanged(bool vertical);
    void placementClicked(int button);
    void columnsRowsChanged(bool rows);

    double SourceWidth() const { return printdialog.width; }
    double SourceHeight() const { return printdialog.height; }
    int PageWidth() const;
    int PageHeight() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    QWidget* buildImagePage();
    QWidget* buildPrinterPage();
    QWidget* buildOptionsPage();
    TKitCalcEdit* valueEdit(int which) const;
    QComboBox* unitBox(int which) const;
    double& value(int which);
    void display(int which);
    void drawPreview();
    int mode() const;
    uint8_t infoFlags() const;

    TMainWindowServices& main_;
    TCatalogView* catalog_ = nullptr;
    const TBitmap* source_ = nullptr;
    QString caption_;
    int storedMode_ = 0;  // the record's mode as the dialog opened
    bool busy_ = false;
    bool drawing_ = false;  // the preview lets events run while it draws its tiles
    bool activated_ = false;
};

// The print dialog on the active image or catalog, then one print command per copy.
void RunPrintDialog(TMainWindowServices& main);
