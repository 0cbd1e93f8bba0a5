// The kit's draw grid: painting, fixed-cell buttons, mouse and in-place editing.
#include "controls/grid/kit_draw_grid.h"

#include "controls/draw/draw_utils.h"
#include "controls/draw/kit_resources.h"
#include "controls/placement/ini_storage.h"
#include "platform/graphics/edges.h"

TKitDrawGrid::TKitDrawGrid(QWidget* parent) : TDrawGrid(parent)
{
    RegisterKitCursors();
    SetDefaultRowHeight(18);
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected | goColSizing);
    iniLink_.OnSave = [this] { saveToStorage(); };
    iniLink_.OnLoad = [this] { loadFromStorage(); };
}

TKitDrawGrid::~TKitDrawGrid() = default;

void TKitDrawGrid::SetFixedButtons(bool on)
{
    if (fixedButtons_ != on) {
        fixedButtons_ = on;
        InvalidateGrid();
    }
}

// ---- painting -------------------------------------------------------------------------

void TKitDrawGrid::Paint()
{
    // The base paints lines and calls DrawCell; the fills are ours.
    savedDefaultDrawing_ = DefaultDrawing();
    SetDefaultDrawing(false);
    painting_ = true;
    TDrawGrid::Paint();
    painting_ = false;
    SetDefaultDrawing(savedDefaultDrawing_);
    const TGridOptions o = Options();
    if (DefaultDrawing() && hasFocus() && (o & goRowSelect) && !(o & goRangeSelect) && Row() >= FixedRows()) {
        TCanvas& cv = *Canvas();
        cv.Font.Color = GridFont.Color;
        cv.Brush.Color = Color();
        const TRect first = CellRect(LeftCol(), Row());
        const TRect last = CellRect(std::max(ColCount() - 1, LeftCol()), Row());
        TRect r(first.Left, first.Top, last.IsEmpty() ? ClientWidth() : last.Right, first.Bottom);
        if (!(o & goHorzLine))
            r.Bottom += GridLineWidth();
        if (!first.IsEmpty())
            DrawFocusRect(cv, r);
    }
}

void TKitDrawGrid::DrawCell(int c, int r, const TRect& rect, TGridDrawState state)
{
    const bool defaultDrawing = painting_ ? savedDefaultDrawing_ : DefaultDrawing();
    TCanvas& cv = *Canvas();
    const TGridOptions o = Options();
    const bool fixed = state & gdFixed;
    TRect R = rect;
    if (defaultDrawing) {
        cv.Font = GridFont;
        if ((o & goRowSelect) && !fixed) {
            if (!(o & goVertLine))
                R.Right += GridLineWidth();
            if (!(o & goHorzLine))
                R.Bottom += GridLineWidth();
        }
        const bool highlight = (state & gdSelected) &&
                               (!(state & gdFocused) || (o & (goDrawFocusSelected | goRowSelect)));
        if (highlight) {
            cv.Brush.Color = clHighlight;
            cv.Font.Color = clHighlightText;
        } else {
            cv.Brush.Color = fixed ? FixedColor() : Color();
        }
        cv.Brush.Style = bsSolid;
        cv.FillRect(R);
    }
    const bool down = fixed && fixedButtons_ && Ctl3D() && defaultDrawing && pressing_ && mouseOnPressed_ &&
                      pressedCell_ == TGridCoord{c, r};
    const TRect saved = R;
    if (down)
        R = TRect(R.Left + GridLineWidth(), R.Top + GridLineWidth(), R.Right + GridLineWidth(),
                  R.Bottom + GridLineWidth());
    SetDefaultDrawing(true);
    TDrawGrid::DrawCell(c, r, R, state);
    SetDefaultDrawing(false);
    R = saved;
    if (fixed && defaultDrawing && Ctl3D()) {
        unsigned sides = 0;
        if (o & goFixedVertLine)
            sides |= bfLeft | bfRight;
        if (o & goFixedHorzLine)
            sides |= bfTop | bfBottom;
        TRect e = R;
        if ((o & goFixedVertLine) && !(o & goFixedHorzLine))
            e.Bottom += GridLineWidth();
        DrawInnerEdge(cv, e, down, sides);
    }
    if (defaultDrawing && (state & gdFocused) && !((o & goEditing) && (o & goAlwaysShowEditor)) && !(o & goRowSelect))
        DrawFocusRect(cv, R);
}

