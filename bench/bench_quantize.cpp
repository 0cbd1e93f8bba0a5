// Colour reduction of a photograph-like 2016 × 1512 image to 256 colours: the box
// split and the network beside ImageMagick (convert -colors 256 +dither) and
// pngquant (--nofs), all measured in this run. Time (best of kBestOf; the programs'
// start-up, timed on a 1 × 1 picture, taken off and shown apart) and PSNR against the
// original.
#include "imaging/proc/quantizer.h"

#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 2016, kHeight = 1512;

// Smooth gradients and soft blobs plus Gaussian sensor noise.
TBitmap makePhoto()
{
    TBitmap bmp(kWidth, kHeight, pf24bit);
    std::mt19937 rng(20161512);
    std::normal_distribution<double> noise(0.0, 5.0);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            const double u = double(x) / kWidth, v = double(y) / kHeight;
            const double sky = 1.0 - v;
            const double blob = std::exp(-((u - 0.3) * (u - 0.3) + (v - 0.6) * (v - 0.6)) * 18.0);
            const double blob2 = std::exp(-((u - 0.75) * (u - 0.75) + (v - 0.35) * (v - 0.35)) * 30.0);
            const double wave = 0.5 + 0.5 * std::sin(u * 9.0 + v * 4.0);
            const double r = 40 + 150 * sky * 0.6 + 160 * blob + 60 * wave * v + noise(rng);
            const double g = 60 + 120 * sky * 0.8 + 90 * blob2 + 70 * (1 - wave) * v + noise(rng);
            const double b = 90 + 150 * sky + 40 * blob - 30 * wave + noise(rng);
            p[0] = uint8_t(std::clamp(std::lround(b), 0L, 255L));
            p[1] = uint8_t(std::clamp(std::lround(g), 0L, 255L));
            p[2] = uint8_t(std::clamp(std::lround(r), 0L, 255L));
        }
    }
    return bmp;
}

const TBitmap& photo()
{
    static const TBitmap bmp = makePhoto();
    return bmp;
}

