// The print dialog: controls, opening, the value handlers and OK.
#include "app/print/print_dialog.h"

#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window_services.h"
#include "app/print/print_layout.h"
#include "app/print/print_units.h"
#include "app/text/language.h"
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

} // namespace

Tprintform::Tprintform(TMainWindowServices& mainWindow, QWidget* parent) : QDialog(parent), main_(mainWindow)
{
    setObjectName(QStringLiteral("printform"));
    setWindowTitle(QStringLiteral("Drucken"));
    QWidget* active = main_.ActiveMDIChild();
    catalog_ = qobject_cast<Tkataform*>(active);
    if (auto* image = qobject_cast<Tchild*>(active))
        source_ = image->ImageKit1->Bitmap();
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
    GroupBox2 = new QGroupBox(QStringLiteral("Vorschau"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setFixedSize(260, 300);
    ImageKit1 = new TImageKit(GroupBox2);
    ImageKit1->setObjectName(QStringLiteral("ImageKit1"));
    ImageKit1->SetScrollBars(ssNone);
    ImageKit1->SetBackground(clWhite);
    ImageKit1->move(15, 20);
    leftCol->addWidget(GroupBox2);
    auto* previewRow = new QHBoxLayout;
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setText(QStringLiteral("A"));
    SpeedButton1->setToolTip(QStringLiteral("Vorschau fixieren"));
    Button4 = new QPushButton(QStringLiteral("&Vorschau"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    previewRow->addWidget(SpeedButton1);
    previewRow->addWidget(Button4);
    previewRow->addWidget(ProgressBar1, 1);
    leftCol->addLayout(previewRow);
    outer->addLayout(leftCol);

    auto* rightCol = new QVBoxLayout;
    RadioGroup1 = new QGroupBox(QStringLiteral("Modus"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* modes = new QHBoxLayout(RadioGroup1);
    const char* modeNames[] = {"Clipping", "Kacheln", "Poster"};
    for (int i = 0; i < 3; ++i) {
        ModeButtons[size_t(i)] = new QRadioButton(QString::fromLatin1(modeNames[i]), RadioGroup1);
        modes->addWidget(ModeButtons[size_t(i)]);
        connect(ModeButtons[size_t(i)], &QRadioButton::toggled, this, [this](bool on) {
            if (on && !busy_)
                TApplication::Guard([this] { updateimagekitpreview(); });
        });
    }
    rightCol->addWidget(RadioGroup1);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildImagePage(), QStringLiteral("Grafik"));
    PageControl1->addTab(buildPrinterPage(), QStringLiteral("Drucker Optionen"));
    PageControl1->addTab(buildOptionsPage(), QStringLiteral("Weiter Optionen"));
    rightCol->addWidget(PageControl1, 1);
    auto* buttons = new QHBoxLayout;
    Button2 = new QPushButton(QStringLiteral("&Drucken"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    Button3 = new QPushButton(QStringLiteral("&Abbrechen"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button5 = new QPushButton(QStringLiteral("&Hilfe"), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addWidget(Button5);
    rightCol->addLayout(buttons);
    outer->addLayout(rightCol, 1);

    auto guard = [](std::function<void()> fn) { return [fn = std::move(fn)] { TApplication::Guard(fn); }; };
    connect(Button2, &QPushButton::clicked, this, guard([this] {
                Button2Click();
                done(mrOk);
            }));
    connect(Button3, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(Button5, &QPushButton::clicked, this, [] { TApplication::HelpContext(418); });
    connect(Button4, &QPushButton::clicked, this, guard([this] { updateimagekitpreview(true); }));
    connect(SpeedButton1, &QToolButton::toggled, this, guard([this] { updateimagekitpreview(); }));
}

QWidget* Tprintform::buildImagePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    const char* labels[] = {"Label10", "Label11", "Label12", "Label13"};
    const char* texts[] = {"Abstand von links", "Abstand von oben", "Breite", "Höhe"};
    const char* edits[] = {"KitCalcEdit1", "KitCalcEdit2", "KitCalcEdit3", "KitCalcEdit4"};
    const char* units[] = {"ComboBox4", "ComboBox5", "ComboBox6", "ComboBox7"};
    TKitCalcEdit** editFields[] = {&KitCalcEdit1, &KitCalcEdit2, &KitCalcEdit3, &KitCalcEdit4};
    QComboBox** unitFields[] = {&ComboBox4, &ComboBox5, &ComboBox6, &ComboBox7};
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
        connect(u, &QComboBox::currentIndexChanged, this, [this, i] { TApplication::Guard([this, i] { unitChanged(i); }); });
    }
    CheckBox2 = new QCheckBox(QStringLiteral("Proportional"), page);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setChecked(true);
    grid->addWidget(CheckBox2, 4, 0, 1, 3);
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
        connect(r, &QRadioButton::clicked, this, [this, b] { TApplication::Guard([this, b] { placementClicked(b); }); });
    }
    grid->setRowStretch(11, 1);
    return page;
}

QWidget* Tprintform::buildPrinterPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(label(page, "Label3", QStringLiteral("Drucker:")), 0, 0);
    Label4 = label(page, "Label4", QString(), true);
    grid->addWidget(Label4, 0, 1, 1, 2);
    grid->addWidget(label(page, "Label9", QStringLiteral("Auflösung:"), true), 1, 0);
    Label8 = label(page, "Label8", QString());
    grid->addWidget(Label8, 1, 1);
    ComboBox1 = unitCombo(page, "ComboBox1", true);
    grid->addWidget(ComboBox1, 1, 2);
    grid->addWidget(label(page, "Label7", QStringLiteral("Druckbarer Bereich:"), true), 2, 0, 1, 3);
    grid->addWidget(label(page, "Label5", QStringLiteral("Breite")), 3, 0);
    Label6 = label(page, "Label6", QString());
    grid->addWidget(Label6, 3, 1);
    ComboBox2 = unitCombo(page, "ComboBox2");
    grid->addWidget(ComboBox2, 3, 2);
    grid->addWidget(label(page, "Label1", QStringLiteral("Höhe")), 4, 0);
    Label2 = label(page, "Label2", QString());
    grid->addWidget(Label2, 4, 1);
    ComboBox3 = unitCombo(page, "ComboBox3");
    grid->addWidget(ComboBox3, 4, 2);
    Button1 = new QPushButton(QStringLiteral("Druck-&Einstellungen"), page);
    Button1->setObjectName(QStringLiteral("Button1"));
    grid->addWidget(Button1, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    for (QComboBox* c : {ComboBox1, ComboBox2, ComboBox3})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            if (!busy_)
                TApplication::Guard([this] { updateprintop(); });
        });
    connect(Button1, &QPushButton::clicked, this, [this] {
        TApplication::Guard([this] {
            Printer().Setup(this);
            updateprintop();
            updatepanelsize();
            updateimagekitpreview();
            clearradiobuttons();
        });
    });
    return page;
}

QWidget* Tprintform::buildOptionsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* grid = new QGridLayout(page);
    auto spin = [page](const char* name, int min, int max) {
        auto* s = new TKitSpinEdit(page);
        s->setObjectName(QLatin1String(name));
        s->SetMinValue(min);
        s->SetMaxValue(max);
        return s;
    };
    grid->addWidget(label(page, "Label15", QStringLiteral("Spalten")), 0, 0);
    SpinEdit1 = spin("SpinEdit1", 1, 1000);
    grid->addWidget(SpinEdit1, 0, 1);
    grid->addWidget(label(page, "Label16", QStringLiteral("Zeilen")), 1, 0);
    SpinEdit2 = spin("SpinEdit2", 1, 1000);
    grid->addWidget(SpinEdit2, 1, 1);
    Label17 = label(page, "Label17", QString());
    grid->addWidget(Label17, 0, 2, 2, 1);
    CheckBox1 = new QCheckBox(QStringLiteral("Schneidelinien"), page);
    CheckBox3 = new QCheckBox(QStringLiteral("Einzeldruck"), page);
    CheckBox4 = new QCheckBox(QStringLiteral("Dateinamen drucken"), page);
    CheckBox7 = new QCheckBox(QStringLiteral("Dateinamen mit Pfad drucken"), page);
    CheckBox6 = new QCheckBox(QStringLiteral("Dateidatum drucken"), page);
    CheckBox5 = new QCheckBox(QStringLiteral("Dateigröße drucken"), page);
    const std::pair<QCheckBox*, const char*> boxes[] = {{CheckBox1, "CheckBox1"}, {CheckBox3, "CheckBox3"},
                                                        {CheckBox4, "CheckBox4"}, {CheckBox7, "CheckBox7"},
                                                        {CheckBox6, "CheckBox6"}, {CheckBox5, "CheckBox5"}};
    int row = 2;
    for (const auto& [box, name] : boxes) {
        box->setObjectName(QLatin1String(name));
        grid->addWidget(box, row++, 0, 1, 3);
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!busy_)
                TApplication::Guard([this] { updateimagekitpreview(); });
        });
    }
    grid->addWidget(label(page, "Label18", QStringLiteral("Anzahl der Drucke")), row, 0);
    SpinEdit3 = spin("SpinEdit3", 1, 999);
    SpinEdit3->SetValue(1);
    grid->addWidget(SpinEdit3, row++, 1);
    grid->addWidget(label(page, "Label14", QStringLiteral("Schriftgröße")), row, 0);
    SpinEdit4 = spin("SpinEdit4", 1, 200);
    grid->addWidget(SpinEdit4, row++, 1);
    grid->setRowStretch(row, 1);
    SpinEdit1->OnChange = [this](TObject*) { TApplication::Guard([this] { columnsRowsChanged(false); }); };
    SpinEdit2->OnChange = [this](TObject*) { TApplication::Guard([this] { columnsRowsChanged(true); }); };
    SpinEdit4->OnChange = [this](TObject*) {
        if (!busy_)
            TApplication::Guard([this] { updateimagekitpreview(); });
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
    TKitCalcEdit* const e[] = {KitCalcEdit1, KitCalcEdit2, KitCalcEdit3, KitCalcEdit4};
    return e[which];
}

QComboBox* Tprintform::unitBox(int which) const
{
    QComboBox* const u[] = {ComboBox4, ComboBox5, ComboBox6, ComboBox7};
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
    for (QComboBox* c : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox7})
        c->setCurrentIndex(0);
    CheckBox3->setChecked(printdialog.jobperpage != 0);
    const int m = printdialog.mode >= 0 && printdialog.mode <= 2 ? printdialog.mode : 0;
    ModeButtons[size_t(m)]->setChecked(true);
    left = printdialog.left;
    top = printdialog.top;
    CheckBox4->setChecked(printdialog.infoflags & 1);
    CheckBox7->setChecked(printdialog.infoflags & 2);
    CheckBox6->setChecked(printdialog.infoflags & 4);
    CheckBox5->setChecked(printdialog.infoflags & 8);
    SpinEdit4->SetValue(printdialog.fontsize);
    CheckBox2->setChecked(printdialog.proportional != 0);
    SpeedButton1->setChecked(printdialog.autopreview != 0);
    CheckBox1->setChecked(printdialog.cutlines != 0);
    width = printdialog.width;
    height = printdialog.height;
    for (int i = 0; i < 4; ++i)
        display(i);
    RadioGroup1->setEnabled(!catalog_);
    if (catalog_)
        ModeButtons[pmTiles]->setChecked(true);
    updateprintop();
    updatepanelsize();
    updateimagekitpreview();
    busy_ = false;
    // The stored units last, each shown at once.
    const int unitsOf[] = {printdialog.leftunit, printdialog.topunit, printdialog.widthunit, printdialog.heightunit};
    for (int i = 0; i < 4; ++i) {
        const int u = unitsOf[i] >= 0 && unitsOf[i] <= 2 ? unitsOf[i] : 0;
        unitBox(i)->setCurrentIndex(u);  // runs unitChanged
    }
    busy_ = true;
    ComboBox1->setCurrentIndex(printdialog.resunit == 0 ? 0 : 1);
    ComboBox2->setCurrentIndex(std::clamp(printdialog.pagewidthunit, 0, 2));
    ComboBox3->setCurrentIndex(std::clamp(printdialog.pageheightunit, 0, 2));
    busy_ = false;
    updateprintop();
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
    clearradiobuttons();
    updateimagekitpreview();
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
    if (CheckBox2->isChecked() && SourceWidth() > 0 && SourceHeight() > 0) {
        if (vertical) {
            width = SourceWidth() * height / SourceHeight();
            display(vWidth);
        } else {
            height = SourceHeight() * width / SourceWidth();
            display(vHeight);
        }
    }
    clearradiobuttons();
    updateimagekitpreview();
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
    updateimagekitpreview();
}

void Tprintform::columnsRowsChanged(bool rows)
{
    if (busy_)
        return;
    TKitSpinEdit* edit = rows ? SpinEdit2 : SpinEdit1;
    bool ok = false;
    const int n = edit->text().trimmed().toInt(&ok);
    if (!ok || n <= 0)
        return;
    const double oldW = width, oldH = height;
    if (!rows) {
        if (n * left > PageWidth()) {
            updateimagekitpreview();
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
            updateimagekitpreview();
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
    updateimagekitpreview();
}

uint8_t Tprintform::infoFlags() const
{
    return uint8_t((CheckBox4->isChecked() ? 1 : 0) + (CheckBox7->isChecked() ? 2 : 0) +
                   (CheckBox6->isChecked() ? 4 : 0) + (CheckBox5->isChecked() ? 8 : 0));
}

void Tprintform::clearradiobuttons()
{
    for (int b : {1, 2, 3, 4})
        RadioButton[size_t(b)]->setChecked(false);
}

void Tprintform::updateprintop()
{
    TPrinter& p = Printer();
    const double rx = p.XResolution(), ry = p.YResolution();
    Label4->setText(p.PrinterName());
    Label8->setText(QString::number(ComboBox1->currentIndex() == 1 ? Round(rx) : Round(rx / 2.54)));
    auto area = [](int unit, double pixels, double res) {
        double v = pixels;
        if (unit == puCm)
            v = res > 0 ? pixels * 2.54 / res : 0;
        else if (unit == puInch)
            v = res > 0 ? pixels / res : 0;
        return QString::number(v, 'f', 2);
    };
    Label6->setText(area(ComboBox2->currentIndex(), p.PageWidth(), rx));
    Label2->setText(area(ComboBox3->currentIndex(), p.PageHeight(), ry));
}

void Tprintform::Button2Click()
{
    printdialog.width = width;
    printdialog.height = height;
    printdialog.resunit = ComboBox1->currentIndex();
    printdialog.pagewidthunit = ComboBox2->currentIndex();
    printdialog.pageheightunit = ComboBox3->currentIndex();
    printdialog.leftunit = ComboBox4->currentIndex();
    printdialog.topunit = ComboBox5->currentIndex();
    printdialog.widthunit = ComboBox6->currentIndex();
    printdialog.heightunit = ComboBox7->currentIndex();
    printdialog.mode = mode();
    printdialog.left = left;
    printdialog.top = top;
    printdialog.proportional = CheckBox2->isChecked() ? 1 : 0;
    printdialog.autopreview = SpeedButton1->isChecked() ? 1 : 0;
    printdialog.jobperpage = CheckBox3->isChecked() ? 1 : 0;
    copies = Round(SpinEdit3->Value());
    printdialog.copies = copies;
    cmdLeft = Round(left);
    cmdTop = Round(top);
    cmdWidth = Round(width);
    cmdHeight = Round(height);
    printdialog.infoflags = infoFlags();
    printdialog.fontsize = Round(SpinEdit4->Value());
    printdialog.cutlines = CheckBox1->isChecked() ? 1 : 0;
}

void RunPrintDialog(TMainWindowServices& main)
{
    QWidget* active = main.ActiveMDIChild();
    // Catalogs are known by their form name, as the availability knows them.
    if (!active || (!qobject_cast<Tchild*>(active) && active->objectName() != QLatin1String("kataform")))
        return;
    Tprintform dialog(main, main.Window());
    TranslateForm(QStringLiteral("printform"), &dialog);
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
    record.SetArg(5, options.printdialog.mode);
    record.SetArg(6, options.printdialog.copies);
    record.SetArgByte(options.printdialog.jobperpage);
    for (int i = 0; i < options.printdialog.copies; ++i)
        main.RunCode(cmdPrint);
}
