// The rotation dialog: the typed angle and its preview.
#include "app/dialogs/rotate_dialog.h"
#include "app/text/help_contexts.h"

#include "app/forms/form_parts.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "controls/edits/spin_edit.h"
#include "controls/slider/kit_slider.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/rounding.h"

#include <QLabel>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

TfRotate::TfRotate(QWidget* parent)
    : TPreviewPairDialog(parent,
                         {ObjectName::RotateDialog::Label4, ObjectName::RotateDialog::Label3,
                          ObjectName::RotateDialog::Button5, ObjectName::RotateDialog::Button9},
                         hcRotate)
{
    setObjectName(QLatin1String(ObjectName::RotateDialog::Form));
    setWindowTitle(LangText(QStringLiteral("Rotation Vorschau"), QStringLiteral("Rotation preview")));
    auto* group = new QGroupBox(QStringLiteral("Rotation"), this);
    group->setObjectName(QLatin1String(ObjectName::RotateDialog::GroupBox1));
    valueEdit = new TKitSpinEdit(group);
    valueEdit->setObjectName(QLatin1String(ObjectName::RotateDialog::KitSpinEdit1));
    valueEdit->SetValueType(vtFloat);
    valueEdit->SetDecimal(1);
    valueEdit->SetMinValue(-MaxAngle);
    valueEdit->SetMaxValue(MaxAngle);
    valueSlider = new TKitSlider(group);
    valueSlider->setObjectName(QLatin1String(ObjectName::RotateDialog::KitSlider1));
    valueSlider->SetRange(-MaxAngle, MaxAngle);
    valueSlider->SetIncrement(1);
    valueSlider->setMinimumWidth(200);
    antialiasCheck = NamedCheckBox(group, ObjectName::RotateDialog::CheckBox1, QStringLiteral("Antialiasing"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(NamedLabel(group, ObjectName::RotateDialog::Label1, QStringLiteral("Winkel:")));
    row->addWidget(valueEdit);
    row->addWidget(valueSlider, 1);
    row->addWidget(antialiasCheck);
    Controls()->addWidget(group);
    CoupleSpinAndSlider(valueEdit, valueSlider, [this] { PreviewStep(false); });
    connect(antialiasCheck, &QCheckBox::clicked, this, [this] { PreviewStep(false); });
    connect(previewLockButton, &QToolButton::clicked, this, [this] { PreviewStep(false); });
    connect(previewButton, &QPushButton::clicked, this, [this] { PreviewStep(true); });
    connect(CopyBack, &QPushButton::clicked, this, [this] { copyBackClicked(); });
    connect(okButton, &QPushButton::clicked, this, [this] { okClicked(); });
}

void TfRotate::FormActivate()
{
    valueEdit->setText(QString::number(Angle));
    valueSlider->SetValue(Angle);
    antialiasCheck->setChecked(Antialias);
    previewLockButton->setChecked(AutoPreview);
    LoadPreview(sourceKit, Source());
    Accepted = false;
    PreviewStep(false);
}

bool TfRotate::typedAngle(int& angle) const
{
    double v = 0;
    if (!ReadNumber(valueEdit->text(), v))
        return false;
    angle = Round(v);
    return angle >= -MaxAngle && angle <= MaxAngle;
}

void TfRotate::PreviewStep(bool forced)
{
    int angle = 0;
    if (!typedAngle(angle) || (!forced && !previewLockButton->isChecked()))
        return;
    imageKit->Assign(sourceKit->Bitmap());
    imageKit->Rotate(angle, antialiasCheck->isChecked());
    FitPreview(imageKit);
}

void TfRotate::copyBackClicked() { LoadPreview(sourceKit, imageKit->Bitmap()); }

void TfRotate::okClicked()
{
    int angle = 0;
    if (!typedAngle(angle)) {
        LangMessageDlg(QStringLiteral("Bitte einen Winkel von -360 bis 360 Grad eingeben."), mtWarning, mbOK,
                       QStringLiteral("Please enter an angle from -360 to 360 degrees."));
        return;
    }
    Angle = angle;
    Antialias = antialiasCheck->isChecked();
    AutoPreview = previewLockButton->isChecked();
    Accepted = true;
    done(mrOk);
}
