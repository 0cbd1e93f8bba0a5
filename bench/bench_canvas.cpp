// Canvas primitives on a 4000 × 3000 24-bit bitmap beside Qt's raster painter doing the
// nearest equivalent on a QImage of the same size (antialiasing off), in the same run;
// both targets are allocated once and touched before timing.
#include "platform/core/parallel_for.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include "bench_common.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int W = 4000, H = 3000;

TBitmap& target()
{
    static TBitmap b(W, H, pf24bit);
    return b;
}

QImage& reference()
{
    static QImage img(W, H, QImage::Format_RGB888);
    return img;
}

std::vector<TPoint> star() { return {{2000, 0}, {3200, 2900}, {0, 1000}, {4000, 1000}, {800, 2900}}; }

void CanvasFillRect(benchmark::State& s)
{
    TCanvas& c = *target().Canvas();
    c.Brush.Color = clRed;
    for (auto _ : s)
        c.FillRect(TRect(0, 0, W, H));
}

void QtFillRect(benchmark::State& s)
{
    for (auto _ : s) {
        QPainter p(&reference());
        p.fillRect(QRect(0, 0, W, H), Qt::red);
    }
}

void CanvasEllipse(benchmark::State& s)
{
    TCanvas& c = *target().Canvas();
    c.Brush.Color = clYellow;
    for (auto _ : s)
        c.Ellipse(0, 0, W, H);
}

void QtEllipse(benchmark::State& s)
{
    for (auto _ : s) {
        QPainter p(&reference());
        p.setBrush(Qt::yellow);
        p.drawEllipse(QRect(0, 0, W - 1, H - 1));
    }
}

void CanvasPolygon(benchmark::State& s)
{
    TCanvas& c = *target().Canvas();
    c.Brush.Color = clAqua;
    const auto pts = star();
    for (auto _ : s)
        c.Polygon(pts);
}

void QtPolygon(benchmark::State& s)
{
    QPolygon poly;
    for (const TPoint& p : star())
        poly << QPoint(p.X, p.Y);
    for (auto _ : s) {
        QPainter p(&reference());
        p.setBrush(Qt::cyan);
        p.drawPolygon(poly, Qt::OddEvenFill);
    }
}

void CanvasXorRectangleOutline(benchmark::State& s)
{
    TCanvas& c = *target().Canvas();
    c.Pen.Mode = pmXor;
    c.Pen.Color = clWhite;
    c.Brush.Style = bsClear;
    for (auto _ : s)
        c.Rectangle(10, 10, W - 10, H - 10);
    c.Pen.Mode = pmCopy;
    c.Brush.Style = bsSolid;
}

void QtXorRectangleOutline(benchmark::State& s)
{
    for (auto _ : s) {
        QPainter p(&reference());
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(Qt::white);
        p.drawRect(QRect(10, 10, W - 21, H - 21));
    }
}

void CanvasFloodFill(benchmark::State& s)
{
    // The whole bitmap is one area; each round repaints it in the other colour.
    TCanvas& c = *target().Canvas();
    c.Brush.Color = clWhite;
    c.FillRect(TRect(0, 0, W, H));
    TColor current = clWhite;
    for (auto _ : s) {
        const TColor next = current == clRed ? clBlue : clRed;
        c.Brush.Color = next;
        c.FloodFill(W / 2, H / 2, current, fsSurface);
        current = next;
    }
}

void CanvasStretchDraw(benchmark::State& s)
{
    static TBitmap small(W / 3, H / 3, pf24bit);
    TCanvas& c = *target().Canvas();
    for (auto _ : s)
        c.StretchDraw(TRect(0, 0, W, H), small);
}

// What a 3x enlargement cannot beat: each source pixel copied into the three pixels it
// covers, and every row the enlargement repeats copied whole from the one above it.
void LimitStretchDraw(benchmark::State& s)
{
    static TBitmap small(W / 3, H / 3, pf24bit);
    TBitmap& t = target();
    for (auto _ : s) {
        for (int y = 0; y < H; ++y) {
            uint8_t* d = t.ScanLine(y);
            if (y % 3 != 0) {
                std::memcpy(d, t.ScanLine(y - 1), size_t(W) * 3);
                continue;
            }
            const uint8_t* p = small.ScanLine(std::min(y / 3, H / 3 - 1));
            for (int x = 0; x < W; ++x)
                std::memcpy(d + 3 * x, p + 3 * std::min(x / 3, W / 3 - 1), 3);
        }
        benchmark::DoNotOptimize(t.ScanLine(0));
    }
}

void QtStretchDraw(benchmark::State& s)
{
    static QImage small(W / 3, H / 3, QImage::Format_RGB888);
    small.fill(Qt::green);
    for (auto _ : s) {
        QPainter p(&reference());
        p.drawImage(QRect(0, 0, W, H), small);
    }
}

}  // namespace

BENCHMARK(CanvasFillRect)->Apply(BestOf);
BENCHMARK(QtFillRect)->Apply(BestOf);
BENCHMARK(CanvasEllipse)->Apply(BestOf);
BENCHMARK(QtEllipse)->Apply(BestOf);
BENCHMARK(CanvasPolygon)->Apply(BestOf);
BENCHMARK(QtPolygon)->Apply(BestOf);
BENCHMARK(CanvasXorRectangleOutline)->Apply(BestOf);
BENCHMARK(QtXorRectangleOutline)->Apply(BestOf);
BENCHMARK(CanvasFloodFill)->Apply(BestOf);
BENCHMARK(CanvasStretchDraw)->Apply(BestOf);
BENCHMARK(QtStretchDraw)->Apply(BestOf);
BENCHMARK(LimitStretchDraw)->Apply(BestOf);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TBestReporter reporter;
    // The references here work on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    RunRounds(reporter);
    PrintTableHeading("Canvas primitives on 4000 x 3000 beside QPainter");
    for (const char* op : {"FillRect", "Ellipse", "Polygon", "XorRectangleOutline", "StretchDraw"})
        PrintComparison(op, std::string("Canvas") + op, "QPainter", std::string("Qt") + op, Threads(1, 1));
    PrintComparison("StretchDraw", "CanvasStretchDraw", "plain 3x copy (the limit)", "LimitStretchDraw", Threads(1, 1));
    const auto flood = g_bestMs.find("CanvasFloodFill");
    if (flood != g_bestMs.end())
        std::printf("%-26s ours %9.1f ms   (no reference)   threads 1/-%s\n", "FloodFill", flood->second,
                    LoadNote(LoadOf({"CanvasFloodFill"})).c_str());
    std::printf("goals: StretchDraw ours/QPainter <= 0.7 and ours/limit <= 2\n");
    benchmark::Shutdown();
    return 0;
}
