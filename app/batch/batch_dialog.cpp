// The batch dialog: its controls, and the batch options moved in and out of them.
#include "app/batch/batch_dialog.h"
#include "app/text/help_contexts.h"

#include "app/batch/batch_file.h"
#include "app/image_window/image_window.h"
#include "app/batch/batch_runner.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "controls/edits/file_edit.h"
#include "controls/edits/spin_edit.h"
#include "imaging/dialogs/io_previews_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/graphics/bitmap.h"
#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The batch dialog's save parameters, edited on the active image when there is one so that
// the preview shows what the batch will write; otherwise on a white sample.
bool editFormatParams(TMainWindowServices* main, TIOParamsVals& params, int pages)
{
    Tchild* image = main ? qobject_cast<Tchild*>(main->ActiveMDIChild()) : nullptr;
    TBitmap sample(64, 64);
    sample.Canvas()->Brush.Color = clWhite;
    sample.Canvas()->FillRect(TRect(0, 0, 64, 64));
    TImageKitIO io;
    io.SetAttachedBitmap(image ? image->imageKit->Bitmap() : &sample);
    io.AssignParams(params);
    io.MsgLanguage = LibraryLanguage();
    if (!RunIOPreviews(io, pages))
        return false;
    params.Assign(io.Params());
    return true;
}

template <class T> T* named(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

}  // namespace

