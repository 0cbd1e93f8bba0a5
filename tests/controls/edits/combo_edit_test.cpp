// The combo edit: its pop-up, keys, button and placement.
#include "controls/edits/combo_edit.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A pop-up that offers one value and remembers what it was given.
struct ValuePopup : TPopupWindow {
    QVariant given;
    QString offer = "from popup";
    explicit ValuePopup(TCustomComboEdit* owner) : TPopupWindow(owner) { resize(120, 80); }
    QVariant PopupValueOut() const override { return offer; }
    void PopupValueIn(const QVariant& v) override { given = v; }
};

struct PopupEdit : TCustomComboEdit {
    ValuePopup* popup;
    explicit PopupEdit(QWidget* parent) : TCustomComboEdit(parent)
    {
        popup = new ValuePopup(this);
        SetPopup(popup);
    }
    using TCustomComboEdit::OpenPopup;
};

struct Window {
    QWidget w;
    PopupEdit* edit;
    QLineEdit* other;
    int buttonClicks = 0, changes = 0;
    Window()
    {
        auto* l = new QVBoxLayout(&w);
        edit = new PopupEdit(&w);
        other = new QLineEdit(&w);
        l->addWidget(edit);
        l->addWidget(other);
        edit->OnButtonClick = [this](TObject*) { ++buttonClicks; };
        edit->OnChange = [this](TObject*) { ++changes; };
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
    }
    void clickButton() { QTest::mouseClick(edit->Button(), Qt::LeftButton, {}, QPoint(5, 5)); }
};

}  // namespace

TEST(ComboEdit, ButtonOpensThePopupAndKeysCloseIt)
{
    Window w;
    w.edit->setText("typed");
    struct Case {
        Qt::Key key;
        const char* text;
        int changes;
    };
    const Case cases[] = {{Qt::Key_Escape, "typed", 0}, {Qt::Key_Return, "from popup", 1}};
    for (const Case& c : cases) {
        w.changes = 0;
        w.clickButton();
        ASSERT_TRUE(w.edit->PopupVisible());
        EXPECT_TRUE(w.edit->popup->isVisible());
        EXPECT_EQ(w.edit->popup->given.toString(), w.edit->text());
        // The pop-up never takes the focus; the edit is read-only while it is open.
        EXPECT_TRUE(w.edit->hasFocus());
        EXPECT_TRUE(w.edit->isReadOnly());
        QTest::keyClick(QApplication::focusWidget(), c.key);
        EXPECT_FALSE(w.edit->PopupVisible());
        EXPECT_FALSE(w.edit->popup->isVisible());
        EXPECT_FALSE(w.edit->isReadOnly());
        EXPECT_EQ(w.edit->text(), QString(c.text));
        EXPECT_EQ(w.changes, c.changes);
    }
    EXPECT_EQ(w.buttonClicks, 2);
}

TEST(ComboEdit, TypingContinuesInTheEditWhileThePopupShows)
{
    Window w;
    w.edit->setText("ab");
    w.edit->end(false);
    w.edit->OpenPopup(false);
    ASSERT_TRUE(w.edit->popup->isVisible());
    QTest::keyClicks(QApplication::focusWidget(), "cd");
    EXPECT_EQ(w.edit->text(), QString("abcd"));
    EXPECT_TRUE(w.edit->PopupVisible());
    // An empty text reaches the pop-up as null.
    QTest::keyClick(w.edit, Qt::Key_Escape);
    w.edit->clear();
    w.clickButton();
    EXPECT_TRUE(w.edit->popup->given.isNull());
}

TEST(ComboEdit, ClickKeyAndButtonWidth)
{
    Window w;
    QTest::keyClick(w.edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(w.edit->PopupVisible());
    QTest::keyClick(w.edit, Qt::Key_Down, Qt::AltModifier);  // a second click accepts and closes
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->text(), QString("from popup"));
    w.edit->SetButtonWidth(0);
    EXPECT_FALSE(w.edit->ButtonContainer()->isVisible());
    QTest::keyClick(w.edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.buttonClicks, 2);
}

TEST(ComboEdit, ReadOnlyAndDirectInput)
{
    Window w;
    w.edit->SetReadOnly(true);
    w.clickButton();
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.buttonClicks, 0);
    w.edit->SetReadOnly(false);
    w.edit->SetDirectInput(false);
    QTest::keyClicks(w.edit, "xyz");
    EXPECT_EQ(w.edit->text(), QString());
    w.clickButton();
    EXPECT_TRUE(w.edit->PopupVisible());
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.edit->text(), QString("from popup"));
    EXPECT_TRUE(w.edit->isReadOnly());  // direct input stays off after closing
}

