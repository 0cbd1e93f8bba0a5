// The black-and-white dialog: dither or threshold, with its preview.
#include "app/dialogs/black_white_dialog.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/form_parts.h"
#include "app/text/language.h"
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
    : TPreviewPairDialog(parent, {"Label1", "Label2", "Button3", "Button9"}, hcBlackWhite)
{
    setObjectName(QStringLiteral("blackwhiteform"));
    setWindowTitle(QStringLiteral("Schwarz Weiss Konvertierung"));
    auto* group = new QGroupBox(QStringLiteral("Streuung"), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    geordnet = new QRadioButton(QStringLiteral("Geordnet"), group);
    geordnet->setObjectName(QStringLiteral("geordnet"));
    Grenzwert = new QRadioButton(QStringLiteral("Grenzwert:"), group);
    Grenzwert->setObjectName(QStringLiteral("Grenzwert"));
    CheckBox1 = NamedCheckBox(group, "CheckBox1", QStringLiteral("Durchschnitt nehmen"));
    KitSpinEdit1 = new TKitSpinEdit(group);
    KitSpinEdit1->setObjectName(QStringLiteral("KitSpinEdit1"));
    KitSpinEdit1->SetMaxValue(255);
    KitSlider1 = new TKitSlider(group);
    KitSlider1->setObjectName(QStringLiteral("KitSlider1"));
    KitSlider1->SetRange(0, 255);
    KitSlider1->SetIncrement(1);
    KitSlider1->setMinimumWidth(200);
    auto* grid = new QGridLayout(group);
    grid->addWidget(geordnet, 0, 0);
    grid->addWidget(Grenzwert, 1, 0);
    grid->addWidget(KitSpinEdit1, 1, 1);
    grid->addWidget(KitSlider1, 1, 2);
    grid->addWidget(CheckBox1, 2, 1, 1, 2);
    Controls()->addWidget(group);
    CoupleSpinAndSlider(KitSpinEdit1, KitSlider1, [this] { ControlStep(false); });
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(geordnet), static_cast<QAbstractButton*>(Grenzwert),
                               static_cast<QAbstractButton*>(CheckBox1),
                               static_cast<QAbstractButton*>(SpeedButton1)})
        connect(b, &QAbstractButton::clicked, this, [this] { ControlStep(false); });
    connect(Button4, &QPushButton::clicked, this, [this] { ControlStep(true); });
    connect(CopyBack, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Tblackwhiteform::FormActivate()
{
    LoadPreview(ImageKit2, Source());
    (Mode == 0 ? geordnet : Grenzwert)->setChecked(true);
    // The average is stored as −1; the edit keeps a threshold it can show.
    CheckBox1->setChecked(Threshold < 0);
    KitSpinEdit1->setText(QString::number(Threshold < 0 ? 128 : std::min(Threshold, 255)));
    SpeedButton1->setChecked(AutoPreview);
    Accepted = false;
    ControlStep(false);
}

void Tblackwhiteform::ControlStep(bool forced)
{
    const bool typed = Grenzwert->isChecked() && !CheckBox1->isChecked();
    KitSpinEdit1->setEnabled(typed);
    KitSlider1->setEnabled(typed);
    CheckBox1->setEnabled(Grenzwert->isChecked());
    PreviewStep(forced);
}

bool Tblackwhiteform::chosenThreshold(int32_t& threshold) const
{
    if (CheckBox1->isChecked()) {
        threshold = -1;
        return true;
    }
    double v = 0;
    if (!ReadNumber(KitSpinEdit1->text(), v))
        return false;
    threshold = Round(v);
    // Grey values end at 255: a typed 300 is no threshold.
    return threshold >= 0 && threshold <= 255;
}

void Tblackwhiteform::PreviewStep(bool forced)
{
    if (!forced && !SpeedButton1->isChecked())
        return;
    int32_t threshold = 0;
    if (Grenzwert->isChecked() && !chosenThreshold(threshold))
        return;
    ImageKit1->Assign(ImageKit2->Bitmap());
    if (geordnet->isChecked()) {
        Mode = 0;
        ImageKit1->Proc()->ConvertToBWOrdered();
    } else {
        Mode = 1;
        Threshold = threshold;
        ImageKit1->Proc()->ConvertToBWThreshold(threshold);
    }
    FitPreview(ImageKit1);
}

void Tblackwhiteform::Button3Click()
{
    ImageKit2->Assign(ImageKit1->Bitmap());
    ImageKit2->Proc()->ConvertTo24Bit();
    FitPreview(ImageKit2);
}

void Tblackwhiteform::Button1Click()
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
    AutoPreview = SpeedButton1->isChecked();
    Accepted = true;
    done(mrOk);
}
