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
bool editFormatParams(QWidget* owner, TIOParamsVals& params, int pages)
{
    auto* main = owner ? dynamic_cast<TMainWindowServices*>(owner->parentWidget()) : nullptr;
    Tchild* image = main ? qobject_cast<Tchild*>(main->ActiveMDIChild()) : nullptr;
    TBitmap sample(64, 64);
    sample.Canvas()->Brush.Color = clWhite;
    sample.Canvas()->FillRect(TRect(0, 0, 64, 64));
    TImageKitIO io;
    io.SetAttachedBitmap(image ? image->ImageKit1->Bitmap() : &sample);
    io.AssignParams(params);
    io.MsgLanguage = LibraryLanguage();
    if (!RunIOPreviews(io, pages))
        return false;
    params.Assign(io.Params());
    return true;
}

template <class T>
T* named(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

Tautoform::Tautoform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("autoform"));
    setWindowTitle(QStringLiteral("Batch"));
    ImageKit1 = new TImageKitIO(this);

    FileListBox1 = named(new QListWidget(this), "FileListBox1");
    FileListBox1->setMinimumWidth(180);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Nach Abschluss"), this), "GroupBox1");
    RadioButton1 = named(new QRadioButton(QStringLiteral("nichts"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("speichern und schliessen"), GroupBox1), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("im Verzeichnis:"), GroupBox1), "RadioButton3");
    DirectoryEdit2 = named(new TDirectoryEdit(GroupBox1), "DirectoryEdit2");
    Label1 = named(new QLabel(QStringLiteral("Startdatei:"), GroupBox1), "Label1");
    Edit1 = named(new QLineEdit(GroupBox1), "Edit1");
    Edit1->setMaxLength(255);
    KitSpinEdit1 = named(new TKitSpinEdit(GroupBox1), "KitSpinEdit1");
    KitSpinEdit1->SetMinValue(0);
    KitSpinEdit1->SetMaxValue(999999999);
    Label2 = named(new QLabel(QStringLiteral("Bildformat"), GroupBox1), "Label2");
    ComboBox2 = named(new QComboBox(GroupBox1), "ComboBox2");
    ComboBox2->addItems({QStringLiteral("JPG "), QStringLiteral("BMP"), QStringLiteral("PCX"), QStringLiteral("TIFF"),
                         QStringLiteral("PNG")});
    CheckBox1 = named(new QCheckBox(QStringLiteral("Format/Parameter beibehalten"), GroupBox1), "CheckBox1");
    CheckBox2 = named(new QCheckBox(QStringLiteral("Dateinamen beibehalten"), GroupBox1), "CheckBox2");
    Label3 = named(new QLabel(QStringLiteral("Wenn Datei existiert:"), GroupBox1), "Label3");
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    ComboBox1->addItems(
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
    Buttons[8]->setParent(GroupBox1);

    auto* after = new QGridLayout(GroupBox1);
    after->addWidget(RadioButton1, 0, 0, 1, 3);
    after->addWidget(RadioButton2, 1, 0, 1, 3);
    after->addWidget(RadioButton3, 2, 0);
    after->addWidget(DirectoryEdit2, 2, 1, 1, 2);
    after->addWidget(Label1, 3, 0);
    after->addWidget(Edit1, 3, 1);
    after->addWidget(KitSpinEdit1, 3, 2);
    after->addWidget(Label2, 4, 0);
    after->addWidget(ComboBox2, 4, 1);
    after->addWidget(Buttons[8], 4, 2);
    after->addWidget(CheckBox1, 5, 0, 1, 3);
    after->addWidget(CheckBox2, 6, 0, 1, 3);
    after->addWidget(Label3, 7, 0);
    after->addWidget(ComboBox1, 7, 1, 1, 2);
    after->setColumnStretch(1, 1);
    Edit1->setMinimumWidth(140);

    auto* quick = named(new QGroupBox(QStringLiteral("Schnellstarter"), this), "Schnelllader");
    auto* quickGrid = new QGridLayout(quick);
    for (int i = 0; i < 8; ++i) {
        auto* box = new QComboBox(quick);
        box->setObjectName(QStringLiteral("QuickStarter%1").arg(i + 1));
        QuickStarters[size_t(i)] = box;
        quickGrid->addWidget(new QLabel(QStringLiteral("F%1").arg(i + 2), quick), i % 4, (i / 4) * 2);
        quickGrid->addWidget(box, i % 4, (i / 4) * 2 + 1);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(FileListBox1, 1);
    left->addWidget(Buttons[1]);
    left->addWidget(Buttons[2]);
    auto* play = new QVBoxLayout;
    for (int i : {3, 4, 5, 7})
        play->addWidget(Buttons[size_t(i)]);
    play->addStretch(1);
    for (int i : {9, 6})
        play->addWidget(Buttons[size_t(i)]);
    auto* middle = new QVBoxLayout;
    middle->addWidget(GroupBox1);
    middle->addWidget(quick);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(middle, 1);
    top->addLayout(play);

    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3})
        connect(r, &QRadioButton::clicked, this, [this] { checkautobuttons(); });
    for (QCheckBox* c : {CheckBox1, CheckBox2})
        connect(c, &QCheckBox::clicked, this, [this] { checkautobuttons(); });
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, [this] { checkautobuttons(); });
    auto click = [this](int i, std::function<void()> fn) {
        connect(Buttons[size_t(i)], &QPushButton::clicked, this, [fn = std::move(fn)] { TApplication::Guard(fn); });
    };
    click(1, [this] { Button1Click(); });
    click(2, [this] { Button2Click(); });
    click(3, [this] { done(TBatchRunner::bmActive); });
    click(4, [this] { done(TBatchRunner::bmAllLoaded); });
    click(5, [this] { done(TBatchRunner::bmFileList); });
    click(6, [this] { done(1); });
    click(7, [this] { done(TBatchRunner::bmScanner); });
    click(8, [this] { Button8Click(); });
    click(9, [] { TApplication::HelpContext(hcBatch); });
    work = tautodialog::Defaults();
}

