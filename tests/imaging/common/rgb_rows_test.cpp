// Red and blue exchanged in rows of every length, into another row and in place, as
// the plain per-pixel rule has it.

#include "imaging/common/rgb_rows.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RgbRows, SwapMatchesThePixelRuleInPlaceAndCopied)
{
    for (int n = 0; n <= 100; ++n) {
        SCOPED_TRACE(n);
        std::vector<uint8_t> row(size_t(3 * n + 1));
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(i * 37 + n);
        std::vector<uint8_t> want = row;  // the byte behind the row stays as it is
        for (int x = 0; x < n; ++x)
            std::swap(want[size_t(3 * x)], want[size_t(3 * x + 2)]);
        std::vector<uint8_t> copy(row.size(), row.back());
        SwapRedBlue(row.data(), copy.data(), n);
        EXPECT_EQ(copy, want);
        SwapRedBlue(row.data(), row.data(), n);
        EXPECT_EQ(row, want);
    }
}
