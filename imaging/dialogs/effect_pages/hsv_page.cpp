// The HSV page: hue, saturation and value offsets, also set as the difference of two
// colour boxes; a click on the result takes the base colour from there.
#include "imaging/boxes/hsv_box.h"
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/color_space.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

namespace {

class THSVPage : public TEffectPage {
public:
    THSVPage() : TEffectPage(ppHSV, TEffectGroup::Colour) {}

    QString Caption(TMsgLanguage) const override { return QStringLiteral("HSV"); }

    QWidget* Build(TfPreviews& f) override
    {
        QWidget* hsv = BuildTracks(f, this, {180, 100, 100}, f.HSVBars.data(), f.HSVEdits.data(), labels_);
        f.BaseColor = new THSVBox(hsv);
        f.BaseColor->setObjectName(QStringLiteral("BaseColor"));
        f.NewColor = new THSVBox(hsv);
        f.NewColor->setObjectName(QStringLiteral("NewColor"));
        f.BaseColor->OnChange = f.NewColor->OnChange = [this, &f](TObject*) { colorBoxChanged(f); };
        // The boxes have no size of their own to offer a layout: they keep their 105 × 105.
        f.BaseColor->setFixedSize(105, 105);
        f.NewColor->setFixedSize(105, 105);
        auto* boxes = new QGridLayout;
        auto* baseLabel = new QLabel(hsv);
        auto* newLabel = new QLabel(hsv);
        boxes->addWidget(baseLabel, 0, 0);
        boxes->addWidget(f.BaseColor, 1, 0);
        boxes->addWidget(newLabel, 0, 1);
        boxes->addWidget(f.NewColor, 1, 1);
        boxes->setRowStretch(2, 1);
        static_cast<QGridLayout*>(hsv->layout())->addLayout(boxes, 0, 3, 3, 1);
        labels_.push_back(baseLabel);
        labels_.push_back(newLabel);
        return hsv;
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        labels_[0]->setText(Channel(LabelMsg::Hue, " (H):", language));
        labels_[1]->setText(Channel(LabelMsg::Saturation, " (S):", language));
        labels_[2]->setText(Channel(LabelMsg::Value, " (V):", language));
        labels_[3]->setText(Colon(Label(LabelMsg::BaseColor, language)));
        labels_[4]->setText(Colon(Label(LabelMsg::NewColor, language)));
    }

    void Init(TfPreviews& f) override
    {
        f.HSV = {};
        ZeroTracks(f.HSVBars.data(), f.HSVEdits.data(), 3);
    }

    void Read(TfPreviews& f) override { ReadTracks(f, f.HSVBars.data(), f.HSVEdits.data(), f.HSV.data(), 3); }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        AdjustHSV(bm, 0, 0, bm.Width() - 1, bm.Height() - 1, f.HSV[0], f.HSV[1], f.HSV[2], t.Progress);
    }

    // The pixel itself, not what the screen happens to show there.
    void ResultClicked(TfPreviews& f, int x, int y) override
    {
        const TBitmap* shown = f.ImageKit2->Bitmap();
        const uint8_t* p = shown->ScanLine(y) + 3 * x;
        int h, s, v;
        RGBToHSV(p[2], p[1], p[0], h, s, v);
        f.SetUpdating(true);
        f.BaseColor->SetHue(h);
        f.BaseColor->SetSat(s);
        f.BaseColor->SetVal(v);
        f.SetUpdating(false);
        colorBoxChanged(f);
    }

private:
    // The offsets are the new colour minus the base colour.
    void colorBoxChanged(TfPreviews& f)
    {
        if (f.Updating())
            return;
        f.SetUpdating(true);
        const int d[3] = {f.NewColor->Hue() - f.BaseColor->Hue(), f.NewColor->Sat() - f.BaseColor->Sat(),
                          f.NewColor->Val() - f.BaseColor->Val()};
        for (int i = 0; i < 3; ++i)
            f.HSVBars[size_t(i)]->setValue(d[i]);
        f.SetUpdating(false);
        Read(f);
        f.Changed();
    }

    std::vector<QLabel*> labels_;
};

}  // namespace

std::unique_ptr<TEffectPage> NewHSVPage() { return std::make_unique<THSVPage>(); }
