// Putting pixels on the surface: pixel layouts, raster operations, inks, painting spans on a
// bitmap or a painter, fills and single pixels.
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas_private.h"

#include <QPaintDevice>
#include <QPainter>
#include <cstring>

using raster::Span;
using raster::Spans;

// ---- pixel representation --------------------------------------------------------------

namespace pixels {

int Depth(const QImage& img)
{
    switch (img.format()) {
    case QImage::Format_Mono: return 1;
    case QImage::Format_Indexed8: return 8;
    case QImage::Format_BGR888: return 24;
    default: return 32;
    }
}

static inline int grey(TColor c) { return GreyValue(GetRValue(c), GetGValue(c), GetBValue(c)); }

uint32_t ToNative(const QImage& img, TColor c)
{
    c = ColorToRGB(c);
    switch (Depth(img)) {
    case 1: {
        // The table is [black, white]; anything else picks the entry on the same side.
        const int g = grey(c) >= 128 ? 1 : 0;
        if (img.colorCount() == 2) {
            const QRgb e1 = img.color(1);
            const bool oneIsWhite = grey(RGB(qRed(e1), qGreen(e1), qBlue(e1))) >= 128;
            return oneIsWhite ? uint32_t(g) : uint32_t(1 - g);
        }
        return uint32_t(g);
    }
    case 8: {
        int best = 0, bestD = INT32_MAX;
        for (int i = 0; i < img.colorCount(); ++i) {
            const QRgb e = img.color(i);
            const int dr = qRed(e) - GetRValue(c), dg = qGreen(e) - GetGValue(c), db = qBlue(e) - GetBValue(c);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestD) {
                bestD = d;
                best = i;
                if (d == 0)
                    break;
            }
        }
        return uint32_t(best);
    }
    default: return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | uint32_t(GetBValue(c));
    }
}

uint32_t ReadNative(const QImage& img, int x, int y) { return ReadLine(img.constScanLine(y), Depth(img), x); }

TColor NativeToColor(const QImage& img, uint32_t v)
{
    switch (Depth(img)) {
    case 1:
    case 8: {
        if (int(v) >= img.colorCount())
            return v ? clWhite : clBlack;
        const QRgb e = img.color(int(v));
        return RGB(qRed(e), qGreen(e), qBlue(e));
    }
    default: return RGB(int(v >> 16) & 255, int(v >> 8) & 255, int(v) & 255);
    }
}

uint32_t Rop2(TPenMode mode, uint32_t p, uint32_t d)
{
    switch (mode) {
    case pmBlack: return 0;
    case pmWhite: return ~0u;
    case pmNop: return d;
    case pmNot: return ~d;
    case pmCopy: return p;
    case pmNotCopy: return ~p;
    case pmMergePenNot: return p | ~d;
    case pmMaskPenNot: return p & ~d;
    case pmMergeNotPen: return ~p | d;
    case pmMaskNotPen: return ~p & d;
    case pmMerge: return p | d;
    case pmNotMerge: return ~(p | d);
    case pmMask: return p & d;
    case pmNotMask: return ~(p & d);
    case pmXor: return p ^ d;
    case pmNotXor: return ~(p ^ d);
    }
    return p;
}

