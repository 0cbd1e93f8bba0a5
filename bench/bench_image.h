// The test images the benchmarks share: gradients, a sine, a checker and a little
// noise, so that no operation meets a trivially uniform input; and a smoother
// photograph-like picture for codecs, written as JPEG by the library's own encoder.
#pragma once
#include "platform/graphics/bitmap.h"

#include <QFile>
#include <QProcess>
#include <QString>

#include <algorithm>
#include <cmath>
#include <random>

inline TBitmap MakeBenchImage(int w, int h, unsigned seed)
{
    TBitmap bmp(w, h, pf24bit);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const double u = double(x) / w, v = double(y) / h;
            const int n = int(rng() % 17) - 8;
            p[0] = uint8_t(std::clamp(int(128 + 100 * std::sin(u * 31 + v * 7)) + n, 0, 255));
            p[1] = uint8_t(std::clamp(int(255 * v) + n, 0, 255));
            p[2] = uint8_t(std::clamp(int(255 * u * (1 - v)) + ((x / 16 + y / 16) % 2) * 40 + n, 0, 255));
        }
    }
    return bmp;
}

// Smooth gradients and soft blobs plus sensor noise, like a photograph to a codec.
inline TBitmap MakeBenchPhoto(int w, int h, unsigned seed)
{
    TBitmap bmp(w, h, pf24bit);
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 3.0);
    const double cu = 0.3 + 0.05 * (seed % 5), cv = 0.6 - 0.04 * (seed % 7);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const double u = double(x) / w, v = double(y) / h;
            const double blob = std::exp(-((u - cu) * (u - cu) + (v - cv) * (v - cv)) * 18.0);
            const double wave = 0.5 + 0.5 * std::sin(u * 23.0 + v * 7.0);
            const double r = 40 + 90 * (1 - v) + 160 * blob + 60 * wave * v + noise(rng);
            const double g = 60 + 100 * (1 - v) + 70 * (1 - wave) * v + noise(rng);
            const double b = 90 + 150 * (1 - v) + 40 * blob - 30 * wave + noise(rng);
            p[0] = uint8_t(std::clamp(std::lround(b), 0L, 255L));
            p[1] = uint8_t(std::clamp(std::lround(g), 0L, 255L));
            p[2] = uint8_t(std::clamp(std::lround(r), 0L, 255L));
        }
    }
    return bmp;
}

// Writes bmp as a JPEG through cjpeg (not our encoder), chroma 4:2:0 or 4:4:4;
// false when cjpeg is missing or failed.
inline bool WriteCjpeg(const TBitmap& bmp, const QString& path, int quality, bool subsampled)
{
    const QString ppm = path + QStringLiteral(".ppm");
    if (!bmp.Image().save(ppm, "PPM"))
        return false;
    QProcess p;
    p.start(QStringLiteral("cjpeg"),
            {QStringLiteral("-quality"), QString::number(quality), QStringLiteral("-sample"),
             subsampled ? QStringLiteral("2x2") : QStringLiteral("1x1"), QStringLiteral("-outfile"), path, ppm});
    const bool ok = p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    QFile::remove(ppm);
    return ok;
}
