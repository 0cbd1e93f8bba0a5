// The colour picker dialog: HSV box, standard colours and typed components kept in step.
#include "app/forms/color_select_dialog.h"

#include "app/forms/form_parts.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "controls/combos/kit_combos.h"
#include "imaging/boxes/hsv_box.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/up_down.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEditUpDown::TEditUpDown(QLineEdit* edit, int max, QWidget* parent) : TCustomUpDown(parent), edit_(edit)
{
    SetRange(0, max);
    setFixedSize(16, 22);
}

void TEditUpDown::Changed(TUDBtnType) { edit_->setText(QString::number(Position())); }

TColor TfColorSel::StartColor = clBlack;

namespace {

// A text that is no number counts as 0.
int editValue(const QLineEdit* edit)
{
    double v = 0;
    if (!ReadNumber(edit->text(), v))
        return 0;
    return Round(v);
}

}  // namespace

TfColorSel::TfColorSel(QWidget* parent) : QDialog(parent)
{
    setObjectName(QLatin1String(ObjectName::ColorSelectDialog::Form));
    setWindowTitle(QStringLiteral("Farbe auswählen"));
    hsvBox = new THSVBox(this);
    hsvBox->setObjectName(QLatin1String(ObjectName::ColorSelectDialog::HSVBox1));
    hsvBox->setFixedSize(200, 160);
    colorCombo = new TColorComboBox(this);
    colorCombo->setObjectName(QLatin1String(ObjectName::ColorSelectDialog::ColorComboBox1));
    colorPanel = new QFrame(this);
    colorPanel->setObjectName(QLatin1String(ObjectName::ColorSelectDialog::Panel2));
    colorPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    colorPanel->setAutoFillBackground(true);
    colorPanel->setFixedSize(60, 40);

    static const char* const names[6] = {ObjectName::ColorSelectDialog::Edit1, ObjectName::ColorSelectDialog::Edit2,
                                         ObjectName::ColorSelectDialog::Edit3, ObjectName::ColorSelectDialog::Edit4,
                                         ObjectName::ColorSelectDialog::Edit5, ObjectName::ColorSelectDialog::Edit6};
    static const char* const labels[6][2] = {
        {"Rot:", "Red:"},     {"Grün:", "Green:"},           {"Blau:", "Blue:"},
        {"Farbton:", "Hue:"}, {"Sättigung:", "Saturation:"}, {"Helligkeit:", "Value:"}};
    static const int maxima[6] = {255, 255, 255, 359, 99, 99};
    auto* manual = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        Edits[size_t(i)] = new QLineEdit(this);
        Edits[size_t(i)]->setObjectName(QString::fromLatin1(names[i]));
        Edits[size_t(i)]->setFixedWidth(48);
        UpDowns[size_t(i)] = new TEditUpDown(Edits[size_t(i)], maxima[i], this);
        UpDowns[size_t(i)]->setObjectName(QStringLiteral("UpDown%1").arg(i + 1));
        const int row = i % 3, col = (i / 3) * 3;
        const QString label = LangText(QString::fromUtf8(labels[i][0]), QString::fromUtf8(labels[i][1]));
        manual->addWidget(new QLabel(label, this), row, col);
        manual->addWidget(Edits[size_t(i)], row, col + 1);
        manual->addWidget(UpDowns[size_t(i)], row, col + 2);
    }
    okButton = NamedButton(this, ObjectName::ColorSelectDialog::Button1, QStringLiteral("&Ok"));
    cancelButton = NamedButton(this, ObjectName::ColorSelectDialog::Button2, QStringLiteral("&Abbrechen"));

    auto* right = new QVBoxLayout;
    right->addWidget(NamedLabel(this, ObjectName::ColorSelectDialog::Label1, QStringLiteral("Farbe:")));
    right->addWidget(colorCombo);
    right->addWidget(colorPanel);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(hsvBox);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(NamedLabel(this, ObjectName::ColorSelectDialog::Label8, QStringLiteral("Manuell:")));
    main->addLayout(manual);
    main->addLayout(buttons);

    hsvBox->OnChange = [this](TObject*) { hsvBoxChanged(); };
    for (int i = 0; i < 3; ++i)
        connect(Edits[size_t(i)], &QLineEdit::textChanged, this, [this] { rgbEdited(); });
    connect(Edits[3], &QLineEdit::textChanged, this, [this] { hueEdited(); });
    connect(Edits[4], &QLineEdit::textChanged, this, [this] { satValEdited(); });
    connect(Edits[5], &QLineEdit::textChanged, this, [this] { satValEdited(); });
    colorCombo->OnChange = [this](TObject*) {
        if (busy_)
            return;
        hsvBox->SetColor(colorCombo->ColorValue());
        hsvBoxChanged();
    };
    connect(okButton, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TColor TfColorSel::Color() const { return hsvBox->Color(); }

void TfColorSel::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TfColorSel::FormActivate()
{
    hsvBox->SetColor(StartColor);
    hsvBoxChanged();
}

void TfColorSel::hsvBoxChanged()
{
    busy_ = true;
    const int values[6] = {hsvBox->Red(), hsvBox->Green(), hsvBox->Blue(), hsvBox->Hue(), hsvBox->Sat(), hsvBox->Val()};
    for (size_t i = 0; i < 6; ++i) {
        Edits[i]->setText(QString::number(values[i]));
        UpDowns[i]->SetPosition(values[i]);
    }
    QPalette p = colorPanel->palette();
    const TColor c = ColorToRGB(hsvBox->Color());
    p.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    colorPanel->setPalette(p);
    colorPanel->setProperty("Color", int(c));
    busy_ = false;
}

void TfColorSel::rgbEdited()
{
    if (busy_)
        return;
    hsvBox->SetRGB(ClampByte(editValue(Edits[0])), ClampByte(editValue(Edits[1])), ClampByte(editValue(Edits[2])));
    hsvBoxChanged();
}

void TfColorSel::hueEdited()
{
    if (busy_)
        return;
    hsvBox->SetHue(editValue(Edits[3]));
    hsvBoxChanged();
}

void TfColorSel::satValEdited()
{
    if (busy_)
        return;
    hsvBox->SetSat(editValue(Edits[4]));
    hsvBox->SetVal(editValue(Edits[5]));
    hsvBoxChanged();
}

void TfColorSel::keyPressEvent(QKeyEvent* event)
{
    // The window's help request opens the help page of the language.
    if (event->key() == Qt::Key_F1) {
        SetFormHelpFile();
        TApplication::HelpShow();
        return;
    }
    QDialog::keyPressEvent(event);
}
