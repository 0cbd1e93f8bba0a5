// The image view's layout: defaults, centring, scroll ranges, zoom and cursors.
#include "view_test_util.h"

#include "platform/graphics/cursors.h"
#include "platform/ui/timer.h"

#include <QScrollBar>
#include <QStyle>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {
int barExtent(QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }
}  // namespace

TEST(ViewLayout, NewViewDefaults)
{
    TImageKitView v;
    EXPECT_EQ(v.Width(), 105);
    EXPECT_EQ(v.Height(), 105);
    EXPECT_EQ(v.Zoom(), 100);
    EXPECT_EQ(v.BorderStyle(), bsSingle);
    EXPECT_EQ(v.Background(), clBtnFace);
    EXPECT_EQ(v.ScrollBars(), ssNone);
    EXPECT_EQ(v.MouseInteract(), 0u);
    EXPECT_EQ(v.SelectionBase(), iksbClientArea);
    EXPECT_TRUE(v.Bitmap()->Empty());  // a view made in code starts without an image
    EXPECT_EQ(v.Cursor(), 1785);
    EXPECT_EQ(v.SelectionTimer()->Interval(), 150);
    EXPECT_TRUE(v.SelectionTimer()->Enabled());
    EXPECT_GT(v.DpiX(), 0);
}

TEST(ViewLayout, CentringOffsetsRoundDown)
{
    auto v = MakeView(200, 151, 51, 30, bsSingle);  // client 196 × 147
    EXPECT_EQ(v->OffsetX(), 0);
    v->SetCenter(true);
    EXPECT_EQ(v->OffsetX(), (196 - 51) / 2);
    EXPECT_EQ(v->OffsetY(), (147 - 30) / 2);
    EXPECT_EQ(v->DrawnWidth(), 51);
    // Zoomed larger than the client: no offset on that axis.
    v->SetZoom(500);
    EXPECT_EQ(v->OffsetX(), 0);
    EXPECT_EQ(v->OffsetY(), 0);
    EXPECT_EQ(v->DrawnWidth(), 196);
}

TEST(ViewLayout, ViewClampsAndScrollRangesFollowTheImage)
{
    auto v = MakeView(200, 150, 400, 100);
    v->SetScrollBars(ssBoth);
    EXPECT_TRUE(v->ScrollBarVisible(sbHorizontal));
    EXPECT_FALSE(v->ScrollBarVisible(sbVertical));
    const int cw = v->ClientWidth();
    EXPECT_EQ(cw, 200);
    EXPECT_EQ(v->ClientHeight(), 150 - barExtent(v.get()));
    EXPECT_EQ(v->ScrollMin(sbHorizontal), 0);
    EXPECT_EQ(v->ScrollMax(sbHorizontal), cw + (400 - cw) - 1);
    EXPECT_EQ(v->ScrollPage(sbHorizontal), cw);
    v->SetViewX(1000);
    EXPECT_EQ(v->ViewX(), 400 - cw);
    EXPECT_EQ(v->ScrollPos(sbHorizontal), 400 - cw);
    v->SetViewX(-5);
    EXPECT_EQ(v->ViewX(), 0);
    v->SetViewY(30);
    EXPECT_EQ(v->ViewY(), 0);  // the image fits vertically
    // Zooming out makes the bar go away and pulls the view back.
    v->SetViewX(150);
    v->SetZoom(50);
    EXPECT_EQ(v->ViewX(), 0);
    EXPECT_FALSE(v->ScrollBarVisible(sbHorizontal));
    EXPECT_EQ(v->ClientHeight(), 150);
}

TEST(ViewLayout, SecondPassWhenAScrollBarAppears)
{
    // Without bars only the width overflows; the horizontal bar then takes enough
    // height that the vertical bar is needed too, which narrows the client again.
    auto v = MakeView(200, 150, 400, 140);
    const int e = barExtent(v.get());
    ASSERT_GT(e, 10);
    v->SetScrollBars(ssBoth);
    EXPECT_TRUE(v->ScrollBarVisible(sbHorizontal));
    EXPECT_TRUE(v->ScrollBarVisible(sbVertical));
    EXPECT_EQ(v->ClientWidth(), 200 - e);
    EXPECT_EQ(v->ClientHeight(), 150 - e);
    EXPECT_EQ(v->ScrollMax(sbHorizontal), 399);
    EXPECT_EQ(v->ScrollPage(sbHorizontal), 200 - e);
    EXPECT_EQ(v->ScrollMax(sbVertical), 139);
    EXPECT_EQ(v->ScrollPage(sbVertical), 150 - e);
    EXPECT_EQ(v->DrawnWidth(), 200 - e);
    EXPECT_EQ(v->DrawnHeight(), 150 - e);
    v->SetViewY(100);
    EXPECT_EQ(v->ViewY(), 140 - (150 - e));
}

