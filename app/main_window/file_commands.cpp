// File, window and clipboard commands of the main window.
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/text/help_contexts.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "app/util/paths.h"
#include "controls/combos/kit_combos.h"
#include "imaging/dialogs/save_dialog.h"
#include "imaging/io/codec_table.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/image_kit_proc.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QFileInfo>
#include <QFontDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QToolButton>

namespace {


// Save keeps an image's name only when its own format's writer can write it and the
// record holds it; a format without a writer would be written as a bitmap under the old name.
bool SavesUnderItsName(const QString& fileName)
{
    const TCodec* codec = fileName.isEmpty() ? nullptr : CodecForFileName(fileName);
    return codec && CanWrite(*codec) && tautomatitem().SetFileName(fileName);
}

}  // namespace

void TFileCommands::openClicked()
{
    if (!openDialog)
        openDialog = new TOpenImageKitDialog(&form_);
    TOpenImageKitDialog& d = *openDialog;
    d.Files.clear();
    d.SetInitialDir(form_.options.lastdir);
    d.SetFilterIndex(form_.options.openfilter);
    d.SetFileName(QString());
    d.Filter = form_.ImageFilter;
    d.Title = TranslatedCaption(QStringLiteral("Öffnen"));
    d.MsgLanguage = LibraryLanguage();
    d.Options |= ofAllowMultiSelect;
    if (d.Execute() && !d.Files.isEmpty()) {
        form_.options.lastdir = AddTrailingBackslash(QFileInfo(d.Files.first()).absolutePath());
        form_.options.openfilter = d.FilterIndex();
        OpenFilterIndex = form_.options.openfilter;
        OpenFileList = d.Files;
        openChosenFiles();
    }
    form_.ResetProgress();
}

void TFileCommands::openChosenFiles()
{
    // The events run between the files: another open may set the list meanwhile, and the
    // main window must not close under the loop.
    const QStringList files = OpenFileList;
    const bool opening = std::exchange(opening_, true);
    struct TRestore {
        bool& flag;
        bool before;
        ~TRestore() { flag = before; }
    } restore{opening_, opening};
    for (const QString& name : files) {
        form_.addToHistory(name);
        form_.automatitem.SetCode(cmdOpen);
        if (!form_.automatitem.SetFileName(name)) {
            // The record holds 255 bytes of name; a longer one is refused, never cut.
            LangMessageDlg(QStringLiteral("Der Dateiname ist zu lang: ") + name, mtError, mbOK,
                           QStringLiteral("The file name is too long: ") + name);
            continue;
        }
        TApplication::Guard([this] { form_.runautomatitem(&form_, form_.automatitem); });
        TApplication::ProcessMessages();
    }
    form_.UpdateAvailability(false);
}

void TFileCommands::historyItemClicked(const QString& name)
{
    if (!QFileInfo::exists(name)) {
        // The entry stays: the file may be on a medium that is not there right now.
        LangMessageDlg(QStringLiteral("Die Datei ") + name + QStringLiteral(" wurde nicht gefunden."), mtError, mbOK,
                       QStringLiteral("The file ") + name + QStringLiteral(" was not found."));
        return;
    }
    OpenFileList = QStringList{name};
    openChosenFiles();
    if (Tchild* c = Tform1::imageWindowOf(form_.ActiveMDIChild()))
        form_.fitWindowToImage(&form_, c);
}

bool TFileCommands::saveFailed(const std::exception& e)
{
    // The image stays modified and the old file untouched; a running save all stops.
    // A batch's windows show their state behind the message.
    form_.Batch().ReleasePainting();
    TApplication::HandleException(e);
    SaveCancelled = true;
    form_.UpdateAvailability(false);
    form_.ResetProgress();
    return false;
}

TSaveOutcome TFileCommands::RunSave(Tchild* image, const QString& fileName, const tsaveparams& block, QString* error)
{
    if (!form_.automatitem.SetFileName(fileName)) {
        const QString why =
            LangText(QStringLiteral("Der Dateiname ist zu lang: "), QStringLiteral("The file name is too long: ")) +
            fileName;
        if (error)
            *error = why;
        else
            LangMessageDlg(QStringLiteral("Der Dateiname ist zu lang: ") + fileName, mtError, mbOK,
                           QStringLiteral("The file name is too long: ") + fileName);
        SaveCancelled = true;
        return TSaveOutcome::Failed;
    }
    form_.automatitem.SetCode(cmdSave);
    form_.automatitem.SetSaveParams(block);
    QPointer<Tchild> guard(image);
    image->Document().ForgetLastSave();
    try {
        form_.onChild(image, [this] { form_.runautomatitem(&form_, form_.automatitem); });
    } catch (const std::exception& e) {
        if (error)
            *error = TApplication::ExceptionText(e);
        else
            saveFailed(e);
        SaveCancelled = true;
        return TSaveOutcome::Failed;
    }
    // A record the check refused never reached the document; the check told the user.
    const std::optional<TSaveOutcome> outcome = guard ? guard->Document().LastSave() : std::nullopt;
    if (outcome != TSaveOutcome::Saved)
        SaveCancelled = true;
    return outcome.value_or(TSaveOutcome::Failed);
}

