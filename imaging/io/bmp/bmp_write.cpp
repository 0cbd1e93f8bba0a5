// The BMP writer: depths, palettes, run-length rows and the headers.
#include "imaging/io/bmp/bmp.h"

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
           : params.SamplesPerPixel == 1                          ? 8
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
uint32_t pixelsPerMetre(int dpi)
{
    return uint32_t(std::clamp<int64_t>(Round64(dpi / 2.54 * 100), 0, INT32_MAX));
}

}  // namespace

void WriteBMPStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("Cannot write an empty bitmap"));
    const int version = params.BmpVersion;
    if (version > 3)
        throw EInvalidGraphic(QStringLiteral("Invalid BMP version"));
    const bool os2v1 = version == 2;
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    if (os2v1 && (width > 0xFFFF || height > 0xFFFF))
        throw EInvalidGraphic(QStringLiteral("Image too large for an OS/2 1.x bitmap"));
    const int depth = BmpWrittenDepth(params);
    const bool rle = BmpWritesRle(params);

    const int64_t start = stream.Position();
    uint8_t fh[14] = {'B', 'M'};
    stream.WriteBuffer(fh, 14);
    const int infoSize = os2v1 ? 12 : version == 3 ? 64 : 40;
    {
        uint8_t h[64] = {};
        putLe32(h, uint32_t(infoSize));
        if (os2v1) {
            putLe16(h + 4, uint32_t(width));
            putLe16(h + 6, uint32_t(height));
            putLe16(h + 8, 1);
        } else {
            putLe32(h + 4, uint32_t(width));
            putLe32(h + 8, uint32_t(height));
            putLe16(h + 12, 1);
            putLe32(h + 16, rle ? (depth == 4 ? 2 : 1) : 0);
            putLe32(h + 24, pixelsPerMetre(params.DpiX));
            putLe32(h + 28, pixelsPerMetre(params.DpiY));
            putLe32(h + 32, depth <= 8 ? uint32_t(1) << depth : 0);
            putLe32(h + 36, uint32_t(1) << depth);
        }
        stream.WriteBuffer(h, infoSize);
    }

    const double step = 100.0 / height;
    const int64_t rowBytes = (int64_t(width) * depth + 31) / 32 * 4;
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
    int64_t offBits = 0;
    bool finished = true;
    auto rowStart = [&](int done) {
        if (progress.Assigned())
            progress.Report(Trunc(done * step));
    };

    if (depth == 4 || depth == 8) {
        TBitmap expanded;
        const TBitmap* src = &bitmap;
        if (bitmap.PixelFormat() != pf24bit) {
            expanded.Assign(bitmap);
            expanded.SetPixelFormat(pf24bit);
            src = &expanded;
        }
        const int colors = 1 << depth;
        std::vector<TPaletteEntry> pal(static_cast<size_t>(colors));
        TIKQuantizer quant(*src, pal.data(), colors);
        std::vector<TIORGB> map(static_cast<size_t>(colors));
        for (int i = 0; i < colors; ++i)
            map[size_t(i)] = TIORGB{pal[size_t(i)].Blue, pal[size_t(i)].Green, pal[size_t(i)].Red};
        params.SetColorMap(map.data(), colors);
        writeTable(stream, pal.data(), colors, os2v1);
        offBits = stream.Position() - start;
        std::vector<uint8_t> idx(static_cast<size_t>(width));
        QByteArray coded;
        for (int done = 0; done < height; ++done) {
            rowStart(done);
            const uint8_t* s = src->Image().constScanLine(height - 1 - done);
            for (int x = 0; x < width; ++x)
                idx[size_t(x)] = uint8_t(quant.RGBIndex(s + 3 * x));
            if (rle) {
                coded.clear();
                EncodeBMPRleRow(idx.data(), width, depth == 4, coded);
                stream.WriteBuffer(coded.constData(), coded.size());
            } else {
                std::fill(row.begin(), row.end(), 0);
                if (depth == 8)
                    std::memcpy(row.data(), idx.data(), size_t(width));
                else
                    for (int x = 0; x < width; ++x)
                        row[size_t(x / 2)] |= uint8_t((x & 1) ? idx[size_t(x)] & 15 : idx[size_t(x)] << 4);
                stream.WriteBuffer(row.data(), rowBytes);
            }
            if (progress.Aborted()) {
                finished = false;
                break;
            }
        }
        if (finished && rle) {
            const uint8_t eob[2] = {0, 1};
            stream.WriteBuffer(eob, 2);
        }
    } else if (depth == 1) {
        TPaletteEntry pal[2] = {{0, 0, 0}, {255, 255, 255}};
        std::unique_ptr<TBitmap> owned;
        const TBitmap* src = &bitmap;
        if (bitmap.PixelFormat() != pf1bit) {
            TBitmap expanded;
            const TBitmap* full = &bitmap;
            if (bitmap.PixelFormat() != pf24bit) {
                expanded.Assign(bitmap);
                expanded.SetPixelFormat(pf24bit);
                full = &expanded;
            }
            owned = ReduceToTwoColors(*full, pal[0], pal[1]);
            if (!owned) {
                pal[0] = {0, 0, 0};
                pal[1] = {255, 255, 255};
                owned = std::make_unique<TBitmap>();
                owned->Assign(*full);
                DitherToMonochrome(*owned);
            }
            src = owned.get();
        }
        const TIORGB map[2] = {{pal[0].Blue, pal[0].Green, pal[0].Red}, {pal[1].Blue, pal[1].Green, pal[1].Red}};
        params.SetColorMap(map, 2);
        writeTable(stream, pal, 2, os2v1);
        offBits = stream.Position() - start;
        const int n = (width + 7) / 8;
        const uint8_t tailMask = uint8_t(0xFF << ((8 - (width & 7)) & 7));
        for (int done = 0; done < height; ++done) {
            rowStart(done);
            std::memcpy(row.data(), src->Image().constScanLine(height - 1 - done), size_t(n));
            row[size_t(n - 1)] &= tailMask;
            stream.WriteBuffer(row.data(), rowBytes);
            if (progress.Aborted()) {
                finished = false;
                break;
            }
        }
    } else {
        TBitmap expanded;
        const TBitmap* src = &bitmap;
        if (bitmap.PixelFormat() != pf24bit) {
            expanded.Assign(bitmap);
            expanded.SetPixelFormat(pf24bit);
            src = &expanded;
        }
        offBits = stream.Position() - start;
        const QImage& img = src->Image();
        // rows go out in blocks of about a megabyte
        const int perBlock = int(std::max<int64_t>(1, (int64_t(1) << 20) / rowBytes));
        std::vector<uint8_t> block(size_t(rowBytes) * size_t(perBlock), 0);
        int inBlock = 0;
        for (int done = 0; done < height; ++done) {
            rowStart(done);
            std::memcpy(block.data() + size_t(inBlock) * size_t(rowBytes), img.constScanLine(height - 1 - done),
                        size_t(3) * size_t(width));
            if (++inBlock == perBlock || done == height - 1) {
                stream.WriteBuffer(block.data(), rowBytes * inBlock);
                inBlock = 0;
            }
            if (progress.Aborted()) {
                if (inBlock)
                    stream.WriteBuffer(block.data(), rowBytes * inBlock);
                finished = false;
                break;
            }
        }
    }

    if (!finished)
        return;
    const int64_t endPos = stream.Position();
    uint8_t patch[4];
    stream.SetPosition(start + 2);
    putLe32(patch, uint32_t(endPos - start));
    stream.WriteBuffer(patch, 4);
    stream.SetPosition(start + 10);
    putLe32(patch, uint32_t(offBits));
    stream.WriteBuffer(patch, 4);
    if (os2v1) {
        stream.SetPosition(start + 14 + 10);
        putLe16(patch, uint32_t(depth));
        stream.WriteBuffer(patch, 2);
    } else {
        stream.SetPosition(start + 14 + 14);
        putLe16(patch, uint32_t(depth));
        stream.WriteBuffer(patch, 2);
        stream.SetPosition(start + 14 + 20);
        putLe32(patch, uint32_t(endPos - start - offBits));
        stream.WriteBuffer(patch, 4);
    }
    stream.SetPosition(endPos);
}
