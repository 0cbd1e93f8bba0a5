// PCX writing: header, plane lines through the run-length coder, and the 256-colour palette.
#include "imaging/io/pcx/pcx.h"

#include "imaging/io/two_colour_source.h"
#include "imaging/proc/quantizer.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kMaxRun = 63;

uint16_t clamp16(int v) { return uint16_t(std::clamp(v, 0, 0xFFFF)); }

// Collects coded lines and hands them to the stream about a megabyte at a time.
class LineWriter {
public:
    LineWriter(TStream& stream, int bytesPerLine, bool coded)
        : stream_(stream), bpl_(bytesPerLine), coded_(coded), buffer_(size_t(kBlock) + 2 * size_t(bpl_) + 1)
    {}
    ~LineWriter() = default;

    // One plane line: `count` bytes of samples, padded to bytes per line.
    void add(const uint8_t* bytes, int count)
    {
        if (used_ + 2 * bpl_ + 1 > int64_t(buffer_.size()))
            flush();
        uint8_t* out = buffer_.data() + used_;
        if (coded_) {
            used_ += EncodePCXLine(bytes, count, out);
        } else {
            std::memcpy(out, bytes, size_t(count));
            std::memset(out + count, 0, size_t(bpl_ - count));
            used_ += bpl_;
        }
    }
    void flush()
    {
        if (used_)
            stream_.WriteBuffer(buffer_.data(), used_);
        used_ = 0;
    }

private:
    static constexpr int kBlock = 1 << 20;
    TStream& stream_;
    int bpl_;
    bool coded_;
    std::vector<uint8_t> buffer_;
    int64_t used_ = 0;
};

// A 24-bit copy of a bitmap in any other format (1-bit expands black and white).
const TBitmap& as24Bit(const TBitmap& bitmap, TBitmap& holder)
{
    if (bitmap.PixelFormat() == pf24bit)
        return bitmap;
    if (bitmap.PixelFormat() == pf1bit) {
        MonochromeTo24Bit(bitmap, holder);
    } else {
        holder.Assign(bitmap);
        holder.SetPixelFormat(pf24bit);
    }
    return holder;
}

int writerDepth(const TIOParamsVals& params)
{
    if (params.BitsPerSample == 1)
        return 1;
    // Stored parameters may hold anything: the product in 64 bits.
    const int64_t depth = int64_t(params.BitsPerSample) * params.SamplesPerPixel;
    return depth == 4 || depth == 8 ? int(depth) : 24;
}

}  // namespace

int EncodePCXLine(const uint8_t* bytes, int count, uint8_t* out)
{
    uint8_t* o = out;
    int i = 0;
    while (i < count) {
        const uint8_t v = bytes[i];
        int n = 1;
        while (n < kMaxRun && i + n < count && bytes[i + n] == v)
            ++n;
        if (n > 1 || v >= 0xC0)
            *o++ = uint8_t(0xC0 + n);
        *o++ = v;
        i += n;
    }
    if (count & 1)
        *o++ = 0;
    return int(o - out);
}

namespace {

// What the parameters ask of the file, checked against the bitmap.
struct Layout {
    int width = 0;
    int height = 0;
    int depth = 0;
    int samples = 0;  // bytes of one plane line
    int bpl = 0;      // ... padded to an even count
    bool coded = false;
};

Layout checkedLayout(const TBitmap& bitmap, const TIOParamsVals& params)
{
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("Cannot write an empty bitmap"));
    Layout l;
    l.width = bitmap.Width();
    l.height = bitmap.Height();
    l.depth = writerDepth(params);
    l.samples = l.depth == 1 ? (l.width + 7) / 8 : l.depth == 4 ? (l.width + 1) / 2 : l.width;
    l.bpl = (l.samples + 1) & ~1;
    if (l.width > 0x10000 || l.height > 0x10000 || l.bpl > 0xFFFF)
        throw EInvalidGraphic(QStringLiteral("Image too large for a PCX file"));
    l.coded = params.PcxCompression != 0;
    return l;
}

// The pixels in the form the depth is written from, and the palettes.
struct Source {
    TBitmap holder;
    std::unique_ptr<TBitmap> reduced;
    const TBitmap* pixels = nullptr;
    TPaletteEntry pal16[16] = {};
    std::vector<TPaletteEntry> pal256;
    std::unique_ptr<TIKQuantizer> quant;
};

