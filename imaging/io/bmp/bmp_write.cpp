// Windows and OS/2 bitmap writing: headers, colour table, rows and the run-length coder.
#include "imaging/io/bmp/bmp.h"

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

void writeTable(TStream& s, const TPaletteEntry* pal, int count, bool os2)
{
    std::vector<uint8_t> t(size_t(count) * (os2 ? 3 : 4), 0);
    for (int i = 0; i < count; ++i) {
        uint8_t* e = t.data() + size_t(i) * (os2 ? 3 : 4);
        e[0] = pal[i].Blue;
        e[1] = pal[i].Green;
        e[2] = pal[i].Red;
    }
    s.WriteBuffer(t.data(), int64_t(t.size()));
}

void flushLiteral(const uint8_t* idx, int from, int to, bool fourBit, QByteArray& out)
{
    const int n = to - from;
    if (n <= 0)
        return;
    if (n == 1) {
        out.append(char(1));
        out.append(char(fourBit ? idx[from] * 16 + idx[from] : idx[from]));
    } else if (n == 2) {
        if (fourBit) {
            out.append(char(2));
            out.append(char(idx[from] * 16 + idx[from + 1]));
        } else {
            out.append(char(1));
            out.append(char(idx[from]));
            out.append(char(1));
            out.append(char(idx[from + 1]));
        }
    } else {
        out.append(char(0));
        out.append(char(n));
        int bytes = 0;
        if (fourBit) {
            for (int i = from; i < to; i += 2) {
                const int hi = idx[i] & 15;
                const int lo = i + 1 < to ? idx[i + 1] & 15 : 0;
                out.append(char(hi * 16 + lo));
                ++bytes;
            }
        } else {
            out.append(reinterpret_cast<const char*>(idx + from), n);
            bytes = n;
        }
        if (bytes & 1)
            out.append(char(0));
    }
}

}  // namespace

void EncodeBMPRleRow(const uint8_t* idx, int count, bool fourBit, QByteArray& out)
{
    int i = 0;
    int lit = 0;  // start of the pending literal
    while (i < count) {
        if (i + 1 < count && idx[i] == idx[i + 1]) {
            flushLiteral(idx, lit, i, fourBit, out);
            int n = 2;
            while (i + n < count && idx[i + n] == idx[i] && n < 255)
                ++n;
            out.append(char(n));
            out.append(char(fourBit ? idx[i] * 16 + idx[i] : idx[i]));
            i += n;
            lit = i;
        } else {
            ++i;
            if (i - lit == 255) {
                flushLiteral(idx, lit, i, fourBit, out);
                lit = i;
            }
        }
    }
    flushLiteral(idx, lit, count, fourBit, out);
    out.append(char(0));
    out.append(char(0));
}

int BmpWrittenDepth(const TIOParamsVals& params)
{
    return params.BitsPerSample == 1 || params.BitsPerSample == 4 ? params.BitsPerSample
         : params.SamplesPerPixel == 1                            ? 8
                                                                  : 24;
}

bool BmpWritesRle(const TIOParamsVals& params)
{
    const int depth = BmpWrittenDepth(params);
    return params.BmpCompression == 1 && params.BmpVersion != 2 && (depth == 4 || depth == 8);
}

namespace {

// The header holds a signed 32-bit count: any int resolution is converted in 64 bits
// and held there.
uint32_t pixelsPerMetre(int dpi) { return uint32_t(std::clamp<int64_t>(Round64(dpi / 2.54 * 100), 0, INT32_MAX)); }

// What the parameters ask of the file, checked against the bitmap.
struct Layout {
    bool os2v1 = false;
    int version = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
    bool rle = false;
    int64_t rowBytes = 0;
    int64_t start = 0;  // where the file header begins
};

Layout checkedLayout(const TBitmap& bitmap, const TIOParamsVals& params, int64_t start)
{
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("Cannot write an empty bitmap"));
    Layout l;
    l.version = params.BmpVersion;
    if (l.version > 3)
        throw EInvalidGraphic(QStringLiteral("Invalid BMP version"));
    l.os2v1 = l.version == 2;
    l.width = bitmap.Width();
    l.height = bitmap.Height();
    if (l.os2v1 && (l.width > 0xFFFF || l.height > 0xFFFF))
        throw EInvalidGraphic(QStringLiteral("Image too large for an OS/2 1.x bitmap"));
    l.depth = BmpWrittenDepth(params);
    l.rle = BmpWritesRle(params);
    l.rowBytes = (int64_t(l.width) * l.depth + 31) / 32 * 4;
    l.start = start;
    return l;
}

