// Whole-image operations on a 4032 × 3024 image with one thread and with every core:
// ours on one thread beside Python PIL and vips on one thread, ours on every core
// beside vips on as many threads. vips runs in this process (its library opened at run
// time), from an image in memory into an image in memory, as ours does; its operation
// cache is off. Ours, PIL and vips run in turn, round by round. Run under
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
#include <QTemporaryDir>

#include <dlfcn.h>

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
    const char* vips;   // vips operation, as VipsLibrary::Run names it, empty for none
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
        {"DownLanczos3", "Lanczos3 to 1008 x 756", "big.resize((1008, 756), Image.LANCZOS)", "lanczos3",
         [](TBitmap& b) {
             TBitmap d(1008, 756, pf24bit);
             ResampleBitmap(b, d, rfLanczos3);
             b.Assign(d);
         }},
        {"DownTriangle", "Triangle to 1008 x 756", "big.resize((1008, 756), Image.BILINEAR)", "linear",
         [](TBitmap& b) {
             TBitmap d(1008, 756, pf24bit);
             ResampleBitmap(b, d, rfTriangle);
             b.Assign(d);
         }},
        {"UpMitchell", "Mitchell to 6048 x 4536", "big.resize((6048, 4536), Image.BICUBIC)", "mitchell",
         [](TBitmap& b) {
             TBitmap d(6048, 4536, pf24bit);
             ResampleBitmap(b, d, rfMitchell);
             b.Assign(d);
         }},
        {"Rotate17", "rotate 17 antialiased",
         "big.rotate(17, resample=Image.BILINEAR, expand=True, fillcolor=(255, 255, 255))", "rotate17",
         [](TBitmap& b) { Rotate(b, 17, true, clWhite); }},
        {"Rotate90", "rotate 90", "big.transpose(Image.ROTATE_90)", "rot",
         [](TBitmap& b) { Rotate(b, 90, true, clWhite); }},
        {"Flip", "flip left to right", "big.transpose(Image.FLIP_LEFT_RIGHT)", "flip", [](TBitmap& b) { Flip(b, 0); }},
        {"Grey", "greyscale", "big.convert('L')", "grey",
         [](TBitmap& b) { onProc(b, [](TImageKitProc& p) { p.ConvertToGray(); }); }},
        {"Negative", "negative", "ImageOps.invert(big)", "invert",
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

// libvips opened at run time: the few calls the comparison needs, operations by name.
class VipsLibrary {
public:
    VipsLibrary()
    {
        lib_ = dlopen("libvips.so.42", RTLD_NOW | RTLD_GLOBAL);
        if (!lib_)
            return;
        const auto fn = [this](const char* name) { return dlsym(lib_, name); };
        init_ = reinterpret_cast<int (*)(const char*)>(fn("vips_init"));
        newFromFile_ = reinterpret_cast<void* (*)(const char*, ...)>(fn("vips_image_new_from_file"));
        copyMemory_ = reinterpret_cast<void* (*)(void*)>(fn("vips_image_copy_memory"));
        call_ = reinterpret_cast<int (*)(const char*, ...)>(fn("vips_call"));
        concurrency_ = reinterpret_cast<void (*)(int)>(fn("vips_concurrency_set"));
        cacheMax_ = reinterpret_cast<void (*)(int)>(fn("vips_cache_set_max"));
        fromNick_ = reinterpret_cast<int (*)(const char*, unsigned long, const char*)>(fn("vips_enum_from_nick"));
        interpolate_ = reinterpret_cast<void* (*)(const char*)>(fn("vips_interpolate_new"));
        arrayDouble_ = reinterpret_cast<void* (*)(int, ...)>(fn("vips_array_double_newv"));
        unref_ = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_DEFAULT, "g_object_unref"));
        for (const char* t :
             {"vips_kernel_get_type", "vips_angle_get_type", "vips_direction_get_type", "vips_interpretation_get_type"})
            types_.push_back(reinterpret_cast<unsigned long (*)()>(fn(t)));
        ok_ = init_ && newFromFile_ && copyMemory_ && call_ && concurrency_ && cacheMax_ && fromNick_ && interpolate_ &&
              arrayDouble_ && unref_ &&
              std::all_of(types_.begin(), types_.end(), [](auto t) { return t != nullptr; }) &&
              init_("bench_parallel") == 0;
        if (ok_)
            cacheMax_(0);  // every run computes afresh
    }
    bool ok() const { return ok_; }

    // The file's pixels in memory; null when it cannot be read.
    void* LoadToMemory(const QString& name)
    {
        void* file = newFromFile_(QFile::encodeName(name).constData(), nullptr);
        if (!file)
            return nullptr;
        void* memory = copyMemory_(file);
        unref_(file);
        return memory;
    }

    // Milliseconds for one operation from `in` into a new image in memory; -1 on failure.
    double TimeMs(const std::string& op, void* in, int threads)
    {
        concurrency_(threads);
        QElapsedTimer t;
        t.start();
        void* out = nullptr;
        if (op == "lanczos3" || op == "linear" || op == "mitchell")
            call_("resize", in, &out, op == "mitchell" ? 1.5 : 0.25, "kernel", nick(0, op.c_str()), nullptr);
        else if (op == "rotate17") {
            void* interp = interpolate_("bilinear");
            void* white = arrayDouble_(3, 255.0, 255.0, 255.0);
            call_("rotate", in, &out, 17.0, "interpolate", interp, "background", white, nullptr);
            unref_(interp);
            areaUnref(white);
        } else if (op == "rot")
            call_("rot", in, &out, nick(1, "d270"), nullptr);
        else if (op == "flip")
            call_("flip", in, &out, nick(2, "horizontal"), nullptr);
        else if (op == "grey")
            call_("colourspace", in, &out, nick(3, "b-w"), nullptr);
        else if (op == "invert")
            call_("invert", in, &out, nullptr);
        if (!out)
            return -1;
        void* done = copyMemory_(out);
        const double ms = t.nsecsElapsed() / 1e6;
        unref_(out);
        if (!done)
            return -1;
        unref_(done);
        return ms;
    }

