// The main window's menus and tool bars, built from tables with their German captions;
// English comes from the translation tables when the language is English.
#include "app/catalog/catalog_window.h"
#include "app/main_window/main_window.h"
#include "app/image_window/tool_glyphs.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "controls/combos/kit_combos.h"
#include "controls/edits/spin_edit.h"
#include "platform/ui/application.h"
#include "platform/ui/image_control.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <vector>

namespace {

struct MenuDef {
    const char* name;
    const char* caption;  // UTF-8
    std::vector<MenuDef> sub = {};
    bool branch = false;
};

MenuDef branch(const char* name, const char* caption, std::vector<MenuDef> sub)
{
    return MenuDef{name, caption, std::move(sub), true};
}

// Without separators: FormCreate inserts them at their places.
const std::vector<MenuDef>& mainMenu()
{
    static const std::vector<MenuDef> menu = {
        branch("Datei1", "&Datei",
               {branch("Neu1", "&Neu", {{"ffnen1", "&Grafik ..."}, {"NeuenKatalogerstellen1", "&Katalog"}}),
                {"ffnen2", "Ö&ffnen ..."},
                branch("Erneutladen1", "&Erneut laden", {}),
                {"Speichern1", "S&peichern"},
                {"Speichernals1", "Spe&ichern als ..."},
                {"AlleSpeichern1", "All&e Speichern"},
                {"Schliessen1", "&Schliessen"},
                {"AlleSchliessen1", "&Alle Schliessen"},
                {"Drucken1", "&Drucken ..."},
                branch("Scanner1", "S&canner",
                       {{"Scanne1", "S&canne ..."}, {"Scannerwhlen1", "Sca&nner wählen ..."}}),
                {"Videobildimportieren1", "Videobild importieren ..."},
                branch("Diashow1", "Diasho&w",
                       {{"Abspielen1", "A&bspielen"},
                        {"Optionen1", "D&iashow"},
                        {"DiashowdirektvomKatalog1", "&Diashow direkt vom Katalog"}}),
                {"Optionen2", "&Optionen ..."},
                {"Beenden1", "&Beenden"}}),
        branch("Bearbeiten1", "&Bearbeiten",
               {{"Rckgngig1", "&Rückgängig"},
                {"RckgngigPufferlschen1", "&Puffer für Rückgängig löschen"},
                {"Ausschneiden1", "&Ausschneiden"},
                {"Kopieren1", "&Kopieren"},
                {"Einfgen1", "&Einfügen"},
                {"Pastetorect1", "&In Markierung einfügen"},
                {"ZumBearbeitenausschneiden1", "Zum &Bearbeiten ausschneiden"},
                {"Allesauswhlen1", "Alles &markieren"},
                {"NichtsAuswhlen1", "&Nichts markieren"}}),
        branch("Farben1", "&Farben",
               {{"Farbenbearbeiten1", "&Farben bearbeiten ..."},
                {"effects1", "&Effekte ..."},
                branch("Farbanzahlndern1", "Fa&rbanzahl ändern",
                       {{"I1", "&2 Farben"},
                        {"N16Farben1", "&16 Farben"},
                        {"N256Farben8BitproPixel1", "25&6 Farben"},
                        {"N16MillionenFarben772161", "16 Mil&lionen Farben (24 Bit pro Pixel)"},
                        {"Farbenreduzieren1", "Fa&rbanzahl eingeben ..."}}),
                {"InGraustufenumwandeln1", "&In Graustufen umwandeln"},
                {"SchwarzWeissKonvertierung2", "&Schwarz Weiss Konvertierung ..."},
                {"Negativ1", "&Negativ"},
                {"Histogramm1", "&Histogramm"},
                {"HSVKanle1", "HSV-&Kanäle"},
                {"AnzahlderFarbenzeigen1", "&Anzahl der Farben zeigen"},
                {"Hintergrundfarbesetzen1", "Hin&tergrundfarbe setzen ..."}}),
        branch("Bild1", "&Bild",
               {{"REsize1", "&Größe ändern (Resize) ..."},
                {"Resample1", "G&röße ändern (Resample) ..."},
                branch("DrehenSpiegeln1", "&Drehen/Spiegeln",
                       {{"N90imUhrzeigersinndrehen1", "90° im &Uhrzeigersinn drehen"},
                        {"N90gegenUhrzeigersinndrehen1", "90° drehe&n"},
                        {"N180drehen1", "&180° drehen"},
                        {"Winkeleingeben1", "&Winkel eingeben ..."},
                        {"Vertikalspiegeln1", "&Vertikal spiegeln"},
                        {"Horizontalspiegeln1", "&Horizontal spiegeln"}}),
                {"merge1", "&Verschmelzen ..."},
                {"duplizieren1", "D&uplizieren"},
                {"MitHinterrundfarbelschen1", "Mit Hintergrundfarbe &löschen"},
                branch("AlsHintergrund1", "Als &Hintergrund für Windows",
                       {{"Zentriert1", "&Zentriert"}, {"Kacheln1", "&Kacheln"}}),
                branch("Kommentar1", "&Kommentar",
                       {{"Kommentaraufnehmen1", "Ton&kommentar aufnehmen"},
                        {"Kommentarabspielen1", "Tonkommentar a&bspielen"},
                        {"Kommentarlschen1", "Tonk&ommentar löschen"},
                        {"Kommentarimportieren1", "Tonkommentar &importieren ..."},
                        {"Aufnahmeeinstellungen1", "&Aufnahmeeinstellungen ..."},
                        {"Text2", "&Textkommentar festlegen"}})}),
        branch("Zeichnen1", "&Zeichnen",
               {{"Stift1", "&Stift"},
                {"Linie2", "Li&nie"},
                {"Rechteck1", "&Rechteck / Quadrat"},
                {"Kreis1", "Ellipse / &Kreis"},
                {"RundesRechteck1", "R&undes Rechteck"},
                {"Fllen2", "F&arbfüllen"},
                {"Text1", "&Text"},
                {"Farbebernehmen1", "Farbe ü&bernehmen"},
                {"RoteAugenentfernen1", "Rote Au&gen entfernen"},
                {"mitBildkopiemalen1", "Mit Bild&kopie malen"},
                {"Malfarbe1", "Mal&farbe ..."},
                {"Pinselart1", "&Pinselart ..."},
                branch("Linie1", "&Linie", {{"Linienart1", "&Linienart ..."}, {"Linienbreite1", "Linien&breite ..."}}),
                branch("Fllen1", "&Füllen", {{"Fllfarbe1", "Füllf&arbe ..."}, {"Fllart1", "Fülla&rt ..."}}),
                {"Textinhaltfestlegen1", "Textin&halt festlegen ..."},
                {"Schriftartfestlegen1", "&Optionen für Text ..."}}),
        branch("Ansicht1", "&Ansicht",
               {branch("Zoomen1", "Zoomen",
                       {{"N5001", "500 %"},
                        {"N3001", "300 %"},
                        {"N2001", "200 %"},
                        {"N1001", "&100 %"},
                        {"N751", " 75 %"},
                        {"N501", " 50 %"},
                        {"N251", " 25 %"},
                        {"N101", " 10 %"},
                        {"Fenstergre1", "&Fenstergröße"},
                        {"Greangeben1", "&Größe angeben ..."}}),
                branch("Mauszeiger1", "Maus&zeiger",
                       {{"Zeichenen1", "&Zeichnen"},
                        {"Bereichauswhlen1", "Rechteckigen &Bereich auswählen"},
                        {"Polygonauswahl1", "&Polygonauswahl"},
                        {"Kreisauswahl1", "&Kreisauswahl"},
                        {"Hand1", "&Hand"},
                        {"Zoom1", "&Zoom"}}),
                {"Standardleiste1", "&Standardleiste"},
                {"Zeichenleiste1", "&Zeichenleiste"},
                {"Lineal1", "&Lineal"},
                {"Statusleiste1", "&Statusleiste"}}),
        branch("Batch1", "&Batch",
               {{"Neuaufnehmen1", "&Neu aufnehmen"},
                {"Aufnahmestoppen1", "Au&fnahme stoppen"},
                {"AufaktuellesBildanwenden1", "A&bspielen / Auf aktuelles Bild anwenden"},
                {"AufallegeladenenBilderanwenden1", "Auf alle &geladenen Bilder anwenden"},
                {"AufVerzeichnisanwenden1", "Auf &Verzeichnis / Dateiliste anwenden ..."},
                {"Bildereinscannen1", "Bilder aus &Scanner"},
                {"Batch2", "Bat&ch ..."}}),
        branch("Katalog1", "&Katalog",
               {{"Katalogspeichern1", "&Katalog speichern"},
                {"Katalogspeichernals1", "Katalog s&peichern als ..."},
                {"Dateihinzufgen1", "&Datei hinzufügen ..."},
                {"Dateientfernen1", "Datei &entfernen"},
                {"Bilderneuladen1", "&Bilder neu laden"},
                {"AlleBilderneuladen1", "Alle B&ilder neu laden"},
                {"Bilderneuladen2", "Bilder &aktualisieren"},
                {"nichtexistierendeBilderentfernen1", "&Fehlende Bilder entfernen"},
                {"Allemarkieren1", "Alles &markieren"},
                {"Katalogschliessen1", "Katalog &schliessen"}}),
        branch("Fenster1", "&Fenster",
               {{"AufBildgreanpassen1", "&Auf Bildgröße anpassen"},
                {"Nebeneinander1", "&Nebeneinander"},
                {"Untereinander1", "&Untereinander"},
                {"bereinander1", "Ü&bereinander"}}),
        branch("Hilfe1", "&Hilfe",
               {{"Hilfethemen1", "Hilfe&themen ..."},
                {"Hilfeverwenden1", "&Hilfe verwenden ..."},
                {"Willkommen1", "Willkommen ..."},
                {"UntersttzteBatchFunktionen1", "Unterstützte Batch-Funktionen ..."},
                {"WeitereProgramme1", "&Weitere Programme ..."},
                {"berdasProgramm1", "Ü&ber das Programm ..."}}),
    };
    return menu;
}

// Tool-bar buttons: name, German hint, glyph.
struct ButtonDef {
    const char* name;
    const char* hint;
};

const ButtonDef standardButtons[] = {
    {"SpeedButton1", "Neue Grafik"},      {"OpenBtn", "Öffnen"},
    {"SaveBtn", "Speichern"},             {"printbtn", "Drucken"},
    {"scanbtn", "Scannen"},               {"SpeedButton57", "Videobild importieren"},
    {"SpeedButton9", "Diashow"},          {"CutBtn", "Ausschneiden"},
    {"CopyBtn", "Kopieren"},              {"PasteBtn", "Einfügen"},
    {"SpeedButton3", "Rückgängig"},       {nullptr, nullptr},  // the zoom box
    {"SpeedButton2", "Effekte"},          {"SpeedButton4", "Farben bearbeiten"},
    {"SpeedButton35", "Kommentar abspielen"}, {"SpeedButton37", "Kommentar aufnehmen"},
    {"autobox", "Batch"},
    {"SpeedButton13", "Abspielen / Auf aktuelles Bild anwenden"},
    {"SpeedButton11", "Neue Batch-Aufnahme"}, {"SpeedButton8", "Batch-Aufnahme stoppen"},
    {"SpeedButton32", "Zeichenleiste anzeigen"}, {"SpeedButton58", "Hilfe"},
};

// In code order 0 … 5 (draw, rectangle, polygon, circle, hand, zoom).
const ButtonDef modeButtons[] = {
    {"speedbutton30", "Zeichnen"},  {"SpeedButton5", "Rechteckigen Bereich auswälen"},
    {"SpeedButton34", "Polygonauswahl"}, {"SpeedButton33", "Kreisauswahl"},
    {"SpeedButton6", "Hand"},       {"SpeedButton7", "Zoom"},
};
const char* const modeItems[] = {"Zeichenen1", "Bereichauswhlen1", "Polygonauswahl1",
                                 "Kreisauswahl1", "Hand1", "Zoom1"};

// In code order 0 … 9.
const ButtonDef toolButtons[] = {
    {"PenButton", "Stift"},           {"SpeedButton36", "Linie"},
    {"SpeedButton63", "Rechteck / Quadrat"}, {"SpeedButton64", "Ellipse / Kreis"},
    {"SpeedButton65", "Rundes Rechteck"}, {"fillbutton", "Farbfüllen"},
    {"SpeedButton31", "Text"},        {"SpeedButton55", "Farbe übernehmen"},
    {"SpeedButton56", "Rote Augen entfernen"}, {"SpeedButton38", "Mit Bildkopie malen"},
};
const char* const toolItems[] = {"Stift1", "Linie2", "Rechteck1", "Kreis1", "RundesRechteck1",
                                 "Fllen2", "Text1", "Farbebernehmen1", "RoteAugenentfernen1",
                                 "mitBildkopiemalen1"};

const int zoomItemValues[] = {500, 300, 200, 100, 75, 50, 25, 10};
const char* const zoomItemNames[] = {"N5001", "N3001", "N2001", "N1001", "N751", "N501", "N251", "N101"};

} // namespace

