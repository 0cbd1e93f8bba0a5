// The effects dialog's pages: which shows, their activation and their controls' changes.
#include "imaging/boxes/histogram_box.h"
#include "imaging/boxes/hsv_box.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/color_space.h"
#include "imaging/proc/distort.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/graphics/canvas.h"

#include <QApplication>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QCheckBox>
#include <QComboBox>

#include <algorithm>

int TfPreviews::ActivePage() const
{
    const int i = PageControl1->currentIndex();
    return i >= 0 && i < int(pages_.size()) ? pages_[size_t(i)].second : 0;
}

void TfPreviews::ShowPage(int bit)
{
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i].second == bit)
            PageControl1->setCurrentIndex(int(i));
}

// Runs once per opening: a message box over the dialog activates it again and must not
// reset the pages.
void TfPreviews::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_)
        FormActivate();
}

void TfPreviews::FormActivate()
{
    useProgress_ = false;
    initialised_ = 0;
    updating_ = true;
    SpeedButton1->setChecked(lockDefault_);
    Button3->setEnabled(!lockDefault_);
    int first = -1;
    for (size_t i = 0; i < pages_.size(); ++i) {
        const bool shown = (effects_ & ppAll) || (effects_ & pages_[i].second);
        PageControl1->setTabVisible(int(i), shown);
        if (shown && first < 0)
            first = int(i);
    }
    PageControl1->setCurrentIndex(std::max(first, 0));
    updating_ = false;
    activated_ = true;
    ImageKit1->Fit();
    // The pending events run before the first preview, in the dialog's own loop: run here,
    // inside showing, a close among them would come before that loop and leave it waiting.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            PageControl1Change();
    });
}

void TfPreviews::PageControl1Change()
{
    const int bit = ActivePage();
    if (!(initialised_ & bit))
        InitPage(bit);
    if (bit == ppWave) {
        ImageKit1->SetMouseInteract(ImageKit1->MouseInteract() & ~miZoom);
        ImageKit1->Fit();
    } else {
        ImageKit1->SetMouseInteract(ImageKit1->MouseInteract() | miZoom);
    }
    RefreshResult();
}

void TfPreviews::InitPage(int bit)
{
    const TBitmap* src = ImageKit1->Bitmap();
    const int w = src->Width(), h = src->Height(), half = std::max(w, h) / 2;
    updating_ = true;
    const auto zero = [](auto& bars, auto& edits) {
        for (size_t i = 0; i < bars.size(); ++i) {
            bars[i]->setValue(0);
            edits[i]->setText(QStringLiteral("0"));
        }
    };
    switch (bit) {
    case ppContrast:
        Contrast = Brightness = 0;
        zero(ContrastBars, ContrastEdits);
        Mean = MeanColor(src);
        break;
    case ppHSL:
        HSL = {};
        zero(HSLBars, HSLEdits);
        [[fallthrough]];
    case ppHSV:
        HSV = {};
        zero(HSVBars, HSVEdits);
        break;
    case ppRGB:
        RGBOffsets = {};
        zero(RGBBars, RGBEdits);
        break;
    case ppUserFilter:
        Filter = UserFilterPresets[0].Filter;
        PresetList->setCurrentIndex(0);
        updating_ = false;
        ShowFilter();
        break;
    case ppEqualization:
        LowThreshold = LevelsLower = {0, 0, 0};
        HighThreshold = LevelsUpper = {255, 255, 255};
        Equalize = false;
        EqualizeButton->setChecked(false);
        for (TRulerBox* r : {ThresholdRuler, LevelsRuler}) {
            r->SetGripPos(0, 0);
            r->SetGripPos(1, 255);
        }
        for (int i = 0; i < 4; ++i)
            RulerLabels[size_t(i)]->setText(i % 2 ? QStringLiteral("255") : QStringLiteral("0"));
        placeRulerLabels();
        for (int i = 0; i < 4; ++i)
            ChannelList->item(i)->setCheckState(i == 3 ? Qt::Checked : Qt::Unchecked);
        HistogramBox1->SetHistogramKind(hkGray);
        break;
    case ppBumpMap:
        BumpLeft = w / 2, BumpTop = h / 2, BumpWidth = BumpHeight = half;
        BumpLight = clWhite;
        BumpPercentValue = 0;
        for (int i = 0; i < 4; ++i)
            BumpEdits[size_t(i)]->setValue(std::array{BumpLeft, BumpTop, BumpWidth, BumpHeight}[size_t(i)]);
        BumpColor->SetColor(clWhite);
        BumpPercent->setValue(0);
        break;
    case ppLens:
        LensLeft = w / 2, LensTop = h / 2, LensWidth = LensHeight = half;
        Refraction = 1.7;
        for (int i = 0; i < 4; ++i)
            LensEdits[size_t(i)]->setValue(std::array{LensLeft, LensTop, LensWidth, LensHeight}[size_t(i)]);
        RefractionEdit->setValue(7);
        break;
    case ppWave:
        Amplitude = 10, WaveLength = 10, Phase = 0, Reflective = false;
        WaveEdits[0]->setValue(10);
        WaveEdits[1]->setValue(10);
        WaveEdits[2]->setValue(0);
        ReflectiveBox->setChecked(false);
        break;
    default: break;
    }
    updating_ = false;
    initialised_ |= bit;
}

