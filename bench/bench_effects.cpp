// Colour adjustments and effects on 4032 × 3024 beside Pillow (in one python process
// per round) and ImageMagick (one process per run; its start-up and the reading of the
// file are measured apart and taken off). One table with every side on one thread, one
// with every side on all cores for the operations that run in parallel. Ours and the
// references run in turn, best of kBestOf; ratio ours / reference and threads per line.
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/distort.h"
#include "imaging/proc/user_filter.h"
#include "platform/core/parallel_for.h"

#include "bench_common.h"
#include "bench_image.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// Each run works on a fresh copy; the copy is not timed.
double timeOnCopy(const TBitmap& src, const std::function<void(TBitmap&)>& op)
{
    TBitmap work(src);
    work.Image().detach();
    return BestRunMs(1, [&] {
        op(work);
        return true;
    });
}

// Pillow's contrast enhancement is a blend away from a grey of the image's mean
// luminance; its mean is computed inside the timed part, as ours is.
const char* kPil = R"PY(
import json, sys, time
from PIL import Image, ImageFilter, ImageOps, ImageStat
im = Image.open(sys.argv[1]); im.load()
def once(f):
    t0 = time.perf_counter(); f(); return (time.perf_counter() - t0) * 1000
def contrast(factor):
    mean = int(ImageStat.Stat(im.convert("L")).mean[0] + 0.5)
    grey = Image.new("L", im.size, mean).convert(im.mode)
    return Image.blend(grey, im, factor)
k = ImageFilter.Kernel((3, 3), [1, 1, 1, 1, -8, 1, 1, 1, 1], 1)
print(json.dumps({
    "PIL_filter": once(lambda: im.filter(k)),
    "PIL_contrast": once(lambda: contrast(1.5)),
    "PIL_hsv": once(lambda: im.convert("HSV").convert("RGB")),
    "PIL_equalize": once(lambda: ImageOps.equalize(im)),
}))
)PY";

struct Op {
    const char* name;
    std::function<void(TBitmap&)> run;
};

double runOnce(const QStringList& args, bool allThreads)
{
    return BestRunMs(1, [&] { return RunReference(QStringLiteral("convert"), args, false, allThreads); });
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const TBitmap src = MakeBenchImage(4032, 3024, 1);
    const int x2 = src.Width() - 1, y2 = src.Height() - 1;
    const std::vector<Op> ops = {
        {"filter", [&](TBitmap& b) { ApplyUserFilter(b, UserFilterPresets[2].Filter, 0, 0, x2, y2); }},
        {"contrast",
         [&](TBitmap& b) {
             const TRGBTriple mean = MeanColor(&b);
             AdjustContrast(b, 0, 0, x2, y2, 5, mean.rgbtRed, mean.rgbtGreen, mean.rgbtBlue);
         }},
        {"hsv", [&](TBitmap& b) { AdjustHSV(b, 0, 0, x2, y2, 20, 5, -5); }},
        {"equalize", [&](TBitmap& b) { EqualizeHistogram(b, 0, 0, x2, y2); }},
        {"lens", [&](TBitmap& b) { ApplyLens(b, 2016, 1512, 2016, 2016, 1.7); }},
        {"wave", [&](TBitmap& b) { ApplyWave(b, 10, 10, 0, false); }},
    };

    QTemporaryDir dir;
    const QString ppm = dir.path() + "/big.ppm", tiny = dir.path() + "/tiny.ppm";
    src.Image().save(ppm, "PPM");
    MakeBenchImage(1, 1, 1).Image().save(tiny, "PPM");
    const bool haveMagick = !QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty();
    // ImageMagick's equivalents: start-up alone, reading alone, then the operations.
    const std::vector<std::pair<std::string, QStringList>> magick = {
        {"start", {tiny, "null:"}},
        {"read", {ppm, "null:"}},
        {"lens", {ppm, "-implode", "0.5", "null:"}},
        {"wave", {ppm, "-wave", "10x20", "null:"}},
        {"filter", {ppm, "-define", "convolve:scale=1", "-convolve", "1,1,1,1,-8,1,1,1,1", "null:"}},
    };
    for (int round = 0; round < kBestOf; ++round) {
        for (const bool all : {false, true}) {
            std::unique_ptr<TScopedParallelThreads> one;
            if (!all)
                one = std::make_unique<TScopedParallelThreads>(1);
            for (const Op& op : ops)
                KeepBest(std::string(all ? "all_" : "one_") + op.name, timeOnCopy(src, op.run));
            if (haveMagick)
                for (const auto& [name, args] : magick)
                    if (const double ms = runOnce(args, all); ms >= 0)
                        KeepBest(std::string(all ? "IMall_" : "IMone_") + name, ms);
        }
        RunPythonTimings(kPil, {ppm}, false);
    }
    // ImageMagick's start-up and its reading of the file come off its figures.
    for (const char* side : {"IMone_", "IMall_"}) {
        const std::string read = std::string(side) + "read";
        if (!g_bestMs.count(read))
            continue;
        for (const char* name : {"lens", "wave", "filter"})
            if (auto it = g_bestMs.find(std::string(side) + name); it != g_bestMs.end())
                it->second -= g_bestMs[read];
    }

    const int n = ParallelThreads();
    PrintTableHeading("4032 x 3024, one thread on every side");
    std::printf("python + PIL start-up not timed (PIL times itself); ImageMagick start-up %.1f ms, "
                "its read of the image %.1f ms (both taken off)\n",
                g_bestMs.count("IMone_start") ? g_bestMs["IMone_start"] : -1.0,
                g_bestMs.count("IMone_read") ? g_bestMs["IMone_read"] - g_bestMs["IMone_start"] : -1.0);
    const std::string one = Threads(1, 1);
    PrintComparison("user filter 3x3", "one_filter", "PIL filter", "PIL_filter", one);
    PrintComparison("user filter 3x3", "one_filter", "IM convolve", "IMone_filter", one);
    PrintComparison("contrast (with the mean)", "one_contrast", "PIL enhance-like blend", "PIL_contrast", one);
    PrintComparison("hsv offset", "one_hsv", "PIL HSV round trip", "PIL_hsv", one);
    PrintComparison("equalize", "one_equalize", "PIL ImageOps.equalize", "PIL_equalize", one);
    PrintComparison("lens", "one_lens", "IM implode", "IMone_lens", one);
    PrintComparison("wave", "one_wave", "IM wave", "IMone_wave", one);

    char heading[120];
    std::snprintf(heading, sizeof heading, "4032 x 3024, all cores: ours on %d threads, ImageMagick with its own", n);
    PrintTableHeading(heading);
    const std::string all = Threads(n, n);
    PrintComparison("user filter 3x3", "all_filter", "IM convolve", "IMall_filter", all);
    PrintComparison("lens", "all_lens", "IM implode", "IMall_lens", all);
    PrintComparison("wave", "all_wave", "IM wave", "IMall_wave", all);
    for (const char* name : {"contrast", "hsv", "equalize"})
        if (g_bestMs.count(std::string("all_") + name))
            std::printf("%-26s ours %9.1f ms on %d threads   (ours on one: %.1f ms)   threads %d/-%s\n", name,
                        g_bestMs[std::string("all_") + name], n, g_bestMs[std::string("one_") + name], n,
                        LoadNote(LoadOf({std::string("all_") + name, std::string("one_") + name})).c_str());
    return 0;
}
