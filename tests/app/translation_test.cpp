#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/text/translation_tables.h"
#include "imaging/common/types.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Pair {
    const char* german;
    const char* english;
};

// The caption pairs in their fixed order.
const Pair kCaptions[] = {
    {"Fenstergröße", "Window size"},
    {"Willko", "&Welcome ..."},
    {"Speichern als", "Save as"},
    {"Katalog speichern als", "Save catalog as"},
    {"Liste laden", "Load list"},
    {"Liste speichern", "Save List"},
    {"8 x 8 Bitmap laden", "Load 8 x 8 Bitmap"},
    {"&kommentar auf", "&Record comment"},
    {"k&ommentar l", "&Delete comment"},
    {"kommentar a&b", "&Play comment"},
    {"kommentar &i", "&Import comment"},
    {"&Textkommentar fe", "&Set text comment"},
    {"&Katalog speichern", "Save Catalog"},
    {"Katalog s&peichern als", "Sa&ve Catalog as ..."},
    {"&Datei hin", "A&dd file"},
    {"ei &entfer", "Re&move file"},
    {"Katalog &schli", "&Close Catalog"},
    {"uf Bildgr", "Fit to &image size"},
    {"&Bilder neu", "R&eload images"},
    {"Alle B&i", "Re&load all images"},
    {"Bilder &akt", "U&pdate images"},
    {"&Fehlen", "Remove m&issing images"},
    {"Alles &mar", "Sele&ct all"},
    {"S&peich", "&Save"},
    {"hern a", "S&ave as ..."},
    {"All&e Speichern", "Sa&ve all"},
    {"&Schliessen", "&Close"},
    {"lle Schl", "C&lose all"},
    {"rucken", "&Print ..."},
    {"Videob", "Import from &Video ..."},
    {"&Optionen ...", "&Options ..."},
    {"eenden", "&Exit"},
    {"Diasho&w", "Slidesho&w"},
    {"rafi", "&Image ..."},
    {"&Katalog", "&Catalog"},
    {"s&canne", "&Scan ..."},
    {"er wä", "&Choose Scanner ..."},
    {"ptionen ...", "&Options ..."},
    {"direkt vom", "Slideshow &from Catalog"},
    {"D&iashow", "&Slideshow ..."},
    {"o&ptionen", "&Options ..."},
    {"eu aufnehmen", "&New Record"},
    {"e stopp", "&Stop Record"},
    {"aktuelles Bild", "Play / Use on &active Image"},
    {"eladen", "Use on all &loades Images"},
    {"A&bspie", "&Play"},
    {"Dateiliste an", "Use on &Directory / Filelist ..."},
    {"aus &S", "Images from &Scanner"},
    {"Unterst", "Supported Batch-Functions ..."},
    {"uffer f", "Clear Und&o-Buffer"},
    {"ückgä", "&Undo"},
    {"Zum &Bearbeiten", "Cut for proce&ssing"},
    {"&Ausschne", "&Cut"},
    {"&Kopieren", "Cop&y"},
    {"&Einfüg", "&Paste"},
    {"n Mark", "Paste in Se&lection"},
    {"Alles &m", "Selec&t all"},
    {"ichts mar", "Select &none"},
    {"arben be", "&Process colors ..."},
    {"ffekte", "Effects ..."},
    {"banzahl ä", "Reduce colors"},
    {"stufen u", "Convert to Grayscale"},
    {"arz wei", "Convert to Black/White ..."},
    {"Histog", "Histogram"},
    {"HSV", "HSV-Channels"},
    {"2 Far", "&2 colors (Black/White)"},
    {"16 Far", "&16 colors (4 Bit per Pixel)"},
    {"25&6 Fa", "25&6 colors (8 Bit per Pixel)"},
    {"16 Mi", "16 Mi&llion colors (24 Bit per Pixel)"},
    {"anzahl eing", "&Set number of colors ..."},
    {"zahl der F", "Sho&w number of colors"},
    {"Resize", "Resi&ze ..."},
    {"Resample", "Resam&ple ..."},
    {"rehen/", "Rotate/Flip"},
    {"erschmel", "&Merge ..."},
    {"plizier", "&Duplicate"},
    {"Hintergrundfarbe &l", "&Clear with Background color"},
    {"Als &Hin", "Use as &Background for Windows"},
    {"&Kommentar", "C&omment"},
    {"Hin&tergrundfarbe se", "Set Ba&ckground color ..."},
    {"Uhrzeig", "Rotate -90° (&clockwise)"},
    {"drehe&n", "&Rotate 90°"},
    {"180", "Rot&ate 180°"},
    {"inkel ein", "&Set angle ..."},
    {"ertikal", "Flip &vertical"},
    {"orizon", "Flip &horizontal"},
    {"entriert", "&Centered"},
    {"acheln", "&Tile"},
    {"&Füllen", "&Fill"},
    {"&Stift", "&Pen"},
    {"&Rechte", "&Rectangle / Square"},
    {"Ellip", "&Ellipse / Circle"},
    {"R&undes", "Ro&und Rectangle"},
    {"bfüll", "Fl&ood fill"},
    {"Farbe ü&b", "Get colo&r"},
    {"Rote", "Re&move red eye"},
    {"Bild&k", "&Paint with copy of Image"},
    {"optionen für T", "Te&xt options ..."},
    {"Textin", "Set &text ..."},
    {"Pinselar", "Set pen style ..."},
    {"inienart", "&Line style ..."},
    {"Linien&brei", "Line width ..."},
    {"Mal&farbe", "Paint &color ..."},
    {"Füllf&ar", "&Fill color ..."},
    {"Fülla&rt", "Fill &style ..."},
    {"Li&nie", "&Line"},
    {"&Linie", "&Line"},
    {"tandardl", "&Standard bar"},
    {"eichenlei", "&Draw bar"},
    {"Bild", "Image"},
    {"Zoom", "Zoom"},
    {"Maus&z", "Mousepointer"},
    {"Suche Hil", "S&earch for help on ..."},
    {"lineal", "&Ruler"},
    {"Statuslei", "&Status bar"},
    {"Fensterg", "&Window size"},
    {"Größe ang", "&Set ..."},
    {"Rechteckigen &Ber", "&Region select"},
    {"Polyg", "Polygon select"},
    {"Kreisaus", "&Circle select"},
    {"ebenein", "&Tile horizontal"},
    {"nterein", "T&ile vertikal"},
    {"Ü&berein", "&Cascade"},
    {"Hilfe&th", "Help &topics ..."},
    {"ilfe verw", "H&ow to use help ..."},
    {"eitere Pr", "&Other programs ..."},
    {"er das Progr", "&About the program ..."},
    {"&Neu", "&New"},
    {"&Datei", "&File"},
    {"&Bearbeiten", "&Edit"},
    {"&Farben", "&Colors"},
    {"&Bild", "&Image"},
    {"&Zeichnen", "&Draw"},
    {"&Katalog", "&Catalog"},
    {"&Fenster", "&Window"},
    {"&Hilfe", "&Help"},
    {"&Ansicht", "&View"},
    {"Ö&ffnen ...", "O&pen ..."},
    {"&Erneut laden", "&Reload"},
    {"!unbenannt", "!noname"},
    {"öffnen", "Open"},
    {"Datei hinzufügen", "Add file"},
    {"WAV-Datei importieren", "Import WAV-file"},
    {"Hinzufügen", "Add"},
    {"Aufnahmeein", "Record Settings ..."}
};