void TfPreviews::ShowFilter()
{
    const bool was = updating_;
    updating_ = true;
    for (int k = 0; k < 9; ++k)
        WeightEdits[size_t(k)]->setValue(Filter.Weights[size_t(k)]);
    DivisorEdit->setValue(Filter.Divisor);
    updating_ = was;
}

// Track bars and spin edits store their page's values.
void TfPreviews::readTracks(int bit)
{
    const auto write = [this](auto& bars, auto& edits, auto& values) {
        updating_ = true;
        for (size_t i = 0; i < bars.size(); ++i) {
            values[i] = bars[i]->value();
            edits[i]->setText(QString::number(values[i]));
        }
        updating_ = false;
    };
    std::array<int, 2> cb{};
    switch (bit) {
    case ppContrast:
        write(ContrastBars, ContrastEdits, cb);
        Contrast = cb[0], Brightness = cb[1];
        break;
    case ppHSV: write(HSVBars, HSVEdits, HSV); break;
    case ppHSL: write(HSLBars, HSLEdits, HSL); break;
    case ppRGB: write(RGBBars, RGBEdits, RGBOffsets); break;
    case ppBumpMap:
        BumpLeft = BumpEdits[0]->value(), BumpTop = BumpEdits[1]->value();
        BumpWidth = BumpEdits[2]->value(), BumpHeight = BumpEdits[3]->value();
        break;
    case ppLens:
        LensLeft = LensEdits[0]->value(), LensTop = LensEdits[1]->value();
        LensWidth = LensEdits[2]->value(), LensHeight = LensEdits[3]->value();
        Refraction = 1 + RefractionEdit->value() / 10.0;
        break;
    case ppWave:
        Amplitude = WaveEdits[0]->value(), WaveLength = WaveEdits[1]->value(), Phase = WaveEdits[2]->value();
        break;
    default: break;
    }
}

void TfPreviews::colorBoxChanged()
{
    if (updating_)
        return;
    updating_ = true;
    const int d[3] = {NewColor->Hue() - BaseColor->Hue(), NewColor->Sat() - BaseColor->Sat(),
                      NewColor->Val() - BaseColor->Val()};
    for (int i = 0; i < 3; ++i)
        HSVBars[size_t(i)]->setValue(d[i]);
    updating_ = false;
    readTracks(ppHSV);
    changed();
}

