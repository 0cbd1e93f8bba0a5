// The speed button: groups, visual states, repeat clicks and glyphs.
#include "controls/buttons/speed_button.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <stdexcept>

namespace {

struct Counted {
    int clicks = 0;
    void attach(TKitSpeedButton& b)
    {
        b.OnClick = [this](TObject*) { ++clicks; };
    }
};

// A 4 × 4 glyph on magenta with the given colour at two pixels.
TBitmap glyphWith(TColor c, int cells = 1)
{
    TBitmap g(4 * cells, 4, pf24bit);
    g.Canvas()->Brush.Color = clFuchsia;
    g.Canvas()->FillRect(TRect(0, 0, 4 * cells, 4));
    for (int i = 0; i < cells; ++i) {
        g.Canvas()->SetPixel(4 * i + 1, 1, c);
        g.Canvas()->SetPixel(4 * i + 2, 2, c);
    }
    return g;
}

int countColor(const QImage& img, QRgb c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
    return n;
}

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

struct ManualTicks {
    ManualTicks() { TTimer::SetManualTicks(true); }
    ~ManualTicks() { TTimer::SetManualTicks(false); }
};

}  // namespace

TEST(SpeedButton, DownNeedsAGroup)
{
    QWidget parent;
    TKitSpeedButton b(&parent);
    b.SetDown(true);
    EXPECT_FALSE(b.Down());
    b.SetGroupIndex(1);
    b.SetDown(true);
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(b.State(), kbsExclusive);
    // A down button that may not go all up stays down.
    b.SetDown(false);
    EXPECT_TRUE(b.Down());
    b.SetAllowAllUp(true);
    b.SetDown(false);
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(b.State(), kbsUp);
}

