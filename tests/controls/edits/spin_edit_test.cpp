// The spin edit and spin button: values, bounds, types and stepping.
#include "controls/edits/spin_edit.h"
#include "controls/edits/edit_menu.h"
#include "controls/edits/locale_and_beeps.h"
#include "platform/core/number_format.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/timer.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

struct Window {
    QWidget w;
    TKitSpinEdit* edit;
    QLineEdit* other;
    Window()
    {
        auto* l = new QVBoxLayout(&w);
        edit = new TKitSpinEdit(&w);
        other = new QLineEdit(&w);
        l->addWidget(edit);
        l->addWidget(other);
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
    }
};

}  // namespace

TEST(SpinEdit, StartsAtZeroWithDiagonalButton)
{
    TKitSpinEdit e;
    EXPECT_EQ(e.text(), QString("0"));
    EXPECT_EQ(e.Value(), 0.0);
    EXPECT_NE(e.SpinButton(), nullptr);
    EXPECT_EQ(e.UpDown(), nullptr);
    EXPECT_EQ(e.ValueType(), vtInteger);
    EXPECT_EQ(e.Decimal(), 2);
}

TEST(SpinEdit, IntegerTextRoundsHalvesToEven)
{
    TKitSpinEdit e;
    e.SetMinValue(-1000);
    e.SetMaxValue(1000);
    struct Case {
        double v;
        const char* text;
    };
    const Case cases[] = {{254.5, "254"}, {255.5, "256"},  {2.5, "2"},     {3.5, "4"},      {-2.5, "-2"},
                          {0.49, "0"},    {999.6, "1000"}, {5000, "1000"}, {-5000, "-1000"}};
    for (const Case& c : cases) {
        e.SetValue(c.v);
        EXPECT_EQ(e.text(), QString(c.text)) << c.v;
    }
}

TEST(SpinEdit, BoundsAreTakenAsGiven)
{
    TKitSpinEdit e;
    struct Case {
        double min, max, in, out;
    };
    const Case cases[] = {
        {0, 0, 1e6, 1e6}, {0, 0, -7, -7},  // equal bounds: no clamping at all
        {5, 5, 9, 9},     {0, 255, 300, 255}, {0, 255, -1, 0}, {0, 255, 17, 17},
        {10, 5, 7, 10},   {10, 5, 12, 5},     {10, 5, 3, 10},  // reversed bounds stay reversed
    };
    for (const Case& c : cases) {
        e.SetMinValue(c.min);
        e.SetMaxValue(c.max);
        EXPECT_EQ(e.ClampValue(c.in), c.out) << c.min << ".." << c.max << " " << c.in;
    }
    e.SetMinValue(0);
    e.SetMaxValue(0);
    e.SetValue(2147483000);
    for (int i = 0; i < 3; ++i)
        e.StepUp();
    EXPECT_EQ(e.Value(), 2147483003.0);
}

TEST(SpinEdit, UnreadableTextGivesMinValue)
{
    TKitSpinEdit e;
    e.SetMinValue(2.7);
    e.SetMaxValue(10);
    struct Case {
        TValueType type;
        const char* text;
        double value;
    };
    const Case cases[] = {{vtInteger, "", 2}, {vtInteger, "-", 2}, {vtInteger, "1.5", 2}, {vtInteger, "7", 7},
                          {vtFloat, "", 2.7}, {vtFloat, "-", 2.7}, {vtFloat, "1.5", 1.5}, {vtFloat, "x", 2.7}};
    for (const Case& c : cases) {
        e.SetValueType(c.type);
        e.setText(c.text);
        EXPECT_EQ(e.Value(), c.value) << c.text;
    }
}

TEST(SpinEdit, SwitchingTypeRereadsTheText)
{
    TKitSpinEdit e;
    // Equal bounds: nothing is clamped, so what is read back shows plainly.
    e.SetMinValue(3.9);
    e.SetMaxValue(3.9);
    e.SetValueType(vtFloat);
    e.setText("1.50");
    e.SetIncrement(2.5);
    e.SetValueType(vtInteger);
    EXPECT_EQ(e.text(), QString("3"));  // the truncated MinValue, not 1 or 2
    EXPECT_EQ(e.Increment(), 2.0);      // halves to even
    e.SetValueType(vtFloat);
    EXPECT_EQ(e.text(), QString("3.00"));
    e.SetIncrement(0.4);
    e.SetValueType(vtInteger);
    EXPECT_EQ(e.Increment(), 1.0);
    // With bounds the rewrite clamps: 3 is below 3.9 and rounds to 4.
    e.SetMaxValue(10);
    e.SetValueType(vtFloat);
    e.setText("1.50");
    e.SetValueType(vtInteger);
    EXPECT_EQ(e.text(), QString("4"));
}

