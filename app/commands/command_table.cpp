// One entry per command code: its name, what its stored arguments must hold, whether it
// changes the image or needs an image window, and how it runs.
#include "app/commands/command_table.h"

#include "app/commands/command_dialogs.h"
#include "app/commands/interpreter.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
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
    in.Form().fitWindowToImage(c.sender, c.image);
    return true;
}

// One row a command, laid out by hand.
// clang-format off
constexpr TArgCheck kImageSize{TArgRule::ImageSize};
constexpr TArgCheck kName{TArgRule::FileName, 0, 0, 0, 0, "Ungültiger Dateiname im Batch-Befehl.",
                          "Invalid file name in batch command."};
constexpr TArgCheck kArea{TArgRule::Range, 1, 4, -kMaxImageSide, kMaxImageSide, "Ungültiger Bereich im Batch-Befehl.",
                          "Invalid area in batch command."};

constexpr std::array<TCommandEntry, kLastCommandCode + 1> kTable{{
    {cmdNewImage, "new image", {kImageSize}, false, false, ObjectName::MainWindow::SpeedButton1,
     [](In& in, const Call& c) { in.NewImage(c); return true; }},
    {cmdOpen, "open", {kName}, false, false, nullptr,
     // The open command updates the availability itself.
     [](In& in, const Call& c) { in.Open(rec(c).FileName()); return false; }},
    {cmdSave, "save",
     {kName, {TArgRule::SaveParams, 0, 0, 0, 0, "Ungültiger Speicherparameter im Batch-Befehl: ",
              "Invalid save parameter in batch command: "}},
     false, true, nullptr,
     [](In& in, const Call& c) {
         in.Form().assignparams(rec(c).SaveParams());
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
    {cmdClose, "close", {}, false, false, nullptr, nothing},
    {cmdPrint, "print", {}, false, false, "printbtn",
     // Catalog windows print too, so this does not wait for an image window.
     [](In& in, const Call& c) { in.Dialogs().Print(in.Form(), c.image, rec(c)); return true; }},
    {cmdScan, "scan", {}, false, false, "scanbtn", [](In& in, const Call& c) { in.Scan(c); return true; }},
    {cmdSelectScanner, "select scanner", {}, false, false, nullptr,
     [](In& in, const Call&) { in.SelectScanner(); return true; }},
    {cmdUndo, "undo", {}, true, true, ObjectName::MainWindow::SpeedButton3, [](In&, const Call& c) { kit(c).Undo(); return true; }},
    {cmdCutRect, "cut rectangle", {kArea}, true, true, nullptr,
     [](In&, const Call& c) { selectRect(c); kit(c).CutToClipboard(); return true; }},
    {cmdCopyRect, "copy rectangle", {kArea}, false, true, nullptr,
     [](In&, const Call& c) { selectRect(c); kit(c).CopyToClipboard(); return true; }},
    {cmdPaste, "paste", {}, true, true, nullptr, [](In&, const Call& c) { kit(c).PasteFromClipboard(); return true; }},
    {cmdPasteRect, "paste into rectangle", {kArea}, true, true, nullptr,
     [](In&, const Call& c) { selectRect(c); kit(c).PasteToSelection(); return true; }},
    {cmdSelectAll, "select all", {}, false, true, nullptr,
     [](In&, const Call& c) {
         proc(c).SelectRect(0, 0, kit(c).Bitmap()->Width(), kit(c).Bitmap()->Height());
         return true;
     }},
    {cmdSelectNone, "select none", {}, false, true, nullptr,
     [](In&, const Call& c) { kit(c).Deselect(); return true; }},
    // The colour and effects dialogs mark the image only when they close with OK.
    {cmdColorDialog, "colour dialog", {}, false, true, ObjectName::MainWindow::SpeedButton4,
     [](In&, const Call& c) {
         if (kit(c).DoProcPreviews(EffectsSetOf(TEffectGroup::Colour)))
             c.image->SetModified(true);
         return true;
     }},
    {cmdEffectsDialog, "effects dialog", {}, false, true, ObjectName::MainWindow::SpeedButton2,
     [](In&, const Call& c) {
         if (kit(c).DoProcPreviews(EffectsSetOf(TEffectGroup::Effects)))
             c.image->SetModified(true);
         return true;
     }},
    {cmdReduceColors, "reduce colours",
     {{TArgRule::Range, 1, 1, 2, 256, "Ungültige Farbanzahl im Batch-Befehl: ",
       "Invalid number of colors in batch command: "}},
     true, true, nullptr, [](In&, const Call& c) { proc(c).ReduceColors(rec(c).Arg(1)); return true; }},
    {cmdGray, "greyscale", {}, true, true, nullptr, [](In&, const Call& c) { kit(c).ConvertToGray(); return true; }},
    {cmdNegative, "negative", {}, true, true, nullptr, [](In&, const Call& c) { kit(c).Negative(); return true; }},
    {cmdHistogram, "histogram", {}, false, true, nullptr,
     [](In& in, const Call& c) { in.Dialogs().Histogram(in.Form(), c.image); return true; }},
    {cmdHSVChannels, "HSV channels", {}, false, true, nullptr,
     [](In& in, const Call& c) { in.HsvChannels(c.image); return true; }},
    {cmdCountColors, "count colours", {}, false, true, nullptr,
     [](In&, const Call& c) {
         const QString n = QString::number(proc(c).CountColors());
         LangShowMessage(QStringLiteral("Das Bild hat ") + n + QStringLiteral(" unterschiedliche Farben."),
                         QStringLiteral("The image has ") + n + QStringLiteral(" different colors."));
         return true;
     }},
    {cmdBackground, "background colour", {}, false, true, nullptr,
     [](In&, const Call& c) { kit(c).SetBackground(TColor(rec(c).Arg(1))); return true; }},
    {cmdResizeCanvas, "resize canvas", {kImageSize}, true, true, nullptr,
     [](In& in, const Call& c) {
         kit(c).ResizeCanvas(rec(c).Arg(1), rec(c).Arg(2));
         return refit(in, c);
     }},
    {cmdResample, "resample",
     {kImageSize, {TArgRule::LowByte, 3, 3, 0, rfMitchell, "Ungültiger Filter im Batch-Befehl: ",
                   "Invalid filter in batch command: "}},
     true, true, nullptr,
     [](In& in, const Call& c) {
         kit(c).Resample(rec(c).Arg(1), rec(c).Arg(2), TResampleFilter(rec(c).ArgLowByte(3)));
         return refit(in, c);
     }},
    {cmdRotate, "rotate", {}, true, true, nullptr,
     [](In&, const Call& c) {
         kit(c).Rotate(rec(c).Arg(1), rec(c).ArgLowByte(2) != 0);
         kit(c).Fit();
         return true;
     }},
    {cmdFlipVertical, "mirror top to bottom", {}, true, true, nullptr,
     [](In&, const Call& c) { kit(c).Flip(1); return true; }},
    {cmdFlipHorizontal, "mirror left to right", {}, true, true, nullptr,
     [](In&, const Call& c) { kit(c).Flip(0); return true; }},
    {cmdMerge, "merge", {}, false, true, nullptr,
     [](In& in, const Call& c) { in.Dialogs().Merge(in.Form(), c.image); return true; }},
    {cmdDuplicate, "duplicate", {}, false, true, nullptr, [](In& in, const Call& c) { in.Duplicate(c); return true; }},
    {cmdWallpaper, "wallpaper", {}, false, true, nullptr,
     [](In& in, const Call& c) {
         in.Form().changeWallpaper(WindowsDirectory() + QStringLiteral("kandrivel.bmp"), rec(c).FileNameLength() != 0);
         return true;
     }},
    {cmdClear, "clear", {}, true, true, nullptr, [](In&, const Call& c) { kit(c).Clear(); return true; }},
    {cmdTo24Bit, "to 24 bits", {}, true, true, nullptr,
     [](In&, const Call& c) { proc(c).ConvertTo24Bit(); return true; }},
    {cmdNewCatalog, "new catalog", {}, false, false, nullptr,
     [](In& in, const Call&) {
         if (QWidget* k = in.Form().newCatalogWindow())
             k->setWindowTitle(in.Form().UntitledCaption());
         return true;
     }},
    {cmdVideoImport, "video import", {}, false, false, ObjectName::MainWindow::SpeedButton57,
     [](In& in, const Call&) { in.Dialogs().VideoImport(in.Form()); return true; }},
    {cmdSlideShow, "slide show", {}, false, false, nullptr,
     [](In& in, const Call&) { in.Dialogs().SlideShow(in.Form()); return true; }},
    {cmdBWThreshold, "black and white by threshold",
     {{TArgRule::Range, 1, 1, -1, 255, "Ungültiger Schwellwert im Batch-Befehl: ",
       "Invalid threshold in batch command: "}},
     true, true, nullptr, [](In&, const Call& c) { proc(c).ConvertToBWThreshold(rec(c).Arg(1)); return true; }},
    {cmdBWOrdered, "black and white, ordered dither", {}, true, true, nullptr,
     [](In&, const Call& c) { proc(c).ConvertToBWOrdered(); return true; }},
    {cmdRecordComment, "record sound comment", {}, false, true, ObjectName::MainWindow::SpeedButton37,
     [](In& in, const Call& c) { return in.Comment(c); }},
    {cmdTextComment, "text comment", {}, false, true, nullptr, [](In& in, const Call& c) { return in.Comment(c); }},
    {cmdDeleteComment, "delete sound comment", {}, false, true, nullptr,
     [](In& in, const Call& c) { return in.Comment(c); }},
    {cmdPlayComment, "play sound comment", {}, false, true, ObjectName::MainWindow::SpeedButton35,
     [](In& in, const Call& c) { return in.Comment(c); }},
    {cmdImportComment, "import sound comment", {}, false, true, nullptr,
     [](In& in, const Call& c) { return in.Comment(c); }},
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
