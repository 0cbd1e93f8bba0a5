// Form placement: ini files and registry, sections, and state across runs.
#include "controls/grid/kit_draw_grid.h"
#include "controls/placement/form_placement.h"
#include "controls/placement/ini_storage.h"
#include "platform/core/streams.h"
#include "platform/system/registry.h"
#include "platform/ui/application.h"
#include "common/test_support.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = TempDir() + QLatin1Char('/') +
               QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        QDir().mkpath(dir_);
        qputenv("KANDRIVEL_HOME", dir_.toUtf8());
        iniName_ = dir_ + QStringLiteral("/forms.ini");
        savedHandler_ = TApplication::OnException;
        TApplication::OnException = [this](const std::exception& e) { errors_ << QString::fromUtf8(e.what()); };
    }
    void TearDown() override { TApplication::OnException = savedHandler_; }

    // A form at a known place with a placement that stores in iniName_.
    template <class Form = QWidget> std::unique_ptr<Form> makeForm(QRect rect = QRect(50, 60, 300, 200))
    {
        auto form = std::make_unique<Form>();
        form->setGeometry(rect);
        auto* p = new TFormPlacement(form.get());
        p->SetIniFileName(iniName_);
        return form;
    }
    static TFormPlacement* placementOf(QWidget* form) { return form->findChild<TFormPlacement*>(); }
    static void show(QWidget* form)
    {
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        QCoreApplication::processEvents();
    }
    void writeIni(const QByteArray& text) { WriteFileSafely(iniName_, text); }
    // The client rectangle, as the placement stores it.
    static QRect placed(const QWidget* w) { return w->geometry(); }
    static int ppi() { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()); }

    QString dir_;
    QString iniName_;
    QStringList errors_;
    std::function<void(const std::exception&)> savedHandler_;
};

}  // namespace