const Pair kTexts[] = {
    {"Alle Dateien", "All files"},
    {"Alle", "All"},
    {"unbenannt", "noname"},
    {"Importiere Kommentar. Bitte warten ...", "Importing comment. Please wait ..."},
    {"Kommentar importieren", "Import comment"},
    {"Aufnahme läuft !!!", "Recording started !!!"},
    {"Kommentar aufnehmen", "Record comment"},
    {"Kommentar wird abgespielt !!!", "Comment is playing !!!"},
    {"Kandrivel.hlp", "Kandrivel(e).hlp"}
};

class Translation : public ::testing::Test {
protected:
    void TearDown() override { SetLanguage(langGerman); }
};

} // namespace

TEST_F(Translation, CaptionTableHoldsEveryPairInOrder)
{
    const auto& pairs = CaptionPairs();
    ASSERT_EQ(pairs.size(), 145u);
    for (size_t i = 0; i < pairs.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_STREQ(pairs[i].German, kCaptions[i].german);
        EXPECT_STREQ(pairs[i].English, kCaptions[i].english);
    }
}

TEST_F(Translation, EveryCaptionBecomesItsEnglishTextUnlessAnEarlierFragmentMatches)
{
    SetLanguage(langEnglish);
    // Earlier pairs whose fragment lies inside a later pair's caption.
    const QMap<int, QString> shadowed = {
        {4, QStringLiteral("Save as")},     // "Speichern als" comes first
        {132, QStringLiteral("Image")},     // "Bild"
        {134, QStringLiteral("&Catalog")},  // "&Katalog" at 35
    };
    for (int i = 0; i < 145; ++i) {
        SCOPED_TRACE(i + 1);
        const QString expected = shadowed.value(i + 1, QString::fromUtf8(kCaptions[i].english));
        EXPECT_EQ(TranslatedCaption(QString::fromUtf8(kCaptions[i].german)), expected);
    }
}

