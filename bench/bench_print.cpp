// A poster print of a 6000 × 4000 photograph over 2 × 2 landscape A4 pages at 600 dpi
// into a PDF, beside ImageMagick cutting the same image into four quarters and writing
// them as a 4-page PDF (both lossless, deflate) in the same run. ImageMagick reads a
// binary PPM, the quickest format it decodes; its start-up is timed on its own.
#include "app/commands/command_record.h"
#include "app/forms/child_window.h"
#include "app/forms/main_window.h"
#include "app/print/print_layout.h"
#include "imaging/kit/image_kit.h"
#include "platform/print/printer.h"

#include "bench_common.h"
#include "bench_image.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

std::unique_ptr<Tform1> g_form;
QTemporaryDir* g_dir = nullptr;

QString path(const char* name) { return g_dir->filePath(QLatin1String(name)); }

void BM_Poster_Ours(benchmark::State& state)
{
    // 297 × 210 mm at 600 dpi: 7016 × 4961 pixels a page; 12000 × 8000 takes 2 × 2.
    Printer().SetPdfOutput(path("ours"), 600, 297, 210);
    tautomatitem& a = g_form->automatitem;
    const int args[] = {0, 0, 12000, 8000, pmPoster, 1};
    for (int i = 0; i < 6; ++i)
        a.SetArg(i + 1, args[i]);
    a.SetArgByte(0);
    for (auto _ : state) {
        Printer().SetPdfOutput(path("ours"), 600, 297, 210);
        g_form->runcode(cmdPrint);
        if (Printer().JobCount() != 1 || !QFile::exists(Printer().PdfFileName(1)))
            state.SkipWithError("no PDF written");
    }
}

void BM_Poster_Convert(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("convert"),
                   {path("photo.ppm"), QStringLiteral("-crop"), QStringLiteral("50%x50%"), QStringLiteral("+repage"),
                    QStringLiteral("-density"), QStringLiteral("600"), QStringLiteral("-compress"),
                    QStringLiteral("Zip"), path("convert.pdf")});
}

void BM_Convert_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("convert"), {QStringLiteral("xc:white[1x1]"), path("tiny.ppm")});
}

}  // namespace

BENCHMARK(BM_Poster_Ours)->Apply(BestOf);
BENCHMARK(BM_Poster_Convert)->Apply(BestOf);
BENCHMARK(BM_Convert_Startup)->Apply(BestOf);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("KANDRIVEL_HOME"))
        qputenv("KANDRIVEL_HOME", QDir::tempPath().toUtf8() + "/kandrivel_bench_home");
    KeepFreedMemory();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    g_form = std::make_unique<Tform1>();
    g_form->show();
    g_form->FormActivate();
    {
        Tchild* c = g_form->newwindow();
        *c->ImageKit1->Bitmap() = MakeBenchImage(kWidth, kHeight, 1);
        c->setWindowTitle(QStringLiteral("photo"));
        g_form->ActivateChild(c);
        // The reference reads the same pixels.
        c->ImageKit1->Bitmap()->Image().save(path("photo.ppm"), "PPM");
    }
    TBestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTableHeading("Poster print of 6000 x 4000 over 4 A4 pages at 600 dpi into PDF, milliseconds");
    PrintComparison("poster, 4 pages", "BM_Poster_Ours", "convert -crop 50%x50% (4 pages)", "BM_Poster_Convert",
                    "BM_Convert_Startup");
    for (QWidget* w : g_form->MDIChildren())
        if (auto* c = qobject_cast<Tchild*>(w))
            c->Modified = false;
    g_form.reset();
    benchmark::Shutdown();
    return 0;
}
