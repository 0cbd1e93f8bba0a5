// Geometry, scrolling, selection, mouse and keys of the draw grid.
#include "platform/ui/draw_grid.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

TDrawGrid::TDrawGrid(QWidget* parent)
    : QAbstractScrollArea(parent), options_(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    rows_.defaultSize = 24;
    rows_.sizes.assign(size_t(rows_.count), rows_.defaultSize);
    cols_.sizes.assign(size_t(cols_.count), cols_.defaultSize);
    dragScroll_ = new TTimer(this);
    dragScroll_->SetEnabled(false);
    dragScroll_->SetInterval(60);
    dragScroll_->OnTimer = [this](TObject*) { dragScrollTick(); };
    resize(320, 120);
}

TDrawGrid::~TDrawGrid()
{
    // The editor goes first, while it can still tell that the grid is going.
    destroying_ = true;
    delete editor_;
    editor_ = nullptr;
}

// ---- axes ---------------------------------------------------------------------------

int TDrawGrid::fixedExtent(const Axis& a) const
{
    // Each cell is followed by its grid line.
    int64_t e = 0;
    for (int i = 0; i < a.fixed; ++i)
        e += int64_t(a.size(i)) + lineWidth_;
    return int(std::min<int64_t>(e, INT32_MAX / 2));
}

int TDrawGrid::cellStart(const Axis& a, int i, int client) const
{
    if (i < 0 || i >= a.count)
        return -1;
    int64_t p = 0;
    if (i < a.fixed) {
        for (int j = 0; j < i; ++j)
            p += int64_t(a.size(j)) + lineWidth_;
        return p < client ? int(p) : -1;
    }
    if (i < a.first)
        return -1;
    p = fixedExtent(a);
    for (int j = a.first; j < i; ++j) {
        p += int64_t(a.size(j)) + lineWidth_;
        if (p >= client)
            return -1;
    }
    return p < client ? int(p) : -1;
}

int TDrawGrid::cellAt(const Axis& a, int p, int client) const
{
    if (p < 0 || p >= client)
        return -1;
    int64_t s = 0;
    for (int i = 0; i < a.fixed; ++i) {
        s += int64_t(a.size(i)) + lineWidth_;
        if (p < s)
            return i;
    }
    for (int i = std::max(a.first, a.fixed); i < a.count; ++i) {
        s += int64_t(a.size(i)) + lineWidth_;
        if (p < s)
            return i;
        if (s >= client)
            break;
    }
    return -1;
}

int TDrawGrid::visibleCount(const Axis& a, int client) const
{
    // Whole cells only, but at least one when any scrollable cell exists.
    int64_t s = fixedExtent(a);
    int n = 0;
    for (int i = std::max(a.first, a.fixed); i < a.count; ++i) {
        s += int64_t(a.size(i)) + lineWidth_;
        if (s > client)
            break;
        ++n;
    }
    return std::max(n, a.count > a.fixed ? 1 : 0);
}

int TDrawGrid::maxFirst(const Axis& a, int client) const
{
    // The last scrollable cells that fill the client area from the end.
    if (a.count <= a.fixed)
        return a.fixed;
    const int64_t room = int64_t(client) - fixedExtent(a);
    int64_t s = 0;
    int first = a.count - 1;
    for (int i = a.count - 1; i >= a.fixed; --i) {
        s += int64_t(a.size(i)) + lineWidth_;
        if (s > room)
            break;
        first = i;
    }
    return first;
}

void TDrawGrid::setCount(Axis& a, int n)
{
    n = std::clamp(n, 0, MaxCount);
    if (n == a.count)
        return;
    a.count = n;
    a.sizes.resize(size_t(n), a.defaultSize);
    a.fixed = std::min(a.fixed, std::max(n - 1, 0));
    a.first = std::clamp(a.first, a.fixed, std::max(a.fixed, n - 1));
}

void TDrawGrid::setFixed(Axis& a, int n)
{
    // At least one scrollable cell stays, as the old grid insisted.
    n = std::clamp(n, 0, std::max(a.count - 1, 0));
    // A view that began at the first scrollable cell still does.
    if (a.first == a.fixed)
        a.first = n;
    a.fixed = n;
    a.first = std::max(a.first, n);
}

