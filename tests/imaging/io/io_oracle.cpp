// Test patterns and the oracle tools' readings of image files.
#include "io_oracle.h"

#include "common/test_support.h"
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <cstring>

namespace iotest {

QImage Pattern(int w, int h, int colors, uint32_t seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    std::vector<QRgb> pal;
    if (colors <= 2) {
        pal = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else {
        uint32_t s = seed * 2654435761u + 12345u;
        for (int i = 0; i < colors; ++i) {
            s = s * 1103515245u + 12345u;
            const int r = int((s >> 8) & 255), g = int((s >> 16) & 255);
            s = s * 1103515245u + 12345u;
            const int b = int((s >> 8) & 255);
            QRgb c = qRgb(r, g, b);
            // keep the colours distinct
            if (std::find(pal.begin(), pal.end(), c) != pal.end())
                c = qRgb(i & 255, (i * 7) & 255, (i >> 8) & 255);
            pal.push_back(c);
        }
    }
    uint32_t s = seed;
    for (int y = 0; y < h; ++y) {
        uchar* line = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            // runs of equal pixels now and then, so RLE coders see both kinds of data
            if (x == 0 || (s >> 20) % 3 != 0)
                s = s * 1664525u + 1013904223u;
            const QRgb c = pal[((s >> 16) % pal.size())];
            line[3 * x] = uchar(qRed(c));
            line[3 * x + 1] = uchar(qGreen(c));
            line[3 * x + 2] = uchar(qBlue(c));
        }
    }
    // every colour at least once when there is room
    for (int i = 0; i < int(pal.size()) && i < w * h; ++i) {
        uchar* p = img.scanLine(i / w) + 3 * (i % w);
        p[0] = uchar(qRed(pal[i]));
        p[1] = uchar(qGreen(pal[i]));
        p[2] = uchar(qBlue(pal[i]));
    }
    return img;
}

void WritePPM(const QImage& rgb, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1());
    for (int y = 0; y < rgb.height(); ++y)
        f.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), 3 * rgb.width());
}

QByteArray MagickRGB(const QString& path, int* width, int* height)
{
    QByteArray out;
    if (RunTool(QStringLiteral("convert"),
                {path + QStringLiteral("[0]"), QStringLiteral("-alpha"), QStringLiteral("off"),
                 QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")},
                &out) != 0)
        return {};
    QImage img;
    if (!img.loadFromData(out, "PPM"))
        return {};
    if (width)
        *width = img.width();
    if (height)
        *height = img.height();
    return ImageRGB(img);
}

QByteArray PilRGB(const QString& path, int* width, int* height)
{
    QByteArray out;
    if (Python(QStringLiteral("import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]).convert('RGB')\n"
                              "sys.stdout.write('%d %d\\n' % im.size)\nsys.stdout.flush()\n"
                              "sys.stdout.buffer.write(im.tobytes())\n"),
               {path}, &out) != 0)
        return {};
    const qsizetype nl = out.indexOf('\n');
    if (nl < 0)
        return {};
    const QList<QByteArray> wh = out.left(nl).split(' ');
    if (wh.size() != 2)
        return {};
    if (width)
        *width = wh[0].toInt();
    if (height)
        *height = wh[1].toInt();
    return out.mid(nl + 1);
}

QByteArray ImageRGB(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray out;
    out.reserve(qsizetype(rgb.width()) * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        out.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), 3 * rgb.width());
    return out;
}

QByteArray BitmapRGB(const TBitmap& bitmap) { return ImageRGB(bitmap.Image()); }

int Python(const QString& code, const QStringList& args, QByteArray* out, QByteArray* err)
{
    QStringList a{QStringLiteral("-c"), code};
    a += args;
    return RunTool(QStringLiteral("/usr/bin/python3"), a, out, err);
}

qsizetype FirstDifference(const QByteArray& a, const QByteArray& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return i;
    return a.size() == b.size() ? -1 : n;
}

}  // namespace iotest
