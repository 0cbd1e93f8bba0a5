// Colour-space conversions: worked values and round trips over every colour.
#include "imaging/proc/color_space.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

TEST(ColorSpace, WorkedHsvValues)
{
    struct Case {
        int r, g, b, h, s, v;
    };
    // Hand-computed: channels scale to Round(c / 255 × 99) first.
    const Case cases[] = {
        {255, 0, 0, 0, 99, 99},
        {0, 255, 0, 120, 99, 99},
        {0, 0, 255, 240, 99, 99},
        {0, 0, 0, 0, 0, 0},
        {255, 255, 255, 0, 0, 99},
        {128, 128, 128, 0, 0, 50},
        {255, 0, 255, 300, 99, 99},  // blue branch: (99 − 0) × 60 div 99 + 240
        {255, 128, 0, 30, 99, 99},   // g = 50: 50 × 60 div 99 = 30
        // 39, 19, 78: s = 59 × 99 div 78 = 74, h = (39 − 19) × 60 div 59 + 240 = 260.
        {100, 50, 200, 260, 74, 78},
    };
    for (const Case& c : cases) {
        int h, s, v;
        RGBToHSV(c.r, c.g, c.b, h, s, v);
        EXPECT_EQ(h, c.h) << c.r << ',' << c.g << ',' << c.b;
        EXPECT_EQ(s, c.s) << c.r << ',' << c.g << ',' << c.b;
        EXPECT_EQ(v, c.v) << c.r << ',' << c.g << ',' << c.b;
    }
    int r, g, b;
    HSVToRGB(120, 99, 99, r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{0, 255, 0}));
    // Out of range inputs clamp: hue 400 is 359, value 150 is 99, saturation −5 is 0.
    HSVToRGB(400, -5, 150, r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{255, 255, 255}));
    // Sector 1 with e = 30: q = 99 − 99 × 99 × 30 div 5940 = 50 → Round(50 / 99 × 255) = 129.
    HSVToRGB(90, 99, 99, r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{129, 255, 0}));
}

TEST(ColorSpace, WorkedHslValues)
{
    double h, s, l;
    RGBToHSL(204, 0, 255, h, s, l);
    EXPECT_NEAR(h, 0.8, 1e-12);
    EXPECT_DOUBLE_EQ(s, 1.0);
    EXPECT_DOUBLE_EQ(l, 0.5);
    int r, g, b;
    // The hue is limited, never wrapped: 1.3 acts as 1 (red).
    HSLToRGB(1.3, 1, 0.5, r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{255, 0, 0}));
    HSLToRGB(0.5, 0, 0.25, r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{63, 63, 63}));  // Trunc(63.75)
}

// Every one of the 2^24 colours: HSL gives its colour back up to the one that Trunc
// loses; HSV's 0 … 99 steps (255/99 each) and truncated degrees keep each channel
// within 4, and a second trip moves no channel by more than 3 again.
TEST(ColorSpace, RoundTripsOverEveryColour)
{
    int worstHsl = 0, worstHsv = 0, unstable = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                double h, s, l;
                RGBToHSL(r, g, b, h, s, l);
                int r2, g2, b2;
                HSLToRGB(h, s, l, r2, g2, b2);
                worstHsl = std::max({worstHsl, std::abs(r - r2), std::abs(g - g2), std::abs(b - b2)});
                int hh, ss, vv;
                RGBToHSV(r, g, b, hh, ss, vv);
                HSVToRGB(hh, ss, vv, r2, g2, b2);
                worstHsv = std::max({worstHsv, std::abs(r - r2), std::abs(g - g2), std::abs(b - b2)});
                int h2, s2, v2, r3, g3, b3;
                RGBToHSV(r2, g2, b2, h2, s2, v2);
                HSVToRGB(h2, s2, v2, r3, g3, b3);
                unstable += std::max({std::abs(r3 - r2), std::abs(g3 - g2), std::abs(b3 - b2)}) > 3;
            }
    EXPECT_LE(worstHsl, 1);
    EXPECT_LE(worstHsv, 4);
    EXPECT_EQ(unstable, 0);
}
