// Scan conversion: shapes as pixel runs within a window, their unions and clips.
#include "platform/graphics/raster.h"

#include <cmath>
#include <limits>

namespace raster {

namespace {

constexpr double kEps = 1e-9;

int64_t clamp64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

void mergeRow(std::vector<Run>& runs)
{
    if (runs.size() < 2)
        return;
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.x0 < b.x0; });
    size_t out = 0;
    for (size_t i = 1; i < runs.size(); ++i) {
        if (runs[i].x0 <= runs[out].x1)
            runs[out].x1 = std::max(runs[out].x1, runs[i].x1);
        else
            runs[++out] = runs[i];
    }
    runs.resize(out + 1);
}

// Groups of spans sharing one row: [begin, end) indices.
template <class F> void forRows(const Spans& a, const Spans& b, F&& f)
{
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        int y;
        if (i < a.size() && j < b.size())
            y = std::min(a[i].y, b[j].y);
        else
            y = i < a.size() ? a[i].y : b[j].y;
        size_t ie = i, je = j;
        while (ie < a.size() && a[ie].y == y)
            ++ie;
        while (je < b.size() && b[je].y == y)
            ++je;
        f(y, i, ie, j, je);
        i = ie;
        j = je;
    }
}

}  // namespace

// ---- RowSet ----------------------------------------------------------------------

RowSet::RowSet(const TRect& window) : window_(window)
{
    if (window_.IsEmpty())
        window_ = TRect();
    rows_.resize(size_t(std::max(0, window_.Height())));
}

void RowSet::Add(int64_t y, int64_t x0, int64_t x1)
{
    if (y < window_.Top || y >= window_.Bottom)
        return;
    x0 = clamp64(x0, window_.Left, window_.Right);
    x1 = clamp64(x1, window_.Left, window_.Right);
    if (x1 <= x0)
        return;
    auto& row = rows_[size_t(y - window_.Top)];
    if (!row.empty() && row.back().x1 == x0)
        row.back().x1 = int(x1);
    else
        row.push_back({int(x0), int(x1)});
}

Spans RowSet::Take()
{
    Spans out;
    for (size_t i = 0; i < rows_.size(); ++i) {
        auto& row = rows_[i];
        mergeRow(row);
        for (const Run& r : row)
            out.push_back({window_.Top + int(i), r.x0, r.x1});
        row.clear();
    }
    return out;
}

// ---- span set operations ------------------------------------------------------------

Spans Subtract(const Spans& a, const Spans& b)
{
    Spans out;
    forRows(a, b, [&](int y, size_t i, size_t ie, size_t j, size_t je) {
        for (size_t k = i; k < ie; ++k) {
            int x = a[k].x0;
            const int end = a[k].x1;
            for (size_t m = j; m < je && x < end; ++m) {
                if (b[m].x1 <= x)
                    continue;
                if (b[m].x0 >= end)
                    break;
                if (b[m].x0 > x)
                    out.push_back({y, x, b[m].x0});
                x = std::max(x, b[m].x1);
            }
            if (x < end)
                out.push_back({y, x, end});
        }
    });
    return out;
}

Spans Intersect(const Spans& a, const Spans& b)
{
    Spans out;
    forRows(a, b, [&](int y, size_t i, size_t ie, size_t j, size_t je) {
        size_t p = i, q = j;
        while (p < ie && q < je) {
            const int lo = std::max(a[p].x0, b[q].x0), hi = std::min(a[p].x1, b[q].x1);
            if (lo < hi)
                out.push_back({y, lo, hi});
            if (a[p].x1 < b[q].x1)
                ++p;
            else
                ++q;
        }
    });
    return out;
}

// ---- Region -----------------------------------------------------------------------

Region::Region(const TRect& r)
{
    if (r.IsEmpty())
        return;
    box_ = r;
    rows_.assign(size_t(r.Height()), std::vector<Run>{{r.Left, r.Right}});
}

Region Region::FromSpans(const Spans& spans)
{
    Region g;
    if (spans.empty())
        return g;
    int l = spans.front().x0, r = spans.front().x1;
    for (const Span& s : spans) {
        l = std::min(l, s.x0);
        r = std::max(r, s.x1);
    }
    g.box_ = TRect(l, spans.front().y, r, spans.back().y + 1);
    g.rows_.resize(size_t(g.box_.Height()));
    for (const Span& s : spans)
        g.rows_[size_t(s.y - g.box_.Top)].push_back({s.x0, s.x1});
    return g;
}

bool Region::Empty() const { return box_.IsEmpty(); }

TRect Region::Box() const { return box_; }

bool Region::Contains(int x, int y) const
{
    if (!PtInRect(box_, TPoint(x, y)))
        return false;
    for (const Run& r : rows_[size_t(y - box_.Top)])
        if (x >= r.x0 && x < r.x1)
            return true;
    return false;
}

