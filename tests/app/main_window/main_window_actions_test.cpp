// The main window's menu items and tool-bar buttons: texts, wiring and availability.
#include "app/batch/batch_file.h"
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/app_test_util.h"
#include "app/options/option_file.h"
#include "app/text/language.h"
#include "controls/combos/kit_combos.h"
#include "controls/edits/spin_edit.h"
#include "platform/ui/application.h"
#include "platform/ui/image_control.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QUrl>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <functional>

namespace {

// QObject::receivers, reached through a class that makes it public.
struct SignalReceivers : QObject {
    using QObject::receivers;
};
int receiverCount(const QObject* o, const char* signal) { return (o->*&SignalReceivers::receivers)(signal); }

// Whether the control's own signal or callback reaches a handler.
bool hasHandler(QObject* o)
{
    if (auto* a = qobject_cast<QAction*>(o))
        return a->menu() || receiverCount(a, SIGNAL(triggered(bool))) > 0;
    if (auto* spin = qobject_cast<TKitSpinEdit*>(o))
        return bool(spin->OnChange);
    if (auto* font = qobject_cast<TFontComboBox*>(o))
        return bool(font->OnChange);
    if (qobject_cast<QToolButton*>(o))
        return receiverCount(o, SIGNAL(clicked(bool))) > 0;
    if (qobject_cast<QLineEdit*>(o))
        return receiverCount(o, SIGNAL(textChanged(QString))) > 0;
    if (qobject_cast<QComboBox*>(o))
        return receiverCount(o, SIGNAL(textActivated(QString))) > 0;
    return false;
}

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

// Items whose behaviour is tested elsewhere: only the caption is fixed here.
const std::pair<const char*, const char*> captionRows[] = {
    {"Aufnahmeeinstellungen1", "&Aufnahmeeinstellungen ..."},
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
        form->UpdateAvailability(false);
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
    EXPECT_EQ(form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->toolTip(), QStringLiteral("Linienbreite"));
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
        EXPECT_TRUE(form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->isEnabled());
        EXPECT_TRUE(form->Control<QLineEdit>(QStringLiteral("Edit1"))->isEnabled());
        EXPECT_TRUE(form->Control<TFontComboBox>(QStringLiteral("FontComboBox1"))->isEnabled());
        EXPECT_TRUE(button("SpeedButton32")->isEnabled());
        EXPECT_TRUE(button("SpeedButton9")->isEnabled());
    }
}

// Every item of the menu tree and every control of both tool bars has a handler and is
// enabled in at least one state: no child, an image (with and without undo), a catalog,
// the welcome window, a batch recording.
TEST_F(MainWindowActions, EveryItemAndToolBarControlIsWiredAndEnabledSomewhere)
{
    make();
    std::vector<QAction*> items;
    std::function<void(QMenu*)> collect = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->isSeparator())
                continue;
            items.push_back(a);
            if (a->menu())
                collect(a->menu());
        }
    };
    for (QAction* a : form->menuBar()->actions())
        if (a->menu()) {
            items.push_back(a);
            collect(a->menu());
        }
    std::vector<QWidget*> controls;
    for (QToolBar* bar :
         {form->Control<QToolBar>(QStringLiteral("ToolBar1")), form->Control<QToolBar>(QStringLiteral("ToolBar2"))})
        for (QAction* a : bar->actions())
            if (QWidget* w = bar->widgetForAction(a); w && !a->isSeparator())
                controls.push_back(w);
    ASSERT_GT(items.size(), 100u);
    ASSERT_GT(controls.size(), 40u);

    QSet<QObject*> enabled;
    auto note = [&] {
        for (QAction* a : items)
            if (form->menuBar()->actions().contains(a) ? a->isEnabled() : reachable(form->menuBar(), a))
                enabled.insert(a);
        for (QWidget* w : controls)
            if (w->isEnabled())
                enabled.insert(w);
    };
    for (Kind kind : {kNone, kImage, kCatalog}) {
        activate(kind);
        note();
    }
    activate(kImage);
    Tform1::imageWindowOf(form->ActiveMDIChild())->imageKit->SaveUndo();
    form->UpdateAvailability(false);
    note();
    form->welcomeClicked();
    QCoreApplication::processEvents();
    note();
    answer = mrOk;
    item("Neuaufnehmen1")->trigger();
    ASSERT_TRUE(form->Recording);
    note();
    SetInputQueryHook([](const QString&, const QString&, QString&) { return false; });
    item("Aufnahmestoppen1")->trigger();

    for (QAction* a : items) {
        EXPECT_TRUE(hasHandler(a)) << a->objectName().toStdString() << " has no handler";
        EXPECT_TRUE(enabled.contains(a)) << a->objectName().toStdString() << " is never enabled";
    }
    for (QWidget* w : controls) {
        // The colour panels and the style pictures take clicks through their own events; the
        // batch box's choice is read when its record is played.
        const bool picture =
            QStringList{"Panel5", "Panel6", "clearpen", "Image2", "pinselartn", "autobox"}.contains(w->objectName());
        EXPECT_TRUE(picture || hasHandler(w)) << w->objectName().toStdString() << " has no handler";
        EXPECT_TRUE(enabled.contains(w)) << w->objectName().toStdString() << " is never enabled";
    }
}

