// The image window's drawing tools: shapes, brush dabs, fill, text, red eye, clone and rulers.
#include "app/app_test_util.h"
#include "common/bitmap_memory.h"
#include "platform/core/exceptions.h"

#include "imaging/ruler/ruler_box.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <functional>

namespace {

class ChildDrawingTest : public MainWindowTest {
protected:
    void open(TPixelFormat format)
    {
        make();
        child = imageWindow(80, 60, clWhite, format);
        child->imageKit->Proc()->UndoLimit = 5;
        original = *child->imageKit->Bitmap();
    }
    QPoint at(int x, int y) const { return child->imageKit->ClientOrigin() + QPoint(x, y); }
    void press(int x, int y, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(child->imageKit, b, {}, at(x, y));
    }
    void move(int x, int y) { QTest::mouseMove(child->imageKit, at(x, y)); }
    void release(int x, int y, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(child->imageKit, b, {}, at(x, y));
    }
    TBitmap& bmp() { return *child->imageKit->Bitmap(); }
    int changed(const TBitmap& against)
    {
        int n = 0;
        for (int y = 0; y < bmp().Height(); ++y)
            for (int x = 0; x < bmp().Width(); ++x)
                n += bmp().PixelColor(x, y) != against.PixelColor(x, y);
        return n;
    }
    // Undo brings back the image as it was before the press.
    void expectUndoRestores()
    {
        child->imageKit->Undo();
        EXPECT_EQ(changed(original), 0);
        EXPECT_EQ(bmp().PixelFormat(), original.PixelFormat());
    }
    Tchild* child = nullptr;
    TBitmap original;
};

// Each shape dragged through two rubber bands ends as one plain shape between the press
// and the release (squared with the right button), with no inverted trace left.
TEST_F(ChildDrawingTest, ShapesInBothButtons)
{
    struct Case {
        int tool;
        Qt::MouseButton button;
        TRect drawn;  // hand-computed from the press (60, 50)
        int release[2];
    } cases[] = {
        {1, Qt::LeftButton, {60, 50, 10, 20}, {10, 20}},  {2, Qt::LeftButton, {60, 50, 10, 25}, {10, 25}},
        {2, Qt::RightButton, {60, 50, 30, 20}, {75, 20}},  // 15 right, 30 up: 30 up and 30 left
        {2, Qt::RightButton, {60, 50, 10, 0}, {10, 20}},   // 50 left, 30 up: 50 each way
        {3, Qt::LeftButton, {60, 50, 20, 20}, {20, 20}},  {3, Qt::RightButton, {60, 50, 30, 20}, {75, 20}},
        {4, Qt::LeftButton, {60, 50, 20, 25}, {20, 25}},  {4, Qt::RightButton, {60, 50, 10, 0}, {10, 20}},
    };
    for (TPixelFormat format : {pf24bit, pf1bit}) {
        for (const Case& c : cases) {
            open(format);
            form->Drawing().SelectTool(c.tool);
            form->options.fillstyle = 1;  // outlines only, so the ghosts would show
            press(60, 50, c.button);
            move(30, 30);
            move(c.release[0] + 3, c.release[1] + 3);
            release(c.release[0], c.release[1], c.button);

            TBitmap expected = original;
            TCanvas& e = *expected.Canvas();
            e.Pen.Color = form->Drawing().PenColor();
            e.Brush.Style = bsClear;
            const TRect& r = c.drawn;
            if (c.tool == 1) {
                e.MoveTo(r.Left, r.Top);
                e.LineTo(r.Right, r.Bottom);
            } else if (c.tool == 2) {
                e.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
            } else if (c.tool == 3) {
                e.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
            } else {
                e.RoundRect(r.Left, r.Top, r.Right, r.Bottom, (r.Left - r.Right) / 2, (r.Top - r.Bottom) / 2);
            }
            EXPECT_EQ(changed(expected), 0) << "tool " << c.tool << " format " << format;
            EXPECT_GT(changed(original), 0);
            EXPECT_EQ(bmp().PixelFormat(), format);
            EXPECT_TRUE(child->Modified());
            expectUndoRestores();
            form.reset();
        }
    }
}

TEST_F(ChildDrawingTest, BrushDabSizes)
{
    const int pixels[5] = {1, 5, 9, 13, 21};
    for (TPixelFormat format : {pf24bit, pf1bit}) {
        for (int size = 0; size < 5; ++size) {
            open(format);
            form->Drawing().SelectTool(0);
            form->options.brushsize = size;
            form->Drawing().SetPenColor(clBlack);
            press(20, 20);
            release(20, 20);
            EXPECT_EQ(changed(original), pixels[size]) << size;
            EXPECT_EQ(bmp().PixelColor(20, 20), clBlack);
            expectUndoRestores();
            form.reset();
        }
    }
}

TEST_F(ChildDrawingTest, FloodFillTextAndColourPick)
{
    for (TPixelFormat format : {pf24bit, pf1bit}) {
        open(format);
        TCanvas& c = *bmp().Canvas();
        c.Pen.Color = clBlack;
        c.Brush.Style = bsClear;
        c.Rectangle(10, 10, 30, 30);
        original = bmp();
        form->Drawing().SetFillColor(clBlack);
        form->options.fillstyle = 0;
        form->Drawing().SelectTool(5);
        press(20, 20);
        release(20, 20);
        EXPECT_EQ(changed(original), 18 * 18);
        EXPECT_EQ(bmp().PixelColor(5, 5), clWhite);
        press(20, 20);  // already the fill colour: nothing new
        release(20, 20);
        EXPECT_EQ(changed(original), 18 * 18);
        child->imageKit->Undo();
        expectUndoRestores();

        form->Drawing().SelectTool(6);
        form->Control<QLineEdit>(QStringLiteral("Edit1"))->setText(QStringLiteral("Wg"));
        form->options.fillstyle = 1;
        form->options.pencolor = clBlack;
        press(40, 30);
        release(40, 30);
        int above = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x)
                above += bmp().PixelColor(x, y) != clWhite && !(x >= 10 && x < 30 && y >= 10 && y < 30);
        EXPECT_EQ(above, 0);
        EXPECT_GT(changed(original), 5);
        expectUndoRestores();

        form->Drawing().SelectTool(7);
        form->Drawing().SetPenColor(clRed);
        form->Drawing().SetFillColor(clRed);
        press(10, 15);
        release(10, 15);
        EXPECT_EQ(form->Drawing().PenColor(), clBlack);
        press(50, 50, Qt::RightButton);
        release(50, 50, Qt::RightButton);
        EXPECT_EQ(form->Drawing().FillColor(), clWhite);
        EXPECT_EQ(TColor(form->options.fillcolor), clWhite);
        form.reset();
    }
}

