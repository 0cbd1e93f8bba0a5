// Recording and replaying batches through the menu: saves, existing files, broken files, decode-ahead.
#include "batch_test_fixture.h"
#include "app/batch/batch_runner.h"
#include "app/main_window/history_list.h"
#include "controls/edits/file_edit.h"
#include "imaging/dialogs/io_previews_dialog.h"
#include "platform/core/parallel_for.h"
#include "controls/edits/spin_edit.h"
#include "platform/ui/file_dialogs.h"

#include <QMenuBar>

namespace {

TEST_F(Batch, RecordingThroughTheMenuReplaysToTheSamePixelsAndStoresTheRecords)
{
    Tchild* byHand = patterned(7, 5, 1);
    const tautomatitem start = form->automatitem;
    form->Item(QStringLiteral("Neuaufnehmen1"))->trigger();
    ASSERT_TRUE(form->Recording);
    EXPECT_FALSE(form->Item(QStringLiteral("AufaktuellesBildanwenden1"))->isEnabled());
    EXPECT_TRUE(form->Control<QToolButton>(QStringLiteral("SpeedButton11"))->isChecked());
    const char* steps[] = {"InGraustufenumwandeln1", "N90imUhrzeigersinndrehen1", "Negativ1", "Horizontalspiegeln1"};
    for (const char* s : steps)
        form->Item(QString::fromLatin1(s))->trigger();
    SetInputQueryHook([](const QString&, const QString&, QString& value) {
        value = QStringLiteral("steps");
        return true;
    });
    form->Item(QStringLiteral("Aufnahmestoppen1"))->trigger();
    EXPECT_FALSE(form->Recording);
    EXPECT_TRUE(form->RecordingList.empty());
    EXPECT_TRUE(form->Item(QStringLiteral("AufaktuellesBildanwenden1"))->isEnabled());

    // Each record carries what the one before left in the bytes it does not use.
    QByteArray expected;
    tautomatitem r = start;
    const struct {
        uint8_t code;
        int32_t arg1;
    } recorded[] = {{cmdGray, 0}, {cmdRotate, -90}, {cmdNegative, 0}, {cmdFlipHorizontal, 0}};
    for (const auto& step : recorded) {
        r.SetCode(step.code);
        if (step.code == cmdRotate) {
            r.SetArg(1, step.arg1);
            r.SetArgLowByte(2, 0);
        }
        expected += r.ToByteArray();
    }
    QFile f(BatchFilePath(QStringLiteral("steps")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);

    auto* box = form->Control<QComboBox>(QStringLiteral("autobox"));
    ASSERT_EQ(box->findText(QStringLiteral("steps.atm")), 0);
    Tchild* replayed = patterned(7, 5, 1);
    settings(2);  // the play button chooses "nichts" itself
    form->Control<QToolButton>(QStringLiteral("SpeedButton13"))->click();
    EXPECT_TRUE(form->autoform()->afterNothingRadio->isChecked());
    EXPECT_EQ(replayed->imageKit->Bitmap()->Width(), 5);
    EXPECT_TRUE(samePixels(*byHand->imageKit->Bitmap(), *replayed->imageKit->Bitmap()));
    EXPECT_EQ(form->MDIChildCount(), 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Batch, StoppingWithoutANameDropsTheRecordingAndAnExistingFileIsKeptOnCancel)
{
    writeBatch(QStringLiteral("keep"), {cmdGray});
    const QByteArray before = ReadWholeFile(BatchFilePath(QStringLiteral("keep")));
    struct Case {
        bool nameGiven;
        int overwriteAnswer;
        int expectedRecords;  // in keep.atm afterwards
    };
    const Case cases[] = {{false, mrOk, 1}, {true, mrCancel, 1}, {true, mrOk, 2}};
    imageWindow(3, 3, RGB(1, 2, 3));
    for (const Case& c : cases) {
        answer = mrOk;
        form->Batch().newRecordingClicked();
        form->Item(QStringLiteral("Negativ1"))->trigger();
        form->Item(QStringLiteral("Negativ1"))->trigger();
        answer = c.overwriteAnswer;
        SetInputQueryHook([&](const QString&, const QString&, QString& value) {
            value = QStringLiteral("keep");
            return c.nameGiven;
        });
        form->Batch().stopRecordingClicked();
        EXPECT_TRUE(form->RecordingList.empty());
        EXPECT_EQ(ReadWholeFile(BatchFilePath(QStringLiteral("keep"))).size(), c.expectedRecords * tautomatitem::Size);
    }
    EXPECT_NE(before, ReadWholeFile(BatchFilePath(QStringLiteral("keep"))));
    // A name that would leave the data directory is asked again.
    int asked = 0;
    form->Batch().newRecordingClicked();
    SetInputQueryHook([&](const QString&, const QString&, QString& value) {
        value = ++asked == 1 ? QStringLiteral("../escape") : QStringLiteral("inside");
        return asked <= 2;
    });
    form->Batch().stopRecordingClicked();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(QFile::exists(BatchFilePath(QStringLiteral("inside"))));
    EXPECT_FALSE(QFile::exists(QFileInfo(BatchDirectory() + QStringLiteral("../escape.atm")).absoluteFilePath()));
}

TEST_F(Batch, AllLoadedImagesAreSavedUnderIncrementedNumbersAndClosed)
{
    const TColor colors[] = {RGB(10, 20, 30), RGB(200, 100, 50), RGB(0, 255, 128)};
    writeImage(out_ + QStringLiteral("/u0001.bmp"), RGB(9, 9, 9));
    for (TColor c : colors)
        imageWindow(4, 3, c);
    const QByteArray first = ReadWholeFile(out_ + QStringLiteral("/u0001.bmp"));
    settings(2, 1, 1);
    form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmAllLoaded);
    EXPECT_EQ(form->MDIChildCount(), 0);
    EXPECT_EQ(ReadWholeFile(out_ + QStringLiteral("/u0001.bmp")), first);
    for (int i = 0; i < 3; ++i) {
        const QString name = out_ + QStringLiteral("/u000%1.bmp").arg(i + 2);
        ASSERT_TRUE(QFile::exists(name)) << name.toStdString();
        EXPECT_EQ(loadFile(name).PixelColor(1, 1), negated(colors[i])) << i;
    }
    EXPECT_FALSE(QFile::exists(out_ + QStringLiteral("/u0005.bmp")));
}

// The menus keep still while a run's images come and go, and follow what is left once
// it has ended: nothing after saving and closing each, the images when they stay open.
TEST_F(Batch, MenusFollowTheRunsEndNotEachImage)
{
    const QString src = TempDir() + QStringLiteral("/menusrc%1").arg(serial_++);
    QDir().mkpath(src);
    for (int i = 0; i < 3; ++i)
        writeImage(src + QStringLiteral("/m%1.bmp").arg(i), RGB(10 * i, 0, 0));
    for (const int after : {2, 0}) {
        SCOPED_TRACE(after);
        closeAll();
        QAction* save = form->Item(QStringLiteral("Speichern1"));
        ASSERT_FALSE(save->isEnabled());
        form->options.verzdialog.source = 1;
        form->options.verzdialog.directory = src;
        form->options.verzdialog.subdirs = 0;
        form->options.verzdialog.types = {};
        form->options.verzdialog.types[1] = 1;
        settings(after);
        QTimer::singleShot(0, form.get(), [] {
            if (auto* d = qobject_cast<Taufverzform*>(QApplication::activeModalWidget()))
                d->Buttons[1]->click();
        });
        int switches = 0;
        const QMetaObject::Connection watch =
            QObject::connect(save, &QAction::enabledChanged, form.get(), [&switches] { ++switches; });
        form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmFileList);
        QObject::disconnect(watch);
        EXPECT_EQ(form->MDIChildCount(), after == 0 ? 3 : 0);
        EXPECT_EQ(save->isEnabled(), after == 0);
        EXPECT_EQ(switches, after == 0 ? 1 : 0);
    }
}

TEST_F(Batch, ExistingFileRulesOverwriteIncrementOrLeaveTheImageOpen)
{
    struct Case {
        int rule;
        const char* savedAs;  // "" when nothing is saved
        bool windowOpen;
    };
    const Case cases[] = {{0, "u0001.bmp", false}, {1, "u0002.bmp", false}, {2, "", true}};
    for (const Case& c : cases) {
        closeAll();
        for (const QString& f : QDir(out_).entryList(QDir::Files))
            QFile::remove(out_ + QLatin1Char('/') + f);
        writeImage(out_ + QStringLiteral("/u0001.bmp"), RGB(1, 1, 1));
        Tchild* w = imageWindow(5, 2, RGB(40, 50, 60));
        settings(2, c.rule, 1);
        form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmActive);
        EXPECT_EQ(form->MDIChildCount(), c.windowOpen ? 1 : 0) << c.rule;
        const QStringList files = QDir(out_).entryList(QDir::Files, QDir::Name);
        if (*c.savedAs) {
            EXPECT_EQ(loadFile(out_ + QLatin1Char('/') + QString::fromLatin1(c.savedAs)).PixelColor(0, 0),
                      negated(RGB(40, 50, 60)))
                << c.rule;
        } else {
            EXPECT_EQ(files, QStringList{QStringLiteral("u0001.bmp")});
            EXPECT_TRUE(w->Modified());
            EXPECT_EQ(loadFile(out_ + QStringLiteral("/u0001.bmp")).PixelColor(0, 0), RGB(1, 1, 1));
        }
    }
}

