// The options dialog: general, catalog and file-type pages on a copy of the options.
#include "app/options/options_dialog.h"
#include "app/text/help_contexts.h"

#include "app/forms/color_select_dialog.h"
#include "app/forms/form_parts.h"
#include "app/options/option_file.h"
#include "app/options/file_types.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "controls/edits/spin_edit.h"
#include "platform/core/rounding.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>
#include <QVBoxLayout>

namespace {

const char* const kTypeCaptions[9] = {"Jpeg (JPG)",           "Windows Bitmap (BMP)",   "PaintBrush (PCX)",
                                      "Tiff Bitmap (TIFF)",   "Windows Metafile (WMF)", "Windows E-Metafile (EMF)",
                                      "Microsoft Icon (ICO)", "Microsoft Cursor (CUR)", "Katalog (PCA)"};

TKitSpinEdit* spin(QWidget* parent, const char* name, double max, double min = 0)
{
    auto* e = new TKitSpinEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->SetMinValue(min);
    e->SetMaxValue(max);
    return e;
}

// A spin value within the edit's range, whole. A number too large for an integer is
// still a number: it goes to the top of the range, not to the bottom.
int32_t spinValue(const TKitSpinEdit* e)
{
    bool ok = false;
    const double typed = e->text().trimmed().toDouble(&ok);
    return Round(e->ClampValue(ok && std::isfinite(typed) ? typed : e->Value()));
}

QWidget* page(QTabWidget* tabs, const char* name, const QString& caption)
{
    auto* w = new QWidget(tabs);
    w->setObjectName(QString::fromLatin1(name));
    tabs->addTab(w, caption);
    return w;
}

}  // namespace

std::array<bool, 9> FileTypeBindingState()
{
    std::array<bool, 9> state{};
    for (int i = 0; i < FileTypeBindingCount; ++i) {
        const TFileTypeBinding& b = FileTypeBindings[i];
        bool all = true;
        for (const char* e : b.Extensions)
            if (e)
                all = all && IsFileTypeRegistered(QString::fromLatin1(e), QString::fromLatin1(b.ClassName));
        state[size_t(i)] = all;
    }
    return state;
}

void ApplyFileTypeBindings(const std::array<bool, 9>& bound, const QString& programPath)
{
    for (int i = 0; i < FileTypeBindingCount; ++i) {
        const TFileTypeBinding& b = FileTypeBindings[i];
        const QString cls = QString::fromLatin1(b.ClassName);
        for (const char* e : b.Extensions) {
            if (!e)
                continue;
            if (bound[size_t(i)])
                RegisterFileType(QString::fromLatin1(e), cls, QString::fromUtf8(b.Description),
                                 b.IconIsFile ? QStringLiteral("%1") : programPath, programPath);
            else
                UnregisterFileType(QString::fromLatin1(e), cls);
        }
    }
}

