// Replaying a batch file on its targets, and what happens to each image afterwards.
#include "app/batch/batch_file.h"
#include "app/batch/batch_source_dialog.h"
#include "app/batch/batch_dialog.h"
#include "app/image_window/image_window.h"
#include "app/batch/batch_runner.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/decode_ahead.h"
#include "app/util/saves_behind.h"
#include "app/util/stopwatch.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/parallel_for.h"
#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

// Repainting the image windows after every record cost more than the records themselves,
// and each window the run opens and closes marks the menu bar and tool bars for painting
// again; during a run over many images the main window shows its state a few times a
// second, and paints as usual again before any message and when the run ends.
class TBatchPainting {
public:
    explicit TBatchPainting(QWidget* window) : window_(window), enabled_(window->updatesEnabled())
    {
        window->setUpdatesEnabled(false);
        clock_.start();
    }
    ~TBatchPainting() { Release(); }
    TBatchPainting(const TBatchPainting&) = delete;
    TBatchPainting& operator=(const TBatchPainting&) = delete;

    // The windows as they stand now, unless they were shown a moment ago.
    void Show()
    {
        if (released_ || clock_.elapsed() < kIntervalMs)
            return;
        window_->setUpdatesEnabled(true);
        window_->repaint();
        window_->setUpdatesEnabled(false);
        clock_.restart();
    }
    void Release()
    {
        if (released_)
            return;
        released_ = true;
        window_->setUpdatesEnabled(enabled_);
    }

private:
    static constexpr qint64 kIntervalMs = 200;
    QWidget* window_;
    const bool enabled_;
    bool released_ = false;
    QElapsedTimer clock_;
};

