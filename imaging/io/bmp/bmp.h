#pragma once
// Windows and OS/2 device-independent bitmap files and streams.

#include "imaging/io/io_params.h"

#include <QByteArray>
#include <cstdint>

class TStream;
class TBitmap;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kBmpCodec;

// Reads one bitmap from the stream's position. `size` is the number of bytes the bitmap
// occupies from there (0 or less: not known; the file header's size field is used).
// The result is a 1-bit bitmap for black-and-white files and 24-bit otherwise; the
// target bitmap is replaced only when the file was readable.
void ReadBMPStream(TStream& stream, TBitmap& bitmap, int64_t size, TProgressRec& progress, TIOParamsVals& params);

// Writes the bitmap at the stream's position: depth from BitsPerSample/SamplesPerPixel,
// header from BmpVersion, RLE4/RLE8 when BmpCompression is 1. The stream must be
// seekable (the headers are patched at the end).
void WriteBMPStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
// The depth in bits the writer uses for these parameters: 1, 4, 8 or 24.
int BmpWrittenDepth(const TIOParamsVals& params);
// Whether the writer really run-length codes: only 16 and 256 colours, never OS/2 1.x.
bool BmpWritesRle(const TIOParamsVals& params);

// Run-length codes one row of palette indices (4 or 8 bits) and appends it to out,
// ending with the end-of-line escape.
void EncodeBMPRleRow(const uint8_t* indices, int count, bool fourBit, QByteArray& out);