TEST(SpinEdit, FloatTextFollowsDecimal)
{
    TKitSpinEdit e;
    e.SetValueType(vtFloat);
    struct Case {
        int decimals;
        double v;
        const char* text;
    };
    const Case cases[] = {{2, 3.14159, "3.14"},
                          {3, 3.14159, "3.142"},
                          {0, 2.5, "3"},
                          {1, -0.05, "-0.1"},
                          {2, 1234567.891, "1234567.89"}};
    for (const Case& c : cases) {
        e.SetDecimal(c.decimals);
        e.SetValue(c.v);
        EXPECT_EQ(e.text(), QString(c.text)) << c.v;
    }
    e.SetDecimal(2);
    e.SetValue(1.5);
    e.SetDecimal(4);
    EXPECT_EQ(e.text(), QString("1.5000"));
}

TEST(SpinEdit, SteppingFiresChangeOnceAndClicksAlways)
{
    TKitSpinEdit e;
    e.SetMinValue(0);
    e.SetMaxValue(10);
    e.SetIncrement(3);
    int changes = 0, tops = 0, bottoms = 0;
    e.OnChange = [&](TObject*) { ++changes; };
    e.OnTopClick = [&](TObject*) { ++tops; };
    e.OnBottomClick = [&](TObject*) { ++bottoms; };
    struct Step {
        bool up;
        const char* text;
        int changes, tops, bottoms;
    };
    const Step steps[] = {{true, "3", 1, 1, 0},  {true, "6", 2, 2, 0},  {true, "9", 3, 3, 0},
                          {true, "10", 4, 4, 0}, {true, "10", 4, 5, 0},  // at the bound: no change, but the click
                          {false, "7", 5, 5, 1}};
    for (const Step& s : steps) {
        s.up ? e.StepUp() : e.StepDown();
        EXPECT_EQ(e.text(), QString(s.text));
        EXPECT_EQ(changes, s.changes);
        EXPECT_EQ(tops, s.tops);
        EXPECT_EQ(bottoms, s.bottoms);
    }
    EXPECT_TRUE(e.isModified());
    Beeps beeps;
    e.setReadOnly(true);
    e.StepUp();
    EXPECT_EQ(beeps.count, 1);
    EXPECT_EQ(tops, 5);
    EXPECT_EQ(e.text(), QString("7"));
}

TEST(SpinEdit, ArrowKeysStep)
{
    Window w;
    TKitSpinEdit& e = *w.edit;
    QTest::keyClick(&e, Qt::Key_Up);
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.text(), QString("2"));
    QTest::keyClick(&e, Qt::Key_Down);
    EXPECT_EQ(e.text(), QString("1"));
    e.SetArrowKeys(false);
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.text(), QString("1"));
    // The up-down kind steps with the arrows as well.
    e.SetArrowKeys(true);
    e.SetButtonKind(bkStandard);
    ASSERT_NE(e.UpDown(), nullptr);
    EXPECT_EQ(e.SpinButton(), nullptr);
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.text(), QString("2"));
    QTest::mouseClick(e.UpDown(), Qt::LeftButton, {}, QPoint(3, 2));
    EXPECT_EQ(e.text(), QString("3"));
    QTest::mouseClick(e.UpDown(), Qt::LeftButton, {}, QPoint(3, e.UpDown()->height() - 2));
    EXPECT_EQ(e.text(), QString("2"));
    EXPECT_EQ(e.UpDown()->Position(), 0);
}

TEST(SpinEdit, TypedCharactersAreFiltered)
{
    Window w;
    TKitSpinEdit& e = *w.edit;
    Beeps beeps;
    struct Case {
        TValueType type;
        bool editor;
        const char* before;
        QString typed;
        const char* after;
        int beeps;
    };
    const Case cases[] = {
        {vtInteger, true, "", "12a3", "123", 1}, {vtInteger, true, "", "-4.5", "-45", 1},
        {vtFloat, true, "", "1.5.2", "1.52", 1}, {vtFloat, true, "", "2e3E", "2e3", 1},
        {vtFloat, true, "", "+7", "+7", 0},      {vtInteger, false, "5", "9", "5", 1},
    };
    for (const Case& c : cases) {
        e.SetValueType(c.type);
        e.SetEditorEnabled(c.editor);
        e.setText(c.before);
        e.end(false);
        beeps.count = 0;
        QTest::keyClicks(&e, c.typed);
        EXPECT_EQ(e.text(), QString(c.after)) << c.typed.toStdString();
        EXPECT_EQ(beeps.count, c.beeps) << c.typed.toStdString();
    }
    // Without the editor, backspace is refused too but the arrows still step.
    e.SetValueType(vtInteger);
    e.SetEditorEnabled(false);
    e.setText("5");
    e.end(false);
    QTest::keyClick(&e, Qt::Key_Backspace);
    EXPECT_EQ(e.text(), QString("5"));
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.text(), QString("6"));
}

