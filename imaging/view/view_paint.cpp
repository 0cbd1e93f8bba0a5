// Painting of the single-image view: background styles, the zoomed image, the selection
// outline and the polygon's rubber line.
#include "imaging/view/image_kit_view.h"
#include "imaging/view/view_stretch.h"

#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// GDI's 8 × 8 hatch patterns, top row first, leftmost pixel in the top bit.
const uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

QColor complementOf(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return ToQColor(TColor(~uint32_t(rgb) & 0xFFFFFFu));
}

// Pixels a line from (x0, y0) towards (x1, y1) visits, the end point left out.
template <typename F> void lineWalk(int x0, int y0, int x1, int y1, F&& visit)
{
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        visit(x0, y0);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// The same walk for an outline segment that may reach far outside the client area (a
// selection given in bitmap pixels, a deep zoom): a long segment is cut to the client
// rectangle so that painting never visits millions of unseen pixels. counter (0 … 5)
// advances by the pixels skipped, so the dashes stay where the full walk puts them.
template <typename F> void outlineWalk(int x0, int y0, int x1, int y1, const QRect& clip, int& counter, F&& visit)
{
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t n = std::max(std::abs(dx), std::abs(dy));  // pixels the full walk visits
    const int64_t limit = 4 * (int64_t(clip.width()) + clip.height()) + 64;
    auto advance = [&counter](int64_t k) { counter = int((counter + k % 6) % 6); };
    if (n <= limit) {
        lineWalk(x0, y0, x1, y1, [&](int x, int y) {
            visit(x, y);
            advance(1);
        });
        return;
    }
    // Liang-Barsky against the clip rectangle grown by a pixel.
    double t0 = 0, t1 = 1;
    const double l = clip.left() - 1.0, r = clip.right() + 1.0, t = clip.top() - 1.0, b = clip.bottom() + 1.0;
    auto cut = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double u = q / p;
        if (p < 0) {
            if (u > t1)
                return false;
            t0 = std::max(t0, u);
        } else {
            if (u < t0)
                return false;
            t1 = std::min(t1, u);
        }
        return true;
    };
    if (!(cut(-double(dx), x0 - l) && cut(double(dx), r - x0) && cut(-double(dy), y0 - t) && cut(double(dy), b - y0))) {
        advance(n);
        return;
    }
    const int64_t first = std::clamp<int64_t>(int64_t(std::floor(t0 * double(n))), 0, n);
    const int64_t last = std::clamp<int64_t>(int64_t(std::ceil(t1 * double(n))), first, n);
    auto at = [&](int64_t i, int& x, int& y) {
        x = int(x0 + std::llround(double(dx) * double(i) / double(n)));
        y = int(y0 + std::llround(double(dy) * double(i) / double(n)));
    };
    int sx, sy, ex, ey;
    at(first, sx, sy);
    at(last, ex, ey);
    advance(first);
    lineWalk(sx, sy, ex, ey, [&](int x, int y) {
        visit(x, y);
        advance(1);
    });
    advance(n - last);
}

}  // namespace

void TImageKitView::paintBackground(QPainter& p, const QRect& r)
{
    const QColor bg = ToQColor(background_);
    switch (backgroundStyle_) {
    case ikbsSolid: p.fillRect(r, bg); break;
    case ikbsHorizontal:
    case ikbsVertical:
    case ikbsFDiagonal:
    case ikbsBDiagonal:
    case ikbsCross:
    case ikbsDiagCross: {
        // Hatch lines over clWindow: the GDI rule leaves the area under them unpainted.
        p.fillRect(r, ToQColor(clWindow));
        const uint8_t* pat = kHatch[backgroundStyle_ - ikbsHorizontal];
        QImage tile(8, 8, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (pat[y] & (0x80 >> x))
                    tile.setPixel(x, y, bg.rgb());
        QBrush brush(tile);
        p.save();
        p.setBrushOrigin(0, 0);
        p.fillRect(r, brush);
        p.restore();
        break;
    }
    case ikbsChessboard: {
        const QColor first = complementOf(background_);
        const int cw = ClientWidth(), ch = ClientHeight();
        for (int y = 0, row = 0; y < ch; y += 16, ++row)
            for (int x = 0, col = 0; x < cw; x += 16, ++col)
                p.fillRect(QRect(x, y, 16, 16), ((row + col) & 1) == 0 ? first : bg);
        break;
    }
    case ikbsDiagonals: {
        p.fillRect(r, bg);
        const int cw = ClientWidth(), ch = ClientHeight();
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(complementOf(background_), 0));
        p.drawLine(0, 0, cw, ch);
        p.drawLine(cw, 0, 0, ch);
        p.restore();
        break;
    }
    }
}

