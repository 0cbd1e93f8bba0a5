// The options dialog and the welcome window: OK, rounding, bindings and help pages.
#include "app/catalog/catalog_window.h"
#include "app/dialogs/welcome_window.h"
#include "app/options/options.h"
#include "controls/grid/kit_draw_grid.h"
#include "app/options/options_dialog.h"
#include "app/options/option_file.h"
#include "app/options/file_types.h"
#include "app/text/language.h"
#include "app/util/paths.h"
#include "controls/edits/spin_edit.h"
#include "app/dialogs/dialog_test_util.h"
#include "platform/core/streams.h"
#include "platform/system/xdg_file_types.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

class OptionsAndWelcome : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        configHome = TempDir();
        dataHome = TempDir();
        qputenv("XDG_CONFIG_HOME", configHome.toUtf8());
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
        for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                              "XDG_SESSION_DESKTOP"})
            qunsetenv(v);
        // xdg-mime accepts a default only for a program that exists.
        program = TempDir() + QStringLiteral("/kandrivel");
        QFile f(program);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void TearDown() override
    {
        SetLanguage(langGerman);
        MainWindowTest::TearDown();
    }
    QString defaultFor(const char* mime)
    {
        QByteArray out;
        RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QLatin1String(mime)},
                &out);
        return QString::fromUtf8(out).trimmed();
    }
    static QByteArray bytes(const toptions& o)
    {
        TMemoryStream s;
        WriteOptions(o, s);
        return s.Bytes();
    }
    QString configHome, dataHome, program;
};

TEST_F(OptionsAndWelcome, OkWithoutChangeKeepsEveryOption)
{
    make();
    const uint8_t flagSets[] = {4, 0, 15, 1 | 8};
    for (uint8_t flags : flagSets) {
        form->options.katflags = flags;
        form->options.undodepth = 7;
        form->options.RulerUnit = 2;
        form->options.ZoomFilter = 5;
        const QByteArray before = bytes(form->options);
        Toptionform d(form->options, program);
        d.show();
        d.okClicked();
        EXPECT_EQ(bytes(form->options), before) << int(flags);
    }
}

TEST_F(OptionsAndWelcome, SpinValuesAreRoundedAndTheUndoDepthBounded)
{
    make();
    const struct {
        const char* typed;
        int32_t depth;
    } cases[] = {{"7", 7}, {"5000", 1000}, {"-3", 0}};
    for (const auto& c : cases) {
        Toptionform d(form->options, program);
        d.show();
        d.undoDepthEdit->setText(QString::fromLatin1(c.typed));
        d.okClicked();
        EXPECT_EQ(form->options.undodepth, c.depth) << c.typed;
    }
}

// The catalog's cell size and spacing stay within what makes a usable grid, whatever is
// typed (a number too large for any integer included), and a catalog opened on an
// option file holding other numbers lays its grid out within the same bounds.
TEST_F(OptionsAndWelcome, CatalogCellSizesAreBoundedToAUsableGrid)
{
    make();
    const struct {
        const char* typed;
        int32_t side, spacing;
    } cases[] = {{"85", 85, 85},
                 {"2000000000", kMaxCatalogThumbSide, kMaxCatalogSpacing},
                 {"99999999999", kMaxCatalogThumbSide, kMaxCatalogSpacing},
                 {"3", kMinCatalogThumbSide, 3},
                 {"-7", kMinCatalogThumbSide, 0}};
    for (const auto& c : cases) {
        Toptionform d(form->options, program);
        d.show();
        for (TKitSpinEdit* e : {d.thumbWidthEdit, d.thumbHeightEdit, d.thumbSpacingEdit})
            e->setText(QString::fromLatin1(c.typed));
        d.okButton->click();
        EXPECT_EQ(form->options.katwidth, c.side) << c.typed;
        EXPECT_EQ(form->options.katheight, c.side) << c.typed;
        EXPECT_EQ(form->options.katspacing, c.spacing) << c.typed;
    }
    form->options.katwidth = 2000000000;
    form->options.katheight = -5;
    form->options.katspacing = 2000000000;
    form->options.katflags = 0;
    Tkataform* k = CreateCatalogWindow(*form);
    EXPECT_EQ(k->thumbGrid->DefaultColWidth(), kMaxCatalogThumbSide);
    EXPECT_EQ(k->thumbGrid->DefaultRowHeight(), kMinCatalogThumbSide);
    EXPECT_EQ(k->thumbGrid->GridLineWidth(), kMaxCatalogSpacing);
}

