// The equalisation page: threshold and levels, set on two rulers under the source's
// histogram, and histogram equalisation.
#include "imaging/boxes/histogram_box.h"
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/ruler/ruler_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {

// Room beside the rulers' ends, so that a grip and its value at 0 or 255 show whole.
constexpr int RulerMargin = 12;
constexpr TColor RulerGripGray = 0x808080;

class TEqualizationPage : public TEffectPage {
public:
    TEqualizationPage() : TEffectPage(ppEqualization, TEffectGroup::Colour) {}

    QString Caption(TMsgLanguage language) const override { return Label(LabelMsg::Equalization, language); }

    // The histogram, and under its bar area the threshold and levels rulers with two grey
    // grips each and the grips' values under them. The three are placed by hand so that
    // a grip stands exactly under the bar of its value.
    QWidget* Build(TfPreviews& f) override
    {
        auto* eq = new QWidget;
        auto* eg = new QGridLayout(eq);
        eg->setVerticalSpacing(0);
        auto* histogramFrame = new QWidget(eq);
        histogramFrame->setFixedSize(256 + 2 * RulerMargin, 105);
        f.HistogramBox1 = new THistogramBox(histogramFrame);
        f.HistogramBox1->setObjectName(QStringLiteral("HistogramBox1"));
        f.HistogramBox1->setGeometry(RulerMargin, 0, 256, 105);
        f.HistogramBox1->SetAttachedImageKitProc(f.ImageKitProc1);
        const auto ruler = [&](TRulerBox*& r, bool threshold) {
            auto* block = new QWidget(eq);
            r = new TRulerBox(block);
            r->setObjectName(threshold ? QStringLiteral("ThresholdRuler") : QStringLiteral("LevelsRuler"));
            r->SetFrequency(16);
            r->SetLabelFreq(64);
            r->SetGripsCount(2);
            for (int g = 0; g < 2; ++g) {
                r->SetGripColor(g, RulerGripGray);
                r->SetGripPos(g, g ? 255 : 0);
                auto* label = new QLabel(g ? QStringLiteral("255") : QStringLiteral("0"), block);
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                f.RulerLabels[size_t((threshold ? 0 : 2) + g)] = label;
            }
            r->setGeometry(0, 0, 256 + 2 * RulerMargin, r->BandHeight() + 16);
            block->setFixedSize(256 + 2 * RulerMargin, r->height() + block->fontMetrics().height() + 4);
            r->OnRulerPosChange = [this, &f, threshold](TObject*, int grip) {
                if (!f.Updating())
                    rulerMoved(f, threshold, grip);
            };
            return block;
        };
        thresholdLabel_ = new QLabel(eq);
        levelsLabel_ = new QLabel(eq);
        eg->addWidget(histogramFrame, 0, 1);
        eg->addWidget(thresholdLabel_, 1, 0);
        eg->addWidget(ruler(f.ThresholdRuler, true), 1, 1);
        eg->addWidget(levelsLabel_, 2, 0);
        eg->addWidget(ruler(f.LevelsRuler, false), 2, 1);
        alignRulers(f);
        f.ChannelList = new QListWidget(eq);
        f.ChannelList->setObjectName(QStringLiteral("ChannelList"));
        for (int i = 0; i < 4; ++i) {
            auto* item = new QListWidgetItem(f.ChannelList);
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            item->setCheckState(i == 3 ? Qt::Checked : Qt::Unchecked);
        }
        f.ChannelList->setMaximumWidth(110);
        QObject::connect(f.ChannelList, &QListWidget::itemChanged, &f, [&f] {
            if (f.Updating())
                return;
            THistogramKind kind = 0;
            const unsigned kinds[] = {hkRed, hkGreen, hkBlue, hkGray};
            for (int i = 0; i < 4; ++i)
                if (f.ChannelList->item(i)->checkState() == Qt::Checked)
                    kind |= kinds[i];
            f.HistogramBox1->SetHistogramKind(kind);
            alignRulers(f);
        });
        f.EqualizeButton = new QPushButton(eq);
        f.EqualizeButton->setCheckable(true);
        QObject::connect(f.EqualizeButton, &QPushButton::toggled, &f, [&f](bool on) {
            if (f.Updating())
                return;
            f.Equalize = on;
            f.Changed();
        });
        eg->addWidget(f.ChannelList, 0, 2, 3, 1);
        eg->addWidget(f.EqualizeButton, 3, 1, Qt::AlignLeft);
        eg->setRowStretch(4, 1);
        eg->setColumnStretch(3, 1);
        return eq;
    }

    void Translate(TfPreviews& f, TMsgLanguage language) override
    {
        thresholdLabel_->setText(Colon(Label(LabelMsg::Threshold, language)));
        levelsLabel_->setText(Colon(Label(LabelMsg::Equalization, language)));
        f.EqualizeButton->setText(Label(LabelMsg::Equalize, language));
        const int channels[] = {LabelMsg::Red, LabelMsg::Green, LabelMsg::Blue, LabelMsg::Gray};
        f.SetUpdating(true);
        for (int i = 0; i < 4; ++i)
            f.ChannelList->item(i)->setText(Label(channels[i], language));
        f.SetUpdating(false);
    }

    void Init(TfPreviews& f) override
    {
        f.LowThreshold = f.LevelsLower = {0, 0, 0};
        f.HighThreshold = f.LevelsUpper = {255, 255, 255};
        f.Equalize = false;
        f.EqualizeButton->setChecked(false);
        for (TRulerBox* r : {f.ThresholdRuler, f.LevelsRuler}) {
            r->SetGripPos(0, 0);
            r->SetGripPos(1, 255);
        }
        for (int i = 0; i < 4; ++i)
            f.RulerLabels[size_t(i)]->setText(i % 2 ? QStringLiteral("255") : QStringLiteral("0"));
        placeRulerLabels(f);
        for (int i = 0; i < 4; ++i)
            f.ChannelList->item(i)->setCheckState(i == 3 ? Qt::Checked : Qt::Unchecked);
        f.HistogramBox1->SetHistogramKind(hkGray);
    }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        const int x2 = bm.Width() - 1, y2 = bm.Height() - 1;
        ApplyThreshold(bm, 0, 0, x2, y2, clWhite, clBlack, f.HighThreshold, f.LowThreshold, t.Progress);
        AdjustLevels(bm, 0, 0, x2, y2, f.LevelsUpper, f.LevelsLower, t.Progress);
        if (f.Equalize)
            EqualizeHistogram(bm, 0, 0, x2, y2, t.Progress);
    }

    void Refreshed(TfPreviews& f) override
    {
        f.HistogramBox1->Update();
        alignRulers(f);
    }

private:
    // Lines the rulers' scale up with the histogram's bar area (which moves with its
    // labels) and puts each value label under its grip.
    static void alignRulers(TfPreviews& f)
    {
        int left = f.HistogramBox1->BarLeft(), width = f.HistogramBox1->BarWidth();
        if (width <= 0) {
            // Not drawn yet: the whole box.
            left = 0;
            width = f.HistogramBox1->width();
        }
        for (TRulerBox* r : {f.ThresholdRuler, f.LevelsRuler}) {
            // Value v sits at the histogram's pixel left + v × width / 256, RulerMargin into the ruler.
            r->setGeometry(left, 0, width + 2 * RulerMargin, r->height());
            r->SetDotPerUnit(width / 256.0);
            r->SetViewPos(-RulerMargin / r->DotPerUnit());
        }
        placeRulerLabels(f);
    }

    static void placeRulerLabels(TfPreviews& f)
    {
        for (int k = 0; k < 4; ++k) {
            const TRulerBox* r = k < 2 ? f.ThresholdRuler : f.LevelsRuler;
            QLabel* label = f.RulerLabels[size_t(k)];
            label->adjustSize();
            label->move(r->x() + r->GripPixel(k % 2) - label->width() / 2, r->y() + r->height());
        }
    }

    static void rulerMoved(TfPreviews& f, bool threshold, int grip)
    {
        TRulerBox* r = threshold ? f.ThresholdRuler : f.LevelsRuler;
        const double pos = r->GetGripPos(grip);
        if (pos < 0 || pos > 255) {
            // Held at the ends of the scale; the call comes back here with the held value.
            r->SetGripPos(grip, std::clamp(pos, 0.0, 255.0));
            return;
        }
        // A grip dragged past an end scrolls the ruler; it goes back under the histogram.
        alignRulers(f);
        f.SetUpdating(true);
        // The upper grip never stays below the lower one.
        if (r->GetGripPos(1) < r->GetGripPos(0))
            r->SetGripPos(grip == 0 ? 1 : 0, pos);
        f.SetUpdating(false);
        const int lo = Trunc(r->GetGripPos(0)), hi = Trunc(r->GetGripPos(1));
        f.RulerLabels[size_t(threshold ? 0 : 2)]->setText(QString::number(lo));
        f.RulerLabels[size_t(threshold ? 1 : 3)]->setText(QString::number(hi));
        placeRulerLabels(f);
        TRGBTriple& low = threshold ? f.LowThreshold : f.LevelsLower;
        TRGBTriple& high = threshold ? f.HighThreshold : f.LevelsUpper;
        const bool gray = f.ChannelList->item(3)->checkState() == Qt::Checked;
        uint8_t* lows[3] = {&low.rgbtRed, &low.rgbtGreen, &low.rgbtBlue};
        uint8_t* highs[3] = {&high.rgbtRed, &high.rgbtGreen, &high.rgbtBlue};
        for (int c = 0; c < 3; ++c)
            if (gray || f.ChannelList->item(c)->checkState() == Qt::Checked) {
                *lows[c] = uint8_t(lo);
                *highs[c] = uint8_t(hi);
            }
        f.Changed();
    }

    QLabel* thresholdLabel_ = nullptr;
    QLabel* levelsLabel_ = nullptr;
};

}  // namespace

std::unique_ptr<TEffectPage> NewEqualizationPage() { return std::make_unique<TEqualizationPage>(); }
