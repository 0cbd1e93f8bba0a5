// Colour reduction of photograph-like 2016 × 1512 (3 MP) and 4032 × 3024 (12 MP)
// images to 256 colours: the box split and the network beside ImageMagick (convert
// -colors 256 +dither, on one thread and on its own threads) and pngquant (--nofs), all
// measured in this run, round by round in turn. Time (best of kBestOf) and PSNR against
// the original. ImageMagick's start-up and its PPM reading and writing (a plain copy
// of the same file) are taken off its figures; pngquant's start-up (a 1 × 1 picture)
// is taken off its own, its PNG reading and writing cannot be isolated and stay in.
#include "imaging/proc/quantizer.h"
#include "platform/core/parallel_for.h"

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

constexpr int kSizes[2][2] = {{2016, 1512}, {4032, 3024}};

// Smooth gradients and soft blobs plus Gaussian sensor noise.
TBitmap makePhoto(int kWidth, int kHeight)
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

// Argument 0 of every benchmark: the size, 0 (3 MP) or 1 (12 MP).
const TBitmap& photo(int size)
{
    static const TBitmap bmp[2] = {makePhoto(kSizes[0][0], kSizes[0][1]), makePhoto(kSizes[1][0], kSizes[1][1])};
    return bmp[size];
}

std::string sized(const std::string& name, int size) { return name + (size ? " 12 MP" : " 3 MP"); }

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

// Keeps the best time of a quantiser over the rounds, with the quality of its result.
void record(benchmark::State& state, const std::string& name, double ms, const QImage& out)
{
    Result r;
    r.ms = ms;
    if (const auto it = results.find(name); it != results.end() && it->second.ms <= ms && it->second.colors > 0) {
        r = it->second;
    } else {
        r.psnr = psnr(photo(int(state.range(0))), out);
        r.colors = countColors(out);
        results[name] = r;
    }
    state.counters["PSNR_dB"] = r.psnr;
    state.counters["colours"] = r.colors;
}

