#include "app/forms/catalog_window.h"
#include "app/forms/forms_test_util.h"
#include "app/options/option_file.h"
#include "app/text/language.h"
#include "controls/edits/spin_edit.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <functional>

namespace {

// Mouse modes in group order: button, hint, menu item, caption.
struct GroupRow {
    const char* button;
    const char* hint;
    const char* item;
    const char* caption;
};
const GroupRow modeRows[] = {
    {"speedbutton30", "Zeichnen", "Zeichenen1", "&Zeichnen"},
    {"SpeedButton5", "Rechteckigen Bereich auswälen", "Bereichauswhlen1", "Rechteckigen &Bereich auswählen"},
    {"SpeedButton34", "Polygonauswahl", "Polygonauswahl1", "&Polygonauswahl"},
    {"SpeedButton33", "Kreisauswahl", "Kreisauswahl1", "&Kreisauswahl"},
    {"SpeedButton6", "Hand", "Hand1", "&Hand"},
    {"SpeedButton7", "Zoom", "Zoom1", "&Zoom"},
};
const GroupRow toolRows[] = {
    {"PenButton", "Stift", "Stift1", "&Stift"},
    {"SpeedButton36", "Linie", "Linie2", "Li&nie"},
    {"SpeedButton63", "Rechteck / Quadrat", "Rechteck1", "&Rechteck / Quadrat"},
    {"SpeedButton64", "Ellipse / Kreis", "Kreis1", "Ellipse / &Kreis"},
    {"SpeedButton65", "Rundes Rechteck", "RundesRechteck1", "R&undes Rechteck"},
    {"fillbutton", "Farbfüllen", "Fllen2", "F&arbfüllen"},
    {"SpeedButton31", "Text", "Text1", "&Text"},
    {"SpeedButton55", "Farbe übernehmen", "Farbebernehmen1", "Farbe ü&bernehmen"},
    {"SpeedButton56", "Rote Augen entfernen", "RoteAugenentfernen1", "Rote Au&gen entfernen"},
    {"SpeedButton38", "Mit Bildkopie malen", "mitBildkopiemalen1", "Mit Bild&kopie malen"},
};

enum Kind { kNone, kImage, kCatalog };

// Menu items bound here, their caption and whether they can be reached per window kind.
struct ItemRow {
    const char* item;
    const char* caption;
    bool none, image, catalog;
};
const ItemRow itemRows[] = {
    {"N5001", "500 %", false, true, false},
    {"N3001", "300 %", false, true, false},
    {"N2001", "200 %", false, true, false},
    {"N1001", "&100 %", false, true, false},
    {"N751", " 75 %", false, true, false},
    {"N501", " 50 %", false, true, false},
    {"N251", " 25 %", false, true, false},
    {"N101", " 10 %", false, true, false},
    {"Fenstergre1", "&Fenstergröße", false, true, false},
    {"Standardleiste1", "&Standardleiste", true, true, true},
    {"Zeichenleiste1", "&Zeichenleiste", true, true, true},
    {"Lineal1", "&Lineal", true, true, true},
    {"Statusleiste1", "&Statusleiste", true, true, true},
    {"Linienbreite1", "Linien&breite ...", true, true, true},
    {"Nebeneinander1", "&Nebeneinander", false, true, true},
    {"Untereinander1", "&Untereinander", false, true, true},
    {"bereinander1", "Ü&bereinander", false, true, true},
    {"Abspielen1", "A&bspielen", true, true, true},
    {"Optionen1", "D&iashow", true, true, true},
    {"Kommentaraufnehmen1", "Ton&kommentar aufnehmen", false, true, false},
    {"Text2", "&Textkommentar festlegen", false, true, false},
    {"Kommentarlschen1", "Tonk&ommentar löschen", false, true, false},
    {"Kommentarabspielen1", "Tonkommentar a&bspielen", false, true, false},
    {"Kommentarimportieren1", "Tonkommentar &importieren ...", false, true, false},
    {"DiashowdirektvomKatalog1", "&Diashow direkt vom Katalog", false, false, true},
};

// Items whose handlers come with later dialogs: only the caption is fixed here.
const std::pair<const char*, const char*> captionRows[] = {
    {"Greangeben1", "&Größe angeben ..."},
    {"N16MillionenFarben772161", "16 Mil&lionen Farben (24 Bit pro Pixel)"},
    {"Textinhaltfestlegen1", "Textin&halt festlegen ..."},
    {"Schriftartfestlegen1", "&Optionen für Text ..."},
    {"SchwarzWeissKonvertierung2", "&Schwarz Weiss Konvertierung ..."},
    {"ZumBearbeitenausschneiden1", "Zum &Bearbeiten ausschneiden"},
    {"RckgngigPufferlschen1", "&Puffer für Rückgängig löschen"},
    {"Hilfethemen1", "Hilfe&themen ..."},
    {"Hilfeverwenden1", "&Hilfe verwenden ..."},
    {"berdasProgramm1", "Ü&ber das Programm ..."},
    {"WeitereProgramme1", "&Weitere Programme ..."},
    {"UntersttzteBatchFunktionen1", "Unterstützte Batch-Funktionen ..."},
    {"Willkommen1", "Willkommen ..."},
};

// Enabled and every enclosing menu enabled too: what a user can actually reach.
bool reachable(QMenuBar* bar, QAction* target)
{
    std::function<bool(QMenu*)> search = [&](QMenu* m) {
        if (!m->menuAction()->isEnabled())
            return false;
        for (QAction* a : m->actions()) {
            if (a == target)
                return a->isEnabled();
            if (a->menu() && search(a->menu()))
                return true;
        }
        return false;
    };
    for (QAction* a : bar->actions())
        if (a->menu() && search(a->menu()))
            return true;
    return false;
}

class MainWindowActions : public MainWindowTest {
protected:
    void TearDown() override
    {
        SetInputQueryHook(nullptr);
        MainWindowTest::TearDown();
        SetLanguage(langGerman);
    }
    QToolButton* button(const char* name) { return form->Control<QToolButton>(QString::fromLatin1(name)); }
    QAction* item(const char* name) { return form->Item(QString::fromLatin1(name)); }
    void activate(Kind kind)
    {
        for (QWidget* w : form->MDIChildren())
            w->parentWidget()->close();
        QCoreApplication::processEvents();
        if (kind == kImage)
            imageWindow(10, 10, clWhite);
        else if (kind == kCatalog)
            form->ActivateChild(CreateCatalogWindow(*form));
        QCoreApplication::processEvents();
        form->checkbuttonsenabled(false);
    }
};

TEST_F(MainWindowActions, GroupButtonsAndItemsCarryTheirTexts)
{
    make();
    auto check = [&](const GroupRow* rows, int n) {
        for (int i = 0; i < n; ++i) {
            SCOPED_TRACE(rows[i].button);
            ASSERT_NE(button(rows[i].button), nullptr);
            ASSERT_NE(item(rows[i].item), nullptr);
            EXPECT_EQ(button(rows[i].button)->toolTip(), QString::fromUtf8(rows[i].hint));
            EXPECT_EQ(item(rows[i].item)->text(), QString::fromUtf8(rows[i].caption));
            EXPECT_TRUE(item(rows[i].item)->shortcut().isEmpty());
            EXPECT_TRUE(button(rows[i].button)->isCheckable());
            EXPECT_TRUE(item(rows[i].item)->isCheckable());
        }
    };
    check(modeRows, 6);
    check(toolRows, 10);
    for (const ItemRow& r : itemRows) {
        ASSERT_NE(item(r.item), nullptr) << r.item;
        EXPECT_EQ(item(r.item)->text(), QString::fromUtf8(r.caption)) << r.item;
    }
    for (const auto& [name, caption] : captionRows) {
        ASSERT_NE(item(name), nullptr) << name;
        EXPECT_EQ(item(name)->text(), QString::fromUtf8(caption)) << name;
    }
    EXPECT_EQ(form->spinedit1->toolTip(), QStringLiteral("Linienbreite"));
    EXPECT_EQ(button("SpeedButton32")->toolTip(), QStringLiteral("Zeichenleiste anzeigen"));
}

TEST_F(MainWindowActions, EnabledStateFollowsTheWindowKind)
{
    make();
    for (Kind kind : {kNone, kImage, kCatalog, kNone}) {
        activate(kind);
        SCOPED_TRACE(int(kind));
        for (const ItemRow& r : itemRows) {
            const bool want = kind == kNone ? r.none : kind == kImage ? r.image : r.catalog;
            EXPECT_EQ(reachable(form->menuBar(), item(r.item)), want) << r.item;
        }
        // The drawing bar works with or without a window.
        for (const GroupRow& r : modeRows) {
            EXPECT_TRUE(button(r.button)->isEnabled()) << r.button;
            EXPECT_TRUE(reachable(form->menuBar(), item(r.item))) << r.item;
        }
        for (const GroupRow& r : toolRows) {
            EXPECT_TRUE(button(r.button)->isEnabled()) << r.button;
            EXPECT_TRUE(reachable(form->menuBar(), item(r.item))) << r.item;
        }
        EXPECT_TRUE(form->spinedit1->isEnabled());
        EXPECT_TRUE(button("SpeedButton32")->isEnabled());
        EXPECT_TRUE(button("SpeedButton9")->isEnabled());
    }
}

TEST_F(MainWindowActions, TextAndDeleteCommentItemsRunTheirCommands)
{
    make();
    imageWindow(4, 4, clWhite);
    // An untitled image has no comment files yet: each command says so instead of acting.
    for (const char* name : {"Text2", "Kommentarlschen1"}) {
        const size_t before = messages.size();
        item(name)->trigger();
        EXPECT_EQ(messages.size(), before + 1) << name;
    }
}

// One row down, all others up, in both the buttons and the items.
void expectOnly(const GroupRow* rows, int n, int down, Tform1& f)
{
    auto btn = [](Tform1& f, const char* name) { return f.Control<QToolButton>(QString::fromLatin1(name)); };
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(btn(f, rows[i].button)->isChecked(), i == down) << rows[i].button << " after " << rows[down].button;
        EXPECT_EQ(f.Item(QString::fromLatin1(rows[i].item))->isChecked(), i == down)
            << rows[i].item << " after " << rows[down].item;
    }
}

