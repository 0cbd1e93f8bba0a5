// The colour picker dialog: HSV box, standard colours and typed components kept in step.
#include "app/dialogs/color_select_dialog.h"

#include "app/dialogs/form_parts.h"
#include "app/text/language.h"
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

} // namespace

TfColorSel::TfColorSel(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fcolorsel"));
    setWindowTitle(QStringLiteral("Farbe auswählen"));
    HSVBox1 = new THSVBox(this);
    HSVBox1->setObjectName(QStringLiteral("HSVBox1"));
    HSVBox1->setFixedSize(200, 160);
    ColorComboBox1 = new TColorComboBox(this);
    ColorComboBox1->setObjectName(QStringLiteral("ColorComboBox1"));
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setAutoFillBackground(true);
    Panel2->setFixedSize(60, 40);

    static const char* const names[6] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"};
    static const char* const labels[6][2] = {{"Rot:", "Red:"},        {"Grün:", "Green:"},
                                             {"Blau:", "Blue:"},      {"Farbton:", "Hue:"},
                                             {"Sättigung:", "Saturation:"}, {"Helligkeit:", "Value:"}};
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
    Button1 = NamedButton(this, "Button1", QStringLiteral("&Ok"));
    Button2 = NamedButton(this, "Button2", QStringLiteral("&Abbrechen"));

    auto* right = new QVBoxLayout;
    right->addWidget(NamedLabel(this, "Label1", QStringLiteral("Farbe:")));
    right->addWidget(ColorComboBox1);
    right->addWidget(Panel2);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(HSVBox1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(NamedLabel(this, "Label8", QStringLiteral("Manuell:")));
    main->addLayout(manual);
    main->addLayout(buttons);

    HSVBox1->OnChange = [this](TObject*) { HSVBox1Change(); };
    for (int i = 0; i < 3; ++i)
        connect(Edits[size_t(i)], &QLineEdit::textChanged, this, [this] { rgbEdited(); });
    connect(Edits[3], &QLineEdit::textChanged, this, [this] { hueEdited(); });
    connect(Edits[4], &QLineEdit::textChanged, this, [this] { satValEdited(); });
    connect(Edits[5], &QLineEdit::textChanged, this, [this] { satValEdited(); });
    ColorComboBox1->OnChange = [this](TObject*) {
        if (busy_)
            return;
        HSVBox1->SetColor(ColorComboBox1->ColorValue());
        HSVBox1Change();
    };
    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

TColor TfColorSel::Color() const { return HSVBox1->Color(); }

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
    HSVBox1->SetColor(StartColor);
    HSVBox1Change();
}

void TfColorSel::HSVBox1Change()
{
    busy_ = true;
    const int values[6] = {HSVBox1->Red(), HSVBox1->Green(), HSVBox1->Blue(),
                           HSVBox1->Hue(), HSVBox1->Sat(),   HSVBox1->Val()};
    for (size_t i = 0; i < 6; ++i) {
        Edits[i]->setText(QString::number(values[i]));
        UpDowns[i]->SetPosition(values[i]);
    }
    QPalette p = Panel2->palette();
    const TColor c = ColorToRGB(HSVBox1->Color());
    p.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    Panel2->setPalette(p);
    Panel2->setProperty("Color", int(c));
    busy_ = false;
}

void TfColorSel::rgbEdited()
{
    if (busy_)
        return;
    HSVBox1->SetRGB(ClampByte(editValue(Edits[0])), ClampByte(editValue(Edits[1])), ClampByte(editValue(Edits[2])));
    HSVBox1Change();
}

void TfColorSel::hueEdited()
{
    if (busy_)
        return;
    HSVBox1->SetHue(editValue(Edits[3]));
    HSVBox1Change();
}

void TfColorSel::satValEdited()
{
    if (busy_)
        return;
    HSVBox1->SetSat(editValue(Edits[4]));
    HSVBox1->SetVal(editValue(Edits[5]));
    HSVBox1Change();
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
