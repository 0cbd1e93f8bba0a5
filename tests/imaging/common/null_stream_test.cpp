// The counting null stream.
#include "imaging/common/null_stream.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NulStream, SizeIsTheLargestPositionReached)
{
    TNulStream s;
    std::vector<char> buf(100, 'x');
    EXPECT_EQ(s.Write(buf.data(), 100), 100);
    EXPECT_EQ(s.Seek(10, soFromBeginning), 10);
    s.WriteBuffer(buf.data(), 5);
    EXPECT_EQ(s.Size(), 100);
    EXPECT_EQ(s.Position(), 15);
    EXPECT_EQ(s.Seek(200, soFromCurrent), 215);
    EXPECT_EQ(s.Size(), 215);
}

TEST(NulStream, SeekFromTheEndCountsBackLikeEveryStream)
{
    TNulStream s;
    s.SetPosition(50);
    EXPECT_EQ(s.Size(), 50);
    EXPECT_EQ(s.Seek(-12, soFromEnd), 38);
    EXPECT_EQ(s.Seek(0, soFromEnd), 50);
    EXPECT_EQ(s.Size(), 50);
    EXPECT_THROW(s.Seek(-51, soFromEnd), EStreamError);
    EXPECT_THROW(s.Seek(-1, soFromBeginning), EStreamError);
}

TEST(NulStream, ReadsCountButDeliverZeros)
{
    TNulStream s;
    char buf[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[3], 0);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(s.Size(), 4);
    EXPECT_EQ(s.Read(buf, -3), 0);
    EXPECT_EQ(s.ReadU32(), 0u);
    EXPECT_EQ(s.Size(), 8);
}

TEST(NulStream, MeasuresAWriterThatPatchesItsHeader)
{
    // Placeholder, body, then back to the header and forward again, as the stream
    // writers with a 12-byte header do.
    TNulStream s;
    const int64_t start = s.Position();
    s.WriteU32(0);
    s.WriteU32(0);
    s.WriteU32(0);
    std::vector<char> body(1000);
    s.WriteBuffer(body.data(), int64_t(body.size()));
    const int64_t end = s.Position();
    s.SetPosition(start);
    s.WriteU32(0x46464954);
    s.WriteU32(0);
    s.WriteU32(uint32_t(end - start - 12));
    s.SetPosition(end);
    EXPECT_EQ(s.Size(), 1012);
}
