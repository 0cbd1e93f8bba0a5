// Counting the colours of a photograph-like 2016 × 1512 image (about a million distinct
// colours), beside ImageMagick's identify -format %k on the same pixels, measured in this
// run; and packing the image as a DIB and reading it back.
#include "imaging/proc/dib.h"
#include "imaging/proc/image_kit_proc.h"

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
BENCHMARK(BM_CountColors)->Unit(benchmark::kMillisecond);

void BM_DibRoundTrip(benchmark::State& state)
{
    const TBitmap& bm = photo();
    TBitmap back;
    for (auto _ : state) {
        const QByteArray dib = BitmapRectToDIB(&bm, 0, 0, 0, 0);
        DIBToBitmap(dib, &back);
    }
}
BENCHMARK(BM_DibRoundTrip)->Unit(benchmark::kMillisecond);

// The reference: identify -format %k on a PPM of the same pixels.
void reportIdentify()
{
    if (QStandardPaths::findExecutable(QStringLiteral("identify")).isEmpty()) {
        std::printf("identify: not installed\n");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/photo.ppm");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(kWidth).arg(kHeight).toLatin1());
    const TBitmap& bm = photo();
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
    f.close();
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%k"), path});
    p.waitForFinished(600000);
    std::printf("identify -format %%k: %s colours in %lld ms (file read included)\n",
                p.readAllStandardOutput().trimmed().constData(), static_cast<long long>(t.elapsed()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    reportIdentify();
    benchmark::Shutdown();
    return 0;
}
