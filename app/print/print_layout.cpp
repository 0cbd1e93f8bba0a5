// Where the pieces of a print go on the page: cut lines, tiles and poster pages.
#include "app/print/print_layout.h"

#include "platform/core/rounding.h"

#include <algorithm>

namespace {

// Floor-free integer division as the print arithmetic expects (toward zero).
int64_t divz(int64_t a, int64_t b) { return a / b; }

}  // namespace

std::vector<TCutSegment> CutLineSegments(bool tiles, int X, int Y, int Wd, int Ht, int Lm, int Tm, int pageWidth,
                                         int pageHeight, int resX, int resY)
{
    std::vector<TCutSegment> out;
    const double cx = resX / 2.54;
    const double cy = resY / 2.54;
    // One margin: s and e along its axis; endAtImage says which end stays at the image.
    auto margin = [&](int s, int e, double c, bool endAtImage, auto&& draw) {
        if (c <= 0 || (e - s) / c <= 0.6)
            return;
        e -= Round(0.3 * c);
        s += Round(0.3 * c);
        if ((e - s) / c > 2) {
            if (endAtImage)
                s = e - Round(2 * c);
            else
                e = s + Round(2 * c);
        }
        draw(s, e);
    };
    auto horizontal = [&](int s, int e) {
        out.push_back({TPoint(s, Y), TPoint(e, Y)});
        out.push_back({TPoint(s, Y + Ht - 1), TPoint(e, Y + Ht - 1)});
    };
    auto vertical = [&](int s, int e) {
        out.push_back({TPoint(X, s), TPoint(X, e)});
        out.push_back({TPoint(X + Wd - 1, s), TPoint(X + Wd - 1, e)});
    };
    {  // left
        const int e = X - 1;
        const int s = tiles ? std::max(e - Lm, 0) : 0;
        margin(s, e, cx, true, horizontal);
    }
    {  // right
        const int s = X + Wd - 1;
        const int e = tiles ? std::min(s + Lm, pageWidth) : pageWidth;
        margin(s, e, cx, false, horizontal);
    }
    {  // bottom
        const int s = Y + Ht - 1;
        const int e = tiles ? std::min(s + Tm, pageHeight) : pageHeight;
        margin(s, e, cy, false, vertical);
    }
    {  // top
        const int e = Y;
        const int s = tiles ? std::max(Y - Tm, 0) : 0;
        margin(s, e, cy, true, vertical);
    }
    return out;
}

std::vector<TTileCell> TileCells(int L, int T, int W, int H, int pageWidth, int pageHeight)
{
    std::vector<TTileCell> cells;
    const int64_t pitchX = int64_t(L) + W + 1;
    const int64_t pitchY = int64_t(T) + H + 1;
    if (pitchX <= 0 || pitchY <= 0)
        return cells;
    for (int64_t y = 0; y + pitchY <= pageHeight; y += pitchY) {
        const bool lastRow = pitchY * 2 + y > pageHeight;
        for (int64_t x = 0; L + x + W + 1 <= pageWidth; x += pitchX) {
            const int left = int(L + x);
            const int top = int(y + T);
            cells.push_back({TRect(left, top, left + W, top + H), x == 0 && lastRow});
        }
    }
    return cells;
}

