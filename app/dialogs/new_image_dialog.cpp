// The new-image dialog: size in pixel, cm or inch, resolution and memory needed.
#include "app/dialogs/new_image_dialog.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/form_parts.h"
#include "app/dialogs/size_units.h"
#include "app/text/language.h"
#include "controls/edits/num_edit.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QStringList kUnits = {QStringLiteral("pixel"), QStringLiteral("cm"), QStringLiteral("inch")};

int boundedIndex(int value, int count) { return value >= 0 && value < count ? value : 0; }

} // namespace

TNeuGrafik::TNeuGrafik(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("neugrafik"));
    setWindowTitle(QStringLiteral("Neue Grafik"));
    Record = tneudialog::Defaults();

    auto* size = new QGroupBox(QStringLiteral("Größe"), this);
    size->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(size);
    auto edit = [&](const char* name) {
        auto* e = new TKitCalcEdit(size);
        e->setObjectName(QString::fromLatin1(name));
        e->SetDecimalPlaces(4);
        return e;
    };
    KitCalcEdit1 = edit("KitCalcEdit1");
    KitCalcEdit2 = edit("KitCalcEdit2");
    KitCalcEdit3 = edit("KitCalcEdit3");
    ComboBox1 = NamedCombo(size, "ComboBox1", kUnits);
    ComboBox2 = NamedCombo(size, "ComboBox2", kUnits);
    ComboBox3 = NamedCombo(size, "ComboBox3", {QStringLiteral("pixel / cm"), QStringLiteral("pixel / inch  (dpi)")});
    grid->addWidget(NamedLabel(size, "Label1", QStringLiteral("Breite")), 0, 0);
    grid->addWidget(KitCalcEdit1, 0, 1);
    grid->addWidget(ComboBox1, 0, 2);
    grid->addWidget(NamedLabel(size, "Label2", QStringLiteral("Höhe")), 1, 0);
    grid->addWidget(KitCalcEdit2, 1, 1);
    grid->addWidget(ComboBox2, 1, 2);
    grid->addWidget(NamedLabel(size, "Label3", QStringLiteral("Auflösung")), 2, 0);
    grid->addWidget(KitCalcEdit3, 2, 1);
    grid->addWidget(ComboBox3, 2, 2);
    grid->addWidget(NamedLabel(size, "Label4", QStringLiteral("Erforderlicher Hauptspeicher:")), 3, 0, 1, 2);
    Label5 = NamedLabel(size, "Label5", QString());
    grid->addWidget(Label5, 3, 2);
    CheckBox1 = NamedCheckBox(size, "CheckBox1", QStringLiteral("Proportional"));
    grid->addWidget(CheckBox1, 4, 0, 1, 2);
    Label6 = NamedLabel(size, "Label6", QStringLiteral("Filter"));
    ComboBox4 = NamedCombo(size, "ComboBox4", FilterNames());
    grid->addWidget(Label6, 5, 0);
    grid->addWidget(ComboBox4, 5, 1, 1, 2);

    RadioGroup2 = NamedRadioGroup(this, "RadioGroup2", QString(),
                                  {QStringLiteral("1600 x 1200"), QStringLiteral("1024 x 768"),
                                   QStringLiteral("800 x 600"), QStringLiteral("640 x 480"),
                                   QStringLiteral("Doppelte"), QStringLiteral("Hälfte"),
                                   QStringLiteral("Fenstergröße")},
                                  Presets);
    RadioGroup1 = NamedRadioGroup(this, "RadioGroup1", QStringLiteral("Hintergrundfarbe"),
                                  {QStringLiteral("Standard"), QStringLiteral("Weiß"), QStringLiteral("Schwarz")},
                                  Background);
    Button1 = NamedButton(this, "Button1", QStringLiteral("&Ok"));
    Button2 = NamedButton(this, "Button2", QStringLiteral("&Abbrechen"));
    Button3 = NamedButton(this, "Button3", QStringLiteral("&Hilfe"));

    auto* right = new QVBoxLayout;
    right->addWidget(RadioGroup2);
    right->addWidget(RadioGroup1);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(size);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(buttons);

    KitCalcEdit1->OnChange = [this](TObject*) { KitCalcEdit1Change(); };
    KitCalcEdit2->OnChange = [this](TObject*) { KitCalcEdit2Change(); };
    KitCalcEdit3->OnChange = [this](TObject*) { KitCalcEdit3Change(); };
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, [this] { ComboBox3Change(); });
    connect(Presets, &QButtonGroup::idClicked, this, [this](int id) { RadioGroup2Click(id); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { TApplication::HelpContext(helpContext_); });
}