// The text tool draws what the drawing bar's edit holds, in the font its box shows; both
// are stored at the end of the run.
TEST_F(MainWindowActions, TextToolFollowsTheEditAndTheFontBox)
{
    make();
    Tchild* c = imageWindow(160, 60, clWhite);
    ASSERT_GT(form->Control<TFontComboBox>(QStringLiteral("FontComboBox1"))->count(), 0);
    form->Drawing().SelectTool(6);
    form->options.fillstyle = 1;  // no text background
    form->Control<QLineEdit>(QStringLiteral("Edit1"))->selectAll();
    QTest::keyClicks(form->Control<QLineEdit>(QStringLiteral("Edit1")), QStringLiteral("Kx"));
    EXPECT_EQ(form->options.texttext, QStringLiteral("Kx"));
    const QString before = form->options.fontname;
    QTest::keyClick(form->Control<TFontComboBox>(QStringLiteral("FontComboBox1")), Qt::Key_Down);
    const QString chosen = form->Control<TFontComboBox>(QStringLiteral("FontComboBox1"))->FontName();
    EXPECT_NE(chosen, before);
    EXPECT_EQ(form->options.fontname, chosen);

    QTest::mouseClick(c->imageKit, Qt::LeftButton, {}, c->imageKit->ClientOrigin() + QPoint(5, 5));
    TBitmap expected;
    expected.SetPixelFormat(pf24bit);
    expected.SetSize(160, 60);
    TCanvas& e = *expected.Canvas();
    e.Brush.Style = bsSolid;
    e.Brush.Color = clWhite;
    e.FillRect(TRect(0, 0, 160, 60));
    e.Brush.Style = bsClear;
    e.Font.Color = TColor(form->options.pencolor);
    e.Font.Name = chosen;
    e.Font.Size = form->options.fontsize;
    e.Font.Style = form->options.fontstyle;
    e.TextOut(5, 5, QStringLiteral("Kx"));
    const TBitmap* drawn = c->imageKit->Bitmap();
    int differing = 0, inked = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) {
            differing += drawn->PixelColor(x, y) != expected.PixelColor(x, y);
            inked += drawn->PixelColor(x, y) != clWhite;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, 0);

    c->SetModified(false);
    ASSERT_TRUE(form->close());
    toptions stored;
    readOptionFile(stored);
    EXPECT_EQ(stored.texttext, QStringLiteral("Kx"));
    EXPECT_EQ(stored.fontname, chosen);
}

