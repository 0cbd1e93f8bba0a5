// The print dialog: controls, opening, the value handlers and OK.
#include "app/print/print_dialog.h"

#include "app/services/catalog_view.h"
#include "app/image_window/image_window.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/print/print_job.h"
#include "app/print/print_layout.h"
#include "app/print/print_units.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "controls/edits/num_edit.h"
#include "controls/edits/spin_edit.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/rounding.h"
#include "platform/print/printer.h"
#include "platform/ui/application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// Which working value an edit and its unit box hold.
enum : int { vLeft = 0, vTop = 1, vWidth = 2, vHeight = 3 };

struct BusyScope {
    bool& flag;
    bool old;
    explicit BusyScope(bool& f) : flag(f), old(f) { flag = true; }
    ~BusyScope() { flag = old; }
};

QComboBox* unitCombo(QWidget* parent, const char* name, bool resolution = false)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    if (resolution)
        c->addItems({QStringLiteral("pixel pro cm"), QStringLiteral("pixel pro inch (dpi)")});
    else
        c->addItems({QStringLiteral("pixel"), QStringLiteral("cm"), QStringLiteral("inch")});
    return c;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

}  // namespace

Tprintform::Tprintform(TMainWindowServices& mainWindow, QWidget* parent) : QDialog(parent), main_(mainWindow)
{
    setObjectName(QLatin1String(ObjectName::PrintDialog::Form));
    setWindowTitle(QStringLiteral("Drucken"));
    QWidget* active = main_.ActiveMDIChild();
    catalog_ = CatalogViewOf(active);
    if (auto* image = qobject_cast<Tchild*>(active))
        source_ = image->imageKit->Bitmap();
    if (active)
        caption_ = active->windowTitle();
    build();
}

Tprintform::~Tprintform() = default;

void Tprintform::build()
{
    resize(622, 392);
    auto* outer = new QHBoxLayout(this);
    auto* leftCol = new QVBoxLayout;
    previewGroup = new QGroupBox(QStringLiteral("Vorschau"), this);
    previewGroup->setObjectName(QLatin1String(ObjectName::PrintDialog::GroupBox2));
    previewGroup->setFixedSize(260, 300);
    imageKit = new TImageKit(previewGroup);
    imageKit->setObjectName(QLatin1String(ObjectName::PrintDialog::ImageKit1));
    imageKit->SetScrollBars(ssNone);
    imageKit->SetBackground(clWhite);
    imageKit->move(15, 20);
    leftCol->addWidget(previewGroup);
    auto* previewRow = new QHBoxLayout;
    previewLockButton = new QToolButton(this);
    previewLockButton->setObjectName(QLatin1String(ObjectName::PrintDialog::SpeedButton1));
    previewLockButton->setCheckable(true);
    previewLockButton->setText(QStringLiteral("A"));
    previewLockButton->setToolTip(QStringLiteral("Vorschau fixieren"));
    previewButton = new QPushButton(QStringLiteral("&Vorschau"), this);
    previewButton->setObjectName(QLatin1String(ObjectName::PrintDialog::Button4));
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QLatin1String(ObjectName::PrintDialog::ProgressBar1));
    progressBar->setRange(0, 100);
    progressBar->setTextVisible(false);
    previewRow->addWidget(previewLockButton);
    previewRow->addWidget(previewButton);
    previewRow->addWidget(progressBar, 1);
    leftCol->addLayout(previewRow);
    outer->addLayout(leftCol);

    auto* rightCol = new QVBoxLayout;
    modeGroup = new QGroupBox(QStringLiteral("Modus"), this);
    modeGroup->setObjectName(QLatin1String(ObjectName::PrintDialog::RadioGroup1));
    auto* modes = new QHBoxLayout(modeGroup);
    const char* modeNames[] = {"Clipping", "Kacheln", "Poster"};
    for (int i = 0; i < 3; ++i) {
        ModeButtons[size_t(i)] = new QRadioButton(QString::fromLatin1(modeNames[i]), modeGroup);
        modes->addWidget(ModeButtons[size_t(i)]);
        connect(ModeButtons[size_t(i)], &QRadioButton::toggled, this, [this](bool on) {
            if (on && !busy_)
                TApplication::Guard([this] { updatePreview(); });
        });
    }
    rightCol->addWidget(modeGroup);
    pages = new QTabWidget(this);
    pages->setObjectName(QLatin1String(ObjectName::PrintDialog::PageControl1));
    pages->addTab(buildImagePage(), QStringLiteral("Grafik"));
    pages->addTab(buildPrinterPage(), QStringLiteral("Drucker Optionen"));
    pages->addTab(buildOptionsPage(), QStringLiteral("Weiter Optionen"));
    rightCol->addWidget(pages, 1);
    auto* buttons = new QHBoxLayout;
    printButton = new QPushButton(QStringLiteral("&Drucken"), this);
    printButton->setObjectName(QLatin1String(ObjectName::PrintDialog::Button2));
    printButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("&Abbrechen"), this);
    cancelButton->setObjectName(QLatin1String(ObjectName::PrintDialog::Button3));
    helpButton = new QPushButton(QStringLiteral("&Hilfe"), this);
    helpButton->setObjectName(QLatin1String(ObjectName::PrintDialog::Button5));
    buttons->addStretch(1);
    buttons->addWidget(printButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    rightCol->addLayout(buttons);
    outer->addLayout(rightCol, 1);

    auto guard = [](std::function<void()> fn) { return [fn = std::move(fn)] { TApplication::Guard(fn); }; };
    connect(printButton, &QPushButton::clicked, this, guard([this] {
                if (printClicked())
                    done(mrOk);
            }));
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(helpButton, &QPushButton::clicked, this, [] { TApplication::HelpContext(418); });
    connect(previewButton, &QPushButton::clicked, this, guard([this] { updatePreview(true); }));
    connect(previewLockButton, &QToolButton::toggled, this, guard([this] { updatePreview(); }));
}