QPainter::CompositionMode CompositionOf(TPenMode m)
{
    switch (m) {
    case pmBlack: return QPainter::RasterOp_ClearDestination;
    case pmWhite: return QPainter::RasterOp_SetDestination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

raster::Spans RectSpans(const TRect& r, const TRect& window)
{
    raster::Spans out;
    TRect v;
    if (!IntersectRect(v, r, window))
        return out;
    out.reserve(size_t(v.Height()));
    for (int y = v.Top; y < v.Bottom; ++y)
        out.push_back({y, v.Left, v.Right});
    return out;
}

}  // namespace pixels

using namespace pixels;

namespace {

void paintImage(QImage& img, const Spans& spans, const Ink& ink)
{
    if (spans.empty() || ink.mode == pmNop)
        return;
    const int depth = Depth(img);
    const uint32_t mask = MaskOf(depth);
    std::vector<uint32_t> nat(ink.colors.size());
    for (size_t i = 0; i < nat.size(); ++i)
        nat[i] = ToNative(img, ink.colors[i]);
    const bool uniform = ink.Uniform();
    if (uniform && !ink.opaque[0])
        return;
    // Plain copies of one colour on 24 bits: one prepared row, copied span by span.
    std::vector<uchar> row;
    if (uniform && ink.mode == pmCopy && depth == 24) {
        row.resize(size_t(img.width()) * 3);
        for (size_t i = 0; i < row.size(); i += 3) {
            row[i] = uchar(nat[0]);
            row[i + 1] = uchar(nat[0] >> 8);
            row[i + 2] = uchar(nat[0] >> 16);
        }
    }
    for (const Span& s : spans) {
        uchar* line = img.scanLine(s.y);
        if (!row.empty()) {
            std::memcpy(line + 3 * size_t(s.x0), row.data(), 3 * size_t(s.x1 - s.x0));
            continue;
        }
        for (int x = s.x0; x < s.x1; ++x) {
            uint32_t p;
            if (uniform) {
                p = nat[0];
            } else {
                const int i = ink.Index(x, s.y);
                if (!ink.opaque[size_t(i)])
                    continue;
                p = nat[size_t(i)];
            }
            const uint32_t v = ink.mode == pmCopy ? p : Rop2(ink.mode, p, ReadLine(line, depth, x));
            WriteNative(line, depth, x, v & mask);
        }
    }
}

// Rows of one identical run merge into one rectangle: painters take rectangles, and a
// filled rectangle then costs one call instead of one per row.
std::vector<QRect> toRects(const Spans& spans)
{
    std::vector<QRect> out;
    bool lastSingle = false;
    size_t i = 0;
    while (i < spans.size()) {
        size_t e = i + 1;
        while (e < spans.size() && spans[e].y == spans[i].y)
            ++e;
        const Span& s = spans[i];
        if (e - i == 1 && lastSingle && out.back().left() == s.x0 && out.back().right() + 1 == s.x1 &&
            out.back().bottom() + 1 == s.y) {
            out.back().setBottom(s.y);
        } else {
            for (size_t k = i; k < e; ++k)
                out.emplace_back(spans[k].x0, spans[k].y, spans[k].x1 - spans[k].x0, 1);
        }
        lastSingle = e - i == 1;
        i = e;
    }
    return out;
}

void paintPainter(QPainter* p, const Spans& spans, const Ink& ink)
{
    if (spans.empty() || ink.mode == pmNop || !p->isActive())
        return;
    p->save();
    p->setPen(Qt::NoPen);
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setCompositionMode(CompositionOf(ink.mode));
    if (ink.Uniform()) {
        if (ink.opaque[0]) {
            const QColor c = ToQColor(ink.colors[0]);
            for (const QRect& r : toRects(spans))
                p->fillRect(r, c);
        }
    } else if (ink.mode == pmCopy) {
        QImage tile(ink.w, ink.h, QImage::Format_ARGB32);
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w; ++x) {
                const size_t i = size_t(y * ink.w + x);
                const TColor c = ink.colors[i];
                tile.setPixel(x, y, ink.opaque[i] ? qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) : 0u);
            }
        p->setBrushOrigin(0, 0);
        const QBrush brush(tile);
        for (const QRect& r : toRects(spans))
            p->fillRect(r, brush);
    } else {
        // Raster operations with a pattern: runs of one colour at a time.
        for (const Span& s : spans) {
            int x = s.x0;
            while (x < s.x1) {
                const int i = ink.Index(x, s.y);
                int e = x + 1;
                while (e < s.x1 && ink.Index(e, s.y) == i)
                    ++e;
                if (ink.opaque[size_t(i)])
                    p->fillRect(QRect(x, s.y, e - x, 1), ToQColor(ink.colors[size_t(i)]));
                x = e;
            }
        }
    }
    p->restore();
}

// 8 × 8 hatch masks, one byte per row, leftmost pixel in the top bit.
const uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal: top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal: bottom left to top right
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

}  // namespace

// ---- inks --------------------------------------------------------------------------------

Ink Ink::Solid(TColor c, TPenMode mode)
{
    Ink ink;
    ink.colors[0] = ColorToRGB(c);
    ink.mode = mode;
    return ink;
}

