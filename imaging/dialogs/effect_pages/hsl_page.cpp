// The HSL page: hue, saturation and luminosity offsets.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/proc/color_adjust.h"

#include <QLabel>

namespace {

class THSLPage : public TEffectPage {
public:
    THSLPage() : TEffectPage(ppHSL, TEffectGroup::Colour) {}

    QString Caption(TMsgLanguage) const override { return QStringLiteral("HSL"); }

    QWidget* Build(TfPreviews& f) override
    {
        return BuildTracks(f, this, {180, 100, 100}, f.HSLBars.data(), f.HSLEdits.data(), labels_);
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        labels_[0]->setText(Channel(LabelMsg::Hue, " (H):", language));
        labels_[1]->setText(Channel(LabelMsg::Saturation, " (S):", language));
        labels_[2]->setText(Channel(LabelMsg::Luminosity, " (L):", language));
    }

    // Resets the HSV page's offsets as well.
    void Init(TfPreviews& f) override
    {
        f.HSL = {};
        ZeroTracks(f.HSLBars.data(), f.HSLEdits.data(), 3);
        f.HSV = {};
        ZeroTracks(f.HSVBars.data(), f.HSVEdits.data(), 3);
    }

    void Read(TfPreviews& f) override { ReadTracks(f, f.HSLBars.data(), f.HSLEdits.data(), f.HSL.data(), 3); }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        AdjustHSL(bm, 0, 0, bm.Width() - 1, bm.Height() - 1, f.HSL[0], f.HSL[1], f.HSL[2], t.Progress);
    }

private:
    std::vector<QLabel*> labels_;
};

}  // namespace

std::unique_ptr<TEffectPage> NewHSLPage() { return std::make_unique<THSLPage>(); }
