// The main window in both languages: what each command opens speaks the program's
// language, the library's own dialogs included.
#include "app/catalog/catalog_window.h"
#include "app/batch/batch_runner.h"
#include "app/dialogs/dialog_test_util.h"
#include "app/dialogs/new_image_dialog.h"
#include "app/options/options_dialog.h"
#include "app/dialogs/rotate_dialog.h"
#include "app/text/locale_env.h"
#include "app/options/option_file.h"
#include "app/text/language.h"
#include "app/util/paths.h"
#include "platform/core/streams.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/dialogs/io_previews_dialog.h"
#include "imaging/dialogs/select_source_dialog.h"
#include "imaging/io/acquire/sane_test_env.h"
#include "platform/ui/file_dialogs.h"

#include <QAction>
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>

namespace {

struct Texts {
    const char* german;
    const char* english;
    QString in(uint8_t language) const { return QString::fromUtf8(language == langEnglish ? english : german); }
};

// Like WhenModal, for dialogs that let events run while they are being shown: waits,
// a turn of the event loop at a time, until the dialog is the modal one.
template <class D> void WhenShown(std::function<void(D*)> act, int turns = 2000)
{
    QTimer::singleShot(1, [act, turns] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget()); d && d->isVisible())
            act(d);
        else if (turns > 0)
            WhenShown<D>(act, turns - 1);
        else
            ADD_FAILURE() << "no modal " << D::staticMetaObject.className();
    });
}

// The captions of a dialog's labels, buttons and frames.
QStringList textsOn(QWidget* dialog)
{
    QStringList texts;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (auto* l = qobject_cast<QLabel*>(w))
            texts << l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << g->title();
    }
    return texts;
}

class LanguageForms : public MainWindowTest, public ::testing::WithParamInterface<uint8_t> {
protected:
    void TearDown() override
    {
        TOpenDialog::ExecuteHook = nullptr;
        SetInputQueryHook(nullptr);
        MainWindowTest::TearDown();
        SetLanguage(langGerman);
    }
    uint8_t language() const { return GetParam(); }
    void start()
    {
        toptions o = DefaultOptions();
        o.language = language();
        writeOptionFile(o);
        make();
    }
    void trigger(const char* name)
    {
        QAction* a = form->Item(QString::fromLatin1(name));
        ASSERT_TRUE(a && a->isEnabled()) << name;
        a->trigger();
    }
    // The title of the modal dialog of type D that the command opens; the dialog is cancelled.
    template <class D> QString titleOf(const char* item, std::function<void(D*)> look = nullptr)
    {
        QString title = QStringLiteral("<none>");
        WhenShown<D>([&](D* d) {
            title = d->windowTitle();
            if (look)
                look(d);
            d->reject();
        });
        trigger(item);
        return title;
    }
};

