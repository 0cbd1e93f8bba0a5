// Menu and tool-bar handlers that only fill the command record and run it.
#include "app/catalog/catalog_window.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QToolButton>

namespace {

void markActive(Tform1& f)
{
    if (Tchild* c = Tform1::getchild(f.ActiveMDIChild()))
        c->Modified = true;
}

} // namespace

void Tform1::Einfgen1Click() { markActive(*this); runcode(cmdPaste); }
void Tform1::Allesauswhlen1Click() { runcode(cmdSelectAll); }
void Tform1::NichtsAuswhlen1Click() { runcode(cmdSelectNone); }
// The dialogs mark the image themselves, and only when they close with OK.
void Tform1::Farbenbearbeiten1Click() { runcode(cmdColorDialog); }
void Tform1::effects1Click() { runcode(cmdEffectsDialog); }
void Tform1::InGraustufenumwandeln1Click() { markActive(*this); runcode(cmdGray); }
void Tform1::Negativ1Click() { markActive(*this); runcode(cmdNegative); }
void Tform1::HSVKanle1Click() { runcode(cmdHSVChannels); }
void Tform1::AnzahlderFarbenzeigen1Click() { runcode(cmdCountColors); }
void Tform1::Vertikalspiegeln1Click() { markActive(*this); runcode(cmdFlipVertical); }
void Tform1::Horizontalspiegeln1Click() { markActive(*this); runcode(cmdFlipHorizontal); }
void Tform1::duplizieren1Click() { runcode(cmdDuplicate); }
void Tform1::Rckgngig1Click() { runcode(cmdUndo); }
void Tform1::MitHinterrundfarbelschen1Click() { markActive(*this); runcode(cmdClear); }
void Tform1::Histogramm1Click() { runcode(cmdHistogram); }
void Tform1::merge1Click() { runcode(cmdMerge); }
void Tform1::Scannerwhlen1Click() { runcode(cmdSelectScanner); }

// A new catalog starts by asking for its files.
void Tform1::NeuenKatalogerstellen1Click()
{
    runcode(cmdNewCatalog);
    if (auto* k = qobject_cast<Tkataform*>(ActiveMDIChild()))
        k->addFilesClicked();
}

void Tform1::RotateClick(int angle)
{
    automatitem.SetArg(1, angle);
    automatitem.SetArgLowByte(2, 0);
    runcode(cmdRotate);
}

void Tform1::Scanne1Click()
{
    runcode(cmdScan);
    TApplication::ProcessMessages();
    checkbuttonsenabled(false);
}

void Tform1::WallpaperClick(bool tiled)
{
    automatitem.SetFileNameLength(tiled ? 1 : 0);
    runcode(cmdWallpaper);
}

void Tform1::ReduceColorsClick(int colors)
{
    automatitem.SetArg(1, colors);
    runcode(cmdReduceColors);
}

void Tform1::wireCommands()
{
    const std::pair<const char*, void (Tform1::*)()> items[] = {
        {"Einfgen1", &Tform1::Einfgen1Click},
        {"Allesauswhlen1", &Tform1::Allesauswhlen1Click},
        {"NichtsAuswhlen1", &Tform1::NichtsAuswhlen1Click},
        {"InGraustufenumwandeln1", &Tform1::InGraustufenumwandeln1Click},
        {"Negativ1", &Tform1::Negativ1Click},
        {"HSVKanle1", &Tform1::HSVKanle1Click},
        {"AnzahlderFarbenzeigen1", &Tform1::AnzahlderFarbenzeigen1Click},
        {"Vertikalspiegeln1", &Tform1::Vertikalspiegeln1Click},
        {"Horizontalspiegeln1", &Tform1::Horizontalspiegeln1Click},
        {"duplizieren1", &Tform1::duplizieren1Click},
        {"Rckgngig1", &Tform1::Rckgngig1Click},
        {"MitHinterrundfarbelschen1", &Tform1::MitHinterrundfarbelschen1Click},
        {"Farbenbearbeiten1", &Tform1::Farbenbearbeiten1Click},
        {"effects1", &Tform1::effects1Click},
        {"Scanne1", &Tform1::Scanne1Click},
        {"Scannerwhlen1", &Tform1::Scannerwhlen1Click},
        {"NeuenKatalogerstellen1", &Tform1::NeuenKatalogerstellen1Click},
    };
    for (const auto& [name, handler] : items)
        wire(Item(QString::fromLatin1(name)), [this, h = handler] { (this->*h)(); });
    wire(Item("N90imUhrzeigersinndrehen1"), [this] { RotateClick(-90); });
    wire(Item("N90gegenUhrzeigersinndrehen1"), [this] { RotateClick(90); });
    wire(Item("N180drehen1"), [this] { RotateClick(-180); });
    wire(Item("Zentriert1"), [this] { WallpaperClick(false); });
    wire(Item("Kacheln1"), [this] { WallpaperClick(true); });
    wire(Item("I1"), [this] { ReduceColorsClick(2); });
    wire(Item("N16Farben1"), [this] { ReduceColorsClick(16); });
    wire(Item("N256Farben8BitproPixel1"), [this] { ReduceColorsClick(256); });
    wireButton(Control<QToolButton>("SpeedButton3"), [this] { Rckgngig1Click(); });
    wireButton(Control<QToolButton>("SpeedButton4"), [this] { Farbenbearbeiten1Click(); });
    wireButton(Control<QToolButton>("SpeedButton2"), [this] { effects1Click(); });
    wireButton(Control<QToolButton>("scanbtn"), [this] { Scanne1Click(); });
    wire(Item("Drucken1"), [this] { Drucken2Click(); });
    wireButton(Control<QToolButton>("printbtn"), [this] { Drucken2Click(); });
    // Video import and the comments: the code alone, the forms come through the seams.
    const std::pair<const char*, uint8_t> codeItems[] = {{"Videobildimportieren1", cmdVideoImport},
                                                         {"Kommentaraufnehmen1", cmdRecordComment},
                                                         {"Text2", cmdTextComment},
                                                         {"Kommentarlschen1", cmdDeleteComment},
                                                         {"Kommentarabspielen1", cmdPlayComment},
                                                         {"Kommentarimportieren1", cmdImportComment}};
    for (const auto& [name, code] : codeItems)
        wire(Item(QString::fromLatin1(name)), [this, c = code] { runcode(c); });
    wireButton(Control<QToolButton>("SpeedButton57"), [this] { runcode(cmdVideoImport); });
    wireButton(Control<QToolButton>("SpeedButton37"), [this] { runcode(cmdRecordComment); });
    wireButton(Control<QToolButton>("SpeedButton35"), [this] { runcode(cmdPlayComment); });
    wireFileCommands();
    wireDialogCommands();
    wireSlideShow();
    wireBatch();
    wireDirectCommands();
}
