#pragma once
#include "platform/core/color.h"
#include "platform/core/geometry.h"

#include <QFont>
#include <QString>
#include <memory>
#include <vector>

class TBitmap;
class QPainter;
class QPaintDevice;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFillStyle { fsSurface, fsBorder };
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    // An 8 × 8 pattern; when set it replaces Style (not owned).
    const TBitmap* Bitmap = nullptr;
};

struct TFont {
    QString Name = QStringLiteral("DejaVu Sans");
    int Size = 8;              // points; Height = -Size * PixelsPerInch / 72
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    int PixelsPerInch = 96;
    int Height() const;
    void SetHeight(int h);
    QFont toQFont() const;
};

// Drawing surface with the old platform's GDI rules: rectangles and ellipses leave out
// their right and bottom edge, LineTo leaves out its end point, pen modes are raster
// operations, Pixels outside the surface read clNone and ignore writes.
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
    void FloodFill(int x, int y, TColor color, TFillStyle style);

    void TextOut(int x, int y, const QString& text);
    void TextRect(const TRect& r, int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    // Transparent when the brush style is bsClear, else on the brush colour.
    bool TextTransparent() const { return Brush.Style == bsClear; }

    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);   // nearest neighbour
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Clipping: a rectangle or a polygon region (alternate fill); Reset removes it.
    void SetClipRect(const TRect& r);
    void SetClipPolygon(const std::vector<TPoint>& points);
    void ResetClip();
    TRect ClipRect() const;

    TBitmap* Bitmap() const { return bitmap_; }

    // Ends any painter held on the bitmap so that its pixels can be touched directly.
    void Release();

private:
    struct Impl;
    TBitmap* bitmap_ = nullptr;
    std::unique_ptr<Impl> d_;
};
