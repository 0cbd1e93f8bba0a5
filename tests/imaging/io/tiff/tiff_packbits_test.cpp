// PackBits strips unpacked straight into the bitmap's rows: runs that go on from one
// row into the next, rows that do not fill whole words of the bitmap, and data cut off
// midway, for colour and for black and white, against the plain unpacking rule.

#include "imaging/io/tiff/tiff.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

namespace {

// The textbook rule over a whole strip: n ≥ 0 copies n + 1 bytes, −127 … −1 repeat the
// next byte 1 − n times, −128 does nothing.
QByteArray unpack(const QByteArray& in)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size();) {
        const int c = int8_t(in[i++]);
        if (c >= 0) {
            out += in.mid(i, c + 1);
            i += c + 1;
        } else if (c != -128 && i < in.size()) {
            out += QByteArray(1 - c, in[i++]);
        }
    }
    return out;
}

// Packs without regard to rows: long repeats and literals run across row ends.
QByteArray pack(const QByteArray& raw)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype run = 1;
        while (i + run < raw.size() && run < 128 && raw[i + run] == raw[i])
            ++run;
        if (run >= 3) {
            out += char(1 - run);
            out += raw[i];
            i += run;
            continue;
        }
        qsizetype lit = 1;
        while (i + lit < raw.size() && lit < 128 &&
               !(i + lit + 2 < raw.size() && raw[i + lit] == raw[i + lit + 1] && raw[i + lit] == raw[i + lit + 2]))
            ++lit;
        out += char(lit - 1);
        out += raw.mid(i, lit);
        i += lit;
    }
    out += char(-128);  // a no-op, which readers skip
    return out;
}

// One strip of all rows, PackBits; RGB or 1-bit black-is-zero.
QByteArray packedTiff(int w, int h, bool rgb, const QByteArray& data)
{
    constexpr int kEntries = 10;
    const uint32_t dirAt = 8, bitsAt = dirAt + 2 + 12 * kEntries + 4, dataAt = bitsAt + 6;
    QByteArray b(int(dataAt), '\0');
    auto* p = reinterpret_cast<uint8_t*>(b.data());
    p[0] = p[1] = 'I';
    putLe16(p + 2, 42);
    putLe32(p + 4, dirAt);
    putLe16(p + dirAt, kEntries);
    const uint32_t entries[kEntries][4] = {
        {256, 4, 1, uint32_t(w)},
        {257, 4, 1, uint32_t(h)},
        {258, 3, rgb ? 3u : 1u, rgb ? bitsAt : 1u},
        {259, 3, 1, 32773},
        {262, 3, 1, rgb ? 2u : 1u},
        {273, 4, 1, dataAt},
        {277, 3, 1, rgb ? 3u : 1u},
        {278, 4, 1, uint32_t(h)},
        {279, 4, 1, uint32_t(data.size())},
        {284, 3, 1, 1},
    };
    for (int i = 0; i < kEntries; ++i) {
        uint8_t* e = p + dirAt + 2 + 12 * i;
        putLe16(e, uint16_t(entries[i][0]));
        putLe16(e + 2, uint16_t(entries[i][1]));
        putLe32(e + 4, entries[i][2]);
        entries[i][1] == 3 && entries[i][2] == 1 ? putLe16(e + 8, uint16_t(entries[i][3]))
                                                 : putLe32(e + 8, entries[i][3]);
    }
    for (int i = 0; i < 3; ++i)
        putLe16(p + bitsAt + 2 * i, 8);
    return b + data;
}

TEST(TiffPackBits, RowsUnpackedInPlaceMatchThePlainRule)
{
    struct Case {
        int w;
        bool rgb;
        double keep;  // share of the packed data left in the file
    };
    const Case cases[] = {
        {12, true, 1.0},  {7, true, 1.0},  {13, true, 1.0}, {7, true, 0.6},   {13, true, 0.3},
        {40, false, 1.0}, {9, false, 1.0}, {9, false, 0.5}, {21, false, 0.8},
    };
    constexpr int kH = 9;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.w << (c.rgb ? " rgb" : " 1-bit") << " keep " << c.keep);
        const int rowBytes = c.rgb ? 3 * c.w : (c.w + 7) / 8;
        // Repeats of 50 bytes cross every row end; the odd bytes between them make literals.
        QByteArray raw(rowBytes * kH, '\0');
        for (qsizetype i = 0; i < raw.size(); ++i)
            raw[i] = char((i / 50) % 3 == 2 ? i * 37 + 5 : (i / 50) * 11);
        QByteArray packed = pack(raw);
        packed.truncate(qsizetype(packed.size() * c.keep));
        const QByteArray got = unpack(packed);
        TMemoryStream ms(packedTiff(c.w, kH, c.rgb, packed));
        TBitmap bmp;
        TIOParamsVals params;
        TProgressRec progress;
        ASSERT_EQ(ReadTIFFStream(ms, bmp, params, progress), 1);
        ASSERT_EQ(bmp.Width(), c.w);
        ASSERT_EQ(bmp.Height(), kH);
        for (int r = 0; r < kH; ++r) {
            const bool whole = got.size() >= qsizetype(rowBytes) * (r + 1);
            const uint8_t* row = bmp.ScanLine(r);
            for (int i = 0; i < rowBytes; ++i) {
                // Red and blue change places; rows that did not come out whole are white.
                const int from = c.rgb ? i - i % 3 + 2 - i % 3 : i;
                const int want = whole ? uint8_t(raw[qsizetype(r) * rowBytes + from]) : 0xFF;
                const int mask = !c.rgb && i == rowBytes - 1 && (c.w & 7) ? 0xFF00 >> (c.w & 7) : 0xFF;
                ASSERT_EQ(row[i] & mask, want & mask) << "row " << r << " byte " << i;
            }
        }
    }
}

}  // namespace
