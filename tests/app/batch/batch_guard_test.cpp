// A running batch against everything the user may do while its events run.
#include "batch_test_fixture.h"
#include "app/batch/batch_runner.h"

#include "imaging/dialogs/save_dialog.h"

#include <QProcess>
#include <QDir>
#include <QTimer>
#include <QMdiSubWindow>

namespace {

// Whatever starts a batch or a recording is off while one runs, and refused when called;
// the running batch keeps its after-run choice and its failure list.
TEST_F(Batch, NothingStartsWhileABatchRunsAndTheRunKeepsItsChoice)
{
    const QString path = writeBatch(QStringLiteral("pn"), {cmdPrint, cmdNegative});
    form->options.quickstart[0] = QStringLiteral("pn.atm");
    form->Batch().UpdateBatchBox();
    for (int i = 0; i < 3; ++i)
        imageWindow(2, 2, RGB(10 * i, 0, 0));
    const char* starters[] = {"Neuaufnehmen1",           "AufaktuellesBildanwenden1", "AufallegeladenenBilderanwenden1",
                              "AufVerzeichnisanwenden1", "Bildereinscannen1",         "Batch2"};
    int prints = 0;
    dialogs->print = [&](Tform1& f, Tchild*, const tautomatitem&) {
        if (++prints != 1)
            return;
        for (const char* n : starters)
            EXPECT_FALSE(f.Item(QString::fromLatin1(n))->isEnabled()) << n;
        EXPECT_FALSE(f.Control<QToolButton>(QStringLiteral("SpeedButton13"))->isEnabled());
        EXPECT_FALSE(f.Control<QToolButton>(QStringLiteral("SpeedButton11"))->isEnabled());
        auto* f2 = f.findChild<QAction*>(QStringLiteral("QuickStart1"));
        ASSERT_NE(f2, nullptr);
        EXPECT_FALSE(f2->isEnabled());
        // Called all the same, each says no and changes nothing.
        const size_t before = messages.size();
        f.Batch().quickStartClicked(0);
        f.Batch().applyToCurrentImageClicked();
        f.Batch().PlayBoxRecord(TBatchRunner::bmAllLoaded);
        f.Batch().RunBatch(path, TBatchRunner::bmActive);
        f.Batch().newRecordingClicked();
        f.Batch().batchClicked();
        EXPECT_EQ(messages.size(), before + 6);
        EXPECT_FALSE(f.Recording);
    };
    settings(2, 0, 1);
    form->Batch().RunBatch(path, TBatchRunner::bmAllLoaded);
    EXPECT_EQ(prints, 3);
    EXPECT_EQ(QDir(out_).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(form->MDIChildCount(), 0);
    EXPECT_TRUE(form->autoform()->afterSaveToRadio->isChecked());
    for (const char* n : starters)
        EXPECT_TRUE(form->Item(QString::fromLatin1(n))->isEnabled()) << n;
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("QuickStart1"))->isEnabled());
}

// A save into the directory that fails leaves a window that is plainly the batch's result:
// modified, captioned so, and no longer bound to the source file.
TEST_F(Batch, AFailedSaveLeavesTheResultMarkedAndTheOriginalSafe)
{
    const QString source = writeImage(out_ + QStringLiteral("/a.bmp"), RGB(30, 60, 90));
    QFile::copy(source, source + QStringLiteral(".orig"));
    form->Files().OpenFileList = {source};
    form->Files().openChosenFiles();
    Tchild* c = form->ActiveImageWindow();
    ASSERT_NE(c, nullptr);
    settings(2, 0, 1);
    form->autoform()->SetDirectory(out_ + QStringLiteral("/missing/deeper"));
    form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmActive);
    ASSERT_EQ(form->MDIChildCount(), 1);
    EXPECT_TRUE(c->Modified());
    EXPECT_EQ(c->windowTitle(), source + QStringLiteral(" (Batch-Ergebnis)"));
    // Save asks where the result goes; cancelled, the original stays as it was.
    int asked = 0;
    form->Files().saveDialog = new TSaveImageKitDialog(form.get());
    TSaveImageKitDialog& d = *form->Files().saveDialog;
    d.OnShow = [&](TObject*) {
        ++asked;
        QTimer::singleShot(0, &d, [&d] {
            if (QPointer<TIKFileDialog> g(d.Handle()); g)
                g->reject();
        });
    };
    form->Item(QStringLiteral("Speichern1"))->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(QProcess::execute(QStringLiteral("/usr/bin/cmp"),
                                {QStringLiteral("-s"), source, source + QStringLiteral(".orig")}),
              0);
}