TEST(SpeedButton, GroupExclusivityAmongTheParentsControls)
{
    // Buttons 0–2 share group 1 on one parent, 3 is group 2 there, 4 is group 1 elsewhere.
    QWidget parent, other;
    std::vector<std::unique_ptr<TKitSpeedButton>> b;
    for (int i = 0; i < 4; ++i)
        b.push_back(std::make_unique<TKitSpeedButton>(&parent));
    b.push_back(std::make_unique<TKitSpeedButton>(&other));
    for (int i : {0, 1, 2, 4})
        b[size_t(i)]->SetGroupIndex(1);
    b[3]->SetGroupIndex(2);
    struct Step {
        int click;
        std::array<bool, 5> down;
    };
    const Step steps[] = {
        {0, {true, false, false, false, false}},
        {1, {false, true, false, false, false}},
        {3, {false, true, false, true, false}},
        {4, {false, true, false, true, true}},
        {2, {false, false, true, true, true}},
        {2, {false, false, true, true, true}},  // no all-up: clicking the down one keeps it
    };
    for (const Step& s : steps) {
        QTest::mouseClick(b[size_t(s.click)].get(), Qt::LeftButton, {}, QPoint(5, 5));
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(b[i]->Down(), s.down[i]) << "after clicking " << s.click << ", button " << i;
    }
    // Allowing all up spreads to the group mates; then a click releases.
    b[0]->SetAllowAllUp(true);
    EXPECT_TRUE(b[2]->AllowAllUp());
    QTest::mouseClick(b[2].get(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(b[2]->Down());
}

TEST(SpeedButton, VisualStatesWhileDragging)
{
    QWidget parent;
    TKitSpeedButton plain(&parent), toggle(&parent);
    toggle.SetGroupIndex(3);
    toggle.SetAllowAllUp(true);
    toggle.move(30, 0);
    Counted pc, tc;
    pc.attach(plain);
    tc.attach(toggle);
    struct Case {
        TKitSpeedButton* b;
        Counted* c;
        QPoint release;
        TKitButtonState after;
        bool down;
        int clicks;
    };
    const Case cases[] = {
        {&plain, &pc, QPoint(5, 5), kbsUp, false, 1},
        {&plain, &pc, QPoint(40, 5), kbsUp, false, 1},  // released outside: no click
        {&toggle, &tc, QPoint(5, 5), kbsExclusive, true, 1},
        {&toggle, &tc, QPoint(5, 5), kbsUp, false, 2},
        {&toggle, &tc, QPoint(-9, 5), kbsUp, false, 2},
    };
    for (const Case& c : cases) {
        QTest::mousePress(c.b, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(c.b->State(), c.b->Down() ? kbsExclusive : kbsDown);
        QTest::mouseMove(c.b, QPoint(60, 5));
        QMouseEvent out(QEvent::MouseMove, QPointF(60, 5), c.b->mapToGlobal(QPointF(60, 5)), Qt::NoButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.b, &out);
        EXPECT_EQ(c.b->State(), c.b->Down() ? kbsExclusive : kbsUp) << "moved out";
        QMouseEvent back(QEvent::MouseMove, QPointF(5, 5), c.b->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.b, &back);
        EXPECT_EQ(c.b->State(), c.b->Down() ? kbsExclusive : kbsDown) << "moved back";
        QTest::mouseRelease(c.b, Qt::LeftButton, {}, c.release);
        EXPECT_EQ(c.b->State(), c.after) << "case " << (&c - cases);
        EXPECT_EQ(c.b->Down(), c.down) << "case " << (&c - cases);
        EXPECT_EQ(c.c->clicks, c.clicks) << "case " << (&c - cases);
    }
}

TEST(SpeedButton, DisabledPaintsDisabledAndComesBackExclusive)
{
    QWidget parent;
    TKitSpeedButton b(&parent);
    b.SetGroupIndex(1);
    b.SetDown(true);
    b.setEnabled(false);
    b.grab();
    EXPECT_EQ(b.State(), kbsDisabled);
    b.setEnabled(true);
    b.grab();
    EXPECT_EQ(b.State(), kbsExclusive);
    Counted c;
    c.attach(b);
    b.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(c.clicks, 0);
}

TEST(SpeedButton, RepeatClicksOnAFakeClock)
{
    ManualTicks manual;
    QWidget parent;
    TKitSpeedButton b(&parent);
    b.SetAllowTimer(true);
    Counted c;
    c.attach(b);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_NE(b.RepeatTimer(), nullptr);
    EXPECT_TRUE(b.RepeatTimer()->Enabled());
    EXPECT_EQ(b.RepeatTimer()->Interval(), 500);
    EXPECT_EQ(c.clicks, 0);
    b.RepeatTimer()->Tick();
    EXPECT_EQ(b.RepeatTimer()->Interval(), 100);
    EXPECT_EQ(c.clicks, 1);
    b.RepeatTimer()->Tick();
    b.RepeatTimer()->Tick();
    EXPECT_EQ(c.clicks, 3);
    // Off the button the state is up and ticks do nothing.
    QMouseEvent out(QEvent::MouseMove, QPointF(80, 5), b.mapToGlobal(QPointF(80, 5)), Qt::NoButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&b, &out);
    b.RepeatTimer()->Tick();
    EXPECT_EQ(c.clicks, 3);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(c.clicks, 4);  // the release inside clicks as always
    EXPECT_FALSE(b.RepeatTimer()->Enabled());

    // Custom pauses; a failing click stops the timer and goes on.
    b.SetInitPause(250);
    b.SetRepeatInterval(40);
    b.OnClick = [](TObject*) { throw std::runtime_error("boom"); };
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b.RepeatTimer()->Interval(), 250);
    EXPECT_THROW(b.RepeatTimer()->Tick(), std::runtime_error);
    EXPECT_FALSE(b.RepeatTimer()->Enabled());
    b.OnClick = nullptr;
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST(SpeedButton, GlyphCountFromTheStripShape)
{
    struct Case {
        int w, h, before, after;
    };
    const Case cases[] = {{64, 16, 1, 4}, {112, 16, 2, 1}, {60, 16, 2, 2}, {16, 16, 3, 1}, {80, 16, 1, 5}};
    for (const Case& c : cases) {
        TKitSpeedButton b;
        b.SetNumGlyphs(c.before);
        TBitmap g(c.w, c.h, pf24bit);
        b.SetGlyph(g);
        EXPECT_EQ(b.NumGlyphs(), c.after) << c.w << "x" << c.h;
    }
    TKitSpeedButton b;
    b.SetNumGlyphs(9);
    EXPECT_EQ(b.NumGlyphs(), 5);
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(3);
    EXPECT_EQ(b.Margin(), 3);
}

TEST(SpeedButton, InactiveFlatButtonShowsTheKitsGrey)
{
    QWidget window;
    window.resize(100, 60);
    TKitSpeedButton b(&window);
    b.SetFlat(true);
    struct Case {
        TColor color;
        QRgb grey;
    };
    // (R·77 + G·150 + B·29) >> 8, not the image library's rule.
    const Case cases[] = {{clRed, qRgb(76, 76, 76)},
                          {RGB(10, 200, 40), qRgb(124, 124, 124)},
                          {clBlue, qRgb(28, 28, 28)}};
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const Case& c : cases) {
        b.SetGlyph(glyphWith(c.color));
        leave(&b);
        EXPECT_EQ(b.DrawingState(), kbsInactive);
        QImage img = b.grab().toImage();
        EXPECT_EQ(countColor(img, c.grey), 2) << std::hex << c.color;
        EXPECT_EQ(countColor(img, ToQColor(c.color).rgb()), 0);
        enter(&b);
        EXPECT_TRUE(b.MouseInside());
        img = b.grab().toImage();
        EXPECT_EQ(countColor(img, ToQColor(c.color).rgb()), 2);
    }
    // Without GrayedInactive the colours stay.
    leave(&b);
    b.SetGrayedInactive(false);
    EXPECT_EQ(countColor(b.grab().toImage(), ToQColor(clBlue).rgb()), 2);
}

TEST(SpeedButton, MouseEnterAndLeaveEvents)
{
    QWidget window;
    TKitSpeedButton b(&window);
    int entered = 0, left = 0;
    b.OnMouseEnter = [&](TObject*) { ++entered; };
    b.OnMouseLeave = [&](TObject*) { ++left; };
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    enter(&b);
    enter(&b);
    leave(&b);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
    b.setEnabled(false);
    enter(&b);
    EXPECT_FALSE(b.MouseInside());
}

TEST(SpeedButton, ModalResultGoesToTheDialog)
{
    QDialog dlg;
    TKitSpeedButton b(&dlg);
    b.SetModalResult(6);
    int clicks = 0;
    b.OnClick = [&](TObject*) { ++clicks; };
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dlg.result(), 6);
    EXPECT_EQ(clicks, 1);
}

TEST(GlyphCache, ListsAreSharedBySizeAndSlotsReused)
{
    {
        TKitSpeedButton a, b, c;
        a.SetGlyph(glyphWith(clRed));
        b.SetGlyph(glyphWith(clBlue));
        c.SetGlyph(glyphWith(clLime, 2));  // 8 × 4 holds two 4 × 4 images
        EXPECT_EQ(c.NumGlyphs(), 2);
        const int ia = a.ButtonGlyph().CreateButtonGlyph(kbsUp);
        const int ib = b.ButtonGlyph().CreateButtonGlyph(kbsUp);
        const int ic = c.ButtonGlyph().CreateButtonGlyph(kbsUp);
        ASSERT_NE(TGlyphCache::Instance(), nullptr);
        EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 1);
        EXPECT_EQ(a.ButtonGlyph().List(), b.ButtonGlyph().List());
        EXPECT_EQ(a.ButtonGlyph().List(), c.ButtonGlyph().List());
        EXPECT_EQ((std::set<int>{ia, ib, ic}).size(), 3u);
        // Rendered once: asking again gives the same slot.
        EXPECT_EQ(a.ButtonGlyph().CreateButtonGlyph(kbsUp), ia);
        // Down with fewer than three images is the up image.
        EXPECT_EQ(a.ButtonGlyph().CreateButtonGlyph(kbsDown), ia);
        // A new strip frees the old slots; the lowest free one is taken again.
        a.SetGlyph(glyphWith(clYellow));
        EXPECT_FALSE(b.ButtonGlyph().List()->SlotUsed(ia));
        EXPECT_EQ(a.ButtonGlyph().CreateButtonGlyph(kbsUp), std::min(ia, std::min(ib, ic)) == ia ? ia : 0);
        TKitSpeedButton big;
        TBitmap g(16, 16, pf24bit);
        big.SetGlyph(g);
        big.ButtonGlyph().CreateButtonGlyph(kbsUp);
        EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 2);
    }
    // The last glyph gone and no list left: the cache goes too.
    EXPECT_EQ(TGlyphCache::Instance(), nullptr);
}

