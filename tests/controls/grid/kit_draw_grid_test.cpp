// The kit's draw grid: drawing, fixed-cell buttons and the in-place editor.
#include "controls/grid/kit_draw_grid.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Grid : TKitDrawGrid {
    std::map<std::pair<int, int>, QString> cells;
    std::vector<std::pair<std::pair<int, int>, QString>> writes;
    Grid(int w = 400, int h = 300)
    {
        setFrameShape(QFrame::NoFrame);
        resize(w, h);
        OnGetEditText = [this](TObject*, int c, int r, QString& v) { v = cells[{c, r}]; };
        OnSetEditText = [this](TObject*, int c, int r, const QString& v) {
            cells[{c, r}] = v;
            writes.push_back({{c, r}, v});
        };
        show();
        QApplication::setActiveWindow(this);
        EXPECT_TRUE(QTest::qWaitForWindowActive(this));
        setFocus();
    }
    QWidget* vp() { return viewport(); }
    TKitInplaceEdit* editor() { return static_cast<TKitInplaceEdit*>(InplaceEditor()); }
    QRgb pixelIn(int c, int r)
    {
        const TRect rc = CellRect(c, r);
        return vp()->grab().toImage().pixel(rc.Left + rc.Width() / 2, rc.Top + rc.Height() / 2) & 0xFFFFFF;
    }
};

QRgb rgbOf(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

}  // namespace

TEST(KitDrawGrid, DefaultsOfTheKit)
{
    Grid g;
    EXPECT_EQ(g.DefaultRowHeight(), 18);
    EXPECT_EQ(g.Options(), TGridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                                        goDrawFocusSelected | goColSizing));
    EXPECT_FALSE(g.FixedButtons());
}

TEST(KitDrawGrid, CellsAreFilledBeforeOnDrawCell)
{
    struct Case {
        const char* name;
        TGridOptions extra;
        TGridRect sel;
        std::vector<std::pair<int, int>> highlighted;
    };
    const std::vector<Case> cases = {
        {"focused cell with default options", 0, TGridRect{2, 2, 2, 2}, {{2, 2}}},
        {"range", goRangeSelect, TGridRect{1, 1, 2, 3}, {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 3}, {2, 3}}},
    };
    for (const Case& c : cases) {
        Grid g;
        g.SetColor(clWhite);
        g.SetOptions(g.Options() | c.extra);
        g.SetSelection(c.sel);
        // Nothing drawn by the owner: only the fills show.
        std::map<std::pair<int, int>, QRgb> brushSeen;
        g.OnDrawCell = [&](TObject*, int col, int row, const TRect&, TGridDrawState) {
            brushSeen[{col, row}] = rgbOf(g.Canvas()->Brush.Color);
        };
        g.vp()->repaint();
        for (int r = 1; r < 5; ++r)
            for (int col = 1; col < 5; ++col) {
                const bool hl = std::count(c.highlighted.begin(), c.highlighted.end(), std::make_pair(col, r)) > 0;
                EXPECT_EQ(g.pixelIn(col, r), hl ? rgbOf(clHighlight) : rgbOf(clWhite))
                    << c.name << " " << col << "," << r;
                EXPECT_EQ(brushSeen[std::make_pair(col, r)], hl ? rgbOf(clHighlight) : rgbOf(clWhite)) << c.name;
            }
        EXPECT_EQ(g.pixelIn(0, 2), rgbOf(clBtnFace)) << c.name;
    }
}

TEST(KitDrawGrid, FocusedCellGetsAFocusRectangle)
{
    Grid g;
    g.SetColor(clWhite);
    g.SetSelection(TGridRect{1, 1, 1, 1});
    const TRect r = g.CellRect(1, 1);
    QImage img = g.vp()->grab().toImage();
    // The dotted frame inverts some border pixels of the highlighted cell.
    int changed = 0;
    for (int x = r.Left; x < r.Right; ++x)
        changed += (img.pixel(x, r.Top) & 0xFFFFFF) != rgbOf(clHighlight);
    EXPECT_GT(changed, 0);
    // Row selection has no cell focus rectangle.
    g.SetOptions(g.Options() | goRowSelect);
    img = g.vp()->grab().toImage();
    changed = 0;
    for (int x = r.Left + 1; x < r.Right - 1; ++x)
        changed += (img.pixel(x, r.Top + 1) & 0xFFFFFF) != rgbOf(clHighlight);
    EXPECT_EQ(changed, 0);
}