TEST_F(MainWindowTest, FirstStartFollowsTheLocaleAndAnOptionFileWins)
{
    const struct Case {
        const char *all, *messages, *lang;
        int stored;  // language byte of an option file, -1 for none
        uint8_t expected;
    } cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", -1, langGerman},     {nullptr, nullptr, "en_GB.UTF-8", -1, langEnglish},
        {nullptr, "de_AT", "en_US", -1, langGerman},            // LC_MESSAGES before LANG
        {"en_US.UTF-8", "de_DE", "de_DE", -1, langEnglish},     // LC_ALL before both
        {nullptr, nullptr, "de_CH", langEnglish, langEnglish},  // the file wins
        {"en_US", nullptr, nullptr, langGerman, langGerman},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " "
                                        << (c.lang ? c.lang : "-") << " file " << c.stored);
        QFile::remove(OptionFileName());
        TLocaleEnv env(c.all, c.messages, c.lang);
        if (c.stored >= 0) {
            toptions o = DefaultOptions();
            o.language = uint8_t(c.stored);
            writeOptionFile(o);
        }
        make();
        EXPECT_EQ(CurrentLanguage(), c.expected);
        EXPECT_EQ(form->Menu("Datei1")->title(),
                  c.expected == langEnglish ? QStringLiteral("&File") : QStringLiteral("&Datei"));
        EXPECT_EQ(form->options.language, c.expected);
        form.reset();
    }
    // Without a locale that says anything the English help page decides.
    const QString help = TempDir() + QStringLiteral("/helppages");
    QDir().mkpath(help);
    for (const char* plain : {"C", "C.UTF-8", "POSIX"}) {
        TLocaleEnv env(nullptr, nullptr, plain);
        EXPECT_EQ(FirstStartLanguage(help), langGerman) << plain;
    }
    QFile page(help + QStringLiteral("/Kandrivel(e).html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    TLocaleEnv none;
    EXPECT_EQ(FirstStartLanguage(help), langEnglish);
    TLocaleEnv german(nullptr, nullptr, "de_DE.UTF-8");
    EXPECT_EQ(FirstStartLanguage(help), langGerman);
}

TEST_P(LanguageForms, LibraryDialogsSpeakTheProgramsLanguage)
{
    start();
    imageWindow(40, 30, clWhite);
    QStringList tabs;
    const auto visibleTabs = [&tabs](TfPreviews* d) {
        auto* pages = d->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        tabs.clear();
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i))
                tabs << pages->tabText(i);
    };
    EXPECT_EQ(titleOf<TfPreviews>("effects1", visibleTabs), (Texts{"Vorschau", "Preview"}.in(language())));
    EXPECT_EQ(tabs.join(u','),
              (Texts{"Benutzer Filter,Bump map,Linse,Welle", "User filter,Bump map,Lens,Wave"}.in(language())));
    EXPECT_EQ(titleOf<TfPreviews>("Farbenbearbeiten1", visibleTabs), (Texts{"Vorschau", "Preview"}.in(language())));
    EXPECT_EQ(tabs.join(u','),
              (Texts{"Kontrast,HSV,HSL,RGB,Ausgleichen", "Contrast,HSV,HSL,RGB,Equalization"}.in(language())));
    // The wallpaper asks first, then shows the bitmap parameters of the image's own component.
    answer = mrOk;
    EXPECT_EQ(titleOf<TfIOPreviews>("Zentriert1"), (Texts{"Parameter Vorschau", "Parameters Preview"}.in(language())));
    EXPECT_EQ(form->ActiveImageWindow()->imageKit->IO()->MsgLanguage, language() == langEnglish ? msEnglish : msGerman);
}

TEST_P(LanguageForms, ScannerSelectionSpeaksTheProgramsLanguage)
{
    REQUIRE_SANE_TEST_BACKEND();
    scantest::Configure();
    start();
    QString select;
    EXPECT_EQ(titleOf<TSelectSourceDialog>("Scannerwhlen1",
                                           [&](TSelectSourceDialog* d) {
                                               select = d->findChild<QPushButton*>("SelectButton")->text();
                                           }),
              (Texts{"Quelle wählen", "Select Source"}.in(language())));
    EXPECT_EQ(select, (Texts{"Wählen", "Select"}.in(language())));
}

