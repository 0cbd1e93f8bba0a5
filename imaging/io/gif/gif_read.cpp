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

// A forged descriptor cannot ask for more than a 24-bit bitmap of about 800 MB; and LZW
// codes of 12 bits yield at most 4096 pixels each, which bounds a frame by its data.
constexpr int64_t kMaxPixels = int64_t(1) << 28;
constexpr int64_t kMaxPixelsPerByte = 4096 * 8 / 3 + 1;

struct Control {
    bool present = false;
    uint8_t packed = 0;
    int delay = 0;
    uint8_t transparentIndex = 0;
};

Control readControl(TStream& stream)
{
    // Only the first sub-block matters; a short one leaves the fields at zero.
    Control c;
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

void fillBitmap(TBitmap& bitmap, const std::vector<uint8_t>& indices, int w, int h, const std::vector<TIORGB>& map)
{
    // Indices beyond the table are black.
    TIORGB lookup[256] = {};
    std::copy_n(map.begin(), std::min<size_t>(map.size(), 256), lookup);
    const TMonoKind mono = map.size() == 2 ? MonoKindOf(map[0], map[1]) : TMonoKind::Colour;
    TBitmap out;
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
    bitmap.Assign(out);
}

}  // namespace

int ReadGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    progress.Report(0);
    if (progress.Aborted())
        return 0;
    TGifScreen screen;
    ReadGifScreen(stream, screen);
    params.GifVersion = QString::fromLatin1(screen.Raw.left(6));
    params.GifScreenWidth = screen.Width;
    params.GifScreenHeight = screen.Height;
    params.GifAspectRatio = screen.Aspect;
    params.DpiX = ScreenDpiX();
    params.DpiY = ScreenDpiY();
    params.SamplesPerPixel = 1;
    if (!screen.GlobalTable.empty() && screen.BackgroundIndex < screen.GlobalTable.size())
        params.GifBackground = screen.GlobalTable[screen.BackgroundIndex];

    const int wanted = params.GifImageIndex;
    int count = 0;
    Control control;
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
            // same; they are honoured like those of a GIF89a file.
            if (label == kGifControlLabel && count == wanted)
                control = readControl(stream);
            else if (!SkipGifSubBlocks(stream))
                done = true;
            break;
        }
        case kGifImage: {
            TGifDescriptor d;
            if (!ReadGifDescriptor(stream, d)) {
                done = true;
                break;
            }
            if (count++ != wanted) {
                stream.Seek(std::min<int64_t>(1, stream.Remaining()), soFromCurrent);
                if (!SkipGifSubBlocks(stream))
                    done = true;
                break;
            }
            progress.Report(30);
            if (progress.Aborted())
                return count;
            const int64_t pixels = int64_t(d.Width) * d.Height;
            if (pixels == 0)
                throw EInvalidGraphic(QStringLiteral("GIF frame has no pixels"));
            if (pixels > kMaxPixels || pixels > (stream.Remaining() + 1) * kMaxPixelsPerByte)
                throw EInvalidGraphic(QStringLiteral("GIF frame is larger than its data"));
            std::vector<TIORGB> table = !d.LocalTable.empty() ? d.LocalTable : screen.GlobalTable;
            if (table.empty())
                table = greyRamp(std::clamp(peekCodeSize(stream), 1, 8));
            const TGifLzwDecompress decode = params.GifLzwDecompress ? params.GifLzwDecompress
                                                                     : DefaultLzwHooks().GifDecompress;
            if (!decode)
                throw EInvalidGraphic(QStringLiteral("LZW decompressor not found"));
            const TIORGB none{};
            params.GifTransparentColor = control.transparentIndex < table.size() ? table[control.transparentIndex]
                                                                                 : none;
            params.GifXPos = d.Left;
            params.GifYPos = d.Top;
            params.Width = d.Width;
            params.Height = d.Height;
            params.GifDelayTime = control.delay;
            params.GifTransparent = control.packed & 1;
            params.GifInterlaced = d.Interlaced() ? 1 : 0;
            std::vector<uint8_t> indices(size_t(pixels), 0);
            decode(stream, d.Height, d.Width, indices.data(), d.Interlaced());
            progress.Report(70);
            if (progress.Aborted())
                return count;
            params.BitsPerSample = tableBits(table.size());
            table.resize(size_t(1) << params.BitsPerSample);
            params.SetColorMap(table.data(), int(table.size()));
            fillBitmap(bitmap, indices, d.Width, d.Height, table);
            break;
        }
        default:
            // Bytes that open no block are passed over one by one.
            break;
        }
    }
    // A file without a single frame holds no picture to show.
    if (count == 0 && !progress.Aborted())
        throw EInvalidGraphic(QStringLiteral("unrecognized GIF"));
    if (!progress.Aborted())
        progress.Report(100);
    return count;
}

int ReadGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    TFileStream stream(fileName, fmOpenRead);
    return ReadGIFStream(stream, bitmap, params, progress);
}
