// The colour reduction dialog: the typed count and its preview.
#include "app/dialogs/color_reduce_dialog.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/form_parts.h"
#include "app/text/language.h"
#include "controls/edits/spin_edit.h"
#include "controls/slider/kit_slider.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/rounding.h"

#include <QLabel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace {

// The typed count, or false for a text that is no number.
bool typedCount(const TKitSpinEdit* edit, int& count)
{
    double v = 0;
    if (!ReadNumber(edit->text(), v))
        return false;
    count = Round(v);
    return true;
}

} // namespace

Tfarbredform::Tfarbredform(QWidget* parent)
    : TPreviewPairDialog(parent, {"Label1", "Label2", "Button3", nullptr}, hcColorReduce)
{
    setObjectName(QStringLiteral("farbredform"));
    setWindowTitle(QStringLiteral("Farben reduzieren"));
    auto* group = new QGroupBox(QStringLiteral("Bitte Farbanzahl eingeben"), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    KitSpinEdit1 = new TKitSpinEdit(group);
    KitSpinEdit1->setObjectName(QStringLiteral("KitSpinEdit1"));
    KitSpinEdit1->SetMaxValue(MaxColors);
    KitSlider1 = new TKitSlider(group);
    KitSlider1->setObjectName(QStringLiteral("KitSlider1"));
    KitSlider1->SetRange(0, MaxColors);
    KitSlider1->SetIncrement(1);
    KitSlider1->setMinimumWidth(200);
    auto* row = new QHBoxLayout(group);
    row->addWidget(KitSpinEdit1);
    row->addWidget(KitSlider1, 1);
    Controls()->addWidget(group);
    CoupleSpinAndSlider(KitSpinEdit1, KitSlider1, [this] { PreviewStep(false); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { PreviewStep(false); });
    connect(Button4, &QPushButton::clicked, this, [this] { PreviewStep(true); });
    connect(CopyBack, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Tfarbredform::FormActivate()
{
    KitSpinEdit1->setText(QString::number(ColorCount));
    KitSlider1->SetValue(ColorCount);
    SpeedButton1->setChecked(AutoPreview);
    LoadPreview(ImageKit2, Source());
    Accepted = false;
    PreviewStep(false);
}

void Tfarbredform::PreviewStep(bool forced)
{
    int count = 0;
    if (!typedCount(KitSpinEdit1, count) || count < MinColors || count > MaxColors)
        return;
    if (!forced && !SpeedButton1->isChecked())
        return;
    ImageKit1->Assign(ImageKit2->Bitmap());
    ImageKit1->Proc()->ReduceColors(count);
    FitPreview(ImageKit1);
}

void Tfarbredform::Button3Click()
{
    ImageKit2->Assign(ImageKit1->Bitmap());
    FitPreview(ImageKit2);
}

void Tfarbredform::Button1Click()
{
    int count = 0;
    if (!typedCount(KitSpinEdit1, count))
        return;
    // The reduction makes no sense below two colours, and the quantisers stop at 10000.
    if (count < MinColors || count > MaxColors) {
        LangMessageDlg(QStringLiteral("Bitte eine Farbanzahl von 2 bis 10000 eingeben."), mtWarning, mbOK,
                       QStringLiteral("Please enter a number of colors from 2 to 10000."));
        return;
    }
    ColorCount = count;
    AutoPreview = SpeedButton1->isChecked();
    Accepted = true;
    done(mrOk);
}