Spans Region::ToSpans() const
{
    Spans out;
    for (size_t i = 0; i < rows_.size(); ++i)
        for (const Run& r : rows_[i])
            out.push_back({box_.Top + int(i), r.x0, r.x1});
    return out;
}

void Region::IntersectRect(const TRect& r)
{
    TRect v;
    if (!::IntersectRect(v, r, box_)) {
        *this = Region();
        return;
    }
    *this = FromSpans(Intersect(ToSpans(), Region(v).ToSpans()));
}

void Region::ExcludeRect(const TRect& r)
{
    TRect v;
    if (!::IntersectRect(v, r, box_))
        return;
    *this = FromSpans(Subtract(ToSpans(), Region(v).ToSpans()));
}

Spans Region::Clip(const Spans& spans) const
{
    Spans out;
    for (const Span& s : spans) {
        if (s.y < box_.Top || s.y >= box_.Bottom)
            continue;
        for (const Run& r : rows_[size_t(s.y - box_.Top)]) {
            const int lo = std::max(s.x0, r.x0), hi = std::min(s.x1, r.x1);
            if (lo < hi)
                out.push_back({s.y, lo, hi});
        }
    }
    return out;
}

// ---- shapes -------------------------------------------------------------------------

bool Shape::Row(int64_t y, int64_t& l, int64_t& r) const
{
    if (!Valid() || y < y1 || y >= y2)
        return false;
    const double w = double(x2 - x1), h = double(y2 - y1);
    const double a = std::min(ew, w) / 2, b = std::min(eh, h) / 2;
    if (a <= 0 || b <= 0) {
        l = x1;
        r = x2;
        return true;
    }
    const double py = double(y) + 0.5;
    double dy = 0;
    if (py < double(y1) + b)
        dy = (double(y1) + b - py) / b;
    else if (py > double(y2) - b)
        dy = (py - (double(y2) - b)) / b;
    const double dx = a * std::sqrt(std::max(0.0, 1 - dy * dy));
    const double e = double(x1) + a - dx, f = double(x2) - a + dx;
    l = int64_t(std::ceil(e - 0.5 - kEps));
    r = int64_t(std::floor(f - 0.5 + kEps)) + 1;
    l = std::max(l, x1);
    r = std::min(r, x2);
    if (l >= r) {
        // Thin rows near the poles keep the middle pixel(s) so the outline stays closed.
        const int64_t span = x2 - x1;
        if (span % 2 == 0) {
            l = x1 + span / 2 - 1;
            r = l + 2;
        } else {
            l = x1 + span / 2;
            r = l + 1;
        }
    }
    return true;
}

namespace {

// Rows of the shape that matter for the window, with one row of margin for neighbours.
void rowRange(const Shape& s, const TRect& window, int64_t& from, int64_t& to)
{
    from = std::max<int64_t>(s.y1, window.Top);
    to = std::min<int64_t>(s.y2, window.Bottom);
}

}  // namespace

Spans ShapeFill(const Shape& s, const TRect& window)
{
    RowSet set(window);
    int64_t from, to;
    rowRange(s, window, from, to);
    for (int64_t y = from; y < to; ++y) {
        int64_t l, r;
        if (s.Row(y, l, r))
            set.Add(y, l, r);
    }
    return set.Take();
}

namespace {

bool interiorRun(const Shape& s, int64_t y, int64_t& il, int64_t& ir)
{
    int64_t l, r, lu, ru, ld, rd;
    if (!s.Row(y, l, r) || !s.Row(y - 1, lu, ru) || !s.Row(y + 1, ld, rd))
        return false;
    il = std::max({l + 1, lu, ld});
    ir = std::min({r - 1, ru, rd});
    return il < ir;
}

}  // namespace

Spans ShapeBorder(const Shape& s, const TRect& window)
{
    RowSet set(window);
    int64_t from, to;
    rowRange(s, window, from, to);
    for (int64_t y = from; y < to; ++y) {
        int64_t l, r, il, ir;
        if (!s.Row(y, l, r))
            continue;
        if (interiorRun(s, y, il, ir)) {
            set.Add(y, l, il);
            set.Add(y, ir, r);
        } else {
            set.Add(y, l, r);
        }
    }
    return set.Take();
}

Spans ShapeInterior(const Shape& s, const TRect& window)
{
    RowSet set(window);
    int64_t from, to;
    rowRange(s, window, from, to);
    for (int64_t y = from; y < to; ++y) {
        int64_t il, ir;
        if (interiorRun(s, y, il, ir))
            set.Add(y, il, ir);
    }
    return set.Take();
}

Spans ShapeRing(const Shape& outer, const Shape& inner, const TRect& window)
{
    RowSet set(window);
    int64_t from, to;
    rowRange(outer, window, from, to);
    for (int64_t y = from; y < to; ++y) {
        int64_t l, r, il, ir;
        if (!outer.Row(y, l, r))
            continue;
        if (inner.Row(y, il, ir) && il < ir) {
            set.Add(y, l, std::min(il, r));
            set.Add(y, std::max(ir, l), r);
        } else {
            set.Add(y, l, r);
        }
    }
    return set.Take();
}

