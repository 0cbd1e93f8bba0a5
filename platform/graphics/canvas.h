// TCanvas with its pens, brushes, fonts, copy modes and drawing rules.
#pragma once
#include "platform/core/color.h"
#include "platform/core/geometry.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;
class QPainter;
class QPaintDevice;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFillStyle { fsSurface, fsBorder };
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;

// Block transfer modes of Draw, StretchDraw and CopyRect (GDI's ternary raster codes
// that involve only source and destination).
using TCopyMode = int32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// Widths above 1 draw solid with round ends (styles apply to thin pens only); the gaps
// of a styled pen take the brush colour when the brush is bsSolid, else stay clear.
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

// Hatches repeat every 8 pixels in surface coordinates and leave their background
// untouched. A pattern bitmap (usually 8 × 8) tiles from the surface origin; a 1-bit
// pattern paints its 0 bits in the font colour and its 1 bits in the brush colour.
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    // The pattern; when set it replaces Style (not owned).
    const TBitmap* Bitmap = nullptr;
};

struct TFont {
    QString Name = QStringLiteral("DejaVu Sans");
    int Size = 8;  // points; Height = -Size * PixelsPerInch / 72
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    int PixelsPerInch = 96;
    // Text direction in tenths of a degree, counter-clockwise.
    int Orientation = 0;
    int Height() const;
    void SetHeight(int h);
    QFont toQFont() const;
};

// Drawing surface with the GDI rules: rectangles and ellipses leave out
// their right and bottom edge (one more pixel there with a psClear pen), LineTo leaves
// out its end point, pen modes are raster operations on the pixels of lines and shape
// fills (FillRect, FrameRect, FloodFill, text and SetPixel always copy), Pixel outside
// the surface or the clip reads clNone and writes there are ignored. Antialiasing is
// never used; every pixel format of TBitmap can be drawn on.
class TCanvas {
public:
    explicit TCanvas(TBitmap* bitmap);
    // A canvas over a painter that someone else began (a paint event); raster pen
    // modes other than pmCopy fall back to the painter's composition modes there.
    explicit TCanvas(QPainter* painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TPoint PenPos;
    TCopyMode CopyMode = cmSrcCopy;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int ellipseW, int ellipseH);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    // fsSurface fills the 4-connected area of `color`, fsBorder everything up to `color`;
    // both with the brush.
    void FloodFill(int x, int y, TColor color, TFillStyle style);

    // Writes with the top-left corner of the text cell at (x, y) and moves PenPos behind it.
    void TextOut(int x, int y, const QString& text);
    // Clipped to r; a non-clear brush fills the whole of r first.
    void TextRect(const TRect& r, int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    // Transparent when the brush style is bsClear, else on the brush colour.
    bool TextTransparent() const { return Brush.Style == bsClear; }

    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);  // nearest neighbour
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // StretchDraw of a part of an image that leaves the surface alone where the image's
    // alpha is 0 (masked glyphs and image lists); the copy mode applies to the rest.
    void DrawKeyed(const TRect& dest, const QImage& argb, const TRect& sourceRect);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Clipping: a rectangle or a polygon region (alternate fill); Reset removes it.
    void SetClipRect(const TRect& r);
    void SetClipPolygon(const std::vector<TPoint>& points);
    void ResetClip();
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    bool HasClip() const;
    // The clip's bounding box, or the whole surface without a clip.
    TRect ClipRect() const;

    TBitmap* Bitmap() const { return bitmap_; }
    // The painter of a canvas made over one (a paint event), else null.
    QPainter* ExternalPainter() const;

    // Exclusive use by one drawer at a time (single-threaded: a counter).
    void Lock() { ++lockCount_; }
    void Unlock()
    {
        if (lockCount_ > 0)
            --lockCount_;
    }
    bool TryLock()
    {
        if (lockCount_ > 0)
            return false;
        Lock();
        return true;
    }
    int LockCount() const { return lockCount_; }

    // Ends any painter held on the bitmap so that its pixels can be touched directly.
    void Release();

private:
    friend struct CanvasOps;
    struct Impl;
    TBitmap* bitmap_ = nullptr;
    int lockCount_ = 0;
    std::unique_ptr<Impl> d_;
};