struct MainWindowBuilder {
    static void addMenu(Tform1& f, QMenu* parent, const MenuDef& d)
    {
        const QString caption = QString::fromUtf8(d.caption);
        if (d.branch) {
            QMenu* m = parent ? parent->addMenu(caption) : f.menuBar()->addMenu(caption);
            m->setObjectName(QString::fromLatin1(d.name));
            m->menuAction()->setObjectName(QString::fromLatin1(d.name));
            f.menus_[m->objectName()] = m;
            f.items_[m->objectName()] = m->menuAction();
            for (const MenuDef& s : d.sub)
                addMenu(f, m, s);
            return;
        }
        QAction* a = parent->addAction(caption);
        a->setObjectName(QString::fromLatin1(d.name));
        a->setEnabled(false);
        f.items_[a->objectName()] = a;
    }

    static QToolButton* button(Tform1& f, QToolBar* bar, const ButtonDef& d, bool checkable)
    {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setToolTip(QString::fromUtf8(d.hint));
        b->setIcon(ToolGlyph(QString::fromLatin1(d.name)));
        b->setAutoRaise(true);
        b->setCheckable(checkable);
        b->setEnabled(false);
        bar->addWidget(b);
        (void)f;
        return b;
    }
};

void Tform1::buildMenus()
{
    for (const MenuDef& d : mainMenu())
        MainWindowBuilder::addMenu(*this, nullptr, d);

    for (int i = 0; i < 8; ++i) {
        const int z = zoomItemValues[i];
        wire(Item(QString::fromLatin1(zoomItemNames[i])), [this, z] { SetZoomOfActive(z); });
    }
    wire(Item("Fenstergre1"), [this] { Fenstergre1Click(); });
    ConnectCatalogMenu(*this);
    for (int i = 0; i < 6; ++i) {
        QAction* a = Item(QString::fromLatin1(modeItems[i]));
        a->setCheckable(true);
        wire(a, [this, i] { SelectMouseMode(i); });
    }
    for (int i = 0; i < 10; ++i) {
        QAction* a = Item(QString::fromLatin1(toolItems[i]));
        a->setCheckable(true);
        wire(a, [this, i] { SelectTool(i); });
    }
    for (const char* n : {"Standardleiste1", "Zeichenleiste1", "Lineal1", "Statusleiste1"})
        Item(QString::fromLatin1(n))->setCheckable(true);
    wire(Item("Standardleiste1"), [this] { Standardleiste1Click(); });
    wire(Item("Zeichenleiste1"), [this] { Zeichenleiste1Click(); });
    wire(Item("Lineal1"), [this] { Lineal1Click(); });
    wire(Item("Statusleiste1"), [this] { Statusleiste1Click(); });
    wire(Item("Nebeneinander1"), [this] { Nebeneinander1Click(); });
    wire(Item("Untereinander1"), [this] { Untereinander1Click(); });
    wire(Item("bereinander1"), [this] { bereinander1Click(); });
    wire(Item("Beenden1"), [this] { Beenden1Click(); });
    wire(Item("Linienbreite1"), [this] { Linienbreite1Click(); });
}