TEST_F(OptionsAndWelcome, OnlyOkWritesOptionsAndBindings)
{
    REQUIRE_TOOLS(QStringLiteral("xdg-mime"));
    make();
    RegisterFileType(QStringLiteral("JPG"), QStringLiteral("JPGGrafik"), QStringLiteral("Kandrivel (JPEG)"), program,
                     program);
    const struct {
        bool ok;
    } runs[] = {{false}, {true}};
    for (const auto& r : runs) {
        Toptionform d(form->options, program);
        d.show();
        // Only JPG of the JPEG pair is bound: the box shows unchecked.
        EXPECT_FALSE(d.TypeBoxes[0]->isChecked());
        d.undoDepthEdit->setText(QStringLiteral("12"));
        d.selectAllTypesButton->click();
        d.TypeBoxes[0]->setChecked(false);
        if (r.ok)
            d.okButton->click();
        else
            d.cancelButton->click();
        EXPECT_EQ(QFile::exists(OptionFileName()), r.ok);
        EXPECT_EQ(form->options.undodepth == 12, r.ok);
        // The JPG binding goes only on OK with the box cleared.
        EXPECT_EQ(IsFileTypeRegistered(QStringLiteral("JPG"), QStringLiteral("JPGGrafik")), !r.ok);
        EXPECT_EQ(defaultFor("image/tiff") == QStringLiteral("kandrivel.desktop"), r.ok);
    }
    toptions stored;
    readOptionFile(stored);
    EXPECT_EQ(stored.undodepth, 12);
    // ".tif" and ".tiff" are bound together.
    for (const char* ext : {"TIF", "TIFF"})
        EXPECT_TRUE(IsFileTypeRegistered(QLatin1String(ext), QStringLiteral("TIFFGrafik"))) << ext;
    EXPECT_NE(defaultFor("image/jpeg"), QStringLiteral("kandrivel.desktop"));
    EXPECT_EQ(defaultFor("application/x-kandrivel-catalog"), QStringLiteral("kandrivel.desktop"));
    Toptionform again(form->options, program);
    again.show();
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(again.TypeBoxes[i]->isChecked(), i != 0) << i;
    again.selectNoTypeButton->click();
    again.okButton->click();
    EXPECT_FALSE(IsFileTypeRegistered(QStringLiteral("TIF"), QStringLiteral("TIFFGrafik")));
    EXPECT_NE(defaultFor("image/tiff"), QStringLiteral("kandrivel.desktop"));
}

TEST_F(OptionsAndWelcome, WelcomeOpensTheHelpAnchorsInBothLanguages)
{
    for (uint8_t lang : {langGerman, langEnglish}) {
        toptions o = DefaultOptions();
        o.language = lang;
        writeOptionFile(o);
        make();
        form->Item(QStringLiteral("Willkommen1"))->trigger();
        auto* info = form->findChild<Tinfoform*>();
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(ChildKind(form->ActiveMDIChild()), ckWelcome);
        EXPECT_FALSE(form->Item(QStringLiteral("Speichern1"))->isEnabled());
        EXPECT_EQ(info->welcomeLabel->text(), lang == langEnglish
                                                  ? QStringLiteral("Welcome to Kandrivel")
                                                  : QStringLiteral("Herzlich willkommen zu Kandrivel."));
        // The window chose the page of the language; a copy of it stands in, since the
        // test program has no help pages beside it.
        EXPECT_TRUE(TApplication::HelpFile().endsWith(HelpFileName(lang)));
        const QString page = TempDir() + u'/' + HelpFileName(lang);
        QFile::copy(SourcePath(QStringLiteral("resources/help/") + HelpFileName(lang)), page);
        TApplication::SetHelpFile(page);
        HelpRecorder help;
        for (int i = 0; i < 8; ++i)
            info->HelpButtons[size_t(i)]->click();
        ASSERT_EQ(help.urls.size(), 8u);
        for (int i = 0; i < 8; ++i) {
            EXPECT_TRUE(help.urls[size_t(i)].endsWith(QStringLiteral("#context-%1").arg(21 + i))) << i;
        }
        form.reset();
    }
}

TEST_F(OptionsAndWelcome, ClosingTheWelcomeWindowDecidesTheNextStart)
{
    for (bool dontShow : {false, true}) {
        Tform1::ShowWelcomeAtStart = true;
        make();
        auto* info = form->findChild<Tinfoform*>();
        ASSERT_NE(info, nullptr) << dontShow;
        info->dontShowAgainCheck->setChecked(dontShow);
        info->closeButton->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->findChild<Tinfoform*>() == nullptr; }, 5000));
        EXPECT_EQ(form->options.showwelcome, dontShow ? 0 : 1);
        ASSERT_TRUE(form->close());
        form.reset();
        toptions stored;
        readOptionFile(stored);
        EXPECT_EQ(stored.showwelcome, dontShow ? 0 : 1);
        if (dontShow) {
            make();
            EXPECT_EQ(form->findChild<Tinfoform*>(), nullptr);
        }
    }
}

TEST_F(OptionsAndWelcome, WelcomeBindsEveryTypeAfterAsking)
{
    make();
    for (int reply : {int(mrCancel), int(mrOk)}) {
        answer = reply;
        Tinfoform info(form->options, program);
        info.bindTypesButton->click();
        const std::array<bool, 9> state = FileTypeBindingState();
        for (bool bound : state)
            EXPECT_EQ(bound, reply == mrOk);
    }
}

}  // namespace