namespace {

// Commands act on the pinned window for as long as this lives.
class TPinScope {
public:
    TPinScope(TMainWindowServices& form, QWidget* window) : form_(form)
    {
        if (window)
            form.ActivateChild(window);
        form.PinChild(window);
    }
    ~TPinScope() { form_.PinChild(nullptr, false); }
    TPinScope(const TPinScope&) = delete;
    TPinScope& operator=(const TPinScope&) = delete;

private:
    TMainWindowServices& form_;
};

QMdiSubWindow* subOf(QWidget* w) { return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr; }

bool alive(QWidget* w)
{
    QMdiSubWindow* sub = subOf(w);
    return sub && !sub->isHidden();
}

void closeWindow(QWidget* w)
{
    if (QMdiSubWindow* sub = subOf(w))
        sub->close();
    // Closed windows go now, so that nothing below still sees them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Closes a window the run made without asking: it holds nothing the user made.
void dropWindow(QWidget* w)
{
    if (auto* c = qobject_cast<Tchild*>(w))
        c->SetModified(false);
    closeWindow(w);
}

// Records that change only the image's pixels and show nothing when they work: with
// these alone nothing the user sees comes between an image and its save, so the save
// may be written behind.
bool quietRecords(const std::vector<tautomatitem>& items)
{
    static constexpr uint8_t kQuiet[] = {cmdSave,         cmdUndo,    cmdSelectAll,    cmdSelectNone,
                                         cmdReduceColors, cmdGray,    cmdNegative,     cmdResizeCanvas,
                                         cmdResample,     cmdRotate,  cmdFlipVertical, cmdFlipHorizontal,
                                         cmdClear,        cmdTo24Bit, cmdBWThreshold,  cmdBWOrdered};
    return std::all_of(items.begin(), items.end(), [](const tautomatitem& item) {
        return std::find(std::begin(kQuiet), std::end(kQuiet), item.Code()) != std::end(kQuiet);
    });
}

tautomatitem saveRecord(const QString& fileName, const tsaveparams& block)
{
    tautomatitem item;
    item.SetCode(cmdSave);
    item.SetFileName(fileName);
    item.SetSaveParams(block);
    return item;
}

// While it lives, the image's save is handed over here instead of being written.
class TSaveHandOver {
public:
    TSaveHandOver(Tchild* image, bool on) : image_(on ? image : nullptr)
    {
        if (image_)
            image_->Document().SaveBehind = [this](std::unique_ptr<TDetachedSave> s) { Save = std::move(s); };
    }
    ~TSaveHandOver()
    {
        if (image_)
            image_->Document().SaveBehind = nullptr;
    }
    TSaveHandOver(const TSaveHandOver&) = delete;
    TSaveHandOver& operator=(const TSaveHandOver&) = delete;

    std::unique_ptr<TDetachedSave> Save;

private:
    QPointer<Tchild> image_;
};

// Progress over the images of a run; Escape or Cancel stops after the current image.
class TBatchProgress {
public:
    TBatchProgress(QWidget* owner, int total)
        : dialog_(LangText(QStringLiteral("Batch läuft ..."), QStringLiteral("Running batch ...")),
                  LangText(QStringLiteral("Abbrechen"), QStringLiteral("Cancel")), 0, total, owner)
    {
        dialog_.setObjectName(QLatin1String(ObjectName::ProgressDialogs::BatchProgress));
        dialog_.setWindowTitle(QStringLiteral("Batch"));
        dialog_.setWindowModality(Qt::NonModal);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setMinimumDuration(0);
        // Escape rejects the dialog; that stops the run like Cancel.
        QObject::connect(&dialog_, &QDialog::rejected, &dialog_, &QProgressDialog::cancel);
        dialog_.setValue(0);
        dialog_.show();
    }
    // Shown a few times a second, and at the end: repainting the dialog for every image
    // of a quick run cost more than a step of the images' own work.
    void Step(int done, const QString& name)
    {
        const int64_t now = StopwatchNowMs();
        if (shown_ && now >= shownAt_ && now - shownAt_ < kIntervalMs && done < dialog_.maximum())
            return;
        shown_ = true;
        shownAt_ = now;
        dialog_.setLabelText(QFileInfo(name).fileName().isEmpty() ? name : QFileInfo(name).fileName());
        dialog_.setValue(done);
    }
    bool Cancelled() const { return dialog_.wasCanceled(); }

private:
    static constexpr int64_t kIntervalMs = 100;
    QProgressDialog dialog_;
    bool shown_ = false;
    int64_t shownAt_ = 0;
};

// Waits with the events running (the scanner's source settles meanwhile).
void pause(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void reportFailures(const QStringList& failures)
{
    if (failures.isEmpty())
        return;
    const QString list = failures.join(QLatin1Char('\n'));
    LangMessageDlg(QStringLiteral("Folgende Dateien konnten nicht geladen werden und wurden übersprungen:\n") + list,
                   mtWarning, mbOK,
                   QStringLiteral("The following files could not be loaded and were skipped:\n") + list);
}

}  // namespace

bool TBatchRunner::CollectDirectoryFiles(const QString& directory)
{
    // A large tree takes a while: the events run between its folders, Escape or Cancel ends
    // the walk, and then the batch does not start on part of it.
    TBatchProgress progress(main_.Window(), 0);
    bool stopped = false;
    files_ << CollectDirectory(
        directory, main_.Options().verzdialog.types, main_.Options().verzdialog.subdirs != 0,
        [&progress](const QString& folder, int) {
            progress.Step(0, folder);
            TApplication::ProcessMessages();
            return !progress.Cancelled();
        },
        &stopped);
    return !stopped;
}

void TBatchRunner::markBatchResult(Tchild* image)
{
    if (!image)
        return;
    image->SetModified(true);
    const QString mark = LangText(QStringLiteral(" (Batch-Ergebnis)"), QStringLiteral(" (batch result)"));
    if (!image->windowTitle().endsWith(mark))
        image->setWindowTitle(image->windowTitle() + mark);
    // The source file still holds the original: a later Save asks where this result goes.
    image->imageKit->IOParams().FileName.clear();
}

bool TBatchRunner::replayItems(const std::vector<tautomatitem>& items, QWidget* target, int& counter)
{
    // The window the records act on: the target, or the newest window a record made,
    // back to the one before when that is closed.
    std::vector<QPointer<QWidget>> pins{QPointer<QWidget>(target)};
    auto current = [&pins]() -> QWidget* {
        while (!pins.empty() && !alive(pins.back()))
            pins.pop_back();
        return pins.empty() ? nullptr : pins.back().data();
    };
    const QString title = target ? target->windowTitle() : QString();
    for (const tautomatitem& item : items) {
        if (item.Code() == cmdSave)
            continue;  // recorded saves are the after-processing's business
        // The events that came during the record before (or the image's open) run first.
        TApplication::ProcessMessages();
        if (const TRecordCheck check = CheckRecord(item); !check.ok()) {
            if (!settleSaves(target))
                return false;
            ReleasePainting();
            LangMessageDlg(check.german, mtError, mbOK, check.english);
            return false;
        }
        QWidget* w = current();
        const QList<QWidget*> before = main_.MDIChildren();
        try {
            TPinScope pin(main_, w);
            main_.RunRecord(main_.Window(), item);
            if (item.Code() == cmdClose && w)
                closeWindow(w);
        } catch (const std::exception& e) {
            const QString why = TApplication::ExceptionText(e);
            if (!settleSaves(target))
                return false;
            ReleasePainting();
            // Half done and meant to be saved elsewhere: it must not pass for the original.
            if (runSnapshot_ && runSettings_.after != 0)
                markBatchResult(qobject_cast<Tchild*>(current()));
            LangMessageDlg(QStringLiteral("Der Batch wurde bei ") + title + QStringLiteral(" abgebrochen:\n") + why,
                           mtError, mbOK,
                           QStringLiteral("The batch stopped at ") + title + QStringLiteral(":\n") + why);
            return false;
        }
        for (QWidget* c : main_.MDIChildren())
            if (!before.contains(c) && alive(c))
                pins.emplace_back(c);
    }
    TApplication::ProcessMessages();
    if (painting_)
        painting_->Show();
    const bool go = afterprocessing(current(), counter);
    TApplication::ProcessMessages();
    return go;
}

bool TBatchRunner::afterprocessing(QWidget* target, int& counter)
{
    const tautodialog s = runSnapshot_ ? runSettings_ : dialog_->Settings();
    auto* image = qobject_cast<Tchild*>(target);
    if (s.after == 0 || !image)
        return true;
    const QString title = image->windowTitle();
    auto failed = [&](const QString& why) {
        if (!settleSaves(image))
            return false;
        return reportSaveFailure(image, title, why);
    };
    QPointer<Tchild> guard(image);
    if (s.after == 1) {
        if (!settleSaves(image))
            return false;
        TSaveOutcome outcome = TSaveOutcome::Failed;
        {
            TPinScope pin(main_, image);
            outcome = main_.SaveImage(image);
        }
        if (!guard)
            return true;
        if (outcome != TSaveOutcome::Saved || image->Modified()) {
            markBatchResult(image);
            return false;  // the save reported its own error, or the user cancelled it
        }
        ++counter;
        closeWindow(image);
        return true;
    }

    const QString source = image->imageKit->IOParams().FileName;
    const QString directory = runSnapshot_ ? runDirectory_ : dialog_->Directory();
    if (directory.isEmpty() && !(s.keepnames && !source.isEmpty()))
        return failed(
            LangText(QStringLiteral("Es ist kein Verzeichnis angegeben."), QStringLiteral("No directory is given.")));
    const TTargetName t = ResolveTargetName(s, directory, source, counter, [this](const QString& name) {
        // A save still being written is a file there, as it is once written.
        return QFileInfo::exists(name) || (behind_ && behind_->Targets(name));
    });
    if (t.kind == TTargetName::Skip) {
        markBatchResult(image);  // left open by the rule, unsaved
        return true;
    }
    if (t.kind == TTargetName::TooLong)
        return failed(
            LangText(QStringLiteral("Der Dateiname ist zu lang: "), QStringLiteral("The file name is too long: ")) +
            t.name);
    tsaveparams block;
    const bool ownFormat = s.keepformat && !source.isEmpty() &&
                           QFileInfo(source).suffix().compare(QFileInfo(t.name).suffix(), Qt::CaseInsensitive) == 0;
    QString error;
    TSaveOutcome outcome = TSaveOutcome::Failed;
    std::unique_ptr<TDetachedSave> handed;
    try {
        TPinScope pin(main_, image);
        if (ownFormat)
            main_.ActiveSaveParams(block);
        else
            main_.DialogSaveParams(block);
        FitSaveParamsToWriter(block, t.name);
        // A record the check refuses is told at once: the saves before it come first.
        if (behind_ && !CheckRecord(saveRecord(t.name, block)).ok() && !settleSaves(image))
            return false;
        TSaveHandOver handOver(image, behind_ != nullptr);
        outcome = main_.RunSave(image, t.name, block, &error);
        handed = std::move(handOver.Save);
    } catch (const std::exception& e) {
        return failed(TApplication::ExceptionText(e));
    }
    if (!guard)
        return true;
    if (outcome == TSaveOutcome::Pending && handed) {
        // Counted as the save will be once written; a failure stops the run anyway.
        ++counter;
        queueSave(std::move(handed), image, title, t.name);
        return behind_->Settle(TSavesBehind::TWait::Room);
    }
    if (outcome != TSaveOutcome::Saved) {
        if (!error.isEmpty())
            return failed(error);
        markBatchResult(image);  // the record check has told the user why
        return false;
    }
    written_.insert(QFileInfo(t.name).absoluteFilePath());
    ++counter;
    closeWindow(image);
    return true;
}

void TBatchRunner::queueSave(std::unique_ptr<TDetachedSave> save, Tchild* image, const QString& title,
                             const QString& fileName)
{
    // Files that failed to load after this image are not reached when its save fails.
    const qsizetype failuresBefore = failures_.size();
    QPointer<Tchild> window(image);
    TSavesBehind::TOutcome outcome;
    outcome.saved = [this, window, fileName] {
        written_.insert(QFileInfo(fileName).absoluteFilePath());
        if (!window)
            return;
        // What the save command does once the document has written the file.
        window->Document().SavedBehind(fileName);
        window->setWindowTitle(fileName);
        closeWindow(window);
    };
    outcome.failed = [this, window, title, failuresBefore](const QString& why) {
        failures_.resize(failuresBefore);
        // Back as the run would have left it: the image whose save failed, in front.
        if (QMdiSubWindow* sub = subOf(window)) {
            sub->show();
            main_.ActivateChild(window);
        }
        reportSaveFailure(window, title, why);
    };
    outcome.dropped = [window] { dropWindow(window); };
    behind_->Add(std::move(save), fileName, std::move(outcome));
    // Done with as far as the user can tell: it goes from view as a saved image goes.
    if (QMdiSubWindow* sub = subOf(image))
        sub->hide();
}

bool TBatchRunner::reportSaveFailure(Tchild* image, const QString& title, const QString& why)
{
    ReleasePainting();
    markBatchResult(image);
    LangMessageDlg(QStringLiteral("Das Bild ") + title + QStringLiteral(" konnte nicht gespeichert werden:\n") + why,
                   mtError, mbOK,
                   QStringLiteral("The image ") + title + QStringLiteral(" could not be saved:\n") + why);
    return false;
}

bool TBatchRunner::settleSaves(QWidget* current)
{
    if (!behind_ || behind_->Settle(TSavesBehind::TWait::All))
        return true;
    if (alive(current))
        dropWindow(current);
    return false;
}

// The recent-file list is the user's own: a batch's files do not go into it.
bool TBatchRunner::openForBatch(const QString& fileName, QString& error)
{
    main_.Record().SetCode(cmdOpen);
    if (!main_.Record().SetFileName(fileName)) {
        error = LangText(QStringLiteral("Der Dateiname ist zu lang."), QStringLiteral("The file name is too long."));
        return false;
    }
    const QList<QWidget*> before = main_.MDIChildren();
    main_.SetLoadErrorSink(&error);
    try {
        TPinScope pin(main_, nullptr);
        main_.RunRecord(main_.Window(), main_.Record());
    } catch (const std::exception& e) {
        error = TApplication::ExceptionText(e);
    }
    main_.SetLoadErrorSink(nullptr);
    QWidget* opened = nullptr;
    for (QWidget* c : main_.MDIChildren())
        if (!before.contains(c) && alive(c))
            opened = c;
    if (opened && (!error.isEmpty() || !qobject_cast<Tchild*>(opened))) {
        // Only images take part; a catalog or a half-made window goes again.
        dropWindow(opened);
        opened = nullptr;
    }
    if (!opened && error.isEmpty())
        error = LangText(QStringLiteral("Keine Bilddatei."), QStringLiteral("Not an image file."));
    if (opened)
        main_.ActivateChild(opened);
    return opened != nullptr;
}

void TBatchRunner::runOnFiles(const std::vector<tautomatitem>& items, const QStringList& files, int& counter)
{
    TBatchProgress progress(main_.Window(), int(files.size()));
    // The next few JPEGs decode on worker threads while this thread works through them in
    // order; a file that fails there loads the ordinary way and fails in its turn.
    TDecodeAhead::TOptions decoding;
    decoding.yieldToWindow = true;
    TDecodeAhead ahead(files, TIOParamsVals(), decoding);
    // The saves encode on the other cores while the next image is worked on, when nothing
    // the user sees can come between an image and its save; on one thread as ever.
    std::optional<TSavesBehind> behind;
    if (const int threads = ParallelThreads(); threads > 1 && quietRecords(items))
        behind.emplace(threads - 1, threads);
    behind_ = behind ? &*behind : nullptr;
    struct TBehindScope {
        TSavesBehind*& slot;
        ~TBehindScope() { slot = nullptr; }
    } behindScope{behind_};
    for (qsizetype i = 0; i < files.size(); ++i) {
        TApplication::ProcessMessages();
        if (progress.Cancelled())
            break;
        // A file this run writes is read once written, and not as it was decoded before.
        if (behind && !behind->Settle(behind->Targets(files[i]) ? TSavesBehind::TWait::All : TSavesBehind::TWait::None))
            break;
        const bool rewritten = written_.contains(QFileInfo(files[i]).absoluteFilePath());
        progress.Step(int(i), files[i]);
        QString error;
        // The picture goes with its name: the open takes it only for this very file.
        main_.HandOverDecoded(rewritten ? nullptr : ahead.Take(int(i)), files[i]);
        const bool opened = openForBatch(files[i], error);
        main_.HandOverDecoded(nullptr, QString());
        if (!opened) {
            failures_ << files[i] + QStringLiteral(": ") + error;
            continue;
        }
        if (!replayItems(items, main_.ActiveMDIChild(), counter))
            break;
        progress.Step(int(i + 1), files[i]);
    }
    // Stopped, failed or through: what is written is committed before the run ends.
    settleSaves(nullptr);
}

void TBatchRunner::runOnScanner(const std::vector<tautomatitem>& items, int& counter)
{
    TBatchProgress progress(main_.Window(), 0);
    for (int n = 0;; ++n) {
        TApplication::ProcessMessages();
        if (progress.Cancelled())
            break;
        // Every image gets its own window: the after-processing may close the last one.
        QPointer<Tchild> c = main_.NewImageWindow();
        c->SetModified(true);
        bool got = false;
        try {
            got = c->imageKit->IO()->Acquire();
        } catch (...) {
            if (c) {
                c->SetModified(false);
                closeWindow(c);
            }
            throw;
        }
        if (!got || !c) {
            if (c) {
                c->SetModified(false);
                closeWindow(c);
            }
            break;
        }
        c->setWindowTitle(main_.UntitledCaption());
        main_.FitWindowToImage(main_.Window(), c);
        c->viewChanged(main_.Window(), -1);
        pause(ScanPauseMs);
        if (!c || progress.Cancelled())
            break;
        progress.Step(n + 1, c->windowTitle());
        if (!replayItems(items, c, counter))
            break;
    }
}

void TBatchRunner::RunBatch(const QString& path, int mode)
{
    if (refuseWhileBatchRuns())
        return;
    if (mode == bmNewRecording) {
        // A recording that runs already is kept, not started afresh.
        if (!main_.IsRecording())
            StartRecording();
        setRecordingControls(true);
        return;
    }
    if (!QFileInfo(path).isFile())
        return;
    const std::vector<tautomatitem> items = ReadBatchFile(path);
    // What the run reads of the batch dialog is taken now and kept to its end.
    runSettings_ = dialog_->Settings();
    runDirectory_ = dialog_->Directory();
    runSnapshot_ = true;
    int counter = runSettings_.startnumber;
    failures_.clear();
    written_.clear();
    running_ = true;
    setRecordingControls(main_.IsRecording());
    struct TRunning {
        TBatchRunner& runner;
        ~TRunning()
        {
            runner.running_ = false;
            runner.runSnapshot_ = false;
            runner.setRecordingControls(runner.main_.IsRecording());
        }
    } running{*this};
    // One image paints as usual; runs over several hold their windows' painting.
    std::optional<TBatchPainting> painting;
    if (mode != bmActive)
        painting.emplace(main_.Window());
    struct TPaintingScope {
        TBatchPainting*& slot;
        TBatchPainting* const before;
        TPaintingScope(TBatchPainting*& s, TBatchPainting* now) : slot(s), before(s) { slot = now; }
        ~TPaintingScope() { slot = before; }
    } paintingScope(painting_, painting ? &*painting : nullptr);
    {
        // The availability follows once the images are through (UpdateAvailability below).
        struct THold {
            bool& held;
            ~THold() { held = false; }
        } hold{holdsAvailability_};
        holdsAvailability_ = true;
        switch (mode) {
        case bmActive: replayItems(items, main_.ActiveMDIChild(), counter); break;
        case bmAllLoaded: {
            // The windows there when the run starts, each once, whatever the records open or close.
            std::vector<QPointer<QWidget>> targets;
            for (QWidget* c : main_.MDIChildren())
                if (qobject_cast<Tchild*>(c))
                    targets.emplace_back(c);
            TBatchProgress progress(main_.Window(), int(targets.size()));
            for (size_t i = 0; i < targets.size(); ++i) {
                TApplication::ProcessMessages();
                if (progress.Cancelled())
                    break;
                if (!alive(targets[i]))
                    continue;
                progress.Step(int(i), targets[i]->windowTitle());
                if (!replayItems(items, targets[i], counter))
                    break;
            }
            break;
        }
        case bmFileList: {
            files_.clear();
            Taufverzform f(main_.Options().verzdialog, main_.Window());
            TranslateForm(QLatin1String(ObjectName::BatchSourceDialog::Form), &f);
            f.recordLabel->setText(QFileInfo(path).fileName());
            f.exec();
            if (!f.OK)
                break;
            main_.Options().verzdialog = f.work;
            if (main_.Options().verzdialog.source == 1) {
                if (!CollectDirectoryFiles(main_.Options().verzdialog.directory))
                    break;
            } else {
                files_ = ReadFileList(FileListPath());
            }
            const QStringList files = files_;
            runOnFiles(items, files, counter);
            break;
        }
        case bmScanner: runOnScanner(items, counter); break;
        default: break;
        }
    }
    ReleasePainting();
    TApplication::ProcessMessages();
    main_.UpdateAvailability(false);
    UpdateBatchBox();
    main_.ResetProgress();
    reportFailures(failures_);
}

void TBatchRunner::ReleasePainting()
{
    if (painting_)
        painting_->Release();
}
