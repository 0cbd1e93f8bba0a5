// Whole-image operations on a 4032 × 3024 image with one thread and with every core:
// ours on one thread beside Python PIL and vips on one thread, ours on every core
// beside vips on its default threads. vips runs as a command on its uncompressed native
// files and reports its own evaluation time (--vips-progress), so its start-up is not
// in its figure. Ours, PIL and vips run in turn, round by round. Run under
// "taskset -c 0" to see that one core loses nothing.
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
#include <QRegularExpression>
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
    const char* name;   // benchmark name after "BM_"
    const char* label;  // table line
    const char* pil;    // PIL expression over `big` (and `other`), empty for none
    const char* vips;   // vips arguments between input and output, empty for none
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
        {"DownLanczos3", "Lanczos3 to 1008 x 756", "big.resize((1008, 756), Image.LANCZOS)",
         "resize %1 %2 0.25 --kernel lanczos3",
         [](TBitmap& b) {
             TBitmap d(1008, 756, pf24bit);
             ResampleBitmap(b, d, rfLanczos3);
             b.Assign(d);
         }},
        {"DownTriangle", "Triangle to 1008 x 756", "big.resize((1008, 756), Image.BILINEAR)",
         "resize %1 %2 0.25 --kernel linear",
         [](TBitmap& b) {
             TBitmap d(1008, 756, pf24bit);
             ResampleBitmap(b, d, rfTriangle);
             b.Assign(d);
         }},
        {"UpMitchell", "Mitchell to 6048 x 4536", "big.resize((6048, 4536), Image.BICUBIC)",
         "resize %1 %2 1.5 --kernel mitchell",
         [](TBitmap& b) {
             TBitmap d(6048, 4536, pf24bit);
             ResampleBitmap(b, d, rfMitchell);
             b.Assign(d);
         }},
        {"Rotate17", "rotate 17 antialiased",
         "big.rotate(17, resample=Image.BILINEAR, expand=True, fillcolor=(255, 255, 255))",
         "rotate %1 %2 17 --interpolate bilinear --background \"255 255 255\"",
         [](TBitmap& b) { Rotate(b, 17, true, clWhite); }},
        {"Rotate90", "rotate 90", "big.transpose(Image.ROTATE_90)", "rot %1 %2 d270",
         [](TBitmap& b) { Rotate(b, 90, true, clWhite); }},
        {"Flip", "flip left to right", "big.transpose(Image.FLIP_LEFT_RIGHT)", "flip %1 %2 horizontal",
         [](TBitmap& b) { Flip(b, 0); }},
        {"Grey", "greyscale", "big.convert('L')", "colourspace %1 %2 b-w",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.ConvertToGray(); }); }},
        {"Negative", "negative", "ImageOps.invert(big)", "invert %1 %2",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.Negative(); }); }},
        {"Merge", "merge 40 %", "Image.blend(big, other, 0.6)", "",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.Merge(&other(), 40); }); }},
        {"Hsv", "HSV adjustment", "", "", [](TBitmap& b) { AdjustHSV(b, 0, 0, kW, kH, 20, 10, -10); }},
        {"Wave", "wave effect", "", "", [](TBitmap& b) { ApplyWave(b, 5, 20, 0, false); }},
        {"Reduce256", "reduce to 256 colours",
         "big.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)", "",
         [](TBitmap& b) { ReduceColors(b, 256); }},
        {"Zoom", "view zoom 250 % (Triangle)", "", "",
         [](TBitmap& b) {
             TBitmap part;
             CopyBitmapArea(&b, &part, 0, 0, 1599, 999);
             ZoomResample(part, 4000, 2500, rfTriangle);
         }},
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
big = Image.open(sys.argv[1]); big.load()
other = Image.open(sys.argv[2]); other.load()
ops = json.loads(sys.argv[3])
def once(f):
    t0 = time.perf_counter(); f(); return (time.perf_counter() - t0) * 1000
print(json.dumps({name: once(lambda: eval(expr)) for name, expr in ops.items()}))
)PY";

QString pilWanted()
{
    QJsonObject wanted;
    for (const Op& op : ops())
        if (*op.pil)
            wanted.insert(QStringLiteral("PIL_") + op.name, QString::fromUtf8(op.pil));
    return QString::fromUtf8(QJsonDocument(wanted).toJson(QJsonDocument::Compact));
}

// vips' own figure for its evaluation, from the last "done in 0.123s" of its progress.
double vipsOwnMs(const QStringList& args, bool allThreads)
{
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(false, allThreads));
    p.start(QStringLiteral("vips"), QStringList{QStringLiteral("--vips-progress")} + args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    static const QRegularExpression done(QStringLiteral("done in ([0-9.]+)s"));
    double ms = -1;
    for (auto it = done.globalMatch(QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
         it.hasNext();)
        ms = it.next().captured(1).toDouble() * 1e3;
    return ms;
}

// Each vips operation once on one thread and once on its default threads.
void runVipsRound(const QString& in, const QString& out)
{
    for (const Op& op : ops())
        if (*op.vips) {
            const QStringList args = QProcess::splitCommand(QString::fromUtf8(op.vips).arg(in, out));
            for (const bool all : {false, true})
                if (const double ms = vipsOwnMs(args, all); ms >= 0)
                    KeepBest(std::string(all ? "VIPSall_" : "VIPSone_") + op.name, ms);
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
    QTemporaryDir dir;
    const QString a = dir.path() + "/big.ppm", b = dir.path() + "/other.ppm";
    const QString vin = dir.path() + "/big.v", vout = dir.path() + "/out.v";
    big().Image().save(a, "PPM");
    other().Image().save(b, "PPM");
    const bool haveVips = !QStandardPaths::findExecutable(QStringLiteral("vips")).isEmpty() &&
                          RunReference(QStringLiteral("vips"), {QStringLiteral("copy"), a, vin});
    if (!haveVips)
        std::printf("vips is not installed or could not read the image: no vips figures\n");
    const QString wanted = pilWanted();
    TBestReporter reporter;
    RunRounds(reporter, [&] {
        RunPythonTimings(kPilScript, {a, b, wanted});
        if (haveVips)
            runVipsRound(vin, vout);
    });

    const int n = ParallelThreads();
    char heading[200];
    std::snprintf(heading, sizeof heading,
                  "%d x %d: ours on 1 thread beside PIL and vips on 1; ours on %d beside vips on its default", kW, kH,
                  n);
    PrintTableHeading(heading);
    const std::string one = Threads(1, 1), all = Threads(n, n);
    for (const Op& op : ops()) {
        const std::string ours1 = std::string("BM_") + op.name + "/1", oursN = std::string("BM_") + op.name + "/0";
        const auto a1 = g_bestMs.find(ours1), aN = g_bestMs.find(oursN);
        if (a1 == g_bestMs.end() || aN == g_bestMs.end())
            continue;
        std::printf("%-28s ours 1 thread %8.1f ms   %d threads %8.1f ms   all/1 %5.2f\n", op.label, a1->second, n,
                    aN->second, aN->second / a1->second);
        if (*op.pil)
            PrintComparison("", ours1, "PIL", std::string("PIL_") + op.name, one);
        if (*op.vips) {
            PrintComparison("", ours1, "vips (own timing)", std::string("VIPSone_") + op.name, one);
            PrintComparison("", oursN, "vips (own timing)", std::string("VIPSall_") + op.name, all);
        }
    }
    std::printf("goals: ours/ref <= 1 on every line; all/1 <= 1 under taskset -c 0\n");
    benchmark::Shutdown();
    return 0;
}
