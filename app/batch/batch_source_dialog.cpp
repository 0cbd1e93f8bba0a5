// The batch source dialog: directory with type filter, or the file list "verz.sld".
#include "app/batch/batch_source_dialog.h"
#include "app/text/help_contexts.h"

#include "app/batch/batch_file.h"
#include "app/text/language.h"
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

} // namespace

Taufverzform::Taufverzform(const tverzdialog& options, QWidget* owner) : QDialog(owner), work(options)
{
    setObjectName(QStringLiteral("aufverzform"));
    setWindowTitle(QStringLiteral("Auf Dateiliste/Verzeichnis anwenden"));
    auto* label2 = new QLabel(QStringLiteral("Gewählte Aufnahme"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    RadioGroup1 = new QGroupBox(QStringLiteral("Bilder aus"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    SourceList = new QRadioButton(QStringLiteral("Dateiliste"), RadioGroup1);
    SourceDirectory = new QRadioButton(QStringLiteral("Verzeichnis"), RadioGroup1);
    auto* sourceRow = new QHBoxLayout(RadioGroup1);
    sourceRow->addWidget(SourceList);
    sourceRow->addWidget(SourceDirectory);

    auto button = [this](int n, const char* caption, QWidget* parent) {
        auto* b = new QPushButton(QString::fromUtf8(caption), parent);
        b->setObjectName(QStringLiteral("Button%1").arg(n));
        b->setAutoDefault(false);
        Buttons[size_t(n)] = b;
        return b;
    };

    GroupBox2 = new QGroupBox(QStringLiteral("Bilder aus Dateiliste"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    ListBox1 = new QListWidget(GroupBox2);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(button(6, "&Hinzufügen", GroupBox2));
    listButtons->addWidget(button(7, "&Löschen", GroupBox2));
    listButtons->addWidget(button(8, "&Alle Löschen", GroupBox2));
    listButtons->addStretch(1);
    auto* listRow = new QHBoxLayout(GroupBox2);
    listRow->addWidget(ListBox1, 1);
    listRow->addLayout(listButtons);

    GroupBox6 = new QGroupBox(QStringLiteral("Auf Verzeichnis anwenden"), this);
    GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
    auto* group7 = new QGroupBox(QStringLiteral("Verzeichnis"), GroupBox6);
    group7->setObjectName(QStringLiteral("GroupBox7"));
    DirectoryEdit1 = new TDirectoryEdit(group7);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    CheckBox6 = new QCheckBox(QStringLiteral("Unterverzeichnisse einbeziehen"), group7);
    CheckBox6->setObjectName(QStringLiteral("CheckBox6"));
    auto* dirBox = new QVBoxLayout(group7);
    dirBox->addWidget(DirectoryEdit1);
    dirBox->addWidget(CheckBox6);
    auto* group8 = new QGroupBox(QStringLiteral("Auf Bildtypen anwenden:"), GroupBox6);
    group8->setObjectName(QStringLiteral("GroupBox8"));
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
    auto* dirRow = new QVBoxLayout(GroupBox6);
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
    recordRow->addWidget(Label1, 1);
    top->addLayout(recordRow);
    top->addWidget(RadioGroup1);
    top->addWidget(GroupBox2, 1);
    top->addWidget(GroupBox6, 1);
    top->addLayout(bottom);

    connect(SourceList, &QRadioButton::clicked, this, [this] { RadioGroup1Click(); });
    connect(SourceDirectory, &QRadioButton::clicked, this, [this] { RadioGroup1Click(); });
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { checkbuttonslide(); });
    const std::pair<int, std::function<void()>> handlers[] = {
        {1, [this] { Button1Click(); }}, {2, [this] { reject(); }},
        {3, [] { TApplication::HelpContext(kFileListHelpContext); }},
        {6, [this] { Button6Click(); }}, {7, [this] { Button7Click(); }},
        {8, [this] { Button8Click(); }}, {9, [this] { Button9Click(); }},
    };
    for (const auto& h : handlers)
        connect(Buttons[size_t(h.first)], &QPushButton::clicked, this, [fn = h.second] { TApplication::Guard(fn); });
    FormActivate();
}

Taufverzform::~Taufverzform() = default;

void Taufverzform::FormActivate()
{
    OK = false;
    ListBox1->clear();
    if (QFile::exists(FileListPath()))
        ListBox1->addItems(ReadFileList(FileListPath()));
    SourceList->setChecked(work.source != 1);
    SourceDirectory->setChecked(work.source == 1);
    DirectoryEdit1->setText(work.directory);
    for (size_t i = 0; i < TypeBoxes.size(); ++i)
        if (TypeBoxes[i])
            TypeBoxes[i]->setChecked(work.types[i] != 0);
    CheckBox6->setChecked(work.subdirs != 0);
    RadioGroup1Click();
}

void Taufverzform::RadioGroup1Click()
{
    GroupBox6->setVisible(SourceDirectory->isChecked());
    GroupBox2->setVisible(!SourceDirectory->isChecked());
    checkbuttonslide();
}

void Taufverzform::checkbuttonslide()
{
    Buttons[7]->setEnabled(!ListBox1->selectedItems().isEmpty());
    Buttons[8]->setEnabled(ListBox1->count() > 0);
}

void Taufverzform::Button1Click()
{
    QStringList names;
    for (int i = 0; i < ListBox1->count(); ++i)
        names << ListBox1->item(i)->text();
    WriteFileList(FileListPath(), names);
    work.source = SourceDirectory->isChecked() ? 1 : 0;
    work.directory = DirectoryEdit1->text();
    for (size_t i = 0; i < TypeBoxes.size(); ++i)
        if (TypeBoxes[i])
            work.types[i] = TypeBoxes[i]->isChecked() ? 1 : 0;
    work.subdirs = CheckBox6->isChecked() ? 1 : 0;
    OK = true;
    accept();
}

void Taufverzform::Button6Click()
{
    TOpenDialog d(this);
    d.Title = TranslatedCaption(QStringLiteral("Hinzufügen"));
    d.Options |= ofAllowMultiSelect;
    d.Filter = QString::fromLatin1(kAddFilter);
    d.InitialDir = work.lastfolder;
    if (!d.Execute() || d.Files.isEmpty())
        return;
    ListBox1->addItems(d.Files);
    work.lastfolder = AddTrailingBackslash(QFileInfo(d.Files.first()).absolutePath());
    checkbuttonslide();
}

void Taufverzform::Button7Click()
{
    qDeleteAll(ListBox1->selectedItems());
    checkbuttonslide();
}

void Taufverzform::Button8Click()
{
    if (LangMessageDlg(QStringLiteral("Sind Sie sicher, daß Sie die komplette Liste löschen möchten?"), mtConfirmation,
                       mbOKCancel, QStringLiteral("Are you sure that you want to delete the entire list?")) != mrOk)
        return;
    ListBox1->clear();
    checkbuttonslide();
}

void Taufverzform::Button9Click()
{
    for (QCheckBox* box : TypeBoxes)
        if (box)
            box->setChecked(true);
}