TEST_F(MainWindowActions, TextItemAsksStartingFromTheEdit)
{
    make();
    struct Row {
        bool ok;
        const char* answer;
        const char* text;
    } rows[] = {{true, "Hallo Welt", "Hallo Welt"}, {false, "weg", "alt"}, {true, "", ""}};
    for (const Row& r : rows) {
        form->Control<QLineEdit>(QStringLiteral("Edit1"))->setText(QStringLiteral("alt"));
        QString caption, prompt, start;
        SetInputQueryHook([&](const QString& c, const QString& p, QString& v) {
            caption = c;
            prompt = p;
            start = v;
            v = QString::fromUtf8(r.answer);
            return r.ok;
        });
        item("Textinhaltfestlegen1")->trigger();
        EXPECT_EQ(caption, QStringLiteral("Texinhalt festlegen"));
        EXPECT_EQ(prompt, QStringLiteral("Bitte Textinhalt eingeben:"));
        EXPECT_EQ(start, QStringLiteral("alt"));
        EXPECT_EQ(form->Control<QLineEdit>(QStringLiteral("Edit1"))->text(), QString::fromUtf8(r.text)) << r.answer;
        EXPECT_EQ(form->options.texttext, QString::fromUtf8(r.text)) << r.answer;
    }
}

// The typed zoom asks again on anything but a whole number above 0; Cancel changes nothing.
TEST_F(MainWindowActions, TypedZoomAsksUntilAPositiveWholeNumber)
{
    make();
    Tchild* c = imageWindow(20, 20, clWhite);
    struct Row {
        std::vector<const char*> answers;  // nullptr: Cancel
        int zoom;
    } rows[] = {{{"0", "-5", "abc", "250"}, 250}, {{"0", nullptr}, 100}, {{nullptr}, 100}, {{"40"}, 40}};
    for (const Row& r : rows) {
        c->imageKit->SetZoom(100);
        size_t asked = 0;
        QString firstStart;
        SetInputQueryHook([&](const QString&, const QString&, QString& v) {
            if (asked == 0)
                firstStart = v;
            const char* a = r.answers[std::min(asked++, r.answers.size() - 1)];
            if (!a)
                return false;
            v = QString::fromLatin1(a);
            return true;
        });
        item("Greangeben1")->trigger();
        EXPECT_EQ(asked, r.answers.size());
        EXPECT_EQ(firstStart, QStringLiteral("100"));
        EXPECT_EQ(c->imageKit->Zoom(), r.zoom);
    }
}

TEST_F(MainWindowActions, UndoBufferItemEmptiesTheStackAndTheUndoButtonFollows)
{
    make();
    Tchild* c = imageWindow(8, 8, clWhite);
    c->imageKit->Proc()->UndoLimit = 3;
    c->imageKit->SaveUndo();
    c->imageKit->SaveUndo();
    form->UpdateAvailability(false);
    ASSERT_TRUE(button("SpeedButton3")->isEnabled());
    item("RckgngigPufferlschen1")->trigger();
    EXPECT_FALSE(c->imageKit->CanUndo());
    EXPECT_FALSE(button("SpeedButton3")->isEnabled());
    EXPECT_FALSE(item("Rckgngig1")->isEnabled());
}

TEST_F(MainWindowActions, TwentyFourBitItemRunsItsCommand)
{
    make();
    Tchild* c = imageWindow(9, 7, clWhite, pf1bit);
    form->Recording = true;
    item("N16MillionenFarben772161")->trigger();
    form->Recording = false;
    EXPECT_EQ(c->imageKit->Bitmap()->PixelFormat(), pf24bit);
    EXPECT_EQ(c->imageKit->Bitmap()->PixelColor(4, 3), clWhite);
    ASSERT_EQ(form->RecordingList.size(), 1u);
    EXPECT_EQ(uint8_t(form->RecordingList[0][0]), 32);
}