// Source rectangle in bitmap pixels for the visible part (see Update's drawn sizes).
QRect TImageKitView::sourceRect(bool decrementAtEdge) const
{
    const int bw = bitmap_->Width(), bh = bitmap_->Height();
    int sx = 0, sy = 0, sw = 0, sh = 0;
    if (zoomedW_ > 0) {
        const double scale = double(bw) / zoomedW_;
        sw = Round(drawnW_ * scale);
        sx = Round(scale * viewX_);
        if (decrementAtEdge && sx + sw > bw)
            --sw;
    }
    if (zoomedH_ > 0) {
        const double scale = double(bh) / zoomedH_;
        sh = Round(drawnH_ * scale);
        sy = Round(scale * viewY_);
        if (decrementAtEdge && sy + sh > bh)
            --sh;
    }
    // Never outside the bitmap, whatever rounding did.
    sx = std::clamp(sx, 0, bw);
    sy = std::clamp(sy, 0, bh);
    sw = std::clamp(sw, 0, bw - sx);
    sh = std::clamp(sh, 0, bh - sy);
    return QRect(sx, sy, sw, sh);
}

bool TImageKitView::WouldFilter() const { return !(zoomFilter_ == rfNone || filterCountdown_ >= 1 || zoom_ <= 100); }

void TImageKitView::paintImage(QPainter& p, int destX, int destY, bool plain, QRect src)
{
    if (drawnW_ <= 0 || drawnH_ <= 0 || src.width() <= 0 || src.height() <= 0)
        return;
    const QImage& img = std::as_const(*bitmap_).Image();
    lastPaintFiltered_ = !plain;
    if (plain) {
        StretchNearest(img, src, drawnW_, drawnH_, stretchBuf_);
        p.drawImage(destX, destY, stretchBuf_);
        return;
    }
    // Enlarging with a filter: only the visible part is resampled; a 1-bit copy is
    // expanded to 24 bits first.
    QImage part = img.copy(src);
    if (part.format() != QImage::Format_BGR888)
        part = part.convertToFormat(QImage::Format_BGR888);
    QImage out = ZoomResampleImage(part, drawnW_, drawnH_, zoomFilter_);
    p.drawImage(destX, destY, out);
}

void TImageKitView::PaintTo(QPainter& p)
{
    const int cw = ClientWidth(), ch = ClientHeight();
    const QRect client(0, 0, cw, ch);
    const int bh = bitmap_->Height();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (((drawnW_ < cw || drawnH_ < ch) && !center_) || bh == 0) {
        p.save();
        p.setClipRegion(QRegion(client).subtracted(QRegion(0, 0, drawnW_, drawnH_)), Qt::IntersectClip);
        paintBackground(p, client);
        p.restore();
    }
    if (bh >= 1) {
        const QRect src = sourceRect(true);
        if (center_) {
            p.save();
            p.setClipRegion(QRegion(client).subtracted(QRegion(offsetX_, offsetY_, drawnW_, drawnH_)),
                            Qt::IntersectClip);
            paintBackground(p, client);
            p.restore();
        }
        paintImage(p, offsetX_, offsetY_, !WouldFilter(), src);
    }
    p.restore();
}

void TImageKitView::PaintToCanvas(QPainter& p)
{
    if (bitmap_->Height() < 1)
        return;
    const bool plain = zoomFilter_ == rfNone || zoom_ == 100;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    paintImage(p, 0, 0, plain, sourceRect(false));
    p.restore();
}

// Runs a painter over a canvas: the paint in progress, or a bitmap's pixels.
template <typename F> static void withPainter(TCustomControl* self, TCanvas* canvas, F&& paint)
{
    if (!canvas)
        return;
    if (canvas == self->Canvas() && self->Painter()) {
        paint(*self->Painter());
        return;
    }
    TBitmap* bmp = canvas->Bitmap();
    if (!bmp || bmp->Empty())
        return;
    canvas->Release();
    QImage& img = bmp->Image();
    const QImage::Format original = img.format();
    QImage work = img.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&work);
        paint(p);
    }
    if (original == QImage::Format_Mono)
        img = ConvertToPixelFormat(work, pf1bit);  // the grey rule every 1-bit drawing uses
    else
        img = work.convertToFormat(original, img.colorTable());
}

