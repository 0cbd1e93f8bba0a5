// The draw grid (TDrawGrid): cells, options, selection and sizing.
#pragma once
#include <QRect>
#include "platform/core/events.h"
#include "platform/core/geometry.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QString>
#include <functional>
#include <vector>

class TInplaceEdit;
class TTimer;

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14
};
using TGridOptions = unsigned;

enum TGridDrawStateItem : unsigned { gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2 };
using TGridDrawState = unsigned;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing };

struct TGridCoord {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TGridCoord&) const = default;
};

// A block of cells; all four sides are inclusive cell numbers.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr bool operator==(const TGridRect&) const = default;
    constexpr bool Contains(int c, int r) const { return c >= Left && c <= Right && r >= Top && r <= Bottom; }
};

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, QString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;

// The draw grid of the old class library: fixed rows and columns, per-column widths
// and per-row heights, grid lines after each cell, scrolling by whole cells, a current
// cell with an anchor for range selection, and an in-place editor. Every cell is
// painted through DrawCell (OnDrawCell) on a TCanvas whose origin is the client area.
class TDrawGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Counts are bounded so that hostile numbers cannot exhaust memory.
    static constexpr int MaxCount = 1 << 20;

    explicit TDrawGrid(QWidget* parent = nullptr);
    ~TDrawGrid() override;

    int ColCount() const { return cols_.count; }
    void SetColCount(int n);
    int RowCount() const { return rows_.count; }
    void SetRowCount(int n);
    int FixedCols() const { return cols_.fixed; }
    void SetFixedCols(int n);
    int FixedRows() const { return rows_.fixed; }
    void SetFixedRows(int n);
    int DefaultColWidth() const { return cols_.defaultSize; }
    void SetDefaultColWidth(int w);  // resets every column
    int DefaultRowHeight() const { return rows_.defaultSize; }
    void SetDefaultRowHeight(int h);  // resets every row
    int ColWidths(int c) const;
    void SetColWidths(int c, int w);
    int RowHeights(int r) const;
    void SetRowHeights(int r, int h);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int w);

    TGridOptions Options() const { return options_; }
    virtual void SetOptions(TGridOptions options);

    int Col() const { return current_.X; }
    void SetCol(int c) { FocusCell(c, Row(), true); }
    int Row() const { return current_.Y; }
    void SetRow(int r) { FocusCell(Col(), r, true); }
    // Moves the current cell (asking SelectCell); moveAnchor false extends a range.
    void FocusCell(int c, int r, bool moveAnchor);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& r);

    int TopRow() const { return rows_.first; }
    void SetTopRow(int r);
    int LeftCol() const { return cols_.first; }
    void SetLeftCol(int c);
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // Client rectangle of a cell, empty when it is not in view.
    TRect CellRect(int c, int r) const;
    // The cell under a client point; −1 for a coordinate outside every cell.
    TGridCoord MouseCoord(int x, int y) const;
    void MouseToCell(int x, int y, int& c, int& r) const;

    int ClientWidth() const;
    int ClientHeight() const;

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c);
    TFont GridFont;
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on) { defaultDrawing_ = on; }
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);

    // The canvas of the paint in progress (null outside painting).
    TCanvas* Canvas() const { return canvas_; }

    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    TInplaceEdit* InplaceEditor() const { return editor_; }
    TGridState GridState() const { return state_; }

    void InvalidateCell(int c, int r);
    void InvalidateRow(int r);
    void InvalidateGrid();

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // The editor calls these for the keys it hands to the grid.
    void EditorKeyDown(int& key, TShiftState shift) { KeyDown(key, shift); }
    void EditorKeyPress(QChar& key) { KeyPress(key); }
    // Asked for every character typed into the editor; may change it.
    bool EditorAcceptsKey(QChar& key) const { return CanEditAcceptKey(key); }
    // Scrolls a selection dragged past the edge, a cell a tick, while the button is held.
    TTimer* DragScrollTimer() const { return dragScroll_; }
    // Editor text changed by the user.
    virtual void EditorTextChanged() {}
    // The editor lost the focus to something outside the grid.
    virtual void EditorFocusLeft();
    bool Destroying() const { return destroying_; }

