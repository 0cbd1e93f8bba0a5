// File, window and clipboard commands of the main window.
#include "app/batch/batch_runner.h"
#include "app/catalog/catalog_window.h"
#include "app/text/help_contexts.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
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

QString WithSlash(const QString& dir) { return dir.endsWith(u'/') ? dir : dir + u'/'; }

// Save keeps an image's name only when its own format's writer can write it and the
// record holds it; a format without a writer would be written as a bitmap under the old name.
bool SavesUnderItsName(const QString& fileName)
{
    const TCodec* codec = fileName.isEmpty() ? nullptr : CodecForFileName(fileName);
    return codec && CanWrite(*codec) && tautomatitem().SetFileName(fileName);
}

}  // namespace

void Tform1::openClicked()
{
    if (!openDialog)
        openDialog = new TOpenImageKitDialog(this);
    TOpenImageKitDialog& d = *openDialog;
    d.Files.clear();
    d.SetInitialDir(options.lastdir);
    d.SetFilterIndex(options.openfilter);
    d.SetFileName(QString());
    d.Filter = ImageFilter;
    d.Title = TranslatedCaption(QStringLiteral("Öffnen"));
    d.MsgLanguage = LibraryLanguage();
    d.Options |= ofAllowMultiSelect;
    if (d.Execute() && !d.Files.isEmpty()) {
        options.lastdir = WithSlash(QFileInfo(d.Files.first()).absolutePath());
        options.openfilter = d.FilterIndex();
        OpenFilterIndex = options.openfilter;
        OpenFileList = d.Files;
        openChosenFiles();
    }
    ResetProgress();
}

void Tform1::historyItemClicked(QObject*, const QString& name)
{
    if (!QFileInfo::exists(name)) {
        // The entry stays: the file may be on a medium that is not there right now.
        LangMessageDlg(QStringLiteral("Die Datei ") + name + QStringLiteral(" wurde nicht gefunden."), mtError, mbOK,
                       QStringLiteral("The file ") + name + QStringLiteral(" was not found."));
        return;
    }
    OpenFileList = QStringList{name};
    openChosenFiles();
    if (Tchild* c = imageWindowOf(ActiveMDIChild()))
        fitWindowToImage(this, c);
}

bool Tform1::saveFailed(const std::exception& e)
{
    // The image stays modified and the old file untouched; a running save all stops.
    // A batch's windows show their state behind the message.
    batch_->ReleasePainting();
    TApplication::HandleException(e);
    SaveCancelled = true;
    checkbuttonsenabled(false);
    ResetProgress();
    return false;
}

void Tform1::onChild(QWidget* child, const std::function<void()>& fn)
{
    // Commands, parameter blocks and dialogs act on the active child: make it this one,
    // and give a batch its own pin back afterwards.
    const QPointer<QWidget> before = pinnedChild_;
    const bool wasPinned = pinned_;
    PinChild(child);
    try {
        fn();
    } catch (...) {
        PinChild(before, wasPinned);
        throw;
    }
    PinChild(before, wasPinned);
}

