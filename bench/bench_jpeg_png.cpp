// JPEG and PNG through our codecs beside the libraries' own tools and loops, all in
// this run: a 4032 × 3024 photograph-like picture as JPEG (quality 90, 4:2:0) and as
// PNG. JPEG: decode and encode vs djpeg/cjpeg (processes; their start-up, timed on a
// 1 × 1 picture, is taken off) and vs a direct in-process libjpeg-turbo loop. PNG:
// decode and encode vs a minimal direct libpng loop over a FILE*. The loops decode into
// a buffer from the same allocation as ours. A summary with the ratios follows.
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg_codec.h"
#include "imaging/io/png/png_codec.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace {

constexpr int kWidth = 4032, kHeight = 3024;

// Smooth gradients and soft blobs plus sensor noise, like a photograph to a codec.
TBitmap makePhoto()
{
    TBitmap bmp(kWidth, kHeight, pf24bit);
    std::mt19937 rng(4032);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            const double u = double(x) / kWidth, v = double(y) / kHeight;
            const double blob = std::exp(-((u - 0.3) * (u - 0.3) + (v - 0.6) * (v - 0.6)) * 18.0);
            const double wave = 0.5 + 0.5 * std::sin(u * 23.0 + v * 7.0);
            const double r = 40 + 90 * (1 - v) + 160 * blob + 60 * wave * v + noise(rng);
            const double g = 60 + 100 * (1 - v) + 70 * (1 - wave) * v + noise(rng);
            const double b = 90 + 150 * (1 - v) + 40 * blob - 30 * wave + noise(rng);
            p[0] = uint8_t(std::clamp(std::lround(b), 0L, 255L));
            p[1] = uint8_t(std::clamp(std::lround(g), 0L, 255L));
            p[2] = uint8_t(std::clamp(std::lround(r), 0L, 255L));
        }
    }
    return bmp;
}

// Discards what is written (encoders are measured, not the disk).
class TDiscardStream : public TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void*, int64_t count) override
    {
        size_ += count;
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return size_; }
    int64_t size_ = 0;
};

struct Fixture {
    QTemporaryDir dir;
    TBitmap photo;
    QString jpeg, png, ppm, tinyJpeg, tinyPpm;
    Fixture()
    {
        photo = makePhoto();
        TProgressRec progress;
        jpeg = dir.filePath(QStringLiteral("photo.jpg"));
        png = dir.filePath(QStringLiteral("photo.png"));
        ppm = dir.filePath(QStringLiteral("photo.ppm"));
        tinyJpeg = dir.filePath(QStringLiteral("tiny.jpg"));
        tinyPpm = dir.filePath(QStringLiteral("tiny.ppm"));
        {
            TBitmap tiny(1, 1, pf24bit);
            TIOParamsVals params;
            TFileStream fs(tinyJpeg, fmCreate);
            WriteJPEGStream(fs, tiny, params, progress);
        }
        {
            QFile t(tinyPpm);
            t.open(QIODevice::WriteOnly);
            t.write(QByteArray("P6\n1 1\n255\n\xff\xff\xff", 14));
        }
        {
            TIOParamsVals params;
            params.JpegQuality = 90;
            TFileStream fs(jpeg, fmCreate);
            WriteJPEGStream(fs, photo, params, progress);
        }
        {
            TIOParamsVals params;
            TFileStream fs(png, fmCreate);
            WritePNGStream(fs, photo, params, progress);
        }
        QFile f(ppm);
        f.open(QIODevice::WriteOnly);
        f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1());
        for (int y = 0; y < kHeight; ++y) {
            const uint8_t* s = photo.ScanLine(y);
            QByteArray row(kWidth * 3, Qt::Uninitialized);
            for (int x = 0; x < kWidth; ++x) {
                row[3 * x] = char(s[3 * x + 2]);
                row[3 * x + 1] = char(s[3 * x + 1]);
                row[3 * x + 2] = char(s[3 * x]);
            }
            f.write(row);
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// --- JPEG decode ---

void BM_JpegDecode_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TFileStream fs(f.jpeg, fmOpenRead);
        TBitmap bmp;
        TIOParamsVals params;
        TProgressRec progress;
        ReadJPEGStream(fs, bmp, params, progress);
        benchmark::DoNotOptimize(bmp.ScanLine(kHeight - 1));
    }
}

void BM_JpegDecode_Djpeg(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), fixture().jpeg});
}

void BM_Djpeg_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), fixture().tinyJpeg});
}

// The library's own decode loop: stdio source, rows into a fresh image buffer each
// time, allocated as ours is (a buffer mapped differently would measure the memory,
// not the decoder).
void BM_JpegDecode_LibraryLoop(benchmark::State& state)
{
    Fixture& f = fixture();
    const QByteArray name = f.jpeg.toLocal8Bit();
    for (auto _ : state) {
        QImage buffer = TBitmap::AllocateImage(kWidth, kHeight, QImage::Format_BGR888);
        JSAMPLE* const image = buffer.bits();
        FILE* in = std::fopen(name.constData(), "rb");
        jpeg_decompress_struct ci;
        jpeg_error_mgr err;
        ci.err = jpeg_std_error(&err);
        jpeg_create_decompress(&ci);
        jpeg_stdio_src(&ci, in);
        jpeg_read_header(&ci, TRUE);
        ci.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&ci);
        while (ci.output_scanline < ci.output_height) {
            JSAMPROW row = image + size_t(ci.output_scanline) * buffer.bytesPerLine();
            jpeg_read_scanlines(&ci, &row, 1);
        }
        jpeg_finish_decompress(&ci);
        jpeg_destroy_decompress(&ci);
        std::fclose(in);
        benchmark::DoNotOptimize(image);
    }
}

