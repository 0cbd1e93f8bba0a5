// The batch source dialog: directory with type filter, or the file list "verz.sld".
#include "app/batch/batch_source_dialog.h"
#include "app/text/help_contexts.h"

#include "app/batch/batch_file.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "controls/edits/file_edit.h"
#include "platform/ui/application.h"
#include "platform/ui/file_dialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kFileListHelpContext = hcBatch;

const char* const kTypeNames[10] = {"JPEG", "BMP", "PCX", nullptr, "TIFF", "WMF", "EMF", "ICO", "CUR", "PNG"};

const char* const kAddFilter =
    "Jpeg (JPG)|*.jpg;*.jpeg|Windows Bitmap (BMP)|*.bmp|PaintBrush (PCX)|*.pcx|CompuServe Bitmap (GIF)|*.gif|"
    "Tiff Bitmap (TIFF)|*.tif|Windows Metafile (WMF)|*.wmf|Windows E-Metailfe (EMF)|*.emf|Microsoft Icon (ICO)|*.ico|"
    "Microsoft Cursor (CUR)|*.cur|PNG (PNG)|*.png|All (JPG;BMP;PCX;GIF;TIF;ICO;CUR;PNG)|"
    "*.jpg;*.jpeg;*.bmp;*.pcx;*.gif;*.tif;*.wmf;*.emf;*.ico;*.cur;*.png";

}  // namespace

Taufverzform::Taufverzform(const tverzdialog& options, QWidget* owner) : QDialog(owner), work(options)
{
    setObjectName(QLatin1String(ObjectName::BatchSourceDialog::Form));
    setWindowTitle(QStringLiteral("Auf Dateiliste/Verzeichnis anwenden"));
    auto* label2 = new QLabel(QStringLiteral("Gewählte Aufnahme"), this);
    label2->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::Label2));
    recordLabel = new QLabel(this);
    recordLabel->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::Label1));

    sourceGroup = new QGroupBox(QStringLiteral("Bilder aus"), this);
    sourceGroup->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::RadioGroup1));
    SourceList = new QRadioButton(QStringLiteral("Dateiliste"), sourceGroup);
    SourceDirectory = new QRadioButton(QStringLiteral("Verzeichnis"), sourceGroup);
    auto* sourceRow = new QHBoxLayout(sourceGroup);
    sourceRow->addWidget(SourceList);
    sourceRow->addWidget(SourceDirectory);

    auto button = [this](int n, const char* caption, QWidget* parent) {
        auto* b = new QPushButton(QString::fromUtf8(caption), parent);
        b->setObjectName(QStringLiteral("Button%1").arg(n));
        b->setAutoDefault(false);
        Buttons[size_t(n)] = b;
        return b;
    };

    listGroup = new QGroupBox(QStringLiteral("Bilder aus Dateiliste"), this);
    listGroup->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::GroupBox2));
    fileList = new QListWidget(listGroup);
    fileList->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::ListBox1));
    fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(button(6, "&Hinzufügen", listGroup));
    listButtons->addWidget(button(7, "&Löschen", listGroup));
    listButtons->addWidget(button(8, "&Alle Löschen", listGroup));
    listButtons->addStretch(1);
    auto* listRow = new QHBoxLayout(listGroup);
    listRow->addWidget(fileList, 1);
    listRow->addLayout(listButtons);

    directoryGroup = new QGroupBox(QStringLiteral("Auf Verzeichnis anwenden"), this);
    directoryGroup->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::GroupBox6));
    auto* group7 = new QGroupBox(QStringLiteral("Verzeichnis"), directoryGroup);
    group7->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::GroupBox7));
    directoryEdit = new TDirectoryEdit(group7);
    directoryEdit->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::DirectoryEdit1));
    subfoldersCheck = new QCheckBox(QStringLiteral("Unterverzeichnisse einbeziehen"), group7);
    subfoldersCheck->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::CheckBox6));
    auto* dirBox = new QVBoxLayout(group7);
    dirBox->addWidget(directoryEdit);
    dirBox->addWidget(subfoldersCheck);
    auto* group8 = new QGroupBox(QStringLiteral("Auf Bildtypen anwenden:"), directoryGroup);
    group8->setObjectName(QLatin1String(ObjectName::BatchSourceDialog::GroupBox8));
    auto* types = new QGridLayout(group8);
    int shown = 0;
    for (size_t i = 0; i < TypeBoxes.size(); ++i) {
        if (!kTypeNames[i])
            continue;
        TypeBoxes[i] = new QCheckBox(QString::fromLatin1(kTypeNames[i]), group8);
        TypeBoxes[i]->setObjectName(QStringLiteral("Type%1").arg(QString::fromLatin1(kTypeNames[i])));
        types->addWidget(TypeBoxes[i], shown / 3, shown % 3);
        ++shown;
    }
    types->addWidget(button(9, "A&lle markieren", group8), 3, 0, 1, 3);
    auto* dirRow = new QVBoxLayout(directoryGroup);
    dirRow->addWidget(group7);
    dirRow->addWidget(group8);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(button(1, "A&nwenden", this));
    bottom->addWidget(button(2, "&Abbrechen", this));
    bottom->addWidget(button(3, "&Hilfe", this));
    Buttons[1]->setDefault(true);

    auto* top = new QVBoxLayout(this);
    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(label2);
    recordRow->addWidget(recordLabel, 1);
    top->addLayout(recordRow);
    top->addWidget(sourceGroup);
    top->addWidget(listGroup, 1);
    top->addWidget(directoryGroup, 1);
    top->addLayout(bottom);

    connect(SourceList, &QRadioButton::clicked, this, [this] { sourceClicked(); });
    connect(SourceDirectory, &QRadioButton::clicked, this, [this] { sourceClicked(); });
    connect(fileList, &QListWidget::itemSelectionChanged, this, [this] { updateListButtons(); });
    const std::pair<int, std::function<void()>> handlers[] = {
        {1, [this] { applyClicked(); }},
        {2, [this] { reject(); }},
        {3, [] { TApplication::HelpContext(kFileListHelpContext); }},
        {6, [this] { addClicked(); }},
        {7, [this] { deleteClicked(); }},
        {8, [this] { deleteAllClicked(); }},
        {9, [this] { selectAllTypesClicked(); }},
    };
    for (const auto& h : handlers)
        connect(Buttons[size_t(h.first)], &QPushButton::clicked, this, [fn = h.second] { TApplication::Guard(fn); });
    FormActivate();
}

