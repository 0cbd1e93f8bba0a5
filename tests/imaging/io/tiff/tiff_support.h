// Shared by the TIFF tests: reading a file with our reader and making sample pictures
// in the forms the oracle tools take.
#pragma once

#include <QByteArray>
#include <QString>

class TBitmap;
class TIOParamsVals;

namespace tifftest {

// Reads image `index` of a file; returns the image count.
int ReadTiff(const QString& path, TBitmap& bitmap, int index = 0, TIOParamsVals* params = nullptr);
// Writes a PBM (P4) of a 1-bit bitmap; white pixels 0 as PBM has them.
void WritePBM(const TBitmap& bitmap, const QString& path);
// A bilevel picture with runs of every length (short, long, across bytes).
TBitmap BilevelPattern(int w, int h, uint32_t seed);

}  // namespace tifftest