TEST_F(Translation, CaptionMatchingRules)
{
    SetLanguage(langEnglish);
    EXPECT_EQ(TranslatedCaption(QStringLiteral("!unbenannt")), QStringLiteral("!noname"));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("Ö&ffnen ...")), QStringLiteral("O&pen ..."));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("Öffnen")), QStringLiteral("Open"));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("Fenstergröße")), QStringLiteral("Window size"));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("&Fenster")), QStringLiteral("&Window"));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("Katalog speichern als")), QStringLiteral("Save as"));
    // Letter case does not matter, the fragment may sit anywhere.
    EXPECT_EQ(TranslatedCaption(QStringLiteral("FENSTERGRÖSSE")), QStringLiteral("Window size"));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("xx&datei")), QStringLiteral("&File"));
    // The ampersand is an ordinary character.
    EXPECT_EQ(TranslatedCaption(QStringLiteral("Dat&ei")), QStringLiteral("Dat&ei"));
    EXPECT_EQ(TranslatedCaption(QStringLiteral("Nichts passt")), QStringLiteral("Nichts passt"));
    QString c = QStringLiteral("&Hilfe");
    TranslateCaption(c);
    EXPECT_EQ(c, QStringLiteral("&Help"));
}

TEST_F(Translation, GermanLeavesEverythingUnchanged)
{
    SetLanguage(langGerman);
    EXPECT_EQ(TranslatedCaption(QStringLiteral("!unbenannt")), QStringLiteral("!unbenannt"));
    EXPECT_EQ(TranslatedText(QStringLiteral("unbenannt")), QStringLiteral("unbenannt"));
    QWidget form;
    auto* l = new QLabel(QStringLiteral("Quelle:"), &form);
    l->setObjectName(QStringLiteral("Label1"));
    EXPECT_EQ(TranslateForm(QStringLiteral("farbredform"), &form), 0);
    EXPECT_EQ(l->text(), QStringLiteral("Quelle:"));
}

TEST_F(Translation, TextTableWholeTextsOnly)
{
    const auto& pairs = TextPairs();
    ASSERT_EQ(pairs.size(), 9u);
    for (size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_STREQ(pairs[i].German, kTexts[i].german);
        EXPECT_STREQ(pairs[i].English, kTexts[i].english);
    }
    SetLanguage(langEnglish);
    for (const Pair& p : kTexts)
        EXPECT_EQ(TranslatedText(QString::fromUtf8(p.german)), QString::fromUtf8(p.english));
    EXPECT_EQ(TranslatedText(QStringLiteral("ALLE DATEIEN")), QStringLiteral("All files"));
    EXPECT_EQ(TranslatedText(QStringLiteral("alle dateien")), QStringLiteral("All files"));
    EXPECT_EQ(TranslatedText(QStringLiteral("Alle Dateien (*.*)")), QStringLiteral("Alle Dateien (*.*)"));
    EXPECT_EQ(TranslatedText(QStringLiteral("AUFNAHME LÄUFT !!!")), QStringLiteral("Recording started !!!"));
}