Tautoform::Tautoform(QWidget* owner, TMainWindowServices* main) : QDialog(owner), main_(main)
{
    setObjectName(QLatin1String(ObjectName::BatchDialog::Form));
    setWindowTitle(QStringLiteral("Batch"));
    imageKit = new TImageKitIO(this);

    recordList = named(new QListWidget(this), ObjectName::BatchDialog::FileListBox1);
    recordList->setMinimumWidth(180);

    afterGroup = named(new QGroupBox(QStringLiteral("Nach Abschluss"), this), ObjectName::BatchDialog::GroupBox1);
    afterNothingRadio =
        named(new QRadioButton(QStringLiteral("nichts"), afterGroup), ObjectName::BatchDialog::RadioButton1);
    afterSaveCloseRadio = named(new QRadioButton(QStringLiteral("speichern und schliessen"), afterGroup),
                                ObjectName::BatchDialog::RadioButton2);
    afterSaveToRadio =
        named(new QRadioButton(QStringLiteral("im Verzeichnis:"), afterGroup), ObjectName::BatchDialog::RadioButton3);
    targetDirectoryEdit = named(new TDirectoryEdit(afterGroup), ObjectName::BatchDialog::DirectoryEdit2);
    startFileLabel = named(new QLabel(QStringLiteral("Startdatei:"), afterGroup), ObjectName::BatchDialog::Label1);
    startFileEdit = named(new QLineEdit(afterGroup), ObjectName::BatchDialog::Edit1);
    startFileEdit->setMaxLength(255);
    startNumberEdit = named(new TKitSpinEdit(afterGroup), ObjectName::BatchDialog::KitSpinEdit1);
    startNumberEdit->SetMinValue(0);
    startNumberEdit->SetMaxValue(999999999);
    formatLabel = named(new QLabel(QStringLiteral("Bildformat"), afterGroup), ObjectName::BatchDialog::Label2);
    formatCombo = named(new QComboBox(afterGroup), ObjectName::BatchDialog::ComboBox2);
    formatCombo->addItems({QStringLiteral("JPG "), QStringLiteral("BMP"), QStringLiteral("PCX"), QStringLiteral("TIFF"),
                           QStringLiteral("PNG")});
    keepFormatCheck = named(new QCheckBox(QStringLiteral("Format/Parameter beibehalten"), afterGroup),
                            ObjectName::BatchDialog::CheckBox1);
    keepNameCheck =
        named(new QCheckBox(QStringLiteral("Dateinamen beibehalten"), afterGroup), ObjectName::BatchDialog::CheckBox2);
    existsLabel =
        named(new QLabel(QStringLiteral("Wenn Datei existiert:"), afterGroup), ObjectName::BatchDialog::Label3);
    existsCombo = named(new QComboBox(afterGroup), ObjectName::BatchDialog::ComboBox1);
    existsCombo->addItems(
        {QStringLiteral("Überschreiben"), QStringLiteral("Nummer erhöhen"), QStringLiteral("nicht speichern")});

    static const char* const captions[10] = {nullptr,
                                             "&Löschen",
                                             "&Neu aufnehmen",
                                             "&Abspielen / Auf aktuelles Bild anwenden",
                                             "Auf alle &geladenen Bilder anwenden",
                                             "Auf &Verzeichnis / Dateiliste anwenden",
                                             "&Beenden",
                                             "Bilder aus &Scanner",
                                             "Parameter",
                                             "&Hilfe"};
    for (int i = 1; i <= 9; ++i) {
        Buttons[size_t(i)] = new QPushButton(QString::fromUtf8(captions[i]), this);
        Buttons[size_t(i)]->setObjectName(QStringLiteral("Button%1").arg(i));
        Buttons[size_t(i)]->setAutoDefault(false);
    }
    Buttons[8]->setParent(afterGroup);

    auto* after = new QGridLayout(afterGroup);
    after->addWidget(afterNothingRadio, 0, 0, 1, 3);
    after->addWidget(afterSaveCloseRadio, 1, 0, 1, 3);
    after->addWidget(afterSaveToRadio, 2, 0);
    after->addWidget(targetDirectoryEdit, 2, 1, 1, 2);
    after->addWidget(startFileLabel, 3, 0);
    after->addWidget(startFileEdit, 3, 1);
    after->addWidget(startNumberEdit, 3, 2);
    after->addWidget(formatLabel, 4, 0);
    after->addWidget(formatCombo, 4, 1);
    after->addWidget(Buttons[8], 4, 2);
    after->addWidget(keepFormatCheck, 5, 0, 1, 3);
    after->addWidget(keepNameCheck, 6, 0, 1, 3);
    after->addWidget(existsLabel, 7, 0);
    after->addWidget(existsCombo, 7, 1, 1, 2);
    after->setColumnStretch(1, 1);
    startFileEdit->setMinimumWidth(140);

    auto* quick = named(new QGroupBox(QStringLiteral("Schnellstarter"), this), ObjectName::BatchDialog::Schnelllader);
    auto* quickGrid = new QGridLayout(quick);
    for (int i = 0; i < 8; ++i) {
        auto* box = new QComboBox(quick);
        box->setObjectName(QStringLiteral("QuickStarter%1").arg(i + 1));
        QuickStarters[size_t(i)] = box;
        quickGrid->addWidget(new QLabel(QStringLiteral("F%1").arg(i + 2), quick), i % 4, (i / 4) * 2);
        quickGrid->addWidget(box, i % 4, (i / 4) * 2 + 1);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(recordList, 1);
    left->addWidget(Buttons[1]);
    left->addWidget(Buttons[2]);
    auto* play = new QVBoxLayout;
    for (int i : {3, 4, 5, 7})
        play->addWidget(Buttons[size_t(i)]);
    play->addStretch(1);
    for (int i : {9, 6})
        play->addWidget(Buttons[size_t(i)]);
    auto* middle = new QVBoxLayout;
    middle->addWidget(afterGroup);
    middle->addWidget(quick);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(middle, 1);
    top->addLayout(play);

    for (QRadioButton* r : {afterNothingRadio, afterSaveCloseRadio, afterSaveToRadio})
        connect(r, &QRadioButton::clicked, this, [this] { updateButtons(); });
    for (QCheckBox* c : {keepFormatCheck, keepNameCheck})
        connect(c, &QCheckBox::clicked, this, [this] { updateButtons(); });
    connect(recordList, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    auto click = [this](int i, std::function<void()> fn) {
        connect(Buttons[size_t(i)], &QPushButton::clicked, this, [fn = std::move(fn)] { TApplication::Guard(fn); });
    };
    click(1, [this] { deleteClicked(); });
    click(2, [this] { recordClicked(); });
    click(3, [this] { done(TBatchRunner::bmActive); });
    click(4, [this] { done(TBatchRunner::bmAllLoaded); });
    click(5, [this] { done(TBatchRunner::bmFileList); });
    click(6, [this] { done(1); });
    click(7, [this] { done(TBatchRunner::bmScanner); });
    click(8, [this] { parametersClicked(); });
    click(9, [] { TApplication::HelpContext(hcBatch); });
    work = tautodialog::Defaults();
}

Tautoform::~Tautoform() = default;

void Tautoform::updateQuickStarters()
{
    const QString selected = SelectedRecord();
    recordList->clear();
    recordList->addItems(BatchFileNames());
    if (!selected.isEmpty())
        for (int i = 0; i < recordList->count(); ++i)
            if (recordList->item(i)->text() == selected)
                recordList->setCurrentRow(i);
}

void Tautoform::SelectComboItem(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(-1);
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            box->setCurrentIndex(i);
            return;
        }
}

void Tautoform::FormActivate(const toptions& options)
{
    updateQuickStarters();
    const QStringList names = BatchFileNames();
    for (size_t i = 0; i < QuickStarters.size(); ++i) {
        QuickStarters[i]->clear();
        QuickStarters[i]->addItems(names);
        SelectComboItem(QuickStarters[i], options.quickstart[i]);
    }
    recordList->setCurrentRow(-1);
    for (int i = 0; i < recordList->count(); ++i)
        if (recordList->item(i)->text().compare(options.batchrecord, Qt::CaseInsensitive) == 0)
            recordList->setCurrentRow(i);
    if (recordList->currentRow() < 0 && recordList->count() > 0)
        recordList->setCurrentRow(0);
    afterNothingRadio->setChecked(work.after != 1 && work.after != 2);
    afterSaveCloseRadio->setChecked(work.after == 1);
    afterSaveToRadio->setChecked(work.after == 2);
    startFileEdit->setText(work.startname.Text());
    startNumberEdit->setText(QString::number(work.startnumber));
    formatCombo->setCurrentIndex(work.formatindex >= 0 && work.formatindex < kBatchFormatCount ? work.formatindex : 0);
    keepFormatCheck->setChecked(work.keepformat != 0);
    keepNameCheck->setChecked(work.keepnames != 0);
    existsCombo->setCurrentIndex(work.existing >= 0 && work.existing <= 2 ? work.existing : 0);
    updateButtons();
}

void Tautoform::FormClose(toptions& options) const
{
    for (size_t i = 0; i < QuickStarters.size(); ++i)
        options.quickstart[i] = QuickStarters[i]->currentIndex() < 0 ? QString() : QuickStarters[i]->currentText();
}

tautodialog Tautoform::Settings() const
{
    tautodialog s = work;
    s.after = afterSaveCloseRadio->isChecked() ? 1 : afterSaveToRadio->isChecked() ? 2 : 0;
    // A start name that does not fit its slot keeps the one before.
    s.startname.Assign(startFileEdit->text());
    s.startnumber = int32_t(std::nearbyint(startNumberEdit->Value()));
    s.formatindex = std::max(0, formatCombo->currentIndex());
    s.keepformat = keepFormatCheck->isChecked() ? 1 : 0;
    s.keepnames = keepNameCheck->isChecked() ? 1 : 0;
    s.existing = std::max(0, existsCombo->currentIndex());
    return s;
}

QString Tautoform::Directory() const { return targetDirectoryEdit->text(); }

void Tautoform::SetDirectory(const QString& directory) { targetDirectoryEdit->setText(directory); }

void Tautoform::ChooseNothing()
{
    afterNothingRadio->setChecked(true);
    work.after = 0;
    updateButtons();
}

QString Tautoform::SelectedRecord() const
{
    const QListWidgetItem* item = recordList->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void Tautoform::updateButtons()
{
    const bool keepFormat = keepFormatCheck->isChecked();
    const bool keepNames = keepNameCheck->isChecked();
    formatCombo->setEnabled(!keepFormat);
    Buttons[8]->setEnabled(!keepFormat);
    startFileEdit->setEnabled(!keepNames);
    startNumberEdit->setEnabled(!keepNames);
    const bool inDir = afterSaveToRadio->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{targetDirectoryEdit, startFileEdit, existsCombo, startNumberEdit,
                                                      formatCombo, keepFormatCheck, keepNameCheck, startFileLabel,
                                                      formatLabel, existsLabel, Buttons[8]})
        w->setVisible(inDir);
    Buttons[1]->setEnabled(recordList->count() > 0);
    const bool chosen = !SelectedRecord().isEmpty();
    for (int i : {3, 4, 5, 7})
        Buttons[size_t(i)]->setEnabled(chosen);
}

void Tautoform::deleteClicked()
{
    const QString name = SelectedRecord();
    if (name.isEmpty())
        return;
    if (LangMessageDlg(QStringLiteral("Sind Sie sicher, dass Sie die Aufnahme-Datei löschen möchten?"), mtConfirmation,
                       mbOKCancel, QStringLiteral("Are you sure that you want to delete the record-file?")) != mrOk)
        return;
    QFile f(BatchDirectory() + name);
    if (!f.remove())
        throw EInOutError(QStringLiteral("Cannot delete file \"%1\". %2").arg(f.fileName(), f.errorString()));
    updateQuickStarters();
    if (recordList->count() > 0 && SelectedRecord().isEmpty())
        recordList->setCurrentRow(0);
    updateButtons();
}

void Tautoform::recordClicked()
{
    if (LangMessageDlg(QStringLiteral("Alle folgenden Schritte werden aufgenommen, bis Sie die Aufnahme über das Menu "
                                      "stoppen\nDrücken Sie auf Ok, um die Aufnahme zu starten"),
                       mtInformation, mbOKCancel,
                       QStringLiteral("All following Steps will be recorded until You finish it by pressing Stop "
                                      "Recording in File/Batch\nPress OK to start recording")) == mrOk)
        done(TBatchRunner::bmNewRecording);
}

void Tautoform::parametersClicked()
{
    editFormatParams(main_, imageKit->Params(), BatchFormat(formatCombo->currentIndex()).pages);
}