QWidget* Tprintform::buildImagePage()
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(ObjectName::PrintDialog::TabSheet1));
    auto* grid = new QGridLayout(page);
    const char* labels[] = {ObjectName::PrintDialog::Label10, ObjectName::PrintDialog::Label11,
                            ObjectName::PrintDialog::Label12, ObjectName::PrintDialog::Label13};
    const char* texts[] = {"Abstand von links", "Abstand von oben", "Breite", "Höhe"};
    const char* edits[] = {ObjectName::PrintDialog::KitCalcEdit1, ObjectName::PrintDialog::KitCalcEdit2,
                           ObjectName::PrintDialog::KitCalcEdit3, ObjectName::PrintDialog::KitCalcEdit4};
    const char* units[] = {ObjectName::PrintDialog::ComboBox4, ObjectName::PrintDialog::ComboBox5,
                           ObjectName::PrintDialog::ComboBox6, ObjectName::PrintDialog::ComboBox7};
    TKitCalcEdit** editFields[] = {&leftEdit, &topEdit, &widthEdit, &heightEdit};
    QComboBox** unitFields[] = {&leftUnitCombo, &topUnitCombo, &widthUnitCombo, &heightUnitCombo};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(label(page, labels[i], QString::fromUtf8(texts[i])), i, 0);
        auto* e = new TKitCalcEdit(page);
        e->setObjectName(QLatin1String(edits[i]));
        e->SetDecimalPlaces(2);
        *editFields[i] = e;
        grid->addWidget(e, i, 1);
        QComboBox* u = unitCombo(page, units[i]);
        *unitFields[i] = u;
        grid->addWidget(u, i, 2);
        e->OnChange = [this, i](TObject*) {
            TApplication::Guard([this, i] {
                if (i == vLeft || i == vTop)
                    leftTopChanged(i == vTop);
                else
                    sizeChanged(i == vHeight);
            });
        };
        connect(u, &QComboBox::currentIndexChanged, this,
                [this, i] { TApplication::Guard([this, i] { unitChanged(i); }); });
    }
    proportionalCheck = new QCheckBox(QStringLiteral("Proportional"), page);
    proportionalCheck->setObjectName(QLatin1String(ObjectName::PrintDialog::CheckBox2));
    proportionalCheck->setChecked(true);
    grid->addWidget(proportionalCheck, 4, 0, 1, 3);
    const char* captions[] = {"",
                              "Horizontal zentrieren",
                              "Vertikal zentrieren",
                              "Auf Seite einpassen",
                              "Auf Originalgröße setzen",
                              "nach oben",
                              "nach links",
                              "nach rechts",
                              "nach unten",
                              "Doppelte",
                              "Hälfte"};
    // Each button acts when clicked and stays the only one on; none need be on.
    const int order[] = {5, 6, 7, 8, 1, 2, 3, 4, 9, 10};
    int n = 0;
    for (int b : order) {
        auto* r = new QRadioButton(QString::fromUtf8(captions[b]), page);
        r->setObjectName(QStringLiteral("RadioButton%1").arg(b));
        r->setAutoExclusive(false);
        RadioButton[size_t(b)] = r;
        grid->addWidget(r, 5 + n / 2, n % 2 == 0 ? 0 : 1, 1, n % 2 == 0 ? 1 : 2);
        ++n;
        connect(r, &QRadioButton::clicked, this,
                [this, b] { TApplication::Guard([this, b] { placementClicked(b); }); });
    }
    grid->setRowStretch(11, 1);
    return page;
}

