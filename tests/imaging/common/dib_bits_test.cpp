// DIB bit masks, row sizes and pixel-format bits.
#include "imaging/common/dib_bits.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DibBits, MaskBitCountCountsTheRunFromTheLowestSetBit)
{
    EXPECT_EQ(MaskBitCount(0x07E0), 6);  // green of 5-6-5
    EXPECT_EQ(MaskBitCount(0xF800), 5);
    EXPECT_EQ(MaskBitCount(0x001F), 5);
    EXPECT_EQ(MaskBitCount(0x7C00), 5);  // red of 5-5-5
    EXPECT_EQ(MaskBitCount(0x00FF0000), 8);
    EXPECT_EQ(MaskBitCount(0), 0);
    EXPECT_EQ(MaskBitCount(0x80000000u), 1);
    EXPECT_EQ(MaskBitCount(0xFFFFFFFFu), 32);
    EXPECT_EQ(MaskBitCount(0x0F0F), 4);  // only the first run counts
}

TEST(DibBits, RowBytesArePaddedToFourBytes)
{
    EXPECT_EQ(DIBRowBytes(1, 1), 4);
    EXPECT_EQ(DIBRowBytes(3, 24), 12);
    EXPECT_EQ(DIBRowBytes(5, 24), 16);
    EXPECT_EQ(DIBRowBytes(32, 1), 4);
    EXPECT_EQ(DIBRowBytes(33, 1), 8);
    EXPECT_EQ(DIBRowBytes(7, 4), 4);
    EXPECT_EQ(DIBRowBytes(9, 4), 8);
    EXPECT_EQ(DIBRowBytes(3, 8), 4);
    EXPECT_EQ(DIBRowBytes(3, 16), 8);
    EXPECT_EQ(DIBRowBytes(3, 32), 12);
    EXPECT_EQ(DIBRowBytes(0, 24), 0);
}

TEST(DibBits, RowBytesOfHugeWidthsDoNotOverflow)
{
    // 2^31 − 1 pixels of 32 bits: 8 GiB per row, beyond 32-bit arithmetic.
    EXPECT_EQ(DIBRowBytes(std::numeric_limits<int32_t>::max(), 32), int64_t(std::numeric_limits<int32_t>::max()) * 4);
    EXPECT_EQ(DIBRowBytes(100000, 24), 300000);
    EXPECT_EQ(DIBRowBytes(-5, 24), 0);
    EXPECT_EQ(DIBRowBytes(5, -24), 0);
    EXPECT_EQ(DIBRowBytes(std::numeric_limits<int64_t>::max(), 32), 0);
}

TEST(DibBits, PixelFormatBits)
{
    EXPECT_EQ(PixelFormatBits(pfDevice), 0);
    EXPECT_EQ(PixelFormatBits(pf1bit), 1);
    EXPECT_EQ(PixelFormatBits(pf4bit), 4);
    EXPECT_EQ(PixelFormatBits(pf8bit), 8);
    EXPECT_EQ(PixelFormatBits(pf15bit), 15);
    EXPECT_EQ(PixelFormatBits(pf16bit), 16);
    EXPECT_EQ(PixelFormatBits(pf24bit), 24);
    EXPECT_EQ(PixelFormatBits(pf32bit), 32);
    EXPECT_EQ(PixelFormatBits(pfCustom), 0);
}

TEST(DibBits, ReverseBits)
{
    uint8_t b = 0x01;
    ReverseBits8(b);
    EXPECT_EQ(b, 0x80);
    b = 0xB4;  // 1011 0100
    ReverseBits8(b);
    EXPECT_EQ(b, 0x2D);  // 0010 1101
    uint32_t w = 0x00000001u;
    ReverseBits32(w);
    EXPECT_EQ(w, 0x80000000u);
    w = 0x12345678u;
    ReverseBits32(w);
    EXPECT_EQ(w, 0x1E6A2C48u);
    ReverseBits32(w);
    EXPECT_EQ(w, 0x12345678u);
}

TEST(DibBits, PowerOfTwoCount)
{
    EXPECT_EQ(PowerOfTwoCount(1, 1), 2);
    EXPECT_EQ(PowerOfTwoCount(4, 1), 16);
    EXPECT_EQ(PowerOfTwoCount(8, 1), 256);
    EXPECT_EQ(PowerOfTwoCount(8, 3), int64_t(1) << 24);
    EXPECT_EQ(PowerOfTwoCount(8, 4), int64_t(1) << 32);
    EXPECT_EQ(PowerOfTwoCount(0, 5), 1);
    EXPECT_EQ(PowerOfTwoCount(16, 4), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(PowerOfTwoCount(-1, 3), 0);
}
