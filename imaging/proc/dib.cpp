// Packing bitmaps into device-independent bitmaps and decoding them again.
#include "imaging/proc/dib.h"

#include "imaging/common/dib_bits.h"
#include "imaging/proc/bitmap_routines.h"
#include "platform/core/exceptions.h"
#include "platform/graphics/pixel_channels.h"
#include "platform/core/little_endian.h"
#include "platform/graphics/pixel_memory.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int kHeaderSize = 40;
constexpr size_t kFileHeaderSize = 14;


[[noreturn]] void bad(const char* why)
{
    throw EInvalidGraphic(QStringLiteral("Invalid DIB: %1").arg(QLatin1String(why)));
}

struct Rgb {
    uint8_t b, g, r;
};

bool isBlack(const Rgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; }
bool isWhite(const Rgb& c) { return c.r == 255 && c.g == 255 && c.b == 255; }

int decode(const uint8_t* hdr, size_t hlen, const uint8_t* bitsPtr, size_t bitsLen, bool packed, TBitmap* bitmap)
{
    if (!hdr || hlen < size_t(kHeaderSize))
        bad("the header is incomplete");
    const uint32_t headerSize = le32(hdr);
    if (headerSize < uint32_t(kHeaderSize) || headerSize > hlen)
        bad("bad header size");
    const int32_t width = int32_t(le32(hdr + 4));
    const int32_t height = int32_t(le32(hdr + 8));
    if (width <= 0)
        bad("bad width");
    if (height == 0 || height == INT_MIN)
        bad("bad height");
    const bool topDown = height < 0;
    const int rows = topDown ? -height : height;
    const int bits = le16(hdr + 14);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        bad("unsupported bits per pixel");
    const uint32_t compression = le32(hdr + 16);
    // The BMP file reader's set, less run-length data (a packed DIB holds whole rows).
    if (!DIBCodingSupported(bits, compression, false))
        bad("unsupported compression");
    const uint32_t colorsUsed = le32(hdr + 32);

    size_t pos = headerSize;
    const uint8_t* data = bitsPtr;
    size_t dataLen = bitsLen;

    // Bit fields: inside a long header, else right after a 40-byte one (in the header
    // block, or at the start of separate pixel data).
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == 3) {
        if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = le32(hdr + 40 + 4 * i);
        } else if (hlen - pos >= 12) {
            for (int i = 0; i < 3; ++i)
                masks[i] = le32(hdr + pos + 4 * i);
            pos += 12;
        } else if (!packed && data && dataLen >= 12) {
            for (int i = 0; i < 3; ++i)
                masks[i] = le32(data + 4 * i);
            data += 12;
            dataLen -= 12;
        } else {
            bad("the bit-field masks are missing");
        }
        if (masks[0] == 0 || masks[1] == 0 || masks[2] == 0)
            bad("a bit-field mask is zero");
    }

    // Colour table: 2^bits entries when colours-used is 0; never more than 2^bits.
    uint64_t entries = colorsUsed;
    if (bits <= 8) {
        const uint64_t most = uint64_t(1) << bits;
        if (entries == 0)
            entries = most;
        if (entries > most)
            bad("the colour table is too large");
    }
    if (entries * 4 > hlen - pos)
        bad("the colour table lies outside the block");
    std::vector<Rgb> table;
    if (bits <= 8) {
        table.resize(size_t(entries));
        for (size_t i = 0; i < table.size(); ++i) {
            const uint8_t* e = hdr + pos + 4 * i;
            table[i] = Rgb{e[0], e[1], e[2]};
        }
    }
    pos += size_t(entries) * 4;

    if (packed) {
        data = hdr + pos;
        dataLen = hlen - pos;
    }
    if (!data)
        bad("the pixel data are missing");
    const uint64_t rowBytes = (uint64_t(width) * uint64_t(bits) + 31) / 32 * 4;
    if (rowBytes > dataLen / uint64_t(rows))
        bad("the pixel data lie outside the block");

    auto srcRow = [&](int y) {
        // Row y counted from the top of the image.
        const int stored = topDown ? y : rows - 1 - y;
        return data + size_t(stored) * size_t(rowBytes);
    };

    if (bits == 1) {
        const Rgb c0 = table[0];
        const bool single = table.size() == 1;
        const Rgb c1 = single ? (isBlack(c0) ? Rgb{255, 255, 255} : Rgb{0, 0, 0}) : table[1];
        if (single) {
            for (int y = 0; y < rows; ++y) {
                const uint8_t* s = srcRow(y);
                for (int x = 0; x < width; ++x)
                    if (s[x >> 3] & (0x80 >> (x & 7)))
                        bad("a colour index lies outside the table");
            }
        }
        const bool mono = isBlack(c0) && isWhite(c1);
        const bool inverse = isWhite(c0) && isBlack(c1);
        if (mono || inverse) {
            TBitmap out(width, rows, pf1bit);
            const size_t n = size_t((width + 7) / 8);
            for (int y = 0; y < rows; ++y) {
                uint8_t* d = out.ScanLine(y);
                std::memcpy(d, srcRow(y), n);
                if (inverse)
                    for (size_t i = 0; i < n; ++i)
                        d[i] = uint8_t(~d[i]);
            }
            bitmap->Assign(out);
            return bits;
        }
    }

    TBitmap out(width, rows, pf24bit);
    auto put = [](uint8_t* d, const Rgb& c) {
        d[0] = c.b;
        d[1] = c.g;
        d[2] = c.r;
    };
    const TMaskChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* s = srcRow(y);
        uint8_t* d = out.ScanLine(y);
        switch (bits) {
        case 1:
            for (int x = 0; x < width; ++x)
                put(d + 3 * x, table[(s[x >> 3] >> (7 - (x & 7))) & 1]);
            break;
        case 4:
            for (int x = 0; x < width; ++x) {
                const unsigned i = (x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4);
                if (i >= table.size())
                    bad("a colour index lies outside the table");
                put(d + 3 * x, table[i]);
            }
            break;
        case 8:
            for (int x = 0; x < width; ++x) {
                if (s[x] >= table.size())
                    bad("a colour index lies outside the table");
                put(d + 3 * x, table[s[x]]);
            }
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const uint32_t p = le16(s + 2 * x);
                put(d + 3 * x, Rgb{blue(p), green(p), red(p)});
            }
            break;
        case 24: std::memcpy(d, s, size_t(width) * 3); break;
        case 32:
            if (compression == 0) {
                for (int x = 0; x < width; ++x)
                    put(d + 3 * x, Rgb{s[4 * x], s[4 * x + 1], s[4 * x + 2]});
            } else {
                for (int x = 0; x < width; ++x) {
                    const uint32_t p = le32(s + 4 * x);
                    put(d + 3 * x, Rgb{blue(p), green(p), red(p)});
                }
            }
            break;
        }
    }
    bitmap->Assign(out);
    return bits;
}

}  // namespace