bool CanvasOps::HasBrush(const TCanvas& c)
{
    return (c.Brush.Bitmap && !c.Brush.Bitmap->Empty()) || c.Brush.Style != bsClear;
}

Ink CanvasOps::BrushInk(const TCanvas& c, TPenMode mode)
{
    const TColor bc = ColorToRGB(c.Brush.Color);
    if (c.Brush.Bitmap && !c.Brush.Bitmap->Empty()) {
        const QImage& pat = c.Brush.Bitmap->Image();
        Ink ink;
        ink.mode = mode;
        // Patterns beyond 64 pixels repeat their top-left part only.
        ink.w = std::min(pat.width(), 64);
        ink.h = std::min(pat.height(), 64);
        ink.colors.assign(size_t(ink.w * ink.h), bc);
        ink.opaque.assign(size_t(ink.w * ink.h), 1);
        const bool mono = pat.format() == QImage::Format_Mono;
        const TColor zero = ColorToRGB(c.Font.Color);
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w; ++x) {
                const uint32_t v = ReadNative(pat, x, y);
                ink.colors[size_t(y * ink.w + x)] = mono ? (v ? bc : zero) : NativeToColor(pat, v);
            }
        return ink;
    }
    switch (c.Brush.Style) {
    case bsSolid: return Ink::Solid(bc, mode);
    case bsClear: {
        Ink ink = Ink::Solid(bc, mode);
        ink.opaque[0] = 0;
        return ink;
    }
    default: break;
    }
    const uint8_t* rows = kHatch[int(c.Brush.Style) - int(bsHorizontal)];
    Ink ink;
    ink.mode = mode;
    ink.w = ink.h = 8;
    ink.colors.assign(64, bc);
    ink.opaque.assign(64, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ink.opaque[size_t(y * 8 + x)] = (rows[y] >> (7 - x)) & 1;
    return ink;
}

// ---- the surface ---------------------------------------------------------------------------

TRect CanvasOps::Surface(const TCanvas& c)
{
    if (c.bitmap_)
        return TRect(0, 0, c.bitmap_->Width(), c.bitmap_->Height());
    QPainter* p = c.d_->external;
    if (!p || !p->isActive() || !p->device())
        return TRect();
    const QRect dev(0, 0, p->device()->width(), p->device()->height());
    // The painter's own transform: a widget's painter also carries the offset into the
    // window's backing store, which the device's size does not include.
    bool invertible = false;
    const QTransform inv = p->combinedTransform().inverted(&invertible);
    if (!invertible)
        return TRect();
    return TRect::fromQRect(inv.mapRect(dev));
}

TRect CanvasOps::Window(const TCanvas& c)
{
    const TRect s = Surface(c);
    if (!c.d_->hasClip)
        return s;
    TRect w;
    IntersectRect(w, s, c.d_->clip.Box());
    return w;
}

QImage* CanvasOps::Image(TCanvas& c)
{
    if (!c.bitmap_ || c.bitmap_->image_.isNull())
        return nullptr;
    c.bitmap_->Detach();
    return &c.bitmap_->image_;
}

const QImage* CanvasOps::ImageToRead(const TCanvas& c)
{
    if (c.bitmap_ && !c.bitmap_->image_.isNull())
        return &c.bitmap_->image_;
    return nullptr;
}

void CanvasOps::Paint(TCanvas& c, const Spans& spans, const Ink& ink)
{
    if (spans.empty())
        return;
    const Spans clipped = c.d_->hasClip ? c.d_->clip.Clip(spans) : spans;
    if (QImage* img = Image(c)) {
        // Spans come limited to the window already; the clamp guards the memory anyway.
        const TRect s = Surface(c);
        bool inside = true;
        for (const Span& sp : clipped)
            if (sp.y < s.Top || sp.y >= s.Bottom || sp.x0 < s.Left || sp.x1 > s.Right)
                inside = false;
        paintImage(*img, inside ? clipped : raster::Intersect(clipped, RectSpans(s, s)), ink);
    } else if (c.d_->external) {
        paintPainter(c.d_->external, clipped, ink);
    }
}

