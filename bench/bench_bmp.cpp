// A 4000 × 3000 24-bit BMP loaded and saved through the input/output component, beside
// ImageMagick's convert in the same run: decoding alone (convert in.bmp null:) and
// loading and saving (convert in.bmp out.bmp). convert's start-up, timed on a 1 × 1 BMP,
// is taken off its figures and shown apart. convert writes without a sync, so our save
// here is the writer into a file stream, without the safe save's fsync, on both sides.
#include "bench_common.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

struct Fixture {
    QTemporaryDir dir;
    QString in, out, tiny;
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
        tiny = dir.filePath(QStringLiteral("tiny.bmp"));
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.SaveToFile(in);
        TBitmap one(1, 1, pf24bit);
        io.SetAttachedBitmap(&one);
        io.SaveToFile(tiny);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_BmpLoad(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TBitmap bmp;
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.LoadFromFile(f.in);
        benchmark::DoNotOptimize(bmp.ScanLine(kHeight - 1));
    }
}

void BM_BmpLoadAndWrite(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TBitmap bmp;
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.LoadFromFile(f.in);
        TFileStream fs(f.out, fmCreate);
        io.SaveToStreamBMP(fs);
    }
}

void BM_ConvertLoad(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("convert"), {fixture().in, QStringLiteral("null:")});
}

void BM_ConvertLoadAndWrite(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("convert"), {fixture().in, fixture().out});
}

void BM_ConvertStartup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("convert"), {fixture().tiny, QStringLiteral("null:")});
}

}  // namespace

BENCHMARK(BM_BmpLoad)->Apply(BestOf);
BENCHMARK(BM_BmpLoadAndWrite)->Apply(BestOf);
BENCHMARK(BM_ConvertLoad)->Apply(BestOf);
BENCHMARK(BM_ConvertLoadAndWrite)->Apply(BestOf);
BENCHMARK(BM_ConvertStartup)->Apply(BestOf);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const double mb = QFileInfo(fixture().in).size() / 1e6;
    TBestReporter reporter;
    // The references here work on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    RunRounds(reporter);
    benchmark::Shutdown();
    PrintTableHeading(QStringLiteral("%1 x %2 24-bit BMP, %3 MB, fresh memory on both sides, no fsync on either")
                          .arg(kWidth)
                          .arg(kHeight)
                          .arg(mb, 0, 'f', 1)
                          .toLocal8Bit()
                          .constData());
    PrintComparison("load", "BM_BmpLoad", "convert in.bmp null:", "BM_ConvertLoad", Threads(1, 1), "BM_ConvertStartup");
    PrintComparison("load + save", "BM_BmpLoadAndWrite", "convert in.bmp out.bmp", "BM_ConvertLoadAndWrite",
                    Threads(1, 1), "BM_ConvertStartup");
    std::printf("goal: load + save ours/ref <= 0.33\n");
    return 0;
}