Toptionform::Toptionform(toptions& options, const QString& programPath, QWidget* parent)
    : QDialog(parent), Copy(options), options_(options), programPath_(programPath)
{
    setObjectName(QLatin1String(ObjectName::OptionsDialog::Form));
    setWindowTitle(QStringLiteral("Optionen"));
    pages = new QTabWidget(this);
    pages->setObjectName(QLatin1String(ObjectName::OptionsDialog::PageControl1));

    QWidget* general = page(pages, ObjectName::OptionsDialog::TabSheet1, QStringLiteral("Allgemein"));
    backgroundPanel = new QFrame(general);
    backgroundPanel->setObjectName(QLatin1String(ObjectName::OptionsDialog::Panel1));
    backgroundPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    backgroundPanel->setAutoFillBackground(true);
    backgroundPanel->setFixedSize(40, 20);
    backgroundPanel->installEventFilter(this);
    zoomFilterCombo = NamedCombo(general, ObjectName::OptionsDialog::ComboBox4, FilterNames());
    delayFilterCheck = NamedCheckBox(general, ObjectName::OptionsDialog::CheckBox1, QStringLiteral("Filter verzögern"));
    rulerUnitCombo = NamedCombo(general, ObjectName::OptionsDialog::ComboBox1,
                                {QStringLiteral("pixel"), QStringLiteral("cm"), QStringLiteral("inch")});
    undoDepthEdit = spin(general, ObjectName::OptionsDialog::KitSpinEdit4, kMaxUndoDepth);
    zoomToWindowCheck = NamedCheckBox(general, ObjectName::OptionsDialog::CheckBox8,
                                      QStringLiteral("Beim Laden auf Fenstergröße zoomen"));
    fitWindowToImageCheck = NamedCheckBox(general, ObjectName::OptionsDialog::CheckBox9,
                                          QStringLiteral("Beim Laden Fenstergröße an Bild anpassen"));
    auto* g = new QGridLayout(general);
    g->addWidget(NamedLabel(general, ObjectName::OptionsDialog::Label1,
                            QStringLiteral("Standard Hintergrundfarbe für neue Grafiken:")),
                 0, 0);
    g->addWidget(backgroundPanel, 0, 1);
    g->addWidget(NamedLabel(general, ObjectName::OptionsDialog::Label2, QStringLiteral("Filter für Zoom: ")), 1, 0);
    g->addWidget(zoomFilterCombo, 1, 1);
    g->addWidget(delayFilterCheck, 2, 0, 1, 2);
    g->addWidget(NamedLabel(general, ObjectName::OptionsDialog::Label3, QStringLiteral("Lineal Einheiten:")), 3, 0);
    g->addWidget(rulerUnitCombo, 3, 1);
    g->addWidget(NamedLabel(general, ObjectName::OptionsDialog::Label8, QStringLiteral("Rückgängig-Puffer")), 4, 0);
    g->addWidget(undoDepthEdit, 4, 1);
    g->addWidget(zoomToWindowCheck, 5, 0, 1, 2);
    g->addWidget(fitWindowToImageCheck, 6, 0, 1, 2);

    QWidget* catalog = page(pages, ObjectName::OptionsDialog::TabSheet2, QStringLiteral("Katalog"));
    thumbSpacingEdit = spin(catalog, ObjectName::OptionsDialog::KitSpinEdit1, kMaxCatalogSpacing);
    thumbWidthEdit = spin(catalog, ObjectName::OptionsDialog::KitSpinEdit2, kMaxCatalogThumbSide, kMinCatalogThumbSide);
    thumbHeightEdit =
        spin(catalog, ObjectName::OptionsDialog::KitSpinEdit3, kMaxCatalogThumbSide, kMinCatalogThumbSide);
    autoUpdateCheck =
        NamedCheckBox(catalog, ObjectName::OptionsDialog::CheckBox2, QStringLiteral("Automatisch aktualisieren"));
    autoRemoveMissingCheck = NamedCheckBox(catalog, ObjectName::OptionsDialog::CheckBox3,
                                           QStringLiteral("nicht vorhandene Bilder automatisch entfernen"));
    showFileNameCheck =
        NamedCheckBox(catalog, ObjectName::OptionsDialog::CheckBox4, QStringLiteral("Dateinamen zeigen"));
    showPathCheck =
        NamedCheckBox(catalog, ObjectName::OptionsDialog::CheckBox7, QStringLiteral("Dateinamen mit Pfad zeigen"));
    showDateCheck = NamedCheckBox(catalog, ObjectName::OptionsDialog::CheckBox6, QStringLiteral("Dateidatum zeigen"));
    showSizeCheck = NamedCheckBox(catalog, ObjectName::OptionsDialog::CheckBox5, QStringLiteral("Dateigröße zeigen"));
    catalogFontButton =
        NamedButton(catalog, ObjectName::OptionsDialog::Button3, QStringLiteral("&Schriftoptionen ..."));
    auto* c = new QGridLayout(catalog);
    c->addWidget(NamedLabel(catalog, ObjectName::OptionsDialog::Label4, QStringLiteral("Bilderabstand:")), 0, 0);
    c->addWidget(thumbSpacingEdit, 0, 1);
    c->addWidget(NamedLabel(catalog, ObjectName::OptionsDialog::Label5, QStringLiteral("Bilderbreite:")), 1, 0);
    c->addWidget(thumbWidthEdit, 1, 1);
    c->addWidget(NamedLabel(catalog, ObjectName::OptionsDialog::Label6, QStringLiteral("Bilderhöhe:")), 2, 0);
    c->addWidget(thumbHeightEdit, 2, 1);
    int row = 3;
    for (QWidget* w : {static_cast<QWidget*>(autoUpdateCheck), static_cast<QWidget*>(autoRemoveMissingCheck),
                       static_cast<QWidget*>(showFileNameCheck), static_cast<QWidget*>(showPathCheck),
                       static_cast<QWidget*>(showDateCheck), static_cast<QWidget*>(showSizeCheck),
                       static_cast<QWidget*>(catalogFontButton)})
        c->addWidget(w, row++, 0, 1, 2);

    QWidget* types = page(pages, ObjectName::OptionsDialog::TabSheet3, QStringLiteral("Dateitypen"));
    auto* t = new QVBoxLayout(types);
    t->addWidget(NamedLabel(types, ObjectName::OptionsDialog::Label7,
                            LangText(QStringLiteral("Folgende Dateitypen mit Explorer Verknüpfen:"),
                                     QStringLiteral("Link the following file types with Explorer:"))));
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "CheckBox" + QByteArray::number(10 + i);
        TypeBoxes[size_t(i)] =
            NamedCheckBox(types, name.constData(), TranslatedText(QString::fromLatin1(kTypeCaptions[i])));
        t->addWidget(TypeBoxes[size_t(i)]);
    }
    selectAllTypesButton = NamedButton(types, ObjectName::OptionsDialog::Button9, QStringLiteral("A&lle markieren"));
    selectNoTypeButton = NamedButton(types, ObjectName::OptionsDialog::Button4, QStringLiteral("&Nichts markieren"));
    auto* tb = new QHBoxLayout;
    tb->addWidget(selectAllTypesButton);
    tb->addWidget(selectNoTypeButton);
    t->addLayout(tb);

    okButton = NamedButton(this, ObjectName::OptionsDialog::Button1, QStringLiteral("&Ok"));
    cancelButton = NamedButton(this, ObjectName::OptionsDialog::Button2, QStringLiteral("&Abbrechen"));
    helpButton = NamedButton(this, ObjectName::OptionsDialog::Button5, QStringLiteral("&Hilfe"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    auto* main = new QVBoxLayout(this);
    main->addWidget(pages);
    main->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, [this] { TApplication::Guard([this] { okClicked(); }); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(catalogFontButton, &QPushButton::clicked, this, [this] { catalogFontClicked(); });
    connect(selectNoTypeButton, &QPushButton::clicked, this, [this] { selectNoTypeClicked(); });
    connect(selectAllTypesButton, &QPushButton::clicked, this, [this] { selectAllTypesClicked(); });
    connect(helpButton, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcOptions); });
}

