// JPEG and PNG through our codecs beside the libraries' own tools and loops, all in
// this run: a 4032 × 3024 photograph-like picture as JPEG (quality 90, 4:2:0) and as
// PNG. JPEG: decode and encode vs djpeg/cjpeg (processes; their start-up, timed on a
// 1 × 1 picture, is taken off; against cjpeg ours reads the same PPM first) and vs a
// direct in-process libjpeg-turbo loop. PNG:
// decode vs a minimal direct libpng loop over a FILE*; encode at level 5 with each row
// filter (none, sub, Paeth, adaptive) vs the same loop with the same filter, and at
// level 6 adaptive vs Pillow's default save (level 6, adaptive), each with both sides'
// file sizes. The loops decode into a buffer from the same allocation as ours. All run
// round by round in turn; a summary with the ratios and threads follows.
#include "imaging/io/io_params.h"
#include "imaging/io/jpeg/jpeg.h"
#include "imaging/io/png/png.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include "bench_common.h"
#include "bench_image.h"

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
        photo = MakeBenchPhoto(kWidth, kHeight, 4032);
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
    ReferenceBench(state, QStringLiteral("djpeg"),
                   {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), fixture().jpeg});
}

void BM_Djpeg_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("djpeg"),
                   {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), fixture().tinyJpeg});
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

// As cjpeg works: the picture read from the PPM file (rows swapped to blue, green, red
// in place), then encoded; the line against cjpeg takes this figure.
void BM_JpegEncode_OursFromPpm(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile in(f.ppm);
        if (!in.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read the PPM");
            return;
        }
        const QByteArray header = QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1();
        TBitmap bmp(kWidth, kHeight, pf24bit);
        bool ok = in.read(header.size()) == header;
        for (int y = 0; ok && y < kHeight; ++y) {
            uint8_t* row = bmp.ScanLine(y);
            ok = in.read(reinterpret_cast<char*>(row), kWidth * 3) == kWidth * 3;
            for (int x = 0; x < kWidth; ++x)
                std::swap(row[3 * x], row[3 * x + 2]);
        }
        if (!ok) {
            state.SkipWithError("short PPM");
            return;
        }
        TDiscardStream out;
        TIOParamsVals params;
        params.JpegQuality = 90;
        TProgressRec progress;
        WriteJPEGStream(out, bmp, params, progress);
        benchmark::DoNotOptimize(out.size_);
    }
}

void BM_JpegEncode_Cjpeg(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("cjpeg"),
                   {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-outfile"),
                    QStringLiteral("/dev/null"), fixture().ppm});
}

void BM_Cjpeg_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("cjpeg"),
                   {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-outfile"),
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

// Row filters by their parameter value: 0 none, 1 sub, 2 Paeth, 3 adaptive (libpng's choice).
constexpr const char* kFilterNames[] = {"none", "sub", "Paeth", "adaptive"};
constexpr int kLibpngFilters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_PAETH, PNG_ALL_FILTERS};

// Bytes written by each encoder, by benchmark name.
std::map<std::string, int64_t> g_sizes;

// Arguments: filter, compression level.
void BM_PngEncode_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TDiscardStream out;
        TIOParamsVals params;
        params.PngFilter = uint8_t(state.range(0));
        params.PngCompression = int32_t(state.range(1));
        TProgressRec progress;
        WritePNGStream(out, f.photo, params, progress);
        g_sizes["ours/" + std::to_string(state.range(0)) + "/" + std::to_string(state.range(1))] = out.size_;
    }
}

// Counts and discards what libpng writes, as ours does.
void countWrite(png_structp png, png_bytep, png_size_t length)
{
    *static_cast<int64_t*>(png_get_io_ptr(png)) += int64_t(length);
}

void BM_PngEncode_LibraryLoop(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        int64_t written = 0;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_write_fn(png, &written, countWrite, nullptr);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, kLibpngFilters[state.range(0)]);
        png_set_compression_level(png, int(state.range(1)));
        png_set_bgr(png);
        png_write_info(png, info);
        for (int y = 0; y < kHeight; ++y)
            png_write_row(png, f.photo.ScanLine(y));
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        g_sizes["libpng/" + std::to_string(state.range(0)) + "/" + std::to_string(state.range(1))] = written;
    }
}

