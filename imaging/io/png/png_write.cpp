// PNG encoding: source bitmap and colour type, palette through the quantiser,
// resolution, filter, background, compression level and the row loop.

#include "imaging/io/png/png.h"
#include "imaging/io/png/png_glue.h"

#include "imaging/io/io_params.h"
#include "imaging/proc/quantizer.h"
#include "platform/core/color.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct TWriteContext {
    TPngIo io;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~TWriteContext()
    {
        if (png)
            png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

struct THeaderPlan {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    png_uint_32 ppmX = 0;
    png_uint_32 ppmY = 0;
    int filter = -1;
    int level = 5;
    png_color_16 background{};
    png_color palette[256]{};
    int passes = 1;
};

bool writeHeader(TWriteContext* c, THeaderPlan* p)
{
    if (setjmp(c->io.jump))
        return false;
    c->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &c->io, PngErrorFn, PngWarningFn);
    if (!c->png)
        return false;
    c->info = png_create_info_struct(c->png);
    if (!c->info)
        return false;
    png_structp png = c->png;
    png_infop info = c->info;
    png_set_write_fn(png, &c->io, PngWriteFn, PngFlushFn);
    png_set_IHDR(png, info, p->width, p->height, p->bitDepth, p->colorType,
                 p->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (p->colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, p->palette, 256);
    png_set_pHYs(png, info, p->ppmX, p->ppmY, PNG_RESOLUTION_METER);
    if (p->filter >= 0)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, p->filter);
    png_set_bKGD(png, info, &p->background);
    png_set_compression_level(png, p->level);
    if (p->colorType == PNG_COLOR_TYPE_RGB)
        png_set_bgr(png);
    png_write_info(png, info);
    p->passes = png_set_interlace_handling(png);
    return true;
}

bool writeRow(TWriteContext* c, png_const_bytep row)
{
    if (setjmp(c->io.jump))
        return false;
    png_write_row(c->png, row);
    return true;
}

bool writeEnd(TWriteContext* c)
{
    if (setjmp(c->io.jump))
        return false;
    png_write_end(c->png, nullptr);
    return true;
}

[[noreturn]] void raise(TWriteContext& c)
{
    if (c.io.streamError)
        std::rethrow_exception(c.io.streamError);
    throw EInvalidGraphic(QStringLiteral("Error on creating PNG"));
}

png_uint_32 dpiToPpm(int dpi, int screen)
{
    if (dpi <= 0)
        dpi = screen;
    // pHYs holds 31 bits; any int resolution is converted in 64 bits and held there.
    return png_uint_32(std::clamp<int64_t>(Round64(int64_t(dpi) * 100 / 2.54), 1, INT32_MAX));
}

}  // namespace

void WritePNGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("Error on creating PNG"));

    // Source bitmap: 1-bit for BitsPerSample 1, else 24-bit; the caller's bitmap is
    // never changed.
    std::unique_ptr<TBitmap> temp;
    const TBitmap* source = &bitmap;
    if (bitmap.PixelFormat() != pf1bit && bitmap.PixelFormat() != pf24bit) {
        temp = std::make_unique<TBitmap>(bitmap);
        temp->SetPixelFormat(pf24bit);
        source = temp.get();
    }
    const bool oneBit = params.BitsPerSample == 1;
    if (oneBit) {
        if (source->PixelFormat() != pf1bit) {
            TPaletteEntry first, second;
            std::unique_ptr<TBitmap> two = ReduceToTwoColors(*source, first, second);
            if (!two) {
                two = std::make_unique<TBitmap>(*source);
                DitherToMonochrome(*two);
            }
            temp = std::move(two);
            source = temp.get();
        }
    } else if (source->PixelFormat() == pf1bit) {
        auto wide = std::make_unique<TBitmap>();
        MonochromeTo24Bit(*source, *wide);
        temp = std::move(wide);
        source = temp.get();
    }
    if (source->PixelFormat() != (oneBit ? pf1bit : pf24bit))
        throw EInvalidGraphic(QStringLiteral("Error on creating PNG"));

    auto plan = std::make_unique<THeaderPlan>();
    const int width = source->Width();
    const int height = source->Height();
    plan->width = png_uint_32(width);
    plan->height = png_uint_32(height);
    plan->interlaced = params.PngInterlaced != 0;
    plan->ppmX = dpiToPpm(params.DpiX, ScreenDpiX());
    plan->ppmY = dpiToPpm(params.DpiY, ScreenDpiY());
    switch (params.PngFilter) {
    case 0: plan->filter = PNG_FILTER_NONE; break;
    case 1: plan->filter = PNG_FILTER_SUB; break;
    case 2: plan->filter = PNG_FILTER_PAETH; break;
    default: plan->filter = -1; break;
    }
    plan->level = std::clamp(params.PngCompression, 0, 9);

    const TIORGB back = params.PngBackground;
    std::unique_ptr<TIKQuantizer> quantizer;
    if (oneBit) {
        // 1-bit grey whatever SamplesPerPixel says; the background at that depth.
        plan->bitDepth = 1;
        plan->colorType = PNG_COLOR_TYPE_GRAY;
        plan->background.gray = GreyValue(back.r, back.g, back.b) >= 128 ? 1 : 0;
    } else if (params.SamplesPerPixel == 1) {
        plan->bitDepth = 8;
        plan->colorType = PNG_COLOR_TYPE_PALETTE;
        TPaletteEntry entries[256];
        quantizer = std::make_unique<TIKQuantizer>(*source, entries, 256);
        for (int i = 0; i < 256; ++i)
            plan->palette[i] = png_color{entries[i].Red, entries[i].Green, entries[i].Blue};
        const uint8_t bgr[3] = {back.b, back.g, back.r};
        plan->background.index = png_byte(std::clamp(quantizer->RGBIndex(bgr), 0, 255));
    } else {
        plan->bitDepth = 8;
        plan->colorType = PNG_COLOR_TYPE_RGB;
        plan->background.red = back.r;
        plan->background.green = back.g;
        plan->background.blue = back.b;
    }

    auto ctx = std::make_unique<TWriteContext>();
    ctx->io.stream = &stream;
    if (!writeHeader(ctx.get(), plan.get()))
        raise(*ctx);

    const int passes = std::max(1, plan->passes);
    const int64_t totalRows = int64_t(height) * passes;
    std::vector<uint8_t> indexRow(quantizer ? size_t(width) : 0);
    progress.val = 0;
    progress.per1 = 100.0 / double(totalRows);
    bool aborted = false;
    for (int pass = 0; pass < passes && !aborted; ++pass) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* line = source->ScanLine(y);
            if (quantizer) {
                for (int x = 0; x < width; ++x)
                    indexRow[size_t(x)] = uint8_t(quantizer->RGBIndex(line + 3 * x));
                line = indexRow.data();
            }
            if (!writeRow(ctx.get(), line))
                raise(*ctx);
            ++progress.val;
            if (progress.Assigned())
                progress.Report(int(int64_t(progress.val) * 100 / totalRows));
            if (progress.Aborted()) {
                aborted = true;
                break;
            }
        }
    }
    if (!aborted && !writeEnd(ctx.get()))
        raise(*ctx);
}
