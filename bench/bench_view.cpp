// Repainting a 1920 × 1080 client area that shows a 6000 × 4000 image, plain path, at
// 33 %, 100 % and 400 %; beside it the same area drawn with a plain QPainter drawImage of
// the source rectangle (no smoothing), measured in the same run.
#include "imaging/view/image_kit_view.h"
#include "platform/core/parallel_for.h"
#include "platform/graphics/bitmap.h"

#include "bench_common.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr int kClientW = 1920, kClientH = 1080;
constexpr int kImageW = 6000, kImageH = 4000;

TImageKitView& view()
{
    static std::unique_ptr<TImageKitView> v = [] {
        auto p = std::make_unique<TImageKitView>();
        p->SetBorderStyle(bsNone);
        p->SetBounds(0, 0, kClientW, kClientH);
        p->Bitmap()->SetSize(kImageW, kImageH);
        QImage& img = p->Bitmap()->Image();
        for (int y = 0; y < kImageH; ++y) {
            uchar* row = img.scanLine(y);
            for (int x = 0; x < kImageW * 3; ++x)
                row[x] = uchar((x * 7 + y * 13) >> 2);
        }
        p->Update();
        return p;
    }();
    return *v;
}

void setZoom(int zoom)
{
    TImageKitView& v = view();
    v.SetZoom(zoom);
    v.SetViewXY(v.ZoomedWidth() / 3, v.ZoomedHeight() / 3);
}

void BM_ViewPaint(benchmark::State& state)
{
    setZoom(int(state.range(0)));
    QImage target(kClientW, kClientH, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        view().PaintTo(p);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

// Reference: QPainter stretching the same source rectangle onto the same target.
void BM_QPainterDrawImage(benchmark::State& state)
{
    setZoom(int(state.range(0)));
    TImageKitView& v = view();
    const QImage& img = std::as_const(*v.Bitmap()).Image();
    const double sx = double(kImageW) / v.ZoomedWidth(), sy = double(kImageH) / v.ZoomedHeight();
    const QRectF src(sx * v.ViewX(), sy * v.ViewY(), sx * v.DrawnWidth(), sy * v.DrawnHeight());
    const QRectF dst(0, 0, v.DrawnWidth(), v.DrawnHeight());
    QImage target(kClientW, kClientH, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(dst, img, src);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

}  // namespace

BENCHMARK(BM_ViewPaint)->Arg(33)->Arg(100)->Arg(400)->Apply(BestOf);
BENCHMARK(BM_QPainterDrawImage)->Arg(33)->Arg(100)->Arg(400)->Apply(BestOf);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("View repaint of %d x %d showing %d x %d (goal < 8 ms per paint, column Time);\nreference: "
                "QPainter::drawImage of the same source rectangle (it may use several threads)\n",
                kClientW, kClientH, kImageW, kImageH);
    TBestReporter reporter;
    // Ours on one thread; the painter runs as it chooses (printed as one thread).
    TScopedParallelThreads oneThread(1);
    RunRounds(reporter);
    PrintTableHeading("View repaint beside QPainter::drawImage");
    for (const char* zoom : {"33", "100", "400"})
        PrintComparison((std::string("paint at ") + zoom + " %").c_str(), std::string("BM_ViewPaint/") + zoom,
                        "QPainter drawImage", std::string("BM_QPainterDrawImage/") + zoom, Threads(1, 1));
    benchmark::Shutdown();
    return 0;
}
