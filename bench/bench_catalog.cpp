// Adding photographs of 12 MP (JPEG, written here by our encoder) to a catalog window,
// in milliseconds per file, beside Python PIL's draft + thumbnail on the same files in
// the same run (one python process over all files; its start-up timed on its own and
// taken off). Ours goes through the catalog window's own add path.
#include "app/forms/catalog_window.h"
#include "app/forms/main_window.h"

#include "bench_app.h"
#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

int g_files = 100;

// Draft to twice the thumbnail (the JPEG decoder's DCT scaling), then a triangle
// (bilinear) thumbnail like ours.
constexpr char kPil[] = R"(import sys
from PIL import Image
for name in sys.argv[1:]:
    im = Image.open(name)
    im.draft('RGB', (200, 200))
    im.thumbnail((100, 100), Image.BILINEAR)
)";

struct Fixture {
    QTemporaryDir dir;
    QStringList files;
    QString script;
    Fixture()
    {
        files = WriteBenchPhotos(dir.path(), g_files, kWidth, kHeight);
        script = dir.filePath(QStringLiteral("thumbs.py"));
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        f.write(kPil);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::unique_ptr<Tform1> g_form;

void BM_CatalogAdd_Ours(benchmark::State& state)
{
    Fixture& f = fixture();
    Tkataform* k = CreateCatalogWindow(*g_form);
    for (auto _ : state) {
        k->Items.clear();
        k->AddFiles(f.files);
        if (k->Count() != g_files)
            state.SkipWithError("not every file was added");
    }
    k->Modified = false;
    k->close();
}

void BM_CatalogAdd_Pil(benchmark::State& state)
{
    Fixture& f = fixture();
    ReferenceBench(state, QStringLiteral("/usr/bin/python3"), QStringList{f.script} + f.files);
}

void BM_Pil_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QStringLiteral("from PIL import Image")});
}

}  // namespace

BENCHMARK(BM_CatalogAdd_Ours)->Apply(BestOf);
BENCHMARK(BM_CatalogAdd_Pil)->Apply(BestOf);
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
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Per file: the start-up is taken off the whole run before dividing.
    if (auto s = g_bestMs.find("BM_Pil_Startup"), p = g_bestMs.find("BM_CatalogAdd_Pil");
        s != g_bestMs.end() && p != g_bestMs.end()) {
        p->second -= s->second;
        s->second /= g_files;
    }
    for (const char* name : {"BM_CatalogAdd_Ours", "BM_CatalogAdd_Pil"})
        if (auto it = g_bestMs.find(name); it != g_bestMs.end())
            it->second /= g_files;
    char heading[160];
    std::snprintf(heading, sizeof heading,
                  "%d JPEGs of %d x %d (quality 90) added to a catalog, milliseconds per file", g_files, kWidth,
                  kHeight);
    PrintTableHeading(heading);
    PrintComparison("catalog add per file", "BM_CatalogAdd_Ours", "PIL draft + thumbnail", "BM_CatalogAdd_Pil");
    if (auto s = g_bestMs.find("BM_Pil_Startup"); s != g_bestMs.end())
        std::printf("python + PIL start-up %.1f ms for the whole run (taken off above)\n", s->second * g_files);
    g_form.reset();
    benchmark::Shutdown();
    return 0;
}
