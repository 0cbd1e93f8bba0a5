// Drawing of the ruler into its off-screen bitmap: background, grips, band, ticks, labels.
#include "imaging/ruler/ruler_box.h"
#include "imaging/ruler/ruler_ticks.h"

#include <cmath>

void TRulerBox::Update()
{
    if (inUpdate_)
        return;
    inUpdate_ = true;
    // An empty or inverted range has no scale to fit to: a negative one would stay.
    if (fitInView_ && viewMax_ > viewMin_ && std::isfinite(viewMax_ - viewMin_)) {
        dotPerUnit_ = length() / (viewMax_ - viewMin_);
        clampViewPos();
    }
    drawn_ = false;
    inUpdate_ = false;
    Invalidate();
}

const TBitmap& TRulerBox::Picture() const
{
    draw();
    return bitmap_;
}

void TRulerBox::draw() const
{
    if (drawn_)
        return;
    drawGrips();
    drawRuler();
    drawn_ = true;
}

void TRulerBox::drawGrips() const
{
    if (bitmap_.Empty())
        return;
    TCanvas& c = *bitmap_.Canvas();
    const int W = bitmap_.Width(), H = bitmap_.Height(), B = BandHeight();
    TRect r;
    if (rulerDir_ == rdHorizontal)
        r = gripsDir_ == gdUp ? TRect(0, B, W, H) : TRect(0, 0, W, H - B);
    else
        r = gripsDir_ == gdUp ? TRect(B, 0, W, H) : TRect(0, 0, W - B, H);
    c.Brush.Style = bsSolid;
    c.Brush.Color = background_;
    c.FillRect(r);
    c.Pen.Color = clBlack;
    c.Pen.Style = psSolid;
    c.Pen.Mode = pmCopy;
    c.Pen.Width = 1;
    for (int i = 0; i < GripsCount(); ++i) {
        const std::vector<TPoint> pts = GripShape(i);
        if (pts.empty())
            continue;
        c.Brush.Color = GetGripColor(i);
        c.Polygon(pts);
    }
}

void TRulerBox::drawRuler() const
{
    if (!ruler_ || bitmap_.Empty())
        return;
    TCanvas& c = *bitmap_.Canvas();
    const int W = bitmap_.Width(), H = bitmap_.Height(), B = BandHeight();
    TRect band;
    if (rulerDir_ == rdHorizontal)
        band = gripsDir_ == gdUp ? TRect(0, 0, W, B + 1) : TRect(0, H - B, W, H);
    else
        band = gripsDir_ == gdUp ? TRect(0, 0, B, H) : TRect(W - B, 0, W, H);
    c.Brush.Style = bsSolid;
    c.Brush.Color = rulerColor_;
    c.FillRect(band);
    c.Pen.Color = font_.Color;
    c.Font = font_;
    drawTicks(frequency_, B / 4, false);
    drawTicks(labelFreq_, B / 2, true);
    c.Font = font_;
}

void TRulerBox::drawTicks(double frequency, int tickLength, bool labels) const
{
    TCanvas& c = *bitmap_.Canvas();
    const int W = bitmap_.Width(), H = bitmap_.Height(), B = BandHeight();
    const bool horizontal = rulerDir_ == rdHorizontal;
    const bool up = gripsDir_ == gdUp;
    // The band's inner edge and the direction into the band.
    const int edge = up ? B : (horizontal ? H : W) - B;
    const int into = up ? -tickLength : tickLength;
    c.Brush.Style = bsClear;
    TFont rotated = font_;
    if (!horizontal)
        rotated.Orientation = up ? 900 : -900;
    for (const TRulerTick& t : RulerTicks(viewPos_, dotPerUnit_, frequency, length())) {
        if (horizontal) {
            c.MoveTo(t.Pixel, edge);
            c.LineTo(t.Pixel, edge + into);
        } else {
            c.MoveTo(edge, t.Pixel);
            c.LineTo(edge + into, t.Pixel);
        }
        if (!labels)
            continue;
        const QString text = RulerLabel(t.Value, hexLabels_);
        c.Font = font_;
        const int tw = c.TextWidth(text);
        if (horizontal) {
            c.TextOut(t.Pixel - tw / 2, up ? 0 : H - std::abs(font_.Height()), text);
        } else {
            c.Font = rotated;
            c.TextOut(up ? 0 : W, up ? t.Pixel + tw / 2 : t.Pixel - tw / 2, text);
        }
    }
    c.Brush.Style = bsSolid;
}
