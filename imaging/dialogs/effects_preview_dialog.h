// The effects dialog (TfPreviews) and its page bits.
#pragma once
#include "imaging/common/types.h"
#include "imaging/proc/color_math.h"
#include "imaging/proc/user_filter.h"
#include "platform/graphics/bitmap.h"

#include <QDialog>
#include <array>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QWidget;
class TImageKit;
class TImageKitProc;
class THSVBox;
class THistogramBox;
class TRulerBox;
class TEffectPage;

// Page bits of the effects set; bit 1 shows every page.
enum TPreviewsPage : int {
    ppAll = 1,
    ppContrast = 2,
    ppHSV = 4,
    ppHSL = 8,
    ppRGB = 16,
    ppUserFilter = 32,
    ppEqualization = 64,
    ppBumpMap = 128,
    ppLens = 256,
    ppWave = 512
};

// The program opens the dialog with the pages of one of two groups.
enum class TEffectGroup { Colour, Effects };
// The effects set of a group's pages, as the pages declare it.
int EffectsSetOf(TEffectGroup group);

// The effects dialog: the work area as source, the chosen page applied to the visible
// part as result, live or on request; "<<" folds the result into the source, OK leaves
// the processed source in ImageKit1 for the caller to write back.
class TfPreviews : public QDialog {
    Q_OBJECT
public:
    explicit TfPreviews(QWidget* owner = nullptr);
    ~TfPreviews() override;

    void SetLockPreviewDefault(bool on) { lockDefault_ = on; }
    void SetProgress(TObject* sender, const TProgressEvent& event);
    void SetEffectsSet(int set) { effects_ = set; }
    void Translate(TMsgLanguage language);
    void SetFont(const QFont& font);

    TImageKit* ImageKit1 = nullptr;
    TImageKit* ImageKit2 = nullptr;
    TImageKitProc* ImageKitProc1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button6 = nullptr;
    QTabWidget* PageControl1 = nullptr;

    // The pages' controls and values that callers and tests name; each page builds,
    // resets and reads its own (effect_pages/), and keeps what nobody else names.
    std::array<QSlider*, 2> ContrastBars{};
    std::array<QSlider*, 3> HSVBars{}, HSLBars{}, RGBBars{};
    std::array<QLineEdit*, 2> ContrastEdits{};
    std::array<QLineEdit*, 3> HSVEdits{}, HSLEdits{}, RGBEdits{};
    THSVBox* BaseColor = nullptr;
    THSVBox* NewColor = nullptr;
    std::array<QSpinBox*, 9> WeightEdits{};
    QSpinBox* DivisorEdit = nullptr;
    QComboBox* PresetList = nullptr;
    QPushButton* LoadButton = nullptr;
    QPushButton* SaveButton = nullptr;
    TRulerBox* ThresholdRuler = nullptr;  // grip 0 low, grip 1 high
    TRulerBox* LevelsRuler = nullptr;
    std::array<QLabel*, 4> RulerLabels{};  // under the threshold's two grips, then the levels'
    QListWidget* ChannelList = nullptr;
    QPushButton* EqualizeButton = nullptr;
    THistogramBox* HistogramBox1 = nullptr;
    std::array<QSpinBox*, 4> BumpEdits{};  // left, top, width, height
    THSVBox* BumpColor = nullptr;
    QSpinBox* BumpPercent = nullptr;
    std::array<QSpinBox*, 4> LensEdits{};
    QSpinBox* RefractionEdit = nullptr;
    std::array<QSpinBox*, 3> WaveEdits{};  // amplitude, wave length, phase

    // The page shown (its bit), and the preview the result view holds.
    int ActivePage() const;
    void ShowPage(int bit);
    const TBitmap& ResultSnapshot() const { return snapshot_; }

    // Lets the file dialogs be answered without showing them.
    std::function<QString(bool save)> AskFilterFile;

    void InitPage(int bit);
    void RefreshResult();
    void Preview();
    void AccumulateResult();
    void ImageKit2MouseUp(int x, int y);

    // For the pages: while the dialog writes controls itself their changes do nothing;
    // after a change of a page value the live preview follows.
    bool Updating() const { return updating_; }
    void SetUpdating(bool on) { updating_ = on; }
    void Changed();
    // Left and top edits to the source pixel under pixel (x, y) of the result view's
    // bitmap, then the active page reads them.
    void PlaceAtResultPixel(QSpinBox* const* leftTop, int x, int y);

protected:
    void showEvent(QShowEvent* event) override;
    void accept() override;

private:
    void FormActivate();
    void PageControl1Change();
    void ApplyPage(TImageKit* view, bool toSource);
    TEffectPage* activePage() const;
    // The source position of a pixel of the result view's bitmap: the inverse of the
    // source view's forward mapping x' = Trunc(x × z/100 − view x).
    int resultToSource(int r, int view, int sourceSize) const;

    int effects_ = 1;
    bool lockDefault_ = false;
    TObject* sender_ = nullptr;
    TProgressEvent progress_;
    bool useProgress_ = false;
    bool updating_ = false;
    bool activated_ = false;
    int initialised_ = 0;  // page bits
    TBitmap snapshot_;
    std::vector<std::unique_ptr<TEffectPage>> pages_;  // in tab order

public:
    int Contrast = 0, Brightness = 0;
    TRGBTriple Mean;
    std::array<int, 3> HSV{}, HSL{}, RGBOffsets{};
    TUserFilter Filter;
    TRGBTriple LowThreshold{0, 0, 0}, HighThreshold{255, 255, 255}, LevelsLower{0, 0, 0}, LevelsUpper{255, 255, 255};
    bool Equalize = false;
    int BumpLeft = 0, BumpTop = 0, BumpWidth = 0, BumpHeight = 0, BumpPercentValue = 0;
    TColor BumpLight = clWhite;
    int LensLeft = 0, LensTop = 0, LensWidth = 0, LensHeight = 0;
    double Refraction = 1.7;
};
