// Selections in the image view, by call and by mouse.
#include "view_test_util.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<TPoint> polygon(TImageKitView& v) { return v.GetSelectionPolygon(); }

std::vector<TPoint> pts(std::initializer_list<std::pair<int, int>> l)
{
    std::vector<TPoint> r;
    for (auto [x, y] : l)
        r.push_back(TPoint(x, y));
    return r;
}

}  // namespace

TEST(ViewMouseModes, AddedModeLimitsTheSet)
{
    TImageKitView v;
    v.SetMouseInteract(miZoom);
    v.SetMouseInteract(miZoom | miSelectPolygon);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miSelectPolygon));
    v.SetMouseInteract(miSelectPolygon | miZoom);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miZoom));
    v.SetMouseInteract(miZoom | miScroll);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miZoom | miScroll));
    v.SetMouseInteract(miZoom | miScroll | miSelect);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miZoom | miSelect));
    v.SetMouseInteract(miZoom | miSelect | miSelectZoom | miSelectCircle);
    // miSelectCircle is tested before miSelectZoom.
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miSelectCircle));
    v.SetMouseInteract(miSelectCircle | miSelectZoom | miScroll);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miScroll));
    // miSelect is added first in the test order and keeps miZoom with it.
    v.SetMouseInteract(miZoom | miSelect | miSelectZoom);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miZoom | miSelect));
    // Removing only: stored as it is.
    v.SetMouseInteract(miZoom);
    EXPECT_EQ(v.MouseInteract(), TIKMouseInteract(miZoom));
}

TEST(ViewSelection, SelectRectOrdersCornersClockwiseFromTopLeft)
{
    auto v = MakeView(200, 200, 100, 100);
    const auto want = pts({{10, 20}, {60, 20}, {60, 70}, {10, 70}});
    v->SelectRect(60, 70, 10, 20);
    EXPECT_EQ(polygon(*v), want);
    v->SelectRect(10, 70, 60, 20);
    EXPECT_EQ(polygon(*v), want);
    EXPECT_TRUE(v->HasSelection());
    EXPECT_EQ(v->SelectionX1(), 10);
    EXPECT_EQ(v->SelectionY2(), 70);
    const auto p = polygon(*v);
    EXPECT_TRUE(TImageKitView::IsRectangularSelection(p.data(), 4));
    // Degenerate rectangles are ignored.
    v->SelectRect(5, 5, 5, 50);
    EXPECT_EQ(polygon(*v), want);
}

TEST(ViewSelection, RectangleTest)
{
    const auto tri = pts({{0, 0}, {5, 0}, {5, 5}});
    EXPECT_FALSE(TImageKitView::IsRectangularSelection(tri.data(), 3));
    const auto skew = pts({{0, 0}, {5, 0}, {6, 5}, {0, 5}});
    EXPECT_FALSE(TImageKitView::IsRectangularSelection(skew.data(), 4));
    const auto flat = pts({{0, 0}, {5, 0}, {5, 0}, {0, 0}});
    EXPECT_FALSE(TImageKitView::IsRectangularSelection(flat.data(), 4));
    const auto ccw = pts({{0, 0}, {0, 5}, {5, 5}, {5, 0}});
    EXPECT_TRUE(TImageKitView::IsRectangularSelection(ccw.data(), 4));
}

TEST(ViewSelection, SurvivesZoomRoundTripsInBitmapCoordinates)
{
    auto v = MakeView(200, 200, 400, 300);
    v->SetSelectionBase(iksbBitmap);
    v->SelectRect(125, 41, 301, 203);
    v->SetSelectionBase(iksbClientArea);
    for (int z : {2, 100, 37, 250, 100}) {
        v->SetZoom(z);
        EXPECT_EQ(v->SelectionX1(), 125) << z;
        EXPECT_EQ(v->SelectionY1(), 41) << z;
        EXPECT_EQ(v->SelectionX2(), 301) << z;
        EXPECT_EQ(v->SelectionY2(), 203) << z;
    }
    EXPECT_EQ(polygon(*v), pts({{125, 41}, {301, 41}, {301, 203}, {125, 203}}));
    // Scrolling leaves it on the same image pixels too.
    v->SetZoom(300);
    v->SetViewXY(77, 91);
    EXPECT_EQ(v->SelectionX1(), 125);
}

