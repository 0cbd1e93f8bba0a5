// Nearest-neighbour and filtered stretches for the view's zoom.
#include "imaging/view/view_stretch.h"

#include "imaging/proc/resample.h"
#include "platform/graphics/bitmap.h"

#include <cstring>
#include <vector>

namespace {

// Source index for each destination index, centre sampling, in 64 bits.
std::vector<int> sampleMap(int srcPos, int srcLen, int dstLen)
{
    std::vector<int> map(size_t(dstLen > 0 ? dstLen : 0));
    for (int i = 0; i < dstLen; ++i) {
        const int64_t s = (int64_t(2) * i + 1) * srcLen / (int64_t(2) * dstLen);
        map[size_t(i)] = srcPos + int(s < srcLen ? s : srcLen - 1);
    }
    return map;
}

}  // namespace

void StretchNearest(const QImage& image, const QRect& src, int dw, int dh, QImage& out)
{
    if (dw <= 0 || dh <= 0 || src.width() <= 0 || src.height() <= 0 || image.isNull()) {
        out = QImage();
        return;
    }
    if (out.width() != dw || out.height() != dh || out.format() != QImage::Format_RGB32)
        out = QImage(dw, dh, QImage::Format_RGB32);
    if (out.isNull())
        return;

    const QImage* srcImg = &image;
    QImage converted;
    const QImage::Format f = image.format();
    if (f != QImage::Format_BGR888 && f != QImage::Format_Mono && f != QImage::Format_Indexed8 &&
        f != QImage::Format_RGB32 && f != QImage::Format_ARGB32) {
        converted = image.convertToFormat(QImage::Format_RGB32);
        srcImg = &converted;
    }
    const QImage::Format sf = srcImg->format();
    const std::vector<int> xs = sampleMap(src.x(), src.width(), dw);
    const std::vector<int> ys = sampleMap(src.y(), src.height(), dh);
    const QList<QRgb> table = srcImg->colorTable();
    QRgb lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = 0xFF000000u | (i < table.size() ? table[i] : 0u);

    // Byte offsets for the 24-bit case, computed once.
    std::vector<int> xoff;
    if (sf == QImage::Format_BGR888) {
        xoff.resize(xs.size());
        for (size_t i = 0; i < xs.size(); ++i)
            xoff[i] = xs[i] * 3;
    }

    int prevRow = -1;
    for (int y = 0; y < dh; ++y) {
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int sy = ys[size_t(y)];
        if (sy == prevRow) {
            // Enlarging repeats rows: copy the one just made.
            std::memcpy(o, out.constScanLine(y - 1), size_t(dw) * 4);
            continue;
        }
        prevRow = sy;
        const uchar* row = srcImg->constScanLine(sy);
        switch (sf) {
        case QImage::Format_BGR888: {
            // One 32-bit load holds blue, green and red in its low bytes, as RGB32 has
            // them; pixels whose fourth byte lies past the image are read byte by byte.
            const int64_t room = srcImg->sizeInBytes() - (row - srcImg->constBits());
            int safe = dw;
            while (safe > 0 && xoff[size_t(safe - 1)] + 4 > room)
                --safe;
            for (int x = 0; x < safe; ++x) {
                uint32_t v;
                std::memcpy(&v, row + xoff[size_t(x)], 4);
                o[x] = 0xFF000000u | v;
            }
            for (int x = safe; x < dw; ++x) {
                const uchar* p = row + xoff[size_t(x)];
                o[x] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            }
            break;
        }
        case QImage::Format_Mono:
            for (int x = 0; x < dw; ++x) {
                const int sx = xs[size_t(x)];
                o[x] = lut[(row[sx >> 3] >> (7 - (sx & 7))) & 1];
            }
            break;
        case QImage::Format_Indexed8:
            for (int x = 0; x < dw; ++x)
                o[x] = lut[row[xs[size_t(x)]]];
            break;
        default: {
            const auto* r = reinterpret_cast<const QRgb*>(row);
            for (int x = 0; x < dw; ++x)
                o[x] = 0xFF000000u | r[xs[size_t(x)]];
            break;
        }
        }
    }
}

QImage ZoomResampleImage(const QImage& part, int dw, int dh, TResampleFilter filter)
{
    TBitmap source;
    source.SetImage(part);
    return ZoomResample(source, dw, dh, filter).Image();
}
