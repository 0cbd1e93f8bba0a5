// How long the window's thread goes without running its events while long work runs:
// a timer on it ticks every 10 ms, and the longest gap between ticks is printed per
// operation with the peak memory above what the process held before it (goal: gap
// <= 100 ms; a preview <= 64 MiB above the open dialog's own). Operations: a 300 dpi
// A4 colour scan from SANE's test device, a 10 000-colour reduction of a 12 MP image,
// the open dialog's preview of a 10-page A4 TIFF, a batch over a 1 000-file folder and
// a 300-tile print of a 12 MP image to PDF. Each runs once: the figures are a machine's
// responsiveness under its load at the time, not a best of several runs.
#include "app/batch/batch_file.h"
#include "app/batch/batch_runner.h"
#include "app/commands/command_record.h"
#include "app/batch/batch_source_dialog.h"
#include "app/batch/batch_dialog.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "imaging/dialogs/open_dialog.h"
#include "imaging/dialogs/scan_source_dialog.h"
#include "imaging/dialogs/twain_acquire.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "imaging/proc/image_kit_proc.h"
#include "platform/core/parallel_for.h"
#include "platform/graphics/canvas.h"
#include "platform/print/printer.h"

#include "bench_app.h"
#include "bench_common.h"
#include "bench_image.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Peak resident memory (VmHWM) since the last reset, in KiB.
int64_t statusKiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').front().toLongLong();
    return 0;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Ticks every 10 ms on the window's thread and keeps the longest gap between ticks.
class TGapMeter {
public:
    TGapMeter()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void Start()
    {
        worst_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    int64_t Stop()
    {
        tick();
        timer_.stop();
        return worst_;
    }

private:
    void tick()
    {
        const int64_t now = clock_.elapsed();
        worst_ = std::max(worst_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    int64_t last_ = 0, worst_ = 0;
};

bool g_allWithinGoal = true;
QString g_only;  // a word of the operations to run (the first argument), else all

// Runs op from the event loop (as a command from a menu would run) with the meter on.
void measure(const char* name, const std::function<bool()>& op, int64_t memoryGoalMiB = -1)
{
    if (!g_only.isEmpty() && !QString::fromUtf8(name).contains(g_only))
        return;
    TGapMeter meter;
    bool ok = false;
    int64_t gap = 0, ms = 0;
    const int64_t before = statusKiB("VmRSS:");
    resetPeak();
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
        QElapsedTimer t;
        t.start();
        meter.Start();
        ok = op();
        gap = meter.Stop();
        ms = t.elapsed();
        loop.quit();
    });
    loop.exec();
    const int64_t peak = std::max<int64_t>(statusKiB("VmHWM:") - before, 0);
    const bool within = ok && gap <= 100 && (memoryGoalMiB < 0 || peak / 1024 <= memoryGoalMiB);
    g_allWithinGoal = g_allWithinGoal && within;
    std::printf("  %-34s %s  %7lld ms   longest gap %6lld ms (goal <= 100)   peak +%5lld MiB%s   threads %d/-%s\n",
                name, ok ? "ok    " : "FAILED", (long long)ms, (long long)gap, (long long)(peak / 1024),
                memoryGoalMiB >= 0 ? " (goal <= 64)" : "", ParallelThreads(), LoadNote(LoadNow()).c_str());
    std::fflush(stdout);
}

// Waits in the event loop until done() holds (the work runs on other threads).
bool waitFor(const std::function<bool()>& done, int limitMs = 600000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void writeSaneConfig(const QString& dir)
{
    auto write = [&](const char* name, const QByteArray& text) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    };
    write("dll.conf", "test\n");
    write("test.conf", "number_of_devices 1\nmode Color\ndepth 8\nresolution_min 1.0\nresolution_max 1200.0\n"
                       "resolution_quant 1.0\nresolution 300.0\ntest-picture \"Color pattern\"\n"
                       "geometry_min 0.0\ngeometry_max 300.0\ngeometry_quant 1.0\n"
                       "tl_x 0.0\ntl_y 0.0\nbr_x 210.0\nbr_y 297.0\n");
}

// A scanned-looking A4 page at 300 dpi: white with dark blocks, stored PackBits-packed.
void writeTiffPages(const QString& path, int pages)
{
    TBitmap page(2480, 3508, pf24bit);
    TCanvas& c = *page.Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, page.Width(), page.Height()));
    c.Brush.Color = clBlack;
    for (int y = 200; y < 3300; y += 60)
        c.FillRect(TRect(200, y, 200 + (y * 7) % 2000, y + 30));
    TImageKitIO io;
    io.SetAttachedBitmap(&page);
    io.Params().TiffCompression = 8;
    for (int i = 0; i < pages; ++i) {
        io.Params().TiffImageIndex = i;
        io.InsertToFileTIFF(path);
    }
}