TEST_F(ChildDrawingTest, RedEyeLowersRed)
{
    struct Case {
        int red, after;
    } cases[] = {{200, 190}, {10, 0}, {9, 0}, {0, 0}};
    for (const Case& k : cases) {
        make();
        child = imageWindow(20, 20, RGB(k.red, 50, 60));
        original = bmp();
        form->Drawing().SelectTool(8);
        form->options.brushsize = 1;
        press(5, 5);
        release(5, 5);
        EXPECT_EQ(bmp().PixelColor(5, 5), RGB(k.after, 50, 60)) << k.red;
        EXPECT_EQ(bmp().PixelColor(6, 5), RGB(k.after, 50, 60));
        EXPECT_EQ(bmp().PixelColor(6, 6), RGB(k.red, 50, 60));
        expectUndoRestores();
        form.reset();
    }
    // A 1-bit image keeps its format.
    open(pf1bit);
    form->Drawing().SelectTool(8);
    press(5, 5);
    release(5, 5);
    EXPECT_EQ(bmp().PixelFormat(), pf1bit);
}

TEST_F(ChildDrawingTest, CloneNeedsAReferencePoint)
{
    for (TPixelFormat format : {pf24bit, pf1bit}) {
        open(format);
        TCanvas& c = *bmp().Canvas();
        c.Brush.Color = clBlack;
        c.FillRect(TRect(0, 0, 10, 10));
        original = bmp();
        form->Drawing().SelectTool(9);
        form->options.brushsize = 0;
        press(40, 40);
        release(40, 40);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(changed(original), 0);
        EXPECT_TRUE(child->Modified());
        EXPECT_TRUE(child->imageKit->CanUndo());
        child->imageKit->Undo();

        press(5, 5, Qt::RightButton);
        release(5, 5, Qt::RightButton);
        child->imageKit->Undo();
        press(40, 40);
        move(42, 40);
        move(44, 41);
        release(44, 41);
        EXPECT_EQ(bmp().PixelColor(40, 40), clBlack);
        EXPECT_EQ(bmp().PixelColor(42, 40), clBlack);
        EXPECT_EQ(bmp().PixelColor(44, 41), clBlack);
        EXPECT_EQ(changed(original), 3);
        expectUndoRestores();
        messages.clear();
        form.reset();
    }
}

