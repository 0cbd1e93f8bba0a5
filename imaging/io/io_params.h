// Format parameters, the per-call progress record and the file types shared by the
// input/output component and every codec.
//
// Codec calling convention: a codec is a free function over (stream, bitmap,
// parameter record, progress record), e.g.
//     void ReadBMPStream(TStream& stream, TBitmap& bitmap, int64_t size,
//                        TProgressRec& progress, TIOParamsVals& params);
//     void WriteJPEGStream(TStream& stream, TBitmap& bitmap,
//                          TIOParamsVals& params, TProgressRec& progress);
// It reads or writes at the stream's current position, raises EInvalidGraphic with an
// English message on bad data, reports progress per row through progress.Report()
// (only while an event is set) and leaves its row loop as soon as progress.Aborted()
// turns true, then skips its closing steps (end markers, header patches).
// Resolutions are dots per inch; a resolution of 0 becomes ScreenDpiX()/ScreenDpiY().
#pragma once

#include "imaging/common/types.h"
#include "platform/core/color.h"

#include <QString>
#include <cstdint>
#include <vector>

class TStream;
class TBitmap;
class TImageKitIO;

// FileType values.
enum TIOFileType : uint8_t {
    ioUnknown = 0,
    ioTIFF = 1,
    ioGIF = 2,
    ioJPEG = 3,
    ioPCX = 4,
    ioBMP = 5,
    ioICO = 6,
    ioCUR = 7,
    ioPNG = 8,
    ioWMF = 9,
    ioEMF = 10,
};

// One colour as stored in parameter records and palettes: blue, green, red.
struct TIORGB {
    uint8_t b = 0;
    uint8_t g = 0;
    uint8_t r = 0;
    bool operator==(const TIORGB&) const = default;
};
inline TColor IORGBToColor(TIORGB c) { return RGB(c.r, c.g, c.b); }
inline TIORGB ColorToIORGB(TColor c)
{
    return TIORGB{uint8_t(GetBValue(c)), uint8_t(GetGValue(c)), uint8_t(GetRValue(c))};
}

// LZW coder hooks (plain function pointers). None is registered by default: GIF
// reading/writing and LZW-TIFF reading then raise EInvalidGraphic, LZW-TIFF writing
// falls back to no compression.
//
// GIF decompress: fills `buffer` (width × height index bytes, display order) from the
// stream and leaves the stream after the frame's data.
using TGifLzwDecompress = void (*)(TStream& stream, int height, int width, uint8_t* buffer, bool interlaced);
// GIF compress: writes minimum code size, sub-blocks and terminator for the index buffer.
using TGifLzwCompress = void (*)(TStream& stream, int height, int width, int bitsPerPixel, const uint8_t* buffer,
                                 bool interlaced);
// TIFF decompress: decodes strip data (`data`, `dataSize` bytes) into `out` (room for
// `wanted` bytes); returns the number of bytes produced. Called once with data == nullptr
// after a strip group to release *state.
using TTiffLzwDecompress = int64_t (*)(const uint8_t* data, int64_t dataSize, uint8_t* out, int64_t wanted,
                                       void** state);
// TIFF compress: codes one row into the stream; called once more with row == nullptr
// to flush and release *state.
using TTiffLzwCompress = void (*)(const uint8_t* row, int64_t count, TStream& stream, void** state);

// The unit-wide hooks that SetDefaultParams copies into each record.
struct TLzwHooks {
    TGifLzwDecompress GifDecompress = nullptr;
    TGifLzwCompress GifCompress = nullptr;
    TTiffLzwDecompress TiffDecompress = nullptr;
    TTiffLzwCompress TiffCompress = nullptr;
};
const TLzwHooks& DefaultLzwHooks();
// Registers coders for every record made or reset afterwards; pass {} to clear.
void RegisterLzwCoders(const TLzwHooks& hooks);

// The largest side at which icons and cursors are drawn (IcoWidth … CurHeight).
constexpr int kMaxIconSide = 4096;

// The screen's logical resolution, read once (96 when the platform reports nothing).
int ScreenDpiX();
int ScreenDpiY();

// Per-image format parameters, filled by the last load and read by the next save.
// The field order is fixed: command records copy it field by field.
class TIOParamsVals {
public:
    explicit TIOParamsVals(TImageKitIO* owner = nullptr);
    TIOParamsVals(const TIOParamsVals&) = delete;
    TIOParamsVals& operator=(const TIOParamsVals&) = delete;