TEST_F(Batch, DirectoryRunSkipsABrokenFileAndNeverTouchesAnotherWindow)
{
    const QString src = TempDir() + QStringLiteral("/batchsrc%1").arg(serial_++);
    QDir().mkpath(src + QStringLiteral("/sub"));
    writeImage(src + QStringLiteral("/a.bmp"), RGB(10, 10, 10));
    {
        QFile broken(src + QStringLiteral("/b.bmp"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("BM this is no bitmap at all");
    }
    writeImage(src + QStringLiteral("/c.bmp"), RGB(30, 30, 30));
    writeImage(src + QStringLiteral("/sub/d.bmp"), RGB(40, 40, 40));
    writeImage(src + QStringLiteral("/e.png"), RGB(50, 50, 50));
    const QByteArray brokenBytes = ReadWholeFile(src + QStringLiteral("/b.bmp"));
    Tchild* bystander = imageWindow(3, 3, RGB(7, 8, 9));

    struct Case {
        bool subdirs;
        bool png;
        std::vector<TColor> saved;  // u0001, u0002, ... in order
    };
    const Case cases[] = {
        {false, false, {RGB(10, 10, 10), RGB(30, 30, 30)}},
        {true, true, {RGB(10, 10, 10), RGB(30, 30, 30), RGB(50, 50, 50), RGB(40, 40, 40)}},
    };
    // Only files the user opened go into the recent-file list.
    form->History()->PushName(QStringLiteral("/opened/by/the/user.bmp"));
    const QStringList recent = form->History()->Names();
    for (const Case& c : cases) {
        for (const QString& f : QDir(out_).entryList(QDir::Files))
            QFile::remove(out_ + QLatin1Char('/') + f);
        form->options.verzdialog.source = 1;
        form->options.verzdialog.directory = src;
        form->options.verzdialog.subdirs = 0;
        form->options.verzdialog.types = {};
        form->options.verzdialog.types[1] = 1;
        form->ActivateChild(bystander);
        settings(2, 0, 1);
        messages.clear();
        QTimer::singleShot(0, form.get(), [&c] {
            auto* d = qobject_cast<Taufverzform*>(QApplication::activeModalWidget());
            if (!d)
                return;
            d->subfoldersCheck->setChecked(c.subdirs);
            d->TypeBoxes[9]->setChecked(c.png);
            d->Buttons[1]->click();
        });
        form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmFileList);
        ASSERT_EQ(form->Batch().Failures().size(), 1);
        EXPECT_TRUE(form->Batch().Failures()[0].startsWith(src + QStringLiteral("/b.bmp")));
        ASSERT_FALSE(messages.empty());
        EXPECT_TRUE(messages.back().contains(QStringLiteral("b.bmp")));
        EXPECT_EQ(form->options.verzdialog.subdirs, c.subdirs ? 1 : 0);
        const QStringList files = QDir(out_).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(files.size(), qsizetype(c.saved.size()));
        for (size_t i = 0; i < c.saved.size(); ++i)
            EXPECT_EQ(loadFile(out_ + QLatin1Char('/') + files[qsizetype(i)]).PixelColor(0, 0), negated(c.saved[i]));
        EXPECT_EQ(form->MDIChildren(), QList<QWidget*>{bystander});
        EXPECT_EQ(bystander->imageKit->Bitmap()->PixelColor(1, 1), RGB(7, 8, 9));
        EXPECT_FALSE(bystander->Modified());
        EXPECT_EQ(ReadWholeFile(src + QStringLiteral("/b.bmp")), brokenBytes);
        EXPECT_EQ(form->History()->Names(), recent);
    }
}

TEST_F(Batch, DecodingAheadGivesTheSameImagesAndFailuresForEveryThreadCount)
{
    const QString src = TempDir() + QStringLiteral("/batchjpg%1").arg(serial_++);
    QDir().mkpath(src);
    for (int i = 0; i < 7; ++i) {
        const QString name = src + QStringLiteral("/p%1.jpg").arg(i);
        if (i == 3) {
            QFile broken(name);
            ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
            broken.write("\xFF\xD8\xFF\xE0 no picture follows");
            continue;
        }
        patterned(37 + i, 23 + 2 * i, i)->imageKit->IO()->SaveToFile(name);
        closeAll();
    }
    struct Run {
        std::vector<QByteArray> saved;
        QStringList failures;
    };
    auto run = [&](int threads) {
        TScopedParallelThreads scope(threads);
        for (const QString& f : QDir(out_).entryList(QDir::Files))
            QFile::remove(out_ + QLatin1Char('/') + f);
        form->options.verzdialog.source = 1;
        form->options.verzdialog.directory = src;
        form->options.verzdialog.subdirs = 0;
        form->options.verzdialog.types = {};
        form->options.verzdialog.types[0] = 1;
        settings(2, 0, 1);  // saved as BMP: the decoded pixels, byte for byte
        clickInModal("Button1");
        form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmFileList);
        Run r;
        for (const QString& f : QDir(out_).entryList(QDir::Files, QDir::Name))
            r.saved.push_back(ReadWholeFile(out_ + QLatin1Char('/') + f));
        r.failures = form->Batch().Failures();
        return r;
    };
    const Run one = run(1);
    ASSERT_EQ(one.saved.size(), 6u);
    ASSERT_EQ(one.failures.size(), 1);
    EXPECT_TRUE(one.failures[0].startsWith(src + QStringLiteral("/p3.jpg")));
    for (int threads : {2, 8}) {
        const Run many = run(threads);
        EXPECT_EQ(many.saved, one.saved) << threads << " threads";
        EXPECT_EQ(many.failures, one.failures) << threads << " threads";
    }
    EXPECT_EQ(form->MDIChildCount(), 0);
}

