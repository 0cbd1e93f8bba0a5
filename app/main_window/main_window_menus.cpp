// The main window's menus and tool bars, built from tables with their German captions;
// English comes from the translation tables when the language is English.
#include "app/catalog/catalog_window.h"
#include "app/main_window/main_window.h"
#include "app/image_window/tool_glyphs.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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
        branch(ObjectName::MainWindow::Datei1, "&Datei",
               {branch(ObjectName::MainWindow::Neu1, "&Neu",
                       {{ObjectName::MainWindow::ffnen1, "&Grafik ..."},
                        {ObjectName::MainWindow::NeuenKatalogerstellen1, "&Katalog"}}),
                {ObjectName::MainWindow::ffnen2, "Ö&ffnen ..."},
                branch(ObjectName::MainWindow::Erneutladen1, "&Erneut laden", {}),
                {ObjectName::MainWindow::Speichern1, "S&peichern"},
                {ObjectName::MainWindow::Speichernals1, "Spe&ichern als ..."},
                {ObjectName::MainWindow::AlleSpeichern1, "All&e Speichern"},
                {ObjectName::MainWindow::Schliessen1, "&Schliessen"},
                {ObjectName::MainWindow::AlleSchliessen1, "&Alle Schliessen"},
                {ObjectName::MainWindow::Drucken1, "&Drucken ..."},
                branch(ObjectName::MainWindow::Scanner1, "S&canner",
                       {{ObjectName::MainWindow::Scanne1, "S&canne ..."},
                        {ObjectName::MainWindow::Scannerwhlen1, "Sca&nner wählen ..."}}),
                {ObjectName::MainWindow::Videobildimportieren1, "Videobild importieren ..."},
                branch(ObjectName::MainWindow::Diashow1, "Diasho&w",
                       {{ObjectName::MainWindow::Abspielen1, "A&bspielen"},
                        {ObjectName::MainWindow::Optionen1, "D&iashow"},
                        {ObjectName::MainWindow::DiashowdirektvomKatalog1, "&Diashow direkt vom Katalog"}}),
                {ObjectName::MainWindow::Optionen2, "&Optionen ..."},
                {ObjectName::MainWindow::Beenden1, "&Beenden"}}),
        branch(ObjectName::MainWindow::Bearbeiten1, "&Bearbeiten",
               {{ObjectName::MainWindow::Rckgngig1, "&Rückgängig"},
                {ObjectName::MainWindow::RckgngigPufferlschen1, "&Puffer für Rückgängig löschen"},
                {ObjectName::MainWindow::Ausschneiden1, "&Ausschneiden"},
                {ObjectName::MainWindow::Kopieren1, "&Kopieren"},
                {ObjectName::MainWindow::Einfgen1, "&Einfügen"},
                {ObjectName::MainWindow::Pastetorect1, "&In Markierung einfügen"},
                {ObjectName::MainWindow::ZumBearbeitenausschneiden1, "Zum &Bearbeiten ausschneiden"},
                {ObjectName::MainWindow::Allesauswhlen1, "Alles &markieren"},
                {ObjectName::MainWindow::NichtsAuswhlen1, "&Nichts markieren"}}),
        branch(ObjectName::MainWindow::Farben1, "&Farben",
               {{ObjectName::MainWindow::Farbenbearbeiten1, "&Farben bearbeiten ..."},
                {ObjectName::MainWindow::effects1, "&Effekte ..."},
                branch(ObjectName::MainWindow::Farbanzahlndern1, "Fa&rbanzahl ändern",
                       {{ObjectName::MainWindow::I1, "&2 Farben"},
                        {ObjectName::MainWindow::N16Farben1, "&16 Farben"},
                        {ObjectName::MainWindow::N256Farben8BitproPixel1, "25&6 Farben"},
                        {ObjectName::MainWindow::N16MillionenFarben772161, "16 Mil&lionen Farben (24 Bit pro Pixel)"},
                        {ObjectName::MainWindow::Farbenreduzieren1, "Fa&rbanzahl eingeben ..."}}),
                {ObjectName::MainWindow::InGraustufenumwandeln1, "&In Graustufen umwandeln"},
                {ObjectName::MainWindow::SchwarzWeissKonvertierung2, "&Schwarz Weiss Konvertierung ..."},
                {ObjectName::MainWindow::Negativ1, "&Negativ"},
                {ObjectName::MainWindow::Histogramm1, "&Histogramm"},
                {ObjectName::MainWindow::HSVKanle1, "HSV-&Kanäle"},
                {ObjectName::MainWindow::AnzahlderFarbenzeigen1, "&Anzahl der Farben zeigen"},
                {ObjectName::MainWindow::Hintergrundfarbesetzen1, "Hin&tergrundfarbe setzen ..."}}),
        branch(ObjectName::MainWindow::Bild1, "&Bild",
               {{ObjectName::MainWindow::REsize1, "&Größe ändern (Resize) ..."},
                {ObjectName::MainWindow::Resample1, "G&röße ändern (Resample) ..."},
                branch(ObjectName::MainWindow::DrehenSpiegeln1, "&Drehen/Spiegeln",
                       {{ObjectName::MainWindow::N90imUhrzeigersinndrehen1, "90° im &Uhrzeigersinn drehen"},
                        {ObjectName::MainWindow::N90gegenUhrzeigersinndrehen1, "90° drehe&n"},
                        {ObjectName::MainWindow::N180drehen1, "&180° drehen"},
                        {ObjectName::MainWindow::Winkeleingeben1, "&Winkel eingeben ..."},
                        {ObjectName::MainWindow::Vertikalspiegeln1, "&Vertikal spiegeln"},
                        {ObjectName::MainWindow::Horizontalspiegeln1, "&Horizontal spiegeln"}}),
                {ObjectName::MainWindow::merge1, "&Verschmelzen ..."},
                {ObjectName::MainWindow::duplizieren1, "D&uplizieren"},
                {ObjectName::MainWindow::MitHinterrundfarbelschen1, "Mit Hintergrundfarbe &löschen"},
                branch(ObjectName::MainWindow::AlsHintergrund1, "Als &Hintergrund für Windows",
                       {{ObjectName::MainWindow::Zentriert1, "&Zentriert"},
                        {ObjectName::MainWindow::Kacheln1, "&Kacheln"}}),
                branch(ObjectName::MainWindow::Kommentar1, "&Kommentar",
                       {{ObjectName::MainWindow::Kommentaraufnehmen1, "Ton&kommentar aufnehmen"},
                        {ObjectName::MainWindow::Kommentarabspielen1, "Tonkommentar a&bspielen"},
                        {ObjectName::MainWindow::Kommentarlschen1, "Tonk&ommentar löschen"},
                        {ObjectName::MainWindow::Kommentarimportieren1, "Tonkommentar &importieren ..."},
                        {ObjectName::MainWindow::Aufnahmeeinstellungen1, "&Aufnahmeeinstellungen ..."},
                        {ObjectName::MainWindow::Text2, "&Textkommentar festlegen"}})}),
        branch(ObjectName::MainWindow::Zeichnen1, "&Zeichnen",
               {{ObjectName::MainWindow::Stift1, "&Stift"},
                {ObjectName::MainWindow::Linie2, "Li&nie"},
                {ObjectName::MainWindow::Rechteck1, "&Rechteck / Quadrat"},
                {ObjectName::MainWindow::Kreis1, "Ellipse / &Kreis"},
                {ObjectName::MainWindow::RundesRechteck1, "R&undes Rechteck"},
                {ObjectName::MainWindow::Fllen2, "F&arbfüllen"},
                {ObjectName::MainWindow::Text1, "&Text"},
                {ObjectName::MainWindow::Farbebernehmen1, "Farbe ü&bernehmen"},
                {ObjectName::MainWindow::RoteAugenentfernen1, "Rote Au&gen entfernen"},
                {ObjectName::MainWindow::mitBildkopiemalen1, "Mit Bild&kopie malen"},
                {ObjectName::MainWindow::Malfarbe1, "Mal&farbe ..."},
                {ObjectName::MainWindow::Pinselart1, "&Pinselart ..."},
                branch(ObjectName::MainWindow::Linie1, "&Linie",
                       {{ObjectName::MainWindow::Linienart1, "&Linienart ..."},
                        {ObjectName::MainWindow::Linienbreite1, "Linien&breite ..."}}),
                branch(ObjectName::MainWindow::Fllen1, "&Füllen",
                       {{ObjectName::MainWindow::Fllfarbe1, "Füllf&arbe ..."},
                        {ObjectName::MainWindow::Fllart1, "Fülla&rt ..."}}),
                {ObjectName::MainWindow::Textinhaltfestlegen1, "Textin&halt festlegen ..."},
                {ObjectName::MainWindow::Schriftartfestlegen1, "&Optionen für Text ..."}}),
        branch(ObjectName::MainWindow::Ansicht1, "&Ansicht",
               {branch(ObjectName::MainWindow::Zoomen1, "Zoomen",
                       {{ObjectName::MainWindow::N5001, "500 %"},
                        {ObjectName::MainWindow::N3001, "300 %"},
                        {ObjectName::MainWindow::N2001, "200 %"},
                        {ObjectName::MainWindow::N1001, "&100 %"},
                        {ObjectName::MainWindow::N751, " 75 %"},
                        {ObjectName::MainWindow::N501, " 50 %"},
                        {ObjectName::MainWindow::N251, " 25 %"},
                        {ObjectName::MainWindow::N101, " 10 %"},
                        {ObjectName::MainWindow::Fenstergre1, "&Fenstergröße"},
                        {ObjectName::MainWindow::Greangeben1, "&Größe angeben ..."}}),
                branch(ObjectName::MainWindow::Mauszeiger1, "Maus&zeiger",
                       {{ObjectName::MainWindow::Zeichenen1, "&Zeichnen"},
                        {ObjectName::MainWindow::Bereichauswhlen1, "Rechteckigen &Bereich auswählen"},
                        {ObjectName::MainWindow::Polygonauswahl1, "&Polygonauswahl"},
                        {ObjectName::MainWindow::Kreisauswahl1, "&Kreisauswahl"},
                        {ObjectName::MainWindow::Hand1, "&Hand"},
                        {ObjectName::MainWindow::Zoom1, "&Zoom"}}),
                {ObjectName::MainWindow::Standardleiste1, "&Standardleiste"},
                {ObjectName::MainWindow::Zeichenleiste1, "&Zeichenleiste"},
                {ObjectName::MainWindow::Lineal1, "&Lineal"},
                {ObjectName::MainWindow::Statusleiste1, "&Statusleiste"}}),
        branch(ObjectName::MainWindow::Batch1, "&Batch",
               {{ObjectName::MainWindow::Neuaufnehmen1, "&Neu aufnehmen"},
                {ObjectName::MainWindow::Aufnahmestoppen1, "Au&fnahme stoppen"},
                {ObjectName::MainWindow::AufaktuellesBildanwenden1, "A&bspielen / Auf aktuelles Bild anwenden"},
                {ObjectName::MainWindow::AufallegeladenenBilderanwenden1, "Auf alle &geladenen Bilder anwenden"},
                {ObjectName::MainWindow::AufVerzeichnisanwenden1, "Auf &Verzeichnis / Dateiliste anwenden ..."},
                {ObjectName::MainWindow::Bildereinscannen1, "Bilder aus &Scanner"},
                {ObjectName::MainWindow::Batch2, "Bat&ch ..."}}),
        branch(ObjectName::MainWindow::Katalog1, "&Katalog",
               {{ObjectName::MainWindow::Katalogspeichern1, "&Katalog speichern"},
                {ObjectName::MainWindow::Katalogspeichernals1, "Katalog s&peichern als ..."},
                {ObjectName::MainWindow::Dateihinzufgen1, "&Datei hinzufügen ..."},
                {ObjectName::MainWindow::Dateientfernen1, "Datei &entfernen"},
                {ObjectName::MainWindow::Bilderneuladen1, "&Bilder neu laden"},
                {ObjectName::MainWindow::AlleBilderneuladen1, "Alle B&ilder neu laden"},
                {ObjectName::MainWindow::Bilderneuladen2, "Bilder &aktualisieren"},
                {ObjectName::MainWindow::nichtexistierendeBilderentfernen1, "&Fehlende Bilder entfernen"},
                {ObjectName::MainWindow::Allemarkieren1, "Alles &markieren"},
                {ObjectName::MainWindow::Katalogschliessen1, "Katalog &schliessen"}}),
        branch(ObjectName::MainWindow::Fenster1, "&Fenster",
               {{ObjectName::MainWindow::AufBildgreanpassen1, "&Auf Bildgröße anpassen"},
                {ObjectName::MainWindow::Nebeneinander1, "&Nebeneinander"},
                {ObjectName::MainWindow::Untereinander1, "&Untereinander"},
                {ObjectName::MainWindow::bereinander1, "Ü&bereinander"}}),
        branch(ObjectName::MainWindow::Hilfe1, "&Hilfe",
               {{ObjectName::MainWindow::Hilfethemen1, "Hilfe&themen ..."},
                {ObjectName::MainWindow::Hilfeverwenden1, "&Hilfe verwenden ..."},
                {ObjectName::MainWindow::Willkommen1, "Willkommen ..."},
                {ObjectName::MainWindow::UntersttzteBatchFunktionen1, "Unterstützte Batch-Funktionen ..."},
                {ObjectName::MainWindow::WeitereProgramme1, "&Weitere Programme ..."},
                {ObjectName::MainWindow::berdasProgramm1, "Ü&ber das Programm ..."}}),
    };
    return menu;
}