void TDrawGrid::SetColCount(int n)
{
    setCount(cols_, n);
    clampCurrent();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetRowCount(int n)
{
    setCount(rows_, n);
    clampCurrent();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetFixedCols(int n)
{
    setFixed(cols_, n);
    clampCurrent();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetFixedRows(int n)
{
    setFixed(rows_, n);
    clampCurrent();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetDefaultColWidth(int w)
{
    cols_.defaultSize = std::max(w, 0);
    std::fill(cols_.sizes.begin(), cols_.sizes.end(), cols_.defaultSize);
    ColWidthsChanged();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetDefaultRowHeight(int h)
{
    rows_.defaultSize = std::max(h, 0);
    std::fill(rows_.sizes.begin(), rows_.sizes.end(), rows_.defaultSize);
    RowHeightsChanged();
    updateScrollBars();
    InvalidateGrid();
}

int TDrawGrid::ColWidths(int c) const { return cols_.size(c); }
int TDrawGrid::RowHeights(int r) const { return rows_.size(r); }

void TDrawGrid::SetColWidths(int c, int w)
{
    if (c < 0 || c >= cols_.count)
        return;
    cols_.sizes[size_t(c)] = std::max(w, 0);
    ColWidthsChanged();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetRowHeights(int r, int h)
{
    if (r < 0 || r >= rows_.count)
        return;
    rows_.sizes[size_t(r)] = std::max(h, 0);
    RowHeightsChanged();
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetGridLineWidth(int w)
{
    lineWidth_ = std::clamp(w, 0, 100);
    updateScrollBars();
    InvalidateGrid();
}

void TDrawGrid::SetOptions(TGridOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    if (options_ & goRowSelect)
        options_ &= ~goAlwaysShowEditor;
    if (!(options_ & goEditing) && editorMode_)
        HideEditor();
    if ((options_ & goEditing) && (options_ & goAlwaysShowEditor))
        ShowEditor();
    InvalidateGrid();
}

void TDrawGrid::SetColor(TColor c)
{
    color_ = c;
    InvalidateGrid();
}

void TDrawGrid::SetFixedColor(TColor c)
{
    fixedColor_ = c;
    InvalidateGrid();
}

void TDrawGrid::SetCtl3D(bool on)
{
    ctl3D_ = on;
    InvalidateGrid();
}

int TDrawGrid::ClientWidth() const { return viewport()->width(); }
int TDrawGrid::ClientHeight() const { return viewport()->height(); }

int TDrawGrid::VisibleColCount() const { return visibleCount(cols_, ClientWidth()); }
int TDrawGrid::VisibleRowCount() const { return visibleCount(rows_, ClientHeight()); }

TRect TDrawGrid::CellRect(int c, int r) const
{
    const int x = cellStart(cols_, c, ClientWidth());
    const int y = cellStart(rows_, r, ClientHeight());
    if (x < 0 || y < 0)
        return TRect();
    return TRect(x, y, x + cols_.size(c), y + rows_.size(r));
}

TGridCoord TDrawGrid::MouseCoord(int x, int y) const
{
    TGridCoord g{cellAt(cols_, x, ClientWidth()), cellAt(rows_, y, ClientHeight())};
    if (g.X < 0 || g.Y < 0)
        return TGridCoord{-1, -1};
    return g;
}

void TDrawGrid::MouseToCell(int x, int y, int& c, int& r) const
{
    const TGridCoord g = MouseCoord(x, y);
    c = g.X;
    r = g.Y;
}

// ---- scrolling ------------------------------------------------------------------------

void TDrawGrid::setFirst(Axis& a, int first, int client)
{
    first = std::clamp(first, a.fixed, std::max(a.fixed, maxFirst(a, client)));
    if (first == a.first)
        return;
    a.first = first;
    updateScrollBars();
    if (editorMode_)
        placeEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TDrawGrid::SetTopRow(int r) { setFirst(rows_, r, ClientHeight()); }
void TDrawGrid::SetLeftCol(int c) { setFirst(cols_, c, ClientWidth()); }

void TDrawGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void TDrawGrid::updateScrollBars()
{
    if (syncingBars_)
        return;
    syncingBars_ = true;
    // Showing one bar shrinks the other axis; two rounds settle it.
    for (int round = 0; round < 2; ++round) {
        const int vmax = maxFirst(rows_, ClientHeight()) - rows_.fixed;
        const int hmax = maxFirst(cols_, ClientWidth()) - cols_.fixed;
        verticalScrollBar()->setRange(0, std::max(vmax, 0));
        verticalScrollBar()->setPageStep(std::max(VisibleRowCount(), 1));
        horizontalScrollBar()->setRange(0, std::max(hmax, 0));
        horizontalScrollBar()->setPageStep(std::max(VisibleColCount(), 1));
    }
    rows_.first = std::clamp(rows_.first, rows_.fixed, std::max(rows_.fixed, maxFirst(rows_, ClientHeight())));
    cols_.first = std::clamp(cols_.first, cols_.fixed, std::max(cols_.fixed, maxFirst(cols_, ClientWidth())));
    verticalScrollBar()->setValue(rows_.first - rows_.fixed);
    horizontalScrollBar()->setValue(cols_.first - cols_.fixed);
    syncingBars_ = false;
}

void TDrawGrid::scrollContentsBy(int, int)
{
    if (syncingBars_)
        return;
    // The bars count scrollable cells; their value is the first cell in view.
    syncingBars_ = true;
    const int top = rows_.fixed + verticalScrollBar()->value();
    const int left = cols_.fixed + horizontalScrollBar()->value();
    syncingBars_ = false;
    if (top != rows_.first)
        SetTopRow(top);
    if (left != cols_.first)
        SetLeftCol(left);
}

void TDrawGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    if (editorMode_)
        placeEditor();
}

void TDrawGrid::scrollIntoView(int c, int r)
{
    // Brings the cell into view by whole cells.
    if (r >= rows_.fixed && r < rows_.count) {
        if (r < rows_.first) {
            SetTopRow(r);
        } else {
            int top = rows_.first;
            while (top < r && cellStart(rows_, r, ClientHeight()) < 0) {
                SetTopRow(++top);
                if (rows_.first != top)
                    break;
            }
            // The cell's bottom must be in view too.
            while (top < r) {
                const int y = cellStart(rows_, r, ClientHeight());
                if (y >= 0 && int64_t(y) + rows_.size(r) <= ClientHeight())
                    break;
                SetTopRow(++top);
                if (rows_.first != top)
                    break;
            }
        }
    }
    if (c >= cols_.fixed && c < cols_.count && !(options_ & goRowSelect)) {
        if (c < cols_.first) {
            SetLeftCol(c);
        } else {
            int left = cols_.first;
            while (left < c) {
                const int x = cellStart(cols_, c, ClientWidth());
                if (x >= 0 && int64_t(x) + cols_.size(c) <= ClientWidth())
                    break;
                SetLeftCol(++left);
                if (cols_.first != left)
                    break;
            }
        }
    }
}

// ---- selection ------------------------------------------------------------------------

void TDrawGrid::clampCurrent()
{
    if (!currentChosen_)
        current_ = anchor_ = TGridCoord{cols_.fixed, rows_.fixed};
    auto clampTo = [](int v, const Axis& a) {
        return a.count > a.fixed ? std::clamp(v, a.fixed, a.count - 1) : a.fixed;
    };
    current_ = TGridCoord{clampTo(current_.X, cols_), clampTo(current_.Y, rows_)};
    anchor_ = TGridCoord{clampTo(anchor_.X, cols_), clampTo(anchor_.Y, rows_)};
}

TGridRect TDrawGrid::Selection() const
{
    TGridRect r{std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y), std::max(anchor_.X, current_.X),
                std::max(anchor_.Y, current_.Y)};
    if (options_ & goRowSelect) {
        r.Left = cols_.fixed;
        r.Right = std::max(cols_.count - 1, cols_.fixed);
    }
    return r;
}

void TDrawGrid::SetSelection(const TGridRect& r)
{
    currentChosen_ = true;
    anchor_ = TGridCoord{r.Left, r.Top};
    current_ = TGridCoord{r.Right, r.Bottom};
    clampCurrent();
    InvalidateGrid();
}

bool TDrawGrid::SelectCell(int c, int r)
{
    bool ok = true;
    if (OnSelectCell)
        OnSelectCell(this, c, r, ok);
    return ok;
}

void TDrawGrid::moveCurrent(int c, int r, bool moveAnchor)
{
    if (cols_.count <= cols_.fixed || rows_.count <= rows_.fixed)
        return;
    c = std::clamp(c, cols_.fixed, cols_.count - 1);
    r = std::clamp(r, rows_.fixed, rows_.count - 1);
    if (!SelectCell(c, r))
        return;
    const bool moved = c != current_.X || r != current_.Y;
    if (moved && editorMode_)
        HideEditor();
    currentChosen_ = true;
    current_ = TGridCoord{c, r};
    if (moveAnchor || !(options_ & goRangeSelect))
        anchor_ = current_;
    scrollIntoView(c, r);
    InvalidateGrid();
    if ((options_ & goEditing) && (options_ & goAlwaysShowEditor))
        ShowEditor();
}

void TDrawGrid::FocusCell(int c, int r, bool moveAnchor) { moveCurrent(c, r, moveAnchor); }

void TDrawGrid::InvalidateCell(int, int) { viewport()->update(); }
void TDrawGrid::InvalidateRow(int) { viewport()->update(); }
void TDrawGrid::InvalidateGrid() { viewport()->update(); }

// ---- editor ---------------------------------------------------------------------------

QString TDrawGrid::GetEditText(int c, int r)
{
    QString s;
    if (OnGetEditText)
        OnGetEditText(this, c, r, s);
    return s;
}

void TDrawGrid::SetEditText(int c, int r, const QString& value)
{
    if (OnSetEditText)
        OnSetEditText(this, c, r, value);
}

bool TDrawGrid::CanEditShow() const
{
    return (options_ & goEditing) && !(options_ & goRowSelect) && cols_.count > cols_.fixed &&
           rows_.count > rows_.fixed;
}

bool TDrawGrid::CanEditAcceptKey(QChar& key) const { return key.unicode() >= 32; }

TInplaceEdit* TDrawGrid::CreateEditor() { return new TInplaceEdit(this); }

void TDrawGrid::placeEditor()
{
    if (!editor_)
        return;
    const TRect r = CellRect(current_.X, current_.Y);
    if (r.IsEmpty()) {
        editor_->hide();
        return;
    }
    editor_->Move(r);
}

void TDrawGrid::ShowEditor()
{
    if (!CanEditShow())
        return;
    if (!editor_)
        editor_ = CreateEditor();
    editorMode_ = true;
    UpdateEditor();
    editor_->SetTextQuietly(GetEditText(current_.X, current_.Y));
    editor_->setReadOnly(!CanEditModify());
    placeEditor();
    if (hasFocus() || !editor_->hasFocus())
        editor_->setFocus(Qt::OtherFocusReason);
    editor_->selectAll();
}

void TDrawGrid::UpdateText()
{
    if (editor_ && editorMode_)
        SetEditText(current_.X, current_.Y, editor_->text());
}

void TDrawGrid::HideEditor()
{
    if (!editorMode_)
        return;
    UpdateText();
    editorMode_ = false;
    if (editor_) {
        const bool hadFocus = editor_->hasFocus();
        editor_->hide();
        if (hadFocus)
            setFocus(Qt::OtherFocusReason);
    }
    InvalidateGrid();
}

void TDrawGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else if (!(options_ & goAlwaysShowEditor))
        HideEditor();
}

void TDrawGrid::EditorFocusLeft()
{
    if (!(options_ & goAlwaysShowEditor))
        HideEditor();
}

// ---- mouse ----------------------------------------------------------------------------

bool TDrawGrid::SizingColumnAt(int x, int y, int& col) const
{
    // Column lines can be dragged inside the fixed rows only.
    if (!(options_ & goColSizing) || y < 0 || y >= FixedRowsExtent())
        return false;
    for (int c = 0; c < cols_.count; ++c) {
        const int s = cellStart(cols_, c, ClientWidth());
        if (s < 0) {
            if (c >= cols_.fixed && c >= cols_.first)
                break;
            continue;
        }
        const int edge = s + cols_.size(c);
        if (x >= edge - 2 && x <= edge + lineWidth_ + 1) {
            col = c;
            return true;
        }
    }
    return false;
}

bool TDrawGrid::SizingRowAt(int x, int y, int& row) const
{
    if (!(options_ & goRowSizing) || x < 0 || x >= FixedColsExtent())
        return false;
    for (int r = 0; r < rows_.count; ++r) {
        const int s = cellStart(rows_, r, ClientHeight());
        if (s < 0) {
            if (r >= rows_.fixed && r >= rows_.first)
                break;
            continue;
        }
        const int edge = s + rows_.size(r);
        if (y >= edge - 2 && y <= edge + lineWidth_ + 1) {
            row = r;
            return true;
        }
    }
    return false;
}

void TDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!hasFocus() && focusPolicy() != Qt::NoFocus && !(editor_ && editor_->hasFocus()))
        setFocus(Qt::MouseFocusReason);
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
    if (button != mbLeft || (shift & ssDouble))
        return;
    int index;
    if (SizingColumnAt(x, y, index)) {
        state_ = gsColSizing;
        sizingIndex_ = index;
        sizingStart_ = x - cols_.size(index);
        return;
    }
    if (SizingRowAt(x, y, index)) {
        state_ = gsRowSizing;
        sizingIndex_ = index;
        sizingStart_ = y - rows_.size(index);
        return;
    }
    const TGridCoord g = MouseCoord(x, y);
    if (g.X < cols_.fixed || g.Y < rows_.fixed)
        return;
    const bool extend = (shift & ssShift) && (options_ & goRangeSelect);
    moveCurrent(g.X, g.Y, !extend);
    state_ = gsSelecting;
    dragPoint_ = QPoint(x, y);
    if (options_ & goRangeSelect)
        dragScroll_->SetEnabled(true);
}

int TDrawGrid::fullVisibleEnd(const Axis& a, int client) const
{
    int64_t end = fixedExtent(a);
    const int n = visibleCount(a, client);
    for (int i = std::max(a.first, a.fixed), k = 0; i < a.count && k < n; ++i, ++k)
        end += int64_t(a.size(i)) + lineWidth_;
    return int(std::min<int64_t>(end, client));
}

// One cell further towards the pointer held outside the wholly visible cells, the
// view following, as long as the selection is dragged.
void TDrawGrid::dragScrollTick()
{
    if (state_ != gsSelecting || !(options_ & goRangeSelect)) {
        dragScroll_->SetEnabled(false);
        return;
    }
    const QPoint p = dragPoint_;
    int c = current_.X, r = current_.Y;
    if (p.x() < fixedExtent(cols_))
        --c;
    else if (p.x() >= fullVisibleEnd(cols_, ClientWidth()))
        ++c;
    if (p.y() < fixedExtent(rows_))
        --r;
    else if (p.y() >= fullVisibleEnd(rows_, ClientHeight()))
        ++r;
    c = std::clamp(c, cols_.fixed, std::max(cols_.count - 1, cols_.fixed));
    r = std::clamp(r, rows_.fixed, std::max(rows_.count - 1, rows_.fixed));
    if (c != current_.X || r != current_.Y)
        moveCurrent(c, r, false);
}

void TDrawGrid::MouseMove(TShiftState, int x, int y)
{
    switch (state_) {
    case gsColSizing: SetColWidths(sizingIndex_, std::max(x - sizingStart_, 0)); return;
    case gsRowSizing: SetRowHeights(sizingIndex_, std::max(y - sizingStart_, 0)); return;
    case gsSelecting:
        dragPoint_ = QPoint(x, y);
        if (options_ & goRangeSelect) {
            // Past an edge the pointer still chooses along the other axis; the drag
            // timer moves on across the edge.
            int c = cellAt(cols_, x, ClientWidth()), r = cellAt(rows_, y, ClientHeight());
            if (c < cols_.fixed)
                c = current_.X;
            if (r < rows_.fixed)
                r = current_.Y;
            if (c != current_.X || r != current_.Y)
                moveCurrent(c, r, false);
        }
        return;
    default: {
        int index;
        if (SizingColumnAt(x, y, index))
            viewport()->setCursor(Qt::SplitHCursor);
        else if (SizingRowAt(x, y, index))
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
    }
    }
}

void TDrawGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const TGridState was = state_;
    const int index = sizingIndex_;
    state_ = gsNormal;
    sizingIndex_ = -1;
    dragScroll_->SetEnabled(false);
    if (was == gsColSizing)
        ColumnResized(index);
    else if (was == gsRowSizing)
        RowResized(index);
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
    if (was == gsSelecting && button == mbLeft && (options_ & goEditing) && !editorMode_) {
        const TGridCoord g = MouseCoord(x, y);
        if (g.X == current_.X && g.Y == current_.Y && (options_ & goAlwaysShowEditor))
            ShowEditor();
    }
}

void TDrawGrid::CancelMode()
{
    state_ = gsNormal;
    sizingIndex_ = -1;
    dragScroll_->SetEnabled(false);
}

void TDrawGrid::Click()
{
    if (OnClick)
        OnClick(this);
}

void TDrawGrid::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

static QPoint viewportPoint(const QMouseEvent* e)
{
    return QPoint(int(std::floor(e->position().x())), int(std::floor(e->position().y())));
}

void TDrawGrid::mousePressEvent(QMouseEvent* event)
{
    TMouseButton b;
    if (!MouseButtonFrom(event->button(), b))
        return;
    const QPoint p = viewportPoint(event);
    MouseDown(b, ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = viewportPoint(event);
    MouseMove(ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton b;
    if (!MouseButtonFrom(event->button(), b))
        return;
    const QPoint p = viewportPoint(event);
    const bool wasSelecting = state_ == gsSelecting;
    MouseUp(b, ShiftStateFrom(event->modifiers(), event->buttons()), p.x(), p.y());
    if (b == mbLeft && wasSelecting)
        Click();
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    TMouseButton b;
    if (!MouseButtonFrom(event->button(), b))
        return;
    const QPoint p = viewportPoint(event);
    MouseDown(b, ShiftStateFrom(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    if (b == mbLeft)
        DblClick();
}

// ---- keys -----------------------------------------------------------------------------

void TDrawGrid::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    if (key == 0)
        return;
    const bool extend = (shift & ssShift) && (options_ & goRangeSelect);
    const bool ctrl = shift & ssCtrl;
    int c = current_.X, r = current_.Y;
    const int page = std::max(VisibleRowCount(), 1);
    const int lastCol = cols_.count - 1, lastRow = rows_.count - 1;
    switch (key) {
    case Qt::Key_Up: --r; break;
    case Qt::Key_Down: ++r; break;
    case Qt::Key_Left:
        if (options_ & goRowSelect) {
            SetLeftCol(cols_.first - 1);
            key = 0;
            return;
        }
        --c;
        break;
    case Qt::Key_Right:
        if (options_ & goRowSelect) {
            SetLeftCol(cols_.first + 1);
            key = 0;
            return;
        }
        ++c;
        break;
    case Qt::Key_PageUp: r -= page; break;
    case Qt::Key_PageDown: r += page; break;
    case Qt::Key_Home:
        c = cols_.fixed;
        if (ctrl)
            r = rows_.fixed;
        break;
    case Qt::Key_End:
        c = lastCol;
        if (ctrl)
            r = lastRow;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(options_ & goTabs))
            return;
        if (key == Qt::Key_Backtab || (shift & ssShift)) {
            if (--c < cols_.fixed) {
                c = lastCol;
                --r;
            }
        } else if (++c > lastCol) {
            c = cols_.fixed;
            ++r;
        }
        moveCurrent(c, std::clamp(r, rows_.fixed, std::max(rows_.fixed, lastRow)), true);
        key = 0;
        return;
    case Qt::Key_Escape:
        if (editorMode_ && !(options_ & goAlwaysShowEditor) && !ctrl) {
            // The old text comes back; hiding then writes it unchanged.
            if (editor_)
                editor_->SetTextQuietly(GetEditText(current_.X, current_.Y));
            HideEditor();
            key = 0;
        }
        return;
    case Qt::Key_F2:
        if (options_ & goEditing) {
            SetEditorMode(true);
            key = 0;
        }
        return;
    default: return;
    }
    moveCurrent(c, r, !extend);
    key = 0;
}

void TDrawGrid::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
    if (key.isNull() || !(options_ & goEditing))
        return;
    if (key == QChar('\r')) {
        if (!(options_ & goAlwaysShowEditor)) {
            if (editorMode_)
                HideEditor();
            else
                ShowEditor();
        }
        key = QChar();
        return;
    }
    if (!editorMode_ && CanEditAcceptKey(key)) {
        // Typing starts the editor with that character.
        ShowEditor();
        if (editorMode_ && editor_ && !editor_->isReadOnly()) {
            editor_->setText(QString(key));
            emit editor_->textEdited(editor_->text());
        }
        key = QChar();
    }
}

void TDrawGrid::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    KeyDown(key, ShiftStateFrom(event->modifiers(), Qt::NoButton));
    if (key == 0) {
        event->accept();
        return;
    }
    if (!event->text().isEmpty()) {
        QChar c = event->text().at(0);
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            c = QChar('\r');
        KeyPress(c);
        if (c.isNull()) {
            event->accept();
            return;
        }
    }
    event->ignore();
}

bool TDrawGrid::focusNextPrevChild(bool next)
{
    // Tab moves between cells when the grid takes tabs.
    if (options_ & goTabs)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TDrawGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    DoEnter();
    if ((options_ & goEditing) && (options_ & goAlwaysShowEditor) && !editorMode_)
        ShowEditor();
    InvalidateGrid();
}

void TDrawGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (!(editor_ && editor_->hasFocus()))
        DoExit();
    InvalidateGrid();
}

void TDrawGrid::DoExit() { CancelMode(); }

// ---- in-place editor ----------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TDrawGrid* grid) : QLineEdit(grid->viewport()), grid_(grid)
{
    setFrame(false);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!quiet_)
            grid_->EditorTextChanged();
    });
}