TEST_F(Batch, KeepNamesAndFormatOverwriteInPlaceAndUntitledImagesGetNumberedNames)
{
    const QString src = TempDir() + QStringLiteral("/batchkeep%1").arg(serial_++);
    QDir().mkpath(src);
    writeImage(src + QStringLiteral("/a.png"), RGB(100, 0, 0));
    writeImage(src + QStringLiteral("/b.bmp"), RGB(0, 100, 0));
    WriteFileList(FileListPath(), {src + QStringLiteral("/a.png"), src + QStringLiteral("/b.bmp")});
    form->options.verzdialog.source = 0;
    settings(2, 0, 3, true, true);
    clickInModal("Button1");
    form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmFileList);
    EXPECT_EQ(ReadWholeFile(src + QStringLiteral("/a.png")).mid(1, 3), QByteArray("PNG"));
    EXPECT_EQ(ReadWholeFile(src + QStringLiteral("/b.bmp")).left(2), QByteArray("BM"));
    EXPECT_EQ(loadFile(src + QStringLiteral("/a.png")).PixelColor(2, 2), RGB(155, 255, 255));
    EXPECT_EQ(loadFile(src + QStringLiteral("/b.bmp")).PixelColor(2, 2), RGB(255, 155, 255));
    EXPECT_EQ(QDir(src).entryList(QDir::Files).size(), 2);

    // A new image has no name or format to keep.
    imageWindow(3, 3, RGB(0, 0, 200));
    form->Batch().RunBatch(BatchFilePath(QStringLiteral("neg")), TBatchRunner::bmAllLoaded);
    EXPECT_EQ(QDir(out_).entryList(QDir::Files), QStringList{QStringLiteral("u0001.tiff")});
    EXPECT_EQ(form->MDIChildCount(), 0);
}