TSaveOutcome TFileCommands::SaveImage(Tchild* image)
{
    const QString name = image->Document().FileName();
    if (!SavesUnderItsName(name))
        return SaveImageAs(image);
    tsaveparams block;
    TSaveOutcome outcome = TSaveOutcome::Failed;
    try {
        form_.onChild(image, [&] { form_.saveparams(block); });
    } catch (const std::exception& e) {
        saveFailed(e);
        return outcome;
    }
    FitSaveParamsToWriter(block, name);
    outcome = RunSave(image, name, block);
    form_.UpdateAvailability(false);
    form_.ResetProgress();
    return outcome;
}

TSaveOutcome TFileCommands::SaveImageAs(Tchild* image, bool* dialogAccepted)
{
    if (dialogAccepted)
        *dialogAccepted = false;
    TSaveOutcome outcome = TSaveOutcome::Cancelled;
    try {
        form_.onChild(image, [&] { outcome = saveImageAs(image, dialogAccepted); });
    } catch (const std::exception& e) {
        saveFailed(e);
        return TSaveOutcome::Failed;
    }
    if (outcome != TSaveOutcome::Saved)
        SaveCancelled = true;
    form_.UpdateAvailability(false);
    form_.ResetProgress();
    return outcome;
}

TSaveOutcome TFileCommands::saveImageAs(Tchild* image, bool* dialogAccepted)
{
    if (!saveDialog) {
        saveDialog = new TSaveImageKitDialog(&form_);
        // Saving over a file asks first; No leaves it as it is.
        saveDialog->Options = ofOverwritePrompt | ofHideReadOnly | ofNoChangeDir;
    }
    TSaveImageKitDialog& d = *saveDialog;
    d.Options |= ofOverwritePrompt;
    d.Files.clear();
    d.SetInitialDir(form_.options.lastdir);
    d.Filter = form_.SaveDialogFilter;
    d.SetFilterIndex(form_.options.savefilter);
    d.Title = TranslatedCaption(QStringLiteral("Speichern als"));
    d.MsgLanguage = LibraryLanguage();
    TImageDocument& document = image->Document();
    const QString old = document.FileName();
    if (!old.isEmpty()) {
        const QFileInfo fi(old);
        d.SetFileName(fi.completeBaseName());
        d.SetInitialDir(fi.absolutePath());
    } else {
        d.SetFileName(QString());
    }
    if (!d.Execute())
        return TSaveOutcome::Cancelled;
    if (dialogAccepted)
        *dialogAccepted = true;
    const QString name = d.FileName();
    form_.options.lastdir = AddTrailingBackslash(QFileInfo(name).absolutePath());
    form_.options.savefilter = d.FilterIndex();
    // A block no "save as" has filled would save at quality 0 and as white-is-zero
    // black and white; the image then keeps the parameters it has.
    if (!form_.options.saveparams.IsBlank())
        form_.assignparams(form_.options.saveparams);

    bool ok = false;
    if (const TCodec* f = SaveDialogCodecForFileName(name)) {
        if (d.FilterIndex() == f->SaveFilterIndex || d.FilterIndex() > 4)
            ok = image->imageKit->DoIOPreviews(f->ParamPage);
        else
            LangMessageDlg(QStringLiteral("Datei-Endung stimmt nicht mit ausgewältem Format überein."), mtInformation,
                           mbOK, QStringLiteral("File ending doesn´t match Format"));
    } else {
        LangMessageDlg(QStringLiteral("Bilder werden als JPG, BMP, PCX, TIF/TIFF oder PNG gespeichert."), mtInformation,
                       mbOK, QStringLiteral("Images are saved as JPG, BMP, PCX, TIF/TIFF or PNG."));
    }
    if (!ok)
        return TSaveOutcome::Cancelled;
    tsaveparams block;
    form_.saveparams(block);
    FitSaveParamsToWriter(block, name);
    form_.options.saveparams = block;
    return RunSave(image, name, block);
}

bool TFileCommands::saveClicked()
{
    if (auto* catalog = qobject_cast<Tkataform*>(form_.ActiveMDIChild()))
        return catalog->saveCatalogClicked();
    Tchild* child = form_.ActiveImageWindow();
    if (!child)
        return false;
    // Save on an image without a usable name is save as, and tells what save as tells.
    if (!SavesUnderItsName(child->Document().FileName()))
        return saveAsClicked();
    return SaveImage(child) == TSaveOutcome::Saved;
}