// File header and info header; sizes, offset and depth are patched in at the end.
void writeHeaders(TStream& stream, const Layout& l, const TIOParamsVals& params)
{
    uint8_t fh[14] = {'B', 'M'};
    stream.WriteBuffer(fh, 14);
    const int infoSize = l.os2v1 ? 12 : l.version == 3 ? 64 : 40;
    uint8_t h[64] = {};
    putLe32(h, uint32_t(infoSize));
    if (l.os2v1) {
        putLe16(h + 4, uint32_t(l.width));
        putLe16(h + 6, uint32_t(l.height));
        putLe16(h + 8, 1);
    } else {
        putLe32(h + 4, uint32_t(l.width));
        putLe32(h + 8, uint32_t(l.height));
        putLe16(h + 12, 1);
        putLe32(h + 16, l.rle ? (l.depth == 4 ? 2 : 1) : 0);
        putLe32(h + 24, pixelsPerMetre(params.DpiX));
        putLe32(h + 28, pixelsPerMetre(params.DpiY));
        putLe32(h + 32, l.depth <= 8 ? uint32_t(1) << l.depth : 0);
        putLe32(h + 36, uint32_t(1) << l.depth);
    }
    stream.WriteBuffer(h, infoSize);
}

// The bitmap itself when it is 24-bit, else a 24-bit copy made in `expanded`.
const TBitmap& rgbSource(const TBitmap& bitmap, TBitmap& expanded)
{
    if (bitmap.PixelFormat() == pf24bit)
        return bitmap;
    expanded.Assign(bitmap);
    expanded.SetPixelFormat(pf24bit);
    return expanded;
}

// The pixels the rows are taken from, and the colour table of depths up to 8.
struct Source {
    TBitmap expanded;
    std::unique_ptr<TBitmap> mono;
    const TBitmap* pixels = nullptr;
    std::vector<TPaletteEntry> palette;
    std::unique_ptr<TIKQuantizer> quantizer;  // 4 and 8 bits
};

void allocateSource(const TBitmap& bitmap, const Layout& l, Source& src)
{
    if (l.depth == 4 || l.depth == 8) {
        src.pixels = &rgbSource(bitmap, src.expanded);
        src.palette.resize(size_t(1) << l.depth);
        src.quantizer = std::make_unique<TIKQuantizer>(*src.pixels, src.palette.data(), int(src.palette.size()));
    } else if (l.depth == 1) {
        src.palette.resize(2);
        src.mono = TwoColourPixels(bitmap, src.palette[0], src.palette[1]);
        src.pixels = src.mono ? src.mono.get() : &bitmap;
    } else {
        src.pixels = &rgbSource(bitmap, src.expanded);
    }
}

// The colour table goes into the parameters and the file.
void writePalette(TStream& stream, TIOParamsVals& params, const std::vector<TPaletteEntry>& pal, bool os2v1)
{
    const int colors = int(pal.size());
    std::vector<TIORGB> map(pal.size());
    for (size_t i = 0; i < pal.size(); ++i)
        map[i] = TIORGB{pal[i].Blue, pal[i].Green, pal[i].Red};
    params.SetColorMap(map.data(), colors);
    writeTable(stream, pal.data(), colors, os2v1);
}

struct RowProgress {
    TProgressRec& rec;
    double step;
    void report(int done) const
    {
        if (rec.Assigned())
            rec.Report(Trunc(done * step));
    }
};