TEST_F(Batch, AFailedSaveStopsTheRunAndLeavesItsWindowOpen)
{
    Tchild* first = imageWindow(3, 3, RGB(10, 10, 10));
    Tchild* second = imageWindow(3, 3, RGB(20, 20, 20));
    first->setWindowTitle(QStringLiteral("first image"));
    second->setWindowTitle(QStringLiteral("second image"));
    settings(2, 0, 1);
    form->autoform()->SetDirectory(out_ + QStringLiteral("/missing/deeper"));
    messages.clear();
    form->Batch().RunBatch(writeBatch(QStringLiteral("neg"), {cmdNegative}), TBatchRunner::bmAllLoaded);
    EXPECT_EQ(form->MDIChildCount(), 2);
    EXPECT_TRUE(first->Modified());
    EXPECT_EQ(first->imageKit->Bitmap()->PixelColor(0, 0), negated(RGB(10, 10, 10)));
    EXPECT_EQ(second->imageKit->Bitmap()->PixelColor(0, 0), RGB(20, 20, 20));
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(messages.back().contains(QStringLiteral("first image")));
}

TEST_F(Batch, RecordsStayOnTheirWindowWhenTheUserActivatesAnother)
{
    Tchild* other = imageWindow(3, 3, RGB(1, 1, 1));
    Tchild* target = imageWindow(3, 3, RGB(2, 2, 2));
    int prints = 0;
    dialogs->print = [&](Tform1& f, Tchild* image, const tautomatitem&) {
        EXPECT_EQ(image, target);
        ++prints;
        f.ActivateChild(other);
    };
    settings(0);
    form->Batch().RunBatch(writeBatch(QStringLiteral("pn"), {cmdPrint, cmdNegative, cmdPrint, cmdFlipVertical}),
                           TBatchRunner::bmActive);
    EXPECT_EQ(prints, 2);
    EXPECT_EQ(target->imageKit->Bitmap()->PixelColor(0, 0), negated(RGB(2, 2, 2)));
    EXPECT_EQ(other->imageKit->Bitmap()->PixelColor(0, 0), RGB(1, 1, 1));
    EXPECT_FALSE(other->Modified());
}

