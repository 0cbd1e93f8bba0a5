// Helpers of the JPEG and PNG codec tests: running the python/PIL oracle, reading
// codec output as plain RGB, and the sample files that Debian packages ship.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>

class TBitmap;
class TIOParamsVals;

namespace codectest {

// /usr/bin/python3 -c code args…; returns the exit code (−1 when it did not run).
int Python(const QString& code, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr);

// Raw RGB bytes, row by row from the top (1-bit pixels: 0 black, 1 white).
QByteArray BitmapRGB(const TBitmap& bitmap);
// Largest difference of one channel between two RGB buffers of equal size; −1 when the
// sizes differ.
int MaxChannelDiff(const QByteArray& a, const QByteArray& b);

// A deterministic photograph-like picture: smooth gradients plus some noise.
QImage PhotoLike(int w, int h, uint32_t seed = 7);
// A picture of exactly `colors` distinct colours (≥ 2) in a seeded layout.
QImage FewColors(int w, int h, int colors, uint32_t seed = 3);
// 24-bit bitmap of a QImage.
void ToBitmap(const QImage& image, TBitmap& bitmap);
void WritePPM(const QImage& image, const QString& path);

// Folders of sample files; tests require them (REQUIRE_TOOLS) before use.
QString GoImageTestdata();   // …/image/testdata
QString GoPngTestdata();     // …/image/png/testdata
QString PixbufTestImages();  // gdk-pixbuf's installed test-images

QByteArray FileBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& data);

}  // namespace codectest
