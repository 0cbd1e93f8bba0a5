// Reading TIFFs, writing PBMs and bilevel patterns for the TIFF tests.
#include "tiff_support.h"

#include "imaging/io/tiff/tiff.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <cstring>
#include <random>

namespace tifftest {

int ReadTiff(const QString& path, TBitmap& bitmap, int index, TIOParamsVals* params)
{
    TFileStream fs(path, fmOpenRead);
    TIOParamsVals own;
    TIOParamsVals& p = params ? *params : own;
    p.TiffImageIndex = index;
    TProgressRec progress;
    return ReadTIFFStream(fs, bitmap, p, progress);
}

void WritePBM(const TBitmap& bitmap, const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("P4\n%1 %2\n").arg(bitmap.Width()).arg(bitmap.Height()).toLatin1());
    const int n = (bitmap.Width() + 7) / 8;
    for (int y = 0; y < bitmap.Height(); ++y) {
        QByteArray row(reinterpret_cast<const char*>(bitmap.ScanLine(y)), n);
        for (char& c : row)
            c = char(~c);
        f.write(row);
    }
}

TBitmap BilevelPattern(int w, int h, uint32_t seed)
{
    TBitmap b(w, h, pf1bit);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.ScanLine(y);
        int x = 0;
        bool white = rng() & 1;
        // Mostly short runs, now and then one across most of the row.
        while (x < w) {
            const uint32_t k = rng() % 16;
            int run = k < 10 ? int(rng() % 8) + 1 : k < 14 ? int(rng() % 200) + 1 : int(rng() % 3000) + 1;
            if (y % 7 == 3 && x == 0)
                run = w;  // whole white/black rows
            for (int i = x; i < std::min(w, x + run); ++i) {
                if (white)
                    p[i >> 3] |= uint8_t(0x80 >> (i & 7));
                else
                    p[i >> 3] &= uint8_t(~(0x80 >> (i & 7)));
            }
            x += run;
            white = !white;
        }
        // Rows now and then equal to the one above, as fax pages have them.
        if (y > 0 && y % 5 == 0)
            std::memcpy(p, b.ScanLine(y - 1), size_t((w + 7) / 8));
    }
    return b;
}

}  // namespace tifftest
