// Resampling and rotation beside Python PIL, measured in the same run, single-threaded:
// 4032 × 3024 → 852 × 639 and 1008 × 756 → 2016 × 1512 with Triangle, Mitchell and
// Lanczos3 (PIL: BILINEAR, BICUBIC, LANCZOS), rotation of 4032 × 3024 by 17° with
// antialiasing (PIL: bilinear, expand) and by 90° (PIL: transpose).
#include "imaging/proc/geometry.h"
#include "imaging/proc/resample.h"

#include "bench_image.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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

std::map<std::string, double> ours, pil;

double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void resampleBench(benchmark::State& state, const TBitmap& src, int dw, int dh, TResampleFilter f,
                   const std::string& key)
{
    double best = 1e30;
    for (auto _ : state) {
        TBitmap dst(dw, dh, pf24bit);
        const auto t0 = std::chrono::steady_clock::now();
        ResampleBitmap(src, dst, f);
        best = std::min(best, msSince(t0));
        benchmark::DoNotOptimize(dst.ScanLine(0));
    }
    ours[key] = best;
}

void BM_Down_Triangle(benchmark::State& s) { resampleBench(s, big(), 852, 639, rfTriangle, "down triangle"); }
void BM_Down_Mitchell(benchmark::State& s) { resampleBench(s, big(), 852, 639, rfMitchell, "down mitchell"); }
void BM_Down_Lanczos3(benchmark::State& s) { resampleBench(s, big(), 852, 639, rfLanczos3, "down lanczos3"); }
void BM_Up_Triangle(benchmark::State& s) { resampleBench(s, small(), 2016, 1512, rfTriangle, "up triangle"); }
void BM_Up_Mitchell(benchmark::State& s) { resampleBench(s, small(), 2016, 1512, rfMitchell, "up mitchell"); }
void BM_Up_Lanczos3(benchmark::State& s) { resampleBench(s, small(), 2016, 1512, rfLanczos3, "up lanczos3"); }
BENCHMARK(BM_Down_Triangle)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Down_Mitchell)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Down_Lanczos3)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Up_Triangle)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Up_Mitchell)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Up_Lanczos3)->Unit(benchmark::kMillisecond)->Iterations(5);

void rotateBench(benchmark::State& state, int angle, const std::string& key)
{
    double best = 1e30;
    for (auto _ : state) {
        state.PauseTiming();
        TBitmap work(big());
        work.Image().detach();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        Rotate(work, angle, true, clWhite);
        best = std::min(best, msSince(t0));
        benchmark::DoNotOptimize(work.ScanLine(0));
    }
    ours[key] = best;
}

void BM_Rotate17_Antialias(benchmark::State& s) { rotateBench(s, 17, "rotate 17"); }
void BM_Rotate90(benchmark::State& s) { rotateBench(s, 90, "rotate 90"); }
BENCHMARK(BM_Rotate17_Antialias)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond)->Iterations(5);

// PIL runs in one python process: each operation five times, the best time kept.
const char* kPilScript = R"PY(
import json, sys, time
from PIL import Image
big = Image.open(sys.argv[1]); big.load()
small = Image.open(sys.argv[2]); small.load()
def best(f):
    t = []
    for _ in range(5):
        t0 = time.perf_counter(); f(); t.append((time.perf_counter() - t0) * 1000)
    return min(t)
r = {}
for name, flt in (("triangle", Image.BILINEAR), ("mitchell", Image.BICUBIC), ("lanczos3", Image.LANCZOS)):
    r["down " + name] = best(lambda: big.resize((852, 639), flt))
    r["up " + name] = best(lambda: small.resize((2016, 1512), flt))
r["rotate 17"] = best(lambda: big.rotate(17, resample=Image.BILINEAR, expand=True, fillcolor=(255, 255, 255)))
r["rotate 90"] = best(lambda: big.transpose(Image.ROTATE_90))
print(json.dumps(r))
)PY";

void runPil()
{
    QTemporaryDir dir;
    const QString a = dir.path() + "/big.ppm", b = dir.path() + "/small.ppm", py = dir.path() + "/pil.py";
    big().Image().save(a, "PPM");
    small().Image().save(b, "PPM");
    QFile f(py);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(kPilScript);
    f.close();
    QProcess p;
    // One thread everywhere, as ours.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("OMP_NUM_THREADS", "1");
    p.setProcessEnvironment(env);
    p.start("/usr/bin/python3", {py, a, b});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::printf("PIL run failed: %s\n", p.readAllStandardError().constData());
        return;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (auto it = o.begin(); it != o.end(); ++it)
        pil[it.key().toStdString()] = it.value().toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    runPil();
    std::printf("\n%-16s %10s %10s %8s   (best of 5, single thread)\n", "operation", "ours ms", "PIL ms", "PIL/ours");
    for (const auto& [k, v] : ours) {
        const double p = pil.count(k) ? pil[k] : 0;
        std::printf("%-16s %10.1f %10.1f %8.2f\n", k.c_str(), v, p, p > 0 ? p / v : 0.0);
    }
    std::printf("goals: resampling PIL/ours >= 1; rotate 17 PIL/ours >= 1; rotate 90 under 40 ms\n");
    benchmark::Shutdown();
    return 0;
}