void allocateSource(const TBitmap& bitmap, const Layout& l, Source& src)
{
    if (l.depth == 1) {
        src.reduced = TwoColourPixels(bitmap, src.pal16[0], src.pal16[1]);
        src.pixels = src.reduced ? src.reduced.get() : &bitmap;
        return;
    }
    src.pixels = &as24Bit(bitmap, src.holder);
    if (l.depth == 4) {
        src.quant = std::make_unique<TIKQuantizer>(*src.pixels, src.pal16, 16);
    } else if (l.depth == 8) {
        src.pal256.resize(256);
        src.quant = std::make_unique<TIKQuantizer>(*src.pixels, src.pal256.data(), 256);
    }
}

void writeHeader(TStream& stream, const Layout& l, const Source& src, const TIOParamsVals& params)
{
    // Other readers refuse a 256-colour palette behind a version 3 header.
    const int version = l.depth >= 8 ? 5 : std::clamp(params.PcxVersion, 0, 255);
    uint8_t h[kPcxHeaderSize] = {};
    h[0] = 10;
    h[1] = uint8_t(version);
    h[2] = l.coded ? 1 : 0;
    h[3] = l.depth == 24 ? 8 : uint8_t(l.depth);
    putLe16(h + 8, uint16_t(l.width - 1));
    putLe16(h + 10, uint16_t(l.height - 1));
    putLe16(h + 12, clamp16(params.DpiX));
    putLe16(h + 14, clamp16(params.DpiY));
    for (int i = 0; i < 16; ++i) {
        h[16 + 3 * i] = src.pal16[i].Red;
        h[16 + 3 * i + 1] = src.pal16[i].Green;
        h[16 + 3 * i + 2] = src.pal16[i].Blue;
    }
    h[65] = l.depth == 24 ? 3 : 1;
    putLe16(h + 66, uint16_t(l.bpl));
    putLe16(h + 68, l.depth == 24 ? 0 : 1);
    stream.WriteBuffer(h, kPcxHeaderSize);
}

// Every row's plane lines; returns false when the user aborted.
bool writeRows(TStream& stream, const Layout& l, const Source& src, TProgressRec& progress)
{
    LineWriter out(stream, l.bpl, l.coded);
    std::vector<uint8_t> line(size_t(l.bpl) * 3, 0);
    uint8_t* planes[3] = {line.data(), line.data() + l.bpl, line.data() + 2 * l.bpl};
    const int width = l.width, samples = l.samples;
    const double step = 100.0 / l.height;
    bool finished = true;
    for (int y = 0; y < l.height; ++y) {
        if (progress.Assigned())
            progress.Report(Trunc(y * step));
        const uint8_t* s = src.pixels->ScanLine(y);
        switch (l.depth) {
        case 1: {
            std::memcpy(line.data(), s, size_t(samples));
            // bits beyond the width are written as 0
            line[size_t(samples - 1)] &= uint8_t(0xFF << ((8 - (width & 7)) & 7));
            out.add(line.data(), samples);
            break;
        }
        case 4:
            std::fill_n(line.data(), samples, uint8_t(0));
            for (int x = 0; x < width; ++x) {
                const int i = src.quant->RGBIndex(s + 3 * x) & 15;
                line[size_t(x / 2)] |= uint8_t((x & 1) ? i : i << 4);
            }
            out.add(line.data(), samples);
            break;
        case 8:
            for (int x = 0; x < width; ++x)
                line[size_t(x)] = uint8_t(src.quant->RGBIndex(s + 3 * x));
            out.add(line.data(), samples);
            break;
        default:
            for (int x = 0; x < width; ++x) {
                planes[2][x] = s[3 * x];
                planes[1][x] = s[3 * x + 1];
                planes[0][x] = s[3 * x + 2];
            }
            out.add(planes[0], width);
            out.add(planes[1], width);
            out.add(planes[2], width);
            break;
        }
        if (progress.Aborted()) {
            finished = false;
            break;
        }
    }
    out.flush();
    return finished;
}

// The 256-colour palette closes the file, behind its marker.
void writePalette256(TStream& stream, const std::vector<TPaletteEntry>& pal256)
{
    uint8_t tail[1 + 768];
    tail[0] = 12;
    for (int i = 0; i < 256; ++i) {
        tail[1 + 3 * i] = pal256[size_t(i)].Red;
        tail[1 + 3 * i + 1] = pal256[size_t(i)].Green;
        tail[1 + 3 * i + 2] = pal256[size_t(i)].Blue;
    }
    stream.WriteBuffer(tail, sizeof tail);
}

}  // namespace

void WritePCXStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    const Layout layout = checkedLayout(bitmap, params);
    Source src;
    allocateSource(bitmap, layout, src);
    writeHeader(stream, layout, src, params);
    if (writeRows(stream, layout, src, progress) && layout.depth == 8)
        writePalette256(stream, src.pal256);
}
