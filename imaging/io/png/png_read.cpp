// PNG decoding: the choice of transformations, background composition, resolution,
// palette and the row loop with progress and abort.

#include "imaging/io/png/png.h"
#include "imaging/io/png/png_glue.h"


#include "imaging/io/io_params.h"
#include "platform/core/color.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int64_t kMaxPixels = int64_t(1) << 29;
constexpr png_uint_32 kMaxSide = png_uint_32(1) << 20;
// Ancillary chunks are read whole into memory; the ones we use are a few bytes long, so
// a chunk that claims more is skipped without the library allocating what it claims.
constexpr png_alloc_size_t kMaxChunkBytes = 64 * 1024;
// Deflate turns one byte into at most 1032 (a 258-byte match in two bits); headers and
// block boundaries add a little.
constexpr int64_t kMaxInflateRatio = 1032;
constexpr int64_t kInflateSlack = 64 * 1024;
// Chunks we never use, ignored so that the library neither stores nor inflates them.
constexpr png_byte kIgnoredChunks[] = {'t', 'E', 'X', 't', 0, 'z', 'T', 'X', 't', 0, 'i', 'T', 'X', 't', 0,
                                       's', 'P', 'L', 'T', 0, 'e', 'X', 'I', 'f', 0, 'p', 'C', 'A', 'L', 0,
                                       's', 'C', 'A', 'L', 0, 'h', 'I', 'S', 'T', 0, 't', 'I', 'M', 'E', 0};

struct TReadContext {
    TPngIo io;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~TReadContext()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

// What the reader asks of the library; plain data so that it may cross a setjmp.
struct TPlan {
    bool expand = false;  // palette → RGB, grey < 8 bits → 8 bits, tRNS → alpha
    bool grayTo8 = false;
    bool strip16 = false;
    bool packing = false;
    bool grayToRgb = false;
    bool bgr = false;
    bool compose = false;
    png_color_16 background{};
    int gammaCode = PNG_BACKGROUND_GAMMA_SCREEN;
    int needExpand = 0;
    int passes = 1;
};

struct THeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
};

bool readInfo(TReadContext* c, THeader* h)
{
    if (setjmp(c->io.jump))
        return false;
    c->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c->io, PngErrorFn, PngWarningFn);
    if (!c->png)
        return false;
    c->info = png_create_info_struct(c->png);
    if (!c->info)
        return false;
    png_set_read_fn(c->png, &c->io, PngReadFn);
    // The sides are checked by us, so that a refusal can name our limit.
    png_set_user_limits(c->png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_chunk_malloc_max(c->png, kMaxChunkBytes);
    png_set_keep_unknown_chunks(c->png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, int(sizeof kIgnoredChunks / 5));
    // bKGD is read by us: the library drops an 8-bit file's old ×256 values. The
    // colour-space chunks are skipped: transparency is composed on the stored values,
    // not in a gamma-corrected space, so a picture looks as in other viewers.
    static const png_byte ourChunks[] = {'b', 'K', 'G', 'D', 0,   'g', 'A', 'M', 'A', 0,   's', 'R', 'G',
                                         'B', 0,   'i', 'C', 'C', 'P', 0,   'c', 'H', 'R', 'M', 0};
    png_set_keep_unknown_chunks(c->png, PNG_HANDLE_CHUNK_ALWAYS, ourChunks, 5);
    png_set_read_user_chunk_fn(c->png, &c->io, PngUserChunkFn);
    png_read_info(c->png, c->info);
    png_get_IHDR(c->png, c->info, &h->width, &h->height, &h->bitDepth, &h->colorType, &h->interlace, nullptr, nullptr);
    return true;
}