TEST_P(LanguageForms, DialogsOfTheCommandsCarryTheirCaptions)
{
    start();
    Tchild* image = imageWindow(40, 30, clWhite);
    const struct {
        const char* item;
        Texts title;
    } neuGrafik[] = {{"REsize1", {"Größe ändern (Resize)", "Resize"}},
                     {"Resample1", {"Größe ändern (Resample)", "Resample"}},
                     {"ffnen1", {"Neue Grafik", "New Image"}}};
    for (const auto& c : neuGrafik)
        EXPECT_EQ(titleOf<TNeuGrafik>(c.item), c.title.in(language())) << c.item;
    form->ActivateChild(image);
    EXPECT_EQ(titleOf<TfRotate>("Winkeleingeben1"), (Texts{"Rotation Vorschau", "Rotation preview"}.in(language())));

    // Texts the tables lack, each on the dialog its command opens.
    const struct {
        const char* item;
        Texts title, text;
    } shown[] = {
        {"Optionen2",
         {"Optionen", "Options"},
         {"Folgende Dateitypen mit Explorer Verknüpfen:", "Link the following file types with Explorer:"}},
        {"Optionen2", {"Optionen", "Options"}, {"Katalog (PCA)", "Catalog (PCA)"}},
        {"Optionen1", {"Optionen für Diashow", "Slideshow options"}, {"Diashow", "Slideshow"}},
        {"Malfarbe1", {"Farbe auswählen", "Choose color"}, {"Rot:", "Red:"}},
    };
    for (const auto& c : shown) {
        QStringList texts;
        EXPECT_EQ(titleOf<QDialog>(c.item, [&](QDialog* d) { texts = textsOn(d); }), c.title.in(language())) << c.item;
        EXPECT_TRUE(texts.contains(c.text.in(language()))) << c.item << ": " << texts.join(u'|').toStdString();
    }
    EXPECT_TRUE(form->ImageFilter.contains(Texts{"Katalog (PCA)|", "Catalog (PCA)|"}.in(language())));

    // The text comment asks for a text, not a sound.
    image->imageKit->IOParams().FileName = home_ + QStringLiteral("/bild.bmp");
    QString caption, prompt;
    SetInputQueryHook([&](const QString& c, const QString& p, QString&) {
        caption = c;
        prompt = p;
        return false;
    });
    trigger("Text2");
    EXPECT_EQ(caption, (Texts{"Textkommentar festlegen", "Set text comment"}.in(language())));
    EXPECT_EQ(prompt, (Texts{"Bitte Textkommentar eingeben:", "Enter text comment"}.in(language())));

    const struct {
        const char* item;
        Texts text;
    } menu[] = {{"Negativ1", {"&Negativ", "&Negative"}}, {"Untereinander1", {"&Untereinander", "T&ile vertikal"}}};
    for (const auto& m : menu)
        EXPECT_EQ(form->Item(QString::fromLatin1(m.item))->text(), m.text.in(language())) << m.item;
}

TEST_P(LanguageForms, CatalogFileDialogsCarryTheirTitles)
{
    start();
    Tkataform* k = CreateCatalogWindow(*form);
    k->setWindowTitle(QStringLiteral("!unbenannt1"));
    form->ActivateChild(k);
    QString title, cancel;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        title = d->windowTitle();
        if (auto* box = d->findChild<QDialogButtonBox*>())
            cancel = box->button(QDialogButtonBox::Cancel)->text();
        d->reject();
    });
    trigger("Dateihinzufgen1");
    EXPECT_EQ(title, (Texts{"Datei hinzufügen", "Add file"}.in(language())));
    // Qt's own texts follow, from its German catalogue.
    const bool catalogue =
        QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm"));
    if (catalogue) {
        EXPECT_EQ(cancel, (Texts{"Abbrechen", "Cancel"}.in(language())));
    }
    // "Speichern als" stands before "Katalog speichern als" in the caption table.
    TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
        title = d.Title;
        return false;
    };
    trigger("Katalogspeichernals1");
    EXPECT_EQ(title, (Texts{"Katalog speichern als", "Save as"}.in(language())));
    k->Modified = false;
    if (!catalogue)
        GTEST_SKIP() << "missing tool: qt6-translations-l10n (Qt's German texts)";
}

// A record stored during the run shows its whole name in the tool bar's batch box.
TEST_F(MainWindowTest, BatchBoxShowsWholeNamesOfRecordsAddedLater)
{
    make();
    auto* box = form->Control<QComboBox>(QStringLiteral("autobox"));
    QTest::qWait(0);
    const QString name = QStringLiteral("greyresize_and_sharpen_holiday.atm");
    WriteFileSafely(WindowsDirectory() + name, QByteArray());
    form->Batch().UpdateBatchBox();
    // The tool bar lays the box out again once its size hint has grown.
    for (int turn = 0; turn < 500 && box->width() < box->sizeHint().width(); ++turn)
        QTest::qWait(10);
    ASSERT_EQ(box->currentText(), name);
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = false;
    const QRect text = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
    EXPECT_GE(text.width(), box->fontMetrics().horizontalAdvance(name));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LanguageForms, ::testing::Values(langGerman, langEnglish),
                         [](const testing::TestParamInfo<uint8_t>& info) {
                             return std::string(info.param == langEnglish ? "English" : "German");
                         });

}  // namespace
