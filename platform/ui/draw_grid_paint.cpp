// Painting of the draw grid: background, cells through DrawCell, grid lines.
#include "platform/graphics/edges.h"
#include "platform/ui/draw_grid.h"

#include <QPaintEvent>
#include <QPainter>

void TDrawGrid::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    paintRect_ = event->rect();
    TCanvas canvas(&p);
    canvas.Font = GridFont;
    canvas_ = &canvas;
    struct Reset {
        TDrawGrid* g;
        ~Reset()
        {
            g->canvas_ = nullptr;
            g->paintRect_ = QRect();
        }
    } reset{this};
    Paint();
}

void TDrawGrid::DrawCell(int c, int r, const TRect& rect, TGridDrawState state)
{
    if (OnDrawCell)
        OnDrawCell(this, c, r, rect, state);
}

void TDrawGrid::Paint()
{
    TCanvas& cv = *canvas_;
    const int cw = ClientWidth(), ch = ClientHeight();
    cv.Brush = TBrush{color_, bsSolid, nullptr};
    cv.FillRect(TRect(0, 0, cw, ch));
    const bool focused = hasFocus() || (editor_ && editor_->hasFocus());
    const TGridRect sel = Selection();

    // Cells in view on each axis: the fixed ones, then from the first scrollable one.
    auto inView = [](const Axis& a, int client, auto&& start) {
        std::vector<int> cells;
        for (int i = 0; i < a.fixed; ++i)
            if (start(i) >= 0)
                cells.push_back(i);
        for (int i = std::max(a.first, a.fixed); i < a.count; ++i) {
            const int s = start(i);
            if (s < 0 || s >= client)
                break;
            cells.push_back(i);
        }
        return cells;
    };
    const std::vector<int> colsInView = inView(cols_, cw, [&](int i) { return cellStart(cols_, i, cw); });
    const std::vector<int> rowsInView = inView(rows_, ch, [&](int i) { return cellStart(rows_, i, ch); });

    for (int r : rowsInView) {
        for (int c : colsInView) {
            const TRect rect = CellRect(c, r);
            if (rect.Left >= cw || rect.Top >= ch)
                continue;
            if (!paintRect_.isNull() && !paintRect_.intersects(QRect(rect.Left, rect.Top, rect.Width() + lineWidth_,
                                                                     rect.Height() + lineWidth_)))
                continue;
            const bool fixed = c < cols_.fixed || r < rows_.fixed;
            TGridDrawState state = 0;
            if (fixed)
                state |= gdFixed;
            if (!fixed && sel.Contains(c, r))
                state |= gdSelected;
            if (focused && c == current_.X && r == current_.Y)
                state |= gdFocused;

            // Grid lines after the cell.
            const bool vLine = fixed ? (options_ & goFixedVertLine) : (options_ & goVertLine);
            const bool hLine = fixed ? (options_ & goFixedHorzLine) : (options_ & goHorzLine);
            const TColor lineColor = fixed ? clBlack : clSilver;
            cv.Brush.Color = fixed ? fixedColor_ : color_;
            if (lineWidth_ > 0) {
                cv.Brush.Color = vLine ? lineColor : cv.Brush.Color;
                cv.FillRect(TRect(rect.Right, rect.Top, rect.Right + lineWidth_, rect.Bottom + lineWidth_));
                cv.Brush.Color = hLine ? lineColor : (fixed ? fixedColor_ : color_);
                cv.FillRect(
                    TRect(rect.Left, rect.Bottom, rect.Right + (vLine ? 0 : lineWidth_), rect.Bottom + lineWidth_));
            }

            cv.Font = GridFont;
            if (defaultDrawing_) {
                const bool highlight = (state & gdSelected) &&
                                       (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)));
                cv.Brush.Color = highlight ? clHighlight : (fixed ? fixedColor_ : color_);
                if (highlight)
                    cv.Font.Color = clHighlightText;
                cv.FillRect(rect);
            }
            cv.Brush.Style = bsSolid;
            DrawCell(c, r, rect, state);
            if (defaultDrawing_ && fixed && ctl3D_) {
                unsigned sides = 0;
                if (options_ & goFixedVertLine)
                    sides |= bfLeft | bfRight;
                if (options_ & goFixedHorzLine)
                    sides |= bfTop | bfBottom;
                DrawInnerEdge(cv, rect, false, sides);
            }
            if (defaultDrawing_ && (state & gdFocused) && !(options_ & goRowSelect) &&
                !((options_ & goEditing) && (options_ & goAlwaysShowEditor)))
                DrawFocusRect(cv, rect);
        }
    }
}
