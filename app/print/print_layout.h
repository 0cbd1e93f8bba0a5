// Where the pieces of a print go, in printer pixels of the printable area. Pure
// arithmetic, shared by the print itself and the dialog's preview.
#pragma once
#include "platform/core/geometry.h"

#include <cstdint>
#include <vector>

// One cut line: drawn from From towards To (To itself left out, like LineTo).
struct TCutSegment {
    TPoint From;
    TPoint To;
    bool operator==(const TCutSegment&) const = default;
};

// The short lines in the margins that extend the edges of the printed rectangle
// (X, Y, Wd, Ht); in tiles mode each margin reaches only Lm or Tm towards the
// neighbour. resX and resY are the printer's pixels per inch.
std::vector<TCutSegment> CutLineSegments(bool tiles, int X, int Y, int Wd, int Ht, int Lm, int Tm, int pageWidth,
                                         int pageHeight, int resX, int resY);

// The tiles of one page, row by row. The pitch is L + W + 1 across and T + H + 1 down,
// so the margins repeat between tiles. Empty when nothing fits (or the pitch is not
// positive).
struct TTileCell {
    TRect Rect;
    bool Info = false;  // the information lines go below this tile
};
std::vector<TTileCell> TileCells(int L, int T, int W, int H, int pageWidth, int pageHeight);
// Tiles on one page, counted without laying them out (a pitch that is not positive
// gives 0). Prints and previews refuse grids of more than kMaxTilesPerPage.
int64_t TileCount(int L, int T, int W, int H, int pageWidth, int pageHeight);
constexpr int kMaxTilesPerPage = 10000;
// Columns and rows of the grid as the dialog counts them.
int TileColumns(double L, double W, int pageWidth);
int TileRows(double T, double H, int pageHeight);

// The pages of a poster, column by column: where each page's part goes on the page
// and which part of the image it shows.
struct TPosterPage {
    int Col = 0;
    int Row = 0;
    TRect Dest;
    TRect Source;
    bool Info = false;  // first column, last row
};
// Pages across and down before blank leading pages are dropped.
int PosterPagesAcross(int64_t L, int64_t W, int pageWidth);
int PosterPagesDown(int64_t T, int64_t H, int pageHeight);
// W and H must be positive; the page sizes too.
std::vector<TPosterPage> PosterPages(int L, int T, int W, int H, int pageWidth, int pageHeight, int imageWidth,
                                     int imageHeight);

// Checks a print command's rectangle before anything is begun: an empty result lets it
// run. The poster divides by W and H, and the tile loops advance by L + W + 1 and
// T + H + 1; anything that would divide by zero or never advance is refused.
bool PrintRectangleValid(int L, int T, int W, int H);

// Everything one page of a print shows, in printer pixels.
struct TPagePlan {
    struct Picture {
        TRect Dest;
        TRect Source;  // image pixels; the whole image when empty
    };
    std::vector<Picture> Pictures;  // image windows
    struct Cell {
        TRect Rect;
        int Index = 0;  // catalog entry
    };
    std::vector<Cell> Cells;  // catalog windows
    std::vector<TCutSegment> Cuts;
    bool Info = false;
    TPoint InfoAt;
};

// Modes of the print record.
enum : int { pmClipping = 0, pmTiles = 1, pmPoster = 2 };

struct TPrintRequest {
    int Mode = pmClipping;
    int L = 0, T = 0, W = 0, H = 0;
    int PageWidth = 0, PageHeight = 0;
    int ResX = 0, ResY = 0;
    int ImageWidth = 0, ImageHeight = 0;
    bool Catalog = false;
    int Entries = 0;
    bool CutLines = false;
};

// The pages of a print in order; a catalog print whose grid takes no tile gives one
// empty page rather than looping. The rectangle must pass PrintRectangleValid; a grid
// of more than kMaxTilesPerPage tiles gives no pages.
std::vector<TPagePlan> PlanPrint(const TPrintRequest& r);
