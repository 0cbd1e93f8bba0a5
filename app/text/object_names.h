// The objectName of every control that translation and tests look up, one constant per
// name: members carry English names, while the objects keep the names the translation
// tables and stored layouts know. Each list is an X-macro, so that tests can walk it.
#pragma once

// the main window: menus, tool bars, drawing bar, status line
// Generated lists, kept as written.
// clang-format off
#define OBJECT_NAMES_MAINWINDOW(X) \
    X(Abspielen1) X(AlleBilderneuladen1) X(AlleSchliessen1) X(AlleSpeichern1) X(Allemarkieren1) \
    X(Allesauswhlen1) X(AlsHintergrund1) X(Ansicht1) X(AnzahlderFarbenzeigen1) X(AufBildgreanpassen1) \
    X(AufVerzeichnisanwenden1) X(AufaktuellesBildanwenden1) X(AufallegeladenenBilderanwenden1) \
    X(Aufnahmeeinstellungen1) X(Aufnahmestoppen1) X(Ausschneiden1) X(Batch1) X(Batch2) X(Bearbeiten1) \
    X(Beenden1) X(Bereichauswhlen1) X(Bild1) X(Bildereinscannen1) X(Bilderneuladen1) X(Bilderneuladen2) \
    X(ClientArea) X(CopyBtn) X(CutBtn) X(Datei1) X(Dateientfernen1) X(Dateihinzufgen1) X(Diashow1) \
    X(DiashowdirektvomKatalog1) X(DrehenSpiegeln1) X(Drucken1) X(Edit1) X(Einfgen1) X(Erneutladen1) \
    X(Farbanzahlndern1) X(Farbebernehmen1) X(Farben1) X(Farbenbearbeiten1) X(Farbenreduzieren1) \
    X(Fenster1) X(Fenstergre1) X(Fllart1) X(Fllen1) X(Fllen2) X(Fllfarbe1) X(FontComboBox1) \
    X(Greangeben1) X(HSVKanle1) X(Hand1) X(HelpKey) X(Hilfe1) X(Hilfethemen1) X(Hilfeverwenden1) \
    X(Hintergrundfarbesetzen1) X(Histogramm1) X(Horizontalspiegeln1) X(I1) X(Image2) \
    X(InGraustufenumwandeln1) X(Kacheln1) X(Katalog1) X(Katalogschliessen1) X(Katalogspeichern1) \
    X(Katalogspeichernals1) X(Kommentar1) X(Kommentarabspielen1) X(Kommentaraufnehmen1) \
    X(Kommentarimportieren1) X(Kommentarlschen1) X(Kopieren1) X(Kreis1) X(Kreisauswahl1) X(Lineal1) \
    X(Linie1) X(Linie2) X(Linienart1) X(Linienbreite1) X(Malfarbe1) X(Mauszeiger1) \
    X(MitHinterrundfarbelschen1) X(N101) X(N251) X(N501) X(N751) X(N1001) X(N2001) X(N3001) X(N5001) \
    X(N16Farben1) X(N16MillionenFarben772161) X(N180drehen1) X(N256Farben8BitproPixel1) \
    X(N90gegenUhrzeigersinndrehen1) X(N90imUhrzeigersinndrehen1) X(Nebeneinander1) X(Negativ1) X(Neu1) \
    X(Neuaufnehmen1) X(NeuenKatalogerstellen1) X(NichtsAuswhlen1) X(OpenBtn) X(Optionen1) X(Optionen2) \
    X(Panel5) X(Panel6) X(PasteBtn) X(Pastetorect1) X(PenButton) X(Pinselart1) X(Polygonauswahl1) \
    X(ProgressBar1) X(REsize1) X(Rckgngig1) X(RckgngigPufferlschen1) X(Rechteck1) X(Resample1) \
    X(RoteAugenentfernen1) X(RundesRechteck1) X(SaveBtn) X(Scanne1) X(Scanner1) X(Scannerwhlen1) \
    X(Schliessen1) X(Schriftartfestlegen1) X(SchwarzWeissKonvertierung2) X(SpeedButton1) X(SpeedButton2) \
    X(SpeedButton3) X(SpeedButton4) X(SpeedButton5) X(SpeedButton6) X(SpeedButton7) X(SpeedButton8) \
    X(SpeedButton9) X(SpeedButton11) X(SpeedButton13) X(SpeedButton31) X(SpeedButton32) X(SpeedButton33) \
    X(SpeedButton34) X(SpeedButton35) X(SpeedButton36) X(SpeedButton37) X(SpeedButton38) \
    X(SpeedButton55) X(SpeedButton56) X(SpeedButton57) X(SpeedButton58) X(SpeedButton63) \
    X(SpeedButton64) X(SpeedButton65) X(Speichern1) X(Speichernals1) X(Standardleiste1) X(Statusleiste1) \
    X(Stift1) X(Text1) X(Text2) X(Textinhaltfestlegen1) X(ToolBar1) X(ToolBar2) X(Untereinander1) \
    X(UntersttzteBatchFunktionen1) X(Vertikalspiegeln1) X(Videobildimportieren1) X(WeitereProgramme1) \
    X(Willkommen1) X(Winkeleingeben1) X(Zeichenen1) X(Zeichenleiste1) X(Zeichnen1) X(Zentriert1) \
    X(Zoom1) X(Zoomen1) X(ZumBearbeitenausschneiden1) X(autobox) X(berdasProgramm1) X(bereinander1) \
    X(clearpen) X(duplizieren1) X(effects1) X(ffnen1) X(ffnen2) X(fillbutton) X(merge1) \
    X(mitBildkopiemalen1) X(nichtexistierendeBilderentfernen1) X(pinselartn) X(printbtn) X(scanbtn) \
    X(speedbutton30) X(spinedit1) X(zoombox)

