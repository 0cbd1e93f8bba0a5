// Block transfers: Draw, StretchDraw, CopyRect, nearest neighbour with copy modes.
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas_private.h"

#include <QPainter>
#include <cstring>
#include <unordered_map>

using raster::Span;
using raster::Spans;
using namespace pixels;

namespace {

// A plain copy between 24- and 32-bit rows: the colour moves as it is, and a 32-bit
// target gets an opaque alpha, as WriteNative writes it.
template <int From, int To> void copyColours(const uchar* in, uchar* out, const int* cols, int x0, int x1)
{
    for (int x = x0; x < x1; ++x) {
        const int sx = cols[x];
        if (sx < 0)
            continue;
        if constexpr (From == 24 && To == 24) {
            std::memcpy(out + 3 * x, in + 3 * sx, 3);
        } else if constexpr (To == 24) {
            std::memcpy(out + 3 * x, in + 4 * sx, 3);  // blue, green, red of a little-endian pixel
        } else if constexpr (From == 24) {
            reinterpret_cast<QRgb*>(out)[x] = 0xFF000000u | uint32_t(in[3 * sx + 2]) << 16 |
                                              uint32_t(in[3 * sx + 1]) << 8 | in[3 * sx];
        } else {
            reinterpret_cast<QRgb*>(out)[x] = 0xFF000000u | reinterpret_cast<const QRgb*>(in)[sx];
        }
    }
}

using CopyRow = void (*)(const uchar*, uchar*, const int*, int, int);

CopyRow colourCopier(int from, int to)
{
    if (from == 24)
        return to == 24 ? copyColours<24, 24> : copyColours<24, 32>;
    return to == 24 ? copyColours<32, 24> : copyColours<32, 32>;
}

}  // namespace