// Tool-bar buttons: name, German hint, glyph.
struct ButtonDef {
    const char* name;
    const char* hint;
};

const ButtonDef standardButtons[] = {
    {ObjectName::MainWindow::SpeedButton1, "Neue Grafik"},
    {ObjectName::MainWindow::OpenBtn, "Öffnen"},
    {ObjectName::MainWindow::SaveBtn, "Speichern"},
    {ObjectName::MainWindow::printbtn, "Drucken"},
    {ObjectName::MainWindow::scanbtn, "Scannen"},
    {ObjectName::MainWindow::SpeedButton57, "Videobild importieren"},
    {ObjectName::MainWindow::SpeedButton9, "Diashow"},
    {ObjectName::MainWindow::CutBtn, "Ausschneiden"},
    {ObjectName::MainWindow::CopyBtn, "Kopieren"},
    {ObjectName::MainWindow::PasteBtn, "Einfügen"},
    {ObjectName::MainWindow::SpeedButton3, "Rückgängig"},
    {nullptr, nullptr},  // the zoom box
    {ObjectName::MainWindow::SpeedButton2, "Effekte"},
    {ObjectName::MainWindow::SpeedButton4, "Farben bearbeiten"},
    {ObjectName::MainWindow::SpeedButton35, "Kommentar abspielen"},
    {ObjectName::MainWindow::SpeedButton37, "Kommentar aufnehmen"},
    {ObjectName::MainWindow::autobox, "Batch"},
    {ObjectName::MainWindow::SpeedButton13, "Abspielen / Auf aktuelles Bild anwenden"},
    {ObjectName::MainWindow::SpeedButton11, "Neue Batch-Aufnahme"},
    {ObjectName::MainWindow::SpeedButton8, "Batch-Aufnahme stoppen"},
    {ObjectName::MainWindow::SpeedButton32, "Zeichenleiste anzeigen"},
    {ObjectName::MainWindow::SpeedButton58, "Hilfe"},
};

