// The RGB page: red, green and blue offsets.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/proc/color_adjust.h"

#include <QLabel>

namespace {

class TRGBPage : public TEffectPage {
public:
    TRGBPage() : TEffectPage(ppRGB, TEffectGroup::Colour) {}

    QString Caption(TMsgLanguage) const override { return QStringLiteral("RGB"); }

    QWidget* Build(TfPreviews& f) override
    {
        return BuildTracks(f, this, {255, 255, 255}, f.RGBBars.data(), f.RGBEdits.data(), labels_);
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        labels_[0]->setText(Channel(LabelMsg::Red, " (R):", language));
        labels_[1]->setText(Channel(LabelMsg::Green, " (G):", language));
        labels_[2]->setText(Channel(LabelMsg::Blue, " (B):", language));
    }

    void Init(TfPreviews& f) override
    {
        f.RGBOffsets = {};
        ZeroTracks(f.RGBBars.data(), f.RGBEdits.data(), 3);
    }

    void Read(TfPreviews& f) override { ReadTracks(f, f.RGBBars.data(), f.RGBEdits.data(), f.RGBOffsets.data(), 3); }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        const auto& o = f.RGBOffsets;
        AdjustRGB(bm, 0, 0, bm.Width() - 1, bm.Height() - 1, o[0], o[1], o[2], t.Progress);
    }

private:
    std::vector<QLabel*> labels_;
};

}  // namespace

std::unique_ptr<TEffectPage> NewRGBPage() { return std::make_unique<TRGBPage>(); }
