// TIFF decoding and encoding beside libtiff in the same process (and Pillow for the RGB
// encodes, in one python process per round): an A4 page at 300 dpi (a CCITT chart
// scaled up) decoded from G4 and coded as G4, and a 4000 × 3000 photo-like RGB picture
// decoded and coded uncompressed and PackBits. Both sides read the same file from the
// page cache into an image allocated the same way (TBitmap's allocation) and write to a
// plain file without a sync. Ours and the reference in turn, best of kBestOf.
#include "imaging/common/rgb_rows.h"
#include "imaging/io/io_params.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/parallel_for.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include "bench_common.h"
#include "bench_image.h"

#include <tiffio.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

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

// The page's rows inverted for libtiff: our rows hold white as 1, white-is-zero wants 0.
std::vector<uint8_t> whiteIsZeroRows(const TBitmap& page)
{
    const size_t bytes = size_t((page.Width() + 7) / 8);
    std::vector<uint8_t> rows(bytes * size_t(page.Height()));
    for (int y = 0; y < page.Height(); ++y) {
        const uint8_t* s = page.ScanLine(y);
        for (size_t i = 0; i < bytes; ++i)
            rows[size_t(y) * bytes + i] = uint8_t(~s[i]);
    }
    return rows;
}

void libtiffWriteG4(const TBitmap& page, const std::vector<uint8_t>& rows, const char* path)
{
    TIFF* t = TIFFOpen(path, "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(page.Width()));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(page.Height()));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(page.Height()));
    const size_t bytes = size_t((page.Width() + 7) / 8);
    for (int y = 0; y < page.Height(); ++y)
        TIFFWriteScanline(t, const_cast<uint8_t*>(rows.data()) + size_t(y) * bytes, uint32_t(y), 0);
    TIFFClose(t);
}

// Decodes into a new image allocated as ours is: whole strips straight into its rows
// when they are laid out alike, else row by row.
bool libtiffDecode(const char* path, QImage::Format format)
{
    TIFF* t = TIFFOpen(path, "r");
    if (!t)
        return false;
    uint32_t w = 0, h = 0, rowsPerStrip = 0;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    QImage image = TBitmap::AllocateImage(int(w), int(h), format);
    bool ok = !image.isNull();
    if (ok && image.bytesPerLine() == TIFFScanlineSize(t)) {
        const uint32_t strips = TIFFNumberOfStrips(t);
        for (uint32_t s = 0; ok && s < strips; ++s) {
            const uint32_t row = s * rowsPerStrip, rows = std::min(rowsPerStrip, h - row);
            ok = TIFFReadEncodedStrip(t, s, image.scanLine(int(row)), tmsize_t(rows) * image.bytesPerLine()) >= 0;
        }
    } else {
        for (uint32_t y = 0; ok && y < h; ++y)
            ok = TIFFReadScanline(t, image.scanLine(int(y)), y, 0) >= 0;
    }
    TIFFClose(t);
    return ok;
}

// Where an uncompressed file's pixels lie when its strips follow each other; -1 else.
int64_t contiguousPixelsAt(const char* path, int64_t bytes)
{
    TIFF* t = TIFFOpen(path, "r");
    if (!t)
        return -1;
    const uint32_t strips = TIFFNumberOfStrips(t);
    uint64_t* offsets = nullptr;
    uint64_t* counts = nullptr;
    int64_t at = -1;
    if (TIFFGetField(t, TIFFTAG_STRIPOFFSETS, &offsets) && TIFFGetField(t, TIFFTAG_STRIPBYTECOUNTS, &counts)) {
        int64_t total = 0;
        bool together = true;
        for (uint32_t s = 0; s < strips; ++s) {
            together = together && int64_t(offsets[s]) == int64_t(offsets[0]) + total;
            total += int64_t(counts[s]);
        }
        if (together && total == bytes)
            at = int64_t(offsets[0]);
    }
    TIFFClose(t);
    return at;
}

// The limit of an uncompressed decode: one read of the pixels into a fresh bitmap from
// the same allocator, then red and blue exchanged in place.
bool readAndSwap(const char* path, int64_t at)
{
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        return false;
    QImage image = TBitmap::AllocateImage(kWidth, kHeight, QImage::Format_BGR888);
    const int64_t bytes = int64_t(kWidth) * 3 * kHeight;
    bool ok = !image.isNull() && image.bytesPerLine() == kWidth * 3 &&
              ::pread(fd, image.bits(), size_t(bytes), at) == bytes;
    ::close(fd);
    for (int y = 0; ok && y < kHeight; ++y)
        SwapRedBlue(image.scanLine(y), image.scanLine(y), kWidth);
    return ok;
}

// rgb holds the picture's rows in red-green-blue order, as libtiff takes them.
bool libtiffWriteRgb(const std::vector<uint8_t>& rgb, const char* path, uint16_t compression)
{
    TIFF* t = TIFFOpen(path, "w");
    if (!t)
        return false;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(kWidth));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(kHeight));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    bool ok = true;
    for (uint32_t y = 0; ok && y < uint32_t(kHeight); ++y)
        ok = TIFFWriteScanline(t, const_cast<uint8_t*>(rgb.data()) + size_t(y) * kWidth * 3, y, 0) >= 0;
    TIFFClose(t);
    return ok;
}