TEST_F(Batch, RunsOverSeveralImagesHoldPaintingButNotForAMessageOrAfterwards)
{
    // after: 0 nothing, 1 save and close, 2 save into a directory; the saves fail.
    struct Case {
        int mode;
        int after;
        bool heldDuringRun;
    } cases[] = {
        {TBatchRunner::bmActive, 0, false},
        {TBatchRunner::bmAllLoaded, 0, true},
        {TBatchRunner::bmAllLoaded, 2, true},
        {TBatchRunner::bmAllLoaded, 1, true},
    };
    // The image windows and the bars around them alike.
    const auto paints = [&] {
        const bool area = form->ClientArea()->updatesEnabled(), bars = form->menuBar()->updatesEnabled();
        EXPECT_EQ(area, bars);
        return area && bars;
    };
    const QString missing = out_ + QStringLiteral("/missing/deeper");
    for (const Case& c : cases) {
        closeAll();
        for (int i = 0; i < 2; ++i) {
            Tchild* w = imageWindow(3, 3, RGB(i, i, i));
            w->imageKit->IOParams().FileName = missing + QStringLiteral("/%1.bmp").arg(i);
        }
        std::vector<bool> during, atMessage;
        dialogs->print = [&](Tform1&, Tchild*, const tautomatitem&) { during.push_back(paints()); };
        SetMessageDlgHook([&](const MessageDlgCall&) {
            atMessage.push_back(paints());
            return answer;
        });
        TApplication::OnException = [&](const std::exception&) { atMessage.push_back(paints()); };
        settings(c.after, 0, 1);
        form->autoform()->SetDirectory(missing);
        // A duplicate is a window made while painting is held (untitled, it would ask for
        // a name under "save and close").
        const QString batch = c.after == 1 ? writeBatch(QStringLiteral("pn"), {cmdPrint, cmdNegative})
                                           : writeBatch(QStringLiteral("pnd"), {cmdPrint, cmdNegative, cmdDuplicate});
        form->Batch().RunBatch(batch, c.mode);
        ASSERT_FALSE(during.empty()) << c.mode;
        for (bool enabled : during)
            EXPECT_EQ(enabled, !c.heldDuringRun) << c.mode << c.after;
        EXPECT_EQ(atMessage.empty(), c.after == 0) << c.mode << c.after;
        for (bool enabled : atMessage)
            EXPECT_TRUE(enabled) << c.mode << c.after;
        EXPECT_TRUE(paints()) << c.mode << c.after;
        if (c.after != 1) {
            EXPECT_GT(form->MDIChildCount(), 2) << c.mode << c.after;
        }
        for (QWidget* w : form->MDIChildren())
            EXPECT_TRUE(w->updatesEnabled()) << c.mode << c.after;
    }
}