void TInplaceEdit::SetTextQuietly(const QString& text)
{
    quiet_ = true;
    setText(text);
    quiet_ = false;
}

void TInplaceEdit::Move(const TRect& cell)
{
    setGeometry(cell.toQRect());
    show();
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    if (HandleKey(event)) {
        event->accept();
        return;
    }
    const TShiftState shift = ShiftStateFrom(event->modifiers(), Qt::NoButton);
    int key = event->key();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        grid_->EditorKeyDown(key, shift);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QChar c('\r');
        grid_->EditorKeyPress(c);
        event->accept();
        return;
    }
    case Qt::Key_Escape:
        grid_->EditorKeyDown(key, shift);
        event->accept();
        return;
    default: break;
    }
    // Every typed character is the grid's to accept, or to change.
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() != 127 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QChar c = text[0];
        if (!grid_->EditorAcceptsKey(c)) {
            MessageBeep();
            event->accept();
            return;
        }
        if (c != text[0]) {
            QKeyEvent typed(QEvent::KeyPress, key, event->modifiers(), QString(c), event->isAutoRepeat());
            QLineEdit::keyPressEvent(&typed);
            event->setAccepted(typed.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TInplaceEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (grid_->Destroying())
        return;
    QWidget* to = QApplication::focusWidget();
    if (isVisible() && to != grid_ && !(to && isAncestorOf(to)))
        grid_->EditorFocusLeft();
}
