#pragma once
// TIFF files and streams: one image of a file read by TiffImageIndex, images counted,
// an image written as a new file or inserted into an existing little-endian one.

#include "imaging/io/io_params.h"

class TStream;
class TBitmap;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kTiffCodec;

// Reads image params.TiffImageIndex at the stream's position into the bitmap (replaced
// only when the image decoded); returns the number of images the file holds. An index
// beyond them leaves bitmap and parameters untouched.
int ReadTIFFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
// The number of images; raises EInvalidGraphic for a stream that is no TIFF.
int GetTIFFStreamImageCount(TStream& stream);
// Writes the bitmap as a new file at the stream's position (insert false), or inserts it
// at image params.TiffImageIndex of the TIFF that begins there (insert true; an empty
// stream gets a new file). Returns the number of images afterwards.
int WriteTIFFStream(TStream& stream, bool insert, TBitmap& bitmap, TProgressRec& progress, TIOParamsVals& params);

// The TiffCompression (0 … 8) the writer really uses for these parameters: fax codings
// only for black and white, LZW only with a coder, JPEG never; the others fall back to
// 0, uncompressed.
int TiffWrittenCompression(const TIOParamsVals& params);
