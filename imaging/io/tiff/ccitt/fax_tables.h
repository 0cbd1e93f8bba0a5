// The run-length and mode codes of the one- and two-dimensional fax codings, and lookup
// tables built from them for the decoders.
#pragma once

#include <cstdint>

struct TFaxCode {
    uint16_t Bits;  // the code, right-aligned
    uint8_t Length;
};

// Runs 0..63 (terminating codes) by colour.
extern const TFaxCode kWhiteTerminating[64];
extern const TFaxCode kBlackTerminating[64];
// Runs 64, 128 .. 1728 by colour (index run / 64 - 1).
extern const TFaxCode kWhiteMakeUp[27];
extern const TFaxCode kBlackMakeUp[27];
// Runs 1792, 1856 .. 2560, shared by both colours (index (run - 1792) / 64).
extern const TFaxCode kExtendedMakeUp[13];

constexpr TFaxCode kEol{0x001, 12};
constexpr TFaxCode kModePass{0x1, 4};
constexpr TFaxCode kModeHorizontal{0x1, 3};
// Vertical modes by offset a1 − b1 + 3 (VL3 .. V0 .. VR3).
extern const TFaxCode kModeVertical[7];

// Decoding lookup: an entry for every value of the next kRunLookupBits bits.
// Run >= 0: a run code of Length bits; kRunEol: an end-of-line (or fill) prefix; kRunBad: no code.
constexpr int kRunLookupBits = 13;
constexpr int16_t kRunEol = -2;
constexpr int16_t kRunBad = -1;
struct TRunEntry {
    int16_t Run;
    uint8_t Length;
    bool MakeUp;
};
const TRunEntry* WhiteRunLookup();
const TRunEntry* BlackRunLookup();

// Two-dimensional modes by the next 7 bits.
enum TFaxMode : uint8_t { fmBad, fmPass, fmHorizontal, fmVertical, fmExtension, fmEol };
struct TModeEntry {
    TFaxMode Mode;
    int8_t Offset;  // vertical: a1 − b1
    uint8_t Length;
};
constexpr int kModeLookupBits = 7;
const TModeEntry* ModeLookup();
