// Format parameters, the coder hooks and the screen resolution the codecs share.
#include "imaging/io/io_params.h"

#include "imaging/io/image_kit_io.h"
#include "platform/core/streams.h"
#include "imaging/view/ik_view.h"
#include "platform/graphics/bitmap.h"
#include <algorithm>

#include <cstring>

namespace {

TLzwHooks& hooks()
{
    static TLzwHooks h;
    return h;
}

}  // namespace

const TLzwHooks& DefaultLzwHooks() { return hooks(); }
void RegisterLzwCoders(const TLzwHooks& h) { hooks() = h; }

// The views read the screen once; the codecs share that reading.
int ScreenDpiX()
{
    const int d = ScreenPixelsPerInchX();
    return d > 0 ? d : 96;
}
int ScreenDpiY()
{
    const int d = ScreenPixelsPerInchY();
    return d > 0 ? d : 96;
}

TIOParamsVals::TIOParamsVals(TImageKitIO* owner) : Owner(owner) { SetDefaultParams(); }

void TIOParamsVals::FreeColorMap()
{
    ColorMap.clear();
    ColorMap.shrink_to_fit();
    ColorMapCount = 0;
}

void TIOParamsVals::SetColorMap(const TIORGB* colors, int count)
{
    if (count <= 0 || !colors) {
        FreeColorMap();
        return;
    }
    ColorMap.assign(colors, colors + count);
    ColorMapCount = count;
}

void TIOParamsVals::SetDefaultParams()
{
    FreeColorMap();
    FileName.clear();
    BitsPerSample = 8;
    SamplesPerPixel = 3;
    FileType = ioUnknown;
    TiffCompression = 0;
    TiffImageIndex = 0;
    TiffPhotometric = 2;
    TiffPlanarConfig = 1;
    TiffXPos = 0;
    TiffYPos = 0;
    TiffDocumentName.clear();
    TiffImageDescription.clear();
    TiffPageName.clear();
    TiffPageNumber = 0;
    TiffPageCount = 0;
    const TLzwHooks& h = DefaultLzwHooks();
    TiffLzwDecompress = h.TiffDecompress;
    TiffLzwCompress = h.TiffCompress;
    GifVersion = QStringLiteral("GIF89a");
    GifImageIndex = 0;
    GifXPos = 0;
    GifYPos = 0;
    GifDelayTime = 0;
    GifTransparent = 0;
    GifTransparentColor = TIORGB{};
    GifInterlaced = 0;
    GifScreenWidth = 0;
    GifScreenHeight = 0;
    GifBackground = TIORGB{};
    GifAspectRatio = 0;
    GifLzwDecompress = h.GifDecompress;
    GifLzwCompress = h.GifCompress;
    JpegColorSpace = 2;
    JpegQuality = 50;
    JpegDctMethod = 0;
    JpegOptimalHuffman = 0;
    JpegSmoothing = 0;
    JpegProgressive = 0;
    PcxVersion = 5;
    PcxCompression = 1;
    BmpVersion = 1;
    BmpCompression = 0;
    IcoWidth = 16;
    IcoHeight = 16;
    CurWidth = 16;
    CurHeight = 16;
    PngInterlaced = 0;
    PngBackground = TIORGB{};
    PngFilter = 0;
    PngCompression = 5;
    if (Owner) {
        if (TBitmap* bmp = Owner->Bitmap()) {
            Width = bmp->Width();
            Height = bmp->Height();
        }
        int dx = 0, dy = 0;
        if (Owner->ViewDpi(dx, dy)) {
            DpiX = dx;
            DpiY = dy;
        }
    }
}

void TIOParamsVals::Assign(const TIOParamsVals& s)
{
    if (&s == this)
        return;
    BitsPerSample = s.BitsPerSample;
    SamplesPerPixel = s.SamplesPerPixel;
    DpiX = s.DpiX;
    DpiY = s.DpiY;
    FileType = s.FileType;
    TiffCompression = s.TiffCompression;
    TiffImageIndex = s.TiffImageIndex;
    TiffPhotometric = s.TiffPhotometric;
    TiffPlanarConfig = s.TiffPlanarConfig;
    TiffXPos = s.TiffXPos;
    TiffYPos = s.TiffYPos;
    TiffDocumentName = s.TiffDocumentName;
    TiffImageDescription = s.TiffImageDescription;
    TiffPageName = s.TiffPageName;
    TiffPageNumber = s.TiffPageNumber;
    TiffPageCount = s.TiffPageCount;
    TiffLzwDecompress = s.TiffLzwDecompress;
    TiffLzwCompress = s.TiffLzwCompress;
    GifVersion = s.GifVersion;
    GifImageIndex = s.GifImageIndex;
    GifXPos = s.GifXPos;
    GifYPos = s.GifYPos;
    GifDelayTime = s.GifDelayTime;
    GifTransparent = s.GifTransparent;
    GifTransparentColor = s.GifTransparentColor;
    GifInterlaced = s.GifInterlaced;
    GifScreenWidth = s.GifScreenWidth;
    GifScreenHeight = s.GifScreenHeight;
    GifBackground = s.GifBackground;
    GifAspectRatio = s.GifAspectRatio;
    GifLzwDecompress = s.GifLzwDecompress;
    GifLzwCompress = s.GifLzwCompress;
    JpegColorSpace = s.JpegColorSpace;
    JpegQuality = s.JpegQuality;
    JpegDctMethod = s.JpegDctMethod;
    JpegOptimalHuffman = s.JpegOptimalHuffman;
    JpegSmoothing = s.JpegSmoothing;
    JpegProgressive = s.JpegProgressive;
    PcxVersion = s.PcxVersion;
    PcxCompression = s.PcxCompression;
    BmpVersion = s.BmpVersion;
    BmpCompression = s.BmpCompression;
    IcoWidth = s.IcoWidth;
    IcoHeight = s.IcoHeight;
    CurWidth = s.CurWidth;
    CurHeight = s.CurHeight;
    PngInterlaced = s.PngInterlaced;
    PngBackground = s.PngBackground;
    PngFilter = s.PngFilter;
    PngCompression = s.PngCompression;
    FileName = s.FileName;
    Width = s.Width;
    Height = s.Height;
    if (s.ColorMapCount > 0 && !s.ColorMap.empty())
        SetColorMap(s.ColorMap.data(), std::min<int>(s.ColorMapCount, int(s.ColorMap.size())));
    else
        FreeColorMap();
}

void WriteStreamHeader(TStream& stream, const char tag[4], uint32_t length)
{
    stream.WriteBuffer(tag, 4);
    stream.WriteU32(0);
    stream.WriteU32(length);
}
