// The save-parameter block filled from an image's parameters and applied back, and the
// view options a new view gets.
#include "app/batch/batch_dialog.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/exceptions.h"

#include <algorithm>

namespace {

// A text that does not fit its 255-byte slot is refused, never cut.
TShortString shortString(const QString& text)
{
    TShortString s;
    if (!s.Assign(text))
        throw Exception(LangText(QStringLiteral("Der Text ist für den Parameter zu lang: "),
                                 QStringLiteral("The text is too long for the parameter: ")) +
                        text);
    return s;
}

void fillBlock(const TIOParamsVals& p, tsaveparams& b)
{
    b.BitsPerSample = p.BitsPerSample;
    b.SamplesPerPixel = p.SamplesPerPixel;
    b.DpiX = p.DpiX;
    b.DpiY = p.DpiY;
    b.GifVersion = shortString(p.GifVersion);
    b.GifImageIndex = p.GifImageIndex;
    b.GifXPos = p.GifXPos;
    b.GifYPos = p.GifYPos;
    b.GifDelayTime = p.GifDelayTime;
    b.GifTransparent = p.GifTransparent;
    b.GifTransparentColor = p.GifTransparentColor;
    b.GifInterlaced = p.GifInterlaced;
    b.GifScreenWidth = p.GifScreenWidth;
    b.GifScreenHeight = p.GifScreenHeight;
    b.GifBackground = p.GifBackground;
    b.GifAspectRatio = p.GifAspectRatio;
    b.TiffCompression = p.TiffCompression;
    b.TiffPhotometric = p.TiffPhotometric;
    b.TiffPlanarConfig = p.TiffPlanarConfig;
    b.TiffImageIndex = p.TiffImageIndex;
    b.TiffXPos = p.TiffXPos;
    b.TiffYPos = p.TiffYPos;
    b.TiffDocumentName = shortString(p.TiffDocumentName);
    b.TiffImageDescription = shortString(p.TiffImageDescription);
    b.TiffPageName = shortString(p.TiffPageName);
    b.TiffPageNumber = p.TiffPageNumber;
    b.TiffPageCount = p.TiffPageCount;
    b.JpegColorSpace = p.JpegColorSpace;
    b.JpegQuality = p.JpegQuality;
    b.JpegDctMethod = p.JpegDctMethod;
    b.JpegOptimalHuffman = p.JpegOptimalHuffman;
    b.JpegSmoothing = p.JpegSmoothing;
    b.JpegProgressive = p.JpegProgressive;
    b.BmpCompression = p.BmpCompression;
    b.BmpVersion = p.BmpVersion;
    b.PcxVersion = p.PcxVersion;
    b.PcxCompression = p.PcxCompression;
    b.IcoWidth = p.IcoWidth;
    b.IcoHeight = p.IcoHeight;
    b.CurWidth = p.CurWidth;
    b.CurHeight = p.CurHeight;
}

}  // namespace

void Tform1::saveparams(tsaveparams& block)
{
    if (Tchild* image = imageWindowOf(ActiveMDIChild()))
        fillBlock(image->imageKit->IOParams(), block);
}

void Tform1::saveparamsautoform(tsaveparams& block) { fillBlock(autoform()->imageKit->Params(), block); }

void Tform1::assignparams(const tsaveparams& b)
{
    Tchild* image = imageWindowOf(ActiveMDIChild());
    if (!image)
        return;
    b.ApplyTo(image->imageKit->IOParams());
}

void Tform1::applyViewOptions(Tchild* image)
{
    image->imageKit->SetDelayZoomFilter(options.DelayZoomFilter != 0);
    image->imageKit->SetDoubleBuffer(options.DoubleBuffer != 0);
    image->imageKit->SetZoomFilter(TResampleFilter(std::min<int>(options.ZoomFilter, rfMitchell)));
}
