// Shared between the canvas's source files; not for other users.
#pragma once
#include "platform/graphics/canvas.h"
#include "platform/graphics/raster.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <cstdint>
#include <vector>

// What a primitive puts on its pixels: one colour, or a tiled pattern whose clear cells
// leave the surface alone, combined with the surface by a raster operation.
struct Ink {
    int w = 1, h = 1;
    std::vector<TColor> colors{clBlack};  // plain RGB, system colours resolved
    std::vector<uint8_t> opaque{1};
    TPenMode mode = pmCopy;

    static Ink Solid(TColor c, TPenMode mode);
    bool Uniform() const { return w == 1 && h == 1; }
    int Index(int x, int y) const
    {
        const int px = x % w, py = y % h;
        return (py < 0 ? py + h : py) * w + (px < 0 ? px + w : px);
    }
};

struct TCanvas::Impl {
    QPainter* external = nullptr;
    bool hasClip = false;
    raster::Region clip;
};

// The canvas's internals, used by its source files.
struct CanvasOps {
    // Logical bounds of the surface.
    static TRect Surface(const TCanvas& c);
    // Surface limited to the clip box: where anything can appear.
    static TRect Window(const TCanvas& c);
    // Clips the spans and puts the ink on them.
    static void Paint(TCanvas& c, const raster::Spans& spans, const Ink& ink);
    static void Changed(TCanvas& c);

    static bool HasBrush(const TCanvas& c);
    static Ink BrushInk(const TCanvas& c, TPenMode mode);
    static bool OpaqueGaps(const TCanvas& c) { return c.Brush.Style == bsSolid; }

    // Maps a copy mode onto the equivalent two-operand raster operation.
    static TPenMode CopyModeOp(TCopyMode mode);
    // Nearest-neighbour block transfer from src's sourceRect to dest.
    // keyed: src is ARGB32 and its pixels of alpha 0 leave the surface alone.
    static void Blit(TCanvas& c, const TRect& dest, const QImage& src, const TRect& sourceRect, bool keyed = false);

    // The bitmap's pixels to write: its own (raises EOutOfMemory when they cannot be
    // had); null when the canvas draws on a painter.
    static QImage* Image(TCanvas& c);
    // The same for reading: no copy is made.
    static const QImage* ImageToRead(const TCanvas& c);
    static QPainter* External(const TCanvas& c) { return c.bitmap_ ? nullptr : c.d_->external; }
    // The clip as a painter region (only when a clip is set).
    static QRegion ClipRegion(const TCanvas& c);
};

// Pixel helpers over the four bitmap layouts.
namespace pixels {
// 1, 8, 24 or 32.
int Depth(const QImage& img);
// A colour in the image's own representation (bit, index or 0xRRGGBB).
uint32_t ToNative(const QImage& img, TColor rgb);
uint32_t ReadNative(const QImage& img, int x, int y);
TColor NativeToColor(const QImage& img, uint32_t v);
uint32_t Rop2(TPenMode mode, uint32_t pen, uint32_t dest);
// The painter's composition mode for a raster operation.
QPainter::CompositionMode CompositionOf(TPenMode mode);
// Rows of r inside the window.
raster::Spans RectSpans(const TRect& r, const TRect& window);

inline uint32_t MaskOf(int depth) { return depth == 1 ? 1u : depth == 8 ? 0xFFu : 0xFFFFFFu; }

inline void WriteNative(uchar* line, int depth, int x, uint32_t v)
{
    switch (depth) {
    case 1:
        if (v & 1)
            line[x >> 3] |= uchar(0x80 >> (x & 7));
        else
            line[x >> 3] &= uchar(~(0x80 >> (x & 7)));
        break;
    case 8: line[x] = uchar(v); break;
    case 24:
        line[3 * x] = uchar(v);
        line[3 * x + 1] = uchar(v >> 8);
        line[3 * x + 2] = uchar(v >> 16);
        break;
    default: reinterpret_cast<QRgb*>(line)[x] = 0xFF000000u | v; break;
    }
}

inline uint32_t ReadLine(const uchar* line, int depth, int x)
{
    switch (depth) {
    case 1: return (line[x >> 3] >> (7 - (x & 7))) & 1u;
    case 8: return line[x];
    case 24: return uint32_t(line[3 * x + 2]) << 16 | uint32_t(line[3 * x + 1]) << 8 | line[3 * x];
    default: return reinterpret_cast<const QRgb*>(line)[x] & 0xFFFFFFu;
    }
}
}  // namespace pixels
