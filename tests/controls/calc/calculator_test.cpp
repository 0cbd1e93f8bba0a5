// The calculator: key sequences, errors, separators and the pop-up keypad.
#include "controls/edits/calc_popup.h"
#include "controls/edits/locale_and_beeps.h"
#include "platform/core/number_format.h"
#include "platform/ui/dialogs.h"

#include <gtest/gtest.h>

namespace {

struct KeyRun {
    QString display;
    int beeps = 0;
    int results = 0;
    int textChanges = 0;
};

// Types the keys into a keypad as the edit hands them over; "\b" backspace, "\r" Enter,
// "\x1b" Escape.
KeyRun press(const QString& keys)
{
    Beeps beeps;
    TLocCalculator calc;
    calc.StartWith(0);
    KeyRun r;
    calc.OnResult = [&] { ++r.results; };
    calc.OnTextChange = [&] { ++r.textChanges; };
    for (QChar k : keys)
        calc.PressKeyButton(k);
    r.display = calc.Text();
    r.beeps = beeps.count;
    return r;
}

}  // namespace

TEST(Calculator, KeySequencesShowTheirResult)
{
    struct Case {
        const char* keys;
        const char* display;
        int beeps;
        int results;
    };
    const Case cases[] = {
        {"12+3=", "15", 0, 1},
        {"12+3\r", "15", 0, 1},
        {"200+10%", "220", 0, 1},
        {"200-10%", "180", 0, 1},
        {"200*10%", "20", 0, 1},
        {"200/10%", "2000", 0, 1},
        {"5+*3=", "15", 0, 1},
        {"2*3+4=", "10", 0, 1},
        {"10-4*2=", "12", 0, 1},
        {"7/2=", "3.5", 0, 1},
        {"1/3=", "0.333333333333333", 0, 1},
        {"1.2.3", "1.23", 0, 0},
        {"1,5", "1.5", 0, 0},
        {".5", "0.5", 0, 0},
        {"123456789012345", "123456789012345", 0, 0},
        {"1234567890123456", "123456789012345", 1, 0},
        {"7_", "-7", 0, 0},
        {"7_\b", "0", 0, 0},
        {"5_3", "-53", 0, 0},
        {"123\b", "12", 0, 0},
        {"12+3=\b", "0", 0, 1},
        {"9q", "3", 0, 0},
        {"4r", "0.25", 0, 0},
        {"12+3c", "0", 0, 0},
        {"12+3\x1b", "0", 0, 0},
        {"12+3=4", "4", 0, 1},
        {"999999999999999*999999999999999=", "9.99999999999998E29", 0, 1},
        {"1/8000=", "0.000125", 0, 1},
        {"1/80000=", "1.25E-5", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        const KeyRun r = press(QString::fromLatin1(c.keys));
        EXPECT_EQ(r.display, QString::fromLatin1(c.display));
        EXPECT_EQ(r.beeps, c.beeps);
        EXPECT_EQ(r.results, c.results);
    }
}

TEST(Calculator, ErrorStateIgnoresKeysUntilClear)
{
    struct Case {
        QString keys;
        const char* display;
        int beeps;
    };
    QString overflow;
    for (int i = 0; i < 21; ++i)
        overflow += QStringLiteral("999999999999999*");
    const Case cases[] = {
        {"50/0=", "Error", 1},
        {"4_q", "Error", 1},
        {"0r", "Error", 1},
        {"50/0=12+3=", "Error", 1},
        {"50/0=_\b.q%", "Error", 1},
        {"50/0=C", "0", 1},
        {"50/0=\x1b", "0", 1},
        {"50/0=C7+1=", "8", 1},
        // Overflow to infinity is an error, not a text.
        {overflow, "Error", 1},
        {overflow + "5=", "Error", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        const KeyRun r = press(c.keys);
        EXPECT_EQ(r.display, QString::fromLatin1(c.display));
        EXPECT_EQ(r.beeps, c.beeps);
    }
}

TEST(Calculator, BeepFlagSilencesErrors)
{
    for (const char* keys : {"50/0=", "1234567890123456"}) {
        Beeps beeps;
        TLocCalculator calc;
        calc.SetBeepOnError(false);
        for (QChar k : QString::fromLatin1(keys))
            calc.PressKeyButton(k);
        EXPECT_EQ(beeps.count, 0) << keys;
    }
}

TEST(Calculator, DisplayUsesTheLocaleSeparator)
{
    struct Case {
        QChar dec, thou;
        const char* keys;
        const char* display;
    };
    const Case cases[] = {
        {',', '.', "7/2=", "3,5"}, {',', '.', "1.5", "1,5"},    {',', '.', "1,2,5", "1,25"},
        {'.', ',', "1,5", "1.5"},  {',', ' ', "1.5+1=", "2,5"},
    };
    for (const Case& c : cases) {
        Separators pin(c.dec, c.thou);
        EXPECT_EQ(press(QString::fromLatin1(c.keys)).display, QString::fromLatin1(c.display)) << c.keys;
    }
}

TEST(Calculator, KeypadButtonsFollowTheKeyMap)
{
    TLocCalculator calc;
    const QString map = QStringLiteral("0123456789_./*-+Q%R=") + CalcBackspace + QLatin1Char('C');
    int buttons = 0;
    for (int tag = 0; tag < map.size(); ++tag) {
        TCalcButton* b = calc.ButtonOfTag(tag);
        const QChar key = map.at(tag);
        // Square root, per cent and reciprocal have no key on the pad.
        if (key == 'Q' || key == '%' || key == 'R') {
            EXPECT_EQ(b, nullptr) << tag;
            continue;
        }
        ASSERT_NE(b, nullptr) << tag;
        ++buttons;
        EXPECT_EQ(b->Kind(), tag + 1);
        EXPECT_EQ(b->height(), 21);
        EXPECT_EQ(b->width(), key == '=' ? 44 : 21);
        EXPECT_TRUE(calc.rect().contains(b->geometry()));
    }
    EXPECT_EQ(buttons, 19);
    EXPECT_EQ(calc.ButtonOfTag(7)->geometry().topLeft(), QPoint(6, 6));
    EXPECT_EQ(calc.ButtonOfTag(10)->Caption(), QStringLiteral("\u00B1"));
    EXPECT_EQ(calc.ButtonOfTag(12)->CaptionFont().Color, clPurple);
    EXPECT_EQ(calc.ButtonOfTag(21)->CaptionFont().Color, clMaroon);
    // A new parent font keeps each key's colour.
    QFont f = calc.font();
    f.setPointSize(f.pointSize() + 3);
    calc.setFont(f);
    EXPECT_EQ(calc.ButtonOfTag(19)->CaptionFont().Color, clPurple);
    EXPECT_EQ(calc.ButtonOfTag(19)->CaptionFont().Size, f.pointSize());
    EXPECT_EQ(calc.ButtonOfTag(3)->CaptionFont().Color, clBtnText);
}

TEST(Calculator, PopupValueInAndOut)
{
    struct Case {
        QVariant in;
        const char* keys;
        const char* shown;
        double out;
        int beeps;
    };
    const Case cases[] = {
        {QVariant(), "", "0", 0, 0},
        {QVariant(QString()), "", "0", 0, 0},
        {QVariant(QStringLiteral("12.5")), "", "12.5", 12.5, 0},
        {QVariant(QStringLiteral("abc")), "", "0", 0, 0},
        {QVariant(QStringLiteral("12.5")), "*2", "2", 2, 0},
        {QVariant(QStringLiteral("12.5")), "*2=", "25", 25, 0},
        {QVariant(QStringLiteral("3.")), "7", "7", 7, 0},
        {QVariant(QStringLiteral("8")), "/0=", "Error", 0, 2},
    };
    for (const Case& c : cases) {
        Beeps beeps;
        TCustomComboEdit owner;
        TPopupCalculator* popup = MakePopupCalculator(&owner, Qt::LeftToRight);
        popup->PopupValueIn(c.in);
        for (QChar k : QString::fromLatin1(c.keys))
            popup->KeyPress(k);
        EXPECT_EQ(popup->PopupText(), QString::fromLatin1(c.shown)) << c.keys;
        EXPECT_EQ(popup->PopupValueOut().toDouble(), c.out) << c.keys;
        EXPECT_EQ(beeps.count, c.beeps) << c.keys;
    }
}
