// The drawing tools of the image window. Everything is drawn through the bitmap's
// canvas, whose own rasteriser works on 1-bit images as well as on 24-bit ones.
#include "app/image_window/image_window.h"

#include "app/image_window/brush_dab.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

enum Tool { tPen, tLine, tRectangle, tEllipse, tRoundRect, tFill, tText, tPick, tRedEye, tClone };

const TPenStyle penStyles[6] = {psSolid, psDash, psDot, psDashDotDot, psDashDot, psClear};
const TBrushStyle brushStyles[8] = {bsSolid,     bsClear,     bsHorizontal, bsVertical,
                                    bsFDiagonal, bsBDiagonal, bsCross,      bsDiagCross};

}  // namespace

void Tchild::prepareCanvas(TCanvas& c)
{
    const toptions& o = main_->options;
    c.Pen.Color = main_->Drawing().PenColor();
    c.Pen.Mode = pmCopy;
    c.Pen.Style = penStyles[std::clamp(o.linestyle, 0, 5)];
    c.Pen.Width = std::max(1, o.linewidth);
    c.Brush.Color = main_->Drawing().FillColor();
    c.Brush.Bitmap = nullptr;
    if (o.fillstyle == 8) {
        c.Brush.Style = bsSolid;
        const TBitmap* pattern = main_->Drawing().FillPatternBitmap();
        if (pattern && !pattern->Empty())
            c.Brush.Bitmap = pattern;
    } else {
        c.Brush.Style = brushStyles[std::clamp(o.fillstyle, 0, 7)];
    }
}

void Tchild::imageMouseDown(QObject*, TMouseButton button, TShiftState, int x, int y)
{
    const int mode = main_->Drawing().MouseModeCode();
    // A polygon being drawn is the selection in the making: each click adds a corner to it
    // and only a double click ends it, so it must not be thrown away here.
    if (imageKit->HasSelection() && mode >= mmRectangle && mode <= mmCircle && !imageKit->PolygonDrawing())
        main_->runcode(cmdSelectNone);
    if (!main_->Drawing().DrawingMode())
        return;
    // The undo copy first: when its memory is refused the press changes nothing at all.
    imageKit->SaveUndo();
    SetModified(true);
    // The press can be undone now: undo button and item must say so at once.
    main_->UpdateAvailability(false);
    TBitmap* bmp = imageKit->Bitmap();
    TCanvas& c = *bmp->Canvas();
    prepareCanvas(c);
    const int bx = imageKit->ScreenToBitmapX(x), by = imageKit->ScreenToBitmapY(y);
    const bool right = button == mbRight;
    switch (main_->Drawing().ToolCode()) {
    case tLine: ShapeKind = skLine; break;
    case tRectangle: ShapeKind = right ? skSquare : skRectangle; break;
    case tEllipse: ShapeKind = right ? skCircle : skEllipse; break;
    case tRoundRect: ShapeKind = right ? skRoundSquare : skRoundRect; break;
    case tFill: {
        const TColor under = c.Pixel(bx, by);
        if (under != clNone)
            c.FloodFill(bx, by, under, fsSurface);
        imageKit->Update();
        return;
    }
    case tPen:
        ShapeKind = skPenBrush;
        BrushStroke = true;
        break;
    case tText: {
        const toptions& o = main_->options;
        c.Font.Color = TColor(o.pencolor);
        c.Font.Name = o.fontname;
        c.Font.Size = o.fontsize;
        c.Font.Style = o.fontstyle;
        c.TextOut(bx, by, main_->Drawing().Text());
        imageKit->Update();
        return;
    }
    case tPick: {
        const TColor under = c.Pixel(bx, by);
        if (under == clNone)
            return;
        if (button == mbLeft)
            main_->Drawing().SetPenColor(under);
        else if (right)
            main_->Drawing().SetFillColor(under);
        return;
    }
    case tRedEye:
        ShapeKind = skRedEyeBrush;
        BrushStroke = true;
        break;
    case tClone:
        if (right) {
            CloneSource = TPoint(bx, by);
            return;
        }
        if (CloneSource.X < 0) {
            LangShowMessage(QStringLiteral("Sie müssen erst mit der rechten Maustaste den Bezugspunkt definieren"),
                            QStringLiteral("You first have to define the copy point with the right mouse button"));
            return;
        }
        CloneStrokeStart = TPoint(bx, by);
        ShapeKind = skCloneBrush;
        BrushStroke = true;
        break;
    default: return;
    }
    c.MoveTo(bx, by);
    ShapeStart = ShapeEnd = TPoint(bx, by);
    ShapeDragging = true;
    if (BrushStroke)
        imageMouseMove(imageKit, 0, x, y);
}