// What the border covers stays reachable: only an image that fits inside the border
// has nothing to scroll.
TEST(ViewLayout, MaxViewReachesWhatTheBorderCovers)
{
    struct Case {
        int zoom, maxView;
    } cases[] = {{100, 2}, {200, 204 - 100}, {103, 105 - 100}, {98, 0}};
    for (const Case& k : cases) {
        auto v = MakeView(104, 104, 102, 102, bsSingle);  // client 100 × 100
        v->SetZoom(k.zoom);
        int mx = -1, my = -1;
        v->GetMaxViewXY(mx, my);
        EXPECT_EQ(mx, k.maxView) << k.zoom;
        EXPECT_EQ(my, k.maxView) << k.zoom;
    }
    // With bars allowed they appear for the two hidden pixels, and reach them.
    auto v = MakeView(104, 104, 102, 102, bsSingle);
    v->SetScrollBars(ssBoth);
    EXPECT_TRUE(v->ScrollBarVisible(sbHorizontal));
    v->SetViewXY(INT_MAX, INT_MAX);
    EXPECT_EQ(v->ViewX() + v->ClientWidth(), 102);
    EXPECT_EQ(v->ViewY() + v->ClientHeight(), 102);
}

TEST(ViewLayout, SetZoomIgnoresZeroNegativeAndSame)
{
    auto v = MakeView(100, 100, 50, 50);
    std::vector<int> kinds;
    v->OnViewChange = [&](TObject*, int k) { kinds.push_back(k); };
    v->SetZoom(0);
    v->SetZoom(-20);
    v->SetZoom(100);
    EXPECT_EQ(v->Zoom(), 100);
    EXPECT_TRUE(kinds.empty());
    v->SetZoom(250);
    EXPECT_EQ(v->Zoom(), 250);
    ASSERT_EQ(kinds.size(), 1u);
    EXPECT_EQ(kinds[0], 1);
    EXPECT_EQ(v->ZoomedWidth(), 125);
}

TEST(ViewLayout, ZoomStaysWithin32BitSizes)
{
    auto v = MakeView(105, 105, 3000, 20);
    v->SetZoom(INT_MAX);
    EXPECT_GE(v->Zoom(), 1);
    EXPECT_LE(int64_t(3000) * v->Zoom() / 100, int64_t(INT_MAX) / 2);
    EXPECT_GT(v->ZoomedWidth(), 0);
    v->SetScrollBars(ssBoth);
    EXPECT_GT(v->ScrollMax(sbHorizontal), 0);
    v->SetViewX(INT_MAX);
    int mx, my;
    v->GetMaxViewXY(mx, my);
    EXPECT_EQ(v->ViewX(), mx);
    // A much larger bitmap arriving under a high zoom pulls the zoom down.
    auto grow = MakeView(105, 105, 10, 10);
    grow->SetZoom(100000);
    EXPECT_EQ(grow->Zoom(), 100000);
    grow->Bitmap()->SetSize(200000, 10);
    grow->Update();
    EXPECT_GT(grow->ZoomedWidth(), 0);
    EXPECT_LE(int64_t(200000) * grow->Zoom() / 100, int64_t(INT_MAX) / 2);
    // Fitting an image much larger than the control keeps the zoom at least 1.
    auto big = MakeView(105, 105, 20000, 50);
    big->Fit();
    EXPECT_EQ(big->Zoom(), 1);
    big->SetAutoFit(true);
    EXPECT_EQ(big->Zoom(), 1);
}

