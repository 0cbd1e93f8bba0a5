// The bump map page: a light's position and size, its colour, and how much of the
// source shows through; a click on the result places the light.
#include "imaging/boxes/hsv_box.h"
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/color_space.h"
#include "imaging/proc/distort.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

namespace {

class TBumpMapPage : public TEffectPage {
public:
    TBumpMapPage() : TEffectPage(ppBumpMap, TEffectGroup::Effects) {}

    QString Caption(TMsgLanguage) const override { return QStringLiteral("Bump map"); }

    QWidget* Build(TfPreviews& f) override
    {
        auto* bump = new QWidget;
        auto* bg = new QGridLayout(bump);
        BuildSpins(f, this, bump, bg, f.BumpEdits.data(), 4, 0, 32767, labels_);
        f.BumpColor = new THSVBox(bump);
        f.BumpColor->setObjectName(QStringLiteral("BumpColor"));
        f.BumpColor->setFixedSize(105, 105);
        f.BumpColor->OnChange = [&f](TObject*) {
            if (f.Updating())
                return;
            f.BumpLight = f.BumpColor->Color();
            f.Changed();
        };
        f.BumpPercent = NewSpin(bump, 0, 100, 10);
        QObject::connect(f.BumpPercent, &QSpinBox::valueChanged, &f, [&f](int v) {
            if (f.Updating())
                return;
            f.BumpPercentValue = v;
            f.Changed();
        });
        auto* colorLabel = new QLabel(bump);
        auto* percentLabel = new QLabel(bump);
        bg->addWidget(colorLabel, 0, 2);
        bg->addWidget(f.BumpColor, 1, 2, 3, 1);
        bg->addWidget(percentLabel, 0, 3);
        bg->addWidget(f.BumpPercent, 1, 3);
        labels_.push_back(colorLabel);
        labels_.push_back(percentLabel);
        return bump;
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        const int rows[] = {LabelMsg::Left, LabelMsg::Top, LabelMsg::Width, LabelMsg::Height, LabelMsg::Color};
        for (size_t i = 0; i < std::size(rows); ++i)
            labels_[i]->setText(Colon(Label(rows[i], language)));
        labels_[5]->setText(Label(LabelMsg::SourceImageQuantity, language) + QStringLiteral(" (%):"));
    }

    // The light in the middle, as large as half the longer side, white, no source.
    void Init(TfPreviews& f) override
    {
        const TBitmap* src = f.ImageKit1->Bitmap();
        const int w = src->Width(), h = src->Height();
        f.BumpLeft = w / 2, f.BumpTop = h / 2, f.BumpWidth = f.BumpHeight = std::max(w, h) / 2;
        f.BumpLight = clWhite;
        f.BumpPercentValue = 0;
        for (int i = 0; i < 4; ++i)
            f.BumpEdits[size_t(i)]->setValue(std::array{f.BumpLeft, f.BumpTop, f.BumpWidth, f.BumpHeight}[size_t(i)]);
        f.BumpColor->SetColor(clWhite);
        f.BumpPercent->setValue(0);
    }

    void Read(TfPreviews& f) override
    {
        f.BumpLeft = f.BumpEdits[0]->value(), f.BumpTop = f.BumpEdits[1]->value();
        f.BumpWidth = f.BumpEdits[2]->value(), f.BumpHeight = f.BumpEdits[3]->value();
    }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        const TRGBTriple c = ColorToRGBTriple(f.BumpLight);
        BumpMap(bm, t.X(f.BumpLeft), t.Y(f.BumpTop), t.Size(f.BumpWidth), t.Size(f.BumpHeight), f.BumpPercentValue,
                c.rgbtBlue, c.rgbtGreen, c.rgbtRed, 0, 0, bm.Width() - 1, bm.Height() - 1, t.Progress);
    }

    void ResultClicked(TfPreviews& f, int x, int y) override { f.PlaceAtResultPixel(f.BumpEdits.data(), x, y); }

private:
    std::vector<QLabel*> labels_;
};

}  // namespace

std::unique_ptr<TEffectPage> NewBumpMapPage() { return std::make_unique<TBumpMapPage>(); }