void TNeuGrafik::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TNeuGrafik::FormActivate()
{
    busy_ = true;
    Accepted = false;
    closed_ = false;
    SetFormHelpFile();
    ComboBox1->setCurrentIndex(boundedIndex(Record.widthunit, 3));
    ComboBox2->setCurrentIndex(boundedIndex(Record.heightunit, 3));
    ComboBox3->setCurrentIndex(boundedIndex(Record.resunit, 2));
    setEdit(KitCalcEdit1, Record.width);
    setEdit(KitCalcEdit2, Record.height);
    setEdit(KitCalcEdit3, Record.resolution);
    SetRadioIndex(Background, boundedIndex(Record.background, 3));
    ComboBox4->setCurrentIndex(boundedIndex(Record.filter, 7));
    CheckBox1->setChecked(Record.proportional != 0);
    perCm_ = Record.resolution;
    const bool newImage = Record.mode == 0;
    const bool filter = !newImage && Record.showfilter == 1;
    ComboBox4->setVisible(filter);
    Label6->setVisible(filter);
    RadioGroup1->setVisible(newImage);
    CheckBox1->setVisible(!newImage);
    helpContext_ = newImage ? hcNewImage : (filter ? hcResample : hcResize);
    // Resizing is no new image: the title names the command, as its menu item does.
    if (!newImage)
        setWindowTitle(filter ? LangText(QStringLiteral("Größe ändern (Resample)"), QStringLiteral("Resample"))
                              : LangText(QStringLiteral("Größe ändern (Resize)"), QStringLiteral("Resize")));
    calcpixelsize();
    openWidth_ = pixelWidth_;
    openHeight_ = pixelHeight_;
    showmemsize();
    SetRadioIndex(Presets, -1);
    busy_ = false;
    ComboBox3Change();
    ComboBox1Change();
    ComboBox2Change();
}

void TNeuGrafik::setEdit(TKitCalcEdit* edit, double value)
{
    const bool was = busy_;
    busy_ = true;
    edit->SetValue(value);
    busy_ = was;
}

void TNeuGrafik::calcpixelsize()
{
    pixelWidth_ = LengthToPixels(KitCalcEdit1->Value(), ComboBox1->currentIndex(), perCm_);
    pixelHeight_ = LengthToPixels(KitCalcEdit2->Value(), ComboBox2->currentIndex(), perCm_);
}

void TNeuGrafik::showmemsize()
{
    Label5->setText(MemoryText(pixelWidth_, pixelHeight_));
}

void TNeuGrafik::unitChanged(bool width)
{
    if (busy_)
        return;
    TKitCalcEdit* edit = width ? KitCalcEdit1 : KitCalcEdit2;
    const int unit = (width ? ComboBox1 : ComboBox2)->currentIndex();
    const double pixels = width ? pixelWidth_ : pixelHeight_;
    if (KitCalcEdit3->Value() == 0 && unit != suPixel)
        setEdit(edit, 0);
    else
        setEdit(edit, PixelsToLength(pixels, unit, perCm_));
    lengthChanged(width);
}

void TNeuGrafik::ComboBox1Change() { unitChanged(true); }
void TNeuGrafik::ComboBox2Change() { unitChanged(false); }
void TNeuGrafik::KitCalcEdit1Change() { lengthChanged(true); }
void TNeuGrafik::KitCalcEdit2Change() { lengthChanged(false); }

