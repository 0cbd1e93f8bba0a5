#include "app/forms/zeichen_form.h"

#include "app/forms/brush_dab.h"
#include "platform/graphics/canvas.h"

namespace {

void blank(TBitmap& b, int w, int h)
{
    b.SetSize(w, h);
    TCanvas& c = *b.Canvas();
    c.Brush.Style = bsSolid;
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, w, h));
}

} // namespace

Tzeichenform::Tzeichenform(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("zeichenform"));
    setWindowTitle(QStringLiteral("Zeichenstil"));
    const TPenStyle styles[6] = {psSolid, psDash, psDot, psDashDotDot, psDashDot, psClear};
    for (int i = 0; i < 6; ++i) {
        blank(lines_[size_t(i)], 36, 8);
        TCanvas& c = *lines_[size_t(i)].Canvas();
        c.Brush.Style = bsClear;
        c.Pen.Style = styles[i];
        c.Pen.Color = clBlack;
        c.MoveTo(0, 4);
        c.LineTo(36, 4);
    }
    // Brush sizes drawn three pixels a dot so the small dabs can be told apart.
    for (int s = 0; s < 5; ++s) {
        blank(brushes_[size_t(s)], 15, 15);
        TCanvas& c = *brushes_[size_t(s)].Canvas();
        c.Brush.Color = clBlack;
        for (int i = 0; i < BrushDabCounts[s]; ++i) {
            const int x = 6 + BrushDabOffsets[i][0] * 3, y = 6 + BrushDabOffsets[i][1] * 3;
            c.FillRect(TRect(x, y, x + 3, y + 3));
        }
    }
    const TBrushStyle fills[8] = {bsSolid, bsClear, bsHorizontal, bsVertical,
                                  bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
    for (int i = 0; i < 8; ++i) {
        blank(fills_[size_t(i)], 16, 16);
        TCanvas& c = *fills_[size_t(i)].Canvas();
        c.Brush.Style = fills[i];
        c.Brush.Color = clBlack;
        c.Pen.Style = psClear;
        c.Rectangle(0, 0, 17, 17);
    }
}

Tzeichenform::~Tzeichenform() = default;

const TBitmap& Tzeichenform::LineStyleSample(int style) const
{
    return lines_[size_t(style >= 0 && style < 6 ? style : 0)];
}

const TBitmap& Tzeichenform::BrushSample(int size) const
{
    return brushes_[size_t(size >= 0 && size < 5 ? size : 0)];
}

const TBitmap& Tzeichenform::FillSample(int style) const
{
    return fills_[size_t(style >= 0 && style < 8 ? style : 0)];
}
