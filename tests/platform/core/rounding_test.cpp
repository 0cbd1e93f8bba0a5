// Rounding halves to even, truncation and saturation.
#include "platform/core/rounding.h"

#include <gtest/gtest.h>
#include <limits>

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(2.5000001), 3);
}

TEST(Rounding, TruncDropsTheFractionTowardZero)
{
    EXPECT_EQ(Trunc(1.99), 1);
    EXPECT_EQ(Trunc(-1.99), -1);
    EXPECT_EQ(Trunc(0.0), 0);
}

TEST(Rounding, OutOfRangeValuesSaturateInsteadOfOverflowing)
{
    EXPECT_EQ(Round(1e30), 2147483647);
    EXPECT_EQ(Round(-1e30), -2147483647 - 1);
    EXPECT_EQ(Trunc(std::nan("")), 0);
    EXPECT_EQ(Round64(3e9 + 0.5), int64_t(3000000000));
    EXPECT_EQ(Trunc64(-1e300), std::numeric_limits<int64_t>::min());
}
