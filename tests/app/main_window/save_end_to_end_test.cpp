// Saving as a user does it: the real main window driven through its menus, buttons and
// dialogs with mouse and keys, the files on disk checked with an outside reader.
#include "app/catalog/catalog_window.h"
#include "app/app_test_util.h"
#include "app/options/option_file.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "platform/ui/application.h"
#include "imaging/dialogs/dialog_driver.h"
#include "imaging/dialogs/io_previews_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace dlgtest;

namespace {

// Runs `act` on the next modal dialog of type D as soon as it shows, polling from the
// event loop that the dialog's exec() runs; a dialog that never comes fails the test.
template <class D> void WhenShown(std::function<void(D*)> act)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) {
            if (++*tries > 3000) {
                poll->deleteLater();
                ADD_FAILURE() << "no modal " << D::staticMetaObject.className();
                if (QWidget* other = QApplication::activeModalWidget())
                    other->close();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(d);
    });
    poll->start(10);
}

class SaveEndToEnd : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        REQUIRE_TOOLS("python3:PIL");
        dir_ = home_ + QStringLiteral("/pictures");
        QDir().mkpath(dir_);
        TApplication::OnException = [this](const std::exception& e) { errors.push_back(QString::fromUtf8(e.what())); };
        make();
        form->resize(1000, 720);
        QApplication::processEvents();
    }
    void TearDown() override
    {
        TApplication::OnException = nullptr;
        for (const QString& e : errors)
            ADD_FAILURE() << "error shown: " << e.toStdString();
        for (const QString& m : messages)
            ADD_FAILURE() << "message shown: " << m.toStdString();
        SetLanguage(langGerman);
        MainWindowTest::TearDown();
    }

    // Clicks the menu item as a user does: the menu bar's title, each submenu, the item.
    void clickMenuItem(const char* name)
    {
        QAction* item = form->Item(QString::fromLatin1(name));
        ASSERT_NE(item, nullptr) << name;
        std::vector<QMenu*> chain;
        for (QAction* a = item; a;) {
            QMenu* holder = nullptr;
            for (QMenu* m : form->findChildren<QMenu*>())
                if (m->actions().contains(a))
                    holder = m;
            if (!holder)
                break;
            chain.insert(chain.begin(), holder);
            a = holder->menuAction();
        }
        ASSERT_FALSE(chain.empty()) << name;
        QMenuBar* bar = form->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(chain.front()->menuAction()).center());
        for (size_t i = 0; i + 1 < chain.size(); ++i) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return chain[i]->isVisible(); }, kWait));
            const QRect r = chain[i]->actionGeometry(chain[i + 1]->menuAction());
            QTest::mouseMove(chain[i], r.center());
            QTest::mouseClick(chain[i], Qt::LeftButton, {}, r.center());
        }
        QMenu* last = chain.back();
        ASSERT_TRUE(QTest::qWaitFor([&] { return last->isVisible(); }, kWait)) << name;
        ASSERT_TRUE(item->isEnabled()) << name;
        const QRect r = last->actionGeometry(item);
        QTest::mouseMove(last, r.center());
        QTest::mouseClick(last, Qt::LeftButton, {}, r.center());
    }

    // In the file dialog that shows next: goes to the folder, types the name, accepts.
    void answerFileDialog(const QString& path)
    {
        const QFileInfo file(path);
        WhenShown<QFileDialog>([file](QFileDialog* d) {
            d->setDirectory(file.absolutePath());
            auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, file.fileName());
            auto* box = d->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            QPushButton* accept = box->button(d->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                                         : QDialogButtonBox::Open);
            QTest::mouseClick(accept, Qt::LeftButton);
        });
    }

    // Accepts the format parameter dialog with what it shows; `shown` gets its quality text.
    void acceptParameters(QString* quality = nullptr)
    {
        WhenShown<TfIOPreviews>([quality](TfIOPreviews* d) {
            if (quality)
                *quality = d->Edit22->text();
            QTest::mouseClick(d->Button1, Qt::LeftButton);
        });
    }

    // A photograph-like picture written by PIL itself.
    QString photo(const QString& name, int quality = 92)
    {
        const QString path = dir_ + u'/' + name;
        const QString script = QStringLiteral(
            "import sys\nfrom PIL import Image\nim = Image.new('RGB', (64, 48))\n"
            "im.putdata([((x * 4) % 256, (y * 5) % 256, (x * y) % 256) for y in range(48) for x in range(64)])\n"
            "im.save(sys.argv[1], quality=int(sys.argv[2]))\n");
        EXPECT_EQ(RunTool(QStringLiteral("/usr/bin/python3"),
                          {QStringLiteral("-c"), script, path, QString::number(quality)}),
                  0);
        return path;
    }

    // What PIL says of a file: its format, mode and, for a JPEG, the quality its
    // luminance table was made with (from the standard table's scaling).
    QString pil(const QString& path)
    {
        const QString script = QStringLiteral(
            "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]); im.load()\n"
            "std = [16,11,10,16,24,40,51,61,12,12,14,19,26,58,60,55,14,13,16,24,40,57,69,56,14,17,22,29,51,87,80,62,"
            "18,22,37,56,68,109,103,77,24,35,55,64,81,104,113,92,49,64,78,87,103,121,120,101,72,92,95,98,112,100,103,"
            "99]\n"
            "q = ''\n"
            "if im.format == 'JPEG':\n"
            "    scale = 100.0 * sum(im.quantization[0]) / sum(std)\n"
            "    q = ' %d' % round((200 - scale) / 2 if scale <= 100 else 5000 / scale)\n"
            "print(im.format + ' ' + im.mode + q)\n");
        QByteArray out;
        EXPECT_EQ(RunTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path}, &out), 0);
        return QString::fromUtf8(out).trimmed();
    }

    // Runs a PIL script with the path (and more) as its arguments; its output, trimmed.
    QString python(const QString& script, const QString& path, const QStringList& more = {})
    {
        QByteArray out, err;
        EXPECT_EQ(RunTool(QStringLiteral("/usr/bin/python3"),
                          QStringList{QStringLiteral("-c"),
                                      QStringLiteral("import sys\nfrom PIL import Image\n") + script, path} +
                              more,
                          &out, &err),
                  0)
            << err.toStdString();
        return QString::fromUtf8(out).trimmed();
    }

    // Format, mode, resolution and compression of a file as PIL reads it.
    QString pilTiff(const QString& path)
    {
        return python(QStringLiteral("im = Image.open(sys.argv[1]); im.load()\n"
                                     "dpi = im.info.get('dpi', (0, 0))\n"
                                     "print(im.format, im.mode, round(dpi[0]), round(dpi[1]), "
                                     "im.info.get('compression'))\n"),
                      path);
    }

    // Saves the active image through "save as" under a name in the picture folder, the
    // parameter dialog changed by `choose` before OK.
    void saveAs(const QString& name, const std::function<void(TfIOPreviews*)>& choose = {})
    {
        answerFileDialog(dir_ + u'/' + name);
        WhenShown<TfIOPreviews>([choose](TfIOPreviews* d) {
            if (choose)
                choose(d);
            QTest::mouseClick(d->Button1, Qt::LeftButton);
        });
        clickMenuItem("Speichernals1");
    }

    void closeActive()
    {
        clickMenuItem("Schliessen1");
        QApplication::processEvents();
        ASSERT_EQ(form->MDIChildCount(), 0);
    }

    void openThroughTheMenu(const QString& path)
    {
        const QFileInfo file(path);
        WhenShown<TIKFileDialog>([file](TIKFileDialog* d) {
            d->setDirectory(file.absolutePath());
            ClickEntry(*d, file.fileName());
            ClickAccept(*d);
        });
        clickMenuItem("ffnen2");
        ASSERT_EQ(form->MDIChildCount(), 1);
    }

    QString dir_;
    std::vector<QString> errors;
};

