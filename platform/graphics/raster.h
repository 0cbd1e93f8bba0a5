// Scan conversion behind TCanvas: every shape becomes a list of horizontal pixel runs
// limited to a window, so that huge or negative coordinates never cost more than the
// visible area and no pixel of one primitive is painted twice (raster ops stay exact).
#pragma once
#include "platform/core/geometry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace raster {

struct Run {
    int x0, x1;  // [x0, x1)
};

struct Span {
    int y, x0, x1;  // [x0, x1) on row y
};

// Sorted by row then x, disjoint.
using Spans = std::vector<Span>;

// Collects runs per row inside a window and hands them back merged and sorted.
class RowSet {
public:
    explicit RowSet(const TRect& window);
    const TRect& Window() const { return window_; }
    // Adds [x0, x1) on row y, clamped to the window; 64-bit so callers need not clamp.
    void Add(int64_t y, int64_t x0, int64_t x1);
    void AddPixel(int64_t x, int64_t y) { Add(y, x, x + 1); }
    Spans Take();

private:
    TRect window_;
    std::vector<std::vector<Run>> rows_;
};

// Row-wise set operations on sorted disjoint span lists.
Spans Subtract(const Spans& a, const Spans& b);
Spans Intersect(const Spans& a, const Spans& b);

// A clip region: disjoint runs per row inside a bounding rectangle.
class Region {
public:
    Region() = default;
    explicit Region(const TRect& r);
    static Region FromSpans(const Spans& spans);
    bool Empty() const;
    TRect Box() const;
    bool Contains(int x, int y) const;
    void IntersectRect(const TRect& r);
    void ExcludeRect(const TRect& r);
    Spans Clip(const Spans& spans) const;
    Spans ToSpans() const;

private:
    TRect box_;  // rows box_.Top .. box_.Bottom − 1
    std::vector<std::vector<Run>> rows_;
};

// A box with rounded corners; ew = width and eh = height make an ellipse, 0 a rectangle.
// Pixels whose centre lies inside are in the shape. Box is [x1, x2) × [y1, y2).
struct Shape {
    int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double ew = 0, eh = 0;
    bool Valid() const { return x2 > x1 && y2 > y1; }
    // Run of row y; false when the row misses the shape.
    bool Row(int64_t y, int64_t& l, int64_t& r) const;
};

// Whole shape limited to the window.
Spans ShapeFill(const Shape& s, const TRect& window);
// Pixels of the shape with a 4-neighbour outside it: the 1-pixel outline.
Spans ShapeBorder(const Shape& s, const TRect& window);
// Pixels strictly inside that outline.
Spans ShapeInterior(const Shape& s, const TRect& window);
// outer minus inner.
Spans ShapeRing(const Shape& outer, const Shape& inner, const TRect& window);

// Visits the pixels of a thin line from (x1, y1) towards (x2, y2) without the end point,
// in drawing order, only those inside the window; k is the step number along the line.
template <class F> void WalkLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const TRect& window, F&& visit);

// Pixels whose centre (integer coordinates) lies within distance r of segment a–b.
void AddCapsule(RowSet& set, double ax, double ay, double bx, double by, double r);

// Even-odd fill of a closed polygon, pixel centres sampled, vertices on pixel corners.
Spans PolygonFill(const std::vector<TPoint>& pts, const TRect& window);

// Number of pixels a thin line from a to b visits (its end point left out).
inline int64_t LineLength(int64_t x1, int64_t y1, int64_t x2, int64_t y2)
{
    const int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2, dy = y2 > y1 ? y2 - y1 : y1 - y2;
    return std::max(dx, dy);
}

// ---------------------------------------------------------------------------------
template <class F> void WalkLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, const TRect& window, F&& visit)
{
    const int64_t dx = x2 - x1, dy = y2 - y1;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    if (adx == 0 && ady == 0)
        return;
    const bool xMajor = adx >= ady;
    const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int64_t m0 = xMajor ? x1 : y1, n0 = xMajor ? y1 : x1;
    const int64_t ms = xMajor ? sx : sy, ns = xMajor ? sy : sx;
    const int64_t lo = xMajor ? window.Left : window.Top, hi = xMajor ? window.Right - 1 : window.Bottom - 1;
    // Steps k in [0, major) whose major coordinate m0 + ms·k lies in [lo, hi].
    int64_t kFrom = 0, kTo = major - 1;
    if (ms > 0) {
        kFrom = std::max<int64_t>(kFrom, lo - m0);
        kTo = std::min<int64_t>(kTo, hi - m0);
    } else {
        kFrom = std::max<int64_t>(kFrom, m0 - hi);
        kTo = std::min<int64_t>(kTo, m0 - lo);
    }
    for (int64_t k = kFrom; k <= kTo; ++k) {
        // Midpoint rule: the minor offset is k·minor/major rounded half up.
        const __int128 num = __int128(2) * k * minor + major;
        const int64_t off = int64_t(num / (2 * major));
        const int64_t m = m0 + ms * k, n = n0 + ns * off;
        const int64_t x = xMajor ? m : n, y = xMajor ? n : m;
        if (x >= window.Left && x < window.Right && y >= window.Top && y < window.Bottom)
            visit(int(x), int(y), k);
    }
}

}  // namespace raster
