#pragma once
// JPEG reading and writing over our streams (baseline and progressive).

#include <cstdint>

class TStream;
class TBitmap;
class TIOParamsVals;
struct TProgressRec;
struct TCodec;

// This format's entry of the codec table.
extern const TCodec kJpegCodec;

// Decodes one image from the stream's position into a 24-bit bitmap and fills
// BitsPerSample, SamplesPerPixel, DpiX/DpiY, Width, Height, JpegColorSpace and
// JpegProgressive. With JpegMinLongSide set the bitmap may be smaller than the
// declared Width × Height. Bad data raises EInvalidGraphic and leaves the bitmap as it was;
// after a clean decode the stream stands right after the end-of-image marker.
void ReadJPEGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);
// Hands on what a ReadJPEGStream into `read` left in the parameters, as if it had read
// into `params` (for a decode done elsewhere, on its own parameters).
void CopyJpegReadResults(const TIOParamsVals& read, TIOParamsVals& params);

// Encodes a 24-bit or 1-bit bitmap at the stream's position with the Jpeg* fields,
// DpiX and DpiY of the record. The bitmap is not changed.
void WriteJPEGStream(TStream& stream, TBitmap& bitmap, TIOParamsVals& params, TProgressRec& progress);

// Pixel conversions for the inverted (no ink = 255) CMYK form the files hold.
// red = c·k/255, green = m·k/255, blue = y·k/255.
void CMYKToBGR(const uint8_t* cmyk, uint8_t* bgr, int count);
// k = max(r, g, b) (1 when 0); c = r·255/k, m = g·255/k, y = b·255/k; bytes c, m, y, k.
void BGRToCMYK(const uint8_t* bgr, uint8_t* cmyk, int count);