// Dots per unit, tick and label spacing of both rulers, from the zoom and the unit.
TEST_F(ChildDrawingTest, RulersFollowZoomAndUnit)
{
    struct Case {
        int unit, zoom;
        double dpu, freq, label;
    } cases[] = {
        {0, 500, 5, 1, 10},          {0, 100, 1, 10, 100},          {0, 33, 0.33, 30, 300},
        {1, 500, 3000, 0.003, 0.03}, {1, 100, 600, 0.0165, 0.165},  {1, 33, 198, 0.0505, 0.505},
        {2, 500, 7620, 0.001, 0.01}, {2, 100, 1524, 0.0065, 0.065}, {2, 33, 502.92, 0.0195, 0.195},
    };
    open(pf24bit);
    for (const Case& k : cases) {
        form->options.RulerUnit = uint8_t(k.unit);
        child->imageKit->SetZoom(k.zoom);
        child->viewChanged(child->imageKit, 1);
        for (TRulerBox* r : {child->horizontalRuler, child->verticalRuler}) {
            EXPECT_NEAR(r->DotPerUnit(), k.dpu, 1e-9) << k.unit << " " << k.zoom;
            EXPECT_NEAR(r->Frequency(), k.freq, 1e-12) << k.unit << " " << k.zoom;
            EXPECT_NEAR(r->LabelFreq(), k.label, 1e-12) << k.unit << " " << k.zoom;
        }
    }
    form->options.RulerUnit = 1;
    child->imageKit->SetZoom(100);
    move(30, 12);
    EXPECT_NEAR(child->horizontalRuler->GetGripPos(0), 0.05, 1e-12);
    EXPECT_EQ(child->statusBar->currentMessage(), QStringLiteral("0.1333 x 0.1000    X:0.0500  Y:0.0200"));
    form->options.RulerUnit = 0;
    move(31, 12);
    EXPECT_EQ(child->statusBar->currentMessage(), QStringLiteral("80 x 60    X:31  Y:12"));
}