bool applyPlan(TReadContext* c, TPlan* p)
{
    if (setjmp(c->io.jump))
        return false;
    png_structp png = c->png;
    if (p->grayTo8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (p->expand)
        png_set_expand(png);
    if (p->compose)
        png_set_background(png, &p->background, p->gammaCode, p->needExpand, 1.0);
    if (p->strip16)
        png_set_strip_16(png);
    if (p->packing)
        png_set_packing(png);
    if (p->grayToRgb)
        png_set_gray_to_rgb(png);
    if (p->bgr)
        png_set_bgr(png);
    p->passes = png_set_interlace_handling(png);
    png_read_update_info(png, c->info);
    return true;
}

bool readRow(TReadContext* c, png_bytep row)
{
    if (setjmp(c->io.jump))
        return false;
    png_read_row(c->png, row, nullptr);
    return true;
}

bool readEnd(TReadContext* c)
{
    if (setjmp(c->io.jump))
        return false;
    png_read_end(c->png, nullptr);
    return true;
}

// Every refusal says why, after the words the callers have always seen.
[[noreturn]] void refuse(const QString& why) { throw EInvalidGraphic(QStringLiteral("Unrecognized PNG - ") + why); }

[[noreturn]] void raise(TReadContext& c)
{
    if (c.io.streamError)
        std::rethrow_exception(c.io.streamError);
    refuse(c.io.message[0] ? QString::fromLatin1(c.io.message) : QStringLiteral("bad image data"));
}

// Filtered, uncompressed size of the image data: a filter byte and the packed samples
// per row (an interlaced image has a little more, in its passes' extra filter bytes).
int64_t rawImageBytes(const THeader& h)
{
    int channels = 1;
    switch (h.colorType) {
    case PNG_COLOR_TYPE_RGB: channels = 3; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: channels = 2; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: channels = 4; break;
    default: break;
    }
    const int64_t rowBytes = (int64_t(h.width) * channels * h.bitDepth + 7) / 8;
    return int64_t(h.height) * (1 + rowBytes);
}

// Bytes the reader can still get: what the stream holds past its position and what
// was read ahead but not yet used.
int64_t remainingBytes(TStream& stream, const TPngIo& io)
{
    int64_t left = 0;
    try {
        left = std::max<int64_t>(0, stream.Size() - stream.Position());
    } catch (const Exception&) {
        left = 0;
    }
    return left + int64_t(io.len - io.pos);
}

int ppmToDpi(png_uint_32 ppm, int screen)
{
    if (ppm == 0)
        return screen;
    const int dpi = Round(double(ppm) / 100.0 * 2.54);
    return dpi > 0 ? dpi : screen;
}

TIORGB paletteEntry(const png_color* palette, int count, int index)
{
    if (!palette || index < 0 || index >= count)
        return TIORGB{};  // entries the file lacks count as black
    return TIORGB{palette[index].blue, palette[index].green, palette[index].red};
}

// The file's background, when it has a usable bKGD: filled into the library's form
// (at the file's own depth, for need-expand) and into 8-bit channels for the record.
bool fileBackground(const TPngIo& io, const THeader& h, const png_color* palette, int paletteCount, png_color_16& out,
                    TIORGB& rgb)
{
    out = png_color_16{};
    if (h.colorType == PNG_COLOR_TYPE_PALETTE) {
        if (io.bkgdLength != 1 || io.bkgd[0] >= paletteCount)
            return false;
        out.index = io.bkgd[0];
        rgb = paletteEntry(palette, paletteCount, io.bkgd[0]);
        out.red = rgb.r;
        out.green = rgb.g;
        out.blue = rgb.b;
        return true;
    }
    const int maxValue = (1 << h.bitDepth) - 1;
    auto fit = [&](int v, int& result) {
        // An 8-bit file may carry the old form, scaled by 256.
        if (v > maxValue && h.bitDepth == 8)
            v >>= 8;
        if (v > maxValue)
            return false;
        result = v;
        return true;
    };
    auto to8 = [&](int v) { return uint8_t(h.bitDepth == 16 ? v >> 8 : v * 255 / maxValue); };
    if ((h.colorType & PNG_COLOR_MASK_COLOR) == 0) {
        int g = 0;
        if (io.bkgdLength != 2 || !fit((io.bkgd[0] << 8) | io.bkgd[1], g))
            return false;
        out.gray = png_uint_16(g);
        out.red = out.green = out.blue = png_uint_16(g);
        rgb = TIORGB{to8(g), to8(g), to8(g)};
        return true;
    }
    if (io.bkgdLength != 6)
        return false;
    int r = (io.bkgd[0] << 8) | io.bkgd[1];
    int g = (io.bkgd[2] << 8) | io.bkgd[3];
    int b = (io.bkgd[4] << 8) | io.bkgd[5];
    if (h.bitDepth == 8 && (r > 255 || g > 255 || b > 255)) {
        r >>= 8;
        g >>= 8;
        b >>= 8;
    }
    if (!fit(r, r) || !fit(g, g) || !fit(b, b))
        return false;
    out.red = png_uint_16(r);
    out.green = png_uint_16(g);
    out.blue = png_uint_16(b);
    rgb = TIORGB{to8(b), to8(g), to8(r)};
    return true;
}

// The header, read and checked before anything is sized by it.
void readCheckedHeader(TStream& stream, TReadContext& ctx, THeader& h)
{
    ctx.io.stream = &stream;
    if (!readInfo(&ctx, &h))
        raise(ctx);
    if (h.width == 0 || h.height == 0)
        refuse(QStringLiteral("the image has no pixels"));
    if (h.width > kMaxSide || h.height > kMaxSide)
        refuse(QStringLiteral("image size %1 × %2 is larger than the limit of %3 pixels a side")
                   .arg(h.width)
                   .arg(h.height)
                   .arg(kMaxSide));
    if (int64_t(h.width) * int64_t(h.height) > kMaxPixels)
        refuse(QStringLiteral("image size %1 × %2 is larger than the limit of %3 pixels")
                   .arg(h.width)
                   .arg(h.height)
                   .arg(kMaxPixels));
    // A header may claim an image that the rest of the stream could not hold even at
    // deflate's best: refuse it before anything is sized by it.
    if (rawImageBytes(h) > remainingBytes(stream, ctx.io) * kMaxInflateRatio + kInflateSlack)
        refuse(QStringLiteral("the file is truncated: too short for a %1 × %2 image").arg(h.width).arg(h.height));
}

// The file's palette and transparency, and the form its pixels take in the bitmap.
struct TPalette {
    png_colorp entries = nullptr;
    int count = 0;
    std::vector<TIORGB> colorMap;  // our own copy, for the colour map and the index table
    bool hasTrns = false;
    bool hasAlpha = false;
    bool isGray = false;
    bool oneBit = false;      // a 1-bit bitmap
    bool invertBits = false;  // ... whose file has white first
    bool mapPalette = false;  // indices mapped through our own table
};

TPalette readPalette(TReadContext& ctx, const THeader& h)
{
    TPalette p;
    if (h.colorType == PNG_COLOR_TYPE_PALETTE &&
        (png_get_PLTE(ctx.png, ctx.info, &p.entries, &p.count) & PNG_INFO_PLTE) == 0) {
        p.entries = nullptr;
        p.count = 0;
    }
    p.colorMap.resize(static_cast<size_t>(p.count));
    for (int i = 0; i < p.count; ++i)
        p.colorMap[size_t(i)] = paletteEntry(p.entries, p.count, i);
    p.hasTrns = png_get_valid(ctx.png, ctx.info, PNG_INFO_tRNS) != 0;
    p.hasAlpha = (h.colorType & PNG_COLOR_MASK_ALPHA) != 0;
    p.isGray = (h.colorType & PNG_COLOR_MASK_COLOR) == 0;

    // A 1-bit image stays 1-bit when its two colours are black and white (in either
    // order) and nothing is transparent; any other 1-bit palette becomes 24-bit.
    if (h.bitDepth == 1 && !p.hasTrns) {
        if (h.colorType == PNG_COLOR_TYPE_GRAY)
            p.oneBit = true;
        else if (h.colorType == PNG_COLOR_TYPE_PALETTE) {
            const TIORGB c0 = paletteEntry(p.entries, p.count, 0);
            const TIORGB c1 = paletteEntry(p.entries, p.count, 1);
            const TIORGB black{}, white{255, 255, 255};
            if (c0 == black && c1 == white)
                p.oneBit = true;
            else if (c0 == white && c1 == black)
                p.oneBit = p.invertBits = true;
            if (p.count < 2)
                p.oneBit = p.invertBits = false;
        }
    }
    // Palette images are mapped through a table of our own: indices past the palette
    // are caught (the library lets them through as black) and tRNS entries are composed
    // right in the table.
    p.mapPalette = !p.oneBit && h.colorType == PNG_COLOR_TYPE_PALETTE;
    return p;
}

// The library's transformations; transparency is composed over the file's own
// background when it has one, else over ours.
TPlan planFor(const THeader& h, const TPalette& p, bool haveFileBack, const png_color_16& fileBkgd,
              const TIORGB& ourBackground)
{
    TPlan plan;
    if (p.mapPalette) {
        plan.packing = h.bitDepth < 8;
    } else if (!p.oneBit) {
        if (p.isGray && h.bitDepth < 8)
            plan.grayTo8 = true;
        if (p.hasTrns)
            plan.expand = true;
        plan.strip16 = h.bitDepth == 16;
        plan.packing = h.bitDepth > 1 && h.bitDepth < 8;
        plan.grayToRgb = p.isGray;
        plan.bgr = true;
    }
    if (!p.oneBit && !p.mapPalette && (p.hasAlpha || p.hasTrns)) {
        plan.compose = true;
        if (haveFileBack) {
            // The file's own colour, at the file's depth.
            plan.background = fileBkgd;
            plan.gammaCode = PNG_BACKGROUND_GAMMA_FILE;
            plan.needExpand = 1;
        } else {
            // Ours in the output's 8 bits; the library widens it for 16-bit files.
            const TIORGB c = ourBackground;
            plan.background.red = c.r;
            plan.background.green = c.g;
            plan.background.blue = c.b;
            plan.background.gray = png_uint_16(GreyValue(c.r, c.g, c.b));
            plan.gammaCode = PNG_BACKGROUND_GAMMA_SCREEN;
            plan.needExpand = 0;
        }
    }
    return plan;
}

// 256 entries, those the file lacks black; transparency composed in.
std::vector<uint8_t> indexTable(TReadContext& ctx, const TPalette& p, const TIORGB& composeOver)
{
    png_bytep transAlpha = nullptr;
    int numTrans = 0;
    if (p.hasTrns && png_get_tRNS(ctx.png, ctx.info, &transAlpha, &numTrans, nullptr) == 0)
        numTrans = 0;
    std::vector<uint8_t> table(256 * 3, 0);
    for (int i = 0; i < p.count && i < 256; ++i) {
        const TIORGB c = p.colorMap[size_t(i)];
        const int a = transAlpha && i < numTrans ? transAlpha[i] : 255;
        table[size_t(3 * i)] = uint8_t((c.b * a + composeOver.b * (255 - a) + 127) / 255);
        table[size_t(3 * i + 1)] = uint8_t((c.g * a + composeOver.g * (255 - a) + 127) / 255);
        table[size_t(3 * i + 2)] = uint8_t((c.r * a + composeOver.r * (255 - a) + 127) / 255);
    }
    return table;
}

// The bitmap, once the library's rows are known to have the form asked for.
QImage allocateImage(TReadContext& ctx, const THeader& h, const TPalette& p)
{
    const int width = int(h.width);
    const int height = int(h.height);
    const size_t rowBytes = png_get_rowbytes(ctx.png, ctx.info);
    const int outChannels = png_get_channels(ctx.png, ctx.info);
    const int outDepth = png_get_bit_depth(ctx.png, ctx.info);
    size_t wanted = size_t(width) * 3;
    int wantedChannels = 3, wantedDepth = 8;
    if (p.oneBit) {
        wanted = (size_t(width) + 7) / 8;
        wantedChannels = 1;
        wantedDepth = 1;
    } else if (p.mapPalette) {
        wanted = size_t(width);
        wantedChannels = 1;
    }
    if (outChannels != wantedChannels || outDepth != wantedDepth || rowBytes != wanted)
        refuse(QStringLiteral("pixel layout not supported"));

    QImage image = TBitmap::AllocateImage(width, height, p.oneBit ? QImage::Format_Mono : QImage::Format_BGR888);
    if (image.isNull())
        throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 bitmap").arg(width).arg(height));
    if (p.oneBit)
        image.setColorTable(MonoColorTable());
    // Interlaced passes fill a row bit by bit: start from a defined image.
    if (h.interlace != PNG_INTERLACE_NONE && !p.mapPalette)
        image.fill(p.oneBit ? 1u : 0xFFFFFFu);
    return image;
}

// Every pass's rows with progress; an abort leaves the rest white.
void readRows(TReadContext& ctx, const THeader& h, const TPalette& p, const std::vector<uint8_t>& table, int passes,
              QImage& image, TProgressRec& progress)
{
    const int width = int(h.width);
    const int height = int(h.height);
    const bool interlaced = h.interlace != PNG_INTERLACE_NONE;
    // Palette indices: one row, or the whole image while passes build it up.
    std::vector<uint8_t> indices;
    if (p.mapPalette)
        indices.assign(interlaced ? size_t(width) * size_t(height) : size_t(width), 0);
    bool badIndex = false;
    auto mapRow = [&](const uint8_t* idx, int y) {
        uint8_t* out = image.scanLine(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const unsigned i = idx[x];
            badIndex |= int(i) >= p.count;
            std::memcpy(out, &table[3 * i], 3);
        }
    };

    const int64_t totalRows = int64_t(height) * passes;
    progress.val = 0;
    progress.per1 = 100.0 / double(totalRows);
    bool aborted = false;
    int rowsDone = 0;  // rows complete in the bitmap (non-interlaced files)
    for (int pass = 0; pass < passes && !aborted; ++pass) {
        for (int y = 0; y < height; ++y) {
            uint8_t* target = image.scanLine(y);
            if (p.mapPalette)
                target = indices.data() + (interlaced ? size_t(y) * size_t(width) : 0);
            if (!readRow(&ctx, target))
                raise(ctx);
            if (p.mapPalette && !interlaced)
                mapRow(target, y);
            rowsDone = y + 1;
            ++progress.val;
            if (progress.Assigned())
                progress.Report(int(int64_t(progress.val) * 100 / totalRows));
            if (progress.Aborted()) {
                aborted = true;
                break;
            }
        }
    }
    if (p.mapPalette && interlaced)
        for (int y = 0; y < height; ++y)
            mapRow(indices.data() + size_t(y) * size_t(width), y);
    if (badIndex)
        refuse(QStringLiteral("pixels name colours the palette lacks"));
    if (!aborted) {
        if (!readEnd(&ctx))
            raise(ctx);
        if (ctx.io.badPaletteIndex)
            refuse(QStringLiteral("pixels name colours the palette lacks"));
        ReturnUnusedPngInput(ctx.io);
    }
    if (p.invertBits)
        image.invertPixels();
    if (aborted && !interlaced) {
        // Rows an abort leaves unread stay white rather than undefined.
        for (int y = rowsDone; y < height; ++y)
            std::memset(image.scanLine(y), 0xFF, size_t(image.bytesPerLine()));
    }
}

void storeParameters(TReadContext& ctx, const THeader& h, const TPalette& p, TIOParamsVals& params)
{
    params.Width = int(h.width);
    params.Height = int(h.height);
    params.BitsPerSample = h.bitDepth;
    switch (h.colorType) {
    case PNG_COLOR_TYPE_GRAY: params.SamplesPerPixel = 1; break;
    case PNG_COLOR_TYPE_PALETTE: params.SamplesPerPixel = 1; break;
    case PNG_COLOR_TYPE_RGB: params.SamplesPerPixel = 3; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: params.SamplesPerPixel = 2; break;
    default: params.SamplesPerPixel = 4; break;
    }
    params.DpiX = ppmToDpi(png_get_x_pixels_per_meter(ctx.png, ctx.info), ScreenDpiX());
    params.DpiY = ppmToDpi(png_get_y_pixels_per_meter(ctx.png, ctx.info), ScreenDpiY());
    params.FreeColorMap();
    if (h.colorType == PNG_COLOR_TYPE_PALETTE && p.count > 0)
        params.SetColorMap(p.colorMap.data(), p.count);
    params.PngInterlaced = h.interlace != PNG_INTERLACE_NONE ? 1 : 0;
}

}  // namespace

void ReadPNGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    auto ctx = std::make_unique<TReadContext>();
    THeader h;
    readCheckedHeader(stream, *ctx, h);
    const TPalette palette = readPalette(*ctx, h);

    TIORGB fileBack;
    png_color_16 bkgd{};
    const bool haveFileBack = fileBackground(ctx->io, h, palette.entries, palette.count, bkgd, fileBack);
    TPlan plan = planFor(h, palette, haveFileBack, bkgd, params.PngBackground);
    std::vector<uint8_t> table;
    if (palette.mapPalette)
        table = indexTable(*ctx, palette, haveFileBack ? fileBack : params.PngBackground);
    if (!applyPlan(ctx.get(), &plan))
        raise(*ctx);

    QImage image = allocateImage(*ctx, h, palette);
    readRows(*ctx, h, palette, table, std::max(1, plan.passes), image, progress);

    storeParameters(*ctx, h, palette, params);
    if (haveFileBack)
        params.PngBackground = fileBack;
    bitmap.SetImage(image);
}
