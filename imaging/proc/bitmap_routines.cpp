// Copying bitmaps and their areas, and filling spans in any pixel format.
#include "imaging/proc/bitmap_routines.h"

#include "platform/core/color.h"
#include "platform/graphics/region.h"

#include <algorithm>
#include <cstring>

namespace {

int bytesPerPixel(TPixelFormat f)
{
    switch (f) {
    case pf8bit: return 1;
    case pf32bit: return 4;
    case pf1bit: return 0;
    default: return 3;
    }
}

// Writes one colour over pixels [left, right) of a row in the bitmap's own representation.
void fillSpan(TBitmap* bm, uint8_t* row, int left, int right, TColor rgb)
{
    const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    switch (bm->PixelFormat()) {
    case pf1bit: {
        const bool white = GreyValue(r, g, b) >= 128;
        for (int x = left; x < right; ++x) {
            if (white)
                row[x >> 3] |= uint8_t(0x80 >> (x & 7));
            else
                row[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
        }
        break;
    }
    case pf8bit: std::memset(row + left, GreyValue(r, g, b), size_t(right - left)); break;
    case pf32bit:
        for (int x = left; x < right; ++x) {
            row[4 * x] = uint8_t(b);
            row[4 * x + 1] = uint8_t(g);
            row[4 * x + 2] = uint8_t(r);
            row[4 * x + 3] = 0xFF;
        }
        break;
    default:
        for (int x = left; x < right; ++x) {
            row[3 * x] = uint8_t(b);
            row[3 * x + 1] = uint8_t(g);
            row[3 * x + 2] = uint8_t(r);
        }
        break;
    }
}

// Copies pixels [sx, sx + count) of a source row to dx of a destination row.
void copyPixels(TPixelFormat f, uint8_t* dst, int dx, const uint8_t* src, int sx, int count)
{
    if (count <= 0)
        return;
    if (f == pf1bit) {
        CopyBits(dst, src, dx, count, sx);
        return;
    }
    const int bpp = bytesPerPixel(f);
    std::memmove(dst + size_t(dx) * bpp, src + size_t(sx) * bpp, size_t(count) * bpp);
}

}  // namespace

void CopyBitmap(const TBitmap* source, TBitmap* destination)
{
    if (!source || !destination || source == destination)
        return;
    if (source->Width() > 0 && source->Height() > 0) {
        destination->Assign(*source);
        return;
    }
    TBitmap one(1, 1, source->PixelFormat());
    destination->Assign(one);
}

void CopyBitmapArea(const TBitmap* source, TBitmap* destination, int x1, int y1, int x2, int y2)
{
    if (!source || !destination)
        return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, source->Width() - 1);
    y2 = std::min(y2, source->Height() - 1);
    const TPixelFormat f = source->PixelFormat();
    if (x2 < x1 || y2 < y1) {
        TBitmap none(0, 0, f);
        destination->Assign(none);
        return;
    }
    const int w = x2 - x1 + 1, h = y2 - y1 + 1;
    TBitmap out(w, h, f);
    if (f == pf8bit)
        out.Image().setColorTable(source->Image().colorTable());
    for (int y = 0; y < h; ++y) {
        uint8_t* d = out.ScanLine(y);
        if (f == pf1bit)
            std::memset(d, 0, size_t(out.BytesPerLine()));
        copyPixels(f, d, 0, source->ScanLine(y1 + y), x1, w);
    }
    destination->Assign(out);
}

void CopyBitmapRect(const TBitmap* source, TBitmap* destination, int x1, int y1, int x2, int y2)
{
    if (!source || !destination)
        return;
    if (x2 == 0 || x2 >= source->Width())
        x2 = source->Width() - 1;
    if (y2 == 0 || y2 >= source->Height())
        y2 = source->Height() - 1;
    CopyBitmapArea(source, destination, x1, y1, x2, y2);
}

void CopyBits(uint8_t* destination, const uint8_t* source, int destBit, int count, int srcBit)
{
    if (count <= 0)
        return;
    if ((destBit & 7) == 0 && (srcBit & 7) == 0) {
        const int whole = count / 8;
        std::memmove(destination + destBit / 8, source + srcBit / 8, size_t(whole));
        destBit += whole * 8;
        srcBit += whole * 8;
        count -= whole * 8;
    }
    for (int i = 0; i < count; ++i) {
        const int s = srcBit + i, d = destBit + i;
        const uint8_t dm = uint8_t(0x80 >> (d & 7));
        if (source[s >> 3] & (0x80 >> (s & 7)))
            destination[d >> 3] |= dm;
        else
            destination[d >> 3] &= uint8_t(~dm);
    }
}

void InvertBits(TBitmap* bitmap)
{
    if (!bitmap || bitmap->PixelFormat() != pf1bit || bitmap->Empty())
        return;
    const int n = bitmap->BytesPerLine();
    for (int y = 0; y < bitmap->Height(); ++y) {
        uint8_t* row = bitmap->ScanLine(y);
        for (int i = 0; i < n; ++i)
            row[i] = uint8_t(~row[i]);
    }
}

