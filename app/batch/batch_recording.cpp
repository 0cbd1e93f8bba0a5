// Batch recording, the batch dialog, the tool bar's batch box and the quick starters.
#include "app/batch/batch_file.h"
#include "app/batch/batch_dialog.h"
#include "app/batch/batch_runner.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/options/short_string.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QProgressBar>
#include <QToolButton>

namespace {

const char* const kPlayItems[] = {ObjectName::MainWindow::Neuaufnehmen1,
                                  ObjectName::MainWindow::AufaktuellesBildanwenden1,
                                  ObjectName::MainWindow::AufallegeladenenBilderanwenden1,
                                  ObjectName::MainWindow::AufVerzeichnisanwenden1,
                                  ObjectName::MainWindow::Bildereinscannen1};

// A record name becomes a file in the data directory and nowhere else.
bool validRecordName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) &&
           name != QLatin1String(".") && name != QLatin1String("..") &&
           TShortString::Fits(name + QStringLiteral(".atm"));
}

}  // namespace

TBatchRunner::TBatchRunner(TMainWindowServices& main) : main_(main), dialog_(new Tautoform(main.Window(), &main)) {}

TBatchRunner::~TBatchRunner() = default;

void TBatchRunner::SetControls(const TBatchControls& controls) { controls_ = controls; }

void TBatchRunner::setRecordingControls(bool recording)
{
    // While a batch runs nothing may start another one or a recording.
    const bool canStart = !recording && !running_;
    main_.SetAvailable(controls_.record, canStart);
    main_.SetAvailable(controls_.play, canStart);
    for (const char* n : kPlayItems)
        main_.SetAvailable(main_.Item(QString::fromLatin1(n)), canStart);
    main_.SetAvailable(main_.Item(QLatin1String(ObjectName::MainWindow::Batch2)), !running_);
    for (QAction* key : controls_.quickStarts)
        if (key)
            key->setEnabled(!running_);
    main_.SetAvailable(main_.Item(QLatin1String(ObjectName::MainWindow::Aufnahmestoppen1)), true);
}

bool TBatchRunner::refuseWhileBatchRuns()
{
    if (!running_)
        return false;
    LangMessageDlg(QStringLiteral("Es läuft bereits ein Batch. Bitte warten Sie, bis er beendet ist."), mtInformation,
                   mbOK, QStringLiteral("A batch is already running. Please wait until it has finished."));
    return true;
}

void TBatchRunner::StartRecording()
{
    main_.RecordedBlocks().clear();
    main_.SetRecording(true);
    controls_.record->setChecked(true);
    controls_.stop->setChecked(false);
}

void TBatchRunner::newRecordingClicked()
{
    if (refuseWhileBatchRuns()) {
        controls_.record->setChecked(main_.IsRecording());
        return;
    }
    if (main_.IsRecording()) {
        controls_.record->setChecked(true);
        return;
    }
    const int answer = LangMessageDlg(
        QStringLiteral("Alle folgenden Schritte werden aufgenommen, bis Sie die Aufnahme über das Menu stoppen.\n"
                       "Drücken Sie auf Ok, um die Aufnahme zu starten"),
        mtInformation, mbOKCancel,
        QStringLiteral("All following Steps will be recorded until you press \"Stop Recording.\" in File/Batch\n"
                       "Press OK to start recording"));
    if (answer == mrOk) {
        StartRecording();
    } else {
        controls_.record->setChecked(false);
        controls_.stop->setChecked(true);
    }
    setRecordingControls(main_.IsRecording());
    UpdateBatchBox();
}

