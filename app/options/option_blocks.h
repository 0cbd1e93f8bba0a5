// The fixed blocks of the option record, each with its stored size.
#pragma once
#include "app/options/short_string.h"
#include "imaging/io/io_params.h"

#include <QString>
#include <array>
#include <functional>
#include <cstdint>

class TStream;

// Fixed blocks of the option record. Each is stored field by field, little-endian,
// with padding written as zero; Size is its length in the option file.

// The new-image, resize and resample dialog.
struct tneudialog {
    static constexpr int Size = 48;
    double width = 0;
    double height = 0;
    double resolution = 0;  // always pixels per centimetre
    int32_t widthunit = 0;  // 0 pixel, 1 cm, 2 inch
    int32_t heightunit = 0;
    int32_t resunit = 0;     // 0 pixels per cm, 1 pixels per inch
    int32_t filter = 0;      // TResampleFilter 0..6
    int32_t background = 0;  // 0 option colour, 1 white, 2 black
    uint8_t mode = 0;        // 0 new image, 1 resize or resample
    uint8_t showfilter = 0;
    uint8_t proportional = 0;

    static tneudialog Defaults();
    void Write(TStream& s) const;
    void Read(TStream& s);
    bool operator==(const tneudialog&) const = default;
};

// The print dialog.
struct tprintdialog {
    static constexpr int Size = 84;
    double width = 0;
    double height = 0;
    int32_t resunit = 0;
    int32_t pagewidthunit = 0;
    int32_t pageheightunit = 0;
    int32_t leftunit = 0;
    int32_t topunit = 0;
    int32_t widthunit = 0;
    int32_t heightunit = 0;
    int32_t copies = 0;
    double left = 0;
    double top = 0;
    int32_t placement = 0;
    uint8_t proportional = 0;
    uint8_t autopreview = 0;
    uint8_t jobperpage = 0;
    uint8_t cutlines = 0;
    int32_t mode = 0;       // 0 clipping, 1 tiles, 2 poster
    uint8_t infoflags = 0;  // 1 name, 2 name with path, 4 date, 8 size
    int32_t fontsize = 0;

    static tprintdialog Defaults();
    void Write(TStream& s) const;
    void Read(TStream& s);
    bool operator==(const tprintdialog&) const = default;
};

// Save parameters of a save command and of the last "save as". The three coder
// hook slots are written as zero and never read back.
struct tsaveparams {
    static constexpr int Size = 1164;
    int32_t BitsPerSample = 0;
    int32_t SamplesPerPixel = 0;
    int32_t DpiX = 0;
    int32_t DpiY = 0;
    TShortString GifVersion;
    int32_t GifImageIndex = 0;
    int32_t GifXPos = 0;
    int32_t GifYPos = 0;
    int32_t GifDelayTime = 0;
    uint8_t GifTransparent = 0;
    TIORGB GifTransparentColor;
    uint8_t GifInterlaced = 0;
    int32_t GifScreenWidth = 0;
    int32_t GifScreenHeight = 0;
    TIORGB GifBackground;
    int32_t GifAspectRatio = 0;
    uint8_t TiffCompression = 0;
    uint8_t TiffPhotometric = 0;
    int32_t TiffPlanarConfig = 0;
    int32_t TiffImageIndex = 0;
    int32_t TiffXPos = 0;
    int32_t TiffYPos = 0;
    TShortString TiffDocumentName;
    TShortString TiffImageDescription;
    TShortString TiffPageName;
    int32_t TiffPageNumber = 0;
    int32_t TiffPageCount = 0;
    uint8_t JpegColorSpace = 0;
    int32_t JpegQuality = 0;
    uint8_t JpegDctMethod = 0;
    uint8_t JpegOptimalHuffman = 0;
    int32_t JpegSmoothing = 0;
    uint8_t JpegProgressive = 0;
    uint8_t BmpCompression = 0;
    uint8_t BmpVersion = 0;
    int32_t PcxVersion = 0;
    uint8_t PcxCompression = 0;
    int32_t IcoWidth = 0;
    int32_t IcoHeight = 0;
    int32_t CurWidth = 0;
    int32_t CurHeight = 0;