TEST(ViewSelection, BitmapBasedSelectionDoesNotSnapToTheZoomGrid)
{
    auto v = MakeView(200, 200, 400, 300);
    v->SetZoom(33);
    v->SetSelectionBase(iksbBitmap);
    v->SelectRect(7, 11, 20, 31);
    EXPECT_EQ(polygon(*v), pts({{7, 11}, {20, 11}, {20, 31}, {7, 31}}));
    v->AddSelPoint(13, 40);
    EXPECT_EQ(v->SelectionY2(), 40);
    // Drawn on screen where the bitmap point lies.
    EXPECT_EQ(v->BitmapToScreenX(7), 2);
}

TEST(ViewSelection, TooFewPointsAreNoSelection)
{
    auto v = MakeView(200, 200, 100, 100);
    v->AddSelPoint(10, 10);
    EXPECT_FALSE(v->HasSelection());
    v->AddSelPoint(10, 50);  // a line has no area
    EXPECT_FALSE(v->HasSelection());
    v->AddSelPoint(40, 50);
    EXPECT_TRUE(v->HasSelection());
    EXPECT_EQ(v->SelectionX2(), 40);
    v->Deselect();
    EXPECT_FALSE(v->HasSelection());
    EXPECT_EQ(v->SelectionPointCount(), 0);
    EXPECT_EQ(v->SelectionX1(), 0);
    EXPECT_EQ(v->SelectionX2(), 0);  // the box went with the points
    v->AddSelPoint(80, 80);
    EXPECT_FALSE(v->HasSelection());
    EXPECT_EQ(v->SelectionX2(), 0);  // no stale box from before
}

TEST(ViewSelectionMouse, RectangleDragAndClickKeepsOldSelection)
{
    auto v = MakeView(200, 200, 150, 150, bsSingle);
    v->SetMouseInteract(miSelect);
    Press(*v, 10, 12);
    MoveHeld(*v, 30, 20);
    MoveHeld(*v, 50, 40);
    Release(*v, 50, 40);
    EXPECT_TRUE(v->HasSelection());
    EXPECT_EQ(polygon(*v), pts({{10, 12}, {50, 12}, {50, 40}, {10, 40}}));
    Click(*v, 70, 70);
    EXPECT_EQ(polygon(*v), pts({{10, 12}, {50, 12}, {50, 40}, {10, 40}}));
    // Outside the image the mouse is clamped to the drawn area.
    Press(*v, 100, 100);
    MoveHeld(*v, 190, 190);
    Release(*v, 190, 190);
    EXPECT_EQ(v->SelectionX2(), 149);
}

TEST(ViewSelectionMouse, OutlineIsADashPatternThatMovesEachTick)
{
    auto v = MakeView(100, 100, 100, 100);
    v->Bitmap()->Image().fill(QColor(0, 128, 0));
    v->SelectRect(10, 10, 40, 30);
    QImage g = GrabClient(*v);
    // Pixel i of the outline is black when (phase + i) mod 6 < 3.
    EXPECT_EQ(Px(g, 10, 10), 0x000000u);
    EXPECT_EQ(Px(g, 12, 10), 0x000000u);
    EXPECT_EQ(Px(g, 13, 10), 0xFFFFFFu);
    EXPECT_EQ(Px(g, 16, 10), 0x000000u);
    EXPECT_EQ(Px(g, 20, 20), qRgb(0, 128, 0) & 0xFFFFFFu);
    v->SelectionTimerTick();
    EXPECT_EQ(v->SelectionRecord().Phase, 1);
    g = GrabClient(*v);
    EXPECT_EQ(Px(g, 11, 10), 0x000000u);
    EXPECT_EQ(Px(g, 12, 10), 0xFFFFFFu);
    for (int i = 0; i < 5; ++i)
        v->SelectionTimerTick();
    EXPECT_EQ(v->SelectionRecord().Phase, 0);
    v->SetAnimatedSel(false);
    v->SelectionTimerTick();
    EXPECT_EQ(v->SelectionRecord().Phase, 0);
}