// A fresh install has no parameters of an earlier "save as": the image keeps its own.
TEST_F(SaveEndToEnd, FirstSaveAsOfAPhotoKeepsItsQualityAndColours)
{
    const struct {
        const char* typed;
        const char* pil;
        bool jpeg;
    } cases[] = {{"copy.jpg", "JPEG RGB", true}, {"other.tif", "TIFF RGB", false}};
    const QString source = photo(QStringLiteral("photo.jpg"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(form->options.saveparams.IsBlank());
        ASSERT_NO_FATAL_FAILURE(openThroughTheMenu(source));
        const QString target = dir_ + u'/' + QLatin1String(c.typed);
        answerFileDialog(target);
        QString quality;
        acceptParameters(&quality);
        clickMenuItem("Speichernals1");
        ASSERT_TRUE(QFileInfo::exists(target));
        const QStringList seen = pil(target).split(u' ');
        ASSERT_GE(seen.size(), 2) << pil(target).toStdString();
        EXPECT_EQ(seen.mid(0, 2).join(u' '), QLatin1String(c.pil));
        if (c.jpeg) {
            EXPECT_GE(quality.toInt(), 50);
            ASSERT_EQ(seen.size(), 3);
            EXPECT_GE(seen[2].toInt(), 50);
        }
        // The next fresh install again: this one's "save as" has filled the block and
        // chosen the filter.
        form->options.saveparams = tsaveparams{};
        form->options.savefilter = 6;
        clickMenuItem("Schliessen1");
        QApplication::processEvents();
        ASSERT_EQ(form->MDIChildCount(), 0);
    }
}

// What one "save as" chose for a fax is no reason to make the next photo a fax: the
// photo keeps its colours and its resolution.
TEST_F(SaveEndToEnd, PhotoSavedAfterAFaxKeepsItsColoursAndResolution)
{
    const QString fax = dir_ + QStringLiteral("/fax.tif");
    python(QStringLiteral("im = Image.new('1', (300, 120), 1)\n"
                          "im.paste(0, (20, 20, 280, 30)); im.paste(0, (20, 60, 200, 64))\n"
                          "im.save(sys.argv[1], compression='group4', dpi=(204, 98))\n"),
           fax);
    const QString photo = dir_ + QStringLiteral("/photo.jpg");
    python(QStringLiteral("im = Image.new('RGB', (64, 48))\n"
                          "im.putdata([((x * 4) % 256, (y * 5) % 256, (x * y) % 256) for y in range(48) for x in "
                          "range(64)])\n"
                          "im.save(sys.argv[1], quality=92, dpi=(300, 300))\n"),
           photo);

    ASSERT_NO_FATAL_FAILURE(openThroughTheMenu(fax));
    saveAs(QStringLiteral("fax-g4.tif"), [](TfIOPreviews* d) { d->ComboBox2->setCurrentIndex(4); });
    EXPECT_EQ(pilTiff(dir_ + QStringLiteral("/fax-g4.tif")), QStringLiteral("TIFF 1 204 98 group4"));
    ASSERT_NO_FATAL_FAILURE(closeActive());

    ASSERT_NO_FATAL_FAILURE(openThroughTheMenu(photo));
    saveAs(QStringLiteral("colour.tif"));
    EXPECT_EQ(pilTiff(dir_ + QStringLiteral("/colour.tif")), QStringLiteral("TIFF RGB 300 300 raw"));
    // The remembered choice is still there for the next fax.
    EXPECT_EQ(form->options.saveparams.TiffCompression, 0);
    ASSERT_NO_FATAL_FAILURE(closeActive());
}

// A black-and-white picture starts black and white on the TIFF page, also the first time.
TEST_F(SaveEndToEnd, FirstSaveAsOfAOneBitImageKeepsOneBitPerSample)
{
    ASSERT_TRUE(form->options.saveparams.IsBlank());
    const QString source = dir_ + QStringLiteral("/scan.bmp");
    python(QStringLiteral("im = Image.new('1', (90, 40), 1)\nim.paste(0, (10, 10, 80, 20))\nim.save(sys.argv[1])\n"),
           source);
    ASSERT_NO_FATAL_FAILURE(openThroughTheMenu(source));
    int shown = -1;
    saveAs(QStringLiteral("scan.tif"), [&shown](TfIOPreviews* d) { shown = d->ComboBox4->currentIndex(); });
    EXPECT_EQ(shown, 0);  // "B/W"
    EXPECT_TRUE(pilTiff(dir_ + QStringLiteral("/scan.tif")).startsWith(QStringLiteral("TIFF 1 ")))
        << pilTiff(dir_ + QStringLiteral("/scan.tif")).toStdString();
    ASSERT_NO_FATAL_FAILURE(closeActive());
}

// A description longer than the remembered block's slot is kept whole by both saves.
TEST_F(SaveEndToEnd, LongTiffDescriptionIsSavedWhole)
{
    REQUIRE_TOOLS("tiffinfo");
    QString description;
    for (int i = 0; description.size() < 400; ++i)
        description += QStringLiteral("Probe %1 gemessen bei 4 K; ").arg(i);
    description.truncate(400);
    const QString source = dir_ + QStringLiteral("/probe.tif");
    python(QStringLiteral("im = Image.new('RGB', (40, 30), (10, 200, 30))\n"
                          "im.save(sys.argv[1], description=sys.argv[2])\n"),
           source, {description});
    const auto described = [&](const QString& path) {
        QByteArray out;
        EXPECT_EQ(RunTool(QStringLiteral("tiffinfo"), {path}, &out), 0);
        return QString::fromUtf8(out).contains(QStringLiteral("ImageDescription: ") + description + u'\n');
    };
    ASSERT_TRUE(described(source));

    ASSERT_NO_FATAL_FAILURE(openThroughTheMenu(source));
    clickMenuItem("Speichern1");
    EXPECT_TRUE(described(source));
    saveAs(QStringLiteral("probe-copy.tif"));
    EXPECT_TRUE(described(dir_ + QStringLiteral("/probe-copy.tif")));
    // The remembered block holds what fits of it; the image keeps it whole.
    EXPECT_EQ(form->options.saveparams.TiffImageDescription.Text(), description.left(255));
    ASSERT_NO_FATAL_FAILURE(closeActive());
}

// In both languages a new catalog asks for its name on its first save, the typed name
// gets ".pca", and nothing is written where the program is.
TEST_F(SaveEndToEnd, NewCatalogOfThreeFilesAsksForItsNameOnSave)
{
    const QStringList files{photo(QStringLiteral("a.jpg")), photo(QStringLiteral("b.jpg")),
                            photo(QStringLiteral("c.jpg"))};
    const QString programDir = ProgramDirectoryWithSlash();
    const QStringList beside = QDir(programDir).entryList(QDir::Files);
    for (uint8_t language : {uint8_t(langEnglish), uint8_t(langGerman)}) {
        SCOPED_TRACE(int(language));
        SetLanguage(language);
        form->options.language = language;
        // The add dialog: all three chosen in the list as a user would.
        WhenShown<TIKFileDialog>([this](TIKFileDialog* d) {
            d->setDirectory(dir_);
            ChooseFilter(*d, 10);  // all image types
            ClickEntry(*d, QStringLiteral("a.jpg"));
            ClickEntry(*d, QStringLiteral("b.jpg"), Qt::ControlModifier);
            ClickEntry(*d, QStringLiteral("c.jpg"), Qt::ControlModifier);
            ClickAccept(*d);
        });
        clickMenuItem("NeuenKatalogerstellen1");
        auto* k = qobject_cast<Tkataform*>(form->ActiveMDIChild());
        ASSERT_NE(k, nullptr);
        ASSERT_EQ(k->Count(), 3);
        EXPECT_TRUE(IsUntitledCaption(k->windowTitle())) << k->windowTitle().toStdString();
        const QString typed = dir_ + QStringLiteral("/album%1").arg(int(language));
        answerFileDialog(typed);
        QTest::mouseClick(k->saveCatalogButton, Qt::LeftButton);
        EXPECT_TRUE(QFileInfo::exists(typed + QStringLiteral(".pca")));
        EXPECT_EQ(k->windowTitle(), typed + QStringLiteral(".pca"));
        EXPECT_FALSE(k->Modified);
        EXPECT_EQ(QDir(programDir).entryList(QDir::Files), beside);
        k->parentWidget()->close();
        QApplication::processEvents();
    }
}

// Files a test changes are compared with copies by an outside tool.
bool SameBytes(const QString& a, const QString& b)
{
    return RunTool(QStringLiteral("/usr/bin/cmp"), {QStringLiteral("-s"), a, b}) == 0;
}

class KeepingWork : public SaveEndToEnd {
protected:
    void SetUp() override
    {
        SaveEndToEnd::SetUp();
        REQUIRE_TOOLS("cmp");
    }
    // An opened picture with an edit on it, and a copy of its file to compare with.
    QString openAndEdit(const QString& path)
    {
        photo(QFileInfo(path).fileName());
        if (QFileInfo(path).absolutePath() != dir_)
            QFile::rename(dir_ + u'/' + QFileInfo(path).fileName(), path);
        QFile::copy(path, path + QStringLiteral(".orig"));
        openThroughTheMenu(path);
        // Items in submenus are triggered as their shortcut would.
        form->Item(QStringLiteral("Negativ1"))->trigger();
        EXPECT_TRUE(form->ActiveImageWindow()->Modified());
        return path + QStringLiteral(".orig");
    }
};

// Saving over a file asks; No leaves its bytes, Yes replaces it.
TEST_F(KeepingWork, SaveAsOverAnExistingFileAsksFirst)
{
    const QString target = dir_ + QStringLiteral("/taken.jpg");
    openAndEdit(dir_ + QStringLiteral("/photo.jpg"));
    for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
        SCOPED_TRACE(int(button));
        photo(QStringLiteral("taken.jpg"), 30);
        QFile::remove(target + QStringLiteral(".orig"));
        QFile::copy(target, target + QStringLiteral(".orig"));
        bool asked = false;
        WhenShown<QMessageBox>([&asked, button](QMessageBox* box) {
            asked = true;
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        });
        WhenShown<QFileDialog>([target](QFileDialog* d) {
            d->setDirectory(QFileInfo(target).absolutePath());
            TypeName(*static_cast<TIKFileDialog*>(d), QFileInfo(target).fileName());
            QPointer<QFileDialog> dialog(d);
            ClickAccept(*static_cast<TIKFileDialog*>(d));
            if (dialog && dialog->isVisible())
                dialog->reject();  // refused: the user gives up
        });
        if (button == QMessageBox::Yes)
            acceptParameters();
        clickMenuItem("Speichernals1");
        EXPECT_TRUE(asked);
        EXPECT_EQ(SameBytes(target, target + QStringLiteral(".orig")), button == QMessageBox::No);
        EXPECT_EQ(form->ActiveImageWindow()->Modified(), button == QMessageBox::No);
        EXPECT_EQ(pil(target).section(u' ', 0, 0), QStringLiteral("JPEG"));
    }
}