// Fit takes the largest zoom at which the whole image lies in the client area, with no
// scroll bar left, also when bars were shown before.
TEST(ViewLayout, FitShowsTheWholeImageInTheClientArea)
{
    struct Case {
        int w, h, bw, bh, zoom;
    } cases[] = {{204, 104, 400, 100, 50}, {104, 104, 100, 102, 98}, {300, 200, 97, 333, 58}, {60, 60, 50, 7, 112}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.bw);
        auto v = MakeView(k.w, k.h, k.bw, k.bh, bsSingle);
        v->SetScrollBars(ssBoth);
        v->SetZoom(300);
        v->Fit();
        EXPECT_EQ(v->Zoom(), k.zoom);
        EXPECT_FALSE(v->ScrollBarVisible(sbHorizontal));
        EXPECT_FALSE(v->ScrollBarVisible(sbVertical));
        EXPECT_EQ(v->DrawnWidth(), v->ZoomedWidth());
        EXPECT_EQ(v->DrawnHeight(), v->ZoomedHeight());
        // AutoFit measures the same way.
        auto a = MakeView(k.w, k.h, k.bw, k.bh, bsSingle);
        a->SetAutoFit(true);
        EXPECT_EQ(a->Zoom(), k.zoom);
    }
    auto e = MakeView(100, 100, 0, 0);
    e->Fit();
    EXPECT_EQ(e->Zoom(), 100);
}

TEST(ViewLayout, RunTimeResizeLeavesTheBitmapAlone)
{
    auto v = MakeView(100, 100, 30, 20);
    v->SetBounds(0, 0, 300, 250);
    EXPECT_EQ(v->Bitmap()->Width(), 30);
    EXPECT_EQ(v->Bitmap()->Height(), 20);
    // The layout follows the new size at once.
    auto w = MakeView(200, 100, 400, 50);
    w->SetScrollBars(ssHorizontal);
    ASSERT_TRUE(w->ScrollBarVisible(sbHorizontal));
    w->SetViewX(150);
    w->SetBounds(0, 0, 500, 100);
    EXPECT_FALSE(w->ScrollBarVisible(sbHorizontal));
    EXPECT_EQ(w->ViewX(), 0);
    EXPECT_EQ(w->DrawnWidth(), 400);
    TImageKitView empty;
    empty.SetBounds(0, 0, 240, 180);
    EXPECT_TRUE(empty.Bitmap()->Empty());
}

TEST(ViewLayout, ScrollMessagesStepByOneAndTenAndTrackFullPositions)
{
    auto v = MakeView(100, 100, 1000, 10);
    v->SetScrollBars(ssHorizontal);
    v->SendScroll(sbHorizontal, scLineDown);
    EXPECT_EQ(v->ViewX(), 1);
    v->SendScroll(sbHorizontal, scPageDown);
    EXPECT_EQ(v->ViewX(), 11);
    v->SendScroll(sbHorizontal, scPageUp);
    v->SendScroll(sbHorizontal, scLineUp);
    EXPECT_EQ(v->ViewX(), 0);
    v->SendScroll(sbHorizontal, scBottom);
    EXPECT_EQ(v->ViewX(), 900);
    v->SendScroll(sbHorizontal, scEndScroll, 5);
    EXPECT_EQ(v->ViewX(), 900);
    v->SendScroll(sbHorizontal, scTop);
    EXPECT_EQ(v->ViewX(), 0);

    v->SetZoom(10000);  // 100000 zoomed pixels wide
    v->SendScroll(sbHorizontal, scTrack, 70000);
    EXPECT_EQ(v->ViewX(), 70000);
    // Through the bar itself.
    QScrollBar* bar = nullptr;
    for (QScrollBar* b : v->findChildren<QScrollBar*>())
        if (b->orientation() == Qt::Horizontal)
            bar = b;
    ASSERT_NE(bar, nullptr);
    bar->setSliderPosition(81234);
    EXPECT_EQ(v->ViewX(), 81234);
    EXPECT_EQ(bar->value(), 81234);
}

TEST(ViewLayout, ZoomAtBringsThePointToTheCentre)
{
    auto v = MakeView(200, 100, 400, 400);
    v->ZoomAt(50, 40, 300);  // bitmap point (50, 40)
    EXPECT_EQ(v->Zoom(), 300);
    EXPECT_EQ(v->ViewX(), 150 - 100);
    EXPECT_EQ(v->ViewY(), 120 - 50);
    EXPECT_EQ(v->ScreenToBitmapX(100), 50);
    EXPECT_EQ(v->ScreenToBitmapY(50), 40);
    EXPECT_EQ(v->BitmapToScreenX(50), 100);
}

