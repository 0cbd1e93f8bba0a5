// TIFF decoding and encoding beside libtiff in the same process: an A4 page at 300 dpi
// (a CCITT chart scaled up) decoded from G4 and coded as G4, and a 4000 × 3000
// uncompressed RGB file decoded. Both sides read the same file from the page cache
// into a freshly allocated image and write to a plain file without a sync. Best of N.
#include "imaging/io/io_params.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <tiffio.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kRuns = 7;

double best(const std::function<void()>& f)
{
    double b = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        b = std::min(b, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return b;
}

// The A4 page: the chart scaled by nearest neighbour to 2480 × 3508 (1 = white).
TBitmap a4Page()
{
    TBitmap page(2480, 3508, pf1bit);
    QImage chart;
    QProcess p;
    p.start(QStringLiteral("jbgtopbm"), {QStringLiteral("/usr/share/jbigkit-testdata/ccitt1.jbg")});
    p.waitForFinished(-1);
    if (!chart.loadFromData(p.readAllStandardOutput(), "PBM")) {
        std::fprintf(stderr, "jbgtopbm or the CCITT charts are missing; using a generated page\n");
        chart = QImage(1728, 2376, QImage::Format_Mono);
        chart.fill(1);
        std::mt19937 rng(1);
        for (int i = 0; i < 4000; ++i) {
            const int x = int(rng() % 1700), y = int(rng() % 2370), w = int(rng() % 30), h = int(rng() % 6);
            for (int yy = y; yy < y + h; ++yy)
                for (int xx = x; xx < x + w; ++xx)
                    chart.setPixel(xx, yy, 0);
        }
    }
    chart = chart.convertToFormat(QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 3508; ++y) {
        const int sy = y * chart.height() / 3508;
        uint8_t* d = page.ScanLine(y);
        std::memset(d, 0, size_t(page.BytesPerLine()));
        for (int x = 0; x < 2480; ++x) {
            const int sx = x * chart.width() / 2480;
            if (chart.pixelIndex(sx, sy))
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
    }
    return page;
}

void libtiffWriteG4(const TBitmap& page, const char* path)
{
    TIFF* t = TIFFOpen(path, "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(page.Width()));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(page.Height()));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(page.Height()));
    std::vector<uint8_t> row(size_t((page.Width() + 7) / 8));
    for (int y = 0; y < page.Height(); ++y) {
        // Our rows hold white as 1; white-is-zero wants it as 0.
        const uint8_t* s = page.ScanLine(y);
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(~s[i]);
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
    }
    TIFFClose(t);
}

// Decodes every strip into one new image buffer.
void libtiffDecode(const char* path)
{
    TIFF* t = TIFFOpen(path, "r");
    const tmsize_t stripSize = TIFFStripSize(t);
    const uint32_t strips = TIFFNumberOfStrips(t);
    std::vector<uint8_t> image(size_t(stripSize) * strips);
    for (uint32_t s = 0; s < strips; ++s)
        TIFFReadEncodedStrip(t, s, image.data() + size_t(stripSize) * s, stripSize);
    TIFFClose(t);
}

void oursDecode(const QString& path)
{
    TFileStream fs(path, fmOpenRead);
    TBitmap bmp;
    TIOParamsVals params;
    TProgressRec progress;
    ReadTIFFStream(fs, bmp, params, progress);
}

void line(const char* what, double ours, double ref, double goal)
{
    std::printf("  %-34s ours %8.2f ms  libtiff %8.2f ms  ratio %5.2f (goal <= %.1f)\n", what, ours * 1e3, ref * 1e3,
                ours / ref, goal);
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QByteArray g4 = dir.filePath(QStringLiteral("page_g4.tif")).toLocal8Bit();
    const QByteArray g4ours = dir.filePath(QStringLiteral("page_g4_ours.tif")).toLocal8Bit();
    const QByteArray rgb = dir.filePath(QStringLiteral("rgb.tif")).toLocal8Bit();

    TBitmap page = a4Page();
    libtiffWriteG4(page, g4.constData());

    // 4000 × 3000 RGB, uncompressed, in libtiff's default strips.
    {
        TIFF* t = TIFFOpen(rgb.constData(), "w");
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 4000u);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, 3000u);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        std::vector<uint8_t> row(12000);
        std::mt19937 rng(4000);
        for (uint32_t y = 0; y < 3000; ++y) {
            for (int x = 0; x < 12000; ++x)
                row[size_t(x)] = uint8_t((x * 7 + int(y) * 3) ^ (rng() & 15));
            TIFFWriteScanline(t, row.data(), y, 0);
        }
        TIFFClose(t);
    }
    TIFFSetWarningHandler(nullptr);

    std::printf("\nTIFF, best of %d runs each\n", kRuns);
    const double g4Ours = best([&] { oursDecode(QString::fromLocal8Bit(g4)); });
    const double g4Ref = best([&] { libtiffDecode(g4.constData()); });
    line("decode A4 300 dpi G4 (2480x3508)", g4Ours, g4Ref, 1.5);
    {
        TFileStream fs(QString::fromLocal8Bit(g4), fmOpenRead);
        TBitmap back;
        TIOParamsVals params;
        TProgressRec progress;
        ReadTIFFStream(fs, back, params, progress);
        bool same = back.Width() == page.Width() && back.Height() == page.Height();
        for (int y = 0; same && y < page.Height(); ++y)
            same = std::memcmp(back.ScanLine(y), page.ScanLine(y), size_t(page.Width() / 8)) == 0;
        std::printf("  (our decode of libtiff's page equals the source: %s)\n", same ? "yes" : "NO");
    }

    const double rgbOurs = best([&] { oursDecode(QString::fromLocal8Bit(rgb)); });
    const double rgbRef = best([&] { libtiffDecode(rgb.constData()); });
    line("decode 4000x3000 RGB uncompressed", rgbOurs, rgbRef, 1.1);

    const double encOurs = best([&] {
        TFileStream fs(QString::fromLocal8Bit(g4ours), fmCreate);
        TIOParamsVals params;
        params.BitsPerSample = 1;
        params.SamplesPerPixel = 1;
        params.TiffCompression = 4;
        TProgressRec progress;
        WriteTIFFStream(fs, false, page, progress, params);
    });
    const double encRef = best([&] { libtiffWriteG4(page, g4.constData()); });
    line("encode A4 300 dpi G4", encOurs, encRef, 1.5);
    std::printf("  G4 page: %lld bytes ours, %lld bytes libtiff\n", (long long)QFile(QString::fromLocal8Bit(g4ours)).size(),
                (long long)QFile(QString::fromLocal8Bit(g4)).size());
    return 0;
}