// Help opens from the item, the button and F1; when it cannot, the user is told why.
TEST_F(MainWindowActions, HelpOpensFromItemButtonAndKeyOrSaysWhy)
{
    make();
    const QString file = home_ + QStringLiteral("/Kandrivel.html");
    std::vector<QString> urls;
    bool opens = true;
    TApplication::OpenUrlHook = [&](const QString& url) {
        urls.push_back(url);
        return opens;
    };
    QApplication::setActiveWindow(form.get());
    const std::function<void()> ways[] = {
        [&] { item("Hilfethemen1")->trigger(); },
        [&] { QTest::mouseClick(button("SpeedButton58"), Qt::LeftButton); },
        [&] { QTest::keyClick(form.get(), Qt::Key_F1); },
    };
    struct Row {
        bool exists, opens;
        size_t urls, messages;
    } rows[] = {{true, true, 1, 0}, {true, false, 1, 1}, {false, true, 0, 1}};
    for (const Row& r : rows) {
        QFile::remove(file);
        if (r.exists) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("<html></html>");
        }
        TApplication::SetHelpFile(file);
        opens = r.opens;
        for (size_t way = 0; way < std::size(ways); ++way) {
            urls.clear();
            messages.clear();
            ways[way]();
            EXPECT_EQ(urls.size(), r.urls) << "way " << way << " exists " << r.exists << " opens " << r.opens;
            if (!urls.empty()) {
                EXPECT_EQ(urls[0], QUrl::fromLocalFile(file).toString()) << way;
            }
            ASSERT_EQ(messages.size(), r.messages) << "way " << way << " exists " << r.exists;
            if (!messages.empty()) {
                EXPECT_TRUE(messages[0].contains(file)) << messages[0].toStdString();
            }
        }
    }
    TApplication::OpenUrlHook = nullptr;
    TApplication::SetHelpFile(QString());
}

// The style items open the picker at the page of their picture, also with the drawing
// bar hidden.
TEST_F(MainWindowActions, StyleItemsOpenThePickerAtTheirPage)
{
    make();
    form->Item("Zeichenleiste1")->trigger();
    ASSERT_FALSE(form->Control<QToolBar>(QStringLiteral("ToolBar2"))->isVisible());
    struct Case {
        const char* item;
        int page;
        const char* choice;
        int32_t toptions::*field;
        int value;
    } cases[] = {{"Linienart1", 0, "Image12", &toptions::linestyle, 2},
                 {"Fllart1", 1, "Image4", &toptions::fillstyle, 3},
                 {"Pinselart1", 2, "Image19", &toptions::brushsize, 4}};
    for (const Case& c : cases) {
        int page = -1;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<Tzeichenform*>(QApplication::activeModalWidget());
            ASSERT_TRUE(picker);
            page = picker->PageNumber;
            QTest::mouseClick(picker->findChild<TImage*>(QString::fromLatin1(c.choice)), Qt::LeftButton, {},
                              QPoint(2, 2));
        });
        item(c.item)->trigger();
        EXPECT_EQ(page, c.page) << c.item;
        EXPECT_EQ(form->options.*c.field, c.value) << c.item;
    }
}

// Choosing a record in the batch box stores it; refilling the box keeps it.
TEST_F(MainWindowActions, BatchBoxStoresTheChosenRecord)
{
    for (const char* name : {"alpha", "beta", "gamma"})
        WriteBatchFile(BatchFilePath(QString::fromLatin1(name)), {});
    make();
    auto* box = form->Control<QComboBox>(QStringLiteral("autobox"));
    ASSERT_EQ(box->count(), 3);
    box->setCurrentIndex(0);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->currentText(), QStringLiteral("beta.atm"));
    EXPECT_EQ(form->options.batchrecord, QStringLiteral("beta.atm"));
    form->Batch().UpdateBatchBox();
    EXPECT_EQ(box->currentText(), QStringLiteral("beta.atm"));
    EXPECT_EQ(form->options.batchrecord, QStringLiteral("beta.atm"));
    ASSERT_TRUE(form->close());
    toptions stored;
    readOptionFile(stored);
    EXPECT_EQ(stored.batchrecord, QStringLiteral("beta.atm"));
}

