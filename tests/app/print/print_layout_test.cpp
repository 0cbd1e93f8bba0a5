// Print layout: cut lines, tiles, posters and catalog pages.
#include "app/print/print_layout.h"

#include <gtest/gtest.h>

namespace {

// 254 dpi: one centimetre is exactly 100 printer pixels.
constexpr int kRes = 254;

struct CutCase {
    const char* what;
    bool tiles;
    int X, Y, Wd, Ht, Lm, Tm, pageW, pageH;
    // Expected segments by margin (left, right, bottom, top); each gives the first of its
    // two lines (the second is the same span along the opposite image edge).
    std::vector<TCutSegment> first;
};

TEST(CutLines, MarginsAboveSixMillimetresGetLinesKeptOffBothEnds)
{
    // Image 1000 × 800 at (500, 400) on a 2000 × 1700 page: margins 5 cm left, 5 cm right
    // (2000 − 1499 = 501 px), 4 cm top, 5.01 cm bottom.
    const std::vector<CutCase> cases = {
        {"clipping at the origin: no left or top line",
         false,
         0,
         0,
         1000,
         800,
         0,
         0,
         2000,
         1700,
         {{TPoint(1029, 0), TPoint(1229, 0)}, {TPoint(0, 829), TPoint(0, 1029)}}},
        {"all four margins, 2 cm each, ending 0.3 cm from the image",
         false,
         500,
         400,
         1000,
         800,
         0,
         0,
         2000,
         1700,
         {{TPoint(269, 400), TPoint(469, 400)},
          {TPoint(1529, 400), TPoint(1729, 400)},
          {TPoint(500, 1229), TPoint(500, 1429)},
          {TPoint(500, 170), TPoint(500, 370)}}},
        {"exactly 0.6 cm draws nothing, 0.7 cm draws 0.1 cm",
         false,
         71,
         60,
         1000,
         800,
         0,
         0,
         1130,
         929,
         {{TPoint(30, 60), TPoint(40, 60)}, {TPoint(71, 889), TPoint(71, 899)}}},
        {"tiles reach only the margin towards the neighbour",
         true,
         300,
         300,
         500,
         500,
         250,
         250,
         3000,
         3000,
         {{TPoint(79, 300), TPoint(269, 300)},
          {TPoint(829, 300), TPoint(1019, 300)},
          {TPoint(300, 829), TPoint(300, 1019)},
          {TPoint(300, 80), TPoint(300, 270)}}},
        {"tiles one pixel apart get no lines", true, 0, 0, 500, 500, 0, 0, 3000, 3000, {}},
    };
    for (const CutCase& c : cases) {
        const std::vector<TCutSegment> got =
            CutLineSegments(c.tiles, c.X, c.Y, c.Wd, c.Ht, c.Lm, c.Tm, c.pageW, c.pageH, kRes, kRes);
        ASSERT_EQ(got.size(), c.first.size() * 2) << c.what;
        for (size_t i = 0; i < c.first.size(); ++i) {
            EXPECT_EQ(got[2 * i], c.first[i]) << c.what << " margin " << i;
            // The twin runs along the far edge of the image.
            const TCutSegment& twin = got[2 * i + 1];
            const bool horizontal = c.first[i].From.Y == c.first[i].To.Y;
            if (horizontal) {
                EXPECT_EQ(twin.From.X, c.first[i].From.X) << c.what;
                EXPECT_EQ(twin.From.Y, c.Y + c.Ht - 1) << c.what;
            } else {
                EXPECT_EQ(twin.From.Y, c.first[i].From.Y) << c.what;
                EXPECT_EQ(twin.From.X, c.X + c.Wd - 1) << c.what;
            }
        }
    }
}

TEST(Tiles, GridCountPitchAndInformationCell)
{
    struct Case {
        int L, T, W, H, pageW, pageH;
        int cols, rows;
    };
    const Case cases[] = {
        {100, 100, 698, 500, 2400, 3000, 3, 4},  // three across from the dialog's example
        {0, 0, 99, 99, 1000, 1000, 10, 10},      // one pixel apart
        {0, 0, 100, 100, 1000, 1000, 9, 9},      // 101 pitch: nine fit
        {50, 0, 2400, 100, 2400, 3000, 0, 29},   // too wide: nothing on the page
        {-10, -10, 20, 20, 100, 100, 9, 9},      // negative margins still advance by 11
    };
    for (const Case& c : cases) {
        const std::vector<TTileCell> cells = TileCells(c.L, c.T, c.W, c.H, c.pageW, c.pageH);
        const size_t expected = c.cols == 0 ? 0 : size_t(c.cols * c.rows);
        ASSERT_EQ(cells.size(), expected) << c.L << "," << c.W;
        EXPECT_EQ(TileCount(c.L, c.T, c.W, c.H, c.pageW, c.pageH), int64_t(expected));
        EXPECT_EQ(TileColumns(c.L, c.W, c.pageW), c.cols);
        for (size_t i = 0; i < cells.size(); ++i) {
            const int col = int(i) % c.cols, row = int(i) / c.cols;
            const TRect want(c.L + col * (c.L + c.W + 1), c.T + row * (c.T + c.H + 1),
                             c.L + col * (c.L + c.W + 1) + c.W, c.T + row * (c.T + c.H + 1) + c.H);
            EXPECT_EQ(cells[i].Rect, want) << i;
            EXPECT_EQ(cells[i].Info, col == 0 && row == c.rows - 1) << i;
        }
    }
}

TEST(Tiles, GridsBeyondTheLimitAreCountedButNotLaidOut)
{
    // 1 × 1 tiles on an A4 page at 600 dpi: millions of cells.
    EXPECT_EQ(TileCount(0, 0, 1, 1, 4960, 7016), int64_t(2480) * 3508);
    TPrintRequest r;
    r.Mode = pmTiles;
    r.W = r.H = 1;
    r.PageWidth = 4960;
    r.PageHeight = 7016;
    EXPECT_TRUE(PlanPrint(r).empty());
    r.Catalog = true;
    r.Entries = 3;
    EXPECT_TRUE(PlanPrint(r).empty());
    // 100 × 100 tiles of 99 pixels fit exactly at the limit.
    r.W = r.H = 99;
    r.PageWidth = r.PageHeight = 10000;
    r.Catalog = false;
    ASSERT_EQ(PlanPrint(r).size(), 1u);
    EXPECT_EQ(PlanPrint(r).front().Pictures.size(), size_t(kMaxTilesPerPage));
}

TEST(Poster, PagesDestinationsAndSources)
{
    const int pw = 1000, ph = 800;
    struct Page {
        int col, row;
        TRect dest, source;
    };
    struct Case {
        const char* what;
        int L, T, W, H, imgW, imgH;
        std::vector<Page> pages;
    };
    const std::vector<Case> cases = {
        {"two pages across from the left edge",
         0,
         0,
         2 * pw,
         400,
         200,
         40,
         {{0, 0, TRect(0, 0, 1000, 400), TRect(0, 0, 100, 40)},
          {1, 0, TRect(0, 0, 2000 % 1001, 400), TRect(100, 0, 200, 40)}}},
        {"two by two, column by column",
         100,
         200,
         1500,
         1000,
         300,
         200,
         {{0, 0, TRect(100, 200, 1000, 800), TRect(0, 0, 180, 120)},
          {0, 1, TRect(100, 0, 1000, 1200 % 801), TRect(0, 120, 180, 200)},
          {1, 0, TRect(0, 200, 1600 % 1001, 800), TRect(180, 0, 300, 120)},
          {1, 1, TRect(0, 0, 1600 % 1001, 1200 % 801), TRect(180, 120, 300, 200)}}},
        {"a left margin wider than a page drops the first column",
         1200,
         0,
         500,
         400,
         50,
         40,
         {{0, 0, TRect(199, 0, 699, 400), TRect(0, 0, 50, 40)}}},
    };
    for (const Case& c : cases) {
        const std::vector<TPosterPage> got = PosterPages(c.L, c.T, c.W, c.H, pw, ph, c.imgW, c.imgH);
        ASSERT_EQ(got.size(), c.pages.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Col, c.pages[i].col) << c.what << " " << i;
            EXPECT_EQ(got[i].Row, c.pages[i].row) << c.what << " " << i;
            EXPECT_EQ(got[i].Dest, c.pages[i].dest) << c.what << " " << i;
            EXPECT_EQ(got[i].Source, c.pages[i].source) << c.what << " " << i;
            EXPECT_EQ(got[i].Info, got[i].Col == 0 && got[i].Row == got.back().Row) << c.what << " " << i;
        }
    }
}

