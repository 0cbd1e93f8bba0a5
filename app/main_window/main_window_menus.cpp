// The main window's menus and standard bar, built from the menu layout and the command
// table's rows with their German captions; English comes from the translation tables.
#include "app/catalog/catalog_window.h"
#include "app/commands/command_table.h"
#include "app/main_window/bar_wiring.h"
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
#include <stdexcept>
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
                branch(ObjectName::MainWindow::Scanner1, "S&canner", {{ObjectName::MainWindow::Scanne1, "S&canne ..."}}),
                branch(ObjectName::MainWindow::Diashow1, "Diasho&w",
                       {{ObjectName::MainWindow::Abspielen1, "A&bspielen"},
                        {ObjectName::MainWindow::Optionen1, "D&iashow"},
                        {ObjectName::MainWindow::DiashowdirektvomKatalog1, "&Diashow direkt vom Katalog"}}),
                {ObjectName::MainWindow::Optionen2, "&Optionen ..."},
                {ObjectName::MainWindow::Beenden1, "&Beenden"}}),
        branch(ObjectName::MainWindow::Bearbeiten1, "&Bearbeiten",
               {{ObjectName::MainWindow::RckgngigPufferlschen1, "&Puffer für Rückgängig löschen"},
                {ObjectName::MainWindow::Ausschneiden1, "&Ausschneiden"},
                {ObjectName::MainWindow::Kopieren1, "&Kopieren"},
                {ObjectName::MainWindow::Pastetorect1, "&In Markierung einfügen"},
                {ObjectName::MainWindow::ZumBearbeitenausschneiden1, "Zum &Bearbeiten ausschneiden"}}),
        branch(ObjectName::MainWindow::Farben1, "&Farben",
               {branch(ObjectName::MainWindow::Farbanzahlndern1, "Fa&rbanzahl ändern",
                       {{ObjectName::MainWindow::Farbenreduzieren1, "Fa&rbanzahl eingeben ..."}}),
                {ObjectName::MainWindow::SchwarzWeissKonvertierung2, "&Schwarz Weiss Konvertierung ..."},
                {ObjectName::MainWindow::Hintergrundfarbesetzen1, "Hin&tergrundfarbe setzen ..."}}),
        branch(ObjectName::MainWindow::Bild1, "&Bild",
               {{ObjectName::MainWindow::REsize1, "&Größe ändern (Resize) ..."},
                {ObjectName::MainWindow::Resample1, "G&röße ändern (Resample) ..."},
                branch(ObjectName::MainWindow::DrehenSpiegeln1, "&Drehen/Spiegeln",
                       {{ObjectName::MainWindow::Winkeleingeben1, "&Winkel eingeben ..."}}),
                branch(ObjectName::MainWindow::AlsHintergrund1, "Als &Hintergrund für Windows", {}),
                branch(ObjectName::MainWindow::Kommentar1, "&Kommentar",
                       {{ObjectName::MainWindow::Aufnahmeeinstellungen1, "&Aufnahmeeinstellungen ..."}})}),
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
    {ObjectName::MainWindow::SpeedButton9, "Diashow"},
    {ObjectName::MainWindow::CutBtn, "Ausschneiden"},
    {ObjectName::MainWindow::CopyBtn, "Kopieren"},
    {ObjectName::MainWindow::PasteBtn, "Einfügen"},
    {nullptr, nullptr},  // the zoom box
    {ObjectName::MainWindow::autobox, "Batch"},
    {ObjectName::MainWindow::SpeedButton13, "Abspielen / Auf aktuelles Bild anwenden"},
    {ObjectName::MainWindow::SpeedButton11, "Neue Batch-Aufnahme"},
    {ObjectName::MainWindow::SpeedButton8, "Batch-Aufnahme stoppen"},
    {ObjectName::MainWindow::SpeedButton32, "Zeichenleiste anzeigen"},
    {ObjectName::MainWindow::SpeedButton58, "Hilfe"},
};

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
};