void Tform1::buildToolBars()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    for (const ButtonDef& d : standardButtons) {
        if (!d.name) {
            zoombox = new QComboBox(ToolBar1);
            zoombox->setObjectName(QStringLiteral("zoombox"));
            zoombox->setToolTip(QStringLiteral("Zoomwert"));
            zoombox->setEditable(true);
            zoombox->setInsertPolicy(QComboBox::NoInsert);
            zoombox->setMinimumContentsLength(12);
            zoombox->addItems({QStringLiteral("500 %"), QStringLiteral("300 %"), QStringLiteral("200 %"),
                               QStringLiteral("150 %"), QStringLiteral("100 %"), QStringLiteral("75 %"),
                               QStringLiteral("50 %"), QStringLiteral("25 %"), QStringLiteral("10 %"),
                               QStringLiteral("Fenstergröße")});
            connect(zoombox, &QComboBox::textActivated, this, [this](const QString&) { zoomboxChange(); });
            connect(zoombox->lineEdit(), &QLineEdit::returnPressed, this, [this] { zoomboxKeyPress(QChar('\r')); });
            ToolBar1->addWidget(zoombox);
            continue;
        }
        if (QByteArray(d.name) == "autobox") {
            // The batch box is filled by batch recording, which comes later.
            auto* box = new QComboBox(ToolBar1);
            box->setObjectName(QStringLiteral("autobox"));
            box->setToolTip(QString::fromUtf8(d.hint));
            box->setMinimumContentsLength(10);
            // Records added later get the room their names need.
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            box->setEnabled(false);
            ToolBar1->addWidget(box);
            continue;
        }
        const bool checkable = QByteArray(d.name) == "SpeedButton8" || QByteArray(d.name) == "SpeedButton11";
        MainWindowBuilder::button(*this, ToolBar1, d, checkable);
    }
    wireButton(Control<QToolButton>("SpeedButton32"), [this] { Zeichenleiste1Click(); });
    Control<QToolButton>("SpeedButton8")->setChecked(false);

    addToolBarBreak();
    ToolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    modeGroup_ = new QButtonGroup(this);
    modeGroup_->setExclusive(true);
    for (int i = 0; i < 6; ++i) {
        QToolButton* b = MainWindowBuilder::button(*this, ToolBar2, modeButtons[i], true);
        modeGroup_->addButton(b, i);
        wireButton(b, [this, i] { SelectMouseMode(i); });
    }
    ToolBar2->addSeparator();
    toolGroup_ = new QButtonGroup(this);
    toolGroup_->setExclusive(true);
    for (int i = 0; i < 10; ++i) {
        QToolButton* b = MainWindowBuilder::button(*this, ToolBar2, toolButtons[i], true);
        toolGroup_->addButton(b, i);
        wireButton(b, [this, b] { SpeedButton36Click(b); });
    }
    ToolBar2->addSeparator();

    auto picture = [this](const char* name, const char* hint, int w, int h) {
        auto* img = new TImage(ToolBar2);
        img->setObjectName(QString::fromLatin1(name));
        img->setToolTip(QString::fromUtf8(hint));
        img->setFixedSize(w, h);
        img->PictureBitmap()->SetSize(w, h);
        ToolBar2->addWidget(img);
        return img;
    };
    clearpen = picture("clearpen", "Linienart", 40, 20);
    spinedit1 = new TKitSpinEdit(ToolBar2);
    spinedit1->setObjectName(QStringLiteral("spinedit1"));
    spinedit1->setToolTip(QStringLiteral("Linienbreite"));
    spinedit1->setFixedSize(48, 22);
    spinedit1->SetButtonKind(bkStandard);
    spinedit1->setText(QString::number(std::max(1, options.linewidth)));
    spinedit1->OnChange = [this](TObject*) { TApplication::Guard([this] { spinedit1Change(); }); };
    ToolBar2->addWidget(spinedit1);
    auto panel = [this](const char* name, const char* hint) {
        auto* p = new QFrame(ToolBar2);
        p->setObjectName(QString::fromLatin1(name));
        p->setToolTip(QString::fromUtf8(hint));
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p->setFixedSize(22, 20);
        p->setAutoFillBackground(true);
        ToolBar2->addWidget(p);
        return p;
    };
    Panel5 = panel("Panel5", "Malfarbe");
    Panel6 = panel("Panel6", "Füllfarbe");
    Image2 = picture("Image2", "Füllart", 40, 20);
    pinselartn = picture("pinselartn", "Pinselart", 24, 20);
    clearpen->OnClick = [this](TObject*) { TApplication::Guard([this] { StylePictureClick(0, clearpen); }); };
    Image2->OnClick = [this](TObject*) { TApplication::Guard([this] { StylePictureClick(1, Image2); }); };
    pinselartn->OnClick = [this](TObject*) { TApplication::Guard([this] { StylePictureClick(2, pinselartn); }); };
    ToolBar2->addSeparator();
    FontComboBox1 = new TFontComboBox(ToolBar2);
    FontComboBox1->setObjectName(QStringLiteral("FontComboBox1"));
    FontComboBox1->setToolTip(QStringLiteral("Schriftart festlegen"));
    FontComboBox1->setFixedWidth(130);
    FontComboBox1->OnChange = [this](TObject*) { TApplication::Guard([this] { FontComboBox1Change(); }); };
    ToolBar2->addWidget(FontComboBox1);
    Edit1 = new QLineEdit(ToolBar2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setToolTip(QStringLiteral("Textinhalt"));
    Edit1->setFixedWidth(100);
    connect(Edit1, &QLineEdit::textChanged, this, [this] { TApplication::Guard([this] { Edit1Change(); }); });
    ToolBar2->addWidget(Edit1);
}