// Rows go out bottom first; each returns false when the user aborted.
bool writeIndexedRows(TStream& stream, const Source& src, const Layout& l, const RowProgress& progress)
{
    std::vector<uint8_t> row(size_t(l.rowBytes), 0);
    std::vector<uint8_t> idx(size_t(l.width));
    QByteArray coded;
    for (int done = 0; done < l.height; ++done) {
        progress.report(done);
        const uint8_t* s = src.pixels->Image().constScanLine(l.height - 1 - done);
        for (int x = 0; x < l.width; ++x)
            idx[size_t(x)] = uint8_t(src.quantizer->RGBIndex(s + 3 * x));
        if (l.rle) {
            coded.clear();
            EncodeBMPRleRow(idx.data(), l.width, l.depth == 4, coded);
            stream.WriteBuffer(coded.constData(), coded.size());
        } else {
            std::fill(row.begin(), row.end(), 0);
            if (l.depth == 8)
                std::memcpy(row.data(), idx.data(), size_t(l.width));
            else
                for (int x = 0; x < l.width; ++x)
                    row[size_t(x / 2)] |= uint8_t((x & 1) ? idx[size_t(x)] & 15 : idx[size_t(x)] << 4);
            stream.WriteBuffer(row.data(), l.rowBytes);
        }
        if (progress.rec.Aborted())
            return false;
    }
    if (l.rle) {
        const uint8_t eob[2] = {0, 1};
        stream.WriteBuffer(eob, 2);
    }
    return true;
}

bool writeMonoRows(TStream& stream, const Source& src, const Layout& l, const RowProgress& progress)
{
    std::vector<uint8_t> row(size_t(l.rowBytes), 0);
    const int n = (l.width + 7) / 8;
    const uint8_t tailMask = uint8_t(0xFF << ((8 - (l.width & 7)) & 7));
    for (int done = 0; done < l.height; ++done) {
        progress.report(done);
        std::memcpy(row.data(), src.pixels->Image().constScanLine(l.height - 1 - done), size_t(n));
        row[size_t(n - 1)] &= tailMask;
        stream.WriteBuffer(row.data(), l.rowBytes);
        if (progress.rec.Aborted())
            return false;
    }
    return true;
}

bool writeRgbRows(TStream& stream, const Source& src, const Layout& l, const RowProgress& progress)
{
    const QImage& img = src.pixels->Image();
    // rows go out in blocks of about a megabyte
    const int perBlock = int(std::max<int64_t>(1, (int64_t(1) << 20) / l.rowBytes));
    std::vector<uint8_t> block(size_t(l.rowBytes) * size_t(perBlock), 0);
    int inBlock = 0;
    for (int done = 0; done < l.height; ++done) {
        progress.report(done);
        std::memcpy(block.data() + size_t(inBlock) * size_t(l.rowBytes), img.constScanLine(l.height - 1 - done),
                    size_t(3) * size_t(l.width));
        if (++inBlock == perBlock || done == l.height - 1) {
            stream.WriteBuffer(block.data(), l.rowBytes * inBlock);
            inBlock = 0;
        }
        if (progress.rec.Aborted()) {
            if (inBlock)
                stream.WriteBuffer(block.data(), l.rowBytes * inBlock);
            return false;
        }
    }
    return true;
}

// File size, pixel offset, depth and image size, once the rows are out.
void patchHeaders(TStream& stream, const Layout& l, int64_t offBits)
{
    const int64_t endPos = stream.Position();
    uint8_t patch[4];
    stream.SetPosition(l.start + 2);
    putLe32(patch, uint32_t(endPos - l.start));
    stream.WriteBuffer(patch, 4);
    stream.SetPosition(l.start + 10);
    putLe32(patch, uint32_t(offBits));
    stream.WriteBuffer(patch, 4);
    if (l.os2v1) {
        stream.SetPosition(l.start + 14 + 10);
        putLe16(patch, uint32_t(l.depth));
        stream.WriteBuffer(patch, 2);
    } else {
        stream.SetPosition(l.start + 14 + 14);
        putLe16(patch, uint32_t(l.depth));
        stream.WriteBuffer(patch, 2);
        stream.SetPosition(l.start + 14 + 20);
        putLe32(patch, uint32_t(endPos - l.start - offBits));
        stream.WriteBuffer(patch, 4);
    }
    stream.SetPosition(endPos);
}

}  // namespace

void WriteBMPStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    const Layout layout = checkedLayout(bitmap, params, stream.Position());
    writeHeaders(stream, layout, params);
    Source src;
    allocateSource(bitmap, layout, src);
    if (layout.depth <= 8)
        writePalette(stream, params, src.palette, layout.os2v1);
    const int64_t offBits = stream.Position() - layout.start;
    const RowProgress rows{progress, 100.0 / layout.height};
    const bool finished = layout.depth == 1  ? writeMonoRows(stream, src, layout, rows)
                        : layout.depth == 24 ? writeRgbRows(stream, src, layout, rows)
                                             : writeIndexedRows(stream, src, layout, rows);
    if (finished)
        patchHeaders(stream, layout, offBits);
}
