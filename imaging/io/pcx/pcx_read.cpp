// PCX reading: header, 256-colour palette, run-length lines and their conversion to rows.
#include "imaging/io/pcx/pcx.h"

#include "imaging/io/mono_rows.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Large enough for any real picture, small enough that a forged header cannot ask
// for more than a 24-bit bitmap of about 800 MB.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
constexpr int kPalette256Size = 768;

[[noreturn]] void fail(const char* why) { throw EInvalidGraphic(QString::fromLatin1(why)); }

// The run-length (or plain) byte source. A run may end past a line's end: its rest
// carries into the next line.
struct LineDecoder {
    const uint8_t* p = nullptr;
    const uint8_t* end = nullptr;
    bool coded = true;
    int runLeft = 0;
    uint8_t runValue = 0;

    void fill(uint8_t* dst, int n)
    {
        if (n <= 0)
            return;
        if (!coded) {
            if (end - p < n)
                fail("PCX pixel data are truncated");
            std::memcpy(dst, p, size_t(n));
            p += n;
            return;
        }
        int i = 0;
        while (i < n) {
            if (runLeft) {
                const int k = std::min(runLeft, n - i);
                if (k > 8) {
                    std::memset(dst + i, runValue, size_t(k));
                } else {
                    for (int j = 0; j < k; ++j)
                        dst[i + j] = runValue;
                }
                i += k;
                runLeft -= k;
                continue;
            }
            if (p == end)
                fail("PCX pixel data are truncated");
            const uint8_t b = *p++;
            if (b < 0xC0) {
                dst[i++] = b;
                continue;
            }
            if (p == end)
                fail("PCX run runs past the end of the data");
            runLeft = b & 0x3F;
            runValue = *p++;
        }
    }
};

struct Header {
    int version, encoding, bits, planes, bytesPerLine;
    int64_t width, height;
    int dpiX, dpiY;
    TIORGB pal16[16];
    int64_t start, length;  // the picture's bytes in the stream
};

// The layouts that are decoded; the others the header allows are refused.
enum class Layout { Mono, Planar, Nibbles, Indexed, Rgb, Blank };

Layout layoutOf(const Header& h)
{
    if (h.bits == 1 && h.planes == 1)
        return Layout::Mono;
    if (h.bits == 1)
        return Layout::Planar;
    if (h.bits == 4 && h.planes == 1)
        return Layout::Nibbles;
    if (h.bits == 8 && h.planes == 1)
        return Layout::Indexed;
    if (h.bits == 8 && h.planes == 3)
        return Layout::Rgb;
    return Layout::Blank;
}

inline void put(uint8_t* row, int x, TIORGB c)
{
    row[3 * x] = c.b;
    row[3 * x + 1] = c.g;
    row[3 * x + 2] = c.r;
}

Header readHeader(TStream& stream, int64_t length)
{
    Header h;
    h.start = stream.Position();
    h.length = std::min(length, stream.Size() - h.start);
    uint8_t raw[kPcxHeaderSize];
    if (h.length < kPcxHeaderSize || stream.Read(raw, kPcxHeaderSize) != kPcxHeaderSize)
        fail("unrecognized PCX");
    h.version = raw[1];
    h.encoding = raw[2];
    h.bits = raw[3];
    h.planes = raw[65];
    // 1 bit × 4 planes is the usual 16-colour form; fewer bit planes are read alike.
    const bool planesOk = h.planes == 1 || h.planes == 3 || (h.bits == 1 && h.planes >= 1 && h.planes <= 4);
    if (raw[0] != 10 || h.bits < 1 || h.bits > 8 || !planesOk || h.encoding > 1)
        fail("unrecognized PCX");
    const int xMin = le16(raw + 4), yMin = le16(raw + 6), xMax = le16(raw + 8), yMax = le16(raw + 10);
    if (xMax < xMin || yMax < yMin)
        fail("PCX image has no pixels");
    h.width = int64_t(xMax) - xMin + 1;
    h.height = int64_t(yMax) - yMin + 1;
    if (h.width * h.height > kMaxPixels)
        fail("PCX image is too large");
    h.bytesPerLine = le16(raw + 66);
    if (h.bytesPerLine < (h.width * h.bits + 7) / 8)
        fail("PCX lines are shorter than the image is wide");
    h.dpiX = le16(raw + 12);
    h.dpiY = le16(raw + 14);
    if (h.dpiX == 0 || h.dpiY == 0) {
        h.dpiX = ScreenDpiX();
        h.dpiY = ScreenDpiY();
    }
    for (int i = 0; i < 16; ++i)
        h.pal16[i] = TIORGB{raw[16 + 3 * i + 2], raw[16 + 3 * i + 1], raw[16 + 3 * i]};
    // What cannot be decoded is refused rather than shown as a blank picture.
    if (layoutOf(h) == Layout::Blank)
        fail("unrecognized PCX");
    return h;
}

// The 256-colour palette closes the data; returns where the pixels end, where it begins.
int64_t readPalette256(TStream& stream, const Header& h, TIORGB* pal256)
{
    int64_t dataEnd = h.start + h.length;
    if (h.planes == 1 && h.bits > 4) {
        const int64_t palPos = h.start + h.length - kPalette256Size;
        if (palPos < h.start + kPcxHeaderSize)
            fail("PCX 256-colour palette lies before the pixel data");
        uint8_t p[kPalette256Size];
        stream.SetPosition(palPos);
        stream.ReadBuffer(p, kPalette256Size);
        for (int i = 0; i < 256; ++i)
            pal256[i] = TIORGB{p[3 * i + 2], p[3 * i + 1], p[3 * i]};
        dataEnd = palPos;
        // the marker in front of the palette is not pixel data
        uint8_t marker = 0;
        stream.SetPosition(palPos - 1);
        if (palPos - 1 >= h.start + kPcxHeaderSize && stream.Read(&marker, 1) == 1 && marker == 12)
            --dataEnd;
        stream.SetPosition(h.start + kPcxHeaderSize);
    }
    return dataEnd;
}

