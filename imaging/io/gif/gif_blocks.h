// The pieces of a GIF's block structure shared by the reader, the frame counter and the
// frame deletion. Every reader here stops at the end of the stream: a file cut short
// ends where it ends, as if its trailer followed.
#pragma once

#include "imaging/io/io_params.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

class TStream;

constexpr uint8_t kGifExtension = 0x21;
constexpr uint8_t kGifImage = 0x2C;
constexpr uint8_t kGifTrailer = 0x3B;
constexpr uint8_t kGifControlLabel = 0xF9;
constexpr int kGifScreenSize = 13;
constexpr int kGifDescriptorSize = 9;

// Entries of a table announced by the low three bits of a packed byte.
inline int GifTableEntries(uint8_t packed) { return 2 << (packed & 7); }

struct TGifScreen {
    QByteArray Raw;  // the 13 bytes as read
    int Width = 0, Height = 0;
    uint8_t Packed = 0, BackgroundIndex = 0, Aspect = 0;
    std::vector<TIORGB> GlobalTable;  // empty without one
    QByteArray RawTable;
};

struct TGifDescriptor {
    QByteArray Raw;  // the 9 bytes as read
    int Left = 0, Top = 0, Width = 0, Height = 0;
    uint8_t Packed = 0;
    bool Interlaced() const { return Packed & 0x40; }
    std::vector<TIORGB> LocalTable;
    QByteArray RawTable;
};

// Header and screen descriptor with the global table; "unrecognized GIF" without the
// signature, EInvalidGraphic for a table cut short.
void ReadGifScreen(TStream& stream, TGifScreen& screen);
// False when the stream ended inside the descriptor or its table.
bool ReadGifDescriptor(TStream& stream, TGifDescriptor& descriptor);
// Sub-blocks up to and including the terminator; appended to `copy` when given (a block
// cut short is copied up to the end). False when the stream ended first.
bool SkipGifSubBlocks(TStream& stream, QByteArray* copy = nullptr);
// Red, green, blue triples of a file as blue, green, red entries.
std::vector<TIORGB> GifTableFromFile(const QByteArray& rgb);
