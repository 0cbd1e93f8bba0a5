// Number text and the number and calculator edits.
#include "controls/calc/calculator.h"
#include "controls/edits/num_edit.h"
#include "controls/edits/edit_menu.h"
#include "controls/edits/locale_and_beeps.h"
#include "platform/core/exceptions.h"
#include "platform/core/number_format.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

struct Errors {
    QStringList messages;
    Errors()
    {
        TApplication::OnException = [this](const std::exception& e) { messages << QString::fromUtf8(e.what()); };
    }
    ~Errors() { TApplication::OnException = nullptr; }
};

struct Window {
    QWidget w;
    TKitCalcEdit* edit;
    QLineEdit* other;
    Window()
    {
        auto* l = new QVBoxLayout(&w);
        edit = new TKitCalcEdit(&w);
        other = new QLineEdit(&w);
        l->addWidget(edit);
        l->addWidget(other);
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    void focusEdit()
    {
        edit->setFocus();
        EXPECT_TRUE(edit->hasFocus());
    }
    void leave() { other->setFocus(); }
};

}  // namespace

TEST(NumberText, ParseNumberTextFollowsTheLocale)
{
    struct Case {
        QChar dec, thou;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {'.', ',', "  1,234.5 ", "1234.5"},
        {'.', ',', "", "0"},
        {'.', ',', "-", "-0"},
        {'.', ',', "  ", "0"},
        {',', '.', "1.234,5", "1234,5"},
        {',', ' ', "1.5", "1,5"},
        {',', ' ', "1 234,5", "1234,5"},
        {'.', '.', "1.5", "1.5"},
        {'.', ' ', "1,5", "1.5"},
    };
    for (const Case& c : cases) {
        Separators pin(c.dec, c.thou);
        EXPECT_EQ(ParseNumberText(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
    }
}

TEST(NumberText, ThousandSeparatorsGoIntoTheIntegerPart)
{
    struct Case {
        const char* in;
        bool separate;
        const char* out;
    };
    const Case cases[] = {
        {"1234567", true, "1,234,567"},
        {"-1234567.891", true, "-1,234,567.891"},
        {"123", true, "123"},
        {"1234", true, "1,234"},
        {"1234E5678", true, "1,234E5678"},
        {"+123456", true, "+123,456"},
        {"1234567", false, "1234567"},
        {"", true, ""},
        {".12345", true, ".12345"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InsertThousandSeparators(QString::fromLatin1(c.in), c.separate), QString::fromLatin1(c.out)) << c.in;
}

TEST(NumEdit, CheckNumberAppliesTheBounds)
{
    struct Case {
        double min, max, x, expected;
    };
    const Case cases[] = {
        {0, 0, -5, -5},
        {0, 0, 1e9, 1e9},
        {0, 100, -1, 0},
        {0, 100, 150, 100},
        {0, 100, 50, 50},
        // MaxValue below MinValue: a bound of 0 means only the other one counts.
        {5, 0, 3, 5},
        {5, 0, 1000, 1000},
        {0, -5, -10, -10},
        {0, -5, 3, -5},
        {10, 5, 1, 1},
        {10, 5, 100, 100},
    };
    for (const Case& c : cases) {
        TKitCalcEdit e;
        e.SetMinValue(c.min);
        e.SetMaxValue(c.max);
        EXPECT_EQ(e.CheckNumber(c.x, false), c.expected) << c.min << " " << c.max << " " << c.x;
        e.SetValue(c.x);
        EXPECT_EQ(e.Value(), c.expected);
        if (c.x == c.expected) {
            EXPECT_NO_THROW(e.CheckNumber(c.x, true));
        } else {
            EXPECT_THROW(e.CheckNumber(c.x, true), ERangeError);
        }
    }
}

TEST(NumEdit, TypedKeysKeepTheTextANumber)
{
    struct Case {
        QChar dec, thou;
        double min, max;
        unsigned places;
        const char* start;
        const char* keys;
        const char* text;
        int beeps;
    };
    const Case cases[] = {
        {'.', ',', 0, 0, 2, "", "12.34", "12.34", 0},
        {'.', ',', 0, 0, 2, "", "12.345", "12.34", 1},
        {'.', ',', 0, 0, 2, "", "12,5", "12.5", 0},
        {',', '.', 0, 0, 2, "", "12.5", "12,5", 0},
        {',', '.', 0, 0, 2, "", "12,5", "12,5", 0},
        {'.', ',', 0, 0, 2, "", "1a2", "12", 1},
        {'.', ',', 0, 0, 2, "", "1..2", "1.2", 1},
        {'.', ',', 0, 0, 0, "", "1.5", "1.", 1},
        // A lone minus is not yet a negative number.
        {'.', ',', 0, 100, 2, "", "-5", "-", 1},
        {'.', ',', 0, 100, 2, "5", "\x01-", "5", 1},
        {'.', ',', -10, 100, 2, "5", "\x01-", "-5", 0},
        {'.', ',', 0, 0, 2, "5", "\x01-", "-5", 0},
        // Only the digits before the exponent count as decimals.
        {'.', ',', 0, 0, 2, "1.25", "\x01\x02\x02\x02\x02E", "1.25", 1},
        {'.', ',', 0, 0, 2, "1.2E5",
         "\x01\x02\x02\x02"
         "5",
         "1.25E5", 0},
        {'.', ',', 0, 0, 2, "1.2E5",
         "\x01\x02\x02\x02"
         "55",
         "1.25E5", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        Separators pin(c.dec, c.thou);
        Window w;
        w.edit->SetMinValue(c.min);
        w.edit->SetMaxValue(c.max);
        w.edit->SetDecimalPlaces(c.places);
        w.focusEdit();
        w.edit->QLineEdit::setText(QString::fromLatin1(c.start));
        w.edit->end(false);
        Beeps beeps;
        // \x01 Home, \x02 one to the right.
        for (char k : std::string(c.keys)) {
            if (k == 1)
                QTest::keyClick(w.edit, Qt::Key_Home);
            else if (k == 2)
                QTest::keyClick(w.edit, Qt::Key_Right);
            else
                QTest::keyClick(w.edit, k);
        }
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(beeps.count, c.beeps);
    }
}

TEST(NumEdit, DisplayFormatWhileUnfocused)
{
    struct Case {
        QChar dec, thou;
        const char* format;
        double value;
        const char* painted;
        const char* edited;
    };
    const Case cases[] = {
        {'.', ',', ",0.##", 1234.5, "1,234.5", "1234.5"},
        {',', '.', ",0.##", 1234.5, "1.234,5", "1234,5"},
        {'.', ',', ",0.##", 0, "0", ""},
        {'.', ',', "0.000", 1234.5, "1234.500", "1234.5"},
        {'.', ',', "", 1234.5, "1234.5", "1234.5"},
        {'.', ',', ",0.##", -1234567.125, "-1,234,567.13", "-1234567.13"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        Separators pin(c.dec, c.thou);
        Window w;
        w.edit->SetDisplayFormat(QString::fromLatin1(c.format));
        w.edit->SetValue(c.value);
        w.leave();
        EXPECT_EQ(w.edit->PaintedText(), QString::fromLatin1(c.painted));
        w.focusEdit();
        EXPECT_EQ(w.edit->PaintedText(), QString());
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.edited));
    }
}

TEST(NumEdit, ZeroEmptyDecidesTheTextOfZero)
{
    struct Case {
        bool zeroEmpty;
        double value;
        unsigned places;
        const char* text;
    };
    const Case cases[] = {
        {true, 0, 2, ""}, {false, 0, 2, "0"}, {true, 0.001, 2, "0"}, {true, 2.5, 0, "3"}, {false, 1.125, 2, "1.13"},
    };
    for (const Case& c : cases) {
        TKitCalcEdit e;
        e.SetZeroEmpty(c.zeroEmpty);
        e.SetDecimalPlaces(c.places);
        e.SetValue(c.value);
        EXPECT_EQ(e.text(), QString::fromLatin1(c.text)) << c.zeroEmpty << " " << c.value;
    }
}

TEST(NumEdit, LeavingChecksTheRange)
{
    struct Case {
        bool check;
        const char* typed;
        unsigned places;
        const char* message;
        double value;
    };
    const Case cases[] = {
        // Reading Value commits the text within the bounds, error or not.
        {true, "150", 2, "Value must be between 0.00 and 100.00", 100},
        {true, "150", 0, "Value must be between 0 and 100", 100},
        {false, "150", 2, "", 100},
        {true, "50", 2, "", 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Errors errors;
        Window w;
        w.edit->SetMaxValue(100);
        w.edit->SetCheckOnExit(c.check);
        w.edit->SetDecimalPlaces(c.places);
        w.focusEdit();
        w.edit->QLineEdit::setText(QString::fromLatin1(c.typed));
        w.leave();
        if (*c.message) {
            // The error is reported and the focus comes back to the edit.
            ASSERT_TRUE(QTest::qWaitFor([&] { return w.edit->hasFocus(); }, 2000));
            ASSERT_EQ(errors.messages.size(), 1);
            EXPECT_EQ(errors.messages[0], QString::fromLatin1(c.message));
            EXPECT_TRUE(w.edit->Focused());
            EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.typed));
        } else {
            QTest::qWait(0);
            EXPECT_TRUE(errors.messages.isEmpty());
            EXPECT_FALSE(w.edit->hasFocus());
            EXPECT_FALSE(w.edit->Focused());
        }
        EXPECT_EQ(w.edit->Value(), c.value);
    }
}

// Escape puts the committed value back into the text and then cancels the dialog.
TEST(NumEdit, EscapeRestoresTheCommittedValueAndCancels)
{
    QDialog dlg;
    auto* l = new QVBoxLayout(&dlg);
    auto* e = new TKitCalcEdit(&dlg);
    l->addWidget(e);
    QString textAtCancel;
    QObject::connect(&dlg, &QDialog::rejected, [&] { textAtCancel = e->text(); });
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    e->SetValue(42.5);
    e->setFocus();
    QTest::keyClick(e, Qt::Key_End);
    QTest::keyClicks(e, "1");
    EXPECT_EQ(e->text(), QStringLiteral("42.51"));
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(textAtCancel, QStringLiteral("42.5"));
    EXPECT_EQ(e->Value(), 42.5);
}

TEST(NumEdit, FormatOnEditingSeparatesThousandsWhileTyping)
{
    struct Case {
        QChar dec, thou;
        const char* format;
        const char* keys;
        const char* text;
        double value;
    };
    const Case cases[] = {
        {'.', ',', ",0.##", "1234567", "1,234,567", 1234567},
        {'.', ',', ",0.##", "-12345.5", "-12,345.5", -12345.5},
        {',', '.', ",0.##", "12345,5", "12.345,5", 12345.5},
        {'.', ',', "0.##", "1234567", "1234567", 1234567},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        Separators pin(c.dec, c.thou);
        Window w;
        w.edit->SetDisplayFormat(QString::fromLatin1(c.format));
        w.edit->SetFormatOnEditing(true);
        w.focusEdit();
        QTest::keyClicks(w.edit, c.keys);
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(w.edit->cursorPosition(), w.edit->text().size());
        EXPECT_EQ(w.edit->Value(), c.value);
    }
}

TEST(NumEdit, PasteOfTextThatIsNoNumberIsUndone)
{
    struct Case {
        const char* clip;
        const char* text;
        int beeps;
    };
    const Case cases[] = {{"abc", "7", 1}, {"12.5", "12.5", 0}};
    for (const Case& c : cases) {
        Window w;
        w.edit->SetValue(7);
        w.focusEdit();
        w.edit->selectAll();
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.clip));
        Beeps beeps;
        QTest::keySequence(w.edit, QKeySequence::Paste);
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.text)) << c.clip;
        EXPECT_EQ(beeps.count, c.beeps) << c.clip;
    }
}