// The main window waits for a running batch, and for a multi-file open, instead of closing
// the windows they work on; the open works through the list it was given.
// The user closes the image a record works on while the run lets events run: the rest
// of its records find no window and the run goes on with the next image.
TEST_F(Batch, ClosingTheImageUnderARecordSkipsItAndTheRunGoesOn)
{
    const QString src = TempDir() + QStringLiteral("/closesrc%1").arg(serial_++);
    QDir().mkpath(src);
    for (int i = 0; i < 3; ++i)
        writeImage(src + QStringLiteral("/c%1.bmp").arg(i), RGB(10 * (i + 1), 0, 0));
    for (const int mode : {int(TBatchRunner::bmAllLoaded), int(TBatchRunner::bmFileList)}) {
        SCOPED_TRACE(mode);
        closeAll();
        for (const QString& f : QDir(out_).entryList(QDir::Files))
            QFile::remove(out_ + QLatin1Char('/') + f);
        if (mode == TBatchRunner::bmAllLoaded) {
            for (int i = 0; i < 3; ++i)
                imageWindow(2, 2, RGB(10 * (i + 1), 0, 0));
        }
        form->options.verzdialog.source = 1;
        form->options.verzdialog.directory = src;
        form->options.verzdialog.subdirs = 0;
        form->options.verzdialog.types = {};
        form->options.verzdialog.types[1] = 1;
        QTimer::singleShot(0, form.get(), [] {
            if (auto* d = qobject_cast<Taufverzform*>(QApplication::activeModalWidget()))
                d->Buttons[1]->click();
        });
        int prints = 0;
        dialogs->print = [&prints](Tform1&, Tchild* image, const tautomatitem&) {
            if (++prints == 2)
                qobject_cast<QMdiSubWindow*>(image->parentWidget())->close();
        };
        settings(2);
        form->Batch().RunBatch(writeBatch(QStringLiteral("pn"), {cmdPrint, cmdNegative}), mode);
        EXPECT_EQ(prints, 3);
        EXPECT_EQ(form->MDIChildCount(), 0);
        const QStringList saved = QDir(out_).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(saved.size(), 2) << saved.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(loadFile(out_ + QLatin1Char('/') + saved[0]).PixelColor(0, 0), negated(RGB(10, 0, 0)));
        EXPECT_EQ(loadFile(out_ + QLatin1Char('/') + saved[1]).PixelColor(0, 0), negated(RGB(30, 0, 0)));
    }
}

TEST_F(Batch, TheMainWindowWaitsForABatchAndForAMultiFileOpen)
{
    std::vector<Tchild*> windows;
    for (int i = 0; i < 4; ++i)
        windows.push_back(imageWindow(2, 2, RGB(10 * i, 0, 0)));
    int prints = 0;
    dialogs->print = [&](Tform1& f, Tchild*, const tautomatitem&) {
        if (++prints != 1)
            return;
        EXPECT_FALSE(f.close());
        windows[3]->parentWidget()->close();  // a window still to come goes: the run skips it
    };
    settings(2, 0, 1);
    messages.clear();
    form->Batch().RunBatch(writeBatch(QStringLiteral("pn"), {cmdPrint, cmdNegative}), TBatchRunner::bmAllLoaded);
    EXPECT_EQ(prints, 3);
    EXPECT_EQ(QDir(out_).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(messages.size(), 1u);

    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << writeImage(out_ + QStringLiteral("/o%1.bmp").arg(i), RGB(i, i, i));
    form->Files().OpenFileList = files;
    bool closed = true;
    QTimer::singleShot(0, form.get(), [&] {
        form->Files().OpenFileList = QStringList{};  // another open sets its own list meanwhile
        closed = form->close();
    });
    form->Files().openChosenFiles();
    EXPECT_FALSE(closed);
    EXPECT_EQ(form->MDIChildCount(), 3);
}

// A directory walk lets the events run between its folders; Cancel there ends the batch
// before it touches any file.
TEST_F(Batch, DirectoryWalkRunsTheEventsAndCancelEndsTheRunBeforeAnyFile)
{
    const QString tree = out_ + QStringLiteral("/tree");
    QDir().mkpath(tree + QStringLiteral("/sub"));
    writeImage(tree + QStringLiteral("/x.bmp"), RGB(1, 2, 3));
    writeImage(tree + QStringLiteral("/sub/y.bmp"), RGB(4, 5, 6));
    form->options.verzdialog.source = 1;
    form->options.verzdialog.directory = tree;
    form->options.verzdialog.subdirs = 1;
    form->options.verzdialog.types.fill(1);
    bool duringWalk = false;
    // Once the first progress shows: cancel it, noting whether the list is still unmade.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, form.get(), [&] {
        auto* p = form->findChild<QProgressDialog*>(QStringLiteral("BatchProgress"));
        if (!p)
            return;
        poll.stop();
        duringWalk = form->Batch().FileList().isEmpty();
        p->findChild<QPushButton*>()->click();
    });
    QTimer::singleShot(0, form.get(), [&] {
        QWidget* m = QApplication::activeModalWidget();
        ASSERT_NE(m, nullptr);
        poll.start(0);
        m->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    settings(1);
    form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmFileList);
    EXPECT_TRUE(duringWalk);
    EXPECT_EQ(form->MDIChildCount(), 0);
    EXPECT_EQ(loadFile(tree + QStringLiteral("/x.bmp")).PixelColor(0, 0), RGB(1, 2, 3));
}

}  // namespace
