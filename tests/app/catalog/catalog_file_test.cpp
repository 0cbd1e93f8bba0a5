// The catalog file's record layout, round trips and cut or damaged files.
#include "app/catalog/catalog_file.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

#include <gtest/gtest.h>
#include <set>

namespace {

std::vector<TCatalogRecord> sampleRecords()
{
    return {{"/a/b.bmp\r100\r1023\r4\r3\r", QByteArray("\x0a\x05\x01\x08 pcx bytes", 14)},
            {"", ""},
            {QByteArray("/c/\xc3\xa4.png\r0\r0\r0\r0\r"), QByteArray(300, '\xcc')}};
}

QByteArray written(const std::vector<TCatalogRecord>& records, std::vector<int64_t>* boundaries = nullptr)
{
    TMemoryStream s;
    if (boundaries)
        boundaries->push_back(0);
    for (const TCatalogRecord& r : records) {
        WriteCatalogRecord(s, r);
        if (boundaries)
            boundaries->push_back(s.Position());
    }
    return s.Bytes();
}

}  // namespace

TEST(CatalogFile, RecordLayoutIsLengthTextFrameData)
{
    const QByteArray bytes = written({{"ab", "xyz"}});
    const QByteArray expected("\x02\x00\x00\x00"
                              "ab"
                              "PCX2"
                              "\x00\x00\x00\x00"
                              "\x03\x00\x00\x00"
                              "xyz",
                              4 + 2 + 12 + 3);
    EXPECT_EQ(bytes, expected);
}

TEST(CatalogFile, WriteReadWriteIsByteIdentical)
{
    const QByteArray first = written(sampleRecords());
    TMemoryStream in(first);
    const std::vector<TCatalogRecord> read = ReadCatalogRecords(in);
    ASSERT_EQ(read.size(), 3u);
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].Text, sampleRecords()[i].Text);
        EXPECT_EQ(read[i].Thumbnail, sampleRecords()[i].Thumbnail);
    }
    EXPECT_EQ(written(read), first);
}

TEST(CatalogFile, EmptyFileIsAnEmptyCatalog)
{
    TMemoryStream in;
    EXPECT_TRUE(ReadCatalogRecords(in).empty());
}

// Cut at every byte: at a record boundary the cut file is a shorter catalog; anywhere
// else it fails with a read error and the whole records before the cut stay.
TEST(CatalogFile, CutAnywhereKeepsTheWholeRecordsBefore)
{
    std::vector<int64_t> boundaries;
    const QByteArray full = written(sampleRecords(), &boundaries);
    const std::set<int64_t> atBoundary(boundaries.begin(), boundaries.end());
    for (int64_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE(cut);
        TMemoryStream in(full.left(cut));
        std::vector<TCatalogRecord> taken;
        bool failed = false;
        try {
            ReadCatalogRecords(in, [&](TCatalogRecord&& r) { taken.push_back(std::move(r)); });
        } catch (const EReadError& e) {
            failed = true;
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("damaged")));
        }
        EXPECT_EQ(failed, !atBoundary.count(cut));
        size_t whole = 0;
        while (whole + 1 < boundaries.size() && boundaries[whole + 1] <= cut)
            ++whole;
        EXPECT_EQ(taken.size(), whole);
    }
}

struct DamageCase {
    const char* name;
    int offset;  // within the second record
    QByteArray bytes;
};

TEST(CatalogFile, LengthsBeyondTheBytesLeftFail)
{
    const QByteArray good = written({{"one", "111"}, {"two", "222"}});
    const int second = 4 + 3 + 12 + 3;
    const DamageCase cases[] = {
        {"negative text length", 0, QByteArray("\xff\xff\xff\xff", 4)},
        {"huge text length", 0, QByteArray("\xff\xff\xff\x7f", 4)},
        {"text length one past the end", 0, QByteArray("\x10\x00\x00\x00", 4)},
        {"huge thumbnail length", 4 + 3 + 8, QByteArray("\xff\xff\xff\xff", 4)},
        {"thumbnail length one past the end", 4 + 3 + 8, QByteArray("\x04\x00\x00\x00", 4)},
        {"wrong frame tag", 4 + 3, QByteArray("TIFF", 4)},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bad = good;
        bad.replace(second + c.offset, c.bytes.size(), c.bytes);
        TMemoryStream in(bad);
        std::vector<TCatalogRecord> taken;
        EXPECT_THROW(ReadCatalogRecords(in, [&](TCatalogRecord&& r) { taken.push_back(std::move(r)); }), EReadError);
        ASSERT_EQ(taken.size(), 1u);
        EXPECT_EQ(taken[0].Text, QByteArray("one"));
    }
}