void TfPreviews::rulerMoved(bool threshold, int grip)
{
    TRulerBox* r = threshold ? ThresholdRuler : LevelsRuler;
    const double pos = r->GetGripPos(grip);
    if (pos < 0 || pos > 255) {
        // Held at the ends of the scale; the call comes back here with the held value.
        r->SetGripPos(grip, std::clamp(pos, 0.0, 255.0));
        return;
    }
    // A grip dragged past an end scrolls the ruler; it goes back under the histogram.
    alignRulers();
    updating_ = true;
    // The upper grip never stays below the lower one.
    if (r->GetGripPos(1) < r->GetGripPos(0))
        r->SetGripPos(grip == 0 ? 1 : 0, pos);
    updating_ = false;
    const int lo = Trunc(r->GetGripPos(0)), hi = Trunc(r->GetGripPos(1));
    RulerLabels[size_t(threshold ? 0 : 2)]->setText(QString::number(lo));
    RulerLabels[size_t(threshold ? 1 : 3)]->setText(QString::number(hi));
    placeRulerLabels();
    TRGBTriple& low = threshold ? LowThreshold : LevelsLower;
    TRGBTriple& high = threshold ? HighThreshold : LevelsUpper;
    const bool gray = ChannelList->item(3)->checkState() == Qt::Checked;
    uint8_t* lows[3] = {&low.rgbtRed, &low.rgbtGreen, &low.rgbtBlue};
    uint8_t* highs[3] = {&high.rgbtRed, &high.rgbtGreen, &high.rgbtBlue};
    for (int c = 0; c < 3; ++c)
        if (gray || ChannelList->item(c)->checkState() == Qt::Checked) {
            *lows[c] = uint8_t(lo);
            *highs[c] = uint8_t(hi);
        }
    changed();
}

// ---- applying ------------------------------------------------------------------------

void TfPreviews::ApplyPage(TImageKit* view, bool toSource)
{
    TBitmap& bm = *view->Bitmap();
    const int x2 = bm.Width() - 1, y2 = bm.Height() - 1;
    TEffectProgress progress;
    if (useProgress_)
        progress = {sender_, progress_};
    // The result view shows the source's visible part at its zoom: positions and sizes
    // follow the zoom and the view origin there.
    const int z = toSource ? 100 : ImageKit1->Zoom();
    const int vx = toSource ? 0 : ImageKit1->ViewX(), vy = toSource ? 0 : ImageKit1->ViewY();
    const auto mx = [&](int x) { return Trunc(x * z / 100.0 - vx); };
    const auto my = [&](int y) { return Trunc(y * z / 100.0 - vy); };
    const auto sz = [&](int s) { return Trunc(s * z / 100.0); };
    switch (ActivePage()) {
    case ppContrast:
        AdjustContrast(bm, 0, 0, x2, y2, Contrast, Mean.rgbtRed, Mean.rgbtGreen, Mean.rgbtBlue, progress);
        AdjustRGB(bm, 0, 0, x2, y2, Brightness, Brightness, Brightness, progress);
        break;
    case ppHSV: AdjustHSV(bm, 0, 0, x2, y2, HSV[0], HSV[1], HSV[2], progress); break;
    case ppHSL: AdjustHSL(bm, 0, 0, x2, y2, HSL[0], HSL[1], HSL[2], progress); break;
    case ppRGB: AdjustRGB(bm, 0, 0, x2, y2, RGBOffsets[0], RGBOffsets[1], RGBOffsets[2], progress); break;
    case ppUserFilter: ApplyUserFilter(bm, Filter, 0, 0, x2, y2, progress); break;
    case ppEqualization:
        ApplyThreshold(bm, 0, 0, x2, y2, clWhite, clBlack, HighThreshold, LowThreshold, progress);
        AdjustLevels(bm, 0, 0, x2, y2, LevelsUpper, LevelsLower, progress);
        if (Equalize)
            EqualizeHistogram(bm, 0, 0, x2, y2, progress);
        break;
    case ppBumpMap: {
        const TRGBTriple c = ColorToRGBTriple(BumpLight);
        BumpMap(bm, mx(BumpLeft), my(BumpTop), sz(BumpWidth), sz(BumpHeight), BumpPercentValue, c.rgbtBlue, c.rgbtGreen,
                c.rgbtRed, 0, 0, x2, y2, progress);
        break;
    }
    case ppLens: ApplyLens(bm, mx(LensLeft), my(LensTop), sz(LensWidth), sz(LensHeight), Refraction, progress); break;
    case ppWave: ApplyWave(bm, sz(Amplitude), sz(WaveLength), Phase, Reflective, progress); break;
    default: break;
    }
}