QWidget* Tprintform::buildPrinterPage()
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(ObjectName::PrintDialog::TabSheet2));
    auto* grid = new QGridLayout(page);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label3, QStringLiteral("Drucker:")), 0, 0);
    printerLabel = label(page, ObjectName::PrintDialog::Label4, QString(), true);
    grid->addWidget(printerLabel, 0, 1, 1, 2);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label9, QStringLiteral("Auflösung:"), true), 1, 0);
    resolutionLabel = label(page, ObjectName::PrintDialog::Label8, QString());
    grid->addWidget(resolutionLabel, 1, 1);
    resolutionUnitCombo = unitCombo(page, ObjectName::PrintDialog::ComboBox1, true);
    grid->addWidget(resolutionUnitCombo, 1, 2);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label7, QStringLiteral("Druckbarer Bereich:"), true), 2, 0, 1,
                    3);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label5, QStringLiteral("Breite")), 3, 0);
    printableWidthLabel = label(page, ObjectName::PrintDialog::Label6, QString());
    grid->addWidget(printableWidthLabel, 3, 1);
    printableWidthUnitCombo = unitCombo(page, ObjectName::PrintDialog::ComboBox2);
    grid->addWidget(printableWidthUnitCombo, 3, 2);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label1, QStringLiteral("Höhe")), 4, 0);
    printableHeightLabel = label(page, ObjectName::PrintDialog::Label2, QString());
    grid->addWidget(printableHeightLabel, 4, 1);
    printableHeightUnitCombo = unitCombo(page, ObjectName::PrintDialog::ComboBox3);
    grid->addWidget(printableHeightUnitCombo, 4, 2);
    printerSetupButton = new QPushButton(QStringLiteral("Druck-&Einstellungen"), page);
    printerSetupButton->setObjectName(QLatin1String(ObjectName::PrintDialog::Button1));
    grid->addWidget(printerSetupButton, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    for (QComboBox* c : {resolutionUnitCombo, printableWidthUnitCombo, printableHeightUnitCombo})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!busy_)
                TApplication::Guard([this] { updatePrintOptions(); });
        });
    connect(printerSetupButton, &QPushButton::clicked, this, [this] {
        TApplication::Guard([this] {
            Printer().Setup(this);
            updatePrintOptions();
            updatePaperSize();
            updatePreview();
            clearPlacementButtons();
        });
    });
    return page;
}