void Tchild::imageMouseMove(QObject*, TShiftState, int x, int y)
{
    const int bx = imageKit->ScreenToBitmapX(x), by = imageKit->ScreenToBitmapY(y);
    statusLine(bx, by);
    if (!main_->Drawing().DrawingMode())
        return;
    if (BrushStroke) {
        drawWithBrush(bx, by, main_->Drawing().PenColor());
        imageKit->Update();
    } else if (ShapeDragging) {
        DrawShape(ShapeStart, ShapeEnd, pmNotXor);
        ShapeEnd = TPoint(bx, by);
        DrawShape(ShapeStart, ShapeEnd, pmNotXor);
    }
}

void Tchild::imageMouseUp(QObject*, TMouseButton, TShiftState, int x, int y)
{
    if (!main_->Drawing().DrawingMode())
        return;
    if (ShapeDragging) {
        if (!BrushStroke) {
            // Take the last rubber band away first, so no inverted trace stays behind.
            DrawShape(ShapeStart, ShapeEnd, pmNotXor);
            DrawShape(ShapeStart, TPoint(imageKit->ScreenToBitmapX(x), imageKit->ScreenToBitmapY(y)), pmCopy);
        }
        ShapeDragging = false;
    }
    BrushStroke = false;
    imageKit->Update();
}

void Tchild::DrawShape(TPoint start, TPoint end, TPenMode mode)
{
    int x1 = start.X, y1 = start.Y, x2 = end.X, y2 = end.Y;
    if (ShapeKind == skSquare || ShapeKind == skCircle || ShapeKind == skRoundSquare) {
        // The smaller signed difference sets both extents.
        if (y2 - y1 < x2 - x1)
            x2 = x1 + (y2 - y1);
        else
            y2 = y1 + (x2 - x1);
    }
    TCanvas& c = *imageKit->Bitmap()->Canvas();
    c.Pen.Mode = mode;
    switch (ShapeKind) {
    case skLine:
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
        break;
    case skRectangle:
    case skSquare: c.Rectangle(x1, y1, x2, y2); break;
    case skEllipse:
    case skCircle: c.Ellipse(x1, y1, x2, y2); break;
    case skRoundRect:
    case skRoundSquare: c.RoundRect(x1, y1, x2, y2, (x1 - x2) / 2, (y1 - y2) / 2); break;
    default: break;
    }
    c.Pen.Mode = pmCopy;
    imageKit->Update();
}

TColor Tchild::PaintBrushDab(int x, int y)
{
    TCanvas& c = *imageKit->Bitmap()->Canvas();
    switch (ShapeKind) {
    case skPenBrush: return main_->Drawing().PenColor();
    case skRedEyeBrush: {
        const TColor own = c.Pixel(x, y);
        if (own == clNone)
            return clNone;
        const int r = GetRValue(own);
        return RGB(r <= 9 ? 0 : r - 10, GetGValue(own), GetBValue(own));
    }
    case skCloneBrush: return c.Pixel(x + CloneSource.X - CloneStrokeStart.X, y + CloneSource.Y - CloneStrokeStart.Y);
    default: return clNone;
    }
}

void Tchild::drawWithBrush(int x, int y, TColor)
{
    const int n = BrushDabCounts[std::clamp(main_->options.brushsize, 0, 4)];
    TCanvas& c = *imageKit->Bitmap()->Canvas();
    for (int i = 0; i < n; ++i) {
        const int px = x + BrushDabOffsets[i][0], py = y + BrushDabOffsets[i][1];
        const TColor color = PaintBrushDab(px, py);
        // A source outside the image paints nothing.
        if (color != clNone)
            c.SetPixel(px, py, color);
    }
}