// The sound settings: the first of the two programs that is installed, or a message.
TEST_F(MainWindowActions, SoundSettingsStartTheFirstInstalledProgram)
{
    make();
    imageWindow(4, 4, clWhite);
    const QString bin = home_ + QStringLiteral("/bin");
    QDir().mkpath(bin);
    const QString marker = home_ + QStringLiteral("/started");
    auto fake = [&](const char* name) {
        const QString path = bin + QLatin1Char('/') + QLatin1String(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // The program's own PATH holds only the fakes.
        f.write(QStringLiteral(
                    "#!/bin/sh\nPATH=/usr/bin:/bin\necho \"$(basename \"$0\") $*\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                    .arg(marker)
                    .toUtf8());
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    };
    fake("pavucontrol");
    fake("gnome-control-center");
    struct PathGuard {
        QByteArray saved = qgetenv("PATH");
        ~PathGuard() { qputenv("PATH", saved); }
    } guard;
    qputenv("PATH", bin.toUtf8());
    struct Row {
        const char* remove;
        const char* started;  // nullptr: nothing installed, a message instead
    } rows[] = {{nullptr, "pavucontrol "},
                {"pavucontrol", "gnome-control-center sound"},
                {"gnome-control-center", nullptr}};
    for (const Row& r : rows) {
        if (r.remove)
            QFile::remove(bin + QLatin1Char('/') + QLatin1String(r.remove));
        QFile::remove(marker);
        messages.clear();
        item("Aufnahmeeinstellungen1")->trigger();
        if (r.started) {
            EXPECT_TRUE(messages.empty());
            ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 20000)) << r.started;
            QFile f(marker);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed(), QString::fromLatin1(r.started).trimmed());
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_TRUE(messages[0].contains(QStringLiteral("pavucontrol")));
        }
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
            EXPECT_EQ(form->Drawing().MouseModeCode(), i);
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
            EXPECT_EQ(form->Drawing().ToolCode(), i);
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
    } rows[] = {{"7", "7", 7},   {"1", "1", 1}, {"0", "1", 1},   {"-4", "1", 1},
                {"abc", "1", 1}, {"", "1", 1},  {"12", "12", 12}};
    for (const Row& r : rows) {
        form->options.linewidth = 99;
        form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->setText(QString::fromLatin1(r.typed));
        EXPECT_EQ(form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->text(), QString::fromLatin1(r.shown))
            << r.typed;
        EXPECT_EQ(form->options.linewidth, r.width) << r.typed;
    }
    struct Step {
        const char* start;
        bool up;
        int width;
    } steps[] = {{"5", true, 6}, {"5", false, 4}, {"2", false, 1}, {"1", false, 1}, {"1", true, 2}};
    for (const Step& s : steps) {
        form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->setText(QString::fromLatin1(s.start));
        if (s.up)
            form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->StepUp();
        else
            form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->StepDown();
        EXPECT_EQ(form->options.linewidth, s.width) << s.start << (s.up ? " up" : " down");
        EXPECT_EQ(form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->text(), QString::number(s.width))
            << s.start;
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
        form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->setText(QStringLiteral("3"));
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
    writeOptionFile(o);
    make();
    // nullptr: no English text, the German one stays.
    const std::pair<const char*, const char*> hints[] = {
        {"speedbutton30", "Draw"},
        {"SpeedButton5", "Region select"},
        {"SpeedButton34", "Polygon select"},
        {"SpeedButton33", "Circle select"},
        {"SpeedButton6", nullptr},
        {"SpeedButton7", "Zoom"},
        {"PenButton", "Pen"},
        {"SpeedButton36", "Line"},
        {"SpeedButton63", "Rectangle / Square"},
        {"SpeedButton64", "Ellipse / Circle"},
        {"SpeedButton65", "Round Rectangle"},
        {"fillbutton", "Flood fill"},
        {"SpeedButton31", nullptr},
        {"SpeedButton55", "Get color"},
        {"SpeedButton56", "Remove red eye"},
        {"SpeedButton38", "Paint with copy of image"},
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
    EXPECT_EQ(form->Control<TKitSpinEdit>(QStringLiteral("spinedit1"))->toolTip(), QStringLiteral("Line width"));

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
        {"Aufnahmeeinstellungen1", "Record Settings ..."},
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

}  // namespace