// an image window
#define OBJECT_NAMES_IMAGEWINDOW(X) \
    X(ImageKit1) X(RulerBox1) X(RulerBox2) X(StatusBar1)

// the drawing-style picker
#define OBJECT_NAMES_DRAWINGSTYLEPICKER(X) \
    X(Image9) X(Label1) X(Label2) X(Label3) X(Label4) X(OpenBtn) X(Panel1) X(Panel2) X(Panel3)

// the catalog window
#define OBJECT_NAMES_CATALOGWINDOW(X) \
    X(Button1) X(Button2) X(Button3) X(Button4) X(Button5) X(Button6) X(Button7) X(Button8) X(Button9) \
    X(Button10) X(Button11) X(DrawGrid1) X(Panel1) X(ScrollBox1) X(ie)

// the options dialog
#define OBJECT_NAMES_OPTIONSDIALOG(X) \
    X(Button1) X(Button2) X(Button3) X(Button4) X(Button5) X(Button9) X(CheckBox1) X(CheckBox2) \
    X(CheckBox3) X(CheckBox4) X(CheckBox5) X(CheckBox6) X(CheckBox7) X(CheckBox8) X(CheckBox9) \
    X(ComboBox1) X(ComboBox4) X(KitSpinEdit1) X(KitSpinEdit2) X(KitSpinEdit3) X(KitSpinEdit4) X(Label1) \
    X(Label2) X(Label3) X(Label4) X(Label5) X(Label6) X(Label7) X(Label8) X(PageControl1) X(Panel1) \
    X(TabSheet1) X(TabSheet2) X(TabSheet3)

// the slide-show options dialog
#define OBJECT_NAMES_SLIDEOPTIONSDIALOG(X) \
    X(Button1) X(Button2) X(Button3) X(Button4) X(Button5) X(Button6) X(Button7) X(Button8) X(Button9) \
    X(CheckBox1) X(CheckBox2) X(CheckBox3) X(CheckBox4) X(CheckBox5) X(CheckBox6) X(CheckBox16) \
    X(ComboBox4) X(DirectoryEdit1) X(FilenameEdit1) X(GroupBox1) X(GroupBox2) X(GroupBox3) X(GroupBox4) \
    X(GroupBox5) X(GroupBox6) X(GroupBox7) X(GroupBox8) X(KitCalcEdit1) X(KitCalcEdit2) X(KitCalcEdit3) \
    X(Label1) X(Label2) X(Label3) X(Label7) X(Label14) X(ListBox1) X(PageControl1) X(RadioButton1) \
    X(RadioButton2) X(RadioButton3) X(RadioButton4) X(RadioButton5) X(RadioButton6) X(RadioButton7) \
    X(RadioButton8) X(RadioButton9) X(RadioButton10) X(RadioButton11) X(RadioButton12) X(RadioButton13) \
    X(RadioButton14) X(RadioButton15) X(RadioGroup1) X(RadioGroup3) X(SpinButton1) X(SpinEdit1) \
    X(TabSheet1) X(TabSheet2) X(TabSheet3)

// the slide-show player
#define OBJECT_NAMES_SLIDEPLAYER(X) \
    X(ImageKit1)

// the black-and-white dialog
#define OBJECT_NAMES_BLACKWHITEDIALOG(X) \
    X(Button3) X(Button9) X(CheckBox1) X(Grenzwert) X(GroupBox2) X(KitSlider1) X(KitSpinEdit1) X(Label1) \
    X(Label2) X(geordnet)

// the colour-reduction dialog
#define OBJECT_NAMES_COLORREDUCEDIALOG(X) \
    X(Button3) X(GroupBox2) X(KitSlider1) X(KitSpinEdit1) X(Label1) X(Label2)

