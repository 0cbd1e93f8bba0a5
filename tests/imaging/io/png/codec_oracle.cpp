// Oracle helpers of the codec tests: Python, pixel comparisons and photo-like patterns.
#include "codec_oracle.h"

#include "common/test_support.h"
#include "platform/graphics/bitmap.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace codectest {

int Python(const QString& code, const QStringList& args, QByteArray* out, QByteArray* err)
{
    QStringList all{QStringLiteral("-c"), code};
    all += args;
    return RunTool(QStringLiteral("/usr/bin/python3"), all, out, err);
}

QByteArray BitmapRGB(const TBitmap& bitmap)
{
    QByteArray out;
    const int w = bitmap.Width(), h = bitmap.Height();
    out.resize(qsizetype(w) * h * 3);
    char* d = out.data();
    for (int y = 0; y < h; ++y) {
        const uint8_t* line = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (bitmap.PixelFormat() == pf1bit) {
                const char v = (line[x >> 3] & (0x80 >> (x & 7))) ? char(255) : char(0);
                *d++ = v;
                *d++ = v;
                *d++ = v;
            } else {
                *d++ = char(line[3 * x + 2]);
                *d++ = char(line[3 * x + 1]);
                *d++ = char(line[3 * x]);
            }
        }
    }
    return out;
}

int MaxChannelDiff(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return -1;
    int worst = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i]))));
    return worst;
}

static uint32_t nextRandom(uint32_t& s)
{
    s = s * 1664525u + 1013904223u;
    return s >> 8;
}

QImage PhotoLike(int w, int h, uint32_t seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* line = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const int noise = int(nextRandom(seed) % 17) - 8;
            const int r = int(128 + 100 * std::sin(6.0 * fx + 2.0 * fy)) + noise;
            const int g = int(120 + 90 * std::cos(4.0 * fy - 3.0 * fx)) + noise;
            const int b = int(40 + 180 * fx * fy) + noise / 2;
            line[3 * x] = uchar(std::clamp(r, 0, 255));
            line[3 * x + 1] = uchar(std::clamp(g, 0, 255));
            line[3 * x + 2] = uchar(std::clamp(b, 0, 255));
        }
    }
    return img;
}

QImage FewColors(int w, int h, int colors, uint32_t seed)
{
    QImage img(w, h, QImage::Format_RGB888);
    std::vector<QRgb> table;
    for (int i = 0; i < colors; ++i)
        table.push_back(qRgb((i * 97 + 13) & 255, (i * 57 + 200) & 255, (i * 31 + 90) & 255));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int i = (y * w + x) < colors ? (y * w + x) : int(nextRandom(seed) % uint32_t(colors));
            img.setPixel(x, y, table[size_t(i)]);
        }
    return img;
}

void ToBitmap(const QImage& image, TBitmap& bitmap) { bitmap.SetImage(image.convertToFormat(QImage::Format_BGR888)); }

void WritePPM(const QImage& image, const QString& path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray data = QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1();
    for (int y = 0; y < rgb.height(); ++y)
        data.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), qsizetype(rgb.width()) * 3);
    WriteBytes(path, data);
}

// The first folder that exists, else the first named: a test that requires it then
// skips naming the package's folder.
static QString firstExisting(const QStringList& dirs)
{
    for (const QString& d : dirs)
        if (QDir(d).exists())
            return d;
    return dirs.first();
}

QString GoImageTestdata()
{
    return firstExisting({QStringLiteral("/usr/share/go-1.19/src/image/testdata"),
                          QStringLiteral("/usr/lib/go-1.19/src/image/testdata")});
}

QString GoPngTestdata()
{
    return firstExisting({QStringLiteral("/usr/share/go-1.19/src/image/png/testdata"),
                          QStringLiteral("/usr/lib/go-1.19/src/image/png/testdata")});
}

QString PixbufTestImages()
{
    return firstExisting({QStringLiteral("/usr/libexec/installed-tests/gdk-pixbuf/test-images")});
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

}  // namespace codectest