// ---- fixed-cell buttons and mouse -------------------------------------------------------

void TKitDrawGrid::endPressing()
{
    if (!pressing_)
        return;
    pressing_ = false;
    mouseOnPressed_ = false;
    InvalidateCell(pressedCell_.X, pressedCell_.Y);
}

void TKitDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // Every press leaves the editor first.
    if (EditorMode() && !(Options() & goAlwaysShowEditor))
        HideEditor();
    if (!hasFocus() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    if (!hasFocus() && !(InplaceEditor() && InplaceEditor()->hasFocus())) {
        CancelMode();
        return;
    }
    const TGridCoord cell = MouseCoord(x, y);
    lastDown_ = cell;
    int sizing;
    const bool onLine = SizingColumnAt(x, y, sizing) || SizingRowAt(x, y, sizing);
    const bool fixedCell = cell.X >= 0 && cell.Y >= 0 && (cell.X < FixedCols() || cell.Y < FixedRows());
    if (fixedButtons_ && button == mbLeft && fixedCell && !onLine) {
        bool enabled = true;
        if (OnCheckButton)
            OnCheckButton(this, cell.X, cell.Y, enabled);
        if (enabled) {
            pressedCell_ = cell;
            pressing_ = true;
            mouseOnPressed_ = true;
            InvalidateCell(cell.X, cell.Y);
        } else {
            DefaultBeep();
        }
        return;
    }
    TDrawGrid::MouseDown(button, shift, x, y);
}

void TKitDrawGrid::MouseMove(TShiftState shift, int x, int y)
{
    if (pressing_) {
        const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
        const bool on = inside && MouseCoord(x, y) == pressedCell_;
        if (on != mouseOnPressed_) {
            mouseOnPressed_ = on;
            InvalidateCell(pressedCell_.X, pressedCell_.Y);
        }
        return;
    }
    TDrawGrid::MouseMove(shift, x, y);
}

void TKitDrawGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (pressing_) {
        const TGridCoord cell = pressedCell_;
        endPressing();
        const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
        if (inside && MouseCoord(x, y) == cell && cell.X < ColCount() && cell.Y < RowCount() && OnFixedCellClick)
            OnFixedCellClick(this, cell.X, cell.Y);
        return;
    }
    TDrawGrid::MouseUp(button, shift, x, y);
}

void TKitDrawGrid::DblClick()
{
    // On a fixed button the double click was a second press.
    const bool fixedCell = lastDown_.X >= 0 && lastDown_.Y >= 0 &&
                           (lastDown_.X < FixedCols() || lastDown_.Y < FixedRows());
    if (fixedButtons_ && fixedCell)
        return;
    TDrawGrid::DblClick();
}

void TKitDrawGrid::TopLeftChanged()
{
    endPressing();
    if ((Options() & goRowSelect) && DefaultDrawing())
        InvalidateRow(Row());
    TDrawGrid::TopLeftChanged();
}

void TKitDrawGrid::ColumnResized(int col)
{
    endPressing();
    TDrawGrid::ColumnResized(col);
    if (OnColumnSized)
        OnColumnSized(this);
}

void TKitDrawGrid::RowResized(int row)
{
    endPressing();
    TDrawGrid::RowResized(row);
    if (OnRowSized)
        OnRowSized(this);
}

void TKitDrawGrid::CancelMode()
{
    endPressing();
    TDrawGrid::CancelMode();
}

void TKitDrawGrid::DoEnter()
{
    TDrawGrid::DoEnter();
    if (!Destroying() && OnChangeFocus)
        OnChangeFocus(this);
}

void TKitDrawGrid::DoExit()
{
    TDrawGrid::DoExit();
    if (!Destroying() && OnChangeFocus)
        OnChangeFocus(this);
}

// ---- editing --------------------------------------------------------------------------

