// The black-and-white dialog: dither or threshold, with its preview.
#include "app/dialogs/black_white_dialog.h"
#include "app/text/help_contexts.h"

#include "app/forms/form_parts.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "controls/edits/spin_edit.h"
#include "controls/slider/kit_slider.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/rounding.h"
#include "platform/ui/dialogs.h"

#include <QLabel>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

Tblackwhiteform::Tblackwhiteform(QWidget* parent)
    : TPreviewPairDialog(parent,
                         {ObjectName::BlackWhiteDialog::Label1, ObjectName::BlackWhiteDialog::Label2,
                          ObjectName::BlackWhiteDialog::Button3, ObjectName::BlackWhiteDialog::Button9},
                         hcBlackWhite)
{
    setObjectName(QLatin1String(ObjectName::BlackWhiteDialog::Form));
    setWindowTitle(QStringLiteral("Schwarz Weiss Konvertierung"));
    auto* group = new QGroupBox(QStringLiteral("Streuung"), this);
    group->setObjectName(QLatin1String(ObjectName::BlackWhiteDialog::GroupBox2));
    geordnet = new QRadioButton(QStringLiteral("Geordnet"), group);
    geordnet->setObjectName(QLatin1String(ObjectName::BlackWhiteDialog::geordnet));
    Grenzwert = new QRadioButton(QStringLiteral("Grenzwert:"), group);
    Grenzwert->setObjectName(QLatin1String(ObjectName::BlackWhiteDialog::Grenzwert));
    averageCheck = NamedCheckBox(group, ObjectName::BlackWhiteDialog::CheckBox1, QStringLiteral("Durchschnitt nehmen"));
    valueEdit = new TKitSpinEdit(group);
    valueEdit->setObjectName(QLatin1String(ObjectName::BlackWhiteDialog::KitSpinEdit1));
    valueEdit->SetMaxValue(255);
    valueSlider = new TKitSlider(group);
    valueSlider->setObjectName(QLatin1String(ObjectName::BlackWhiteDialog::KitSlider1));
    valueSlider->SetRange(0, 255);
    valueSlider->SetIncrement(1);
    valueSlider->setMinimumWidth(200);
    auto* grid = new QGridLayout(group);
    grid->addWidget(geordnet, 0, 0);
    grid->addWidget(Grenzwert, 1, 0);
    grid->addWidget(valueEdit, 1, 1);
    grid->addWidget(valueSlider, 1, 2);
    grid->addWidget(averageCheck, 2, 1, 1, 2);
    Controls()->addWidget(group);
    CoupleSpinAndSlider(valueEdit, valueSlider, [this] { ControlStep(false); });
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(geordnet), static_cast<QAbstractButton*>(Grenzwert),
          static_cast<QAbstractButton*>(averageCheck), static_cast<QAbstractButton*>(previewLockButton)})
        connect(b, &QAbstractButton::clicked, this, [this] { ControlStep(false); });
    connect(previewButton, &QPushButton::clicked, this, [this] { ControlStep(true); });
    connect(CopyBack, &QPushButton::clicked, this, [this] { copyBackClicked(); });
    connect(okButton, &QPushButton::clicked, this, [this] { okClicked(); });
}

void Tblackwhiteform::FormActivate()
{
    LoadPreview(sourceKit, Source());
    (Mode == 0 ? geordnet : Grenzwert)->setChecked(true);
    // The average is stored as −1; the edit keeps a threshold it can show.
    averageCheck->setChecked(Threshold < 0);
    valueEdit->setText(QString::number(Threshold < 0 ? 128 : std::min(Threshold, 255)));
    previewLockButton->setChecked(AutoPreview);
    Accepted = false;
    ControlStep(false);
}

void Tblackwhiteform::ControlStep(bool forced)
{
    const bool typed = Grenzwert->isChecked() && !averageCheck->isChecked();
    valueEdit->setEnabled(typed);
    valueSlider->setEnabled(typed);
    averageCheck->setEnabled(Grenzwert->isChecked());
    PreviewStep(forced);
}

bool Tblackwhiteform::chosenThreshold(int32_t& threshold) const
{
    if (averageCheck->isChecked()) {
        threshold = -1;
        return true;
    }
    double v = 0;
    if (!ReadNumber(valueEdit->text(), v))
        return false;
    threshold = Round(v);
    // Grey values end at 255: a typed 300 is no threshold.
    return threshold >= 0 && threshold <= 255;
}

void Tblackwhiteform::PreviewStep(bool forced)
{
    if (!forced && !previewLockButton->isChecked())
        return;
    int32_t threshold = 0;
    if (Grenzwert->isChecked() && !chosenThreshold(threshold))
        return;
    imageKit->Assign(sourceKit->Bitmap());
    if (geordnet->isChecked()) {
        Mode = 0;
        imageKit->Proc()->ConvertToBWOrdered();
    } else {
        Mode = 1;
        Threshold = threshold;
        imageKit->Proc()->ConvertToBWThreshold(threshold);
    }
    FitPreview(imageKit);
}

void Tblackwhiteform::copyBackClicked()
{
    sourceKit->Assign(imageKit->Bitmap());
    sourceKit->Proc()->ConvertTo24Bit();
    FitPreview(sourceKit);
}

void Tblackwhiteform::okClicked()
{
    if (geordnet->isChecked()) {
        Mode = 0;
    } else {
        int32_t threshold = 0;
        if (!chosenThreshold(threshold)) {
            LangMessageDlg(QStringLiteral("Bitte einen Grenzwert von 0 bis 255 eingeben."), mtWarning, mbOK,
                           QStringLiteral("Please enter a threshold from 0 to 255."));
            return;
        }
        Mode = 1;
        Threshold = threshold;
    }
    AutoPreview = previewLockButton->isChecked();
    Accepted = true;
    done(mrOk);
}
