// Counting the colours of a photograph-like 2016 × 1512 image (about a million distinct
// colours), beside ImageMagick's identify -format %k on a PPM of the same pixels,
// measured in this run (its start-up, timed on a 1 × 1 PPM, taken off; its reading of
// the file is not); and packing the image as a DIB and reading it back (no reference).
#include "imaging/proc/dib.h"
#include "imaging/proc/image_kit_proc.h"
#include "platform/core/parallel_for.h"

#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kWidth = 2016, kHeight = 1512;

const TBitmap& photo()
{
    static const TBitmap bmp = [] {
        TBitmap b(kWidth, kHeight, pf24bit);
        std::mt19937 rng(2016);
        std::uniform_int_distribution<int> noise(-12, 12);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* p = b.ScanLine(y);
            for (int x = 0; x < kWidth; ++x, p += 3) {
                p[0] = uint8_t(std::clamp(x * 255 / kWidth + noise(rng), 0, 255));
                p[1] = uint8_t(std::clamp(y * 255 / kHeight + noise(rng), 0, 255));
                p[2] = uint8_t(std::clamp((x + y) * 255 / (kWidth + kHeight) + noise(rng), 0, 255));
            }
        }
        return b;
    }();
    return bmp;
}

void BM_CountColors(benchmark::State& state)
{
    TBitmap bm = photo();
    TImageKitProc proc;
    proc.SetAttachedBitmap(&bm);
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(n = proc.CountColors());
    state.counters["colors"] = n;
}
BENCHMARK(BM_CountColors)->Apply(BestOf);

void BM_DibRoundTrip(benchmark::State& state)
{
    const TBitmap& bm = photo();
    TBitmap back;
    for (auto _ : state) {
        const QByteArray dib = BitmapRectToDIB(&bm, 0, 0, 0, 0);
        DIBToBitmap(dib, &back);
    }
}
BENCHMARK(BM_DibRoundTrip)->Apply(BestOf);

// PPM files of the photograph and of one pixel, for identify.
struct Files {
    QTemporaryDir dir;
    QString photo = dir.path() + QStringLiteral("/photo.ppm"), tiny = dir.path() + QStringLiteral("/tiny.ppm");
    Files()
    {
        QFile f(photo);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1());
        const TBitmap& bm = ::photo();
        QByteArray row(3 * kWidth, '\0');
        for (int y = 0; y < kHeight; ++y) {
            const uint8_t* p = bm.ScanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                row[3 * x] = char(p[3 * x + 2]);
                row[3 * x + 1] = char(p[3 * x + 1]);
                row[3 * x + 2] = char(p[3 * x]);
            }
            f.write(row);
        }
        QFile t(tiny);
        if (t.open(QIODevice::WriteOnly))
            t.write(QByteArray("P6\n1 1\n255\n\0\0\0", 14));
    }
};

Files& files()
{
    static Files f;
    return f;
}

void BM_IdentifyColors(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%k"), files().photo});
}
BENCHMARK(BM_IdentifyColors)->Apply(BestOf);

void BM_IdentifyStartup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%k"), files().tiny});
}
BENCHMARK(BM_IdentifyStartup)->Apply(BestOf);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    files();
    TBestReporter reporter;
    // The references here work on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    RunRounds(reporter);
    PrintTableHeading("Colour count of 2016 x 1512, about a million colours");
    PrintComparison("count colours", "BM_CountColors", "identify -format %k", "BM_IdentifyColors", Threads(1, 1),
                    "BM_IdentifyStartup");
    const auto dib = g_bestMs.find("BM_DibRoundTrip");
    if (dib != g_bestMs.end())
        std::printf("%-26s ours %9.1f ms   (no reference)   threads 1/-%s\n", "DIB pack and unpack", dib->second,
                    LoadNote(LoadOf({"BM_DibRoundTrip"})).c_str());
    benchmark::Shutdown();
    return 0;
}