TEST_F(MainWindowActions, GroupsStayExclusiveFromButtonsAndFromItems)
{
    make();
    imageWindow(10, 10, clWhite);
    // Orders that move both up and down the groups, so a stale check would show.
    const int modeOrder[] = {3, 0, 5, 1, 4, 2, 5};
    const int toolOrder[] = {9, 0, 6, 2, 8, 1, 7, 3, 5, 4, 0};
    for (bool viaMenu : {false, true}) {
        SCOPED_TRACE(viaMenu ? "menu" : "button");
        for (int i : modeOrder) {
            if (viaMenu)
                item(modeRows[i].item)->trigger();
            else
                QTest::mouseClick(button(modeRows[i].button), Qt::LeftButton);
            expectOnly(modeRows, 6, i, *form);
            EXPECT_EQ(form->MouseModeCode(), i);
        }
        for (int i : toolOrder) {
            // Leave drawing mode first: every tool must bring it back.
            QTest::mouseClick(button(modeRows[4].button), Qt::LeftButton);
            if (viaMenu)
                item(toolRows[i].item)->trigger();
            else
                QTest::mouseClick(button(toolRows[i].button), Qt::LeftButton);
            expectOnly(toolRows, 10, i, *form);
            expectOnly(modeRows, 6, 0, *form);
            EXPECT_EQ(form->ToolCode(), i);
        }
    }
}

