// The options dialog: general, catalog and file-type pages on a copy of the options.
#include "app/options/options_dialog.h"
#include "app/text/help_contexts.h"

#include "app/dialogs/color_select_dialog.h"
#include "app/dialogs/form_parts.h"
#include "app/options/option_file.h"
#include "app/options/file_types.h"
#include "app/text/language.h"
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
#include <QVBoxLayout>

namespace {

const char* const kTypeCaptions[9] = {"Jpeg (JPG)",           "Windows Bitmap (BMP)",       "PaintBrush (PCX)",
                                      "Tiff Bitmap (TIFF)",   "Windows Metafile (WMF)",     "Windows E-Metafile (EMF)",
                                      "Microsoft Icon (ICO)", "Microsoft Cursor (CUR)",     "Katalog (PCA)"};

TKitSpinEdit* spin(QWidget* parent, const char* name, double max)
{
    auto* e = new TKitSpinEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->SetMaxValue(max);
    return e;
}

QWidget* page(QTabWidget* tabs, const char* name, const QString& caption)
{
    auto* w = new QWidget(tabs);
    w->setObjectName(QString::fromLatin1(name));
    tabs->addTab(w, caption);
    return w;
}

} // namespace

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
    setObjectName(QStringLiteral("optionform"));
    setWindowTitle(QStringLiteral("Optionen"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    QWidget* general = page(PageControl1, "TabSheet1", QStringLiteral("Allgemein"));
    Panel1 = new QFrame(general);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    Panel1->setFixedSize(40, 20);
    Panel1->installEventFilter(this);
    ComboBox4 = NamedCombo(general, "ComboBox4", FilterNames());
    CheckBox1 = NamedCheckBox(general, "CheckBox1", QStringLiteral("Filter verzögern"));
    ComboBox1 = NamedCombo(general, "ComboBox1", {QStringLiteral("pixel"), QStringLiteral("cm"), QStringLiteral("inch")});
    KitSpinEdit4 = spin(general, "KitSpinEdit4", kMaxUndoDepth);
    CheckBox8 = NamedCheckBox(general, "CheckBox8", QStringLiteral("Beim Laden auf Fenstergröße zoomen"));
    CheckBox9 = NamedCheckBox(general, "CheckBox9", QStringLiteral("Beim Laden Fenstergröße an Bild anpassen"));
    auto* g = new QGridLayout(general);
    g->addWidget(NamedLabel(general, "Label1", QStringLiteral("Standard Hintergrundfarbe für neue Grafiken:")), 0, 0);
    g->addWidget(Panel1, 0, 1);
    g->addWidget(NamedLabel(general, "Label2", QStringLiteral("Filter für Zoom: ")), 1, 0);
    g->addWidget(ComboBox4, 1, 1);
    g->addWidget(CheckBox1, 2, 0, 1, 2);
    g->addWidget(NamedLabel(general, "Label3", QStringLiteral("Lineal Einheiten:")), 3, 0);
    g->addWidget(ComboBox1, 3, 1);
    g->addWidget(NamedLabel(general, "Label8", QStringLiteral("Rückgängig-Puffer")), 4, 0);
    g->addWidget(KitSpinEdit4, 4, 1);
    g->addWidget(CheckBox8, 5, 0, 1, 2);
    g->addWidget(CheckBox9, 6, 0, 1, 2);

    QWidget* catalog = page(PageControl1, "TabSheet2", QStringLiteral("Katalog"));
    KitSpinEdit1 = spin(catalog, "KitSpinEdit1", 0);
    KitSpinEdit2 = spin(catalog, "KitSpinEdit2", 0);
    KitSpinEdit3 = spin(catalog, "KitSpinEdit3", 0);
    CheckBox2 = NamedCheckBox(catalog, "CheckBox2", QStringLiteral("Automatisch aktualisieren"));
    CheckBox3 = NamedCheckBox(catalog, "CheckBox3", QStringLiteral("nicht vorhandene Bilder automatisch entfernen"));
    CheckBox4 = NamedCheckBox(catalog, "CheckBox4", QStringLiteral("Dateinamen zeigen"));
    CheckBox7 = NamedCheckBox(catalog, "CheckBox7", QStringLiteral("Dateinamen mit Pfad zeigen"));
    CheckBox6 = NamedCheckBox(catalog, "CheckBox6", QStringLiteral("Dateidatum zeigen"));
    CheckBox5 = NamedCheckBox(catalog, "CheckBox5", QStringLiteral("Dateigröße zeigen"));
    Button3 = NamedButton(catalog, "Button3", QStringLiteral("&Schriftoptionen ..."));
    auto* c = new QGridLayout(catalog);
    c->addWidget(NamedLabel(catalog, "Label4", QStringLiteral("Bilderabstand:")), 0, 0);
    c->addWidget(KitSpinEdit1, 0, 1);
    c->addWidget(NamedLabel(catalog, "Label5", QStringLiteral("Bilderbreite:")), 1, 0);
    c->addWidget(KitSpinEdit2, 1, 1);
    c->addWidget(NamedLabel(catalog, "Label6", QStringLiteral("Bilderhöhe:")), 2, 0);
    c->addWidget(KitSpinEdit3, 2, 1);
    int row = 3;
    for (QWidget* w : {static_cast<QWidget*>(CheckBox2), static_cast<QWidget*>(CheckBox3),
                       static_cast<QWidget*>(CheckBox4), static_cast<QWidget*>(CheckBox7),
                       static_cast<QWidget*>(CheckBox6), static_cast<QWidget*>(CheckBox5),
                       static_cast<QWidget*>(Button3)})
        c->addWidget(w, row++, 0, 1, 2);

    QWidget* types = page(PageControl1, "TabSheet3", QStringLiteral("Dateitypen"));
    auto* t = new QVBoxLayout(types);
    t->addWidget(NamedLabel(types, "Label7", LangText(QStringLiteral("Folgende Dateitypen mit Explorer Verknüpfen:"),
                                                   QStringLiteral("Link the following file types with Explorer:"))));
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "CheckBox" + QByteArray::number(10 + i);
        TypeBoxes[size_t(i)] =
            NamedCheckBox(types, name.constData(), TranslatedText(QString::fromLatin1(kTypeCaptions[i])));
        t->addWidget(TypeBoxes[size_t(i)]);
    }
    Button9 = NamedButton(types, "Button9", QStringLiteral("A&lle markieren"));
    Button4 = NamedButton(types, "Button4", QStringLiteral("&Nichts markieren"));
    auto* tb = new QHBoxLayout;
    tb->addWidget(Button9);
    tb->addWidget(Button4);
    t->addLayout(tb);

    Button1 = NamedButton(this, "Button1", QStringLiteral("&Ok"));
    Button2 = NamedButton(this, "Button2", QStringLiteral("&Abbrechen"));
    Button5 = NamedButton(this, "Button5", QStringLiteral("&Hilfe"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button5);
    auto* main = new QVBoxLayout(this);
    main->addWidget(PageControl1);
    main->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { TApplication::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button9, &QPushButton::clicked, this, [this] { Button9Click(); });
    connect(Button5, &QPushButton::clicked, this, [] { TApplication::HelpContext(hcOptions); });
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
    if (watched == Panel1 && event->type() == QEvent::MouseButtonRelease) {
        Panel1Click();
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
    QPalette p = Panel1->palette();
    p.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    Panel1->setPalette(p);
}

void Toptionform::setopTOscreen()
{
    showBackground();
    ComboBox4->setCurrentIndex(std::min<int>(Copy.ZoomFilter, 6));
    CheckBox1->setChecked(Copy.DelayZoomFilter != 0);
    ComboBox1->setCurrentIndex(std::min<int>(Copy.RulerUnit, 2));
    KitSpinEdit4->setText(QString::number(Copy.undodepth));
    CheckBox8->setChecked(Copy.zoomonload != 0);
    CheckBox9->setChecked(Copy.fitonload != 0);
    KitSpinEdit1->setText(QString::number(Copy.katspacing));
    KitSpinEdit2->setText(QString::number(Copy.katwidth));
    KitSpinEdit3->setText(QString::number(Copy.katheight));
    CheckBox2->setChecked(Copy.katautoupdate != 0);
    CheckBox3->setChecked(Copy.katautoremove != 0);
    CheckBox4->setChecked(Copy.katflags & 1);
    CheckBox7->setChecked(Copy.katflags & 2);
    CheckBox6->setChecked(Copy.katflags & 4);
    CheckBox5->setChecked(Copy.katflags & 8);
    const std::array<bool, 9> bound = FileTypeBindingState();
    for (size_t i = 0; i < 9; ++i)
        TypeBoxes[i]->setChecked(bound[i]);
}

void Toptionform::screenTOsetop()
{
    Copy.ZoomFilter = uint8_t(std::max(0, ComboBox4->currentIndex()));
    Copy.DelayZoomFilter = CheckBox1->isChecked() ? 1 : 0;
    Copy.RulerUnit = uint8_t(std::max(0, ComboBox1->currentIndex()));
    Copy.undodepth = Round(KitSpinEdit4->ClampValue(KitSpinEdit4->Value()));
    Copy.zoomonload = CheckBox8->isChecked() ? 1 : 0;
    Copy.fitonload = CheckBox9->isChecked() ? 1 : 0;
    Copy.katspacing = Round(KitSpinEdit1->Value());
    Copy.katwidth = Round(KitSpinEdit2->Value());
    Copy.katheight = Round(KitSpinEdit3->Value());
    Copy.katautoupdate = CheckBox2->isChecked() ? 1 : 0;
    Copy.katautoremove = CheckBox3->isChecked() ? 1 : 0;
    Copy.katflags = uint8_t((CheckBox4->isChecked() ? 1 : 0) | (CheckBox7->isChecked() ? 2 : 0) |
                            (CheckBox6->isChecked() ? 4 : 0) | (CheckBox5->isChecked() ? 8 : 0));
}

void Toptionform::Button1Click()
{
    screenTOsetop();
    options_ = Copy;
    std::array<bool, 9> bound{};
    for (size_t i = 0; i < 9; ++i)
        bound[i] = TypeBoxes[i]->isChecked();
    ApplyFileTypeBindings(bound, programPath_);
    done(mrOk);
    // The settings are kept at once; a failed write is reported and the dialog is gone.
    optiontofile(options_);
}

void Toptionform::Button3Click()
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

void Toptionform::Panel1Click()
{
    TfColorSel d(this);
    TranslateForm(QStringLiteral("fcolorsel"), &d);
    TfColorSel::StartColor = TColor(Copy.newbackground & 0xFFFFFF);
    if (d.exec() != mrOk)
        return;
    Copy.newbackground = uint32_t(ColorToRGB(d.Color()));
    showBackground();
}

void Toptionform::Button9Click()
{
    for (QCheckBox* b : TypeBoxes)
        b->setChecked(true);
}

void Toptionform::Button4Click()
{
    for (QCheckBox* b : TypeBoxes)
        b->setChecked(false);
}