TEST_F(Batch, EscapeOrCancelStopsAfterTheCurrentImage)
{
    for (const bool escape : {false, true}) {
        closeAll();
        std::vector<Tchild*> windows;
        for (int i = 0; i < 4; ++i)
            windows.push_back(imageWindow(2, 2, RGB(10 * i, 0, 0)));
        int prints = 0;
        dialogs->print = [&](Tform1& f, Tchild*, const tautomatitem&) {
            if (++prints != 2)
                return;
            auto* p = f.findChild<QProgressDialog*>(QStringLiteral("BatchProgress"));
            ASSERT_NE(p, nullptr);
            if (escape)
                QTest::keyClick(p, Qt::Key_Escape);
            else
                p->findChild<QPushButton*>()->click();
        };
        settings(0);
        form->Batch().RunBatch(writeBatch(QStringLiteral("pn"), {cmdPrint, cmdNegative}), TBatchRunner::bmAllLoaded);
        EXPECT_EQ(prints, 2);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(windows[size_t(i)]->imageKit->Bitmap()->PixelColor(0, 0),
                      i < 2 ? negated(RGB(10 * i, 0, 0)) : RGB(10 * i, 0, 0))
                << escape << i;
    }
}

TEST_F(Batch, HostileRecordsAreRefusedBeforeTheyRun)
{
    Tchild* w = imageWindow(4, 4, RGB(5, 5, 5));
    std::vector<QByteArray> blocks;
    tautomatitem neg;
    neg.SetCode(cmdNegative);
    tautomatitem huge;
    huge.SetCode(cmdResample);
    huge.SetArg(1, 1'000'000);
    huge.SetArg(2, 1'000'000);
    blocks = {neg.ToByteArray(), huge.ToByteArray(), neg.ToByteArray()};
    WriteBatchFile(BatchFilePath(QStringLiteral("bad")), blocks);
    {
        // A trailing piece of a record is not read.
        QFile f(BatchFilePath(QStringLiteral("bad")));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(700, char(cmdNegative)));
    }
    settings(2, 0, 1);
    messages.clear();
    form->Batch().RunBatch(BatchFilePath(QStringLiteral("bad")), TBatchRunner::bmActive);
    EXPECT_EQ(w->imageKit->Bitmap()->Width(), 4);
    EXPECT_EQ(w->imageKit->Bitmap()->PixelColor(0, 0), negated(RGB(5, 5, 5)));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QDir(out_).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(form->MDIChildCount(), 1);

    // An empty batch still does the after-processing.
    WriteBatchFile(BatchFilePath(QStringLiteral("empty")), {});
    form->Batch().RunBatch(BatchFilePath(QStringLiteral("empty")), TBatchRunner::bmActive);
    EXPECT_EQ(QDir(out_).entryList(QDir::Files), QStringList{QStringLiteral("u0001.bmp")});
}

