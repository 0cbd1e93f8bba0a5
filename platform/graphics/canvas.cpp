// Canvas state, clipping, lines and shapes.
#include "platform/graphics/canvas.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas_private.h"

#include <QPainter>
#include <cmath>
#include <numbers>

using raster::RowSet;
using raster::Shape;
using raster::Span;
using raster::Spans;

TCanvas::TCanvas(TBitmap* bitmap) : bitmap_(bitmap), d_(std::make_unique<Impl>()) {}

TCanvas::TCanvas(QPainter* painter) : d_(std::make_unique<Impl>()) { d_->external = painter; }

TCanvas::~TCanvas() = default;

QPainter* TCanvas::ExternalPainter() const { return bitmap_ ? nullptr : d_->external; }

// Every primitive writes the bitmap's pixels directly and holds no painter between calls,
// so there is nothing to end here; the hook stays for the bitmap's direct-access paths.
void TCanvas::Release() {}

// ---- clipping --------------------------------------------------------------------------------

void TCanvas::SetClipRect(const TRect& r)
{
    TRect v;
    IntersectRect(v, r, CanvasOps::Surface(*this));
    d_->clip = raster::Region(v);
    d_->hasClip = true;
}

void TCanvas::SetClipPolygon(const std::vector<TPoint>& points)
{
    d_->clip = raster::Region::FromSpans(raster::PolygonFill(points, CanvasOps::Surface(*this)));
    d_->hasClip = true;
}

void TCanvas::ResetClip()
{
    d_->clip = raster::Region();
    d_->hasClip = false;
}

void TCanvas::IntersectClipRect(const TRect& r)
{
    if (!d_->hasClip)
        SetClipRect(r);
    else
        d_->clip.IntersectRect(r);
}

void TCanvas::ExcludeClipRect(const TRect& r)
{
    if (!d_->hasClip) {
        d_->clip = raster::Region(CanvasOps::Surface(*this));
        d_->hasClip = true;
    }
    d_->clip.ExcludeRect(r);
}

bool TCanvas::HasClip() const { return d_->hasClip; }

TRect TCanvas::ClipRect() const { return d_->hasClip ? d_->clip.Box() : CanvasOps::Surface(*this); }

// ---- pens ---------------------------------------------------------------------------------------

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

struct PenInfo {
    bool none = false;
    int width = 1;
    bool insideFrame = false;
    std::vector<int> pattern;  // on, off, on, off … in pixels; empty = solid
    bool Thin() const { return width <= 1; }
};

PenInfo penInfo(const TPen& pen)
{
    PenInfo pi;
    pi.none = pen.Style == psClear;
    pi.width = std::max(1, pen.Width);
    pi.insideFrame = pen.Style == psInsideFrame;
    if (pi.width == 1) {
        switch (pen.Style) {
        case psDash: pi.pattern = {18, 6}; break;
        case psDot: pi.pattern = {3, 3}; break;
        case psDashDot: pi.pattern = {9, 6, 3, 6}; break;
        case psDashDotDot: pi.pattern = {9, 3, 3, 3, 3, 3}; break;
        default: break;
        }
    }
    return pi;
}

bool patternOn(const std::vector<int>& pattern, int64_t k)
{
    if (pattern.empty())
        return true;
    int64_t total = 0;
    for (int v : pattern)
        total += v;
    int64_t pos = k % total;
    if (pos < 0)
        pos += total;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pos < pattern[i])
            return i % 2 == 0;
        pos -= pattern[i];
    }
    return true;
}

// Pixels a pen leaves: `on` in the pen colour, `off` the gaps of a styled pen.
struct Stroke {
    RowSet on, off;
    explicit Stroke(const TRect& w) : on(w), off(w) {}
};

