// Translation: the caption and text tables and every form's English texts.
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

const Pair kTexts[] = {{"Alle Dateien", "All files"},
                       {"Alle", "All"},
                       {"unbenannt", "noname"},
                       {"Importiere Kommentar. Bitte warten ...", "Importing comment. Please wait ..."},
                       {"Kommentar importieren", "Import comment"},
                       {"Aufnahme läuft !!!", "Recording started !!!"},
                       {"Kommentar aufnehmen", "Record comment"},
                       {"Kommentar wird abgespielt !!!", "Comment is playing !!!"},
                       {"Kandrivel.hlp", "Kandrivel(e).hlp"}};

class Translation : public ::testing::Test {
protected:
    void TearDown() override { SetLanguage(langGerman); }
};

}  // namespace

// Spot checks of the caption table: its ends and middle in order, and captions that an
// earlier, shorter fragment takes over.
TEST_F(Translation, CaptionTableSpotChecks)
{
    const auto& pairs = CaptionPairs();
    ASSERT_EQ(pairs.size(), 145u);
    const struct {
        size_t index;
        Pair pair;
    } entries[] = {{0, {"Fenstergröße", "Window size"}},
                   {68, {"16 Mi", "16 Mi&llion colors (24 Bit per Pixel)"}},
                   {131, {"&Bild", "&Image"}},
                   {144, {"Aufnahmeein", "Record Settings ..."}}};
    for (const auto& e : entries) {
        SCOPED_TRACE(e.index);
        EXPECT_STREQ(pairs[e.index].German, e.pair.german);
        EXPECT_STREQ(pairs[e.index].English, e.pair.english);
    }
    SetLanguage(langEnglish);
    const Pair translated[] = {
        {"Willko", "&Welcome ..."}, {"Textin", "Set &text ..."}, {"16 Mi", "16 Mi&llion colors (24 Bit per Pixel)"},
        {"Hinzufügen", "Add"},      {"&Bild", "Image"},  // "Bild" comes earlier
        {"&Katalog", "&Catalog"},                        // so does "&Katalog"
    };
    for (const Pair& p : translated)
        EXPECT_EQ(TranslatedCaption(QString::fromUtf8(p.german)), QString::fromUtf8(p.english)) << p.german;
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

}  // namespace

TEST_F(Translation, EveryFormGetsAllItsEnglishTexts)
{
    // Texts per form key.
    const QMap<QString, int> counts = {
        {"aufverzform", 17}, {"autoform", 21},   {"blackwhiteform", 12}, {"fcolorsel", 4},
        {"farbredform", 8},  {"fhistogram", 10}, {"fmergedialog", 7},    {"neugrafik", 15},
        {"optionform", 26},  {"printform", 42},  {"frotate", 8},         {"slideform", 52},
        {"videoform", 10},   {"zeichenform", 4}, {"form1", 45},          {"infoform", 14},
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