protected:
    virtual void Paint();
    virtual void DrawCell(int c, int r, const TRect& rect, TGridDrawState state);
    virtual bool SelectCell(int c, int r);
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    virtual QString GetEditText(int c, int r);
    virtual void SetEditText(int c, int r, const QString& value);
    virtual bool CanEditShow() const;
    virtual bool CanEditModify() const { return true; }
    // The handler may change the key; the changed key is the one typed.
    virtual bool CanEditAcceptKey(QChar& key) const;
    virtual TInplaceEdit* CreateEditor();
    // Asked each time the editor is placed; a different result recreates nothing here.
    virtual void UpdateEditor() {}
    virtual void ShowEditor();
    virtual void HideEditor();
    // Writes the editor's text to the cell.
    virtual void UpdateText();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    virtual void Click();
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    virtual void DoEnter() {}
    virtual void DoExit();
    // Ends any mouse mode (selecting, sizing).
    virtual void CancelMode();
    // Column or row sizing ended.
    virtual void ColumnResized(int) {}
    virtual void RowResized(int) {}

    // Whole extent of the fixed cells along each axis, lines included.
    int FixedColsExtent() const { return fixedExtent(cols_); }
    int FixedRowsExtent() const { return fixedExtent(rows_); }
    // Cell for a point, sizing line test.
    bool SizingColumnAt(int x, int y, int& col) const;
    bool SizingRowAt(int x, int y, int& row) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

    void placeEditor();

private:
    struct Axis {
        int count = 5;
        int fixed = 1;
        int defaultSize = 64;
        int first = 1;  // first scrollable cell in view
        std::vector<int> sizes;
        int size(int i) const { return i >= 0 && i < count ? sizes[size_t(i)] : 0; }
    };
    int fixedExtent(const Axis& a) const;
    // Start of a cell along an axis in client coordinates, −1 when out of view.
    int cellStart(const Axis& a, int i, int client) const;
    int cellAt(const Axis& a, int p, int client) const;
    int visibleCount(const Axis& a, int client) const;
    int maxFirst(const Axis& a, int client) const;
    void setCount(Axis& a, int n);
    void setFixed(Axis& a, int n);
    void setFirst(Axis& a, int first, int client);
    void clampCurrent();
    void updateScrollBars();
    void scrollIntoView(int c, int r);
    void moveCurrent(int c, int r, bool moveAnchor);
    // End of the last wholly visible cell along an axis.
    int fullVisibleEnd(const Axis& a, int client) const;
    void dragScrollTick();

    Axis cols_;
    Axis rows_;
    int lineWidth_ = 1;
    TGridOptions options_;
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    // Until the current cell is chosen it stays on the first scrollable cell, whatever
    // the fixed rows and columns become.
    bool currentChosen_ = false;
    TTimer* dragScroll_ = nullptr;
    QPoint dragPoint_;  // the pointer while a selection is dragged, viewport coordinates
    TColor color_ = clWindow;
    TColor fixedColor_ = clBtnFace;
    bool defaultDrawing_ = true;
    bool ctl3D_ = true;
    TCanvas* canvas_ = nullptr;
    // The part of the viewport being painted; cells wholly outside it are not drawn.
    QRect paintRect_;
    TInplaceEdit* editor_ = nullptr;
    bool editorMode_ = false;
    TGridState state_ = gsNormal;
    int sizingIndex_ = -1;
    int sizingStart_ = 0;  // pointer position minus the cell's start when sizing began
    bool syncingBars_ = false;
    bool destroying_ = false;
};

// The grid's in-place editor: a line edit over the current cell. Keys that move
// between cells, Enter and Escape go to the grid.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(TDrawGrid* grid);
    TDrawGrid* Grid() const { return grid_; }
    // Places the editor over a cell rectangle (viewport coordinates) and shows it.
    virtual void Move(const TRect& cell);
    // Text changes made by the grid, not by the user.
    void SetTextQuietly(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Gives the descendant a look at a key first; true when it consumed the key.
    virtual bool HandleKey(QKeyEvent*) { return false; }

private:
    TDrawGrid* grid_;
    bool quiet_ = false;
};