QByteArray NewPackedDIB(int width, int height, int bitsPerPixel, bool zeroRows)
{
    if (width <= 0 || height <= 0 || (bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24))
        return {};
    const uint64_t r = (uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32 * 4;
    const uint64_t entries = bitsPerPixel <= 8 ? uint64_t(1) << bitsPerPixel : 0;
    const uint64_t size = kHeaderSize + entries * 4 + r * uint64_t(height) + 4;
    if (size > uint64_t(INT_MAX))
        return {};
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    uint8_t* p = reinterpret_cast<uint8_t*>(out.data());
    AdviseLargePages(p, size_t(size));
    const size_t head = size_t(kHeaderSize + entries * 4);
    std::memset(p, 0, head);
    std::memset(p + size - 4, 0, 4);
    if (zeroRows)
        std::memset(p + head, 0, size - head - 4);
    putLe32(p, kHeaderSize);
    putLe32(p + 4, uint32_t(width));
    putLe32(p + 8, uint32_t(height));
    putLe16(p + 12, 1);
    putLe16(p + 14, uint16_t(bitsPerPixel));
    // Entry i of the table is grey i; the 1-bit table is black, then white as FF FF FF FF.
    if (bitsPerPixel == 1)
        std::memset(p + kHeaderSize + 4, 0xFF, 4);
    else
        for (uint64_t i = 0; i < entries; ++i)
            std::memset(p + kHeaderSize + 4 * i, int(i), 3);
    return out;
}

uint8_t* DIBPixels(QByteArray& dib)
{
    uint8_t* p = reinterpret_cast<uint8_t*>(dib.data());
    const int bits = le16(p + 14);
    return p + kHeaderSize + (bits <= 8 ? (size_t(1) << bits) * 4 : 0);
}

QByteArray BitmapAreaToDIB(const TBitmap* bitmap, int x1, int y1, int x2, int y2)
{
    if (!bitmap || bitmap->Empty())
        return {};
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, bitmap->Width() - 1);
    y2 = std::min(y2, bitmap->Height() - 1);
    if (x2 < x1 || y2 < y1)
        return {};
    const TBitmap* src = bitmap;
    TBitmap converted;
    if (bitmap->PixelFormat() != pf1bit && bitmap->PixelFormat() != pf24bit) {
        converted = *bitmap;
        converted.SetPixelFormat(pf24bit);
        src = &converted;
    }
    const bool mono = src->PixelFormat() == pf1bit;
    const int bits = mono ? 1 : 24;
    const int w = x2 - x1 + 1, h = y2 - y1 + 1;
    const size_t r = (size_t(w) * size_t(bits) + 31) / 32 * 4;
    QByteArray out = NewPackedDIB(w, h, bits);
    if (out.isEmpty())
        throw EOutOfMemory(QStringLiteral("Out of memory"));
    uint8_t* rowsStart = DIBPixels(out);
    for (int i = 0; i < h; ++i) {
        const uint8_t* s = src->ScanLine(y2 - i);
        uint8_t* d = rowsStart + size_t(i) * r;
        if (mono)
            CopyBits(d, s, 0, w, x1);
        else
            std::memcpy(d, s + size_t(x1) * 3, size_t(w) * 3);
    }
    return out;
}

