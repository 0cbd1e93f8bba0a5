// TIFF files and streams: one image of a file read by TiffImageIndex, images counted,
// an image written as a new file or inserted into an existing little-endian one.
#pragma once

#include "imaging/io/io_params.h"

#include <vector>

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

// Where the images of a TIFF lie: the directory chain walked once, so that reading every
// page costs time in step with the file, not with the square of its pages.
struct TTiffPages {
    std::vector<uint32_t> Offsets;  // each image's directory
};
// Walks the chain of the TIFF at the stream's position; "unrecognized TIFF" for none.
TTiffPages WalkTIFFPages(TStream& stream);
// Reads image `index` of the walked TIFF that begins at the stream's position, as
// ReadTIFFStream reads image TiffImageIndex; returns the number of images.
int ReadTIFFPage(TStream& stream, const TTiffPages& pages, int index, TBitmap& bitmap, TIOParamsVals& params,
                 TProgressRec& progress);
// Writes the bitmap as a new file at the stream's position (insert false), or inserts it
// at image params.TiffImageIndex of the TIFF that begins there (insert true; an empty
// stream gets a new file). Returns the number of images afterwards.
int WriteTIFFStream(TStream& stream, bool insert, TBitmap& bitmap, TProgressRec& progress, TIOParamsVals& params);

// The TiffCompression (0 … 8) the writer really uses for these parameters: fax codings
// only for black and white, LZW only with a coder, JPEG never; the others fall back to
// 0, uncompressed.
int TiffWrittenCompression(const TIOParamsVals& params);
