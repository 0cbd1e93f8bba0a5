// The value hash set.
#include "imaging/common/hash1.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

TEST(Hash1, OneBucketHoldsEverythingInOneChain)
{
    THash1 h(0);
    EXPECT_EQ(h.BucketCount(), 1);
    int a = 0, b = 0, c = 0;
    EXPECT_TRUE(h.Insert(&a));
    EXPECT_FALSE(h.Insert(&a));
    EXPECT_EQ(h.Count(), 1);
    EXPECT_TRUE(h.Insert(&b));
    EXPECT_TRUE(h.Insert(&c));
    EXPECT_FALSE(h.Insert(&b));
    EXPECT_FALSE(h.Insert(&c));
    EXPECT_FALSE(h.Insert(&a));
    EXPECT_EQ(h.Count(), 3);
}

TEST(Hash1, ValuesSharingTheLowBitsAreKeptApart)
{
    THash1 h(4);
    EXPECT_EQ(h.BucketCount(), 16);
    // 5, 21, 37 share bucket 5.
    EXPECT_TRUE(h.Insert(uintptr_t(5)));
    EXPECT_TRUE(h.Insert(uintptr_t(21)));
    EXPECT_TRUE(h.Insert(uintptr_t(37)));
    EXPECT_FALSE(h.Insert(uintptr_t(21)));
    EXPECT_TRUE(h.Insert(uintptr_t(0)));
    EXPECT_FALSE(h.Insert(uintptr_t(0)));
    EXPECT_EQ(h.Count(), 4);
}

TEST(Hash1, CountsDistinctColoursLikeASet)
{
    THash1 h(13);
    std::set<uint32_t> oracle;
    std::mt19937 rng(7);
    for (int i = 0; i < 50000; ++i) {
        const uint32_t colour = rng() & 0x3F3F3F;  // plenty of repeats
        EXPECT_EQ(h.Insert(uintptr_t(colour)), oracle.insert(colour).second);
    }
    EXPECT_EQ(h.Count(), int(oracle.size()));
}

TEST(Hash1, RefusesABucketCountOutOfRange)
{
    EXPECT_THROW(THash1(-1), ERangeError);
    EXPECT_THROW(THash1(40), ERangeError);
}
