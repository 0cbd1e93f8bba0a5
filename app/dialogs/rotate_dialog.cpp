// The rotation dialog: the typed angle and its preview.
#include "app/dialogs/rotate_dialog.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/form_parts.h"
#include "app/text/language.h"
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

TfRotate::TfRotate(QWidget* parent) : TPreviewPairDialog(parent, {"Label4", "Label3", "Button5", "Button9"}, hcRotate)
{
    setObjectName(QStringLiteral("frotate"));
    setWindowTitle(LangText(QStringLiteral("Rotation Vorschau"), QStringLiteral("Rotation preview")));
    auto* group = new QGroupBox(QStringLiteral("Rotation"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    KitSpinEdit1 = new TKitSpinEdit(group);
    KitSpinEdit1->setObjectName(QStringLiteral("KitSpinEdit1"));
    KitSpinEdit1->SetValueType(vtFloat);
    KitSpinEdit1->SetDecimal(1);
    KitSpinEdit1->SetMinValue(-MaxAngle);
    KitSpinEdit1->SetMaxValue(MaxAngle);
    KitSlider1 = new TKitSlider(group);
    KitSlider1->setObjectName(QStringLiteral("KitSlider1"));
    KitSlider1->SetRange(-MaxAngle, MaxAngle);
    KitSlider1->SetIncrement(1);
    KitSlider1->setMinimumWidth(200);
    CheckBox1 = NamedCheckBox(group, "CheckBox1", QStringLiteral("Antialiasing"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(NamedLabel(group, "Label1", QStringLiteral("Winkel:")));
    row->addWidget(KitSpinEdit1);
    row->addWidget(KitSlider1, 1);
    row->addWidget(CheckBox1);
    Controls()->addWidget(group);
    CoupleSpinAndSlider(KitSpinEdit1, KitSlider1, [this] { PreviewStep(false); });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { PreviewStep(false); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { PreviewStep(false); });
    connect(Button4, &QPushButton::clicked, this, [this] { PreviewStep(true); });
    connect(CopyBack, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TfRotate::FormActivate()
{
    KitSpinEdit1->setText(QString::number(Angle));
    KitSlider1->SetValue(Angle);
    CheckBox1->setChecked(Antialias);
    SpeedButton1->setChecked(AutoPreview);
    LoadPreview(ImageKit2, Source());
    Accepted = false;
    PreviewStep(false);
}

bool TfRotate::typedAngle(int& angle) const
{
    double v = 0;
    if (!ReadNumber(KitSpinEdit1->text(), v))
        return false;
    angle = Round(v);
    return angle >= -MaxAngle && angle <= MaxAngle;
}

void TfRotate::PreviewStep(bool forced)
{
    int angle = 0;
    if (!typedAngle(angle) || (!forced && !SpeedButton1->isChecked()))
        return;
    ImageKit1->Assign(ImageKit2->Bitmap());
    ImageKit1->Rotate(angle, CheckBox1->isChecked());
    FitPreview(ImageKit1);
}

void TfRotate::Button5Click()
{
    LoadPreview(ImageKit2, ImageKit1->Bitmap());
}

void TfRotate::Button1Click()
{
    int angle = 0;
    if (!typedAngle(angle)) {
        LangMessageDlg(QStringLiteral("Bitte einen Winkel von -360 bis 360 Grad eingeben."), mtWarning, mbOK,
                       QStringLiteral("Please enter an angle from -360 to 360 degrees."));
        return;
    }
    Angle = angle;
    Antialias = CheckBox1->isChecked();
    AutoPreview = SpeedButton1->isChecked();
    Accepted = true;
    done(mrOk);
}
