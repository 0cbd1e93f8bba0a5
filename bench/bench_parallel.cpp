// Whole-image operations on a 4032 × 3024 image with one thread and with every core,
// beside Python PIL (one thread) and the vips command (every thread; its start-up and
// the reading and writing of its uncompressed native files timed apart on a plain copy
// and taken off). Run under "taskset -c 0" to see that one core loses nothing.
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/distort.h"
#include "imaging/proc/geometry.h"
#include "imaging/proc/image_kit_proc.h"
#include "imaging/proc/quantizer.h"
#include "imaging/proc/resample.h"
#include "platform/core/parallel_for.h"

#include "bench_common.h"
#include "bench_image.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kW = 4032, kH = 3024;

const TBitmap& big()
{
    static const TBitmap b = MakeBenchImage(kW, kH, 1);
    return b;
}
const TBitmap& other()
{
    static const TBitmap b = MakeBenchImage(kW, kH, 2);
    return b;
}

struct Op {
    const char* name;      // benchmark name after "BM_"
    const char* label;     // table line
    const char* pil;       // PIL expression over `big` (and `other`), empty for none
    const char* vips;      // vips arguments between input and output, empty for none
    std::function<void(TBitmap&)> run;
};

void onProc(TBitmap& b, const std::function<void(TImageKitProc&)>& f)
{
    TImageKitProc proc;
    proc.SetAttachedBitmap(&b);
    proc.SetAutoUndo(false);
    f(proc);
}

const std::vector<Op>& ops()
{
    static const std::vector<Op> o = {
        {"DownLanczos3", "Lanczos3 to 1008 x 756", "big.resize((1008, 756), Image.LANCZOS)", "resize %1 %2 0.25 --kernel lanczos3",
         [](TBitmap& b) { TBitmap d(1008, 756, pf24bit); ResampleBitmap(b, d, rfLanczos3); b.Assign(d); }},
        {"DownTriangle", "Triangle to 1008 x 756", "big.resize((1008, 756), Image.BILINEAR)", "resize %1 %2 0.25 --kernel linear",
         [](TBitmap& b) { TBitmap d(1008, 756, pf24bit); ResampleBitmap(b, d, rfTriangle); b.Assign(d); }},
        {"UpMitchell", "Mitchell to 6048 x 4536", "big.resize((6048, 4536), Image.BICUBIC)", "resize %1 %2 1.5 --kernel mitchell",
         [](TBitmap& b) { TBitmap d(6048, 4536, pf24bit); ResampleBitmap(b, d, rfMitchell); b.Assign(d); }},
        {"Rotate17", "rotate 17 antialiased", "big.rotate(17, resample=Image.BILINEAR, expand=True, fillcolor=(255, 255, 255))",
         "rotate %1 %2 17 --interpolate bilinear --background \"255 255 255\"",
         [](TBitmap& b) { Rotate(b, 17, true, clWhite); }},
        {"Rotate90", "rotate 90", "big.transpose(Image.ROTATE_90)", "rot %1 %2 d270", [](TBitmap& b) { Rotate(b, 90, true, clWhite); }},
        {"Flip", "flip left to right", "big.transpose(Image.FLIP_LEFT_RIGHT)", "flip %1 %2 horizontal", [](TBitmap& b) { Flip(b, 0); }},
        {"Grey", "greyscale", "big.convert('L')", "colourspace %1 %2 b-w",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.ConvertToGray(); }); }},
        {"Negative", "negative", "ImageOps.invert(big)", "invert %1 %2",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.Negative(); }); }},
        {"Merge", "merge 40 %", "Image.blend(big, other, 0.6)", "",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.Merge(&other(), 40); }); }},
        {"Hsv", "HSV adjustment", "", "", [](TBitmap& b) { AdjustHSV(b, 0, 0, kW, kH, 20, 10, -10); }},
        {"Wave", "wave effect", "", "", [](TBitmap& b) { ApplyWave(b, 5, 20, 0, false); }},
        {"Reduce256", "reduce to 256 colours", "big.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)", "",
         [](TBitmap& b) { ReduceColors(b, 256); }},
        {"Zoom", "view zoom 250 % (Triangle)", "", "",
         [](TBitmap& b) { TBitmap part; CopyBitmapArea(&b, &part, 0, 0, 1599, 999); ZoomResample(part, 4000, 2500, rfTriangle); }},
    };
    return o;
}

void runOp(benchmark::State& state, const Op& op)
{
    // Argument 1: one thread; 0: the machine's.
    std::unique_ptr<TScopedParallelThreads> one;
    if (state.range(0) == 1)
        one = std::make_unique<TScopedParallelThreads>(1);
    for (auto _ : state) {
        state.PauseTiming();
        TBitmap work(big());
        work.Image().detach();
        state.ResumeTiming();
        op.run(work);
        benchmark::DoNotOptimize(work.ScanLine(0));
    }
}