QWidget* Tprintform::buildOptionsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(ObjectName::PrintDialog::TabSheet3));
    auto* grid = new QGridLayout(page);
    auto spin = [page](const char* name, int min, int max) {
        auto* s = new TKitSpinEdit(page);
        s->setObjectName(QLatin1String(name));
        s->SetMinValue(min);
        s->SetMaxValue(max);
        return s;
    };
    grid->addWidget(label(page, ObjectName::PrintDialog::Label15, QStringLiteral("Spalten")), 0, 0);
    columnsEdit = spin(ObjectName::PrintDialog::SpinEdit1, 1, 1000);
    grid->addWidget(columnsEdit, 0, 1);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label16, QStringLiteral("Zeilen")), 1, 0);
    rowsEdit = spin(ObjectName::PrintDialog::SpinEdit2, 1, 1000);
    grid->addWidget(rowsEdit, 1, 1);
    pagesLabel = label(page, ObjectName::PrintDialog::Label17, QString());
    grid->addWidget(pagesLabel, 0, 2, 2, 1);
    cutMarksCheck = new QCheckBox(QStringLiteral("Schneidelinien"), page);
    singlePrintCheck = new QCheckBox(QStringLiteral("Einzeldruck"), page);
    printNameCheck = new QCheckBox(QStringLiteral("Dateinamen drucken"), page);
    printPathCheck = new QCheckBox(QStringLiteral("Dateinamen mit Pfad drucken"), page);
    printDateCheck = new QCheckBox(QStringLiteral("Dateidatum drucken"), page);
    printSizeCheck = new QCheckBox(QStringLiteral("Dateigröße drucken"), page);
    const std::pair<QCheckBox*, const char*> boxes[] = {{cutMarksCheck, ObjectName::PrintDialog::CheckBox1},
                                                        {singlePrintCheck, ObjectName::PrintDialog::CheckBox3},
                                                        {printNameCheck, ObjectName::PrintDialog::CheckBox4},
                                                        {printPathCheck, ObjectName::PrintDialog::CheckBox7},
                                                        {printDateCheck, ObjectName::PrintDialog::CheckBox6},
                                                        {printSizeCheck, ObjectName::PrintDialog::CheckBox5}};
    int row = 2;
    for (const auto& [box, name] : boxes) {
        box->setObjectName(QLatin1String(name));
        grid->addWidget(box, row++, 0, 1, 3);
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!busy_)
                TApplication::Guard([this] { updatePreview(); });
        });
    }
    grid->addWidget(label(page, ObjectName::PrintDialog::Label18, QStringLiteral("Anzahl der Drucke")), row, 0);
    copiesEdit = spin(ObjectName::PrintDialog::SpinEdit3, 1, 999);
    copiesEdit->SetValue(1);
    grid->addWidget(copiesEdit, row++, 1);
    grid->addWidget(label(page, ObjectName::PrintDialog::Label14, QStringLiteral("Schriftgröße")), row, 0);
    fontSizeEdit = spin(ObjectName::PrintDialog::SpinEdit4, 1, 200);
    grid->addWidget(fontSizeEdit, row++, 1);
    grid->setRowStretch(row, 1);
    columnsEdit->OnChange = [this](TObject*) { TApplication::Guard([this] { columnsRowsChanged(false); }); };
    rowsEdit->OnChange = [this](TObject*) { TApplication::Guard([this] { columnsRowsChanged(true); }); };
    fontSizeEdit->OnChange = [this](TObject*) {
        if (!busy_)
            TApplication::Guard([this] { updatePreview(); });
    };
    return page;
}

void Tprintform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_)
        TApplication::Guard([this] { FormActivate(); });
}

int Tprintform::PageWidth() const { return Printer().PageWidth(); }
int Tprintform::PageHeight() const { return Printer().PageHeight(); }

int Tprintform::mode() const
{
    for (int i = 0; i < 3; ++i)
        if (ModeButtons[size_t(i)]->isChecked())
            return i;
    return pmClipping;
}

TKitCalcEdit* Tprintform::valueEdit(int which) const
{
    TKitCalcEdit* const e[] = {leftEdit, topEdit, widthEdit, heightEdit};
    return e[which];
}

QComboBox* Tprintform::unitBox(int which) const
{
    QComboBox* const u[] = {leftUnitCombo, topUnitCombo, widthUnitCombo, heightUnitCombo};
    return u[which];
}

double& Tprintform::value(int which)
{
    double* const v[] = {&left, &top, &width, &height};
    return *v[which];
}

double Tprintform::calcpixel(int unit, double value, bool vertical) const
{
    TPrinter& p = Printer();
    return ::calcpixel(unit, value, vertical ? p.YResolution() : p.XResolution());
}

