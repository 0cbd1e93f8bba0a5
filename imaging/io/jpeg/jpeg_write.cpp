// JPEG encoding: colour space, quality, DCT method, smoothing, Huffman optimisation,
// progressive script and density, then the row loop with progress and abort.

#include "imaging/io/jpeg/jpeg.h"
#include "imaging/io/jpeg/jpeg_glue.h"

#include "imaging/io/io_params.h"
#include "imaging/proc/quantizer.h"
#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct TWriteContext {
    jpeg_compress_struct cinfo;
    TJpegErrorMgr err;
    TJpegDestination dest;
    bool created = false;

    TWriteContext() { std::memset(&cinfo, 0, sizeof cinfo); }
    ~TWriteContext()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
};

struct TWriteSettings {
    J_COLOR_SPACE stored = JCS_YCbCr;
    bool cmykInput = false;
    int dpiX = 96;
    int dpiY = 96;
    int dctMethod = -1;
    bool optimal = false;
    int smoothing = 0;
    int quality = 50;
    bool progressive = false;
};

bool setUp(TWriteContext* c, TStream* stream, const TWriteSettings* s, int width, int height)
{
    if (setjmp(c->err.jump))
        return false;
    c->cinfo.err = &c->err.pub;
    c->created = true;
    jpeg_create_compress(&c->cinfo);
    AttachJpegDestination(&c->cinfo, c->dest, *stream, c->err);
    jpeg_compress_struct& ci = c->cinfo;
    ci.image_width = JDIMENSION(width);
    ci.image_height = JDIMENSION(height);
    if (s->cmykInput) {
        ci.input_components = 4;
        ci.in_color_space = JCS_CMYK;
    } else {
        // Our rows are blue, green, red; the library reads them as they are.
        ci.input_components = 3;
        ci.in_color_space = JCS_EXT_BGR;
    }
    jpeg_set_defaults(&ci);
    jpeg_set_colorspace(&ci, s->stored);
    ci.density_unit = 1;
    ci.X_density = UINT16(s->dpiX);
    ci.Y_density = UINT16(s->dpiY);
    if (s->dctMethod >= 0)
        ci.dct_method = J_DCT_METHOD(s->dctMethod);
    ci.optimize_coding = s->optimal ? TRUE : FALSE;
    ci.smoothing_factor = s->smoothing;
    jpeg_set_quality(&ci, s->quality, TRUE);
    if (s->progressive)
        jpeg_simple_progression(&ci);
    jpeg_start_compress(&ci, TRUE);
    return true;
}

bool writeRow(TWriteContext* c, JSAMPROW row)
{
    if (setjmp(c->err.jump))
        return false;
    jpeg_write_scanlines(&c->cinfo, &row, 1);
    return true;
}

bool finishCompress(TWriteContext* c)
{
    if (setjmp(c->err.jump))
        return false;
    jpeg_finish_compress(&c->cinfo);
    return true;
}

[[noreturn]] void raise(TWriteContext& c)
{
    if (c.err.streamError)
        std::rethrow_exception(c.err.streamError);
    throw EInvalidGraphic(JpegErrorMessage(c.err));
}

int densityField(int dpi, int screen)
{
    if (dpi <= 0)
        dpi = screen;
    return std::clamp(dpi, 1, 65535);
}

}  // namespace

void BGRToCMYK(const uint8_t* bgr, uint8_t* cmyk, int count)
{
    for (int i = 0; i < count; ++i, bgr += 3, cmyk += 4) {
        const int r = bgr[2], g = bgr[1], b = bgr[0];
        int k = std::max({r, g, b});
        if (k == 0)
            k = 1;
        cmyk[0] = uint8_t(r * 255 / k);
        cmyk[1] = uint8_t(g * 255 / k);
        cmyk[2] = uint8_t(b * 255 / k);
        cmyk[3] = uint8_t(k);
    }
}

void WriteJPEGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    if (bitmap.Empty())
        throw EInvalidGraphic(QStringLiteral("Unrecognized JPeg - empty image"));
    // A 1-bit image goes through a 24-bit copy; so does any format the rows of which
    // are not blue, green, red (the caller normally converts those first).
    std::unique_ptr<TBitmap> temp;
    const TBitmap* source = &bitmap;
    if (bitmap.PixelFormat() == pf1bit) {
        temp = std::make_unique<TBitmap>();
        MonochromeTo24Bit(bitmap, *temp);
        source = temp.get();
    } else if (bitmap.PixelFormat() != pf24bit) {
        temp = std::make_unique<TBitmap>(bitmap);
        temp->SetPixelFormat(pf24bit);
        source = temp.get();
    }
    const int width = source->Width();
    const int height = source->Height();
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        throw EInvalidGraphic(QStringLiteral("Unrecognized JPeg - image too large"));

    TWriteSettings s;
    switch (params.JpegColorSpace) {
    case 1: s.stored = JCS_GRAYSCALE; break;
    case 2: s.stored = JCS_YCbCr; break;
    case 3:
        s.stored = JCS_CMYK;
        s.cmykInput = true;
        break;
    case 4:
        s.stored = JCS_YCCK;
        s.cmykInput = true;
        break;
    default: s.stored = JCS_RGB; break;
    }
    s.dpiX = densityField(params.DpiX, ScreenDpiX());
    s.dpiY = densityField(params.DpiY, ScreenDpiY());
    switch (params.JpegDctMethod) {
    case 0: s.dctMethod = JDCT_ISLOW; break;
    case 1: s.dctMethod = JDCT_IFAST; break;
    case 2: s.dctMethod = JDCT_FLOAT; break;
    default: break;
    }
    s.optimal = params.JpegOptimalHuffman != 0;
    s.smoothing = std::clamp(params.JpegSmoothing, 0, 100);
    s.quality = std::clamp(params.JpegQuality, 1, 100);
    s.progressive = params.JpegProgressive != 0;

    auto ctx = std::make_unique<TWriteContext>();
    InitJpegErrorMgr(ctx->err);
    if (!setUp(ctx.get(), &stream, &s, width, height))
        raise(*ctx);

    std::vector<JSAMPLE> cmykRow(s.cmykInput ? size_t(width) * 4 : 0);
    progress.val = 0;
    progress.per1 = 100.0 / height;
    bool aborted = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* line = source->ScanLine(y);
        JSAMPROW row;
        if (s.cmykInput) {
            BGRToCMYK(line, cmykRow.data(), width);
            row = cmykRow.data();
        } else {
            // The library only reads input rows.
            row = const_cast<JSAMPROW>(line);
        }
        if (!writeRow(ctx.get(), row))
            raise(*ctx);
        ++progress.val;
        if (progress.Assigned())
            progress.Report(int(int64_t(progress.val) * 100 / height));
        if (progress.Aborted()) {
            aborted = true;
            break;
        }
    }
    if (!aborted && !finishCompress(ctx.get()))
        raise(*ctx);
}
