// Colour adjustments and effects on 4032 × 3024, single-threaded, beside Pillow (in one
// python process) and ImageMagick (one process per run; its start-up and the reading of
// the file are measured apart and taken off). Best of five; ratio ours / reference.
#include "imaging/proc/bitmap_routines.h"
#include "imaging/proc/color_adjust.h"
#include "imaging/proc/distort.h"
#include "imaging/proc/user_filter.h"
#include "bench_image.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int kRuns = 5;


// Each run works on a fresh copy; the copy is not timed.
double best(const TBitmap& src, const std::function<void(TBitmap&)>& op)
{
    double b = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        TBitmap work(src);
        work.Image().detach();
        const auto t0 = std::chrono::steady_clock::now();
        op(work);
        b = std::min(b, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    return b;
}

const char* kPil = R"PY(
import json, sys, time
from PIL import Image, ImageFilter, ImageOps, ImageStat
im = Image.open(sys.argv[1]); im.load()
def best(f):
    t = []
    for _ in range(5):
        t0 = time.perf_counter(); f(); t.append((time.perf_counter() - t0) * 1000)
    return min(t)
# PIL's contrast enhancement: a blend away from a grey of the image's mean luminance.
def contrast(factor):
    mean = int(ImageStat.Stat(im.convert("L")).mean[0] + 0.5)
    grey = Image.new("L", im.size, mean).convert(im.mode)
    return Image.blend(grey, im, factor)
k = ImageFilter.Kernel((3, 3), [1, 1, 1, 1, -8, 1, 1, 1, 1], 1)
print(json.dumps({
    "user filter 3x3": best(lambda: im.filter(k)),
    "contrast": best(lambda: contrast(1.5)),
    "hsv offset": best(lambda: im.convert("HSV").convert("RGB")),
    "equalize": best(lambda: ImageOps.equalize(im)),
}))
)PY";

double runBest(const QString& program, const QStringList& args)
{
    double b = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(program, args);
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            return -1;
        b = std::min(b, double(t.nsecsElapsed()) / 1e6);
    }
    return b;
}

void line(const char* name, double ours, double ref, const char* refName)
{
    if (ref > 0)
        std::printf("%-18s %10.1f ms   %-12s %10.1f ms   ratio %.2f\n", name, ours, refName, ref, ours / ref);
    else
        std::printf("%-18s %10.1f ms   %-12s    missing\n", name, ours, refName);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const TBitmap src = MakeBenchImage(4032, 3024, 1);
    const int x2 = src.Width() - 1, y2 = src.Height() - 1;
    const TRGBTriple mean = MeanColor(&src);
    const double filter = best(src, [&](TBitmap& b) { ApplyUserFilter(b, UserFilterPresets[2].Filter, 0, 0, x2, y2); });
    const double contrast = best(src, [&](TBitmap& b) { AdjustContrast(b, 0, 0, x2, y2, 5, mean.rgbtRed, mean.rgbtGreen, mean.rgbtBlue); });
    const double hsv = best(src, [&](TBitmap& b) { AdjustHSV(b, 0, 0, x2, y2, 20, 5, -5); });
    const double equalize = best(src, [&](TBitmap& b) { EqualizeHistogram(b, 0, 0, x2, y2); });
    const double lens = best(src, [&](TBitmap& b) { ApplyLens(b, 2016, 1512, 2016, 2016, 1.7); });
    const double wave = best(src, [&](TBitmap& b) { ApplyWave(b, 10, 10, 0, false); });

    QTemporaryDir dir;
    const QString ppm = dir.path() + "/big.ppm", py = dir.path() + "/pil.py", tiny = dir.path() + "/tiny.ppm";
    src.Image().save(ppm, "PPM");
    MakeBenchImage(1, 1, 1).Image().save(tiny, "PPM");
    QFile f(py);
    f.open(QIODevice::WriteOnly);
    f.write(kPil);
    f.close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("OMP_NUM_THREADS", "1");
    env.insert("MAGICK_THREAD_LIMIT", "1");
    p.setProcessEnvironment(env);
    p.start("/usr/bin/python3", {py, ppm});
    QJsonObject pil;
    if (p.waitForFinished(600000) && p.exitCode() == 0)
        pil = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    const double pyStart = runBest("/usr/bin/python3", {"-c", "from PIL import Image"});
    // ImageMagick: start-up alone, then reading the image alone, both taken off.
    const QStringList one = {"-limit", "thread", "1"};
    const double imStart = runBest("convert", one + QStringList{tiny, "null:"});
    const double imRead = runBest("convert", one + QStringList{ppm, "null:"});
    const double implode = runBest("convert", one + QStringList{ppm, "-implode", "0.5", "null:"});
    const double waveIm = runBest("convert", one + QStringList{ppm, "-wave", "10x20", "null:"});

    std::printf("4032 x 3024, single-threaded, best of %d\n", kRuns);
    std::printf("python + PIL start-up %.1f ms, ImageMagick start-up %.1f ms, its read of the image %.1f ms (both taken off)\n",
                pyStart, imStart, imRead - imStart);
    line("user filter 3x3", filter, pil.value("user filter 3x3").toDouble(-1), "PIL");
    line("contrast", contrast, pil.value("contrast").toDouble(-1), "PIL");
    line("hsv offset", hsv, pil.value("hsv offset").toDouble(-1), "PIL");
    line("equalize", equalize, pil.value("equalize").toDouble(-1), "PIL");
    line("lens", lens, implode > 0 ? implode - imRead : -1, "IM implode");
    line("wave", wave, waveIm > 0 ? waveIm - imRead : -1, "IM wave");
    return 0;
}