TEST(ViewLayout, ExtentsAddTheFrameForBars)
{
    auto v = MakeView(100, 100, 333, 50, bsSingle);
    EXPECT_EQ(v->ExtentWidth(), 334);
    EXPECT_EQ(v->ExtentHeight(), 51);
    v->SetZoom(50);
    EXPECT_EQ(v->ExtentWidth(), 167);  // Trunc(166.5) + 1
    v->SetScrollBars(ssHorizontal);
    EXPECT_EQ(v->ExtentWidth(), 167 + v->Width() - v->ClientWidth());
}

TEST(ViewLayout, BitmapSizeChangeDeselects)
{
    auto v = MakeView(100, 100, 50, 50);
    v->SetSelectionBase(iksbBitmap);
    v->SelectRect(5, 5, 20, 20);
    ASSERT_TRUE(v->HasSelection());
    v->Update();
    EXPECT_TRUE(v->HasSelection());
    v->Bitmap()->SetSize(60, 50);
    v->Update();
    EXPECT_FALSE(v->HasSelection());
    EXPECT_EQ(v->SelectionPointCount(), 0);
}

TEST(ViewLayout, LockBatchesUpdates)
{
    auto v = MakeView(100, 100, 50, 50);
    v->LockUpdate();
    v->LockUpdate();
    v->UnlockUpdate();
    EXPECT_EQ(v->UpdateLockCount(), 1);
    v->UnlockUpdateNoRefresh();
    v->UnlockUpdateNoRefresh();  // never below 0
    EXPECT_EQ(v->UpdateLockCount(), 0);
}

namespace {
struct ListenerLog {
    std::vector<int> calls;
};
void listenA(void* d, TIKView*) { static_cast<ListenerLog*>(d)->calls.push_back(1); }
void listenB(void* d, TIKView*) { static_cast<ListenerLog*>(d)->calls.push_back(2); }
}  // namespace

TEST(ViewListeners, CalledInOrderAndRemovedByPair)
{
    TImageKitView v;
    ListenerLog log, other;
    v.AddBitmapChangeListener(listenA, &log);
    v.AddBitmapChangeListener(listenB, &log);
    v.AddBitmapChangeListener(listenA, &log);
    v.RemoveBitmapChangeListener(listenA, &other);  // data differs: nothing
    v.RemoveBitmapChangeListener(listenB, &log);
    v.CallBitmapChangeListeners();
    EXPECT_EQ(log.calls, (std::vector<int>{1, 1}));
    v.RemoveBitmapChangeListener(listenA, &log);  // only the first match
    EXPECT_EQ(v.BitmapChangeListenerCount(), 1);
}

TEST(ViewAssign, CopiesBitmapBackgroundAndResolution)
{
    auto a = MakeView(100, 100, 20, 10);
    a->SetBackground(clRed);
    a->SetDpi(300, 150);
    TImageKitView b;
    int changes = 0;
    b.OnImageChange = [&](TObject*) { ++changes; };
    b.Assign(a.get());
    EXPECT_EQ(b.Bitmap()->Width(), 20);
    EXPECT_EQ(b.Bitmap()->Image().pixel(3, 4), a->Bitmap()->Image().pixel(3, 4));
    EXPECT_EQ(b.Background(), clRed);
    EXPECT_EQ(b.DpiX(), 300);
    EXPECT_EQ(b.DpiY(), 150);
    EXPECT_EQ(changes, 1);

    TBitmap grey(7, 5, pf8bit);
    b.Assign(&grey);
    EXPECT_EQ(b.Bitmap()->PixelFormat(), pf24bit);
    EXPECT_EQ(b.Bitmap()->Width(), 7);
    TBitmap mono(9, 3, pf1bit);
    b.Assign(&mono);
    EXPECT_EQ(b.Bitmap()->PixelFormat(), pf1bit);

    b.SetBackground(clBlue);
    b.Blank();
    EXPECT_EQ(b.Bitmap()->Width(), 1);
}

TEST(ViewCursors, EightOwnPicturesInTheScreenTable)
{
    TImageKitView v;
    std::vector<QImage> pictures;
    for (int n = 1778; n <= 1785; ++n) {
        const QCursor c = Screen().Cursor(n);
        const QImage img = c.pixmap().toImage();
        ASSERT_FALSE(img.isNull()) << n;
        EXPECT_TRUE(QRect(QPoint(0, 0), img.size()).contains(c.hotSpot())) << n;
        for (const QImage& other : pictures)
            EXPECT_NE(img, other) << n;
        pictures.push_back(img);
    }
    EXPECT_EQ(v.cursor().pixmap().toImage(), pictures.back());
}