// A drop is checked as a paste is: text that is no number is undone with a beep.
TEST(NumEdit, DropOfTextThatIsNoNumberIsUndone)
{
    struct Case {
        const char* dropped;
        const char* text;
        double value;
        int beeps;
    };
    const Case cases[] = {{"abc12", "7", 7, 1}, {"12", "127", 127, 0}, {"e1", "7", 7, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dropped);
        Window w;
        w.edit->SetValue(7);
        w.leave();
        Beeps beeps;
        DropText(w.edit, QString::fromLatin1(c.dropped));
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(w.edit->Value(), c.value);
        EXPECT_EQ(beeps.count, c.beeps);
    }
}

// The context menu's Paste is checked as the keyboard's is.
TEST(NumEdit, MenuPasteOfTextThatIsNoNumberIsUndone)
{
    struct Case {
        const char* clip;
        const char* text;
        int beeps;
    };
    const Case cases[] = {{"abc", "7", 1}, {"12.5", "12.5", 0}};
    for (const Case& c : cases) {
        Window w;
        w.edit->SetValue(7);
        w.focusEdit();
        w.edit->selectAll();
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.clip));
        Beeps beeps;
        WithContextMenu(w.edit, [](QMenu* m) {
            QAction* paste = FindEditMenuAction(m, TEditMenuAction::Paste);
            ASSERT_NE(paste, nullptr);
            paste->trigger();
        });
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.text)) << c.clip;
        EXPECT_EQ(beeps.count, c.beeps) << c.clip;
    }
}

