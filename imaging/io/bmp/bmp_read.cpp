// Windows and OS/2 bitmap reading: headers, colour table, pixel data and the row decoders.
#include "imaging/io/bmp/bmp.h"

#include "imaging/common/dib_bits.h"
#include "imaging/io/mono_rows.h"
#include "imaging/io/partial_load.h"

#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/pixel_channels.h"

#include <QImage>
#include <algorithm>
#include <cstring>

namespace {

// Large enough for any real picture, small enough that a forged header cannot ask
// for more memory than a 24-bit bitmap of 2 GB.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
// Run-length files may be far smaller than their picture, but not without limit.
constexpr int64_t kRleFloorPixels = int64_t(1) << 22;
constexpr int64_t kRlePixelsPerByte = 255 * 255 / 4;

[[noreturn]] void fail(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

// Decoding state shared by the per-depth loops.
struct Decoder {
    QImage* img = nullptr;
    int width = 0;
    int height = 0;
    bool topDown = false;
    TIORGB pal[256];  // short tables are padded with black
    const uint8_t* data = nullptr;
    int64_t length = 0;
    TProgressRec* progress = nullptr;
    double step = 0.0;

    // Bitmap row of file row r (file rows count from the bottom unless top-down).
    uint8_t* row(int r) { return img->scanLine(topDown ? r : height - 1 - r); }
    void report(int rowsDone) const
    {
        if (progress->Assigned())
            progress->Report(Trunc(rowsDone * step));
    }
    void put(uint8_t* line, int x, int index) const
    {
        const TIORGB c = pal[index & 255];
        line[3 * x] = c.b;
        line[3 * x + 1] = c.g;
        line[3 * x + 2] = c.r;
    }
};

void decodeRle(Decoder& d, bool fourBit)
{
    const uint8_t* p = d.data;
    const uint8_t* end = d.data + d.length;
    int x = 0;
    int r = 0;
    d.report(0);
    if (d.progress->Aborted())
        return;
    uint8_t* line = d.row(0);
    while (end - p >= 2) {
        const int n = p[0];
        const int c = p[1];
        p += 2;
        if (n) {
            const int stop = std::min(d.width, x + n);
            for (int k = 0; x + k < stop; ++k)
                d.put(line, x + k, fourBit ? ((k & 1) ? c & 15 : c >> 4) : c);
            x = std::min(d.width, x + n);
            continue;
        }
        if (c == 0 || c == 2) {
            int down = 1;
            if (c == 2) {
                if (end - p < 2)
                    return;
                x = std::min(d.width, x + p[0]);
                down = p[1];
                p += 2;
            } else {
                x = 0;
            }
            if (down == 0)
                continue;
            r += down;
            if (r >= d.height)
                return;
            d.report(r);
            if (d.progress->Aborted())
                return;
            line = d.row(r);
        } else if (c == 1) {
            return;
        } else {
            const int64_t bytes = fourBit ? (c + 1) / 2 : c;
            const int64_t padded = (bytes + 1) & ~int64_t(1);
            const int64_t have = std::min<int64_t>(bytes, end - p);
            for (int k = 0; k < c; ++k) {
                const int64_t at = fourBit ? k / 2 : k;
                if (at >= have)
                    break;
                if (x + k < d.width)
                    d.put(line, x + k, fourBit ? ((k & 1) ? p[at] & 15 : p[at] >> 4) : p[at]);
            }
            x = std::min(d.width, x + c);
            if (end - p < padded)
                return;
            p += padded;
        }
    }
}

// What the file and info headers say, checked.
struct Header {
    int64_t start = 0;      // where the file header begins
    int64_t streamEnd = 0;  // the stream's size
    int64_t end = 0;        // the end of the picture's bytes
    int64_t size = 0;       // the bytes the picture takes (0 or less: not known)
    bool sizeFromHeader = false;
    uint32_t offBits = 0;
    int64_t width = 0;
    int64_t height = 0;
    bool topDown = false;
    int depth = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int64_t tableCount = 0;
    int entrySize = 4;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    bool haveMasks = false;
    uint8_t version = 0;
    int dpiX = 0;
    int dpiY = 0;
    int64_t rowBytes = 0;
};

void readInfoHeader(TStream& stream, uint32_t headerSize, Header& h)
{
    if (headerSize == 12) {
        uint8_t b[12];
        stream.ReadBuffer(b, 12);
        h.version = 2;
        h.width = le16(b + 4);
        h.height = le16(b + 6);
        h.depth = le16(b + 10);
        h.entrySize = 3;
        if (h.depth <= 8)
            h.tableCount = int64_t(1) << h.depth;
        return;
    }
    uint8_t b[64] = {};
    stream.ReadBuffer(b, std::min<uint32_t>(headerSize, 64));
    if (headerSize > 64)
        stream.Seek(headerSize - 64, soFromCurrent);
    h.version = headerSize == 64 ? 3 : headerSize == 40 ? 1 : 0;
    h.width = int32_t(le32(b + 4));
    h.height = int32_t(le32(b + 8));
    h.depth = le16(b + 14);
    h.compression = le32(b + 16);
    h.imageSize = le32(b + 20);
    const int32_t ppmX = int32_t(le32(b + 24));
    const int32_t ppmY = int32_t(le32(b + 28));
    const int rx = Round(ppmX / 100.0 * 2.54);
    const int ry = Round(ppmY / 100.0 * 2.54);
    if (rx > 0)
        h.dpiX = rx;
    if (ry > 0)
        h.dpiY = ry;
    const uint32_t used = le32(b + 32);
    if (h.depth <= 8 && h.depth > 0 && used > (uint32_t(1) << h.depth))
        fail("BMP colour table is larger than the bit depth allows");
    h.tableCount = used ? int64_t(used) : h.depth <= 8 ? int64_t(1) << h.depth : 0;
    if (h.compression == 3) {
        if (headerSize >= 52 && headerSize != 64) {
            h.masks[0] = le32(b + 40);
            h.masks[1] = le32(b + 44);
            h.masks[2] = le32(b + 48);
        } else {
            uint8_t m[12];
            if (stream.Read(m, 12) != 12)
                fail("BMP bit-field masks are truncated");
            h.masks[0] = le32(m);
            h.masks[1] = le32(m + 4);
            h.masks[2] = le32(m + 8);
        }
        if (!h.masks[0] || !h.masks[1] || !h.masks[2])
            fail("unrecognized BMP");
        h.haveMasks = true;
    }
}

Header readHeader(TStream& stream, int64_t size)
{
    Header h;
    h.start = stream.Position();
    h.streamEnd = stream.Size();
    h.dpiX = ScreenDpiX();
    h.dpiY = ScreenDpiY();
    uint8_t fh[14];
    if (stream.Read(fh, 14) != 14)
        fail("unrecognized BMP");
    if (le32(fh + 2) != 0 && size < 1) {
        size = le32(fh + 2);
        h.sizeFromHeader = true;
    }
    if (le16(fh) != 0x4D42)
        fail("unrecognized BMP");
    h.size = size;
    h.offBits = le32(fh + 10);
    h.end = h.streamEnd;
    if (size > 0 && h.start + size < h.end)
        h.end = h.start + size;

    uint8_t hs[4];
    if (stream.Read(hs, 4) != 4)
        fail("BMP header is truncated");
    const uint32_t headerSize = le32(hs);
    stream.Seek(-4, soFromCurrent);
    const int64_t headerPos = stream.Position();
    if (headerSize != 12 && (headerSize < 16 || headerSize > 4096))
        fail("BMP header has an unknown size");
    if (headerSize > h.streamEnd - headerPos)
        fail("BMP header is truncated");
    readInfoHeader(stream, headerSize, h);

    // What cannot be decoded is refused rather than shown as a blank picture.
    if (!DIBCodingSupported(h.depth, h.compression, true))
        fail("unrecognized BMP");
    h.topDown = h.height < 0;
    if (h.topDown)
        h.height = -h.height;
    if (h.width <= 0 || h.height <= 0)
        fail("BMP image has no pixels");
    if (h.width * h.height > kMaxPixels)
        fail("BMP image is too large");
    h.rowBytes = DIBRowBytes(h.width, h.depth);
    return h;
}

// Colour table: it must lie inside the data; when the pixel data begin earlier than
// the table would end, the table is cut there.
std::vector<TIORGB> readPalette(TStream& stream, Header& h, Decoder& d)
{
    const int64_t tablePos = stream.Position();
    if (h.offBits != 0) {
        const int64_t room = std::max<int64_t>(0, (h.start + int64_t(h.offBits) - tablePos) / h.entrySize);
        h.tableCount = std::min(h.tableCount, room);
    }
    if (h.tableCount * h.entrySize > h.end - tablePos)
        fail("BMP colour table runs past the end of the data");
    std::vector<TIORGB> colorMap;
    if (h.tableCount > 0) {
        QByteArray raw(qsizetype(h.tableCount * h.entrySize), Qt::Uninitialized);
        stream.ReadBuffer(raw.data(), raw.size());
        const auto* t = reinterpret_cast<const uint8_t*>(raw.constData());
        colorMap.resize(size_t(h.tableCount));
        for (int64_t i = 0; i < h.tableCount; ++i)
            colorMap[size_t(i)] = TIORGB{t[i * h.entrySize], t[i * h.entrySize + 1], t[i * h.entrySize + 2]};
        for (int64_t i = 0; i < std::min<int64_t>(h.tableCount, 256); ++i)
            d.pal[i] = colorMap[size_t(i)];
    }
    return colorMap;
}

// Where the pixels lie, how many bytes the file gives for them, and those bytes unless
// the rows can be read straight into the bitmap.
struct PixelData {
    int64_t pos = 0;
    int64_t length = 0;
    bool rle = false;
    bool direct = false;
    QByteArray bytes;
};

PixelData readPixelData(TStream& stream, const Header& h)
{
    PixelData px;
    if (h.offBits != 0) {
        if (h.start + int64_t(h.offBits) > h.end)
            fail("BMP pixel data offset lies past the end of the data");
        stream.SetPosition(h.start + int64_t(h.offBits));
    }
    px.pos = stream.Position();
    if (h.size > 0) {
        px.length = h.end - px.pos;
        if (px.length <= 0 && h.sizeFromHeader)
            px.length = h.streamEnd - px.pos;  // a wrong size field in the file header
    } else {
        px.length = h.imageSize ? int64_t(h.imageSize) : h.rowBytes * h.height;
    }
    px.length = std::clamp<int64_t>(px.length, 0, h.streamEnd - px.pos);

    // Which pixels the file can give us.
    px.rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    if (!px.rle) {
        px.length = std::min(px.length, h.rowBytes * h.height);
        if (!EnoughForPartialLoad(px.length, h.rowBytes * h.height))
            fail("BMP pixel data are truncated");
    } else if (h.width * h.height > std::max(kRleFloorPixels, px.length * kRlePixelsPerByte)) {
        // A delta of four bytes may skip 255 rows of 255 pixels, and the end of the data
        // leaves the rest white; beyond that a short file cannot size a huge bitmap.
        fail("BMP pixel data are truncated");
    }
    // 24-bit rows have the bitmap's own layout: they are read straight into it.
    px.direct = !px.rle && h.depth == 24 && px.length == h.rowBytes * h.height;
    if (px.length > 0 && !px.direct) {
        px.bytes.resize(qsizetype(px.length));
        stream.ReadBuffer(px.bytes.data(), px.length);
        stream.SetPosition(px.pos + px.length);
    }
    return px;
}

// The bitmap, white where the file leaves pixels out; returns whether the file fills it.
bool allocateImage(const Header& h, const PixelData& px, bool mono, QImage& img)
{
    img = TBitmap::AllocateImage(int(h.width), int(h.height), mono ? QImage::Format_Mono : QImage::Format_BGR888);
    if (img.isNull())
        fail("Not enough memory for the BMP image");
    if (mono)
        img.setColorTable(MonoColorTable());
    const bool complete = px.direct || (!px.rle && px.bytes.size() >= h.rowBytes * h.height);
    if (!complete) {
        if (mono)
            img.fill(1u);
        else
            std::memset(img.bits(), 0xFF, size_t(img.sizeInBytes()));
    }
    return complete;
}

// 24-bit rows read from the stream into the bitmap; returns the rows done.
int readDirectRows(TStream& stream, const Header& h, const PixelData& px, Decoder& d)
{
    const int64_t copy = std::min<int64_t>(h.rowBytes, d.img->bytesPerLine());
    std::vector<uint8_t> pad(size_t(h.rowBytes > copy ? h.rowBytes - copy : 0));
    int rowsDone = int(h.height);
    for (int r = 0; r < h.height; ++r) {
        d.report(r);
        if (d.progress->Aborted()) {
            rowsDone = r;
            break;
        }
        stream.ReadBuffer(d.row(r), copy);
        if (!pad.empty())
            stream.ReadBuffer(pad.data(), int64_t(pad.size()));
    }
    stream.SetPosition(px.pos + px.length);
    return rowsDone;
}

// Uncompressed and bit-field rows from the bytes read; returns the rows done.
int decodeRawRows(const Header& h, Decoder& d, bool mono, bool invert)
{
    const int64_t rows = std::min<int64_t>(h.height, d.length / h.rowBytes);
    const int w = int(h.width);
    const TMaskChannel cr(h.masks[0]), cg(h.masks[1]), cb(h.masks[2]);
    const bool plain32 = !h.haveMasks || (h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF);
    for (int r = 0; r < rows; ++r) {
        d.report(r);
        if (d.progress->Aborted())
            return r;
        const uint8_t* src = d.data + int64_t(r) * h.rowBytes;
        uint8_t* dst = d.row(r);
        switch (h.depth) {
        case 1:
            if (mono) {
                CopyMonoRow(dst, src, w, invert);
            } else {
                for (int x = 0; x < w; ++x)
                    d.put(dst, x, (src[x >> 3] >> (7 - (x & 7))) & 1);
            }
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                d.put(dst, x, (x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4);
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                d.put(dst, x, src[x]);
            break;
        case 16:
            for (int x = 0; x < w; ++x) {
                const uint32_t p = le16(src + 2 * x);
                dst[3 * x] = cb(p);
                dst[3 * x + 1] = cg(p);
                dst[3 * x + 2] = cr(p);
            }
            break;
        case 24: std::memcpy(dst, src, size_t(3 * w)); break;
        case 32:
            if (plain32) {
                for (int x = 0; x < w; ++x) {
                    dst[3 * x] = src[4 * x];
                    dst[3 * x + 1] = src[4 * x + 1];
                    dst[3 * x + 2] = src[4 * x + 2];
                }
            } else {
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = le32(src + 4 * x);
                    dst[3 * x] = cb(p);
                    dst[3 * x + 1] = cg(p);
                    dst[3 * x + 2] = cr(p);
                }
            }
            break;
        }
    }
    return int(h.height);
}

void storeParameters(TIOParamsVals& params, const Header& h, const std::vector<TIORGB>& colorMap)
{
    int bitsPerSample = params.BitsPerSample, samplesPerPixel = params.SamplesPerPixel;
    switch (h.depth) {
    case 24:
    case 32:
        bitsPerSample = 8;
        samplesPerPixel = 3;
        break;
    case 1:
        bitsPerSample = 1;
        samplesPerPixel = 1;
        break;
    case 4:
        bitsPerSample = 4;
        samplesPerPixel = 1;
        break;
    case 8:
        bitsPerSample = 8;
        samplesPerPixel = 1;
        break;
    case 16:
        bitsPerSample = 5;
        samplesPerPixel = 3;
        break;
    default: break;
    }
    params.FreeColorMap();
    if (!colorMap.empty())
        params.SetColorMap(colorMap.data(), int(colorMap.size()));
    params.BmpVersion = h.version;
    params.BmpCompression = (h.compression == 1 || h.compression == 2) ? 1 : 0;
    params.Width = int(h.width);
    params.Height = int(h.height);
    params.DpiX = h.dpiX;
    params.DpiY = h.dpiY;
    params.BitsPerSample = bitsPerSample;
    params.SamplesPerPixel = samplesPerPixel;
}

}  // namespace

void ReadBMPStream(TStream& stream, TBitmap& bitmap, int64_t size, TProgressRec& progress, TIOParamsVals& params)
{
    Header h = readHeader(stream, size);
    Decoder d;
    const std::vector<TIORGB> colorMap = readPalette(stream, h, d);
    const PixelData px = readPixelData(stream, h);

    // A 1-bit file stays 1-bit when its two colours are black and white (either order);
    // any other pair is shown in its own colours.
    const TMonoKind monoKind = MonoKindOf(d.pal[0], d.pal[1]);
    const bool mono = h.depth == 1 && monoKind != TMonoKind::Colour;
    QImage img;
    const bool complete = allocateImage(h, px, mono, img);

    d.img = &img;
    d.width = int(h.width);
    d.height = int(h.height);
    d.topDown = h.topDown;
    d.data = reinterpret_cast<const uint8_t*>(px.bytes.constData());
    d.length = px.bytes.size();
    d.progress = &progress;
    d.step = 100.0 / double(h.height);
    int rowsDone = int(h.height);  // fewer after an abort
    if (px.direct)
        rowsDone = readDirectRows(stream, h, px, d);
    else if (px.rle)
        decodeRle(d, h.depth == 4);
    else
        rowsDone = decodeRawRows(h, d, mono, monoKind == TMonoKind::Inverted);

    // Rows an abort left unread stay white rather than undefined.
    if (complete)
        for (int r = rowsDone; r < h.height; ++r)
            std::memset(d.row(r), 0xFF, size_t(img.bytesPerLine()));

    storeParameters(params, h, colorMap);
    bitmap.SetImage(img);
}