bool oursDecode(const QString& path)
{
    TFileStream fs(path, fmOpenRead);
    TBitmap bmp;
    TIOParamsVals params;
    TProgressRec progress;
    ReadTIFFStream(fs, bmp, params, progress);
    return bmp.Width() > 0;
}

// compression as the parameters name it: 0 none, 4 G4, 8 PackBits.
bool oursEncode(TBitmap& bmp, const QString& path, int compression)
{
    TFileStream fs(path, fmCreate);
    TIOParamsVals params;
    if (compression == 4) {
        params.BitsPerSample = 1;
        params.SamplesPerPixel = 1;
    }
    params.TiffCompression = uint8_t(compression);
    TProgressRec progress;
    WriteTIFFStream(fs, false, bmp, progress, params);
    return true;
}

const char* kPil = R"PY(
import json, sys, time
from PIL import Image
im = Image.open(sys.argv[1]); im.load()
def once(f):
    t0 = time.perf_counter(); f(); return (time.perf_counter() - t0) * 1000
print(json.dumps({
    "PIL_encode_none": once(lambda: im.save(sys.argv[2], "TIFF")),
    "PIL_encode_packbits": once(lambda: im.save(sys.argv[2], "TIFF", compression="packbits")),
}))
)PY";

// Both sides in turn, best of each kept under "<key>_ours" and "<key>_ref".
void compare(const std::string& key, const std::function<bool()>& ours, const std::function<bool()>& ref)
{
    const auto [a, b] = BestAlternating(ours, ref);
    KeepBest(key + "_ours", a);
    KeepBest(key + "_ref", b);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The references decode and encode on one thread; so does ours.
    TScopedParallelThreads oneThread(1);
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)).toLocal8Bit(); };
    const QByteArray g4 = path("page_g4.tif"), g4ours = path("page_g4_ours.tif"), g4ref = path("page_g4_ref.tif");
    const QByteArray rgbNone = path("rgb.tif"), rgbPack = path("rgb_packbits.tif"), ppm = path("rgb.ppm");
    const QByteArray outOurs = path("out_ours.tif"), outRef = path("out_ref.tif"), outPil = path("out_pil.tif");

    TBitmap page = a4Page();
    const std::vector<uint8_t> pageRows = whiteIsZeroRows(page);
    libtiffWriteG4(page, pageRows, g4.constData());
    TBitmap photo = MakeBenchPhoto(kWidth, kHeight, 4000);
    photo.Image().save(QString::fromLocal8Bit(ppm), "PPM");
    std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* s = photo.ScanLine(y);
        uint8_t* d = rgb.data() + size_t(y) * kWidth * 3;
        for (int x = 0; x < kWidth; ++x) {
            d[3 * x] = s[3 * x + 2];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x];
        }
    }
    libtiffWriteRgb(rgb, rgbNone.constData(), COMPRESSION_NONE);
    libtiffWriteRgb(rgb, rgbPack.constData(), COMPRESSION_PACKBITS);
    TIFFSetWarningHandler(nullptr);

    const auto file = [](const QByteArray& b) { return QString::fromLocal8Bit(b); };
    compare(
        "dec_g4", [&] { return oursDecode(file(g4)); },
        [&] { return libtiffDecode(g4.constData(), QImage::Format_Mono); });
    compare(
        "dec_none", [&] { return oursDecode(file(rgbNone)); },
        [&] { return libtiffDecode(rgbNone.constData(), QImage::Format_BGR888); });
    if (const int64_t at = contiguousPixelsAt(rgbNone.constData(), int64_t(kWidth) * 3 * kHeight); at >= 0)
        compare(
            "dec_none_limit", [&] { return oursDecode(file(rgbNone)); },
            [&] { return readAndSwap(rgbNone.constData(), at); });
    compare(
        "dec_pack", [&] { return oursDecode(file(rgbPack)); },
        [&] { return libtiffDecode(rgbPack.constData(), QImage::Format_BGR888); });
    compare(
        "enc_g4", [&] { return oursEncode(page, file(g4ours), 4); },
        [&] {
            libtiffWriteG4(page, pageRows, g4ref.constData());
            return true;
        });
    compare(
        "enc_none", [&] { return oursEncode(photo, file(outOurs), 0); },
        [&] { return libtiffWriteRgb(rgb, outRef.constData(), COMPRESSION_NONE); });
    compare(
        "enc_pack", [&] { return oursEncode(photo, file(outOurs), 8); },
        [&] { return libtiffWriteRgb(rgb, outRef.constData(), COMPRESSION_PACKBITS); });
    // Pillow against ours in turn, round by round; ours kept apart so that each side of
    // every line has the same number of runs.
    for (int i = 0; i < kBestOf; ++i) {
        KeepBest("enc_none_ours_pil", BestRunMs(1, [&] { return oursEncode(photo, file(outOurs), 0); }));
        KeepBest("enc_pack_ours_pil", BestRunMs(1, [&] { return oursEncode(photo, file(outOurs), 8); }));
        RunPythonTimings(kPil, {file(ppm), file(outPil)}, false);
    }

    PrintTableHeading("TIFF: A4 300 dpi page (2480 x 3508, 1 bit) and 4000 x 3000 photo-like RGB");
    const std::string one = Threads(1, 1);
    PrintComparison("decode A4 G4", "dec_g4_ours", "libtiff", "dec_g4_ref", one);
    PrintComparison("decode RGB uncompressed", "dec_none_ours", "libtiff", "dec_none_ref", one);
    PrintComparison("decode RGB uncompressed", "dec_none_limit_ours", "one read + swap (limit)", "dec_none_limit_ref",
                    one);
    PrintComparison("decode RGB PackBits", "dec_pack_ours", "libtiff", "dec_pack_ref", one);
    PrintComparison("encode A4 G4", "enc_g4_ours", "libtiff", "enc_g4_ref", one);
    PrintComparison("encode RGB uncompressed", "enc_none_ours", "libtiff", "enc_none_ref", one);
    PrintComparison("encode RGB uncompressed", "enc_none_ours_pil", "Pillow", "PIL_encode_none", one);
    PrintComparison("encode RGB PackBits", "enc_pack_ours", "libtiff", "enc_pack_ref", one);
    PrintComparison("encode RGB PackBits", "enc_pack_ours_pil", "Pillow", "PIL_encode_packbits", one);
    {
        TFileStream fs(file(g4), fmOpenRead);
        TBitmap back;
        TIOParamsVals params;
        TProgressRec progress;
        ReadTIFFStream(fs, back, params, progress);
        bool same = back.Width() == page.Width() && back.Height() == page.Height();
        for (int y = 0; same && y < page.Height(); ++y)
            same = std::memcmp(back.ScanLine(y), page.ScanLine(y), size_t(page.Width() / 8)) == 0;
        std::printf("our decode of libtiff's G4 page equals the source: %s\n", same ? "yes" : "NO");
    }
    std::printf("G4 page: %lld bytes ours, %lld bytes libtiff; PackBits RGB: %lld bytes ours, %lld bytes libtiff\n",
                (long long)QFile(file(g4ours)).size(), (long long)QFile(file(g4ref)).size(),
                (long long)QFile(file(outOurs)).size(), (long long)QFile(file(rgbPack)).size());
    std::printf("goals: ours/ref <= 1 on every libtiff and Pillow line; <= 1.15 against the read + swap limit\n");
    return 0;
}
