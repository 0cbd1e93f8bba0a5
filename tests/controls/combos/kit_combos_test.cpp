// The colour and font combo boxes.
#include "controls/combos/kit_combos.h"
#include "common/test_support.h"
#include "platform/graphics/canvas.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// RGB as a colour value: red in the lowest byte.
constexpr TColor rgb(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

template <class Box> void showAndFocus(Box& box)
{
    box.show();
    QApplication::setActiveWindow(&box);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
    box.setFocus();
}

}  // namespace

TEST(ColorComboBox, ValueSelectsItsEntry)
{
    struct Case {
        TColor value;
        int index;
    };
    const Case cases[] = {{rgb(192, 192, 192), 8}, {rgb(0, 0, 0), 0},    {rgb(255, 255, 255), 15},
                          {rgb(128, 0, 0), 1},     {rgb(0, 0, 255), 12}, {rgb(86, 52, 18), -1}};
    for (const Case& c : cases) {
        TColorComboBox box;
        box.SetColorValue(rgb(255, 0, 0));
        int changes = 0;
        box.OnChange = [&](TObject*) { ++changes; };
        box.SetColorValue(c.value);
        EXPECT_EQ(box.ItemIndex(), c.index);
        EXPECT_EQ(box.ColorValue(), c.value);
        EXPECT_EQ(changes, 1);
    }
}

