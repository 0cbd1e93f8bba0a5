// The format parameter dialog's working copy of a parameter record, page by page.
#include "imaging/dialogs/io_previews_settings.h"

#include "imaging/io/codec_table.h"
#include "imaging/proc/quantizer.h"
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr TDepth kTiffDepths[] = {{1, 1}, {4, 1}, {8, 1}, {16, 1}, {8, 3}};
constexpr TDepth kBmpDepths[] = {{1, 1}, {4, 1}, {8, 1}, {5, 3}, {8, 3}, {8, 3}};
constexpr TDepth kPcxDepths[] = {{1, 1}, {4, 1}, {8, 1}, {8, 3}};
constexpr TDepth kPngDepths[] = {{1, 1}, {8, 1}, {8, 3}};

struct TDepthTable {
    const TDepth* depths;
    int count;
};

TDepthTable depthTable(int page)
{
    switch (page) {
    case iopgTIFF: return {kTiffDepths, int(std::size(kTiffDepths))};
    case iopgBMP: return {kBmpDepths, int(std::size(kBmpDepths))};
    case iopgPCX: return {kPcxDepths, int(std::size(kPcxDepths))};
    case iopgPNG: return {kPngDepths, int(std::size(kPngDepths))};
    default: return {nullptr, 0};
    }
}

int clampIndex(int value, int count) { return std::clamp(value, 0, count - 1); }

}  // namespace

int PageOfFileType(int fileType)
{
    const TCodec* codec = CodecForType(fileType);
    return codec ? codec->ParamPage : 0;
}

TIOFileType FileTypeOfPage(int page)
{
    for (int type = 1; const TCodec* codec = CodecForType(type); ++type)
        if (page != 0 && codec->ParamPage == page)
            return codec->FileType;
    return ioUnknown;
}

TDepth DepthOfChoice(int page, int choice)
{
    const TDepthTable t = depthTable(page);
    if (choice < 0 || choice >= t.count)
        return {8, 3};
    return t.depths[choice];
}

int ChoiceOfDepth(int page, int bits, int samples, int previous)
{
    switch (page) {
    case iopgPCX:
        // Any three-sample depth is true colour.
        if (samples == 3)
            return 3;
        break;
    case iopgPNG:
        if (samples == 1)
            return bits == 1 ? 0 : 1;
        return 2;
    default: break;
    }
    // The last matching entry is BMP's "16M (32bit)": the first one shows 8 × 3.
    const TDepthTable t = depthTable(page);
    for (int i = 0; i < t.count; ++i)
        if (t.depths[i].bits == bits && t.depths[i].samples == samples)
            return i;
    return previous;
}

TImageColours TImageColours::Of(const TBitmap& bitmap)
{
    TImageColours c;
    if (bitmap.PixelFormat() == pf1bit) {
        c.oneBit = true;
        c.count = 2;
        return c;
    }
    std::vector<uint32_t> colors;
    if (!CollectExactColors(bitmap, kMany - 1, colors) || bitmap.PixelFormat() != pf24bit) {
        c.blackAndWhite = c.grey = false;
        c.count = kMany;
        return c;
    }
    c.count = int(colors.size());
    for (const uint32_t rgb : colors) {
        const uint32_t r = rgb >> 16, g = (rgb >> 8) & 255, b = rgb & 255;
        c.grey = c.grey && r == g && g == b;
        c.blackAndWhite = c.blackAndWhite && (rgb == 0 || rgb == 0xFFFFFF);
    }
    return c;
}

bool TImageColours::HeldBy(TDepth d) const
{
    const int bits = d.bits * d.samples;
    if (oneBit)
        return true;
    if (bits <= 1)
        return blackAndWhite;
    return bits > 8 || count <= (1 << bits);
}

int StartChoice(int page, const TIOParamsVals& record, const TImageColours& image, int previous)
{
    const TDepthTable t = depthTable(page);
    if (t.count == 0)
        return previous;
    if (image.oneBit)
        return 0;
    const int choice = ChoiceOfDepth(page, record.BitsPerSample, record.SamplesPerPixel, previous);
    if (image.HeldBy(DepthOfChoice(page, choice)))
        return choice;
    // True colour: the first 8 × 3 entry of the page.
    return ChoiceOfDepth(page, 8, 3, previous);
}

bool TiffStartsBlackAndWhite(const TIOParamsVals& record, const TBitmap& bitmap)
{
    if (bitmap.PixelFormat() == pf1bit)
        return true;
    // Only a record at B/W can start there; the colours are counted for it alone.
    if (ChoiceOfDepth(iopgTIFF, record.BitsPerSample, record.SamplesPerPixel, -1) != 0)
        return false;
    return StartChoice(iopgTIFF, record, TImageColours::Of(bitmap), -1) == 0;
}