namespace {

// Places each entry with place, which fails while the control it follows is still missing:
// a command's item may follow another command's.
template <class T, class Place> void placeAll(std::vector<T> pending, Place place)
{
    while (!pending.empty()) {
        const size_t before = pending.size();
        std::erase_if(pending, place);
        if (pending.size() == before)
            throw std::logic_error("a command's place names a control that does not exist");
    }
}

// The action after the one named, in actions: where an entry that follows it goes.
QAction* following(const QList<QAction*>& actions, const std::function<bool(QAction*)>& isAnchor)
{
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (isAnchor(actions[i]))
            return actions.value(i + 1, nullptr);
    return nullptr;
}

}  // namespace

QToolButton* MakeBarButton(QToolBar* bar, const char* name, const char* hint, bool checkable, QAction* before)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromUtf8(hint));
    b->setIcon(ToolGlyph(QString::fromLatin1(name)));
    b->setAutoRaise(true);
    b->setCheckable(checkable);
    b->setEnabled(false);
    bar->insertWidget(before, b);
    return b;
}

void Tform1::addCommandItems()
{
    std::vector<const TCommandItem*> items;
    for (const TCommandEntry& command : CommandTable())
        for (const TCommandItem& item : command.items)
            if (item.name)
                items.push_back(&item);
    placeAll(items, [this](const TCommandItem* item) {
        QMenu* menu = Menu(QString::fromLatin1(item->menu));
        QAction* anchor = item->after ? Item(QString::fromLatin1(item->after)) : nullptr;
        if (!menu || (item->after && !anchor))
            return false;
        const QList<QAction*> actions = menu->actions();
        QAction* before = anchor ? following(actions, [anchor](QAction* a) { return a == anchor; }) : actions.value(0);
        auto* a = new QAction(QString::fromUtf8(item->german), menu);
        a->setObjectName(QString::fromLatin1(item->name));
        a->setEnabled(false);
        menu->insertAction(before, a);
        items_[a->objectName()] = a;
        return true;
    });
}

void Tform1::addCommandButtons()
{
    std::vector<const TCommandButton*> buttons;
    for (const TCommandEntry& command : CommandTable())
        if (command.button.name)
            buttons.push_back(&command.button);
    placeAll(buttons, [this](const TCommandButton* button) {
        const QString anchor = QString::fromLatin1(button->after);
        if (!Control<QWidget>(anchor))
            return false;
        QAction* before = following(standardBar->actions(), [this, &anchor](QAction* a) {
            const QWidget* w = standardBar->widgetForAction(a);
            return w && w->objectName() == anchor;
        });
        MakeBarButton(standardBar, button->name, button->hint, false, before);
        return true;
    });
}

void Tform1::wireCommandRows()
{
    for (const TCommandEntry& command : CommandTable()) {
        const uint8_t code = command.code;
        const TCommandPreset preset = command.preset;
        for (const TCommandItem& item : command.items)
            if (item.name)
                wire(Item(QString::fromLatin1(item.name)), [this, code, preset, arg = item.arg] {
                    if (preset)
                        preset(automatitem, arg);
                    runcode(code);
                });
        if (command.button.name)
            wireButton(Control<QToolButton>(QString::fromLatin1(command.button.name)), [this, code] { runcode(code); });
    }
}

void Tform1::buildMenus()
{
    for (const MenuDef& d : mainMenu())
        MainWindowBuilder::addMenu(*this, nullptr, d);
    addCommandItems();

    for (int i = 0; i < 8; ++i) {
        const int z = zoomItemValues[i];
        wire(Item(QString::fromLatin1(zoomItemNames[i])), [this, z] { SetZoomOfActive(z); });
    }
    wire(Item(ObjectName::MainWindow::Fenstergre1), [this] { zoomToWindowClicked(); });
    ConnectCatalogMenu(*this);
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
        MakeBarButton(standardBar, d.name, d.hint, checkable);
    }
    addCommandButtons();
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton32), [this] { drawingBarClicked(); });
    Control<QToolButton>(ObjectName::MainWindow::SpeedButton8)->setChecked(false);

    addToolBarBreak();
    drawingBar = addToolBar(QLatin1String(ObjectName::MainWindow::ToolBar2));
    drawingBar->setObjectName(QLatin1String(ObjectName::MainWindow::ToolBar2));
    drawing_ = std::make_unique<TDrawingBar>(*this, drawingBar);
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
