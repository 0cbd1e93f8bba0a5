// The slide list of the options dialog: adding, removing, moving, sorting, list files.
#include "app/slideshow/slide_options_dialog.h"

#include "app/text/language.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/file_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QListWidget>
#include <QRadioButton>

namespace {

const char* const kAddFilter =
    "Jpeg (JPG)|*.jpg;*.jpeg|Windows Bitmap (BMP)|*.bmp|PaintBrush (PCX)|*.pcx|CompuServe Bitmap (GIF)|*.gif|"
    "Tiff Bitmap (TIFF)|*.tif|Windows Metafile (WMF)|*.wmf|Windows E-Metailfe (EMF)|*.emf|"
    "Microsoft Icon (ICO)|*.ico|Microsoft Cursor (CUR)|*.cur|PNG (PNG)|*.png|"
    "All (JPG;BMP;PCX;GIF;TIF;ICO;CUR;PNG)|*.jpg;*.jpeg;*.bmp;*.pcx;*.gif;*.tif;*.wmf;*.emf;*.ico;*.cur;*.png";
const char* const kListFilter = "Diashow (DIA)|*.dia";

}  // namespace

QStringList Tslideform::ListItems() const
{
    QStringList out;
    for (int i = 0; i < fileList->count(); ++i)
        out.append(fileList->item(i)->text());
    return out;
}

void Tslideform::SetListItems(const QStringList& items)
{
    fileList->clear();
    fileList->addItems(items);
}

void Tslideform::SortList()
{
    QStringList items = ListItems();
    if (listByNameRadio->isChecked())
        SortSlidesByName(items);
    else if (listRandomRadio->isChecked())
        ShuffleSlides(items, Random);
    else
        return;
    SetListItems(items);
}

void Tslideform::rememberFolder(const QString& file)
{
    const QString folder = AddTrailingBackslash(QFileInfo(file).absolutePath());
    // A folder whose name does not fit the field is simply not remembered.
    slideoptions.lastfolder.Assign(folder);
}

void Tslideform::addClicked()
{
    TOpenDialog dlg(this);
    dlg.Title = TranslatedCaption(QStringLiteral("Hinzufügen"));
    dlg.InitialDir = slideoptions.lastfolder.Text();
    dlg.Filter = QString::fromLatin1(kAddFilter);
    dlg.Options |= ofAllowMultiSelect | ofFileMustExist;
    if (!dlg.Execute())
        return;
    QStringList files = dlg.Files;
    if (files.isEmpty() && !dlg.FileName.isEmpty())
        files.append(dlg.FileName);
    if (files.isEmpty())
        return;
    fileList->addItems(files);
    rememberFolder(files.first());
    SortList();
}

void Tslideform::deleteClicked()
{
    for (int i = fileList->count() - 1; i >= 0; --i)
        if (fileList->item(i)->isSelected())
            delete fileList->takeItem(i);
}

void Tslideform::deleteAllClicked()
{
    if (LangMessageDlg(QStringLiteral("Sind Sie sicher, daß Sie die komplette Liste löschen möchten?"), mtConfirmation,
                       mbYes | mbNo, QStringLiteral("Are you sure that you want to delete the entire list?")) == mrYes)
        fileList->clear();
}

void Tslideform::MoveFocused(int delta)
{
    const int i = fileList->currentRow();
    const int j = i + delta;
    if (i < 0 || j < 0 || j >= fileList->count())
        return;
    QListWidgetItem* item = fileList->takeItem(i);
    fileList->insertItem(j, item);
    fileList->clearSelection();
    fileList->setCurrentRow(j);
    item->setSelected(true);
}

void Tslideform::saveListClicked()
{
    TOpenDialog dlg(this, fdSave);
    dlg.Title = TranslatedCaption(QStringLiteral("Liste speichern"));
    dlg.Filter = QString::fromLatin1(kListFilter);
    dlg.DefaultExt = QStringLiteral("sld");
    dlg.Options |= ofOverwritePrompt;
    dlg.InitialDir = slideoptions.lastfolder.Text();
    if (!dlg.Execute() || dlg.FileName.isEmpty())
        return;
    const QString name = dlg.FileName;
    WriteSlideList(name, ListItems());
    rememberFolder(name);
}

void Tslideform::loadListClicked()
{
    TOpenDialog dlg(this);
    dlg.Title = TranslatedCaption(QStringLiteral("Liste laden"));
    dlg.Filter = QString::fromLatin1(kListFilter);
    dlg.DefaultExt = QStringLiteral("sld");
    dlg.InitialDir = slideoptions.lastfolder.Text();
    if (!dlg.Execute() || dlg.FileName.isEmpty())
        return;
    // Read first: a list that cannot be read leaves the one shown untouched.
    const QStringList items = ReadSlideList(dlg.FileName);
    SetListItems(items);
    rememberFolder(dlg.FileName);
    SortList();
}

void Tslideform::selectAllTypesClicked()
{
    // Every type but PNG, whose box keeps its state.
    for (int i = 0; i < 8; ++i)
        TypeBoxes[size_t(i)]->setChecked(true);
}