void CanvasOps::Blit(TCanvas& c, const TRect& dest, const QImage& src, const TRect& sourceRect, bool keyed)
{
    keyed = keyed && src.format() == QImage::Format_ARGB32;
    // 64-bit sizes: corners may lie anywhere in the int range.
    const int64_t dwS = int64_t(dest.Right) - dest.Left, dhS = int64_t(dest.Bottom) - dest.Top;
    const int64_t swS = int64_t(sourceRect.Right) - sourceRect.Left, shS = int64_t(sourceRect.Bottom) - sourceRect.Top;
    const int64_t dw = std::abs(dwS), dh = std::abs(dhS), sw = std::abs(swS), sh = std::abs(shS);
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || src.isNull())
        return;
    const bool flipX = (dwS < 0) != (swS < 0);
    const bool flipY = (dhS < 0) != (shS < 0);
    const TRect nd(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom), std::max(dest.Left, dest.Right),
                   std::max(dest.Top, dest.Bottom));
    const int64_t sl = std::min(sourceRect.Left, sourceRect.Right), st = std::min(sourceRect.Top, sourceRect.Bottom);
    const TPenMode op = CopyModeOp(c.CopyMode);
    // Centre sampling: destination pixel j of d takes source pixel ((2j + 1)·s) / (2d).
    auto sample = [](int64_t j, int64_t d, int64_t s, bool flip) {
        if (flip)
            j = d - 1 - j;
        return int64_t((__int128(2) * j + 1) * s / (__int128(2) * d));
    };

    if (QImage* img = Image(c)) {
        TRect vis;
        if (!IntersectRect(vis, nd, Window(c)))
            return;
        Spans spans = RectSpans(vis, vis);
        if (c.d_->hasClip)
            spans = c.d_->clip.Clip(spans);
        if (spans.empty())
            return;
        const QImage from = src;  // shares; a self-copy detaches the target on write
        const int sd = Depth(from), dd = Depth(*img);
        const uint32_t mask = MaskOf(dd);
        std::vector<int> cols(size_t(vis.Width()));
        bool everyColumn = true;  // every visible column takes a source pixel
        for (int x = vis.Left; x < vis.Right; ++x) {
            const int64_t sx = sl + sample(int64_t(x) - nd.Left, dw, sw, flipX);
            cols[size_t(x - vis.Left)] = sx < 0 || sx >= from.width() ? -1 : int(sx);
            everyColumn = everyColumn && cols[size_t(x - vis.Left)] >= 0;
        }
        // A plain copy makes each row from its source row alone: a row that an enlargement
        // repeats is copied from the one made before it, and colour rows skip the lookups.
        const bool plain = op == pmCopy && !keyed;
        const CopyRow colours = plain && sd >= 24 && dd >= 24 ? colourCopier(sd, dd) : nullptr;
        const int bytesPerPixel = dd / 8;
        const int* const colsAt = cols.data() - vis.Left;
        int64_t lastSy = -1;
        const Span* last = nullptr;
        std::unordered_map<uint32_t, uint32_t> cache;
        std::vector<uint32_t> srcTable;
        if (sd <= 8)
            for (int i = 0; i < from.colorCount(); ++i)
                srcTable.push_back(ToNative(*img, NativeToColor(from, uint32_t(i))));
        for (const Span& s : spans) {
            const int64_t sy = st + sample(int64_t(s.y) - nd.Top, dh, sh, flipY);
            if (sy < 0 || sy >= from.height())
                continue;
            const uchar* in = from.constScanLine(int(sy));
            uchar* out = img->scanLine(s.y);
            if (plain && dd >= 8 && everyColumn && last && sy == lastSy && last->x0 == s.x0 && last->x1 == s.x1) {
                std::memcpy(out + bytesPerPixel * s.x0, img->constScanLine(last->y) + bytesPerPixel * s.x0,
                            size_t(bytesPerPixel) * size_t(s.x1 - s.x0));
                continue;
            }
            lastSy = sy;
            last = &s;
            if (colours) {
                colours(in, out, colsAt, s.x0, s.x1);
                continue;
            }
            for (int x = s.x0; x < s.x1; ++x) {
                const int sx = cols[size_t(x - vis.Left)];
                if (sx < 0)
                    continue;
                if (keyed && qAlpha(reinterpret_cast<const QRgb*>(in)[sx]) == 0)
                    continue;
                const uint32_t sv = ReadLine(in, sd, sx);
                uint32_t p;
                if (sd <= 8) {
                    p = sv < srcTable.size() ? srcTable[sv] : ToNative(*img, sv ? clWhite : clBlack);
                } else if (dd >= 24) {
                    p = sv;
                } else {
                    auto it = cache.find(sv);
                    if (it == cache.end())
                        it = cache.emplace(sv, ToNative(*img, NativeToColor(from, sv))).first;
                    p = it->second;
                }
                const uint32_t v = op == pmCopy ? p : Rop2(op, p, ReadLine(out, dd, x));
                WriteNative(out, dd, x, v & mask);
            }
        }
        return;
    }
    QPainter* p = c.d_->external;
    if (!p || !p->isActive())
        return;
    if (sw > src.width() * 4 + 4 || sh > src.height() * 4 + 4)
        return;  // a source rectangle far beyond the image has nothing to show
    p->save();
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->setCompositionMode(keyed && op == pmCopy ? QPainter::CompositionMode_SourceOver : CompositionOf(op));
    if (c.d_->hasClip)
        p->setClipRegion(ClipRegion(c), Qt::IntersectClip);
    const QImage part = src.copy(QRect(int(sl), int(st), int(sw), int(sh))).mirrored(flipX, flipY);
    p->drawImage(QRectF(nd.Left, nd.Top, double(dw), double(dh)), part);
    p->restore();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty() || int64_t(x) + bitmap.Width() > INT32_MAX || int64_t(y) + bitmap.Height() > INT32_MAX)
        return;
    CanvasOps::Blit(*this, Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap.Image(),
                    TRect(0, 0, bitmap.Width(), bitmap.Height()));
    CanvasOps::Changed(*this);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    CanvasOps::Blit(*this, dest, bitmap.Image(), TRect(0, 0, bitmap.Width(), bitmap.Height()));
    CanvasOps::Changed(*this);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    QImage src;
    if (const QImage* img = CanvasOps::ImageToRead(source)) {
        src = *img;
    } else if (QPainter* p = source.d_->external;
               p && p->isActive() && p->device()->devType() == QInternal::Image && p->deviceTransform().isIdentity()) {
        src = *static_cast<const QImage*>(p->device());
    }
    if (src.isNull())
        return;
    CanvasOps::Blit(*this, dest, src, sourceRect);
    CanvasOps::Changed(*this);
}

void TCanvas::DrawKeyed(const TRect& dest, const QImage& argb, const TRect& sourceRect)
{
    if (argb.isNull())
        return;
    const QImage src = argb.format() == QImage::Format_ARGB32 ? argb : argb.convertToFormat(QImage::Format_ARGB32);
    CanvasOps::Blit(*this, dest, src, sourceRect, true);
    CanvasOps::Changed(*this);
}