TEST_F(Placement, QuotedValuesKeepTheirQuotesInIniFilesAndRegistry)
{
    struct Case {
        const char* value;
        const char* fileLine;
    };
    const Case cases[] = {
        {"\"quoted\"", "K=\"\"quoted\"\""},
        {"'single'", "K=\"'single'\""},
        {"plain \"inside\" text", "K=plain \"inside\" text"},
        {"\"", "K=\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const QString value = QString::fromUtf8(c.value);
        QFile::remove(iniName_);
        {
            TIniFile ini(iniName_);
            IniWriteString(&ini, QStringLiteral("S"), QStringLiteral("K"), value);
            ini.UpdateFile();
        }
        EXPECT_TRUE(ReadWholeFile(iniName_).contains(c.fileLine));
        TIniFile again(iniName_);
        EXPECT_EQ(IniReadString(&again, QStringLiteral("s"), QStringLiteral("k"), QString()), value);

        TRegistryIniFile reg(QStringLiteral("Software\\KitTest"));
        IniWriteString(&reg, QStringLiteral("S"), QStringLiteral("K"), value);
        TRegistry r;
        ASSERT_TRUE(r.OpenKey(QStringLiteral("\\Software\\KitTest\\S"), false));
        EXPECT_EQ(r.ReadString(QStringLiteral("K")), value);
        EXPECT_EQ(IniReadString(&reg, QStringLiteral("S"), QStringLiteral("K"), QString()), value);
    }
    // Without storage, reading gives the default.
    EXPECT_EQ(IniReadString(nullptr, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(Placement, ScreenSpecificKeysFallBackToThePlainKey)
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    const QString suffixed = QStringLiteral("Pos(%1x%2)").arg(size.width()).arg(size.height());
    EXPECT_EQ(ScreenSpecificKey(QStringLiteral("Pos")), suffixed);
    TIniFile ini(iniName_);
    IniWriteScreenString(&ini, QStringLiteral("S"), QStringLiteral("Pos"), QStringLiteral("1,2"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), suffixed, QString()), QStringLiteral("1,2"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("Pos"), QString()), QStringLiteral("1,2"));
    ini.WriteString(QStringLiteral("S"), QStringLiteral("Pos"), QStringLiteral("plain"));
    EXPECT_EQ(IniReadScreenString(&ini, QStringLiteral("S"), QStringLiteral("Pos"), QString()), QStringLiteral("1,2"));
    ini.WriteString(QStringLiteral("S"), suffixed, QString());
    EXPECT_EQ(IniReadScreenString(&ini, QStringLiteral("S"), QStringLiteral("Pos"), QString()),
              QStringLiteral("plain"));
}

TEST_F(Placement, DefaultNamesAndSections)
{
    QDialog form;
    auto* edit = new QWidget(&form);
    edit->setObjectName(QStringLiteral("Edit1"));
    auto* inner = new QWidget(edit);
    inner->setObjectName(QStringLiteral("Inner"));
    QObject component(&form);
    component.setObjectName(QStringLiteral("Placement1"));
    QObject loose;
    loose.setObjectName(QStringLiteral("Loose"));
    EXPECT_EQ(DefaultSection(nullptr), QString());
    EXPECT_EQ(DefaultSection(&form), QStringLiteral("QDialog"));
    EXPECT_EQ(DefaultSection(edit), QStringLiteral("QDialogEdit1"));
    EXPECT_EQ(DefaultSection(inner), QStringLiteral("QDialogInner"));
    EXPECT_EQ(DefaultSection(&component), QStringLiteral("QDialog.Placement1"));
    EXPECT_EQ(DefaultSection(&loose), QStringLiteral("Loose"));

    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    EXPECT_EQ(DefaultIniName(), exe + QStringLiteral(".INI"));
    EXPECT_EQ(DefaultRegistryKey(), QStringLiteral("Software\\") + exe);
    TKitIniSettings saved = KitIniSettings();
    const QString title = TApplication::Title();
    TApplication::SetTitle(QStringLiteral("Bildbetrachter"));
    KitIniSettings().UseApplicationTitle = true;
    KitIniSettings().CompanyName = QStringLiteral("Acme");
    KitIniSettings().DefaultIniNameHook = [] { return QStringLiteral("own.ini"); };
    EXPECT_EQ(DefaultRegistryKey(), QStringLiteral("Software\\Acme\\Bildbetrachter"));
    EXPECT_EQ(DefaultIniName(), QStringLiteral("own.ini"));
    KitIniSettings() = saved;
    TApplication::SetTitle(title);

    TFormPlacement p(&form);
    EXPECT_EQ(p.IniSection(), QStringLiteral("QDialog"));
    EXPECT_EQ(p.Options(), TPlacementOptions(fpState | fpPosition));
    p.SetUseRegistry(true);
    EXPECT_EQ(p.IniFileName(), QStringLiteral("Software\\") + exe);
    TFormPlacement loosePlacement(nullptr);
    EXPECT_EQ(loosePlacement.Options(), 0u);
}

TEST_F(Placement, PositionSizeAndMaximisedStateSurviveTwoRuns)
{
    {
        auto form = makeForm();
        show(form.get());
        EXPECT_TRUE(placementOf(form.get())->Restored());
        EXPECT_EQ(placed(form.get()), QRect(50, 60, 300, 200));  // nothing stored yet
        form->setGeometry(70, 80, 320, 240);
        EXPECT_TRUE(form->close());
        EXPECT_TRUE(placementOf(form.get())->Saved());
    }
    TIniFile stored(iniName_);
    EXPECT_EQ(stored.ReadString(QStringLiteral("QWidget"), QStringLiteral("NormPos"), QString()),
              QStringLiteral("70,80,390,320"));
    EXPECT_EQ(stored.ReadInteger(QStringLiteral("QWidget"), QStringLiteral("ShowCmd"), -1), 1);
    EXPECT_EQ(stored.ReadInteger(QStringLiteral("QWidget"), QStringLiteral("Visible"), -1), 0);
    {
        auto form = makeForm(QRect(5, 5, 100, 100));
        show(form.get());
        EXPECT_EQ(placed(form.get()), QRect(70, 80, 320, 240));
        EXPECT_FALSE(form->isMaximized());
        form->showMaximized();
        QCoreApplication::processEvents();
        ASSERT_TRUE(form->isMaximized());
        EXPECT_TRUE(form->close());
    }
    auto form = makeForm(QRect(5, 5, 100, 100));
    show(form.get());
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->normalGeometry(), QRect(70, 80, 320, 240));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Placement, ActiveControlComesBackWithTheForm)
{
    auto run = [this](const char* focusBeforeClosing) {
        auto form = makeForm();
        auto* layout = new QVBoxLayout(form.get());
        for (const char* name : {"Edit1", "Edit2"}) {
            auto* edit = new QLineEdit(form.get());
            edit->setObjectName(QLatin1String(name));
            layout->addWidget(edit);
        }
        placementOf(form.get())->SetOptions(fpState | fpPosition | fpActiveControl);
        show(form.get());
        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        const QString focused = form->focusWidget() ? form->focusWidget()->objectName() : QString();
        form->findChild<QLineEdit*>(QLatin1String(focusBeforeClosing))->setFocus();
        form->close();
        return focused;
    };
    EXPECT_EQ(run("Edit2"), QStringLiteral("Edit1"));
    EXPECT_EQ(TIniFile(iniName_).ReadString(QStringLiteral("QWidget"), QStringLiteral("ActiveControl"), QString()),
              QStringLiteral("Edit2"));
    EXPECT_EQ(run("Edit1"), QStringLiteral("Edit2"));
}

TEST_F(Placement, DestroyingAShownFormSavesItAsVisibleInItsOwnSection)
{
    {
        auto form = makeForm<QDialog>();
        show(form.get());
        form->setGeometry(QRect(QPoint(90, 100), form->size()));
    }
    TIniFile stored(iniName_);
    EXPECT_EQ(stored.ReadSections(), QStringList({"QDialog"}));
    EXPECT_EQ(stored.ReadString(QStringLiteral("QDialog"), QStringLiteral("NormPos"), QString()),
              QStringLiteral("90,100,390,300"));
    EXPECT_TRUE(stored.ReadBool(QStringLiteral("QDialog"), QStringLiteral("Visible"), false));
    // A form never shown was never restored, and so is not saved.
    QFile::remove(iniName_);
    {
        auto form = makeForm();
    }
    EXPECT_FALSE(QFile::exists(iniName_));
}

TEST_F(Placement, RestoreKeepsTheFormWhenTheStoredRectangleDoesNotApply)
{
    static const char junk[] = "\x00\xff[\x01=\x02\n\xfe\xfe]]]===\n";
    const QByteArray base = "[QWidget]\nShowCmd=1\nPixelsPerInch=" + QByteArray::number(ppi()) + "\n";
    struct Case {
        const char* name;
        QByteArray text;
        QRect expected;
    };
    const Case cases[] = {
        {"other pixel density",
         "[QWidget]\nPixelsPerInch=" + QByteArray::number(ppi() + 48) + "\nNormPos=10,20,110,120\n",
         QRect(50, 60, 300, 200)},
        {"no position strings", base, QRect(50, 60, 300, 200)},
        {"letters", base + "NormPos=abc,def\n", QRect(50, 60, 300, 200)},
        {"inverted", base + "NormPos=10,10,5,5\n", QRect(50, 60, 300, 200)},
        {"too big", base + "NormPos=0,0,99999999,99999999\n", QRect(50, 60, 300, 200)},
        {"overflowing", base + "NormPos=-2147483648,0,2147483647,100\n", QRect(50, 60, 300, 200)},
        {"five items", base + "NormPos=1,2,3,4,5\n", QRect(50, 60, 300, 200)},
        {"binary junk", QByteArray(junk, sizeof junk - 1), QRect(50, 60, 300, 200)},
        {"cut header", "[QWidget\nNormPos=10,20,110,", QRect(50, 60, 300, 200)},
        {"good", base + "NormPos=10,20,110,120\nMinMaxPos=x,,3\n", QRect(10, 20, 100, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.text);
        auto form = makeForm();
        show(form.get());
        EXPECT_EQ(placed(form.get()), c.expected);
        EXPECT_FALSE(form->isMaximized());
        EXPECT_FALSE(form->isMinimized());
    }
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Placement, AnUnreadableFileIsReportedAndLeftAsItWas)
{
    QByteArray big = "[QWidget]\nNormPos=10,20,110,120\n";
    big += QByteArray(TIniFile::kMaxFileSize, ';');
    writeIni(big);
    {
        auto form = makeForm();
        show(form.get());
        EXPECT_EQ(placed(form.get()), QRect(50, 60, 300, 200));
        EXPECT_FALSE(placementOf(form.get())->Restored());
        form->close();
    }
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(errors_[0].contains(QStringLiteral("larger than"))) << errors_[0].toStdString();
    EXPECT_EQ(ReadWholeFile(iniName_), big);
    // Writing to such a file is refused as well.
    TIniFile ini(iniName_);
    ini.WriteString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    EXPECT_THROW(ini.UpdateFile(), EIniFileError);
    EXPECT_EQ(ReadWholeFile(iniName_), big);
}

TEST_F(Placement, RectangleFromALargerScreenIsBroughtOntoThisOne)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    // Only the plain key: the suffixed one belongs to the screen it was saved on.
    writeIni("[QWidget]\nShowCmd=1\nNormPos=" +
             QStringLiteral("%1,%2,%3,%4")
                 .arg(avail.right() + 700)
                 .arg(avail.bottom() + 500)
                 .arg(avail.right() + 700 + avail.width() + 400)
                 .arg(avail.bottom() + 500 + 300)
                 .toLatin1() +
             "\n");
    auto form = makeForm();
    show(form.get());
    EXPECT_TRUE(avail.contains(placed(form.get()))) << form->x() << "," << form->y();
    EXPECT_LE(form->width(), avail.width());
    EXPECT_GE(form->width(), avail.width() - 20);
    EXPECT_EQ(form->height(), 300);
}

TEST_F(Placement, FixedSizeFormTakesOnlyThePosition)
{
    writeIni("[QDialog]\nShowCmd=1\nNormPos=10,20,510,420\n");
    auto form = makeForm<QDialog>();
    form->setFixedSize(300, 200);
    show(form.get());
    EXPECT_EQ(placed(form.get()), QRect(10, 20, 300, 200));
}

TEST_F(Placement, MinMaxInfoHoldsTheSizeAndPreventResizeLocksIt)
{
    auto form = makeForm();
    TFormPlacement* p = placementOf(form.get());
    show(form.get());
    EXPECT_EQ(p->WindowHook()->WinControl(), nullptr);
    TWinMinMaxInfo& info = p->MinMaxInfo();
    info.SetValue(TWinMinMaxInfo::MinTrackWidth, 200);
    info.SetValue(TWinMinMaxInfo::MinTrackHeight, 150);
    info.SetValue(TWinMinMaxInfo::MaxTrackWidth, 400);
    EXPECT_EQ(p->WindowHook()->WinControl(), form.get());
    struct Case {
        QSize asked, got;
    };
    for (const Case& c :
         {Case{{100, 100}, {200, 150}}, Case{{1000, 1000}, {400, 1000}}, Case{{250, 180}, {250, 180}}}) {
        form->resize(c.asked);
        EXPECT_EQ(form->size(), c.got);
    }
    TWinMinMaxInfo none;
    p->SetMinMaxInfo(none);
    EXPECT_EQ(p->WindowHook()->WinControl(), nullptr);
    form->resize(100, 100);
    EXPECT_EQ(form->size(), QSize(100, 100));

    const bool hadMaximize = form->windowFlags() & Qt::WindowMaximizeButtonHint ||
                             !(form->windowFlags() & ~Qt::WindowType_Mask);
    ASSERT_TRUE(hadMaximize);
    p->SetPreventResize(true);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    form->resize(400, 400);
    EXPECT_EQ(form->size(), QSize(100, 100));
    p->SetPreventResize(false);
    form->resize(400, 300);
    EXPECT_EQ(form->size(), QSize(400, 300));
}

TEST_F(Placement, GridColumnWidthsTravelWithThePlacement)
{
    auto makeGridForm = [this](int width1) {
        auto form = makeForm();
        placementOf(form.get())->SetIniSection(QStringLiteral("Main"));
        auto* grid = new TKitDrawGrid(form.get());
        grid->setObjectName(QStringLiteral("Grid1"));
        grid->SetColCount(3);
        grid->SetColWidths(1, width1);
        grid->SetIniStorage(placementOf(form.get()));
        return std::make_pair(std::move(form), grid);
    };
    {
        auto [form, grid] = makeGridForm(50);
        show(form.get());
        EXPECT_EQ(grid->ColWidths(1), 50);
        grid->SetColWidths(0, 33);
        grid->SetColWidths(2, 77);
        form->close();
    }
    TIniFile stored(iniName_);
    const QString section = QStringLiteral("Main\\QWidgetGrid1");
    EXPECT_EQ(stored.ReadInteger(section, QStringLiteral("Item0"), -1), 33);
    EXPECT_EQ(stored.ReadInteger(section, QStringLiteral("Item1"), -1), 50);
    EXPECT_EQ(stored.ReadInteger(section, QStringLiteral("Item2"), -1), 77);
    {
        auto [form, grid] = makeGridForm(10);
        show(form.get());
        EXPECT_EQ(grid->ColWidths(0), 33);
        EXPECT_EQ(grid->ColWidths(1), 50);
        EXPECT_EQ(grid->ColWidths(2), 77);
    }
    // Damaged widths leave the columns as they are.
    TIniFile damage(iniName_);
    damage.WriteString(section, QStringLiteral("Item0"), QStringLiteral("-5"));
    damage.WriteString(section, QStringLiteral("Item1"), QStringLiteral("2147483647"));
    damage.WriteString(section, QStringLiteral("Item2"), QStringLiteral("wide"));
    damage.UpdateFile();
    auto [form, grid] = makeGridForm(10);
    show(form.get());
    EXPECT_EQ(grid->ColWidths(0), grid->DefaultColWidth());
    EXPECT_EQ(grid->ColWidths(1), 10);
    EXPECT_EQ(grid->ColWidths(2), grid->DefaultColWidth());
    // Without a name the grid stores nothing.
    grid->setObjectName(QString());
    QFile::remove(iniName_);
    form->close();
    EXPECT_FALSE(TIniFile(iniName_).ReadSections().contains(section));
}

TEST_F(Placement, RegistryStorageRoundTrip)
{
    auto makeRegistryForm = [this](QRect r) {
        auto form = makeForm(r);
        placementOf(form.get())->SetUseRegistry(true);
        placementOf(form.get())->SetIniFileName(QStringLiteral("Software\\KitPlacement"));
        return form;
    };
    {
        auto form = makeRegistryForm(QRect(50, 60, 300, 200));
        show(form.get());
        form->setGeometry(QRect(QPoint(30, 40), form->size()));
        form->close();
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\KitPlacement\\QWidget"), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("NormPos")), QStringLiteral("30,40,330,240"));
    auto form = makeRegistryForm(QRect(5, 5, 100, 100));
    show(form.get());
    EXPECT_EQ(placed(form.get()), QRect(30, 40, 300, 200));
    EXPECT_FALSE(QFile::exists(iniName_));
}

// Without a stored state a form comes up normal, whether the program placed it or not:
// a first show (no file), or a section that holds a position only.
TEST_F(Placement, NoStoredStateShowsTheFormNormal)
{
    const QByteArray positionOnly =
        "[QWidget]\nPixelsPerInch=" + QByteArray::number(ppi()) + "\nNormPos=10,20,110,120\n" +
        "[QDialog]\nPixelsPerInch=" + QByteArray::number(ppi()) + "\nNormPos=10,20,110,120\n";
    for (const QByteArray& file : {QByteArray(), positionOnly}) {
        SCOPED_TRACE(file.isEmpty() ? "first show" : "position only");
        QFile::remove(iniName_);
        if (!file.isEmpty())
            writeIni(file);
        QWidget form;
        form.resize(200, 150);  // sized, never moved
        (new TFormPlacement(&form))->SetIniFileName(iniName_);
        QDialog dialog;
        (new TFormPlacement(&dialog))->SetIniFileName(iniName_);
        for (QWidget* w : {static_cast<QWidget*>(&form), static_cast<QWidget*>(&dialog)}) {
            show(w);
            EXPECT_FALSE(w->isMaximized()) << w->metaObject()->className();
            EXPECT_FALSE(w->isMinimized()) << w->metaObject()->className();
            if (!file.isEmpty()) {
                EXPECT_EQ(placed(w).topLeft(), QPoint(10, 20)) << w->metaObject()->className();
            }
            w->hide();
        }
    }
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(QLatin1Char('\n')).toStdString();
}