// Yes to saving on close, with a save that fails: the window, the main window and the
// edits stay, the old file keeps its bytes and the option file is not written.
TEST_F(KeepingWork, CloseWithAFailingSaveKeepsTheWindowAndItsEdits)
{
    const QString folder = dir_ + QStringLiteral("/sub");
    QDir().mkpath(folder);
    openAndEdit(folder + QStringLiteral("/a.jpg"));
    // The file's folder goes away behind the program's back; a file takes its name.
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".moved")));
    WriteBytes(folder, "in the way");
    const QString moved = folder + QStringLiteral(".moved/a.jpg");
    const QString copy = moved + QStringLiteral(".orig");
    answer = mrYes;
    for (const bool mainWindow : {false, true}) {
        SCOPED_TRACE(mainWindow);
        errors.clear();
        if (mainWindow)
            form->close();
        else
            clickMenuItem("Schliessen1");
        QApplication::processEvents();
        ASSERT_EQ(form->MDIChildCount(), 1);
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->ActiveImageWindow()->Modified());
        EXPECT_EQ(form->ActiveImageWindow()->Document().FileName(), folder + QStringLiteral("/a.jpg"));
        EXPECT_EQ(errors.size(), 1u);  // the save's failure was shown
        EXPECT_TRUE(SameBytes(moved, copy));
        EXPECT_FALSE(QFileInfo::exists(OptionFileName()));
    }
    errors.clear();
    messages.clear();
}