double Tprintform::showin(int unit, double pixels, bool vertical) const
{
    TPrinter& p = Printer();
    return ::showin(unit, pixels, vertical ? p.YResolution() : p.XResolution());
}

void Tprintform::display(int which)
{
    BusyScope busy(busy_);
    const bool vertical = which == vTop || which == vHeight;
    valueEdit(which)->SetValue(showin(unitBox(which)->currentIndex(), value(which), vertical));
}

void Tprintform::FormActivate()
{
    activated_ = true;
    busy_ = true;
    pagesAcross = pagesDown = 1;
    if (catalog_) {
        printdialog.width = printdialog.height = 100;
    } else if (source_) {
        printdialog.width = source_->Width();
        printdialog.height = source_->Height();
    }
    for (QComboBox* c : {resolutionUnitCombo, printableWidthUnitCombo, printableHeightUnitCombo, leftUnitCombo,
                         topUnitCombo, widthUnitCombo, heightUnitCombo})
        c->setCurrentIndex(0);
    singlePrintCheck->setChecked(printdialog.jobperpage != 0);
    const int m = printdialog.mode >= 0 && printdialog.mode <= 2 ? printdialog.mode : 0;
    storedMode_ = m;
    ModeButtons[size_t(m)]->setChecked(true);
    left = printdialog.left;
    top = printdialog.top;
    printNameCheck->setChecked(printdialog.infoflags & 1);
    printPathCheck->setChecked(printdialog.infoflags & 2);
    printDateCheck->setChecked(printdialog.infoflags & 4);
    printSizeCheck->setChecked(printdialog.infoflags & 8);
    fontSizeEdit->SetValue(printdialog.fontsize);
    proportionalCheck->setChecked(printdialog.proportional != 0);
    previewLockButton->setChecked(printdialog.autopreview != 0);
    cutMarksCheck->setChecked(printdialog.cutlines != 0);
    width = printdialog.width;
    height = printdialog.height;
    for (int i = 0; i < 4; ++i)
        display(i);
    modeGroup->setEnabled(!catalog_);
    if (catalog_)
        ModeButtons[pmTiles]->setChecked(true);
    updatePrintOptions();
    updatePaperSize();
    updatePreview();
    busy_ = false;
    // The stored units last, each shown at once.
    const int unitsOf[] = {printdialog.leftunit, printdialog.topunit, printdialog.widthunit, printdialog.heightunit};
    for (int i = 0; i < 4; ++i) {
        const int u = unitsOf[i] >= 0 && unitsOf[i] <= 2 ? unitsOf[i] : 0;
        unitBox(i)->setCurrentIndex(u);  // runs unitChanged
    }
    busy_ = true;
    resolutionUnitCombo->setCurrentIndex(printdialog.resunit == 0 ? 0 : 1);
    printableWidthUnitCombo->setCurrentIndex(std::clamp(printdialog.pagewidthunit, 0, 2));
    printableHeightUnitCombo->setCurrentIndex(std::clamp(printdialog.pageheightunit, 0, 2));
    busy_ = false;
    updatePrintOptions();
}

void Tprintform::unitChanged(int which)
{
    // The value itself stays: reading back the rounded display would drift.
    display(which);
}

void Tprintform::leftTopChanged(bool vertical)
{
    if (busy_)
        return;
    const int which = vertical ? vTop : vLeft;
    value(which) = calcpixel(unitBox(which)->currentIndex(), valueEdit(which)->Value(), vertical);
    clearPlacementButtons();
    updatePreview();
}

void Tprintform::sizeChanged(bool vertical)
{
    if (busy_)
        return;
    const int which = vertical ? vHeight : vWidth;
    const double typed = valueEdit(which)->Value();
    // Only a real size: 0 or less would leave a print that cannot be laid out.
    if (!(typed > 0))
        return;
    const double v = calcpixel(unitBox(which)->currentIndex(), typed, vertical);
    if (!(v > 0))
        return;
    value(which) = v;
    if (proportionalCheck->isChecked() && SourceWidth() > 0 && SourceHeight() > 0) {
        if (vertical) {
            width = SourceWidth() * height / SourceHeight();
            display(vWidth);
        } else {
            height = SourceHeight() * width / SourceWidth();
            display(vHeight);
        }
    }
    clearPlacementButtons();
    updatePreview();
}

