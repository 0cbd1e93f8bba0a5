// The contrast page: contrast around the source's mean colour, then brightness.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_adjust.h"

#include <QLabel>

namespace {

class TContrastPage : public TEffectPage {
public:
    TContrastPage() : TEffectPage(ppContrast, TEffectGroup::Colour) {}

    QString Caption(TMsgLanguage language) const override { return PreviewText(PreviewMsg::Contrast, language); }

    QWidget* Build(TfPreviews& f) override
    {
        return BuildTracks(f, this, {100, 100}, f.ContrastBars.data(), f.ContrastEdits.data(), labels_);
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        labels_[0]->setText(Colon(PreviewText(PreviewMsg::Contrast, language)));
        labels_[1]->setText(Colon(PreviewText(PreviewMsg::Brightness, language)));
    }

    void Init(TfPreviews& f) override
    {
        f.Contrast = f.Brightness = 0;
        ZeroTracks(f.ContrastBars.data(), f.ContrastEdits.data(), 2);
        f.Mean = MeanColor(f.ImageKit1->Bitmap());
    }

    void Read(TfPreviews& f) override
    {
        int values[2];
        ReadTracks(f, f.ContrastBars.data(), f.ContrastEdits.data(), values, 2);
        f.Contrast = values[0], f.Brightness = values[1];
    }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        const int x2 = bm.Width() - 1, y2 = bm.Height() - 1;
        AdjustContrast(bm, 0, 0, x2, y2, f.Contrast, f.Mean.rgbtRed, f.Mean.rgbtGreen, f.Mean.rgbtBlue, t.Progress);
        AdjustRGB(bm, 0, 0, x2, y2, f.Brightness, f.Brightness, f.Brightness, t.Progress);
    }

private:
    std::vector<QLabel*> labels_;
};

}  // namespace

std::unique_ptr<TEffectPage> NewContrastPage() { return std::make_unique<TContrastPage>(); }
