// The format parameter dialog's working copy of one parameter record: what each page
// shows and edits, how a record's depths map to the pages' colour choices, and what a
// page writes back. Plain data, so that the preview and OK write the very same fields.
#pragma once

#include "imaging/io/io_params.h"
#include "imaging/io/param_pages.h"

#include <QString>

// The page bit of a file type; 0 for types without a page.
int PageOfFileType(int fileType);
// The file type a page writes; ioUnknown for anything but one page bit.
TIOFileType FileTypeOfPage(int page);

// Bits per sample × samples per pixel of each page's colour choices.
struct TDepth {
    int bits;
    int samples;
};
// The depth of a choice of the page's colour list (TIFF, BMP, PCX, PNG); {8, 3} for a
// choice the page does not have.
TDepth DepthOfChoice(int page, int choice);
// The choice that shows a depth, or `previous` when the page has none for it.
int ChoiceOfDepth(int page, int bits, int samples, int previous);

class TBitmap;

// What the image to be saved holds, as far as the pages' colour choices care.
struct TImageColours {
    static constexpr int kMany = 257;  // more colours than any palette holds
    bool oneBit = false;               // a 1-bit bitmap
    bool blackAndWhite = true;         // no pixel but black and white
    bool grey = true;                  // no pixel but greys
    int count = 0;                     // distinct colours, kMany for more than 256

    static TImageColours Of(const TBitmap& bitmap);
    // Whether a file of this depth keeps every colour: B/W keeps black and white, 2 to
    // 8 bits as many colours as their palette has, anything deeper is written in 24 bits.
    bool HeldBy(TDepth depth) const;
};

// The colour choice a page (TIFF, BMP, PCX, PNG) starts at for an image: B/W for a 1-bit
// image; else the record's depth when it keeps every colour of the image; else true
// colour. `previous` stands for a record depth the page has no choice for.
int StartChoice(int page, const TIOParamsVals& record, const TImageColours& image, int previous);
// Whether the TIFF page starts an image at B/W.
bool TiffStartsBlackAndWhite(const TIOParamsVals& record, const TBitmap& bitmap);

// Item counts of the lists whose index is the stored value.
constexpr int kJpegColorSpaces = 5, kJpegDctMethods = 3, kTiffCompressions = 9, kTiffPhotometrics = 8, kGifDepths = 8,
              kPngFilters = 3, kPngLevels = 10;
constexpr int kTiffPhotometricCMYK = 5;
// Ranges of the JPEG page's number controls: stored values outside are clamped.
constexpr int kQualityMax = 100, kSmoothingMax = 100;

struct TIOWorkingCopy {
    // JPEG
    int JpegQuality = 50;
    int JpegColorSpace = 2;
    int JpegDctMethod = 0;
    bool JpegOptimalHuffman = false;
    int JpegSmoothing = 0;
    bool JpegProgressive = false;
    // TIFF
    int TiffCompression = 0;
    int TiffImageIndex = 0;
    int TiffPhotometric = 2;
    int TiffXPos = 0, TiffYPos = 0;
    QString TiffDocumentName, TiffImageDescription, TiffPageName;
    int TiffPageNumber = 0, TiffPageCount = 0;
    int TiffChoice = 4;
    TTiffLzwDecompress TiffLzwDecompress = nullptr;
    TTiffLzwCompress TiffLzwCompress = nullptr;
    // GIF
    int GifImageIndex = 0;
    int GifXPos = 0, GifYPos = 0, GifDelayTime = 0;
    bool GifTransparent = false;
    TIORGB GifTransparentColor;
    bool GifInterlaced = false;
    TIORGB GifBackground;
    int GifBits = 8;
    TGifLzwDecompress GifLzwDecompress = nullptr;
    TGifLzwCompress GifLzwCompress = nullptr;
    // BMP, PCX, PNG
    bool BmpCompression = false;
    int BmpChoice = 4;
    bool PcxCompression = true;
    int PcxChoice = 3;
    int PngChoice = 2;
    bool PngInterlaced = false;
    TIORGB PngBackground;
    int PngFilter = 0;
    int PngCompression = 5;

    bool operator==(const TIOWorkingCopy&) const = default;

    // Takes every page's settings from a record; colour choices without a match keep
    // their previous value, numbers are clamped to their controls' ranges. With the
    // image to be saved, the colour choices start where StartChoice says.
    void Load(const TIOParamsVals& record, const TImageColours* image = nullptr);
    // The TIFF depth: the colour choice's, or four 8-bit samples for CMYK.
    TDepth TiffDepth() const;
    // Writes one page's settings into a record (nothing for other values). The preview
    // writes with exactly what OK stores, so that its size is the saved file's.
    void WritePage(int page, TIOParamsVals& record) const;
};