// the colour selection dialog
#define OBJECT_NAMES_COLORSELECTDIALOG(X) \
    X(Button1) X(Button2) X(ColorComboBox1) X(Edit1) X(Edit2) X(Edit3) X(Edit4) X(Edit5) X(Edit6) \
    X(HSVBox1) X(Label1) X(Label8) X(Panel2)

// the histogram dialog
#define OBJECT_NAMES_HISTOGRAMDIALOG(X) \
    X(Button1) X(Button9) X(ComboBox1) X(ComboBox2) X(HistogramBox1) X(Label1) X(Label2)

// the merge dialog
#define OBJECT_NAMES_MERGEDIALOG(X) \
    X(Button1) X(Button2) X(Button4) X(Button5) X(ImageKit1) X(Label1) X(Label2) X(ListBox1) \
    X(SpeedButton1) X(TrackBar1)

// the new-image and resize dialog
#define OBJECT_NAMES_NEWIMAGEDIALOG(X) \
    X(Button1) X(Button2) X(Button3) X(CheckBox1) X(ComboBox1) X(ComboBox2) X(ComboBox3) X(ComboBox4) \
    X(GroupBox1) X(KitCalcEdit1) X(KitCalcEdit2) X(KitCalcEdit3) X(Label1) X(Label2) X(Label3) X(Label4) \
    X(Label5) X(Label6) X(RadioGroup1) X(RadioGroup2)

// what the preview dialogs share (black and white, colour reduction, rotation)
#define OBJECT_NAMES_PREVIEWPAIR(X) \
    X(Button1) X(Button2) X(Button4) X(ImageKit1) X(ImageKit2) X(SpeedButton1)

// the rotation dialog
#define OBJECT_NAMES_ROTATEDIALOG(X) \
    X(Button5) X(Button9) X(CheckBox1) X(GroupBox1) X(KitSlider1) X(KitSpinEdit1) X(Label1) X(Label3) \
    X(Label4)

// the welcome window
#define OBJECT_NAMES_WELCOMEWINDOW(X) \
    X(Button9) X(Button10) X(CheckBox1) X(Label1) X(Label2)

// the sound comment recorder
#define OBJECT_NAMES_SOUNDCOMMENTDIALOG(X) \
    X(Button1) X(Label1) X(Label2)

// the video import dialog
#define OBJECT_NAMES_VIDEOIMPORTDIALOG(X) \
    X(Button1) X(Button2) X(Button3) X(Button4) X(Button5) X(Button6) X(CheckBox1) X(ComboBox1) \
    X(GroupBox1) X(GroupBox2) X(ImageKitVideoView2) X(Label1) X(Label5) X(Label6) X(SpeedButton1) \
    X(SpeedButton2)

// the batch dialog
#define OBJECT_NAMES_BATCHDIALOG(X) \
    X(CheckBox1) X(CheckBox2) X(ComboBox1) X(ComboBox2) X(DirectoryEdit2) X(Edit1) X(FileListBox1) \
    X(GroupBox1) X(KitSpinEdit1) X(Label1) X(Label2) X(Label3) X(RadioButton1) X(RadioButton2) \
    X(RadioButton3) X(Schnelllader)

// the batch source dialog
#define OBJECT_NAMES_BATCHSOURCEDIALOG(X) \
    X(CheckBox6) X(DirectoryEdit1) X(GroupBox2) X(GroupBox6) X(GroupBox7) X(GroupBox8) X(Label1) \
    X(Label2) X(ListBox1) X(RadioGroup1)

// the print dialog
#define OBJECT_NAMES_PRINTDIALOG(X) \
    X(Button1) X(Button2) X(Button3) X(Button4) X(Button5) X(CheckBox1) X(CheckBox2) X(CheckBox3) \
    X(CheckBox4) X(CheckBox5) X(CheckBox6) X(CheckBox7) X(ComboBox1) X(ComboBox2) X(ComboBox3) \
    X(ComboBox4) X(ComboBox5) X(ComboBox6) X(ComboBox7) X(GroupBox2) X(ImageKit1) X(KitCalcEdit1) \
    X(KitCalcEdit2) X(KitCalcEdit3) X(KitCalcEdit4) X(Label1) X(Label2) X(Label3) X(Label4) X(Label5) \
    X(Label6) X(Label7) X(Label8) X(Label9) X(Label10) X(Label11) X(Label12) X(Label13) X(Label14) \
    X(Label15) X(Label16) X(Label17) X(Label18) X(PageControl1) X(ProgressBar1) X(RadioGroup1) \
    X(SpeedButton1) X(SpinEdit1) X(SpinEdit2) X(SpinEdit3) X(SpinEdit4) X(TabSheet1) X(TabSheet2) \
    X(TabSheet3)

