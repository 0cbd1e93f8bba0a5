// The GIF reader: control extensions, frames and the pixels through the coder hook.
#include "imaging/io/gif/gif.h"
#include "imaging/io/gif/gif_blocks.h"

#include "imaging/io/mono_rows.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A forged descriptor cannot ask for more than a 24-bit bitmap of about 800 MB.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

// The most pixels LZW codes in `bytes` bytes can stand for. Each code takes three bits
// or more, and stands for a string at most one longer than the longest before it, up to
// the 4096 entries of the table. Only the frame's own bytes count: frames that each
// claimed every byte to the end of the file could ask for the same bytes many times.
int64_t maxLzwPixels(int64_t bytes)
{
    const int64_t codes = std::max<int64_t>(bytes, 0) * 8 / 3;
    const int64_t rising = std::min<int64_t>(codes, 4096);
    return rising * (rising + 1) / 2 + (codes - rising) * 4096;
}

TGifControl readControl(TStream& stream)
{
    // Only the first sub-block matters; a short one leaves the fields at zero.
    TGifControl c;
    QByteArray data;
    SkipGifSubBlocks(stream, &data);
    if (data.size() >= 5 && uint8_t(data[0]) >= 4) {
        const auto* d = reinterpret_cast<const uint8_t*>(data.constData()) + 1;
        c.present = true;
        c.packed = d[0];
        c.delay = d[1] | (d[2] << 8);
        c.transparentIndex = d[3];
    }
    return c;
}

// The code size byte ahead, left unread; 0 when the stream ends.
int peekCodeSize(TStream& stream)
{
    uint8_t b = 0;
    if (stream.Read(&b, 1) != 1)
        return 0;
    stream.Seek(-1, soFromCurrent);
    return b;
}

// Frames without any table get a grey ramp as deep as their code size.
std::vector<TIORGB> greyRamp(int bits)
{
    const int n = 1 << bits;
    std::vector<TIORGB> t(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto g = uint8_t(n > 1 ? i * 255 / (n - 1) : 0);
        t[size_t(i)] = TIORGB{g, g, g};
    }
    return t;
}

int tableBits(size_t entries)
{
    int bits = 1;
    while ((size_t(1) << bits) < entries && bits < 8)
        ++bits;
    return bits;
}

void fillBitmap(TBitmap& out, const std::vector<uint8_t>& indices, int w, int h, const std::vector<TIORGB>& map)
{
    // Indices beyond the table are black.
    TIORGB lookup[256] = {};
    std::copy_n(map.begin(), std::min<size_t>(map.size(), 256), lookup);
    const TMonoKind mono = map.size() == 2 ? MonoKindOf(map[0], map[1]) : TMonoKind::Colour;
    out.SetSize(1, 1);
    out.SetPixelFormat(mono == TMonoKind::Colour ? pf24bit : pf1bit);
    out.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = indices.data() + size_t(y) * size_t(w);
        uint8_t* row = out.ScanLine(y);
        if (mono != TMonoKind::Colour) {
            const int one = mono == TMonoKind::Plain ? 1 : 0;
            std::memset(row, 0, size_t((w + 7) / 8));
            for (int x = 0; x < w; ++x)
                if (src[x] == one)
                    row[x >> 3] |= uint8_t(0x80 >> (x & 7));
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const TIORGB c = lookup[src[x]];
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
}

}  // namespace

TGifFrames WalkGIFFrames(TStream& stream)
{
    TGifFrames frames;
    ReadGifScreen(stream, frames.Screen);
    TGifControl control;
    bool done = false;
    while (!done) {
        uint8_t tag = 0;
        if (stream.Read(&tag, 1) != 1)
            break;
        switch (tag) {
        case kGifTrailer: done = true; break;
        case kGifExtension: {
            uint8_t label = 0;
            if (stream.Read(&label, 1) != 1) {
                done = true;
                break;
            }
            // GIF87a knows no extensions, but files of that version carry them all the
            // same; they are honoured like those of a GIF89a file. The last one before
            // a frame is that frame's.
            if (label == kGifControlLabel)
                control = readControl(stream);
            else if (!SkipGifSubBlocks(stream))
                done = true;
            break;
        }
        case kGifImage: {
            const int64_t at = stream.Position();
            TGifDescriptor d;
            if (!ReadGifDescriptor(stream, d)) {
                done = true;
                break;
            }
            stream.Seek(std::min<int64_t>(1, stream.Remaining()), soFromCurrent);
            const int64_t data = stream.Position();
            if (!SkipGifSubBlocks(stream))
                done = true;
            frames.Frames.push_back({at, control, stream.Position() - data});
            control = {};
            break;
        }
        default:
            // Bytes that open no block are passed over one by one.
            break;
        }
    }
    return frames;
}

