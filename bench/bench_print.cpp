// A poster print of a 6000 × 4000 photograph over 2 × 2 landscape A4 pages at 600 dpi
// into a PDF, beside ImageMagick cutting the same image into four quarters for a 4-page
// PDF (both lossless, deflate) in the same run. ImageMagick reads a binary PPM, the
// quickest format it decodes. Debian's ImageMagick policy forbids writing PDF, so it
// writes the four pages as a deflated TIFF and libtiff's tiff2pdf wraps them into the
// PDF; the start-up of both programs is timed on its own and taken off.
#include "app/commands/command_record.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/print/print_layout.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/parallel_for.h"
#include "platform/print/printer.h"

#include "bench_app.h"
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
    if (QStandardPaths::findExecutable(QStringLiteral("tiff2pdf")).isEmpty()) {
        state.SkipWithError("tiff2pdf is not installed");
        return;
    }
    ReferenceBench(state, QStringLiteral("sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("convert '%1' -depth 8 -crop 50%x50% +repage -units PixelsPerInch -density 600 "
                                   "-compress Zip '%2' && tiff2pdf -z -o '%3' '%2'")
                        .arg(path("photo.ppm"), path("quarters.tif"), path("convert.pdf"))});
}

void BM_Convert_Startup(benchmark::State& state)
{
    ReferenceBench(state, QStringLiteral("sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("convert 'xc:white[1x1]' -depth 8 '%1' && tiff2pdf -z -o '%2' '%1'")
                        .arg(path("tiny.tif"), path("tiny.pdf"))});
}

}  // namespace

BENCHMARK(BM_Poster_Ours)->Apply(BestOf);
BENCHMARK(BM_Poster_Convert)->Apply(BestOf);
BENCHMARK(BM_Convert_Startup)->Apply(BestOf);

int main(int argc, char** argv)
{
    UseBenchEnvironment();
    KeepFreedMemory();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    g_form = StartBenchMainWindow();
    {
        Tchild* c = g_form->NewImageWindow();
        *c->imageKit->Bitmap() = MakeBenchImage(kWidth, kHeight, 1);
        c->setWindowTitle(QStringLiteral("photo"));
        g_form->ActivateChild(c);
        // The reference reads the same pixels.
        c->imageKit->Bitmap()->Image().save(path("photo.ppm"), "PPM");
    }
    TBestReporter reporter;
    // The references here work on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    RunRounds(reporter);
    PrintTableHeading("Poster print of 6000 x 4000 over 4 A4 pages at 600 dpi into PDF, milliseconds");
    PrintComparison("poster, 4 pages", "BM_Poster_Ours", "convert + tiff2pdf (4 pages)", "BM_Poster_Convert",
                    Threads(1, 1), "BM_Convert_Startup");
    for (QWidget* w : g_form->MDIChildren())
        if (auto* c = qobject_cast<Tchild*>(w))
            c->SetModified(false);
    g_form.reset();
    benchmark::Shutdown();
    return 0;
}
