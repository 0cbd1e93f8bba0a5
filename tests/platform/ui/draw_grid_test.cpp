// The draw grid: cells, scrolling, keys and selection.
#include "platform/ui/draw_grid.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

// A grid whose viewport is exactly w × h (no frame, bars only when needed).
struct Grid : TDrawGrid {
    Grid(int w, int h)
    {
        setFrameShape(QFrame::NoFrame);
        resize(w, h);
        show();
        QApplication::setActiveWindow(this);
        EXPECT_TRUE(QTest::qWaitForWindowActive(this));
        setFocus();
    }
    QWidget* vp() { return viewport(); }
};

void click(Grid& g, int x, int y, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseClick(g.vp(), Qt::LeftButton, mods, QPoint(x, y));
}

}  // namespace

TEST(DrawGrid, CellRectanglesFollowWidthsHeightsAndLines)
{
    Grid g(400, 300);
    g.SetColWidths(2, 30);
    g.SetRowHeights(3, 10);
    struct Case {
        int c, r;
        TRect rect;
    };
    const Case cases[] = {
        {0, 0, TRect(0, 0, 64, 24)},
        {1, 1, TRect(65, 25, 129, 49)},
        {2, 1, TRect(130, 25, 160, 49)},
        {3, 3, TRect(161, 75, 225, 85)},
        {4, 4, TRect(226, 86, 290, 110)},
        {5, 0, TRect()},  // no such column
        {-1, 0, TRect()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.CellRect(c.c, c.r), c.rect) << c.c << "," << c.r;
    g.SetGridLineWidth(0);
    EXPECT_EQ(g.CellRect(1, 1), TRect(64, 24, 128, 48));
}

TEST(DrawGrid, PointsMapToCells)
{
    Grid g(400, 300);
    struct Case {
        int x, y, c, r;
    };
    const Case cases[] = {
        {0, 0, 0, 0},   {63, 23, 0, 0},   {64, 24, 0, 0},  // the line belongs to the cell before it
        {65, 25, 1, 1}, {200, 100, 3, 4}, {330, 10, -1, -1}, {10, 130, -1, -1}, {-1, 5, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.MouseCoord(c.x, c.y), (TGridCoord{c.c, c.r})) << c.x << "," << c.y;
}

TEST(DrawGrid, EmptyAndZeroSizedGridsNeitherDivideNorLoop)
{
    struct Case {
        int cols, rows, rowHeight, colWidth, lineWidth;
    };
    const Case cases[] = {{0, 0, 24, 64, 1},   {0, 5, 24, 64, 1}, {5, 0, 24, 64, 1}, {3, 1000, 0, 64, 0},
                          {1000, 3, 24, 0, 0}, {1, 1, 0, 0, 0},   {5, 5, 0, 0, 1}};
    for (const Case& c : cases) {
        Grid g(200, 150);
        g.SetColCount(c.cols);
        g.SetRowCount(c.rows);
        g.SetDefaultRowHeight(c.rowHeight);
        g.SetDefaultColWidth(c.colWidth);
        g.SetGridLineWidth(c.lineWidth);
        g.grab();
        for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Right, Qt::Key_Home})
            QTest::keyClick(&g, Qt::Key(key), Qt::ControlModifier);
        g.SetTopRow(1 << 20);
        g.SetLeftCol(1 << 20);
        click(g, 100, 100);
        EXPECT_GE(g.VisibleRowCount(), 0);
        EXPECT_LE(g.TopRow(), std::max(c.rows - 1, 0));
        EXPECT_LE(g.Row(), std::max(c.rows - 1, g.FixedRows()));
        g.MouseCoord(150, 149);
    }
    // Counts are bounded.
    Grid g(100, 100);
    g.SetRowCount(INT32_MAX);
    EXPECT_EQ(g.RowCount(), TDrawGrid::MaxCount);
    g.SetFixedRows(-5);
    EXPECT_EQ(g.FixedRows(), 0);
}

TEST(DrawGrid, ScrollsByWholeCells)
{
    Grid g(400, 100);  // room for three whole rows below the fixed one
    g.SetRowCount(10);
    EXPECT_EQ(g.VisibleRowCount(), 3);
    QScrollBar* bar = g.verticalScrollBar();
    // Bars may take some room; the last page shows the last rows whole.
    const int maxTop = g.FixedRows() + bar->maximum();
    g.SetTopRow(100);
    EXPECT_EQ(g.TopRow(), maxTop);
    const TRect last = g.CellRect(9, 9).IsEmpty() ? g.CellRect(0, 9) : g.CellRect(1, 9);
    EXPECT_FALSE(last.IsEmpty());
    EXPECT_LE(last.Bottom, g.ClientHeight());
    g.SetTopRow(0);
    EXPECT_EQ(g.TopRow(), 1);
    bar->setValue(2);
    EXPECT_EQ(g.TopRow(), 3);
    int changes = 0;
    g.OnTopLeftChanged = [&](TObject*) { ++changes; };
    g.SetRow(1);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(changes, 1);
    // Moving down past the view scrolls one row at a time.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 5);
    EXPECT_EQ(g.TopRow(), 5 - g.VisibleRowCount() + 1);
}

