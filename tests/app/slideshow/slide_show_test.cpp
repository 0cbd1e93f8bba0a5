// Slide scaling and written slide comments.
#include "app/slideshow/slide_show.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <gtest/gtest.h>
#include <memory>

TEST(SlideScaling, FitAndFillKeepTheAspectAndCentreLargeImages)
{
    struct Case {
        int scaling, bw, bh, w, h;
        TSlideResample expected;
    };
    const Case cases[] = {
        {1, 2000, 1000, 1000, 1000, {true, 1000, -1}},  // fit: the wide side decides
        {2, 2000, 1000, 1000, 1000, {true, -1, 1000}},  // fill: the short side decides
        {1, 1000, 2000, 1000, 1000, {true, -1, 1000}},
        {2, 1000, 2000, 1000, 1000, {true, 1000, -1}},
        {1, 400, 300, 800, 600, {true, -1, 600}},  // same aspect: by height
        {2, 400, 300, 800, 600, {true, -1, 600}},
        {1, 67139, 32043, 65536, 65536, {true, 65536, -1}},  // products beyond 32 bits
        {0, 2000, 1000, 1000, 1000, {}},                     // own size: nothing
        {1, 0, 10, 100, 100, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlideResampleFor(c.scaling, c.bw, c.bh, c.w, c.h), c.expected)
            << c.scaling << " " << c.bw << "x" << c.bh << " in " << c.w << "x" << c.h;

    struct Origin {
        int size, zoom, screen, expected;
    };
    const Origin origins[] = {
        {2000, 100, 1000, 500}, {1001, 100, 1000, 0},    {1003, 100, 1000, 1},
        {800, 100, 1000, 0},    {1000, 300, 1000, 1000}, {1500, 50, 600, 75},
    };
    for (const Origin& o : origins)
        EXPECT_EQ(SlideViewOrigin(o.size, o.zoom, o.screen), o.expected) << o.size << " " << o.zoom << " " << o.screen;
}

TEST(SlideComment, WhiteAtTheOriginThenBlackOnePixelFurther)
{
    auto blueBitmap = [] {
        auto b = std::make_unique<TBitmap>(120, 60);
        TCanvas* c = b->Canvas();
        c->Brush.Style = bsSolid;
        c->Brush.Color = RGB(0, 0, 255);
        c->FillRect(TRect(0, 0, 120, 60));
        c->Font.Size = 20;
        c->Brush.Style = bsClear;
        return b;
    };
    const QString text = QStringLiteral("Hallo");
    auto shown = blueBitmap();
    WriteSlideComment(*shown, text, 20);
    // Each copy alone, then the black one laid over the white one.
    auto white = blueBitmap();
    white->Canvas()->Font.Color = RGB(255, 255, 255);
    white->Canvas()->TextOut(0, 0, text);
    auto black = blueBitmap();
    black->Canvas()->Font.Color = clBlack;
    black->Canvas()->TextOut(1, 1, text);
    int whiteLeft = 0, blackLeft = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const TColor k = black->Canvas()->Pixel(x, y);
            const TColor expected = k != RGB(0, 0, 255) ? k : white->Canvas()->Pixel(x, y);
            ASSERT_EQ(shown->Canvas()->Pixel(x, y), expected) << x << "," << y;
            whiteLeft += expected == RGB(255, 255, 255);
            blackLeft += expected == clBlack;
        }
    EXPECT_GT(whiteLeft, 10);
    EXPECT_GT(blackLeft, 10);
    EXPECT_EQ(SlideTextComment(QStringLiteral("/a/b.jpg")), QStringLiteral("/a/b.jpg.txt"));
    EXPECT_EQ(SlideSoundComment(QStringLiteral("/a/b.jpg")), QStringLiteral("/a/b.jpg.wav"));
}

// Whatever size a stored block gives, the font's height stays an int: the largest sizes
// either way draw the largest glyphs the canvas allows, the same both ways.
TEST(SlideComment, AnyFontSizeGivesAHeightThatCanBeNegated)
{
    for (int size : {-1600000000, INT32_MIN, INT32_MAX, 1}) {
        TFont f;
        f.Size = size;
        f.PixelsPerInch = 300;
        EXPECT_EQ(f.Height(), size == 1 ? -4 : size < 0 ? INT32_MAX : -INT32_MAX) << size;
        TBitmap b(8, 8);
        WriteSlideComment(b, QStringLiteral("x"), size);
        EXPECT_EQ(b.Width(), 8);
    }
}
