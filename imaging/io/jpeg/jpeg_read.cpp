// JPEG decoding: header and colour-space mapping, resolution, the row loop with
// progress and abort. Library calls run inside small setjmp frames that hold no C++
// objects; the error is raised only after the library's frames are left.

#include "imaging/io/jpeg/jpeg.h"
#include "imaging/io/jpeg/jpeg_glue.h"

#include "imaging/io/io_params.h"
#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Largest image we agree to decode, and how much memory one byte of data may make us
// take before a header's size is taken as a lie (a truncated file is padded by the
// library and would otherwise be decoded in full from nothing). Any file may use the
// floor; a very flat picture compresses to about one bit per 8 × 8 block.
constexpr int64_t kMaxPixels = int64_t(1) << 29;
constexpr int64_t kMemoryFloor = int64_t(40) << 20;
constexpr int64_t kMemoryPerByte = 8192;
constexpr long kMaxLibraryMemory = 1024L * 1024L * 1024L;
// Each scan of a progressive file walks the whole coefficient store; real files have
// about ten.
constexpr int kMaxScans = 500;

struct TReadContext {
    jpeg_decompress_struct cinfo;
    TJpegErrorMgr err;
    TJpegSource src;
    jpeg_progress_mgr progress{};
    bool created = false;

    TReadContext() { std::memset(&cinfo, 0, sizeof cinfo); }
    ~TReadContext()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

// Stops a file whose scans would go on and on (cheap to write, each costing a pass
// over the image).
void limitScans(j_common_ptr common)
{
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->is_decompressor && cinfo->input_scan_number > kMaxScans)
        ERREXIT(common, JERR_NOT_COMPILED);
}

// What decoding takes at most: our bitmap, a row for CMYK, and for files of several
// scans the library's whole-image coefficient store (64 two-byte coefficients for each
// 8 × 8 block of each component, at the component's own sampling).
int64_t decodingBytes(const jpeg_decompress_struct& ci, bool multipleScans)
{
    const int64_t width = ci.image_width, height = ci.image_height;
    int64_t bytes = width * height * 3 + width * 4;
    if (ci.progressive_mode || multipleScans) {
        int maxH = 1, maxV = 1;
        for (int i = 0; i < ci.num_components; ++i) {
            maxH = std::max(maxH, ci.comp_info[i].h_samp_factor);
            maxV = std::max(maxV, ci.comp_info[i].v_samp_factor);
        }
        for (int i = 0; i < ci.num_components; ++i) {
            const jpeg_component_info& c = ci.comp_info[i];
            // whole MCU rows and columns: the store is padded to them
            const int64_t cols = (width + 8 * maxH - 1) / (8 * maxH) * std::max(1, c.h_samp_factor);
            const int64_t rows = (height + 8 * maxV - 1) / (8 * maxV) * std::max(1, c.v_samp_factor);
            bytes += cols * rows * 128;
        }
    }
    return bytes;
}

bool readHeader(TReadContext* c, TStream* stream)
{
    if (setjmp(c->err.jump))
        return false;
    c->cinfo.err = &c->err.pub;
    c->created = true;
    jpeg_create_decompress(&c->cinfo);
    c->cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
    c->progress.progress_monitor = limitScans;
    c->cinfo.progress = &c->progress;
    AttachJpegSource(&c->cinfo, c->src, *stream, c->err);
    if (jpeg_read_header(&c->cinfo, TRUE) != JPEG_HEADER_OK)
        ERREXIT(&c->cinfo, JERR_NO_IMAGE);
    return true;
}

bool startDecompress(TReadContext* c)
{
    if (setjmp(c->err.jump))
        return false;
    jpeg_start_decompress(&c->cinfo);
    return true;
}

bool readRow(TReadContext* c, JSAMPROW row)
{
    if (setjmp(c->err.jump))
        return false;
    if (jpeg_read_scanlines(&c->cinfo, &row, 1) != 1)
        ERREXIT(&c->cinfo, JERR_INPUT_EOF);
    return true;
}

bool finishDecompress(TReadContext* c)
{
    if (setjmp(c->err.jump))
        return false;
    jpeg_finish_decompress(&c->cinfo);
    return true;
}

[[noreturn]] void raise(TReadContext& c)
{
    if (c.err.streamError)
        std::rethrow_exception(c.err.streamError);
    throw EInvalidGraphic(JpegErrorMessage(c.err));
}

// The smallest n/8 whose scaled longer side still reaches minLongSide (the library
// rounds scaled sizes up).
unsigned reducedScale(const jpeg_decompress_struct& ci, int minLongSide)
{
    const int64_t longSide = std::max(ci.image_width, ci.image_height);
    for (unsigned n = 1; n < 8; ++n)
        if ((longSide * n + 7) / 8 >= minLongSide)
            return n;
    return 8;
}

int densityToDpi(int unit, int density, int screen)
{
    switch (unit) {
    case 1: return density > 0 ? density : screen;
    case 2: return density > 0 ? Trunc(density * 2.54) : screen;
    default:
        // Unit 0 gives only the aspect ratio: no resolution.
        return screen;
    }
}

}  // namespace

void CMYKToBGR(const uint8_t* cmyk, uint8_t* bgr, int count)
{
    for (int i = 0; i < count; ++i, cmyk += 4, bgr += 3) {
        const int k = cmyk[3];
        bgr[2] = uint8_t(cmyk[0] * k / 255);
        bgr[1] = uint8_t(cmyk[1] * k / 255);
        bgr[0] = uint8_t(cmyk[2] * k / 255);
    }
}

void ReadJPEGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress)
{
    auto ctx = std::make_unique<TReadContext>();
    InitJpegErrorMgr(ctx->err);
    if (!readHeader(ctx.get(), &stream))
        raise(*ctx);
    jpeg_decompress_struct& ci = ctx->cinfo;

    // Bound the size before the library or we allocate anything for it.
    const int64_t pixels = int64_t(ci.image_width) * int64_t(ci.image_height);
    int64_t available = 0;
    try {
        available = std::max<int64_t>(0, stream.Size() - stream.Position()) + int64_t(ctx->src.pub.bytes_in_buffer);
    } catch (...) {
        available = 0;
    }
    const int64_t allowed = std::max(kMemoryFloor, available * kMemoryPerByte);
    if (ci.image_width == 0 || ci.image_height == 0 || pixels > kMaxPixels ||
        decodingBytes(ci, jpeg_has_multiple_scans(&ci)) > allowed)
        throw EInvalidGraphic(QStringLiteral("Unrecognized JPeg - image size %1 × %2 not supported")
                                  .arg(ci.image_width)
                                  .arg(ci.image_height));
    // The library's own stores stay within what this file may take, too.
    ci.mem->max_memory_to_use = long(std::min<int64_t>(kMaxLibraryMemory, allowed));

    uint8_t colorSpace = params.JpegColorSpace;
    bool cmyk = false;
    switch (ci.jpeg_color_space) {
    case JCS_GRAYSCALE: colorSpace = 1; break;
    case JCS_RGB: colorSpace = 0; break;
    case JCS_YCbCr: colorSpace = 2; break;
    case JCS_CMYK:
        colorSpace = 3;
        cmyk = true;
        break;
    case JCS_YCCK:
        colorSpace = 4;
        cmyk = true;
        break;
    default:
        // Any other component layout would not fit a 24-bit row.
        throw EInvalidGraphic(
            QStringLiteral("Unrecognized JPeg - %1 components in an unsupported colour space").arg(ci.num_components));
    }
    ci.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    switch (params.JpegDctMethod) {
    case 0: ci.dct_method = JDCT_ISLOW; break;
    case 1: ci.dct_method = JDCT_IFAST; break;
    case 2: ci.dct_method = JDCT_FLOAT; break;
    default: break;
    }

    if (params.JpegMinLongSide > 0) {
        ci.scale_num = reducedScale(ci, params.JpegMinLongSide);
        ci.scale_denom = 8;
    }

    if (!startDecompress(ctx.get()))
        raise(*ctx);
    const int width = int(ci.output_width);
    const int height = int(ci.output_height);
    const int comps = cmyk ? 4 : 3;
    if (ci.output_components != comps || width <= 0 || height <= 0)
        throw EInvalidGraphic(JpegErrorMessage(JERR_CONVERSION_NOTIMPL));

    QImage image = TBitmap::AllocateImage(width, height, QImage::Format_BGR888);
    if (image.isNull())
        throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 bitmap").arg(width).arg(height));
    std::vector<JSAMPLE> cmykRow(cmyk ? size_t(width) * 4 : 0);

    progress.val = 0;
    progress.per1 = 100.0 / height;
    bool aborted = false;
    int row = 0;
    for (; row < height; ++row) {
        uint8_t* line = image.scanLine(row);
        if (!readRow(ctx.get(), cmyk ? cmykRow.data() : line))
            raise(*ctx);
        if (cmyk)
            CMYKToBGR(cmykRow.data(), line, width);
        ++progress.val;
        if (progress.Assigned())
            progress.Report(int(int64_t(progress.val) * 100 / height));
        if (progress.Aborted()) {
            aborted = true;
            ++row;
            break;
        }
    }
    // Rows an abort left unread stay white rather than undefined.
    for (int y = row; y < height; ++y)
        std::memset(image.scanLine(y), 0xFF, size_t(width) * 3);

    if (!aborted) {
        if (!finishDecompress(ctx.get()))
            raise(*ctx);
        ReturnUnusedJpegInput(ctx->src);
    }
    params.JpegColorSpace = colorSpace;
    params.BitsPerSample = 8;
    params.SamplesPerPixel = 3;
    params.FreeColorMap();
    params.JpegProgressive = ci.progressive_mode ? 1 : 0;
    params.DpiX = densityToDpi(ci.saw_JFIF_marker ? ci.density_unit : 0, ci.X_density, ScreenDpiX());
    params.DpiY = densityToDpi(ci.saw_JFIF_marker ? ci.density_unit : 0, ci.Y_density, ScreenDpiY());
    // The size the file declares, also when it was decoded reduced.
    params.Width = int(ci.image_width);
    params.Height = int(ci.image_height);

    bitmap.SetImage(image);
}

// Exactly the fields the tail of ReadJPEGStream sets.
void CopyJpegReadResults(const TIOParamsVals& read, TIOParamsVals& params)
{
    params.JpegColorSpace = read.JpegColorSpace;
    params.BitsPerSample = read.BitsPerSample;
    params.SamplesPerPixel = read.SamplesPerPixel;
    params.FreeColorMap();
    params.JpegProgressive = read.JpegProgressive;
    params.DpiX = read.DpiX;
    params.DpiY = read.DpiY;
    params.Width = read.Width;
    params.Height = read.Height;
}
