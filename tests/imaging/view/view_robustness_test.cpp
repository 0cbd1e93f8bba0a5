// Random view operations that must keep the view's invariants.
#include "view_test_util.h"

#include <QPainter>
#include <QRandomGenerator>
#include <climits>
#include <gtest/gtest.h>

// Operations in random order, with values far outside every sensible range, must keep
// the view's invariants and never read or draw outside what exists.
TEST(ViewRobustness, RandomOperationsKeepTheInvariants)
{
    QRandomGenerator rng(20261209);
    const int extremes[] = {INT_MIN, -1000000000, -70000, -1, 0, 1, 2, 99, 100, 101, 70000, 1000000000, INT_MAX};
    auto value = [&]() { return rng.bounded(3) == 0 ? extremes[rng.bounded(13)] : int(rng.bounded(600)) - 100; };
    for (int round = 0; round < 6; ++round) {
        auto v = MakeView(80 + round * 17, 60 + round * 11, 1 + rng.bounded(300), 1 + rng.bounded(200),
                          round % 2 ? bsSingle : bsNone);
        v->SetScrollBars(TScrollStyle(round % 4));
        v->SetCenter(round % 3 == 0);
        v->SetDoubleBuffer(round % 2 == 0);
        for (int step = 0; step < 250; ++step) {
            switch (rng.bounded(14)) {
            case 0: v->SetZoom(value()); break;
            case 1: v->SetViewXY(value(), value()); break;
            case 2:
                v->SetSelectionBase(iksbBitmap);
                v->SelectRect(value(), value(), value(), value());
                break;
            case 3:
                v->SetSelectionBase(iksbClientArea);
                v->SelectRect(value(), value(), value(), value());
                break;
            case 4:
                v->SetSelectionBase(TIKSelectionBase(rng.bounded(2)));
                v->AddSelPoint(value(), value());
                break;
            case 5: v->ZoomAt(value(), value(), value()); break;
            case 6: v->ZoomSelection(); break;
            case 7: v->SendScroll(TScrollBarKind(rng.bounded(2)), TScrollCode(rng.bounded(9)), value()); break;
            case 8: v->SetZoomFilter(TResampleFilter(rng.bounded(3))); break;
            case 9: v->SelectionTimerTick(); break;
            case 10: v->Deselect(); break;
            case 11: v->SetBackgroundStyle(TIKBackgroundStyle(rng.bounded(9))); break;
            case 12: {
                v->SetMouseInteract(1u << rng.bounded(6));
                const int x = value() % 400, y = value() % 400;
                Press(*v, x, y);
                MoveHeld(*v, x + int(rng.bounded(80)) - 40, y + int(rng.bounded(80)) - 40);
                Release(*v, x + 3, y + 2);
                break;
            }
            case 13: v->Fit(); break;
            }
            ASSERT_GE(v->Zoom(), 1);
            ASSERT_LE(v->Zoom(), TImageKitView::MaxZoom);
            int mx, my;
            v->GetMaxViewXY(mx, my);
            ASSERT_GE(v->ViewX(), 0);
            ASSERT_GE(v->ViewY(), 0);
            ASSERT_LE(v->ViewX(), mx);
            ASSERT_LE(v->ViewY(), my);
            ASSERT_LE(v->DrawnWidth(), v->ClientWidth());
            ASSERT_LE(v->DrawnHeight(), v->ClientHeight());
            if (v->HasSelection()) {
                ASSERT_LE(v->SelectionX1(), v->SelectionX2());
                ASSERT_LE(v->SelectionY1(), v->SelectionY2());
            }
            if (step % 25 == 0) {
                GrabClient(*v);
                QImage out(qMax(v->DrawnWidth(), 1), qMax(v->DrawnHeight(), 1), QImage::Format_RGB32);
                QPainter p(&out);
                v->PaintToCanvas(p);
            }
        }
    }
}
