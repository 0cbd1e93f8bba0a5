#pragma once
// GIF files and streams: the block structure (screen, colour tables, extensions, image
// descriptors) is read and written here; the pixel data go through the LZW coder hooks
// of the parameter record, which the program leaves empty.

#include "imaging/io/io_params.h"

#include <QString>

class TStream;
class TBitmap;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kGifCodec;

// Reads frame params.GifImageIndex at the stream's position; returns the number of
// image descriptors in the file. An index beyond them leaves the bitmap as it was.
int ReadGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
int ReadGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Writes the bitmap as a one-frame GIF of 2^BitsPerSample colours.
void WriteGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
void WriteGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Rebuilds the file without frame `index` (and the control extension before it); the
// rebuilt file replaces the old one only when `save` is set. Returns the frames kept;
// index −1 drops nothing, so the result is the frame count.
int DeleteGIFFrame(const QString& fileName, int index, bool save);