void Tprintform::placementClicked(int b)
{
    // Only the clicked one stays on.
    for (size_t i = 1; i < RadioButton.size(); ++i)
        if (int(i) != b && RadioButton[i])
            RadioButton[i]->setChecked(false);
    RadioButton[size_t(b)]->setChecked(true);
    const double spanX = double(PageWidth()) * pagesAcross;
    const double spanY = double(PageHeight()) * pagesDown;
    switch (b) {
    case 1: left = (spanX - width) / 2; break;
    case 2: top = (spanY - height) / 2; break;
    case 3:
        left = top = 0;
        if (SourceWidth() > 0 && SourceHeight() > 0) {
            if (spanY * SourceWidth() > spanX * SourceHeight()) {
                width = spanX;
                height = SourceHeight() * width / SourceWidth();
            } else {
                height = spanY;
                width = SourceWidth() * height / SourceHeight();
            }
        }
        break;
    case 4:
        width = SourceWidth();
        height = SourceHeight();
        break;
    case 5: top = 0; break;
    case 6: left = 0; break;
    case 7: left = spanX - width; break;
    case 8: top = spanY - height; break;
    case 9:
    case 10:
        if (b == 9) {
            width *= 2;
            height *= 2;
        } else {
            width /= 2;
            height /= 2;
        }
        RadioButton[size_t(b)]->setChecked(false);
        break;
    default: return;
    }
    for (int i = 0; i < 4; ++i)
        display(i);
    updatePreview();
}

void Tprintform::columnsRowsChanged(bool rows)
{
    if (busy_)
        return;
    TKitSpinEdit* edit = rows ? rowsEdit : columnsEdit;
    bool ok = false;
    const int n = edit->text().trimmed().toInt(&ok);
    if (!ok || n <= 0)
        return;
    const double oldW = width, oldH = height;
    if (!rows) {
        if (n * left > PageWidth()) {
            updatePreview();
            return;
        }
        // A grid that leaves no room keeps the size it had.
        const double w = double(PageWidth()) / n - (left + 2);
        if (w > 0 && oldW > 0) {
            width = w;
            height = w * oldH / oldW;
        }
    } else {
        if ((top + 1) * n > PageHeight()) {
            updatePreview();
            return;
        }
        const double h = double(PageHeight()) / n - (top + 2);
        if (h > 0 && oldH > 0) {
            height = h;
            width = h * oldW / oldH;
        }
    }
    display(vWidth);
    display(vHeight);
    updatePreview();
}

uint8_t Tprintform::infoFlags() const
{
    return uint8_t((printNameCheck->isChecked() ? 1 : 0) + (printPathCheck->isChecked() ? 2 : 0) +
                   (printDateCheck->isChecked() ? 4 : 0) + (printSizeCheck->isChecked() ? 8 : 0));
}

void Tprintform::clearPlacementButtons()
{
    for (int b : {1, 2, 3, 4})
        RadioButton[size_t(b)]->setChecked(false);
}

void Tprintform::updatePrintOptions()
{
    TPrinter& p = Printer();
    const double rx = p.XResolution(), ry = p.YResolution();
    printerLabel->setText(p.PrinterName());
    resolutionLabel->setText(QString::number(resolutionUnitCombo->currentIndex() == 1 ? Round(rx) : Round(rx / 2.54)));
    auto area = [](int unit, double pixels, double res) {
        double v = pixels;
        if (unit == puCm)
            v = res > 0 ? pixels * 2.54 / res : 0;
        else if (unit == puInch)
            v = res > 0 ? pixels / res : 0;
        return QString::number(v, 'f', 2);
    };
    printableWidthLabel->setText(area(printableWidthUnitCombo->currentIndex(), p.PageWidth(), rx));
    printableHeightLabel->setText(area(printableHeightUnitCombo->currentIndex(), p.PageHeight(), ry));
}

