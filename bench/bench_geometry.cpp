// Resampling and rotation beside Python PIL, measured in the same run, both on one
// thread, best of kBestOf on both sides in turn, both reusing memory they have touched
// before:
// 4032 × 3024 → 852 × 639 and 1008 × 756 → 2016 × 1512 with Triangle, Mitchell and
// Lanczos3 (PIL: BILINEAR, BICUBIC, LANCZOS), rotation of 4032 × 3024 by 17° with
// antialiasing (PIL: bilinear, expand) and by 90° (PIL: transpose).
#include "imaging/proc/geometry.h"
#include "imaging/proc/resample.h"
#include "platform/core/parallel_for.h"

#include "bench_common.h"
#include "bench_image.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

const TBitmap& big()
{
    static const TBitmap b = MakeBenchImage(4032, 3024, 1);
    return b;
}
const TBitmap& small()
{
    static const TBitmap b = MakeBenchImage(1008, 756, 2);
    return b;
}

void resampleBench(benchmark::State& state, const TBitmap& src, int dw, int dh, TResampleFilter f)
{
    // The destination is made inside the timing, as PIL's resize makes its own.
    for (auto _ : state) {
        TBitmap dst(dw, dh, pf24bit);
        ResampleBitmap(src, dst, f);
        benchmark::DoNotOptimize(dst.ScanLine(0));
    }
}

void BM_DownTriangle(benchmark::State& s) { resampleBench(s, big(), 852, 639, rfTriangle); }
void BM_DownMitchell(benchmark::State& s) { resampleBench(s, big(), 852, 639, rfMitchell); }
void BM_DownLanczos3(benchmark::State& s) { resampleBench(s, big(), 852, 639, rfLanczos3); }
void BM_UpTriangle(benchmark::State& s) { resampleBench(s, small(), 2016, 1512, rfTriangle); }
void BM_UpMitchell(benchmark::State& s) { resampleBench(s, small(), 2016, 1512, rfMitchell); }
void BM_UpLanczos3(benchmark::State& s) { resampleBench(s, small(), 2016, 1512, rfLanczos3); }
BENCHMARK(BM_DownTriangle)->Apply(BestOf);
BENCHMARK(BM_DownMitchell)->Apply(BestOf);
BENCHMARK(BM_DownLanczos3)->Apply(BestOf);
BENCHMARK(BM_UpTriangle)->Apply(BestOf);
BENCHMARK(BM_UpMitchell)->Apply(BestOf);
BENCHMARK(BM_UpLanczos3)->Apply(BestOf);

void rotateBench(benchmark::State& state, int angle)
{
    for (auto _ : state) {
        state.PauseTiming();
        TBitmap work(big());
        work.Image().detach();
        state.ResumeTiming();
        Rotate(work, angle, true, clWhite);
        benchmark::DoNotOptimize(work.ScanLine(0));
    }
}

void BM_Rotate17Antialias(benchmark::State& s) { rotateBench(s, 17); }
void BM_Rotate90(benchmark::State& s) { rotateBench(s, 90); }
BENCHMARK(BM_Rotate17Antialias)->Apply(BestOf);
BENCHMARK(BM_Rotate90)->Apply(BestOf);

// PIL runs in one python process per round: each operation once, the best kept over the rounds.
const char* kPilScript = R"PY(
import json, sys, time
from PIL import Image
big = Image.open(sys.argv[1]); big.load()
small = Image.open(sys.argv[2]); small.load()
def best(f):
    t = []
    for _ in range(int(sys.argv[3])):
        t0 = time.perf_counter(); f(); t.append((time.perf_counter() - t0) * 1000)
    return min(t)
r = {}
for name, flt in (("Triangle", Image.BILINEAR), ("Mitchell", Image.BICUBIC), ("Lanczos3", Image.LANCZOS)):
    r["PIL_Down" + name] = best(lambda: big.resize((852, 639), flt))
    r["PIL_Up" + name] = best(lambda: small.resize((2016, 1512), flt))
r["PIL_Rotate17"] = best(lambda: big.rotate(17, resample=Image.BILINEAR, expand=True, fillcolor=(255, 255, 255)))
r["PIL_Rotate90"] = best(lambda: big.transpose(Image.ROTATE_90))
print(json.dumps(r))
)PY";

}  // namespace

int main(int argc, char** argv)
{
    // PIL keeps its freed blocks for the next image: ours keeps its freed memory too.
    KeepFreedMemory();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // PIL works on one thread; so does ours here.
    TScopedParallelThreads oneThread(1);
    QTemporaryDir dir;
    const QString a = dir.path() + "/big.ppm", b = dir.path() + "/small.ppm";
    big().Image().save(a, "PPM");
    small().Image().save(b, "PPM");
    TBestReporter reporter;
    RunRounds(reporter, [&] { RunPythonTimings(kPilScript, {a, b, QStringLiteral("1")}); });
    PrintTableHeading("Resampling and rotation beside PIL, one thread both sides, both reusing touched memory");
    const std::string one = Threads(1, 1);
    for (const char* f : {"Triangle", "Mitchell", "Lanczos3"}) {
        PrintComparison((std::string("down ") + f).c_str(), std::string("BM_Down") + f, "PIL resize",
                        std::string("PIL_Down") + f, one);
        PrintComparison((std::string("up ") + f).c_str(), std::string("BM_Up") + f, "PIL resize",
                        std::string("PIL_Up") + f, one);
    }
    PrintComparison("rotate 17 antialiased", "BM_Rotate17Antialias", "PIL rotate bilinear expand", "PIL_Rotate17", one);
    PrintComparison("rotate 90", "BM_Rotate90", "PIL transpose", "PIL_Rotate90", one);
    std::printf("goals: ours/ref <= 1 for resampling and both rotations\n");
    benchmark::Shutdown();
    return 0;
}
