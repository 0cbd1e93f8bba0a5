// Masked and stretched drawing, and embossed images.
#include "controls/draw/masked_draw.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <map>

namespace {

const std::map<char, TColor> kColors{{'M', clFuchsia}, {'R', clRed},   {'G', clLime},  {'B', clBlue},
                                     {'K', clBlack},   {'W', clWhite}, {'Y', clYellow}};

// A 24-bit bitmap from rows of colour letters.
TBitmap fromRows(const std::vector<const char*>& rows)
{
    const int w = int(strlen(rows[0])), h = int(rows.size());
    TBitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Canvas()->SetPixel(x, y, kColors.at(rows[size_t(y)][x]));
    return b;
}

// A destination whose every pixel differs from every letter colour.
TBitmap backdrop(int w, int h)
{
    TBitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Canvas()->SetPixel(x, y, RGB(10 + x, 20 + y, 30));
    return b;
}

void expectRows(const TBitmap& b, const std::vector<const char*>& rows, const char* what)
{
    // '.' keeps the backdrop pixel.
    for (int y = 0; y < int(rows.size()); ++y)
        for (int x = 0; x < int(strlen(rows[size_t(y)])); ++x) {
            const char c = rows[size_t(y)][x];
            const TColor want = c == '.' ? RGB(10 + x, 20 + y, 30) : kColors.at(c);
            EXPECT_EQ(b.PixelColor(x, y), want) << what << " at " << x << "," << y;
        }
}

}  // namespace

TEST(MaskedDraw, TransparentColourChoices)
{
    const TBitmap glyph = fromRows({"MRG", "BMR", "GMM"});
    struct Case {
        const char* name;
        TColor transparent;
        std::vector<const char*> expected;
    };
    const std::vector<Case> cases = {
        {"none", clNone, {".....", ".MRG.", ".BMR.", ".GMM.", "....."}},
        {"magenta", clFuchsia, {".....", "..RG.", ".B.R.", ".G...", "....."}},
        {"default is bottom-left", clDefault, {".....", ".MR..", ".BMR.", "..MM.", "....."}},
        {"red", clRed, {".....", ".M.G.", ".BM..", ".GMM.", "....."}},
        {"absent colour", clYellow, {".....", ".MRG.", ".BMR.", ".GMM.", "....."}},
    };
    for (const Case& c : cases) {
        TBitmap dest = backdrop(5, 5);
        DrawBitmapMasked(*dest.Canvas(), 1, 1, glyph, c.transparent);
        expectRows(dest, c.expected, c.name);
    }
}

TEST(MaskedDraw, MonochromeBitmapsUseWhite)
{
    TBitmap mono(3, 1, pf1bit);
    mono.Canvas()->SetPixel(0, 0, clBlack);
    mono.Canvas()->SetPixel(1, 0, clWhite);
    mono.Canvas()->SetPixel(2, 0, clBlack);
    TBitmap dest = backdrop(3, 1);
    DrawBitmapMasked(*dest.Canvas(), 0, 0, mono, clBlack);  // the colour given does not matter
    expectRows(dest, {"K.K"}, "mono");
}

TEST(MaskedDraw, PartsAndStretching)
{
    const TBitmap glyph = fromRows({"RMGB", "BGMR"});
    {
        TBitmap dest = backdrop(4, 3);
        DrawBitmapPartMasked(*dest.Canvas(), 0, 1, TRect(1, 0, 3, 2), glyph, clFuchsia);
        expectRows(dest, {"....", ".G..", "G..."}, "part");
    }
    {
        // Each source pixel becomes a 2 × 2 block; magenta blocks leave the backdrop.
        TBitmap dest = backdrop(8, 4);
        DrawBitmapStretchedMasked(*dest.Canvas(), glyph, clFuchsia, 0, 0, 8, 4, 0, 0, 4, 2);
        expectRows(dest, {"RR..GGBB", "RR..GGBB", "BBGG..RR", "BBGG..RR"}, "stretch");
    }
    {
        // Sizes below 1 take the bitmap's own.
        TBitmap dest = backdrop(5, 3);
        DrawBitmapStretchedMasked(*dest.Canvas(), glyph, clFuchsia, 1, 1, 0, 0, 0, 0, 0, 0);
        expectRows(dest, {".....", ".R.GB", ".BG.R"}, "defaults");
    }
}

TEST(MaskedDraw, WorksOnAPainterCanvas)
{
    const TBitmap glyph = fromRows({"MR", "GM"});
    QImage img(3, 3, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    {
        QPainter p(&img);
        TCanvas c(&p);
        DrawBitmapMasked(c, 1, 1, glyph, clDefault);  // bottom-left is green
    }
    EXPECT_EQ(img.pixel(1, 1), qRgb(255, 0, 255));
    EXPECT_EQ(img.pixel(2, 1), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 2), qRgb(1, 2, 3));
    EXPECT_EQ(img.pixel(2, 2), qRgb(255, 0, 255));
    EXPECT_EQ(img.pixel(0, 0), qRgb(1, 2, 3));
}

TEST(Emboss, HighlightBelowRightThenShadow)
{
    struct Case {
        const char* name;
        std::vector<const char*> src;
        bool highlight;
        std::vector<const char*> expected;
    };
    const std::vector<Case> cases = {
        {"two dots", {"MMMM", "MKKM", "MMMM", "MMMM"}, true, {"WWWW", "WBBW", "WWGG", "WWWW"}},
        {"no highlight", {"MMMM", "MKKM", "MMMM", "MMMM"}, false, {"WWWW", "WBBW", "WWWW", "WWWW"}},
        {"shadow wins where they meet", {"MMMM", "MKMM", "MMKM", "MMMM"}, true, {"WWWW", "WBWW", "WWBW", "WWWG"}},
        {"every colour but the outline", {"RMM", "MGM", "MMM"}, true, {"BWW", "WBW", "WWG"}},
    };
    for (const Case& c : cases) {
        const auto out = EmbossBitmapEx(fromRows(c.src), clFuchsia, clWhite, clLime, clBlue, c.highlight);
        ASSERT_EQ(out->Width(), int(strlen(c.src[0])));
        for (int y = 0; y < out->Height(); ++y)
            for (int x = 0; x < out->Width(); ++x)
                EXPECT_EQ(out->PixelColor(x, y), kColors.at(c.expected[size_t(y)][x]))
                    << c.name << " " << x << "," << y;
    }
}

TEST(Emboss, ListImageThroughItsMask)
{
    TImageList list(3, 2);
    list.AddMasked(fromRows({"MRM", "MMB"}), clFuchsia);
    TBitmap dest = backdrop(5, 4);
    dest.Canvas()->Brush.Color = clAqua;
    DrawListImageEmbossed(list, *dest.Canvas(), 1, 1, 0, clYellow, clBlack, true);
    expectRows(dest, {".....", "..K..", "...K.", "....Y"}, "list");
    EXPECT_EQ(dest.Canvas()->Brush.Color, clAqua);
    // A bad index draws nothing.
    TBitmap untouched = backdrop(5, 4);
    DrawListImageEmbossed(list, *untouched.Canvas(), 0, 0, 7, clYellow, clBlack, true);
    expectRows(untouched, {".....", ".....", ".....", "....."}, "bad index");
}