int ReadGIFFrame(TStream& stream, const TGifFrames& frames, int index, TBitmap& bitmap, TIOParamsVals& params,
                 TProgressRec& progress)
{
    progress.Report(0);
    if (progress.Aborted())
        return 0;
    const int count = int(frames.Frames.size());
    // A file without a single frame holds no picture to show.
    if (count == 0)
        throw EInvalidGraphic(QStringLiteral("unrecognized GIF"));
    const TGifScreen& screen = frames.Screen;
    // Nothing is handed over before the frame is known to decode.
    auto storeScreen = [&] {
        params.GifVersion = QString::fromLatin1(screen.Raw.left(6));
        params.GifScreenWidth = screen.Width;
        params.GifScreenHeight = screen.Height;
        params.GifAspectRatio = screen.Aspect;
        params.DpiX = ScreenDpiX();
        params.DpiY = ScreenDpiY();
        params.SamplesPerPixel = 1;
        if (!screen.GlobalTable.empty() && screen.BackgroundIndex < screen.GlobalTable.size())
            params.GifBackground = screen.GlobalTable[screen.BackgroundIndex];
    };
    if (index < 0 || index >= count) {
        storeScreen();
        progress.Report(100);
        return count;
    }
    const TGifFrameAt& frame = frames.Frames[size_t(index)];
    stream.SetPosition(frame.Descriptor);
    TGifDescriptor d;
    if (!ReadGifDescriptor(stream, d))
        throw EInvalidGraphic(QStringLiteral("GIF frame is truncated"));
    progress.Report(30);
    if (progress.Aborted())
        return index + 1;
    const int64_t pixels = int64_t(d.Width) * d.Height;
    if (pixels == 0)
        throw EInvalidGraphic(QStringLiteral("GIF frame has no pixels"));
    if (pixels > kMaxPixels || pixels > maxLzwPixels(frame.DataBytes))
        throw EInvalidGraphic(QStringLiteral("GIF frame is larger than its data"));
    std::vector<TIORGB> table = !d.LocalTable.empty() ? d.LocalTable : screen.GlobalTable;
    if (table.empty())
        table = greyRamp(std::clamp(peekCodeSize(stream), 1, 8));
    const TGifLzwDecompress decode = params.GifLzwDecompress ? params.GifLzwDecompress
                                                             : DefaultLzwHooks().GifDecompress;
    if (!decode)
        throw EInvalidGraphic(QStringLiteral("LZW decompressor not found"));
    std::vector<uint8_t> indices(size_t(pixels), 0);
    decode(stream, d.Height, d.Width, indices.data(), d.Interlaced());
    const TGifControl& control = frame.Control;
    const TIORGB none{};
    const int bits = tableBits(table.size());
    table.resize(size_t(1) << bits);
    TBitmap out;
    fillBitmap(out, indices, d.Width, d.Height, table);
    storeScreen();
    params.GifTransparentColor = control.transparentIndex < table.size() ? table[control.transparentIndex] : none;
    params.GifXPos = d.Left;
    params.GifYPos = d.Top;
    params.Width = d.Width;
    params.Height = d.Height;
    params.GifDelayTime = control.delay;
    params.GifTransparent = control.packed & 1;
    params.GifInterlaced = d.Interlaced() ? 1 : 0;
    progress.Report(70);
    if (progress.Aborted())
        return index + 1;
    params.BitsPerSample = bits;
    params.SetColorMap(table.data(), int(table.size()));
    bitmap.Assign(out);
    progress.Report(100);
    return count;
}

int ReadGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    if (progress.Aborted()) {
        progress.Report(0);
        return 0;
    }
    const TGifFrames frames = WalkGIFFrames(stream);
    return ReadGIFFrame(stream, frames, params.GifImageIndex, bitmap, params, progress);
}

int ReadGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    TFileStream stream(fileName, fmOpenRead);
    return ReadGIFStream(stream, bitmap, params, progress);
}
