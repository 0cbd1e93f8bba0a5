// Flood fill: a scan-line fill over the bitmap's own pixel values, no recursion.
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas_private.h"

#include <QPainter>

using namespace pixels;

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    QImage* img = CanvasOps::Image(*this);
    if (!img || !CanvasOps::HasBrush(*this))
        return;
    const int w = img->width(), h = img->height();
    if (x < 0 || y < 0 || x >= w || y >= h || (d_->hasClip && !d_->clip.Contains(x, y)))
        return;
    const int depth = Depth(*img);
    const uint32_t target = ToNative(*img, color);
    const bool surface = style == fsSurface;
    const QImage& im = *img;
    auto match = [&](int px, int py) {
        const bool same = ReadLine(im.constScanLine(py), depth, px) == target;
        return surface ? same : !same;
    };
    if (!match(x, y))
        return;
    std::vector<uint64_t> seen((size_t(w) * size_t(h) + 63) / 64, 0);
    auto visited = [&](int px, int py) {
        const size_t i = size_t(py) * size_t(w) + size_t(px);
        return (seen[i >> 6] >> (i & 63)) & 1;
    };
    auto mark = [&](int px, int py) {
        const size_t i = size_t(py) * size_t(w) + size_t(px);
        seen[i >> 6] |= uint64_t(1) << (i & 63);
    };
    raster::RowSet set(TRect(0, 0, w, h));
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        const auto [sx, sy] = stack.back();
        stack.pop_back();
        if (visited(sx, sy) || !match(sx, sy))
            continue;
        int l = sx, r = sx;
        while (l > 0 && !visited(l - 1, sy) && match(l - 1, sy))
            --l;
        while (r + 1 < w && !visited(r + 1, sy) && match(r + 1, sy))
            ++r;
        for (int i = l; i <= r; ++i)
            mark(i, sy);
        set.Add(sy, l, r + 1);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            bool inRun = false;
            for (int i = l; i <= r; ++i) {
                const bool ok = !visited(i, ny) && match(i, ny);
                if (ok && !inRun)
                    stack.push_back({i, ny});
                inRun = ok;
            }
        }
    }
    CanvasOps::Paint(*this, set.Take(), CanvasOps::BrushInk(*this, pmCopy));
    CanvasOps::Changed(*this);
}
