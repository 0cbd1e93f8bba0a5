// A five-step batch (resample to half, greyscale, rotate 90°, negative, save as JPEG
// quality 85) replayed over a directory of 3 MP photo-like JPEGs (written by cjpeg)
// through the main window's own directory run, beside ImageMagick's mogrify doing the
// same steps over the same files (its start-up timed on its own and taken off): on one
// thread, one mogrify process over all files; on all cores, mogrify as one process per
// core (xargs -P), each on one thread and an equal share of the files. Time ratios; the
// runs alternate round by round.
#include "app/batch/batch_file.h"
#include "app/batch/batch_runner.h"
#include "app/batch/batch_dialog.h"
#include "app/batch/batch_source_dialog.h"
#include "app/main_window/main_window.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/parallel_for.h"

#include "bench_app.h"
#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 2000, kHeight = 1500;

int g_files = 200;

struct Fixture {
    QTemporaryDir dir;
    QString source, ours, theirs, batch;
    QStringList files;
    Fixture()
    {
        source = dir.filePath(QStringLiteral("src"));
        ours = dir.filePath(QStringLiteral("ours"));
        theirs = dir.filePath(QStringLiteral("theirs"));
        for (const QString& d : {source, ours, theirs})
            QDir().mkpath(d);
        files = WriteBenchPhotos(source, g_files, kWidth, kHeight);
        tautomatitem item;
        std::vector<QByteArray> blocks;
        item.SetCode(cmdResample);
        item.SetArg(1, kWidth / 2);
        item.SetArg(2, kHeight / 2);
        item.SetArgLowByte(3, rfTriangle);
        blocks.push_back(item.ToByteArray());
        item.SetCode(cmdGray);
        blocks.push_back(item.ToByteArray());
        item.SetCode(cmdRotate);
        item.SetArg(1, -90);
        item.SetArgLowByte(2, 0);
        blocks.push_back(item.ToByteArray());
        item.SetCode(cmdNegative);
        blocks.push_back(item.ToByteArray());
        // The recorded save, which the replay skips: the after-processing saves.
        item.SetCode(cmdSave);
        item.SetFileName(dir.filePath(QStringLiteral("recorded.jpg")));
        blocks.push_back(item.ToByteArray());
        batch = BatchFilePath(QStringLiteral("bench"));
        WriteBatchFile(batch, blocks);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::unique_ptr<Tform1> g_form;

// Argument: one thread (1) or all (0).
void BM_Batch_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    if (f.files.isEmpty()) {
        state.SkipWithError("cjpeg is missing or failed");
        return;
    }
    std::unique_ptr<TScopedParallelThreads> one;
    if (state.range(0) == 1)
        one = std::make_unique<TScopedParallelThreads>(1);
    Tform1& form = *g_form;
    form.options.verzdialog.source = 1;
    form.options.verzdialog.directory = f.source;
    form.options.verzdialog.subdirs = 0;
    form.options.verzdialog.types = {};
    form.options.verzdialog.types[0] = 1;
    Tautoform* a = form.autoform();
    a->work.after = 2;
    a->work.startname.Assign(QStringLiteral("b"));
    a->work.startnumber = 1;
    a->work.formatindex = 0;
    a->work.keepformat = 0;
    a->work.keepnames = 0;
    a->work.existing = 0;
    a->FormActivate(form.options);
    a->SetDirectory(f.ours);
    a->imageKit->Params().JpegQuality = 85;
    for (auto _ : state) {
        // The file-list dialog is answered with "Anwenden" as it comes up.
        QTimer::singleShot(0, &form, [] {
            if (auto* d = qobject_cast<Taufverzform*>(QApplication::activeModalWidget()))
                d->Buttons[1]->click();
        });
        form.Batch().RunBatch(f.batch, TBatchRunner::bmFileList);
        if (QDir(f.ours).entryList(QDir::Files).size() != g_files || !form.Batch().Failures().isEmpty() ||
            form.MDIChildCount() != 0)
            state.SkipWithError("not every image was processed");
    }
}

QStringList mogrifyArgs(const Fixture& f, bool withFiles = true)
{
    return QStringList{QStringLiteral("-path"), f.theirs, QStringLiteral("-filter"), QStringLiteral("Triangle"),
                       QStringLiteral("-resize"), QStringLiteral("50%"), QStringLiteral("-colorspace"),
                       QStringLiteral("Gray"), QStringLiteral("-rotate"), QStringLiteral("90"),
                       QStringLiteral("-negate"),
                       // Ours writes three channels; so does the reference.
                       QStringLiteral("-type"), QStringLiteral("TrueColor"), QStringLiteral("-quality"),
                       QStringLiteral("85"), QStringLiteral("-format"), QStringLiteral("jpg")} +
           (withFiles ? f.files : QStringList());
}

// mogrify as `processes` processes of one thread each over equal shares of the files.
bool runMogrifyProcesses(const Fixture& f, int processes)
{
    QProcess p;
    p.setProcessEnvironment(ReferenceEnvironment(true, false));
    const int share = (int(f.files.size()) + processes - 1) / processes;
    p.start(QStringLiteral("xargs"), QStringList{QStringLiteral("-P"), QString::number(processes), QStringLiteral("-n"),
                                                 QString::number(share), QStringLiteral("mogrify")} +
                                         mogrifyArgs(f, false));
    p.write(f.files.join(QLatin1Char('\n')).toLocal8Bit() + '\n');
    p.closeWriteChannel();
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void BM_Batch_Mogrify(benchmark::State& state)
{
    Fixture& f = fixture();
    if (QStandardPaths::findExecutable(QStringLiteral("mogrify")).isEmpty()) {
        state.SkipWithError("mogrify is not installed");
        return;
    }
    // The same memory treatment as ours (KeepFreedMemory in main).
    for (auto _ : state) {
        const bool ok = !f.files.isEmpty() &&
                        (state.range(0) == 1 ? RunReference(QStringLiteral("mogrify"), mogrifyArgs(f), true)
                                             : runMogrifyProcesses(f, ParallelThreads()));
        if (!ok)
            state.SkipWithError("mogrify failed");
    }
}

void BM_Mogrify_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("mogrify"), {QStringLiteral("-version")});
}

}  // namespace

