// Command codes and the 1424-byte command record (tautomatitem) of the interpreter.
#pragma once
#include "app/options/option_blocks.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

// Command codes of the interpreter; the values are stored in batch files.
enum TCommandCode : uint8_t {
    cmdNewImage = 0,
    cmdOpen = 1,
    cmdSave = 2,
    cmdClose = 3,
    cmdPrint = 4,
    cmdScan = 5,
    cmdSelectScanner = 6,
    cmdUndo = 7,
    cmdCutRect = 8,
    cmdCopyRect = 9,
    cmdPaste = 10,
    cmdPasteRect = 11,
    cmdSelectAll = 12,
    cmdSelectNone = 13,
    cmdColorDialog = 14,
    cmdEffectsDialog = 15,
    cmdReduceColors = 16,
    cmdGray = 17,
    cmdNegative = 18,
    cmdHistogram = 19,
    cmdHSVChannels = 20,
    cmdCountColors = 21,
    cmdBackground = 22,
    cmdResizeCanvas = 23,
    cmdResample = 24,
    cmdRotate = 25,
    cmdFlipVertical = 26,
    cmdFlipHorizontal = 27,
    cmdMerge = 28,
    cmdDuplicate = 29,
    cmdWallpaper = 30,
    cmdClear = 31,
    cmdTo24Bit = 32,
    cmdNewCatalog = 33,
    cmdVideoImport = 34,
    cmdSlideShow = 35,
    cmdBWThreshold = 36,
    cmdBWOrdered = 37,
    cmdRecordComment = 38,
    cmdTextComment = 39,
    cmdDeleteComment = 40,
    cmdPlayComment = 41,
    cmdImportComment = 42,
};
constexpr int kLastCommandCode = cmdImportComment;

// Arg3 of a new image (code 0): what the image is filled with.
enum TNewImageFill : int32_t { nfOptionColor = 0, nfWhite = 1, nfBlack = 2 };

// The 1424-byte command record, kept as its stored bytes. The file name and the
// integer arguments overlap, and a command writes only the fields it uses: the other
// bytes keep what the previous command left, and recordings copy them as they are.
class tautomatitem {
public:
    static constexpr int Size = 1424;
    static constexpr int OffCode = 0;
    static constexpr int OffFileName = 1;  // length byte, then up to 255 bytes
    static constexpr int OffArg1 = 4;      // Arg1 … Arg6 every four bytes
    static constexpr int OffArgByte = 28;
    static constexpr int OffSaveParams = 260;

    uint8_t Code() const { return b_[OffCode]; }
    void SetCode(uint8_t code) { b_[OffCode] = code; }

    // Only the length byte and the name's own bytes are written. False (nothing
    // written) when the name needs more than 255 bytes of UTF-8.
    bool SetFileName(const QString& name);
    QString FileName() const;
    QByteArray FileNameBytes() const;
    uint8_t FileNameLength() const { return b_[OffFileName]; }
    void SetFileNameLength(uint8_t length) { b_[OffFileName] = length; }

    // index 1 … 6.
    int32_t Arg(int index) const;
    void SetArg(int index, int32_t value);
    // The lowest byte of an integer argument (its first byte).
    uint8_t ArgLowByte(int index) const { return b_[size_t(OffArg1 + 4 * (index - 1))]; }
    void SetArgLowByte(int index, uint8_t value) { b_[size_t(OffArg1 + 4 * (index - 1))] = value; }
    uint8_t ArgByte() const { return b_[OffArgByte]; }
    void SetArgByte(uint8_t value) { b_[OffArgByte] = value; }

    tsaveparams SaveParams() const;
    void SetSaveParams(const tsaveparams& params);

    const std::array<uint8_t, Size>& Bytes() const { return b_; }
    QByteArray ToByteArray() const;
    // False when fewer than Size bytes are given.
    bool FromBytes(const QByteArray& data);

    bool operator==(const tautomatitem&) const = default;

private:
    std::array<uint8_t, Size> b_{};
};

// Checks a record from a batch file before it runs: an empty error text means it may
// run. Unknown codes pass (they do nothing); sizes and counts beyond what the image
// operations take, filters above 6 and names that cannot be used are refused.
struct TRecordCheck {
    QString german;
    QString english;
    bool ok() const { return german.isEmpty(); }
};
TRecordCheck CheckRecord(const tautomatitem& item);
// A save the user asks for now stores what the image came with as near as the writer
// chosen by the name can; only stored records are refused for what no writer holds.
void FitSaveParamsToWriter(tsaveparams& block, const QString& fileName);

// Largest side and area a command may ask an image operation for.
constexpr int kMaxImageSide = 32767;
constexpr int64_t kMaxImagePixels = 100'000'000;
// The size check of the image-size commands; dialogs that ask for a size use it too.
bool ImageSizeFits(int64_t width, int64_t height);