// In code order 0 … 5 (draw, rectangle, polygon, circle, hand, zoom).
const ButtonDef modeButtons[] = {
    {ObjectName::MainWindow::speedbutton30, "Zeichnen"},
    {ObjectName::MainWindow::SpeedButton5, "Rechteckigen Bereich auswälen"},
    {ObjectName::MainWindow::SpeedButton34, "Polygonauswahl"},
    {ObjectName::MainWindow::SpeedButton33, "Kreisauswahl"},
    {ObjectName::MainWindow::SpeedButton6, "Hand"},
    {ObjectName::MainWindow::SpeedButton7, "Zoom"},
};
const char* const modeItems[] = {ObjectName::MainWindow::Zeichenen1,
                                 ObjectName::MainWindow::Bereichauswhlen1,
                                 ObjectName::MainWindow::Polygonauswahl1,
                                 "Kreisauswahl1",
                                 "Hand1",
                                 "Zoom1"};

// In code order 0 … 9.
const ButtonDef toolButtons[] = {
    {ObjectName::MainWindow::PenButton, "Stift"},
    {ObjectName::MainWindow::SpeedButton36, "Linie"},
    {ObjectName::MainWindow::SpeedButton63, "Rechteck / Quadrat"},
    {ObjectName::MainWindow::SpeedButton64, "Ellipse / Kreis"},
    {ObjectName::MainWindow::SpeedButton65, "Rundes Rechteck"},
    {ObjectName::MainWindow::fillbutton, "Farbfüllen"},
    {ObjectName::MainWindow::SpeedButton31, "Text"},
    {ObjectName::MainWindow::SpeedButton55, "Farbe übernehmen"},
    {ObjectName::MainWindow::SpeedButton56, "Rote Augen entfernen"},
    {ObjectName::MainWindow::SpeedButton38, "Mit Bildkopie malen"},
};
const char* const toolItems[] = {ObjectName::MainWindow::Stift1,
                                 ObjectName::MainWindow::Linie2,
                                 ObjectName::MainWindow::Rechteck1,
                                 ObjectName::MainWindow::Kreis1,
                                 ObjectName::MainWindow::RundesRechteck1,
                                 "Fllen2",
                                 "Text1",
                                 "Farbebernehmen1",
                                 "RoteAugenentfernen1",
                                 "mitBildkopiemalen1"};