void TNeuGrafik::lengthChanged(bool width)
{
    if (busy_)
        return;
    if (!presetting_)
        SetRadioIndex(Presets, -1);
    if (width)
        pixelWidth_ = LengthToPixels(KitCalcEdit1->Value(), ComboBox1->currentIndex(), perCm_);
    else
        pixelHeight_ = LengthToPixels(KitCalcEdit2->Value(), ComboBox2->currentIndex(), perCm_);
    showmemsize();
    if (Record.mode != 1 || !CheckBox1->isChecked())
        return;
    // The other side follows the aspect of the image as the dialog opened.
    if (width && openWidth_ != 0) {
        pixelHeight_ = openHeight_ * pixelWidth_ / openWidth_;
        setEdit(KitCalcEdit2, PixelsToLength(pixelHeight_, ComboBox2->currentIndex(), perCm_));
    } else if (!width && openHeight_ != 0) {
        pixelWidth_ = openWidth_ * pixelHeight_ / openHeight_;
        setEdit(KitCalcEdit1, PixelsToLength(pixelWidth_, ComboBox1->currentIndex(), perCm_));
    }
    showmemsize();
}

void TNeuGrafik::KitCalcEdit3Change()
{
    if (busy_)
        return;
    perCm_ = ResolutionPerCm(KitCalcEdit3->Value(), ComboBox3->currentIndex());
    showmemsize();
}

void TNeuGrafik::ComboBox3Change()
{
    if (busy_)
        return;
    setEdit(KitCalcEdit3, ComboBox3->currentIndex() == 1 ? perCm_ * 2.54 : perCm_);
    KitCalcEdit3Change();
}

void TNeuGrafik::RadioGroup2Click(int index)
{
    presetting_ = true;
    ComboBox1->setCurrentIndex(suPixel);
    ComboBox2->setCurrentIndex(suPixel);
    static const int sizes[4][2] = {{1600, 1200}, {1024, 768}, {800, 600}, {640, 480}};
    if (index >= 0 && index < 4) {
        setEdit(KitCalcEdit1, sizes[index][0]);
        setEdit(KitCalcEdit2, sizes[index][1]);
    } else if (index == 4 || index == 5) {
        // In pixels: both units are pixel now, whatever the record's were.
        const double f = index == 4 ? 2.0 : 0.5;
        setEdit(KitCalcEdit1, openWidth_ * f);
        setEdit(KitCalcEdit2, openHeight_ * f);
    }
    showmemsize();
    KitCalcEdit1Change();
    KitCalcEdit2Change();
    presetting_ = false;
}

void TNeuGrafik::Button1Click()
{
    PixelWidth = Round(pixelWidth_);
    PixelHeight = Round(pixelHeight_);
    BackgroundIndex = std::max(0, RadioIndex(Background));
    FilterIndex = std::max(0, ComboBox4->currentIndex());
    if (PixelWidth <= 0 || PixelHeight <= 0) {
        LangMessageDlg(QStringLiteral("Falsche Eingabe für Grafikgröße"), mtWarning, mbOK,
                       QStringLiteral("Wrong Input for Image size"));
        return;
    }
    Accepted = true;
    done(mrOk);
}

void TNeuGrafik::Button2Click()
{
    Accepted = false;
    done(mrCancel);
}

void TNeuGrafik::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TNeuGrafik::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    Record.width = KitCalcEdit1->Value();
    Record.height = KitCalcEdit2->Value();
    Record.widthunit = ComboBox1->currentIndex();
    Record.heightunit = ComboBox2->currentIndex();
    Record.background = std::max(0, RadioIndex(Background));
    Record.resunit = ComboBox3->currentIndex();
    Record.filter = std::max(0, ComboBox4->currentIndex());
    Record.proportional = CheckBox1->isChecked() ? 1 : 0;
    Record.resolution = perCm_;
}