// The preview's loader as the dialog runs it on a selection change.
class TBenchOpenDialog : public TOpenImageKitDialog {
public:
    using TOpenImageKitDialog::LoadMultiPreview;
};

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir work;
    const QString saneDir = work.filePath(QStringLiteral("sane"));
    QDir().mkpath(saneDir);
    writeSaneConfig(saneDir);
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(saneDir));
    UseBenchEnvironment();
    QApplication app(argc, argv);
    if (argc > 1 && argv[1][0] != '-')
        g_only = QString::fromLocal8Bit(argv[1]);
    std::unique_ptr<Tform1> form = StartBenchMainWindow();
    std::printf("Longest gap between 10 ms ticks on the window's thread (one run each; the machine's load shows)\n");

    // Scanning: Scan pressed in the source's dialog until the image has arrived.
    measure("scan, A4 colour 300 dpi", [&] {
        QTimer::singleShot(0, [] {
            if (TScanSourceDialog* d = TwainSourceDialog())
                d->ScanButton()->click();
        });
        try {
            QByteArray dib = TwainAcquire(nullptr, false);
            const bool got = !dib.isEmpty();
            TwainFreeDIBs(dib);
            return got;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "scan failed: %s\n", e.what());
            return false;
        }
    });

    // Colour reduction in an image window, its progress going to the main window.
    Tchild* image = form->NewImageWindow();
    image->imageKit->Bitmap()->Assign(MakeBenchImage(4000, 3000, 3));
    image->imageKit->Update();
    image->imageKit->Proc()->UndoLimit = 0;
    const TBitmap twelve = *image->imageKit->Bitmap();
    measure("colour reduction to 10 000, 12 MP", [&] {
        image->imageKit->Proc()->ReduceColors(10000);
        return true;
    });
    image->imageKit->Bitmap()->Assign(twelve);

    // The open dialog's preview of a multi-page TIFF.
    const QString tiff = work.filePath(QStringLiteral("pages.tif"));
    writeTiffPages(tiff, 10);
    {
        TBenchOpenDialog dialog;
        measure(
            "open preview, 10-page A4 TIFF",
            [&] {
                return dialog.LoadMultiPreview(tiff) && waitFor([&] { return !dialog.Busy(); }) &&
                       dialog.ImageKitMView->ImageCount() == 10;
            },
            64);
    }

    // A batch over a folder of 1 000 small pictures, saved elsewhere and closed.
    const QString folder = work.filePath(QStringLiteral("folder"));
    const QString out = work.filePath(QStringLiteral("out"));
    QDir().mkpath(folder);
    QDir().mkpath(out);
    const QStringList files = WriteBenchPhotos(folder, 1000, 64, 48);
    {
        tautomatitem item;
        item.SetCode(cmdNegative);
        WriteBatchFile(BatchFilePath(QStringLiteral("walk")), {item.ToByteArray()});
        form->options.verzdialog.source = 1;
        form->options.verzdialog.directory = folder;
        form->options.verzdialog.subdirs = 0;
        form->options.verzdialog.types = {};
        form->options.verzdialog.types[0] = 1;
        Tautoform* a = form->autoform();
        a->work.after = 2;
        a->work.startname.Assign(QStringLiteral("w"));
        a->work.startnumber = 1;
        a->work.formatindex = 0;
        a->work.keepformat = 0;
        a->work.keepnames = 0;
        a->work.existing = 0;
        a->FormActivate(form->options);
        a->SetDirectory(out);
        measure("batch over a 1 000-file folder", [&] {
            QTimer::singleShot(0, form.get(), [] {
                if (auto* d = qobject_cast<Taufverzform*>(QApplication::activeModalWidget()))
                    d->Buttons[1]->click();
            });
            form->Batch().RunBatch(BatchFilePath(QStringLiteral("walk")), TBatchRunner::bmFileList);
            return QDir(out).entryList(QDir::Files).size() == files.size();
        });
    }

    // 300 tiles of the 12 MP image on one A4 page at 600 dpi, into a PDF file.
    form->ActivateChild(image);
    Printer().SetPdfOutput(work.filePath(QStringLiteral("job")), 600, 210, 297);
    form->options.printdialog = tprintdialog::Defaults();
    measure("print of 300 tiles to PDF, 12 MP", [&] {
        tautomatitem& a = form->automatitem;
        const int args[] = {0, 0, Printer().PageWidth() / 15 - 1, Printer().PageHeight() / 20 - 1, 1};
        for (int i = 1; i <= 5; ++i)
            a.SetArg(i, args[i - 1]);
        a.SetArg(6, 1);
        a.SetArgByte(0);
        form->runcode(cmdPrint);
        return QFile::exists(Printer().PdfFileName(1));
    });

    image->SetModified(false);
    form.reset();
    std::printf("%s\n", g_allWithinGoal ? "every operation within its goal" : "some operation missed its goal");
    return 0;
}