Tautoform::~Tautoform() = default;

void Tautoform::updateboxes()
{
    const QString selected = SelectedRecord();
    FileListBox1->clear();
    FileListBox1->addItems(BatchFileNames());
    if (!selected.isEmpty())
        for (int i = 0; i < FileListBox1->count(); ++i)
            if (FileListBox1->item(i)->text() == selected)
                FileListBox1->setCurrentRow(i);
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
    updateboxes();
    const QStringList names = BatchFileNames();
    for (size_t i = 0; i < QuickStarters.size(); ++i) {
        QuickStarters[i]->clear();
        QuickStarters[i]->addItems(names);
        SelectComboItem(QuickStarters[i], options.quickstart[i]);
    }
    FileListBox1->setCurrentRow(-1);
    for (int i = 0; i < FileListBox1->count(); ++i)
        if (FileListBox1->item(i)->text().compare(options.batchrecord, Qt::CaseInsensitive) == 0)
            FileListBox1->setCurrentRow(i);
    if (FileListBox1->currentRow() < 0 && FileListBox1->count() > 0)
        FileListBox1->setCurrentRow(0);
    RadioButton1->setChecked(work.after != 1 && work.after != 2);
    RadioButton2->setChecked(work.after == 1);
    RadioButton3->setChecked(work.after == 2);
    Edit1->setText(work.startname.Text());
    KitSpinEdit1->setText(QString::number(work.startnumber));
    ComboBox2->setCurrentIndex(work.formatindex >= 0 && work.formatindex < kBatchFormatCount ? work.formatindex : 0);
    CheckBox1->setChecked(work.keepformat != 0);
    CheckBox2->setChecked(work.keepnames != 0);
    ComboBox1->setCurrentIndex(work.existing >= 0 && work.existing <= 2 ? work.existing : 0);
    checkautobuttons();
}

void Tautoform::FormClose(toptions& options) const
{
    for (size_t i = 0; i < QuickStarters.size(); ++i)
        options.quickstart[i] = QuickStarters[i]->currentIndex() < 0 ? QString() : QuickStarters[i]->currentText();
}

tautodialog Tautoform::Settings() const
{
    tautodialog s = work;
    s.after = RadioButton2->isChecked() ? 1 : RadioButton3->isChecked() ? 2 : 0;
    // A start name that does not fit its slot keeps the one before.
    s.startname.Assign(Edit1->text());
    s.startnumber = int32_t(std::nearbyint(KitSpinEdit1->Value()));
    s.formatindex = std::max(0, ComboBox2->currentIndex());
    s.keepformat = CheckBox1->isChecked() ? 1 : 0;
    s.keepnames = CheckBox2->isChecked() ? 1 : 0;
    s.existing = std::max(0, ComboBox1->currentIndex());
    return s;
}

QString Tautoform::Directory() const { return DirectoryEdit2->text(); }

void Tautoform::SetDirectory(const QString& directory) { DirectoryEdit2->setText(directory); }

void Tautoform::ChooseNothing()
{
    RadioButton1->setChecked(true);
    work.after = 0;
    checkautobuttons();
}

QString Tautoform::SelectedRecord() const
{
    const QListWidgetItem* item = FileListBox1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void Tautoform::checkautobuttons()
{
    const bool keepFormat = CheckBox1->isChecked();
    const bool keepNames = CheckBox2->isChecked();
    ComboBox2->setEnabled(!keepFormat);
    Buttons[8]->setEnabled(!keepFormat);
    Edit1->setEnabled(!keepNames);
    KitSpinEdit1->setEnabled(!keepNames);
    const bool inDir = RadioButton3->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{DirectoryEdit2, Edit1, ComboBox1, KitSpinEdit1, ComboBox2,
                                                      CheckBox1, CheckBox2, Label1, Label2, Label3, Buttons[8]})
        w->setVisible(inDir);
    Buttons[1]->setEnabled(FileListBox1->count() > 0);
    const bool chosen = !SelectedRecord().isEmpty();
    for (int i : {3, 4, 5, 7})
        Buttons[size_t(i)]->setEnabled(chosen);
}

void Tautoform::Button1Click()
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
    updateboxes();
    if (FileListBox1->count() > 0 && SelectedRecord().isEmpty())
        FileListBox1->setCurrentRow(0);
    checkautobuttons();
}

void Tautoform::Button2Click()
{
    if (LangMessageDlg(QStringLiteral("Alle folgenden Schritte werden aufgenommen, bis Sie die Aufnahme über das Menu "
                                      "stoppen\nDrücken Sie auf Ok, um die Aufnahme zu starten"),
                       mtInformation, mbOKCancel,
                       QStringLiteral("All following Steps will be recorded until You finish it by pressing Stop "
                                      "Recording in File/Batch\nPress OK to start recording")) == mrOk)
        done(TBatchRunner::bmNewRecording);
}

void Tautoform::Button8Click()
{
    editFormatParams(this, ImageKit1->Params(), BatchFormat(ComboBox2->currentIndex()).pages);
}