TSaveOutcome Tform1::RunSave(Tchild* image, const QString& fileName, const tsaveparams& block, QString* error)
{
    if (!automatitem.SetFileName(fileName)) {
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
    automatitem.SetCode(cmdSave);
    automatitem.SetSaveParams(block);
    QPointer<Tchild> guard(image);
    image->Document().ForgetLastSave();
    try {
        onChild(image, [this] { runautomatitem(this, automatitem); });
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

TSaveOutcome Tform1::SaveImage(Tchild* image)
{
    const QString name = image->Document().FileName();
    if (!SavesUnderItsName(name))
        return SaveImageAs(image);
    tsaveparams block;
    TSaveOutcome outcome = TSaveOutcome::Failed;
    try {
        onChild(image, [&] { saveparams(block); });
    } catch (const std::exception& e) {
        saveFailed(e);
        return outcome;
    }
    FitSaveParamsToWriter(block, name);
    outcome = RunSave(image, name, block);
    checkbuttonsenabled(false);
    ResetProgress();
    return outcome;
}

TSaveOutcome Tform1::SaveImageAs(Tchild* image, bool* dialogAccepted)
{
    if (dialogAccepted)
        *dialogAccepted = false;
    TSaveOutcome outcome = TSaveOutcome::Cancelled;
    try {
        onChild(image, [&] { outcome = saveImageAs(image, dialogAccepted); });
    } catch (const std::exception& e) {
        saveFailed(e);
        return TSaveOutcome::Failed;
    }
    if (outcome != TSaveOutcome::Saved)
        SaveCancelled = true;
    checkbuttonsenabled(false);
    ResetProgress();
    return outcome;
}

TSaveOutcome Tform1::saveImageAs(Tchild* image, bool* dialogAccepted)
{
    if (!saveDialog) {
        saveDialog = new TSaveImageKitDialog(this);
        // Saving over a file asks first; No leaves it as it is.
        saveDialog->Options = ofOverwritePrompt | ofHideReadOnly | ofNoChangeDir;
    }
    TSaveImageKitDialog& d = *saveDialog;
    d.Options |= ofOverwritePrompt;
    d.Files.clear();
    d.SetInitialDir(options.lastdir);
    d.Filter = SaveDialogFilter;
    d.SetFilterIndex(options.savefilter);
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
    options.lastdir = WithSlash(QFileInfo(name).absolutePath());
    options.savefilter = d.FilterIndex();
    // A block no "save as" has filled would save at quality 0 and as white-is-zero
    // black and white; the image then keeps the parameters it has.
    if (!options.saveparams.IsBlank())
        assignparams(options.saveparams);

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
    saveparams(block);
    FitSaveParamsToWriter(block, name);
    options.saveparams = block;
    return RunSave(image, name, block);
}

bool Tform1::saveClicked()
{
    if (auto* catalog = qobject_cast<Tkataform*>(ActiveMDIChild()))
        return catalog->saveCatalogClicked();
    Tchild* child = ActiveImageWindow();
    if (!child)
        return false;
    // Save on an image without a usable name is save as, and tells what save as tells.
    if (!SavesUnderItsName(child->Document().FileName()))
        return saveAsClicked();
    return SaveImage(child) == TSaveOutcome::Saved;
}

bool Tform1::saveAsClicked()
{
    if (auto* catalog = qobject_cast<Tkataform*>(ActiveMDIChild()))
        return catalog->saveCatalogAsClicked();
    Tchild* child = ActiveImageWindow();
    if (!child)
        return false;
    bool accepted = false;
    SaveImageAs(child, &accepted);
    return accepted;
}

void Tform1::saveAllClicked()
{
    SaveCancelled = false;
    const int n = MDIChildCount();
    for (int i = 0; i < n && !SaveCancelled; ++i) {
        if (ChildKind(ActiveMDIChild()) != ckWelcome)
            saveClicked();
        if (!SaveCancelled)
            mdi_->activateNextSubWindow();
    }
}

void Tform1::closeClicked()
{
    if (QMdiSubWindow* sub = mdi_->activeSubWindow())
        sub->close();
    checkbuttonsenabled(false);
}

bool Tform1::closeAllClicked()
{
    SaveCancelled = false;
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (int i = int(subs.size()) - 1; i >= 0; --i) {
        subs[i]->close();
        if (SaveCancelled)
            return false;
    }
    checkbuttonsenabled(false);
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
        pasteClicked();
}

void Tform1::cropForEditingClicked()
{
    if (Tchild* c = ActiveImageWindow()) {
        c->SetModified(true);
        c->imageKit->Proc()->CropToSelection();
    }
}

void Tform1::chooseFontClicked()
{
    QFont font(options.fontname);
    font.setPointSize(options.fontsize > 0 ? options.fontsize : 10);
    font.setBold(options.fontstyle & 1);
    font.setItalic(options.fontstyle & 2);
    font.setUnderline(options.fontstyle & 4);
    font.setStrikeOut(options.fontstyle & 8);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, this);
    if (!ok)
        return;
    drawingFontCombo->SetFontName(chosen.family());
    options.fontname = chosen.family();
    options.fontsize = chosen.pointSize();
    options.fontstyle = uint8_t((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) | (chosen.underline() ? 4 : 0) |
                                (chosen.strikeOut() ? 8 : 0));
}

void Tform1::wireFileCommands()
{
    const std::pair<const char*, std::function<void()>> items[] = {
        {ObjectName::MainWindow::ffnen2, [this] { openClicked(); }},
        {ObjectName::MainWindow::Speichern1, [this] { saveClicked(); }},
        {ObjectName::MainWindow::Speichernals1, [this] { saveAsClicked(); }},
        {ObjectName::MainWindow::AlleSpeichern1, [this] { saveAllClicked(); }},
        {ObjectName::MainWindow::Schliessen1, [this] { closeClicked(); }},
        {ObjectName::MainWindow::AlleSchliessen1, [this] { closeAllClicked(); }},
        {ObjectName::MainWindow::AufBildgreanpassen1, [this] { fitWindowToImageClicked(); }},
        {ObjectName::MainWindow::Ausschneiden1, [this] { cutClicked(); }},
        {ObjectName::MainWindow::Kopieren1, [this] { copyClicked(); }},
        {ObjectName::MainWindow::Pastetorect1, [this] { pasteIntoSelectionClicked(); }},
        {ObjectName::MainWindow::ZumBearbeitenausschneiden1, [this] { cropForEditingClicked(); }},
        {ObjectName::MainWindow::Schriftartfestlegen1, [this] { chooseFontClicked(); }},
        {ObjectName::MainWindow::Hilfeverwenden1, [] { TApplication::HelpContext(hcUsingHelp); }},
        {ObjectName::MainWindow::berdasProgramm1, [] { TApplication::HelpContext(hcAbout); }},
        {ObjectName::MainWindow::WeitereProgramme1, [] { TApplication::HelpContext(hcOtherPrograms); }},
        {ObjectName::MainWindow::UntersttzteBatchFunktionen1, [] { TApplication::HelpContext(hcBatch); }},
    };
    for (const auto& [name, handler] : items)
        wire(Item(QString::fromLatin1(name)), handler);
    const std::pair<const char*, std::function<void()>> buttons[] = {
        {ObjectName::MainWindow::OpenBtn, [this] { openClicked(); }},
        {ObjectName::MainWindow::SaveBtn, [this] { saveClicked(); }},
        {ObjectName::MainWindow::CutBtn, [this] { cutClicked(); }},
        {ObjectName::MainWindow::CopyBtn, [this] { copyClicked(); }},
        {ObjectName::MainWindow::PasteBtn, [this] { pasteButtonClicked(); }},
    };
    for (const auto& [name, handler] : buttons)
        wireButton(Control<QToolButton>(QString::fromLatin1(name)), handler);
}