int64_t TileCount(int L, int T, int W, int H, int pageWidth, int pageHeight)
{
    const int64_t pitchX = int64_t(L) + W + 1;
    const int64_t pitchY = int64_t(T) + H + 1;
    if (pitchX <= 0 || pitchY <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return 0;
    return (pageWidth / pitchX) * (pageHeight / pitchY);
}

int TileColumns(double L, double W, int pageWidth)
{
    const int pitch = Round(L + W + 1);
    return pitch > 0 ? pageWidth / pitch : 0;
}

int TileRows(double T, double H, int pageHeight)
{
    const int pitch = Round(T + H + 1);
    return pitch > 0 ? pageHeight / pitch : 0;
}

int PosterPagesAcross(int64_t L, int64_t W, int pageWidth)
{
    return pageWidth > 0 ? int(divz(L + W - 1, pageWidth) + 1) : 1;
}

int PosterPagesDown(int64_t T, int64_t H, int pageHeight)
{
    return pageHeight > 0 ? int(divz(T + H - 1, pageHeight) + 1) : 1;
}

std::vector<TPosterPage> PosterPages(int L, int T, int W, int H, int pageWidth, int pageHeight, int imageWidth,
                                     int imageHeight)
{
    std::vector<TPosterPage> pages;
    if (W <= 0 || H <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return pages;
    int64_t l = L, t = T;
    int64_t px = PosterPagesAcross(l, W, pageWidth);
    int64_t py = PosterPagesDown(t, H, pageHeight);
    // Blank leading pages are dropped; the step is a page and one pixel.
    while (pageWidth < l) {
        l -= pageWidth + 1;
        --px;
    }
    while (pageHeight < t) {
        t -= pageHeight + 1;
        --py;
    }
    for (int64_t col = 0; col < px; ++col)
        for (int64_t row = 0; row < py; ++row) {
            const bool lastCol = col == px - 1;
            const bool lastRow = row == py - 1;
            TPosterPage p;
            p.Col = int(col);
            p.Row = int(row);
            p.Dest = TRect(int(col == 0 ? l : 0), int(row == 0 ? t : 0),
                           int(lastCol ? (l + W) % (pageWidth + 1) : pageWidth),
                           int(lastRow ? (t + H) % (pageHeight + 1) : pageHeight));
            const int64_t P = std::max<int64_t>(pageWidth * col - l, 0);
            const int64_t Q = std::max<int64_t>(pageHeight * row - t, 0);
            int64_t R = lastCol ? W : pageWidth + P;
            if (!lastCol && col == 0 && px > 1)
                R -= l;
            int64_t B = lastRow ? H : pageHeight + Q;
            if (!lastRow && row == 0 && py > 1)
                B -= t;
            p.Source = TRect(int(imageWidth * P / W), int(imageHeight * Q / H), int(imageWidth * R / W),
                             int(imageHeight * B / H));
            p.Info = col == 0 && lastRow;
            pages.push_back(p);
        }
    return pages;
}

bool PrintRectangleValid(int L, int T, int W, int H)
{
    return W > 0 && H > 0 && int64_t(L) + W + 1 > 0 && int64_t(T) + H + 1 > 0;
}

std::vector<TPagePlan> PlanPrint(const TPrintRequest& r)
{
    std::vector<TPagePlan> pages;
    if (r.Mode == pmTiles && TileCount(r.L, r.T, r.W, r.H, r.PageWidth, r.PageHeight) > kMaxTilesPerPage)
        return pages;
    auto cuts = [&](TPagePlan& page, const TRect& rect, bool tiles) {
        if (!r.CutLines)
            return;
        const std::vector<TCutSegment> s = CutLineSegments(tiles, rect.Left, rect.Top, rect.Width(), rect.Height(),
                                                           tiles ? r.L : 0, tiles ? r.T : 0, r.PageWidth, r.PageHeight,
                                                           r.ResX, r.ResY);
        page.Cuts.insert(page.Cuts.end(), s.begin(), s.end());
    };
    if (r.Catalog) {
        if (r.Mode != pmTiles)
            return pages;
        const std::vector<TTileCell> grid = TileCells(r.L, r.T, r.W, r.H, r.PageWidth, r.PageHeight);
        int i = 0;
        do {
            TPagePlan page;
            for (const TTileCell& c : grid) {
                page.Cells.push_back({c.Rect, i});
                ++i;
                cuts(page, c.Rect, true);
                if (i >= r.Entries)
                    break;
            }
            pages.push_back(std::move(page));
        } while (i < r.Entries && !grid.empty());
        return pages;
    }
    switch (r.Mode) {
    case pmClipping: {
        TPagePlan page;
        const TRect rect(r.L, r.T, r.L + r.W, r.T + r.H);
        page.Pictures.push_back({rect, TRect()});
        cuts(page, rect, false);
        page.Info = true;
        page.InfoAt = TPoint(rect.Left, rect.Bottom);
        pages.push_back(std::move(page));
        break;
    }
    case pmTiles: {
        TPagePlan page;
        for (const TTileCell& c : TileCells(r.L, r.T, r.W, r.H, r.PageWidth, r.PageHeight)) {
            page.Pictures.push_back({c.Rect, TRect()});
            cuts(page, c.Rect, true);
            if (c.Info) {
                page.Info = true;
                page.InfoAt = TPoint(c.Rect.Left, c.Rect.Bottom);
            }
        }
        pages.push_back(std::move(page));
        break;
    }
    case pmPoster:
        for (const TPosterPage& p :
             PosterPages(r.L, r.T, r.W, r.H, r.PageWidth, r.PageHeight, r.ImageWidth, r.ImageHeight)) {
            TPagePlan page;
            page.Pictures.push_back({p.Dest, p.Source});
            cuts(page, p.Dest, false);
            page.Info = p.Info;
            page.InfoAt = TPoint(p.Dest.Left, p.Dest.Bottom);
            pages.push_back(std::move(page));
        }
        break;
    default: break;
    }
    return pages;
}