TEST(GlyphCache, InactiveAndDisabledRenderings)
{
    TKitSpeedButton b;
    b.SetGlyph(glyphWith(RGB(100, 50, 200)));
    TKitButtonGlyph& g = b.ButtonGlyph();
    const int inactive = g.CreateButtonGlyph(kbsInactive);
    const QImage img = g.List()->Image(inactive);
    const int grey = (100 * 77 + 50 * 150 + 200 * 29) >> 8;
    EXPECT_EQ(img.pixel(1, 1), qRgb(grey, grey, grey));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);  // magenta stays transparent
    const int disabled = g.CreateButtonGlyph(kbsDisabled);
    const QImage dis = g.List()->Image(disabled);
    const QColor shadow = ToQColor(clBtnShadow), light = ToQColor(clBtnHighlight);
    EXPECT_EQ(dis.pixel(1, 1) & 0xFFFFFF, shadow.rgb() & 0xFFFFFF);
    EXPECT_EQ(dis.pixel(2, 2) & 0xFFFFFF, shadow.rgb() & 0xFFFFFF);
    EXPECT_EQ(dis.pixel(3, 3) & 0xFFFFFF, light.rgb() & 0xFFFFFF);
    EXPECT_EQ(qAlpha(dis.pixel(0, 0)), 0);  // back in button face is the mask
    EXPECT_EQ(TKitButtonGlyph::InactiveGrey(ColorToRGB(clBtnFace), clFuchsia), ColorToRGB(clBtnFace) & 0xFFFFFF);
}

TEST(SpeedButton, TransparentButtonsShowTheirParentBehind)
{
    QWidget parent;
    parent.resize(80, 60);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 64));
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    TKitSpeedButton b(&parent);
    b.move(10, 10);
    b.SetFlat(true);  // no frame while the mouse is away
    struct Case {
        bool transparent;
        QRgb corner;
    };
    const Case cases[] = {{false, ToQColor(clBtnFace).rgb()}, {true, qRgb(0, 128, 64)}};
    parent.show();
    for (const Case& c : cases) {
        b.SetTransparent(c.transparent);
        const QImage img = b.grab().toImage();
        EXPECT_EQ(img.pixel(3, 3) & 0xFFFFFF, c.corner & 0xFFFFFF) << c.transparent;
        EXPECT_EQ(img.pixel(20, 20) & 0xFFFFFF, c.corner & 0xFFFFFF) << c.transparent;
    }
}