TEST(DrawGrid, KeysMoveTheCurrentCell)
{
    Grid g(400, 300);
    g.SetColCount(6);
    g.SetRowCount(8);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int col, row;
    };
    const Case cases[] = {
        {Qt::Key_Right, {}, 2, 1},
        {Qt::Key_Down, {}, 2, 2},
        {Qt::Key_End, {}, 5, 2},
        {Qt::Key_Home, {}, 1, 2},
        {Qt::Key_End, Qt::ControlModifier, 5, 7},
        {Qt::Key_Up, {}, 5, 6},
        {Qt::Key_Home, Qt::ControlModifier, 1, 1},
        {Qt::Key_Left, {}, 1, 1},
        {Qt::Key_Up, {}, 1, 1},
        {Qt::Key_PageDown, {}, 1, 7},
    };
    for (const Case& c : cases) {
        QTest::keyClick(&g, c.key, c.mods);
        EXPECT_EQ(g.Col(), c.col) << c.key;
        EXPECT_EQ(g.Row(), c.row) << c.key;
    }
}

TEST(DrawGrid, MouseAndShiftSelectRanges)
{
    Grid g(400, 300);
    struct Case {
        QPoint at;
        Qt::KeyboardModifiers mods;
        TGridRect sel;
    };
    const Case cases[] = {
        {QPoint(100, 30), {}, TGridRect{1, 1, 1, 1}}, {QPoint(250, 90), Qt::ShiftModifier, TGridRect{1, 1, 3, 3}},
        {QPoint(180, 60), {}, TGridRect{2, 2, 2, 2}}, {QPoint(100, 30), Qt::ShiftModifier, TGridRect{1, 1, 2, 2}},
        {QPoint(10, 10), {}, TGridRect{1, 1, 2, 2}},  // a fixed cell selects nothing
    };
    for (const Case& c : cases) {
        click(g, c.at.x(), c.at.y(), c.mods);
        EXPECT_EQ(g.Selection(), c.sel) << c.at.x() << "," << c.at.y();
    }
    // Dragging extends; without range selection only the current cell is selected.
    QTest::mousePress(g.vp(), Qt::LeftButton, {}, QPoint(100, 30));
    QMouseEvent move(QEvent::MouseMove, QPointF(250, 60), g.vp()->mapToGlobal(QPointF(250, 60)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g.vp(), &move);
    QTest::mouseRelease(g.vp(), Qt::LeftButton, {}, QPoint(250, 60));
    EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 3, 2}));
    g.SetOptions(g.Options() & ~goRangeSelect);
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect{3, 3, 3, 3}));
    // Row selection spans the scrollable columns.
    g.SetOptions(g.Options() | goRowSelect);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 3, 4, 3}));
}

TEST(DrawGrid, SelectCellCanRefuse)
{
    Grid g(400, 300);
    g.OnSelectCell = [](TObject*, int c, int, bool& ok) { ok = c != 2; };
    click(g, 150, 30);  // column 2
    EXPECT_EQ(g.Col(), 1);
    QTest::keyClick(&g, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 1);
    click(g, 220, 30);
    EXPECT_EQ(g.Col(), 3);
}

TEST(DrawGrid, DrawCellGetsEveryCellInViewWithItsState)
{
    Grid g(400, 300);
    g.SetOptions(g.Options() | goRangeSelect);
    g.SetSelection(TGridRect{1, 1, 2, 2});
    std::map<std::pair<int, int>, TGridDrawState> seen;
    g.OnDrawCell = [&](TObject*, int c, int r, const TRect& rect, TGridDrawState s) {
        EXPECT_EQ(rect, g.CellRect(c, r));
        seen[{c, r}] = s;
    };
    g.vp()->repaint();
    EXPECT_EQ(seen.size(), 25u);
    EXPECT_EQ(seen[std::make_pair(0, 0)], TGridDrawState(gdFixed));
    EXPECT_EQ(seen[std::make_pair(1, 1)], TGridDrawState(gdSelected));
    EXPECT_EQ(seen[std::make_pair(2, 2)], TGridDrawState(gdSelected | gdFocused));
    EXPECT_EQ(seen[std::make_pair(3, 3)], TGridDrawState(0));
}