TEST(ViewSelectionMouse, PolygonWithCtrlSnapAndDoubleClick)
{
    auto v = MakeView(200, 200, 200, 200);
    v->SetMouseInteract(miSelectPolygon);
    Click(*v, 20, 20);
    EXPECT_TRUE(v->PolygonDrawing());
    // Vertical extent exceeds horizontal by more than 30: exactly vertical.
    Press(*v, 25, 90, Qt::LeftButton, Qt::ControlModifier);
    Release(*v, 25, 90, Qt::LeftButton, Qt::ControlModifier);
    // Nearly horizontal: exactly horizontal.
    Press(*v, 120, 80, Qt::LeftButton, Qt::ControlModifier);
    Release(*v, 120, 80, Qt::LeftButton, Qt::ControlModifier);
    // A 45° edge: px > ax, py > ay with dx ≥ dy lengthens dy.
    Press(*v, 150, 100, Qt::LeftButton, Qt::ControlModifier);
    Release(*v, 150, 100, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(polygon(*v), pts({{20, 20}, {20, 90}, {120, 90}, {150, 120}}));
    // The free rubber line follows the mouse, snapped with Ctrl.
    MoveFree(*v, 170, 190);
    // Double click: the second press adds a point, which the double click drops again.
    Click(*v, 60, 150);
    SendMouse(*v, QEvent::MouseButtonDblClick, 60, 150, Qt::LeftButton, Qt::LeftButton);
    Release(*v, 60, 150);
    EXPECT_FALSE(v->PolygonDrawing());
    EXPECT_EQ(polygon(*v), pts({{20, 20}, {20, 90}, {120, 90}, {150, 120}, {60, 150}}));
    EXPECT_TRUE(v->HasSelection());
    // A new press starts a new polygon.
    Click(*v, 5, 5);
    EXPECT_EQ(v->SelectionPointCount(), 1);
}

TEST(ViewSelectionMouse, RubberLineInvertsThePixelsItCrosses)
{
    auto v = MakeView(100, 100, 100, 100);
    v->Bitmap()->Image().fill(QColor(200, 100, 50));
    v->SetMouseInteract(miSelectPolygon);
    Click(*v, 20, 70);
    MoveFree(*v, 80, 70);
    const QImage g = GrabClient(*v);
    EXPECT_EQ(Px(g, 50, 70), qRgb(55, 155, 205) & 0xFFFFFFu);
    EXPECT_EQ(Px(g, 50, 71), qRgb(200, 100, 50) & 0xFFFFFFu);
    // The rectangle drag's old outline is gone after it shrinks.
    auto r = MakeView(100, 100, 100, 100);
    r->Bitmap()->Image().fill(QColor(200, 100, 50));
    r->SetMouseInteract(miSelect);
    Press(*r, 10, 10);
    MoveHeld(*r, 90, 90);
    GrabClient(*r);
    MoveHeld(*r, 40, 40);
    Release(*r, 40, 40);
    const QImage h = GrabClient(*r);
    EXPECT_EQ(Px(h, 89, 50), qRgb(200, 100, 50) & 0xFFFFFFu);
}

TEST(ViewSelectionMouse, FreeHandTracingWhileHeld)
{
    auto v = MakeView(100, 100, 100, 100);
    v->SetMouseInteract(miSelectPolygon);
    Press(*v, 10, 10);
    for (int i = 1; i <= 100; ++i)
        MoveHeld(*v, 10 + i % 50, 10 + i / 3);
    Release(*v, 59, 43);
    EXPECT_EQ(v->SelectionPointCount(), 101);
}

TEST(ViewSelectionMouse, EllipsePointCounts)
{
    auto v = MakeView(200, 200, 200, 200);
    v->SetMouseInteract(miSelectCircle);
    Press(*v, 50, 50);
    MoveHeld(*v, 60, 55);
    // n = Trunc(min(10, 5) · 2π) div 4 = 31 div 4.
    EXPECT_EQ(v->SelectionPointCount(), 7);
    const auto p = polygon(*v);
    EXPECT_EQ(p[0], TPoint(60, 50));
    MoveHeld(*v, 60, 55, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(v->SelectionPointCount(), 15);  // a circle of radius 10: 62 div 4
    Release(*v, 60, 55);
    EXPECT_TRUE(v->HasSelection());
    // Less than a pixel in one direction: no points, no selection.
    Press(*v, 100, 100);
    MoveHeld(*v, 140, 100);
    Release(*v, 140, 100);
    EXPECT_EQ(v->SelectionPointCount(), 0);
    EXPECT_FALSE(v->HasSelection());
}

TEST(ViewSelectionMouse, ClickZoomSteps)
{
    auto v = MakeView(200, 200, 100, 100);
    v->SetMouseInteract(miZoom);
    auto clickAt = [&](int zoom, Qt::MouseButton b) {
        v->SetZoom(zoom);
        Click(*v, 0, 0, b);
        return v->Zoom();
    };
    EXPECT_EQ(clickAt(75, Qt::LeftButton), 100);
    EXPECT_EQ(clickAt(100, Qt::LeftButton), 200);
    EXPECT_EQ(clickAt(1, Qt::LeftButton), 2);
    EXPECT_EQ(clickAt(33, Qt::LeftButton), 50);
    EXPECT_EQ(clickAt(200, Qt::RightButton), 100);
    EXPECT_EQ(clickAt(150, Qt::RightButton), 100);
    EXPECT_EQ(clickAt(100, Qt::RightButton), 75);
    EXPECT_EQ(clickAt(2, Qt::RightButton), 2);
    EXPECT_EQ(clickAt(300, Qt::MiddleButton), 300);
    // A drag is no click.
    v->SetZoom(100);
    Press(*v, 10, 10);
    MoveHeld(*v, 30, 30);
    Release(*v, 30, 30);
    EXPECT_EQ(v->Zoom(), 100);
}

TEST(ViewSelectionMouse, ClickZoomCentresTheClickedPoint)
{
    auto v = MakeView(100, 100, 100, 100);
    v->SetMouseInteract(miZoom);
    Click(*v, 30, 60);
    EXPECT_EQ(v->Zoom(), 200);
    EXPECT_EQ(v->ViewX(), 60 - 50);
    EXPECT_EQ(v->ViewY(), 120 - 50);
    EXPECT_EQ(v->ScreenToBitmapX(50), 30);
}

TEST(ViewSelectionMouse, DragScrolling)
{
    auto v = MakeView(100, 100, 400, 400);
    v->SetMouseInteract(miScroll);
    v->SetViewXY(100, 100);
    Press(*v, 50, 50);
    MoveHeld(*v, 30, 70);
    EXPECT_EQ(v->ViewX(), 120);
    EXPECT_EQ(v->ViewY(), 80);
    MoveHeld(*v, 200, 50);  // unclamped values drive the scroll
    EXPECT_EQ(v->ViewX(), 0);
    Release(*v, 45, 45);
    EXPECT_EQ(v->ViewX(), 105);
    EXPECT_EQ(v->ViewY(), 105);
}

TEST(ViewSelectionMouse, AutoScrollDuringRectangleDrag)
{
    auto v = MakeView(100, 100, 300, 300);
    v->SetMouseInteract(miSelect);
    Press(*v, 50, 50);
    MoveHeld(*v, 130, 60);       // 31 pixels right of the drawn area
    EXPECT_EQ(v->ViewX(), 200);  // scrolled to the edge: the cursor did not come back
    // The press point stayed on the same image pixel (50).
    EXPECT_EQ(v->SelectionX1(), 50);
    EXPECT_EQ(v->SelectionX2(), 299);
}

TEST(ViewSelectionMouse, ZoomSelectionCentresTheRectangle)
{
    auto v = MakeView(104, 104, 400, 400, bsSingle);  // client 100 × 100
    v->SetSelectionBase(iksbBitmap);
    v->SelectRect(100, 100, 149, 149);
    v->ZoomSelection();
    EXPECT_EQ(v->Zoom(), 208);
    // Trunc(100 · 2.08) − (100 − Trunc(50 · 2.08)) div 2 = 208 − (−4 div 2)
    EXPECT_EQ(v->ViewX(), 210);
    EXPECT_EQ(v->ViewY(), 210);
    EXPECT_FALSE(v->HasSelection());
    // Without a selection nothing happens.
    v->ZoomSelection();
    EXPECT_EQ(v->Zoom(), 208);
}

TEST(ViewSelectionMouse, SelectZoomModeZoomsToTheDraggedRectangle)
{
    auto v = MakeView(100, 100, 100, 100);
    v->SetMouseInteract(miSelectZoom);
    Press(*v, 20, 20);
    MoveHeld(*v, 44, 44);
    Release(*v, 44, 44);
    EXPECT_EQ(v->Zoom(), 400);  // 25 pixels into 100
    EXPECT_FALSE(v->HasSelection());
}

TEST(ViewSelectionMouse, MouseSelectionSurvivesZoomChanges)
{
    auto v = MakeView(200, 200, 300, 300);
    v->SetZoom(150);
    v->SetMouseInteract(miSelect);
    Press(*v, 30, 45);
    MoveHeld(*v, 120, 150);
    Release(*v, 120, 150);
    const auto before = polygon(*v);
    EXPECT_EQ(before[0], TPoint(20, 30));
    EXPECT_EQ(before[2], TPoint(80, 100));
    v->SetZoom(2);
    v->SetZoom(150);
    EXPECT_EQ(polygon(*v), before);
    // Outline drawn where the selection lies at the new zoom.
    v->SetZoom(300);
    EXPECT_EQ(v->BitmapToScreenX(20), 60);
}

TEST(ViewSelection, HugeBitmapSelectionPaintsOnlyTheVisibleDashes)
{
    // A rectangle a program gives in bitmap pixels may reach far past the image; its
    // outline runs about a thousand million pixels outside the client area.
    auto v = MakeView(60, 40, 50, 30);
    v->Bitmap()->Image().fill(QColor(0, 128, 0));
    v->SetSelectionBase(iksbBitmap);
    v->SelectRect(0, 0, 2000000000, 2000000000);
    ASSERT_TRUE(v->HasSelection());
    const QImage g = GrabClient(*v);
    // Top edge from the first point: pixel i is black when i mod 6 < 3.
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(Px(g, x, 0), x % 6 < 3 ? 0x000000u : 0xFFFFFFu) << x;
    // The closing left edge comes back up from y = 10^9 (the drawn points are kept within
    // ±10^9): pixel (0, y) is outline pixel 4·10^9 − y, and 4·10^9 mod 6 = 4.
    for (int y = 1; y < 40; ++y)
        EXPECT_EQ(Px(g, 0, y), (((4 - y) % 6 + 6) % 6) < 3 ? 0x000000u : 0xFFFFFFu) << y;
    EXPECT_EQ(Px(g, 30, 20), qRgb(0, 128, 0) & 0xFFFFFFu);
    v->SelectionTimerTick();
    const QImage h = GrabClient(*v);
    EXPECT_EQ(Px(h, 0, 0), 0x000000u);
    EXPECT_EQ(Px(h, 2, 0), 0xFFFFFFu);  // phase 1: (1 + 2) mod 6 = 3
}

TEST(ViewSelectionMouse, CtrlSnapMakesFortyFiveDegreeEdgesInEveryQuadrant)
{
    auto v = MakeView(200, 200, 200, 200);
    v->SetMouseInteract(miSelectPolygon);
    auto ctrlClick = [&](int x, int y) {
        Press(*v, x, y, Qt::LeftButton, Qt::ControlModifier);
        Release(*v, x, y, Qt::LeftButton, Qt::ControlModifier);
    };
    Click(*v, 100, 100);
    ctrlClick(80, 90);   // up-left, wider than high: the longer x is shortened to 10
    ctrlClick(70, 95);   // down-left, wider: y lengthened by 15
    ctrlClick(75, 80);   // up-right, higher: x lengthened by 25
    ctrlClick(90, 100);  // down-left, higher: x moved left by 10
    EXPECT_EQ(polygon(*v), pts({{100, 100}, {90, 90}, {70, 110}, {100, 80}, {80, 100}}));
}

TEST(ViewSelectionMouse, ZoomSelectionOfABoxSpanningTheIntegerRange)
{
    auto v = MakeView(100, 100, 400, 400);
    v->SetSelectionBase(iksbBitmap);
    v->SelectRect(-2000000000, -2000000000, 2000000000, 2000000000);
    ASSERT_TRUE(v->HasSelection());
    v->ZoomSelection();  // width 4·10^9 + 1 does not fit in 32 bits
    EXPECT_EQ(v->Zoom(), 1);
    EXPECT_EQ(v->ViewX(), 0);
    EXPECT_FALSE(v->HasSelection());
}