TEST(CalcEdit, KeysGoToThePopupAndResultKeysClose)
{
    struct Case {
        const char* start;
        const char* keys;
        bool open;
        const char* shown;
        double value;
        int beeps;
    };
    const Case cases[] = {
        {"12", "+3=", false, "", 15, 0},    {"", "12+3\r", false, "", 15, 0},      {"200", "+10%", false, "", 220, 0},
        {"", "200*10%", false, "", 20, 0},  {"", "5+*3=", false, "", 15, 0},       {"", "12+3", true, "3", 12, 0},
        {"", "50/0=", true, "Error", 0, 1}, {"", "50/0\r\r", true, "Error", 0, 1}, {"", "50/0=c7=", false, "", 7, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        Beeps beeps;
        Window w;
        w.focusEdit();
        w.edit->QLineEdit::setText(QString::fromLatin1(c.start));
        QTest::mouseClick(w.edit->Button(), Qt::LeftButton, {}, QPoint(5, 5));
        ASSERT_TRUE(w.edit->PopupVisible());
        for (char k : std::string(c.keys)) {
            if (k == '\r')
                QTest::keyClick(w.edit, Qt::Key_Return);
            else
                QTest::keyClick(w.edit, k);
        }
        EXPECT_EQ(w.edit->PopupVisible(), c.open);
        if (c.open) {
            EXPECT_EQ(w.edit->PaintedText(), QString::fromLatin1(c.shown));
        } else {
            EXPECT_EQ(w.edit->Value(), c.value);
        }
        EXPECT_EQ(beeps.count, c.beeps);
    }
}

TEST(CalcEdit, AcceptingFromTheErrorStateGivesZero)
{
    Beeps beeps;
    Window w;
    w.edit->SetValue(8);
    w.focusEdit();
    QTest::mouseClick(w.edit->Button(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->PaintedText(), QStringLiteral("8"));
    QTest::keyClicks(w.edit, "/0=");
    ASSERT_TRUE(w.edit->PopupVisible());
    QTest::mouseClick(w.edit->Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->Value(), 0);
    EXPECT_EQ(beeps.count, 2);
    // Escape closes without taking the calculator's number.
    w.edit->SetValue(3);
    QTest::mouseClick(w.edit->Button(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(w.edit, "*4");
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_FALSE(w.edit->PopupVisible());
    EXPECT_EQ(w.edit->Value(), 3);
}