// The coded pixel bytes, once they are known to be able to fill the picture.
std::unique_ptr<uint8_t[]> readPixelData(TStream& stream, const Header& h, int64_t dataBytes)
{
    // A pair of bytes gives at most 63, so the data can describe at most 31.5 times
    // their size: a file that cannot fill the picture is refused before allocating it.
    const int64_t lineBytes = int64_t(h.bytesPerLine) * h.planes;
    const int64_t maxDecoded = h.encoding ? dataBytes / 2 * 63 + (dataBytes & 1) : dataBytes;
    if (maxDecoded < lineBytes * h.height)
        fail("PCX pixel data are truncated");
    // left uninitialised: every byte is read over at once
    std::unique_ptr<uint8_t[]> data(new uint8_t[size_t(dataBytes)]);
    stream.ReadBuffer(data.get(), dataBytes);
    stream.SetPosition(h.start + h.length);
    return data;
}

QImage allocateImage(const Header& h, bool mono)
{
    QImage img(int(h.width), int(h.height), mono ? QImage::Format_Mono : QImage::Format_BGR888);
    if (img.isNull())
        fail("Not enough memory for the PCX image");
    if (mono)
        img.setColorTable(MonoColorTable());
    return img;
}

// One decoded line (all planes) into bitmap row `dst`.
void convertLine(const Header& h, Layout layout, const TIORGB* pal256, bool mono, bool invert, const uint8_t* src,
                 uint8_t* dst)
{
    const int w = int(h.width);
    const int bpl = h.bytesPerLine;
    switch (layout) {
    case Layout::Mono:
        if (mono) {
            CopyMonoRow(dst, src, w, invert);
        } else {
            for (int x = 0; x < w; ++x)
                put(dst, x, h.pal16[(src[x >> 3] >> (7 - (x & 7))) & 1]);
        }
        break;
    case Layout::Planar:
        for (int x = 0; x < w; ++x) {
            int index = 0;
            for (int p = 0; p < h.planes; ++p)
                index |= ((src[p * bpl + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
            put(dst, x, h.pal16[index]);
        }
        break;
    case Layout::Nibbles:
        for (int x = 0; x < w; ++x)
            put(dst, x, h.pal16[(x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4]);
        break;
    case Layout::Indexed:
        for (int x = 0; x < w; ++x)
            put(dst, x, pal256[src[x]]);
        break;
    case Layout::Rgb:
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[2 * bpl + x];
            dst[3 * x + 1] = src[bpl + x];
            dst[3 * x + 2] = src[x];
        }
        break;
    case Layout::Blank: break;
    }
}

void storeParameters(TIOParamsVals& params, const Header& h, const TIORGB* pal256)
{
    params.FreeColorMap();
    if (layoutOf(h) == Layout::Indexed)
        params.SetColorMap(pal256, 256);
    else if (h.bits * h.planes < 8)
        params.SetColorMap(h.pal16, std::min(16, 1 << (h.bits * h.planes)));
    params.BitsPerSample = h.bits;
    params.SamplesPerPixel = h.planes;
    params.Width = int(h.width);
    params.Height = int(h.height);
    params.DpiX = h.dpiX;
    params.DpiY = h.dpiY;
    params.PcxVersion = h.version;
}

}  // namespace

void ReadPCXFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    TFileStream fs(fileName, fmOpenRead);
    ReadPCXStream(fs, bitmap, params, progress, fs.Size());
}

void ReadPCXStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress, int64_t length)
{
    const Header h = readHeader(stream, length);
    const Layout layout = layoutOf(h);
    TIORGB pal256[256];
    const int64_t dataBytes = readPalette256(stream, h, pal256) - (h.start + kPcxHeaderSize);
    const std::unique_ptr<uint8_t[]> data = readPixelData(stream, h, dataBytes);

    // Two equal entries (often all zero) say nothing: such files are black and white.
    const TMonoKind monoKind = h.pal16[0] == h.pal16[1] ? TMonoKind::Plain : MonoKindOf(h.pal16[0], h.pal16[1]);
    const bool mono = layout == Layout::Mono && monoKind != TMonoKind::Colour;
    const bool invert = monoKind == TMonoKind::Inverted;
    QImage img = allocateImage(h, mono);

    LineDecoder dec{data.get(), data.get() + dataBytes, h.encoding == 1};
    const int64_t lineBytes = int64_t(h.bytesPerLine) * h.planes;
    std::vector<uint8_t> lines(static_cast<size_t>(lineBytes));
    const int ht = int(h.height);
    const double step = 100.0 / ht;
    int rowsDone = ht;
    for (int y = 0; y < ht; ++y) {
        if (progress.Assigned())
            progress.Report(Trunc(y * step));
        if (progress.Aborted()) {
            rowsDone = y;
            break;
        }
        dec.fill(lines.data(), int(lineBytes));
        convertLine(h, layout, pal256, mono, invert, lines.data(), img.scanLine(y));
    }
    // A run left over after the last line ran past the end of the picture.
    if (rowsDone == ht && dec.runLeft)
        fail("PCX run runs past the end of the image");
    // Rows an abort left unread stay white.
    for (int y = rowsDone; y < ht; ++y)
        std::memset(img.scanLine(y), 0xFF, size_t(img.bytesPerLine()));

    storeParameters(params, h, pal256);
    bitmap.SetImage(img);
}
