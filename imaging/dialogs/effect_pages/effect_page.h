// One page of the effects dialog: its bit, the dialog it belongs to, how it is built,
// read, reset and applied, and its captions. Each page lives in a file of its own and
// one line of effect_pages.cpp lists it; the page sets and the tabs come from that list.
#pragma once

#include "imaging/common/types.h"
#include "imaging/proc/effect_area.h"

#include <QString>
#include <memory>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QWidget;
class TBitmap;
class TfPreviews;
enum class TEffectGroup;

// Where a page's effect runs: the source at 100 %, or the result view, which shows the
// source's visible part at the source view's zoom, so positions and sizes follow it.
struct TEffectTarget {
    int Zoom = 100;
    int ViewX = 0, ViewY = 0;
    TEffectProgress Progress;

    int X(int x) const { return Trunc(x * Zoom / 100.0 - ViewX); }
    int Y(int y) const { return Trunc(y * Zoom / 100.0 - ViewY); }
    int Size(int s) const { return Trunc(s * Zoom / 100.0); }
};

class TEffectPage {
public:
    TEffectPage(int bit, TEffectGroup group) : bit_(bit), group_(group) {}
    virtual ~TEffectPage() = default;

    int Bit() const { return bit_; }
    TEffectGroup Group() const { return group_; }

    virtual QString Caption(TMsgLanguage language) const = 0;
    // The page's controls; their changes store the page's values and call form.Changed().
    virtual QWidget* Build(TfPreviews& form) = 0;
    // The captions of the page's labels and buttons.
    virtual void Translate(TfPreviews& form, TMsgLanguage language) = 0;
    // Values and controls back to their defaults.
    virtual void Init(TfPreviews& form) = 0;
    // The controls' values into the page's values.
    virtual void Read(TfPreviews&) {}
    // The effect with the page's values on the whole bitmap.
    virtual void Apply(TfPreviews& form, TBitmap& bitmap, const TEffectTarget& target) = 0;
    // A press or release on pixel (x, y) of the result view's bitmap.
    virtual void ResultClicked(TfPreviews&, int, int) {}
    // After the result view was drawn afresh.
    virtual void Refreshed(TfPreviews&) {}
    // Whether the source view may zoom while the page is shown.
    virtual bool ZoomsSource() const { return true; }

protected:
    // Parts several pages share.
    // Rows of label, track bar −range … range and edit; a bar's change reads the page,
    // an edit's sets the bars.
    static QWidget* BuildTracks(TfPreviews& form, TEffectPage* page, const std::vector<int>& ranges, QSlider** bars,
                                QLineEdit** edits, std::vector<QLabel*>& labels);
    // n rows of label and spin edit lo … hi from `firstRow`; a change reads the page.
    static void BuildSpins(TfPreviews& form, TEffectPage* page, QWidget* parent, QGridLayout* grid, QSpinBox** out,
                           int n, int lo, int hi, std::vector<QLabel*>& labels, int firstRow = 0);
    static QSpinBox* NewSpin(QWidget* parent, int lo, int hi, int step = 1);
    // n bars and their edits to zero; n bars' values into `values` and their edits.
    static void ZeroTracks(QSlider* const* bars, QLineEdit* const* edits, size_t n);
    static void ReadTracks(TfPreviews& form, QSlider* const* bars, QLineEdit* const* edits, int* values, size_t n);
    // Captions: "text:", and "text (H):" for a channel.
    static QString Colon(const QString& text) { return text + QStringLiteral(":"); }
    static QString Label(int row, TMsgLanguage language);
    static QString Channel(int row, const char* tag, TMsgLanguage language);

private:
    int bit_;
    TEffectGroup group_;
};

// Every page, in tab order.
std::vector<std::unique_ptr<TEffectPage>> NewEffectPages();