// Argument 1: one thread (1) or all (0).
void BM_BoxSplit256(benchmark::State& state)
{
    const int size = int(state.range(0));
    const bool all = state.range(1) == 0;
    TScopedParallelThreads threads(all ? ParallelThreads() : 1);
    TBitmap work;
    double best = 1e30;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo(size);
        work.Image().detach();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        ReduceColors(work, 256);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    record(state, sized(all ? "box split all threads" : "box split", size), best, work.Image());
}
BENCHMARK(BM_BoxSplit256)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Network256(benchmark::State& state)
{
    const int size = int(state.range(0));
    TScopedParallelThreads oneThread(1);
    TBitmap work;
    double best = 1e30;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo(size);
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
    record(state, sized("network", size), best, work.Image());
}
BENCHMARK(BM_Network256)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// The colour reduction dialog's largest count through the product's own path (all threads,
// the learning, the search of every colour and the pixels), on the photograph.
void BM_Network10000(benchmark::State& state)
{
    const int size = int(state.range(0));
    TBitmap work;
    double best = 1e30;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo(size);
        work.Image().detach();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        ReduceColors(work, 10000);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    record(state, sized("network 10000 colours", size), best, work.Image());
}
BENCHMARK(BM_Network10000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// Not the product: the same boxes with entries at the middle of their 5-bit cells
// instead of the cell's low end, to show how much of the gap the 5-bit entries cost.
void BM_BoxSplitCellCentres(benchmark::State& state)
{
    TBitmap work;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo(0);
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
BENCHMARK(BM_BoxSplitCellCentres)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

QString tempDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

QString inputFile(const char* format, int size)
{
    const QString path = tempDir() + "/photo" + QString::number(size) + "." + QString::fromLatin1(format).toLower();
    if (!QFile::exists(path))
        photo(size).Image().save(path, format);
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
double runTool(const QString& program, const QStringList& args, bool allThreads = false)
{
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(false, allThreads));
    const auto t0 = std::chrono::steady_clock::now();
    p.start(program, args);
    if (!p.waitForStarted() || !p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void externalBench(benchmark::State& state, const std::string& name, const QString& program, QStringList args,
                   const QString& out, bool allThreads = false)
{
    if (program.isEmpty()) {
        state.SkipWithError((name + " is not installed").c_str());
        return;
    }
    double best = 1e30;
    for (auto _ : state) {
        QFile::remove(out);
        const double ms = runTool(program, args, allThreads);
        if (ms < 0) {
            state.SkipWithError((name + " failed").c_str());
            return;
        }
        state.SetIterationTime(ms / 1000.0);
        best = std::min(best, ms);
    }
    record(state, name, best, QImage(out));
}

// ImageMagick on its own threads, then on one.
void BM_ImageMagick256(benchmark::State& state)
{
    const int size = int(state.range(0));
    const QString in = inputFile("PPM", size), out = tempDir() + "/im.ppm";
    externalBench(state, sized("ImageMagick", size), tool("convert", "/usr/bin/convert"),
                  {in, "-colors", "256", "+dither", out}, out, true);
}
BENCHMARK(BM_ImageMagick256)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_ImageMagick256OneThread(benchmark::State& state)
{
    const int size = int(state.range(0));
    const QString in = inputFile("PPM", size), out = tempDir() + "/im1.ppm";
    externalBench(state, sized("ImageMagick 1 thread", size), tool("convert", "/usr/bin/convert"),
                  {"-limit", "thread", "1", in, "-colors", "256", "+dither", out}, out);
}
BENCHMARK(BM_ImageMagick256OneThread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// Start-up, reading and writing the PPM alone, by size: taken off ImageMagick's figures.
std::map<int, double> copyOnly;

void BM_ImageMagickCopyOnly(benchmark::State& state)
{
    const int size = int(state.range(0));
    const QString in = inputFile("PPM", size), out = tempDir() + "/copy.ppm";
    const QString program = tool("convert", "/usr/bin/convert");
    for (auto _ : state) {
        const double ms = program.isEmpty() ? -1 : runTool(program, {in, out});
        if (ms < 0) {
            state.SkipWithError("ImageMagick copy failed");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
        copyOnly[size] = copyOnly.count(size) ? std::min(copyOnly[size], ms) : ms;
    }
}
BENCHMARK(BM_ImageMagickCopyOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_Pngquant256(benchmark::State& state)
{
    const int size = int(state.range(0));
    const QString in = inputFile("PNG", size), out = tempDir() + "/pq.png";
    externalBench(state, sized("pngquant", size), tool("pngquant"), {"--nofs", "--force", "--output", out, "256", in},
                  out);
}
BENCHMARK(BM_Pngquant256)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

std::map<std::string, double> startup;

void startupBench(benchmark::State& state, const std::string& name, const QString& program, const QStringList& args)
{
    double best = startup.count(name) ? startup[name] : 1e30;
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
    startupBench(state, "ImageMagick", tool("convert", "/usr/bin/convert"),
                 {tinyFile("PPM"), tempDir() + "/tiny-out.ppm"});
}
BENCHMARK(BM_ImageMagickStartup)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_PngquantStartup(benchmark::State& state)
{
    startupBench(state, "pngquant", tool("pngquant"),
                 {"--nofs", "--force", "--output", tempDir() + "/tiny-out.png", "256", tinyFile("PNG")});
}
BENCHMARK(BM_PngquantStartup)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TBestReporter reporter;
    RunRounds(reporter);
    PrintTableHeading("Reduction to 256 colours, 3 MP (2016 x 1512) and 12 MP (4032 x 3024)");
    // What comes off a program's figure: ImageMagick's copy of the same file, pngquant's start-up.
    const auto overhead = [](const std::string& name) {
        const int size = name.find("12 MP") != std::string::npos ? 1 : 0;
        if (name.rfind("ImageMagick", 0) == 0 && copyOnly.count(size))
            return copyOnly[size];
        if (name.rfind("pngquant", 0) == 0 && startup.count("pngquant"))
            return startup["pngquant"];
        return 0.0;
    };
    std::printf("%-30s %10s %10s %9s %8s\n", "quantiser (256 colours)", "ms", "taken off", "PSNR dB", "colours");
    for (const auto& [name, r] : results)
        std::printf("%-30s %10.1f %10.1f %9.2f %8d\n", name.c_str(), r.ms - overhead(name), overhead(name), r.psnr,
                    r.colors);
    const int n = ParallelThreads();
    for (const int size : {0, 1})
        for (const char* ref : {"ImageMagick 1 thread", "ImageMagick", "pngquant"}) {
            const bool all = std::string(ref) == "ImageMagick";
            const std::string ours = sized(all ? "box split all threads" : "box split", size);
            const std::string theirs = sized(ref, size);
            if (!results.count(ours) || !results.count(theirs))
                continue;
            const Result& b = results[ours];
            const Result& m = results[theirs];
            const std::string what = sized("box split", size) + " vs";
            PrintLine(what.c_str(), b.ms, theirs.c_str(), m.ms - overhead(theirs), all ? Threads(n, n) : Threads(1, 1));
            std::printf("%-26s PSNR ours - ref %+.2f dB\n", "", b.psnr - m.psnr);
        }
    std::printf("(ImageMagick: start-up and PPM read and write taken off; pngquant: start-up "
                "taken off, PNG read and write still in)\n");
    benchmark::Shutdown();
    return 0;
}