TEST_F(Batch, BatchBoxAndQuickStartersFollowTheRecordFiles)
{
    writeBatch(QStringLiteral("alpha"), {cmdNegative});
    writeBatch(QStringLiteral("Beta"), {cmdFlipVertical});
    form->options.batchrecord = QStringLiteral("BETA.ATM");
    form->Batch().UpdateBatchBox();
    auto* box = form->Control<QComboBox>(QStringLiteral("autobox"));
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), QStringLiteral("Beta.atm"));

    form->options.quickstart = {};
    form->options.quickstart[0] = QStringLiteral("ALPHA.atm");
    form->options.quickstart[3] = QStringLiteral("gone.atm");
    Tautoform* a = form->autoform();
    a->FormActivate(form->options);
    EXPECT_EQ(a->QuickStarters[0]->currentText(), QStringLiteral("alpha.atm"));
    EXPECT_EQ(a->QuickStarters[3]->currentIndex(), -1);
    EXPECT_EQ(a->SelectedRecord(), QStringLiteral("Beta.atm"));
    a->QuickStarters[7]->setCurrentIndex(0);
    a->FormClose(form->options);
    EXPECT_EQ(form->options.quickstart[0], QStringLiteral("alpha.atm"));
    EXPECT_EQ(form->options.quickstart[3], QString());
    EXPECT_EQ(form->options.quickstart[7], QStringLiteral("Beta.atm"));

    Tchild* w = imageWindow(2, 2, RGB(0, 0, 0));
    settings(2);
    form->findChild<QAction*>(QStringLiteral("QuickStart1"))->trigger();
    EXPECT_TRUE(a->afterNothingRadio->isChecked());
    EXPECT_EQ(a->work.after, 0);
    EXPECT_EQ(w->imageKit->Bitmap()->PixelColor(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(form->MDIChildCount(), 1);

    // A record file made elsewhere shows after the next refill.
    writeBatch(QStringLiteral("gamma"), {cmdGray});
    form->Batch().UpdateBatchBox();
    EXPECT_EQ(box->count(), 3);
}

TEST_F(Batch, BatchDialogShowsItsChoicesAndReturnsTheChosenMode)
{
    Tautoform* a = form->autoform();
    struct Vis {
        int after;
        bool keepformat, keepnames;
        bool dirVisible, formatEnabled, nameEnabled;
    };
    const Vis vis[] = {{0, false, false, false, true, true},
                       {2, false, false, true, true, true},
                       {2, true, false, true, false, true},
                       {2, false, true, true, true, false},
                       {1, true, true, false, false, false}};
    for (const Vis& v : vis) {
        a->work.after = v.after;
        a->work.keepformat = v.keepformat;
        a->work.keepnames = v.keepnames;
        a->FormActivate(form->options);
        a->show();
        EXPECT_EQ(a->targetDirectoryEdit->isVisible(), v.dirVisible) << v.after;
        EXPECT_EQ(a->existsCombo->isVisible(), v.dirVisible);
        EXPECT_EQ(a->formatCombo->isEnabled(), v.formatEnabled);
        EXPECT_EQ(a->startFileEdit->isEnabled(), v.nameEnabled);
        EXPECT_EQ(a->startNumberEdit->isEnabled(), v.nameEnabled);
        EXPECT_EQ(a->Buttons[8]->isEnabled(), v.formatEnabled);
        a->hide();
    }

    // "Parameter" edits the batch's own save parameters on the page of the chosen format,
    // over the active image; Cancel leaves them.
    imageWindow(20, 10, RGB(200, 30, 30));
    a->work.after = 2;
    a->work.keepformat = false;
    a->FormActivate(form->options);
    for (bool ok : {false, true}) {
        a->formatCombo->setCurrentIndex(0);  // JPEG
        a->imageKit->Params().JpegQuality = 40;
        int page = -1, sourceWidth = -1;
        // The dialog may run events while it prepares its first preview: act once it shows.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* d = qobject_cast<TfIOPreviews*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible())
                return;
            poll.stop();
            page = d->ActivePage();
            sourceWidth = d->ImageKit1->GetBitmap()->Width();
            d->TrackBar13->setValue(90);
            if (ok)
                QTest::mouseClick(d->Button1, Qt::LeftButton);
            else
                d->reject();
        });
        poll.start(10);
        a->parametersClicked();
        EXPECT_EQ(page, 4);
        EXPECT_EQ(sourceWidth, 20);
        EXPECT_EQ(a->imageKit->Params().JpegQuality, ok ? 90 : 40) << ok;
    }
    EXPECT_FALSE(a->Buttons[3]->isEnabled());  // no record files yet
    EXPECT_FALSE(a->Buttons[1]->isEnabled());

    writeBatch(QStringLiteral("neg"), {cmdNegative});
    Tchild* w = imageWindow(2, 2, RGB(0, 0, 0));
    const struct {
        const char* button;
        bool negatedAfter;
        bool recording;
    } runs[] = {{"Button6", false, false}, {"Button3", true, false}, {"Button2", false, true}};
    form->options.autodialog.after = 0;
    for (const auto& r : runs) {
        w->imageKit->Bitmap()->Canvas()->SetPixel(0, 0, RGB(0, 0, 0));
        clickInModal(r.button);
        form->Batch().batchClicked();
        EXPECT_EQ(w->imageKit->Bitmap()->PixelColor(0, 0), r.negatedAfter ? RGB(255, 255, 255) : RGB(0, 0, 0))
            << r.button;
        EXPECT_EQ(form->Recording, r.recording) << r.button;
        EXPECT_EQ(form->options.batchrecord, QStringLiteral("neg.atm"));
    }

    // Deleting asks first.
    for (int reply : {mrCancel, mrOk}) {
        answer = reply;
        a->FormActivate(form->options);
        a->deleteClicked();
        EXPECT_EQ(QFile::exists(BatchFilePath(QStringLiteral("neg"))), reply == mrCancel);
    }
    EXPECT_EQ(a->recordList->count(), 0);
}