Taufverzform::~Taufverzform() = default;

void Taufverzform::FormActivate()
{
    OK = false;
    fileList->clear();
    if (QFile::exists(FileListPath()))
        fileList->addItems(ReadFileList(FileListPath()));
    SourceList->setChecked(work.source != 1);
    SourceDirectory->setChecked(work.source == 1);
    directoryEdit->setText(work.directory);
    for (size_t i = 0; i < TypeBoxes.size(); ++i)
        if (TypeBoxes[i])
            TypeBoxes[i]->setChecked(work.types[i] != 0);
    subfoldersCheck->setChecked(work.subdirs != 0);
    sourceClicked();
}

void Taufverzform::sourceClicked()
{
    directoryGroup->setVisible(SourceDirectory->isChecked());
    listGroup->setVisible(!SourceDirectory->isChecked());
    updateListButtons();
}

void Taufverzform::updateListButtons()
{
    Buttons[7]->setEnabled(!fileList->selectedItems().isEmpty());
    Buttons[8]->setEnabled(fileList->count() > 0);
}

void Taufverzform::applyClicked()
{
    QStringList names;
    for (int i = 0; i < fileList->count(); ++i)
        names << fileList->item(i)->text();
    WriteFileList(FileListPath(), names);
    work.source = SourceDirectory->isChecked() ? 1 : 0;
    work.directory = directoryEdit->text();
    for (size_t i = 0; i < TypeBoxes.size(); ++i)
        if (TypeBoxes[i])
            work.types[i] = TypeBoxes[i]->isChecked() ? 1 : 0;
    work.subdirs = subfoldersCheck->isChecked() ? 1 : 0;
    OK = true;
    accept();
}

void Taufverzform::addClicked()
{
    TOpenDialog d(this);
    d.Title = TranslatedCaption(QStringLiteral("Hinzufügen"));
    d.Options |= ofAllowMultiSelect;
    d.Filter = QString::fromLatin1(kAddFilter);
    d.InitialDir = work.lastfolder;
    if (!d.Execute() || d.Files.isEmpty())
        return;
    fileList->addItems(d.Files);
    work.lastfolder = AddTrailingBackslash(QFileInfo(d.Files.first()).absolutePath());
    updateListButtons();
}

void Taufverzform::deleteClicked()
{
    qDeleteAll(fileList->selectedItems());
    updateListButtons();
}

void Taufverzform::deleteAllClicked()
{
    if (LangMessageDlg(QStringLiteral("Sind Sie sicher, daß Sie die komplette Liste löschen möchten?"), mtConfirmation,
                       mbOKCancel, QStringLiteral("Are you sure that you want to delete the entire list?")) != mrOk)
        return;
    fileList->clear();
    updateListButtons();
}

void Taufverzform::selectAllTypesClicked()
{
    for (QCheckBox* box : TypeBoxes)
        if (box)
            box->setChecked(true);
}
