// A 4000 × 3000 24-bit PCX loaded and saved through the input/output component, beside
// ImageMagick's `convert in.pcx out.pcx` (one process per run; its start-up, the same
// command on a 1 × 1 PCX, is measured apart and taken off) and beside Pillow loading and
// saving the same file in one python process per round (timing itself). Ours and the
// references run in turn, best of kBestOf; ratio ours / reference and threads per line.
#include "imaging/io/image_kit_io.h"
#include "imaging/io/io_params.h"
#include "imaging/io/pcx/pcx.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include "bench_common.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

const char* kPil = R"PY(
import json, sys, time
from PIL import Image
def once(f):
    t0 = time.perf_counter(); f(); return (time.perf_counter() - t0) * 1000
def load():
    im = Image.open(sys.argv[1]); im.load(); return im
im = load()
def both():
    load().save(sys.argv[2], "PCX")
print(json.dumps({"PIL_load": once(load), "PIL_save": once(lambda: im.save(sys.argv[2], "PCX")), "PIL_both": once(both)}))
)PY";

// The writer into a plain file stream: the references write without a sync, so the
// safe save's temporary file and fsync are left out here.
bool writePcx(TBitmap& bmp, const QString& name)
{
    TFileStream fs(name, fmCreate);
    TIOParamsVals params;
    TProgressRec progress;
    WritePCXStream(fs, bmp, params, progress);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The references decode and encode on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.pcx")), out = dir.filePath(QStringLiteral("out.pcx"));
    const QString refOut = dir.filePath(QStringLiteral("ref.pcx"));
    const QString tinyIn = dir.filePath(QStringLiteral("tiny.pcx"));
    const QString tinyOut = dir.filePath(QStringLiteral("tiny2.pcx"));
    {
        // photograph-like rows: smooth ramps with a little noise, so runs are short
        TBitmap bmp(kWidth, kHeight, pf24bit);
        std::mt19937 rng(4000);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* p = bmp.ScanLine(y);
            for (int x = 0; x < kWidth * 3; ++x)
                p[x] = uint8_t((x / 3 * 7 + y * 3 + x % 3 * 50) / 16 + (rng() & 3));
        }
        TImageKitIO io;
        io.SetAttachedBitmap(&bmp);
        io.SaveToFile(in);
        TBitmap one(1, 1, pf24bit);
        io.SetAttachedBitmap(&one);
        io.SaveToFile(tinyIn);
    }
    const double mb = QFileInfo(in).size() / 1e6;

    TBitmap bmp;
    TImageKitIO io;
    io.SetAttachedBitmap(&bmp);
    const bool haveMagick = !QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty();
    for (int round = 0; round < kBestOf; ++round) {
        KeepBest("load", BestRunMs(1, [&] {
                     io.LoadFromFile(in);
                     return bmp.Width() == kWidth;
                 }));
        KeepBest("save", BestRunMs(1, [&] { return writePcx(bmp, out); }));
        KeepBest("both", BestRunMs(1, [&] {
                     TBitmap b;
                     TImageKitIO o;
                     o.SetAttachedBitmap(&b);
                     o.LoadFromFile(in);
                     return writePcx(b, out);
                 }));
        if (haveMagick) {
            KeepBest("IM_start", BestRunMs(1, [&] {
                         return RunReference(QStringLiteral("convert"), {tinyIn, tinyOut});
                     }));
            KeepBest("IM_both", BestRunMs(1, [&] { return RunReference(QStringLiteral("convert"), {in, refOut}); }));
        }
        RunPythonTimings(kPil, {in, refOut}, false);
    }

    char heading[120];
    std::snprintf(heading, sizeof heading, "%d x %d 24-bit PCX, %.1f MB; every side writes without a sync", kWidth,
                  kHeight, mb);
    PrintTableHeading(heading);
    const std::string one = Threads(1, 1);
    PrintComparison("load", "load", "PIL open + load", "PIL_load", one);
    PrintComparison("save", "save", "PIL save", "PIL_save", one);
    PrintComparison("load + save", "both", "PIL load + save", "PIL_both", one);
    PrintComparison("load + save", "both", "convert in.pcx out.pcx", "IM_both", one, "IM_start");
    std::printf("goal: load + save <= 1/3 of convert's time without its start-up\n");
    return 0;
}
