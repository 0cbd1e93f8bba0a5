// The save-parameter block filled from an image's parameters, its remembered choices
// applied to an image, and the view options a new view gets.
#include "app/batch/batch_dialog.h"
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "imaging/dialogs/io_previews_settings.h"
#include "imaging/kit/image_kit.h"

#include <algorithm>

namespace {

void fillBlock(const TIOParamsVals& p, tsaveparams& b)
{
    b.BitsPerSample = p.BitsPerSample;
    b.SamplesPerPixel = p.SamplesPerPixel;
    b.DpiX = p.DpiX;
    b.DpiY = p.DpiY;
    b.GifVersion = TShortString::Cut(p.GifVersion);
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
    b.TiffDocumentName = TShortString::Cut(p.TiffDocumentName);
    b.TiffImageDescription = TShortString::Cut(p.TiffImageDescription);
    b.TiffPageName = TShortString::Cut(p.TiffPageName);
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
    TIOParamsVals& params = image->imageKit->IOParams();
    const TBitmap* bitmap = image->imageKit->Bitmap();
    b.ApplyChoicesTo(params, [&params, bitmap] { return bitmap && TiffStartsBlackAndWhite(params, *bitmap); });
}

void Tform1::applyViewOptions(Tchild* image)
{
    image->imageKit->SetDelayZoomFilter(options.DelayZoomFilter != 0);
    image->imageKit->SetDoubleBuffer(options.DoubleBuffer != 0);
    image->imageKit->SetZoomFilter(TResampleFilter(std::min<int>(options.ZoomFilter, rfMitchell)));
}