void TBatchRunner::stopRecordingClicked()
{
    if (!main_.IsRecording()) {
        controls_.stop->setChecked(true);
        return;
    }
    setRecordingControls(false);
    main_.SetRecording(false);
    controls_.stop->setChecked(true);
    try {
        QString name;
        while (InputQuery(LangText(QStringLiteral("Aufnahme gestoppt"), QStringLiteral("Stopped recording")),
                          LangText(QStringLiteral("Bitte geben Sie einen Namen für die Aufnahme an"),
                                   QStringLiteral("Please enter a name for the record")),
                          name)) {
            if (validRecordName(name)) {
                SaveRecording(BatchFilePath(name), main_.RecordedBlocks());
                break;
            }
            LangMessageDlg(QStringLiteral("Ungültiger Name für die Aufnahme: ") + name, mtError, mbOK,
                           QStringLiteral("Invalid name for the record: ") + name);
        }
    } catch (...) {
        ClearRecording(main_.RecordedBlocks());
        controls_.record->setChecked(false);
        UpdateBatchBox();
        throw;
    }
    ClearRecording(main_.RecordedBlocks());
    controls_.record->setChecked(false);
    UpdateBatchBox();
}

void TBatchRunner::SaveRecording(const QString& fileName, const std::vector<QByteArray>& list)
{
    if (QFileInfo::exists(fileName) &&
        LangMessageDlg(QStringLiteral("Achtung, Datei ") + fileName +
                           QStringLiteral(" existiert bereits. Möchten Sie die Datei überschreiben?"),
                       mtWarning, mbOKCancel,
                       QStringLiteral("Warning, file") + fileName +
                           QStringLiteral(" already exists. Do you want to overwrite it?")) != mrOk)
        return;
    WriteBatchFile(fileName, list);
}

void TBatchRunner::ClearRecording(std::vector<QByteArray>& list)
{
    list.clear();
    list.shrink_to_fit();
}

void TBatchRunner::UpdateBatchBox()
{
    auto* box = controls_.box;
    if (!box)
        return;
    const QString before = box->currentText();
    box->clear();
    box->addItems(BatchFileNames());
    // A full tool bar squeezes its boxes to their minimum, which would cut the names.
    box->setMinimumWidth(box->sizeHint().width());
    if (box->count() > 0)
        box->setCurrentIndex(std::max(0, int(box->findText(before))));
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(main_.Options().batchrecord, Qt::CaseInsensitive) == 0)
            box->setCurrentIndex(i);
}

void TBatchRunner::batchClicked()
{
    if (refuseWhileBatchRuns())
        return;
    Tautoform& d = *dialog_;
    toptions& options = main_.Options();
    d.setResult(0);
    d.work = options.autodialog;
    d.FormActivate(options);
    const int result = d.exec();
    d.FormClose(options);
    if (result != 0) {
        d.work = d.Settings();
        options.autodialog = d.work;
        if (const QString record = d.SelectedRecord(); !record.isEmpty())
            options.batchrecord = record;
        UpdateBatchBox();
    }
    if (result != 0 && result != 1)
        RunBatch(BatchDirectory() + options.batchrecord, result);
}

void TBatchRunner::applyToCurrentImageClicked() { PlayBoxRecord(bmActive); }

void TBatchRunner::PlayBoxRecord(int mode)
{
    // Checked before anything changes: a running batch keeps its after-run choice.
    if (refuseWhileBatchRuns())
        return;
    auto* play = controls_.play;
    play->setEnabled(false);
    dialog_->ChooseNothing();
    const QString record = controls_.box->currentText();
    auto restore = [&] {
        controls_.stop->setChecked(true);
        main_.SetAvailable(play, !main_.IsRecording() && !running_);
        main_.ResetProgress();
    };
    try {
        if (!record.isEmpty())
            RunBatch(BatchDirectory() + record, mode);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TBatchRunner::quickStartClicked(int index)
{
    if (index < 0 || index >= int(main_.Options().quickstart.size()) || refuseWhileBatchRuns())
        return;
    dialog_->ChooseNothing();
    const QString record = main_.Options().quickstart[size_t(index)];
    if (!record.isEmpty() && !record.contains(QLatin1Char('/')))
        RunBatch(BatchDirectory() + record, bmActive);
}
