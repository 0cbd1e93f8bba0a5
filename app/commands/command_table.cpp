// One entry per command code: its name, what its stored arguments must hold, whether it
// changes the image or needs an image window, and how it runs.
#include "app/commands/command_table.h"

#include "app/commands/command_dialogs.h"
#include "app/commands/interpreter.h"
#include "app/image_window/image_window.h"
#include "app/commands/command_host.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/util/paths.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"

#include <array>

namespace {

static_assert(rfMitchell == 6);

using In = TCommandInterpreter;
using Call = TCommandCall;

TImageKit& kit(const Call& c) { return *c.image->imageKit; }
TImageKitProc& proc(const Call& c) { return *c.image->imageKit->Proc(); }
const tautomatitem& rec(const Call& c) { return c.item; }

// A command that does nothing here: its sender does the work (close), or it has none.
bool nothing(In&, const Call&) { return true; }

bool selectRect(const Call& c)
{
    proc(c).SelectRect(rec(c).Arg(1), rec(c).Arg(2), rec(c).Arg(3), rec(c).Arg(4));
    return true;
}

bool refit(const In& in, const Call& c)
{
    c.image->viewChanged(c.sender, -1);
    in.Host().FitWindowToImage(c.sender, c.image);
    return true;
}

// One row a command, laid out by hand.
// clang-format off
constexpr TArgCheck kImageSize{TArgRule::ImageSize};
constexpr TArgCheck kName{TArgRule::FileName, 0, 0, 0, 0, "Ungültiger Dateiname im Batch-Befehl.",
                          "Invalid file name in batch command."};
constexpr TArgCheck kArea{TArgRule::Range, 1, 4, -kMaxImageSide, kMaxImageSide, "Ungültiger Bereich im Batch-Befehl.",
                          "Invalid area in batch command."};

namespace mw = ObjectName::MainWindow;
using When = TCommandWhen;

// Presets for the items that send one command with different arguments.
void presetRotate(tautomatitem& r, int32_t angle)
{
    r.SetArg(1, angle);
    r.SetArgLowByte(2, 0);
}
void presetArg1(tautomatitem& r, int32_t value) { r.SetArg(1, value); }
void presetTiled(tautomatitem& r, int32_t tiled) { r.SetFileNameLength(tiled); }

constexpr std::array<TCommandEntry, kLastCommandCode + 1> kTable{{
    {.code = cmdNewImage, .name = "new image", .checks = {kImageSize},
     .run = [](In& in, const Call& c) { in.NewImage(c); return true; }},
    {.code = cmdOpen, .name = "open", .checks = {kName},
     // The open command updates the availability itself.
     .run = [](In& in, const Call& c) { in.Open(rec(c).FileName()); return false; }},
    {.code = cmdSave, .name = "save",
     .checks = {kName, {TArgRule::SaveParams, 0, 0, 0, 0, "Ungültiger Speicherparameter im Batch-Befehl: ",
                        "Invalid save parameter in batch command: "}},
     .needsImageWindow = true,
     .run = [](In& in, const Call& c) {
         in.Host().AssignSaveParams(rec(c).SaveParams());
         const QString name = rec(c).FileName();
         QString error;
         // The document writes through a temporary file; a failure keeps the image's
         // name, its edits and the old file, and goes on to whoever asked.
         const TSaveOutcome outcome = c.image->Document().Save(name, &error);
         if (outcome == TSaveOutcome::Failed)
             throw Exception(error);
         if (outcome == TSaveOutcome::Saved)
             c.image->setWindowTitle(name);
         return true;
     }},
    {.code = cmdClose, .name = "close", .run = nothing},
    {.code = cmdPrint, .name = "print",
     // Catalog windows print too, so this does not wait for an image window.
     .run = [](In& in, const Call& c) { in.Dialogs().PrintCopy(c.image, rec(c)); return true; }},
    {.code = cmdScan, .name = "scan", .run = [](In& in, const Call& c) { in.Scan(c); return true; }},
    {.code = cmdSelectScanner, .name = "select scanner",
     .run = [](In& in, const Call&) { in.SelectScanner(); return true; },
     .items = {{mw::Scannerwhlen1, mw::Scanner1, mw::Scanne1, "Sca&nner wählen ...", "&Choose Scanner ..."}}},
    {.code = cmdUndo, .name = "undo", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).Undo(); return true; },
     .items = {{mw::Rckgngig1, mw::Bearbeiten1, nullptr, "&Rückgängig", "&Undo"}},
     .button = {mw::SpeedButton3, mw::PasteBtn, "Rückgängig"}, .when = When::Undo},
    {.code = cmdCutRect, .name = "cut rectangle", .checks = {kArea}, .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { selectRect(c); kit(c).CutToClipboard(); return true; }},
    {.code = cmdCopyRect, .name = "copy rectangle", .checks = {kArea}, .needsImageWindow = true,
     .run = [](In&, const Call& c) { selectRect(c); kit(c).CopyToClipboard(); return true; }},
    {.code = cmdPaste, .name = "paste", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).PasteFromClipboard(); return true; },
     .items = {{mw::Einfgen1, mw::Bearbeiten1, mw::Kopieren1, "&Einfügen", "&Paste"}}, .when = When::ImageWindow},
    {.code = cmdPasteRect, .name = "paste into rectangle", .checks = {kArea}, .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { selectRect(c); kit(c).PasteToSelection(); return true; }},
    {.code = cmdSelectAll, .name = "select all", .needsImageWindow = true,
     .run = [](In&, const Call& c) {
         proc(c).SelectRect(0, 0, kit(c).Bitmap()->Width(), kit(c).Bitmap()->Height());
         return true;
     },
     .items = {{mw::Allesauswhlen1, mw::Bearbeiten1, mw::ZumBearbeitenausschneiden1, "Alles &markieren", "Sele&ct all"}},
     .when = When::ImageWindow},
    {.code = cmdSelectNone, .name = "select none", .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).Deselect(); return true; },
     .items = {{mw::NichtsAuswhlen1, mw::Bearbeiten1, mw::Allesauswhlen1, "&Nichts markieren", "Select &none"}},
     .when = When::ImageWindow},
    // The colour and effects dialogs mark the image only when they close with OK.
    {.code = cmdColorDialog, .name = "colour dialog", .needsImageWindow = true,
     .run = [](In&, const Call& c) {
         if (kit(c).DoProcPreviews(EffectsSetOf(TEffectGroup::Colour)))
             c.image->SetModified(true);
         return true;
     },
     .items = {{mw::Farbenbearbeiten1, mw::Farben1, nullptr, "&Farben bearbeiten ...", "&Process colors ..."}},
     .button = {mw::SpeedButton4, mw::SpeedButton2, "Farben bearbeiten"}, .when = When::ImageWindow},
    {.code = cmdEffectsDialog, .name = "effects dialog", .needsImageWindow = true,
     .run = [](In&, const Call& c) {
         if (kit(c).DoProcPreviews(EffectsSetOf(TEffectGroup::Effects)))
             c.image->SetModified(true);
         return true;
     },
     .items = {{mw::effects1, mw::Farben1, mw::Farbenbearbeiten1, "&Effekte ...", "Effects ..."}},
     .button = {mw::SpeedButton2, mw::zoombox, "Effekte"}, .when = When::ImageWindow},
    {.code = cmdReduceColors, .name = "reduce colours",
     .checks = {{TArgRule::Range, 1, 1, 2, 256, "Ungültige Farbanzahl im Batch-Befehl: ",
                 "Invalid number of colors in batch command: "}},
     .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { proc(c).ReduceColors(rec(c).Arg(1)); return true; },
     .items = {{mw::I1, mw::Farbanzahlndern1, nullptr, "&2 Farben", "&2 colors (Black/White)", 2},
               {mw::N16Farben1, mw::Farbanzahlndern1, mw::I1, "&16 Farben", "&16 colors (4 Bit per Pixel)", 16},
               {mw::N256Farben8BitproPixel1, mw::Farbanzahlndern1, mw::N16Farben1, "25&6 Farben", "25&6 colors (8 Bit per Pixel)", 256}},
     .when = When::ImageWindow, .preset = presetArg1},
    {.code = cmdGray, .name = "greyscale", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).ConvertToGray(); return true; },
     .items = {{mw::InGraustufenumwandeln1, mw::Farben1, mw::Farbanzahlndern1, "&In Graustufen umwandeln", "Convert to Grayscale"}},
     .when = When::ImageWindow},
    {.code = cmdNegative, .name = "negative", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).Negative(); return true; },
     .items = {{mw::Negativ1, mw::Farben1, mw::SchwarzWeissKonvertierung2, "&Negativ", "&Negative"}},
     .when = When::ImageWindow},
    {.code = cmdHistogram, .name = "histogram", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { in.Dialogs().Histogram(c.image); return true; },
     .items = {{mw::Histogramm1, mw::Farben1, mw::Negativ1, "&Histogramm", "Histogram"}}, .when = When::ImageWindow},
    {.code = cmdHSVChannels, .name = "HSV channels", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { in.HsvChannels(c.image); return true; },
     .items = {{mw::HSVKanle1, mw::Farben1, mw::Histogramm1, "HSV-&Kanäle", "HSV-Channels"}}, .when = When::ImageWindow},
    {.code = cmdCountColors, .name = "count colours", .needsImageWindow = true,
     .run = [](In&, const Call& c) {
         const QString n = QString::number(proc(c).CountColors());
         LangShowMessage(QStringLiteral("Das Bild hat ") + n + QStringLiteral(" unterschiedliche Farben."),
                         QStringLiteral("The image has ") + n + QStringLiteral(" different colors."));
         return true;
     },
     .items = {{mw::AnzahlderFarbenzeigen1, mw::Farben1, mw::HSVKanle1, "&Anzahl der Farben zeigen", "Sho&w number of colors"}},
     .when = When::ImageWindow},
    {.code = cmdBackground, .name = "background colour", .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).SetBackground(TColor(rec(c).Arg(1))); return true; }},
    {.code = cmdResizeCanvas, .name = "resize canvas", .checks = {kImageSize}, .changesImage = true,
     .needsImageWindow = true,
     .run = [](In& in, const Call& c) {
         kit(c).ResizeCanvas(rec(c).Arg(1), rec(c).Arg(2));
         return refit(in, c);
     }},
    {.code = cmdResample, .name = "resample",
     .checks = {kImageSize, {TArgRule::LowByte, 3, 3, 0, rfMitchell, "Ungültiger Filter im Batch-Befehl: ",
                             "Invalid filter in batch command: "}},
     .changesImage = true, .needsImageWindow = true,
     .run = [](In& in, const Call& c) {
         kit(c).Resample(rec(c).Arg(1), rec(c).Arg(2), TResampleFilter(rec(c).ArgLowByte(3)));
         return refit(in, c);
     }},
    {.code = cmdRotate, .name = "rotate", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) {
         kit(c).Rotate(rec(c).Arg(1), rec(c).ArgLowByte(2) != 0);
         kit(c).Fit();
         return true;
     },
     .items = {{mw::N90imUhrzeigersinndrehen1, mw::DrehenSpiegeln1, nullptr, "90° im &Uhrzeigersinn drehen", "Rotate -90° (&clockwise)", -90},
               {mw::N90gegenUhrzeigersinndrehen1, mw::DrehenSpiegeln1, mw::N90imUhrzeigersinndrehen1, "90° drehe&n",
                "&Rotate 90°", 90},
               {mw::N180drehen1, mw::DrehenSpiegeln1, mw::N90gegenUhrzeigersinndrehen1, "&180° drehen", "Rot&ate 180°", -180}},
     .when = When::ImageWindow, .preset = presetRotate},
    {.code = cmdFlipVertical, .name = "mirror top to bottom", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).Flip(1); return true; },
     .items = {{mw::Vertikalspiegeln1, mw::DrehenSpiegeln1, mw::Winkeleingeben1, "&Vertikal spiegeln", "Flip &vertical"}},
     .when = When::ImageWindow},
    {.code = cmdFlipHorizontal, .name = "mirror left to right", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).Flip(0); return true; },
     .items = {{mw::Horizontalspiegeln1, mw::DrehenSpiegeln1, mw::Vertikalspiegeln1, "&Horizontal spiegeln", "Flip &horizontal"}},
     .when = When::ImageWindow},
    {.code = cmdMerge, .name = "merge", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { in.Dialogs().Merge(c.image); return true; },
     .items = {{mw::merge1, mw::Bild1, mw::DrehenSpiegeln1, "&Verschmelzen ...", "&Merge ..."}}, .when = When::ImageWindow},
    {.code = cmdDuplicate, .name = "duplicate", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { in.Duplicate(c); return true; },
     .items = {{mw::duplizieren1, mw::Bild1, mw::merge1, "D&uplizieren", "&Duplicate"}}, .when = When::ImageWindow},
    {.code = cmdWallpaper, .name = "wallpaper", .needsImageWindow = true,
     .run = [](In& in, const Call& c) {
         in.Host().ChangeWallpaper(WindowsDirectory() + QStringLiteral("kandrivel.bmp"), rec(c).FileNameLength() != 0);
         return true;
     },
     .items = {{mw::Zentriert1, mw::AlsHintergrund1, nullptr, "&Zentriert", "&Centered", 0},
               {mw::Kacheln1, mw::AlsHintergrund1, mw::Zentriert1, "&Kacheln", "&Tile", 1}},
     .when = When::ImageWindow, .preset = presetTiled},
    {.code = cmdClear, .name = "clear", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { kit(c).Clear(); return true; },
     .items = {{mw::MitHinterrundfarbelschen1, mw::Bild1, mw::duplizieren1, "Mit Hintergrundfarbe &löschen", "&Clear with Background color"}},
     .when = When::ImageWindow},
    {.code = cmdTo24Bit, .name = "to 24 bits", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { proc(c).ConvertTo24Bit(); return true; },
     .items = {{mw::N16MillionenFarben772161, mw::Farbanzahlndern1, mw::N256Farben8BitproPixel1,
                "16 Mil&lionen Farben (24 Bit pro Pixel)", "16 Mi&llion colors (24 Bit per Pixel)"}},
     .when = When::ImageWindow},
    {.code = cmdNewCatalog, .name = "new catalog",
     .run = [](In& in, const Call&) {
         if (QWidget* k = in.Host().NewCatalogWindow())
             k->setWindowTitle(in.Host().UntitledCaption());
         return true;
     }},
    {.code = cmdVideoImport, .name = "video import",
     .run = [](In& in, const Call&) { in.Dialogs().VideoImport(); return true; },
     .items = {{mw::Videobildimportieren1, mw::Datei1, mw::Scanner1, "Videobild importieren ...", "Import from &Video ..."}},
     .button = {mw::SpeedButton57, mw::scanbtn, "Videobild importieren"}},
    {.code = cmdSlideShow, .name = "slide show",
     .run = [](In& in, const Call&) { in.Dialogs().SlideShow(); return true; }},
    {.code = cmdBWThreshold, .name = "black and white by threshold",
     .checks = {{TArgRule::Range, 1, 1, -1, 255, "Ungültiger Schwellwert im Batch-Befehl: ",
                 "Invalid threshold in batch command: "}},
     .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { proc(c).ConvertToBWThreshold(rec(c).Arg(1)); return true; }},
    {.code = cmdBWOrdered, .name = "black and white, ordered dither", .changesImage = true, .needsImageWindow = true,
     .run = [](In&, const Call& c) { proc(c).ConvertToBWOrdered(); return true; }},
    // The comment commands open their forms through the interpreter.
    {.code = cmdRecordComment, .name = "record sound comment", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { return in.Comment(c); },
     .items = {{mw::Kommentaraufnehmen1, mw::Kommentar1, nullptr, "Ton&kommentar aufnehmen", "&Record comment"}},
     .button = {mw::SpeedButton37, mw::SpeedButton35, "Kommentar aufnehmen"}, .when = When::ImageWindow},
    {.code = cmdTextComment, .name = "text comment", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { return in.Comment(c); },
     .items = {{mw::Text2, mw::Kommentar1, mw::Aufnahmeeinstellungen1, "&Textkommentar festlegen", "&Set text comment"}},
     .when = When::ImageWindow},
    {.code = cmdDeleteComment, .name = "delete sound comment", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { return in.Comment(c); },
     .items = {{mw::Kommentarlschen1, mw::Kommentar1, mw::Kommentarabspielen1, "Tonk&ommentar löschen", "&Delete comment"}},
     .when = When::ImageWindow},
    {.code = cmdPlayComment, .name = "play sound comment", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { return in.Comment(c); },
     .items = {{mw::Kommentarabspielen1, mw::Kommentar1, mw::Kommentaraufnehmen1, "Tonkommentar a&bspielen", "&Play comment"}},
     .button = {mw::SpeedButton35, mw::SpeedButton4, "Kommentar abspielen"}, .when = When::ImageWindow},
    {.code = cmdImportComment, .name = "import sound comment", .needsImageWindow = true,
     .run = [](In& in, const Call& c) { return in.Comment(c); },
     .items = {{mw::Kommentarimportieren1, mw::Kommentar1, mw::Kommentarlschen1, "Tonkommentar &importieren ...",
                "&Import comment"}},
     .when = When::ImageWindow},
}};
// clang-format on

constexpr bool inCodeOrder()
{
    for (size_t i = 0; i < kTable.size(); ++i)
        if (kTable[i].code != i)
            return false;
    return true;
}
static_assert(inCodeOrder(), "the command table lists every code once, in code order");

}  // namespace

std::span<const TCommandEntry> CommandTable() { return kTable; }

const TCommandEntry* FindCommand(uint8_t code) { return code < kTable.size() ? &kTable[code] : nullptr; }
