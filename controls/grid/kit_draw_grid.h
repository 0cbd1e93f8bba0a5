// The kit's draw grid, its in-place edit and pop-up list box.
#pragma once
#include "controls/buttons/button_glyph.h"
#include "controls/placement/form_placement.h"
#include "platform/ui/draw_grid.h"

#include <QListWidget>
#include <QPointer>
#include <QStringList>
#include <functional>

class TKitDrawGrid;

enum TInplaceEditStyle { ieSimple, ieEllipsis, iePickList };

using TAcceptKeyEvent = std::function<bool(TObject* Sender, QChar& Key)>;
using TFixedCellCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Enabled)>;
using TFixedCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TEditLimitEvent = std::function<void(TObject* Sender, int& MaxLength)>;
using TEditShowEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& AllowEdit)>;
using TEditAlignEvent = std::function<void(TObject* Sender, int ACol, int ARow, TTextAlignment& Alignment)>;
using TEditStyleEvent = std::function<void(TObject* Sender, int ACol, int ARow, TInplaceEditStyle& Style)>;
using TPicklistEvent = std::function<void(TObject* Sender, int ACol, int ARow, QStringList& PickList)>;

class TKitInplaceEdit;

// The drop-down list of the in-place editor: shown without taking the focus, with an
// incremental search over what is typed.
class TPopupListbox : public QListWidget {
    Q_OBJECT
public:
    explicit TPopupListbox(TKitInplaceEdit* editor);
    // Milliseconds of a monotonic clock; tests replace it.
    std::function<qint64()> Clock;
    QString SearchText() const { return search_; }
    int ItemHeight() const;
    // Types a character into the search (or clears it for Backspace and Escape).
    void SearchKey(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TKitInplaceEdit* editor_;
    QString search_;
    qint64 lastKey_ = 0;
};

// The grid's editor with an optional ellipsis button or pick-list arrow at its right.
class TKitInplaceEdit : public TInplaceEdit {
    Q_OBJECT
public:
    explicit TKitInplaceEdit(TKitDrawGrid* grid);

    TInplaceEditStyle EditStyle() const { return style_; }
    void SetEditStyle(TInplaceEditStyle s);
    TTextAlignment EditAlignment() const { return alignment_; }
    void SetEditAlignment(TTextAlignment a);
    int ButtonWidth() const { return buttonWidth_; }
    TPopupListbox* PickList() const { return pickList_; }
    bool ListVisible() const { return listVisible_; }
    QRect ButtonRect() const;

    void DropDown();
    void CloseUp(bool accept);

protected:
    bool HandleKey(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TKitDrawGrid* kitGrid() const;
    void updateMargins();

    int buttonWidth_;
    TTextAlignment alignment_ = taLeftJustify;
    TInplaceEditStyle style_ = ieSimple;
    TPopupListbox* pickList_ = nullptr;
    bool listVisible_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
};

// A draw grid that paints its cells' background and selection itself before OnDrawCell,
// can show its fixed cells as push buttons, and edits cells in place with an ellipsis
// button or a pick list.
class TKitDrawGrid : public TDrawGrid {
    Q_OBJECT
public:
    explicit TKitDrawGrid(QWidget* parent = nullptr);
    ~TKitDrawGrid() override;

    bool FixedButtons() const { return fixedButtons_; }
    void SetFixedButtons(bool on);
    // The fixed cell drawn pressed, (−1, −1) when none.
    TGridCoord PressedCell() const { return pressedCell_; }
    bool Pressing() const { return pressing_; }

    // Column widths as integers under "Item%d" (0-based column) of a storage section,
    // read back with the current widths as defaults; a form placement's ini link calls them.
    void SaveColumnWidths(const std::function<void(const QString& key, int value)>& write) const;
    void RestoreColumnWidths(const std::function<int(const QString& key, int current)>& read);
    // The placement whose saves and restores carry the column widths (a named grid only),
    // in the section of the link's root and the grid's default section.
    TFormPlacement* IniStorage() const { return iniLink_.Storage(); }
    void SetIniStorage(TFormPlacement* storage)
    {
        iniLink_.SetStorage(storage);
        storageSection_.clear();
    }

    TAcceptKeyEvent OnAcceptEditKey;
    TNotifyEvent OnCancelEdit;
    TFixedCellCheckEvent OnCheckButton;
    TNotifyEvent OnChangeFocus;
    TFixedCellClickEvent OnFixedCellClick;
    TNotifyEvent OnColumnSized;
    TNotifyEvent OnRowSized;
    TEditLimitEvent OnGetEditLimit;
    TNotifyEvent OnEditChange;
    TEditShowEvent OnShowEditor;
    TEditAlignEvent OnGetEditAlign;
    TEditStyleEvent OnGetEditStyle;
    TPicklistEvent OnGetPicklist;
    TNotifyEvent OnEditButtonClick;

    void EditorTextChanged() override;
    void EditButtonClick();
    // Items of the current cell's pick list.
    QStringList PickListItems();
    bool CellModifiable() const { return CanEditModify(); }

protected:
    void Paint() override;
    void DrawCell(int c, int r, const TRect& rect, TGridDrawState state) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void KeyDown(int& key, TShiftState shift) override;
    void TopLeftChanged() override;
    void ColumnResized(int col) override;
    void RowResized(int row) override;
    void CancelMode() override;
    void DoEnter() override;
    void DoExit() override;
    bool CanEditShow() const override;
    bool CanEditAcceptKey(QChar& key) const override;
    void SetEditText(int c, int r, const QString& value) override;
    TInplaceEdit* CreateEditor() override;
    void UpdateEditor() override;

private:
    void endPressing();
    QString storageSection();
    void saveToStorage();
    void loadFromStorage();

    bool savedDefaultDrawing_ = true;
    bool painting_ = false;
    bool fixedButtons_ = false;
    TGridCoord pressedCell_{-1, -1};
    bool mouseOnPressed_ = false;
    bool pressing_ = false;
    bool cancelling_ = false;
    TGridCoord lastDown_{-1, -1};
    TIniLink iniLink_;
    // The section of the last load; the form's class can no longer be told while it is destroyed.
    QString storageSection_;
};
