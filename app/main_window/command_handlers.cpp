// Menu and tool-bar handlers that only fill the command record and run it.
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/object_names.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QToolButton>

void Tform1::pasteClicked() { runcode(cmdPaste); }
void Tform1::selectAllAreaClicked() { runcode(cmdSelectAll); }
void Tform1::selectNothingClicked() { runcode(cmdSelectNone); }
// The dialogs mark the image themselves, and only when they close with OK.
void Tform1::editColorsClicked() { runcode(cmdColorDialog); }
void Tform1::effectsClicked() { runcode(cmdEffectsDialog); }
void Tform1::grayscaleClicked() { runcode(cmdGray); }
void Tform1::negativeClicked() { runcode(cmdNegative); }
void Tform1::hsvChannelsClicked() { runcode(cmdHSVChannels); }
void Tform1::countColorsClicked() { runcode(cmdCountColors); }
void Tform1::flipVerticalClicked() { runcode(cmdFlipVertical); }
void Tform1::flipHorizontalClicked() { runcode(cmdFlipHorizontal); }
void Tform1::duplicateClicked() { runcode(cmdDuplicate); }
void Tform1::undoClicked() { runcode(cmdUndo); }
void Tform1::clearWithBackgroundClicked() { runcode(cmdClear); }
void Tform1::histogramClicked() { runcode(cmdHistogram); }
void Tform1::mergeClicked() { runcode(cmdMerge); }
void Tform1::selectScannerClicked() { runcode(cmdSelectScanner); }

// A new catalog starts by asking for its files.
void Tform1::newCatalogClicked()
{
    runcode(cmdNewCatalog);
    if (auto* k = qobject_cast<Tkataform*>(ActiveMDIChild()))
        k->addFilesClicked();
}

void Tform1::rotateClicked(int angle)
{
    automatitem.SetArg(1, angle);
    automatitem.SetArgLowByte(2, 0);
    runcode(cmdRotate);
}

void Tform1::scanClicked()
{
    runcode(cmdScan);
    TApplication::ProcessMessages();
    checkbuttonsenabled(false);
}

void Tform1::wallpaperClicked(bool tiled)
{
    automatitem.SetFileNameLength(tiled ? 1 : 0);
    runcode(cmdWallpaper);
}

void Tform1::reduceColorsClicked(int colors)
{
    automatitem.SetArg(1, colors);
    runcode(cmdReduceColors);
}

void Tform1::wireCommands()
{
    const std::pair<const char*, void (Tform1::*)()> items[] = {
        {ObjectName::MainWindow::Einfgen1, &Tform1::pasteClicked},
        {ObjectName::MainWindow::Allesauswhlen1, &Tform1::selectAllAreaClicked},
        {ObjectName::MainWindow::NichtsAuswhlen1, &Tform1::selectNothingClicked},
        {ObjectName::MainWindow::InGraustufenumwandeln1, &Tform1::grayscaleClicked},
        {ObjectName::MainWindow::Negativ1, &Tform1::negativeClicked},
        {ObjectName::MainWindow::HSVKanle1, &Tform1::hsvChannelsClicked},
        {ObjectName::MainWindow::AnzahlderFarbenzeigen1, &Tform1::countColorsClicked},
        {ObjectName::MainWindow::Vertikalspiegeln1, &Tform1::flipVerticalClicked},
        {ObjectName::MainWindow::Horizontalspiegeln1, &Tform1::flipHorizontalClicked},
        {ObjectName::MainWindow::duplizieren1, &Tform1::duplicateClicked},
        {ObjectName::MainWindow::Rckgngig1, &Tform1::undoClicked},
        {ObjectName::MainWindow::MitHinterrundfarbelschen1, &Tform1::clearWithBackgroundClicked},
        {ObjectName::MainWindow::Farbenbearbeiten1, &Tform1::editColorsClicked},
        {ObjectName::MainWindow::effects1, &Tform1::effectsClicked},
        {ObjectName::MainWindow::Scanne1, &Tform1::scanClicked},
        {ObjectName::MainWindow::Scannerwhlen1, &Tform1::selectScannerClicked},
        {ObjectName::MainWindow::NeuenKatalogerstellen1, &Tform1::newCatalogClicked},
    };
    for (const auto& [name, handler] : items)
        wire(Item(QString::fromLatin1(name)), [this, h = handler] { (this->*h)(); });
    wire(Item(ObjectName::MainWindow::N90imUhrzeigersinndrehen1), [this] { rotateClicked(-90); });
    wire(Item(ObjectName::MainWindow::N90gegenUhrzeigersinndrehen1), [this] { rotateClicked(90); });
    wire(Item(ObjectName::MainWindow::N180drehen1), [this] { rotateClicked(-180); });
    wire(Item(ObjectName::MainWindow::Zentriert1), [this] { wallpaperClicked(false); });
    wire(Item(ObjectName::MainWindow::Kacheln1), [this] { wallpaperClicked(true); });
    wire(Item(ObjectName::MainWindow::I1), [this] { reduceColorsClicked(2); });
    wire(Item(ObjectName::MainWindow::N16Farben1), [this] { reduceColorsClicked(16); });
    wire(Item(ObjectName::MainWindow::N256Farben8BitproPixel1), [this] { reduceColorsClicked(256); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton3), [this] { undoClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton4), [this] { editColorsClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton2), [this] { effectsClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::scanbtn), [this] { scanClicked(); });
    wire(Item(ObjectName::MainWindow::Drucken1), [this] { printClicked(); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::printbtn), [this] { printClicked(); });
    // Video import and the comments: the code alone, the interpreter opens the forms.
    const std::pair<const char*, uint8_t> codeItems[] = {
        {ObjectName::MainWindow::Videobildimportieren1, cmdVideoImport},
        {ObjectName::MainWindow::Kommentaraufnehmen1, cmdRecordComment},
        {ObjectName::MainWindow::Text2, cmdTextComment},
        {ObjectName::MainWindow::Kommentarlschen1, cmdDeleteComment},
        {ObjectName::MainWindow::Kommentarabspielen1, cmdPlayComment},
        {ObjectName::MainWindow::Kommentarimportieren1, cmdImportComment}};
    for (const auto& [name, code] : codeItems)
        wire(Item(QString::fromLatin1(name)), [this, c = code] { runcode(c); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton57), [this] { runcode(cmdVideoImport); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton37), [this] { runcode(cmdRecordComment); });
    wireButton(Control<QToolButton>(ObjectName::MainWindow::SpeedButton35), [this] { runcode(cmdPlayComment); });
    wireFileCommands();
    wireDialogCommands();
    wireSlideShow();
    wireBatch();
    wireDirectCommands();
}
