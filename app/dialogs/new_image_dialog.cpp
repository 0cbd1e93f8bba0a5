// The new-image dialog: size in pixel, cm or inch, resolution and memory needed.
#include "app/dialogs/new_image_dialog.h"
#include "app/commands/command_record.h"
#include "app/text/help_contexts.h"

#include "app/forms/form_parts.h"
#include "app/dialogs/size_units.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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

}  // namespace

TNeuGrafik::TNeuGrafik(QWidget* parent) : QDialog(parent)
{
    setObjectName(QLatin1String(ObjectName::NewImageDialog::Form));
    setWindowTitle(QStringLiteral("Neue Grafik"));
    Record = tneudialog::Defaults();

    auto* size = new QGroupBox(QStringLiteral("Größe"), this);
    size->setObjectName(QLatin1String(ObjectName::NewImageDialog::GroupBox1));
    auto* grid = new QGridLayout(size);
    auto edit = [&](const char* name) {
        auto* e = new TKitCalcEdit(size);
        e->setObjectName(QString::fromLatin1(name));
        e->SetDecimalPlaces(4);
        return e;
    };
    widthEdit = edit(ObjectName::NewImageDialog::KitCalcEdit1);
    heightEdit = edit(ObjectName::NewImageDialog::KitCalcEdit2);
    resolutionEdit = edit(ObjectName::NewImageDialog::KitCalcEdit3);
    widthUnitCombo = NamedCombo(size, ObjectName::NewImageDialog::ComboBox1, kUnits);
    heightUnitCombo = NamedCombo(size, ObjectName::NewImageDialog::ComboBox2, kUnits);
    resolutionUnitCombo = NamedCombo(size, ObjectName::NewImageDialog::ComboBox3,
                                     {QStringLiteral("pixel / cm"), QStringLiteral("pixel / inch  (dpi)")});
    grid->addWidget(NamedLabel(size, ObjectName::NewImageDialog::Label1, QStringLiteral("Breite")), 0, 0);
    grid->addWidget(widthEdit, 0, 1);
    grid->addWidget(widthUnitCombo, 0, 2);
    grid->addWidget(NamedLabel(size, ObjectName::NewImageDialog::Label2, QStringLiteral("Höhe")), 1, 0);
    grid->addWidget(heightEdit, 1, 1);
    grid->addWidget(heightUnitCombo, 1, 2);
    grid->addWidget(NamedLabel(size, ObjectName::NewImageDialog::Label3, QStringLiteral("Auflösung")), 2, 0);
    grid->addWidget(resolutionEdit, 2, 1);
    grid->addWidget(resolutionUnitCombo, 2, 2);
    grid->addWidget(NamedLabel(size, ObjectName::NewImageDialog::Label4,
                               QStringLiteral("Erforderlicher Hauptspeicher:")),
                    3, 0, 1, 2);
    memoryLabel = NamedLabel(size, ObjectName::NewImageDialog::Label5, QString());
    grid->addWidget(memoryLabel, 3, 2);
    proportionalCheck = NamedCheckBox(size, ObjectName::NewImageDialog::CheckBox1, QStringLiteral("Proportional"));
    grid->addWidget(proportionalCheck, 4, 0, 1, 2);
    filterLabel = NamedLabel(size, ObjectName::NewImageDialog::Label6, QStringLiteral("Filter"));
    filterCombo = NamedCombo(size, ObjectName::NewImageDialog::ComboBox4, FilterNames());
    grid->addWidget(filterLabel, 5, 0);
    grid->addWidget(filterCombo, 5, 1, 1, 2);

    presetGroup = NamedRadioGroup(this, ObjectName::NewImageDialog::RadioGroup2, QString(),
                                  {QStringLiteral("1600 x 1200"), QStringLiteral("1024 x 768"),
                                   QStringLiteral("800 x 600"), QStringLiteral("640 x 480"), QStringLiteral("Doppelte"),
                                   QStringLiteral("Hälfte"), QStringLiteral("Fenstergröße")},
                                  Presets);
    backgroundGroup = NamedRadioGroup(this, ObjectName::NewImageDialog::RadioGroup1, QStringLiteral("Hintergrundfarbe"),
                                      {QStringLiteral("Standard"), QStringLiteral("Weiß"), QStringLiteral("Schwarz")},
                                      Background);
    okButton = NamedButton(this, ObjectName::NewImageDialog::Button1, QStringLiteral("&Ok"));
    cancelButton = NamedButton(this, ObjectName::NewImageDialog::Button2, QStringLiteral("&Abbrechen"));
    helpButton = NamedButton(this, ObjectName::NewImageDialog::Button3, QStringLiteral("&Hilfe"));

    auto* right = new QVBoxLayout;
    right->addWidget(presetGroup);
    right->addWidget(backgroundGroup);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(size);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(buttons);

    widthEdit->OnChange = [this](TObject*) { widthEdited(); };
    heightEdit->OnChange = [this](TObject*) { heightEdited(); };
    resolutionEdit->OnChange = [this](TObject*) { resolutionEdited(); };
    connect(widthUnitCombo, &QComboBox::currentIndexChanged, this, [this] { widthUnitChanged(); });
    connect(heightUnitCombo, &QComboBox::currentIndexChanged, this, [this] { heightUnitChanged(); });
    connect(resolutionUnitCombo, &QComboBox::currentIndexChanged, this, [this] { resolutionUnitChanged(); });
    connect(Presets, &QButtonGroup::idClicked, this, [this](int id) { presetClicked(id); });
    connect(okButton, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancelClicked(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { TApplication::HelpContext(helpContext_); });
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
    widthUnitCombo->setCurrentIndex(boundedIndex(Record.widthunit, 3));
    heightUnitCombo->setCurrentIndex(boundedIndex(Record.heightunit, 3));
    resolutionUnitCombo->setCurrentIndex(boundedIndex(Record.resunit, 2));
    setEdit(widthEdit, Record.width);
    setEdit(heightEdit, Record.height);
    setEdit(resolutionEdit, Record.resolution);
    SetRadioIndex(Background, boundedIndex(Record.background, 3));
    filterCombo->setCurrentIndex(boundedIndex(Record.filter, 7));
    proportionalCheck->setChecked(Record.proportional != 0);
    perCm_ = Record.resolution;
    const bool newImage = Record.mode == 0;
    const bool filter = !newImage && Record.showfilter == 1;
    filterCombo->setVisible(filter);
    filterLabel->setVisible(filter);
    backgroundGroup->setVisible(newImage);
    proportionalCheck->setVisible(!newImage);
    helpContext_ = newImage ? hcNewImage : (filter ? hcResample : hcResize);
    // Resizing is no new image: the title names the command, as its menu item does.
    if (!newImage)
        setWindowTitle(filter ? LangText(QStringLiteral("Größe ändern (Resample)"), QStringLiteral("Resample"))
                              : LangText(QStringLiteral("Größe ändern (Resize)"), QStringLiteral("Resize")));
    calculatePixelSize();
    openWidth_ = pixelWidth_;
    openHeight_ = pixelHeight_;
    showMemorySize();
    SetRadioIndex(Presets, -1);
    busy_ = false;
    resolutionUnitChanged();
    widthUnitChanged();
    heightUnitChanged();
}

void TNeuGrafik::setEdit(TKitCalcEdit* edit, double value)
{
    const bool was = busy_;
    busy_ = true;
    edit->SetValue(value);
    busy_ = was;
}

void TNeuGrafik::calculatePixelSize()
{
    pixelWidth_ = LengthToPixels(widthEdit->Value(), widthUnitCombo->currentIndex(), perCm_);
    pixelHeight_ = LengthToPixels(heightEdit->Value(), heightUnitCombo->currentIndex(), perCm_);
}

void TNeuGrafik::showMemorySize() { memoryLabel->setText(MemoryText(pixelWidth_, pixelHeight_)); }

void TNeuGrafik::unitChanged(bool width)
{
    if (busy_)
        return;
    TKitCalcEdit* edit = width ? widthEdit : heightEdit;
    const int unit = (width ? widthUnitCombo : heightUnitCombo)->currentIndex();
    const double pixels = width ? pixelWidth_ : pixelHeight_;
    if (resolutionEdit->Value() == 0 && unit != suPixel)
        setEdit(edit, 0);
    else
        setEdit(edit, PixelsToLength(pixels, unit, perCm_));
    lengthChanged(width);
}

void TNeuGrafik::widthUnitChanged() { unitChanged(true); }
void TNeuGrafik::heightUnitChanged() { unitChanged(false); }
void TNeuGrafik::widthEdited() { lengthChanged(true); }
void TNeuGrafik::heightEdited() { lengthChanged(false); }

void TNeuGrafik::lengthChanged(bool width)
{
    if (busy_)
        return;
    if (!presetting_)
        SetRadioIndex(Presets, -1);
    if (width)
        pixelWidth_ = LengthToPixels(widthEdit->Value(), widthUnitCombo->currentIndex(), perCm_);
    else
        pixelHeight_ = LengthToPixels(heightEdit->Value(), heightUnitCombo->currentIndex(), perCm_);
    showMemorySize();
    if (Record.mode != 1 || !proportionalCheck->isChecked())
        return;
    // The other side follows the aspect of the image as the dialog opened.
    if (width && openWidth_ != 0) {
        pixelHeight_ = openHeight_ * pixelWidth_ / openWidth_;
        setEdit(heightEdit, PixelsToLength(pixelHeight_, heightUnitCombo->currentIndex(), perCm_));
    } else if (!width && openHeight_ != 0) {
        pixelWidth_ = openWidth_ * pixelHeight_ / openHeight_;
        setEdit(widthEdit, PixelsToLength(pixelWidth_, widthUnitCombo->currentIndex(), perCm_));
    }
    showMemorySize();
}

void TNeuGrafik::resolutionEdited()
{
    if (busy_)
        return;
    perCm_ = ResolutionPerCm(resolutionEdit->Value(), resolutionUnitCombo->currentIndex());
    showMemorySize();
}

void TNeuGrafik::resolutionUnitChanged()
{
    if (busy_)
        return;
    setEdit(resolutionEdit, resolutionUnitCombo->currentIndex() == 1 ? perCm_ * 2.54 : perCm_);
    resolutionEdited();
}

void TNeuGrafik::presetClicked(int index)
{
    presetting_ = true;
    widthUnitCombo->setCurrentIndex(suPixel);
    heightUnitCombo->setCurrentIndex(suPixel);
    static const int sizes[4][2] = {{1600, 1200}, {1024, 768}, {800, 600}, {640, 480}};
    if (index >= 0 && index < 4) {
        setEdit(widthEdit, sizes[index][0]);
        setEdit(heightEdit, sizes[index][1]);
    } else if (index == 4 || index == 5) {
        // In pixels: both units are pixel now, whatever the record's were.
        const double f = index == 4 ? 2.0 : 0.5;
        setEdit(widthEdit, openWidth_ * f);
        setEdit(heightEdit, openHeight_ * f);
    }
    showMemorySize();
    widthEdited();
    heightEdited();
    presetting_ = false;
}

void TNeuGrafik::okClicked()
{
    PixelWidth = Round(pixelWidth_);
    PixelHeight = Round(pixelHeight_);
    BackgroundIndex = std::max(0, RadioIndex(Background));
    FilterIndex = std::max(0, filterCombo->currentIndex());
    if (PixelWidth <= 0 || PixelHeight <= 0) {
        LangMessageDlg(QStringLiteral("Falsche Eingabe für Grafikgröße"), mtWarning, mbOK,
                       QStringLiteral("Wrong Input for Image size"));
        return;
    }
    // What the image commands refuse is refused here, while the size can still be
    // changed (the rounded sides saturate, so a huge entry cannot wrap into range).
    if (!ImageSizeFits(Round64(pixelWidth_), Round64(pixelHeight_))) {
        const QString size =
            QString::number(Round64(pixelWidth_)) + QStringLiteral(" x ") + QString::number(Round64(pixelHeight_));
        const QString side = QString::number(kMaxImageSide), area = QString::number(kMaxImagePixels);
        LangMessageDlg(QStringLiteral("Die Grafikgröße %1 ist zu groß: jede Seite darf höchstens %2 Pixel lang sein "
                                      "und die Grafik höchstens %3 Pixel haben.")
                           .arg(size, side, area),
                       mtWarning, mbOK,
                       QStringLiteral("The image size %1 is too large: each side may be at most %2 pixels and the "
                                      "image at most %3 pixels.")
                           .arg(size, side, area));
        return;
    }
    Accepted = true;
    done(mrOk);
}

void TNeuGrafik::cancelClicked()
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
    Record.width = widthEdit->Value();
    Record.height = heightEdit->Value();
    Record.widthunit = widthUnitCombo->currentIndex();
    Record.heightunit = heightUnitCombo->currentIndex();
    Record.background = std::max(0, RadioIndex(Background));
    Record.resunit = resolutionUnitCombo->currentIndex();
    Record.filter = std::max(0, filterCombo->currentIndex());
    Record.proportional = proportionalCheck->isChecked() ? 1 : 0;
    Record.resolution = perCm_;
}