const int zoomItemValues[] = {500, 300, 200, 100, 75, 50, 25, 10};
const char* const zoomItemNames[] = {ObjectName::MainWindow::N5001, ObjectName::MainWindow::N3001,
                                     ObjectName::MainWindow::N2001, ObjectName::MainWindow::N1001,
                                     ObjectName::MainWindow::N751,  ObjectName::MainWindow::N501,
                                     ObjectName::MainWindow::N251,  ObjectName::MainWindow::N101};

}  // namespace

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
    wire(Item(ObjectName::MainWindow::Fenstergre1), [this] { zoomToWindowClicked(); });
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
    for (const char* n : {ObjectName::MainWindow::Standardleiste1, ObjectName::MainWindow::Zeichenleiste1,
                          ObjectName::MainWindow::Lineal1, ObjectName::MainWindow::Statusleiste1})
        Item(QString::fromLatin1(n))->setCheckable(true);
    wire(Item(ObjectName::MainWindow::Standardleiste1), [this] { standardBarClicked(); });
    wire(Item(ObjectName::MainWindow::Zeichenleiste1), [this] { drawingBarClicked(); });
    wire(Item(ObjectName::MainWindow::Lineal1), [this] { rulerClicked(); });
    wire(Item(ObjectName::MainWindow::Statusleiste1), [this] { statusBarClicked(); });
    wire(Item(ObjectName::MainWindow::Nebeneinander1), [this] { tileSideBySideClicked(); });
    wire(Item(ObjectName::MainWindow::Untereinander1), [this] { tileStackedClicked(); });
    wire(Item(ObjectName::MainWindow::bereinander1), [this] { cascadeClicked(); });
    wire(Item(ObjectName::MainWindow::Beenden1), [this] { exitClicked(); });
    wire(Item(ObjectName::MainWindow::Linienbreite1), [this] { lineWidthClicked(); });
}