QToolButton* Tform1::MouseModeButton(int code) const
{
    return modeGroup_ ? qobject_cast<QToolButton*>(modeGroup_->button(code)) : nullptr;
}

QToolButton* Tform1::ToolButton(int code) const
{
    return toolGroup_ ? qobject_cast<QToolButton*>(toolGroup_->button(code)) : nullptr;
}

QString Tform1::MouseModeItemName(int code)
{
    return code >= 0 && code < kMouseModeCount ? QString::fromLatin1(modeItems[code]) : QString();
}

QString Tform1::ToolItemName(int code)
{
    return code >= 0 && code < 10 ? QString::fromLatin1(toolItems[code]) : QString();
}

void Tform1::insertSeparators()
{
    // Each position counts the separators inserted before it.
    const std::pair<const char*, std::vector<int>> places[] = {
        {"Datei1", {3, 9, 11, 16}}, {"Bearbeiten1", {2, 8}}, {"Farben1", {1, 3, 8}},
        {"Bild1", {3}},           {"DrehenSpiegeln1", {4}}, {"Batch1", {1}},
        {"Zeichnen1", {2, 13}},   {"Zoomen1", {8}},        {"Farbanzahlndern1", {4}},
        {"Fenster1", {1}},
    };
    for (const auto& [name, positions] : places) {
        QMenu* m = Menu(QString::fromLatin1(name));
        if (!m)
            continue;
        for (int pos : positions) {
            const QList<QAction*> acts = m->actions();
            QAction* sep = new QAction(m);
            sep->setSeparator(true);
            if (pos < acts.size())
                m->insertAction(acts[pos], sep);
            else
                m->addAction(sep);
        }
    }
}

void Tform1::transenglish()
{
    if (!IsEnglish())
        return;
    static const char* const branches[] = {
        "&Datei", "&Bearbeiten", "&Farben", "&Zeichnen", "&Ansicht", "&Katalog", "&Fenster", "&Hilfe",
        "&Bild", "&Neu", "S&canner", "Diasho&w", "&Batch", "Fa&rbanzahl ändern", "&Drehen/Spiegeln",
        "Als &Hintergrund für Windows", "&Kommentar", "&Linie", "&Füllen", "Bild", "Zoomen", "Maus&zeiger"};
    // Branches are found by their German captions before any of them changes.
    std::vector<QMenu*> found;
    for (const char* b : branches) {
        const QString caption = QString::fromUtf8(b);
        for (auto& [name, m] : menus_)
            if (m->title() == caption)
                found.push_back(m);
    }
    // Each caption once: a branch can be a direct item of another branch.
    QSet<QAction*> done;
    auto translate = [&done](QAction* a) {
        if (a->isSeparator() || done.contains(a))
            return;
        done.insert(a);
        a->setText(TranslatedCaption(a->text()));
    };
    for (QMenu* m : found) {
        translate(m->menuAction());
        for (QAction* a : m->actions())
            translate(a);
    }
}
