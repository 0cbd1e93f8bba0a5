// Rectangle routines, command-line items, text fitting and kit resources.
#include "controls/draw/draw_utils.h"
#include "controls/draw/kit_resources.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(CommandLine, ItemsSplitAtBlanksAndQuotes)
{
    struct Case {
        const char* line;
        std::vector<const char*> items;
    };
    const std::vector<Case> cases = {
        {"a b  c", {"a", "b", "c"}},
        {"\"/my files/a.txt\" -x", {"/my files/a.txt", "-x"}},
        {"  \"\"  a", {"a"}},  // an empty quoted item standing alone is skipped
        {"pre\"fix mid\"post x", {"prefix midpost", "x"}},
        {"\"unclosed quote", {"unclosed quote"}},
        {"\ta\r\nb", {"a", "b"}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandLineItemCount(c.line), int(c.items.size())) << c.line;
        for (size_t i = 0; i < c.items.size(); ++i)
            EXPECT_EQ(CommandLineItem(c.line, int(i)), QString(c.items[i])) << c.line << " #" << i;
        EXPECT_EQ(CommandLineItem(c.line, int(c.items.size())), QString()) << c.line;
    }
}

TEST(CommandLine, LongItemsAreKeptWhole)
{
    const QString longPath = "/" + QString(600, QLatin1Char('d')) + "/file name.png";
    const QString line = "\"" + longPath + "\" next";
    EXPECT_EQ(CommandLineItem(line, 0), longPath);
    EXPECT_EQ(CommandLineItem(line, 1), QString("next"));
}

TEST(CommandLine, SplitFirstItemRequotesItemsWithBlanks)
{
    struct Case {
        const char* line;
        const char* first;
        const char* rest;
    };
    const Case cases[] = {
        {"\"/my path/a b.txt\" -a \"x y\"", "/my path/a b.txt", "-a \"x y\""},
        {"one", "one", ""},
        {"one   two three", "one", "two three"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        QString first, rest;
        SplitFirstItem(c.line, first, rest);
        EXPECT_EQ(first, QString(c.first)) << c.line;
        EXPECT_EQ(rest, QString(c.rest)) << c.line;
    }
}

TEST(RectRoutines, EdgesCountAsInside)
{
    const TRect r(10, 20, 30, 40);
    struct Case {
        int x, y;
        bool inside;
    };
    const Case cases[] = {{10, 20, true}, {30, 40, true},  {30, 20, true},  {10, 40, true}, {20, 30, true},
                          {9, 30, false}, {31, 30, false}, {20, 19, false}, {20, 41, false}};
    for (const Case& c : cases)
        EXPECT_EQ(PointWithinRect(TPoint(c.x, c.y), r), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(WidthOfRect(r), 20);
    EXPECT_EQ(HeightOfRect(r), 20);
    EXPECT_EQ(LargerInt(-3, 2), 2);
    EXPECT_EQ(SmallerInt(-3, 2), -3);
}

TEST(RectRoutines, MoveRectOntoScreenShiftsWithoutResizing)
{
    const QSize screen(800, 600);
    struct Case {
        TRect in;
        TRect out;
    };
    const Case cases[] = {
        {TRect(10, 10, 110, 60), TRect(10, 10, 110, 60)},
        {TRect(750, 580, 850, 630), TRect(700, 550, 800, 600)},
        {TRect(-30, -5, 70, 45), TRect(0, 0, 100, 50)},
        {TRect(100, 100, 1000, 700), TRect(0, 0, 900, 600)},  // wider than the screen: ends at 0
    };
    for (const Case& c : cases) {
        TRect r = c.in;
        MoveRectOntoScreen(r, screen);
        EXPECT_EQ(r, c.out) << c.in.Left << "," << c.in.Top;
    }
}

TEST(RectRoutines, PaletteRelativeColorSetsBit25)
{
    EXPECT_EQ(PaletteRelativeColor(RGB(1, 2, 3)), 0x02030201);
    EXPECT_EQ(PaletteRelativeColor(clWhite), 0x02FFFFFF);
}

TEST(FitText, ShortensWithEllipsisUntilItFits)
{
    TBitmap bmp(10, 10);
    TCanvas& c = *bmp.Canvas();
    const QString text = "Kandrivel catalog";
    EXPECT_EQ(FitTextWithEllipsis(text, c, c.TextWidth(text)), text);
    const QString fitted = FitTextWithEllipsis(text, c, c.TextWidth(text) - 1);
    EXPECT_TRUE(fitted.endsWith("..."));
    EXPECT_LE(c.TextWidth(fitted), c.TextWidth(text) - 1);
    // The longest start that fits: one more character would not.
    const QString longer = text.left(fitted.size() - 3 + 1) + "...";
    EXPECT_GT(c.TextWidth(longer), c.TextWidth(text) - 1);
    EXPECT_EQ(FitTextWithEllipsis(text, c, 0), QString("..."));
}

TEST(KitResources, MissingResourceMessageAndLoader)
{
    try {
        RaiseMissingResource(TResId::Named("NOPE"));
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), QString("Resource NOPE not found"));
    }
    try {
        RaiseMissingResource(TResId::Numbered(1234));
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), QString("Resource 1234 not found"));
    }
    EXPECT_EQ(LoadResourceBitmap(rmKit, TResId::Named("NOPE")), nullptr);
    EXPECT_EQ(LoadResourceBitmap(rmNone, TResId::Numbered(1)), nullptr);
    for (const char* name : {"KITSPINUP", "KITSPINDOWN", "FEDITBMP"}) {
        auto b = LoadResourceBitmap(rmKit, TResId::Named(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_FALSE(b->Empty()) << name;
    }
    EXPECT_NE(LoadResourceBitmap(rmNone, TResId::Numbered(OBM_COMBO)), nullptr);
}

TEST(KitResources, CursorsRegisteredUnderTheirNumbers)
{
    RegisterKitCursors();
    EXPECT_EQ(crKitHand, 14000);
    EXPECT_EQ(crKitDrag, 14001);
    for (TCursor n : {crKitHand, crKitDrag}) {
        const QCursor c = Screen().Cursor(n);
        EXPECT_EQ(c.shape(), Qt::BitmapCursor) << n;
        EXPECT_FALSE(c.pixmap().isNull()) << n;
    }
}