TEST(ComboEdit, PressesElsewhereCloseWithoutTaking)
{
    Window w;
    w.edit->setText("keep");
    w.clickButton();
    ASSERT_TRUE(w.edit->PopupVisible());
    QTest::mouseClick(w.other, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->text(), QString("keep"));
    // A press on the button while open takes the value and is no new click.
    w.edit->setFocus();
    w.clickButton();
    ASSERT_TRUE(w.edit->PopupVisible());
    const int clicks = w.buttonClicks;
    w.clickButton();
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->text(), QString("from popup"));
    EXPECT_EQ(w.buttonClicks, clicks);
    // A release on the pop-up itself finishes it.
    w.edit->setText("again");
    w.clickButton();
    w.edit->popup->offer = "released";
    QTest::mouseClick(w.edit->popup, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->text(), QString("released"));
}

TEST(ComboEdit, PopupPlacementKeepsOnScreen)
{
    Window w;
    w.w.move(400, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.w.pos() == QPoint(400, 300); }, 5000))
        << w.w.pos().x() << "," << w.w.pos().y();
    PopupEdit& e = *w.edit;
    const QPoint p = e.mapToGlobal(QPoint(0, 0));
    const QSize ps(120, 80);
    const int W = e.width(), H = e.height();
    struct Case {
        TPopupAlign align;
        QRect screen;
        QPoint origin;
    };
    const Case cases[] = {
        {epaRight, QRect(0, 0, 3000, 3000), QPoint(p.x() + W - 120, p.y() + H)},
        {epaLeft, QRect(0, 0, 3000, 3000), QPoint(p.x(), p.y() + H)},
        // Not enough room below: above the edit.
        {epaLeft, QRect(0, 0, 3000, p.y() + H + 79), QPoint(p.x(), p.y() - 80)},
        // Too far right for a left-aligned pop-up: right edges aligned, then kept on screen.
        {epaLeft, QRect(0, 0, p.x() + 100, 3000), QPoint(p.x() + 100 - 120, p.y() + H)},
    };
    for (const Case& c : cases) {
        e.SetPopupAlign(c.align);
        EXPECT_EQ(e.PopupOrigin(ps, c.screen), c.origin) << c.align;
    }
    // A pop-up wider than the space to the edit's left starts at x 0.
    e.SetPopupAlign(epaRight);
    const QSize wide(W + p.x() + 50, 80);
    EXPECT_EQ(e.PopupOrigin(wide, QRect(0, 0, 5000, 3000)).x(), p.x());
    EXPECT_EQ(e.PopupOrigin(QSize(5000, 80), QRect(0, 0, 4000, 3000)).x(), 0);
}

TEST(ComboEdit, EllipsisGlyphDots)
{
    struct Case {
        int buttonWidth, width, gap;
        std::vector<int> dots;
    };
    const Case cases[] = {{21, 15, 3, {1, 6, 11}}, {14, 8, 1, {0, 3, 6}}, {40, 34, 3, {11, 16, 21}}, {3, 1, 1, {}}};
    for (const Case& c : cases) {
        const TBitmap g = TCustomComboEdit::EllipsisGlyph(c.buttonWidth);
        EXPECT_EQ(g.Width(), c.width);
        EXPECT_EQ(g.Height(), 4);
        EXPECT_EQ(g.PixelFormat(), pf1bit);
        for (int x : c.dots)
            for (int dy : {1, 2})
                for (int dx : {0, 1})
                    EXPECT_EQ(g.PixelColor(x + dx, dy), clBlack) << c.buttonWidth << " dot at " << x;
        EXPECT_EQ(g.PixelColor(0, 3), clWhite);
    }
    Window w;
    w.edit->SetGlyphKind(gkEllipsis);
    EXPECT_EQ(w.edit->Glyph().Width(), 15);
    EXPECT_EQ(w.edit->NumGlyphs(), 1);
}

TEST(ComboEdit, HeightNeverBelowTheMinimum)
{
    Window w;
    w.edit->resize(150, 4);
    EXPECT_EQ(w.edit->height(), w.edit->MinEditHeight());
    // The button sits inside the frame at the right and the text stops before it.
    const QRect c = w.edit->ButtonContainer()->geometry();
    EXPECT_EQ(c.right(), w.edit->width() - 3);
    EXPECT_EQ(c.width(), w.edit->ButtonWidth());
    EXPECT_EQ(w.edit->textMargins().right(), w.edit->ButtonWidth() + 2);
}
