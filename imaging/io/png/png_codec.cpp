// The PNG entry of the codec table.

#include "imaging/io/codec_table.h"
#include "imaging/io/png/png.h"

namespace {

QString pngSuffix(const TIOParamsVals& p) { return p.PngInterlaced ? QStringLiteral(" Interlaced") : QString(); }

int readPng(TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r)
{
    ReadPNGStream(s, b, p, r);
    return 1;
}

// PNG composes transparency over the component's background, and a file's own
// background colour becomes the component's.
void pngBackgroundIn(TIOParamsVals& p, TColor c) { p.PngBackground = ColorToIORGB(ColorToRGB(c)); }
TColor pngBackgroundOut(const TIOParamsVals& p) { return IORGBToColor(p.PngBackground); }

}  // namespace

constexpr TCodec kPngCodec = {.FileType = ioPNG,
                              .Extensions = {"png"},
                              .Name = "Portable Network Graphics (PNG)",
                              .DescriptionSuffix = pngSuffix,
                              .Format = "PNG",
                              .Read = readPng,
                              .BackgroundIn = pngBackgroundIn,
                              .BackgroundOut = pngBackgroundOut,
                              .OwnWriter = true,
                              .Write = WritePNGStream,
                              .MaxDpi = kMaxPpmDpi,
                              .ParamPage = iopgPNG,
                              .SaveFilterIndex = 5};
