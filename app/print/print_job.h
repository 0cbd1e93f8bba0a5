// Runs a print command (code 4) on the printer: one copy of the active window.
#pragma once
#include "app/print/print_layout.h"

#include <QString>
#include <functional>
#include <vector>

class QPainter;
class TBitmap;
class TCanvas;
class TMainWindowServices;
class Tchild;
class tautomatitem;

// Stretches a part of the bitmap (the whole when source is empty) into dest. 1-bit and
// palette images are not smoothed, so that their pixels stay sharp on paper.
void DrawPicture(QPainter& painter, const TRect& dest, const TBitmap& bitmap, const TRect& source);

// What a page plan refers to: the image, the catalog cells and the information lines.
struct TPageSources {
    const TBitmap* Image = nullptr;
    std::function<void(TCanvas&, const TRect&, int index)> DrawCell;
    std::function<void(TCanvas&, int x, int y)> DrawInfo;
};
// step, when given, runs after each picture and cell; false from it stops the page (the
// result is then false).
bool RenderPage(QPainter& painter, TCanvas& canvas, const TPagePlan& page, const TPageSources& sources,
                const std::function<bool()>& step = {});

// A print command's request: its arguments, the printer's page and the window's source
// (image, or the number of catalog entries when image is nullptr).
TPrintRequest MakePrintRequest(int mode, int L, int T, int W, int H, const TBitmap* image, int catalogEntries,
                               bool cutLines);

// Whether a request may print, with the pages planned. A rectangle that cannot be laid
// out, a grid or poster beyond the limits, and a print that would place nothing on any
// page (a tile wider than the page, an image outside it) are refused with a message in
// both languages.
struct TPrintCheck {
    QString German, English;
    std::vector<TPagePlan> Pages;
    bool Ok() const { return German.isEmpty(); }
};
TPrintCheck CheckPrint(const TPrintRequest& r);

// How a print command ended; NotRun when it was refused or did not start.
enum class TPrintOutcome { NotRun, Printed, Cancelled, Failed };
struct TPrintResult {
    TPrintOutcome Outcome = TPrintOutcome::NotRun;
    // PDF output: the first and last file finished (empty when none was).
    QString FirstPdf, LastPdf;
};
// The last print command's result; it is forgotten as it is taken.
TPrintResult TakePrintResult();
// Tells in the status line how a print request of copiesAsked copies ended, with the
// files written when the printer is a file.
void ReportPrint(TMainWindowServices& form, TPrintOutcome outcome, int copiesDone, int copiesAsked,
                 const QString& firstPdf, const QString& lastPdf);

// The print command: image windows in all three modes, catalog windows as tiles.
// A rectangle that cannot be laid out is refused with a message before anything is
// begun; a failure while drawing aborts the job and is raised again. A progress dialog
// with Cancel (and Esc) shows during long prints; Cancel, or the window closing
// meanwhile, aborts the job. A print does not start while another runs.
void ExecutePrint(TMainWindowServices& form, Tchild* image, const tautomatitem& item);

// Largest number of pages one poster print may take.
constexpr int kMaxPosterPages = 10000;