TEST_F(Batch, FileListDialogRoundTripsItsListAndSettings)
{
    QFile list(FileListPath());
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("/p/one.jpg\r\n/p/two.png\r\n/p/three.bmp\r\n");
    list.close();
    tverzdialog v = tverzdialog::Defaults();
    v.types[3] = 1;  // GIF: no box, kept as stored
    v.directory = QStringLiteral("/somewhere");
    Taufverzform d(v, form.get());
    ASSERT_EQ(d.fileList->count(), 3);
    EXPECT_TRUE(d.SourceList->isChecked());
    EXPECT_TRUE(d.listGroup->isVisibleTo(&d));
    EXPECT_FALSE(d.directoryGroup->isVisibleTo(&d));
    d.fileList->item(1)->setSelected(true);
    d.deleteClicked();
    TOpenDialog::ExecuteHook = [](TOpenDialog& o) {
        o.Files = {QStringLiteral("/q/added.tif"), QStringLiteral("/q/more.pcx")};
        return true;
    };
    d.addClicked();
    TOpenDialog::ExecuteHook = nullptr;
    EXPECT_EQ(d.work.lastfolder, QStringLiteral("/q/"));
    d.SourceDirectory->click();
    EXPECT_TRUE(d.directoryGroup->isVisibleTo(&d));
    d.selectAllTypesClicked();
    d.subfoldersCheck->setChecked(true);
    d.applyClicked();
    EXPECT_TRUE(d.OK);
    EXPECT_EQ(ReadWholeFile(FileListPath()),
              QByteArray("/p/one.jpg\r\n/p/three.bmp\r\n/q/added.tif\r\n/q/more.pcx\r\n"));
    EXPECT_EQ(d.work.source, 1);
    EXPECT_EQ(d.work.subdirs, 1);
    EXPECT_EQ(d.work.directory, QStringLiteral("/somewhere"));
    std::array<uint8_t, 10> all{};
    all.fill(1);
    EXPECT_EQ(d.work.types, all);

    // Clearing asks; cancel keeps the list, and a cancelled dialog changes nothing.
    Taufverzform e(v, form.get());
    for (int reply : {mrCancel, mrOk}) {
        answer = reply;
        e.deleteAllClicked();
        EXPECT_EQ(e.fileList->count(), reply == mrOk ? 0 : 4);
    }
    v.types[3] = 0;
    Taufverzform g(v, form.get());
    g.selectAllTypesClicked();
    g.applyClicked();
    EXPECT_EQ(g.work.types[3], 0);
}

}  // namespace
