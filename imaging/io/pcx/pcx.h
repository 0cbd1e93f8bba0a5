#pragma once
// PCX files and streams: 1-bit, 16-colour (4 bits or 1 bit × 4 planes), 256-colour and
// 24-bit (three planes) pictures, plain or run-length coded.

#include "imaging/io/io_params.h"

#include <QString>
#include <cstdint>

class TStream;
class TBitmap;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kPcxCodec;

constexpr int kPcxHeaderSize = 128;

// Opens the file and reads it whole as one PCX picture.
void ReadPCXFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Reads one picture from the stream's position; `length` is the number of bytes it
// occupies from there (cut to what the stream holds). The bitmap is replaced only
// when the picture was readable: 1-bit for black-and-white files, else 24-bit.
void ReadPCXStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress, int64_t length);

// Writes the bitmap at the stream's position: depth from BitsPerSample × SamplesPerPixel
// (1, 4, 8 or 24; any other depth is written as 24), run-length coded unless
// PcxCompression is 0.
void WritePCXStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Run-length codes one plane line of `count` bytes into out (room for 2 × count + 1
// bytes) and returns the bytes written. An odd count is followed by a 0 byte so that
// the line decodes to an even number of bytes.
int EncodePCXLine(const uint8_t* bytes, int count, uint8_t* out);