void TfPreviews::RefreshResult()
{
    if (!activated_)
        return;
    ImageKit2->LockUpdate();
    TBitmap* out = ImageKit2->Bitmap();
    out->SetPixelFormat(pf24bit);
    out->SetSize(std::max(ImageKit1->DrawnWidth(), 0), std::max(ImageKit1->DrawnHeight(), 0));
    if (!out->Empty()) {
        ImageKit1->PaintToCanvas(out->Canvas());
        out->Canvas()->Release();
    }
    snapshot_ = *out;
    ApplyPage(ImageKit2, false);
    ImageKit2->UnlockUpdate();
    ImageKit2->repaint();
    if (ActivePage() == ppEqualization) {
        HistogramBox1->Update();
        alignRulers();
    }
}

void TfPreviews::Preview()
{
    if (!activated_)
        return;
    *ImageKit2->Bitmap() = snapshot_;
    ApplyPage(ImageKit2, false);
    ImageKit2->Update();
    ImageKit2->repaint();
}

void TfPreviews::changed()
{
    if (SpeedButton1->isChecked())
        Preview();
}

void TfPreviews::AccumulateResult()
{
    ApplyPage(ImageKit1, true);
    ImageKit1->Update();
    ImageKit1->repaint();
    RefreshResult();
    initialised_ = 0;
    InitPage(ActivePage());
    RefreshResult();
}

void TfPreviews::accept()
{
    useProgress_ = true;
    ApplyPage(ImageKit1, true);
    ImageKit1->Update();
    QDialog::accept();
}

int TfPreviews::resultToSource(int r, int view, int sourceSize) const
{
    const double z = ImageKit1->Zoom() / 100.0;
    const auto forward = [&](int x) { return Trunc(x * z - view); };
    int x = int(std::floor((r + view) / z));
    while (x < sourceSize - 1 && forward(x) < r)
        ++x;
    while (x > 0 && forward(x - 1) >= r)
        --x;
    return std::clamp(x, 0, std::max(sourceSize - 1, 0));
}

void TfPreviews::ImageKit2MouseUp(int x, int y)
{
    const TBitmap* shown = ImageKit2->Bitmap();
    const int bx = ImageKit2->ScreenToBitmapX(x), by = ImageKit2->ScreenToBitmapY(y);
    if (shown->Empty() || bx < 0 || by < 0 || bx >= shown->Width() || by >= shown->Height())
        return;
    const int page = ActivePage();
    if (page == ppHSV) {
        // The pixel itself, not what the screen happens to show there.
        const uint8_t* p = shown->ScanLine(by) + 3 * bx;
        int h, s, v;
        RGBToHSV(p[2], p[1], p[0], h, s, v);
        updating_ = true;
        BaseColor->SetHue(h);
        BaseColor->SetSat(s);
        BaseColor->SetVal(v);
        updating_ = false;
        colorBoxChanged();
        return;
    }
    if (page != ppBumpMap && page != ppLens)
        return;
    const TBitmap* src = ImageKit1->Bitmap();
    const int sx = resultToSource(bx, ImageKit1->ViewX(), src->Width());
    const int sy = resultToSource(by, ImageKit1->ViewY(), src->Height());
    std::array<QSpinBox*, 4>& edits = page == ppBumpMap ? BumpEdits : LensEdits;
    updating_ = true;
    edits[0]->setValue(sx);
    edits[1]->setValue(sy);
    updating_ = false;
    readTracks(page);
    changed();
}