TEST_F(MainWindowActions, LineWidthEditSetsTheDrawingWidth)
{
    make();
    struct Row {
        const char* typed;
        const char* shown;
        int width;
    } rows[] = {{"7", "7", 7}, {"1", "1", 1}, {"0", "1", 1}, {"-4", "1", 1}, {"abc", "1", 1}, {"", "1", 1}, {"12", "12", 12}};
    for (const Row& r : rows) {
        form->options.linewidth = 99;
        form->spinedit1->setText(QString::fromLatin1(r.typed));
        EXPECT_EQ(form->spinedit1->text(), QString::fromLatin1(r.shown)) << r.typed;
        EXPECT_EQ(form->options.linewidth, r.width) << r.typed;
    }
    struct Step {
        const char* start;
        bool up;
        int width;
    } steps[] = {{"5", true, 6}, {"5", false, 4}, {"2", false, 1}, {"1", false, 1}, {"1", true, 2}};
    for (const Step& s : steps) {
        form->spinedit1->setText(QString::fromLatin1(s.start));
        if (s.up)
            form->spinedit1->StepUp();
        else
            form->spinedit1->StepDown();
        EXPECT_EQ(form->options.linewidth, s.width) << s.start << (s.up ? " up" : " down");
        EXPECT_EQ(form->spinedit1->text(), QString::number(s.width)) << s.start;
    }
}

TEST_F(MainWindowActions, LineWidthItemAsksStartingFromTheEdit)
{
    make();
    struct Row {
        bool ok;
        const char* answer;
        int width;
    } rows[] = {{true, "9", 9}, {false, "4", 3}, {true, "0", 1}, {true, "x", 1}};
    for (const Row& r : rows) {
        form->spinedit1->setText(QStringLiteral("3"));
        QString caption, prompt, start;
        SetInputQueryHook([&](const QString& c, const QString& p, QString& v) {
            caption = c;
            prompt = p;
            start = v;
            v = QString::fromLatin1(r.answer);
            return r.ok;
        });
        item("Linienbreite1")->trigger();
        SetInputQueryHook(nullptr);
        EXPECT_EQ(caption, QStringLiteral("Linienbreite festlegen"));
        EXPECT_EQ(prompt, QStringLiteral("Bitte Linienbreite eingeben:"));
        EXPECT_EQ(start, QStringLiteral("3"));
        EXPECT_EQ(form->options.linewidth, r.width) << r.answer;
    }
}

