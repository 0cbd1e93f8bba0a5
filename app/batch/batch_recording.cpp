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
                                  ObjectName::MainWindow::AufallegeladenenBilderanwenden1, "AufVerzeichnisanwenden1",
                                  "Bildereinscannen1"};

// A record name becomes a file in the data directory and nowhere else.
bool validRecordName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) &&
           name != QLatin1String(".") && name != QLatin1String("..") &&
           TShortString::Fits(name + QStringLiteral(".atm"));
}

}  // namespace

TBatchRunner::TBatchRunner(TMainWindowServices& main) : main_(main), dialog_(new Tautoform(main.Window())) {}

TBatchRunner::~TBatchRunner() = default;

QToolButton* TBatchRunner::button(const char* name) const
{
    return main_.Window()->findChild<QToolButton*>(QLatin1String(name));
}

QComboBox* TBatchRunner::batchBox() const
{
    return main_.Window()->findChild<QComboBox*>(QLatin1String(ObjectName::MainWindow::autobox));
}

void TBatchRunner::setRecordingControls(bool recording)
{
    // While a batch runs nothing may start another one or a recording.
    const bool canStart = !recording && !running_;
    main_.SetAvailable(button(ObjectName::MainWindow::SpeedButton11), canStart);
    main_.SetAvailable(button(ObjectName::MainWindow::SpeedButton13), canStart);
    for (const char* n : kPlayItems)
        main_.SetAvailable(main_.Item(QString::fromLatin1(n)), canStart);
    main_.SetAvailable(main_.Item(QLatin1String(ObjectName::MainWindow::Batch2)), !running_);
    for (int i = 1; i <= 8; ++i)
        if (auto* key = main_.Window()->findChild<QAction*>(QStringLiteral("QuickStart%1").arg(i)))
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

void TBatchRunner::neuaufnehmenproc()
{
    main_.RecordedBlocks().clear();
    main_.SetRecording(true);
    button(ObjectName::MainWindow::SpeedButton11)->setChecked(true);
    button(ObjectName::MainWindow::SpeedButton8)->setChecked(false);
}

void TBatchRunner::newRecordingClicked()
{
    if (refuseWhileBatchRuns()) {
        button(ObjectName::MainWindow::SpeedButton11)->setChecked(main_.IsRecording());
        return;
    }
    if (main_.IsRecording()) {
        button(ObjectName::MainWindow::SpeedButton11)->setChecked(true);
        return;
    }
    const int answer = LangMessageDlg(
        QStringLiteral("Alle folgenden Schritte werden aufgenommen, bis Sie die Aufnahme über das Menu stoppen.\n"
                       "Drücken Sie auf Ok, um die Aufnahme zu starten"),
        mtInformation, mbOKCancel,
        QStringLiteral("All following Steps will be recorded until you press \"Stop Recording.\" in File/Batch\n"
                       "Press OK to start recording"));
    if (answer == mrOk) {
        neuaufnehmenproc();
    } else {
        button(ObjectName::MainWindow::SpeedButton11)->setChecked(false);
        button(ObjectName::MainWindow::SpeedButton8)->setChecked(true);
    }
    setRecordingControls(main_.IsRecording());
    updateautobox();
}

void TBatchRunner::stopRecordingClicked()
{
    if (!main_.IsRecording()) {
        button(ObjectName::MainWindow::SpeedButton8)->setChecked(true);
        return;
    }
    setRecordingControls(false);
    main_.SetRecording(false);
    button(ObjectName::MainWindow::SpeedButton8)->setChecked(true);
    try {
        QString name;
        while (InputQuery(LangText(QStringLiteral("Aufnahme gestoppt"), QStringLiteral("Stopped recording")),
                          LangText(QStringLiteral("Bitte geben Sie einen Namen für die Aufnahme an"),
                                   QStringLiteral("Please enter a name for the record")),
                          name)) {
            if (validRecordName(name)) {
                saveaufnahme(BatchFilePath(name), main_.RecordedBlocks());
                break;
            }
            LangMessageDlg(QStringLiteral("Ungültiger Name für die Aufnahme: ") + name, mtError, mbOK,
                           QStringLiteral("Invalid name for the record: ") + name);
        }
    } catch (...) {
        clearaufnahme(main_.RecordedBlocks());
        button(ObjectName::MainWindow::SpeedButton11)->setChecked(false);
        updateautobox();
        throw;
    }
    clearaufnahme(main_.RecordedBlocks());
    button(ObjectName::MainWindow::SpeedButton11)->setChecked(false);
    updateautobox();
}

void TBatchRunner::saveaufnahme(const QString& fileName, const std::vector<QByteArray>& list)
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

void TBatchRunner::clearaufnahme(std::vector<QByteArray>& list)
{
    list.clear();
    list.shrink_to_fit();
}

void TBatchRunner::updateautobox()
{
    auto* box = batchBox();
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
        updateautobox();
    }
    if (result != 0 && result != 1)
        dobatch(BatchDirectory() + options.batchrecord, result);
}

void TBatchRunner::applyToCurrentImageClicked() { PlayBoxRecord(bmActive); }

void TBatchRunner::PlayBoxRecord(int mode)
{
    // Checked before anything changes: a running batch keeps its after-run choice.
    if (refuseWhileBatchRuns())
        return;
    auto* play = button(ObjectName::MainWindow::SpeedButton13);
    play->setEnabled(false);
    dialog_->ChooseNothing();
    const QString record = batchBox()->currentText();
    auto restore = [&] {
        button(ObjectName::MainWindow::SpeedButton8)->setChecked(true);
        main_.SetAvailable(play, !main_.IsRecording() && !running_);
        main_.ResetProgress();
    };
    try {
        if (!record.isEmpty())
            dobatch(BatchDirectory() + record, mode);
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
        dobatch(BatchDirectory() + record, bmActive);
}