// Thin or wide segment; k0 continues the dash pattern across segments.
void strokeSegment(Stroke& st, const PenInfo& pi, TPoint a, TPoint b, int64_t& k0)
{
    if (pi.Thin()) {
        raster::WalkLine(a.X, a.Y, b.X, b.Y, st.on.Window(), [&](int x, int y, int64_t k) {
            if (patternOn(pi.pattern, k0 + k))
                st.on.AddPixel(x, y);
            else
                st.off.AddPixel(x, y);
        });
        k0 += raster::LineLength(a.X, a.Y, b.X, b.Y);
        return;
    }
    // Round ends; even widths lie half a pixel up and left, as [−w/2, (w−1)/2] around the line.
    const double shift = pi.width % 2 == 0 ? -0.5 : 0.0;
    raster::AddCapsule(st.on, a.X + shift, a.Y + shift, b.X + shift, b.Y + shift, pi.width / 2.0);
}

Ink penInk(const TCanvas& c) { return Ink::Solid(c.Pen.Color, c.Pen.Mode); }

// Paints a stroke, the fill spans (minus the stroke) first.
void paintFillAndStroke(TCanvas& c, const Spans& fill, Stroke* st)
{
    Spans on, off;
    if (st) {
        on = st->on.Take();
        off = raster::Subtract(st->off.Take(), on);
    }
    if (!fill.empty() && CanvasOps::HasBrush(c)) {
        Spans f = fill;
        if (!on.empty())
            f = raster::Subtract(f, on);
        if (!off.empty())
            f = raster::Subtract(f, off);
        CanvasOps::Paint(c, f, CanvasOps::BrushInk(c, c.Pen.Mode));
    }
    CanvasOps::Paint(c, on, penInk(c));
    if (!off.empty() && CanvasOps::OpaqueGaps(c))
        CanvasOps::Paint(c, off, Ink::Solid(c.Brush.Color, c.Pen.Mode));
    CanvasOps::Changed(c);
}

// Splits outline pixels into dashes by their order around (cx, cy), starting at angle a0
// (screen angles, clockwise).
void styleAround(const Spans& outline, const std::vector<int>& pattern, double cx, double cy, double a0, Stroke& st)
{
    if (pattern.empty()) {
        for (const Span& s : outline)
            st.on.Add(s.y, s.x0, s.x1);
        return;
    }
    struct P {
        double t;
        int x, y;
    };
    std::vector<P> pts;
    for (const Span& s : outline)
        for (int x = s.x0; x < s.x1; ++x) {
            double t = std::atan2(s.y + 0.5 - cy, x + 0.5 - cx) - a0;
            t = std::fmod(t + 2 * kTwoPi, kTwoPi);
            pts.push_back({t, x, s.y});
        }
    std::sort(pts.begin(), pts.end(), [](const P& a, const P& b) { return a.t < b.t; });
    for (size_t k = 0; k < pts.size(); ++k) {
        if (patternOn(pattern, int64_t(k)))
            st.on.AddPixel(pts[k].x, pts[k].y);
        else
            st.off.AddPixel(pts[k].x, pts[k].y);
    }
}

struct Box {
    int64_t x1, y1, x2, y2;
};

Box normalised(int x1, int y1, int x2, int y2)
{
    return {std::min<int64_t>(x1, x2), std::min<int64_t>(y1, y2), std::max<int64_t>(x1, x2), std::max<int64_t>(y1, y2)};
}

Shape makeShape(int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool ellipse, double ew, double eh)
{
    Shape s;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    s.ew = ellipse ? double(x2 - x1) : ew;
    s.eh = ellipse ? double(y2 - y1) : eh;
    return s;
}