TEST_F(MainWindowActions, EnglishTextsAfterSwitchingLanguage)
{
    toptions o = DefaultOptions();
    o.language = langEnglish;
    optiontofile(o);
    make();
    // nullptr: no English text, the German one stays.
    const std::pair<const char*, const char*> hints[] = {
        {"speedbutton30", "Draw"},         {"SpeedButton5", "Region select"},
        {"SpeedButton34", "Polygon select"}, {"SpeedButton33", "Circle select"},
        {"SpeedButton6", nullptr},          {"SpeedButton7", "Zoom"},
        {"PenButton", "Pen"},               {"SpeedButton36", "Line"},
        {"SpeedButton63", "Rectangle / Square"}, {"SpeedButton64", "Ellipse / Circle"},
        {"SpeedButton65", "Round Rectangle"}, {"fillbutton", "Flood fill"},
        {"SpeedButton31", nullptr},         {"SpeedButton55", "Get color"},
        {"SpeedButton56", "Remove red eye"}, {"SpeedButton38", "Paint with copy of image"},
    };
    for (const auto& [name, english] : hints) {
        const GroupRow* german = nullptr;
        for (const auto* rows : {+modeRows, +toolRows})
            for (int i = 0; i < (rows == modeRows ? 6 : 10); ++i)
                if (QByteArray(rows[i].button) == name)
                    german = &rows[i];
        ASSERT_NE(german, nullptr) << name;
        EXPECT_EQ(button(name)->toolTip(), QString::fromUtf8(english ? english : german->hint)) << name;
    }
    EXPECT_EQ(form->spinedit1->toolTip(), QStringLiteral("Line width"));

    // The first fragment in table order that the German caption holds decides; none keeps it.
    const std::pair<const char*, const char*> items[] = {
        {"Zeichenen1", "&Draw"},
        {"Bereichauswhlen1", "&Region select"},
        {"Polygonauswahl1", "Polygon select"},
        {"Kreisauswahl1", "&Circle select"},
        {"Hand1", "&Hand"},
        {"Zoom1", "Zoom"},
        {"Stift1", "&Pen"},
        {"Linie2", "&Line"},
        {"Rechteck1", "&Rectangle / Square"},
        {"Kreis1", "&Ellipse / Circle"},
        {"RundesRechteck1", "Ro&und Rectangle"},
        {"Fllen2", "Fl&ood fill"},
        {"Text1", "&Text"},
        {"Farbebernehmen1", "Get colo&r"},
        {"RoteAugenentfernen1", "Re&move red eye"},
        {"mitBildkopiemalen1", "&Paint with copy of Image"},
        {"N1001", "&100 %"},
        {"Fenstergre1", "Window size"},
        {"Standardleiste1", "&Standard bar"},
        {"Zeichenleiste1", "&Draw bar"},
        {"Lineal1", "&Ruler"},
        {"Statusleiste1", "&Status bar"},
        {"Linienbreite1", "Line width ..."},
        {"Nebeneinander1", "&Tile horizontal"},
        {"Untereinander1", "T&ile vertikal"},
        {"bereinander1", "&Cascade"},
        {"Greangeben1", "&Set ..."},
        {"Abspielen1", "&Play"},
        {"Kommentaraufnehmen1", "&Record comment"},
        {"Text2", "&Set text comment"},
        {"Kommentarlschen1", "&Delete comment"},
        {"Kommentarabspielen1", "&Play comment"},
        {"Kommentarimportieren1", "&Import comment"},
        {"N16MillionenFarben772161", "16 Mi&llion colors (24 Bit per Pixel)"},
        {"Textinhaltfestlegen1", "Set &text ..."},
        {"Schriftartfestlegen1", "Te&xt options ..."},
        {"SchwarzWeissKonvertierung2", "Convert to Black/White ..."},
        {"ZumBearbeitenausschneiden1", "Cut for proce&ssing"},
        {"RckgngigPufferlschen1", "Clear Und&o-Buffer"},
        {"Hilfethemen1", "Help &topics ..."},
        {"Hilfeverwenden1", "H&ow to use help ..."},
        {"berdasProgramm1", "&About the program ..."},
        {"WeitereProgramme1", "&Other programs ..."},
        {"UntersttzteBatchFunktionen1", "Supported Batch-Functions ..."},
        {"Willkommen1", "&Welcome ..."},
        {"AufBildgreanpassen1", "Fit to &image size"},
    };
    for (const auto& [name, english] : items) {
        ASSERT_NE(item(name), nullptr) << name;
        EXPECT_EQ(item(name)->text(), QString::fromUtf8(english)) << name;
    }

    QString caption, prompt;
    SetInputQueryHook([&](const QString& c, const QString& p, QString&) {
        caption = c;
        prompt = p;
        return false;
    });
    item("Linienbreite1")->trigger();
    EXPECT_EQ(caption, QStringLiteral("Set line width"));
    EXPECT_EQ(prompt, QStringLiteral("Please enter line width"));
}

} // namespace
