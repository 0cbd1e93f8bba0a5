// Reading and widening colour channels from bit masks.
#include "platform/graphics/pixel_channels.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(WidenChannel, RepeatsTheBitsOfEveryWidth)
{
    struct Case {
        uint32_t value;
        int bits;
        int widened;
    } cases[] = {
        {0, 1, 0},    {1, 1, 255},  {1, 2, 85},    {2, 2, 170},    {5, 3, 182},     {10, 4, 170},
        {15, 4, 255}, {1, 5, 8},    {16, 5, 132},  {30, 5, 247},   {31, 5, 255},    {33, 6, 134},
        {63, 6, 255}, {64, 7, 129}, {200, 8, 200}, {512, 10, 128}, {1023, 10, 255}, {7, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WidenChannel(c.value, c.bits), c.widened) << c.value << " of " << c.bits << " bits";
}

TEST(WidenChannel, EndsAreExactAndEveryValueWithinOneOfTheExactScale)
{
    for (int bits = 1; bits <= 8; ++bits) {
        const uint32_t top = (1u << bits) - 1;
        EXPECT_EQ(WidenChannel(0, bits), 0) << bits;
        EXPECT_EQ(WidenChannel(top, bits), 255) << bits;
        int previous = -1;
        for (uint32_t v = 0; v <= top; ++v) {
            const int w = WidenChannel(v, bits);
            EXPECT_GT(w, previous) << v << " of " << bits;
            EXPECT_LE(std::abs(w - v * 255.0 / top), 1.0) << v << " of " << bits;
            previous = w;
        }
    }
}

TEST(MaskChannel, ReadsTheMaskSpanAndWidensIt)
{
    const TMaskChannel red565(0xF800), green565(0x07E0), none(0), wide(0x000FFC00);
    EXPECT_EQ(red565.Bits(), 5);
    EXPECT_EQ(green565.Bits(), 6);
    EXPECT_EQ(red565(0xFFFF), 255);
    EXPECT_EQ(green565(0x0020), 4);
    EXPECT_EQ(none(0xFFFFFFFF), 0);
    EXPECT_EQ(wide(512u << 10), 128);
}