// --- JPEG encode ---

void BM_JpegEncode_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TDiscardStream out;
        TIOParamsVals params;
        params.JpegQuality = 90;
        TProgressRec progress;
        WriteJPEGStream(out, f.photo, params, progress);
        benchmark::DoNotOptimize(out.size_);
    }
}

void BM_JpegEncode_Cjpeg(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("cjpeg"), {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-outfile"),
                                                    QStringLiteral("/dev/null"), fixture().ppm});
}

void BM_Cjpeg_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("cjpeg"), {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-outfile"),
                                                    QStringLiteral("/dev/null"), fixture().tinyPpm});
}

void BM_JpegEncode_LibraryLoop(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        FILE* out = std::fopen("/dev/null", "wb");
        jpeg_compress_struct ci;
        jpeg_error_mgr err;
        ci.err = jpeg_std_error(&err);
        jpeg_create_compress(&ci);
        jpeg_stdio_dest(&ci, out);
        ci.image_width = kWidth;
        ci.image_height = kHeight;
        ci.input_components = 3;
        ci.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&ci);
        jpeg_set_quality(&ci, 90, TRUE);
        jpeg_start_compress(&ci, TRUE);
        while (ci.next_scanline < ci.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(f.photo.ScanLine(int(ci.next_scanline)));
            jpeg_write_scanlines(&ci, &row, 1);
        }
        jpeg_finish_compress(&ci);
        jpeg_destroy_compress(&ci);
        std::fclose(out);
    }
}

// --- PNG ---

void BM_PngDecode_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TFileStream fs(f.png, fmOpenRead);
        TBitmap bmp;
        TIOParamsVals params;
        TProgressRec progress;
        ReadPNGStream(fs, bmp, params, progress);
        benchmark::DoNotOptimize(bmp.ScanLine(kHeight - 1));
    }
}

// A minimal libpng read loop: FILE*, blue-green-red rows into a fresh image buffer.
void BM_PngDecode_LibraryLoop(benchmark::State& state)
{
    Fixture& f = fixture();
    const QByteArray name = f.png.toLocal8Bit();
    for (auto _ : state) {
        QImage buffer = TBitmap::AllocateImage(kWidth, kHeight, QImage::Format_BGR888);
        png_byte* const image = buffer.bits();
        FILE* in = std::fopen(name.constData(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            break;
        }
        png_init_io(png, in);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        for (int y = 0; y < kHeight; ++y)
            png_read_row(png, image + size_t(y) * buffer.bytesPerLine(), nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(in);
        benchmark::DoNotOptimize(image);
    }
}

void BM_PngEncode_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TDiscardStream out;
        TIOParamsVals params;  // level 5, no row filter
        TProgressRec progress;
        WritePNGStream(out, f.photo, params, progress);
        benchmark::DoNotOptimize(out.size_);
    }
}

void BM_PngEncode_LibraryLoop(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        FILE* out = std::fopen("/dev/null", "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            break;
        }
        png_init_io(png, out);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png, 5);
        png_set_bgr(png);
        png_write_info(png, info);
        for (int y = 0; y < kHeight; ++y)
            png_write_row(png, f.photo.ScanLine(y));
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
    }
}

}  // namespace

BENCHMARK(BM_JpegDecode_Ours)->Apply(BestOf);
BENCHMARK(BM_JpegDecode_LibraryLoop)->Apply(BestOf);
BENCHMARK(BM_JpegDecode_Djpeg)->Apply(BestOf);
BENCHMARK(BM_Djpeg_Startup)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_Ours)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_LibraryLoop)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_Cjpeg)->Apply(BestOf);
BENCHMARK(BM_Cjpeg_Startup)->Apply(BestOf);
BENCHMARK(BM_PngDecode_Ours)->Apply(BestOf);
BENCHMARK(BM_PngDecode_LibraryLoop)->Apply(BestOf);
BENCHMARK(BM_PngEncode_Ours)->Apply(BestOf);
BENCHMARK(BM_PngEncode_LibraryLoop)->Apply(BestOf);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    fixture();  // make the files before anything is timed
    TBestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTableHeading("4032 x 3024, JPEG quality 90 4:2:0, PNG level 5 no filter");
    PrintComparison("JPEG decode", "BM_JpegDecode_Ours", "libjpeg-turbo loop", "BM_JpegDecode_LibraryLoop");
    PrintComparison("JPEG decode", "BM_JpegDecode_Ours", "djpeg", "BM_JpegDecode_Djpeg", "BM_Djpeg_Startup");
    PrintComparison("JPEG encode", "BM_JpegEncode_Ours", "libjpeg-turbo loop", "BM_JpegEncode_LibraryLoop");
    PrintComparison("JPEG encode", "BM_JpegEncode_Ours", "cjpeg", "BM_JpegEncode_Cjpeg", "BM_Cjpeg_Startup");
    PrintComparison("PNG decode", "BM_PngDecode_Ours", "libpng loop", "BM_PngDecode_LibraryLoop");
    PrintComparison("PNG encode", "BM_PngEncode_Ours", "libpng loop", "BM_PngEncode_LibraryLoop");
    benchmark::Shutdown();
    return 0;
}
