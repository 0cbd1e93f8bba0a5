// The batch runner (TBatchRunner): recording, the batch dialog and replaying batch files.
#pragma once
// The batch feature: recording, the batch dialog, the batch box and quick starters, and
// replaying a batch file on the active image, all loaded images, a file list or the scanner.
#include "app/options/options.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QToolButton;
class QWidget;
class TBatchPainting;
class TDetachedSave;
class TMainWindowServices;
class TSavesBehind;
class Tautoform;
class Tchild;
class tautomatitem;

// The main window's controls the batch feature drives: the record, stop and play
// buttons, the batch box and the quick-start keys F2 … F9.
struct TBatchControls {
    QToolButton* record = nullptr;
    QToolButton* stop = nullptr;
    QToolButton* play = nullptr;
    QComboBox* box = nullptr;
    std::array<QAction*, 8> quickStarts{};
};

class TBatchRunner {
public:
    // Modes of RunBatch are the batch dialog's results.
    enum TBatchMode : int {
        bmNewRecording = 532,
        bmActive = 3526,
        bmAllLoaded = 1145,
        bmFileList = 5434,
        bmScanner = 7843
    };

    // The batch dialog is made here, owned by the main window's widget.
    explicit TBatchRunner(TMainWindowServices& main);
    ~TBatchRunner();
    TBatchRunner(const TBatchRunner&) = delete;
    TBatchRunner& operator=(const TBatchRunner&) = delete;

    Tautoform* Dialog() const { return dialog_; }
    // The controls it drives; the main window hands them over once they are built.
    void SetControls(const TBatchControls& controls);

    // Recording.
    void newRecordingClicked();
    void StartRecording();
    void stopRecordingClicked();
    void SaveRecording(const QString& fileName, const std::vector<QByteArray>& list);
    void ClearRecording(std::vector<QByteArray>& list);

    // The batch dialog, the batch box and the quick starters.
    void batchClicked();
    void UpdateBatchBox();
    void applyToCurrentImageClicked();
    // The batch box's record on all loaded images, a directory or file list, or the scanner,
    // with the after-run choice "nichts".
    void PlayBoxRecord(int mode);
    void quickStartClicked(int index);  // 0 … 7 for F2 … F9

    // Replay.
    void RunBatch(const QString& path, int mode);
    // False when the user stopped the walk.
    bool CollectDirectoryFiles(const QString& directory);

    bool Running() const { return running_; }
    // While a run goes through its images the menus and bars keep their availability.
    bool HoldsAvailability() const { return holdsAvailability_; }
    // Files of the last multi-image batch that could not be loaded.
    const QStringList& Failures() const { return failures_; }
    // The files a file-list run works through.
    const QStringList& FileList() const { return files_; }
    // The windows paint as usual again (before a message is shown over them).
    void ReleasePainting();
    // The batch controls' availability: nothing starts while a batch or recording runs.
    void setRecordingControls(bool recording);

    // Pause between a scanned image's arrival and its replay.
    int ScanPauseMs = 2000;

private:
    // True (and the user told) when a batch runs: no other batch or recording may start.
    bool refuseWhileBatchRuns();
    void markBatchResult(Tchild* image);
    bool replayItems(const std::vector<tautomatitem>& items, QWidget* target, int& counter);
    bool afterprocessing(QWidget* target, int& counter);
    // The image's save, written behind, goes under fileName; the window closes once it is.
    void queueSave(std::unique_ptr<TDetachedSave> save, Tchild* image, const QString& title, const QString& fileName);
    bool reportSaveFailure(Tchild* image, const QString& title, const QString& why);
    // Waits for the saves written behind and commits them in order; false when one
    // failed (told as a save that failed at once). `current`, an image the run took up
    // after them, then closes unsaved, as a run that stopped there never opened it.
    bool settleSaves(QWidget* current);
    bool openForBatch(const QString& fileName, QString& error);
    void runOnFiles(const std::vector<tautomatitem>& items, const QStringList& files, int& counter);
    void runOnScanner(const std::vector<tautomatitem>& items, int& counter);

    TMainWindowServices& main_;
    Tautoform* dialog_;
    TBatchControls controls_;
    QStringList files_;
    QStringList failures_;
    bool running_ = false;
    bool holdsAvailability_ = false;
    // The after-processing settings and directory as a run started; the dialog may change
    // meanwhile, the run does not.
    tautodialog runSettings_{};
    QString runDirectory_;
    bool runSnapshot_ = false;
    // Set while a batch runs over several images: the windows repaint only now and then.
    TBatchPainting* painting_ = nullptr;
    // Set while a run over files encodes its saves on worker threads.
    TSavesBehind* behind_ = nullptr;
    // The files the run has written (absolute names): a later turn reads them afresh.
    QSet<QString> written_;
};
