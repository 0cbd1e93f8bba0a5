#pragma once
// Runs a print command (code 4) on the printer: one copy of the active window.
#include "app/print/print_layout.h"

#include <functional>

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

// The print command: image windows in all three modes, catalog windows as tiles.
// A rectangle that cannot be laid out is refused with a message before anything is
// begun; a failure while drawing aborts the job and is raised again. A progress dialog
// with Cancel (and Esc) shows during long prints; Cancel, or the window closing
// meanwhile, aborts the job. A print does not start while another runs.
void ExecutePrint(TMainWindowServices& form, Tchild* image, const tautomatitem& item);

// Largest number of pages one poster print may take.
constexpr int kMaxPosterPages = 10000;
