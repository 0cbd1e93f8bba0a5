// The lens page: a lens's position and size and its refraction; a click on the result
// places the lens.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/distort.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

namespace {

class TLensPage : public TEffectPage {
public:
    TLensPage() : TEffectPage(ppLens, TEffectGroup::Effects) {}

    QString Caption(TMsgLanguage language) const override { return Label(LabelMsg::Lens, language); }

    QWidget* Build(TfPreviews& f) override
    {
        auto* lens = new QWidget;
        auto* lg = new QGridLayout(lens);
        BuildSpins(f, this, lens, lg, f.LensEdits.data(), 4, 0, 32767, labels_);
        // The refraction row goes below the four position and size rows, its label with it.
        BuildSpins(f, this, lens, lg, &f.RefractionEdit, 1, 0, 32767, labels_, 4);
        return lens;
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        const int rows[] = {LabelMsg::Left, LabelMsg::Top, LabelMsg::Width, LabelMsg::Height, LabelMsg::Refraction};
        for (size_t i = 0; i < std::size(rows); ++i)
            labels_[i]->setText(Colon(Label(rows[i], language)));
    }

    // The lens in the middle, as large as half the longer side; the edit's 7 is 1.7.
    void Init(TfPreviews& f) override
    {
        const TBitmap* src = f.ImageKit1->Bitmap();
        const int w = src->Width(), h = src->Height();
        f.LensLeft = w / 2, f.LensTop = h / 2, f.LensWidth = f.LensHeight = std::max(w, h) / 2;
        f.Refraction = 1.7;
        for (int i = 0; i < 4; ++i)
            f.LensEdits[size_t(i)]->setValue(std::array{f.LensLeft, f.LensTop, f.LensWidth, f.LensHeight}[size_t(i)]);
        f.RefractionEdit->setValue(7);
    }

    void Read(TfPreviews& f) override
    {
        f.LensLeft = f.LensEdits[0]->value(), f.LensTop = f.LensEdits[1]->value();
        f.LensWidth = f.LensEdits[2]->value(), f.LensHeight = f.LensEdits[3]->value();
        f.Refraction = 1 + f.RefractionEdit->value() / 10.0;
    }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        ApplyLens(bm, t.X(f.LensLeft), t.Y(f.LensTop), t.Size(f.LensWidth), t.Size(f.LensHeight), f.Refraction,
                  t.Progress);
    }

    void ResultClicked(TfPreviews& f, int x, int y) override { f.PlaceAtResultPixel(f.LensEdits.data(), x, y); }

private:
    std::vector<QLabel*> labels_;
};

}  // namespace

std::unique_ptr<TEffectPage> NewLensPage() { return std::make_unique<TLensPage>(); }