    // Resets every field; Width/Height come from the owner's bitmap and DpiX/DpiY from
    // the owner's attached view only when it has them.
    void SetDefaultParams();
    // Copies every field but Owner (the colour map becomes an independent copy).
    void Assign(const TIOParamsVals& source);
    // Drops the colour map (count 0).
    void FreeColorMap();
    // Replaces the colour map by `count` entries of `colors`.
    void SetColorMap(const TIORGB* colors, int count);

    TImageKitIO* Owner = nullptr;                    // 1
    int32_t BitsPerSample = 8;                       // 2
    int32_t SamplesPerPixel = 3;                     // 3
    int32_t DpiX = 96;                               // 4
    int32_t DpiY = 96;                               // 5
    uint8_t FileType = ioUnknown;                    // 6  TIOFileType
    uint8_t TiffCompression = 0;                     // 7
    int32_t TiffImageIndex = 0;                      // 8
    uint8_t TiffPhotometric = 2;                     // 9
    int32_t TiffPlanarConfig = 1;                    // 10
    int32_t TiffXPos = 0;                            // 11
    int32_t TiffYPos = 0;                            // 12
    QString TiffDocumentName;                        // 13
    QString TiffImageDescription;                    // 14
    QString TiffPageName;                            // 15
    int32_t TiffPageNumber = 0;                      // 16
    int32_t TiffPageCount = 0;                       // 17
    TTiffLzwDecompress TiffLzwDecompress = nullptr;  // 18
    TTiffLzwCompress TiffLzwCompress = nullptr;      // 19
    QString GifVersion = QStringLiteral("GIF89a");   // 20
    int32_t GifImageIndex = 0;                       // 21
    int32_t GifXPos = 0;                             // 22
    int32_t GifYPos = 0;                             // 23
    int32_t GifDelayTime = 0;                        // 24
    uint8_t GifTransparent = 0;                      // 25
    TIORGB GifTransparentColor;                      // 26
    uint8_t GifInterlaced = 0;                       // 27
    int32_t GifScreenWidth = 0;                      // 28
    int32_t GifScreenHeight = 0;                     // 29
    TIORGB GifBackground;                            // 30
    int32_t GifAspectRatio = 0;                      // 31
    TGifLzwDecompress GifLzwDecompress = nullptr;    // 32
    TGifLzwCompress GifLzwCompress = nullptr;        // 33
    uint8_t JpegColorSpace = 2;                      // 34
    int32_t JpegQuality = 50;                        // 35
    uint8_t JpegDctMethod = 0;                       // 36
    uint8_t JpegOptimalHuffman = 0;                  // 37
    int32_t JpegSmoothing = 0;                       // 38
    uint8_t JpegProgressive = 0;                     // 39
    int32_t PcxVersion = 5;                          // 40
    uint8_t PcxCompression = 1;                      // 41
    uint8_t BmpVersion = 1;                          // 42
    uint8_t BmpCompression = 0;                      // 43
    int32_t IcoWidth = 16;                           // 44
    int32_t IcoHeight = 16;                          // 45
    int32_t CurWidth = 16;                           // 46
    int32_t CurHeight = 16;                          // 47
    uint8_t PngInterlaced = 0;                       // 48
    TIORGB PngBackground;                            // 49
    uint8_t PngFilter = 0;                           // 50
    int32_t PngCompression = 5;                      // 51
    QString FileName;                                // 52
    int32_t Width = 0;                               // 53
    int32_t Height = 0;                              // 54
    std::vector<TIORGB> ColorMap;                    // 55 empty = none
    int32_t ColorMapCount = 0;                       // 56

    // A read setting of the record's holder, not a parameter of the image: neither
    // SetDefaultParams nor Assign touches it. When above 0, JPEG data is decoded at
    // the smallest DCT scale (n/8) whose longer side is still at least this many
    // pixels; Width and Height keep the size the file declares.
    int32_t JpegMinLongSide = 0;
};

// Handed to every codec call.
struct TProgressRec {
    TProgressEvent fOnProgress;  // counts as set when callable
    TObject* Sender = nullptr;
    int32_t val = 0;           // row counter for codecs that count as they go
    double per1 = 0.0;         // percentage per row (100 / rows), set by the codec
    bool* Aborting = nullptr;  // the component's abort flag (may be null)

    bool Assigned() const { return bool(fOnProgress); }
    void Report(int percent) const
    {
        if (fOnProgress)
            fOnProgress(Sender, percent);
    }
    bool Aborted() const { return Aborting && *Aborting; }
};

// The 12-byte frame that precedes TIFF, PCX and JPEG data inside larger streams:
// four ASCII characters, a 32-bit zero and the 32-bit length of the data that follows.
constexpr int kStreamHeaderSize = 12;
void WriteStreamHeader(TStream& stream, const char tag[4], uint32_t length);