void Tform1::buildToolBars()
{
    standardBar = addToolBar(QLatin1String(ObjectName::MainWindow::ToolBar1));
    standardBar->setObjectName(QLatin1String(ObjectName::MainWindow::ToolBar1));
    standardBar->setMovable(false);
    for (const ButtonDef& d : standardButtons) {
        if (!d.name) {
            zoombox = new QComboBox(standardBar);
            zoombox->setObjectName(QLatin1String(ObjectName::MainWindow::zoombox));
            zoombox->setToolTip(QStringLiteral("Zoomwert"));
            zoombox->setEditable(true);
            zoombox->setInsertPolicy(QComboBox::NoInsert);
            // A typed number counts as typed: no completion to the first preset it begins.
            zoombox->setCompleter(nullptr);
            zoombox->setMinimumContentsLength(12);
            zoombox->addItems({QStringLiteral("500 %"), QStringLiteral("300 %"), QStringLiteral("200 %"),
                               QStringLiteral("150 %"), QStringLiteral("100 %"), QStringLiteral("75 %"),
                               QStringLiteral("50 %"), QStringLiteral("25 %"), QStringLiteral("10 %"),
                               QStringLiteral("Fenstergröße")});
            connect(zoombox, &QComboBox::textActivated, this, [this](const QString&) { zoomBoxChanged(); });
            connect(zoombox->lineEdit(), &QLineEdit::returnPressed, this, [this] { zoomBoxKeyPress(QChar('\r')); });
            standardBar->addWidget(zoombox);
            continue;
        }
        if (QByteArray(d.name) == ObjectName::MainWindow::autobox) {
            // The batch box is filled by batch recording, which comes later.
            auto* box = new QComboBox(standardBar);
            box->setObjectName(QLatin1String(ObjectName::MainWindow::autobox));
            box->setToolTip(QString::fromUtf8(d.hint));
            box->setMinimumContentsLength(10);
            // Records added later get the room their names need.
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            box->setEnabled(false);
            standardBar->addWidget(box);
            continue;
        }
        const bool checkable = QByteArray(d.name) == ObjectName::MainWindow::SpeedButton8 ||
                               QByteArray(d.name) == ObjectName::MainWindow::SpeedButton11;
        MainWindowBuilder::button(*this, standardBar, d, checkable);
    }
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton32), [this] { drawingBarClicked(); });
    Control<QToolButton>(ObjectName::MainWindow::SpeedButton8)->setChecked(false);

    addToolBarBreak();
    drawingBar = addToolBar(QLatin1String(ObjectName::MainWindow::ToolBar2));
    drawingBar->setObjectName(QLatin1String(ObjectName::MainWindow::ToolBar2));
    drawingBar->setMovable(false);
    modeGroup_ = new QButtonGroup(this);
    modeGroup_->setExclusive(true);
    for (int i = 0; i < 6; ++i) {
        QToolButton* b = MainWindowBuilder::button(*this, drawingBar, modeButtons[i], true);
        modeGroup_->addButton(b, i);
        wireButton(b, [this, i] { SelectMouseMode(i); });
    }
    drawingBar->addSeparator();
    toolGroup_ = new QButtonGroup(this);
    toolGroup_->setExclusive(true);
    for (int i = 0; i < 10; ++i) {
        QToolButton* b = MainWindowBuilder::button(*this, drawingBar, toolButtons[i], true);
        toolGroup_->addButton(b, i);
        wireButton(b, [this, b] { toolClicked(b); });
    }
    drawingBar->addSeparator();

    auto picture = [this](const char* name, const char* hint, int w, int h) {
        auto* img = new TImage(drawingBar);
        img->setObjectName(QString::fromLatin1(name));
        img->setToolTip(QString::fromUtf8(hint));
        img->setFixedSize(w, h);
        img->PictureBitmap()->SetSize(w, h);
        drawingBar->addWidget(img);
        return img;
    };
    lineStylePicture = picture(ObjectName::MainWindow::clearpen, "Linienart", 40, 20);
    lineWidthEdit = new TKitSpinEdit(drawingBar);
    lineWidthEdit->setObjectName(QLatin1String(ObjectName::MainWindow::spinedit1));
    lineWidthEdit->setToolTip(QStringLiteral("Linienbreite"));
    lineWidthEdit->setFixedSize(48, 22);
    lineWidthEdit->SetButtonKind(bkStandard);
    lineWidthEdit->setText(QString::number(std::max(1, options.linewidth)));
    lineWidthEdit->OnChange = [this](TObject*) { TApplication::Guard([this] { lineWidthChanged(); }); };
    drawingBar->addWidget(lineWidthEdit);
    auto panel = [this](const char* name, const char* hint) {
        auto* p = new QFrame(drawingBar);
        p->setObjectName(QString::fromLatin1(name));
        p->setToolTip(QString::fromUtf8(hint));
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p->setFixedSize(22, 20);
        p->setAutoFillBackground(true);
        drawingBar->addWidget(p);
        return p;
    };
    penColorPanel = panel(ObjectName::MainWindow::Panel5, "Malfarbe");
    fillColorPanel = panel(ObjectName::MainWindow::Panel6, "Füllfarbe");
    fillStylePicture = picture(ObjectName::MainWindow::Image2, "Füllart", 40, 20);
    brushStylePicture = picture(ObjectName::MainWindow::pinselartn, "Pinselart", 24, 20);
    lineStylePicture->OnClick = [this](TObject*) {
        TApplication::Guard([this] { stylePictureClicked(0, lineStylePicture); });
    };
    fillStylePicture->OnClick = [this](TObject*) {
        TApplication::Guard([this] { stylePictureClicked(1, fillStylePicture); });
    };
    brushStylePicture->OnClick = [this](TObject*) {
        TApplication::Guard([this] { stylePictureClicked(2, brushStylePicture); });
    };
    drawingBar->addSeparator();
    drawingFontCombo = new TFontComboBox(drawingBar);
    drawingFontCombo->setObjectName(QLatin1String(ObjectName::MainWindow::FontComboBox1));
    drawingFontCombo->setToolTip(QStringLiteral("Schriftart festlegen"));
    drawingFontCombo->setFixedWidth(130);
    drawingFontCombo->OnChange = [this](TObject*) { TApplication::Guard([this] { drawingFontChanged(); }); };
    drawingBar->addWidget(drawingFontCombo);
    drawingTextEdit = new QLineEdit(drawingBar);
    drawingTextEdit->setObjectName(QLatin1String(ObjectName::MainWindow::Edit1));
    drawingTextEdit->setToolTip(QStringLiteral("Textinhalt"));
    drawingTextEdit->setFixedWidth(100);
    connect(drawingTextEdit, &QLineEdit::textChanged, this,
            [this] { TApplication::Guard([this] { drawingTextChanged(); }); });
    drawingBar->addWidget(drawingTextEdit);
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
        {ObjectName::MainWindow::Datei1, {3, 9, 11, 16}}, {ObjectName::MainWindow::Bearbeiten1, {2, 8}},
        {ObjectName::MainWindow::Farben1, {1, 3, 8}},     {ObjectName::MainWindow::Bild1, {3}},
        {ObjectName::MainWindow::DrehenSpiegeln1, {4}},   {ObjectName::MainWindow::Batch1, {1}},
        {ObjectName::MainWindow::Zeichnen1, {2, 13}},     {ObjectName::MainWindow::Zoomen1, {8}},
        {ObjectName::MainWindow::Farbanzahlndern1, {4}},  {ObjectName::MainWindow::Fenster1, {1}},
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

void Tform1::translateToEnglish()
{
    if (!IsEnglish())
        return;
    static const char* const branches[] = {"&Datei",
                                           "&Bearbeiten",
                                           "&Farben",
                                           "&Zeichnen",
                                           "&Ansicht",
                                           "&Katalog",
                                           "&Fenster",
                                           "&Hilfe",
                                           "&Bild",
                                           "&Neu",
                                           "S&canner",
                                           "Diasho&w",
                                           "&Batch",
                                           "Fa&rbanzahl ändern",
                                           "&Drehen/Spiegeln",
                                           "Als &Hintergrund für Windows",
                                           "&Kommentar",
                                           "&Linie",
                                           "&Füllen",
                                           "Bild",
                                           "Zoomen",
                                           "Maus&zeiger"};
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