void TImageKitView::PaintTo(TCanvas* canvas)
{
    withPainter(this, canvas, [this](QPainter& p) { PaintTo(p); });
}

void TImageKitView::PaintToCanvas(TCanvas* canvas)
{
    withPainter(this, canvas, [this](QPainter& p) { PaintToCanvas(p); });
}

void TImageKitView::Paint()
{
    QPainter* pp = Painter();
    if (!pp || lock_ > 0)
        return;
    QPainter& p = *pp;
    if (doubleBuffer_) {
        const QSize size(ClientWidth(), ClientHeight());
        if (backBuffer_.size() != size) {
            backBuffer_ = QImage(size, QImage::Format_RGB32);
            backDirty_ = true;
        }
        if (backDirty_ && !backBuffer_.isNull()) {
            QPainter bp(&backBuffer_);
            PaintTo(bp);
            backDirty_ = false;
        }
        p.drawImage(0, 0, backBuffer_);
    } else {
        PaintTo(p);
    }
    drawOutline(p);
    drawRubberLine(p);
}

void TImageKitView::drawOutline(QPainter& p)
{
    const TIKSelectionRecord& r = *sel_;
    if (!r.Visible || lock_ > 0 || r.Points.empty())
        return;
    QPolygon a, b;
    int counter = r.Phase;
    const QRect clip(0, 0, ClientWidth(), ClientHeight());
    // Called before the counter advances past the pixel.
    auto visit = [&](int x, int y) {
        if (clip.contains(x, y))
            (counter < 3 ? a : b).append(QPoint(x, y));
    };
    std::vector<QPoint> pts;
    pts.reserve(r.Points.size());
    for (const QPointF& bp : r.Points)
        pts.push_back(bitmapToClient(bp));
    for (size_t i = 1; i < pts.size(); ++i)
        outlineWalk(pts[i - 1].x(), pts[i - 1].y(), pts[i].x(), pts[i].y(), clip, counter, visit);
    if (!polyDrawing_)
        outlineWalk(pts.back().x(), pts.back().y(), pts.front().x(), pts.front().y(), clip, counter, visit);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ToQColor(r.ColorA), 0));
    p.drawPoints(a);
    p.setPen(QPen(ToQColor(r.ColorB), 0));
    p.drawPoints(b);
    p.restore();
}

void TImageKitView::drawRubberLine(QPainter& p)
{
    if (!polyDrawing_ || sel_->Points.empty())
        return;
    const QPoint last = bitmapToClient(sel_->Points.back());
    QPolygon line;
    const QRect clip(0, 0, ClientWidth(), ClientHeight());
    int unused = 0;
    outlineWalk(rubberEnd_.x(), rubberEnd_.y(), last.x(), last.y(), clip, unused, [&](int x, int y) {
        if (clip.contains(x, y))
            line.append(QPoint(x, y));
    });
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    // Inverted pixels, as a pmNot pen draws them under the GDI rule.
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setPen(QPen(Qt::black, 0));
    p.drawPoints(line);
    p.restore();
}

// Only the outline's box needs painting again (the dashes move every tick).
void TImageKitView::invalidateOutline()
{
    const TIKSelectionRecord& r = *sel_;
    if (r.Points.empty())
        return;
    // Box of the client points, cut to the client area (points may lie very far out).
    int64_t x1 = INT64_MAX, y1 = INT64_MAX, x2 = INT64_MIN, y2 = INT64_MIN;
    auto add = [&](const QPoint& c) {
        x1 = std::min<int64_t>(x1, c.x());
        y1 = std::min<int64_t>(y1, c.y());
        x2 = std::max<int64_t>(x2, c.x());
        y2 = std::max<int64_t>(y2, c.y());
    };
    for (const QPointF& bp : r.Points)
        add(bitmapToClient(bp));
    if (polyDrawing_)
        add(rubberEnd_);
    const int64_t cw = ClientWidth(), ch = ClientHeight();
    x1 = std::clamp<int64_t>(x1 - 1, -1, cw + 1);
    y1 = std::clamp<int64_t>(y1 - 1, -1, ch + 1);
    x2 = std::clamp<int64_t>(x2 + 1, -1, cw + 1);
    y2 = std::clamp<int64_t>(y2 + 1, -1, ch + 1);
    update(QRect(QPoint(int(x1), int(y1)), QPoint(int(x2), int(y2))).translated(ClientOrigin()));
}
