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
    void okClicked();               // OK
    void catalogFontClicked();      // catalog font
    void backgroundColorClicked();  // background colour
    void selectAllTypesClicked();   // every type
    void selectNoTypeClicked();     // no type

    QTabWidget* pages = nullptr;
    QFrame* backgroundPanel = nullptr;
    QComboBox* zoomFilterCombo = nullptr;  // zoom filter
    QComboBox* rulerUnitCombo = nullptr;   // ruler unit
    QCheckBox* delayFilterCheck = nullptr;
    QCheckBox* zoomToWindowCheck = nullptr;
    QCheckBox* fitWindowToImageCheck = nullptr;
    TKitSpinEdit* undoDepthEdit = nullptr;     // undo depth
    TKitSpinEdit* thumbSpacingEdit = nullptr;  // catalog spacing
    TKitSpinEdit* thumbWidthEdit = nullptr;    // thumbnail width
    TKitSpinEdit* thumbHeightEdit = nullptr;   // thumbnail height
    QCheckBox* autoUpdateCheck = nullptr;
    QCheckBox* autoRemoveMissingCheck = nullptr;
    // Caption flags 1, 2, 4, 8.
    QCheckBox* showFileNameCheck = nullptr;
    QCheckBox* showPathCheck = nullptr;
    QCheckBox* showDateCheck = nullptr;
    QCheckBox* showSizeCheck = nullptr;
    // One per row of the file-type table (CheckBox10 … CheckBox18).
    std::array<QCheckBox*, 9> TypeBoxes{};
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* catalogFontButton = nullptr;
    QPushButton* selectNoTypeButton = nullptr;
    QPushButton* helpButton = nullptr;
    QPushButton* selectAllTypesButton = nullptr;

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