TEST(KitDrawGrid, FixedCellsActAsButtons)
{
    Grid g;
    g.SetFixedButtons(true);
    std::vector<std::pair<int, int>> clicks;
    g.OnFixedCellClick = [&](TObject*, int c, int r) { clicks.push_back({c, r}); };
    int beeps = 0;
    SetBeepHook([&] { ++beeps; });
    g.OnCheckButton = [](TObject*, int c, int, bool& enabled) { enabled = c != 3; };
    const TRect h2 = g.CellRect(2, 0), h3 = g.CellRect(3, 0), v1 = g.CellRect(0, 1);
    auto mid = [](const TRect& r) { return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); };
    struct Case {
        QPoint press, release;
        std::vector<std::pair<int, int>> after;
        int beeps;
    };
    const std::vector<Case> cases = {
        {mid(h2), mid(h2), {{2, 0}}, 0},
        {mid(v1), mid(v1), {{2, 0}, {0, 1}}, 0},
        {mid(h2), mid(v1), {{2, 0}, {0, 1}}, 0},  // released on another cell: nothing
        {mid(h3), mid(h3), {{2, 0}, {0, 1}}, 1},  // refused: a beep
    };
    for (const Case& c : cases) {
        QTest::mousePress(g.vp(), Qt::LeftButton, {}, c.press);
        QMouseEvent move(QEvent::MouseMove, QPointF(c.release), g.vp()->mapToGlobal(QPointF(c.release)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(g.vp(), &move);
        QTest::mouseRelease(g.vp(), Qt::LeftButton, {}, c.release);
        EXPECT_EQ(clicks, c.after);
        EXPECT_EQ(beeps, c.beeps);
        EXPECT_FALSE(g.Pressing());
    }
    SetBeepHook(nullptr);
    // A press on a fixed cell does not move the current cell.
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
}

TEST(KitDrawGrid, DoubleClicksOnFixedButtonsArePresses)
{
    Grid g;
    int dbl = 0;
    g.OnDblClick = [&](TObject*) { ++dbl; };
    const TRect body = g.CellRect(2, 2), head = g.CellRect(2, 0);
    QTest::mouseDClick(g.vp(), Qt::LeftButton, {}, QPoint(body.Left + 3, body.Top + 3));
    EXPECT_EQ(dbl, 1);
    QTest::mouseDClick(g.vp(), Qt::LeftButton, {}, QPoint(head.Left + 3, head.Top + 3));
    EXPECT_EQ(dbl, 2);  // without fixed buttons every double click counts
    g.SetFixedButtons(true);
    QTest::mouseDClick(g.vp(), Qt::LeftButton, {}, QPoint(head.Left + 3, head.Top + 3));
    EXPECT_EQ(dbl, 2);
}

TEST(KitDrawGrid, EditorShowCommitCancel)
{
    Grid g;
    g.SetOptions(g.Options() | goEditing);
    g.cells[{1, 1}] = "old";
    int cancels = 0, edits = 0;
    g.OnCancelEdit = [&](TObject*) { ++cancels; };
    g.OnEditChange = [&](TObject*) { ++edits; };

    // F2 shows the editor with the cell's text; Enter writes it back.
    QTest::keyClick(&g, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    ASSERT_NE(g.editor(), nullptr);
    EXPECT_TRUE(g.editor()->isVisible());
    EXPECT_EQ(g.editor()->text(), QString("old"));
    EXPECT_EQ(g.editor()->geometry(), g.CellRect(1, 1).toQRect());
    QTest::keyClicks(g.editor(), "new");
    EXPECT_EQ(edits, 3);
    QTest::keyClick(g.editor(), Qt::Key_Return);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.cells[std::make_pair(1, 1)], QString("new"));

    // Typing starts the editor; Escape cancels without writing.
    g.writes.clear();
    QTest::keyClicks(&g, "x");
    ASSERT_TRUE(g.EditorMode());
    EXPECT_TRUE(g.editor()->hasFocus());
    QTest::keyClicks(g.editor(), "y");
    EXPECT_EQ(g.editor()->text(), QString("xy"));
    QTest::keyClick(g.editor(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(g.writes.empty());
    EXPECT_EQ(g.cells[std::make_pair(1, 1)], QString("new"));

    // Moving to another cell writes the text of the one left.
    QTest::keyClick(&g, Qt::Key_F2);
    g.editor()->setText("moved");
    QTest::keyClick(g.editor(), Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.cells[std::make_pair(1, 1)], QString("moved"));
}

TEST(KitDrawGrid, EditorVetoLimitAndAcceptedKeys)
{
    Grid g;
    g.SetOptions(g.Options() | goEditing);
    g.OnShowEditor = [](TObject*, int c, int, bool& allow) { allow = c != 2; };
    g.OnGetEditLimit = [](TObject*, int& max) { max = 3; };
    g.OnAcceptEditKey = [](TObject*, QChar& k) { return k.isDigit(); };
    g.SetCol(2);
    QTest::keyClick(&g, Qt::Key_F2);
    EXPECT_FALSE(g.EditorMode());
    g.SetCol(1);
    QTest::keyClicks(&g, "a");
    EXPECT_FALSE(g.EditorMode());
    QTest::keyClicks(&g, "1");
    ASSERT_TRUE(g.EditorMode());
    QTest::keyClicks(g.editor(), "2345");
    EXPECT_EQ(g.editor()->text(), QString("123"));
}

// Every key typed into the editor is asked for, and the handler's change is the key typed.
TEST(KitDrawGrid, EveryEditorKeyIsAskedAndMayBeChanged)
{
    struct Case {
        const char* typed;
        const char* text;
        int beeps;
    } cases[] = {{"1a2b", "1A2", 1}, {"a1", "A1", 0}, {"b1", "1", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Grid g;
        g.SetOptions(g.Options() | goEditing);
        g.OnAcceptEditKey = [](TObject*, QChar& k) {
            if (k == QLatin1Char('a'))
                k = QLatin1Char('A');
            return k.isDigit() || k == QLatin1Char('A');
        };
        int beeps = 0;
        SetBeepHook([&] { ++beeps; });
        for (const char* k = c.typed; *k; ++k)
            QTest::keyClicks(g.EditorMode() ? static_cast<QWidget*>(g.editor()) : &g, QString(QLatin1Char(*k)));
        SetBeepHook(nullptr);
        EXPECT_EQ(g.EditorMode() ? g.editor()->text() : QString(), QString::fromLatin1(c.text));
        EXPECT_EQ(beeps, c.beeps);
    }
}

TEST(KitDrawGrid, EllipsisButtonClicks)
{
    Grid g;
    g.SetOptions(g.Options() | goEditing);
    g.OnGetEditStyle = [](TObject*, int, int, TInplaceEditStyle& s) { s = ieEllipsis; };
    int clicks = 0;
    g.OnEditButtonClick = [&](TObject*) { ++clicks; };
    QTest::keyClick(&g, Qt::Key_F2);
    TKitInplaceEdit* e = g.editor();
    ASSERT_NE(e, nullptr);
    const QRect b = e->ButtonRect();
    EXPECT_EQ(b.width(), e->ButtonWidth());
    EXPECT_EQ(b.right(), e->width() - 1);
    QTest::mouseClick(e, Qt::LeftButton, {}, b.center());
    EXPECT_EQ(clicks, 1);
    // Pressed on the button but released off it: no click.
    QTest::mousePress(e, Qt::LeftButton, {}, b.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), e->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(e, &move);
    QTest::mouseRelease(e, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(g.EditorMode());
}

TEST(KitDrawGrid, PickListDropsDownAndKeepsTheFocusInTheEditor)
{
    Grid g;
    g.SetOptions(g.Options() | goEditing);
    QStringList items{"apple", "banana", "cherry"};
    g.OnGetEditStyle = [](TObject*, int, int, TInplaceEditStyle& s) { s = iePickList; };
    g.OnGetPicklist = [&](TObject*, int, int, QStringList& list) { list = items; };
    g.cells[{1, 1}] = "banana";
    QTest::keyClick(&g, Qt::Key_F2);
    TKitInplaceEdit* e = g.editor();
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e->ListVisible());
    TPopupListbox* list = e->PickList();
    EXPECT_EQ(list->height(), 3 * list->ItemHeight() + 4);
    EXPECT_EQ(list->currentItem()->text(), QString("banana"));
    EXPECT_GE(list->width(), e->width());
    EXPECT_GE(list->geometry().top(), e->mapToGlobal(QPoint(0, e->height())).y());
    EXPECT_TRUE(e->hasFocus());
    // Keys go to the list: an incremental search, then Enter takes the item.
    QTest::keyClicks(e, "ch");
    EXPECT_EQ(list->SearchText(), QString("ch"));
    EXPECT_EQ(list->currentItem()->text(), QString("cherry"));
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->text(), QString("cherry"));
    EXPECT_TRUE(g.EditorMode());
    // Escape closes without taking; the button toggles the list.
    QTest::mouseClick(e, Qt::LeftButton, {}, e->ButtonRect().center());
    ASSERT_TRUE(e->ListVisible());
    QTest::keyClick(e, Qt::Key_Up);
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->text(), QString("cherry"));
    // Twenty items show eight with a scroll bar.
    items.clear();
    for (int i = 0; i < 20; ++i)
        items << QString("item %1").arg(i);
    QTest::keyClick(e, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e->ListVisible());
    EXPECT_EQ(list->height(), 8 * list->ItemHeight() + 4);
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QTest::keyClick(e, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(e->ListVisible());
}

TEST(KitDrawGrid, PickListSearchRestartsAfterAPause)
{
    Grid g;
    g.SetOptions(g.Options() | goEditing);
    g.OnGetEditStyle = [](TObject*, int, int, TInplaceEditStyle& s) { s = iePickList; };
    g.OnGetPicklist = [](TObject*, int, int, QStringList& list) { list = {"alpha", "beta", "bravo", "charlie"}; };
    QTest::keyClick(&g, Qt::Key_F2);
    TKitInplaceEdit* e = g.editor();
    e->DropDown();
    TPopupListbox* list = e->PickList();
    qint64 now = 100000;
    list->Clock = [&] { return now; };
    struct Step {
        const char* key;
        qint64 advance;
        const char* search;
        const char* current;
    };
    const Step steps[] = {{"b", 0, "b", "beta"},
                          {"r", 3999, "br", "bravo"},
                          {"c", 4001, "c", "charlie"},
                          {"x", 10, "cx", "charlie"}};
    for (const Step& s : steps) {
        now += s.advance;
        QTest::keyClicks(e, s.key);
        EXPECT_EQ(list->SearchText(), QString(s.search));
        EXPECT_EQ(list->currentItem()->text(), QString(s.current));
    }
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(list->SearchText(), QString());
    // The search holds at most 32 characters.
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(list, Qt::Key_A);
    EXPECT_EQ(list->SearchText().size(), 32);
}

TEST(KitDrawGrid, ColumnWidthsStoredUnderItemKeys)
{
    Grid g;
    g.SetColWidths(2, 33);
    std::map<QString, int> store;
    g.SaveColumnWidths([&](const QString& k, int v) { store[k] = v; });
    EXPECT_EQ(store.size(), 5u);
    EXPECT_EQ(store["Item2"], 33);
    EXPECT_EQ(store["Item0"], 64);
    store["Item1"] = 50;
    store.erase("Item4");
    g.SetColWidths(2, 10);
    g.RestoreColumnWidths([&](const QString& k, int current) {
        const auto it = store.find(k);
        return it == store.end() ? current : it->second;
    });
    EXPECT_EQ(g.ColWidths(1), 50);
    EXPECT_EQ(g.ColWidths(2), 33);
    EXPECT_EQ(g.ColWidths(4), 64);
}

TEST(KitDrawGrid, SizingAndFocusEvents)
{
    Grid g;
    int sized = 0, focus = 0;
    g.OnColumnSized = [&](TObject*) { ++sized; };
    g.OnChangeFocus = [&](TObject*) { ++focus; };
    const int edge = g.CellRect(1, 0).Right;
    QTest::mousePress(g.vp(), Qt::LeftButton, {}, QPoint(edge, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + 10, 5), g.vp()->mapToGlobal(QPointF(edge + 10, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g.vp(), &move);
    QTest::mouseRelease(g.vp(), Qt::LeftButton, {}, QPoint(edge + 10, 5));
    EXPECT_EQ(sized, 1);
    EXPECT_EQ(g.ColWidths(1), 74);
    const int before = focus;
    g.clearFocus();
    EXPECT_EQ(focus, before + 1);
    g.setFocus();
    EXPECT_EQ(focus, before + 2);
}