// Outline and inside of a box shape under the pen: for a thin pen the shape's own border
// and interior; a wide pen is centred on the border (or inside it for psInsideFrame).
void shapeParts(const Box& b, bool ellipse, double ew, double eh, const PenInfo& pi, const TRect& window,
                Spans& outline, Spans& inside, double& cx, double& cy)
{
    cx = (double(b.x1) + double(b.x2)) / 2;
    cy = (double(b.y1) + double(b.y2)) / 2;
    if (pi.none) {
        // Without a pen the fill leaves out the right and bottom edge once more.
        const Shape s = makeShape(b.x1, b.y1, b.x2 - 1, b.y2 - 1, ellipse, ew, eh);
        inside = raster::ShapeFill(s, window);
        return;
    }
    if (pi.Thin()) {
        const Shape s = makeShape(b.x1, b.y1, b.x2, b.y2, ellipse, ew, eh);
        outline = raster::ShapeBorder(s, window);
        inside = raster::ShapeInterior(s, window);
        return;
    }
    const int w = pi.width;
    const int lo = pi.insideFrame ? 0 : w / 2, hi = pi.insideFrame ? 0 : (w - 1) / 2;
    const Shape outer = makeShape(b.x1 - lo, b.y1 - lo, b.x2 + hi, b.y2 + hi, ellipse, ew + lo + hi, eh + lo + hi);
    const Shape inner = makeShape(outer.x1 + w, outer.y1 + w, outer.x2 - w, outer.y2 - w, ellipse,
                                  std::max(0.0, ew - (w - lo - hi)), std::max(0.0, eh - (w - lo - hi)));
    outline = raster::ShapeRing(outer, inner, window);
    if (inner.Valid())
        inside = raster::ShapeFill(inner, window);
}

void drawBoxShape(TCanvas& c, int x1, int y1, int x2, int y2, bool ellipse, double ew, double eh)
{
    const Box b = normalised(x1, y1, x2, y2);
    if (b.x2 == b.x1 || b.y2 == b.y1)
        return;
    const PenInfo pi = penInfo(c.Pen);
    const TRect window = CanvasOps::Window(c);
    Spans outline, inside;
    double cx, cy;
    shapeParts(b, ellipse, ew, eh, pi, window, outline, inside, cx, cy);
    Stroke st(window);
    styleAround(outline, pi.pattern, cx, cy, std::atan2(double(b.y1) - cy, double(b.x1) - cx), st);
    paintFillAndStroke(c, inside, &st);
}

template <class Pred> Spans filterSpans(const Spans& spans, const TRect& window, Pred&& keep)
{
    RowSet out(window);
    for (const Span& s : spans)
        for (int x = s.x0; x < s.x1; ++x)
            if (keep(x + 0.5, s.y + 0.5))
                out.AddPixel(x, s.y);
    return out.Take();
}

enum class ArcKind { Arc, Pie, Chord };