// Without the editor no key and no menu item may change the text; only stepping does.
TEST(SpinEdit, WithoutTheEditorOnlySteppingChangesTheText)
{
    Window w;
    TKitSpinEdit& e = *w.edit;
    e.SetEditorEnabled(false);
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    const QKeySequence::StandardKey keys[] = {QKeySequence::DeleteStartOfWord,
                                              QKeySequence::DeleteEndOfWord,
                                              QKeySequence::DeleteEndOfLine,
                                              QKeySequence::Paste,
                                              QKeySequence::Cut,
                                              QKeySequence::Undo};
    for (QKeySequence::StandardKey k : keys) {
        e.setText(QStringLiteral("15"));
        e.setCursorPosition(1);
        QTest::keySequence(&e, k);
        EXPECT_EQ(e.text(), QStringLiteral("15")) << QKeySequence(k).toString().toStdString();
    }
    for (TEditMenuAction which : {TEditMenuAction::Paste, TEditMenuAction::Cut, TEditMenuAction::Delete}) {
        e.setText(QStringLiteral("15"));
        e.selectAll();
        WithContextMenu(&e, [&](QMenu* m) {
            QAction* a = FindEditMenuAction(m, which);
            ASSERT_NE(a, nullptr) << int(which);
            EXPECT_FALSE(a->isEnabled()) << int(which);
            a->trigger();
        });
        EXPECT_EQ(e.text(), QStringLiteral("15")) << int(which);
    }
    QTest::keyClick(&e, Qt::Key_Up);
    EXPECT_EQ(e.text(), QStringLiteral("16"));
    // With the editor the menu pastes as usual.
    e.SetEditorEnabled(true);
    e.selectAll();
    WithContextMenu(&e, [](QMenu* m) { FindEditMenuAction(m, TEditMenuAction::Paste)->trigger(); });
    EXPECT_EQ(e.text(), QStringLiteral("77"));
}

// Dropped and pasted text passes the character filter as typed text does.
TEST(SpinEdit, DroppedOrPastedTextPassesTheCharacterFilter)
{
    struct Case {
        TValueType type;
        const char* text;
        const char* incoming;
        const char* result;
    };
    const Case cases[] = {{vtInteger, "5", "abc12", "5"},
                          {vtInteger, "5", "12", "125"},
                          {vtInteger, "5", "1\n2", "5"},
                          {vtFloat, "1.5", "2.5", "1.5"},
                          {vtFloat, "5", "2.", "2.5"}};
    for (const bool drop : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(drop ? "drop " : "paste ") + c.incoming);
            Window w;
            w.edit->SetValueType(c.type);
            w.edit->setText(QString::fromLatin1(c.text));
            w.edit->setCursorPosition(0);
            const QString incoming = QString::fromLatin1(c.incoming);
            Beeps beeps;
            const bool refused = QString::fromLatin1(c.result) == QString::fromLatin1(c.text);
            if (drop) {
                w.other->setFocus();
                // A refused text is refused as it enters: the drop never comes.
                EXPECT_EQ(DropText(w.edit, incoming), !refused);
            } else {
                QGuiApplication::clipboard()->setText(incoming);
                QTest::keySequence(w.edit, QKeySequence::Paste);
            }
            EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.result));
            EXPECT_EQ(beeps.count, !drop && refused ? 1 : 0);
        }
    }
}