const char* kPilScript = R"PY(
import json, sys, time
from PIL import Image, ImageOps
Image.core.set_blocks_max(1024) if hasattr(Image.core, "set_blocks_max") else None
big = Image.open(sys.argv[1]); big.load()
other = Image.open(sys.argv[2]); other.load()
ops = json.loads(sys.argv[4])
def best(f):
    t = []
    for _ in range(int(sys.argv[3])):
        t0 = time.perf_counter(); f(); t.append((time.perf_counter() - t0) * 1000)
    return min(t)
print(json.dumps({name: best(lambda: eval(expr)) for name, expr in ops.items()}))
)PY";

void runPil(const QString& dir, const QString& a, const QString& b)
{
    QJsonObject wanted;
    for (const Op& op : ops())
        if (*op.pil)
            wanted.insert(QStringLiteral("PIL_") + op.name, QString::fromUtf8(op.pil));
    const QString py = dir + "/pil.py";
    QFile f(py);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(kPilScript);
    f.close();
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(true));
    p.start("/usr/bin/python3", {py, a, b, QString::number(kBestOf),
                                 QString::fromUtf8(QJsonDocument(wanted).toJson(QJsonDocument::Compact))});
    if (!p.waitForFinished(1800000) || p.exitCode() != 0) {
        std::printf("PIL run failed: %s\n", p.readAllStandardError().constData());
        return;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (auto it = o.begin(); it != o.end(); ++it)
        g_bestMs[it.key().toStdString()] = it.value().toDouble();
}

// vips on every thread (its default): one command per run, best of kBestOf.
void runVips(const QString& dir, const QString& ppm)
{
    if (QStandardPaths::findExecutable("vips").isEmpty()) {
        std::printf("vips is not installed: no vips figures\n");
        return;
    }
    const QString in = dir + "/big.v", out = dir + "/out.v";
    if (!RunReference("vips", {"copy", ppm, in})) {
        std::printf("vips could not read the image\n");
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const auto time = [&](const QStringList& args) {
        return BestRunMs(kBestOf, [&] {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start("vips", args);
            return p.waitForFinished(600000) && p.exitCode() == 0;
        });
    };
    // Start-up, reading and writing the native file: a plain copy.
    g_bestMs["VIPS_Startup"] = time({"copy", in, out});
    for (const Op& op : ops())
        if (*op.vips) {
            QStringList args = QProcess::splitCommand(QString::fromUtf8(op.vips).arg(in, out));
            g_bestMs[std::string("VIPS_") + op.name] = time(args);
        }
}

}  // namespace

int main(int argc, char** argv)
{
    KeepFreedMemory();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    big();
    other();
    for (const Op& op : ops())
        benchmark::RegisterBenchmark((std::string("BM_") + op.name).c_str(),
                                     [&op](benchmark::State& s) { runOp(s, op); })
            ->Arg(1)
            ->Arg(0)
            ->Apply(BestOf);
    TBestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    QTemporaryDir dir;
    const QString a = dir.path() + "/big.ppm", b = dir.path() + "/other.ppm";
    big().Image().save(a, "PPM");
    other().Image().save(b, "PPM");
    runPil(dir.path(), a, b);
    runVips(dir.path(), a);

    char heading[200];
    std::snprintf(heading, sizeof heading,
                  "%d x %d: ours on 1 and on %d threads beside PIL (1 thread) and vips (all threads)", kW, kH,
                  ParallelThreads());
    PrintTableHeading(heading);
    for (const Op& op : ops()) {
        const std::string ours1 = std::string("BM_") + op.name + "/1", oursN = std::string("BM_") + op.name + "/0";
        const auto a1 = g_bestMs.find(ours1), aN = g_bestMs.find(oursN);
        if (a1 == g_bestMs.end() || aN == g_bestMs.end())
            continue;
        std::printf("%-28s 1 thread %8.1f ms   all %8.1f ms   all/1 %5.2f\n", op.label, a1->second, aN->second,
                    aN->second / a1->second);
        if (*op.pil)
            PrintComparison("", oursN, "PIL (1 thread)", std::string("PIL_") + op.name);
        if (*op.vips)
            PrintComparison("", oursN, "vips (all threads)", std::string("VIPS_") + op.name, "VIPS_Startup");
    }
    std::printf("goals: Lanczos3 all threads <= 0.25 x PIL; rotate 17 <= 0.15 x PIL; "
                "all/1 <= 1 under taskset -c 0\n");
    benchmark::Shutdown();
    return 0;
}