bool Tprintform::printClicked()
{
    printdialog.width = width;
    printdialog.height = height;
    printdialog.resunit = resolutionUnitCombo->currentIndex();
    printdialog.pagewidthunit = printableWidthUnitCombo->currentIndex();
    printdialog.pageheightunit = printableHeightUnitCombo->currentIndex();
    printdialog.leftunit = leftUnitCombo->currentIndex();
    printdialog.topunit = topUnitCombo->currentIndex();
    printdialog.widthunit = widthUnitCombo->currentIndex();
    printdialog.heightunit = heightUnitCombo->currentIndex();
    // The tiles a catalog is forced to are not the user's choice for the next image.
    cmdMode = mode();
    printdialog.mode = catalog_ ? storedMode_ : cmdMode;
    printdialog.left = left;
    printdialog.top = top;
    printdialog.proportional = proportionalCheck->isChecked() ? 1 : 0;
    printdialog.autopreview = previewLockButton->isChecked() ? 1 : 0;
    printdialog.jobperpage = singlePrintCheck->isChecked() ? 1 : 0;
    copies = Round(copiesEdit->Value());
    printdialog.copies = copies;
    cmdLeft = Round(left);
    cmdTop = Round(top);
    cmdWidth = Round(width);
    cmdHeight = Round(height);
    printdialog.infoflags = infoFlags();
    printdialog.fontsize = Round(fontSizeEdit->Value());
    printdialog.cutlines = cutMarksCheck->isChecked() ? 1 : 0;
    const TPrintCheck check = CheckPrint(MakePrintRequest(cmdMode, cmdLeft, cmdTop, cmdWidth, cmdHeight, source_,
                                                          catalog_ ? catalog_->Count() : 0, printdialog.cutlines));
    if (check.Ok())
        return true;
    LangMessageDlg(check.German, mtError, mbOK, check.English);
    return false;
}

void RunPrintDialog(TMainWindowServices& main)
{
    QWidget* active = main.ActiveMDIChild();
    // Catalogs are known by their form name, as the availability knows them.
    if (!active ||
        (!qobject_cast<Tchild*>(active) && active->objectName() != QLatin1String(ObjectName::CatalogWindow::Form)))
        return;
    // A catalog still adding files would print a list it is about to change.
    if (TCatalogView* k = CatalogViewOf(active); k && k->RefuseWhileBusy())
        return;
    Tprintform dialog(main, main.Window());
    TranslateForm(QLatin1String(ObjectName::PrintDialog::Form), &dialog);
    toptions& options = main.Options();
    dialog.printdialog = options.printdialog;
    if (dialog.exec() != mrOk)
        return;
    options.printdialog = dialog.printdialog;
    tautomatitem& record = main.Record();
    record.SetArg(1, dialog.cmdLeft);
    record.SetArg(2, dialog.cmdTop);
    record.SetArg(3, dialog.cmdWidth);
    record.SetArg(4, dialog.cmdHeight);
    record.SetArg(5, dialog.cmdMode);
    record.SetArg(6, options.printdialog.copies);
    record.SetArgByte(options.printdialog.jobperpage);
    // One request however many copies: a cancel or a failure ends it, and the status
    // line tells what was written in all.
    const int copies = options.printdialog.copies;
    int done = 0;
    QString first, last;
    auto take = [&] {
        const TPrintResult r = TakePrintResult();
        if (!r.FirstPdf.isEmpty()) {
            if (first.isEmpty())
                first = r.FirstPdf;
            last = r.LastPdf;
        }
        return r.Outcome;
    };
    for (int i = 0; i < copies; ++i) {
        TPrintOutcome outcome = TPrintOutcome::NotRun;
        try {
            main.RunCode(cmdPrint);
            outcome = take();
        } catch (...) {
            take();
            ReportPrint(main, TPrintOutcome::Failed, done, copies, first, last);
            throw;
        }
        if (outcome == TPrintOutcome::NotRun)
            return;  // refused: its message has been shown
        if (outcome != TPrintOutcome::Printed) {
            ReportPrint(main, outcome, done, copies, first, last);
            return;
        }
        ++done;
    }
    if (copies > 1)
        ReportPrint(main, TPrintOutcome::Printed, done, copies, first, last);
}