private:
    int nick(int type, const char* name) { return fromNick_("bench", types_[size_t(type)](), name); }
    void areaUnref(void* area)
    {
        if (auto* f = reinterpret_cast<void (*)(void*)>(dlsym(lib_, "vips_area_unref")))
            f(area);
    }

    void* lib_ = nullptr;
    bool ok_ = false;
    int (*init_)(const char*) = nullptr;
    void* (*newFromFile_)(const char*, ...) = nullptr;
    void* (*copyMemory_)(void*) = nullptr;
    int (*call_)(const char*, ...) = nullptr;
    void (*concurrency_)(int) = nullptr;
    void (*cacheMax_)(int) = nullptr;
    int (*fromNick_)(const char*, unsigned long, const char*) = nullptr;
    void* (*interpolate_)(const char*) = nullptr;
    void* (*arrayDouble_)(int, ...) = nullptr;
    void (*unref_)(void*) = nullptr;
    std::vector<unsigned long (*)()> types_;
};

// Each vips operation once on one thread and once on as many as ours uses.
void runVipsRound(VipsLibrary& vips, void* in)
{
    for (const Op& op : ops())
        if (*op.vips)
            for (const bool all : {false, true})
                if (const double ms = vips.TimeMs(op.vips, in, all ? ParallelThreads() : 1); ms >= 0)
                    KeepBest(std::string(all ? "VIPSall_" : "VIPSone_") + op.name, ms);
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
    big().Image().save(a, "PPM");
    other().Image().save(b, "PPM");
    VipsLibrary vips;
    void* const vin = vips.ok() ? vips.LoadToMemory(a) : nullptr;
    if (!vin)
        std::printf("libvips is not installed or could not read the image: no vips figures\n");
    const QString wanted = pilWanted();
    TBestReporter reporter;
    RunRounds(reporter, [&] {
        RunPythonTimings(kPilScript, {a, b, wanted});
        if (vin)
            runVipsRound(vips, vin);
    });

    const int n = ParallelThreads();
    char heading[200];
    std::snprintf(heading, sizeof heading,
                  "%d x %d: ours on 1 thread beside PIL and vips on 1; ours on %d beside vips on as many; "
                  "vips in memory as ours",
                  kW, kH, n);
    PrintTableHeading(heading);
    const std::string one = Threads(1, 1), all = Threads(n, n);
    for (const Op& op : ops()) {
        const std::string ours1 = std::string("BM_") + op.name + "/1", oursN = std::string("BM_") + op.name + "/0";
        const auto a1 = g_bestMs.find(ours1), aN = g_bestMs.find(oursN);
        if (a1 == g_bestMs.end() || aN == g_bestMs.end())
            continue;
        std::printf("%-28s ours 1 thread %8.1f ms   %d threads %8.1f ms   all/1 %5.2f   threads 1/%d%s\n", op.label,
                    a1->second, n, aN->second, aN->second / a1->second, n, LoadNote(LoadOf({ours1, oursN})).c_str());
        if (*op.pil)
            PrintComparison("", ours1, "PIL", std::string("PIL_") + op.name, one);
        if (*op.vips) {
            PrintComparison("", ours1, "vips in memory", std::string("VIPSone_") + op.name, one);
            PrintComparison("", oursN, "vips in memory", std::string("VIPSall_") + op.name, all);
        }
    }
    std::printf("goals: ours/ref <= 1 on every line; all/1 <= 1 under taskset -c 0\n");
    benchmark::Shutdown();
    return 0;
}
