// Catalog entries: size and date texts, packed times and damaged fields.
#include "app/catalog/catalog_entry.h"

#include <gtest/gtest.h>

TEST(CatalogEntry, SizeTexts)
{
    const struct {
        int64_t size;
        const char* text;
    } cases[] = {
        {0, "0 byte  7 x 9"},
        {1023, "1023 byte  7 x 9"},
        {1024, "1 kb  7 x 9"},
        {2047, "1 kb  7 x 9"},
        {1048575, "1023 kb  7 x 9"},
        {1048576, "1 MB  7 x 9"},
        {5 * 1048576 - 1, "4 MB  7 x 9"},
        {int64_t(3) << 32, "12288 MB  7 x 9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CatalogSizeText(c.size, 7, 9), QString::fromLatin1(c.text)) << c.size;
}

// Packed: date (year − 1980) << 9 | month << 5 | day, time hour << 11 | minute << 5 | second / 2.
constexpr int32_t packed(int y, int mo, int d, int h, int mi, int s)
{
    return int32_t(uint32_t((y - 1980) << 9 | mo << 5 | d) << 16 | uint32_t(h << 11 | mi << 5 | s / 2));
}

TEST(CatalogEntry, DateTexts)
{
    const struct {
        int32_t time;
        const char* text;
    } cases[] = {
        {0, ""},
        {packed(1999, 3, 7, 9, 5, 0), "7.3.1999  09:05"},
        {packed(2024, 12, 31, 23, 59, 58), "31.12.2024  23:59"},
        {packed(1980, 1, 1, 0, 0, 0), "1.1.1980  00:00"},
        {packed(2107, 12, 31, 0, 0, 0), "31.12.2107  00:00"},  // sign bit set
        {packed(2001, 2, 29, 0, 0, 0), ""},                    // no such day
        {packed(2001, 13, 1, 0, 0, 0), ""},
        {packed(2001, 0, 1, 0, 0, 0), ""},
        {packed(2001, 1, 0, 0, 0, 0), ""},
        {packed(2001, 1, 1, 24, 0, 0), ""},
        {packed(2001, 1, 1, 0, 60, 0), ""},
        {packed(2001, 1, 1, 0, 0, 60), ""},
        {-1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CatalogDateText(c.time), QString::fromLatin1(c.text)) << c.time;
}

TEST(CatalogEntry, PackingClampsToTheStorableRange)
{
    const struct {
        QDateTime t;
        int32_t expected;
    } cases[] = {
        {QDateTime(QDate(2010, 6, 15), QTime(13, 45, 31)), packed(2010, 6, 15, 13, 45, 30)},
        {QDateTime(QDate(1970, 1, 1), QTime(0, 0)), packed(1980, 1, 1, 0, 0, 0)},
        {QDateTime(QDate(2200, 5, 5), QTime(5, 5)), packed(2107, 12, 31, 23, 59, 58)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PackFileTime(c.t), c.expected) << c.t.toString().toStdString();
        QDateTime back;
        EXPECT_TRUE(UnpackFileTime(c.expected, back));
    }
}

TEST(CatalogEntry, TextRoundTripAndDamagedFields)
{
    TCatalogEntry e;
    e.Path = QStringLiteral("/tmp/ä b.jpg");
    e.Time = packed(2107, 1, 1, 0, 0, 0);
    e.Size = 1048576;
    e.Width = 640;
    e.Height = 480;
    const QByteArray text = e.Text();
    EXPECT_EQ(text, QByteArray("/tmp/\xc3\xa4 b.jpg\r") + QByteArray::number(e.Time) + "\r1048576\r640\r480\r");
    const TCatalogEntry back = TCatalogEntry::FromText(text);
    EXPECT_EQ(back.Path, e.Path);
    EXPECT_EQ(back.Time, e.Time);
    EXPECT_EQ(back.Size, e.Size);
    EXPECT_EQ(back.Width, 640);
    EXPECT_EQ(back.Height, 480);

    EXPECT_EQ(TCatalogEntry::Missing(QStringLiteral("/x")).Text(), QByteArray("/x\r0\r0\r0\r0\r"));

    const struct {
        QByteArray text;
        int32_t time;
        int64_t size;
        int width;
    } damaged[] = {
        {"", 0, 0, 0},
        {"/only/path", 0, 0, 0},
        {"/p\rabc\r-5\r-7\r", 0, 0, 0},
        {"/p\r4294967295\r12\r3\r", -1, 12, 3},
        {"/p\r99999999999\r12\r3\r", 0, 12, 3},
    };
    for (const auto& d : damaged) {
        const TCatalogEntry r = TCatalogEntry::FromText(d.text);
        EXPECT_EQ(r.Time, d.time) << d.text.constData();
        EXPECT_EQ(r.Size, d.size) << d.text.constData();
        EXPECT_EQ(r.Width, d.width) << d.text.constData();
    }
}