// A click handler that throws leaves the up-down working for the next click. The press
// is delivered straight to the control: an exception must not cross Qt's event dispatch.
TEST(SpinEdit, UpDownSurvivesAThrowingHandler)
{
    struct Probe : TKitUpDown {
        void press(QPoint at)
        {
            QMouseEvent e(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
            mousePressEvent(&e);
            QMouseEvent r(QEvent::MouseButtonRelease, at, mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
            mouseReleaseEvent(&r);
        }
    } upDown;
    upDown.resize(15, 20);
    int throws = 1, next = 0;
    upDown.OnClick = [&](TObject*, TUDBtnType b) {
        if (throws-- > 0)
            throw std::runtime_error("handler failed");
        next += b == btNext;
    };
    EXPECT_THROW(upDown.press(QPoint(3, 2)), std::runtime_error);
    EXPECT_EQ(upDown.Position(), 0);
    upDown.press(QPoint(3, 2));
    EXPECT_EQ(next, 1);
}

TEST(SpinEdit, LeavingPullsTheTextIntoBounds)
{
    Window w;
    TKitSpinEdit& e = *w.edit;
    e.SetMinValue(0);
    e.SetMaxValue(255);
    e.selectAll();
    QTest::keyClicks(&e, "300");
    EXPECT_EQ(e.text(), QString("300"));  // not while focused
    w.other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.other->hasFocus(); }, 5000));
    EXPECT_EQ(e.text(), QString("255"));
}

TEST(SpinEdit, EnterAndEscapeReachTheDialog)
{
    QDialog dlg;
    auto* l = new QVBoxLayout(&dlg);
    auto* e = new TKitSpinEdit(&dlg);
    auto* ok = new QPushButton("OK", &dlg);
    ok->setDefault(true);
    l->addWidget(e);
    l->addWidget(ok);
    int okClicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    e->setFocus();
    e->setText("42");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(e->text(), QString("42"));
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(SpinButton, HalvesSplitOnTheDiagonal)
{
    TKitSpinButton b;
    b.resize(20, 20);
    struct Case {
        int x, y;
        bool bottom;
    };
    const Case cases[] = {{1, 1, false},  {18, 18, true}, {10, 10, false}, {10, 11, true},
                          {0, 19, false}, {19, 2, true},  {5, 14, false},  {5, 16, true}};
    for (const Case& c : cases)
        EXPECT_EQ(b.InBottomHalf(c.x, c.y), c.bottom) << c.x << "," << c.y;
}

TEST(SpinButton, HeldHalfRepeatsOnAFakeClock)
{
    TTimer::SetManualTicks(true);
    Window w;
    TKitSpinEdit& e = *w.edit;
    TKitSpinButton* b = e.SpinButton();
    ASSERT_NE(b, nullptr);
    struct Case {
        QPoint at;
        const char* afterPress;
        const char* afterTicks;
    };
    const Case cases[] = {{QPoint(3, 3), "1", "3"}, {QPoint(b->width() - 3, b->height() - 3), "2", "0"}};
    for (const Case& c : cases) {
        QTest::mousePress(b, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(e.text(), QString(c.afterPress));
        ASSERT_NE(b->RepeatTimer(), nullptr);
        EXPECT_EQ(b->RepeatTimer()->Interval(), 400);
        b->RepeatTimer()->Tick();
        EXPECT_EQ(b->RepeatTimer()->Interval(), 100);
        b->RepeatTimer()->Tick();
        EXPECT_EQ(e.text(), QString(c.afterTicks));
        QTest::mouseRelease(b, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(b->Pressed(), sbNotDown);
        // Released: the timer runs on but does nothing.
        b->RepeatTimer()->Tick();
        EXPECT_EQ(e.text(), QString(c.afterTicks));
    }
    TTimer::SetManualTicks(false);
}

TEST(SpinButton, ImagesDrawTheFrameAndDiagonal)
{
    TKitSpinButton b;
    b.resize(20, 20);
    const TBitmap none = b.BuildSpinImage(sbNotDown);
    const TColor frame = ColorToRGB(clWindowFrame) & 0xFFFFFF;
    EXPECT_EQ(none.PixelColor(0, 0), frame);
    EXPECT_EQ(none.PixelColor(19, 19), frame);
    EXPECT_EQ(none.PixelColor(10, 9), frame);  // on the diagonal from (−1, 20) to (20, −1)
    const TBitmap top = b.BuildSpinImage(sbTopDown);
    EXPECT_EQ(top.PixelColor(1, 5), ColorToRGB(clBtnShadow) & 0xFFFFFF);
    EXPECT_EQ(none.PixelColor(1, 5), ColorToRGB(clBtnHighlight) & 0xFFFFFF);
}

TEST(SpinEdit, HeightNeverBelowTheMinimum)
{
    TKitSpinEdit e;
    e.show();
    e.resize(100, 5);
    EXPECT_EQ(e.height(), e.MinEditHeight());
    // The text stops before the button.
    EXPECT_EQ(e.textMargins().right(), e.SpinButtonWidth() + 2);
}
