// The format parameter dialog (TfIOPreviews) and its entry point.
#pragma once
#include "imaging/common/types.h"
#include "imaging/dialogs/io_previews_settings.h"
#include "platform/core/color.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QToolButton;
class TImageKit;
class TImageKitIO;

// Opens the format parameter dialog on a component's bitmap and parameters for a page
// set; True when it closed with OK (the parameters then hold the active page's settings).
// The entry point of DoPreviews, and of any dialog that edits save parameters.
bool RunIOPreviews(TImageKitIO& io, int pages);

// The format parameter dialog: one page per format, the source on the left and, on the
// right, the source as the format's writer codes it and its reader decodes it again,
// with the uncompressed size and the size of the file a save would write. It edits a
// parameter record and writes the active page's settings back only on OK.
class TfIOPreviews : public QDialog {
    Q_OBJECT
public:
    explicit TfIOPreviews(QWidget* owner = nullptr);
    ~TfIOPreviews() override;

    // The opener's steps, in this order, before exec().
    void SetLockPreviewDefault(bool on) { lockDefault_ = on; }
    void SetParams(TIOParamsVals* record) { record_ = record; }
    void SetLanguage(TMsgLanguage language);
    // False only for exactly the file-type bit on a record whose type has no page.
    bool SetPages(int pages);
    int Pages() const { return pages_; }

    // The page shown (its bit), 0 when no page is offered.
    int ActivePage() const;
    void ShowPage(int page);
    bool PageOffered(int page) const;
    const TIOWorkingCopy& WorkingCopy() const { return work_; }
    // Whether the last preview had no coder for the page's format.
    bool NoCoder() const { return noCoder_; }

    // Runs the preview into the result view (or, for "<<", into the source view).
    void DoPreview(TImageKit* target);
    void Button6Click();

    // Colour choosers, replaceable so that they can be answered without showing them:
    // the palette picker gets the entries it offers, the other one the current colour.
    std::function<bool(const std::vector<TColor>& entries, TColor& chosen)> PickFromPalette;
    std::function<bool(TColor& color)> PickColor;
    // Clicks on the colour panels (GIF transparent, GIF background, PNG background).
    void PanelClick(QPushButton* panel);

    TImageKit* ImageKit1 = nullptr;
    TImageKit* ImageKit2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button6 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    // JPEG
    QLineEdit* Edit22 = nullptr;
    QSlider* TrackBar13 = nullptr;
    QComboBox* ComboBox13 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QSpinBox* Edit23 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    // TIFF
    QComboBox* ComboBox2 = nullptr;
    QSpinBox* Edit1 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QLineEdit *Edit4 = nullptr, *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr;
    QLineEdit *Edit2 = nullptr, *Edit3 = nullptr;
    // GIF
    QComboBox* ComboBox5 = nullptr;
    QSpinBox* Edit9 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QPushButton* Panel3 = nullptr;
    QLabel* TransparentColorLabel = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QPushButton* Panel4 = nullptr;
    QLineEdit *Edit10 = nullptr, *Edit11 = nullptr, *Edit12 = nullptr;
    // BMP, PCX
    QComboBox *ComboBox6 = nullptr, *ComboBox7 = nullptr, *ComboBox8 = nullptr, *ComboBox9 = nullptr;
    // PNG
    QComboBox* ComboBox10 = nullptr;
    QPushButton* Panel1 = nullptr;
    QComboBox *ComboBox11 = nullptr, *ComboBox12 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    // Per page (in page order): uncompressed and compressed size, and a note that says
    // so when the chosen colours are fewer than the image has, or when the writer cannot
    // honour the chosen compression for these colours.
    std::vector<QLabel*> OriginalSizes, CompressedSizes, Notes;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct TPage {
        QWidget* widget;
        int bit;
    };
    QWidget* buildJpeg();
    QWidget* buildTiff();
    QWidget* buildGif();
    QWidget* buildBmpPcx(bool pcx);
    QWidget* buildPng();
    QLabel* label(QWidget* parent, int row, bool colon = true);
    void sizeLabels(QWidget* page, class QGridLayout* grid, int row);
    QPushButton* colorPanel(QWidget* parent, const char* name);
    void paintPanel(QPushButton* panel, TIORGB color);

    void FormActivate();
    void PageControl1Change();
    void ShowWorkingCopy();
    void tiffColorsFollowPhotometric(bool photometricChanged);
    QString reductionNote(int page) const;
    void showNote(int page);
    void JpegChange(bool fromEdits);
    void TiffChange();
    void GifChange();
    void BmpPcxChange(bool pcx);
    void PngChange();
    // A changed setting: previewed at once while the preview is locked.
    void changed();
    void ProgressHandler(int percent);
    void guarded(const std::function<void()>& fn);
    void syncResultView();
    int pageIndex(int bit) const;

    std::vector<TPage> pagesBuilt_;
    std::vector<std::pair<QLabel*, std::pair<int, bool>>> captions_;  // label, table row, colon
    std::vector<std::pair<QGroupBox*, int>> boxes_;
    int pages_ = 0;
    QString paletteCancel_ = QStringLiteral("&Cancel");
    std::unique_ptr<TImageKitIO> io_;
    TIOParamsVals* record_ = nullptr;
    TIOWorkingCopy work_;
    TImageColours image_;             // of the image to be saved, taken when the dialog opens
    std::vector<TIORGB> previewMap_;  // the palette the last preview's file holds
    bool ready_ = false;
    bool lockDefault_ = false;
    bool activated_ = false;
    bool noCoder_ = false;
    int progressOffset_ = 0;
    int progressDivisor_ = 1;
    TMsgLanguage language_ = msEnglish;

    void Button1Click();
};
