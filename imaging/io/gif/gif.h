// GIF files and streams: the block structure (screen, colour tables, extensions, image
// descriptors) is read and written here; the pixel data go through the LZW coder hooks
// of the parameter record, which the program leaves empty.
#pragma once

#include "imaging/io/gif/gif_blocks.h"
#include "imaging/io/io_params.h"

#include <QString>
#include <vector>

class TStream;
class TBitmap;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kGifCodec;

// Reads frame params.GifImageIndex at the stream's position; returns the number of
// image descriptors in the file. An index beyond them leaves the bitmap as it was; a
// refused frame leaves bitmap and parameters as they were.
int ReadGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
int ReadGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// The graphic control extension that belongs to a frame (zeros without one).
struct TGifControl {
    bool present = false;
    uint8_t packed = 0;
    int delay = 0;
    uint8_t transparentIndex = 0;
};
struct TGifFrameAt {
    int64_t Descriptor;  // stream position of the image descriptor, behind its ","
    TGifControl Control;
    int64_t DataBytes = 0;  // its coded pixels as stored: sub-blocks with their lengths
};
// The frames of a GIF found in one walk over its blocks, so that reading every frame
// costs time in step with the file, not with the square of its frames.
struct TGifFrames {
    TGifScreen Screen;
    std::vector<TGifFrameAt> Frames;
};
// Walks the GIF at the stream's position; "unrecognized GIF" without the signature.
TGifFrames WalkGIFFrames(TStream& stream);
// Reads frame `index` of a walked GIF as ReadGIFStream reads frame GifImageIndex.
int ReadGIFFrame(TStream& stream, const TGifFrames& frames, int index, TBitmap& bitmap, TIOParamsVals& params,
                 TProgressRec& progress);

// Writes the bitmap as a one-frame GIF of 2^BitsPerSample colours.
void WriteGIFStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
void WriteGIFFile(const QString& fileName, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Rebuilds the file without frame `index` (and the control extension before it); the
// rebuilt file replaces the old one only when `save` is set. Returns the frames kept;
// index −1 drops nothing, so the result is the frame count.
int DeleteGIFFrame(const QString& fileName, int index, bool save);