namespace {

// A form with one control per name the table uses, of a kind that fits its texts.
std::unique_ptr<QWidget> buildForm(const TFormTranslation& entry)
{
    auto form = std::make_unique<QWidget>();
    form->setObjectName(QString::fromLatin1(entry.Key));
    auto* layout = new QVBoxLayout(form.get());
    QTabWidget* tabs = nullptr;
    QMap<QString, int> maxItem;
    QMap<QString, bool> hasCaption;
    for (const TFormAssignment& a : entry.Assignments) {
        const QString name = QString::fromLatin1(a.Control);
        if (a.Property == tpItem)
            maxItem[name] = std::max(maxItem.value(name, -1), a.Index);
        if (a.Property == tpCaption)
            hasCaption[name] = true;
    }
    for (const TFormAssignment& a : entry.Assignments) {
        const QString name = QString::fromLatin1(a.Control);
        if (name.isEmpty() || form->findChild<QObject*>(name))
            continue;
        QWidget* w = nullptr;
        if (name.startsWith(QLatin1String("TabSheet"))) {
            if (!tabs) {
                tabs = new QTabWidget(form.get());
                layout->addWidget(tabs);
            }
            w = new QWidget;
            tabs->addTab(w, QStringLiteral("Seite"));
        } else if (maxItem.contains(name) && hasCaption.value(name)) {
            auto* g = new QGroupBox(QStringLiteral("Gruppe"), form.get());
            auto* gl = new QVBoxLayout(g);
            for (int i = 0; i <= maxItem[name]; ++i)
                gl->addWidget(new QRadioButton(QStringLiteral("Punkt"), g));
            w = g;
        } else if (maxItem.contains(name)) {
            auto* c = new QComboBox(form.get());
            for (int i = 0; i <= maxItem[name]; ++i)
                c->addItem(QStringLiteral("Eintrag"));
            w = c;
        } else if (name.startsWith(QLatin1String("CheckBox"))) {
            w = new QCheckBox(form.get());
        } else if (name.startsWith(QLatin1String("RadioButton"))) {
            w = new QRadioButton(form.get());
        } else if (name.startsWith(QLatin1String("GroupBox"))) {
            w = new QGroupBox(form.get());
        } else if (name.startsWith(QLatin1String("Label"))) {
            w = new QLabel(form.get());
        } else {
            w = new QPushButton(form.get());
        }
        w->setObjectName(name);
        if (!name.startsWith(QLatin1String("TabSheet")))
            layout->addWidget(w);
    }
    return form;
}

QString readCaption(QWidget* form, const QString& name)
{
    QObject* o = form->findChild<QObject*>(name);
    if (auto* w = qobject_cast<QWidget*>(o); w && name.startsWith(QLatin1String("TabSheet"))) {
        auto* tabs = form->findChild<QTabWidget*>();
        return tabs->tabText(tabs->indexOf(w));
    }
    if (auto* l = qobject_cast<QLabel*>(o))
        return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(o))
        return g->title();
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        return b->text();
    return QStringLiteral("<none>");
}

QString readItem(QWidget* form, const QString& name, int index)
{
    QObject* o = form->findChild<QObject*>(name);
    if (auto* c = qobject_cast<QComboBox*>(o))
        return c->itemText(index);
    return o->findChildren<QRadioButton*>().value(index)->text();
}

} // namespace

TEST_F(Translation, EveryFormGetsAllItsEnglishTexts)
{
    // Texts per form key.
    const QMap<QString, int> counts = {
        {"aufverzform", 17}, {"autoform", 21},    {"blackwhiteform", 12}, {"fcolorsel", 4},
        {"farbredform", 8},  {"fhistogram", 10},  {"fmergedialog", 7},    {"neugrafik", 15},
        {"optionform", 26},  {"printform", 42},   {"frotate", 8},         {"slideform", 52},
        {"videoform", 10},   {"zeichenform", 4},  {"form1", 45},          {"infoform", 14},
    };
    ASSERT_EQ(FormTranslations().size(), 16u);
    SetLanguage(langEnglish);
    for (const TFormTranslation& entry : FormTranslations()) {
        const QString key = QString::fromLatin1(entry.Key);
        SCOPED_TRACE(key.toStdString());
        ASSERT_TRUE(counts.contains(key));
        EXPECT_EQ(int(entry.Assignments.size()), counts[key]);
        auto form = buildForm(entry);
        EXPECT_EQ(TranslateForm(key, form.get()), counts[key]);
        for (const TFormAssignment& a : entry.Assignments) {
            const QString name = QString::fromLatin1(a.Control);
            const QString text = QString::fromUtf8(a.English);
            SCOPED_TRACE(name.toStdString());
            switch (a.Property) {
            case tpWindow: EXPECT_EQ(form->windowTitle(), text); break;
            case tpCaption: EXPECT_EQ(readCaption(form.get(), name), text); break;
            case tpItem: EXPECT_EQ(readItem(form.get(), name, a.Index), text); break;
            case tpHint: EXPECT_EQ(form->findChild<QWidget*>(name)->toolTip(), text); break;
            }
        }
    }
}

