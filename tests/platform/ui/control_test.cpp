// The control base and the timer.
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Probe : TCustomControl {
    struct Call {
        char kind;  // 'd' down, 'm' move, 'u' up
        TMouseButton button;
        TShiftState shift;
        int x, y;
    };
    std::vector<Call> mouse;
    std::vector<std::pair<TScrollCode, int>> scrolls;
    int resizes = 0;
    int keyDown = 0;
    QChar pressed;
    // Scroll handler that moves the bar to the reported position, as a view does.
    bool follow = false;

    explicit Probe(TBorderStyle b = bsNone) { SetFrameStyle(b); }
    void Resize() override { ++resizes; }
    void Scroll(TScrollBarKind kind, TScrollCode code, int pos) override
    {
        scrolls.push_back({code, pos});
        if (follow && code == scTrack)
            SetScrollPos(kind, pos);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override { mouse.push_back({'d', b, s, x, y}); }
    void MouseMove(TShiftState s, int x, int y) override { mouse.push_back({'m', mbLeft, s, x, y}); }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override { mouse.push_back({'u', b, s, x, y}); }
    void KeyDown(int& key, TShiftState) override { keyDown = key; }
    void KeyPress(QChar& c) override { pressed = c; }
    QScrollBar* qbar(Qt::Orientation o)
    {
        for (QScrollBar* b : findChildren<QScrollBar*>())
            if (b->orientation() == o)
                return b;
        return nullptr;
    }
};

// Fills its whole client area through the canvas.
struct Filler : TCustomControl {
    explicit Filler(QWidget* parent, TBorderStyle b) : TCustomControl(parent) { SetFrameStyle(b); }
    void Paint() override
    {
        Canvas()->Brush.Style = bsSolid;
        Canvas()->Brush.Color = clRed;
        Canvas()->FillRect(TRect(0, 0, ClientWidth(), ClientHeight()));
    }
};

int extent(QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }

}  // namespace

TEST(ControlBase, ClientAreaExcludesBorderAndScrollBars)
{
    Probe c(bsSingle);
    c.SetBounds(0, 0, 200, 100);
    EXPECT_EQ(c.Width(), 200);
    EXPECT_EQ(c.ClientWidth(), 196);
    EXPECT_EQ(c.ClientHeight(), 96);
    const int e = extent(&c);
    ASSERT_GT(e, 0);

    const int before = c.resizes;
    c.ShowScrollBar(sbVertical, true);
    EXPECT_EQ(c.ClientWidth(), 196 - e);
    EXPECT_EQ(c.ClientHeight(), 96);
    EXPECT_EQ(c.resizes, before + 1);  // a bar that appears resizes the client area
    c.ShowScrollBar(sbHorizontal, true);
    EXPECT_EQ(c.ClientHeight(), 96 - e);
    c.ShowScrollBar(sbHorizontal, true);  // no change, no resize
    EXPECT_EQ(c.resizes, before + 2);
    c.ShowScrollBar(sbVertical, false);
    EXPECT_EQ(c.ClientWidth(), 196);
    EXPECT_EQ(c.Width(), 200);
}

// What the canvas paints reaches the window wherever the control sits in it: a child's
// painter also carries its offset into the window's backing store.
TEST(ControlBase, CanvasPaintingReachesTheWindowWhereverTheControlSits)
{
    struct Case {
        QPoint at;
        TBorderStyle border;
    } cases[] = {{{0, 0}, bsNone}, {{40, 60}, bsNone}, {{40, 60}, bsSingle}, {{130, 5}, bsSingle}};
    for (const Case& c : cases) {
        QWidget top;
        top.resize(240, 200);
        auto* f = new Filler(&top, c.border);
        f->setGeometry(QRect(c.at, QSize(100, 80)));
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        f->repaint();
        const QImage shot = top.screen()->grabWindow(top.winId()).toImage();
        const QPoint origin = c.at + f->ClientOrigin();
        for (const QPoint corner : {QPoint(0, 0), QPoint(f->ClientWidth() - 1, f->ClientHeight() - 1)})
            EXPECT_EQ(shot.pixel(origin + corner) & 0xFFFFFFu, 0xFF0000u)
                << c.at.x() << "," << c.at.y() << " " << corner.x() << "," << corner.y();
    }
}

TEST(ControlBase, ScrollPositionsClampLikeWindowScrollBars)
{
    Probe c;
    c.SetBounds(0, 0, 100, 100);
    c.SetScrollRange(sbHorizontal, 0, 99);
    c.SetScrollPage(sbHorizontal, 10);
    c.SetScrollPos(sbHorizontal, 500);
    EXPECT_EQ(c.ScrollPos(sbHorizontal), 90);  // max − (page − 1)
    c.SetScrollPos(sbHorizontal, -3);
    EXPECT_EQ(c.ScrollPos(sbHorizontal), 0);
    c.SetScrollPage(sbHorizontal, 0);
    c.SetScrollPos(sbHorizontal, 500);
    EXPECT_EQ(c.ScrollPos(sbHorizontal), 99);
    // Shrinking the range pulls the position in.
    c.SetScrollRange(sbHorizontal, 0, 40);
    EXPECT_EQ(c.ScrollPos(sbHorizontal), 40);
    c.SetScrollPage(sbHorizontal, 11);
    EXPECT_EQ(c.ScrollPos(sbHorizontal), 30);
}

