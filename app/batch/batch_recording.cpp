// Batch recording, the batch dialog, the tool bar's batch box and the quick starters.
#include "app/batch/batch_file.h"
#include "app/batch/batch_dialog.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QProgressBar>
#include <QToolButton>

namespace {

const char* const kPlayItems[] = {ObjectName::MainWindow::Neuaufnehmen1, ObjectName::MainWindow::AufaktuellesBildanwenden1, ObjectName::MainWindow::AufallegeladenenBilderanwenden1,
                                  ObjectName::MainWindow::AufVerzeichnisanwenden1, ObjectName::MainWindow::Bildereinscannen1};

// A record name becomes a file in the data directory and nowhere else.
bool validRecordName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) &&
           name != QLatin1String(".") && name != QLatin1String("..") &&
           TShortString::Fits(name + QStringLiteral(".atm"));
}

} // namespace

void Tform1::setRecordingControls(bool recording)
{
    // While a batch runs nothing may start another one or a recording.
    const bool canStart = !recording && !BatchRunning;
    setAvail(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11)), canStart);
    setAvail(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton13)), canStart);
    for (const char* n : kPlayItems)
        setAvail(Item(QString::fromLatin1(n)), canStart);
    setAvail(Item(QLatin1String(ObjectName::MainWindow::Batch2)), !BatchRunning);
    for (int i = 1; i <= 8; ++i)
        if (auto* key = findChild<QAction*>(QStringLiteral("QuickStart%1").arg(i)))
            key->setEnabled(!BatchRunning);
    setAvail(Item(QLatin1String(ObjectName::MainWindow::Aufnahmestoppen1)), true);
}

bool Tform1::refuseWhileBatchRuns()
{
    if (!BatchRunning)
        return false;
    LangMessageDlg(QStringLiteral("Es läuft bereits ein Batch. Bitte warten Sie, bis er beendet ist."), mtInformation,
                   mbOK, QStringLiteral("A batch is already running. Please wait until it has finished."));
    return true;
}

void Tform1::neuaufnehmenproc()
{
    RecordingList.clear();
    Recording = true;
    Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11))->setChecked(true);
    Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8))->setChecked(false);
}

void Tform1::newRecordingClicked()
{
    if (refuseWhileBatchRuns()) {
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11))->setChecked(Recording);
        return;
    }
    if (Recording) {
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11))->setChecked(true);
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
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11))->setChecked(false);
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8))->setChecked(true);
    }
    setRecordingControls(Recording);
    updateautobox();
}

void Tform1::stopRecordingClicked()
{
    if (!Recording) {
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8))->setChecked(true);
        return;
    }
    setRecordingControls(false);
    Recording = false;
    Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8))->setChecked(true);
    try {
        QString name;
        while (InputQuery(LangText(QStringLiteral("Aufnahme gestoppt"), QStringLiteral("Stopped recording")),
                          LangText(QStringLiteral("Bitte geben Sie einen Namen für die Aufnahme an"),
                                   QStringLiteral("Please enter a name for the record")),
                          name)) {
            if (validRecordName(name)) {
                saveaufnahme(BatchFilePath(name), RecordingList);
                break;
            }
            LangMessageDlg(QStringLiteral("Ungültiger Name für die Aufnahme: ") + name, mtError, mbOK,
                           QStringLiteral("Invalid name for the record: ") + name);
        }
    } catch (...) {
        clearaufnahme(RecordingList);
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11))->setChecked(false);
        updateautobox();
        throw;
    }
    clearaufnahme(RecordingList);
    Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11))->setChecked(false);
    updateautobox();
}

void Tform1::saveaufnahme(const QString& fileName, const std::vector<QByteArray>& list)
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

void Tform1::clearaufnahme(std::vector<QByteArray>& list)
{
    list.clear();
    list.shrink_to_fit();
}

void Tform1::updateautobox()
{
    auto* box = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox));
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
        if (box->itemText(i).compare(options.batchrecord, Qt::CaseInsensitive) == 0)
            box->setCurrentIndex(i);
}

void Tform1::batchClicked()
{
    if (refuseWhileBatchRuns())
        return;
    Tautoform& d = *autoform_;
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

void Tform1::applyToCurrentImageClicked() { PlayBoxRecord(bmActive); }

void Tform1::PlayBoxRecord(int mode)
{
    // Checked before anything changes: a running batch keeps its after-run choice.
    if (refuseWhileBatchRuns())
        return;
    auto* play = Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton13));
    play->setEnabled(false);
    autoform_->ChooseNothing();
    const QString record = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox))->currentText();
    auto restore = [&] {
        Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8))->setChecked(true);
        setAvail(play, !Recording && !BatchRunning);
        ResetProgress();
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

void Tform1::quickStartClicked(int index)
{
    if (index < 0 || index >= int(options.quickstart.size()) || refuseWhileBatchRuns())
        return;
    autoform_->ChooseNothing();
    const QString record = options.quickstart[size_t(index)];
    if (!record.isEmpty() && !record.contains(QLatin1Char('/')))
        dobatch(BatchDirectory() + record, bmActive);
}

void Tform1::wireBatch()
{
    auto onBox = [this](int mode) { return [this, mode] { PlayBoxRecord(mode); }; };
    wire(Item(QLatin1String(ObjectName::MainWindow::Neuaufnehmen1)), [this] { newRecordingClicked(); });
    wire(Item(QLatin1String(ObjectName::MainWindow::Aufnahmestoppen1)), [this] { stopRecordingClicked(); });
    wire(Item(QLatin1String(ObjectName::MainWindow::AufaktuellesBildanwenden1)), [this] { applyToCurrentImageClicked(); });
    wire(Item(QLatin1String(ObjectName::MainWindow::AufallegeladenenBilderanwenden1)), onBox(bmAllLoaded));
    wire(Item(QLatin1String(ObjectName::MainWindow::AufVerzeichnisanwenden1)), onBox(bmFileList));
    wire(Item(QLatin1String(ObjectName::MainWindow::Bildereinscannen1)), onBox(bmScanner));
    wire(Item(QLatin1String(ObjectName::MainWindow::Batch2)), [this] { batchClicked(); });
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton11)), [this] { newRecordingClicked(); });
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton8)), [this] { stopRecordingClicked(); });
    wireButton(Control<QToolButton>(QLatin1String(ObjectName::MainWindow::SpeedButton13)), [this] { applyToCurrentImageClicked(); });
    if (auto* box = Control<QComboBox>(QLatin1String(ObjectName::MainWindow::autobox))) {
        box->setProperty("kWired", true);
        box->setEnabled(true);
    }
    for (int i = 0; i < 8; ++i) {
        auto* key = new QAction(this);
        key->setObjectName(QStringLiteral("QuickStart%1").arg(i + 1));
        key->setShortcut(QKeySequence(Qt::Key(Qt::Key_F2 + i)));
        key->setShortcutContext(Qt::WindowShortcut);
        addAction(key);
        connect(key, &QAction::triggered, this, [this, i] { TApplication::Guard([this, i] { quickStartClicked(i); }); });
    }
}
