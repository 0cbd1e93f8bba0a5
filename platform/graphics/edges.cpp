// Bevels, focus rectangles and 3-D frames on a canvas.
#include "platform/graphics/edges.h"

#include "platform/graphics/canvas.h"

void DrawInnerEdge(TCanvas& canvas, const TRect& r, bool sunken, unsigned sides)
{
    if (r.IsEmpty())
        return;
    const TPen saved = canvas.Pen;
    canvas.Pen = TPen();
    const TColor light = sunken ? clBtnShadow : clBtnHighlight;
    const TColor dark = sunken ? clBtnHighlight : clBtnShadow;
    const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
    auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
        canvas.Pen.Color = c;
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    // Bottom and right first so that the light corners win, as the old bevels did.
    if (sides & bfBottom)
        line(dark, l, b, rr + 1, b);
    if (sides & bfRight)
        line(dark, rr, t, rr, b + 1);
    if (sides & bfTop)
        line(light, l, t, (sides & bfRight) ? rr : rr + 1, t);
    if (sides & bfLeft)
        line(light, l, t, l, (sides & bfBottom) ? b : b + 1);
    canvas.Pen = saved;
}

void DrawFocusRect(TCanvas& canvas, const TRect& r)
{
    if (r.IsEmpty())
        return;
    const TPen saved = canvas.Pen;
    canvas.Pen = TPen{clWhite, 1, psDot, pmXor};
    const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
    canvas.MoveTo(l, t);
    canvas.LineTo(rr, t);
    canvas.LineTo(rr, b);
    canvas.LineTo(l, b);
    canvas.LineTo(l, t);
    canvas.Pen = saved;
}

void Frame3D(TCanvas& canvas, TRect& r, int topLeftColor, int bottomRightColor)
{
    const TPen saved = canvas.Pen;
    canvas.Pen = TPen();
    const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
    canvas.Pen.Color = topLeftColor;
    canvas.MoveTo(l, b);
    canvas.LineTo(l, t);
    canvas.LineTo(rr, t);
    canvas.Pen.Color = bottomRightColor;
    canvas.LineTo(rr, b);
    canvas.LineTo(l - 1, b);
    canvas.Pen = saved;
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}
