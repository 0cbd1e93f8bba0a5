// PNG reading and writing over our streams.
#pragma once

class TStream;
class TBitmap;
class TIOParamsVals;
struct TProgressRec;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kPngCodec;

// Decodes one image from the stream's position: 1-bit files (grey, or a black/white
// palette) into a 1-bit bitmap, everything else into 24 bits with transparency
// composed over the file's background (bKGD) or else PngBackground. Fills Width,
// Height, BitsPerSample, SamplesPerPixel, DpiX/DpiY, ColorMap, PngInterlaced and, when
// the file has one, PngBackground. Bad data raises EInvalidGraphic "Unrecognized PNG - "
// with the reason (the library's own words, a size beyond the limit, a file cut short)
// and leaves the bitmap as it was.
void ReadPNGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Encodes the bitmap: BitsPerSample 1 gives 1-bit grey, else SamplesPerPixel 1 a
// 256-entry palette and anything else 8-bit RGB. The bitmap is not changed.
void WritePNGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