// progress windows that exist only while a batch or a print job runs
#define OBJECT_NAMES_PROGRESSDIALOGS(X) \
    X(BatchProgress) X(PrintProgress)
// clang-format on

#define OBJECT_NAME_CONSTANT(name) inline constexpr char name[] = #name;

namespace ObjectName {
namespace MainWindow {
inline constexpr char Form[] = "form1";  // the window itself
OBJECT_NAMES_MAINWINDOW(OBJECT_NAME_CONSTANT)
}  // namespace MainWindow
namespace ImageWindow {
inline constexpr char Form[] = "child";  // the window itself
OBJECT_NAMES_IMAGEWINDOW(OBJECT_NAME_CONSTANT)
}  // namespace ImageWindow
namespace DrawingStylePicker {
inline constexpr char Form[] = "zeichenform";  // the window itself
OBJECT_NAMES_DRAWINGSTYLEPICKER(OBJECT_NAME_CONSTANT)
}  // namespace DrawingStylePicker
namespace CatalogWindow {
inline constexpr char Form[] = "kataform";  // the window itself
OBJECT_NAMES_CATALOGWINDOW(OBJECT_NAME_CONSTANT)
}  // namespace CatalogWindow
namespace OptionsDialog {
inline constexpr char Form[] = "optionform";  // the window itself
OBJECT_NAMES_OPTIONSDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace OptionsDialog
namespace SlideOptionsDialog {
inline constexpr char Form[] = "slideform";  // the window itself
OBJECT_NAMES_SLIDEOPTIONSDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace SlideOptionsDialog
namespace SlidePlayer {
inline constexpr char Form[] = "doslide";  // the window itself
OBJECT_NAMES_SLIDEPLAYER(OBJECT_NAME_CONSTANT)
}  // namespace SlidePlayer
namespace BlackWhiteDialog {
inline constexpr char Form[] = "blackwhiteform";  // the window itself
OBJECT_NAMES_BLACKWHITEDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace BlackWhiteDialog
namespace ColorReduceDialog {
inline constexpr char Form[] = "farbredform";  // the window itself
OBJECT_NAMES_COLORREDUCEDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace ColorReduceDialog
namespace ColorSelectDialog {
inline constexpr char Form[] = "fcolorsel";  // the window itself
OBJECT_NAMES_COLORSELECTDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace ColorSelectDialog
namespace HistogramDialog {
inline constexpr char Form[] = "fhistogram";  // the window itself
OBJECT_NAMES_HISTOGRAMDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace HistogramDialog
namespace MergeDialog {
inline constexpr char Form[] = "fmergedialog";  // the window itself
OBJECT_NAMES_MERGEDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace MergeDialog
namespace NewImageDialog {
inline constexpr char Form[] = "neugrafik";  // the window itself
OBJECT_NAMES_NEWIMAGEDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace NewImageDialog
namespace PreviewPair {
OBJECT_NAMES_PREVIEWPAIR(OBJECT_NAME_CONSTANT)
}  // namespace PreviewPair
namespace RotateDialog {
inline constexpr char Form[] = "frotate";  // the window itself
OBJECT_NAMES_ROTATEDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace RotateDialog
namespace WelcomeWindow {
inline constexpr char Form[] = "infoform";  // the window itself
OBJECT_NAMES_WELCOMEWINDOW(OBJECT_NAME_CONSTANT)
}  // namespace WelcomeWindow
namespace SoundCommentDialog {
inline constexpr char Form[] = "komform";  // the window itself
OBJECT_NAMES_SOUNDCOMMENTDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace SoundCommentDialog
namespace VideoImportDialog {
inline constexpr char Form[] = "videoform";  // the window itself
OBJECT_NAMES_VIDEOIMPORTDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace VideoImportDialog
namespace BatchDialog {
inline constexpr char Form[] = "autoform";  // the window itself
OBJECT_NAMES_BATCHDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace BatchDialog
namespace BatchSourceDialog {
inline constexpr char Form[] = "aufverzform";  // the window itself
OBJECT_NAMES_BATCHSOURCEDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace BatchSourceDialog
namespace PrintDialog {
inline constexpr char Form[] = "printform";  // the window itself
OBJECT_NAMES_PRINTDIALOG(OBJECT_NAME_CONSTANT)
}  // namespace PrintDialog
namespace ProgressDialogs {
OBJECT_NAMES_PROGRESSDIALOGS(OBJECT_NAME_CONSTANT)
}  // namespace ProgressDialogs
}  // namespace ObjectName

#undef OBJECT_NAME_CONSTANT
