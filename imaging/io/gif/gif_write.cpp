// The GIF writer: the palette or the two colours and the frame through the coder hook.
#include "imaging/io/gif/gif.h"
#include "imaging/io/gif/gif_blocks.h"

#include "imaging/proc/quantizer.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

TPaletteEntry entryOf(TIORGB c) { return TPaletteEntry{c.b, c.g, c.r}; }

struct Indexed {
    std::vector<TPaletteEntry> palette;
    std::vector<uint8_t> indices;  // width × height, top row first
};

// Two colours: the bitmap's own two when it has exactly two (darker first), else a
// dithered black and white.
Indexed toMonochrome(const TBitmap& bitmap)
{
    Indexed out;
    out.palette = {TPaletteEntry{0, 0, 0}, TPaletteEntry{255, 255, 255}};
    std::unique_ptr<TBitmap> mono;
    const TBitmap* src = &bitmap;
    if (bitmap.PixelFormat() != pf1bit) {
        TPaletteEntry first, second;
        mono = ReduceToTwoColors(bitmap, first, second);
        if (mono) {
            out.palette = {first, second};
        } else {
            mono = std::make_unique<TBitmap>(bitmap);
            DitherToMonochrome(*mono);
        }
        src = mono.get();
    }
    const int w = src->Width(), h = src->Height();
    out.indices.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = src->ScanLine(y);
        for (int x = 0; x < w; ++x)
            out.indices[size_t(y) * size_t(w) + size_t(x)] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return out;
}

Indexed toPalette(const TBitmap& bitmap, int colors)
{
    Indexed out;
    TBitmap rgb;
    if (bitmap.PixelFormat() == pf1bit) {
        MonochromeTo24Bit(bitmap, rgb);
    } else {
        rgb.Assign(bitmap);
        rgb.SetPixelFormat(pf24bit);
    }
    out.palette.resize(size_t(colors));
    const TIKQuantizer quantizer(rgb, out.palette.data(), colors);
    const int w = rgb.Width(), h = rgb.Height();
    out.indices.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = rgb.ScanLine(y);
        for (int x = 0; x < w; ++x)
            out.indices[size_t(y) * size_t(w) + size_t(x)] = uint8_t(quantizer.RGBIndex(row + 3 * x));
    }
    return out;
}

}  // namespace

void WriteGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    progress.Report(0);
    if (progress.Aborted())
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("GIF writer got no image"));
    // A frame must lie on the screen; the screen grows to hold it where it is placed.
    const int left = std::clamp(params.GifXPos, 0, 65535), top = std::clamp(params.GifYPos, 0, 65535);
    const int64_t screenW = std::max<int64_t>(w, int64_t(left) + w), screenH = std::max<int64_t>(h, int64_t(top) + h);
    if (screenW > 65535 || screenH > 65535)
        throw EInvalidGraphic(QStringLiteral("GIF image is too large"));
    // Code sizes above 8 bits do not exist in GIF.
    const int bits = std::clamp(int(params.BitsPerSample), 1, 8);
    const int colors = 1 << bits;
    Indexed px = bits == 1 ? toMonochrome(bitmap) : toPalette(bitmap, colors);
    px.palette.resize(size_t(colors));
    progress.Report(30);
    if (progress.Aborted())
        return;

    // The control extension is always written, so the file is always a GIF89a.
    QByteArray head("GIF89a");
    auto put16 = [&head](int v) {
        head.append(char(v & 255));
        head.append(char((v >> 8) & 255));
    };
    put16(int(screenW));
    put16(int(screenH));
    head.append(char(0x80 + (bits - 1) * 16 + (bits - 1)));
    head.append(char(NearestPaletteIndex(px.palette.data(), colors, entryOf(params.GifBackground))));
    head.append('\0');
    for (const TPaletteEntry& e : px.palette) {
        head.append(char(e.Red));
        head.append(char(e.Green));
        head.append(char(e.Blue));
    }
    head.append(char(kGifExtension));
    head.append(char(kGifControlLabel));
    head.append(char(4));
    head.append(char((params.GifTransparent ? 1 : 0) + 8));
    put16(std::clamp(int(params.GifDelayTime), 0, 65535));
    head.append(char(NearestPaletteIndex(px.palette.data(), colors, entryOf(params.GifTransparentColor))));
    head.append('\0');
    head.append(char(kGifImage));
    put16(left);
    put16(top);
    put16(w);
    put16(h);
    head.append(char(params.GifInterlaced ? 0x40 : 0));
    stream.WriteBuffer(head.constData(), head.size());

    progress.Report(70);
    if (progress.Aborted())
        return;
    const TGifLzwCompress encode = params.GifLzwCompress ? params.GifLzwCompress : DefaultLzwHooks().GifCompress;
    if (!encode)
        throw EInvalidGraphic(QStringLiteral("LZW compressor not found"));
    encode(stream, h, w, bits, px.indices.data(), params.GifInterlaced != 0);
    stream.WriteU8(kGifTrailer);
    progress.Report(100);
}

void WriteGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    TSafeFileStream stream(fileName);
    WriteGIFStream(stream, bitmap, params, progress);
    if (!progress.Aborted())
        stream.Commit();
}
