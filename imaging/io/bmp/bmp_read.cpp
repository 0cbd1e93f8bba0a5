// The BMP reader: headers, palettes, bit fields and run-length data, bounded by the file.
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

[[noreturn]] void fail(const char* why)
{
    throw EInvalidGraphic(QString::fromLatin1(why));
}

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

}  // namespace

void ReadBMPStream(TStream& stream, TBitmap& bitmap, int64_t size, TProgressRec& progress, TIOParamsVals& params)
{
    const int64_t start = stream.Position();
    const int64_t streamEnd = stream.Size();
    uint8_t fh[14];
    if (stream.Read(fh, 14) != 14)
        fail("unrecognized BMP");
    bool sizeFromHeader = false;
    if (le32(fh + 2) != 0 && size < 1) {
        size = le32(fh + 2);
        sizeFromHeader = true;
    }
    if (le16(fh) != 0x4D42)
        fail("unrecognized BMP");
    const uint32_t offBits = le32(fh + 10);
    int64_t end = streamEnd;
    if (size > 0 && start + size < end)
        end = start + size;

    uint8_t hs[4];
    if (stream.Read(hs, 4) != 4)
        fail("BMP header is truncated");
    const uint32_t headerSize = le32(hs);
    stream.Seek(-4, soFromCurrent);
    const int64_t headerPos = stream.Position();
    if (headerSize != 12 && (headerSize < 16 || headerSize > 4096))
        fail("BMP header has an unknown size");
    if (headerSize > streamEnd - headerPos)
        fail("BMP header is truncated");

    int64_t width = 0, height = 0;
    int depth = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int64_t tableCount = 0;
    int entrySize = 4;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    bool haveMasks = false;
    uint8_t version = 0;
    int dpiX = ScreenDpiX(), dpiY = ScreenDpiY();

    if (headerSize == 12) {
        uint8_t h[12];
        stream.ReadBuffer(h, 12);
        version = 2;
        width = le16(h + 4);
        height = le16(h + 6);
        depth = le16(h + 10);
        entrySize = 3;
        if (depth <= 8)
            tableCount = int64_t(1) << depth;
    } else {
        uint8_t h[64] = {};
        stream.ReadBuffer(h, std::min<uint32_t>(headerSize, 64));
        if (headerSize > 64)
            stream.Seek(headerSize - 64, soFromCurrent);
        version = headerSize == 64 ? 3 : headerSize == 40 ? 1 : 0;
        width = int32_t(le32(h + 4));
        height = int32_t(le32(h + 8));
        depth = le16(h + 14);
        compression = le32(h + 16);
        imageSize = le32(h + 20);
        const int32_t ppmX = int32_t(le32(h + 24));
        const int32_t ppmY = int32_t(le32(h + 28));
        const int rx = Round(ppmX / 100.0 * 2.54);
        const int ry = Round(ppmY / 100.0 * 2.54);
        if (rx > 0)
            dpiX = rx;
        if (ry > 0)
            dpiY = ry;
        const uint32_t used = le32(h + 32);
        if (depth <= 8 && depth > 0 && used > (uint32_t(1) << depth))
            fail("BMP colour table is larger than the bit depth allows");
        tableCount = used ? int64_t(used) : depth <= 8 ? int64_t(1) << depth : 0;
        if (compression == 3) {
            if (headerSize >= 52 && headerSize != 64) {
                masks[0] = le32(h + 40);
                masks[1] = le32(h + 44);
                masks[2] = le32(h + 48);
            } else {
                uint8_t m[12];
                if (stream.Read(m, 12) != 12)
                    fail("BMP bit-field masks are truncated");
                masks[0] = le32(m);
                masks[1] = le32(m + 4);
                masks[2] = le32(m + 8);
            }
            if (!masks[0] || !masks[1] || !masks[2])
                fail("unrecognized BMP");
            haveMasks = true;
        }
    }

    // What cannot be decoded is refused rather than shown as a blank picture.
    if (!DIBCodingSupported(depth, compression, true))
        fail("unrecognized BMP");
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0)
        fail("BMP image has no pixels");
    if (width * height > kMaxPixels)
        fail("BMP image is too large");
    const int64_t rowBytes = DIBRowBytes(width, depth);

    // Colour table: it must lie inside the data; when the pixel data begin earlier than
    // the table would end, the table is cut there.
    const int64_t tablePos = stream.Position();
    if (offBits != 0) {
        const int64_t room = std::max<int64_t>(0, (start + int64_t(offBits) - tablePos) / entrySize);
        tableCount = std::min(tableCount, room);
    }
    if (tableCount * entrySize > end - tablePos)
        fail("BMP colour table runs past the end of the data");

    Decoder d;
    std::vector<TIORGB> colorMap;
    if (tableCount > 0) {
        QByteArray raw(qsizetype(tableCount * entrySize), Qt::Uninitialized);
        stream.ReadBuffer(raw.data(), raw.size());
        const auto* t = reinterpret_cast<const uint8_t*>(raw.constData());
        colorMap.resize(size_t(tableCount));
        for (int64_t i = 0; i < tableCount; ++i)
            colorMap[size_t(i)] = TIORGB{t[i * entrySize], t[i * entrySize + 1], t[i * entrySize + 2]};
        for (int64_t i = 0; i < std::min<int64_t>(tableCount, 256); ++i)
            d.pal[i] = colorMap[size_t(i)];
    }

    if (offBits != 0) {
        if (start + int64_t(offBits) > end)
            fail("BMP pixel data offset lies past the end of the data");
        stream.SetPosition(start + int64_t(offBits));
    }
    const int64_t dataPos = stream.Position();
    int64_t length;
    if (size > 0) {
        length = end - dataPos;
        if (length <= 0 && sizeFromHeader)
            length = streamEnd - dataPos;  // a wrong size field in the file header
    } else {
        length = imageSize ? int64_t(imageSize) : rowBytes * height;
    }
    length = std::clamp<int64_t>(length, 0, streamEnd - dataPos);

    // Which pixels the file can give us.
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    const bool raw = !rle;
    if (raw) {
        length = std::min(length, rowBytes * height);
        if (!EnoughForPartialLoad(length, rowBytes * height))
            fail("BMP pixel data are truncated");
    } else if (width * height > std::max(kRleFloorPixels, length * kRlePixelsPerByte)) {
        // A delta of four bytes may skip 255 rows of 255 pixels, and the end of the data
        // leaves the rest white; beyond that a short file cannot size a huge bitmap.
        fail("BMP pixel data are truncated");
    }
    // 24-bit rows have the bitmap's own layout: they are read straight into it.
    const bool direct = raw && depth == 24 && length == rowBytes * height;
    QByteArray pixels;
    if (length > 0 && !direct) {
        pixels.resize(qsizetype(length));
        stream.ReadBuffer(pixels.data(), length);
        stream.SetPosition(dataPos + length);
    }

    // A 1-bit file stays 1-bit when its two colours are black and white (either order);
    // any other pair is shown in its own colours.
    const TMonoKind monoKind = MonoKindOf(d.pal[0], d.pal[1]);
    const bool mono = depth == 1 && monoKind != TMonoKind::Colour;
    const bool invert = monoKind == TMonoKind::Inverted;

    QImage img = TBitmap::AllocateImage(int(width), int(height), mono ? QImage::Format_Mono : QImage::Format_BGR888);
    if (img.isNull())
        fail("Not enough memory for the BMP image");
    if (mono)
        img.setColorTable(MonoColorTable());
    // Pixels the file does not fill stay white.
    const bool complete = direct || (raw && pixels.size() >= rowBytes * height);
    if (!complete) {
        if (mono)
            img.fill(1u);
        else
            std::memset(img.bits(), 0xFF, size_t(img.sizeInBytes()));
    }

    d.img = &img;
    d.width = int(width);
    d.height = int(height);
    d.topDown = topDown;
    d.data = reinterpret_cast<const uint8_t*>(pixels.constData());
    d.length = pixels.size();
    d.progress = &progress;
    d.step = 100.0 / double(height);

    int bitsPerSample = params.BitsPerSample, samplesPerPixel = params.SamplesPerPixel;
    switch (depth) {
    case 24:
    case 32: bitsPerSample = 8; samplesPerPixel = 3; break;
    case 1: bitsPerSample = 1; samplesPerPixel = 1; break;
    case 4: bitsPerSample = 4; samplesPerPixel = 1; break;
    case 8: bitsPerSample = 8; samplesPerPixel = 1; break;
    case 16: bitsPerSample = 5; samplesPerPixel = 3; break;
    default: break;
    }

    int rowsDone = int(height);  // fewer after an abort
    if (direct) {
        const int64_t copy = std::min<int64_t>(rowBytes, img.bytesPerLine());
        std::vector<uint8_t> pad(size_t(rowBytes > copy ? rowBytes - copy : 0));
        for (int r = 0; r < height; ++r) {
            d.report(r);
            if (progress.Aborted()) {
                rowsDone = r;
                break;
            }
            stream.ReadBuffer(d.row(r), copy);
            if (!pad.empty())
                stream.ReadBuffer(pad.data(), int64_t(pad.size()));
        }
        stream.SetPosition(dataPos + length);
    } else if (rle) {
        decodeRle(d, depth == 4);
    } else if (raw) {
        const int64_t rows = std::min<int64_t>(height, d.length / rowBytes);
        const int w = int(width);
        const TMaskChannel cr(masks[0]), cg(masks[1]), cb(masks[2]);
        const bool plain32 = !haveMasks || (masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF);
        for (int r = 0; r < rows; ++r) {
            d.report(r);
            if (progress.Aborted()) {
                rowsDone = r;
                break;
            }
            const uint8_t* src = d.data + int64_t(r) * rowBytes;
            uint8_t* dst = d.row(r);
            switch (depth) {
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
                    const uint32_t px = le16(src + 2 * x);
                    dst[3 * x] = cb(px);
                    dst[3 * x + 1] = cg(px);
                    dst[3 * x + 2] = cr(px);
                }
                break;
            case 24:
                std::memcpy(dst, src, size_t(3 * w));
                break;
            case 32:
                if (plain32) {
                    for (int x = 0; x < w; ++x) {
                        dst[3 * x] = src[4 * x];
                        dst[3 * x + 1] = src[4 * x + 1];
                        dst[3 * x + 2] = src[4 * x + 2];
                    }
                } else {
                    for (int x = 0; x < w; ++x) {
                        const uint32_t px = le32(src + 4 * x);
                        dst[3 * x] = cb(px);
                        dst[3 * x + 1] = cg(px);
                        dst[3 * x + 2] = cr(px);
                    }
                }
                break;
            }
        }
    }

    // Rows an abort left unread stay white rather than undefined.
    if (complete)
        for (int r = rowsDone; r < height; ++r)
            std::memset(d.row(r), 0xFF, size_t(img.bytesPerLine()));

    params.FreeColorMap();
    if (!colorMap.empty())
        params.SetColorMap(colorMap.data(), int(colorMap.size()));
    params.BmpVersion = version;
    params.BmpCompression = (compression == 1 || compression == 2) ? 1 : 0;
    params.Width = int(width);
    params.Height = int(height);
    params.DpiX = dpiX;
    params.DpiY = dpiY;
    params.BitsPerSample = bitsPerSample;
    params.SamplesPerPixel = samplesPerPixel;
    bitmap.SetImage(img);
}
