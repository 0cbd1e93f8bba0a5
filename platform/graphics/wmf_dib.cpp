// Decoding the bitmaps embedded in metafile records.
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/graphics/pixel_channels.h"
#include "platform/graphics/wmf_player.h"

#include <algorithm>

namespace {

[[noreturn]] void bad(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

constexpr int64_t kMaxDibPixels = int64_t(1) << 26;

}  // namespace

QImage DecodeWmfDib(const uint8_t* d, size_t n, int rows, size_t* pixelEnd)
{
    if (n < 12)
        bad("bitmap header is truncated");
    const uint32_t hs = le32(d);
    int64_t w, h;
    int bits;
    uint32_t compression = 0, used = 0;
    int entry = 4;
    if (hs == 12) {
        w = le16(d + 4);
        h = le16(d + 6);
        bits = le16(d + 10);
        entry = 3;
    } else {
        if (hs < 40 || hs > n)
            bad("bitmap header has a bad size");
        w = int32_t(le32(d + 4));
        h = int32_t(le32(d + 8));
        bits = le16(d + 14);
        compression = le32(d + 16);
        used = le32(d + 32);
    }
    const bool topDown = h < 0;
    if (topDown)
        h = -h;
    if (rows > 0)
        h = std::min<int64_t>(h, rows);
    if (w <= 0 || h <= 0 || w * h > kMaxDibPixels)
        bad("bitmap size out of range");
    if (compression != 0 && compression != 3)
        bad("bitmap compression not supported");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        bad("bitmap bit depth not supported");
    size_t pos = hs;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == 3) {
        if (bits != 16 && bits != 32)
            bad("bit fields need 16 or 32 bits");
        if (hs >= 52) {
            masks[0] = le32(d + 40), masks[1] = le32(d + 44), masks[2] = le32(d + 48);
        } else {
            if (n - pos < 12)
                bad("bitmap masks are truncated");
            masks[0] = le32(d + pos), masks[1] = le32(d + pos + 4), masks[2] = le32(d + pos + 8);
            pos += 12;
        }
    }
    QRgb pal[256];
    std::fill(std::begin(pal), std::end(pal), qRgb(0, 0, 0));
    if (bits <= 8) {
        const uint32_t max = 1u << bits;
        if (used > max)
            bad("colour table is larger than the bit depth allows");
        const uint32_t count = used ? used : max;
        if (size_t(count) * size_t(entry) > n - pos)
            bad("colour table runs past the bitmap");
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = d + pos + size_t(entry) * i;
            pal[i] = qRgb(e[2], e[1], e[0]);
        }
        pos += size_t(count) * size_t(entry);
    } else if (used > 0 && hs != 12) {
        // an optional table in front of true-colour pixels
        if (size_t(used) * 4 > n - pos)
            bad("colour table runs past the bitmap");
        pos += size_t(used) * 4;
    }
    const size_t rowBytes = (size_t(w) * size_t(bits) + 31) / 32 * 4;
    if (rowBytes * size_t(h) > n - pos)
        bad("bitmap pixel data are truncated");
    const uint8_t* px = d + pos;
    if (pixelEnd)
        *pixelEnd = pos + rowBytes * size_t(h);

    QImage img(int(w), int(h), QImage::Format_ARGB32);
    if (img.isNull())
        throw EOutOfMemory(QStringLiteral("Not enough memory for a bitmap"));
    const TMaskChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int r = 0; r < h; ++r) {
        const uint8_t* s = px + rowBytes * size_t(r);
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(topDown ? r : int(h) - 1 - r));
        for (int x = 0; x < w; ++x) {
            switch (bits) {
            case 1: out[x] = pal[(s[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: out[x] = pal[(x & 1) ? s[x >> 1] & 15 : s[x >> 1] >> 4]; break;
            case 8: out[x] = pal[s[x]]; break;
            case 16: {
                const uint32_t v = le16(s + 2 * x);
                out[x] = qRgb(red(v), green(v), blue(v));
                break;
            }
            case 24: out[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]); break;
            case 32: {
                const uint32_t v = le32(s + 4 * x);
                out[x] = qRgba(red(v), green(v), blue(v), s[4 * x + 3]);
                break;
            }
            }
        }
    }
    return img;
}
