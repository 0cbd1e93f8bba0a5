// The header and image file directories of a TIFF, in either byte order. Every offset
// and count is checked against the stream before it is used.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class TStream;

enum TTiffTag : uint16_t {
    ttImageWidth = 256,
    ttImageLength = 257,
    ttBitsPerSample = 258,
    ttCompression = 259,
    ttPhotometric = 262,
    ttFillOrder = 266,
    ttDocumentName = 269,
    ttImageDescription = 270,
    ttStripOffsets = 273,
    ttSamplesPerPixel = 277,
    ttRowsPerStrip = 278,
    ttStripByteCounts = 279,
    ttXResolution = 282,
    ttYResolution = 283,
    ttPlanarConfig = 284,
    ttPageName = 285,
    ttXPosition = 286,
    ttYPosition = 287,
    ttT4Options = 292,
    ttResolutionUnit = 296,
    ttPageNumber = 297,
    ttPredictor = 317,
    ttColorMap = 320,
    ttTileWidth = 322,
    ttTileOffsets = 324,
};

enum TTiffType : uint16_t { tyByte = 1, tyAscii = 2, tyShort = 3, tyLong = 4, tyRational = 5 };

// The file as seen from its first byte (offsets count from there).
struct TTiffFile {
    TStream* Stream = nullptr;
    int64_t Base = 0;  // stream position of the header
    int64_t Size = 0;  // bytes from Base to the stream's end
    bool BigEndian = false;

    uint16_t U16(const uint8_t* p) const;
    uint32_t U32(const uint8_t* p) const;
    // Reads n bytes at offset; false when they are not all there.
    bool ReadAt(int64_t offset, void* buffer, int64_t n) const;
};

// Opens the header at the stream's position; EInvalidGraphic "unrecognized TIFF" when
// the byte order mark is wrong. Returns the first directory's offset.
uint32_t OpenTiff(TStream& stream, TTiffFile& file);

// The directory offsets of the chain, in order. The walk ends at 0, at an offset
// outside the file or at an offset met before.
struct TIfdLink {
    uint32_t Offset;    // the directory
    int64_t PointerAt;  // where the offset that leads to it is stored
};
std::vector<TIfdLink> WalkIfdChain(const TTiffFile& file, uint32_t first, int64_t firstPointerAt,
                                   int64_t* endPointerAt = nullptr);

struct TIfdEntry {
    uint16_t Tag;
    uint16_t Type;
    uint32_t Count;
    uint8_t Value[4];
};

class TTiffIfd {
public:
    TTiffIfd(const TTiffFile& file, uint32_t offset);
    bool Has(uint16_t tag) const { return find(tag) != nullptr; }
    // The values of a BYTE, SHORT or LONG tag (at most maxCount; raises when the
    // values lie outside the file or the tag has another type).
    std::vector<uint32_t> Numbers(uint16_t tag, uint32_t maxCount) const;
    uint32_t Number(uint16_t tag, uint32_t fallback) const;
    double Rational(uint16_t tag, double fallback) const;
    QString Text(uint16_t tag) const;
    const TIfdEntry* find(uint16_t tag) const;

private:
    const TTiffFile& file_;
    std::vector<TIfdEntry> entries_;
};
