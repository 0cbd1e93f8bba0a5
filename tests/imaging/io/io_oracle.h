// Helpers shared by the input/output tests: deterministic pictures, PPM files for the
// oracle tools, and raw RGB comparisons.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

class TBitmap;

namespace iotest {

// A picture of w × h pixels using exactly min(colors, w*h) distinct colours spread over
// the RGB cube (colors 2: black and white), in a seeded pseudo-random layout.
QImage Pattern(int w, int h, int colors, uint32_t seed = 1);
// Binary PPM (P6) of an RGB888 image.
void WritePPM(const QImage& rgb, const QString& path);
// Raw RGB bytes of any file ImageMagick reads (frame `frame`); empty when it fails.
QByteArray MagickRGB(const QString& path, int* width = nullptr, int* height = nullptr);
// Raw RGB bytes of a file as PIL reads it; empty when it fails.
QByteArray PilRGB(const QString& path, int* width = nullptr, int* height = nullptr);
// Raw RGB bytes of a bitmap (1-bit pixels expanded through black/white).
QByteArray BitmapRGB(const TBitmap& bitmap);
QByteArray ImageRGB(const QImage& image);
// Runs a python3 snippet with argv; returns its exit code.
int Python(const QString& code, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr);
// Index of the first differing byte, −1 when equal (sizes must match).
qsizetype FirstDifference(const QByteArray& a, const QByteArray& b);

}  // namespace iotest