TEST(ControlBase, ScrollBarActionsArriveAsCodesAndDoNotMoveTheBar)
{
    Probe c;
    c.SetBounds(0, 0, 120, 120);
    c.SetScrollRange(sbVertical, 0, 199999);
    c.SetScrollPage(sbVertical, 100);
    c.SetScrollPos(sbVertical, 50);
    c.ShowScrollBar(sbVertical, true);
    QScrollBar* bar = c.qbar(Qt::Vertical);
    ASSERT_NE(bar, nullptr);

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    ASSERT_EQ(c.scrolls.size(), 4u);
    EXPECT_EQ(c.scrolls[0].first, scLineDown);
    EXPECT_EQ(c.scrolls[1].first, scPageUp);
    EXPECT_EQ(c.scrolls[2].first, scTop);
    EXPECT_EQ(c.scrolls[3].first, scBottom);
    // The handler did not move the bar, so neither did the actions.
    EXPECT_EQ(c.ScrollPos(sbVertical), 50);
    EXPECT_EQ(bar->value(), 50);

    // Dragging the thumb reports the whole position, beyond 16 bits.
    c.follow = true;
    c.scrolls.clear();
    bar->setSliderPosition(123456);
    ASSERT_FALSE(c.scrolls.empty());
    EXPECT_EQ(c.scrolls.back().first, scTrack);
    EXPECT_EQ(c.scrolls.back().second, 123456);
    EXPECT_EQ(c.ScrollPos(sbVertical), 123456);
}

TEST(ControlBase, MouseEventsArriveInClientCoordinatesWithShiftState)
{
    Probe c(bsSingle);
    c.SetBounds(0, 0, 100, 100);
    QTest::mousePress(&c, Qt::LeftButton, Qt::ControlModifier, QPoint(12, 20));
    EXPECT_TRUE(c.MouseCapture());
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 40), QPointF(30, 40), Qt::NoButton, Qt::LeftButton,
                     Qt::ShiftModifier);
    QApplication::sendEvent(&c, &move);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    EXPECT_FALSE(c.MouseCapture());
    QTest::mousePress(&c, Qt::RightButton, Qt::AltModifier, QPoint(5, 6));
    QTest::mouseRelease(&c, Qt::RightButton, Qt::AltModifier, QPoint(5, 6));
    QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));

    ASSERT_GE(c.mouse.size(), 6u);
    EXPECT_EQ(c.mouse[0].kind, 'd');
    EXPECT_EQ(c.mouse[0].button, mbLeft);
    EXPECT_EQ(c.mouse[0].shift, ssCtrl | ssLeft);
    EXPECT_EQ(c.mouse[0].x, 10);  // 2-pixel border
    EXPECT_EQ(c.mouse[0].y, 18);
    EXPECT_EQ(c.mouse[1].kind, 'm');
    EXPECT_EQ(c.mouse[1].shift, ssShift | ssLeft);
    EXPECT_EQ(c.mouse[1].x, 28);
    EXPECT_EQ(c.mouse[2].kind, 'u');
    EXPECT_EQ(c.mouse[2].shift, 0u);
    EXPECT_EQ(c.mouse[3].button, mbRight);
    EXPECT_EQ(c.mouse[3].shift, ssAlt | ssRight);
    // The double click's second press carries ssDouble.
    bool sawDouble = false;
    for (const auto& m : c.mouse)
        if (m.kind == 'd' && (m.shift & ssDouble) && m.x == 48)
            sawDouble = true;
    EXPECT_TRUE(sawDouble);
}

TEST(ControlBase, KeysArriveAsKeyDownAndKeyPress)
{
    Probe c;
    c.SetBounds(0, 0, 50, 50);
    QTest::keyClick(&c, Qt::Key_A);
    EXPECT_EQ(c.keyDown, int(Qt::Key_A));
    EXPECT_EQ(c.pressed, QChar('a'));
    QTest::keyClick(&c, Qt::Key_F2);
    EXPECT_EQ(c.keyDown, int(Qt::Key_F2));
}

TEST(Timer, FiresWhileEnabledOnly)
{
    TTimer t;
    int ticks = 0;
    t.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &t);
        ++ticks;
    };
    t.SetInterval(5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
    t.SetEnabled(false);
    const int stopped = ticks;
    QTest::qWait(40);
    EXPECT_EQ(ticks, stopped);
    t.SetEnabled(true);
    t.SetInterval(0);  // no interval, no ticks
    QTest::qWait(30);
    EXPECT_EQ(ticks, stopped);
}