BENCHMARK(BM_Batch_Ours)->Arg(1)->Arg(0)->Apply(BestOf);
BENCHMARK(BM_Batch_Mogrify)->Arg(1)->Arg(0)->Apply(BestOf);
BENCHMARK(BM_Mogrify_Startup)->Apply(BestOf);

int main(int argc, char** argv)
{
    UseBenchEnvironment();
    if (const QByteArray n = qgetenv("BENCH_BATCH_FILES"); !n.isEmpty())
        g_files = std::max(1, n.toInt());
    KeepFreedMemory();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();  // make the files before anything is timed
    g_form = StartBenchMainWindow();
    TBestReporter reporter;
    RunRounds(reporter);
    char heading[200];
    std::snprintf(heading, sizeof heading,
                  "%d JPEGs of %d x %d: resample to half, grey, rotate 90, negative, JPEG quality 85 (whole runs)",
                  g_files, kWidth, kHeight);
    PrintTableHeading(heading);
    const int n = ParallelThreads();
    PrintComparison("batch replay, 1 thread", "BM_Batch_Ours/1", "mogrify", "BM_Batch_Mogrify/1", Threads(1, 1),
                    "BM_Mogrify_Startup");
    const std::string xargs = "xargs -P" + std::to_string(n) + " mogrify";
    PrintComparison("batch replay, all cores", "BM_Batch_Ours/0", xargs.c_str(), "BM_Batch_Mogrify/0", Threads(n, n),
                    "BM_Mogrify_Startup");
    std::printf("goal: all cores ours/ref <= 0.67 (the reference's processes run one thread each)\n");
    g_form.reset();
    benchmark::Shutdown();
    return 0;
}