// Pillow's default PNG save (level 6, adaptive filters) into memory, as ours writes
// into a stream that discards; it times itself and tells its size (the same each round).
const char* kPilPng = R"PY(
import io, json, sys, time
from PIL import Image
im = Image.open(sys.argv[1]); im.load()
out = io.BytesIO()
t0 = time.perf_counter(); im.save(out, "PNG"); ms = (time.perf_counter() - t0) * 1000
print(json.dumps({"PIL_PngEncode": ms, "PIL_PngBytes": out.tell()}))
)PY";

void pngEncodeArgs(benchmark::internal::Benchmark* b)
{
    b->Args({0, 5})->Args({1, 5})->Args({2, 5})->Args({3, 5})->Args({3, 6})->Apply(BestOf);
}

}  // namespace

BENCHMARK(BM_JpegDecode_Ours)->Apply(BestOf);
BENCHMARK(BM_JpegDecode_LibraryLoop)->Apply(BestOf);
BENCHMARK(BM_JpegDecode_Djpeg)->Apply(BestOf);
BENCHMARK(BM_Djpeg_Startup)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_Ours)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_LibraryLoop)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_OursFromPpm)->Apply(BestOf);
BENCHMARK(BM_JpegEncode_Cjpeg)->Apply(BestOf);
BENCHMARK(BM_Cjpeg_Startup)->Apply(BestOf);
BENCHMARK(BM_PngDecode_Ours)->Apply(BestOf);
BENCHMARK(BM_PngDecode_LibraryLoop)->Apply(BestOf);
BENCHMARK(BM_PngEncode_Ours)->Apply(pngEncodeArgs);
BENCHMARK(BM_PngEncode_LibraryLoop)->Apply(pngEncodeArgs);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    fixture();  // make the files before anything is timed
    TBestReporter reporter;
    // The references decode and encode on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    RunRounds(reporter, [&] { RunPythonTimings(kPilPng, {fixture().ppm}); });
    PrintTableHeading("4032 x 3024 photo-like, JPEG quality 90 4:2:0, PNG at each filter");
    const std::string one = Threads(1, 1);
    PrintComparison("JPEG decode", "BM_JpegDecode_Ours", "libjpeg-turbo loop", "BM_JpegDecode_LibraryLoop", one);
    PrintComparison("JPEG decode", "BM_JpegDecode_Ours", "djpeg", "BM_JpegDecode_Djpeg", one, "BM_Djpeg_Startup");
    PrintComparison("JPEG encode", "BM_JpegEncode_Ours", "libjpeg-turbo loop", "BM_JpegEncode_LibraryLoop", one);
    PrintComparison("JPEG read PPM + encode", "BM_JpegEncode_OursFromPpm", "cjpeg (reads the PPM)",
                    "BM_JpegEncode_Cjpeg", one, "BM_Cjpeg_Startup");
    PrintComparison("PNG decode", "BM_PngDecode_Ours", "libpng loop", "BM_PngDecode_LibraryLoop", one);
    for (const auto& [filter, level] : {std::pair{0, 5}, {1, 5}, {2, 5}, {3, 5}, {3, 6}}) {
        std::string args = "/";
        args += std::to_string(filter) + "/" + std::to_string(level);
        const std::string what = "PNG encode " + std::to_string(level) + " " + kFilterNames[filter];
        PrintComparison(what.c_str(), "BM_PngEncode_Ours" + args, "libpng loop, same settings",
                        "BM_PngEncode_LibraryLoop" + args, one);
        std::printf("%-26s      %9lld bytes                          %9lld bytes%s\n", "",
                    (long long)g_sizes["ours" + args], (long long)g_sizes["libpng" + args],
                    filter == 0 && level == 5 ? "   (our default)" : "");
    }
    PrintComparison("PNG encode 6 adaptive", "BM_PngEncode_Ours/3/6", "Pillow default save", "PIL_PngEncode", one);
    std::printf("%-26s      %9lld bytes                          %9lld bytes\n", "", (long long)g_sizes["ours/3/6"],
                (long long)g_bestMs["PIL_PngBytes"]);
    benchmark::Shutdown();
    return 0;
}