void Toptionform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

bool Toptionform::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == backgroundPanel && event->type() == QEvent::MouseButtonRelease) {
        backgroundColorClicked();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Toptionform::FormActivate()
{
    SetFormHelpFile();
    Copy = options_;
    setopTOscreen();
}

void Toptionform::showBackground()
{
    const TColor c = TColor(Copy.newbackground & 0xFFFFFF);
    QPalette p = backgroundPanel->palette();
    p.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    backgroundPanel->setPalette(p);
}

void Toptionform::setopTOscreen()
{
    showBackground();
    zoomFilterCombo->setCurrentIndex(std::min<int>(Copy.ZoomFilter, 6));
    delayFilterCheck->setChecked(Copy.DelayZoomFilter != 0);
    rulerUnitCombo->setCurrentIndex(std::min<int>(Copy.RulerUnit, 2));
    undoDepthEdit->setText(QString::number(Copy.undodepth));
    zoomToWindowCheck->setChecked(Copy.zoomonload != 0);
    fitWindowToImageCheck->setChecked(Copy.fitonload != 0);
    thumbSpacingEdit->setText(QString::number(Copy.katspacing));
    thumbWidthEdit->setText(QString::number(Copy.katwidth));
    thumbHeightEdit->setText(QString::number(Copy.katheight));
    autoUpdateCheck->setChecked(Copy.katautoupdate != 0);
    autoRemoveMissingCheck->setChecked(Copy.katautoremove != 0);
    showFileNameCheck->setChecked(Copy.katflags & 1);
    showPathCheck->setChecked(Copy.katflags & 2);
    showDateCheck->setChecked(Copy.katflags & 4);
    showSizeCheck->setChecked(Copy.katflags & 8);
    const std::array<bool, 9> bound = FileTypeBindingState();
    for (size_t i = 0; i < 9; ++i)
        TypeBoxes[i]->setChecked(bound[i]);
}

void Toptionform::screenTOsetop()
{
    Copy.ZoomFilter = uint8_t(std::max(0, zoomFilterCombo->currentIndex()));
    Copy.DelayZoomFilter = delayFilterCheck->isChecked() ? 1 : 0;
    Copy.RulerUnit = uint8_t(std::max(0, rulerUnitCombo->currentIndex()));
    Copy.undodepth = spinValue(undoDepthEdit);
    Copy.zoomonload = zoomToWindowCheck->isChecked() ? 1 : 0;
    Copy.fitonload = fitWindowToImageCheck->isChecked() ? 1 : 0;
    Copy.katspacing = spinValue(thumbSpacingEdit);
    Copy.katwidth = spinValue(thumbWidthEdit);
    Copy.katheight = spinValue(thumbHeightEdit);
    Copy.katautoupdate = autoUpdateCheck->isChecked() ? 1 : 0;
    Copy.katautoremove = autoRemoveMissingCheck->isChecked() ? 1 : 0;
    Copy.katflags = uint8_t((showFileNameCheck->isChecked() ? 1 : 0) | (showPathCheck->isChecked() ? 2 : 0) |
                            (showDateCheck->isChecked() ? 4 : 0) | (showSizeCheck->isChecked() ? 8 : 0));
}

void Toptionform::okClicked()
{
    screenTOsetop();
    options_ = Copy;
    std::array<bool, 9> bound{};
    for (size_t i = 0; i < 9; ++i)
        bound[i] = TypeBoxes[i]->isChecked();
    ApplyFileTypeBindings(bound, programPath_);
    done(mrOk);
    // The settings are kept at once; a failed write is reported and the dialog is gone.
    writeOptionFile(options_);
}

void Toptionform::catalogFontClicked()
{
    QFont font(Copy.katfontname);
    if (Copy.katfontsize > 0)
        font.setPointSize(Copy.katfontsize);
    font.setBold(Copy.katfontstyle & 1);
    font.setItalic(Copy.katfontstyle & 2);
    font.setUnderline(Copy.katfontstyle & 4);
    font.setStrikeOut(Copy.katfontstyle & 8);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, this);
    if (!ok)
        return;
    Copy.katfontname = chosen.family();
    Copy.katfontsize = chosen.pointSize();
    Copy.katfontstyle = uint8_t((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) | (chosen.underline() ? 4 : 0) |
                                (chosen.strikeOut() ? 8 : 0));
}

void Toptionform::backgroundColorClicked()
{
    TfColorSel d(this);
    TranslateForm(QLatin1String(ObjectName::ColorSelectDialog::Form), &d);
    TfColorSel::StartColor = TColor(Copy.newbackground & 0xFFFFFF);
    if (d.exec() != mrOk)
        return;
    Copy.newbackground = uint32_t(ColorToRGB(d.Color()));
    showBackground();
}

void Toptionform::selectAllTypesClicked()
{
    for (QCheckBox* b : TypeBoxes)
        b->setChecked(true);
}

void Toptionform::selectNoTypeClicked()
{
    for (QCheckBox* b : TypeBoxes)
        b->setChecked(false);
}
