// Small pixel helpers for the processing tests.
#pragma once
#include "platform/graphics/bitmap.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace proctest {

struct Px {
    int r = 0, g = 0, b = 0;
    bool operator==(const Px&) const = default;
};

inline void Set(TBitmap& bm, int x, int y, Px c)
{
    uint8_t* p = bm.ScanLine(y) + 3 * x;
    p[0] = uint8_t(c.b);
    p[1] = uint8_t(c.g);
    p[2] = uint8_t(c.r);
}

inline Px Get(const TBitmap& bm, int x, int y)
{
    const uint8_t* p = bm.ScanLine(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

inline bool Bit(const TBitmap& bm, int x, int y) { return bm.ScanLine(y)[x >> 3] & (0x80 >> (x & 7)); }

inline void SetBit(TBitmap& bm, int x, int y, bool on)
{
    uint8_t& b = bm.ScanLine(y)[x >> 3];
    if (on)
        b |= uint8_t(0x80 >> (x & 7));
    else
        b &= uint8_t(~(0x80 >> (x & 7)));
}

// A 24-bit image whose pixel (x, y) has a colour derived from x, y and a seed.
inline TBitmap Pattern(int w, int h, int seed = 0)
{
    TBitmap bm(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(bm, x, y,
                {(x * 37 + y * 11 + seed) & 255, (x * 5 + y * 71 + 3 * seed) & 255, (x * y + 7 * seed) & 255});
    return bm;
}

inline TBitmap Filled(int w, int h, Px c)
{
    TBitmap bm(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(bm, x, y, c);
    return bm;
}

inline bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            if (a.PixelFormat() == pf1bit) {
                if (Bit(a, x, y) != Bit(b, x, y))
                    return false;
            } else if (!(Get(a, x, y) == Get(b, x, y))) {
                return false;
            }
        }
    return true;
}

inline uint32_t U32(const QByteArray& d, int off)
{
    const auto* p = reinterpret_cast<const uint8_t*>(d.constData()) + off;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void PutU32(QByteArray& d, int off, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        d[off + i] = char((v >> (8 * i)) & 0xFF);
}

inline void PutU16(QByteArray& d, int off, uint16_t v)
{
    d[off] = char(v & 0xFF);
    d[off + 1] = char(v >> 8);
}

// A packed DIB header of 40 bytes with the given fields (the rest zero).
inline QByteArray DibHeader(int32_t w, int32_t h, int bits, uint32_t compression = 0, uint32_t colorsUsed = 0)
{
    QByteArray d(40, '\0');
    PutU32(d, 0, 40);
    PutU32(d, 4, uint32_t(w));
    PutU32(d, 8, uint32_t(h));
    PutU16(d, 12, 1);
    PutU16(d, 14, uint16_t(bits));
    PutU32(d, 16, compression);
    PutU32(d, 32, colorsUsed);
    return d;
}

// Writes a binary PPM of a 24-bit bitmap (for the oracle tools).
inline QByteArray Ppm(const TBitmap& bm)
{
    QByteArray out = QStringLiteral("P6\n%1 %2\n255\n").arg(bm.Width()).arg(bm.Height()).toLatin1();
    for (int y = 0; y < bm.Height(); ++y)
        for (int x = 0; x < bm.Width(); ++x) {
            const Px p = Get(bm, x, y);
            out.append(char(p.r)).append(char(p.g)).append(char(p.b));
        }
    return out;
}

}  // namespace proctest
