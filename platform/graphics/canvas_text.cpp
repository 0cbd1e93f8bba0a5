// Fonts and text. Glyphs are rendered without antialiasing into a scratch image and
// put on the surface as pixel runs, so text works on every pixel format and clip.
#include "platform/graphics/canvas_private.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdint>

using raster::Span;
using raster::Spans;

namespace {

// a·b/c rounded half away from zero, held within ±INT32_MAX so that the callers may
// negate it whatever size a font was given.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const double v = double(a) * double(b) / double(c);
    return int(std::clamp(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5), -double(INT32_MAX), double(INT32_MAX)));
}

}  // namespace

int TFont::Height() const { return -mulDiv(Size, PixelsPerInch, 72); }

void TFont::SetHeight(int h) { Size = -mulDiv(h, 72, PixelsPerInch); }

QFont TFont::toQFont() const
{
    QFont f(Name);
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    f.setStyleStrategy(QFont::NoAntialias);
    const int h = Height();
    if (h < 0) {
        f.setPixelSize(std::min(-h, 2000));
    } else if (h > 0) {
        // A positive height is the whole cell; find the character size that fills it.
        const int cell = std::min(h, 2000);
        f.setPixelSize(cell);
        const int got = QFontMetrics(f).height();
        if (got > 0)
            f.setPixelSize(std::max(1, cell * cell / got));
    } else {
        f.setPixelSize(mulDiv(8, PixelsPerInch, 72));
    }
    return f;
}

namespace {

struct TextLayout {
    QFont font;
    int width = 0, height = 0, ascent = 0;
    double angle = 0;  // degrees counter-clockwise
};

TextLayout layoutOf(const TFont& f, const QString& text)
{
    TextLayout t;
    t.font = f.toQFont();
    const QFontMetrics fm(t.font);
    t.width = fm.horizontalAdvance(text);
    t.height = fm.height();
    t.ascent = fm.ascent();
    t.angle = f.Orientation / 10.0;
    return t;
}

QTransform textTransform(const TextLayout& t, int x, int y)
{
    QTransform m;
    m.translate(x, y);
    m.rotate(-t.angle);
    return m;
}

// The text cell as pixel runs (upright: exactly the cell rectangle).
Spans cellSpans(const TextLayout& t, int x, int y, const TRect& window)
{
    if (t.angle == 0) {
        raster::RowSet set(window);
        for (int64_t row = y; row < int64_t(y) + t.height; ++row) {
            if (row < window.Top)
                row = window.Top;
            if (row >= window.Bottom)
                break;
            set.Add(row, x, int64_t(x) + t.width);
        }
        return set.Take();
    }
    const QTransform m = textTransform(t, x, y);
    const QRectF reach = m.mapRect(QRectF(0, 0, t.width, t.height));
    if (!reach.intersects(QRectF(window.Left, window.Top, window.Width(), window.Height())))
        return Spans();
    // Near the window now, so the corners fit in ints.
    const QPolygonF cell = m.map(QPolygonF(QRectF(0, 0, t.width, t.height)));
    std::vector<TPoint> pts;
    for (int i = 0; i < 4; ++i)
        pts.push_back(TPoint(int(std::lround(cell[i].x())), int(std::lround(cell[i].y()))));
    return raster::PolygonFill(pts, window);
}

// Glyph pixels, rendered only over the part of the window the text can reach.
Spans glyphSpans(const TextLayout& t, int x, int y, const QString& text, const TRect& window)
{
    const int m = t.height + 2;  // room for italic overhang and underline
    const QRect local(-m, -m, t.width + 2 * m, t.height + 2 * m);
    const QRectF reach = textTransform(t, x, y).mapRect(QRectF(local));
    const QRectF visF = reach.intersected(QRectF(window.Left, window.Top, window.Width(), window.Height()));
    if (visF.isEmpty())
        return Spans();
    TRect vis;
    if (!IntersectRect(vis, TRect::fromQRect(visF.toAlignedRect()), window))
        return Spans();
    QImage img(vis.Width(), vis.Height(), QImage::Format_RGB32);
    if (img.isNull())
        return Spans();
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(t.font);
        p.setPen(Qt::white);
        p.translate(x - vis.Left, y - vis.Top);
        p.rotate(-t.angle);
        p.drawText(0, t.ascent, text);
    }
    raster::RowSet set(window);
    for (int j = 0; j < img.height(); ++j) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(j));
        int i = 0;
        while (i < img.width()) {
            if (qRed(line[i]) < 128) {
                ++i;
                continue;
            }
            int e = i + 1;
            while (e < img.width() && qRed(line[e]) >= 128)
                ++e;
            set.Add(vis.Top + j, vis.Left + i, vis.Left + e);
            i = e;
        }
    }
    return set.Take();
}

// Cell background (unless the brush is clear), then the glyphs in the font colour;
// both limited to `box` when given.
void paintText(TCanvas& c, int x, int y, const QString& text, const TRect* box)
{
    const TextLayout t = layoutOf(c.Font, text);
    const bool opaque = !c.TextTransparent();
    if (QPainter* p = CanvasOps::External(c)) {
        if (!p->isActive())
            return;
        p->save();
        if (c.HasClip())
            p->setClipRegion(CanvasOps::ClipRegion(c), Qt::IntersectClip);
        if (box) {
            p->setClipRect(box->toQRect(), Qt::IntersectClip);
            if (opaque)
                p->fillRect(box->toQRect(), ToQColor(c.Brush.Color));
        }
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->setFont(t.font);
        p->translate(x, y);
        p->rotate(-t.angle);
        if (opaque && !box)
            p->fillRect(QRect(0, 0, t.width, t.height), ToQColor(c.Brush.Color));
        p->setPen(ToQColor(c.Font.Color));
        p->drawText(0, t.ascent, text);
        p->restore();
        return;
    }
    TRect window = CanvasOps::Window(c);
    if (box && !IntersectRect(window, window, *box))
        return;
    if (opaque) {
        Spans bg;
        if (box) {
            for (int row = window.Top; row < window.Bottom; ++row)
                bg.push_back({row, window.Left, window.Right});
        } else {
            bg = cellSpans(t, x, y, window);
        }
        CanvasOps::Paint(c, bg, Ink::Solid(c.Brush.Color, pmCopy));
    }
    if (!text.isEmpty())
        CanvasOps::Paint(c, glyphSpans(t, x, y, text, window), Ink::Solid(c.Font.Color, pmCopy));
    CanvasOps::Changed(c);
}

}  // namespace

void TCanvas::TextOut(int x, int y, const QString& text)
{
    paintText(*this, x, y, text, nullptr);
    PenPos = TPoint(int(std::min<int64_t>(int64_t(x) + TextWidth(text), INT32_MAX)), y);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text) { paintText(*this, x, y, text, &r); }

int TCanvas::TextWidth(const QString& text) { return QFontMetrics(Font.toQFont()).horizontalAdvance(text); }

int TCanvas::TextHeight(const QString& text)
{
    (void)text;
    return QFontMetrics(Font.toQFont()).height();
}