void TKitDrawGrid::KeyDown(int& key, TShiftState shift)
{
    if (key == Qt::Key_Escape && EditorMode() && !(shift & ssCtrl) && !(Options() & goAlwaysShowEditor)) {
        // Cancelling: the editor goes away without writing its text back.
        cancelling_ = true;
        HideEditor();
        cancelling_ = false;
        if (OnCancelEdit)
            OnCancelEdit(this);
        key = 0;
        return;
    }
    TDrawGrid::KeyDown(key, shift);
}

bool TKitDrawGrid::CanEditAcceptKey(QChar& key) const
{
    if (OnAcceptEditKey)
        return OnAcceptEditKey(const_cast<TKitDrawGrid*>(this), key);
    return TDrawGrid::CanEditAcceptKey(key);
}

bool TKitDrawGrid::CanEditShow() const
{
    if (!TDrawGrid::CanEditShow())
        return false;
    bool allow = true;
    if (OnShowEditor)
        OnShowEditor(const_cast<TKitDrawGrid*>(this), Col(), Row(), allow);
    return allow;
}

void TKitDrawGrid::SetEditText(int c, int r, const QString& value)
{
    if (!cancelling_)
        TDrawGrid::SetEditText(c, r, value);
}

void TKitDrawGrid::EditorTextChanged()
{
    if (OnEditChange)
        OnEditChange(this);
}

void TKitDrawGrid::EditButtonClick()
{
    if (OnEditButtonClick)
        OnEditButtonClick(this);
}

QStringList TKitDrawGrid::PickListItems()
{
    QStringList items;
    if (OnGetPicklist)
        OnGetPicklist(this, Col(), Row(), items);
    return items;
}

TInplaceEdit* TKitDrawGrid::CreateEditor() { return new TKitInplaceEdit(this); }

void TKitDrawGrid::UpdateEditor()
{
    auto* editor = static_cast<TKitInplaceEdit*>(InplaceEditor());
    if (!editor)
        return;
    TTextAlignment align = taLeftJustify;
    if (OnGetEditAlign)
        OnGetEditAlign(this, Col(), Row(), align);
    TInplaceEditStyle style = ieSimple;
    if (OnGetEditStyle)
        OnGetEditStyle(this, Col(), Row(), style);
    editor->SetEditAlignment(align);
    editor->SetEditStyle(style);
    int limit = 0;
    if (OnGetEditLimit)
        OnGetEditLimit(this, limit);
    editor->setMaxLength(limit > 0 ? limit : 32767);
}

// ---- storage --------------------------------------------------------------------------

void TKitDrawGrid::SaveColumnWidths(const std::function<void(const QString&, int)>& write) const
{
    for (int c = 0; c < ColCount(); ++c)
        write(QStringLiteral("Item%1").arg(c), ColWidths(c));
}

void TKitDrawGrid::RestoreColumnWidths(const std::function<int(const QString&, int)>& read)
{
    for (int c = 0; c < ColCount(); ++c)
        SetColWidths(c, read(QStringLiteral("Item%1").arg(c), ColWidths(c)));
}

QString TKitDrawGrid::storageSection()
{
    if (storageSection_.isEmpty())
        storageSection_ = iniLink_.RootSection() + DefaultSection(this);
    return storageSection_;
}

void TKitDrawGrid::saveToStorage()
{
    TCustomIniFile* ini = iniLink_.IniObject();
    if (!ini || objectName().isEmpty())
        return;
    const QString section = storageSection();
    SaveColumnWidths([&](const QString& key, int value) { IniWriteInteger(ini, section, key, value); });
}

void TKitDrawGrid::loadFromStorage()
{
    TCustomIniFile* ini = iniLink_.IniObject();
    if (!ini || objectName().isEmpty())
        return;
    storageSection_.clear();
    const QString section = storageSection();
    // A width no screen could show comes from a damaged file and leaves the column as it is.
    constexpr int kMaxStoredWidth = 1 << 15;
    RestoreColumnWidths([&](const QString& key, int current) {
        const int v = IniReadInteger(ini, section, key, current);
        return v >= 0 && v <= kMaxStoredWidth ? v : current;
    });
}