// In the polygon mode each click adds a corner to the polygon being drawn and a double
// click closes it; only the next press after that starts a new one.
TEST_F(ChildDrawingTest, PolygonSelectionCollectsClickedCorners)
{
    open(pf24bit);
    QTest::mouseClick(form->Drawing().MouseModeButton(2), Qt::LeftButton);
    TImageKit* v = child->imageKit;
    const QPoint corners[] = {{10, 10}, {60, 12}, {70, 50}, {15, 45}};
    for (const QPoint& p : corners)
        QTest::mouseClick(v, Qt::LeftButton, {}, at(p.x(), p.y()));
    EXPECT_EQ(v->SelectionPointCount(), 4);
    EXPECT_TRUE(v->PolygonDrawing());
    // The last corner's click was the first half of a double click.
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at(15, 45), v->mapToGlobal(at(15, 45)), Qt::LeftButton, Qt::LeftButton,
                    {});
    QApplication::sendEvent(v, &dbl);
    QTest::mouseRelease(v, Qt::LeftButton, {}, at(15, 45));
    EXPECT_FALSE(v->PolygonDrawing());
    ASSERT_EQ(v->SelectionPointCount(), 4);
    EXPECT_TRUE(v->HasSelection());
    EXPECT_EQ(v->SelectionX2(), 70);
    EXPECT_EQ(v->SelectionY2(), 50);
    QTest::mouseClick(v, Qt::LeftButton, {}, at(30, 30));
    EXPECT_EQ(v->SelectionPointCount(), 1);
    EXPECT_TRUE(v->PolygonDrawing());
}

// A press can be undone at once, so the undo button and item are enabled before the release.
TEST_F(ChildDrawingTest, PressEnablesUndoAtOnce)
{
    open(pf24bit);
    form->UpdateAvailability(false);
    auto* undo = form->Control<QToolButton>(QStringLiteral("SpeedButton3"));
    ASSERT_FALSE(undo->isEnabled());
    for (int tool : {0, 5}) {  // a stroke, and a fill that ends with the press
        child->imageKit->ClearUndo();
        form->UpdateAvailability(false);
        form->Drawing().SelectTool(tool);
        press(10, 10);
        EXPECT_TRUE(undo->isEnabled()) << tool;
        EXPECT_TRUE(form->Item(QStringLiteral("Rckgngig1"))->isEnabled()) << tool;
        release(10, 10);
    }
}

// A press whose undo copy gets no memory raises the out-of-memory exception before it
// changes anything: the image, its undo stack and its modified flag stay as they were.
TEST_F(ChildDrawingTest, PressWithoutMemoryForTheUndoCopyChangesNothing)
{
    open(pf24bit);
    child->SetModified(false);
    for (int tool : {0, 5}) {  // a stroke, and a fill that ends with the press
        form->Drawing().SelectTool(tool);
        {
            const TBitmapMemoryRefusal refusal;
            EXPECT_THROW(child->imageMouseDown(child->imageKit, mbLeft, {}, 10, 10), EOutOfMemory) << tool;
        }
        EXPECT_EQ(changed(original), 0) << tool;
        EXPECT_EQ(child->imageKit->Proc()->UndoCount(), 0) << tool;
        EXPECT_FALSE(child->Modified()) << tool;
        EXPECT_FALSE(child->BrushStroke) << tool;
    }
}

// The status line follows the image's size without a mouse move, at the last position.
TEST_F(ChildDrawingTest, StatusLineFollowsSizeChanges)
{
    open(pf24bit);
    form->Drawing().SelectMouseMode(4);
    move(3, 4);
    ASSERT_EQ(child->statusBar->currentMessage(), QStringLiteral("80 x 60    X:3  Y:4"));
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"40 x 30    X:3  Y:4",
         [&] {
             form->automatitem.SetArg(1, 40);
             form->automatitem.SetArg(2, 30);
             form->automatitem.SetArgLowByte(3, 0);
             form->runcode(cmdResample);
         }},
        {"30 x 40    X:3  Y:4", [&] { form->Item(QStringLiteral("N90gegenUhrzeigersinndrehen1"))->trigger(); }},
        {"7 x 5    X:3  Y:4",
         [&] {
             QApplication::clipboard()->setImage(QImage(7, 5, QImage::Format_RGB32));
             form->Item(QStringLiteral("Einfgen1"))->trigger();
         }},
        {"30 x 40    X:3  Y:4", [&] { form->Item(QStringLiteral("Rckgngig1"))->trigger(); }},
    };
    for (const auto& [status, step] : steps) {
        step();
        EXPECT_EQ(child->statusBar->currentMessage(), QString::fromLatin1(status));
    }
}

}  // namespace