double psnr(const TBitmap& a, const QImage& b)
{
    const QImage bb = b.convertToFormat(QImage::Format_BGR888);
    if (bb.width() != a.Width() || bb.height() != a.Height())
        return 0;
    double se = 0;
    for (int y = 0; y < a.Height(); ++y) {
        const uint8_t* p = a.ScanLine(y);
        const uint8_t* q = bb.constScanLine(y);
        for (int x = 0; x < 3 * a.Width(); ++x) {
            const double d = double(p[x]) - double(q[x]);
            se += d * d;
        }
    }
    const double mse = se / (3.0 * a.Width() * a.Height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

struct Result {
    double ms = 0;
    double psnr = 0;
    int colors = 0;
};
std::map<std::string, Result> results;

int countColors(const QImage& img)
{
    const QImage c = img.convertToFormat(QImage::Format_RGB32);
    std::vector<bool> seen(1 << 24);
    int n = 0;
    for (int y = 0; y < c.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(c.constScanLine(y));
        for (int x = 0; x < c.width(); ++x) {
            const uint32_t v = p[x] & 0xFFFFFF;
            if (!seen[v]) {
                seen[v] = true;
                ++n;
            }
        }
    }
    return n;
}

void record(benchmark::State& state, const std::string& name, double ms, const QImage& out)
{
    Result r;
    r.ms = ms;
    r.psnr = psnr(photo(), out);
    r.colors = countColors(out);
    results[name] = r;
    state.counters["PSNR_dB"] = r.psnr;
    state.counters["colours"] = r.colors;
}

void BM_BoxSplit256(benchmark::State& state)
{
    TBitmap work;
    double best = 1e30;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo();
        work.Image().detach();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        ReduceColors(work, 256);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    record(state, "box split", best, work.Image());
}
BENCHMARK(BM_BoxSplit256)->Unit(benchmark::kMillisecond)->Iterations(kBestOf);

void BM_Network256(benchmark::State& state)
{
    TBitmap work;
    double best = 1e30;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo();
        work.Image().detach();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        std::vector<TPaletteEntry> pal(256);
        TIKQuantizer q(work, pal.data(), 256, -1, 0);
        for (int y = 0; y < work.Height(); ++y) {
            uint8_t* p = work.ScanLine(y);
            for (int x = 0; x < work.Width(); ++x, p += 3) {
                const TPaletteEntry& e = pal[size_t(q.RGBIndex(p))];
                p[0] = e.Blue;
                p[1] = e.Green;
                p[2] = e.Red;
            }
        }
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    record(state, "network", best, work.Image());
}
BENCHMARK(BM_Network256)->Unit(benchmark::kMillisecond)->Iterations(kBestOf);

// Not the product: the same boxes with entries at the middle of their 5-bit cells
// instead of the cell's low end, to show how much of the gap the 5-bit entries cost.
void BM_BoxSplitCellCentres(benchmark::State& state)
{
    TBitmap work;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo();
        work.Image().detach();
        state.ResumeTiming();
        std::vector<TPaletteEntry> pal(256);
        TIKQuantizer q(work, pal.data(), 256);
        for (TPaletteEntry& e : pal) {
            e.Blue = uint8_t(std::min(e.Blue + 4, 255));
            e.Green = uint8_t(std::min(e.Green + 4, 255));
            e.Red = uint8_t(std::min(e.Red + 4, 255));
        }
        for (int y = 0; y < work.Height(); ++y) {
            uint8_t* p = work.ScanLine(y);
            for (int x = 0; x < work.Width(); ++x, p += 3) {
                const TPaletteEntry& e = pal[size_t(q.RGBIndex(p))];
                p[0] = e.Blue;
                p[1] = e.Green;
                p[2] = e.Red;
            }
        }
    }
    record(state, "box split, centred (info)", 0, work.Image());
}
BENCHMARK(BM_BoxSplitCellCentres)->Unit(benchmark::kMillisecond)->Iterations(1);

QString tempDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

QString inputFile(const char* format)
{
    const QString path = tempDir() + "/photo." + QString::fromLatin1(format).toLower();
    if (!QFile::exists(path))
        photo().Image().save(path, format);
    return path;
}

// One white pixel in the format, for timing a program's start-up.
QString tinyFile(const char* format)
{
    const QString path = tempDir() + "/tiny." + QString::fromLatin1(format).toLower();
    if (!QFile::exists(path)) {
        QImage one(1, 1, QImage::Format_RGB888);
        one.fill(Qt::white);
        one.save(path, format);
    }
    return path;
}

QString tool(const QString& name, const QString& preferred = {})
{
    if (!preferred.isEmpty() && QFile::exists(preferred))
        return preferred;
    return QStandardPaths::findExecutable(name);
}

// Runs a tool once, returns the wall time in ms (−1 on failure).
double runTool(const QString& program, const QStringList& args, const QStringList& env = {})
{
    QProcess p;
    QProcessEnvironment e = ReferenceEnvironment(false);
    // ImageMagick may use every core unless told otherwise; its single-thread run says so.
    e.remove(QStringLiteral("MAGICK_THREAD_LIMIT"));
    for (const QString& kv : env)
        e.insert(kv.section('=', 0, 0), kv.section('=', 1));
    p.setProcessEnvironment(e);
    const auto t0 = std::chrono::steady_clock::now();
    p.start(program, args);
    if (!p.waitForStarted() || !p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void externalBench(benchmark::State& state, const std::string& name, const QString& program, QStringList args,
                   const QString& out, const QStringList& env = {})
{
    if (program.isEmpty()) {
        state.SkipWithError((name + " is not installed").c_str());
        return;
    }
    double best = 1e30;
    for (auto _ : state) {
        QFile::remove(out);
        const double ms = runTool(program, args, env);
        if (ms < 0) {
            state.SkipWithError((name + " failed").c_str());
            return;
        }
        state.SetIterationTime(ms / 1000.0);
        best = std::min(best, ms);
    }
    record(state, name, best, QImage(out));
}

void BM_ImageMagick256(benchmark::State& state)
{
    const QString in = inputFile("PPM"), out = tempDir() + "/im.ppm";
    externalBench(state, "ImageMagick", tool("convert", "/usr/bin/convert"), {in, "-colors", "256", "+dither", out}, out);
}
BENCHMARK(BM_ImageMagick256)->Unit(benchmark::kMillisecond)->Iterations(kBestOf)->UseManualTime();

void BM_ImageMagick256OneThread(benchmark::State& state)
{
    const QString in = inputFile("PPM"), out = tempDir() + "/im1.ppm";
    externalBench(state, "ImageMagick 1 thread", tool("convert", "/usr/bin/convert"),
                  {"-limit", "thread", "1", in, "-colors", "256", "+dither", out}, out);
}
BENCHMARK(BM_ImageMagick256OneThread)->Unit(benchmark::kMillisecond)->Iterations(kBestOf)->UseManualTime();

// Reading and writing the PPM alone, to see how much of ImageMagick's time is file I/O.
void BM_ImageMagickCopyOnly(benchmark::State& state)
{
    const QString in = inputFile("PPM"), out = tempDir() + "/copy.ppm";
    externalBench(state, "ImageMagick copy only", tool("convert", "/usr/bin/convert"), {in, out}, out);
}
BENCHMARK(BM_ImageMagickCopyOnly)->Unit(benchmark::kMillisecond)->Iterations(kBestOf)->UseManualTime();

void BM_Pngquant256(benchmark::State& state)
{
    const QString in = inputFile("PNG"), out = tempDir() + "/pq.png";
    externalBench(state, "pngquant", tool("pngquant"), {"--nofs", "--force", "--output", out, "256", in}, out);
}
BENCHMARK(BM_Pngquant256)->Unit(benchmark::kMillisecond)->Iterations(kBestOf)->UseManualTime();

std::map<std::string, double> startup;

void startupBench(benchmark::State& state, const std::string& name, const QString& program, const QStringList& args)
{
    double best = 1e30;
    for (auto _ : state) {
        const double ms = runTool(program, args);
        if (ms < 0) {
            state.SkipWithError((name + " failed").c_str());
            return;
        }
        state.SetIterationTime(ms / 1000.0);
        best = std::min(best, ms);
    }
    startup[name] = best;
}

void BM_ImageMagickStartup(benchmark::State& state)
{
    startupBench(state, "ImageMagick", tool("convert", "/usr/bin/convert"), {tinyFile("PPM"), tempDir() + "/tiny-out.ppm"});
}
BENCHMARK(BM_ImageMagickStartup)->Unit(benchmark::kMillisecond)->Iterations(kBestOf)->UseManualTime();

void BM_PngquantStartup(benchmark::State& state)
{
    startupBench(state, "pngquant", tool("pngquant"), {"--nofs", "--force", "--output", tempDir() + "/tiny-out.png", "256", tinyFile("PNG")});
}
BENCHMARK(BM_PngquantStartup)->Unit(benchmark::kMillisecond)->Iterations(kBestOf)->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    PrintTableHeading("Reduction of 2016 x 1512 to 256 colours");
    std::printf("%-24s %10s %10s %9s %8s\n", "quantiser (256 colours)", "ms", "start-up", "PSNR dB", "colours");
    auto startupOf = [](const std::string& name) {
        for (const auto& [tool, ms] : startup)
            if (name.rfind(tool, 0) == 0)
                return ms;
        return 0.0;
    };
    for (const auto& [name, r] : results)
        std::printf("%-24s %10.1f %10.1f %9.2f %8d\n", name.c_str(), r.ms - startupOf(name), startupOf(name), r.psnr,
                    r.colors);
    if (results.count("box split"))
        for (const char* ref : {"ImageMagick", "ImageMagick 1 thread", "pngquant"})
            if (results.count(ref)) {
                const Result& b = results["box split"];
                const Result& m = results[ref];
                std::printf("box split / %-20s time ours/ref %6.3f, PSNR %+.2f dB\n", ref, b.ms / (m.ms - startupOf(ref)),
                            b.psnr - m.psnr);
            }
    std::printf("(ms of the programs: start-up taken off; their file reading and writing is not)\n");
    benchmark::Shutdown();
    return 0;
}
