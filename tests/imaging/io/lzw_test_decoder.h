// The LZW decoding that the tests' GIF and TIFF stand-in coders share: the program
// itself ships no coder, and the tests (and the fuzzers) plug these in as a user's
// build could.
#pragma once

#include <cstdint>
#include <vector>

struct TLzwTestCodes {
    int MinCodeSize = 8;       // bits of a literal; codes start one wider
    bool MsbFirst = false;     // TIFF packs codes from the top bit, GIF from the bottom
    bool EarlyChange = false;  // TIFF widens codes one code early
};

// Decodes codes up to the end code, the end of the data or `wanted` bytes; a bad code
// ends the data and sets *badCode when given.
std::vector<uint8_t> LzwTestDecode(const uint8_t* data, int64_t size, int64_t wanted, const TLzwTestCodes& codes,
                                   bool* badCode = nullptr);