TEST_F(Translation, SelectedFormTextsAsWritten)
{
    SetLanguage(langEnglish);
    auto text = [](const char* key, const char* control, TTranslatedProperty p, int index) {
        for (const TFormTranslation& f : FormTranslations())
            if (QLatin1String(f.Key) == QLatin1String(key))
                for (const TFormAssignment& a : f.Assignments)
                    if (QLatin1String(a.Control) == QLatin1String(control) && a.Property == p && a.Index == index)
                        return QString::fromUtf8(a.English);
        return QString();
    };
    EXPECT_EQ(text("slideform", "Label7", tpCaption, -1), QStringLiteral("(Stop with \"S\"-Key)"));
    EXPECT_EQ(text("autoform", "ComboBox1", tpItem, 2), QStringLiteral("Don´t save"));
    EXPECT_EQ(text("form1", "zoombox", tpItem, 9), QStringLiteral("Window size"));
    EXPECT_EQ(text("form1", "zoombox", tpHint, -1), QStringLiteral("Zoomvalue"));
    EXPECT_EQ(text("aufverzform", "", tpWindow, -1), QStringLiteral("Use on Directory / Filelist ..."));
    EXPECT_EQ(text("neugrafik", "RadioGroup2", tpItem, 6), QStringLiteral("Window size"));
    EXPECT_EQ(text("printform", "RadioButton2", tpCaption, -1), QStringLiteral("Center vertikal"));
    EXPECT_EQ(text("infoform", "Label2", tpCaption, -1),
              QStringLiteral("If you would like to know what Kandrivel can do, just press one of the buttons.\n\n"
                             "Or close this window and simply try out the menu."));
}

TEST_F(Translation, FormKeysCompareExactlyAndUnknownKeysDoNothing)
{
    SetLanguage(langEnglish);
    QWidget form;
    auto* l = new QLabel(QStringLiteral("Quelle:"), &form);
    l->setObjectName(QStringLiteral("Label1"));
    EXPECT_EQ(TranslateForm(QStringLiteral("FarbRedForm"), &form), 0);
    EXPECT_EQ(TranslateForm(QStringLiteral("doslide"), &form), 0);
    EXPECT_EQ(TranslateForm(QStringLiteral("komform"), &form), 0);
    EXPECT_EQ(l->text(), QStringLiteral("Quelle:"));
    // Controls a form lacks are skipped.
    EXPECT_EQ(TranslateForm(QStringLiteral("farbredform"), &form), 2);  // window and Label1
    EXPECT_EQ(l->text(), QStringLiteral("Source:"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Reduce colors"));
}

TEST_F(Translation, FormFoundByItsNameAndMainWindowLanguage)
{
    SetLanguage(langEnglish);
    QWidget form;
    form.setObjectName(QStringLiteral("form1"));
    auto* open = new QPushButton(&form);
    open->setObjectName(QStringLiteral("OpenBtn"));
    QMenu menu(&form);
    QAction* act = menu.addAction(QStringLiteral("x"));
    act->setObjectName(QStringLiteral("SaveBtn"));
    EXPECT_EQ(TranslateForm(QStringLiteral("form1")), 2);
    EXPECT_EQ(open->toolTip(), QStringLiteral("Open"));
    EXPECT_EQ(act->toolTip(), QStringLiteral("Save"));
    EXPECT_EQ(form.property("MsgLanguage").toInt(), int(msEnglish));
}