QRegion CanvasOps::ClipRegion(const TCanvas& c)
{
    // Rows with equal runs merge into one rectangle each.
    QRegion region;
    const Spans spans = c.d_->clip.ToSpans();
    size_t i = 0;
    while (i < spans.size()) {
        size_t e = i;
        while (e < spans.size() && spans[e].y == spans[i].y)
            ++e;
        int rows = 1;
        size_t next = e;
        for (;;) {
            size_t f = next;
            while (f < spans.size() && spans[f].y == spans[next].y)
                ++f;
            if (next >= spans.size() || spans[next].y != spans[i].y + rows || f - next != e - i)
                break;
            bool same = true;
            for (size_t k = 0; k < e - i; ++k)
                same = same && spans[next + k].x0 == spans[i + k].x0 && spans[next + k].x1 == spans[i + k].x1;
            if (!same)
                break;
            ++rows;
            next = f;
        }
        for (size_t k = i; k < e; ++k)
            region += QRect(spans[k].x0, spans[k].y, spans[k].x1 - spans[k].x0, rows);
        i = next;
    }
    return region;
}

void CanvasOps::Changed(TCanvas& c)
{
    if (c.bitmap_)
        c.bitmap_->Changed();
}

TPenMode CanvasOps::CopyModeOp(TCopyMode mode)
{
    switch (mode) {
    case cmBlackness: return pmBlack;
    case cmWhiteness: return pmWhite;
    case cmDstInvert: return pmNot;
    case cmNotSrcCopy: return pmNotCopy;
    case cmSrcAnd: return pmMask;
    case cmSrcPaint: return pmMerge;
    case cmSrcInvert: return pmXor;
    case cmMergePaint: return pmMergeNotPen;
    case cmSrcErase: return pmMaskPenNot;
    case cmNotSrcErase: return pmNotMerge;
    default: return pmCopy;
    }
}

// ---- simple fills ----------------------------------------------------------------------------

void TCanvas::FillRect(const TRect& r)
{
    if (!CanvasOps::HasBrush(*this) || r.IsEmpty())
        return;
    CanvasOps::Paint(*this, RectSpans(r, CanvasOps::Window(*this)), CanvasOps::BrushInk(*this, pmCopy));
    CanvasOps::Changed(*this);
}

void TCanvas::FrameRect(const TRect& r)
{
    if (!CanvasOps::HasBrush(*this) || r.IsEmpty())
        return;
    const TRect w = CanvasOps::Window(*this);
    // Limit to one pixel around the window first so that the inner rectangle cannot overflow.
    TRect rr;
    if (!IntersectRect(rr, r, TRect(w.Left - 1, w.Top - 1, w.Right + 1, w.Bottom + 1)))
        return;
    const TRect inner(r.Left < rr.Left ? rr.Left : rr.Left + 1, r.Top < rr.Top ? rr.Top : rr.Top + 1,
                      r.Right > rr.Right ? rr.Right : rr.Right - 1, r.Bottom > rr.Bottom ? rr.Bottom : rr.Bottom - 1);
    const Spans ring = raster::Subtract(RectSpans(rr, w), RectSpans(inner, w));
    CanvasOps::Paint(*this, ring, CanvasOps::BrushInk(*this, pmCopy));
    CanvasOps::Changed(*this);
}

// ---- single pixels ---------------------------------------------------------------------------

TColor TCanvas::Pixel(int x, int y)
{
    if (!PtInRect(CanvasOps::Surface(*this), TPoint(x, y)))
        return clNone;
    if (d_->hasClip && !d_->clip.Contains(x, y))
        return clNone;
    if (const QImage* img = CanvasOps::ImageToRead(*this))
        return NativeToColor(*img, ReadNative(*img, x, y));
    if (QPainter* p = d_->external; p && p->isActive() && p->device()->devType() == QInternal::Image) {
        const QImage* dev = static_cast<const QImage*>(p->device());
        const QPoint q = p->deviceTransform().map(QPoint(x, y));
        if (dev->rect().contains(q)) {
            const QRgb v = dev->pixel(q);
            return RGB(qRed(v), qGreen(v), qBlue(v));
        }
    }
    return clNone;
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (!PtInRect(CanvasOps::Window(*this), TPoint(x, y)))
        return;
    CanvasOps::Paint(*this, Spans{{y, x, x + 1}}, Ink::Solid(color, pmCopy));
    CanvasOps::Changed(*this);
}