TEST(ColorComboBox, NamesComeFromTheListOrTheStandard)
{
    struct Case {
        QStringList names;
        QStringList expected;
    };
    const Case cases[] = {
        {{},
         {"Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray", "Silver", "Red", "Lime", "Yellow",
          "Blue", "Fuchsia", "Aqua", "White"}},
        {{"", "Kastanie"}, {"Black", "Kastanie", "Green"}},
        {{"Schwarz", "", "Gruen"}, {"Schwarz", "Maroon", "Gruen", "Olive"}},
    };
    for (const Case& c : cases) {
        TColorComboBox box;
        box.SetColorValue(rgb(0, 128, 128));
        box.SetColorNames(c.names);
        ASSERT_EQ(box.count(), 16);
        for (int i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(box.itemText(i), c.expected[i]) << i;
        // Renaming keeps the chosen colour.
        EXPECT_EQ(box.ItemIndex(), 6);
        EXPECT_EQ(box.ColorValue(), rgb(0, 128, 128));
    }
}

TEST(ColorComboBox, TypedTextNamesAColour)
{
    struct Case {
        const char* typed;
        TColor expected;
    };
    const Case cases[] = {{"Lime", rgb(0, 255, 0)},  {"lime", rgb(0, 255, 0)}, {"$FF", rgb(255, 0, 0)},
                          {"65280", rgb(0, 255, 0)}, {"xyz", rgb(0, 0, 128)},  {"navy", rgb(0, 0, 128)}};
    for (const Case& c : cases) {
        TColorComboBox box;
        box.SetStyle(csDropDown);
        box.SetColorValue(rgb(0, 0, 128));
        showAndFocus(box);
        TColor seen = clNone;
        box.OnChange = [&](TObject*) { seen = box.ColorValue(); };
        box.lineEdit()->selectAll();
        QTest::keyClicks(box.lineEdit(), QString::fromLatin1(c.typed));
        EXPECT_EQ(box.ColorValue(), c.expected) << c.typed;
        EXPECT_EQ(seen, c.expected) << c.typed;
    }
}

TEST(ColorComboBox, CustomColourShowsItsNameInAnEditableBox)
{
    struct Case {
        TColor value;
        const char* text;
    };
    const Case cases[] = {{rgb(86, 52, 18), "$00123456"}, {clBtnFace, "BtnFace"}, {rgb(0, 255, 255), "Aqua"}};
    for (const Case& c : cases) {
        TColorComboBox box;
        box.SetStyle(csDropDown);
        box.SetColorValue(c.value);
        EXPECT_EQ(box.Text(), QString::fromLatin1(c.text));
        EXPECT_EQ(box.ColorValue(), c.value);
    }
}

TEST(ColorComboBox, ChoosingAnItemWithTheKeyboardSetsTheColour)
{
    TColorComboBox box;
    box.SetColorValue(rgb(0, 128, 0));
    showAndFocus(box);
    TColor seen = clNone;
    int clicks = 0;
    box.OnChange = [&](TObject*) { seen = box.ColorValue(); };
    box.OnClick = [&](TObject*) { ++clicks; };
    struct Case {
        Qt::Key key;
        TColor expected;
    };
    const Case cases[] = {{Qt::Key_Down, rgb(128, 128, 0)},
                          {Qt::Key_Down, rgb(0, 0, 128)},
                          {Qt::Key_Up, rgb(128, 128, 0)}};
    int n = 0;
    for (const Case& c : cases) {
        QTest::keyClick(&box, c.key);
        EXPECT_EQ(box.ColorValue(), c.expected);
        EXPECT_EQ(seen, c.expected);
        EXPECT_EQ(clicks, ++n);
    }
}

TEST(ColorComboBox, SwatchCoversTheItemWithoutNames)
{
    struct Case {
        bool names;
        int swatchRight;
    };
    const Case cases[] = {{true, 24}, {false, 97}};
    for (const Case& c : cases) {
        TColorComboBox box;
        box.SetDisplayNames(c.names);
        TBitmap bmp(100, 16);
        TCanvas& cv = *bmp.Canvas();
        cv.Brush.Color = clWhite;
        box.DrawItem(9, cv, TRect(0, 0, 100, 16), false);
        // Red inside the outline, from left + 3 to the outline's right edge.
        EXPECT_EQ(bmp.PixelColor(3, 8), clRed);
        EXPECT_EQ(bmp.PixelColor(c.swatchRight - 2, 8), clRed);
        EXPECT_NE(bmp.PixelColor(c.swatchRight, 8), clRed);
        EXPECT_EQ(bmp.PixelColor(50, 8) == clRed, !c.names);
    }
}

TEST(FontComboBox, ValidFontRules)
{
    struct Case {
        int type;
        int charset;
        bool fixed;
        TFontListOptions options;
        bool valid;
    };
    const Case cases[] = {
        {TRUETYPE_FONTTYPE, ANSI_CHARSET, false, 0, true},
        {RASTER_FONTTYPE, SYMBOL_CHARSET, false, 0, true},
        {TRUETYPE_FONTTYPE, SYMBOL_CHARSET, false, foAnsiOnly, false},
        {RASTER_FONTTYPE, ANSI_CHARSET, false, foTrueTypeOnly, false},
        {TRUETYPE_FONTTYPE, SYMBOL_CHARSET, false, foTrueTypeOnly, true},
        {TRUETYPE_FONTTYPE, SYMBOL_CHARSET, false, foTrueTypeOnly | foAnsiOnly, false},
        {TRUETYPE_FONTTYPE, ANSI_CHARSET, false, foFixedPitchOnly, false},
        {TRUETYPE_FONTTYPE, ANSI_CHARSET, true, foFixedPitchOnly, true},
        {TRUETYPE_FONTTYPE, OEM_CHARSET, false, foOEMFontsOnly, true},
        {TRUETYPE_FONTTYPE, ANSI_CHARSET, false, foOEMFontsOnly, false},
        {TRUETYPE_FONTTYPE, OEM_CHARSET, false, foNoOEMFonts, false},
        {RASTER_FONTTYPE, ANSI_CHARSET, false, foScalableOnly, false},
        {DEVICE_FONTTYPE, ANSI_CHARSET, false, foScalableOnly, true},
    };
    for (const Case& c : cases) {
        TFontFamily f{QStringLiteral("X"), c.type, c.charset, c.fixed};
        EXPECT_EQ(IsValidFont(f, c.options), c.valid) << c.type << " " << c.charset << " " << c.options;
    }
}

TEST(FontComboBox, ListIsFilteredAndSorted)
{
    const QStringList installed = QFontDatabase::families();
    if (installed.isEmpty())
        GTEST_SKIP() << KANDRIVEL_SKIP_TOOL "installed fonts";
    // Every family without a filter; none claims the OEM character set here.
    struct Case {
        TFontListOptions options;
        int expected;
    };
    const Case cases[] = {{0, int(installed.size())},
                          {foFixedPitchOnly, -1},
                          {foTrueTypeOnly, -1},
                          {foOEMFontsOnly, 0},
                          {foAnsiOnly | foScalableOnly, -1}};
    for (const Case& c : cases) {
        TFontComboBox box;
        box.SetOptions(c.options);
        if (c.expected >= 0) {
            EXPECT_EQ(box.count(), c.expected) << c.options;
        }
        for (int i = 0; i < box.count(); ++i) {
            const QString name = box.itemText(i);
            EXPECT_TRUE(installed.contains(name)) << name.toStdString();
            if (c.options & foFixedPitchOnly) {
                EXPECT_TRUE(QFontDatabase::isFixedPitch(name)) << name.toStdString();
            }
            if (c.options & foTrueTypeOnly) {
                EXPECT_EQ(box.ItemFontType(i), TRUETYPE_FONTTYPE);
            }
            if (i > 0) {
                EXPECT_LT(box.itemText(i - 1).compare(name, Qt::CaseInsensitive), 0);
            }
        }
    }
    // The printer offers the same families.
    TFontComboBox screen, printer;
    printer.SetDevice(fdPrinter);
    ASSERT_EQ(printer.count(), screen.count());
    for (int i = 0; i < screen.count(); ++i)
        EXPECT_EQ(printer.itemText(i), screen.itemText(i));
}

TEST(FontComboBox, NameSelectsTheFamilyInAnyCase)
{
    TFontComboBox probe;
    ASSERT_GT(probe.count(), 0);
    const QString family = probe.itemText(probe.count() - 1);
    struct Case {
        QString name;
        TOwnerDrawComboStyle style;
        int index;
        QString fontName;
    };
    const Case cases[] = {
        {family.toUpper(), csDropDownList, probe.count() - 1, family},
        {family.toLower(), csDropDown, probe.count() - 1, family},
        // Not installed: nothing is selected, and the name is kept, not lost as "".
        {QStringLiteral("Times New Roman No Such"), csDropDownList, -1, QStringLiteral("Times New Roman No Such")},
        {QStringLiteral("Times New Roman No Such"), csDropDown, -1, QStringLiteral("Times New Roman No Such")},
    };
    for (const Case& c : cases) {
        TFontComboBox box;
        box.SetStyle(c.style);
        int changes = 0;
        box.OnChange = [&](TObject*) { ++changes; };
        box.SetFontName(c.name);
        EXPECT_EQ(box.ItemIndex(), c.index) << c.name.toStdString();
        EXPECT_EQ(box.FontName(), c.fontName);
        EXPECT_EQ(changes, 1);
        // Refilling the list (options changed) keeps the name as it was and stays quiet.
        box.SetOptions(foNoOEMFonts);
        EXPECT_EQ(box.FontName(), c.fontName);
        EXPECT_EQ(changes, 1);
    }
}

TEST(FontComboBox, TypedNameSelectsTheFamily)
{
    TFontComboBox probe;
    ASSERT_GT(probe.count(), 0);
    const QString family = probe.itemText(0);
    TFontComboBox box;
    box.SetStyle(csDropDown);
    showAndFocus(box);
    int changes = 0;
    box.OnChange = [&](TObject*) { ++changes; };
    box.lineEdit()->selectAll();
    QTest::keyClicks(box.lineEdit(), family.toLower());
    EXPECT_EQ(box.ItemIndex(), 0);
    EXPECT_EQ(box.FontName(), family);
    EXPECT_GT(changes, family.size());
}