void TIOWorkingCopy::Load(const TIOParamsVals& r, const TImageColours* image)
{
    JpegQuality = std::clamp(int(r.JpegQuality), 0, kQualityMax);
    JpegColorSpace = clampIndex(r.JpegColorSpace, kJpegColorSpaces);
    JpegDctMethod = clampIndex(r.JpegDctMethod, kJpegDctMethods);
    JpegOptimalHuffman = r.JpegOptimalHuffman != 0;
    JpegSmoothing = std::clamp(int(r.JpegSmoothing), 0, kSmoothingMax);
    JpegProgressive = r.JpegProgressive != 0;

    TiffCompression = clampIndex(r.TiffCompression, kTiffCompressions);
    TiffImageIndex = r.TiffImageIndex;
    TiffPhotometric = clampIndex(r.TiffPhotometric, kTiffPhotometrics);
    TiffXPos = r.TiffXPos;
    TiffYPos = r.TiffYPos;
    TiffDocumentName = r.TiffDocumentName;
    TiffImageDescription = r.TiffImageDescription;
    TiffPageName = r.TiffPageName;
    TiffPageNumber = r.TiffPageNumber;
    TiffPageCount = r.TiffPageCount;
    const auto choice = [&r, image](int page, int previous) {
        return image ? StartChoice(page, r, *image, previous)
                     : ChoiceOfDepth(page, r.BitsPerSample, r.SamplesPerPixel, previous);
    };
    TiffChoice = choice(iopgTIFF, TiffChoice);
    TiffLzwDecompress = r.TiffLzwDecompress;
    TiffLzwCompress = r.TiffLzwCompress;

    GifImageIndex = r.GifImageIndex;
    GifXPos = r.GifXPos;
    GifYPos = r.GifYPos;
    GifDelayTime = r.GifDelayTime;
    GifTransparent = r.GifTransparent != 0;
    GifTransparentColor = r.GifTransparentColor;
    GifInterlaced = r.GifInterlaced != 0;
    GifBackground = r.GifBackground;
    GifBits = std::clamp(int(r.BitsPerSample), 1, kGifDepths);
    if (image && (image->oneBit || !image->HeldBy({GifBits, 1})))
        GifBits = image->oneBit ? 1 : kGifDepths;
    GifLzwDecompress = r.GifLzwDecompress;
    GifLzwCompress = r.GifLzwCompress;

    BmpCompression = r.BmpCompression != 0;
    BmpChoice = choice(iopgBMP, BmpChoice);
    PcxCompression = r.PcxCompression != 0;
    PcxChoice = choice(iopgPCX, PcxChoice);
    PngChoice = choice(iopgPNG, PngChoice);
    PngInterlaced = r.PngInterlaced != 0;
    PngBackground = r.PngBackground;
    PngFilter = clampIndex(r.PngFilter, kPngFilters);
    PngCompression = clampIndex(r.PngCompression, kPngLevels);
}

TDepth TIOWorkingCopy::TiffDepth() const
{
    if (TiffPhotometric == kTiffPhotometricCMYK)
        return {8, 4};
    return DepthOfChoice(iopgTIFF, TiffChoice);
}

void TIOWorkingCopy::WritePage(int page, TIOParamsVals& r) const
{
    const auto depth = [&r](TDepth d) {
        r.BitsPerSample = d.bits;
        r.SamplesPerPixel = d.samples;
    };
    switch (page) {
    case iopgJPEG:
        r.JpegQuality = JpegQuality;
        r.JpegColorSpace = uint8_t(JpegColorSpace);
        r.JpegDctMethod = uint8_t(JpegDctMethod);
        r.JpegOptimalHuffman = JpegOptimalHuffman;
        r.JpegSmoothing = JpegSmoothing;
        r.JpegProgressive = JpegProgressive;
        break;
    case iopgTIFF:
        r.TiffCompression = uint8_t(TiffCompression);
        r.TiffImageIndex = TiffImageIndex;
        r.TiffPhotometric = uint8_t(TiffPhotometric);
        r.TiffXPos = TiffXPos;
        r.TiffYPos = TiffYPos;
        r.TiffDocumentName = TiffDocumentName;
        r.TiffImageDescription = TiffImageDescription;
        r.TiffPageName = TiffPageName;
        r.TiffPageNumber = TiffPageNumber;
        r.TiffPageCount = TiffPageCount;
        depth(TiffDepth());
        break;
    case iopgGIF:
        r.GifImageIndex = GifImageIndex;
        r.GifXPos = GifXPos;
        r.GifYPos = GifYPos;
        r.GifDelayTime = GifDelayTime;
        r.GifTransparent = GifTransparent;
        r.GifTransparentColor = GifTransparentColor;
        r.GifInterlaced = GifInterlaced;
        r.GifBackground = GifBackground;
        // A GIF holds palette indices: one sample whatever the record held before.
        depth({GifBits, 1});
        break;
    case iopgBMP:
        r.BmpCompression = BmpCompression;
        depth(DepthOfChoice(iopgBMP, BmpChoice));
        break;
    case iopgPCX:
        r.PcxCompression = PcxCompression;
        depth(DepthOfChoice(iopgPCX, PcxChoice));
        break;
    case iopgPNG:
        depth(DepthOfChoice(iopgPNG, PngChoice));
        r.PngBackground = PngBackground;
        r.PngInterlaced = PngInterlaced;
        r.PngFilter = uint8_t(PngFilter);
        r.PngCompression = PngCompression;
        break;
    default: break;
    }
}