// A desktop whose settings service cannot be reached refuses the background: the user is
// told, and the image window stays with its own name and edits.
TEST_F(KeepingWork, WallpaperThatTheDesktopRefusesKeepsTheWindow)
{
    qputenv("GSETTINGS_BACKEND", "dconf");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kandrivel-bus");
    const QString path = dir_ + QStringLiteral("/photo.jpg");
    const QString copy = openAndEdit(path);
    const QString caption = form->ActiveImageWindow()->windowTitle();
    answer = mrOk;
    acceptParameters();
    form->Item(QStringLiteral("Zentriert1"))->trigger();
    QApplication::processEvents();
    ASSERT_EQ(form->MDIChildCount(), 1);
    Tchild* c = form->ActiveImageWindow();
    EXPECT_TRUE(c->Modified());
    EXPECT_EQ(c->windowTitle(), caption);
    EXPECT_EQ(c->Document().FileName(), path);
    ASSERT_EQ(messages.size(), 2u);  // the question, then the failure
    EXPECT_TRUE(messages[1].contains(QStringLiteral("Hintergrundbild konnte nicht gesetzt werden")) ||
                messages[1].contains(QStringLiteral("background could not be set")))
        << messages[1].toStdString();
    EXPECT_TRUE(SameBytes(path, copy));
    EXPECT_EQ(pil(WindowsDirectory() + QStringLiteral("kandrivel.bmp")), QStringLiteral("BMP RGB"));
    messages.clear();
}

}  // namespace
