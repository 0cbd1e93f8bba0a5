// The colour reduction dialog: the typed count and its preview.
#include "app/dialogs/color_reduce_dialog.h"
#include "app/text/help_contexts.h"

#include "app/forms/form_parts.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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

}  // namespace

Tfarbredform::Tfarbredform(QWidget* parent)
    : TPreviewPairDialog(parent,
                         {ObjectName::ColorReduceDialog::Label1, ObjectName::ColorReduceDialog::Label2,
                          ObjectName::ColorReduceDialog::Button3, nullptr},
                         hcColorReduce)
{
    setObjectName(QLatin1String(ObjectName::ColorReduceDialog::Form));
    setWindowTitle(QStringLiteral("Farben reduzieren"));
    auto* group = new QGroupBox(QStringLiteral("Bitte Farbanzahl eingeben"), this);
    group->setObjectName(QLatin1String(ObjectName::ColorReduceDialog::GroupBox2));
    valueEdit = new TKitSpinEdit(group);
    valueEdit->setObjectName(QLatin1String(ObjectName::ColorReduceDialog::KitSpinEdit1));
    valueEdit->SetMaxValue(MaxColors);
    valueSlider = new TKitSlider(group);
    valueSlider->setObjectName(QLatin1String(ObjectName::ColorReduceDialog::KitSlider1));
    valueSlider->SetRange(0, MaxColors);
    valueSlider->SetIncrement(1);
    valueSlider->setMinimumWidth(200);
    auto* row = new QHBoxLayout(group);
    row->addWidget(valueEdit);
    row->addWidget(valueSlider, 1);
    Controls()->addWidget(group);
    CoupleSpinAndSlider(valueEdit, valueSlider, [this] { PreviewStep(false); });
    connect(previewLockButton, &QToolButton::clicked, this, [this] { PreviewStep(false); });
    connect(previewButton, &QPushButton::clicked, this, [this] { PreviewStep(true); });
    connect(CopyBack, &QPushButton::clicked, this, [this] { copyBackClicked(); });
    connect(okButton, &QPushButton::clicked, this, [this] { okClicked(); });
}

void Tfarbredform::FormActivate()
{
    valueEdit->setText(QString::number(ColorCount));
    valueSlider->SetValue(ColorCount);
    previewLockButton->setChecked(AutoPreview);
    LoadPreview(sourceKit, Source());
    Accepted = false;
    PreviewStep(false);
}

void Tfarbredform::PreviewStep(bool forced)
{
    int count = 0;
    if (!typedCount(valueEdit, count) || count < MinColors || count > MaxColors)
        return;
    if (!forced && !previewLockButton->isChecked())
        return;
    imageKit->Assign(sourceKit->Bitmap());
    imageKit->Proc()->ReduceColors(count);
    FitPreview(imageKit);
}

void Tfarbredform::copyBackClicked()
{
    sourceKit->Assign(imageKit->Bitmap());
    FitPreview(sourceKit);
}

void Tfarbredform::okClicked()
{
    int count = 0;
    if (!typedCount(valueEdit, count))
        return;
    // The reduction makes no sense below two colours, and the quantisers stop at 10000.
    if (count < MinColors || count > MaxColors) {
        LangMessageDlg(QStringLiteral("Bitte eine Farbanzahl von 2 bis 10000 eingeben."), mtWarning, mbOK,
                       QStringLiteral("Please enter a number of colors from 2 to 10000."));
        return;
    }
    ColorCount = count;
    AutoPreview = previewLockButton->isChecked();
    Accepted = true;
    done(mrOk);
}