TRGBTriple MeanColor(const TBitmap* bitmap)
{
    if (!bitmap || bitmap->PixelFormat() != pf24bit || bitmap->Empty())
        return MakeRGB(128, 128, 128);
    uint64_t r = 0, g = 0, b = 0;
    for (int y = 0; y < bitmap->Height(); ++y) {
        const uint8_t* p = bitmap->ScanLine(y);
        for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
            b += p[0];
            g += p[1];
            r += p[2];
        }
    }
    const uint64_t n = uint64_t(bitmap->Width()) * uint64_t(bitmap->Height());
    return MakeRGB(int(r / n), int(g / n), int(b / n));
}

void FillBitmapRect(TBitmap* bitmap, int x1, int y1, int x2, int y2, TColor color)
{
    if (!bitmap || bitmap->Empty())
        return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, bitmap->Width() - 1);
    y2 = std::min(y2, bitmap->Height() - 1);
    if (x2 < x1 || y2 < y1)
        return;
    const TColor rgb = ColorToRGB(color);
    for (int y = y1; y <= y2; ++y)
        fillSpan(bitmap, bitmap->ScanLine(y), x1, x2 + 1, rgb);
}

void CopyBitmapInto(TBitmap* destination, int x, int y, const TBitmap* source)
{
    if (!destination || !source || destination->Empty() || source->Empty())
        return;
    if (destination->PixelFormat() != source->PixelFormat())
        return;
    TRect both;
    if (!IntersectRect(both, TRect(0, 0, destination->Width(), destination->Height()),
                       TRect(x, y, x + source->Width(), y + source->Height())))
        return;
    for (int row = both.Top; row < both.Bottom; ++row)
        copyPixels(destination->PixelFormat(), destination->ScanLine(row), both.Left, source->ScanLine(row - y),
                   both.Left - x, both.Width());
}

void FillPolygon(TBitmap* bitmap, const std::vector<TPoint>& polygon, TColor color)
{
    if (!bitmap || bitmap->Empty())
        return;
    const TRegion region = TRegion::FromPolygon(polygon, TRect(0, 0, bitmap->Width(), bitmap->Height()));
    const TColor rgb = ColorToRGB(color);
    for (int y = region.Top(); y < region.Top() + region.RowCount(); ++y) {
        const auto& spans = region.RowSpans(y);
        if (spans.empty())
            continue;
        uint8_t* row = bitmap->ScanLine(y);
        for (const auto& s : spans)
            fillSpan(bitmap, row, s.Left, s.Right, rgb);
    }
}

void DrawThroughPolygon(TBitmap* destination, int x, int y, const TBitmap* source, const std::vector<TPoint>& polygon)
{
    if (!destination || !source || destination->Empty() || source->Empty())
        return;
    if (destination->PixelFormat() != source->PixelFormat())
        return;
    TRect clip(0, 0, destination->Width(), destination->Height());
    TRect placed(x, y, x + source->Width(), y + source->Height());
    TRect both;
    if (!IntersectRect(both, clip, placed))
        return;
    const TRegion region = TRegion::FromPolygon(polygon, both);
    const TPixelFormat f = destination->PixelFormat();
    for (int row = region.Top(); row < region.Top() + region.RowCount(); ++row) {
        const auto& spans = region.RowSpans(row);
        if (spans.empty())
            continue;
        uint8_t* d = destination->ScanLine(row);
        const uint8_t* s = source->ScanLine(row - y);
        for (const auto& sp : spans)
            copyPixels(f, d, sp.Left, s, sp.Left - x, sp.Right - sp.Left);
    }
}

void CopyPolygonRect(const TBitmap* source, TBitmap* destination, const std::vector<TPoint>& polygon, int x1, int y1,
                     int x2, int y2, TColor fill)
{
    if (!source || !destination)
        return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, source->Width() - 1);
    y2 = std::min(y2, source->Height() - 1);
    if (x2 < x1 || y2 < y1) {
        TBitmap none(0, 0, source->PixelFormat());
        destination->Assign(none);
        return;
    }
    TBitmap out(x2 - x1 + 1, y2 - y1 + 1, source->PixelFormat());
    if (source->PixelFormat() == pf8bit)
        out.Image().setColorTable(source->Image().colorTable());
    FillBitmapRect(&out, 0, 0, out.Width() - 1, out.Height() - 1, fill);
    // The rectangle copy, then the polygon region brings its pixels in.
    TBitmap box;
    CopyBitmapArea(source, &box, x1, y1, x2, y2);
    std::vector<TPoint> shifted;
    shifted.reserve(polygon.size());
    for (const TPoint& p : polygon)
        shifted.emplace_back(p.X - x1, p.Y - y1);
    DrawThroughPolygon(&out, 0, 0, &box, shifted);
    destination->Assign(out);
}