QByteArray BitmapRectToDIB(const TBitmap* bitmap, int x1, int y1, int x2, int y2)
{
    if (!bitmap || bitmap->Empty())
        return {};
    if (x2 == 0)
        x2 = bitmap->Width() - 1;
    if (y2 == 0)
        y2 = bitmap->Height() - 1;
    return BitmapAreaToDIB(bitmap, x1, y1, x2, y2);
}

int DIBToBitmap(const uint8_t* block, size_t size, TBitmap* bitmap)
{
    if (!bitmap)
        return 0;
    return decode(block, size, nullptr, 0, true, bitmap);
}

int DIBToBitmap(const QByteArray& block, TBitmap* bitmap)
{
    return DIBToBitmap(reinterpret_cast<const uint8_t*>(block.constData()), size_t(block.size()), bitmap);
}

int DIBToBitmap(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, TBitmap* bitmap)
{
    if (!bitmap)
        return 0;
    if (!bits)
        return decode(header, headerSize, nullptr, 0, true, bitmap);
    return decode(header, headerSize, bits, bitsSize, false, bitmap);
}

QByteArray DIBToBMPFile(const QByteArray& dib)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(dib.constData());
    if (dib.size() < kHeaderSize)
        bad("the header is incomplete");
    const uint32_t headerSize = le32(p);
    if (headerSize < uint32_t(kHeaderSize) || headerSize > uint32_t(dib.size()))
        bad("bad header size");
    const int bits = le16(p + 14);
    const uint32_t compression = le32(p + 16);
    uint64_t entries = le32(p + 32);
    if (bits <= 8 && entries == 0)
        entries = uint64_t(1) << bits;
    uint64_t offBits = kFileHeaderSize + headerSize + entries * 4;
    if (compression == 3 && headerSize < 52)
        offBits += 12;
    const uint64_t fileSize = kFileHeaderSize + uint64_t(dib.size());
    if (offBits > fileSize || fileSize > 0xFFFFFFFFu)
        bad("the colour table lies outside the block");
    QByteArray out(qsizetype(kFileHeaderSize), '\0');
    uint8_t* h = reinterpret_cast<uint8_t*>(out.data());
    h[0] = 'B';
    h[1] = 'M';
    putLe32(h + 2, uint32_t(fileSize));
    putLe32(h + 10, uint32_t(offBits));
    return out + dib;
}

int BMPFileToBitmap(const QByteArray& file, TBitmap* bitmap)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(file.constData());
    const size_t size = size_t(file.size());
    if (size < kFileHeaderSize + kHeaderSize || p[0] != 'B' || p[1] != 'M')
        throw EInvalidGraphic(QStringLiteral("Invalid BMP data: no file header"));
    const uint32_t offBits = le32(p + 10);
    if (offBits < kFileHeaderSize + kHeaderSize || offBits > size)
        throw EInvalidGraphic(QStringLiteral("Invalid BMP data: bad pixel offset"));
    return DIBToBitmap(p + kFileHeaderSize, offBits - kFileHeaderSize, p + offBits, size - offBits, bitmap);
}