    void Write(TStream& s) const;
    void Read(TStream& s);
    // True for the block of a fresh install, which no "save as" has filled yet.
    bool IsBlank() const;

    // Applies the user's remembered choices to an image's parameters: JPEG quality,
    // colour space, DCT method, optimal Huffman and progressive, BMP and PCX run-length
    // and the TIFF compression. What describes the image itself (depth, resolution,
    // texts, positions, indices, GIF frame, icon sizes) stays the image's own, so that
    // one image's block never reduces the next. A fax compression needs black and white:
    // it applies only when `savedBlackAndWhite` says the image is saved so.
    void ApplyChoicesTo(TIOParamsVals& params, const std::function<bool()>& savedBlackAndWhite) const;
    // Each number holds 0 … the largest value its format can write; maxDpi is that of
    // the format saved to. Problem names the first field outside (empty when none);
    // Clamp brings every field inside.
    QString Problem(int maxDpi) const;
    void Clamp(int maxDpi);
    bool operator==(const tsaveparams&) const = default;
};

// Slide-show settings. The type flags are, in order: jpg/jpeg, bmp, pcx, gif, tiff,
// wmf, emf, ico, cur, png.
struct tslideshowoptions {
    static constexpr int Size = 836;
    int32_t sound = 0;   // 0 none, 1 one sound file, 2 each image's comment
    int32_t window = 0;  // 0 full screen, 1 image size, 2 fixed size
    int32_t fixedwidth = 0;
    int32_t fixedheight = 0;
    int32_t order = 0;    // 0 list, 1 list backwards, 2 random
    int32_t scaling = 0;  // 0 own size, 1 fit, 2 fill
    int32_t filter = 0;   // TResampleFilter 0..6
    int32_t seconds = 0;
    int32_t listsort = 0;  // 0 none, 1 random, 2 by name
    int32_t source = 0;    // 0 slide list, 1 directory
    int32_t dirsort = 0;
    int32_t fontsize = 0;
    uint8_t nexttimed = 0;
    uint8_t nextonkey = 0;
    uint8_t hidemouse = 0;
    uint8_t repeat = 0;
    uint8_t subdirs = 0;
    uint8_t hidetaskbar = 0;
    uint8_t showtext = 0;
    TShortString soundfile;
    TShortString directory;
    TShortString lastfolder;
    std::array<uint8_t, 10> types{};

    static tslideshowoptions Defaults();
    void Write(TStream& s) const;
    void Read(TStream& s);
    bool operator==(const tslideshowoptions&) const = default;
};

// The batch's file-list or directory choice. Its two strings do not live in the
// block: the option file stores them among its strings and leaves their slots zero.
// The type flags are, in order: JPEG, BMP, PCX, GIF, TIFF, WMF, EMF, ICO, CUR, PNG.
struct tverzdialog {
    static constexpr int Size = 24;
    int32_t source = 0;  // 0 file list, 1 directory
    QString lastfolder;  // with a trailing separator
    std::array<uint8_t, 10> types{};
    uint8_t subdirs = 0;
    QString directory;

    static tverzdialog Defaults();
    void Write(TStream& s) const;  // the fixed part
    void Read(TStream& s);         // the fixed part; the strings stay
    bool operator==(const tverzdialog&) const = default;
};

// The batch dialog's after-processing settings (not stored in the option file).
struct tautodialog {
    int32_t after = 0;  // 0 nothing, 1 save and close, 2 save into a directory
    TShortString startname;
    int32_t startnumber = 0;
    int32_t formatindex = 0;  // 0 JPG, 1 BMP, 2 PCX, 3 TIFF, 4 PNG
    uint8_t keepformat = 0;
    uint8_t keepnames = 0;
    int32_t existing = 0;  // 0 overwrite, 1 increment the number, 2 do not save

    // The start name is the translated "unbenannt", so the language must be set first.
    static tautodialog Defaults();
    bool operator==(const tautodialog&) const = default;
};
