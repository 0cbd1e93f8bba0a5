// Adding photographs of 12 MP to a catalog window, in milliseconds per file, beside
// Python PIL's draft + thumbnail on the same files in the same run. The files are
// photo-like JPEGs written by cjpeg (quality 90), once 4:2:0 and once 4:4:4. One thread
// on both sides (ours without its decoding ahead, one python process), and all cores on
// both sides (ours decoding and scaling ahead on as many worker threads, PIL in a pool
// of as many processes).
// Python's start-up is timed on its own and taken off. Ours goes through the catalog
// window's own add path.
#include "app/catalog/catalog_window.h"
#include "app/main_window/main_window.h"
#include "platform/core/parallel_for.h"

#include "bench_app.h"
#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

int g_files = 100;

// Draft to twice the thumbnail (the JPEG decoder's DCT scaling), then a triangle
// (bilinear) thumbnail like ours; argv[1] processes share the files.
constexpr char kPil[] = R"(import sys
from multiprocessing import Pool
from PIL import Image
def thumb(name):
    im = Image.open(name)
    im.draft('RGB', (200, 200))
    im.thumbnail((100, 100), Image.BILINEAR)
if __name__ == '__main__':
    n = int(sys.argv[1])
    if n == 1:
        for name in sys.argv[2:]:
            thumb(name)
    else:
        with Pool(n) as p:
            p.map(thumb, sys.argv[2:], chunksize=1)
)";

struct Fixture {
    QTemporaryDir dir;
    QStringList files[2];  // 4:4:4, 4:2:0
    Fixture()
    {
        for (int s = 0; s < 2; ++s) {
            const QString sub = dir.filePath(s ? QStringLiteral("420") : QStringLiteral("444"));
            QDir().mkpath(sub);
            files[s] = WriteBenchPhotos(sub, g_files, kWidth, kHeight, s == 1);
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::unique_ptr<Tform1> g_form;

// Arguments: 4:2:0 (1) or 4:4:4 (0); one thread (1) or all (0).
void BM_CatalogAdd_Ours(benchmark::State& state)
{
    const QStringList& files = fixture().files[state.range(0)];
    if (files.isEmpty()) {
        state.SkipWithError("cjpeg is missing or failed");
        return;
    }
    std::unique_ptr<TScopedParallelThreads> one;
    if (state.range(1) == 1)
        one = std::make_unique<TScopedParallelThreads>(1);
    Tkataform* k = CreateCatalogWindow(*g_form);
    for (auto _ : state) {
        k->Items.clear();
        k->AddFiles(files);
        if (k->Count() != g_files)
            state.SkipWithError("not every file was added");
    }
    k->Modified = false;
    k->close();
}

void BM_CatalogAdd_Pil(benchmark::State& state)
{
    const QStringList& files = fixture().files[state.range(0)];
    const int processes = state.range(1) == 1 ? 1 : ParallelThreads();
    for (auto _ : state)
        if (files.isEmpty() ||
            !RunReference(QStringLiteral("/usr/bin/python3"),
                          QStringList{QStringLiteral("-c"), QString::fromUtf8(kPil), QString::number(processes)} +
                              files))
            state.SkipWithError("python or PIL failed");
}

void BM_Pil_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QStringLiteral("from PIL import Image")});
}

void subsamplingsAndThreads(benchmark::internal::Benchmark* b)
{
    b->Args({1, 1})->Args({1, 0})->Args({0, 1})->Args({0, 0})->Apply(BestOf);
}

}  // namespace

BENCHMARK(BM_CatalogAdd_Ours)->Apply(subsamplingsAndThreads);
BENCHMARK(BM_CatalogAdd_Pil)->Apply(subsamplingsAndThreads);
BENCHMARK(BM_Pil_Startup)->Apply(BestOf);

int main(int argc, char** argv)
{
    UseBenchEnvironment();
    if (const QByteArray n = qgetenv("BENCH_CATALOG_FILES"); !n.isEmpty())
        g_files = std::max(1, n.toInt());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();  // make the files before anything is timed
    g_form = StartBenchMainWindow();
    TBestReporter reporter;
    RunRounds(reporter);
    // Per file: the start-up is taken off the whole run before dividing.
    const double startup = g_bestMs.count("BM_Pil_Startup") ? g_bestMs["BM_Pil_Startup"] : 0.0;
    for (auto& [name, ms] : g_bestMs)
        if (name.rfind("BM_CatalogAdd_", 0) == 0)
            ms = (ms - (name.rfind("BM_CatalogAdd_Pil", 0) == 0 ? startup : 0.0)) / g_files;
    char heading[160];
    std::snprintf(heading, sizeof heading,
                  "%d photo-like JPEGs of %d x %d (cjpeg, quality 90) added to a catalog, milliseconds per file",
                  g_files, kWidth, kHeight);
    PrintTableHeading(heading);
    const int n = ParallelThreads();
    for (const char* sub : {"1", "0"})
        for (const int threads : {1, 0}) {
            const std::string args = std::string("/") + sub + "/" + std::to_string(threads);
            const std::string what = std::string(*sub == '1' ? "4:2:0" : "4:4:4") + " per file";
            PrintComparison(what.c_str(), "BM_CatalogAdd_Ours" + args,
                            threads == 1 ? "PIL draft + thumbnail" : "PIL draft + thumbnail, pool",
                            "BM_CatalogAdd_Pil" + args, threads == 1 ? Threads(1, 1) : Threads(n, n));
        }
    std::printf("python + PIL start-up %.1f ms for each whole run (taken off above)\n", startup);
    g_form.reset();
    benchmark::Shutdown();
    return 0;
}