TEST(CatalogPlan, PagesHoldTheEntriesInOrderAndAlwaysEnd)
{
    // 4 × 5 tiles of 500 × 500 on a 2400 × 3000 page: 20 a page.
    struct Case {
        int entries;
        int W;
        std::vector<size_t> perPage;
    };
    const Case cases[] = {
        {40, 500, {20, 20}}, {41, 500, {20, 20, 1}},
        {19, 500, {19}},     {0, 500, {1}},  // one empty page, one (empty) cell for its cut lines
        {30, 2400, {0}},                     // no tile fits: one empty page, then the print ends
    };
    for (const Case& c : cases) {
        TPrintRequest r;
        r.Mode = pmTiles;
        r.Catalog = true;
        r.L = 99;
        r.T = 99;
        r.W = c.W;
        r.H = 500;
        r.PageWidth = 2400;
        r.PageHeight = 3000;
        r.Entries = c.entries;
        const std::vector<TPagePlan> pages = PlanPrint(r);
        ASSERT_EQ(pages.size(), c.perPage.size()) << c.entries;
        int next = 0;
        for (size_t p = 0; p < pages.size(); ++p) {
            ASSERT_EQ(pages[p].Cells.size(), c.perPage[p]) << c.entries << " page " << p;
            for (const TPagePlan::Cell& cell : pages[p].Cells)
                EXPECT_EQ(cell.Index, next++);
            EXPECT_TRUE(pages[p].Pictures.empty());
            EXPECT_FALSE(pages[p].Info);
        }
    }
}

TEST(PrintRectangle, RefusesWhatCannotBeLaidOut)
{
    struct Case {
        int L, T, W, H;
        bool ok;
    };
    const Case cases[] = {
        {0, 0, 1, 1, true},     {0, 0, 0, 10, false},    {0, 0, 10, 0, false},
        {0, 0, -5, 10, false},  {-11, 0, 10, 10, false},  // the tile loop would never advance
        {-10, 0, 10, 10, true}, {0, -11, 10, 10, false}, {2147483000, 0, 2147483000, 5, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrintRectangleValid(c.L, c.T, c.W, c.H), c.ok) << c.L << " " << c.T << " " << c.W << " " << c.H;
}

}  // namespace