// ---- capsules (wide lines) -------------------------------------------------------------

namespace {

// x range where c·x + k lies in [lo, hi]; false when empty.
bool linearRange(double c, double k, double lo, double hi, double& xa, double& xb)
{
    if (std::fabs(c) < 1e-12) {
        if (k < lo - kEps || k > hi + kEps)
            return false;
        xa = -std::numeric_limits<double>::infinity();
        xb = std::numeric_limits<double>::infinity();
        return true;
    }
    double p = (lo - k) / c, q = (hi - k) / c;
    if (p > q)
        std::swap(p, q);
    xa = p;
    xb = q;
    return true;
}

}  // namespace

void AddCapsule(RowSet& set, double ax, double ay, double bx, double by, double r)
{
    const TRect& w = set.Window();
    if (w.IsEmpty())
        return;
    const double top = std::max(double(w.Top), std::ceil(std::min(ay, by) - r - kEps));
    const double bottom = std::min(double(w.Bottom - 1), std::floor(std::max(ay, by) + r + kEps));
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
    for (double y = top; y <= bottom; y += 1) {
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        auto disc = [&](double cx, double cy) {
            const double t = r * r - (y - cy) * (y - cy);
            if (t < -kEps)
                return;
            const double h = std::sqrt(std::max(0.0, t));
            lo = std::min(lo, cx - h);
            hi = std::max(hi, cx + h);
        };
        disc(ax, ay);
        disc(bx, by);
        if (len2 > 0) {
            double a1, b1, a2, b2;
            // Projection onto the segment in [0, len²], distance from its line at most r.
            if (linearRange(dx, dy * (y - ay) - dx * ax, 0, len2, a1, b1) &&
                linearRange(-dy, dx * (y - ay) + dy * ax, -r * len, r * len, a2, b2)) {
                const double p = std::max(a1, a2), q = std::min(b1, b2);
                if (p <= q + kEps) {
                    lo = std::min(lo, p);
                    hi = std::max(hi, q);
                }
            }
        }
        if (lo > hi)
            continue;
        const double cl = std::max(std::ceil(lo - kEps), double(w.Left) - 1);
        const double cr = std::min(std::floor(hi + kEps), double(w.Right));
        if (cl <= cr)
            set.Add(int64_t(y), int64_t(cl), int64_t(cr) + 1);
    }
}

// ---- polygons -------------------------------------------------------------------------

Spans PolygonFill(const std::vector<TPoint>& pts, const TRect& window)
{
    RowSet set(window);
    const size_t n = pts.size();
    if (n < 3 || window.IsEmpty())
        return set.Take();
    struct Edge {
        double ya, yb, xa, slope;
    };
    std::vector<Edge> edges;
    edges.reserve(n);
    double minY = std::numeric_limits<double>::infinity(), maxY = -minY;
    for (size_t i = 0; i < n; ++i) {
        const TPoint& p = pts[i];
        const TPoint& q = pts[(i + 1) % n];
        if (p.Y == q.Y)
            continue;
        Edge e;
        const bool down = p.Y < q.Y;
        const TPoint& a = down ? p : q;
        const TPoint& b = down ? q : p;
        e.ya = a.Y;
        e.yb = b.Y;
        e.xa = a.X;
        e.slope = (double(b.X) - double(a.X)) / (double(b.Y) - double(a.Y));
        edges.push_back(e);
        minY = std::min(minY, e.ya);
        maxY = std::max(maxY, e.yb);
    }
    if (edges.empty())
        return set.Take();
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.ya < b.ya; });
    const int64_t yFrom = std::max<int64_t>(window.Top, int64_t(std::floor(minY)));
    const int64_t yTo = std::min<int64_t>(window.Bottom, int64_t(std::ceil(maxY)));
    std::vector<const Edge*> active;
    std::vector<double> xs;
    size_t next = 0;
    for (int64_t y = yFrom; y < yTo; ++y) {
        const double sy = double(y) + 0.5;
        while (next < edges.size() && edges[next].ya <= sy)
            active.push_back(&edges[next++]);
        xs.clear();
        size_t keep = 0;
        for (const Edge* e : active) {
            if (e->yb <= sy)
                continue;
            active[keep++] = e;
            if (e->ya <= sy)
                xs.push_back(e->xa + (sy - e->ya) * e->slope);
        }
        active.resize(keep);
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            const double a = std::max(xs[i], double(window.Left) - 1);
            const double b = std::min(xs[i + 1], double(window.Right) + 1);
            if (b <= a)
                continue;
            set.Add(y, int64_t(std::ceil(a - 0.5)), int64_t(std::ceil(b - 0.5)));
        }
    }
    return set.Take();
}

}  // namespace raster
