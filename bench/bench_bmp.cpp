// A 4000 × 3000 24-bit BMP loaded and saved through the input/output component, beside
// ImageMagick's `convert in.bmp out.bmp` (process start-up included) in the same run.
// Throughput is file megabytes per second; a summary with the ratio follows the table.
// Our saves go through a temporary file that is synced to disk before it replaces the
// target; convert writes in place without a sync, so the writer alone is shown as well.
#include "imaging/io/image_kit_io.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

struct Fixture {
    QTemporaryDir dir;
    QString in, out;
    int64_t fileSize = 0;
    Fixture()
    {
        TBitmap bmp(kWidth, kHeight, pf24bit);
        std::mt19937 rng(4000);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* p = bmp.ScanLine(y);
            for (int x = 0; x < kWidth * 3; ++x)
                p[x] = uint8_t((x * 7 + y * 3) ^ (rng() & 15));
        }
        in = dir.filePath(QStringLiteral("in.bmp"));
        out = dir.filePath(QStringLiteral("out.bmp"));
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.SaveToFile(in);
        fileSize = QFileInfo(in).size();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::map<std::string, double> g_seconds;  // per iteration, by benchmark

void record(benchmark::State& state, const char* name, double total)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * fixture().fileSize);
    if (state.iterations() > 0)
        g_seconds[name] = total / double(state.iterations());
}

void BM_BmpLoad(benchmark::State& state)
{
    Fixture& f = fixture();
    TBitmap bmp;
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    QElapsedTimer t;
    double total = 0;
    for (auto _ : state) {
        t.start();
        io.LoadFromFile(f.in);
        total += t.nsecsElapsed() / 1e9;
        benchmark::DoNotOptimize(bmp.Width());
    }
    record(state, "load", total);
}

void BM_BmpSave(benchmark::State& state)
{
    Fixture& f = fixture();
    TBitmap bmp;
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    io.LoadFromFile(f.in);
    QElapsedTimer t;
    double total = 0;
    for (auto _ : state) {
        t.start();
        io.SaveToFile(f.out);
        total += t.nsecsElapsed() / 1e9;
    }
    record(state, "save", total);
}

// The writer alone into a plain file stream: the same bytes without the safe save's
// temporary file, fsync and rename.
void BM_BmpWriteStream(benchmark::State& state)
{
    Fixture& f = fixture();
    TBitmap bmp;
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    io.LoadFromFile(f.in);
    QElapsedTimer t;
    double total = 0;
    for (auto _ : state) {
        t.start();
        TFileStream fs(f.out, fmCreate);
        io.SaveToStreamBMP(fs);
        total += t.nsecsElapsed() / 1e9;
    }
    record(state, "write (no fsync)", total);
}

void BM_BmpLoadAndSave(benchmark::State& state)
{
    Fixture& f = fixture();
    QElapsedTimer t;
    double total = 0;
    for (auto _ : state) {
        t.start();
        TBitmap bmp;
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.LoadFromFile(f.in);
        io.SaveToFile(f.out);
        total += t.nsecsElapsed() / 1e9;
    }
    record(state, "ours load+save", total);
}

void BM_MagickConvert(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty()) {
        state.SkipWithError("ImageMagick convert not found");
        return;
    }
    QElapsedTimer t;
    double total = 0;
    for (auto _ : state) {
        t.start();
        QProcess p;
        p.start(convert, {f.in, f.out});
        p.waitForFinished(-1);
        total += t.nsecsElapsed() / 1e9;
        if (p.exitCode() != 0) {
            state.SkipWithError("convert failed");
            return;
        }
    }
    record(state, "convert load+save", total);
}

}  // namespace

BENCHMARK(BM_BmpLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_BmpSave)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_BmpWriteStream)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_BmpLoadAndSave)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_MagickConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double mb = fixture().fileSize / 1e6;
    std::printf("\n%d x %d 24-bit BMP, %.1f MB\n", kWidth, kHeight, mb);
    for (const auto& [name, s] : g_seconds)
        std::printf("  %-20s %8.1f ms  %8.1f MB/s\n", name.c_str(), s * 1e3, mb / s);
    if (g_seconds.count("ours load+save") && g_seconds.count("convert load+save"))
        std::printf("  load+save is %.1fx faster than ImageMagick's convert (goal: 3x)\n",
                    g_seconds["convert load+save"] / g_seconds["ours load+save"]);
    return 0;
}