bool TFileCommands::saveAsClicked()
{
    if (auto* catalog = qobject_cast<Tkataform*>(form_.ActiveMDIChild()))
        return catalog->saveCatalogAsClicked();
    Tchild* child = form_.ActiveImageWindow();
    if (!child)
        return false;
    bool accepted = false;
    SaveImageAs(child, &accepted);
    return accepted;
}

void TFileCommands::saveAllClicked()
{
    SaveCancelled = false;
    const int n = form_.MDIChildCount();
    for (int i = 0; i < n && !SaveCancelled; ++i) {
        if (ChildKind(form_.ActiveMDIChild()) != ckWelcome)
            saveClicked();
        if (!SaveCancelled)
            form_.ClientArea()->activateNextSubWindow();
    }
}

void TFileCommands::closeClicked()
{
    if (QMdiSubWindow* sub = form_.ClientArea()->activeSubWindow())
        sub->close();
    form_.UpdateAvailability(false);
}

bool TFileCommands::closeAllClicked()
{
    SaveCancelled = false;
    const QList<QMdiSubWindow*> subs = form_.ClientArea()->subWindowList(QMdiArea::CreationOrder);
    for (int i = int(subs.size()) - 1; i >= 0; --i) {
        subs[i]->close();
        if (SaveCancelled)
            return false;
    }
    form_.UpdateAvailability(false);
    return true;
}

void Tform1::fitWindowToImageClicked()
{
    if (Tchild* c = ActiveImageWindow())
        fitWindowToImageTwice(this, c);
}

void Tform1::cutClicked()
{
    if (Tchild* c = ActiveImageWindow()) {
        c->SetModified(true);
        c->imageKit->CutToClipboard();
    }
}

void Tform1::copyClicked()
{
    if (Tchild* c = ActiveImageWindow())
        c->imageKit->CopyToClipboard();
}

void Tform1::pasteIntoSelectionClicked()
{
    if (Tchild* c = ActiveImageWindow()) {
        c->SetModified(true);
        c->imageKit->PasteToSelection();
    }
}

void Tform1::pasteButtonClicked()
{
    Tchild* c = ActiveImageWindow();
    if (c && c->imageKit->HasSelection())
        pasteIntoSelectionClicked();
    else
        runcode(cmdPaste);
}

void Tform1::cropForEditingClicked()
{
    if (Tchild* c = ActiveImageWindow()) {
        c->SetModified(true);
        c->imageKit->Proc()->CropToSelection();
    }
}

void Tform1::wireFileCommands()
{
    const std::pair<const char*, std::function<void()>> items[] = {
        {ObjectName::MainWindow::ffnen2, [this] { files_->openClicked(); }},
        {ObjectName::MainWindow::Speichern1, [this] { files_->saveClicked(); }},
        {ObjectName::MainWindow::Speichernals1, [this] { files_->saveAsClicked(); }},
        {ObjectName::MainWindow::AlleSpeichern1, [this] { files_->saveAllClicked(); }},
        {ObjectName::MainWindow::Schliessen1, [this] { files_->closeClicked(); }},
        {ObjectName::MainWindow::AlleSchliessen1, [this] { files_->closeAllClicked(); }},
        {ObjectName::MainWindow::AufBildgreanpassen1, [this] { fitWindowToImageClicked(); }},
        {ObjectName::MainWindow::Ausschneiden1, [this] { cutClicked(); }},
        {ObjectName::MainWindow::Kopieren1, [this] { copyClicked(); }},
        {ObjectName::MainWindow::Pastetorect1, [this] { pasteIntoSelectionClicked(); }},
        {ObjectName::MainWindow::ZumBearbeitenausschneiden1, [this] { cropForEditingClicked(); }},
        {ObjectName::MainWindow::Hilfeverwenden1, [] { TApplication::HelpContext(hcUsingHelp); }},
        {ObjectName::MainWindow::berdasProgramm1, [] { TApplication::HelpContext(hcAbout); }},
        {ObjectName::MainWindow::WeitereProgramme1, [] { TApplication::HelpContext(hcOtherPrograms); }},
        {ObjectName::MainWindow::UntersttzteBatchFunktionen1, [] { TApplication::HelpContext(hcBatch); }},
    };
    for (const auto& [name, handler] : items)
        wire(Item(QString::fromLatin1(name)), handler);
    const std::pair<const char*, std::function<void()>> buttons[] = {
        {ObjectName::MainWindow::OpenBtn, [this] { files_->openClicked(); }},
        {ObjectName::MainWindow::SaveBtn, [this] { files_->saveClicked(); }},
        {ObjectName::MainWindow::CutBtn, [this] { cutClicked(); }},
        {ObjectName::MainWindow::CopyBtn, [this] { copyClicked(); }},
        {ObjectName::MainWindow::PasteBtn, [this] { pasteButtonClicked(); }},
    };
    for (const auto& [name, handler] : buttons)
        wireButton(Control<QToolButton>(QString::fromLatin1(name)), handler);
}
