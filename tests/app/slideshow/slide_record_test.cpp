// The slide-show option block's field offsets.
#include "app/options/option_blocks.h"
#include "platform/core/streams.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const tslideshowoptions& o)
{
    TMemoryStream m;
    o.Write(m);
    return m.Bytes();
}

// Every field of the block at its stored offset, with a value no other field shares.
struct Field {
    int offset;
    int size;  // 1 or 4
    int64_t value;
    void (*set)(tslideshowoptions&, int64_t);
};

#define I32(off, member, v) \
    Field \
    { \
        off, 4, v, [](tslideshowoptions& o, int64_t x) { o.member = int32_t(x); } \
    }
#define U8(off, member, v) \
    Field \
    { \
        off, 1, v, [](tslideshowoptions& o, int64_t x) { o.member = uint8_t(x); } \
    }

const Field kFields[] = {
    I32(0, sound, 2),
    I32(4, window, -7),
    I32(8, fixedwidth, 0x01020304),
    I32(12, fixedheight, 777),
    I32(16, order, 1),
    I32(20, scaling, 0x7FFFFFFF),
    I32(24, filter, 6),
    I32(28, seconds, 90),
    I32(32, listsort, 2),
    I32(36, source, 1),
    I32(40, dirsort, 0x11223344),
    I32(44, fontsize, 20),
    U8(48, nexttimed, 3),
    U8(49, nextonkey, 4),
    U8(50, hidemouse, 5),
    U8(51, repeat, 6),
    U8(52, subdirs, 7),
    U8(53, hidetaskbar, 8),
    U8(54, showtext, 9),
    U8(823, types[0], 10),
    U8(824, types[1], 11),
    U8(825, types[2], 12),
    U8(826, types[3], 13),
    U8(827, types[4], 14),
    U8(828, types[5], 15),
    U8(829, types[6], 16),
    U8(830, types[7], 17),
    U8(831, types[8], 18),
    U8(832, types[9], 19),
};

const std::pair<int, TShortString tslideshowoptions::*> kStrings[] = {
    {55, &tslideshowoptions::soundfile},
    {311, &tslideshowoptions::directory},
    {567, &tslideshowoptions::lastfolder},
};

}  // namespace

TEST(SlideShowRecord, EveryFieldLandsAtItsOffsetAndReadsBack)
{
    tslideshowoptions o;
    QByteArray expected(836, '\0');
    for (const Field& f : kFields) {
        f.set(o, f.value);
        for (int i = 0; i < f.size; ++i)
            expected[f.offset + i] = char((uint64_t(f.value) >> (8 * i)) & 0xFF);
    }
    const QString texts[] = {QStringLiteral("/musik/hintergrund ö.wav"), QStringLiteral("/bilder/urlaub"),
                             QStringLiteral("/zuletzt/€/")};
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE((o.*kStrings[k].second).Assign(texts[k]));
        const QByteArray utf8 = texts[k].toUtf8();
        expected[kStrings[k].first] = char(utf8.size());
        for (int i = 0; i < utf8.size(); ++i)
            expected[kStrings[k].first + 1 + i] = utf8[i];
    }
    const QByteArray bytes = bytesOf(o);
    ASSERT_EQ(bytes.size(), tslideshowoptions::Size);
    for (int i = 0; i < 836; ++i)
        ASSERT_EQ(uint8_t(bytes[i]), uint8_t(expected[i])) << "offset " << i;

    TMemoryStream m;
    m.WriteBuffer(bytes.constData(), bytes.size());
    m.SetPosition(0);
    tslideshowoptions back;
    back.Read(m);
    EXPECT_EQ(back, o);
    EXPECT_EQ(m.Position(), 836);
}