void drawArc(TCanvas& c, ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const Box b = normalised(x1, y1, x2, y2);
    if (b.x2 == b.x1 || b.y2 == b.y1)
        return;
    const PenInfo pi = penInfo(c.Pen);
    const TRect window = CanvasOps::Window(c);
    Spans outline, inside;
    double cx, cy;
    shapeParts(b, true, 0, 0, pi, window, outline, inside, cx, cy);
    if (kind == ArcKind::Arc)
        inside.clear();

    // Angles counter-clockwise with y pointing up; the arc runs from a over `sweep`.
    auto angleOf = [&](double x, double y) { return (x == cx && y == cy) ? 0.0 : std::atan2(cy - y, x - cx); };
    const double a = angleOf(x3, y3);
    double sweep = std::fmod(angleOf(x4, y4) - a + 2 * kTwoPi, kTwoPi);
    if (sweep < 1e-12)
        sweep = kTwoPi;
    auto inSweep = [&](double px, double py) {
        return std::fmod(angleOf(px, py) - a + 2 * kTwoPi, kTwoPi) <= sweep + 1e-12;
    };
    const double rx = double(b.x2 - b.x1) / 2, ry = double(b.y2 - b.y1) / 2;
    auto onEllipse = [&](double t, double& px, double& py) {
        const double co = std::cos(t), si = std::sin(t);
        const double k = 1 / std::sqrt((co / rx) * (co / rx) + (si / ry) * (si / ry));
        px = cx + k * co;
        py = cy - k * si;
    };
    double sx, sy, ex, ey, mx, my;
    onEllipse(a, sx, sy);
    onEllipse(a + sweep, ex, ey);
    onEllipse(a + sweep / 2, mx, my);
    auto pixelOf = [&](double px, double py) {
        return TPoint(int(std::clamp<double>(std::floor(px), double(b.x1), double(b.x2 - 1))),
                      int(std::clamp<double>(std::floor(py), double(b.y1), double(b.y2 - 1))));
    };
    const TPoint ps = pixelOf(sx, sy), pe = pixelOf(ex, ey), pc = pixelOf(cx, cy);

    Stroke st(window);
    if (!pi.none) {
        const Spans arc = sweep >= kTwoPi ? outline : filterSpans(outline, window, inSweep);
        styleAround(arc, pi.pattern, cx, cy, -a, st);
        const PenInfo solid = [&] {
            PenInfo p = pi;
            p.pattern.clear();
            return p;
        }();
        int64_t k = 0;
        auto line = [&](TPoint p, TPoint q) {
            strokeSegment(st, solid, p, q, k);
            if (solid.Thin() && PtInRect(window, q))
                st.on.AddPixel(q.X, q.Y);
        };
        if (kind == ArcKind::Pie && sweep < kTwoPi) {
            line(pc, ps);
            line(pc, pe);
        } else if (kind == ArcKind::Chord && sweep < kTwoPi) {
            line(ps, pe);
        }
    }
    if (!inside.empty() && sweep < kTwoPi) {
        if (kind == ArcKind::Pie) {
            inside = filterSpans(inside, window, inSweep);
        } else {
            // The chord keeps the side of the line from start to end that holds the arc.
            auto side = [&](double px, double py) { return (ex - sx) * (py - sy) - (ey - sy) * (px - sx); };
            const bool arcPositive = side(mx, my) >= 0;
            inside = filterSpans(inside, window, [&](double px, double py) {
                const double v = side(px, py);
                return arcPositive ? v >= 0 : v <= 0;
            });
        }
    }
    paintFillAndStroke(c, inside, &st);
}

}  // namespace

// ---- lines ----------------------------------------------------------------------------------------

void TCanvas::MoveTo(int x, int y) { PenPos = TPoint(x, y); }

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = PenPos;
    PenPos = TPoint(x, y);
    const PenInfo pi = penInfo(Pen);
    if (pi.none)
        return;
    Stroke st(CanvasOps::Window(*this));
    int64_t k = 0;
    strokeSegment(st, pi, from, PenPos, k);
    paintFillAndStroke(*this, Spans(), &st);
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    const PenInfo pi = penInfo(Pen);
    if (pi.none || points.size() < 2)
        return;
    Stroke st(CanvasOps::Window(*this));
    int64_t k = 0;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        strokeSegment(st, pi, points[i], points[i + 1], k);
    paintFillAndStroke(*this, Spans(), &st);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    const PenInfo pi = penInfo(Pen);
    const TRect window = CanvasOps::Window(*this);
    Stroke st(window);
    if (!pi.none) {
        int64_t k = 0;
        for (size_t i = 0; i < points.size(); ++i)
            strokeSegment(st, pi, points[i], points[(i + 1) % points.size()], k);
    }
    const Spans fill = CanvasOps::HasBrush(*this) ? raster::PolygonFill(points, window) : Spans();
    paintFillAndStroke(*this, fill, &st);
}

// ---- shapes ---------------------------------------------------------------------------------------

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { drawBoxShape(*this, x1, y1, x2, y2, false, 0, 0); }

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) { drawBoxShape(*this, x1, y1, x2, y2, true, 0, 0); }

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int ellipseW, int ellipseH)
{
    drawBoxShape(*this, x1, y1, x2, y2, false, std::abs(double(ellipseW)), std::abs(double(ellipseH)));
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    drawArc(*this, ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    drawArc(*this, ArcKind::Pie, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    drawArc(*this, ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}