// A repaint of part of the view draws only the cells that reach into it (with their
// grid lines), so that one changed cell does not cost a whole grid.
TEST(DrawGrid, PartialRepaintDrawsOnlyTheCellsItTouches)
{
    Grid g(400, 300);
    std::vector<std::pair<int, int>> seen;
    g.OnDrawCell = [&](TObject*, int c, int r, const TRect&, TGridDrawState) { seen.emplace_back(c, r); };
    struct Case {
        QRect area;
        std::vector<std::pair<int, int>> cells;
    };
    const TRect cell = g.CellRect(1, 1);
    const Case cases[] = {
        {QRect(cell.Left, cell.Top, cell.Width(), cell.Height()), {{1, 1}}},
        // the line right of cell (1, 1) belongs to it
        {QRect(cell.Right, cell.Top + 2, 1, 1), {{1, 1}}},
        {QRect(cell.Right - 1, cell.Bottom - 1, 3, 3), {{1, 1}, {2, 1}, {1, 2}, {2, 2}}},
    };
    for (const Case& c : cases) {
        seen.clear();
        g.vp()->repaint(c.area);
        EXPECT_EQ(seen, c.cells) << c.area.x() << "," << c.area.y();
    }
}

TEST(DrawGrid, ColumnSizingInTheFixedRow)
{
    Grid g(400, 300);
    g.SetOptions(g.Options() | goColSizing);
    // Drag the line after column 1 (at x 129) 20 pixels to the right.
    QTest::mousePress(g.vp(), Qt::LeftButton, {}, QPoint(129, 10));
    EXPECT_EQ(g.GridState(), gsColSizing);
    QMouseEvent move(QEvent::MouseMove, QPointF(149, 10), g.vp()->mapToGlobal(QPointF(149, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g.vp(), &move);
    QTest::mouseRelease(g.vp(), Qt::LeftButton, {}, QPoint(149, 10));
    EXPECT_EQ(g.ColWidths(1), 84);
    EXPECT_EQ(g.GridState(), gsNormal);
}

// Without a click the current cell is the first scrollable one, whatever the fixed cells.
TEST(DrawGrid, CurrentCellStartsAtTheFirstScrollableCell)
{
    struct Case {
        int fixedCols, fixedRows;
    } cases[] = {{0, 0}, {0, 1}, {2, 0}, {2, 3}, {1, 1}};
    for (const Case& c : cases) {
        Grid g(100, 100);  // too small for the cells: the view could start anywhere
        g.SetColCount(6);
        g.SetRowCount(6);
        g.SetFixedCols(c.fixedCols);
        g.SetFixedRows(c.fixedRows);
        EXPECT_EQ(g.Col(), c.fixedCols) << c.fixedCols << "," << c.fixedRows;
        EXPECT_EQ(g.Row(), c.fixedRows) << c.fixedCols << "," << c.fixedRows;
        EXPECT_EQ(g.Selection(), (TGridRect{c.fixedCols, c.fixedRows, c.fixedCols, c.fixedRows}));
        // and the view begins with it
        EXPECT_EQ(g.LeftCol(), c.fixedCols);
        EXPECT_EQ(g.TopRow(), c.fixedRows);
    }
    // A chosen cell stays chosen when the fixed cells change.
    Grid g(400, 300);
    g.SetCol(3);
    g.SetFixedCols(0);
    EXPECT_EQ(g.Col(), 3);
}

// A selection dragged past an edge scrolls on, a cell a tick, while the button is held.
TEST(DrawGrid, DraggingPastTheEdgeScrollsAndExtendsTheSelection)
{
    TTimer::SetManualTicks(true);
    Grid g(100, 100);
    g.SetFixedCols(0);
    g.SetFixedRows(0);
    g.SetColCount(10);
    g.SetRowCount(10);
    g.SetDefaultColWidth(30);
    g.SetDefaultRowHeight(30);
    auto held = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), g.vp()->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(g.vp(), &e);
    };
    held(QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    held(QEvent::MouseMove, QPoint(150, 40), Qt::NoButton, Qt::LeftButton);  // right of the grid, row 1
    EXPECT_EQ(g.Selection(), (TGridRect{0, 0, 0, 1}));
    ASSERT_TRUE(g.DragScrollTimer()->Enabled());
    for (int i = 0; i < 4; ++i)
        g.DragScrollTimer()->Tick();
    EXPECT_EQ(g.Selection(), (TGridRect{0, 0, 4, 1}));
    EXPECT_GT(g.LeftCol(), 0);
    EXPECT_NE(g.CellRect(4, 1), TRect());                                    // in view
    held(QEvent::MouseMove, QPoint(50, 150), Qt::NoButton, Qt::LeftButton);  // below, column 1 of the view
    g.DragScrollTimer()->Tick();
    g.DragScrollTimer()->Tick();
    EXPECT_EQ(g.Selection().Bottom, 3);
    EXPECT_GT(g.TopRow(), 0);
    held(QEvent::MouseButtonRelease, QPoint(50, 150), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(g.DragScrollTimer()->Enabled());
    const TGridRect done = g.Selection();
    g.DragScrollTimer()->Tick();
    EXPECT_EQ(g.Selection(), done);
    TTimer::SetManualTicks(false);
}
