// The GIF entry of the codec table.

#include "imaging/io/codec_table.h"
#include "imaging/io/gif/gif.h"

namespace {

QString gifSuffix(const TIOParamsVals& p) { return p.GifInterlaced ? QStringLiteral(" Interlaced") : QString(); }

// A GIF leaves its transparent colour, else its screen's background, as the component's.
TColor gifBackgroundOut(const TIOParamsVals& p)
{
    return IORGBToColor(p.GifTransparent ? p.GifTransparentColor : p.GifBackground);
}

// GIF pixels need an LZW compressor, which the program leaves to be plugged in.
bool gifWriterReady() { return DefaultLzwHooks().GifCompress != nullptr; }

}  // namespace

constexpr TCodec kGifCodec = {.FileType = ioGIF,
                              .Extensions = {"gif"},
                              .Name = "CompuServe Bitmap (TIF)",
                              .DescriptionSuffix = gifSuffix,
                              .Format = "GIF",
                              .Read = ReadGIFStream,
                              .BackgroundOut = gifBackgroundOut,
                              .OwnWriter = true,
                              .Write = WriteGIFStream,
                              .WriterReady = gifWriterReady,
                              .ParamPage = iopgGIF};
