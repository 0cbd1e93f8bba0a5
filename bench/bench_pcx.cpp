// A 4000 × 3000 24-bit PCX loaded and saved through the input/output component, beside
// ImageMagick's `convert in.pcx out.pcx` in the same run. convert's process start-up
// (the same command on a 1 × 1 PCX) is measured apart and also taken off its figure.
// Every line is the best of N runs; the ratio is convert's time over ours.
#include "imaging/io/image_kit_io.h"
#include "platform/graphics/bitmap.h"

#include "bench_common.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int kWidth = 4000, kHeight = 3000, kRuns = 7;

double bestOf(const std::function<bool()>& run) { return BestRunMs(kRuns, run); }

bool convert(const QString& tool, const QString& in, const QString& out)
{
    QProcess p;
    p.start(tool, {in, out});
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void line(const char* what, double ms, double reference)
{
    if (reference > 0)
        std::printf("  %-34s %9.1f ms   convert/ours %5.2fx\n", what, ms, reference / ms);
    else
        std::printf("  %-34s %9.1f ms\n", what, ms);
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.pcx")), out = dir.filePath(QStringLiteral("out.pcx"));
    const QString tinyIn = dir.filePath(QStringLiteral("tiny.pcx")), tinyOut = dir.filePath(QStringLiteral("tiny2.pcx"));
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
    const double load = bestOf([&] {
        io.LoadFromFile(in);
        return bmp.Width() == kWidth;
    });
    const double save = bestOf([&] {
        io.SaveToFile(out);
        return true;
    });
    const double both = bestOf([&] {
        TBitmap b;
        TImageKitIO o;
        o.SetAttachedBitmap(&b);
        o.LoadFromFile(in);
        o.SaveToFile(out);
        return true;
    });

    const QString tool = QStandardPaths::findExecutable(QStringLiteral("convert"));
    double magick = -1, startup = -1;
    if (!tool.isEmpty()) {
        startup = bestOf([&] { return convert(tool, tinyIn, tinyOut); });
        magick = bestOf([&] { return convert(tool, in, out); });
    }

    std::printf("%d x %d 24-bit PCX, %.1f MB, best of %d\n", kWidth, kHeight, mb, kRuns);
    line("ours load", load, -1);
    line("ours save (temporary file + sync)", save, -1);
    line("ours load+save", both, magick);
    if (magick < 0) {
        std::printf("  convert: missing tool or failed\n");
        return 1;
    }
    line("convert load+save", magick, magick);
    line("convert start-up (1 x 1 file)", startup, -1);
    line("convert load+save less start-up", magick - startup, -1);
    std::printf("  ours load+save vs convert without start-up: %.2fx (goal: 3x)\n", (magick - startup) / both);
    return 0;
}
